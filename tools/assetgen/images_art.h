// The pictures assetgen draws, one function each, shared by the "images" generator and its
// tests: explosion frames, menu pictures, and the configuration tool's bar and icons.
#pragma once

#include <string>
#include <vector>

#include "image_kit.h"
#include "island_terrain.h"

Canvas make_fireball(int frame);  // frames 0-5, 128 x 128 RGBA
Canvas make_smoke();              // frame 6, 128 x 128 RGBA
Canvas make_mission_backdrop(const island::IslandMap& map);  // 512 x 512 RGB
Canvas make_world_map();          // 256 x 256 RGBA
Canvas make_gunship_picture();    // 256 x 256 RGBA

Canvas make_config_bar();         // 640 x 24, written as a 24-bit BMP
struct ConfigIcon {
    const char* file;  // below data/config/
    Canvas (*draw)();
};
// The ten option icons of the configuration tool, 64 x 40 each.
const std::vector<ConfigIcon>& config_icons();
