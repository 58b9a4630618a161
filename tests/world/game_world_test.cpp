// The game's world entry points on the global records: loading the shipped map and neighbour
// table, height following through the globals, and tile compilation bookkeeping.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <utility>
#include <vector>
#include <string>

#include <unistd.h>

#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "platform/random.h"
#include "world/buildings.h"
#include "world/ground.h"
#include "world/map.h"
#include "world/terrain.h"
#include "game/world.h"
#include "world/world_globals.h"
#include "world_fixture.h"
#include "support/files.h"

namespace {

const std::string kGameDir = KV_GAME_DIR;

bool game_map_present() { return std::filesystem::exists(kGameDir + "/0.map"); }

void reset_world() {
    KVGLOBALS.TERRAINMAP.clear();
    KVGLOBALS.FORESTMAP.clear();
    KVGLOBALS.CITYMAP.clear();
    KVGLOBALS.BUILDINGMAP.clear();
    KVGLOBALS.WATERHEIGHT = 0;
    KVGLOBALS.MAPSCALE = 0.25f;
    KVGLOBALS.WATERSPACER = 10.0f;
    KVGLOBALS.TOTALLOADEDTILES = 0;
    for (auto& row : KVMAPCOMPILED)
        for (auto& v : row) v = 0;
}

}  // namespace

TEST(WorldGlobals, LoadingAMapAllocatesAndFramesIt) {
    reset_world();
    // Loading before the grids exist allocates them instead of writing into nothing; a missing
    // file still gets the frame.
    KV_LOAD_MISSIONMAP("/nonexistent/0.map");
    ASSERT_EQ(KVGLOBALS.CITYMAP.size(), static_cast<size_t>(KV_MAPCELLS));
    EXPECT_EQ(KVGLOBALS.CITYMAP[kv_map_index(26, 200)], 3);
    EXPECT_EQ(KVGLOBALS.CITYMAP[kv_map_index(200, 498)], 3);
    EXPECT_EQ(KVGLOBALS.CITYMAP[kv_map_index(30, 40)], 0);
    EXPECT_EQ(KVGLOBALS.BUILDINGMAP.size(), static_cast<size_t>(KV_MAPCELLS));
    EXPECT_FLOAT_EQ(KV_FINDMAPY(100, 100), 2.5f);  // flat 0 under a water surface of 2.5
}

TEST(WorldGlobals, ShippedMapAndNeighbourTable) {
    if (!game_map_present()) GTEST_SKIP() << "no generated map in " << kGameDir;
    reset_world();
    KV_LOAD_MISSIONMAP(kGameDir + "/0.map");
    // The frame is there whatever the generator put in those cells.
    for (int32_t z = 0; z < KV_MAPSIDE; z += 7) EXPECT_EQ(KVGLOBALS.CITYMAP[kv_map_index(24, z)], 3);
    // The heights follow the grid: a gameplay query equals the sample, at least the surface.
    const float surface = (KVGLOBALS.WATERHEIGHT + 10) * 0.25f;
    for (int32_t k = 0; k < 50; ++k) {
        const int32_t x = 40 + k * 8, z = 60 + k * 7;
        const float h = KVGLOBALS.TERRAINMAP[kv_map_index(x, z)] * 0.25f;
        EXPECT_FLOAT_EQ(KV_FINDMAPY(x + 0.5f, z + 0.5f), std::max(h, surface));
    }
    // The shipped neighbour table says what the triangulation implies.
    KVGROUNDCIRCLEPOLYLOOKUPTYPE shipped[KV_GROUNDLOOKUPSLOTS] = {}, implied[KV_GROUNDLOOKUPSLOTS] = {};
    ASSERT_TRUE(kv_ground_lookup_load(kGameDir + "/data/KVGroundCirclePolyLookup.dat", shipped));
    kv_ground_lookup_default(implied);
    for (int32_t k = 0; k < 8; ++k) {
        const int32_t count = (k == 0 || k == 2 || k == 5 || k == 7) ? 8 : 4;
        std::multiset<std::pair<int32_t, int32_t>> a, b;
        for (int32_t j = 0; j < count; ++j) {
            a.insert({shipped[k].POLYFACEMAPINDEX[j], shipped[k].POLYFACEMAPSUBINDEX[j]});
            b.insert({implied[k].POLYFACEMAPINDEX[j], implied[k].POLYFACEMAPSUBINDEX[j]});
        }
        EXPECT_EQ(a, b) << "record " << k;
    }
}

TEST(WorldGlobals, GunshipHeightWorksOnTheGlobals) {
    reset_world();
    KV_LOAD_MISSIONMAP("/nonexistent/0.map");
    KVGLOBALS.TERRAINMAP[kv_map_index(511, 10)] = 100;
    KVGLOBALS.PLAYERX = 600;
    KVGLOBALS.PLAYERZ = 10.5f;
    KVGLOBALS.PLAYERY = 0;
    KVGLOBALS.GUNSHIPHOVERY = 15;
    KVGLOBALS.GUNSHIPLANDRATIO = 1;
    KVGLOBALS.GUNSHIPLANDED = 0;
    KVGLOBALS.PLAYERHOVERCYCLE = 0;
    FPSR = 1.0f;
    KV_FINDGUNSHIPY();
    EXPECT_FLOAT_EQ(KVGLOBALS.PLAYERX, 511.0f);
    EXPECT_FLOAT_EQ(KVGLOBALS.PLAYERY, (3.75f + 25.0f) * 0.1f);
    EXPECT_FLOAT_EQ(KVGLOBALS.PLAYERHOVERCYCLE, 0.05f);
}

TEST(WorldGlobals, TileCompilationIsCountedAndDeterministicForASeed) {
    reset_world();
    KV_LOAD_MISSIONMAP("/nonexistent/0.map");
    kv_ground_lookup_default(KVGROUNDCIRCLEPOLYLOOKUP);
    Recorder a, b;
    platform_random_seed(7);
    kv_render_mapdl_to(5, 6, a.sink());
    platform_random_seed(7);
    kv_render_mapdl_to(5, 6, b.sink());
    EXPECT_EQ(KVMAPCOMPILED[5][6], 1);
    EXPECT_EQ(KVGLOBALS.TOTALLOADEDTILES, 2);
    ASSERT_EQ(a.vertices.size(), 128u * 3);
    ASSERT_EQ(a.vertices.size(), b.vertices.size());
    for (size_t k = 0; k < a.vertices.size(); ++k) EXPECT_EQ(a.vertices[k].nx, b.vertices[k].nx);
    // Off-map tiles are refused without touching the tables.
    kv_render_mapdl_to(64, 0, a.sink());
    kv_render_mapdl_to(-1, 3, a.sink());
    EXPECT_EQ(KVGLOBALS.TOTALLOADEDTILES, 2);
}

TEST(KvdataMap, PrintsTheStatisticsOfAMapFile) {
    const std::string kvdata = kGameDir + "/kvdata";
    if (!std::filesystem::exists(kvdata)) GTEST_SKIP() << "kvdata not built";
    const std::string path =
        (std::filesystem::temp_directory_path() / ("kv_stats_" + std::to_string(::getpid()) + ".map")).string();
    std::vector<unsigned char> bytes(KV_MAPFILEBYTES, 0);
    auto put = [&](size_t off, int32_t v) {
        for (int k = 0; k < 4; ++k) bytes[off + k] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * k));
    };
    put((100 * 513 + 100) * 12, 160);       // height 160 at (100, 100)
    put((101 * 513 + 100) * 12, -30);       // height -30 at (101, 100)
    put((200 * 513 + 200) * 12 + 8, 5);     // one class 2 anchor
    put((210 * 513 + 200) * 12 + 8, 5);     // and another
    put(KV_MAPTRAILEROFFSET, 12);           // water level
    write_file_text(path, std::string(bytes.begin(), bytes.end()));
    CommandResult r = run_command(kvdata + " map " + path);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("height range -30 to 160"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("water level 12"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("class  2 (code  5)      2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("3 solid ground"), std::string::npos) << r.out;
    // A short file is read as far as it goes and says so through the exit status.
    bytes.resize(1000);
    write_file_text(path, std::string(bytes.begin(), bytes.end()));
    r = run_command(kvdata + " map " + path);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("short file"), std::string::npos) << r.out;
    std::remove(path.c_str());
}
