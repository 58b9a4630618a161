// The game's world entry points: the map, ground, terrain and building functions the rest of
// the game calls, on the global records (KVGLOBALS and the world and engine globals) and
// OpenGL, plus the helpers tools, tests and benchmarks use to reach them: the views of the
// global map records, tile compilation into a chosen sink, and what the last terrain pass did.
// The rules themselves live in the world layer on plain views.
#pragma once

#include <cstdint>
#include <string>

#include "world/buildings.h"
#include "world/ground.h"
#include "world/map.h"
#include "world/terrain.h"
#include "world/view_volume.h"
#include "world/world_types.h"

// Map: the grids of KVGLOBALS, and the map file of a mission.
void KV_INITIALIZE_MAPS();
void KV_LOAD_MISSIONMAP(const std::string& path);

// Ground: the neighbour table, cell triangles and height queries on the global map.
void KV_INITIALIZE_KVGROUNDCIRCLEPOLYLOOKUP();
void KV_GROUNDPOLYLOOKUP(int32_t n, int32_t triangle, KVGROUNDPOLYDATATYPE& out, int32_t smooth);
float KV_FINDMAPY(float x, float z);
float KV_FINDMAPYNOSPACER(float x, float z);
void KV_FINDGUNSHIPY();

// Terrain: colours, tile display lists, the per-frame pass and the minimap.
void KV_PICKCOLORPRINT(float r, float g, float b);
void KV_PICKWATERCOLORGROUND(float y);
void KV_PICKWATERCOLORROAD(float y);
void KV_RENDER_MAPDL(int32_t tx, int32_t tz);
void KV_RENDER_SECTOR(int32_t tx, int32_t tz);
void KV_RENDER_MAP();
void KV_RENDER_MINIMAPDL();
void KV_RENDER_MINIMAPPLAYER();

// Buildings: the class meshes in the model database and their display lists, and drawing.
void KV_LOAD_BUILDINGS_SETUPDATA(int32_t cls, int32_t size, const std::string& path);
void KV_LOAD_BUILDINGS();
void KV_RENDER_BUILDINGS(int32_t tx, int32_t tz);

// The map grids and scalars of KVGLOBALS as a view (null grids until they are allocated).
KVMAPVIEW kv_world_view();
// The footprint sizes of the building classes, copied from the global records.
struct BuildingClassSizes {
    int32_t size[KV_BUILDINGCLASSES] = {};
};
// Everything a tile's geometry needs, from the global records (jitter from the random seam);
// the result points into `sizes`, which must outlive it.
KVTILEINPUT kv_world_tile_input(const BuildingClassSizes& sizes);
// KV_RENDER_MAPDL into any sink: emits tile (tx, tz), marks it compiled, counts it.
void kv_render_mapdl_to(int32_t tx, int32_t tz, const KVTILESINK& sink);
// Opens the tile's display list, emits the tile into it and closes it. False without a list.
bool kv_compile_tile(int32_t tx, int32_t tz);
// The box round every vertex in tile (tx, tz)'s compiled list (an empty list gives a lower Y
// above the upper). False when the tile is off the map, not compiled, or holds a non-finite
// vertex.
bool kv_tile_box(int32_t tx, int32_t tz, float lo[3], float hi[3]);

// What the last KV_RENDER_MAP did.
struct KVRENDERMAPSTATS {
    KVVIEWDENSITY density;
    int32_t drawn = 0;     // tiles drawn
    int32_t compiled = 0;  // tiles compiled this frame
    int32_t deferred = 0;  // tiles left for later frames by the compile budget
    int32_t ground_outside = 0;     // drawn tiles whose list lay wholly outside the view or was empty (not sent)
    int32_t buildings_sent = 0;     // buildings sent to OpenGL
    int32_t buildings_outside = 0;  // buildings wholly outside the view (not sent)
};
extern KVRENDERMAPSTATS KV_RENDER_MAP_STATS;

// The view volume of the current OpenGL projection and modelview; with_fog_end adds the fog's
// end when the fog fades to the clear colour (only for passes drawn without blending).
ViewVolume kv_view_volume_now(bool with_fog_end);
