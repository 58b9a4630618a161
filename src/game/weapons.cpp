// Gunship weapons: the cannon barrels, firing the selected weapon and the weapon wheel.
//
// Rounds and rockets go into the projectile pool. Muzzle points are built in the gunship's own
// frame (forward is -X) and carried into the world by the body's yaw-and-position matrix
// MATRIX2. The ammunition and selection live in the current profile; with no valid profile
// nothing fires.
#include "game/weapons.h"

#include <GL/gl.h>

#include <cmath>

#include "engine/engine_globals.h"
#include "engine/math3d.h"
#include "game/kv_globals.h"
#include "game/projectiles.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {

constexpr int32_t kBarrels = 3;
constexpr int32_t kRoundDelayMs = 20;
constexpr int32_t kRocketDelayMs = 200;
constexpr float kRoundSpeed = 100.0f;
constexpr float kRocketGravity = 0.012f;
constexpr int32_t kPlayerOwner = 2;

// Rear and front point of each barrel in the gunship's frame.
constexpr float kBarrelRear[kBarrels][3] = {
    {-1.494f, 0.571f, 0.0f}, {-1.3274f, 0.44353f, 0.18825f}, {-1.3274f, 0.44353f, -0.18825f}};
constexpr float kBarrelFront[kBarrels][3] = {
    {-1.804f, 0.479f, 0.0f}, {-1.6092f, 0.3258f, 0.247f}, {-1.6092f, 0.3258f, -0.247f}};

// Time stamp `ms` after `now`, wrapping like the clock itself instead of overflowing.
int32_t stamp_after(int32_t now, int32_t ms) {
    return static_cast<int32_t>(static_cast<uint32_t>(now) + static_cast<uint32_t>(ms));
}

PROFILETYPE* current_profile() {
    const int32_t p = KVGLOBALS.CURPROFILE;
    if (p < 0 || p >= PROFILE_SLOTS) return nullptr;
    return &KVGLOBALS.PROFILES[p];
}

// Gunship-frame point (x, y, z) into the world through MATRIX2.
VECTOR4D to_world(float x, float y, float z) {
    VECTOR4D p{x, y, z, 1.0f};
    MATRIX_MULTIPLY_POINT(KVGLOBALS.GUNSHIPPO.MATRIX2, p);
    return p;
}

void fire_cannon(PROFILETYPE& profile, int32_t now, float hover) {
    GUNSHIPWEAPONTYPE& w = KVGLOBALS.GUNSHIPWEAPONS;
    if (!(w.NEXTROUND < now)) return;
    w.NEXTROUND = stamp_after(now, kRoundDelayMs);
    for (int32_t shot = 0; shot < 3; ++shot) {
        if (profile.VT90S <= 0) continue;
        w.NEXTBARREL += 1;
        if (w.NEXTBARREL >= kBarrels || w.NEXTBARREL < 0) {
            w.NEXTBARREL = 0;
            profile.VT90S -= 1;
        }
        const VECTOR3D& base = w.BARRELBASE[w.NEXTBARREL];
        const VECTOR3D& dir = w.BARRELVECTOR[w.NEXTBARREL];
        const float y = KVGLOBALS.PLAYERY + base.Y + hover;
        const VECTOR4D p0 = to_world(base.X, y, base.Z);
        const VECTOR4D p1 = to_world(base.X + dir.X, y + dir.Y, base.Z + dir.Z);
        VECTOR3D d{p1.X - p0.X, p1.Y - p0.Y, p1.Z - p0.Z};
        const float r = platform_random() * 2.0f;
        VECTOR3D start{p0.X + r * d.X, p0.Y + r * d.Y, p0.Z + r * d.Z};
        KV_PROJECTILES_ADD(start, d, kRoundSpeed, 0.0f, kPlayerOwner);
    }
}

void fire_rocket(PROFILETYPE& profile, int32_t now, float hover) {
    GUNSHIPWEAPONTYPE& w = KVGLOBALS.GUNSHIPWEAPONS;
    if (!(w.NEXTROCKET < now)) return;
    w.NEXTROCKET = stamp_after(now, kRocketDelayMs);
    if (profile.ROCKETS <= 0) return;
    profile.ROCKETS -= 1;
    const float y = KVGLOBALS.PLAYERY + 1.64f + hover;
    const VECTOR4D p0 = to_world(0.8f, y, 0.0f);
    const VECTOR4D p1 = to_world(-0.2f, y, 0.0f);
    VECTOR3D start{p0.X, p0.Y, p0.Z};
    VECTOR3D d{p1.X - p0.X, p1.Y - p0.Y, p1.Z - p0.Z};
    KV_PROJECTILES_ADD_RPG(start, d, kRocketGravity, kPlayerOwner);
}

}  // namespace

void KV_GUNSHIP_INITIALIZEBARRELS() {
    GUNSHIPWEAPONTYPE& w = KVGLOBALS.GUNSHIPWEAPONS;
    for (int32_t b = 0; b < kBarrels; ++b) {
        const float dx = kBarrelFront[b][0] - kBarrelRear[b][0];
        const float dy = kBarrelFront[b][1] - kBarrelRear[b][1];
        const float dz = kBarrelFront[b][2] - kBarrelRear[b][2];
        const float l = std::sqrt(dx * dx + dy * dy + dz * dz);
        w.BARRELVECTOR[b] = VECTOR3D{dx / l, dy / l, dz / l};
        w.BARRELBASE[b] = VECTOR3D{kBarrelFront[b][0] + 0.1f * w.BARRELVECTOR[b].X,
                                   kBarrelFront[b][1] + 0.1f * w.BARRELVECTOR[b].Y,
                                   kBarrelFront[b][2] + 0.1f * w.BARRELVECTOR[b].Z};
    }
}

void KV_GUNSHIP_FIREWEAPON() {
    PROFILETYPE* profile = current_profile();
    if (profile == nullptr) return;
    const int32_t now = platform_clock_ms();
    const float hover = std::sin(KVGLOBALS.PLAYERHOVERCYCLE) * KVGLOBALS.MAPSCALE;
    if (profile->SELECTEDWEAPON == 0) {
        fire_cannon(*profile, now, hover);
    } else if (profile->SELECTEDWEAPON == 1) {
        fire_rocket(*profile, now, hover);
    }
    // Mines (2) can be selected but do not fire.
}

int32_t weapons_count() {
    const PROFILETYPE* profile = current_profile();
    if (profile == nullptr) return 1;
    int32_t n = 1;
    if (profile->ROCKETTYPE > 0) n += 1;
    if (profile->MINETYPE > 0) n += 1;
    return n;
}

float weapons_switch_animate() {
    WEAPONSWITCHTYPE& s = KVGLOBALS.WEAPONSWITCH;
    const float f0 = s.FADE;
    if (s.ACTIVE == 0) {
        s.FADE = std::fmax(0.0f, s.FADE - 0.1f * FPSR);
    } else {
        s.FADE = std::fmin(1.0f, s.FADE + 0.1f * FPSR);
    }
    if (f0 == 0.0f) return 0.0f;
    s.ANGLE += (s.TARGETANGLE - s.ANGLE) * FPSR * 0.13f;
    if (std::fabs(s.TARGETANGLE - s.ANGLE) < 8.0f) s.ACTIVE = 0;
    return f0;
}

void KV_RENDER_WEAPONSWITCH() {
    const float f0 = weapons_switch_animate();
    if (f0 == 0.0f) return;
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t n = weapons_count();
    const float step = 360.0f / static_cast<float>(n);

    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 1.55f, -20.3f);
    glColor4f(0.71f, 0.69f, 0.63f, 0.4f * f0);
    glRotatef(g.WEAPONSWITCH.ANGLE, 0.0f, 0.0f, 1.0f);
    for (int32_t i = 0; i < n; ++i) {
        int32_t list = 0;
        if (i == 0) list = g.ICONVT90.DL;
        if (i == 1) list = g.ICONRPG.DL;
        const float a = static_cast<float>(i) * step;
        glPushMatrix();
        glRotatef(a - 90.0f, 0.0f, 0.0f, 1.0f);
        glTranslatef(2.18f, 0.0f, 0.0f);
        glRotatef(a + 90.0f, 0.0f, 0.0f, -1.0f);
        if (list > 0) glCallList(static_cast<GLuint>(list));
        glPopMatrix();
    }
    glRotatef(-g.WEAPONSWITCH.ANGLE, 0.0f, 0.0f, 1.0f);
    glRotatef(-90.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(2.18f, 0.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, -1.0f);
    if (g.ICONSEL.DL > 0) glCallList(static_cast<GLuint>(g.ICONSEL.DL));
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}
