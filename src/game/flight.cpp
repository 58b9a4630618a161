// Gunship flight: turns the player's controls into forces, torque and tilt, handles the toggle
// controls with their hold-off, the fixed debug keys, and runs the per-frame physics step of
// the gunship (time smoothing, integration, city-wall collision, map clamps, tile position,
// height, animation phase, clocks and fuel) and its physical constants. Loading and drawing
// the gunship live in flight_gunship.cpp.
#include "game/flight.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdio>

#include "engine/engine_globals.h"
#include "engine/gameclock.h"
#include "engine/math3d.h"
#include "engine/physics.h"
#include "game/input.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/objectives.h"
#include "game/weapons.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "world/ground.h"

namespace {

constexpr float kHalfTurn = 1.570795f;       // a quarter turn with pi taken as 3.14159
constexpr float kFuelPerFrame = 0.000033f;
constexpr int32_t kProbeSamples = 32;
constexpr float kTwoPi = 6.28318f;

// The profile whose mission runs; null when CURPROFILE does not name a slot.
PROFILETYPE* current_profile() {
    const int32_t p = KVGLOBALS.CURPROFILE;
    if (p < 0 || p >= PROFILE_SLOTS) return nullptr;
    return &KVGLOBALS.PROFILES[p];
}

// Number of weapons in the wheel: the cannon, plus rockets and mines once the profile has them.
int32_t weapon_count(const PROFILETYPE& profile) {
    int32_t n = 1;
    if (profile.ROCKETTYPE > 0) n += 1;
    if (profile.MINETYPE > 0) n += 1;
    return n;
}

int32_t round_to_int(float v) { return math_round_even(v); }

// Right after mission launch the tile easers hold -1: they jump to the gunship's tile (value,
// start and target) instead of sliding across the map from the corner.
void snap_tile_easer(TARGET_CLASS& easer, int32_t tile) {
    if (easer._CURR != -1.0f) return;
    const float t = static_cast<float>(tile);
    easer.RANGE(t, t, easer.STEPS, easer.THRESHOLD);
}

float game_control(int32_t control) { return INPUT_GETCONTROLLERINPUT(control); }
bool game_key(int32_t key) { return platform_key_down(key); }

// One probe sample of the collision circle.
void probe_point(int32_t k, float& x, float& z) {
    const float s = static_cast<float>(k % kProbeSamples) / static_cast<float>(kProbeSamples);
    x = KVGLOBALS.PLAYERX + std::cos(kTwoPi * s);
    z = KVGLOBALS.PLAYERZ + std::sin(kTwoPi * s);
}

}  // namespace

// --- controls ------------------------------------------------------------------------------

void flight_controller_step(float (*control)(int32_t), int32_t now_ms) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    PHYSICSOBJECTTYPE& po = g.GUNSHIPPO;
    PROFILETYPE* profile = current_profile();

    const float thrust = control(FLIGHT_THRUST);
    const float rotate_left = control(FLIGHT_ROTATE_LEFT);
    const float rotate_right = control(FLIGHT_ROTATE_RIGHT);
    const float reverse = control(FLIGHT_REVERSE);
    const float strafe_left = control(FLIGHT_STRAFE_LEFT);
    const float strafe_right = control(FLIGHT_STRAFE_RIGHT);

    if (g.WAITKEY < now_ms) {
        if (control(FLIGHT_MISSION_WINDOW) == 1.0f) g.EXITCODE = 2;
        if (control(FLIGHT_MINIMAP) == 1.0f) {
            if (profile) profile->MINIMAPTOGGLE = 1 - profile->MINIMAPTOGGLE;
            g.WAITKEY = now_ms + FLIGHT_TOGGLE_HOLDOFF_MS;
        }
        if (control(FLIGHT_PREVIOUS) != 0.0f) {
            if (profile) {
                const int32_t n = weapon_count(*profile);
                g.WEAPONSWITCH.ACTIVE = 1;
                g.WEAPONSWITCH.TARGETANGLE -= 360.0f / static_cast<float>(n);
                profile->SELECTEDWEAPON -= 1;
                if (profile->SELECTEDWEAPON < 0) profile->SELECTEDWEAPON += n;
            }
            g.WAITKEY = now_ms + FLIGHT_TOGGLE_HOLDOFF_MS;
        }
        if (control(FLIGHT_NEXT) != 0.0f) {
            if (profile) {
                const int32_t n = weapon_count(*profile);
                g.WEAPONSWITCH.ACTIVE = 1;
                g.WEAPONSWITCH.TARGETANGLE += 360.0f / static_cast<float>(n);
                profile->SELECTEDWEAPON += 1;
                if (profile->SELECTEDWEAPON >= n) profile->SELECTEDWEAPON -= n;
            }
            g.WAITKEY = now_ms + FLIGHT_TOGGLE_HOLDOFF_MS;
        }
    }

    // The land control activates a check point while landing is locked, else toggles landing;
    // the second test cannot pass once the first has moved WAITKEY.
    g.PICKUPDROPOFFFLAG = 0;
    const float land = control(FLIGHT_LAND);
    if (land == 1.0f && g.WAITKEY < now_ms && g.LOCKLANDING == 1) {
        g.PICKUPDROPOFFFLAG = 1;
        g.WAITKEY = now_ms + FLIGHT_TOGGLE_HOLDOFF_MS;
    }
    if (land == 1.0f && g.WAITKEY < now_ms && g.LOCKLANDING == 0) {
        g.GUNSHIPLANDED = 1 - g.GUNSHIPLANDED;
        g.WAITKEY = now_ms + FLIGHT_TOGGLE_HOLDOFF_MS;
    }

    if (control(FLIGHT_USE) > 0.0f) KV_GUNSHIP_FIREWEAPON();

    if (g.GUNSHIPLANDED != 0) return;

    const double a = static_cast<double>(po.ANGLE) * MATH_DEG2RAD;
    const float ca = static_cast<float>(std::cos(a));
    const float sa = static_cast<float>(std::sin(a));
    const float cs = static_cast<float>(std::cos(a + kHalfTurn));
    const float ss = static_cast<float>(std::sin(a + kHalfTurn));
    if (g.LOCKPHYSICSMIN == 0) {
        if (thrust > 0.0f) {
            po.LINEARFORCE.X -= (g.PHYSICSDATA_THRUSTFORCE / 10.0f) * ca * thrust;
            po.LINEARFORCE.Z -= (g.PHYSICSDATA_THRUSTFORCE / 10.0f) * sa * thrust;
        }
        if (reverse > 0.0f) {
            po.LINEARFORCE.X += (g.PHYSICSDATA_REVERSEFORCE / 10.0f) * ca * reverse;
            po.LINEARFORCE.Z += (g.PHYSICSDATA_REVERSEFORCE / 10.0f) * sa * reverse;
        }
        if (strafe_right > 0.0f) {
            po.LINEARFORCE.X -= (g.PHYSICSDATA_STRAFEFORCE / 10.0f) * cs * strafe_right;
            po.LINEARFORCE.Z -= (g.PHYSICSDATA_STRAFEFORCE / 10.0f) * ss * strafe_right;
        }
        if (strafe_left > 0.0f) {
            po.LINEARFORCE.X += (g.PHYSICSDATA_STRAFEFORCE / 10.0f) * cs * strafe_left;
            po.LINEARFORCE.Z += (g.PHYSICSDATA_STRAFEFORCE / 10.0f) * ss * strafe_left;
        }
    }
    if (rotate_left > 0.0f) po.TOTALTORQUE -= rotate_left * g.PHYSICSDATA_TORQUE;
    if (rotate_right > 0.0f) po.TOTALTORQUE += rotate_right * g.PHYSICSDATA_TORQUE;

    // Visual tilt: bank into turns and strafes, pitch nose-down under thrust.
    po.TARGETXANGLE = 10.0f * rotate_right - 10.0f * rotate_left + 10.0f * strafe_right -
                      10.0f * strafe_left;
    po.XANGLE += (po.TARGETXANGLE - po.XANGLE) * FPSR * 0.1f;
    po.TARGETZANGLE = 10.0f * reverse - 10.0f * thrust;
    po.ZANGLE += (po.TARGETZANGLE - po.ZANGLE) * FPSR * 0.1f;
}

void KV_PI_CONTROLLER() { flight_controller_step(game_control, platform_clock_ms()); }

void flight_alternative_step(bool (*key_down)(int32_t), int32_t now_ms) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (!(g.WAITKEY < now_ms)) return;
    if (key_down(GLFW_KEY_C)) {
        g.COLLISIONON = g.COLLISIONON == 0 ? 1 : 0;
        g.WAITKEY = now_ms + FLIGHT_TOGGLE_HOLDOFF_MS;
        KV_SETALERT(g.COLLISIONON == 0 ? "Clipping Off" : "Clipping On");
    }
    if (key_down(GLFW_KEY_ESCAPE)) {
        g.EXITCODE = 1;
        g.WAITKEY = now_ms + FLIGHT_TOGGLE_HOLDOFF_MS;
    }
    if (key_down(GLFW_KEY_P)) {
        g.POINTERMODE = 1 - g.POINTERMODE;
        g.WAITKEY = now_ms + FLIGHT_TOGGLE_HOLDOFF_MS;
    }
    if (key_down(GLFW_KEY_O)) {
        g.TRIGGERPOWERUP = round_to_int(TEMPX);
        g.WAITKEY = now_ms + FLIGHT_TOGGLE_HOLDOFF_MS;
    }
    if (key_down(GLFW_KEY_R)) {
        for (int32_t& m : g.FUNCTION_TIMER_MAX) m = 0;
    }
}

void KV_PI_ALTERNATIVE() { flight_alternative_step(game_key, platform_clock_ms()); }

// --- physics step --------------------------------------------------------------------------

void flight_update_ticks(int32_t now_ms) {
    PHYSICSDATA.TICKSPASSED = PHYSICSDATA.TICKS;
    PHYSICSDATA.TICKS = static_cast<float>(now_ms);
    PHYSICSDATA.TICKSPASSED = PHYSICSDATA.TICKS - PHYSICSDATA.TICKSPASSED;
    PHYSICSDATA.TICKSPASSEDWEIGHTED +=
        0.2f * (PHYSICSDATA.TICKSPASSED - PHYSICSDATA.TICKSPASSEDWEIGHTED);
    if (PHYSICSDATA.TICKSPASSED > 30.0f) {
        PHYSICSDATA.TICKSPASSEDWEIGHTED = 0.7f * PHYSICSDATA.TICKSPASSEDWEIGHTED + 15.0f;
    }
}

void flight_clamp_xz(float& x, float& z) {
    if (x < KV_PLAY_X0 - 2.0f) x = KV_PLAY_X0;
    if (x > KV_PLAY_X1 + 2.0f) x = KV_PLAY_X1;
    if (z < KV_PLAY_Z0 - 2.0f) z = KV_PLAY_Z0;
    if (z > KV_PLAY_Z1 + 2.0f) z = KV_PLAY_Z1;
}

void flight_clamp_to_map() { flight_clamp_xz(KVGLOBALS.GUNSHIPPO.POSITION.X, KVGLOBALS.GUNSHIPPO.POSITION.Z); }

void flight_burn_fuel() {
    PROFILETYPE* profile = current_profile();
    if (!profile || KVGLOBALS.REFUELING != 0) return;
    profile->FUEL -= kFuelPerFrame * FPSR;
    if (profile->ARMOUR < 0.25f) profile->FUEL -= kFuelPerFrame * FPSR;
    if (profile->FUEL < 0.0f) profile->FUEL = 0.0f;
}

void KV_PROCESSPHYSICS() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    PHYSICSOBJECTTYPE& po = g.GUNSHIPPO;

    flight_update_ticks(platform_clock_ms());
    for (int i = 0; i < 16; ++i) po.MATRIXBACKUP[i] = po.MATRIX[i];
    PHYSICS_PROCESSPHYSICS(po);
    g.PLAYERX = po.POSITION.X;
    g.PLAYERZ = po.POSITION.Z;
    if (g.COLLISIONON != 0) KV_CHECKCOLLISION();
    flight_clamp_to_map();

    g.PLAYERX = po.POSITION.X;
    g.PLAYERZ = po.POSITION.Z;
    g.PLAYERX8 = round_to_int(g.PLAYERX) / 8;
    g.PLAYERZ8 = round_to_int(g.PLAYERZ) / 8;
    snap_tile_easer(g.TARGETPLAYERX8, g.PLAYERX8);
    snap_tile_easer(g.TARGETPLAYERZ8, g.PLAYERZ8);

    KV_FINDGUNSHIPY();

    g.RUNFRAME += 0.14f * FPSR;
    if (g.RUNFRAME >= 4.0f) g.RUNFRAME -= 4.0f;

    if (PROFILETYPE* profile = current_profile()) {
        IO_CLOCK_UPDATE(profile->MISSIONCLOCK);
        IO_CLOCK_UPDATE(profile->GAMECLOCK);
    }
    g.ICONANGLE += FPSR;
    flight_burn_fuel();
}

// --- city-wall collision -------------------------------------------------------------------

bool flight_cell_solid(float x, float z) {
    // Guards the float-to-int conversion below; kv_map_inside is the real bound.
    constexpr float side = static_cast<float>(KV_MAPSIDE);
    if (!(x > -1.0f && x < side && z > -1.0f && z < side)) return false;
    const int32_t cx = static_cast<int32_t>(std::floor(x));
    const int32_t cz = static_cast<int32_t>(std::floor(z));
    const KVMAPVIEW map = kv_world_view();
    if (map.CITYMAP == nullptr || !kv_map_inside(cx, cz)) return false;
    const int32_t code = kv_map_city(map, cx, cz);
    return code == -1 || code > 2;
}

void KV_CHECKCOLLISION() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    PHYSICSOBJECTTYPE& po = g.GUNSHIPPO;

    bool solid[kProbeSamples];
    for (int32_t k = 0; k < kProbeSamples; ++k) {
        float x, z;
        probe_point(k, x, z);
        solid[k] = flight_cell_solid(x, z);
    }

    int32_t s0 = -1;
    for (int32_t k = 0; k < kProbeSamples; ++k) {
        if (solid[k]) {
            s0 = k;
            break;
        }
    }
    if (s0 < 0) return;

    // Walk once round from the first solid sample: the last solid sample before the first free
    // run is one end of the wall chord, the first solid sample after that run the other.
    int32_t start = -1;
    int32_t end = -1;
    for (int32_t k = s0; k <= s0 + kProbeSamples; ++k) {
        const bool is_solid = solid[k % kProbeSamples];
        if (start < 0) {
            if (!is_solid) start = k - 1;
        } else if (is_solid) {
            end = k;
            break;
        }
    }
    if (start < 0 || end < 0) return;
    if (end == start + kProbeSamples) return;  // a lone solid sample: no wall

    float ax, az, bx, bz;
    probe_point(start, ax, az);
    probe_point(end, bx, bz);
    float nx = -(bz - az);
    float nz = bx - ax;
    const float nlen = std::sqrt(nx * nx + nz * nz);
    if (!(nlen > 0.0f)) return;
    nx /= nlen;
    nz /= nlen;
    float dx = g.PLAYERX - ax;
    float dz = g.PLAYERZ - az;
    const float dlen = std::sqrt(dx * dx + dz * dz);
    if (dlen > 0.0f) {
        dx /= dlen;
        dz /= dlen;
    }
    if (nx * dx + nz * dz > 0.0f) {
        nx = -nx;
        nz = -nz;
    }

    // Impulse with no restitution, at least 1 / MASS away from the wall.
    const float mass = po.MASS;
    if (!(std::isfinite(mass) && mass > 0.0f)) return;
    const float vn = nx * po.LINEARVELOCITY.X + nz * po.LINEARVELOCITY.Z;
    float j = -(1.0f + 0.0f) * vn / ((1.0f / mass) * (nx * nx + nz * nz));
    if (j > -1.0f) j = -1.0f;

    for (int i = 0; i < 16; ++i) po.MATRIX[i] = po.MATRIXBACKUP[i];
    po.POSITION.X = po.POSITIONBACKUP.X;
    po.POSITION.Z = po.POSITIONBACKUP.Z;
    po.LINEARVELOCITY.X += nx * j / mass;
    po.LINEARVELOCITY.Z += nz * j / mass;
    PHYSICS_PROCESSPHYSICS(po);
}

// --- set-up --------------------------------------------------------------------------------

void KV_INIT_PHYSICS() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.GUNSHIPPO.MASS = 10000.0f;
    PHYSICS_CALCCENTEROFMASS(g.GUNSHIPPO);
    PHYSICS_CALCMOMENTOFINERTIA(g.GUNSHIPPO);
    PHYSICS_CALCEFFECTIVECONTACTRADIUS(g.GUNSHIPPO);
    PHYSICSDATA.UNIVERSALFRICTIONCONSTANT = 56.0f;
    PHYSICSDATA.UNIVERSALTORQUEFRICTIONCONSTANT = 50.0f;
    g.PHYSICSDATA_THRUSTFORCE = 15.0f;
    g.PHYSICSDATA_REVERSEFORCE = 10.0f;
    g.PHYSICSDATA_STRAFEFORCE = 11.0f;
    g.PHYSICSDATA_TORQUE = 175.0f;
}
