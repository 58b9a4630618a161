// The suites' one way to put a synthetic island into the global records and clear the pools:
// a flat island, a sloped one whose heights differ from place to place, and empty projectile
// and enemy pools. Each call replaces all four map grids, so nothing of an earlier test leaks
// into the next.
#pragma once

#include <cstdint>

#include "game/kv_globals.h"
#include "game/projectiles.h"
#include "world/map.h"

// Every sample at `ground` world units (terrain units x MAPSCALE 0.25), no city codes, water
// at `waterheight` terrain units.
inline void flat_island(float ground, int32_t waterheight = -40) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.TERRAINMAP.assign(KV_MAPCELLS, static_cast<int32_t>(ground * 4.0f));
    g.CITYMAP.assign(KV_MAPCELLS, 0);
    g.FORESTMAP.assign(KV_MAPCELLS, 0);
    g.BUILDINGMAP.assign(KV_MAPCELLS, 0);
    g.MAPSCALE = 0.25f;
    g.WATERHEIGHT = waterheight;
    g.WATERSPACER = 10.0f;
}

// Terrain rising with x and z (capped by wrapping at 97), water at 0, no city codes.
inline void sloped_island() {
    flat_island(0.0f, 0);
    for (int32_t z = 0; z < KV_MAPSIDE; ++z)
        for (int32_t x = 0; x < KV_MAPSIDE; ++x) KVGLOBALS.TERRAINMAP[kv_map_index(x, z)] = (x + 2 * z) % 97;
}

// Empty projectile pool and enemy slots (the counts that go with them are the caller's).
inline void reset_pools() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    for (auto& p : g.PROJECTILES) p = PROJECTILETYPE{};
    for (auto& e : g.ENEMIES) e = ENEMYTYPE{};
    g.LASTPROJECTILE = 0;
    g.LASTENEMY = 0;
    projectiles_pool_sync();
}
