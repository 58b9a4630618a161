// Shared parts of `kvdata check`: the report, the data files' fields (split by the game's own reader)
// and the number rules our data should follow, the loaded map with its solid cells and the places
// the gunship can reach, and the per-file checks the command runs.
#pragma once

#include "engine/console_text.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/textfile.h"
#include "game/enemy_types.h"
#include "game/flight.h"
#include "game/mission.h"
#include "game/profile_types.h"
#include "world/buildings.h"
#include "world/map.h"

namespace kvcheck {

// The map's grid and file size, as the game reads it.
constexpr int GRID = KV_MAPSIDE;
constexpr int CELLS = KV_MAPCELLS;
constexpr long MAP_BYTES = KV_MAPFILEBYTES;
// The playable area: what the gunship's position is clamped to inside the boundary frame.
constexpr float PLAY_X0 = KV_PLAY_X0, PLAY_X1 = KV_PLAY_X1, PLAY_Z0 = KV_PLAY_Z0, PLAY_Z1 = KV_PLAY_Z1;

// The footprint side of a building class, from the world's class table; 0 for no class.
inline int building_size(int cls) {
    for (const KVBUILDINGCLASSDEF& c : KV_BUILDING_CLASSES)
        if (c.CLASS == cls) return c.SIZE;
    return 0;
}

// The report: at most PER_FILE lines for one file, then one line saying how many more there are,
// so a damaged file cannot bury the rest of the report.
struct Problems {
    static constexpr int PER_FILE = 25;
    std::vector<std::string> lines;
    std::map<std::string, int> per_file;
    void add(const std::string& file, const std::string& what) {
        // Names and values come from the data: shown escaped, so they cannot steer the terminal.
        if (++per_file[file] <= PER_FILE) lines.push_back(console_safe(file + ": " + what));
    }
    void finish() {
        for (const auto& [file, n] : per_file)
            if (n > PER_FILE) lines.push_back(file + ": " + std::to_string(n - PER_FILE) + " more problems not shown");
    }
};

inline std::string fmt(const char* f, double a = 0, double b = 0, double c = 0) {
    char buf[256];
    std::snprintf(buf, sizeof buf, f, a, b, c);
    return buf;
}

// The whole file as bytes, read by the game's own file reader; false when it cannot be read
// (missing, a directory, an I/O error).
inline bool read_file(const std::string& path, std::string& out) {
    FieldReader r;
    if (!field_reader_open(r, path)) return false;
    out = std::move(r.bytes);
    return true;
}

// The fields of a text file exactly as the game's field reader splits them, each with the line
// it starts on and whether a comma (rather than a line end) ended the field before it.
struct Field { std::string text; int line; bool after_comma; };
inline std::vector<Field> read_fields(const std::string& bytes) {
    std::vector<Field> out;
    FieldReader r = field_reader_from_string(bytes);
    const std::string& b = r.bytes;
    int line = 1;
    while (!field_eof(r)) {
        const size_t start = r.pos;
        Field f{field_read(r), line, start > 0 && b[start - 1] == ','};
        // Line ends consumed with the field: LF, CR LF or a lone CR, inside quotes too.
        for (size_t i = start; i < r.pos && i < b.size(); ++i)
            if (b[i] == '\n' || (b[i] == '\r' && (i + 1 >= b.size() || b[i + 1] != '\n'))) ++line;
        out.push_back(std::move(f));
    }
    return out;
}

// A number as our data should hold it: optional blanks and sign, digits, optional fraction and
// exponent, nothing else. `ok` is false for anything the game would read as 0 or cut short.
inline double number(const std::string& s, bool& ok) {
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

// A number from a file as a whole number the way the game stores it in an integer field:
// rounded to nearest with ties to even (6.5 gives 6, 7.5 gives 8), held inside the int range
// (a plain cast of a huge value would be undefined).
inline int whole(double v) {
    if (!(v > -2.0e9)) return -2000000000;
    if (v > 2.0e9) return 2000000000;
    return static_cast<int>(std::nearbyint(v));
}

// TEXT split at DELIM the way the game splits its entries (STR_EXPLODE).
inline std::vector<std::string> explode(const std::string& text, const std::string& delim) {
    STR_EXPLODE(delim, text);
    return STR_EXPLODE_RESULT;
}

struct MapData {
    bool loaded = false;
    std::vector<int32_t> height, city;
    std::vector<uint8_t> reach;  // 1 where the gunship's centre can get from the new-profile start
    int32_t water = 0;
    int32_t at(const std::vector<int32_t>& g, int x, int z) const { return g[z * GRID + x]; }
    float surface() const { return (static_cast<float>(water) + 10.0f) * 0.25f; }
    bool solid(int x, int z) const {
        if (x < 0 || z < 0 || x >= GRID || z >= GRID) return true;
        const int32_t c = at(city, x, z);
        return c == -1 || c > 2;
    }
    bool dry(int x, int z) const { return at(height, x, z) * 0.25f >= surface() || at(city, x, z) == 1; }
};

struct Enemy { float x, z; int cls; int active; };

// Cells round a point the gunship's probe circle can touch while it is inside a check point.
inline bool area_free(const MapData& map, float x, float z, int reach, bool need_dry) {
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
inline void fill_reach(MapData& map, int sx, int sz) {
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
inline bool reachable(const MapData& map, float x, float z, int within) {
    if (map.reach.empty()) return true;
    const int cx = static_cast<int>(std::floor(x)), cz = static_cast<int>(std::floor(z));
    for (int dz = -within; dz <= within; ++dz)
        for (int dx = -within; dx <= within; ++dx) {
            const int gx = cx + dx, gz = cz + dz;
            if (gx >= 0 && gz >= 0 && gx < GRID && gz < GRID && map.reach[gz * GRID + gx]) return true;
        }
    return false;
}

inline bool playable(float x, float z) { return x >= PLAY_X0 && x <= PLAY_X1 && z >= PLAY_Z0 && z <= PLAY_Z1; }

constexpr float START_X = PROFILE_START_X, START_Z = PROFILE_START_Z;  // where a new profile's gunship stands

// The checks, one per kind of file; each adds its problems to the report.
void check_map(const std::string& dir, MapData& map, Problems& p);
void check_lookup(const std::string& dir, Problems& p);
void check_enemies(const std::string& dir, const MapData& map, std::vector<Enemy>& enemies, Problems& p);
// What the missions checked so far have used up, carried from one mission file to the next:
// the enemy slots already claimed by a kill range (named by mission and objective) and the
// personnel and kits already subtracted, against what a new profile starts with.
struct Campaign {
    std::vector<std::string> claimed;  // per enemy slot: "" or "mission m objective o"
    int subtracted[5] = {};
};
// Personnel a new profile starts with, in SUBTRACT slot order: USWSF, ENG, HACKERS, SPIES, FCPKIT.
constexpr int START_PERSONNEL[5] = {PROFILE_START_USWSF, PROFILE_START_ENGINEERS, PROFILE_START_HACKERS,
                                   PROFILE_START_SPIES, PROFILE_START_FCPKIT};

// `from` is where the gunship starts the mission (the new-profile start, or where the previous
// mission ended); it is moved to where this mission ends.
void check_mission(const std::string& dir, int m, const MapData& map, const std::vector<Enemy>& enemies, float from[2],
                   Campaign& campaign, Problems& p);
void check_research(const std::string& dir, Problems& p);
void check_control_names(const std::string& dir, Problems& p);

}  // namespace kvcheck
