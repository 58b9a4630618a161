// Helpers of the game's world entry points for tools, tests and benchmarks: the views of the
// global map records, tile compilation into a chosen sink, and what the last terrain pass did.
#pragma once

#include <cstdint>

#include "world/map.h"
#include "world/terrain.h"

// The map grids and scalars of KVGLOBALS as a view (null grids until they are allocated).
KVMAPVIEW kv_world_view();
// Everything a tile's geometry needs, from the global records (jitter from the random seam).
KVTILEINPUT kv_world_tile_input();
// KV_RENDER_MAPDL into any sink: emits tile (tx, tz), marks it compiled, counts it.
void kv_render_mapdl_to(int32_t tx, int32_t tz, const KVTILESINK& sink);
// Opens the tile's display list, emits the tile into it and closes it. False without a list.
bool kv_compile_tile(int32_t tx, int32_t tz);

// What the last KV_RENDER_MAP did.
struct KVRENDERMAPSTATS {
    KVVIEWDENSITY density;
    int32_t drawn = 0;     // tiles drawn
    int32_t compiled = 0;  // tiles compiled this frame
    int32_t deferred = 0;  // tiles left for later frames by the compile budget
};
extern KVRENDERMAPSTATS KV_RENDER_MAP_STATS;
