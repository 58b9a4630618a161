// Segment font cell shapes, checked without OpenGL: areas, winding, placement in the cell and
// that each quarter disc and its concave partner tile the cell exactly.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/fontdb.h"

namespace {

float signed_area(const FONTDB_TRIANGLE& t) {
    return 0.5f * ((t.X[1] - t.X[0]) * (t.Y[2] - t.Y[0]) - (t.X[2] - t.X[0]) * (t.Y[1] - t.Y[0]));
}

float shape_area(char cell, float x = 0.0f, float y = 0.0f) {
    FONTDB_TRIANGLE tris[FONTDB_MAX_TRIANGLES];
    int32_t n = fontdb_segment_triangles(cell, x, y, tris);
    float a = 0.0f;
    for (int32_t i = 0; i < n; ++i) a += signed_area(tris[i]);
    return a;
}

bool inside_triangle(const FONTDB_TRIANGLE& t, float px, float py) {
    auto edge = [&](int a, int b) {
        return (t.X[b] - t.X[a]) * (py - t.Y[a]) - (t.Y[b] - t.Y[a]) * (px - t.X[a]);
    };
    return edge(0, 1) > 0 && edge(1, 2) > 0 && edge(2, 0) > 0;
}

bool covers(char cell, float x, float y, float px, float py) {
    FONTDB_TRIANGLE tris[FONTDB_MAX_TRIANGLES];
    int32_t n = fontdb_segment_triangles(cell, x, y, tris);
    for (int32_t i = 0; i < n; ++i)
        if (inside_triangle(tris[i], px, py)) return true;
    return false;
}

// Area of a quarter disc built from 8 chords of the unit circle.
const float kFanArea = 4.0f * std::sin(3.14159f / 16.0f);

}  // namespace

TEST(SegmentGeometry, AreasAndCounterClockwiseWinding) {
    EXPECT_NEAR(shape_area('B'), 1.0f, 1e-6f);
    for (char c : {'F', 'O', 'W', 'T'}) EXPECT_NEAR(shape_area(c), kFanArea, 1e-4f) << c;
    for (char c : {'f', 'o', 'w', 't'}) EXPECT_NEAR(shape_area(c), 1.0f - kFanArea, 1e-4f) << c;
    for (char c : {'B', 'F', 'O', 'W', 'T', 'f', 'o', 'w', 't'}) {
        FONTDB_TRIANGLE tris[FONTDB_MAX_TRIANGLES];
        int32_t n = fontdb_segment_triangles(c, 3.0f, -2.0f, tris);
        EXPECT_EQ(n, c == 'B' ? 2 : 8) << c;
        for (int32_t i = 0; i < n; ++i) {
            EXPECT_GE(signed_area(tris[i]), 0.0f) << c << " triangle " << i;
            for (int v = 0; v < 3; ++v) {
                EXPECT_GE(tris[i].X[v], 3.0f - 1e-4f) << c;
                EXPECT_LE(tris[i].X[v], 4.0f + 1e-4f) << c;
                EXPECT_GE(tris[i].Y[v], -2.0f - 1e-4f) << c;
                EXPECT_LE(tris[i].Y[v], -1.0f + 1e-4f) << c;
            }
        }
    }
    FONTDB_TRIANGLE tris[FONTDB_MAX_TRIANGLES];
    EXPECT_EQ(fontdb_segment_triangles('0', 0, 0, tris), 0);
    EXPECT_EQ(fontdb_segment_triangles('X', 0, 0, tris), 0);
}

TEST(SegmentGeometry, QuarterDiscsFillTowardsTheirOpenSide) {
    const float x = 2.0f, y = 1.0f;
    // F: centred at the lower-left corner.
    EXPECT_TRUE(covers('F', x, y, x + 0.1f, y + 0.1f));
    EXPECT_FALSE(covers('F', x, y, x + 0.9f, y + 0.9f));
    // O: centred at the upper-left corner.
    EXPECT_TRUE(covers('O', x, y, x + 0.1f, y + 0.9f));
    EXPECT_FALSE(covers('O', x, y, x + 0.9f, y + 0.1f));
    // W: centred at the upper-right corner.
    EXPECT_TRUE(covers('W', x, y, x + 0.9f, y + 0.9f));
    EXPECT_FALSE(covers('W', x, y, x + 0.1f, y + 0.1f));
    // T: centred at the lower-right corner.
    EXPECT_TRUE(covers('T', x, y, x + 0.9f, y + 0.1f));
    EXPECT_FALSE(covers('T', x, y, x + 0.1f, y + 0.9f));
    // Concave shapes keep their own corner and leave the middle empty.
    EXPECT_TRUE(covers('f', x, y, x + 0.05f, y + 0.05f));
    EXPECT_TRUE(covers('o', x, y, x + 0.05f, y + 0.95f));
    EXPECT_TRUE(covers('w', x, y, x + 0.95f, y + 0.95f));
    EXPECT_TRUE(covers('t', x, y, x + 0.95f, y + 0.05f));
    for (char c : {'f', 'o', 'w', 't'}) EXPECT_FALSE(covers(c, x, y, x + 0.5f, y + 0.5f)) << c;
}

TEST(SegmentGeometry, EachDiscAndItsConcavePartnerTileTheCell) {
    const std::pair<char, char> pairs[] = {{'F', 'w'}, {'O', 't'}, {'W', 'f'}, {'T', 'o'}};
    for (auto [disc, concave] : pairs) {
        int both = 0, neither = 0;
        for (int i = 0; i < 40; ++i)
            for (int j = 0; j < 40; ++j) {
                float px = (i + 0.37f) / 40.0f, py = (j + 0.61f) / 40.0f;
                bool a = covers(disc, 0, 0, px, py), b = covers(concave, 0, 0, px, py);
                both += a && b;
                neither += !a && !b;
            }
        EXPECT_EQ(both, 0) << disc << concave;
        EXPECT_EQ(neither, 0) << disc << concave;
    }
}
