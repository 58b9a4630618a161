// Mesh checks of `kvdata check`: reads each OBJ file the way the game's loader does (fields end
// at commas and line ends, tokens split at single spaces, faces of three corners or quads of
// four) and reports meshes without triangles, corners that are not full v/vt/vn triples,
// indices outside the counted vertices, texture coordinates or normals, missing material
// libraries and materials used but never defined.
#include "check_mesh.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

std::vector<std::string> text_lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : bytes) {
        if (c == '\n' || c == '\r' || c == ',') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

std::vector<std::string> split_spaces(const std::string& line) {
    std::vector<std::string> t;
    size_t from = 0;
    for (;;) {
        const size_t at = line.find(' ', from);
        if (at == std::string::npos) {
            t.push_back(line.substr(from));
            return t;
        }
        t.push_back(line.substr(from, at - from));
        from = at + 1;
    }
}

std::string strip_blanks(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}

bool read_all(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

bool whole_number(const std::string& s, long& v) {
    if (s.empty() || s.size() > 9) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    return true;
}

// Returns the problem with the mesh, or "" when it loads cleanly.
std::string mesh_problem(const std::string& dir, const std::string& rel) {
    std::string bytes;
    if (!read_all(dir + "/" + rel, bytes)) return "missing";
    const std::vector<std::string> lines = text_lines(bytes);
    long nv = 0, nt = 0, nn = 0;
    for (const std::string& raw : lines) {
        const std::vector<std::string> t = split_spaces(strip_blanks(raw));
        if (t[0] == "v") ++nv;
        if (t[0] == "vt") ++nt;
        if (t[0] == "vn") ++nn;
    }
    std::set<std::string> materials;
    bool have_library = false;
    long triangles = 0;
    int line_no = 0;
    for (const std::string& raw : lines) {
        ++line_no;
        const std::vector<std::string> t = split_spaces(strip_blanks(raw));
        if (t[0] == "mtllib" && t.size() > 1) {
            const size_t slash = rel.rfind('/');
            const std::string lib = (slash == std::string::npos ? "" : rel.substr(0, slash + 1)) + t[1];
            std::string mtl;
            if (!read_all(dir + "/" + lib, mtl)) return "its material library " + lib + " is missing";
            have_library = true;
            materials.clear();
            for (const std::string& m : text_lines(mtl)) {
                const std::vector<std::string> mt = split_spaces(strip_blanks(m));
                if (mt[0] == "newmtl" && mt.size() > 1) materials.insert(mt[1].substr(0, 16));
            }
        } else if (t[0] == "usemtl") {
            if (t.size() < 2 || !materials.count(t[1]) || t[1].size() > 16)
                return "line " + std::to_string(line_no) + " uses a material " + (have_library ? "its library does not define" : "without a material library");
        } else if (t[0] == "f") {
            const size_t corners = t.size() - 1 == 4 ? 4 : 3;
            if (t.size() < 4) return "line " + std::to_string(line_no) + " is a face with fewer than three corners";
            for (size_t k = 1; k <= corners; ++k) {
                const std::string& c = t[k];
                const size_t a = c.find('/'), b = a == std::string::npos ? a : c.find('/', a + 1);
                long v = 0, vt = 0, vn = 0;
                if (b == std::string::npos || !whole_number(c.substr(0, a), v) || !whole_number(c.substr(a + 1, b - a - 1), vt) ||
                    !whole_number(c.substr(b + 1), vn))
                    return "line " + std::to_string(line_no) + " has a face corner '" + c + "' that is not a full v/vt/vn triple";
                if (v < 1 || v > nv || vt < 1 || vt > nt || vn < 1 || vn > nn)
                    return "line " + std::to_string(line_no) + " has a face corner '" + c + "' whose index is out of range";
            }
            triangles += corners == 4 ? 2 : 1;
        }
    }
    if (triangles == 0) return "has no triangles";
    return "";
}

}  // namespace

void check_meshes(const std::string& dir, std::vector<std::string>& problems) {
    std::vector<std::string> meshes;
    std::string list;
    if (!read_all(dir + "/models.dat", list)) {
        problems.push_back("models.dat: missing");
    } else {
        for (const std::string& l : text_lines(list)) {
            const std::string name = strip_blanks(l);
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
