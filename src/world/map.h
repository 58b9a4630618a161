// The island map: the 513 x 513 grids (terrain height, forest, city code), the raw map file
// that fills them, the impassable boundary frame, and the tile arithmetic (64 x 64 tiles of
// 8 x 8 cells) every other world module uses. The grids themselves are held by the game's
// global record; the functions here work on a KVMAPVIEW of them so they can be tested alone.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "world/world_types.h"

constexpr int32_t KV_MAPRECORDBYTES = 12;                  // height, forest, city code
constexpr int32_t KV_MAPTRAILEROFFSET = KV_MAPCELLS * KV_MAPRECORDBYTES;  // 3158028
constexpr int32_t KV_MAPFILEBYTES = KV_MAPTRAILEROFFSET + 8;             // 3158036
constexpr int32_t KV_TILES = 64;       // tiles per side
constexpr int32_t KV_TILECELLS = 8;    // cells per tile side

// Read-only view of the map data the ground, terrain and building code reads.
struct KVMAPVIEW {
    const int32_t* TERRAINMAP = nullptr;  // KV_MAPCELLS heights in terrain units (null: flat 0)
    const int32_t* CITYMAP = nullptr;     // KV_MAPCELLS city codes (null: all 0)
    int32_t WATERHEIGHT = 0;
    float MAPSCALE = 0.25f;
    float WATERSPACER = 10.0f;
};

// Linear index of sample (x, z), the row stride being 513.
inline int32_t kv_map_index(int32_t x, int32_t z) { return z * KV_MAPSIDE + x; }
inline bool kv_map_inside(int32_t x, int32_t z) { return x >= 0 && z >= 0 && x < KV_MAPSIDE && z < KV_MAPSIDE; }
inline int32_t kv_map_clamp(int32_t v) { return v < 0 ? 0 : (v > KV_MAPSIDE - 1 ? KV_MAPSIDE - 1 : v); }

// Terrain height of sample (x, z) in terrain units; reads outside the grid take the nearest
// edge sample.
int32_t kv_map_terrain(const KVMAPVIEW& map, int32_t x, int32_t z);
// City code of cell (x, z); outside the grid: 0.
int32_t kv_map_city(const KVMAPVIEW& map, int32_t x, int32_t z);
// Water surface height in world units: (WATERHEIGHT + WATERSPACER) * MAPSCALE.
float kv_water_surface(const KVMAPVIEW& map);
// Water level in world units, without the spacer: WATERHEIGHT * MAPSCALE.
float kv_water_level(const KVMAPVIEW& map);

// Result of reading a map file.
struct KVMAPREAD {
    bool opened = false;      // the file exists and could be read
    int64_t bytes = 0;        // its length
    int32_t records = 0;      // complete sample records taken from it
    bool trailer = false;     // both trailing integers (water and forest heights) were present
};

// Reads a raw map file (records ordered x outer, z inner; then WATERHEIGHT and FORESTHEIGHT)
// into the three grids of KV_MAPCELLS integers each. Whatever the file lacks is left as it
// was. Prints one console line when the file is missing, short or too long.
KVMAPREAD kv_map_read(const std::string& path, int32_t* terrain, int32_t* forest, int32_t* city,
                      int32_t& waterheight, int32_t& forestheight);

// Forces code 3 on the impassable frame: cells with x in 24-28 or 477-481 (all z) and cells
// with z in 34-38 or 496-500 (all x).
void kv_map_apply_frame(int32_t* city);
bool kv_map_in_frame(int32_t x, int32_t z);

// Tile (floor(X / 8), floor(Z / 8)) of a world position; not clamped.
int32_t kv_tile_of(float worldcoord);

// Statistics of a loaded map, for the data inspector.
struct KVMAPSTATS {
    int32_t minheight = 0, maxheight = 0;
    int32_t waterheight = 0, forestheight = 0;
    int32_t belowwater = 0;                 // samples whose height is below the water level
    std::map<int32_t, int32_t> citycodes;   // code -> cells
    std::map<int32_t, int32_t> anchors;     // building class (code - 3) -> anchors
};
KVMAPSTATS kv_map_stats(const int32_t* terrain, const int32_t* city, int32_t waterheight, int32_t forestheight);
