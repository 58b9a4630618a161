// The open country's relief: what the island has between its towns so that the light picks the
// ground out from the chase camera. The base terrain (coast rise, named hills) comes first; the
// relief is added on top of it, fading out round the quiet places of island_layout.h.
#pragma once

#include <cstdint>
#include <vector>

namespace island {

// 0 at and round the quiet places (flats, paving, garrisons, the QUIET table), rising to 1 in
// open country.
double quiet_weight(int x, int z);

// The relief's own parts at one land cell `inland` cells from the coast, in terrain units, and
// the terraced version of a height. Exposed so that the tests can look at each shape alone.
struct ReliefParts {
    double plateau = 0, cliff = 0, ridge = 0, valley = 0, dune = 0, terrace = 0;  // terrace: 0-1
};
ReliefParts relief_parts(int x, int z, double inland);
double terraced(double height);

// Adds the relief to the base heights `h` (index z * 513 + x) on the land cells; sea cells and
// the coast line stay as they are, and no land cell drops to the water.
void add_relief(std::vector<double>& h, const std::vector<uint8_t>& land, const std::vector<int32_t>& to_sea);

}  // namespace island
