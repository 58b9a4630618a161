// Map files and tile grids: reading the binary map and building the terrain, forest, city and
// building grids.
#pragma once

#include <cstdint>
#include <string>

void KV_INITIALIZE_MAPS();
void KV_LOAD_MISSIONMAP(const std::string& path);
