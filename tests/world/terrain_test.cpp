// Tile geometry through the recording sink, the colour de-duplication and ramps, the view cone
// and the density-adaptive view size.
#include <gtest/gtest.h>

#include <cmath>

#include "world/ground.h"
#include "world/terrain.h"
#include "world_fixture.h"

namespace {

KVGROUNDCIRCLEPOLYLOOKUPTYPE g_lookup[KV_GROUNDLOOKUPSLOTS];
int32_t g_sizes[21] = {0, 4, 8, 12, 16, 4, 16};

KVTILEINPUT input(const TestMap& m) {
    kv_ground_lookup_default(g_lookup);
    KVTILEINPUT in;
    in.MAP = m.view();
    in.LOOKUP = g_lookup;
    in.CLASSSIZE = g_sizes;
    return in;
}

std::vector<RecordedTriangle> emit(const TestMap& m, int32_t tx, int32_t tz, Recorder& rec) {
    KVCOLORSTATE color;
    EXPECT_TRUE(kv_tile_emit(input(m), color, rec.sink(), tx, tz));
    EXPECT_EQ(rec.begins, 1);
    EXPECT_EQ(rec.ends, 1);
    EXPECT_EQ(rec.vertices.size() % 3, 0u);
    return rec.triangles();
}

// Triangles that stand vertically (walls), with their horizontal face direction.
std::vector<RecordedTriangle> walls(const std::vector<RecordedTriangle>& tris) {
    std::vector<RecordedTriangle> w;
    for (const auto& t : tris)
        if (t.v[0].ny == 0.0f && t.v[1].ny == 0.0f && t.v[2].ny == 0.0f) w.push_back(t);
    return w;
}

}  // namespace

TEST(TileGeometry, FlatTileIsOneHundredTwentyEightTriangles) {
    TestMap m;
    for (int32_t& h : m.terrain) h = 80;
    Recorder rec;
    const auto tris = emit(m, 10, 20, rec);
    ASSERT_EQ(tris.size(), 128u);
    for (const auto& t : tris) {
        float fx, fy, fz;
        t.face(fx, fy, fz);
        EXPECT_GT(fy, 0.0f);  // every ground triangle faces up
        for (const auto& v : t.v) {
            EXPECT_GE(v.x, 80.0f);
            EXPECT_LE(v.x, 88.0f);
            EXPECT_GE(v.z, 160.0f);
            EXPECT_LE(v.z, 168.0f);
            EXPECT_FLOAT_EQ(v.y, 20.0f);
        }
    }
    // One colour for the whole flat tile: it is sent once (forced at the start of the tile).
    EXPECT_EQ(rec.colors.size(), 3u);
    // Tiles off the map emit nothing.
    Recorder none;
    KVCOLORSTATE color;
    EXPECT_FALSE(kv_tile_emit(input(m), color, none.sink(), 64, 0));
    EXPECT_FALSE(kv_tile_emit(input(m), color, none.sink(), 0, -1));
    EXPECT_TRUE(none.vertices.empty());
    // The last tile row and column emit cleanly (their cells read the clamped edge).
    Recorder edge;
    EXPECT_EQ(emit(m, 63, 63, edge).size(), 128u);
}

TEST(TileGeometry, CodesDecideWhatIsDrawn) {
    TestMap m;
    for (int32_t& h : m.terrain) h = 80;
    // Tile (1, 1): one cell of each of the codes 2, -1, 3 and 25.
    m.c(8, 8) = 2;
    m.c(9, 8) = -1;
    m.c(10, 8) = 3;
    m.c(11, 8) = 25;
    Recorder rec;
    EXPECT_EQ(emit(m, 1, 1, rec).size(), 128u - 3 * 2);
}

TEST(TileGeometry, PlatformAboveWaterHasNoWalls) {
    TestMap m;
    m.waterheight = 20;  // surface 7.5
    for (int32_t& h : m.terrain) h = 100;
    m.c(17, 17) = 1;
    Recorder rec;
    const auto tris = emit(m, 2, 2, rec);
    EXPECT_EQ(tris.size(), 128u);
    EXPECT_TRUE(walls(tris).empty());
}

TEST(TileGeometry, LowPlatformIsRaisedAndWalledOnlyTowardsOpenGround) {
    TestMap m;
    m.waterheight = 20;  // level W = 5, surface 7.5
    for (int32_t& h : m.terrain) h = 0;
    // A platform at (17, 17) in tile (2, 2); neighbours: -Z ground (0), +Z platform (1),
    // -X building (-1), +X code 3.
    m.c(17, 17) = 1;
    m.c(17, 18) = 1;
    m.c(16, 17) = -1;
    m.c(18, 17) = 3;
    Recorder rec;
    const auto tris = emit(m, 2, 2, rec);
    // Ground cells: 64 - 2 platforms - 1 building = 61 cells of 2 triangles; each platform 2;
    // platform (17, 17) walls towards -Z and +X, platform (17, 18) towards -X? no: its -X
    // neighbour (16, 18) is ground, its +X (18, 18) ground, its +Z (17, 19) ground.
    const auto w = walls(tris);
    EXPECT_EQ(tris.size(), 61u * 2 + 2 * 2 + w.size());
    EXPECT_EQ(w.size(), (2u + 3u) * 4u);
    // Platform tops sit on the water surface.
    int32_t raised = 0;
    for (const auto& t : tris)
        for (const auto& v : t.v)
            if (v.ny != 0.0f && v.r == 0.82f && v.g == 0.78f) {  // paving
                EXPECT_FLOAT_EQ(v.y, 7.5f);
                raised++;
            }
    EXPECT_EQ(raised, 12);
    // Every wall triangle faces along its outward normal, and each normal is one of the four.
    int32_t facing[4] = {0, 0, 0, 0};  // -Z, +Z, -X, +X
    for (const auto& t : w) {
        float fx, fy, fz;
        t.face(fx, fy, fz);
        const float nx = t.v[0].nx, nz = t.v[0].nz;
        EXPECT_NEAR(fy, 0.0f, 1e-5f);
        EXPECT_GT(fx * nx + fz * nz, 0.0f) << "wall at " << t.v[0].x << "," << t.v[0].z;
        if (nz < 0) facing[0]++;
        if (nz > 0) facing[1]++;
        if (nx < 0) facing[2]++;
        if (nx > 0) facing[3]++;
        // A wall lies on the edge it faces: -Z walls at z = 17, +X walls of (17, 17) at x = 18.
        for (const auto& v : t.v) {
            if (nz < 0) { EXPECT_FLOAT_EQ(v.z, 17.0f); }
            if (nx > 0) { EXPECT_FLOAT_EQ(v.x, 18.0f); }
            if (nx < 0) { EXPECT_FLOAT_EQ(v.x, 17.0f); }
            if (nz > 0) { EXPECT_FLOAT_EQ(v.z, 19.0f); }
            EXPECT_GE(v.y, 0.0f);
            EXPECT_LE(v.y, 7.5f);
        }
    }
    EXPECT_EQ(facing[0], 4);  // (17, 17) towards -Z
    EXPECT_EQ(facing[1], 4);  // (17, 18) towards +Z
    EXPECT_EQ(facing[2], 4);  // (17, 18) towards -X (the -X of (17, 17) is a building)
    EXPECT_EQ(facing[3], 8);  // both towards +X (code 3 and ground)
}

TEST(TileGeometry, PlatformAtTheMapEdgeHasNoWallOutwards) {
    TestMap m;
    m.waterheight = 20;
    m.c(0, 0) = 1;
    m.c(1, 0) = 1;
    m.c(0, 1) = 1;
    Recorder rec;
    const auto w = walls(emit(m, 0, 0, rec));
    // (0, 0): -Z and -X are off the map, +Z and +X are platforms: no wall at all.
    for (const auto& t : w) EXPECT_FALSE(t.v[0].x < 1.0f && t.v[0].z < 1.0f && t.v[1].x < 1.0f && t.v[1].z < 1.0f);
    // (1, 0) walls towards +X and +Z; (0, 1) towards +X and +Z: 4 walls.
    EXPECT_EQ(w.size(), 16u);
}

TEST(TileGeometry, PlinthWallsRingTheFootprint) {
    TestMap m;
    m.waterheight = 0;
    for (int32_t& h : m.terrain) h = 8;
    // A class 1 building (size 4) anchored at (16, 16); footprint cells coded -1, one high
    // sample inside sets the plinth top.
    for (int32_t a = 0; a < 4; ++a)
        for (int32_t b = 0; b < 4; ++b) m.c(16 + a, 16 + b) = -1;
    m.c(16, 16) = 4;
    m.h(18, 18) = 40;  // 10 units
    Recorder rec;
    const auto tris = emit(m, 2, 2, rec);
    const auto w = walls(tris);
    // 12 border cells, 16 border edges, 4 triangles each.
    EXPECT_EQ(w.size(), 64u);
    EXPECT_EQ(tris.size(), (64u - 16u) * 2 + 64u);
    float top = 0.0f;
    for (const auto& t : w) {
        float fx, fy, fz;
        t.face(fx, fy, fz);
        EXPECT_GT(fx * t.v[0].nx + fz * t.v[0].nz, -1e-6f);
        for (const auto& v : t.v) top = std::max(top, v.y);
        for (const auto& v : t.v) {
            EXPECT_GE(v.x, 16.0f);
            EXPECT_LE(v.x, 20.0f);
            EXPECT_GE(v.z, 16.0f);
            EXPECT_LE(v.z, 20.0f);
        }
    }
    EXPECT_FLOAT_EQ(top, 10.0f);
    // The footprint of a building anchored in the next tile is not drawn from this one.
    Recorder next;
    EXPECT_TRUE(walls(emit(m, 3, 2, next)).empty());
}

TEST(TileColour, RepeatsAreSuppressedAndForceResends) {
    Recorder rec;
    KVTILESINK s = rec.sink();
    KVCOLORSTATE st;
    EXPECT_TRUE(kv_pick_color(st, s, 0.5f, 0.25f, 0.125f));
    EXPECT_FALSE(kv_pick_color(st, s, 0.5f, 0.25f, 0.125f));
    EXPECT_EQ(rec.colors.size(), 3u);
    st.FORCE = 1;
    EXPECT_TRUE(kv_pick_color(st, s, 0.5f, 0.25f, 0.125f));
    EXPECT_EQ(st.FORCE, 0);
    EXPECT_EQ(rec.colors.size(), 6u);
    // Sent colours are cut down to hundredths; the comparison uses the requested colour.
    EXPECT_TRUE(kv_pick_color(st, s, 0.5725490f, 0.999f, 0.011f));
    EXPECT_FLOAT_EQ(rec.colors[6], 0.57f);
    EXPECT_FLOAT_EQ(rec.colors[7], 0.99f);
    EXPECT_FLOAT_EQ(rec.colors[8], 0.01f);
    EXPECT_TRUE(kv_pick_color(st, s, 0.5725491f, 0.999f, 0.011f));  // differs though it prints alike
}

TEST(TileColour, RampsMeetAtTheirBreakpoints) {
    TestMap m;
    m.waterheight = 40;  // W = 10
    const KVMAPVIEW v = m.view();
    auto near = [](const KVCOLOR3& a, const KVCOLOR3& b) {
        EXPECT_NEAR(a.R, b.R, 1e-5f);
        EXPECT_NEAR(a.G, b.G, 1e-5f);
        EXPECT_NEAR(a.B, b.B, 1e-5f);
    };
    near(kv_ground_color(v, 100.0f), KV_COLOR_UPLAND);
    near(kv_ground_color(v, 14.0f), KV_COLOR_UPLAND);            // h1 = W + 4
    near(kv_ground_color(v, 11.5f), KV_COLOR_BEACH);             // h2 = W + 1.5
    near(kv_ground_color(v, 2.5f), KV_COLOR_SHALLOWS);           // h3 = W - 7.5
    near(kv_ground_color(v, -2.5f), KV_COLOR_DEEP);              // h4 = W - 12.5
    near(kv_ground_color(v, -500.0f), KV_COLOR_DEEP);
    const KVCOLOR3 mid = kv_ground_color(v, 12.75f);
    EXPECT_NEAR(mid.R, (KV_COLOR_BEACH.R + KV_COLOR_UPLAND.R) / 2, 1e-5f);
    near(kv_road_color(v, 10.0f), KV_COLOR_BEACH);
    near(kv_road_color(v, 2.5f), KV_COLOR_WALLFOOT);
    near(kv_road_color(v, -100.0f), KV_COLOR_WALLFOOT);
    EXPECT_GT(kv_road_color(v, 12.0f).R, KV_COLOR_BEACH.R);  // above W it runs on past beach
}

TEST(ViewCone, MarksAForwardConeFromBehindTheGunship) {
    KVBOXARRAY box;
    // Heading 0: forward is -X.
    const int32_t marked = kv_view_cone(0.0f, 12, box);
    EXPECT_GT(marked, 50);
    EXPECT_EQ(box[12 - 10][12], 1);  // 10 tiles ahead
    EXPECT_EQ(box[12][12], 1);       // the gunship's own tile
    EXPECT_EQ(box[12 + 3][12], 1);   // just behind, still ahead of the apex
    EXPECT_EQ(box[12 + 6][12], 0);   // behind the apex
    EXPECT_EQ(box[12][12 + 10], 0);  // well to the side
    // Symmetric about the heading.
    for (int i = 0; i < 25; ++i)
        for (int j = 0; j < 25; ++j) EXPECT_EQ(box[i][j], box[i][24 - j]);
    // Heading 90: forward is -Z.
    kv_view_cone(90.0f, 12, box);
    EXPECT_EQ(box[12][12 - 10], 1);
    EXPECT_EQ(box[12 - 10][12], 0);
    // Nothing marked outside the (2D + 1) square, and a silly radius is bounded.
    kv_view_cone(45.0f, 12, box);
    for (int i = 25; i < 65; ++i) EXPECT_EQ(box[i][0] + box[0][i], 0);
    EXPECT_GT(kv_view_cone(10.0f, 1000, box), 0);
}

TEST(ViewDensity, TargetsFollowSmallBuildingCover) {
    TestMap m;
    KVBOXARRAY box;
    kv_view_cone(0.0f, 12, box);
    // No buildings: full view.
    KVVIEWDENSITY d = kv_view_density(m.view(), g_sizes, box, 12, 32, 32);
    EXPECT_FLOAT_EQ(d.SIZE, 1.0f);
    EXPECT_GT(d.CELLS, 0);
    EXPECT_EQ(d.CELLS % 64, 0);
    EXPECT_EQ(d.AREA, 0);
    // Large classes (3, 4, 6) do not count.
    for (int32_t x = 0; x < 512; x += 4)
        for (int32_t z = 0; z < 512; z += 4) m.c(x, z) = 6;
    EXPECT_FLOAT_EQ(kv_view_density(m.view(), g_sizes, box, 12, 32, 32).SIZE, 1.0f);
    // Class 1 anchors every 4 cells cover the ground completely: smallest view.
    for (int32_t x = 0; x < 512; x += 4)
        for (int32_t z = 0; z < 512; z += 4) m.c(x, z) = 4;
    d = kv_view_density(m.view(), g_sizes, box, 12, 32, 32);
    EXPECT_FLOAT_EQ(d.SIZE, 0.5f);
    EXPECT_GT(d.DENSITY, 0.08f);
    // A town 9 to 11 tiles ahead: the radius shrinks (12, 11, 10 tiles) until at 0.7 (8 tiles)
    // the town falls outside it.
    TestMap t;
    for (int32_t x = 8 * 21; x < 8 * 24; x += 4)
        for (int32_t z = 0; z < 512; z += 4) t.c(x, z) = 8;  // class 5 (size 4), tiles 21-23
    d = kv_view_density(t.view(), g_sizes, box, 12, 32, 32);
    EXPECT_FLOAT_EQ(d.SIZE, 0.7f);
    EXPECT_EQ(d.AREA, 0);
    // Behind the gunship the same town does not count.
    kv_view_cone(180.0f, 12, box);
    EXPECT_FLOAT_EQ(kv_view_density(t.view(), g_sizes, box, 12, 32, 32).SIZE, 1.0f);
    // Off the map nothing is analysed and the view stays full.
    d = kv_view_density(m.view(), g_sizes, box, 12, 200, 200);
    EXPECT_EQ(d.CELLS, 0);
    EXPECT_FLOAT_EQ(d.SIZE, 1.0f);
}
