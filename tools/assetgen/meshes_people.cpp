// People: the rifle (M16) and rocket (RPG) infantry in three stances and the friendly
// personnel standing, in four run frames and hanging on the zipline. Figures are posed in
// metres, facing +Z with Y up, and written at 1 / 0.045 file units per metre because the game
// scales them by 0.045. Enemy infantry stand with their feet on their origin; the friendly
// personnel are placed by the game 5 terrain units (1.25) above the ground, so their feet
// are 1.25 below their origin.
#include <cmath>

#include "mesh_families.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kFriendlyFootDrop = 1.25f;
// Elevation of the infantry's aim: shots climb 0.211451 per 0.4218 forward.
const float kAimElevationDeg = std::atan2(0.211451f, 0.4218f) * 180.0f / kPi;

float rad(float d) { return d * kPi / 180.0f; }

struct Palette {
    int cloth, trousers, skin, boots, helmet, vest, weapon, warhead, pack;
};

Palette enemy_palette(Mesh& m) {
    Palette p{};
    p.cloth = mesh_material(m, "olive", 0.33f, 0.35f, 0.22f, 16);
    p.trousers = mesh_material(m, "olive_dk", 0.27f, 0.29f, 0.19f, 16);
    p.skin = mesh_material(m, "skin", 0.62f, 0.48f, 0.38f, 24);
    p.boots = mesh_material(m, "boots", 0.12f, 0.11f, 0.10f, 64);
    p.helmet = mesh_material(m, "helmet", 0.30f, 0.32f, 0.20f, 48);
    p.vest = mesh_material(m, "webbing", 0.24f, 0.25f, 0.17f, 16);
    p.weapon = mesh_material(m, "weapon", 0.12f, 0.12f, 0.13f, 200);
    p.warhead = mesh_material(m, "warhead", 0.22f, 0.25f, 0.16f, 120);
    p.pack = p.vest;
    return p;
}

Palette friendly_palette(Mesh& m) {
    Palette p{};
    p.cloth = mesh_material(m, "navy", 0.12f, 0.18f, 0.36f, 24);
    p.trousers = mesh_material(m, "navy_dk", 0.09f, 0.13f, 0.27f, 24);
    p.skin = mesh_material(m, "skin", 0.62f, 0.48f, 0.38f, 24);
    p.boots = mesh_material(m, "boots", 0.10f, 0.10f, 0.10f, 64);
    p.helmet = mesh_material(m, "helmet_lt", 0.84f, 0.82f, 0.76f, 96);
    p.vest = mesh_material(m, "vest", 0.16f, 0.20f, 0.30f, 24);
    p.weapon = mesh_material(m, "weapon", 0.12f, 0.12f, 0.13f, 200);
    p.warhead = p.weapon;
    p.pack = mesh_material(m, "pack", 0.20f, 0.24f, 0.34f, 16);
    return p;
}

// Two-bone chain from root to target with the middle joint pushed towards pole.
MeshVec solve_joint(MeshVec root, MeshVec& target, float l1, float l2, MeshVec pole) {
    MeshVec d = target - root;
    float len = mesh_length(d);
    const float reach = l1 + l2 - 0.002f;
    if (len > reach) {
        target = root + d * (reach / len);
        d = target - root;
        len = reach;
    }
    if (len < 1e-4f) return root + pole * l1;
    const MeshVec dir = d * (1.0f / len);
    const float a = (l1 * l1 - l2 * l2 + len * len) / (2 * len);
    const float h = std::sqrt(std::fmax(0.0f, l1 * l1 - a * a));
    MeshVec side = pole - dir * mesh_dot(pole, dir);
    side = mesh_normalized(side);
    return root + dir * a + side * h;
}

// A weapon's frame: origin at the grip, local +Z along the barrel.
struct WeaponPose {
    MeshVec grip;
    float elevation = 0;  // degrees above horizontal
    float yaw = 0;        // degrees about Y, 0 = forward (+Z)
};
MeshXform weapon_xf(const WeaponPose& w) {
    return xf_translate(w.grip.x, w.grip.y, w.grip.z) * xf_rotate_y(w.yaw) * xf_rotate_x(-w.elevation);
}

void rifle(Mesh& m, const Palette& p, const WeaponPose& w) {
    const MeshXform saved = m.xf;
    m.xf = saved * weapon_xf(w);
    mesh_use(m, p.weapon);
    mesh_box(m, {-0.025f, -0.07f, -0.38f}, {0.025f, 0.03f, -0.12f});   // stock
    mesh_box(m, {-0.03f, -0.04f, -0.12f}, {0.03f, 0.05f, 0.18f});      // receiver
    mesh_box(m, {-0.02f, -0.17f, 0.02f}, {0.02f, -0.04f, 0.08f});      // magazine
    mesh_box(m, {-0.018f, -0.12f, -0.08f}, {0.018f, -0.04f, -0.04f});  // pistol grip
    mesh_frustum(m, {0, 0.0f, 0.18f}, {0, 0.0f, 0.36f}, 0.032f, 0.03f, 6);
    mesh_frustum(m, {0, 0.0f, 0.36f}, {0, 0.0f, 0.56f}, 0.013f, 0.013f, 6);
    mesh_box(m, {-0.006f, 0.05f, -0.02f}, {0.006f, 0.09f, 0.10f});     // carry handle
    m.xf = saved;
}

void rocket_tube(Mesh& m, const Palette& p, const WeaponPose& w) {
    const MeshXform saved = m.xf;
    m.xf = saved * weapon_xf(w);
    mesh_use(m, p.weapon);
    mesh_frustum(m, {0, 0, -0.55f}, {0, 0, 0.42f}, 0.048f, 0.048f, 10);
    mesh_frustum(m, {0, 0, -0.62f}, {0, 0, -0.55f}, 0.065f, 0.048f, 10);
    mesh_box(m, {-0.02f, -0.14f, -0.02f}, {0.02f, -0.045f, 0.04f});
    mesh_box(m, {-0.02f, -0.12f, 0.22f}, {0.02f, -0.045f, 0.27f});
    mesh_box(m, {-0.05f, 0.03f, 0.0f}, {-0.03f, 0.09f, 0.08f});        // sight
    mesh_use(m, p.warhead);
    mesh_frustum(m, {0, 0, 0.42f}, {0, 0, 0.56f}, 0.048f, 0.085f, 10, false);
    mesh_frustum(m, {0, 0, 0.56f}, {0, 0, 0.76f}, 0.085f, 0.0f, 10, false);
    m.xf = saved;
}

// Point of the weapon frame, for placing hands.
MeshVec weapon_point(const WeaponPose& w, MeshVec local) { return xf_point(weapon_xf(w), local); }

struct Figure {
    MeshVec hip;               // pelvis centre
    float torso_pitch = 0;     // forward lean in degrees
    float head_pitch = 0;
    MeshVec ankle[2];          // 0 right (-X), 1 left (+X)
    MeshVec knee_pole[2];
    float foot_pitch[2] = {0, 0};  // toe-down rotation in degrees
    MeshVec hand[2];
    MeshVec elbow_pole[2];
    bool pack = false;
};

constexpr float kThigh = 0.45f, kShin = 0.44f, kUpperArm = 0.30f, kForearm = 0.29f;

void limb(Mesh& m, MeshVec a, MeshVec b, float ra, float rb) { mesh_frustum(m, a, b, ra, rb, 7); }

void body(Mesh& m, const Palette& p, Figure f) {
    const MeshXform torso = xf_translate(f.hip.x, f.hip.y, f.hip.z) * xf_rotate_x(f.torso_pitch);
    const MeshXform saved = m.xf;

    // Legs.
    for (int s = 0; s < 2; ++s) {
        const float side = s == 0 ? -1.0f : 1.0f;
        const MeshVec hip_joint = f.hip + MeshVec{0.095f * side, -0.04f, 0};
        MeshVec ankle = f.ankle[s];
        const MeshVec knee = solve_joint(hip_joint, ankle, kThigh, kShin, f.knee_pole[s]);
        mesh_use(m, p.trousers);
        limb(m, hip_joint, knee, 0.085f, 0.064f);
        limb(m, knee, ankle, 0.062f, 0.046f);
        mesh_ellipsoid(m, knee, {0.066f, 0.066f, 0.066f}, 7, 3);
        mesh_use(m, p.boots);
        m.xf = saved * xf_translate(ankle.x, ankle.y, ankle.z) * xf_rotate_x(f.foot_pitch[s]);
        mesh_box(m, {-0.052f, -0.085f, -0.07f}, {0.052f, 0.05f, 0.2f});
        m.xf = saved;
    }

    // Pelvis, torso and webbing.
    m.xf = saved * torso;
    mesh_use(m, p.trousers);
    mesh_box(m, {-0.16f, -0.10f, -0.10f}, {0.16f, 0.06f, 0.10f});
    mesh_use(m, p.cloth);
    {
        const MeshVec c[8] = {{-0.15f, 0.04f, -0.095f}, {-0.15f, 0.04f, 0.095f}, {0.15f, 0.04f, 0.095f}, {0.15f, 0.04f, -0.095f},
                              {-0.21f, 0.52f, -0.11f}, {-0.21f, 0.52f, 0.11f}, {0.21f, 0.52f, 0.11f}, {0.21f, 0.52f, -0.11f}};
        mesh_hexa(m, c);
    }
    mesh_use(m, p.vest);
    mesh_box(m, {-0.19f, 0.18f, -0.12f}, {0.19f, 0.44f, 0.125f});
    mesh_box(m, {-0.17f, 0.02f, 0.09f}, {0.17f, 0.1f, 0.12f});
    if (f.pack) {
        mesh_use(m, p.pack);
        mesh_box(m, {-0.15f, 0.12f, -0.27f}, {0.15f, 0.48f, -0.11f});
    }
    // Neck, head and helmet.
    mesh_use(m, p.skin);
    mesh_frustum(m, {0, 0.50f, 0}, {0, 0.62f, 0.01f}, 0.05f, 0.05f, 6);
    m.xf = saved * torso * xf_translate(0, 0.70f, 0.015f) * xf_rotate_x(f.head_pitch);
    mesh_ellipsoid(m, {0, 0, 0}, {0.092f, 0.112f, 0.102f}, 9, 5);
    mesh_use(m, p.helmet);
    mesh_ellipsoid(m, {0, 0.025f, -0.01f}, {0.128f, 0.105f, 0.138f}, 10, 3, 0, 90);
    m.xf = saved;

    // Arms.
    for (int s = 0; s < 2; ++s) {
        const float side = s == 0 ? -1.0f : 1.0f;
        const MeshVec shoulder = xf_point(torso, {0.205f * side, 0.47f, 0});
        MeshVec hand = f.hand[s];
        const MeshVec elbow = solve_joint(shoulder, hand, kUpperArm, kForearm, f.elbow_pole[s]);
        mesh_use(m, p.cloth);
        mesh_ellipsoid(m, shoulder, {0.068f, 0.068f, 0.068f}, 7, 3);
        limb(m, shoulder, elbow, 0.058f, 0.046f);
        limb(m, elbow, hand, 0.046f, 0.038f);
        mesh_use(m, p.skin);
        mesh_ellipsoid(m, hand, {0.042f, 0.048f, 0.042f}, 6, 3);
    }
}

// Hips, legs and the torso for the standing and kneeling stances shared by the infantry kinds.
Figure standing() {
    Figure f;
    f.hip = {0, 0.98f, 0};
    f.torso_pitch = 3;
    f.ankle[0] = {-0.12f, 0.085f, -0.02f};
    f.ankle[1] = {0.12f, 0.085f, 0.04f};
    f.knee_pole[0] = f.knee_pole[1] = {0, 0, 1};
    return f;
}

Figure kneeling(float torso_pitch) {
    Figure f;
    f.hip = {0, 0.53f, -0.06f};
    f.torso_pitch = torso_pitch;
    f.ankle[0] = {-0.13f, 0.20f, -0.50f};   // right knee on the ground, shin back
    f.ankle[1] = {0.14f, 0.085f, 0.36f};    // left foot planted forward
    f.knee_pole[0] = {0, -1, 0.2f};
    f.knee_pole[1] = {0, 1, 0.6f};
    f.foot_pitch[0] = 55;
    return f;
}

enum class Kind { Rifle, Rocket };
enum class Stance { Stand, CrouchRest, CrouchFire };

Mesh infantry(Kind kind, Stance stance) {
    Mesh m;
    const Palette p = enemy_palette(m);
    Figure f = stance == Stance::Stand ? standing() : kneeling(stance == Stance::CrouchFire ? 12.0f : 6.0f);
    WeaponPose w;
    if (kind == Kind::Rifle) {
        if (stance == Stance::Stand) {
            w = {{-0.10f, 1.12f, 0.26f}, -28, 12};
        } else if (stance == Stance::CrouchRest) {
            w = {{-0.08f, 0.68f, 0.30f}, 55, 8};
        } else {
            // Butt in the right shoulder, aimed up like the shots.
            w.elevation = kAimElevationDeg;
            w.yaw = 0;
            const MeshVec shoulder = {-0.13f, 0.985f, 0.10f};
            const float e = rad(w.elevation);
            w.grip = shoulder + MeshVec{0, std::sin(e), std::cos(e)} * 0.36f;
        }
        f.hand[0] = weapon_point(w, {0, -0.08f, -0.06f});
        f.hand[1] = weapon_point(w, {0, -0.04f, 0.27f});
        rifle(m, p, w);
    } else {
        if (stance == Stance::Stand) {
            w = {{-0.18f, 1.62f, 0.02f}, 18, 0};
        } else if (stance == Stance::CrouchRest) {
            w = {{-0.17f, 1.02f, 0.02f}, 48, 0};
        } else {
            w.elevation = kAimElevationDeg;
            w.grip = {-0.17f, 1.07f, 0.08f};
        }
        f.hand[0] = weapon_point(w, {0, -0.14f, 0.01f});
        f.hand[1] = weapon_point(w, {0, -0.12f, 0.25f});
        rocket_tube(m, p, w);
    }
    f.elbow_pole[0] = {-1, -1, -0.3f};
    f.elbow_pole[1] = {1, -1, -0.3f};
    body(m, p, f);
    return m;
}

// Friendly personnel.
Mesh friendly_stand() {
    Mesh m;
    const Palette p = friendly_palette(m);
    Figure f = standing();
    f.pack = true;
    f.hand[0] = {-0.25f, 0.76f, 0.06f};
    f.hand[1] = {0.25f, 0.76f, 0.06f};
    f.elbow_pole[0] = {-0.3f, 0, -1};
    f.elbow_pole[1] = {0.3f, 0, -1};
    body(m, p, f);
    // Carbine slung across the back.
    rifle(m, p, {{0.0f, 1.22f, -0.30f}, -55, 90});
    return m;
}

Mesh friendly_run(int frame) {
    Mesh m;
    const Palette p = friendly_palette(m);
    Figure f;
    const float phase = rad(90.0f * static_cast<float>(frame));
    f.torso_pitch = 14;
    f.head_pitch = -8;
    f.pack = true;
    f.hip = {0, 0.93f + 0.04f * std::fabs(std::cos(phase)), 0};
    float lowest = 1e9f;
    for (int s = 0; s < 2; ++s) {
        const float side = s == 0 ? -1.0f : 1.0f;
        const float psi = phase + (s == 0 ? 0.0f : kPi);
        const float thigh = rad(38.0f * std::sin(psi));
        const float bend = rad(20.0f + 60.0f * (0.5f - 0.5f * std::cos(psi)));
        const float shin = thigh - bend;
        const MeshVec hip_joint = f.hip + MeshVec{0.095f * side, -0.04f, 0};
        const MeshVec knee = hip_joint + MeshVec{0, -std::cos(thigh), std::sin(thigh)} * kThigh;
        f.ankle[s] = knee + MeshVec{0.01f * side, -std::cos(shin), std::sin(shin)} * kShin;
        f.knee_pole[s] = {0, 0, 1};
        f.foot_pitch[s] = -10.0f * std::sin(psi);
        lowest = std::fmin(lowest, f.ankle[s].y);
        // Arms swing against the legs.
        const MeshVec shoulder = f.hip + MeshVec{0.205f * side, 0.47f, 0.1f};
        const float swing = -std::sin(psi);
        f.hand[s] = shoulder + MeshVec{0.05f * side, -0.36f, 0.10f + 0.26f * swing};
        f.elbow_pole[s] = {0.2f * side, -0.2f, -1};
    }
    // Plant the lower foot on the ground.
    const float lift = 0.085f - lowest;
    f.hip.y += lift;
    for (int s = 0; s < 2; ++s) {
        f.ankle[s].y += lift;
        f.hand[s].y += lift;
    }
    body(m, p, f);
    rifle(m, p, {{0.0f, f.hip.y + 0.25f, -0.30f}, -55, 90});
    return m;
}

Mesh friendly_zipline() {
    Mesh m;
    const Palette p = friendly_palette(m);
    Figure f = standing();
    f.pack = true;
    f.torso_pitch = -4;
    f.head_pitch = -15;
    f.ankle[0] = {-0.07f, 0.11f, 0.10f};
    f.ankle[1] = {0.07f, 0.13f, 0.06f};
    f.foot_pitch[0] = f.foot_pitch[1] = 35;
    f.hand[0] = {-0.04f, 2.02f, 0.06f};
    f.hand[1] = {0.04f, 2.22f, 0.06f};
    f.elbow_pole[0] = {-1, 0, 0.3f};
    f.elbow_pole[1] = {1, 0, 0.3f};
    body(m, p, f);
    rifle(m, p, {{0.0f, 1.22f, -0.30f}, -55, 90});
    return m;
}

// Puts the lowest point of the figure (a boot or a knee) on the ground, then lowers the whole
// figure by drop.
Mesh grounded(Mesh m, float drop = 0) {
    drop += mesh_stats(m).lo.y;
    for (MeshVertex& v : m.vertices) v.p.y -= drop;
    for (MeshVec& q : m.markers) q.y -= drop;
    return m;
}

}  // namespace

bool build_people_meshes(std::vector<NamedMesh>& out) {
    const float s = 1.0f / kPeopleScale;
    const char* stance_names[3] = {"stand", "crouch_rest", "crouch_fire"};
    const Stance stances[3] = {Stance::Stand, Stance::CrouchRest, Stance::CrouchFire};
    for (int k = 0; k < 3; ++k) {
        out.push_back({std::string("data/people/1_") + stance_names[k] + ".obj", grounded(infantry(Kind::Rifle, stances[k])), s});
        out.push_back({std::string("data/people/0_") + stance_names[k] + ".obj", grounded(infantry(Kind::Rocket, stances[k])), s});
    }
    out.push_back({"data/people/usw_0_stand.obj", grounded(friendly_stand(), kFriendlyFootDrop), s});
    for (int k = 0; k < 4; ++k)
        out.push_back({"data/people/usw_0_run_" + std::to_string(k) + ".obj", grounded(friendly_run(k), kFriendlyFootDrop), s});
    out.push_back({"data/people/usw_0_zipline.obj", grounded(friendly_zipline(), kFriendlyFootDrop), s});
    return true;
}
