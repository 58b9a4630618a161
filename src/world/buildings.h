// Buildings: the six classes of meshes under data/buildings/, and which buildings a terrain tile
// draws, where, with which facades and at which level of detail. The city grid places a building
// at every cell whose code is above 3 (class = code - 3); it rests on the highest sample of its
// footprint. Assembled classes (1, 2 and 5) are four facades and a roof, and only the facades
// that can face the gunship are drawn.
#pragma once

#include <cstdint>
#include <string>

#include "world/map.h"
#include "world/world_types.h"

enum : int32_t {
    KV_FACADE_NORTH = 1,  // towards -Z
    KV_FACADE_SOUTH = 2,  // towards +Z
    KV_FACADE_EAST = 4,   // towards +X
    KV_FACADE_WEST = 8,   // towards -X
};

// The classes in load order: class, footprint size, base path of the mesh files.
struct KVBUILDINGCLASSDEF {
    int32_t CLASS;
    int32_t SIZE;
    const char* PATH;
};
extern const KVBUILDINGCLASSDEF KV_BUILDING_CLASSES[6];

// True for the classes built from facades and a roof.
bool kv_building_assembled(int32_t cls);

// The facades of a building centred at (cx, cz) that can face a gunship at (px, pz), with a
// margin of 5 units.
int32_t kv_building_facades(float px, float pz, float cx, float cz);

// One building to draw.
struct KVBUILDINGDRAW {
    int32_t CLASS = 0;
    int32_t X = 0, Z = 0;  // anchor cell
    float H = 0;           // base height: the highest footprint sample, at least 0
    int32_t FACADES = 0;   // assembled classes: facade bits; single meshes: 0
    int32_t LOW = 0;       // assembled classes: 1 for the low-detail facades
};

// The buildings anchored in tile (tx, tz), in drawing order (cells x outer, z inner), for a
// gunship at (px, pz); lodrange = current level-of-detail switch * view distance in tiles, so
// that a building at distance d uses low detail when lodrange / 10 <= d. classsize holds the 21
// footprint sizes (0: class not loaded). Writes at most 64 entries and returns the count.
int32_t kv_tile_buildings(const KVMAPVIEW& map, const int32_t* classsize, int32_t tx, int32_t tz, float px, float pz,
                          float lodrange, KVBUILDINGDRAW* out);
