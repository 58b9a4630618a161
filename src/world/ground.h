// Ground triangles and height queries. Every map cell is two triangles on a checkerboard of
// diagonals; KV_GROUNDPOLYLOOKUP-style lookups give a cell triangle with a jittered face normal
// and, optionally, vertex normals smoothed over the triangles round each corner (the neighbour
// table of data/KVGroundCirclePolyLookup.dat). The gameplay queries read the height grid without
// interpolation and keep answers at or above the water surface. Reads outside the 513 x 513
// grid take the nearest edge sample.
#pragma once

#include <cstdint>
#include <string>

#include "world/map.h"
#include "world/world_types.h"

constexpr int32_t KV_GROUNDLOOKUPS = 8;       // records loaded from the table file

// Uniform random number in [0, 1), used for the normal jitter.
using KVUNIFORMFN = float (*)();

// Corner numbers of a cell: A (x, z), B (x, z+1), C (x+1, z+1), D (x+1, z).
enum : int32_t { KV_CORNER_A = 0, KV_CORNER_B = 1, KV_CORNER_C = 2, KV_CORNER_D = 3 };

// Corner numbers of triangle tri (0 or 1) of a cell of parity p (0 or 1), in vertex order.
void kv_ground_triangle_corners(int32_t parity, int32_t tri, int32_t corners[3]);

// Reads the 8 neighbour records (16 integers and a label each) into table[0..7]. A missing file
// leaves the table as it was and returns false. Sub-indices other than 0 or 1 are refused (set
// to 0) with a console line. Returns true when all 8 records were complete.
bool kv_ground_lookup_load(const std::string& path, KVGROUNDCIRCLEPOLYLOOKUPTYPE* table);

// Fills table[0..7] with the neighbour sets the checkerboard triangulation implies (what the
// table file holds; used by tests and the data generator's check).
void kv_ground_lookup_default(KVGROUNDCIRCLEPOLYLOOKUPTYPE* table);

// Triangle tri (0 or 1) of cell n (linear index of its lower corner) with face normal and, when
// smooth is 1, vertex normals averaged over the surrounding triangles' face normals (not
// renormalised); with smooth 0 the vertex normals equal the face normal. n outside the grid is
// clamped into it, tri other than 1 means 0. table may be null (then smoothing averages the
// cell's own triangle 0, as an all-zero table does). uniform null means no jitter.
void kv_ground_poly(const KVMAPVIEW& map, const KVGROUNDCIRCLEPOLYLOOKUPTYPE* table, int32_t n, int32_t tri,
                    KVGROUNDPOLYDATATYPE& out, int32_t smooth, KVUNIFORMFN uniform);

// Ground height at world (x, z): the sample at (floor x, floor z), at least the water surface.
float kv_find_map_y(const KVMAPVIEW& map, float x, float z);
// The same, raised to the water surface only on paved-platform cells (city code 1).
float kv_find_map_y_nospacer(const KVMAPVIEW& map, float x, float z);

// The gunship's per-frame height state.
struct KVGUNSHIPHEIGHT {
    float PLAYERX = 0, PLAYERY = 0, PLAYERZ = 0;
    float GUNSHIPHOVERY = 15;
    float GUNSHIPLANDRATIO = 1;
    int32_t GUNSHIPLANDED = 0;
    float PLAYERHOVERCYCLE = 0;
};
// One step of height following: clamps X and Z to [0, 511], eases Y a tenth of the way to the
// hover (or landed) height over the highest of the four samples under the gunship, moves the
// landing ratio and the hover cycle by FPSR.
void kv_find_gunship_y(const KVMAPVIEW& map, KVGUNSHIPHEIGHT& g, float FPSR);
