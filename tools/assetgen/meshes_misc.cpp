// Small assets: the three parachutes (drawn plain and tinted, scaled by 1.75) and the supply
// crate (scaled by 0.475), both over the drop's ground position; the HUD icons and the
// seven-segment clock digits, which the game normalises and draws plain in the HUD colour.
// Icons and digits lie in the XY plane facing +Z (towards the viewer of the HUD). Their
// normalisation radius is fixed with unreferenced vertices on the depth axis (icons) or at
// the corners of a common cell (digits and colon), so they appear at one common size.
#include <cmath>
#include <string>

#include "mesh_families.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kChuteScale = 1.75f;
constexpr float kCrateScale = 0.475f;
// Radius on screen (in HUD units) that every gauge icon should show after the game's
// normalise-and-scale.
constexpr float kIconRadius = 0.52f;
// Half-depth of the icons and digits.
constexpr float kIconDepth = 0.14f;

// Parachute in world units: canopy of the given radius with its rim at rim_height above the
// load, a vent at the crown, and rigging lines gathering just above the crate.
Mesh parachute(float radius, float rim_height, int gores) {
    Mesh m;
    mesh_material(m, "canopy", 1.0f, 0.98f, 0.93f, 16);
    const float dome = radius * 0.5f;
    mesh_shell(m, {0, rim_height, 0}, {radius, dome, radius}, gores, 4, 0, 78);
    // Skirt flaring out below the rim.
    mesh_shell(m, {0, rim_height, 0}, {radius * 1.04f, dome * 0.35f, radius * 1.04f}, gores, 1, -40, 0);
    const MeshVec gather = {0, 1.15f, 0};
    const float skirt_y = rim_height - dome * 0.35f * std::sin(40.0f * kPi / 180.0f);
    const float skirt_r = radius * 1.04f * std::cos(40.0f * kPi / 180.0f);
    for (int k = 0; k < gores; k += 2) {
        const float a = 2 * kPi * static_cast<float>(k) / static_cast<float>(gores);
        mesh_rod(m, gather, {skirt_r * std::cos(a), skirt_y, skirt_r * std::sin(a)}, 0.02f);
    }
    // Riser straps from the gather point down to the load.
    mesh_rod(m, gather, {0.35f, 1.0f, 0.35f}, 0.025f);
    mesh_rod(m, gather, {-0.35f, 1.0f, 0.35f}, 0.025f);
    mesh_rod(m, gather, {0.35f, 1.0f, -0.35f}, 0.025f);
    mesh_rod(m, gather, {-0.35f, 1.0f, -0.35f}, 0.025f);
    return m;
}

// Supply crate in world units: 0.95 on a side, standing on its origin.
Mesh crate() {
    Mesh m;
    const int olive = mesh_material(m, "olive", 0.33f, 0.36f, 0.22f, 24);
    const int band = mesh_material(m, "band", 0.62f, 0.61f, 0.47f, 24);
    const int dark = mesh_material(m, "corner", 0.16f, 0.17f, 0.13f, 96);
    const float h = 0.95f, r = 0.475f;
    mesh_use(m, olive);
    mesh_box(m, {-r + 0.02f, 0.03f, -r + 0.02f}, {r - 0.02f, h - 0.02f, r - 0.02f});
    // Cross band over the top and down the sides.
    mesh_use(m, band);
    mesh_box(m, {-0.09f, 0.03f, -r}, {0.09f, h, r});
    mesh_box(m, {-r, 0.03f, -0.09f}, {r, h, 0.09f});
    // Skids and corner guards.
    mesh_use(m, dark);
    mesh_box(m, {-r, 0, -r}, {r, 0.05f, -r + 0.12f});
    mesh_box(m, {-r, 0, r - 0.12f}, {r, 0.05f, r});
    for (int i = 0; i < 4; ++i) {
        const float x = (i % 2 == 0) ? -r : r - 0.08f;
        const float z = (i / 2 == 0) ? -r : r - 0.08f;
        mesh_box(m, {x, 0.05f, z}, {x + 0.08f, h, z + 0.08f});
    }
    return m;
}

// Fixes the normalisation radius of an icon: after the game divides by the farthest vertex
// and multiplies by scale, the visible shape (radius g) shows with radius kIconRadius.
void icon_radius(Mesh& m, float scale) {
    const float g = mesh_stats(m).radius;
    const float r = std::fmax(g, scale * g / kIconRadius);
    m.markers.push_back({0, 0, r});
    m.markers.push_back({0, 0, -r});
}

Mesh icon_gear() {
    Mesh m;
    mesh_material(m, "icon", 1, 1, 1, 64);
    mesh_ring(m, 0.42f, 0.74f, 0, 360, 36, -kIconDepth, kIconDepth);
    mesh_ring(m, 0.12f, 0.26f, 0, 360, 16, -kIconDepth * 0.8f, kIconDepth * 0.8f);
    for (int k = 0; k < 10; ++k) {
        const MeshXform saved = m.xf;
        m.xf = xf_rotate_z(36.0f * static_cast<float>(k));
        mesh_extrude(m, {{0.70f, -0.13f, 0}, {0.98f, -0.09f, 0}, {0.98f, 0.09f, 0}, {0.70f, 0.13f, 0}}, -kIconDepth, kIconDepth);
        // Spokes.
        if (k % 2 == 0) mesh_box(m, {0.24f, -0.05f, -kIconDepth * 0.7f}, {0.44f, 0.05f, kIconDepth * 0.7f});
        m.xf = saved;
    }
    icon_radius(m, 0.543f);
    return m;
}

Mesh icon_fuel() {
    Mesh m;
    mesh_material(m, "icon", 1, 1, 1, 64);
    // Droplet: a circle below and an apex on top, joined by tangents.
    const MeshVec c = {0, -0.32f, 0};
    const float r = 0.6f;
    const MeshVec apex = {0, 0.98f, 0};
    const float d = apex.y - c.y;
    const float phi = std::acos(r / d);
    std::vector<MeshVec> outline;
    outline.push_back(apex);
    const float a0 = kPi / 2 + phi, a1 = kPi / 2 - phi + 2 * kPi;
    const int n = 24;
    for (int i = 0; i <= n; ++i) {
        const float a = a0 + (a1 - a0) * static_cast<float>(i) / static_cast<float>(n);
        outline.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a), 0});
    }
    mesh_extrude(m, outline, -kIconDepth, kIconDepth);
    // Highlight ridge on the front.
    const MeshXform saved = m.xf;
    m.xf = xf_translate(-0.22f, -0.38f, 0);
    mesh_ring(m, 0.26f, 0.36f, 120, 230, 8, kIconDepth, kIconDepth + 0.05f);
    m.xf = saved;
    icon_radius(m, 0.955f);
    return m;
}

Mesh icon_armour() {
    Mesh m;
    mesh_material(m, "icon", 1, 1, 1, 64);
    auto shield = [](float k) {
        const MeshVec pts[] = {{0, -0.95f, 0},   {0.28f, -0.74f, 0}, {0.52f, -0.46f, 0}, {0.68f, -0.08f, 0},
                               {0.74f, 0.40f, 0}, {0.74f, 0.74f, 0}, {0.38f, 0.82f, 0}, {0, 0.92f, 0},
                               {-0.38f, 0.82f, 0}, {-0.74f, 0.74f, 0}, {-0.74f, 0.40f, 0}, {-0.68f, -0.08f, 0},
                               {-0.52f, -0.46f, 0}, {-0.28f, -0.74f, 0}};
        std::vector<MeshVec> out;
        for (const MeshVec& p : pts) out.push_back({p.x * k, p.y * k, 0});
        return out;
    };
    mesh_extrude(m, shield(1.0f), -kIconDepth, kIconDepth);
    // Raised chevron on the face.
    const std::vector<MeshVec> chevron = {{0, -0.30f, 0}, {0.45f, 0.10f, 0}, {0.45f, 0.34f, 0},
                                          {0, -0.06f, 0}, {-0.45f, 0.34f, 0}, {-0.45f, 0.10f, 0}};
    mesh_extrude(m, chevron, kIconDepth, kIconDepth + 0.07f);
    icon_radius(m, 0.577f);
    return m;
}

Mesh icon_cannon() {
    Mesh m;
    mesh_material(m, "icon", 1, 1, 1, 64);
    m.xf = xf_rotate_z(28);
    mesh_frustum(m, {-0.95f, 0, 0}, {-0.25f, 0, 0}, 0.26f, 0.26f, 14);
    mesh_frustum(m, {-0.25f, 0, 0}, {-0.15f, 0, 0}, 0.2f, 0.2f, 14);
    for (int k = 0; k < 3; ++k) {
        const float a = 2 * kPi * static_cast<float>(k) / 3 + kPi / 2;
        const float y = 0.12f * std::sin(a), z = 0.12f * std::cos(a);
        mesh_frustum(m, {-0.15f, y, z}, {0.95f, y, z}, 0.06f, 0.06f, 8);
    }
    mesh_frustum(m, {0.78f, 0, 0}, {0.86f, 0, 0}, 0.21f, 0.21f, 14);
    // Ammunition feed box below the breech.
    mesh_box(m, {-0.85f, -0.62f, -0.14f}, {-0.4f, -0.2f, 0.14f});
    icon_radius(m, 0.6f);
    return m;
}

Mesh icon_rocket() {
    Mesh m;
    mesh_material(m, "icon", 1, 1, 1, 64);
    m.xf = xf_rotate_z(28);
    mesh_frustum(m, {-0.78f, 0, 0}, {0.45f, 0, 0}, 0.17f, 0.17f, 14);
    mesh_frustum(m, {0.45f, 0, 0}, {0.98f, 0, 0}, 0.17f, 0.0f, 14, false);
    mesh_frustum(m, {-0.92f, 0, 0}, {-0.78f, 0, 0}, 0.12f, 0.15f, 14);
    for (int k = 0; k < 4; ++k) {
        const MeshXform saved = m.xf;
        m.xf = saved * xf_rotate_x(45.0f + 90.0f * static_cast<float>(k));
        const MeshVec c[8] = {{-0.80f, 0.12f, -0.03f}, {-0.80f, 0.12f, 0.03f}, {-0.35f, 0.12f, 0.03f}, {-0.35f, 0.12f, -0.03f},
                              {-0.85f, 0.42f, -0.03f}, {-0.85f, 0.42f, 0.03f}, {-0.62f, 0.42f, 0.03f}, {-0.62f, 0.42f, -0.03f}};
        mesh_hexa(m, c);
        m.xf = saved;
    }
    icon_radius(m, 0.6f);
    return m;
}

// Selection marker: four corner arcs of a ring; the game scales it to enclose an icon and
// its gauge bars.
Mesh icon_select() {
    Mesh m;
    mesh_material(m, "icon", 1, 1, 1, 64);
    for (int k = 0; k < 4; ++k) {
        const float a = 45.0f + 90.0f * static_cast<float>(k);
        mesh_ring(m, 0.86f, 1.0f, a - 28, a + 28, 8, -0.05f, 0.05f);
    }
    return m;
}

// Seven-segment digits in a 1 x 1.7 cell, slanted slightly; every digit and the colon carry
// the same corner markers so that normalising scales them alike.
constexpr float kSegT = 0.17f;   // stroke thickness
constexpr float kCellX = 0.42f;  // x of the vertical strokes
constexpr float kCellY = 0.77f;  // y of the top and bottom strokes
constexpr float kSlant = 0.1f;

std::vector<MeshVec> slanted(std::vector<MeshVec> pts) {
    for (MeshVec& p : pts) p.x += kSlant * p.y;
    return pts;
}

void segment_h(Mesh& m, float y) {
    const float x0 = -kCellX + 0.05f, x1 = kCellX - 0.05f, t = kSegT / 2;
    mesh_extrude(m, slanted({{x0, y, 0}, {x0 + t, y - t, 0}, {x1 - t, y - t, 0}, {x1, y, 0}, {x1 - t, y + t, 0}, {x0 + t, y + t, 0}}),
                 -kIconDepth, kIconDepth);
}

void segment_v(Mesh& m, float x, float y0, float y1) {
    const float t = kSegT / 2;
    y0 += 0.05f;
    y1 -= 0.05f;
    mesh_extrude(m, slanted({{x, y0, 0}, {x + t, y0 + t, 0}, {x + t, y1 - t, 0}, {x, y1, 0}, {x - t, y1 - t, 0}, {x - t, y0 + t, 0}}),
                 -kIconDepth, kIconDepth);
}

void digit_cell_markers(Mesh& m) {
    for (int i = 0; i < 8; ++i)
        m.markers.push_back({(i & 1) ? 0.62f : -0.62f, (i & 2) ? 0.9f : -0.9f, (i & 4) ? kIconDepth : -kIconDepth});
}

Mesh digit(int d) {
    // Segments a (top), b (top right), c (bottom right), d (bottom), e (bottom left),
    // f (top left), g (middle).
    static const char* kSegments[10] = {"abcdef", "bc", "abged", "abgcd", "fgbc", "afgcd", "afgedc", "abc", "abcdefg", "abcdfg"};
    Mesh m;
    mesh_material(m, "digit", 1, 1, 1, 64);
    for (const char* s = kSegments[d]; *s; ++s) {
        switch (*s) {
            case 'a': segment_h(m, kCellY); break;
            case 'g': segment_h(m, 0); break;
            case 'd': segment_h(m, -kCellY); break;
            case 'b': segment_v(m, kCellX, 0, kCellY); break;
            case 'c': segment_v(m, kCellX, -kCellY, 0); break;
            case 'e': segment_v(m, -kCellX, -kCellY, 0); break;
            case 'f': segment_v(m, -kCellX, 0, kCellY); break;
            default: break;
        }
    }
    digit_cell_markers(m);
    return m;
}

Mesh colon() {
    Mesh m;
    mesh_material(m, "digit", 1, 1, 1, 64);
    const float h = kSegT * 0.65f;
    for (int k = 0; k < 2; ++k) {
        const float y = k == 0 ? 0.38f : -0.38f;
        mesh_extrude(m, slanted({{-h, y - h, 0}, {h, y - h, 0}, {h, y + h, 0}, {-h, y + h, 0}}), -kIconDepth, kIconDepth);
    }
    digit_cell_markers(m);
    return m;
}

}  // namespace

bool build_misc_meshes(std::vector<NamedMesh>& out) {
    const float cs = 1.0f / kChuteScale;
    out.push_back({"data/misc/chute_big.obj", parachute(4.6f, 7.6f, 16), cs});
    out.push_back({"data/misc/chute_medium.obj", parachute(3.3f, 6.0f, 14), cs});
    out.push_back({"data/misc/chute_small.obj", parachute(2.3f, 4.4f, 12), cs});
    out.push_back({"data/misc/box.obj", crate(), 1.0f / kCrateScale});
    out.push_back({"data/icons/gear.obj", icon_gear(), 1});
    out.push_back({"data/icons/fuel.obj", icon_fuel(), 1});
    out.push_back({"data/icons/armour.obj", icon_armour(), 1});
    out.push_back({"data/icons/vt90.obj", icon_cannon(), 1});
    out.push_back({"data/icons/rpg.obj", icon_rocket(), 1});
    out.push_back({"data/icons/sel.obj", icon_select(), 1});
    for (int d = 0; d < 10; ++d) out.push_back({"data/7segment/" + std::to_string(d) + ".obj", digit(d), 1});
    out.push_back({"data/7segment/colon.obj", colon(), 1});
    return true;
}
