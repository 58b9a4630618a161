// Enemy emplacements in world units: the gun turret's concrete base (0_a), its turning steel
// turret (0_b, barrel along -Z elevated like the shells it fires, muzzle 4 units out at the
// height the shells leave from), the mast assembly of airdropped vehicles (0_c, drawn raised
// 2.2 above the base), and the 1 x 1 wall block centred on its position.
#include "mesh_families.h"

namespace {

// Height and horizontal reach of the turret muzzle, and the elevation of the barrel: the
// shells leave at height 3.2 about 4 units out, climbing 0.051451 per 0.4218 forward.
constexpr float kMuzzleHeight = 3.2f;
constexpr float kMuzzleReach = 4.0f;
constexpr float kBarrelClimb = 0.051451f / 0.4218f;

Mesh turret_base() {
    Mesh m;
    const int concrete = mesh_material(m, "concrete", 0.62f, 0.60f, 0.55f, 16);
    const int pale = mesh_material(m, "concrete_lt", 0.70f, 0.68f, 0.62f, 16);
    const int steel = mesh_material(m, "steel_dk", 0.20f, 0.21f, 0.21f, 200);
    const int sand = mesh_material(m, "sandbag", 0.55f, 0.50f, 0.38f, 8);
    mesh_use(m, concrete);
    mesh_frustum(m, {0, 0, 0}, {0, 0.6f, 0}, 2.1f, 1.95f, 8, true, false);
    mesh_use(m, pale);
    mesh_frustum(m, {0, 0.6f, 0}, {0, 1.9f, 0}, 1.75f, 1.45f, 8, true, false);
    mesh_use(m, concrete);
    // Firing slits around the body.
    mesh_use(m, steel);
    for (int k = 0; k < 8; ++k) {
        const MeshXform saved = m.xf;
        m.xf = xf_rotate_y(45.0f * static_cast<float>(k));
        mesh_box(m, {-0.35f, 1.25f, 1.50f}, {0.35f, 1.40f, 1.66f});
        m.xf = saved;
    }
    // Turret ring.
    mesh_frustum(m, {0, 1.9f, 0}, {0, 2.1f, 0}, 1.3f, 1.3f, 16);
    // Sandbags around the plinth.
    mesh_use(m, sand);
    for (int k = 0; k < 12; ++k) {
        const MeshXform saved = m.xf;
        m.xf = xf_rotate_y(30.0f * static_cast<float>(k) + 15.0f);
        mesh_box(m, {-0.32f, 0.6f, 1.78f}, {0.32f, 0.82f, 2.02f});
        m.xf = saved;
    }
    return m;
}

Mesh turret_top() {
    Mesh m;
    const int steel = mesh_material(m, "steel", 0.31f, 0.32f, 0.30f, 160);
    const int dark = mesh_material(m, "steel_dk", 0.18f, 0.19f, 0.18f, 220);
    const int hatch = mesh_material(m, "hatch", 0.26f, 0.27f, 0.25f, 120);
    mesh_use(m, steel);
    // Housing: front sloped, footprint x +-1.15, z from -1.2 (front) to 1.3 (rear).
    {
        const MeshVec c[8] = {{-1.15f, 2.10f, -1.20f}, {-1.15f, 2.10f, 1.30f}, {1.15f, 2.10f, 1.30f}, {1.15f, 2.10f, -1.20f},
                              {-0.95f, 3.70f, -0.55f}, {-0.95f, 3.70f, 1.15f}, {0.95f, 3.70f, 1.15f}, {0.95f, 3.70f, -0.55f}};
        mesh_hexa(m, c);
    }
    // Rear bustle.
    mesh_box(m, {-0.85f, 2.45f, 1.25f}, {0.85f, 3.45f, 1.85f});
    // Mantlet.
    mesh_use(m, dark);
    mesh_box(m, {-0.45f, 2.55f, -1.38f}, {0.45f, 3.30f, -0.95f});
    // Barrel: from the mantlet to the muzzle, climbing like the shells.
    const MeshVec dir = mesh_normalized({0, kBarrelClimb, -1});
    const MeshVec tip = {0, kMuzzleHeight, -kMuzzleReach};
    const float len = (kMuzzleReach - 1.2f) / -dir.z;
    const MeshVec root = tip - dir * len;
    mesh_use(m, steel);
    mesh_frustum(m, root, tip - dir * 0.35f, 0.15f, 0.12f, 12);
    mesh_use(m, dark);
    mesh_frustum(m, tip - dir * 0.35f, tip, 0.19f, 0.19f, 12);
    mesh_frustum(m, root, root + dir * 0.5f, 0.22f, 0.2f, 12);
    // Commander's hatch and vision blocks.
    mesh_use(m, hatch);
    mesh_frustum(m, {0.45f, 3.70f, 0.55f}, {0.45f, 3.92f, 0.55f}, 0.38f, 0.34f, 12);
    mesh_use(m, dark);
    mesh_box(m, {-0.70f, 3.70f, -0.20f}, {-0.30f, 3.85f, 0.10f});
    return m;
}

// Sits on the turret roof (roof at 3.7 = 2.2 + 1.5 in this mesh's frame).
Mesh vehicle_mast() {
    Mesh m;
    const int steel = mesh_material(m, "steel", 0.31f, 0.32f, 0.30f, 160);
    const int dark = mesh_material(m, "steel_dk", 0.18f, 0.19f, 0.18f, 220);
    const int lamp = mesh_material(m, "lamp", 1.0f, 0.6f, 0.1f, 32);
    mesh_use(m, steel);
    mesh_box(m, {-0.75f, 1.5f, 0.35f}, {-0.35f, 1.62f, 0.75f});
    mesh_frustum(m, {-0.55f, 1.62f, 0.55f}, {-0.55f, 2.55f, 0.55f}, 0.06f, 0.05f, 8);
    // Small radar dish facing forward.
    mesh_use(m, dark);
    {
        const MeshXform saved = m.xf;
        m.xf = saved * xf_translate(-0.55f, 2.62f, 0.36f) * xf_rotate_x(90);
        mesh_shell(m, {0, 0, 0}, {0.28f, 0.10f, 0.28f}, 12, 3, 0, 90);
        m.xf = saved;
    }
    mesh_frustum(m, {-0.55f, 2.62f, 0.55f}, {-0.55f, 2.62f, 0.40f}, 0.04f, 0.04f, 6);
    // Whip antenna and a warning lamp.
    mesh_rod(m, {0.75f, 1.5f, 1.0f}, {0.82f, 3.6f, 1.05f}, 0.015f);
    mesh_use(m, lamp);
    mesh_ellipsoid(m, {0.3f, 1.62f, 0.95f}, {0.09f, 0.09f, 0.09f}, 8, 4);
    // Smoke dischargers either side of the housing.
    mesh_use(m, dark);
    for (int side = -1; side <= 1; side += 2)
        for (int k = 0; k < 3; ++k) {
            const float x = 0.98f * static_cast<float>(side);
            const float z = -0.2f + 0.22f * static_cast<float>(k);
            mesh_frustum(m, {x, 1.1f, z}, {x + 0.18f * static_cast<float>(side), 1.28f, z - 0.08f}, 0.07f, 0.07f, 8);
        }
    return m;
}

Mesh wall_block() {
    Mesh m;
    const int concrete = mesh_material(m, "concrete", 0.66f, 0.63f, 0.56f, 16);
    const int footing = mesh_material(m, "footing", 0.50f, 0.47f, 0.41f, 8);
    const int stain = mesh_material(m, "stain", 0.45f, 0.43f, 0.38f, 8);
    mesh_use(m, footing);
    mesh_box(m, {-0.5f, 0, -0.5f}, {0.5f, 0.35f, 0.5f});
    mesh_use(m, concrete);
    mesh_box(m, {-0.46f, 0.35f, -0.46f}, {0.46f, 2.2f, 0.46f});
    // Battlements: four merlons on the corners.
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            const float x0 = i == 0 ? -0.5f : 0.14f, z0 = j == 0 ? -0.5f : 0.14f;
            mesh_box(m, {x0, 2.2f, z0}, {x0 + 0.36f, 2.6f, z0 + 0.36f});
        }
    mesh_use(m, stain);
    mesh_box(m, {-0.47f, 1.55f, -0.47f}, {0.47f, 1.65f, 0.47f});
    return m;
}

}  // namespace

bool build_enemy_meshes(std::vector<NamedMesh>& out) {
    out.push_back({"data/tanks/0_a.obj", turret_base(), 1});
    out.push_back({"data/tanks/0_b.obj", turret_top(), 1});
    out.push_back({"data/tanks/0_c.obj", vehicle_mast(), 1});
    out.push_back({"data/buildings/1x1a.obj", wall_block(), 1});
    return true;
}
