// The island generator proper: land mask, coast distances, heights, flattened building ground,
// paving, towns, buildings, walls and garrisons, all from the table in island_layout.h. Only
// integer hashing, + - * / and sqrt are used, so the same source always gives the same bytes.
#include "island_terrain.h"

#include "island_layout.h"
#include "island_noise.h"
#include "island_relief.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace island {
namespace {

// Playable interior: what the gunship can reach inside the frame.
constexpr int PLAY_X0 = 30, PLAY_X1 = 476, PLAY_Z0 = 40, PLAY_Z1 = 495;

// Two-pass 3-4 chamfer distance (in thirds of a cell) from every cell to the nearest cell
// where `source` is true.
std::vector<int32_t> chamfer(const std::vector<uint8_t>& source) {
    const int32_t far = 1 << 28;
    std::vector<int32_t> d(CELLS);
    for (int i = 0; i < CELLS; ++i) d[i] = source[i] ? 0 : far;
    auto relax = [&](int x, int z, int dx, int dz, int cost) {
        const int nx = x + dx, nz = z + dz;
        if (nx < 0 || nz < 0 || nx >= GRID || nz >= GRID) return;
        int32_t& here = d[index_of(x, z)];
        here = std::min(here, d[index_of(nx, nz)] + cost);
    };
    for (int z = 0; z < GRID; ++z)
        for (int x = 0; x < GRID; ++x) {
            relax(x, z, -1, 0, 3);
            relax(x, z, 0, -1, 3);
            relax(x, z, -1, -1, 4);
            relax(x, z, 1, -1, 4);
        }
    for (int z = GRID - 1; z >= 0; --z)
        for (int x = GRID - 1; x >= 0; --x) {
            relax(x, z, 1, 0, 3);
            relax(x, z, 0, 1, 3);
            relax(x, z, 1, 1, 4);
            relax(x, z, -1, 1, 4);
        }
    return d;
}

double land_potential(int x, int z) {
    double p = 0.0;
    for (const LandBlob& b : LAND) {
        const double dx = x - b.x, dz = z - b.z;
        const double t = 1.0 - (dx * dx + dz * dz) / (static_cast<double>(b.radius) * b.radius);
        p = std::max(p, t);
    }
    p += 0.20 * noise(x, z, 40, 101u) + 0.07 * noise(x, z, 13, 202u);
    // Keep open sea between the coast and the frame.
    const int edge = std::min(std::min(x - PLAY_X0, PLAY_X1 - x), std::min(z - PLAY_Z0, PLAY_Z1 - z));
    if (edge < 22) p -= (22 - edge) * 0.04;
    return p;
}

bool rect_overlap(int ax0, int az0, int ax1, int az1, int bx0, int bz0, int bx1, int bz1) {
    return ax0 <= bx1 && bx0 <= ax1 && az0 <= bz1 && bz0 <= az1;
}

bool place_building(IslandMap& map, int32_t cls, int x, int z, const char* name, std::string& error) {
    const int s = building_size(cls);
    char line[200];
    if (x < PLAY_X0 || z < PLAY_Z0 || x + s - 1 > PLAY_X1 || z + s - 1 > PLAY_Z1) {
        std::snprintf(line, sizeof line, "building '%s' at (%d, %d) leaves the playable area", name, x, z);
        error = line;
        return false;
    }
    for (int a = 0; a < s; ++a)
        for (int b = 0; b < s; ++b) {
            const int i = index_of(x + a, z + b);
            if (map.city[i] != 0) {
                std::snprintf(line, sizeof line, "building '%s' at (%d, %d) overlaps code %d at (%d, %d)", name, x, z,
                              map.city[i], x + a, z + b);
                error = line;
                return false;
            }
            if (map.height[i] <= WATER_SURFACE) {
                std::snprintf(line, sizeof line, "building '%s' at (%d, %d) stands in water at (%d, %d)", name, x, z,
                              x + a, z + b);
                error = line;
                return false;
            }
        }
    for (int a = 0; a < s; ++a)
        for (int b = 0; b < s; ++b) map.city[index_of(x + a, z + b)] = -1;
    map.city[index_of(x, z)] = cls + 3;
    return true;
}

bool place_town(IslandMap& map, const Town& t, std::string& error) {
    for (int c = 0; c < t.cols; ++c)
        for (int r = 0; r < t.rows; ++r) {
            const int lx = t.x0 + c * t.pitch, lz = t.z0 + r * t.pitch;
            bool square = false;
            for (const Paving& p : PAVING)
                square = square || rect_overlap(lx, lz, lx + 7, lz + 7, p.x0, p.z0, p.x1, p.z1);
            if (square) continue;
            const uint32_t pick = hash3(t.seed, static_cast<uint32_t>(c), static_cast<uint32_t>(r)) % 100u;
            if (pick < 35u) {
                if (!place_building(map, HOUSE_8, lx, lz, t.name, error)) return false;
                continue;
            }
            const int offsets[4][2] = {{0, 0}, {4, 0}, {0, 4}, {4, 4}};
            for (int k = 0; k < 4; ++k) {
                const uint32_t sub = hash3(t.seed + 7u, static_cast<uint32_t>(c * 8 + k), static_cast<uint32_t>(r)) % 10u;
                if (pick >= 85u && (k == 1 || k == 2)) continue;  // a yard
                if (sub == 0u) continue;
                const int32_t cls = sub == 1u ? DISH_4 : HOUSE_4;
                if (!place_building(map, cls, lx + offsets[k][0], lz + offsets[k][1], t.name, error)) return false;
            }
        }
    return true;
}

bool open_cell(const IslandMap& map, int x, int z) {
    if (x < PLAY_X0 || z < PLAY_Z0 || x > PLAY_X1 || z > PLAY_Z1) return false;
    const int i = index_of(x, z);
    return (map.city[i] == 0 || map.city[i] == 1) && map.height[i] > WATER_SURFACE;
}

// Unit directions for 16 points round a ring, in thousandths.
constexpr int RING[16][2] = {{1000, 0},   {924, 383},   {707, 707},   {383, 924},  {0, 1000},  {-383, 924},
                             {-707, 707}, {-924, 383},  {-1000, 0},   {-924, -383}, {-707, -707}, {-383, -924},
                             {0, -1000},  {383, -924},  {707, -707},  {924, -383}};

}  // namespace

float ground_y(const IslandMap& map, float x, float z) {
    int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(z));
    i = std::clamp(i, 0, GRID - 1);
    j = std::clamp(j, 0, GRID - 1);
    const float h = static_cast<float>(map.height[index_of(i, j)]) * 0.25f;
    const float w = static_cast<float>(map.water) * 0.25f + 0.25f * 10.0f;
    return h < w ? w : h;
}

bool build_island(IslandMap& map, std::string& error, bool relief) {
    map.height.assign(CELLS, 0);
    map.forest.assign(CELLS, 0);
    map.city.assign(CELLS, 0);
    map.water = WATER_LEVEL;
    map.forest_height = FOREST_HEIGHT;

    std::vector<uint8_t> land(CELLS), sea(CELLS);
    for (int z = 0; z < GRID; ++z)
        for (int x = 0; x < GRID; ++x) {
            const bool is_land = land_potential(x, z) > 0.12;
            land[index_of(x, z)] = is_land;
            sea[index_of(x, z)] = !is_land;
        }
    const std::vector<int32_t> to_sea = chamfer(sea);
    const std::vector<int32_t> to_land = chamfer(land);

    std::vector<double> h(CELLS);
    for (int z = 0; z < GRID; ++z)
        for (int x = 0; x < GRID; ++x) {
            const int i = index_of(x, z);
            double v;
            if (land[i]) {
                const double inland = to_sea[i] / 3.0;  // cells to the coast
                const double rise = smooth(std::min(inland, 16.0) / 16.0);
                v = 11.0 + 14.0 * rise;
                const double fade = smooth(std::min(inland / 24.0, 1.0));  // hills die out before the beach
                for (const Hill& hill : HILLS) {
                    const double dx = x - hill.x, dz = z - hill.z;
                    const double t = 1.0 - (dx * dx + dz * dz) / (static_cast<double>(hill.radius) * hill.radius);
                    if (t > 0) v += hill.height * t * t * fade;
                }
                v += 5.0 * noise(x, z, 20, 303u) * std::min(inland / 12.0, 1.0);
            } else {
                const double out = to_land[i] / 3.0;  // cells from the coast
                v = 8.0 - 3.0 * out + 3.0 * noise(x, z, 17, 404u);
                v = std::max(v, -72.0 + 2.0 * noise(x, z, 31, 505u));
            }
            h[i] = v;
        }
    if (relief) add_relief(h, land, to_sea);
    for (const Flat& f : FLATS) {
        for (int z = f.z0 - f.margin; z <= f.z1 + f.margin; ++z)
            for (int x = f.x0 - f.margin; x <= f.x1 + f.margin; ++x) {
                if (x < 0 || z < 0 || x >= GRID || z >= GRID) continue;
                const int ex = std::max(std::max(f.x0 - x, x - f.x1), 0);
                const int ez = std::max(std::max(f.z0 - z, z - f.z1), 0);
                const double e = std::sqrt(static_cast<double>(ex * ex + ez * ez));
                if (e >= f.margin) continue;
                const double w = smooth(1.0 - e / f.margin);
                double& v = h[index_of(x, z)];
                v += (f.level - v) * w;
            }
    }
    for (int i = 0; i < CELLS; ++i) map.height[i] = static_cast<int32_t>(std::floor(h[i] + 0.5));

    // Scrub on the upper slopes (stored with the map; the game draws none).
    for (int z = 0; z < GRID; ++z)
        for (int x = 0; x < GRID; ++x) {
            const int i = index_of(x, z);
            if (map.height[i] > 60 && noise(x, z, 9, 606u) > 0.1) map.forest[i] = 1;
        }

    for (const Paving& p : PAVING)
        for (int z = p.z0; z <= p.z1; ++z)
            for (int x = p.x0; x <= p.x1; ++x) map.city[index_of(x, z)] = 1;
    for (const Town& t : TOWNS)
        if (!place_town(map, t, error)) return false;
    for (const Building& b : BUILDINGS)
        if (!place_building(map, b.cls, b.x, b.z, b.name, error)) return false;
    for (const Wall& w : WALLS) {
        if (w.x0 != w.x1 && w.z0 != w.z1) {
            error = std::string("wall '") + w.name + "' is not a straight line along X or Z";
            return false;
        }
        for (int z = std::min(w.z0, w.z1); z <= std::max(w.z0, w.z1); ++z)
            for (int x = std::min(w.x0, w.x1); x <= std::max(w.x0, w.x1); ++x) {
                const int i = index_of(x, z);
                if (map.city[i] != 0 || map.height[i] <= WATER_SURFACE) {
                    error = std::string("wall '") + w.name + "' crosses a building, paving or water";
                    return false;
                }
                map.city[i] = 3;
            }
    }
    for (int z = 0; z < GRID; ++z)
        for (int x = 0; x < GRID; ++x)
            if (in_frame(x, z)) map.city[index_of(x, z)] = 3;
    return true;
}

bool build_enemies(const IslandMap& map, std::vector<EnemySlot>& out, std::string& error) {
    out.clear();
    std::vector<uint8_t> taken(CELLS, 0);
    for (const EnemyGroup& g : GROUPS) {
        if (g.first != static_cast<int>(out.size())) {
            char line[200];
            std::snprintf(line, sizeof line, "enemy group '%s' declares first slot %d but follows slot %d", g.name,
                          g.first, static_cast<int>(out.size()) - 1);
            error = line;
            return false;
        }
        for (int m = 0; m < g.count; ++m) {
            const int dir = m * 16 / g.count;
            const int px = g.x + (RING[dir][0] * g.radius + (RING[dir][0] >= 0 ? 500 : -500)) / 1000;
            const int pz = g.z + (RING[dir][1] * g.radius + (RING[dir][1] >= 0 ? 500 : -500)) / 1000;
            // Nearest free open cell, searched in growing squares.
            int fx = -1, fz = -1;
            for (int r = 0; r <= 10 && fx < 0; ++r)
                for (int dz = -r; dz <= r && fx < 0; ++dz)
                    for (int dx = -r; dx <= r && fx < 0; ++dx) {
                        if (std::max(std::abs(dx), std::abs(dz)) != r) continue;
                        const int x = px + dx, z = pz + dz;
                        if (open_cell(map, x, z) && !taken[index_of(x, z)]) fx = x, fz = z;
                    }
            if (fx < 0) {
                error = std::string("no open ground for a member of enemy group '") + g.name + "'";
                return false;
            }
            taken[index_of(fx, fz)] = 1;
            EnemySlot e;
            e.x = static_cast<float>(fx) + 0.5f;
            e.z = static_cast<float>(fz) + 0.5f;
            e.y = ground_y(map, e.x, e.z);
            e.heading = static_cast<float>(hash3(static_cast<uint32_t>(g.first), static_cast<uint32_t>(m), 77u) % 24u) * 15.0f;
            if (g.kind == TURRETS) {
                e.cls = 0;
                e.maxhp = TURRET_MAXHP;
            } else {
                e.cls = m % 3 == 2 ? 3 : 2;
                e.maxhp = INFANTRY_MAXHP;
            }
            out.push_back(e);
        }
    }
    for (const Wall& w : WALLS)
        for (int z = std::min(w.z0, w.z1); z <= std::max(w.z0, w.z1); ++z)
            for (int x = std::min(w.x0, w.x1); x <= std::max(w.x0, w.x1); ++x) {
                EnemySlot e;
                // The wall block mesh is centred on its origin: stand it in the middle of its cell.
                e.x = static_cast<float>(x) + 0.5f;
                e.z = static_cast<float>(z) + 0.5f;
                e.y = ground_y(map, e.x, e.z);
                e.heading = w.x0 == w.x1 ? 90.0f : 0.0f;
                e.cls = 1;
                e.maxhp = WALL_MAXHP;
                out.push_back(e);
            }
    if (out.size() > 1000) {
        error = "more than 1000 enemies";
        return false;
    }
    return true;
}

std::string map_file_bytes(const IslandMap& map) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(CELLS) * 12 + 8);
    auto put = [&](int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>((u >> (8 * k)) & 0xFFu));
    };
    for (int x = 0; x < GRID; ++x)
        for (int z = 0; z < GRID; ++z) {
            const int i = index_of(x, z);
            put(map.height[i]);
            put(map.forest[i]);
            put(map.city[i]);
        }
    put(map.water);
    put(map.forest_height);
    return bytes;
}

std::string lookup_file_text() {
    // Derived from the ground triangulation: a cell of parity 0 splits along A-C into (D, A, C)
    // and (B, C, A); parity 1 along B-D into (A, B, D) and (C, D, B). Corners: A (0,0), B (0,1),
    // C (1,1), D (1,0) as (dx, dz) from the cell's lower corner.
    static const int corner_xz[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    static const int tris[2][2][3] = {{{3, 0, 2}, {1, 2, 0}}, {{0, 1, 3}, {2, 3, 1}}};
    static const char* names = "ABCD";
    std::string text;
    for (int p = 0; p < 2; ++p)
        for (int c = 0; c < 4; ++c) {
            const int vx = corner_xz[c][0], vz = corner_xz[c][1];  // vertex relative to the cell
            std::vector<std::pair<int, int>> pairs;
            // The four cells round the vertex, by descending offset.
            const int cells[4][2] = {{vx, vz}, {vx - 1, vz}, {vx, vz - 1}, {vx - 1, vz - 1}};
            std::vector<std::pair<int, int>> order;  // (offset, cell number)
            for (int k = 0; k < 4; ++k) order.push_back({cells[k][1] * GRID + cells[k][0], k});
            std::sort(order.begin(), order.end(), [](auto a, auto b) { return a.first > b.first; });
            for (auto [offset, k] : order) {
                const int q = ((p + offset) % 2 + 2) % 2;
                const int lx = vx - cells[k][0], lz = vz - cells[k][1];  // vertex within that cell
                int corner = 0;
                for (int m = 0; m < 4; ++m)
                    if (corner_xz[m][0] == lx && corner_xz[m][1] == lz) corner = m;
                for (int t = 0; t < 2; ++t)
                    for (int v = 0; v < 3; ++v)
                        if (tris[q][t][v] == corner) pairs.push_back({offset, t});
            }
            while (pairs.size() < 8) pairs.push_back({0, 0});
            for (auto [offset, t] : pairs) text += std::to_string(offset) + "," + std::to_string(t) + ",";
            text += std::string("parity ") + char('0' + p) + " corner " + names[c] + "\r\n";
        }
    return text;
}

std::string enemies_file_text(const std::vector<EnemySlot>& slots) {
    auto num = [](float v) {
        char b[32];
        std::snprintf(b, sizeof b, "%.2f", static_cast<double>(v));
        std::string s = b;
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
        if (s == "-0") s = "0";
        return s;
    };
    std::string text = std::to_string(static_cast<int>(slots.size()) - 1) + "\r\n3\r\n";
    for (const EnemySlot& e : slots) {
        text += num(e.x) + "," + num(e.y) + "," + num(e.z) + ",1,0," + num(e.heading) + ",0," +
                std::to_string(e.maxhp) + "," + std::to_string(e.cls) + "\r\n";
    }
    return text;
}

std::vector<uint8_t> minimap_pixels(const IslandMap& map, int& width, int& height) {
    width = 512;
    height = 512;
    struct Rgb { double r, g, b; };
    const Rgb upland{0.5725490, 0.5450980, 0.4980392}, beach{0.8015686, 0.7631372, 0.6972549};
    const Rgb shallows{0.6784314, 0.6235294, 0.5137255}, deep{0.2261438, 0.2078431, 0.1712418};
    const Rgb paving{0.823529, 0.788235, 0.729412};
    auto mix = [](Rgb a, Rgb b, double t) { return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; };
    const double W = map.water * 0.25;
    const double h1 = W + 4.0, h2 = W + 1.5, h3 = W - 7.5, h4 = W - 12.5;
    auto ground = [&](double y) {
        if (y > h1) return upland;
        if (y > h2) return mix(beach, upland, (y - h2) / (h1 - h2));
        if (y > h3) return mix(shallows, beach, (y - h3) / (h2 - h3));
        y = std::max(y, h4);
        return mix(deep, shallows, (y - h4) / (h3 - h4));
    };
    std::vector<Rgb> img(static_cast<size_t>(width) * height);
    auto hgt = [&](int x, int z) {
        return map.height[index_of(std::clamp(x, 0, GRID - 1), std::clamp(z, 0, GRID - 1))];
    };
    for (int z = 0; z < height; ++z)
        for (int x = 0; x < width; ++x) {
            const int code = map.city[index_of(x, z)];
            Rgb c;
            if (code == 1) {
                c = paving;
            } else if (code == 3 && !in_frame(x, z)) {
                c = Rgb{0.27, 0.25, 0.21};
            } else {
                const int y = hgt(x, z);
                c = ground(y * 0.25);
                if (y > WATER_SURFACE) {
                    // Hill shading, lit from the north-west.
                    // Higher ground a little darker, so the hills read at a glance.
                    const double slope = (hgt(x - 1, z - 1) - hgt(x + 1, z + 1)) * 0.035;
                    const double lift = 0.14 * std::min(std::max(y - 30, 0) / 130.0, 1.0);
                    const double shade = std::clamp(1.0 + slope - lift, 0.66, 1.25);
                    c = Rgb{std::min(c.r * shade, 1.0), std::min(c.g * shade, 1.0), std::min(c.b * shade, 1.0)};
                } else {
                    c = Rgb{c.r * 0.78, c.g * 0.80, c.b * 0.86};  // the sea reads darker and cooler
                }
            }
            if (x < 24 || x > 481 || z < 34 || z > 500) c = Rgb{c.r * 0.8, c.g * 0.8, c.b * 0.8};
            img[static_cast<size_t>(z) * width + x] = c;
        }
    // Buildings: house roofs in dark stone with an outline; the helipad, fuel depots and the fort
    // in the interface accents so the bases stand out.
    for (int z = 0; z < height; ++z)
        for (int x = 0; x < width; ++x) {
            const int code = map.city[index_of(x, z)];
            if (code < 4 || code > 9) continue;
            const int cls = code - 3, s = building_size(cls);
            Rgb fill{0.40, 0.38, 0.35}, edge{0.24, 0.22, 0.20};
            if (cls == HELIPAD_16) fill = Rgb{0.2, 0.4, 0.8}, edge = Rgb{0.1, 0.2, 0.4};
            if (cls == FUEL_16) fill = Rgb{1.0, 0.6, 0.1}, edge = Rgb{0.55, 0.3, 0.05};
            if (cls == HALL_12) fill = Rgb{1.0, 0.23, 0.1}, edge = Rgb{0.5, 0.1, 0.05};
            if (cls == DISH_4) fill = Rgb{0.86, 0.84, 0.78};
            for (int a = 0; a < s; ++a)
                for (int b = 0; b < s; ++b) {
                    const int px = x + a, pz = z + b;
                    if (px >= width || pz >= height) continue;
                    const bool border = a == 0 || b == 0 || a == s - 1 || b == s - 1;
                    img[static_cast<size_t>(pz) * width + px] = border ? edge : fill;
                }
        }
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < img.size(); ++i) {
        px[i * 3 + 0] = static_cast<uint8_t>(std::clamp(img[i].r, 0.0, 1.0) * 255.0 + 0.5);
        px[i * 3 + 1] = static_cast<uint8_t>(std::clamp(img[i].g, 0.0, 1.0) * 255.0 + 0.5);
        px[i * 3 + 2] = static_cast<uint8_t>(std::clamp(img[i].b, 0.0, 1.0) * 255.0 + 0.5);
    }
    return px;
}

}  // namespace island
