// Builds the island's grids (terrain height, forest, city codes) and its enemy table from the
// layout table, deterministically: integer hashing for noise, plain arithmetic and sqrt only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace island {

constexpr int GRID = 513;
constexpr int CELLS = GRID * GRID;
constexpr int index_of(int x, int z) { return z * GRID + x; }

struct IslandMap {
    std::vector<int32_t> height;  // terrain units, index z * 513 + x
    std::vector<int32_t> forest;
    std::vector<int32_t> city;
    int32_t water = 0;
    int32_t forest_height = 0;
};

struct EnemySlot {
    float x = 0, y = 0, z = 0;
    float heading = 0;
    int32_t maxhp = 0;
    int32_t cls = 0;
};

// Builds the whole map. On a layout that cannot be honoured (a building over water, two
// footprints overlapping, a site outside the frame) it returns false with one line in `error`.
// Without `relief` the open country keeps the plain base terrain (coast rise and named hills
// only), which is what the relief is measured against.
bool build_island(IslandMap& map, std::string& error, bool relief = true);

// Places the garrisons and wall enemies on a built map, in slot order.
bool build_enemies(const IslandMap& map, std::vector<EnemySlot>& out, std::string& error);

// The game's ground height query: the sample's height in world units, never below the water
// surface.
float ground_y(const IslandMap& map, float x, float z);

// File images.
std::string map_file_bytes(const IslandMap& map);
std::string lookup_file_text();
std::string enemies_file_text(const std::vector<EnemySlot>& slots);
std::vector<uint8_t> minimap_pixels(const IslandMap& map, int& width, int& height);

}  // namespace island
