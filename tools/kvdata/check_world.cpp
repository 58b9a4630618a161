// `kvdata check`, the world files: the map (size, frame, city codes, building footprints), the
// ground neighbour table and the enemy layout (classes, positions on the map).
#include "check_common.h"

#include <filesystem>
#include <set>

namespace kvcheck {

void check_map(const std::string& dir, MapData& map, Problems& p) {
    const std::string name = "0.map";
    const std::string path = dir + "/" + name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        p.add(name, "missing");
        return;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || static_cast<long>(size) != MAP_BYTES) {
        p.add(name, "is " + std::to_string(ec ? 0 : size) + " bytes, expected " + std::to_string(MAP_BYTES));
        return;
    }
    // The game's own reader, before the game forces the boundary frame: the frame is checked.
    map.height.assign(CELLS, 0);
    map.city.assign(CELLS, 0);
    std::vector<int32_t> forest(CELLS, 0);
    int32_t forest_height = 0;
    const KVMAPREAD r = kv_map_read(path, map.height.data(), forest.data(), map.city.data(), map.water, forest_height);
    if (!r.opened || r.records != CELLS || !r.trailer) {
        p.add(name, "cannot be read whole");
        return;
    }
    map.loaded = true;
    if (map.water < -4000 || map.water > 4000) p.add(name, "water level " + std::to_string(map.water) + " is out of range");

    int bad_codes = 0, open_frame = 0, bad_height = 0;
    for (int z = 0; z < GRID; ++z)
        for (int x = 0; x < GRID; ++x) {
            const int32_t c = map.at(map.city, x, z), h = map.at(map.height, x, z);
            if (c < -1 || c > 9) {
                if (++bad_codes <= 5) p.add(name, fmt("cell (%g, %g) has unknown city code %g", x, z, c));
            }
            if (kv_map_in_frame(x, z) && c != 3) {
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
    if (!ok || max_slot < 0 || max_slot >= ENEMY_SLOTS || max_slot != std::floor(max_slot)) {
        p.add(name, "highest slot '" + f[0].text + "' is not a whole number in 0-" + std::to_string(ENEMY_SLOTS - 1));
        return;
    }
    number(f[1].text, ok);
    if (!ok) p.add(name, "class count '" + f[1].text + "' on line 2 is not a number");
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

}  // namespace kvcheck
