// World records: the map and table sizes every world and game module uses, one ground triangle with its normals
// (KVGROUNDPOLYDATATYPE), the triangle neighbourhood of a grid vertex
// (KVGROUNDCIRCLEPOLYLOOKUPTYPE), a building class (BUILDINGCLASSTYPE) and the reserved
// building volume record. Types only.
#pragma once

#include <cstdint>

#include "engine/math3d.h"

inline constexpr int32_t KV_MAPSIDE = 513;                        // samples per row and per column, 0-512
inline constexpr int32_t KV_MAPCELLS = KV_MAPSIDE * KV_MAPSIDE;   // 263169 samples per grid
inline constexpr int32_t KV_TILESLOTS = 65;                       // slots per side of the tile tables (0-64)
inline constexpr int32_t KV_GROUNDLOOKUPSLOTS = 10;               // KVGROUNDCIRCLEPOLYLOOKUP 0-9
inline constexpr int32_t GROUND_LOOKUP_ENTRIES = 9;               // triangles per lookup, 0-8
inline constexpr int32_t KV_BUILDINGCLASSES = 21;                 // BUILDINGCLASS 0-20; classes 1-6 are used
inline constexpr int32_t BUILDING_PIECES = 6;                     // facade/roof slots 0-5

struct KVGROUNDPOLYDATATYPE {
    VECTOR3D V1 = {};          // corners in world coordinates
    VECTOR3D V2 = {};
    VECTOR3D V3 = {};
    VECTOR3D N1 = {};          // vertex normals of V1-V3
    VECTOR3D N2 = {};
    VECTOR3D N3 = {};
    VECTOR3D FACENORMAL = {};  // unit face normal
};

struct KVGROUNDCIRCLEPOLYLOOKUPTYPE {
    int32_t POLYFACEMAPINDEX[GROUND_LOOKUP_ENTRIES] = {};     // cell offset of each triangle
    int32_t POLYFACEMAPSUBINDEX[GROUND_LOOKUP_ENTRIES] = {};  // triangle 0 or 1 of that cell
};

struct BUILDINGCLASSTYPE {
    int32_t SIZE = 0;                                 // footprint edge in cells
    int32_t BUILDINGDL = 0;                           // whole building (single-mesh classes)
    int32_t BUILDINGMID = 0;
    int32_t BUILDINGBOXMID = 0;                       // box mesh
    int32_t BUILDINGBOXLOWMID = 0;                    // low-detail box (assembled classes)
    int32_t BUILDINGBOXLOWDL = 0;
    int32_t BUILDINGDMID[BUILDING_PIECES] = {};       // 0 north, 1 south, 2 east, 3 west, 4 roof
    int32_t BUILDINGDDL[BUILDING_PIECES] = {};
    int32_t BUILDINGDLOWMID[BUILDING_PIECES] = {};    // low-detail facades 0-3
    int32_t BUILDINGDLOWDL[BUILDING_PIECES] = {};
    int32_t CLASS = 0;                                // reserved
};

// A building's bounding volume (declared for the reserved volume table; nothing reads it).
struct BUILDINGVOLUMETYPE {
    VECTOR3D MINIMUM = {};
    VECTOR3D MAXIMUM = {};
};
