// Mesh checks of `kvdata check`: every mesh is read with the game's own OBJ/MTL loader and
// reported when it is missing, has no triangles, has triangles whose corners do not resolve,
// has no materials (the game colours meshes by material), or names with usemtl a material its
// library does not define (the loader would silently keep the previous colour).
#include "check_mesh.h"

#include "engine/model_types.h"
#include "engine/objfile.h"
#include "engine/textfile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

namespace {

std::string strip_blanks(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}

// Returns the problem with the mesh, or "" when it loads cleanly.
std::string mesh_problem(const std::string& dir, const std::string& rel) {
    FieldReader reader;
    if (!std::filesystem::is_regular_file(dir + "/" + rel) || !field_reader_open(reader, dir + "/" + rel)) return "missing";
    MODEL3D model;
    const FieldReader copy = reader;
    const uint32_t skipped = objfile_read(model, reader, dir + "/" + OBJFILE_GETDIRECTORY(rel));
    if (skipped > 0) return std::to_string(skipped) + " triangles have corners that do not resolve to a vertex, texture coordinate and normal";
    if (model.MAX_TRIANGLES == 0) return "has no triangles";
    if (model.MAX_MATERIALS == 0) return "has no materials (its material library is missing or empty)";
    std::set<std::string> names;
    for (const MODELMATERIALTYPE& m : model.MATERIALS) names.insert(m.MATERIALNAME);
    FieldReader again = copy;
    while (!field_eof(again)) {
        const std::string line = strip_blanks(field_read(again));
        if (line.compare(0, 7, "usemtl ") == 0 && !names.count(line.substr(7)))
            return "uses material '" + line.substr(7) + "', which its library does not define";
    }
    return "";
}

}  // namespace

void check_meshes(const std::string& dir, std::vector<std::string>& problems) {
    objfile_set_texture_loader(nullptr);  // no OpenGL here: map_Kd lines are noted, not loaded
    std::vector<std::string> meshes;
    FieldReader list;
    if (!field_reader_open(list, dir + "/models.dat")) {
        problems.push_back("models.dat: missing");
    } else {
        while (!field_eof(list)) {
            const std::string name = strip_blanks(field_read(list));
            // The model database keeps MODEL_FILENAME_LEN characters of a name; a longer one would
            // be cut and its preload would look for a file that does not exist.
            if (name.size() > static_cast<size_t>(MODEL_FILENAME_LEN))
                problems.push_back("models.dat: '" + name + "' is longer than the " + std::to_string(MODEL_FILENAME_LEN) +
                                   " characters a model name keeps");
            else if (name.find('\\') != std::string::npos) problems.push_back("models.dat: '" + name + "' uses '\\' instead of '/'");
            if (!name.empty()) meshes.push_back(name);
        }
        if (meshes.empty()) problems.push_back("models.dat: lists no meshes");
    }
    // Meshes the game loads by fixed paths, whether or not models.dat lists them.
    const char* fixed[] = {"data/ships/gunship/gunshipLowJ.obj", "data/weapons/rpg.obj", "data/tanks/0_a.obj", "data/tanks/0_b.obj",
                           "data/tanks/0_c.obj", "data/buildings/1x1a.obj"};
    for (const char* f : fixed) meshes.push_back(f);
    for (const char* f : {"misc/chute_big", "misc/chute_medium", "misc/chute_small", "misc/box", "icons/gear", "icons/fuel",
                          "icons/armour", "icons/vt90", "icons/rpg", "icons/sel", "7segment/colon"})
        meshes.push_back(std::string("data/") + f + ".obj");
    for (int d = 0; d <= 9; ++d) meshes.push_back("data/7segment/" + std::to_string(d) + ".obj");
    for (const char* who : {"0", "1"})
        for (const char* pose : {"_stand", "_crouch_rest", "_crouch_fire"}) meshes.push_back(std::string("data/people/") + who + pose + ".obj");
    for (const char* f : {"usw_0_stand", "usw_0_run_0", "usw_0_run_1", "usw_0_run_2", "usw_0_run_3", "usw_0_zipline"})
        meshes.push_back(std::string("data/people/") + f + ".obj");
    for (const char* base : {"data/buildings/4x4a", "data/buildings/8x8a", "data/buildings/4x4sat"})
        for (const char* s : {"_box", "_n", "_s", "_e", "_w", "_n_low", "_s_low", "_e_low", "_w_low", "_top", "_box_low"})
            meshes.push_back(std::string(base) + s + ".obj");
    for (const char* base : {"data/buildings/12x12a", "data/buildings/16x16helo", "data/buildings/16x16fuel"})
        for (const char* s : {"_box", ""}) meshes.push_back(std::string(base) + s + ".obj");
    std::set<std::string> done;
    for (const std::string& m : meshes) {
        if (!done.insert(m).second) continue;
        const std::string why = mesh_problem(dir, m);
        if (!why.empty()) problems.push_back(m + ": " + why);
    }
}
