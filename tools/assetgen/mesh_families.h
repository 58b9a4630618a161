// The mesh families of assetgen: each builder appends the meshes of one family, named by
// their path below the game directory, to the list the "meshes" generator writes out.
#pragma once

#include <string>
#include <vector>

#include "mesh_kit.h"

struct NamedMesh {
    std::string path;
    Mesh mesh;
    float file_scale = 1;  // file units per game unit (meshes the game scales down are bigger in the file)
};

// Designed size of the gunship: its farthest vertex lies this far from its origin, so the
// game's normalise-then-scale-by-1.5 leaves every coordinate as designed.
inline constexpr float kGunshipRadius = 1.5f;
// Infantry and personnel are drawn scaled by this factor.
inline constexpr float kPeopleScale = 0.045f;

bool build_gunship_meshes(std::vector<NamedMesh>& out);
bool build_enemy_meshes(std::vector<NamedMesh>& out);
bool build_people_meshes(std::vector<NamedMesh>& out);
bool build_building_meshes(std::vector<NamedMesh>& out);
bool build_misc_meshes(std::vector<NamedMesh>& out);

// The game's own ordering of models.dat: an exchange sort by name length, shortest first,
// comparing every pair (i outer, j inner) and swapping when name i is shorter than name j.
std::vector<std::string> models_dat_order(std::vector<std::string> names);
