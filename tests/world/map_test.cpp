// Map file reading: record order and offsets, the trailing heights, short, missing and long
// files, the boundary frame and the statistics.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "world/map.h"

namespace {

std::string temp_path(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("kv_world_" + std::to_string(::getpid()) + "_" + name)).string();
}

void put32(std::vector<unsigned char>& bytes, size_t offset, int32_t v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    for (int k = 0; k < 4; ++k) bytes[offset + k] = static_cast<unsigned char>(u >> (8 * k));
}

void write_file(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// A full map file whose every record tells where it belongs.
std::vector<unsigned char> labelled_map() {
    std::vector<unsigned char> bytes(KV_MAPFILEBYTES, 0);
    for (int32_t x = 0; x < KV_MAPSIDE; ++x) {
        for (int32_t z = 0; z < KV_MAPSIDE; ++z) {
            const size_t off = (static_cast<size_t>(x) * 513 + z) * 12;
            put32(bytes, off, x * 1000 + z);
            put32(bytes, off + 4, -(x * 1000 + z));
            put32(bytes, off + 8, (x + 2 * z) % 7 - 1);
        }
    }
    put32(bytes, 3158028, 42);
    put32(bytes, 3158032, -17);
    return bytes;
}

struct Grids {
    std::vector<int32_t> terrain = std::vector<int32_t>(KV_MAPCELLS, 0);
    std::vector<int32_t> forest = std::vector<int32_t>(KV_MAPCELLS, 0);
    std::vector<int32_t> city = std::vector<int32_t>(KV_MAPCELLS, 0);
    int32_t water = 0, foresth = 0;
    KVMAPREAD read(const std::string& path) {
        return kv_map_read(path, terrain.data(), forest.data(), city.data(), water, foresth);
    }
};

}  // namespace

TEST(MapFile, RecordsAreColumnMajorAndLandInRowOrder) {
    EXPECT_EQ(KV_MAPFILEBYTES, 3158036);
    EXPECT_EQ(KV_MAPTRAILEROFFSET, 3158028);
    const std::string path = temp_path("labelled.map");
    write_file(path, labelled_map());
    Grids g;
    const KVMAPREAD r = g.read(path);
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(r.trailer);
    EXPECT_EQ(r.records, KV_MAPCELLS);
    for (int32_t x : {0, 1, 5, 300, 511, 512}) {
        for (int32_t z : {0, 1, 7, 200, 511, 512}) {
            const int32_t n = z * 513 + x;
            EXPECT_EQ(g.terrain[n], x * 1000 + z) << x << "," << z;
            EXPECT_EQ(g.forest[n], -(x * 1000 + z));
            EXPECT_EQ(g.city[n], (x + 2 * z) % 7 - 1);
        }
    }
    EXPECT_EQ(g.water, 42);
    EXPECT_EQ(g.foresth, -17);
    std::remove(path.c_str());
}

TEST(MapFile, ShortMissingAndLongFilesKeepWhatTheyLack) {
    Grids g;
    std::fill(g.terrain.begin(), g.terrain.end(), 5);
    g.water = 9;
    g.foresth = 8;
    // Missing: nothing changes.
    KVMAPREAD r = g.read(temp_path("does_not_exist.map"));
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(g.terrain[0], 5);
    EXPECT_EQ(g.water, 9);

    // Cut in the middle of the forest value of record (x = 1, z = 3).
    std::vector<unsigned char> bytes = labelled_map();
    const size_t cut = (1 * 513 + 3) * 12 + 6;
    bytes.resize(cut);
    const std::string path = temp_path("short.map");
    write_file(path, bytes);
    r = g.read(path);
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.trailer);
    EXPECT_EQ(r.records, 513 + 3);
    EXPECT_EQ(g.terrain[kv_map_index(1, 2)], 1002);
    EXPECT_EQ(g.terrain[kv_map_index(1, 3)], 1003);  // the height before the cut arrived
    EXPECT_EQ(g.forest[kv_map_index(1, 3)], 0);      // the forest value did not
    EXPECT_EQ(g.terrain[kv_map_index(1, 4)], 5);
    EXPECT_EQ(g.terrain[kv_map_index(2, 0)], 5);
    EXPECT_EQ(g.water, 9);
    EXPECT_EQ(g.foresth, 8);

    // Only the water height of the trailer present.
    bytes = labelled_map();
    bytes.resize(KV_MAPFILEBYTES - 4);
    write_file(path, bytes);
    r = g.read(path);
    EXPECT_EQ(r.records, KV_MAPCELLS);
    EXPECT_EQ(g.water, 42);
    EXPECT_EQ(g.foresth, 8);

    // Extra bytes after the trailer are ignored.
    bytes = labelled_map();
    bytes.resize(KV_MAPFILEBYTES + 1000, 0xff);
    write_file(path, bytes);
    r = g.read(path);
    EXPECT_TRUE(r.trailer);
    EXPECT_EQ(g.water, 42);
    EXPECT_EQ(g.terrain[kv_map_index(512, 512)], 512512);
    std::remove(path.c_str());
}

TEST(MapFile, BoundaryFrameOverridesTheFile) {
    std::vector<unsigned char> bytes(KV_MAPFILEBYTES, 0);
    // Give two cells inside the bands and one outside a non-zero code in the file.
    put32(bytes, (26 * 513 + 200) * 12 + 8, 7);
    put32(bytes, (200 * 513 + 498) * 12 + 8, -1);
    put32(bytes, (30 * 513 + 40) * 12 + 8, 5);
    const std::string path = temp_path("zero.map");
    write_file(path, bytes);
    Grids g;
    g.read(path);
    kv_map_apply_frame(g.city.data());
    EXPECT_EQ(g.city[kv_map_index(26, 200)], 3);
    EXPECT_EQ(g.city[kv_map_index(200, 498)], 3);
    EXPECT_EQ(g.city[kv_map_index(30, 40)], 5);
    int32_t nonzero_outside = 0, band = 0;
    for (int32_t z = 0; z < KV_MAPSIDE; ++z) {
        for (int32_t x = 0; x < KV_MAPSIDE; ++x) {
            const int32_t c = g.city[kv_map_index(x, z)];
            EXPECT_EQ(g.terrain[kv_map_index(x, z)], 0);
            if (kv_map_in_frame(x, z)) {
                band++;
                EXPECT_EQ(c, 3);
            } else if (c != 0 && !(x == 30 && z == 40)) {
                nonzero_outside++;
            }
        }
    }
    EXPECT_EQ(nonzero_outside, 0);
    // Band edges: 24 and 28 in, 23 and 29 out (x); 34-38 and 496-500 (z); 477-481 (x).
    EXPECT_TRUE(kv_map_in_frame(24, 100));
    EXPECT_TRUE(kv_map_in_frame(28, 100));
    EXPECT_FALSE(kv_map_in_frame(23, 100));
    EXPECT_FALSE(kv_map_in_frame(29, 100));
    EXPECT_TRUE(kv_map_in_frame(481, 100));
    EXPECT_FALSE(kv_map_in_frame(482, 100));
    EXPECT_TRUE(kv_map_in_frame(100, 34));
    EXPECT_FALSE(kv_map_in_frame(100, 33));
    EXPECT_TRUE(kv_map_in_frame(100, 500));
    EXPECT_FALSE(kv_map_in_frame(100, 501));
    // 10 full columns and 10 full rows, minus the 100 crossings counted twice.
    EXPECT_EQ(band, 10 * 513 + 10 * 513 - 100);
    std::remove(path.c_str());
}

TEST(MapFile, StatisticsAndTiles) {
    std::vector<int32_t> terrain(KV_MAPCELLS, 10), city(KV_MAPCELLS, 0);
    terrain[kv_map_index(3, 4)] = -50;
    terrain[kv_map_index(100, 4)] = 200;
    city[kv_map_index(40, 40)] = 4;
    city[kv_map_index(60, 40)] = 4;
    city[kv_map_index(80, 40)] = 9;
    city[kv_map_index(80, 41)] = -1;
    const KVMAPSTATS s = kv_map_stats(terrain.data(), city.data(), 12, 3);
    EXPECT_EQ(s.minheight, -50);
    EXPECT_EQ(s.maxheight, 200);
    EXPECT_EQ(s.belowwater, KV_MAPCELLS - 1);
    EXPECT_EQ(s.citycodes.at(4), 2);
    EXPECT_EQ(s.citycodes.at(-1), 1);
    EXPECT_EQ(s.anchors.at(1), 2);
    EXPECT_EQ(s.anchors.at(6), 1);
    EXPECT_EQ(s.anchors.count(2), 0u);

    EXPECT_EQ(kv_tile_of(0.0f), 0);
    EXPECT_EQ(kv_tile_of(7.99f), 0);
    EXPECT_EQ(kv_tile_of(8.0f), 1);
    EXPECT_EQ(kv_tile_of(-0.5f), -1);
    EXPECT_EQ(kv_tile_of(511.9f), 63);
}

TEST(MapGrid, ReadsOutsideTheGridTakeTheEdge) {
    std::vector<int32_t> terrain(KV_MAPCELLS, 0), city(KV_MAPCELLS, 0);
    terrain[kv_map_index(512, 7)] = 33;
    terrain[kv_map_index(0, 0)] = -4;
    city[kv_map_index(512, 512)] = 2;
    KVMAPVIEW v;
    v.TERRAINMAP = terrain.data();
    v.CITYMAP = city.data();
    EXPECT_EQ(kv_map_terrain(v, 513, 7), 33);
    EXPECT_EQ(kv_map_terrain(v, 100000, 7), 33);
    EXPECT_EQ(kv_map_terrain(v, -1, -1), -4);
    EXPECT_EQ(kv_map_city(v, 512, 512), 2);
    EXPECT_EQ(kv_map_city(v, 513, 512), 0);
    KVMAPVIEW empty;
    EXPECT_EQ(kv_map_terrain(empty, 5, 5), 0);
    EXPECT_EQ(kv_map_city(empty, 5, 5), 0);
}
