// Building classes in world units: every piece spans 0..s in X and Z from the anchor and
// stands on y = 0. Assembled classes (4x4a, 4x4sat, 8x8a) are split into four facades (north
// faces -Z, south +Z, east +X, west -X), low-detail facades that keep the silhouette and the
// window rhythm, a roof, and bounding boxes; the larger classes (12x12a, 16x16helo,
// 16x16fuel) are single meshes with their boxes.
#include <cmath>
#include <string>

#include "mesh_families.h"

namespace {

struct Look {
    float wall[3];
    float trim[3];
    float roof[3];
};
const Look kConcrete = {{0.78f, 0.75f, 0.68f}, {0.66f, 0.63f, 0.56f}, {0.57f, 0.55f, 0.50f}};
const Look kSandstone = {{0.80f, 0.72f, 0.56f}, {0.69f, 0.61f, 0.46f}, {0.60f, 0.56f, 0.47f}};
const float kWindow[3] = {0.13f, 0.15f, 0.17f};

struct Style {
    float size;      // footprint edge
    float height;    // wall height
    int floors;
    int windows;     // windows per floor along one facade
    float win_w, win_h;
    const Look* look;
};

// Frame of facade k (0 north, 1 south, 2 east, 3 west) of a building of edge s: the facade is
// built as the north one (x 0..s along the wall, outside towards -Z at z = 0).
MeshXform facade_frame(int k, float s) {
    switch (k) {
        case 1: return xf_translate(s, 0, s) * xf_rotate_y(180);
        case 2: return xf_translate(s, 0, 0) * xf_rotate_y(-90);
        case 3: return xf_translate(0, 0, s) * xf_rotate_y(90);
        default: return xf_identity();
    }
}

void materials(Mesh& m, const Look& look, int& wall, int& trim, int& window) {
    wall = mesh_material(m, "wall", look.wall[0], look.wall[1], look.wall[2], 12);
    trim = mesh_material(m, "trim", look.trim[0], look.trim[1], look.trim[2], 12);
    window = mesh_material(m, "window", kWindow[0], kWindow[1], kWindow[2], 300);
}

float window_x(const Style& st, int i) {
    const float bay = st.size / static_cast<float>(st.windows);
    return bay * (static_cast<float>(i) + 0.5f);
}
float floor_base(const Style& st, int f) {
    return 0.35f + (st.height - 0.6f) * static_cast<float>(f) / static_cast<float>(st.floors);
}

// Full-detail facade: wall face, plinth band, cornice, windows with sills and lintels, and a
// door in the middle of the ground floor when door is set.
Mesh facade(const Style& st, int k, bool door) {
    Mesh m;
    int wall, trim, window;
    materials(m, *st.look, wall, trim, window);
    m.xf = facade_frame(k, st.size);
    const float s = st.size, h = st.height;
    mesh_use(m, wall);
    mesh_quad(m, {0, 0, 0}, {0, h, 0}, {s, h, 0}, {s, 0, 0});
    mesh_use(m, trim);
    mesh_box(m, {0, 0, -0.06f}, {s, 0.32f, 0});
    mesh_box(m, {-0.06f, h - 0.18f, -0.1f}, {s + 0.06f, h, 0});
    // Corner pilasters.
    mesh_box(m, {0, 0.32f, -0.05f}, {0.18f, h - 0.18f, 0});
    mesh_box(m, {s - 0.18f, 0.32f, -0.05f}, {s, h - 0.18f, 0});
    const float floor_h = (h - 0.6f) / static_cast<float>(st.floors);
    for (int f = 0; f < st.floors; ++f) {
        const float y0 = floor_base(st, f) + (floor_h - st.win_h) * 0.45f;
        if (f > 0) {
            mesh_use(m, trim);
            mesh_box(m, {0.18f, floor_base(st, f) - 0.05f, -0.04f}, {s - 0.18f, floor_base(st, f) + 0.03f, 0});
        }
        for (int i = 0; i < st.windows; ++i) {
            const float cx = window_x(st, i);
            const bool is_door = door && f == 0 && i == st.windows / 2;
            const float ww = is_door ? 0.7f : st.win_w;
            const float wy0 = is_door ? 0.32f : y0;
            const float wy1 = is_door ? 0.32f + std::fmin(1.5f, floor_h - 0.2f) : y0 + st.win_h;
            mesh_use(m, window);
            mesh_quad(m, {cx - ww / 2, wy0, -0.015f}, {cx - ww / 2, wy1, -0.015f}, {cx + ww / 2, wy1, -0.015f},
                      {cx + ww / 2, wy0, -0.015f});
            mesh_use(m, trim);
            if (!is_door) mesh_box(m, {cx - ww / 2 - 0.06f, wy0 - 0.07f, -0.08f}, {cx + ww / 2 + 0.06f, wy0, 0});
            mesh_box(m, {cx - ww / 2 - 0.04f, wy1, -0.04f}, {cx + ww / 2 + 0.04f, wy1 + 0.06f, 0});
            if (is_door) mesh_box(m, {cx - 0.6f, wy1 + 0.06f, -0.45f}, {cx + 0.6f, wy1 + 0.14f, 0});
        }
    }
    return m;
}

// Low-detail facade: the wall face and one flat quad per window (or door).
Mesh facade_low(const Style& st, int k, bool door) {
    Mesh m;
    int wall, trim, window;
    materials(m, *st.look, wall, trim, window);
    (void)trim;
    m.xf = facade_frame(k, st.size);
    const float s = st.size, h = st.height;
    mesh_use(m, wall);
    mesh_quad(m, {0, 0, 0}, {0, h, 0}, {s, h, 0}, {s, 0, 0});
    mesh_use(m, window);
    const float floor_h = (h - 0.6f) / static_cast<float>(st.floors);
    for (int f = 0; f < st.floors; ++f) {
        const float y0 = floor_base(st, f) + (floor_h - st.win_h) * 0.45f;
        for (int i = 0; i < st.windows; ++i) {
            const float cx = window_x(st, i);
            const bool is_door = door && f == 0 && i == st.windows / 2;
            const float ww = is_door ? 0.7f : st.win_w;
            const float wy0 = is_door ? 0.32f : y0;
            const float wy1 = is_door ? 0.32f + std::fmin(1.5f, floor_h - 0.2f) : y0 + st.win_h;
            mesh_quad(m, {cx - ww / 2, wy0, -0.015f}, {cx - ww / 2, wy1, -0.015f}, {cx + ww / 2, wy1, -0.015f},
                      {cx + ww / 2, wy0, -0.015f});
        }
    }
    return m;
}

Mesh box_mesh(float s, float h, const Look& look) {
    Mesh m;
    mesh_material(m, "wall", look.wall[0], look.wall[1], look.wall[2], 12);
    mesh_box(m, {0, 0, 0}, {s, h, s});
    return m;
}

// Flat roof with a parapet all round.
void roof_base(Mesh& m, const Style& st, int& roof, int& trim) {
    const float s = st.size, h = st.height;
    roof = mesh_material(m, "roof", st.look->roof[0], st.look->roof[1], st.look->roof[2], 8);
    trim = mesh_material(m, "trim", st.look->trim[0], st.look->trim[1], st.look->trim[2], 12);
    mesh_use(m, roof);
    mesh_quad(m, {0, h, 0}, {0, h, s}, {s, h, s}, {s, h, 0});
    mesh_use(m, trim);
    const float t = 0.16f, p = 0.38f;
    mesh_box(m, {0, h, 0}, {s, h + p, t});
    mesh_box(m, {0, h, s - t}, {s, h + p, s});
    mesh_box(m, {0, h, t}, {t, h + p, s - t});
    mesh_box(m, {s - t, h, t}, {s, h + p, s - t});
}

void vent(Mesh& m, float x, float z, float y, int metal, int dark) {
    mesh_use(m, metal);
    mesh_box(m, {x - 0.35f, y, z - 0.3f}, {x + 0.35f, y + 0.45f, z + 0.3f});
    mesh_use(m, dark);
    mesh_frustum(m, {x, y + 0.45f, z}, {x, y + 0.5f, z}, 0.22f, 0.22f, 10);
}

Mesh roof_small(const Style& st) {
    Mesh m;
    int roof, trim;
    roof_base(m, st, roof, trim);
    const int metal = mesh_material(m, "metal", 0.55f, 0.56f, 0.55f, 200);
    const int dark = mesh_material(m, "vent", 0.15f, 0.15f, 0.15f, 64);
    const float h = st.height, s = st.size;
    vent(m, s * 0.3f, s * 0.35f, h, metal, dark);
    mesh_use(m, trim);
    mesh_box(m, {s * 0.55f, h, s * 0.55f}, {s * 0.55f + 1.0f, h + 0.8f, s * 0.55f + 0.9f});  // stair hatch
    return m;
}

Mesh roof_large(const Style& st) {
    Mesh m;
    int roof, trim;
    roof_base(m, st, roof, trim);
    const int metal = mesh_material(m, "metal", 0.55f, 0.56f, 0.55f, 200);
    const int dark = mesh_material(m, "vent", 0.15f, 0.15f, 0.15f, 64);
    const float h = st.height, s = st.size;
    vent(m, 1.6f, 1.8f, h, metal, dark);
    vent(m, 2.8f, 1.8f, h, metal, dark);
    vent(m, 6.0f, 5.8f, h, metal, dark);
    mesh_use(m, trim);
    mesh_box(m, {4.6f, h, 4.4f}, {6.4f, h + 1.6f, 5.6f});  // stair tower
    mesh_use(m, dark);
    mesh_quad(m, {5.1f, h, 4.39f}, {5.1f, h + 1.3f, 4.39f}, {5.9f, h + 1.3f, 4.39f}, {5.9f, h, 4.39f});
    // Water tank on legs.
    mesh_use(m, metal);
    for (int i = 0; i < 4; ++i) {
        const float x = 1.6f + (i % 2) * 1.2f, z = 5.2f + (i / 2) * 1.2f;
        mesh_rod(m, {x, h, z}, {x, h + 1.0f, z}, 0.05f);
    }
    mesh_frustum(m, {2.2f, h + 1.0f, 5.8f}, {2.2f, h + 2.1f, 5.8f}, 0.85f, 0.85f, 14);
    mesh_frustum(m, {2.2f, h + 2.1f, 5.8f}, {2.2f, h + 2.45f, 5.8f}, 0.85f, 0.0f, 14, false);
    (void)s;
    return m;
}

// Roof of the satellite station: parapet, equipment cabinet and a dish on a pedestal.
Mesh roof_sat(const Style& st) {
    Mesh m;
    int roof, trim;
    roof_base(m, st, roof, trim);
    const int metal = mesh_material(m, "metal", 0.55f, 0.56f, 0.55f, 200);
    const int dish = mesh_material(m, "dish", 0.88f, 0.87f, 0.83f, 160);
    const int dark = mesh_material(m, "vent", 0.15f, 0.15f, 0.15f, 64);
    const float h = st.height;
    mesh_use(m, metal);
    mesh_box(m, {0.5f, h, 2.9f}, {1.5f, h + 0.9f, 3.5f});
    mesh_frustum(m, {2.3f, h, 1.9f}, {2.3f, h + 1.1f, 1.9f}, 0.22f, 0.15f, 10);
    // Dish facing up and to the south-west.
    const MeshXform saved = m.xf;
    m.xf = xf_translate(2.3f, h + 1.55f, 1.9f) * xf_rotate_y(-135) * xf_rotate_x(55);
    mesh_use(m, dish);
    {
        // The bowl bulges away from the feed horn (local -Z), its rim in the plane z = 0.
        const MeshXform dish_frame = m.xf;
        m.xf = dish_frame * xf_rotate_x(-90);
        mesh_shell(m, {0, 0, 0}, {1.2f, 0.42f, 1.2f}, 16, 4, 0, 90);
        m.xf = dish_frame;
    }
    mesh_use(m, dark);
    for (int k = 0; k < 3; ++k) {
        const float a = 2.094395f * static_cast<float>(k);
        mesh_rod(m, {std::cos(a) * 1.0f, std::sin(a) * 1.0f, -0.06f}, {0, 0, 0.9f}, 0.025f);
    }
    mesh_frustum(m, {0, 0, 0.85f}, {0, 0, 1.05f}, 0.09f, 0.06f, 8);
    m.xf = saved;
    // Whip antenna.
    mesh_use(m, dark);
    mesh_rod(m, {3.5f, h, 3.5f}, {3.5f, h + 2.4f, 3.5f}, 0.03f);
    return m;
}

void add_assembled(std::vector<NamedMesh>& out, const std::string& base, const Style& st,
                   Mesh (*roof)(const Style&)) {
    const char* dirs[4] = {"_n", "_s", "_e", "_w"};
    out.push_back({base + "_box.obj", box_mesh(st.size, st.height, *st.look), 1});
    for (int k = 0; k < 4; ++k) out.push_back({base + dirs[k] + ".obj", facade(st, k, k == 1), 1});
    for (int k = 0; k < 4; ++k) out.push_back({base + dirs[k] + "_low.obj", facade_low(st, k, k == 1), 1});
    out.push_back({base + "_top.obj", roof(st), 1});
    out.push_back({base + "_box_low.obj", box_mesh(st.size, st.height, *st.look), 1});
}

// Office block on a 12 x 12 lot: a main block with window bands on all sides, an entrance
// canopy, roof plant.
Mesh block_12() {
    const Style st = {11.0f, 8.2f, 4, 8, 0.75f, 1.0f, &kConcrete};
    Mesh m;
    for (int k = 0; k < 4; ++k) {
        Mesh f = facade(st, k, k == 1);
        // Inset the 11 x 11 block by half a unit on the 12 x 12 lot.
        for (MeshVertex& v : f.vertices) {
            v.p.x += 0.5f;
            v.p.z += 0.5f;
        }
        mesh_append(m, f);
    }
    Mesh r = roof_large(st);
    for (MeshVertex& v : r.vertices) {
        v.p.x += 0.5f;
        v.p.z += 0.5f;
    }
    mesh_append(m, r);
    // Paved forecourt.
    const int pave = mesh_material(m, "paving", 0.82f, 0.79f, 0.73f, 8);
    mesh_use(m, pave);
    mesh_box(m, {0, 0, 0}, {12, 0.08f, 0.5f});
    mesh_box(m, {0, 0, 11.5f}, {12, 0.08f, 12});
    mesh_box(m, {0, 0, 0.5f}, {0.5f, 0.08f, 11.5f});
    mesh_box(m, {11.5f, 0, 0.5f}, {12, 0.08f, 11.5f});
    // Rooftop antenna mast.
    const int dark = mesh_material(m, "vent", 0.15f, 0.15f, 0.15f, 64);
    mesh_use(m, dark);
    mesh_rod(m, {9.5f, 8.2f, 9.5f}, {9.5f, 12.0f, 9.5f}, 0.06f);
    mesh_rod(m, {9.1f, 11.2f, 9.5f}, {9.9f, 11.2f, 9.5f}, 0.03f);
    return m;
}

// Helipad: a low hangar block whose roof is the landing pad, painted H and circle, edge
// lights, and a small control tower on one corner.
Mesh helipad_16() {
    Mesh m;
    const Style st = {16.0f, 2.4f, 1, 8, 0.9f, 0.8f, &kConcrete};
    for (int k = 0; k < 4; ++k) mesh_append(m, facade(st, k, k == 1));
    const float h = st.height;
    const int pad = mesh_material(m, "pad", 0.36f, 0.36f, 0.34f, 8);
    const int paint = mesh_material(m, "paint", 0.93f, 0.92f, 0.86f, 24);
    const int amber = mesh_material(m, "light", 1.0f, 0.6f, 0.1f, 64);
    const int trim = mesh_material(m, "trim", kConcrete.trim[0], kConcrete.trim[1], kConcrete.trim[2], 12);
    const int glass = mesh_material(m, "window", kWindow[0], kWindow[1], kWindow[2], 300);
    const int wall = mesh_material(m, "wall", kConcrete.wall[0], kConcrete.wall[1], kConcrete.wall[2], 12);
    mesh_use(m, pad);
    mesh_quad(m, {0, h, 0}, {0, h, 16}, {16, h, 16}, {16, h, 0});
    // Painted circle and H.
    mesh_use(m, paint);
    {
        const MeshXform saved = m.xf;
        m.xf = xf_translate(8, h + 0.02f, 8) * xf_rotate_x(-90);
        mesh_ring(m, 5.2f, 5.7f, 0, 360, 40, 0, 0.02f);
        mesh_box(m, {-2.2f, -2.6f, 0}, {-1.4f, 2.6f, 0.02f});
        mesh_box(m, {1.4f, -2.6f, 0}, {2.2f, 2.6f, 0.02f});
        mesh_box(m, {-1.4f, -0.4f, 0}, {1.4f, 0.4f, 0.02f});
        m.xf = saved;
    }
    // Edge lights along the rim.
    mesh_use(m, amber);
    for (int i = 0; i < 8; ++i) {
        const float t = 1.0f + 2.0f * static_cast<float>(i);
        mesh_box(m, {t - 0.12f, h, 0.3f}, {t + 0.12f, h + 0.15f, 0.54f});
        mesh_box(m, {t - 0.12f, h, 15.46f}, {t + 0.12f, h + 0.15f, 15.7f});
    }
    // Low railing kerb.
    mesh_use(m, trim);
    mesh_box(m, {0, h, 0}, {16, h + 0.2f, 0.15f});
    mesh_box(m, {0, h, 15.85f}, {16, h + 0.2f, 16});
    // Control tower on the north-east corner: shaft, glazed cab, roof, mast.
    mesh_use(m, wall);
    mesh_box(m, {12.6f, h, 0.6f}, {15.4f, h + 4.0f, 3.4f});
    mesh_use(m, glass);
    {
        const MeshVec c[8] = {{12.4f, h + 4.0f, 0.4f}, {12.4f, h + 4.0f, 3.6f}, {15.6f, h + 4.0f, 3.6f}, {15.6f, h + 4.0f, 0.4f},
                              {12.1f, h + 5.4f, 0.1f}, {12.1f, h + 5.4f, 3.9f}, {15.9f, h + 5.4f, 3.9f}, {15.9f, h + 5.4f, 0.1f}};
        mesh_hexa(m, c);
    }
    mesh_use(m, trim);
    mesh_box(m, {11.9f, h + 5.4f, -0.1f}, {16.0f, h + 5.7f, 4.1f});
    mesh_use(m, amber);
    mesh_rod(m, {14.0f, h + 5.7f, 2.0f}, {14.0f, h + 7.2f, 2.0f}, 0.04f);
    mesh_ellipsoid(m, {14.0f, h + 7.3f, 2.0f}, {0.15f, 0.15f, 0.15f}, 8, 4);
    return m;
}

// Fuel depot: concrete apron with bund walls, four storage tanks with domed roofs and
// ladders, pipe runs between them, and a pump house.
Mesh fuel_16() {
    Mesh m;
    const int apron = mesh_material(m, "paving", 0.82f, 0.79f, 0.73f, 8);
    const int bund = mesh_material(m, "trim", 0.66f, 0.63f, 0.56f, 12);
    const int tank = mesh_material(m, "tank", 0.86f, 0.84f, 0.78f, 120);
    const int band = mesh_material(m, "band", 1.0f, 0.6f, 0.1f, 48);
    const int pipe = mesh_material(m, "pipe", 0.45f, 0.46f, 0.44f, 200);
    const int dark = mesh_material(m, "vent", 0.15f, 0.15f, 0.15f, 64);
    const int wall = mesh_material(m, "wall", kSandstone.wall[0], kSandstone.wall[1], kSandstone.wall[2], 12);
    const int roof = mesh_material(m, "roof", kSandstone.roof[0], kSandstone.roof[1], kSandstone.roof[2], 8);
    const int glass = mesh_material(m, "window", kWindow[0], kWindow[1], kWindow[2], 300);
    mesh_use(m, apron);
    mesh_box(m, {0, 0, 0}, {16, 0.25f, 16});
    mesh_use(m, bund);
    mesh_box(m, {0, 0.25f, 0}, {16, 0.85f, 0.3f});
    mesh_box(m, {0, 0.25f, 15.7f}, {16, 0.85f, 16});
    mesh_box(m, {0, 0.25f, 0.3f}, {0.3f, 0.85f, 15.7f});
    mesh_box(m, {15.7f, 0.25f, 0.3f}, {16, 0.85f, 15.7f});
    const float cx[4] = {4.2f, 11.8f, 4.2f, 11.8f};
    const float cz[4] = {4.2f, 4.2f, 11.8f, 11.8f};
    for (int i = 0; i < 4; ++i) {
        const float r = i == 3 ? 2.4f : 3.0f;
        const float top = i == 3 ? 4.0f : 4.8f;
        mesh_use(m, tank);
        mesh_frustum(m, {cx[i], 0.25f, cz[i]}, {cx[i], top, cz[i]}, r, r, 24, false);
        mesh_ellipsoid(m, {cx[i], top, cz[i]}, {r, 0.7f, r}, 24, 3, 0, 90);
        mesh_use(m, band);
        mesh_frustum(m, {cx[i], top - 0.9f, cz[i]}, {cx[i], top - 0.6f, cz[i]}, r + 0.02f, r + 0.02f, 24, false);
        // Ladder on the outer side.
        mesh_use(m, dark);
        const float lx = cx[i] + (cx[i] < 8 ? -r - 0.08f : r + 0.08f);
        mesh_rod(m, {lx, 0.25f, cz[i] - 0.25f}, {lx, top, cz[i] - 0.25f}, 0.035f);
        mesh_rod(m, {lx, 0.25f, cz[i] + 0.25f}, {lx, top, cz[i] + 0.25f}, 0.035f);
        // Vent on the crown.
        mesh_frustum(m, {cx[i], top + 0.6f, cz[i]}, {cx[i], top + 0.95f, cz[i]}, 0.18f, 0.18f, 8);
    }
    // Pipe runs: a manifold along the middle and branches to each tank.
    mesh_use(m, pipe);
    mesh_frustum(m, {1.0f, 1.1f, 8.0f}, {15.0f, 1.1f, 8.0f}, 0.18f, 0.18f, 10);
    for (int i = 0; i < 4; ++i) {
        const float r = i == 3 ? 2.4f : 3.0f;
        const float edge = cz[i] < 8 ? cz[i] + r : cz[i] - r;
        mesh_frustum(m, {cx[i], 1.1f, 8.0f}, {cx[i], 1.1f, edge}, 0.13f, 0.13f, 8);
        mesh_frustum(m, {cx[i], 0.25f, 8.0f}, {cx[i], 1.0f, 8.0f}, 0.1f, 0.1f, 6);
    }
    mesh_frustum(m, {8.0f, 1.1f, 8.0f}, {8.0f, 1.1f, 15.0f}, 0.15f, 0.15f, 10);
    mesh_frustum(m, {8.0f, 0.25f, 15.0f}, {8.0f, 1.28f, 15.0f}, 0.22f, 0.22f, 10);
    // Pump house in the middle of the north side.
    mesh_use(m, wall);
    mesh_box(m, {6.6f, 0.25f, 0.6f}, {9.4f, 2.6f, 2.6f});
    mesh_use(m, roof);
    mesh_box(m, {6.4f, 2.6f, 0.4f}, {9.6f, 2.8f, 2.8f});
    mesh_use(m, glass);
    mesh_quad(m, {7.0f, 0.25f, 0.585f}, {7.0f, 2.0f, 0.585f}, {7.8f, 2.0f, 0.585f}, {7.8f, 0.25f, 0.585f});
    mesh_quad(m, {8.3f, 1.3f, 0.585f}, {8.3f, 2.0f, 0.585f}, {9.0f, 2.0f, 0.585f}, {9.0f, 1.3f, 0.585f});
    return m;
}

}  // namespace

bool build_building_meshes(std::vector<NamedMesh>& out) {
    const Style small = {4.0f, 3.4f, 2, 3, 0.6f, 0.75f, &kConcrete};
    const Style sat = {4.0f, 3.0f, 1, 2, 0.9f, 0.9f, &kSandstone};
    const Style mid = {8.0f, 6.2f, 3, 6, 0.7f, 0.9f, &kSandstone};
    add_assembled(out, "data/buildings/4x4a", small, roof_small);
    add_assembled(out, "data/buildings/4x4sat", sat, roof_sat);
    add_assembled(out, "data/buildings/8x8a", mid, roof_large);
    out.push_back({"data/buildings/12x12a_box.obj", box_mesh(12, 8.2f, kConcrete), 1});
    out.push_back({"data/buildings/12x12a.obj", block_12(), 1});
    out.push_back({"data/buildings/16x16helo_box.obj", box_mesh(16, 2.4f, kConcrete), 1});
    out.push_back({"data/buildings/16x16helo.obj", helipad_16(), 1});
    out.push_back({"data/buildings/16x16fuel_box.obj", box_mesh(16, 4.8f, kConcrete), 1});
    out.push_back({"data/buildings/16x16fuel.obj", fuel_16(), 1});
    return true;
}
