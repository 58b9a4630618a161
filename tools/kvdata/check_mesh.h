// The mesh part of `kvdata check`: every mesh named in models.dat, and every mesh the game
// loads by a fixed path, must load with triangles whose corner indices are in range.
#pragma once

#include <string>
#include <vector>

// Appends one line per problem to `problems`.
void check_meshes(const std::string& dir, std::vector<std::string>& problems);
