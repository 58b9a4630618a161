// Ground triangles, normals, the neighbour table and the gameplay height queries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <utility>

#include <unistd.h>

#include "world/ground.h"
#include "world_fixture.h"

namespace {

float len(const VECTOR3D& v) { return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z); }

void expect_at(const VECTOR3D& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.X, x);
    EXPECT_FLOAT_EQ(v.Y, y);
    EXPECT_FLOAT_EQ(v.Z, z);
}

// A deterministic [0, 1) sequence.
uint32_t lcg_state = 1;
float lcg() {
    lcg_state = lcg_state * 1664525u + 1013904223u;
    return static_cast<float>(lcg_state >> 8) / 16777216.0f;
}
float extreme_low() { return 0.0f; }
float broken() { return NAN; }

KVGROUNDCIRCLEPOLYLOOKUPTYPE g_table[KV_GROUNDLOOKUPSLOTS];

}  // namespace

TEST(GroundTriangles, CellsZeroAndOneFollowTheCheckerboard) {
    TestMap m;
    for (int32_t& h : m.terrain) h = 8;  // h = 2 world units
    const KVMAPVIEW v = m.view();
    KVGROUNDPOLYDATATYPE t;
    // Cell, triangle and the x, z of its three corners (all at height 2). The row stride is
    // odd, so the cell above cell 0 (n = 513) is odd too: diagonal B-D.
    const struct {
        int32_t cell, tri;
        float corners[3][2];
    } cases[] = {{0, 0, {{1, 0}, {0, 0}, {1, 1}}}, {0, 1, {{0, 1}, {1, 1}, {0, 0}}}, {1, 0, {{1, 0}, {1, 1}, {2, 0}}},
                 {1, 1, {{2, 1}, {2, 0}, {1, 1}}}, {513, 0, {{0, 1}, {0, 2}, {1, 1}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE("cell " + std::to_string(c.cell) + " triangle " + std::to_string(c.tri));
        kv_ground_poly(v, nullptr, c.cell, c.tri, t, 0, nullptr);
        const VECTOR3D* corner[3] = {&t.V1, &t.V2, &t.V3};
        for (int k = 0; k < 3; ++k) expect_at(*corner[k], c.corners[k][0], 2, c.corners[k][1]);
    }
    // Without jitter the face normal of flat ground points straight up on both triangles.
    for (int32_t tri = 0; tri < 2; ++tri) {
        kv_ground_poly(v, nullptr, 1000, tri, t, 0, nullptr);
        expect_at(t.FACENORMAL, 0, 1, 0);
        expect_at(t.N2, 0, 1, 0);
    }
}

TEST(GroundTriangles, HeightsComeFromTheRightSamples) {
    TestMap m;
    m.h(10, 20) = 4;   // A
    m.h(10, 21) = 8;   // B
    m.h(11, 21) = 12;  // C
    m.h(11, 20) = 16;  // D
    const int32_t n = kv_map_index(10, 20);
    ASSERT_EQ(n % 2, 0);
    KVGROUNDPOLYDATATYPE t;
    kv_ground_poly(m.view(), nullptr, n, 0, t, 0, nullptr);  // D, A, C
    expect_at(t.V1, 11, 4, 20);
    expect_at(t.V2, 10, 1, 20);
    expect_at(t.V3, 11, 3, 21);
    // The face normal is a unit vector on the upper side of the triangle.
    EXPECT_NEAR(len(t.FACENORMAL), 1.0f, 1e-5f);
    EXPECT_GT(t.FACENORMAL.Y, 0.0f);
}

TEST(GroundTriangles, EdgeCellsReadClampedSamples) {
    TestMap m;
    m.h(512, 512) = 40;
    m.h(512, 511) = 20;
    m.h(511, 512) = 4;
    KVGROUNDPOLYDATATYPE t;
    // Cell (512, 512): B, C and D lie beyond the grid and read the edge samples.
    const int32_t n = kv_map_index(512, 512);
    for (int32_t tri = 0; tri < 2; ++tri) {
        kv_ground_poly(m.view(), nullptr, n, tri, t, 0, nullptr);
        for (const VECTOR3D* p : {&t.V1, &t.V2, &t.V3}) {
            EXPECT_FLOAT_EQ(p->Y, 10.0f);
            EXPECT_TRUE(std::isfinite(p->X));
        }
    }
    // Indices outside the grid are clamped instead of read.
    kv_ground_poly(m.view(), nullptr, KV_MAPCELLS + 5000, 0, t, 1, nullptr);
    EXPECT_FLOAT_EQ(t.V1.Y, 10.0f);
    kv_ground_poly(m.view(), nullptr, -7, 0, t, 1, nullptr);
    EXPECT_FLOAT_EQ(t.V2.X, 0.0f);
    // Column 512 of row 511: the corner at x = 513 takes x = 512.
    kv_ground_poly(m.view(), nullptr, kv_map_index(512, 511), 0, t, 0, nullptr);
    EXPECT_FLOAT_EQ(std::max({t.V1.Y, t.V2.Y, t.V3.Y}), 10.0f);
}

TEST(GroundNormals, JitterStaysSmallAndSmoothingAverages) {
    TestMap m;
    const KVMAPVIEW v = m.view();
    kv_ground_lookup_default(g_table);
    KVGROUNDPOLYDATATYPE t;
    float spread = 0.0f;
    for (int32_t n = 1000; n < 1200; ++n) {
        kv_ground_poly(v, g_table, n, n % 2, t, 1, lcg);
        EXPECT_NEAR(len(t.FACENORMAL), 1.0f, 1e-5f);
        EXPECT_NEAR(t.FACENORMAL.X, 0.0f, 0.04f);
        EXPECT_NEAR(t.FACENORMAL.Z, 0.0f, 0.04f);
        for (const VECTOR3D* nk : {&t.N1, &t.N2, &t.N3}) {
            EXPECT_LE(len(*nk), 1.0f + 1e-5f);  // averages of unit vectors, not renormalised
            EXPECT_GT(len(*nk), 0.99f);
            EXPECT_GT(nk->Y, 0.99f);
        }
        spread = std::max(spread, std::fabs(t.FACENORMAL.X));
    }
    EXPECT_GT(spread, 0.001f);  // the jitter is really there
    // The extreme draw still gives a unit normal; a broken source bends nothing.
    kv_ground_poly(v, g_table, 5000, 0, t, 0, extreme_low);
    EXPECT_NEAR(len(t.FACENORMAL), 1.0f, 1e-5f);
    EXPECT_LT(t.FACENORMAL.X, 0.0f);
    kv_ground_poly(v, g_table, 5000, 0, t, 0, broken);
    expect_at(t.FACENORMAL, 0, 1, 0);
}

TEST(GroundNormals, SmoothedNormalsBlendTheSurroundingFaces) {
    // A ridge along x = 100: the slopes either side face away from each other; the vertex
    // normals on the ridge line blend both and come out upright.
    TestMap m;
    for (int32_t z = 0; z < KV_MAPSIDE; ++z)
        for (int32_t x = 0; x < KV_MAPSIDE; ++x) m.h(x, z) = 400 - 4 * std::abs(x - 100);
    kv_ground_lookup_default(g_table);
    const int32_t n = kv_map_index(100, 50);  // cell right of the ridge; corners A and B on it
    KVGROUNDPOLYDATATYPE plain, smooth;
    int32_t corners[3];
    for (int32_t tri = 0; tri < 2; ++tri) {
        kv_ground_poly(m.view(), g_table, n, tri, plain, 0, nullptr);
        kv_ground_poly(m.view(), g_table, n, tri, smooth, 1, nullptr);
        EXPECT_GT(plain.FACENORMAL.X, 0.5f);  // the right slope faces +X
        kv_ground_triangle_corners(n % 2, tri, corners);
        const VECTOR3D* nk[3] = {&smooth.N1, &smooth.N2, &smooth.N3};
        for (int32_t k = 0; k < 3; ++k) {
            const bool on_ridge = corners[k] == KV_CORNER_A || corners[k] == KV_CORNER_B;
            if (on_ridge) {
                EXPECT_NEAR(nk[k]->X, 0.0f, 1e-4f);
                EXPECT_LT(len(*nk[k]), 1.0f);
            } else {
                EXPECT_NEAR(nk[k]->X, plain.FACENORMAL.X, 1e-4f);
            }
        }
    }
    // With no table (or an all-zero one) smoothing averages the cell's own triangle 0.
    KVGROUNDCIRCLEPOLYLOOKUPTYPE zero[KV_GROUNDLOOKUPSLOTS] = {};
    kv_ground_poly(m.view(), zero, n, 1, smooth, 1, nullptr);
    kv_ground_poly(m.view(), zero, n, 0, plain, 0, nullptr);
    EXPECT_FLOAT_EQ(smooth.N1.X, plain.FACENORMAL.X);
}

TEST(GroundLookup, DefaultTableMatchesTheTriangulation) {
    // (offset, triangle) sets round each corner of each parity.
    const std::set<std::pair<int, int>> expected[8] = {
        {{0, 0}, {0, 1}, {-1, 0}, {-1, 1}, {-513, 0}, {-513, 1}, {-514, 0}, {-514, 1}},
        {{513, 0}, {512, 0}, {0, 1}, {-1, 1}},
        {{514, 0}, {514, 1}, {513, 0}, {513, 1}, {1, 0}, {1, 1}, {0, 0}, {0, 1}},
        {{1, 0}, {0, 0}, {-512, 1}, {-513, 1}},
        {{0, 0}, {-1, 0}, {-513, 1}, {-514, 1}},
        {{513, 0}, {513, 1}, {512, 0}, {512, 1}, {0, 0}, {0, 1}, {-1, 0}, {-1, 1}},
        {{514, 0}, {513, 0}, {1, 1}, {0, 1}},
        {{1, 0}, {1, 1}, {0, 0}, {0, 1}, {-512, 0}, {-512, 1}, {-513, 0}, {-513, 1}},
    };
    kv_ground_lookup_default(g_table);
    for (int k = 0; k < 8; ++k) {
        const int count = expected[k].size();
        std::set<std::pair<int, int>> got;
        for (int j = 0; j < count; ++j) got.insert({g_table[k].POLYFACEMAPINDEX[j], g_table[k].POLYFACEMAPSUBINDEX[j]});
        EXPECT_EQ(got, expected[k]) << "record " << k;
    }
}

TEST(GroundLookup, FileRoundTripAndRefusedValues) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("kv_lookup_" + std::to_string(::getpid()) + ".dat")).string();
    KVGROUNDCIRCLEPOLYLOOKUPTYPE ref[KV_GROUNDLOOKUPSLOTS];
    kv_ground_lookup_default(ref);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    for (int k = 0; k < 8; ++k) {
        for (int j = 0; j < 8; ++j) std::fprintf(f, "%d,%d,", ref[k].POLYFACEMAPINDEX[j], ref[k].POLYFACEMAPSUBINDEX[j]);
        std::fprintf(f, "\"corner %d\"\r\n", k);
    }
    std::fclose(f);
    KVGROUNDCIRCLEPOLYLOOKUPTYPE got[KV_GROUNDLOOKUPSLOTS] = {};
    EXPECT_TRUE(kv_ground_lookup_load(path, got));
    for (int k = 0; k < 8; ++k)
        for (int j = 0; j < 8; ++j) {
            EXPECT_EQ(got[k].POLYFACEMAPINDEX[j], ref[k].POLYFACEMAPINDEX[j]);
            EXPECT_EQ(got[k].POLYFACEMAPSUBINDEX[j], ref[k].POLYFACEMAPSUBINDEX[j]);
        }
    // A triangle number other than 0 or 1 is refused; a short file reports incomplete.
    f = std::fopen(path.c_str(), "wb");
    std::fprintf(f, "5,7,-1,1\n");
    std::fclose(f);
    KVGROUNDCIRCLEPOLYLOOKUPTYPE bad[KV_GROUNDLOOKUPSLOTS] = {};
    EXPECT_FALSE(kv_ground_lookup_load(path, bad));
    EXPECT_EQ(bad[0].POLYFACEMAPINDEX[0], 5);
    EXPECT_EQ(bad[0].POLYFACEMAPSUBINDEX[0], 0);
    EXPECT_EQ(bad[0].POLYFACEMAPINDEX[1], -1);
    EXPECT_EQ(bad[0].POLYFACEMAPSUBINDEX[1], 1);
    // Missing file: the table stays as it was.
    std::remove(path.c_str());
    bad[3].POLYFACEMAPINDEX[2] = 99;
    EXPECT_FALSE(kv_ground_lookup_load(path, bad));
    EXPECT_EQ(bad[3].POLYFACEMAPINDEX[2], 99);
    // Even wild offsets from a damaged table never read outside the grid.
    for (auto& rec : bad)
        for (int j = 0; j < 9; ++j) rec.POLYFACEMAPINDEX[j] = j % 2 ? 2000000000 : -2000000000;
    TestMap m;
    KVGROUNDPOLYDATATYPE t;
    kv_ground_poly(m.view(), bad, 0, 0, t, 1, nullptr);
    EXPECT_FLOAT_EQ(t.N1.Y, 1.0f);  // nothing usable: the face normal stays
}

TEST(GroundHeights, FindMapYReadsTheLowerCornerAndKeepsAboveWater) {
    TestMap m;
    m.waterheight = 20;  // water surface (20 + 10) * 0.25 = 7.5
    m.h(10, 20) = 100;
    m.h(11, 20) = 999;
    m.h(10, 21) = 999;
    m.h(3, 3) = -40;
    m.h(4, 4) = -40;
    m.c(4, 4) = 1;
    const KVMAPVIEW v = m.view();
    EXPECT_FLOAT_EQ(kv_find_map_y(v, 10.9f, 20.99f), 25.0f);
    EXPECT_FLOAT_EQ(kv_find_map_y(v, 10.0f, 20.0f), 25.0f);
    EXPECT_FLOAT_EQ(kv_find_map_y(v, 3.5f, 3.5f), 7.5f);
    EXPECT_FLOAT_EQ(kv_find_map_y_nospacer(v, 3.5f, 3.5f), -10.0f);
    EXPECT_FLOAT_EQ(kv_find_map_y_nospacer(v, 4.5f, 4.5f), 7.5f);  // paved: raised
    EXPECT_FLOAT_EQ(kv_find_map_y_nospacer(v, 10.5f, 20.5f), 25.0f);
    // Positions off the map read the nearest edge sample; non-numbers read sample 0.
    m.h(0, 0) = 80;
    m.h(512, 512) = 60;
    EXPECT_FLOAT_EQ(kv_find_map_y(v, -3.0f, -0.5f), 20.0f);
    EXPECT_FLOAT_EQ(kv_find_map_y(v, 700.0f, 1e30f), 15.0f);
    EXPECT_FLOAT_EQ(kv_find_map_y(v, NAN, INFINITY), 20.0f);
}

TEST(GroundHeights, GunshipHeightClampsEasesAndBobs) {
    TestMap m;
    m.waterheight = 20;  // surface 7.5
    const KVMAPVIEW v = m.view();
    KVGUNSHIPHEIGHT g;
    g.PLAYERX = 600;
    g.PLAYERZ = -5;
    g.PLAYERY = 0;
    kv_find_gunship_y(v, g, 1.0f);
    EXPECT_FLOAT_EQ(g.PLAYERX, 511.0f);
    EXPECT_FLOAT_EQ(g.PLAYERZ, 0.0f);
    // Flying (L = 1): target = 15 * 0.25 + 7.5 + sin(0) = 11.25; a tenth of the way.
    EXPECT_FLOAT_EQ(g.PLAYERY, 1.125f);
    EXPECT_FLOAT_EQ(g.PLAYERHOVERCYCLE, 0.05f);
    EXPECT_FLOAT_EQ(g.GUNSHIPLANDRATIO, 1.0f);

    // All four samples negative and the water level below zero: the ground term is 0.
    TestMap low;
    low.waterheight = -100;  // surface -22.5
    for (int32_t& h : low.terrain) h = -8;
    KVGUNSHIPHEIGHT l;
    l.PLAYERX = 50.5f;
    l.PLAYERZ = 60.5f;
    l.PLAYERY = 0;
    l.GUNSHIPLANDRATIO = 0;
    l.GUNSHIPLANDED = 1;
    l.PLAYERHOVERCYCLE = 3;
    kv_find_gunship_y(low.view(), l, 2.0f);
    EXPECT_FLOAT_EQ(l.PLAYERY, 0.1f * 7.0f * 0.25f);
    EXPECT_FLOAT_EQ(l.GUNSHIPLANDRATIO, 0.0f);
    EXPECT_FLOAT_EQ(l.PLAYERHOVERCYCLE, 0.0f);

    // The highest of the four samples under the gunship counts; the landing ratio rises by
    // 0.025 per frame unit and the bob follows sin of the cycle.
    TestMap hill;
    hill.h(51, 61) = 80;  // 20 units
    KVGUNSHIPHEIGHT h;
    h.PLAYERX = 50.2f;
    h.PLAYERZ = 60.7f;
    h.PLAYERY = 20.0f;
    h.GUNSHIPLANDRATIO = 0.5f;
    h.PLAYERHOVERCYCLE = 1.0f;
    kv_find_gunship_y(hill.view(), h, 2.0f);
    const float target = (15 * 0.5f - 7 * 0.5f + 7) * 0.25f + 20.0f + std::sin(1.0f) * 0.5f * 0.25f;
    EXPECT_NEAR(h.PLAYERY, 20.0f + (target - 20.0f) * 0.1f, 1e-5f);
    EXPECT_FLOAT_EQ(h.GUNSHIPLANDRATIO, 0.55f);
    EXPECT_FLOAT_EQ(h.PLAYERHOVERCYCLE, 1.1f);
    // Non-numbers are pulled onto the map rather than used as indices.
    h.PLAYERX = NAN;
    h.PLAYERZ = INFINITY;
    kv_find_gunship_y(hill.view(), h, 1.0f);
    EXPECT_FLOAT_EQ(h.PLAYERX, 0.0f);
    EXPECT_FLOAT_EQ(h.PLAYERZ, 511.0f);
}
