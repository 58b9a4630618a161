// The open-country relief of the generated island, built in memory with and without it: the
// towns, garrisons and mission points keep the ground they had, the coast line and the land
// stay where they were, and the open country gains the slopes and upland the light picks out.
#include "gamedata_util.h"

#include "island_layout.h"
#include "island_relief.h"
#include "island_terrain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

const std::string GAME = KV_GAME_DIR;

struct Maps {
    island::IslandMap base, relief;
    bool built = false;
};

const Maps& maps() {
    static Maps m;
    static bool done = false;
    if (!done) {
        done = true;
        std::string e1, e2;
        m.built = island::build_island(m.base, e1, false) && island::build_island(m.relief, e2, true);
        EXPECT_TRUE(m.built) << e1 << e2;
    }
    return m;
}

int at(const island::IslandMap& m, int x, int z) { return m.height[island::index_of(x, z)]; }

// Steepest step from a cell to its four neighbours, in terrain units.
int steepest(const island::IslandMap& m, int x, int z) {
    const int h = at(m, x, z);
    return std::max(std::max(std::abs(h - at(m, x + 1, z)), std::abs(h - at(m, x - 1, z))),
                    std::max(std::abs(h - at(m, x, z + 1)), std::abs(h - at(m, x, z - 1))));
}

// Every place a mission file names: kill zones, checkpoints, air drops, both zipline ends.
struct Point { int x, z; std::string what; };
std::vector<Point> mission_points(const std::string& file) {
    std::vector<Point> out;
    std::istringstream in(read_file_text(file));
    std::string line;
    std::map<std::string, int> kill_x;
    std::map<std::string, std::pair<int, int>> zip_x;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f;
        for (size_t from = 0;;) {
            const size_t at = line.find("//", from);
            f.push_back(line.substr(from, at == std::string::npos ? std::string::npos : at - from));
            if (at == std::string::npos) break;
            from = at + 2;
        }
        if (f.size() < 4) continue;
        const std::string id = f[0] + f[1], key = f[2];
        const int a = std::atoi(f[3].c_str()), b = f.size() > 4 ? std::atoi(f[4].c_str()) : 0;
        if (key == "KILL_ZONE_X") kill_x[id] = a;
        if (key == "KILL_ZONE_Z" && kill_x.count(id)) out.push_back({kill_x[id], a, line});
        if ((key == "XZ" || key == "TARGETXZ") && f.size() > 4) out.push_back({a, b, line});
        if (key == "ZIPLINE_X" && f.size() > 4) zip_x[id] = {a, b};
        if (key == "ZIPLINE_Z" && f.size() > 4 && zip_x.count(id)) {
            out.push_back({zip_x[id].first, a, line});
            out.push_back({zip_x[id].second, b, line});
        }
    }
    return out;
}

}  // namespace

TEST(IslandRelief, TownsGarrisonsAndBuildingsKeepTheirGround) {
    const Maps& m = maps();
    ASSERT_TRUE(m.built);
    EXPECT_EQ(m.base.city, m.relief.city) << "the relief must not move a building, wall or pad";
    // The whole of every flat, with the margin over which it blends into the country, is as
    // it was.
    int flat_cells = 0;
    for (const island::Flat& f : island::FLATS)
        for (int z = f.z0 - f.margin; z <= f.z1 + f.margin; ++z)
            for (int x = f.x0 - f.margin; x <= f.x1 + f.margin; ++x) {
                const int ex = std::max(std::max(f.x0 - x, x - f.x1), 0), ez = std::max(std::max(f.z0 - z, z - f.z1), 0);
                if (ex * ex + ez * ez >= f.margin * f.margin) continue;
                ++flat_cells;
                ASSERT_EQ(at(m.relief, x, z), at(m.base, x, z)) << f.name << " at (" << x << ", " << z << ")";
            }
    EXPECT_GT(flat_cells, 20000);
    // Every cell the quiet weight leaves alone is untouched, and there are many such cells.
    long quiet = 0;
    for (int z = 0; z < island::GRID; ++z)
        for (int x = 0; x < island::GRID; ++x)
            if (island::quiet_weight(x, z) <= 0.0) {
                ++quiet;
                ASSERT_EQ(at(m.relief, x, z), at(m.base, x, z)) << "quiet cell (" << x << ", " << z << ")";
            }
    EXPECT_GT(quiet, 20000);
    // The garrisons stand where they stood, at the same height.
    std::vector<island::EnemySlot> a, b;
    std::string error;
    ASSERT_TRUE(island::build_enemies(m.base, a, error)) << error;
    ASSERT_TRUE(island::build_enemies(m.relief, b, error)) << error;
    EXPECT_EQ(island::enemies_file_text(a), island::enemies_file_text(b));
}

TEST(IslandRelief, EveryMissionPointLiesOnQuietLevelGround) {
    const Maps& m = maps();
    ASSERT_TRUE(m.built);
    int points = 0;
    for (const char* file : {"0.dat", "1.dat", "2.dat"}) {
        for (const Point& p : mission_points(GAME + "/data/missions/" + file)) {
            ++points;
            // A point moved without a quiet place of its own would get new hills under it: the
            // ground round it is the base terrain's, cell for cell.
            EXPECT_EQ(island::quiet_weight(p.x, p.z), 0.0) << file << ": " << p.what;
            int differ = 0;
            for (int dz = -8; dz <= 8; ++dz)
                for (int dx = -8; dx <= 8; ++dx) differ += at(m.relief, p.x + dx, p.z + dz) != at(m.base, p.x + dx, p.z + dz);
            EXPECT_EQ(differ, 0) << file << ": " << p.what;
        }
    }
    EXPECT_GE(points, 20) << "the mission files name fewer places than they should";
}

TEST(IslandRelief, CoastLineAndLandStayWhereTheyWere) {
    // (Slope and peak limits of the finished island: IslandMap.ShapeOfTheIsland.)
    const Maps& m = maps();
    ASSERT_TRUE(m.built);
    for (int i = 0; i < island::CELLS; ++i) {
        const bool land_before = m.base.height[i] > island::WATER_SURFACE;
        ASSERT_EQ(m.relief.height[i] > island::WATER_SURFACE, land_before) << "cell " << i % 513 << ", " << i / 513;
        if (!land_before) {
            ASSERT_EQ(m.relief.height[i], m.base.height[i]) << "the sea floor changed";
        }
    }
}

TEST(IslandRelief, OpenCountryGainsSlopesUplandAndVariedHeights) {
    const Maps& m = maps();
    ASSERT_TRUE(m.built);
    // Open country: land at least 8 cells from the coast, away from every quiet place.
    long cells = 0, sloped_base = 0, sloped = 0, upland_base = 0, upland = 0;
    double sum = 0, sum2 = 0, sum_b = 0, sum2_b = 0;
    for (int z = 40; z <= 495; ++z)
        for (int x = 30; x <= 476; ++x) {
            if (island::quiet_weight(x, z) < 1.0) continue;
            bool inland = true;
            for (int d = -8; d <= 8 && inland; d += 2)
                inland = at(m.base, x + d, z) > island::WATER_SURFACE && at(m.base, x, z + d) > island::WATER_SURFACE;
            if (!inland) continue;
            ++cells;
            // Two units a cell is a slope of about 27 degrees: enough to turn the shading.
            sloped_base += steepest(m.base, x, z) >= 2;
            sloped += steepest(m.relief, x, z) >= 2;
            // Above 26 terrain units the ground takes the upland tint instead of the pale beach.
            upland_base += at(m.base, x, z) > 26;
            upland += at(m.relief, x, z) > 26;
            const double hb = at(m.base, x, z), hr = at(m.relief, x, z);
            sum_b += hb, sum2_b += hb * hb, sum += hr, sum2 += hr * hr;
        }
    ASSERT_GT(cells, 10000);
    const double n = static_cast<double>(cells);
    // The base island already slopes on its named hills (about half the open country); the
    // relief adds a fifth of the open country at least.
    EXPECT_GT(static_cast<double>(sloped - sloped_base) / n, 0.2)
        << "sloped share " << sloped << " vs " << sloped_base << " of " << cells;
    EXPECT_GT(static_cast<double>(upland) / n, 0.8) << upland << " of " << cells;
    EXPECT_GT(upland, upland_base);
    // Heights vary between the towns: the spread of open-country heights grows.
    const double spread = std::sqrt(sum2 / n - (sum / n) * (sum / n));
    const double spread_base = std::sqrt(sum2_b / n - (sum_b / n) * (sum_b / n));
    EXPECT_GT(spread, spread_base + 3.0) << "spread " << spread << " vs " << spread_base;
}

TEST(IslandRelief, CoastalCliffsRiseWithinAFewCells) {
    const Maps& m = maps();
    ASSERT_TRUE(m.built);
    // A coast cell with sea on its seaward side whose land climbs 7 world units within 5 cells
    // inland (along X or Z) is a cliff foot; the base island has gentle beaches only.
    auto cliffs = [](const island::IslandMap& map) {
        int count = 0;
        const int dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (int z = 45; z < 490; ++z)
            for (int x = 35; x < 470; ++x) {
                if (at(map, x, z) <= island::WATER_SURFACE) continue;
                for (const auto& d : dirs) {
                    if (at(map, x - d[0], z - d[1]) > island::WATER_SURFACE) continue;
                    if (at(map, x + 5 * d[0], z + 5 * d[1]) - at(map, x, z) >= 28) ++count;
                }
            }
        return count;
    };
    EXPECT_EQ(cliffs(maps().base), 0);
    EXPECT_GT(cliffs(m.relief), 100);
}

TEST(IslandRelief, TerracesAndDunes) {
    // Terraces: level treads at each step, risers between, never falling.
    EXPECT_DOUBLE_EQ(island::terraced(32.0), 32.0);
    EXPECT_NEAR(island::terraced(33.0), 32.0, 0.2) << "just above a step the tread is nearly level";
    EXPECT_NEAR(island::terraced(40.0), 40.0, 1e-9) << "mid-riser";
    double last = island::terraced(0.0);
    for (double h = 0.25; h < 200.0; h += 0.25) {
        const double t = island::terraced(h);
        ASSERT_GE(t, last) << "terraces must not fall at " << h;
        ASSERT_LE(std::fabs(t - h), 2.0) << "terraces stay close to the ground they shape at " << h;
        last = t;
    }
    // Dunes: somewhere near the coast the dune part is present, and it rises more gently than
    // it falls (a long windward side, a short lee) along its travel direction (0.8, 0.6).
    int dune_cells = 0;
    double longest_rise = 0, longest_fall = 0;
    for (int z = 40; z <= 495; z += 3)
        for (int x = 30; x <= 476; x += 3) {
            if (island::relief_parts(x, z, 15.0).dune <= 0.5) continue;
            ++dune_cells;
            // Walk 30 cells along the travel direction and measure the longest runs.
            double prev = island::relief_parts(x, z, 15.0).dune, rise = 0, fall = 0;
            for (int s = 1; s <= 30; ++s) {
                const int px = x + (s * 8) / 10, pz = z + (s * 6) / 10;
                const double v = island::relief_parts(px, pz, 15.0).dune;
                if (v > prev) rise += 1, fall = 0;
                else if (v < prev) fall += 1, rise = 0;
                longest_rise = std::max(longest_rise, rise);
                longest_fall = std::max(longest_fall, fall);
                prev = v;
            }
        }
    EXPECT_GT(dune_cells, 200);
    EXPECT_GT(longest_rise, longest_fall) << "dunes should have a long windward slope";
}

TEST(IslandRelief, MinimapShowsTheRelief) {
    const Maps& m = maps();
    ASSERT_TRUE(m.built);
    int w = 0, h = 0, wb = 0, hb = 0;
    const std::vector<uint8_t> after = island::minimap_pixels(m.relief, w, h);
    const std::vector<uint8_t> before = island::minimap_pixels(m.base, wb, hb);
    ASSERT_EQ(w, wb);
    ASSERT_EQ(h, hb);
    // Over open country the hill shading of the picture follows the new slopes: its brightness
    // varies more than on the base island, and the towns' pixels are the same as before.
    auto spread = [&](const std::vector<uint8_t>& px) {
        double sum = 0, sum2 = 0;
        long n = 0;
        for (int z = 40; z < 495; ++z)
            for (int x = 30; x < 476; ++x) {
                if (island::quiet_weight(x, z) < 1.0 || at(m.base, x, z) <= island::WATER_SURFACE) continue;
                const size_t i = (static_cast<size_t>(z) * w + x) * 3;
                const double l = px[i] + px[i + 1] + px[i + 2];
                sum += l, sum2 += l * l, ++n;
            }
        return n ? std::sqrt(sum2 / n - (sum / n) * (sum / n)) : 0.0;
    };
    const double s_after = spread(after), s_before = spread(before);
    EXPECT_GT(s_after, s_before * 1.2) << "minimap brightness spread " << s_after << " vs " << s_before;
    for (const island::Town& t : island::TOWNS)
        for (int z = t.z0; z < t.z0 + t.rows * t.pitch; ++z)
            for (int x = t.x0; x < t.x0 + t.cols * t.pitch; ++x) {
                const size_t i = (static_cast<size_t>(z) * w + x) * 3;
                ASSERT_EQ(after[i], before[i]) << t.name << " at (" << x << ", " << z << ")";
            }
}
