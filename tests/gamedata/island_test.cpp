// The generated island: deterministic output, the map file's size and boundary frame, the
// shape of the island (sea share, hill heights, level town ground), the new-profile start,
// towns dense enough to shrink the view, and a minimap that shows the map the right way round.
#include "gamedata_util.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <filesystem>

namespace {

const std::string GAME = KV_GAME_DIR;
const std::string ASSETGEN = std::string(KV_BUILD_DIR) + "/tools/assetgen/assetgen";
const char* GENERATED[] = {"0.map", "data/maps/0/minimap.png", "data/KVGroundCirclePolyLookup.dat", "data/enemies0.dat"};

int idx(int x, int z) { return z * 513 + x; }

const MapGrids& shipped_map() {
    static MapGrids map;
    static bool loaded = read_map(GAME + "/0.map", map);
    EXPECT_TRUE(loaded) << "cannot read " << GAME << "/0.map";
    return map;
}

int size_of_class(int cls) {
    static const int sizes[7] = {0, 4, 8, 12, 16, 4, 16};
    return cls >= 1 && cls <= 6 ? sizes[cls] : 0;
}

// The view size the terrain renderer settles on for a gunship at (x, z) with heading `deg`:
// small-building area per analysed cell in the forward cone, shrinking the radius while the
// density stays above 0.08.
double view_size(const MapGrids& map, double x, double z, double deg) {
    const int D = 12;
    const double a = deg * 3.14159 / 180.0;
    const int px8 = static_cast<int>(std::lround(x)) / 8, pz8 = static_cast<int>(std::lround(z)) / 8;
    bool mask[25][25] = {};
    int cells = 0;
    for (int i = -D; i <= D; ++i)
        for (int j = -D; j <= D; ++j) {
            const double qx = i - 5.6 * std::cos(a), qz = j - 5.6 * std::sin(a);
            const double len = std::sqrt(qx * qx + qz * qz);
            if (len <= D + 5.6 && len > 0 && std::lround(100 * ((-std::cos(a)) * qx + (-std::sin(a)) * qz) / len) > 80) {
                mask[i + D][j + D] = true;
                const int tx = px8 + i, tz = pz8 + j;
                if (tx >= 0 && tx < 64 && tz >= 0 && tz < 64) cells += 64;
            }
        }
    double s = 1.1;
    double density = 0;
    do {
        s -= 0.1;
        const int r = std::min(static_cast<int>(std::lround(D * s)), D);
        if (s < 0.6 - 1e-9) break;
        long area = 0;
        for (int i = -r; i <= r; ++i)
            for (int j = -r; j <= r; ++j) {
                const int tx = px8 + i, tz = pz8 + j;
                if (!mask[i + D][j + D] || tx < 0 || tx >= 64 || tz < 0 || tz >= 64) continue;
                for (int cx = 0; cx < 8; ++cx)
                    for (int cz = 0; cz < 8; ++cz) {
                        const int code = map.city[idx(tx * 8 + cx, tz * 8 + cz)];
                        const int cls = code - 3;
                        if (code > 3 && (cls == 1 || cls == 2 || cls == 5)) area += size_of_class(cls) * size_of_class(cls);
                    }
            }
        density = cells ? static_cast<double>(area) / cells : 0.0;
    } while (density > 0.08);
    return s;
}

// The smallest view size seen from a ring of positions round (cx, cz), facing the centre.
double smallest_view_round(const MapGrids& map, double cx, double cz, double radius) {
    double smallest = 1.0;
    for (int k = 0; k < 16; ++k) {
        const double t = k * 3.14159 / 8;
        const double x = cx + radius * std::cos(t), z = cz + radius * std::sin(t);
        const double heading = std::atan2(-(cz - z), -(cx - x)) * 180.0 / 3.14159;
        smallest = std::min(smallest, view_size(map, x, z, heading));
    }
    return smallest;
}

bool decode_png(const std::string& path, int& w, int& h, std::vector<uint8_t>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    w = static_cast<int>(image.width);
    h = static_cast<int>(image.height);
    return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

}  // namespace

TEST(IslandGenerator, SameBytesOnEveryRunAndInTheGameDirectory) {
    ScratchDir a("gen_a"), b("gen_b");
    ASSERT_EQ(run_command("'" + ASSETGEN + "' '" + a.path + "' island").status, 0);
    ASSERT_EQ(run_command("'" + ASSETGEN + "' '" + b.path + "' island").status, 0);
    for (const char* f : GENERATED) {
        const std::string first = read_file_text(a.path + "/" + f);
        EXPECT_FALSE(first.empty()) << f;
        EXPECT_EQ(first, read_file_text(b.path + "/" + f)) << f << " differs between two runs";
        EXPECT_EQ(first, read_file_text(GAME + "/" + f)) << f << " in the game directory is not the generator's output";
    }
}

TEST(IslandMap, SizeFrameAndWaterLevel) {
    EXPECT_EQ(std::filesystem::file_size(GAME + "/0.map"), 3158036u);
    const MapGrids& map = shipped_map();
    ASSERT_EQ(map.city.size(), 513u * 513u);
    for (int k = 0; k < 513; ++k)
        for (int band : {24, 28, 477, 481}) {
            EXPECT_EQ(map.city[idx(band, k)], 3) << "x band at z " << k;
        }
    for (int k = 0; k < 513; ++k)
        for (int band : {34, 38, 496, 500}) EXPECT_EQ(map.city[idx(k, band)], 3) << "z band at x " << k;
    EXPECT_EQ(map.water, 0);
    // Just inside the frame the file holds its own values: open sea.
    EXPECT_EQ(map.city[idx(30, 40)], 0);
    EXPECT_LT(map.height[idx(30, 40)], 10);
}

TEST(IslandMap, ShapeOfTheIsland) {
    const MapGrids& map = shipped_map();
    long land = 0, total = 0;
    int highest = -1000, lowest = 1000;
    for (int z = 39; z <= 495; ++z)
        for (int x = 29; x <= 476; ++x) {
            ++total;
            const int h = map.height[idx(x, z)];
            land += h > 10;
            highest = std::max(highest, h);
            lowest = std::min(lowest, h);
        }
    const double share = static_cast<double>(land) / total;
    EXPECT_GT(share, 0.5) << "too much sea";
    EXPECT_LT(share, 0.75) << "too little sea";
    // Hills rise 10-40 world units above the lowlands (terrain units x 0.25).
    EXPECT_GE(highest * 0.25, 30.0);
    EXPECT_LE(highest * 0.25, 55.0);
    EXPECT_LT(lowest, -30) << "the sea floor should fall away from the coast";
    // No cliff steeper than 3 world units between neighbouring samples on land.
    int cliffs = 0;
    for (int z = 40; z < 495; ++z)
        for (int x = 30; x < 476; ++x) {
            const int h = map.height[idx(x, z)];
            if (h <= 10) continue;
            cliffs += std::abs(h - map.height[idx(x + 1, z)]) > 12 || std::abs(h - map.height[idx(x, z + 1)]) > 12;
        }
    EXPECT_EQ(cliffs, 0);
}

TEST(IslandMap, BuildingsStandLevelOnLand) {
    const MapGrids& map = shipped_map();
    int buildings = 0, small = 0;
    for (int z = 0; z < 513; ++z)
        for (int x = 0; x < 513; ++x) {
            const int code = map.city[idx(x, z)];
            if (code < 4) continue;
            ASSERT_LE(code, 9) << "(" << x << ", " << z << ")";
            ++buildings;
            small += code == 4 || code == 5 || code == 8;
            const int s = size_of_class(code - 3);
            int lo = 100000, hi = -100000;
            for (int a = 0; a < s; ++a)
                for (int b = 0; b < s; ++b) {
                    lo = std::min(lo, map.height[idx(x + a, z + b)]);
                    hi = std::max(hi, map.height[idx(x + a, z + b)]);
                }
            EXPECT_GT(lo, 10) << "building at (" << x << ", " << z << ") reaches the water";
            EXPECT_LE(hi - lo, 2) << "building at (" << x << ", " << z << ") is not on level ground";
        }
    EXPECT_GE(buildings, 60);
    EXPECT_GE(small, 50);
    // One helipad (research base) and at least two fuel depots.
    int helipads = 0, depots = 0;
    for (int code : map.city) helipads += code == 7, depots += code == 9;
    EXPECT_EQ(helipads, 1);
    EXPECT_GE(depots, 2);
}

TEST(IslandMap, NewProfileStartsOnOpenGroundNearHome) {
    const MapGrids& map = shipped_map();
    for (int dz = -3; dz <= 3; ++dz)
        for (int dx = -3; dx <= 3; ++dx) {
            const int code = map.city[idx(360 + dx, 287 + dz)];
            EXPECT_TRUE(code == 0 || code == 1) << "solid cell near the start at offset " << dx << ", " << dz;
            EXPECT_GT(map.height[idx(360 + dx, 287 + dz)], 10);
        }
    // The research base's helipad is within 40 units.
    bool near = false;
    for (int z = 247; z <= 327; ++z)
        for (int x = 320; x <= 400; ++x) near = near || map.city[idx(x, z)] == 7;
    EXPECT_TRUE(near);
}

TEST(IslandMap, TownsAreDenseEnoughToShrinkTheView) {
    const MapGrids& map = shipped_map();
    EXPECT_LE(smallest_view_round(map, 310, 130, 70), 0.9 + 1e-9) << "Vell";
    EXPECT_LE(smallest_view_round(map, 162, 354, 60), 0.9 + 1e-9) << "Kerrow";
    // Over open sea, facing away from the island, the view stays full.
    EXPECT_NEAR(view_size(map, 460, 60, 180 + 45), 1.0, 1e-9);
}

TEST(IslandMinimap, TerrainPaletteTheRightWayRound) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(decode_png(GAME + "/data/maps/0/minimap.png", w, h, rgb));
    ASSERT_EQ(w, 512);
    ASSERT_EQ(h, 512);
    const MapGrids& map = shipped_map();
    auto px = [&](int x, int z) { return &rgb[(static_cast<size_t>(z) * w + x) * 3]; };
    // Column = X, row = Z (row 0 at the top is Z = 0): the helipad's blue, found through the
    // map's anchor, sits at the same column and row in the picture.
    int hx = -1, hz = -1;
    for (int z = 0; z < 512; ++z)
        for (int x = 0; x < 512; ++x)
            if (map.city[idx(x, z)] == 7) hx = x, hz = z;
    ASSERT_GE(hx, 0);
    const uint8_t* pad = px(hx + 8, hz + 8);
    EXPECT_GT(pad[2], pad[0] + 60) << "helipad should read blue";
    const uint8_t* mirrored = px(hz + 8, hx + 8);
    EXPECT_FALSE(mirrored[2] > mirrored[0] + 60) << "the picture looks transposed";
    // The sea is darker than the land.
    const uint8_t* sea = px(32, 260);
    const uint8_t* land = px(250, 268);
    EXPECT_LT(sea[0] + sea[1] + sea[2], land[0] + land[1] + land[2]);
}
