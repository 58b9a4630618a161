// Which buildings a tile draws: anchors, base height, far-corner rule, facades and detail.
#include <gtest/gtest.h>

#include "world/buildings.h"
#include "world_fixture.h"

namespace {
int32_t g_sizes[21] = {0, 4, 8, 12, 16, 4, 16};
}

TEST(BuildingFacades, OnlyThoseThatCanFaceTheGunship) {
    const float cx = 102, cz = 202;
    EXPECT_EQ(kv_building_facades(cx, cz, cx, cz), KV_FACADE_NORTH | KV_FACADE_SOUTH | KV_FACADE_EAST | KV_FACADE_WEST);
    // 10 units north (towards -Z): north, east and west.
    EXPECT_EQ(kv_building_facades(cx, cz - 10, cx, cz), KV_FACADE_NORTH | KV_FACADE_EAST | KV_FACADE_WEST);
    EXPECT_EQ(kv_building_facades(cx, cz + 10, cx, cz), KV_FACADE_SOUTH | KV_FACADE_EAST | KV_FACADE_WEST);
    EXPECT_EQ(kv_building_facades(cx + 10, cz, cx, cz), KV_FACADE_EAST | KV_FACADE_NORTH | KV_FACADE_SOUTH);
    EXPECT_EQ(kv_building_facades(cx - 10, cz, cx, cz), KV_FACADE_WEST | KV_FACADE_NORTH | KV_FACADE_SOUTH);
    EXPECT_EQ(kv_building_facades(cx - 10, cz - 10, cx, cz), KV_FACADE_WEST | KV_FACADE_NORTH);
    // The 5-unit margin is strict.
    EXPECT_EQ(kv_building_facades(cx, cz + 5, cx, cz) & KV_FACADE_NORTH, 0);
    EXPECT_NE(kv_building_facades(cx, cz + 4.9f, cx, cz) & KV_FACADE_NORTH, 0);
}

TEST(BuildingPlacement, AnchorsBaseHeightAndFarCorner) {
    TestMap m;
    for (int32_t& h : m.terrain) h = 4;
    m.c(17, 18) = 4;   // class 1, size 4, tile (2, 2)
    m.h(19, 19) = 40;  // highest footprint sample: 10 units
    m.c(20, 16) = 6;   // class 3, size 12
    m.c(22, 22) = 5;   // class 2 with its far corner at 0: not drawn
    m.h(22 + 7, 22 + 7) = 0;
    m.c(23, 17) = 30;  // no such class
    m.c(23, 19) = 9;   // class 6, but the table says not loaded
    int32_t sizes[21];
    std::copy(std::begin(g_sizes), std::end(g_sizes), sizes);
    sizes[6] = 0;
    KVBUILDINGDRAW out[64];
    const int32_t n = kv_tile_buildings(m.view(), sizes, 2, 2, 19, 20, 0.0f, out);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(out[0].CLASS, 1);
    EXPECT_EQ(out[0].X, 17);
    EXPECT_EQ(out[0].Z, 18);
    EXPECT_FLOAT_EQ(out[0].H, 10.0f);
    EXPECT_EQ(out[0].FACADES, 15);  // the gunship stands on its centre
    EXPECT_EQ(out[0].LOW, 1);       // level-of-detail range 0: always low
    EXPECT_EQ(out[1].CLASS, 3);
    EXPECT_EQ(out[1].FACADES, 0);   // single mesh
    EXPECT_FLOAT_EQ(out[1].H, 1.0f);
    // Its footprint reaches into tile (3, 3), which does not draw it.
    EXPECT_EQ(kv_tile_buildings(m.view(), sizes, 3, 3, 19, 20, 0.0f, out), 0);
    // Off-map tiles draw nothing.
    EXPECT_EQ(kv_tile_buildings(m.view(), sizes, 64, 0, 0, 0, 0.0f, out), 0);
}

TEST(BuildingPlacement, FarCornerDecidesEvenWhenOthersAreHigh) {
    TestMap m;
    for (int32_t& h : m.terrain) h = 40;
    m.c(8, 8) = 4;
    m.h(11, 11) = 0;  // far corner at 0
    KVBUILDINGDRAW out[64];
    EXPECT_EQ(kv_tile_buildings(m.view(), g_sizes, 1, 1, 0, 0, 0.0f, out), 0);
    m.h(11, 11) = 1;
    EXPECT_EQ(kv_tile_buildings(m.view(), g_sizes, 1, 1, 0, 0, 0.0f, out), 1);
    // Anchored at the map's far edge: the footprint leaves the grid, the last sample inside
    // decides and nothing is read outside.
    m.c(511, 511) = 7;  // class 4, size 16
    EXPECT_EQ(kv_tile_buildings(m.view(), g_sizes, 63, 63, 0, 0, 0.0f, out), 1);
}

TEST(BuildingPlacement, DetailSwitchesWithDistance) {
    TestMap m;
    for (int32_t& h : m.terrain) h = 4;
    m.c(8, 8) = 5;  // class 2 anchored at (8, 8)
    KVBUILDINGDRAW out[64];
    // lodrange 120 -> switch distance 12.
    ASSERT_EQ(kv_tile_buildings(m.view(), g_sizes, 1, 1, 8 + 11.9f, 8, 120.0f, out), 1);
    EXPECT_EQ(out[0].LOW, 0);
    ASSERT_EQ(kv_tile_buildings(m.view(), g_sizes, 1, 1, 8 + 12.0f, 8, 120.0f, out), 1);
    EXPECT_EQ(out[0].LOW, 1);
    EXPECT_TRUE(kv_building_assembled(1));
    EXPECT_TRUE(kv_building_assembled(2));
    EXPECT_TRUE(kv_building_assembled(5));
    EXPECT_FALSE(kv_building_assembled(3));
    EXPECT_FALSE(kv_building_assembled(6));
}
