// assetgen generator "island": writes the map file 0.map, its minimap picture
// data/maps/0/minimap.png, the ground neighbour table data/KVGroundCirclePolyLookup.dat and
// the initial enemy layout data/enemies0.dat, all built from the table in island_layout.h.
#include "assetgen.h"
#include "island_terrain.h"

#include "engine/png_write.h"

#include <cstdio>
#include <filesystem>

namespace {

bool generate_island(const std::string& game_dir) {
    island::IslandMap map;
    std::string error;
    if (!island::build_island(map, error)) {
        std::fprintf(stderr, "island: %s\n", error.c_str());
        return false;
    }
    std::vector<island::EnemySlot> enemies;
    if (!island::build_enemies(map, enemies, error)) {
        std::fprintf(stderr, "island: %s\n", error.c_str());
        return false;
    }
    if (!write_text_file(game_dir + "/0.map", island::map_file_bytes(map))) return false;
    if (!write_text_file(game_dir + "/data/KVGroundCirclePolyLookup.dat", island::lookup_file_text())) return false;
    if (!write_text_file(game_dir + "/data/enemies0.dat", island::enemies_file_text(enemies))) return false;
    int w = 0, h = 0;
    const std::vector<uint8_t> pixels = island::minimap_pixels(map, w, h);
    const std::string png = game_dir + "/data/maps/0/minimap.png";
    std::error_code ec;
    std::filesystem::create_directories(game_dir + "/data/maps/0", ec);
    std::string why;
    if (!png_write_file(png, w, h, 3, pixels.data(), &why)) {
        std::fprintf(stderr, "island: cannot write %s: %s\n", png.c_str(), why.c_str());
        return false;
    }
    return true;
}

}  // namespace

ASSETGEN_GENERATOR("island", generate_island);
