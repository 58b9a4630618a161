// Bitmap font: the inked-column rule, loading glyph images (with missing, wrongly sized and
// empty ones turned into blank glyphs), text measurement, and drawn text read back from the
// frame at the place and width the measurement gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_globals.h"
#include "engine/font.h"
#include "engine/png_write.h"
#include "font_view.h"

namespace {

// A 16 x 16 glyph image (rows top first): background exactly (255, 255, 255, 0) and white
// opaque ink in columns [c0, c1] of rows [r0, r1].
std::vector<uint8_t> glyph(int c0, int c1, int r0 = 0, int r1 = 15) {
    std::vector<uint8_t> px(16 * 16 * 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = &px[4 * (y * 16 + x)];
            bool ink = x >= c0 && x <= c1 && y >= r0 && y <= r1;
            p[0] = p[1] = p[2] = 255;
            p[3] = ink ? 255 : 0;
        }
    return px;
}

int32_t width_of(const std::vector<uint8_t>& px, int32_t& left, int32_t& right) {
    return font_inked_columns(px.data(), left, right);
}

// Glyph images for 'H' (columns 2-13), 'i' (column 7 only), the space (empty), a 'J' of the
// wrong size and an undecodable 'K'; every other code is missing.
std::string make_font_dir() {
    std::string dir = std::string(KV_BUILD_DIR) + "/test_fonts_glyphs/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    png_write_file(dir + "72.png", 16, 16, 4, glyph(2, 13, 1, 14).data());
    png_write_file(dir + "105.png", 16, 16, 4, glyph(7, 7).data());
    png_write_file(dir + "32.png", 16, 16, 4, glyph(1, 0).data());
    std::vector<uint8_t> small(8 * 8 * 4, 255);
    png_write_file(dir + "74.png", 8, 8, 4, small.data());
    FILE* f = std::fopen((dir + "75.png").c_str(), "wb");
    std::fputs("not a png", f);
    std::fclose(f);
    return dir;
}

}  // namespace

TEST(BitmapFontColumns, InkedColumnRuleWithWidening) {
    int32_t l = 0, r = 0;
    EXPECT_EQ(width_of(glyph(7, 7), l, r), 6);      // one column: 6 - 2 .. 7 + 2
    EXPECT_EQ(l, 4);
    EXPECT_EQ(r, 9);
    EXPECT_EQ(width_of(glyph(2, 13), l, r), 13);    // left moved one column out
    EXPECT_EQ(l, 1);
    EXPECT_EQ(r, 13);
    EXPECT_EQ(width_of(glyph(0, 15), l, r), 16);    // left cannot go below 0
    EXPECT_EQ(l, 0);
    EXPECT_EQ(r, 15);
    EXPECT_EQ(width_of(glyph(5, 7), l, r), 4);      // span 3 after the move: not widened
    EXPECT_EQ(l, 4);
    EXPECT_EQ(r, 7);
    EXPECT_EQ(width_of(glyph(5, 6), l, r), 7);      // span 2: widened
    EXPECT_EQ(l, 2);
    EXPECT_EQ(r, 8);

    // Any pixel other than exact transparent white counts, even a fully transparent black one.
    std::vector<uint8_t> px = glyph(1, 0);
    px[4 * (3 * 16 + 11) + 0] = 0;
    EXPECT_EQ(width_of(px, l, r), 6);
    EXPECT_EQ(r, 13);

    // An image without ink would come out with a negative width; it is a blank of the
    // narrowest width instead.
    EXPECT_EQ(width_of(glyph(1, 0), l, r), FONT_BLANK_WIDTH);
    EXPECT_GE(r, l);
}

class BitmapFontTest : public FontGlTest {
protected:
    void SetUp() override {
        FontGlTest::SetUp();
        if (IsSkipped()) return;
        static bool loaded = false;
        if (!loaded) {
            testing::internal::CaptureStderr();
            font_load_directory(make_font_dir());
            load_log_ = testing::internal::GetCapturedStderr();
            loaded = true;
        }
    }
    static inline std::string load_log_;
};

TEST_F(BitmapFontTest, LoadSetsMetricsAndBlanksForBadGlyphs) {
    EXPECT_EQ(FONTWIDTH, 16);
    EXPECT_EQ(FONTHEIGHT, 16);
    EXPECT_EQ(FONTDATA.WIDTH, 16);
    EXPECT_EQ(FONTDATA.XSCALE, 0.75f);
    EXPECT_EQ(FONTDATA.YSCALE, 0.75f);
    EXPECT_EQ(CHARWIDTH['H' - 32], 13);
    EXPECT_EQ(CHARWIDTH['i' - 32], 6);
    EXPECT_EQ(CHARWIDTH[0], 10);                    // the space, always 10
    EXPECT_EQ(CHARWIDTH['J' - 32], FONT_BLANK_WIDTH);   // wrong size
    EXPECT_EQ(CHARWIDTH['K' - 32], FONT_BLANK_WIDTH);   // undecodable
    EXPECT_EQ(CHARWIDTH['A' - 32], FONT_BLANK_WIDTH);   // missing
    for (int s = 0; s < 95; ++s) {
        EXPECT_NE(FONTIMG[s], 0u) << s;
        EXPECT_NE(FONTDL[s], 0u) << s;
    }
    EXPECT_NE(load_log_.find("74.png: glyph is 8x8"), std::string::npos) << load_log_;
    EXPECT_NE(load_log_.find("75.png: glyph not loaded"), std::string::npos) << load_log_;
    EXPECT_NE(load_log_.find("65.png: glyph not loaded"), std::string::npos) << load_log_;
    EXPECT_EQ(load_log_.find("72.png"), std::string::npos) << load_log_;
}

TEST_F(BitmapFontTest, MeasurementRoundsPerCharacterAndDrawingOnce) {
    int32_t w = -1, h = -1;
    FONT_XY(w, h, "");
    EXPECT_EQ(w, -1);   // empty text leaves both untouched
    EXPECT_EQ(h, -1);
    EXPECT_EQ(FONT_DRAW(5, 5, ""), 0);

    FONT_XY(w, h, "HH");
    EXPECT_EQ(w, 20);   // round(9.75) = 10, round(10 + 9.75) = 20
    EXPECT_EQ(h, 12);
    EXPECT_EQ(FONT_DRAW(0, 0, "HH"), 20);   // round(26 x 0.75 = 19.5) to even

    FONT_XY(w, h, "  ");
    EXPECT_EQ(w, 16);   // round(7.5) = 8, round(15.5) = 16
    EXPECT_EQ(FONT_DRAW(0, 0, "  "), 15);   // 20 x 0.75, rounded once

    // Characters outside 32-126 have no glyph and are skipped.
    int32_t w2 = 0;
    FONT_XY(w, h, "Hi");
    FONT_XY(w2, h, std::string("H\x01i\x7f\xff", 5));
    EXPECT_EQ(w2, w);
    EXPECT_EQ(FONT_DRAW(0, 0, std::string("\x01\x02", 2)), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BitmapFontTest, DrawnTextLiesWhereAndAsWideAsMeasured) {
    const int x = 30, y = 20;
    int32_t drawn = FONT_DRAW(x, y, "HHH");
    int32_t w = 0, h = 0;
    FONT_XY(w, h, "HHH");
    auto box = lit_box(read_red());
    ASSERT_GT(box.lit, 0);
    // Ink runs from the glyph's first inked column to the last glyph's last one.
    EXPECT_GE(box.left, x);
    EXPECT_LE(box.left, x + 2);
    EXPECT_LE(box.right, x + drawn);
    EXPECT_GE(box.right, x + drawn - 2);
    EXPECT_LE(box.right, x + w);
    // Rows 1-14 of the 16-pixel cell are inked; the cell is 12 pixels high.
    EXPECT_GE(box.top, y);
    EXPECT_LE(box.top, y + 2);
    EXPECT_LE(box.bottom, y + h);
    EXPECT_GE(box.bottom, y + h - 2);
}

TEST_F(BitmapFontTest, GridPrintUsesTwelvePixelCellsAndBlankGlyphsDrawNothing) {
    int32_t drawn = FPRINT(3, 2, "H");
    auto box = lit_box(read_red());
    EXPECT_EQ(drawn, 10);   // round(13 x 0.75)
    EXPECT_GE(box.left, 36);
    EXPECT_LE(box.left, 38);
    EXPECT_GE(box.top, 24);
    EXPECT_LE(box.top, 26);

    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(FONT_DRAW(10, 10, "AJK"), 11);   // three blanks of width 5: round(11.25)
    EXPECT_EQ(lit_box(read_red()).lit, 0);
}
