// Tile geometry, colour ramps, view cone and view density (see terrain.h).
#include "world/terrain.h"

#include "engine/log.h"
#include "engine/math3d.h"

#include <cmath>
#include <cstdio>

namespace {

struct Emitter {
    const KVTILEINPUT& in;
    KVCOLORSTATE& color;
    const KVTILESINK& sink;

    void pick(const KVCOLOR3& c) { kv_pick_color(color, sink, c.R, c.G, c.B); }
    void normal(const VECTOR3D& n) {
        if (sink.NORMAL) sink.NORMAL(sink.CTX, n.X, n.Y, n.Z);
    }
    void vertex(const VECTOR3D& v) {
        if (sink.VERTEX) sink.VERTEX(sink.CTX, v.X, v.Y, v.Z);
    }
};

VECTOR3D at(float x, float y, float z) {
    VECTOR3D v;
    v.X = x;
    v.Y = y;
    v.Z = z;
    return v;
}

struct WallVertex {
    VECTOR3D pos;
    KVCOLOR3 color;
};

// One wall triangle, wound so that its front faces along the outward normal.
void wall_triangle(Emitter& e, const VECTOR3D& n, WallVertex a, WallVertex b, WallVertex c) {
    const float ux = b.pos.X - a.pos.X, uy = b.pos.Y - a.pos.Y, uz = b.pos.Z - a.pos.Z;
    const float vx = c.pos.X - a.pos.X, vy = c.pos.Y - a.pos.Y, vz = c.pos.Z - a.pos.Z;
    const float fx = uy * vz - uz * vy, fy = uz * vx - ux * vz, fz = ux * vy - uy * vx;
    if (fx * n.X + fy * n.Y + fz * n.Z < 0.0f) {
        WallVertex t = b;
        b = c;
        c = t;
    }
    for (const WallVertex* w : {&a, &b, &c}) {
        e.pick(w->color);
        e.normal(n);
        e.vertex(w->pos);
    }
}

// A vertical wall on the edge P-Q: the lower quad from the terrain corners to the water level W
// (coloured by height), the upper quad from W (paving) up to top (paving light).
void wall(Emitter& e, const VECTOR3D& p, const VECTOR3D& q, const VECTOR3D& n, float top) {
    const KVMAPVIEW& map = e.in.MAP;
    const float W = kv_water_level(map);
    const WallVertex pt{p, kv_road_color(map, p.Y)}, qt{q, kv_road_color(map, q.Y)};
    const WallVertex pw{at(p.X, W, p.Z), kv_road_color(map, W)}, qw{at(q.X, W, q.Z), kv_road_color(map, W)};
    wall_triangle(e, n, pw, qw, qt);
    wall_triangle(e, n, pw, qt, pt);
    const WallVertex pb{at(p.X, W, p.Z), KV_COLOR_PAVING}, qb{at(q.X, W, q.Z), KV_COLOR_PAVING};
    const WallVertex pu{at(p.X, top, p.Z), KV_COLOR_PAVINGLIGHT}, qu{at(q.X, top, q.Z), KV_COLOR_PAVINGLIGHT};
    wall_triangle(e, n, pb, qb, qu);
    wall_triangle(e, n, pb, qu, pu);
}

// Sides of a cell and the two corners that bound each.
enum Side { SIDE_NEG_Z = 0, SIDE_POS_Z = 1, SIDE_NEG_X = 2, SIDE_POS_X = 3 };
constexpr int32_t SIDE_CORNERS[4][2] = {
    {KV_CORNER_A, KV_CORNER_D}, {KV_CORNER_B, KV_CORNER_C}, {KV_CORNER_A, KV_CORNER_B}, {KV_CORNER_D, KV_CORNER_C}};
const VECTOR3D SIDE_NORMAL[4] = {at(0, 0, -1), at(0, 0, 1), at(-1, 0, 0), at(1, 0, 0)};

// The two corners of a cell side, taken from an unsmoothed lookup of the cell's own triangle
// that holds that side.
void side_corners(Emitter& e, int32_t n, int32_t side, VECTOR3D& p, VECTOR3D& q) {
    const int32_t parity = n % 2;
    for (int32_t tri = 0; tri < 2; ++tri) {
        int32_t corners[3];
        kv_ground_triangle_corners(parity, tri, corners);
        int32_t ip = -1, iq = -1;
        for (int32_t k = 0; k < 3; ++k) {
            if (corners[k] == SIDE_CORNERS[side][0]) ip = k;
            if (corners[k] == SIDE_CORNERS[side][1]) iq = k;
        }
        if (ip < 0 || iq < 0) continue;
        KVGROUNDPOLYDATATYPE t;
        kv_ground_poly(e.in.MAP, e.in.LOOKUP, n, tri, t, 0, e.in.UNIFORM);
        const VECTOR3D v[3] = {t.V1, t.V2, t.V3};
        p = v[ip];
        q = v[iq];
        return;
    }
}

void ground_cell(Emitter& e, int32_t n) {
    for (int32_t tri = 0; tri < 2; ++tri) {
        KVGROUNDPOLYDATATYPE t;
        kv_ground_poly(e.in.MAP, e.in.LOOKUP, n, tri, t, 1, e.in.UNIFORM);
        const VECTOR3D* v[3] = {&t.V1, &t.V2, &t.V3};
        const VECTOR3D* nn[3] = {&t.N1, &t.N2, &t.N3};
        for (int32_t k = 0; k < 3; ++k) {
            e.pick(kv_ground_color(e.in.MAP, v[k]->Y));
            e.normal(*nn[k]);
            e.vertex(*v[k]);
        }
    }
}

void platform_cell(Emitter& e, int32_t x, int32_t z, int32_t n) {
    e.color.FORCE = 1;
    e.pick(KV_COLOR_PAVING);
    const float ws = kv_water_surface(e.in.MAP);
    bool raised = false;
    for (int32_t tri = 0; tri < 2; ++tri) {
        KVGROUNDPOLYDATATYPE t;
        kv_ground_poly(e.in.MAP, e.in.LOOKUP, n, tri, t, 1, e.in.UNIFORM);
        VECTOR3D* v[3] = {&t.V1, &t.V2, &t.V3};
        const VECTOR3D* nn[3] = {&t.N1, &t.N2, &t.N3};
        for (int32_t k = 0; k < 3; ++k) {
            if (v[k]->Y < ws) {
                v[k]->Y = ws;
                raised = true;
            }
            e.normal(*nn[k]);
            e.vertex(*v[k]);
        }
    }
    if (!raised) return;
    // Neighbours in the order -Z, +Z, -X, +X; the map edge has no neighbour.
    const int32_t nx[4] = {x, x, x - 1, x + 1};
    const int32_t nz[4] = {z - 1, z + 1, z, z};
    for (int32_t side = 0; side < 4; ++side) {
        if (!kv_map_inside(nx[side], nz[side])) continue;
        const int32_t code = kv_map_city(e.in.MAP, nx[side], nz[side]);
        if (code != 0 && code != 3) continue;
        VECTOR3D p, q;
        side_corners(e, n, side, p, q);
        wall(e, p, q, SIDE_NORMAL[side], ws);
    }
}

void plinth(Emitter& e, int32_t x, int32_t z, int32_t code) {
    e.color.FORCE = 1;
    e.pick(KV_COLOR_PAVING);
    const int32_t k = code - 3;
    int32_t s = e.in.CLASSSIZE ? e.in.CLASSSIZE[k] : 0;
    if (s <= 0) return;
    if (s > KV_MAPSIDE) s = KV_MAPSIDE;
    float top = 0.0f;
    bool outside = false;
    for (int32_t a = 0; a < s; ++a) {
        for (int32_t b = 0; b < s; ++b) {
            if (!kv_map_inside(x + a, z + b)) {
                outside = true;
                continue;
            }
            const float h = static_cast<float>(kv_map_terrain(e.in.MAP, x + a, z + b)) * e.in.MAP.MAPSCALE;
            if (h > top) top = h;
        }
    }
    if (outside) kv_log("mi2 out of area");
    for (int32_t a = 0; a < s; ++a) {
        for (int32_t b = 0; b < s; ++b) {
            if (a != 0 && a != s - 1 && b != 0 && b != s - 1) continue;
            if (!kv_map_inside(x + a, z + b)) continue;
            const int32_t c = kv_map_city(e.in.MAP, x + a, z + b);
            if (c != -1 && c <= 3) continue;
            const int32_t m = kv_map_index(x + a, z + b);
            const bool sides[4] = {b == 0, b == s - 1, a == 0, a == s - 1};
            for (int32_t side = 0; side < 4; ++side) {
                if (!sides[side]) continue;
                VECTOR3D p, q;
                side_corners(e, m, side, p, q);
                wall(e, p, q, SIDE_NORMAL[side], top);
            }
        }
    }
}

KVCOLOR3 mix(const KVCOLOR3& a, const KVCOLOR3& b, float t) {
    return KVCOLOR3{a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

}  // namespace

void kv_tile_box_add(KVTILEBOX& box, float x, float y, float z) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) box.FINITE = false;
    const float v[3] = {x, y, z};
    for (int32_t k = 0; k < 3; ++k) {
        box.LO[k] = box.SET ? std::fmin(box.LO[k], v[k]) : v[k];
        box.HI[k] = box.SET ? std::fmax(box.HI[k], v[k]) : v[k];
    }
    box.SET = true;
}

bool kv_pick_color(KVCOLORSTATE& state, const KVTILESINK& sink, float r, float g, float b) {
    if (r == state.R && g == state.G && b == state.B && state.FORCE != 1) return false;
    state.R = r;
    state.G = g;
    state.B = b;
    state.FORCE = 0;
    if (sink.COLOR) {
        sink.COLOR(sink.CTX, std::floor(100.0f * r) / 100.0f, std::floor(100.0f * g) / 100.0f,
                   std::floor(100.0f * b) / 100.0f);
    }
    return true;
}

KVCOLOR3 kv_ground_color(const KVMAPVIEW& map, float y) {
    const float W = kv_water_level(map), s = map.MAPSCALE;
    const float h1 = W + 16 * s, h2 = W + 6 * s, h3 = W - 30 * s, h4 = W - 50 * s;
    if (y > h1) return KV_COLOR_UPLAND;
    if (y > h2) return mix(KV_COLOR_BEACH, KV_COLOR_UPLAND, (y - h2) / (h1 - h2));
    if (y > h3) return mix(KV_COLOR_SHALLOWS, KV_COLOR_BEACH, (y - h3) / (h2 - h3));
    if (y < h4) y = h4;
    return mix(KV_COLOR_DEEP, KV_COLOR_SHALLOWS, (y - h4) / (h3 - h4));
}

KVCOLOR3 kv_road_color(const KVMAPVIEW& map, float y) {
    const float W = kv_water_level(map), h3 = W - 30 * map.MAPSCALE;
    if (y < h3) y = h3;
    return mix(KV_COLOR_WALLFOOT, KV_COLOR_BEACH, (y - h3) / (W - h3));
}

bool kv_tile_emit(const KVTILEINPUT& in, KVCOLORSTATE& color, const KVTILESINK& sink, int32_t tx, int32_t tz) {
    if (tx < 0 || tz < 0 || tx >= KV_TILES || tz >= KV_TILES) return false;
    Emitter e{in, color, sink};
    if (sink.BEGIN) sink.BEGIN(sink.CTX);
    color.FORCE = 1;
    for (int32_t i = 0; i < KV_TILECELLS; ++i) {
        for (int32_t j = 0; j < KV_TILECELLS; ++j) {
            const int32_t x = tx * KV_TILECELLS + i, z = tz * KV_TILECELLS + j;
            const int32_t n = kv_map_index(x, z);
            const int32_t c = kv_map_city(in.MAP, x, z);
            if (c == 0 || c == 3) ground_cell(e, n);
            else if (c == 1) platform_cell(e, x, z, n);
            else if (c >= 4 && c <= 19) plinth(e, x, z, c);
        }
    }
    if (sink.END) sink.END(sink.CTX);
    return true;
}

int32_t kv_view_cone(float angle_deg, int32_t D, KVBOXARRAY& box) {
    if (D < 0) D = 0;
    if (D > 32) D = 32;
    for (auto& row : box)
        for (auto& v : row) v = 0;
    if (!std::isfinite(angle_deg)) angle_deg = 0.0f;
    const float a = static_cast<float>(angle_deg * MATH_DEG2RAD);
    const float ca = std::cos(a), sa = std::sin(a);
    const float fx = -ca, fz = -sa;
    int32_t marked = 0;
    for (int32_t i = -D; i <= D; ++i) {
        for (int32_t j = -D; j <= D; ++j) {
            const float px = static_cast<float>(i) - 5.6f * ca, pz = static_cast<float>(j) - 5.6f * sa;
            const float len = std::sqrt(px * px + pz * pz);
            if (!(len > 0.0f) || len > static_cast<float>(D) + 5.6f) continue;
            const float dot = (fx * px + fz * pz) / len;
            if (std::nearbyint(100.0f * dot) > 80.0f) {
                box[D + i][D + j] = 1;
                marked++;
            }
        }
    }
    return marked;
}

KVVIEWDENSITY kv_view_density(const KVMAPVIEW& map, const int32_t* classsize, const KVBOXARRAY& box, int32_t D,
                              int32_t px8, int32_t pz8) {
    if (D < 0) D = 0;
    if (D > 32) D = 32;
    auto on_map = [](int32_t t) { return t >= 0 && t < KV_TILES; };
    KVVIEWDENSITY out;
    for (int32_t i = -D; i <= D; ++i)
        for (int32_t j = -D; j <= D; ++j)
            if (box[D + i][D + j] == 1 && on_map(px8 + i) && on_map(pz8 + j)) out.CELLS += 64;
    // Tenths, so the sizes come out exactly 1.0 ... 0.5.
    int32_t tenths = 11;
    for (;;) {
        tenths -= 1;
        out.SIZE = static_cast<float>(tenths) / 10.0f;
        if (tenths < 6) break;
        int32_t r = static_cast<int32_t>(std::nearbyint(static_cast<float>(D) * out.SIZE));
        if (r > D) r = D;
        int32_t area = 0;
        for (int32_t i = -r; i <= r; ++i) {
            for (int32_t j = -r; j <= r; ++j) {
                if (box[D + i][D + j] != 1) continue;
                const int32_t tx = px8 + i, tz = pz8 + j;
                if (!on_map(tx) || !on_map(tz)) continue;
                for (int32_t ci = 0; ci < KV_TILECELLS; ++ci) {
                    for (int32_t cj = 0; cj < KV_TILECELLS; ++cj) {
                        const int32_t c = kv_map_city(map, tx * KV_TILECELLS + ci, tz * KV_TILECELLS + cj);
                        const int32_t k = c - 3;
                        if (c <= 3 || (k != 1 && k != 2 && k != 5)) continue;
                        const int32_t s = classsize ? classsize[k] : 0;
                        area += s * s;
                    }
                }
            }
        }
        out.AREA = area;
        out.DENSITY = out.CELLS > 0 ? static_cast<float>(area) / static_cast<float>(out.CELLS) : 0.0f;
        if (!(out.DENSITY > 0.08f)) break;
    }
    return out;
}
