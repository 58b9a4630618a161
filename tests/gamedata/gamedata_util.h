// Helpers of the game-data tests: scratch copies of the game directory, edits of its files,
// reading the map file and the report of `kvdata check` (files and commands: support/files.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/files.h"

// A fresh empty directory under the system temporary directory, removed by the destructor.
struct ScratchDir {
    std::string path;
    explicit ScratchDir(const std::string& tag);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
};

// Replaces the first occurrence of `from` in the file by `to`; false when it is not found.
bool replace_in_file(const std::string& path, const std::string& from, const std::string& to);

// Copies the game's data files (not the programs) from the built game directory.
void copy_game_data(const std::string& to);

// The three grids of a map file, index z * 513 + x.
struct MapGrids {
    std::vector<int32_t> height, forest, city;
    int32_t water = 0;
};
bool read_map(const std::string& path, MapGrids& map);

// Lines of `kvdata check` output that start with `prefix`.
std::vector<std::string> lines_starting(const std::string& out, const std::string& prefix);
