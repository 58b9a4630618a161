// The "meshes" generator: builds every mesh family, checks that together they are exactly the
// meshes of mesh_paths.h, writes them with their material libraries and writes models.dat,
// the preload list, into the top of the game directory.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "assetgen.h"
#include "mesh_families.h"
#include "mesh_paths.h"

std::vector<std::string> models_dat_order(std::vector<std::string> names) {
    const size_t n = names.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j)
            if (j != i && names[i].size() < names[j].size()) std::swap(names[i], names[j]);
    return names;
}

namespace {
bool generate_meshes(const std::string& game_dir) {
    std::vector<NamedMesh> meshes;
    bool ok = build_gunship_meshes(meshes);
    ok = build_building_meshes(meshes) && ok;
    ok = build_misc_meshes(meshes) && ok;
    ok = build_enemy_meshes(meshes) && ok;
    ok = build_people_meshes(meshes) && ok;
    if (!ok) return false;

    std::set<std::string> wanted;
    for (std::string_view p : kMeshPaths) wanted.insert(std::string(p));
    std::set<std::string> built;
    for (const NamedMesh& m : meshes) {
        if (!wanted.count(m.path)) {
            std::fprintf(stderr, "assetgen: mesh %s is not in the mesh path table\n", m.path.c_str());
            return false;
        }
        if (!built.insert(m.path).second) {
            std::fprintf(stderr, "assetgen: mesh %s is built twice\n", m.path.c_str());
            return false;
        }
    }
    for (const std::string& p : wanted)
        if (!built.count(p)) {
            std::fprintf(stderr, "assetgen: no builder makes mesh %s\n", p.c_str());
            return false;
        }
    for (const NamedMesh& m : meshes)
        if (!mesh_write_obj(m.mesh, game_dir, m.path, m.file_scale)) return false;

    std::vector<std::string> names;
    for (std::string_view p : kMeshPaths) names.emplace_back(p);
    std::string text;
    for (const std::string& name : models_dat_order(names)) text += name + "\r\n";
    return write_text_file(game_dir + "/models.dat", text);
}
}  // namespace

ASSETGEN_GENERATOR("meshes", generate_meshes);
