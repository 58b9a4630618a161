// Shared set-up for the weapon and projectile tests: a flat 513 x 513 map, an empty pool and
// enemy table, a player profile and a virtual clock.
#pragma once

#include <cstdint>

#include "engine/engine_globals.h"
#include "engine/math3d.h"
#include "game/kv_globals.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "support/world_fixture.h"

namespace weapons_test {

inline constexpr int kSide = KV_MAPSIDE;

inline void set_city(int x, int z, int32_t v) { KVGLOBALS.CITYMAP[static_cast<size_t>(z) * kSide + x] = v; }
inline void set_terrain(int x, int z, int32_t v) { KVGLOBALS.TERRAINMAP[static_cast<size_t>(z) * kSide + x] = v; }

// Flat open ground at height `ground` (terrain sample x MAPSCALE 0.25), water far below.
inline void reset_world(float ground = 2.0f) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    flat_island(ground);
    reset_pools();
    g.MAXPROJECTILES = 9999;
    g.PLAYERX = g.PLAYERZ = 400.0f;  // far away from the test area
    g.PLAYERY = 50.0f;
    g.PLAYERHOVERCYCLE = 0.0f;
    g.CURPROFILE = 0;
    g.PROFILES[0] = PROFILETYPE{};
    g.GUNSHIPWEAPONS.NEXTROUND = 0;
    g.GUNSHIPWEAPONS.NEXTROCKET = 0;
    g.GUNSHIPWEAPONS.NEXTBARREL = 0;
    g.WEAPONSWITCH = WEAPONSWITCHTYPE{};
    MATRIX_LOADIDENTITY(g.GUNSHIPPO.MATRIX2);
    FPSR = 1.0f;
    platform_random_seed(1234);
    platform_clock_set_virtual_seconds(10.0);
}

inline int count_active(bool particles) {
    int n = 0;
    for (const auto& p : KVGLOBALS.PROJECTILES) {
        if (p.ACTIVE != 0 && (p.RICOCHET == 1) == particles) ++n;
    }
    return n;
}

inline ENEMYTYPE& place_infantry(int slot, float x, float y, float z, float health, int32_t cls = 2) {
    ENEMYTYPE& e = KVGLOBALS.ENEMIES[slot];
    e = ENEMYTYPE{};
    e.ACTIVE = 1;
    e.CLASS = cls;
    e.POSITION = VECTOR3D{x, y, z};
    e.HEALTH = health;
    if (slot > KVGLOBALS.LASTENEMY) KVGLOBALS.LASTENEMY = slot;
    return e;
}

}  // namespace weapons_test
