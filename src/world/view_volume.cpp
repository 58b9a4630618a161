// View volume planes and the outside tests (see view_volume.h).
#include "world/view_volume.h"

#include <cmath>

namespace {
bool finite_planes(const ViewVolume& v) {
    for (int32_t i = 0; i < v.planes; ++i)
        for (float x : v.plane[i])
            if (!std::isfinite(x)) return false;
    return true;
}
}  // namespace

ViewVolume view_volume_from(const float proj[16], const float modelview[16]) {
    ViewVolume v;
    float c[16];
    for (int32_t col = 0; col < 4; ++col)
        for (int32_t row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int32_t k = 0; k < 4; ++k) sum += proj[k * 4 + row] * modelview[col * 4 + k];
            c[col * 4 + row] = sum;
        }
    auto row = [&c](int32_t r, int32_t k) { return c[k * 4 + r]; };
    for (int32_t i = 0; i < 3; ++i)
        for (int32_t k = 0; k < 4; ++k) {
            v.plane[2 * i][k] = row(3, k) + row(i, k);
            v.plane[2 * i + 1][k] = row(3, k) - row(i, k);
        }
    for (int32_t k = 0; k < 4; ++k) v.depth[k] = -modelview[k * 4 + 2];
    v.planes = 6;
    v.active = finite_planes(v);
    return v;
}

void view_volume_add_fog_end(ViewVolume& v, float fog_end) {
    if (!v.active || v.planes != 6 || !std::isfinite(fog_end) || !(fog_end > 0.0f)) return;
    // The fog coordinate is the eye depth -z; past fog_end the fog factor clamps to 0. The
    // plane's value, end + margin - depth, is negative only where the depth lies beyond it.
    const float margin = 0.5f + 0.01f * fog_end;
    for (int32_t k = 0; k < 4; ++k) v.plane[6][k] = -v.depth[k];
    v.plane[6][3] += fog_end + margin;
    v.planes = 7;
    v.active = finite_planes(v);
}

bool view_volume_box_outside(const ViewVolume& v, float x0, float y0, float z0, float x1, float y1, float z1) {
    if (!v.active) return false;
    for (int32_t i = 0; i < v.planes; ++i) {
        const float* pl = v.plane[i];
        const float far = pl[0] * (pl[0] > 0 ? x1 : x0) + pl[1] * (pl[1] > 0 ? y1 : y0) + pl[2] * (pl[2] > 0 ? z1 : z0) + pl[3];
        const float scale = std::fabs(pl[0]) * std::fmax(std::fabs(x0), std::fabs(x1)) +
                            std::fabs(pl[1]) * std::fmax(std::fabs(y0), std::fabs(y1)) +
                            std::fabs(pl[2]) * std::fmax(std::fabs(z0), std::fabs(z1)) + std::fabs(pl[3]);
        if (far < -1.0e-3f * scale) return true;
    }
    return false;
}

bool view_volume_sphere_outside(const ViewVolume& v, float x, float y, float z, float r) {
    if (!(r >= 0.0f)) return false;
    return view_volume_box_outside(v, x - r, y - r, z - r, x + r, y + r, z + r);
}

float view_depth(const ViewVolume& v, float x, float y, float z) {
    return v.depth[0] * x + v.depth[1] * y + v.depth[2] * z + v.depth[3];
}
