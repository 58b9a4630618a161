// Ground triangles, smoothed normals and the gameplay height queries (see ground.h).
#include "world/ground.h"

#include <cmath>
#include <cstdio>

#include "engine/log.h"
#include "engine/textfile.h"

namespace {

VECTOR3D v3(float x, float y, float z) {
    VECTOR3D v;
    v.X = x;
    v.Y = y;
    v.Z = z;
    return v;
}

VECTOR3D sub(const VECTOR3D& a, const VECTOR3D& b) { return v3(a.X - b.X, a.Y - b.Y, a.Z - b.Z); }

VECTOR3D cross(const VECTOR3D& a, const VECTOR3D& b) {
    return v3(a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X);
}

VECTOR3D unit(const VECTOR3D& a) {
    const float len = std::sqrt(a.X * a.X + a.Y * a.Y + a.Z * a.Z);
    if (!(len > 0.0f)) return v3(0, 1, 0);
    return v3(a.X / len, a.Y / len, a.Z / len);
}

// Parity 0 cells split along A-C, parity 1 cells along B-D.
constexpr int32_t TRIANGLE_CORNERS[2][2][3] = {
    {{KV_CORNER_D, KV_CORNER_A, KV_CORNER_C}, {KV_CORNER_B, KV_CORNER_C, KV_CORNER_A}},
    {{KV_CORNER_A, KV_CORNER_B, KV_CORNER_D}, {KV_CORNER_C, KV_CORNER_D, KV_CORNER_B}},
};

// Corner positions of the cell at (x, z) in world units.
void cell_corners(const KVMAPVIEW& map, int32_t x, int32_t z, VECTOR3D corner[4]) {
    const float s = map.MAPSCALE;
    const float fx = static_cast<float>(x), fz = static_cast<float>(z);
    corner[KV_CORNER_A] = v3(fx, static_cast<float>(kv_map_terrain(map, x, z)) * s, fz);
    corner[KV_CORNER_B] = v3(fx, static_cast<float>(kv_map_terrain(map, x, z + 1)) * s, fz + 1);
    corner[KV_CORNER_C] = v3(fx + 1, static_cast<float>(kv_map_terrain(map, x + 1, z + 1)) * s, fz + 1);
    corner[KV_CORNER_D] = v3(fx + 1, static_cast<float>(kv_map_terrain(map, x + 1, z)) * s, fz);
}

float jitter(KVUNIFORMFN uniform) {
    if (!uniform) return 0.0f;
    float u = uniform();
    if (!(u >= 0.0f) || u >= 1.0f) u = 0.5f;  // a broken source must not bend the ground
    return u * 0.065f - 0.0325f;
}

// Unsmoothed lookup: corners and the jittered unit face normal.
void face(const KVMAPVIEW& map, int32_t n, int32_t tri, KVGROUNDPOLYDATATYPE& out, int32_t corners[3],
          KVUNIFORMFN uniform) {
    if (n < 0) n = 0;
    if (n >= KV_MAPCELLS) n = KV_MAPCELLS - 1;
    tri = tri == 1 ? 1 : 0;
    const int32_t p = n % 2;
    const int32_t x = n % KV_MAPSIDE;
    const int32_t z = n / KV_MAPSIDE;
    VECTOR3D c[4];
    cell_corners(map, x, z, c);
    for (int32_t k = 0; k < 3; ++k) corners[k] = TRIANGLE_CORNERS[p][tri][k];
    out.V1 = c[corners[0]];
    out.V2 = c[corners[1]];
    out.V3 = c[corners[2]];
    VECTOR3D f = unit(cross(sub(out.V2, out.V1), sub(out.V3, out.V1)));
    f.X += jitter(uniform);
    f.Y += jitter(uniform);
    f.Z += jitter(uniform);
    f = unit(f);
    out.FACENORMAL = f;
    out.N1 = out.N2 = out.N3 = f;
}

}  // namespace

void kv_ground_triangle_corners(int32_t parity, int32_t tri, int32_t corners[3]) {
    const int32_t p = parity & 1, t = tri == 1 ? 1 : 0;
    for (int32_t k = 0; k < 3; ++k) corners[k] = TRIANGLE_CORNERS[p][t][k];
}

void kv_ground_poly(const KVMAPVIEW& map, const KVGROUNDCIRCLEPOLYLOOKUPTYPE* table, int32_t n, int32_t tri,
                    KVGROUNDPOLYDATATYPE& out, int32_t smooth, KVUNIFORMFN uniform) {
    if (n < 0) n = 0;
    if (n >= KV_MAPCELLS) n = KV_MAPCELLS - 1;
    int32_t corners[3];
    face(map, n, tri, out, corners, uniform);
    if (smooth != 1) return;
    const int32_t p = n % 2;
    VECTOR3D* normals[3] = {&out.N1, &out.N2, &out.N3};
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t c = corners[k];
        const bool eight = (p == 0 && (c == KV_CORNER_A || c == KV_CORNER_C)) ||
                           (p == 1 && (c == KV_CORNER_B || c == KV_CORNER_D));
        const int32_t count = eight ? 8 : 4;
        VECTOR3D sum = v3(0, 0, 0);
        int32_t used = 0;
        for (int32_t j = 0; j < count; ++j) {
            const int32_t offset = table ? table[p * 4 + c].POLYFACEMAPINDEX[j] : 0;
            const int32_t sub_index = table ? table[p * 4 + c].POLYFACEMAPSUBINDEX[j] : 0;
            const int64_t m = static_cast<int64_t>(n) + offset;
            if (m < 0 || m >= KV_MAPCELLS) continue;
            KVGROUNDPOLYDATATYPE t;
            int32_t unused[3];
            face(map, static_cast<int32_t>(m), sub_index, t, unused, uniform);
            sum.X += t.FACENORMAL.X;
            sum.Y += t.FACENORMAL.Y;
            sum.Z += t.FACENORMAL.Z;
            used++;
        }
        if (used > 0) *normals[k] = v3(sum.X / used, sum.Y / used, sum.Z / used);
    }
}

bool kv_ground_lookup_load(const std::string& path, KVGROUNDCIRCLEPOLYLOOKUPTYPE* table) {
    if (!table) return false;
    FieldReader r;
    if (!field_reader_open(r, path)) {
        kv_log("ground lookup %s: cannot be opened; the table stays as it was", path.c_str());
        return false;
    }
    int32_t complete = 0;
    for (int32_t k = 0; k < KV_GROUNDLOOKUPS; ++k) {
        if (field_eof(r)) break;
        for (int32_t j = 0; j < 8; ++j) {
            table[k].POLYFACEMAPINDEX[j] = field_eof(r) ? 0 : field_read_int(r);
            int32_t s = field_eof(r) ? 0 : field_read_int(r);
            if (s != 0 && s != 1) {
                kv_log("ground lookup %s: record %d pair %d names triangle %d; 0 used", path.c_str(), k,
                            j, s);
                s = 0;
            }
            table[k].POLYFACEMAPSUBINDEX[j] = s;
        }
        if (field_eof(r)) {
            if (k == KV_GROUNDLOOKUPS - 1) complete++;  // the final label may be missing
            break;
        }
        field_read(r);  // label
        complete++;
    }
    if (complete < KV_GROUNDLOOKUPS) {
        kv_log("ground lookup %s: only %d of %d records complete", path.c_str(), complete, KV_GROUNDLOOKUPS);
    }
    return complete == KV_GROUNDLOOKUPS;
}

void kv_ground_lookup_default(KVGROUNDCIRCLEPOLYLOOKUPTYPE* table) {
    // For each corner of a cell of each parity: the triangles of the four cells round it that
    // touch that vertex, as (cell offset, triangle).
    for (int32_t p = 0; p < 2; ++p) {
        for (int32_t c = 0; c < 4; ++c) {
            KVGROUNDCIRCLEPOLYLOOKUPTYPE& rec = table[p * 4 + c];
            rec = KVGROUNDCIRCLEPOLYLOOKUPTYPE{};
            // The vertex in grid steps relative to the cell's lower corner.
            const int32_t vx = (c == KV_CORNER_C || c == KV_CORNER_D) ? 1 : 0;
            const int32_t vz = (c == KV_CORNER_B || c == KV_CORNER_C) ? 1 : 0;
            int32_t used = 0;
            // The cells round the vertex, in the order +X+Z, +Z, +X, self, -X, -Z ... as offsets.
            for (int32_t dz = 0; dz >= -1; --dz) {
                for (int32_t dx = 0; dx >= -1; --dx) {
                    const int32_t cx = vx + dx, cz = vz + dz;  // neighbour cell relative to ours
                    const int32_t offset = cz * KV_MAPSIDE + cx;
                    // The neighbour's parity differs from ours by the offset's parity.
                    const int32_t np = ((p + offset) % 2 + 2) % 2;
                    // Which corner of the neighbour the vertex is.
                    const int32_t lx = vx - cx, lz = vz - cz;
                    const int32_t nc = lx == 0 ? (lz == 0 ? KV_CORNER_A : KV_CORNER_B)
                                               : (lz == 0 ? KV_CORNER_D : KV_CORNER_C);
                    for (int32_t t = 0; t < 2; ++t) {
                        for (int32_t k = 0; k < 3; ++k) {
                            if (TRIANGLE_CORNERS[np][t][k] == nc && used < 8) {
                                rec.POLYFACEMAPINDEX[used] = offset;
                                rec.POLYFACEMAPSUBINDEX[used] = t;
                                used++;
                            }
                        }
                    }
                }
            }
        }
    }
}

namespace {
// Sample coordinate of a world coordinate: floor, bounded to the grid (non-numbers read 0).
int32_t sample_of(float v) {
    if (!std::isfinite(v)) return 0;
    const float f = std::floor(v);
    if (f < 0.0f) return 0;
    if (f > static_cast<float>(KV_MAPSIDE - 1)) return KV_MAPSIDE - 1;
    return static_cast<int32_t>(f);
}
}  // namespace

float kv_find_map_y(const KVMAPVIEW& map, float x, float z) {
    const float h = static_cast<float>(kv_map_terrain(map, sample_of(x), sample_of(z))) * map.MAPSCALE;
    const float w = kv_water_surface(map);
    return h < w ? w : h;
}

float kv_find_map_y_nospacer(const KVMAPVIEW& map, float x, float z) {
    const int32_t i = sample_of(x), j = sample_of(z);
    const float h = static_cast<float>(kv_map_terrain(map, i, j)) * map.MAPSCALE;
    if (kv_map_city(map, i, j) != 1) return h;
    const float w = kv_water_surface(map);
    return h < w ? w : h;
}

void kv_find_gunship_y(const KVMAPVIEW& map, KVGUNSHIPHEIGHT& g, float FPSR) {
    auto clamp511 = [](float v) {
        if (!std::isfinite(v)) return v > 0 ? 511.0f : 0.0f;  // +inf to the edge, -inf and NaN to 0
        return v < 0.0f ? 0.0f : (v > 511.0f ? 511.0f : v);
    };
    g.PLAYERX = clamp511(g.PLAYERX);
    g.PLAYERZ = clamp511(g.PLAYERZ);
    const int32_t i0 = static_cast<int32_t>(std::floor(g.PLAYERX));
    const int32_t j0 = static_cast<int32_t>(std::floor(g.PLAYERZ));
    int32_t top = 0;
    for (int32_t i = 0; i < 2; ++i) {
        for (int32_t j = 0; j < 2; ++j) {
            const int32_t h = kv_map_terrain(map, i0 + i, j0 + j);
            if (h > top) top = h;
        }
    }
    float ground = static_cast<float>(top) * map.MAPSCALE;
    const float w = kv_water_surface(map);
    if (ground < w) ground = w;
    const float L = g.GUNSHIPLANDRATIO;
    const float target = (g.GUNSHIPHOVERY * L - 7.0f * L + 7.0f) * map.MAPSCALE + ground +
                         std::sin(g.PLAYERHOVERCYCLE) * L * map.MAPSCALE;
    g.PLAYERY = g.PLAYERY + (target - g.PLAYERY) * 0.1f;
    float ratio = g.GUNSHIPLANDRATIO + (0.025f - 0.05f * static_cast<float>(g.GUNSHIPLANDED)) * FPSR;
    if (!(ratio > 0.0f)) ratio = 0.0f;
    if (ratio > 1.0f) ratio = 1.0f;
    g.GUNSHIPLANDRATIO = ratio;
    if (g.GUNSHIPLANDED == 0) g.PLAYERHOVERCYCLE += 0.05f * FPSR;
    else if (g.GUNSHIPLANDED == 1) g.PLAYERHOVERCYCLE = 0.0f;
}
