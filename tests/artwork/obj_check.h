// Reads the generated OBJ/MTL files the way the game's loader does (single-space tokens,
// fields ending at commas, Z-up turned Y-up) and records every way a file strays from the
// subset the loader understands, so the artwork tests can check both format and geometry.
#pragma once

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace artwork {

struct V3 {
    double x = 0, y = 0, z = 0;
};
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double length(V3 a) { return std::sqrt(dot(a, a)); }

struct Tri {
    int v[3] = {0, 0, 0};
    int n[3] = {0, 0, 0};
    int material = 0;
};

struct Material {
    std::string name;
    double r = 0, g = 0, b = 0;
};

struct ObjFile {
    std::vector<V3> v;   // game coordinates, every v line (unreferenced ones included)
    std::vector<V3> vn;  // game coordinates
    int vt = 0;
    std::vector<Tri> tris;
    std::vector<Material> materials;
    std::vector<std::string> problems;  // empty when the file keeps to the loader's subset

    double radius() const {  // the game's normalisation radius: farthest vertex
        double r = 0;
        for (const V3& p : v) r = std::fmax(r, length(p));
        return r;
    }
    int material_index(const std::string& name) const {
        for (size_t i = 0; i < materials.size(); ++i)
            if (materials[i].name == name) return static_cast<int>(i);
        return -1;
    }
    // Positions of the corners of triangles using the named material.
    std::vector<V3> points_of(const std::string& name) const {
        std::vector<V3> out;
        const int m = material_index(name);
        for (const Tri& t : tris)
            if (t.material == m)
                for (int k = 0; k < 3; ++k) out.push_back(v[t.v[k]]);
        return out;
    }
    std::vector<V3> referenced() const {
        std::vector<V3> out;
        for (const Tri& t : tris)
            for (int k = 0; k < 3; ++k) out.push_back(v[t.v[k]]);
        return out;
    }
};

inline std::vector<std::string> tokens(const std::string& field) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : field) {
        if (c == ' ') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

inline bool parse_number(const std::string& s, double& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end && *end == '\0' && std::isfinite(out);
}

// Reads lines; a line holding a comma, a tab or a trailing space would be split differently by
// the game's field reader, so it is a problem of its own.
inline std::vector<std::string> read_lines(const std::string& path, std::vector<std::string>& problems, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::vector<std::string> lines;
    std::string line;
    int no = 0;
    while (std::getline(in, line)) {
        ++no;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find(',') != std::string::npos) problems.push_back(path + ":" + std::to_string(no) + " holds a comma");
        if (line.find('\t') != std::string::npos) problems.push_back(path + ":" + std::to_string(no) + " holds a tab");
        if (!line.empty() && line.back() == ' ') problems.push_back(path + ":" + std::to_string(no) + " ends in a space");
        lines.push_back(line);
    }
    return lines;
}

inline ObjFile read_obj(const std::string& path) {
    ObjFile f;
    bool ok = false;
    const std::vector<std::string> lines = read_lines(path, f.problems, ok);
    if (!ok) {
        f.problems.push_back("cannot open " + path);
        return f;
    }
    const std::string dir = path.substr(0, path.rfind('/') + 1);
    int current = -1;
    bool have_mtllib = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string where = path + ":" + std::to_string(i + 1);
        const std::vector<std::string> t = tokens(lines[i]);
        const std::string& key = t[0];
        if (key == "v" || key == "vn") {
            double x, y, z;
            if (t.size() != 4 || !parse_number(t[1], x) || !parse_number(t[2], y) || !parse_number(t[3], z)) {
                f.problems.push_back(where + ": malformed " + key);
                continue;
            }
            (key == "v" ? f.v : f.vn).push_back({x, z, -y});
        } else if (key == "vt") {
            double u, w;
            if (t.size() != 3 || !parse_number(t[1], u) || !parse_number(t[2], w)) f.problems.push_back(where + ": malformed vt");
            ++f.vt;
        } else if (key == "mtllib") {
            if (t.size() != 2) {
                f.problems.push_back(where + ": malformed mtllib");
                continue;
            }
            have_mtllib = true;
            bool mok = false;
            std::vector<std::string> mlines = read_lines(dir + t[1], f.problems, mok);
            if (!mok) f.problems.push_back(where + ": material library " + t[1] + " missing");
            for (const std::string& ml : mlines) {
                const std::vector<std::string> mt = tokens(ml);
                if (mt[0] == "newmtl" && mt.size() == 2) {
                    if (mt[1].size() > 16) f.problems.push_back(where + ": material name longer than 16: " + mt[1]);
                    f.materials.push_back({mt[1], 0, 0, 0});
                } else if (mt[0] == "Kd" && mt.size() == 4 && !f.materials.empty()) {
                    parse_number(mt[1], f.materials.back().r);
                    parse_number(mt[2], f.materials.back().g);
                    parse_number(mt[3], f.materials.back().b);
                }
            }
        } else if (key == "usemtl") {
            current = t.size() == 2 ? f.material_index(t[1]) : -1;
            if (current < 0) f.problems.push_back(where + ": usemtl names no material");
        } else if (key == "f") {
            if (t.size() != 4) {
                f.problems.push_back(where + ": face is not a plain triangle");
                continue;
            }
            if (current < 0) f.problems.push_back(where + ": face before any usemtl");
            Tri tri;
            tri.material = current;
            for (int k = 0; k < 3; ++k) {
                const std::string& c = t[1 + k];
                const size_t s1 = c.find('/');
                const size_t s2 = s1 == std::string::npos ? s1 : c.find('/', s1 + 1);
                double a = 0, b = 0, n = 0;
                if (s2 == std::string::npos || !parse_number(c.substr(0, s1), a) ||
                    !parse_number(c.substr(s1 + 1, s2 - s1 - 1), b) || !parse_number(c.substr(s2 + 1), n)) {
                    f.problems.push_back(where + ": corner is not v/vt/vn");
                    continue;
                }
                tri.v[k] = static_cast<int>(a) - 1;
                tri.n[k] = static_cast<int>(n) - 1;
                // Counts are final only at the end; vertices precede faces in our files.
                if (tri.v[k] < 0 || tri.v[k] >= static_cast<int>(f.v.size()) || b < 1 || b > f.vt || tri.n[k] < 0 ||
                    tri.n[k] >= static_cast<int>(f.vn.size())) {
                    f.problems.push_back(where + ": corner index out of range");
                    tri.v[k] = tri.n[k] = 0;
                }
            }
            f.tris.push_back(tri);
        }
    }
    if (!have_mtllib) f.problems.push_back(path + ": no mtllib line");
    if (f.v.empty() || f.vn.empty() || f.tris.empty()) f.problems.push_back(path + ": no geometry");
    return f;
}

struct Box {
    V3 lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
    void add(V3 p) {
        lo = {std::fmin(lo.x, p.x), std::fmin(lo.y, p.y), std::fmin(lo.z, p.z)};
        hi = {std::fmax(hi.x, p.x), std::fmax(hi.y, p.y), std::fmax(hi.z, p.z)};
    }
};
inline Box bounds(const std::vector<V3>& pts) {
    Box b;
    for (const V3& p : pts) b.add(p);
    return b;
}
inline V3 centroid(const std::vector<V3>& pts) {
    V3 c;
    for (const V3& p : pts) c = c + p;
    return pts.empty() ? c : c * (1.0 / static_cast<double>(pts.size()));
}

}  // namespace artwork
