// What the map and enemy passes may leave out: boxes and spheres against the view volume and
// the fog's end, and the pass ordered nearest first.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "world/terrain.h"
#include "world/view_volume.h"

namespace {

// A 45-degree perspective (aspect 4:3, near 1, far 500) and a camera at the origin looking
// down -z, moved back by `back` units: column-major, as OpenGL keeps them.
struct Camera {
    float proj[16] = {};
    float mv[16] = {};
};
Camera camera(float back = 0.0f) {
    Camera c;
    const float f = 1.0f / std::tan(22.5f * 3.14159265f / 180.0f), n = 1.0f, fa = 500.0f;
    c.proj[0] = f / (4.0f / 3.0f);
    c.proj[5] = f;
    c.proj[10] = (fa + n) / (n - fa);
    c.proj[11] = -1.0f;
    c.proj[14] = 2.0f * fa * n / (n - fa);
    for (int i = 0; i < 4; ++i) c.mv[i * 5] = 1.0f;
    c.mv[14] = -back;
    return c;
}

bool cube_outside(const ViewVolume& v, float x, float y, float z, float h) {
    return view_volume_box_outside(v, x - h, y - h, z - h, x + h, y + h, z + h);
}

TEST(ViewVolume, LeavesOutOnlyWhatLiesWhollyOutsideOnePlane) {
    const Camera c = camera();
    const ViewVolume v = view_volume_from(c.proj, c.mv);
    ASSERT_TRUE(v.active);
    EXPECT_FALSE(cube_outside(v, 0, 0, -50, 1));        // straight ahead
    EXPECT_TRUE(cube_outside(v, 0, 0, 50, 1));          // behind the camera
    EXPECT_TRUE(cube_outside(v, 200, 0, -50, 1));       // far to the right
    EXPECT_TRUE(cube_outside(v, 0, -200, -50, 1));      // far below
    EXPECT_TRUE(cube_outside(v, 0, 0, -600, 1));        // beyond the far plane
    EXPECT_FALSE(cube_outside(v, 30, 0, -50, 12));      // straddles the right plane
    EXPECT_FALSE(cube_outside(v, 0, 0, 0, 5));          // holds the camera
    EXPECT_FALSE(view_volume_sphere_outside(v, 25, 0, -50, 10));
    EXPECT_TRUE(view_volume_sphere_outside(v, 60, 0, -50, 10));
    EXPECT_FALSE(view_volume_sphere_outside(v, 60, 0, -50, -1));  // no size known: kept
}

TEST(ViewVolume, TheFogsEndLeavesOutOnlyWhatLiesWhollyBeyondIt) {
    const Camera c = camera(10.0f);  // the camera 10 units back: eye depth = 10 - z
    ViewVolume v = view_volume_from(c.proj, c.mv);
    EXPECT_FALSE(cube_outside(v, 0, 0, -100, 1));
    view_volume_add_fog_end(v, 80.0f);
    ASSERT_EQ(v.planes, 7);
    EXPECT_FLOAT_EQ(view_depth(v, 0, 0, -70), 80.0f);
    EXPECT_FALSE(cube_outside(v, 0, 0, -60, 1));   // depth 69-71: in the fog, drawn
    EXPECT_FALSE(cube_outside(v, 0, 0, -70, 1));   // depth 79-81: crosses the end
    EXPECT_FALSE(cube_outside(v, 0, 0, -71, 0.5));  // nearest depth 80.5: inside the margin
    EXPECT_TRUE(cube_outside(v, 0, 0, -75, 1));    // depth 84-86: wholly beyond
    // A second end, a bad end or an inactive volume changes nothing.
    ViewVolume w = v;
    view_volume_add_fog_end(w, 20.0f);
    EXPECT_FALSE(cube_outside(w, 0, 0, -40, 1));
    ViewVolume x = view_volume_from(c.proj, c.mv);
    view_volume_add_fog_end(x, std::numeric_limits<float>::quiet_NaN());
    view_volume_add_fog_end(x, -5.0f);
    EXPECT_EQ(x.planes, 6);
}

TEST(ViewVolume, ANonFiniteMatrixLeavesNothingOut) {
    Camera c = camera();
    c.mv[12] = std::numeric_limits<float>::infinity();
    const ViewVolume v = view_volume_from(c.proj, c.mv);
    EXPECT_FALSE(v.active);
    EXPECT_FALSE(cube_outside(v, 0, 0, 50, 1));
}

TEST(SectorPass, NearestTilesComeFirstAndEqualDepthsKeepTheirOrder) {
    Camera c = camera();
    // Looking down -z from z = 300: tiles with larger tz are nearer.
    c.mv[14] = -300.0f;
    KVSECTORPASS pass;
    const int16_t tz[6] = {3, 30, 10, 30, 1, 20};
    const int16_t tx[6] = {0, 5, 0, 2, 0, 9};
    for (int k = 0; k < 6; ++k) kv_sector_pass_add(pass, tx[k], tz[k]);
    kv_sector_pass_sort_near_first(pass, view_volume_from(c.proj, c.mv), 0.0f);
    ASSERT_EQ(pass.COUNT, 6);
    const int16_t want_tz[6] = {30, 30, 20, 10, 3, 1};
    const int16_t want_tx[6] = {5, 2, 9, 0, 0, 0};  // the two at tz 30 as they were added
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(pass.TZ[k], want_tz[k]) << k;
        EXPECT_EQ(pass.TX[k], want_tx[k]) << k;
    }
    KVSECTORPASS broken;
    broken.COUNT = -4;  // a count out of range sorts nothing and does not fault
    kv_sector_pass_sort_near_first(broken, view_volume_from(c.proj, c.mv), 0.0f);
    EXPECT_EQ(broken.COUNT, -4);
}

}  // namespace
