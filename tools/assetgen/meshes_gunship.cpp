// The gunship and its rocket. The gunship is designed in the units it has in the game (its
// farthest vertex at kGunshipRadius, nose towards -X, Y up), so the game's normalise and
// scale by 1.5 keep it as drawn here: the three cannon barrels lie on the barrel lines the
// weapon code fires along, and the rocket pod sits on top under the rocket launch line.
// The rocket points along +X.
#include <cmath>
#include <cstdio>

#include "mesh_families.h"

namespace {

// Rear and muzzle points of the three barrels in the gunship's frame, as the weapon code uses them.
const MeshVec kBarrelRear[3] = {{-1.494f, 0.571f, 0}, {-1.3274f, 0.44353f, 0.18825f}, {-1.3274f, 0.44353f, -0.18825f}};
const MeshVec kBarrelMuzzle[3] = {{-1.804f, 0.479f, 0}, {-1.6092f, 0.3258f, 0.247f}, {-1.6092f, 0.3258f, -0.247f}};
constexpr float kBarrelRadius = 0.042f;
constexpr float kBarrelLength = 0.42f;
constexpr int kBarrelSegments = 10;

// The barrel is a tube along its barrel line; the muzzle points lie beyond the reach of a
// mesh normalised to kGunshipRadius, so each barrel runs as far forward along its line as
// that radius allows.
void barrel(Mesh& m, int b) {
    const MeshVec u = mesh_normalized(kBarrelMuzzle[b] - kBarrelRear[b]);
    auto tube_radius = [&](float s) {
        Mesh probe;
        const MeshVec tip = kBarrelRear[b] + u * s;
        mesh_frustum(probe, tip - u * kBarrelLength, tip, kBarrelRadius, kBarrelRadius, kBarrelSegments);
        return mesh_stats(probe).radius;
    };
    float lo = -1.0f, hi = 0.6f;  // tube inside the radius at lo, outside at hi
    for (int i = 0; i < 60; ++i) {
        const float mid = 0.5f * (lo + hi);
        if (tube_radius(mid) <= kGunshipRadius)
            lo = mid;
        else
            hi = mid;
    }
    const MeshVec tip = kBarrelRear[b] + u * lo;
    mesh_frustum(m, tip - u * kBarrelLength, tip, kBarrelRadius, kBarrelRadius, kBarrelSegments);
}

// Box-like block from a rear section (x0) to a front section (x1), each given as
// half-width at bottom and top and the y range; symmetric about z = 0.
struct Section {
    float x, y0, y1, zb, zt;
};
void block(Mesh& m, Section a, Section b) {
    // Hexahedron corners: bottom c0..c3 counter-clockwise from above, top c4..c7 above them.
    const MeshVec c[8] = {{a.x, a.y0, -a.zb}, {a.x, a.y0, a.zb}, {b.x, b.y0, b.zb}, {b.x, b.y0, -b.zb},
                          {a.x, a.y1, -a.zt}, {a.x, a.y1, a.zt}, {b.x, b.y1, b.zt}, {b.x, b.y1, -b.zt}};
    // c0..c3 runs (x_a,-z) (x_a,+z) (x_b,+z) (x_b,-z): counter-clockwise from above when x_a < x_b.
    if (a.x < b.x) {
        mesh_hexa(m, c);
    } else {
        const MeshVec f[8] = {c[0], c[3], c[2], c[1], c[4], c[7], c[6], c[5]};
        mesh_hexa(m, f);
    }
}

Mesh gunship() {
    Mesh m;
    const int hull = mesh_material(m, "hull", 0.25f, 0.27f, 0.22f, 64);
    const int panel = mesh_material(m, "panel", 0.19f, 0.21f, 0.17f, 48);
    const int glass = mesh_material(m, "glass", 0.07f, 0.09f, 0.11f, 400);
    const int gunmetal = mesh_material(m, "gunmetal", 0.30f, 0.31f, 0.33f, 300);
    const int dark = mesh_material(m, "intake", 0.07f, 0.07f, 0.06f, 16);
    const int pod = mesh_material(m, "pod", 0.31f, 0.32f, 0.26f, 64);
    const int stripe = mesh_material(m, "stripe", 1.0f, 0.23f, 0.1f, 32);

    // Cabin, nose and rear deck.
    mesh_use(m, hull);
    block(m, {-0.60f, 0.10f, 1.00f, 0.44f, 0.34f}, {0.35f, 0.10f, 1.00f, 0.44f, 0.34f});
    block(m, {-1.10f, 0.38f, 0.86f, 0.20f, 0.15f}, {-0.60f, 0.10f, 1.00f, 0.44f, 0.34f});
    block(m, {0.35f, 0.10f, 1.00f, 0.44f, 0.34f}, {1.00f, 0.42f, 0.82f, 0.18f, 0.14f});
    // Tail boom, fin and tailplane.
    mesh_frustum(m, {0.95f, 0.60f, 0}, {1.30f, 0.62f, 0}, 0.17f, 0.09f, 10);
    mesh_use(m, panel);
    {
        const MeshVec c[8] = {{0.95f, 0.62f, -0.03f}, {0.95f, 0.62f, 0.03f}, {1.30f, 0.62f, 0.03f}, {1.30f, 0.62f, -0.03f},
                              {1.00f, 0.93f, -0.03f}, {1.00f, 0.93f, 0.03f}, {1.12f, 0.93f, 0.03f}, {1.12f, 0.93f, -0.03f}};
        mesh_hexa(m, c);
    }
    mesh_box(m, {1.10f, 0.58f, -0.35f}, {1.30f, 0.62f, 0.35f});
    mesh_use(m, stripe);
    mesh_box(m, {1.02f, 0.80f, -0.035f}, {1.16f, 0.84f, 0.035f});

    // Canopy glass and door windows.
    mesh_use(m, glass);
    {
        const MeshVec c[8] = {{-1.00f, 0.90f, -0.26f}, {-1.00f, 0.90f, 0.26f}, {-0.15f, 0.97f, 0.30f}, {-0.15f, 0.97f, -0.30f},
                              {-0.62f, 1.20f, -0.22f}, {-0.62f, 1.20f, 0.22f}, {-0.22f, 1.20f, 0.22f}, {-0.22f, 1.20f, -0.22f}};
        mesh_hexa(m, c);
    }
    mesh_box(m, {-0.50f, 0.60f, -0.445f}, {-0.18f, 0.82f, 0.445f});

    // Engine exhausts and intake grilles on the rear deck.
    mesh_use(m, dark);
    mesh_box(m, {0.42f, 0.86f, -0.30f}, {0.70f, 0.94f, 0.30f});
    mesh_frustum(m, {0.90f, 0.62f, 0.0f}, {1.01f, 0.62f, 0.0f}, 0.12f, 0.12f, 10);
    mesh_use(m, panel);
    mesh_box(m, {-0.60f, 0.08f, -0.40f}, {0.35f, 0.16f, 0.40f});

    // Stub wings with engine nacelles at their tips.
    mesh_use(m, hull);
    for (int side = -1; side <= 1; side += 2) {
        const float s = static_cast<float>(side);
        MeshVec c[8] = {{-0.25f, 0.36f, 0.40f * s}, {-0.15f, 0.38f, 0.95f * s}, {0.25f, 0.38f, 0.95f * s}, {0.30f, 0.36f, 0.40f * s},
                        {-0.25f, 0.48f, 0.40f * s}, {-0.15f, 0.46f, 0.95f * s}, {0.25f, 0.46f, 0.95f * s}, {0.30f, 0.48f, 0.40f * s}};
        if (side < 0) {
            const MeshVec f[8] = {c[0], c[3], c[2], c[1], c[4], c[7], c[6], c[5]};
            mesh_hexa(m, f);
        } else {
            mesh_hexa(m, c);
        }
        mesh_use(m, panel);
        mesh_frustum(m, {-0.35f, 0.42f, 1.05f * s}, {0.40f, 0.42f, 1.05f * s}, 0.15f, 0.17f, 14);
        mesh_use(m, dark);
        mesh_frustum(m, {-0.37f, 0.42f, 1.05f * s}, {-0.33f, 0.42f, 1.05f * s}, 0.12f, 0.12f, 14);
        mesh_frustum(m, {0.40f, 0.42f, 1.05f * s}, {0.46f, 0.42f, 1.05f * s}, 0.13f, 0.09f, 14);
        mesh_use(m, hull);
    }

    // Skids on struts.
    mesh_use(m, gunmetal);
    for (int side = -1; side <= 1; side += 2) {
        const float z = 0.42f * static_cast<float>(side);
        mesh_rod(m, {-0.55f, -0.45f, z}, {0.60f, -0.45f, z}, 0.035f);
        mesh_rod(m, {-0.55f, -0.45f, z}, {-0.72f, -0.35f, z}, 0.035f);
        mesh_rod(m, {-0.35f, -0.45f, z}, {-0.30f, 0.10f, z * 0.8f}, 0.03f);
        mesh_rod(m, {0.35f, -0.45f, z}, {0.30f, 0.10f, z * 0.8f}, 0.03f);
    }

    // Rotary cannon: housing at the chin and three barrels along the firing lines.
    mesh_frustum(m, {-0.88f, 0.60f, 0}, {-1.16f, 0.56f, 0}, 0.20f, 0.18f, 14);
    for (int b = 0; b < 3; ++b) barrel(m, b);

    // Rocket pod on its pylon, tube mouths facing forward.
    mesh_use(m, panel);
    mesh_box(m, {0.00f, 1.04f, -0.06f}, {0.25f, 1.13f, 0.06f});
    mesh_use(m, pod);
    mesh_box(m, {-0.20f, 1.12f, -0.19f}, {0.40f, 1.42f, 0.19f});
    mesh_use(m, dark);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col) {
            const float y = 1.20f + 0.14f * static_cast<float>(row);
            const float z = col == 0 ? -0.09f : 0.09f;
            mesh_frustum(m, {-0.17f, y, z}, {-0.205f, y, z}, 0.055f, 0.055f, 10);
        }
    return m;
}

Mesh rocket() {
    Mesh m;
    const int body = mesh_material(m, "body", 0.42f, 0.44f, 0.36f, 96);
    const int head = mesh_material(m, "warhead", 0.20f, 0.20f, 0.19f, 200);
    const int fin = mesh_material(m, "fin", 0.30f, 0.31f, 0.27f, 64);
    const int nozzle = mesh_material(m, "nozzle", 0.10f, 0.09f, 0.08f, 32);
    mesh_use(m, body);
    mesh_frustum(m, {-0.80f, 0, 0}, {0.45f, 0, 0}, 0.10f, 0.10f, 12);
    mesh_use(m, head);
    mesh_frustum(m, {0.45f, 0, 0}, {0.70f, 0, 0}, 0.10f, 0.075f, 12, false);
    mesh_frustum(m, {0.70f, 0, 0}, {1.00f, 0, 0}, 0.075f, 0.0f, 12, false);
    mesh_use(m, nozzle);
    mesh_frustum(m, {-0.92f, 0, 0}, {-0.80f, 0, 0}, 0.07f, 0.085f, 12);
    mesh_use(m, fin);
    for (int k = 0; k < 4; ++k) {
        const float a = static_cast<float>(k) * 90.0f + 45.0f;
        const MeshXform saved = m.xf;
        m.xf = xf_rotate_x(a);
        const MeshVec c[8] = {{-0.80f, 0.08f, -0.012f}, {-0.80f, 0.08f, 0.012f}, {-0.45f, 0.08f, 0.012f}, {-0.45f, 0.08f, -0.012f},
                              {-0.80f, 0.26f, -0.012f}, {-0.80f, 0.26f, 0.012f}, {-0.65f, 0.26f, 0.012f}, {-0.65f, 0.26f, -0.012f}};
        mesh_hexa(m, c);
        m.xf = saved;
    }
    return m;
}

}  // namespace

bool build_gunship_meshes(std::vector<NamedMesh>& out) {
    NamedMesh g{"data/ships/gunship/gunshipLowJ.obj", gunship(), 1};
    const float r = mesh_stats(g.mesh).radius;
    if (r > kGunshipRadius + 1e-4f || r < kGunshipRadius - 1e-3f) {
        std::fprintf(stderr, "assetgen: gunship radius %.4f differs from the designed %.2f\n", static_cast<double>(r),
                     static_cast<double>(kGunshipRadius));
        return false;
    }
    out.push_back(std::move(g));
    out.push_back({"data/weapons/rpg.obj", rocket(), 1});
    return true;
}
