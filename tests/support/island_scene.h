// The generated island loaded for drawing, as a mission start loads it: map, scale, water
// spacer, ground lookup table and building meshes, read from the current directory (the game
// directory, where the game runs). Shared by the island frame tests and the terrain benchmarks.
#pragma once

#include "game/kv_globals.h"
#include "platform/random.h"
#include "world/buildings.h"
#include "world/ground.h"
#include "world/map.h"
#include "game/world.h"
#include "world/world_globals.h"

// Call with an OpenGL context current. Tiles compiled in an earlier context are forgotten (its
// display lists are gone), so the terrain pass compiles them again.
inline void test_island_load() {
    platform_random_seed(1);
    for (auto& row : KVMAPCOMPILED)
        for (auto& v : row) v = 0;
    KV_INITIALIZE_MAPS();
    KVGLOBALS.MAPSCALE = 0.25f;
    KVGLOBALS.WATERSPACER = 10.0f;
    KV_INITIALIZE_KVGROUNDCIRCLEPOLYLOOKUP();
    KV_LOAD_MISSIONMAP("0.map");
    KV_LOAD_BUILDINGS();
}
