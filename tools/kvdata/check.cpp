// kvdata check DIR: validates a whole game directory and prints one line per problem found
// (exit status 1 if there is any). It checks that every data file exists and parses, that the
// map has its size and boundary frame and well-formed buildings, that the enemy layout and the
// mission files agree with the map (kill ranges name infantry only, every coordinate is inside
// the playable area, landing check points stand on landable cells), that research
// prerequisites resolve, that the credits and version files are well formed, that every font
// has its 95 glyphs and that every mesh named in models.dat loads.
#include "kvdata.h"

#include "check_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int GRID = 513;
constexpr int CELLS = GRID * GRID;
constexpr long MAP_BYTES = 3158036;
constexpr int MISSIONS = 3;
constexpr int MAX_ENEMIES = 1000;
// The playable area: what the gunship's position is clamped to inside the boundary frame.
constexpr float PLAY_X0 = 29.0f, PLAY_X1 = 476.0f, PLAY_Z0 = 39.0f, PLAY_Z1 = 495.0f;

bool in_frame(int x, int z) {
    return (x >= 24 && x <= 28) || (x >= 477 && x <= 481) || (z >= 34 && z <= 38) || (z >= 496 && z <= 500);
}
int building_size(int cls) {
    static const int sizes[7] = {0, 4, 8, 12, 16, 4, 16};
    return cls >= 1 && cls <= 6 ? sizes[cls] : 0;
}

// The report: at most PER_FILE lines for one file, then one line saying how many more there are,
// so a damaged file cannot bury the rest of the report.
struct Problems {
    static constexpr int PER_FILE = 25;
    std::vector<std::string> lines;
    std::map<std::string, int> per_file;
    void add(const std::string& file, const std::string& what) {
        if (++per_file[file] <= PER_FILE) lines.push_back(file + ": " + what);
    }
    void finish() {
        for (const auto& [file, n] : per_file)
            if (n > PER_FILE) lines.push_back(file + ": " + std::to_string(n - PER_FILE) + " more problems not shown");
    }
};

std::string fmt(const char* f, double a = 0, double b = 0, double c = 0) {
    char buf[256];
    std::snprintf(buf, sizeof buf, f, a, b, c);
    return buf;
}

bool read_file(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

// Fields as the game reads them: blanks skipped, a field ends at a comma or a line end, double
// quotes protect commas. `lines` keeps, for each field, the line it started on.
struct Field { std::string text; int line; bool after_comma; };
std::vector<Field> read_fields(const std::string& bytes) {
    std::vector<Field> out;
    size_t i = 0;
    int line = 1;
    bool after_comma = false;
    while (i < bytes.size()) {
        while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t')) ++i;
        Field f{"", line, after_comma};
        if (i < bytes.size() && bytes[i] == '"') {
            ++i;
            while (i < bytes.size() && bytes[i] != '"') {
                if (bytes[i] == '\n') ++line;
                f.text.push_back(bytes[i++]);
            }
            if (i < bytes.size()) ++i;
        }
        while (i < bytes.size() && bytes[i] != ',' && bytes[i] != '\r' && bytes[i] != '\n') f.text.push_back(bytes[i++]);
        after_comma = false;
        if (i < bytes.size()) {
            if (bytes[i] == ',') {
                after_comma = true;
                ++i;
            } else if (bytes[i] == '\r') {
                ++i;
                if (i < bytes.size() && bytes[i] == '\n') ++i;
                ++line;
            } else {
                ++i;
                ++line;
            }
        }
        out.push_back(f);
    }
    return out;
}

// A number as our data should hold it: optional blanks and sign, digits, optional fraction and
// exponent, nothing else. `ok` is false for anything the game would read as 0 or cut short.
double number(const std::string& s, bool& ok) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    const size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits > 0 && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
            i = j;
        }
    }
    size_t end = i;
    while (end < s.size() && (s[end] == ' ' || s[end] == '\t')) ++end;
    ok = digits > 0 && end == s.size();
    if (digits == 0) return 0.0;
    const double v = std::strtod(s.substr(start, i - start).c_str(), nullptr);
    if (!std::isfinite(v)) ok = false;
    return std::isfinite(v) ? v : 0.0;
}

// A number from a file as a whole number, rounded and held inside the int range (a plain cast
// of a huge value would be undefined).
int whole(double v) {
    if (!(v > -2.0e9)) return -2000000000;
    if (v > 2.0e9) return 2000000000;
    return static_cast<int>(std::lround(v));
}

std::vector<std::string> explode(const std::string& text, const std::string& delim) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(delim, from);
        if (at == std::string::npos) {
            parts.push_back(text.substr(from));
            return parts;
        }
        parts.push_back(text.substr(from, at - from));
        from = at + delim.size();
    }
}

// ---------------------------------------------------------------- map

struct MapData {
    bool loaded = false;
    std::vector<int32_t> height, city;
    std::vector<uint8_t> reach;  // 1 where the gunship's centre can get from the new-profile start
    int32_t water = 0;
    int32_t at(const std::vector<int32_t>& g, int x, int z) const { return g[z * GRID + x]; }
    float surface() const { return (static_cast<float>(water) + 10.0f) * 0.25f; }
    // The game's ground height query.
    float ground_y(float x, float z) const {
        const int i = std::clamp(static_cast<int>(std::floor(x)), 0, GRID - 1);
        const int j = std::clamp(static_cast<int>(std::floor(z)), 0, GRID - 1);
        const float h = static_cast<float>(at(height, i, j)) * 0.25f;
        return std::max(h, surface());
    }
    bool solid(int x, int z) const {
        if (x < 0 || z < 0 || x >= GRID || z >= GRID) return true;
        const int32_t c = at(city, x, z);
        return c == -1 || c > 2;
    }
    bool dry(int x, int z) const { return at(height, x, z) * 0.25f >= surface() || at(city, x, z) == 1; }
};

void check_map(const std::string& dir, MapData& map, Problems& p) {
    const std::string name = "0.map";
    std::string bytes;
    if (!read_file(dir + "/" + name, bytes)) {
        p.add(name, "missing");
        return;
    }
    if (static_cast<long>(bytes.size()) != MAP_BYTES) {
        p.add(name, "is " + std::to_string(bytes.size()) + " bytes, expected " + std::to_string(MAP_BYTES));
        return;
    }
    auto word = [&](size_t off) {
        uint32_t u = 0;
        for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[off + k])) << (8 * k);
        return static_cast<int32_t>(u);
    };
    map.height.assign(CELLS, 0);
    map.city.assign(CELLS, 0);
    for (int x = 0; x < GRID; ++x)
        for (int z = 0; z < GRID; ++z) {
            const size_t off = (static_cast<size_t>(x) * GRID + z) * 12;
            map.height[z * GRID + x] = word(off);
            map.city[z * GRID + x] = word(off + 8);
        }
    map.water = word(3158028);
    map.loaded = true;
    if (map.water < -4000 || map.water > 4000) p.add(name, "water level " + std::to_string(map.water) + " is out of range");

    int bad_codes = 0, open_frame = 0, bad_height = 0;
    for (int z = 0; z < GRID; ++z)
        for (int x = 0; x < GRID; ++x) {
            const int32_t c = map.at(map.city, x, z), h = map.at(map.height, x, z);
            if (c < -1 || c > 9) {
                if (++bad_codes <= 5) p.add(name, fmt("cell (%g, %g) has unknown city code %g", x, z, c));
            }
            if (in_frame(x, z) && c != 3) {
                if (++open_frame <= 5) p.add(name, fmt("boundary frame cell (%g, %g) holds code %g instead of 3", x, z, c));
            }
            if (h < -4000 || h > 4000) {
                if (++bad_height <= 5) p.add(name, fmt("cell (%g, %g) height %g is out of range", x, z, h));
            }
        }
    if (bad_codes > 5) p.add(name, std::to_string(bad_codes - 5) + " more cells with unknown city codes");
    if (open_frame > 5) p.add(name, std::to_string(open_frame - 5) + " more open boundary frame cells");

    // Buildings: every anchor owns an s x s footprint of -1 cells, on land above height 0,
    // inside the playable area; footprints never overlap; no -1 cell is left without an owner.
    std::vector<int> owner(CELLS, -1);
    int problems = 0;
    auto report = [&](const std::string& s) {
        if (++problems <= 20) p.add(name, s);
    };
    for (int z = 0; z < GRID; ++z)
        for (int x = 0; x < GRID; ++x) {
            const int32_t c = map.at(map.city, x, z);
            if (c < 4 || c > 9) continue;
            const int cls = c - 3, s = building_size(cls);
            if (x < PLAY_X0 || z < PLAY_Z0 || x + s - 1 > PLAY_X1 || z + s - 1 > PLAY_Z1) {
                report(fmt("building of class %g at (%g, %g) reaches outside the playable area", cls, x, z));
                continue;
            }
            // One line per building and kind of fault, naming the first cell that shows it.
            std::string overlap, code, low;
            for (int a = 0; a < s; ++a)
                for (int b = 0; b < s; ++b) {
                    const int fx = x + a, fz = z + b, i = fz * GRID + fx;
                    const std::string cell = fmt("(%g, %g)", fx, fz);
                    if (owner[i] >= 0) {
                        if (overlap.empty()) overlap = "overlaps another at cell " + cell;
                        continue;
                    }
                    owner[i] = z * GRID + x;
                    if ((a || b) && map.city[i] != -1 && code.empty())
                        code = "footprint cell " + cell + " holds code " + std::to_string(map.city[i]) + " instead of -1";
                    if (map.height[i] <= 0 && low.empty())
                        low = "footprint cell " + cell + " is at height " + std::to_string(map.height[i]) + ", not on land above 0";
                }
            const std::string at = fmt("building at (%g, %g) ", x, z);
            for (const std::string* w : {&overlap, &code, &low})
                if (!w->empty()) report(at + *w);
        }
    for (int i = 0; i < CELLS; ++i)
        if (map.city[i] == -1 && owner[i] < 0) report(fmt("cell (%g, %g) is covered (-1) but belongs to no building", i % GRID, i / GRID));
    if (problems > 20) p.add(name, std::to_string(problems - 20) + " more building problems");
}

// Cells round a point the gunship's probe circle can touch while it is inside a check point.
bool area_free(const MapData& map, float x, float z, int reach, bool need_dry) {
    const int cx = static_cast<int>(std::floor(x)), cz = static_cast<int>(std::floor(z));
    for (int dz = -reach; dz <= reach; ++dz)
        for (int dx = -reach; dx <= reach; ++dx) {
            const int gx = cx + dx, gz = cz + dz;
            if (map.solid(gx, gz)) return false;
            if (need_dry && !map.dry(gx, gz)) return false;
        }
    return true;
}

// Flood fill of the cells the gunship's centre can reach from the new-profile start: its probe
// circle of radius 1 must stay off solid cells, so a centre cell needs its 3 x 3 block free,
// and the frame clamps keep it inside the playable area.
void fill_reach(MapData& map, int sx, int sz) {
    map.reach.assign(CELLS, 0);
    auto open = [&](int x, int z) {
        if (x < PLAY_X0 || z < PLAY_Z0 || x > PLAY_X1 || z > PLAY_Z1) return false;
        for (int dz = -1; dz <= 1; ++dz)
            for (int dx = -1; dx <= 1; ++dx)
                if (map.solid(x + dx, z + dz)) return false;
        return true;
    };
    if (!open(sx, sz)) return;
    std::vector<int> todo = {sz * GRID + sx};
    map.reach[todo[0]] = 1;
    while (!todo.empty()) {
        const int i = todo.back();
        todo.pop_back();
        const int x = i % GRID, z = i / GRID;
        const int step[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& st : step) {
            const int nx = x + st[0], nz = z + st[1];
            if (nx < 0 || nz < 0 || nx >= GRID || nz >= GRID || map.reach[nz * GRID + nx] || !open(nx, nz)) continue;
            map.reach[nz * GRID + nx] = 1;
            todo.push_back(nz * GRID + nx);
        }
    }
}

// True when the gunship can bring its centre within `within` cells of (x, z).
bool reachable(const MapData& map, float x, float z, int within) {
    if (map.reach.empty()) return true;
    const int cx = static_cast<int>(std::floor(x)), cz = static_cast<int>(std::floor(z));
    for (int dz = -within; dz <= within; ++dz)
        for (int dx = -within; dx <= within; ++dx) {
            const int gx = cx + dx, gz = cz + dz;
            if (gx >= 0 && gz >= 0 && gx < GRID && gz < GRID && map.reach[gz * GRID + gx]) return true;
        }
    return false;
}

bool playable(float x, float z) { return x >= PLAY_X0 && x <= PLAY_X1 && z >= PLAY_Z0 && z <= PLAY_Z1; }

// ---------------------------------------------------------------- lookup table

void check_lookup(const std::string& dir, Problems& p) {
    const std::string name = "data/KVGroundCirclePolyLookup.dat";
    std::string bytes;
    if (!read_file(dir + "/" + name, bytes)) {
        p.add(name, "missing");
        return;
    }
    const std::vector<Field> f = read_fields(bytes);
    // The triangles round corner c of a cell of parity p, from the ground triangulation.
    static const int corner_xz[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    static const int tris[2][2][3] = {{{3, 0, 2}, {1, 2, 0}}, {{0, 1, 3}, {2, 3, 1}}};
    size_t k = 0;
    for (int rec = 0; rec < 8; ++rec) {
        const int par = rec / 4, c = rec % 4;
        std::set<std::pair<int, int>> want;
        const int vx = corner_xz[c][0], vz = corner_xz[c][1];
        for (int cz = vz - 1; cz <= vz; ++cz)
            for (int cx = vx - 1; cx <= vx; ++cx) {
                const int off = cz * GRID + cx, q = ((par + off) % 2 + 2) % 2;
                for (int t = 0; t < 2; ++t)
                    for (int v = 0; v < 3; ++v)
                        if (corner_xz[tris[q][t][v]][0] == vx - cx && corner_xz[tris[q][t][v]][1] == vz - cz) want.insert({off, t});
            }
        if (k + 17 > f.size()) {
            p.add(name, "record " + std::to_string(rec) + " is missing or short");
            return;
        }
        std::set<std::pair<int, int>> got;
        bool ok = true;
        for (int j = 0; j < 8; ++j) {
            bool a = false, b = false;
            const int off = whole(number(f[k + 2 * j].text, a));
            const int t = whole(number(f[k + 2 * j + 1].text, b));
            ok = ok && a && b;
            if (j < static_cast<int>(want.size())) got.insert({off, t});
        }
        k += 17;
        if (!ok) p.add(name, "record " + std::to_string(rec) + " holds a field that is not a number");
        else if (got != want) p.add(name, "record " + std::to_string(rec) + " does not list the triangles round its corner");
    }
}

// ---------------------------------------------------------------- enemies

struct Enemy { float x, z; int cls; int active; };

void check_enemies(const std::string& dir, const MapData& map, std::vector<Enemy>& enemies, Problems& p) {
    const std::string name = "data/enemies0.dat";
    std::string bytes;
    if (!read_file(dir + "/" + name, bytes)) {
        p.add(name, "missing");
        return;
    }
    const std::vector<Field> f = read_fields(bytes);
    bool ok = false;
    if (f.size() < 2) {
        p.add(name, "has no header");
        return;
    }
    const double max_slot = number(f[0].text, ok);
    if (!ok || max_slot < 0 || max_slot >= MAX_ENEMIES || max_slot != std::floor(max_slot)) {
        p.add(name, "highest slot '" + f[0].text + "' is not a whole number in 0-999");
        return;
    }
    const int slots = static_cast<int>(max_slot) + 1;
    if (f.size() < 2 + static_cast<size_t>(slots) * 9) {
        p.add(name, "is short: " + std::to_string(slots) + " slots need " + std::to_string(2 + slots * 9) + " fields, found " +
                        std::to_string(f.size()));
        return;
    }
    int reported = 0;
    auto report = [&](const std::string& s) {
        if (++reported <= 20) p.add(name, s);
    };
    for (int s = 0; s < slots; ++s) {
        double v[9];
        bool all = true;
        for (int k = 0; k < 9; ++k) {
            bool one = false;
            v[k] = number(f[2 + s * 9 + k].text, one);
            all = all && one;
        }
        Enemy e{static_cast<float>(v[0]), static_cast<float>(v[2]), whole(v[8]), whole(v[3])};
        enemies.push_back(e);
        const std::string slot = "slot " + std::to_string(s);
        if (!all) {
            report(slot + " holds a field that is not a number");
            continue;
        }
        if (v[8] != 0 && v[8] != 1 && v[8] != 2 && v[8] != 3) report(slot + " has unknown class " + f[2 + s * 9 + 8].text);
        if (v[3] != 0 && v[3] != 1) report(slot + " has active flag " + f[2 + s * 9 + 3].text + " (0 or 1 expected)");
        if (!playable(e.x, e.z)) {
            report(slot + fmt(" at (%g, %g) lies outside the playable area", e.x, e.z));
            continue;
        }
        if (map.loaded) {
            const int cx = static_cast<int>(std::floor(e.x)), cz = static_cast<int>(std::floor(e.z));
            if (e.cls == 1) {
                // A drawn wall the gunship could fly through.
                if (!map.solid(cx, cz)) report(slot + fmt(" is a wall at (%g, %g) on a cell the gunship can pass", e.x, e.z));
            } else if (map.solid(cx, cz)) {
                report(slot + fmt(" at (%g, %g) stands inside a building or wall", e.x, e.z));
            } else if (!map.dry(cx, cz)) {
                report(slot + fmt(" at (%g, %g) stands in the sea", e.x, e.z));
            }
        }
    }
    if (reported > 20) p.add(name, std::to_string(reported - 20) + " more enemy problems");
}

// ---------------------------------------------------------------- missions

// A pilot's pace for the route estimate: half the gunship's top speed of about 27 units a second
// (turns, climbs and detours round buildings), ten seconds of shooting per infantry enemy, twenty
// seconds per crate; personnel walk 0.1 units a frame at 62.5 frames a second and leave the
// gunship 0.6 s apart. (A full tank lasts about 485 s; every mission declares a refuelling pad.)
constexpr double PACE = 13.5, SECONDS_PER_ENEMY = 10, SECONDS_PER_CRATE = 20, WALK = 6.25;
constexpr float START_X = 360.0f, START_Z = 287.0f;  // where a new profile's gunship stands
constexpr size_t BRIEFING_LINE = 64;  // characters of bitmap text that fit the menu window

// `from` is where the gunship starts the mission (the new-profile start, or where the previous
// mission ended); it is moved to where this mission ends.
void check_mission(const std::string& dir, int m, const MapData& map, const std::vector<Enemy>& enemies, float from[2],
                   Problems& p) {
    const std::string name = "data/missions/" + std::to_string(m) + ".dat";
    std::string bytes;
    if (!read_file(dir + "/" + name, bytes)) {
        p.add(name, "missing");
        return;
    }
    struct Objective {
        bool seen = false;
        int goal = 0;
        bool has_name = false, range_start = false, range_end = false, zone_x = false, zone_z = false;
        int start = 0, end = -1;
        float zx = 0, zz = 0;
        bool zip_x = false, zip_z = false;
        float sx = 0, sz = 0, dx = 0, dz = 0;
        int zip_n = 0;
        double wait = 0;
    } obj[6];
    struct Drop { bool objective = false; bool box = false; bool target = false; float x = 0, z = 0; bool pickup = false; };
    struct Check { bool objective = false; int cls = -1; int box = -1; bool xz = false; float x = 0, z = 0; };
    std::vector<Drop> drops;
    std::vector<Check> checks;
    bool has_name = false, has_time = false;
    int last = -1, highest = -1;
    auto where = [&](const Field& f) { return "line " + std::to_string(f.line) + ": "; };
    auto num = [&](const Field& f, const std::vector<std::string>& parts, size_t k, double& out) {
        bool ok = false;
        if (parts.size() <= k) {
            p.add(name, where(f) + "'" + f.text + "' lacks a value");
            return false;
        }
        out = number(parts[k], ok);
        if (!ok) p.add(name, where(f) + "'" + parts[k] + "' is not a number");
        return ok;
    };
    const std::vector<Field> fields = read_fields(bytes);
    for (const Field& f : fields) {
        if (f.after_comma) {
            p.add(name, where(f) + "a comma cuts the entry short; the game drops '" + f.text + "'");
            continue;
        }
        const std::vector<std::string> parts = explode(f.text, "//");
        const std::string& key = parts[0];
        double v = 0;
        if (key == "NAME" || key == "LOCATION" || key == "DESCRIPTION" || key == "THREAT_ACCESS" || key == "SIEGE_ACCESS" ||
            key == "RESISTANCE") {
            if (parts.size() < 2 || parts[1].empty()) p.add(name, where(f) + key + " has no text");
            if (parts.size() > 2) p.add(name, where(f) + key + " text holds '//', which cuts it short");
            if (key == "NAME") has_name = true;
            if (parts.size() > 1 && key != "NAME")
                for (const std::string& seg : explode(parts[1], "\\n"))
                    if (seg.size() > BRIEFING_LINE)
                        p.add(name, where(f) + key + " has a line of " + std::to_string(seg.size()) +
                                        " characters, wider than the briefing window");
        } else if (key == "TIME_LIMIT") {
            if (num(f, parts, 1, v)) {
                has_time = true;
                if (v < 60) p.add(name, where(f) + "time limit " + parts[1] + " s is shorter than a minute");
            }
        } else if (key == "OBJECTIVE") {
            double n = -1;
            if (!num(f, parts, 1, n)) continue;
            if (n < 0 || n > 5 || n != std::floor(n)) {
                p.add(name, where(f) + "objective number " + parts[1] + " is outside 0-5");
                continue;
            }
            const int o = static_cast<int>(n);
            last = o;
            highest = std::max(highest, o);
            Objective& ob = obj[o];
            ob.seen = true;
            const std::string field = parts.size() > 2 ? parts[2] : "";
            if (field == "NAME") {
                ob.has_name = parts.size() > 3 && !parts[3].empty();
            } else if (field == "GOAL") {
                static const std::map<std::string, int> goals = {{"GT_KILL_RANGE", 0},
                                                                 {"GT_LAND_GUNSHIP", 1},
                                                                 {"GT_ZIPLINE_DOWN", 3},
                                                                 {"GT_ZIPLINE_DOWN_AND_UP", 4},
                                                                 {"GT_ZIPLINE_UP", 5}};
                auto it = parts.size() > 3 ? goals.find(parts[3]) : goals.end();
                if (it == goals.end()) p.add(name, where(f) + "unknown goal '" + (parts.size() > 3 ? parts[3] : "") + "'");
                else ob.goal = it->second;
            } else if (field == "KILL_RANGE_START") {
                if (num(f, parts, 3, v)) ob.start = whole(v), ob.range_start = true;
            } else if (field == "KILL_RANGE_END") {
                if (num(f, parts, 3, v)) ob.end = whole(v), ob.range_end = true;
            } else if (field == "KILL_ZONE_X") {
                if (num(f, parts, 3, v)) ob.zx = static_cast<float>(v), ob.zone_x = true;
            } else if (field == "KILL_ZONE_Z") {
                if (num(f, parts, 3, v)) ob.zz = static_cast<float>(v), ob.zone_z = true;
            } else if (field == "LAND_GUNSHIP_X" || field == "LAND_GUNSHIP_Z" || field == "ZIPLINE_WAIT") {
                if (num(f, parts, 3, v) && v < 0) p.add(name, where(f) + field + " is negative");
                if (field == "ZIPLINE_WAIT") ob.wait = v;
            } else if (field == "ZIPLINE_X" || field == "ZIPLINE_Z") {
                double a = 0, b = 0;
                if (num(f, parts, 3, a) && num(f, parts, 4, b)) {
                    if (field == "ZIPLINE_X") ob.sx = static_cast<float>(a), ob.dx = static_cast<float>(b), ob.zip_x = true;
                    else ob.sz = static_cast<float>(a), ob.dz = static_cast<float>(b), ob.zip_z = true;
                }
            } else if (field == "ZIPLINE_N") {
                if (num(f, parts, 3, v)) {
                    ob.zip_n = whole(v);
                    if (ob.zip_n < 1 || ob.zip_n > 21) p.add(name, where(f) + "zipline team of " + parts[3] + " is outside 1-21");
                }
            } else if (field == "SUBTRACT") {
                static const std::set<std::string> kinds = {"USWSF", "ENG", "HACKERS", "SPIES", "FCPKIT"};
                if (parts.size() < 4 || !kinds.count(parts[3])) p.add(name, where(f) + "unknown personnel kind to subtract");
                else if (num(f, parts, 4, v) && v < 0) p.add(name, where(f) + "negative personnel count");
            } else {
                p.add(name, where(f) + "unknown objective field '" + field + "'");
            }
        } else if (key == "AIR_DROP" || key == "CHECKPOINT") {
            const bool drop = key == "AIR_DROP";
            const size_t count = drop ? drops.size() : checks.size();
            if (parts.size() > 1 && parts[1] == "NEW") {
                if (num(f, parts, 2, v)) {
                    if (v < 0 || v > 100) p.add(name, where(f) + "declares " + parts[2] + " records");
                    else if (drop) drops.resize(count + static_cast<size_t>(v));
                    else checks.resize(count + static_cast<size_t>(v));
                }
                continue;
            }
            double idx = -1;
            if (!num(f, parts, 1, idx)) continue;
            if (idx < 0 || idx >= static_cast<double>(count) || idx != std::floor(idx)) {
                p.add(name, where(f) + key + " " + parts[1] + " was not declared by a NEW entry before it");
                continue;
            }
            const size_t i = static_cast<size_t>(idx);
            const std::string field = parts.size() > 2 ? parts[2] : "";
            if (drop) {
                Drop& d = drops[i];
                if (field == "OBJECTIVE") {
                    if (d.pickup) p.add(name, where(f) + "air drop " + parts[1] + ": its PICKUP entry stands before OBJECTIVE and is lost");
                    d.objective = num(f, parts, 3, v);
                } else if (field == "CLASS") {
                    if (parts.size() < 4 || (parts[3] != "CCG" && parts[3] != "BOX" && parts[3] != "CCG_E"))
                        p.add(name, where(f) + "unknown air drop class");
                    d.box = parts.size() > 3 && parts[3] == "BOX";
                } else if (field == "PAYLOAD") {
                    if (parts.size() < 4 || (parts[3] != "FUEL" && parts[3] != "RPG" && parts[3] != "VT90UP" && parts[3] != "ARMOUR"))
                        p.add(name, where(f) + "unknown payload");
                } else if (field == "TARGETXZ") {
                    double a = 0, b = 0;
                    if (num(f, parts, 3, a) && num(f, parts, 4, b)) d.x = static_cast<float>(a), d.z = static_cast<float>(b), d.target = true;
                } else if (field == "PICKUP") {
                    if (parts.size() < 4 || (parts[3] != "YES" && parts[3] != "NO")) p.add(name, where(f) + "PICKUP is neither YES nor NO");
                    d.pickup = true;
                } else if (field == "CHUTE_SIZE") {
                    if (parts.size() < 4 || (parts[3] != "SMALL" && parts[3] != "MEDIUM" && parts[3] != "BIG"))
                        p.add(name, where(f) + "unknown parachute size");
                } else {
                    p.add(name, where(f) + "unknown air drop field '" + field + "'");
                }
            } else {
                Check& c = checks[i];
                if (field == "OBJECTIVE") {
                    c.objective = num(f, parts, 3, v);
                } else if (field == "CLASS") {
                    const std::string cls = parts.size() > 3 ? parts[3] : "";
                    if (cls == "BOX") {
                        c.cls = 0;
                        if (num(f, parts, 4, v)) {
                            if (v < 0 || v >= static_cast<double>(drops.size()) || v != std::floor(v))
                                p.add(name, where(f) + "check point names air drop " + parts[4] + ", which is not declared");
                            else c.box = static_cast<int>(v);
                        }
                    } else if (cls == "FUEL") {
                        c.cls = 1;
                    } else if (cls == "TECH") {
                        c.cls = 2;
                    } else {
                        p.add(name, where(f) + "unknown check point class '" + cls + "'");
                    }
                } else if (field == "XZ") {
                    double a = 0, b = 0;
                    if (num(f, parts, 3, a) && num(f, parts, 4, b)) c.x = static_cast<float>(a), c.z = static_cast<float>(b), c.xz = true;
                } else {
                    p.add(name, where(f) + "unknown check point field '" + field + "'");
                }
            }
        }
    }
    if (!has_name) p.add(name, "has no NAME");
    if (!has_time) p.add(name, "has no TIME_LIMIT");
    if (last < 0) {
        p.add(name, "has no objectives");
        return;
    }
    if (last < highest) p.add(name, "its last objective entry names objective " + std::to_string(last) + ", so objectives up to " +
                                        std::to_string(highest) + " are never reached");
    for (int o = 0; o <= last; ++o) {
        const Objective& ob = obj[o];
        const std::string on = "objective " + std::to_string(o);
        if (!ob.seen) {
            p.add(name, on + " is missing");
            continue;
        }
        if (!ob.has_name) p.add(name, on + " has no NAME");
        if (ob.goal == 0) {
            if (!ob.range_start || !ob.range_end) p.add(name, on + " is a kill objective without a kill range");
            else if (ob.start > ob.end) p.add(name, on + " has an empty kill range and completes at once");
            else if (ob.start < 0 || ob.end >= static_cast<int>(enemies.size()))
                p.add(name, on + " kill range " + std::to_string(ob.start) + "-" + std::to_string(ob.end) + " leaves the enemy table (" +
                                std::to_string(enemies.size()) + " slots)");
            else {
                for (int s = ob.start; s <= ob.end; ++s)
                    if (enemies[s].cls != 2 && enemies[s].cls != 3)
                        p.add(name, on + " kill range names slot " + std::to_string(s) + " of class " + std::to_string(enemies[s].cls) +
                                        ", which cannot be destroyed");
                if (ob.zone_x && ob.zone_z)
                    for (int s = ob.start; s <= ob.end; ++s) {
                        const double d = std::hypot(enemies[s].x - ob.zx, enemies[s].z - ob.zz);
                        if (d > 60) {
                            p.add(name, on + fmt(" marker is %g units from its enemy in slot %g", std::round(d), s));
                            break;
                        }
                    }
            }
            if (!ob.zone_x || !ob.zone_z) p.add(name, on + " has no kill zone for its marker");
            else if (playable(ob.zx, ob.zz) && !reachable(map, ob.zx, ob.zz, 12))
                p.add(name, on + fmt(" marker (%g, %g) is walled off from the gunship", ob.zx, ob.zz));
        }
        if (ob.zone_x && ob.zone_z && !playable(ob.zx, ob.zz))
            p.add(name, on + fmt(" kill zone (%g, %g) lies outside the playable area", ob.zx, ob.zz));
        if (ob.goal == 3 || ob.goal == 4) {
            if (!ob.zip_x || !ob.zip_z) p.add(name, on + " is a zipline objective without ZIPLINE_X and ZIPLINE_Z");
            else {
                if (!playable(ob.sx, ob.sz) || !playable(ob.dx, ob.dz))
                    p.add(name, on + " zipline point lies outside the playable area");
                else if (map.loaded) {
                    if (!area_free(map, ob.sx, ob.sz, 3, false))
                        p.add(name, on + fmt(" zipline hover point (%g, %g) is too close to a wall or building", ob.sx, ob.sz));
                    else if (!reachable(map, ob.sx, ob.sz, 1))
                        p.add(name, on + fmt(" zipline hover point (%g, %g) is walled off from the gunship", ob.sx, ob.sz));
                    const int gx = static_cast<int>(std::floor(ob.dx)), gz = static_cast<int>(std::floor(ob.dz));
                    if (map.solid(gx, gz) || !map.dry(gx, gz))
                        p.add(name, on + fmt(" zipline destination (%g, %g) is not open dry ground", ob.dx, ob.dz));
                }
            }
            if (ob.zip_n < 1) p.add(name, on + " lowers nobody (ZIPLINE_N missing)");
            if (ob.goal == 4 && (!ob.zone_x || !ob.zone_z)) p.add(name, on + " has no kill zone for its demolition blast");
        }
    }
    for (size_t i = 0; i < drops.size(); ++i) {
        const Drop& d = drops[i];
        const std::string dn = "air drop " + std::to_string(i);
        if (!d.objective) p.add(name, dn + " has no OBJECTIVE entry");
        if (!d.target) {
            p.add(name, dn + " has no TARGETXZ");
            continue;
        }
        if (!playable(d.x, d.z)) p.add(name, dn + fmt(" target (%g, %g) lies outside the playable area", d.x, d.z));
        else if (map.loaded && d.box && !area_free(map, d.x, d.z, 2, true))
            p.add(name, dn + fmt(" target (%g, %g) is not open dry ground the gunship can hover over", d.x, d.z));
        else if (map.loaded && d.box && !reachable(map, d.x, d.z, 0))
            p.add(name, dn + fmt(" target (%g, %g) is walled off from the gunship", d.x, d.z));
    }
    bool has_fuel = false;
    for (size_t i = 0; i < checks.size(); ++i) {
        const Check& c = checks[i];
        const std::string cn = "check point " + std::to_string(i);
        if (!c.objective) p.add(name, cn + " has no OBJECTIVE entry");
        if (c.cls < 0) p.add(name, cn + " has no CLASS");
        if (!c.xz) {
            p.add(name, cn + " has no XZ");
            continue;
        }
        if (c.cls == 1) has_fuel = true;
        if (!playable(c.x, c.z)) {
            p.add(name, cn + fmt(" at (%g, %g) lies outside the playable area", c.x, c.z));
            continue;
        }
        if (map.loaded && (c.cls == 1 || c.cls == 2) && !area_free(map, c.x, c.z, 3, true))
            p.add(name, cn + fmt(" at (%g, %g) is for landing but its cells are not open dry ground", c.x, c.z));
        else if (map.loaded && (c.cls == 1 || c.cls == 2) && !reachable(map, c.x, c.z, 1))
            p.add(name, cn + fmt(" at (%g, %g) is walled off from the gunship", c.x, c.z));
        if (c.cls == 0 && c.box >= 0 && drops[c.box].target &&
            (std::fabs(drops[c.box].x - c.x) > 1 || std::fabs(drops[c.box].z - c.z) > 1))
            p.add(name, cn + " does not stand on the crate it marks");
    }
    if (!has_fuel) p.add(name, "declares no refuelling check point");

    // Route estimate: from the start through every objective's marker in order.
    double seconds = 0, limit = 0;
    float x = from[0], z = from[1];
    auto fly = [&](float tx, float tz) {
        seconds += std::hypot(tx - x, tz - z) / PACE;
        x = tx, z = tz;
    };
    for (int o = 0; o <= last; ++o) {
        const Objective& ob = obj[o];
        if (ob.goal == 0 && ob.zone_x && ob.zone_z) {
            fly(ob.zx, ob.zz);
            if (ob.start <= ob.end) seconds += SECONDS_PER_ENEMY * (static_cast<double>(ob.end) - ob.start + 1);
        } else if ((ob.goal == 3 || ob.goal == 4) && ob.zip_x && ob.zip_z) {
            fly(ob.sx, ob.sz);
            const double rope = 0.6 * ob.zip_n + 2.5, walk = std::hypot(ob.dx - ob.sx, ob.dz - ob.sz) / WALK;
            seconds += rope + walk;
            if (ob.goal == 4) seconds += ob.wait + walk + rope;
        }
    }
    for (const Drop& d : drops)
        if (d.box) seconds += SECONDS_PER_CRATE;
    for (const Field& f : fields) {
        const std::vector<std::string> parts = explode(f.text, "//");
        bool ok = false;
        if (parts[0] == "TIME_LIMIT" && parts.size() > 1) limit = number(parts[1], ok);
    }
    if (limit > 0 && seconds > 0.75 * limit)
        p.add(name, fmt("the route needs about %g s at a pilot's pace, too close to the time limit of %g s", std::round(seconds), limit));
    if (playable(x, z)) {
        from[0] = x;
        from[1] = z;
    }
}

// ---------------------------------------------------------------- research

void check_research(const std::string& dir, Problems& p) {
    const std::string name = "data/research.dat";
    std::string bytes;
    if (!read_file(dir + "/" + name, bytes)) {
        p.add(name, "missing");
        return;
    }
    static const char* ids[7] = {"RSCH_TAILPOD", "RSCH_TAILPOD2", "RSCH_TAILPOD3", "RSCH_TAILPOD4",
                                 "RSCH_TAILPOD5", "RSCH_TAILPOD6", "RSCH_TAILPOD7"};
    auto index_of = [&](const std::string& id) {
        for (int i = 0; i < 7; ++i)
            if (id == ids[i]) return i;
        return -1;
    };
    int prereq[7];
    bool defined[7] = {};
    for (int& v : prereq) v = -1;
    for (const Field& f : read_fields(bytes)) {
        if (f.text.empty()) continue;
        const std::string where = "line " + std::to_string(f.line) + ": ";
        if (f.after_comma) {
            p.add(name, where + "a comma splits the line; the game reads '" + f.text + "' as a line of its own");
            continue;
        }
        const std::vector<std::string> t = explode(f.text, "//");
        if (t.size() < 7) {
            p.add(name, where + "has " + std::to_string(t.size()) + " of the 7 parts");
            continue;
        }
        const int i = index_of(t[0]);
        if (i < 0) {
            p.add(name, where + "unknown identifier '" + t[0] + "' (the game files it as technology 0)");
            continue;
        }
        if (defined[i]) p.add(name, where + t[0] + " is defined twice");
        defined[i] = true;
        bool ok = false;
        const double time = number(t[3], ok);
        if (!ok || time < 1) p.add(name, where + t[0] + " research time '" + t[3] + "' is not a number of missions of at least 1");
        if (t[4] != "MANDATORY" && t[4] != "NOT_MANDATORY") p.add(name, where + t[0] + " is neither MANDATORY nor NOT_MANDATORY");
        if (t[5].empty()) p.add(name, where + t[0] + " has no title");
        for (const std::string& seg : explode(t[6], "\\n"))
            if (seg.size() > BRIEFING_LINE) p.add(name, where + t[0] + " description has a line wider than the research window");
        if (t[1] == "MISSION") {
            const double m = number(t[2], ok);
            if (!ok || m < 0 || m >= MISSIONS || m != std::floor(m))
                p.add(name, where + t[0] + " waits for mission '" + t[2] + "', which is not one of 0-" + std::to_string(MISSIONS - 1));
        } else if (t[1] == "TECHNOLOGY") {
            const int q = index_of(t[2]);
            if (q < 0) p.add(name, where + t[0] + " requires unknown technology '" + t[2] + "'");
            else if (q == i) p.add(name, where + t[0] + " requires itself");
            else prereq[i] = q;
        } else {
            p.add(name, where + t[0] + " prerequisite kind '" + t[1] + "' is neither MISSION nor TECHNOLOGY");
        }
    }
    for (int i = 0; i < 7; ++i) {
        if (prereq[i] >= 0 && !defined[prereq[i]])
            p.add(name, std::string(ids[i]) + " requires " + ids[prereq[i]] + ", which the file does not define");
        // Follow the chain; a loop means none of its members can ever be offered.
        int at = i, steps = 0;
        while (at >= 0 && steps <= 7) at = prereq[at], ++steps;
        if (steps > 7) p.add(name, std::string(ids[i]) + " sits in a loop of technology prerequisites");
    }
    if (!defined[0]) p.add(name, "does not define RSCH_TAILPOD, the technology every new profile starts with");
}

// ---------------------------------------------------------------- small text files

void check_credits_and_version(const std::string& dir, Problems& p) {
    std::string bytes;
    if (!read_file(dir + "/credits.txt", bytes)) p.add("credits.txt", "missing");
    else {
        const std::vector<Field> lines = read_fields(bytes);
        const size_t n = lines.size();
        if (n == 0) p.add("credits.txt", "is empty");
        for (const Field& f : lines)
            if (f.after_comma) p.add("credits.txt", "line " + std::to_string(f.line) + ": a comma splits the line in two on the credits screen");
        if (n > 100) p.add("credits.txt", "has " + std::to_string(n) + " lines; the credits screen shows at most 100");
    }
    if (!read_file(dir + "/ver.dat", bytes)) {
        p.add("ver.dat", "missing");
        return;
    }
    const std::vector<Field> f = read_fields(bytes);
    if (f.size() < 2 || f[0].text.empty()) {
        p.add("ver.dat", "needs two lines: the version and the check choice");
        return;
    }
    if (f[1].after_comma) p.add("ver.dat", "the version text holds a comma");
    bool ok = false;
    const double v = number(f[1].text, ok);
    if (!f[1].after_comma && (!ok || (v != -1 && v != 0 && v != 1))) p.add("ver.dat", "line 2 '" + f[1].text + "' is not -1, 0 or 1");
}

// ---------------------------------------------------------------- images and fonts

// Width and height from a PNG header; false when the file is not a PNG.
bool png_size(const std::string& path, int& w, int& h) {
    std::string bytes;
    if (!read_file(path, bytes) || bytes.size() < 33) return false;
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (std::memcmp(bytes.data(), sig, 8) != 0 || bytes.compare(12, 4, "IHDR") != 0) return false;
    auto be = [&](size_t o) {
        return static_cast<int>((static_cast<uint32_t>(static_cast<uint8_t>(bytes[o])) << 24) |
                                (static_cast<uint32_t>(static_cast<uint8_t>(bytes[o + 1])) << 16) |
                                (static_cast<uint32_t>(static_cast<uint8_t>(bytes[o + 2])) << 8) |
                                static_cast<uint32_t>(static_cast<uint8_t>(bytes[o + 3])));
    };
    w = be(16);
    h = be(20);
    return w > 0 && h > 0;
}

void check_images_and_fonts(const std::string& dir, Problems& p) {
    int w = 0, h = 0;
    const std::string mini = "data/maps/0/minimap.png";
    if (!std::filesystem::exists(dir + "/" + mini)) p.add(mini, "missing");
    else if (!png_size(dir + "/" + mini, w, h)) p.add(mini, "is not a PNG image");
    else if ((w & (w - 1)) || (h & (h - 1))) p.add(mini, fmt("is %g x %g; the texture needs power-of-two sides", w, h));

    // The menu pictures and the explosion frames (0-5 fireballs, 6 smoke).
    std::vector<std::string> pictures = {"data/menu/mission.png", "data/menu/worldmap.png", "data/menu/gunship.png"};
    for (int k = 0; k <= 6; ++k) pictures.push_back("data/explosion/" + std::to_string(k) + ".png");
    for (const std::string& pic : pictures) {
        if (!std::filesystem::exists(dir + "/" + pic)) p.add(pic, "missing");
        else if (!png_size(dir + "/" + pic, w, h)) p.add(pic, "is not a PNG image");
    }
    if (!std::filesystem::exists(dir + "/configVars.dat")) p.add("configVars.dat", "missing");

    const std::string fonts = dir + "/data/fontimg";
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(fonts, ec))
        if (e.is_directory()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    if (std::find(names.begin(), names.end(), "vera") == names.end()) p.add("data/fontimg/vera", "missing (the game's text font)");
    for (const std::string& font : names) {
        int missing = 0, wrong = 0;
        for (int c = 32; c <= 126; ++c) {
            const std::string glyph = fonts + "/" + font + "/" + std::to_string(c) + ".png";
            if (!std::filesystem::exists(glyph)) ++missing;
            else if (!png_size(glyph, w, h) || w != 16 || h != 16) ++wrong;
        }
        if (missing) p.add("data/fontimg/" + font, "lacks " + std::to_string(missing) + " of the 95 glyphs");
        if (wrong) p.add("data/fontimg/" + font, std::to_string(wrong) + " glyphs are not 16 x 16 PNG images");
    }

    const std::string seg = "data/font3d/fontData.dat";
    std::string bytes;
    if (!read_file(dir + "/" + seg, bytes)) {
        p.add(seg, "missing");
        return;
    }
    std::set<char> glyphs;
    const std::vector<Field> f = read_fields(bytes);
    static const std::string cells = "0BFOWTfowt";
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i].text.size() != 1 || f[i].text[0] == '\'') continue;
        const char g = f[i].text[0];
        bool rows_ok = i + 7 < f.size();
        for (size_t r = 1; rows_ok && r <= 7; ++r) {
            const std::string& row = f[i + r].text;
            rows_ok = row.size() == 5 && row.find_first_not_of(cells) == std::string::npos;
        }
        if (!rows_ok) p.add(seg, std::string("glyph '") + g + "' is not followed by seven rows of five cells");
        else glyphs.insert(g);
        i += 7;
    }
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ[]-"))
        if (!glyphs.count(c)) p.add(seg, std::string("lacks glyph '") + c + "'");
}

int run_check(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvdata check DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!std::filesystem::is_directory(dir)) {
        std::printf("%s: not a directory\n", dir.c_str());
        return 1;
    }
    Problems p;
    MapData map;
    check_map(dir, map, p);
    if (map.loaded) {
        fill_reach(map, static_cast<int>(START_X), static_cast<int>(START_Z));
        if (!map.reach[static_cast<int>(START_Z) * GRID + static_cast<int>(START_X)])
            p.add("0.map", fmt("the new-profile start (%g, %g) is blocked by a wall or building", START_X, START_Z));
    }
    check_lookup(dir, p);
    std::vector<Enemy> enemies;
    check_enemies(dir, map, enemies, p);
    float from[2] = {START_X, START_Z};
    for (int m = 0; m < MISSIONS; ++m) check_mission(dir, m, map, enemies, from, p);
    check_research(dir, p);
    check_credits_and_version(dir, p);
    check_images_and_fonts(dir, p);
    std::vector<std::string> mesh_lines;
    check_meshes(dir, mesh_lines);
    for (const std::string& l : mesh_lines) {
        const size_t colon = l.find(": ");
        p.add(colon == std::string::npos ? "meshes" : l.substr(0, colon), colon == std::string::npos ? l : l.substr(colon + 2));
    }
    p.finish();
    for (const std::string& line : p.lines) std::printf("%s\n", line.c_str());
    if (!p.lines.empty()) {
        int total = 0;
        for (const auto& entry : p.per_file) total += entry.second;
        std::printf("kvdata check: %d problem%s in %s\n", total, total == 1 ? "" : "s", dir.c_str());
        return 1;
    }
    std::printf("kvdata check: %s is complete and consistent\n", dir.c_str());
    return 0;
}

}  // namespace

KVDATA_COMMAND("check", "DIR  validate a game directory: one line per problem, exit status 1 if any", run_check);
