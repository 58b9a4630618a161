// Segment font: reading a glyph file into both sets, text widths, the cut-short glyph report,
// a missing file, and the drawn glyph read back from the frame.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "engine/engine_globals.h"
#include "engine/fontdb.h"
#include "font_view.h"

namespace {

std::string write_font_file(const std::string& name, const std::string& text) {
    std::string path = std::string(KV_BUILD_DIR) + "/test_fonts_" + name;
    std::ofstream f(path, std::ios::binary);
    f << text;
    return path;
}

// A: only the first three columns; B: full width; '-': a bar in the middle row.
const char* kFont =
    "' segment font fixture\r\n"
    "'\r\n"
    "A\r\n"
    "0BF00\r\n"
    "BwB00\r\n"
    "B0B00\r\n"
    "BBB00\r\n"
    "B0B00\r\n"
    "B0B00\r\n"
    "B0B00\r\n"
    "B\r\n"
    "BBBB0\r\n"
    "'abcd\r\n"
    "B000B\r\n"
    "B000B\r\n"
    "BBBB0\r\n"
    "B000B\r\n"
    "B000B\r\n"
    "BBBB0\r\n"
    "-\r\n"
    "00000\r\n"
    "00000\r\n"
    "00000\r\n"
    "0BBB0\r\n"
    "00000\r\n"
    "00000\r\n"
    "00000\r\n";

}  // namespace

class SegmentFontTest : public FontGlTest {
protected:
    // Loads the test font (its console lines dropped) and maps glyph units to 8 pixels, y up,
    // with the origin at pixel (16, 48) of the y-down view: glyph rows y = 4 .. -2 land between
    // pixel rows 8 and 64.
    static void load_font_at_8_pixels_a_unit() {
        testing::internal::CaptureStderr();
        INITIALIZE_FONTDB(write_font_file("font.dat", kFont));
        testing::internal::GetCapturedStderr();
        glLoadIdentity();
        glTranslatef(16.0f, 48.0f, 0.0f);
        glScalef(8.0f, -8.0f, 1.0f);
    }
};

TEST_F(SegmentFontTest, GlyphWidthsAndTextLengths) {
    testing::internal::CaptureStderr();
    INITIALIZE_FONTDB(write_font_file("font.dat", kFont));
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.find("Font Load Error"), std::string::npos) << out;

    ASSERT_EQ(FONTDB.size(), 46u);
    ASSERT_EQ(FONTDB_G.size(), 46u);
    EXPECT_EQ(FONTDB[0].WIDTH, 2);    // A uses columns 0-2
    EXPECT_EQ(FONTDB[1].WIDTH, 4);    // B
    EXPECT_EQ(FONTDB[38].WIDTH, 3);   // '-'
    EXPECT_NE(FONTDB[0].DL, 0);
    EXPECT_NE(FONTDB_G[0].DL, 0);
    EXPECT_NE(FONTDB[0].DL, FONTDB_G[0].DL);
    EXPECT_EQ(FONTDB[2].DL, 0);       // C not defined

    EXPECT_EQ(FONTDB_LEN("A"), 4);
    EXPECT_EQ(FONTDB_LEN("AB"), 2 + 2 + 4 + 2);
    EXPECT_EQ(FONTDB_LEN("ab"), FONTDB_LEN("AB"));   // lower case prints as upper case
    EXPECT_EQ(FONTDB_LEN(" "), 5);
    EXPECT_EQ(FONTDB_LEN("1"), 0);                    // digits are not in the font
    EXPECT_EQ(FONTDB_LEN("A-1 B"), 4 + 5 + 0 + 5 + 6);
    EXPECT_EQ(FONTDB_LEN("C"), 2);                    // an undefined letter advances 2
    EXPECT_EQ(FONTDB_LEN(""), 0);
}

TEST_F(SegmentFontTest, GradientSetKeepsCellsAndColoursRowByRow) {
    testing::internal::CaptureStderr();
    INITIALIZE_FONTDB(write_font_file("font.dat", kFont));
    testing::internal::GetCapturedStderr();
    const FONTDBTYPE& a = FONTDB_G[0];
    EXPECT_EQ(a.BLOCKDATA[0], '0');   // top row
    EXPECT_EQ(a.BLOCKDATA[1], 'B');
    EXPECT_EQ(a.BLOCKDATA[2], 'F');
    EXPECT_EQ(a.BLOCKDATA[6], 'w');   // second row
    EXPECT_EQ(a.BLOCKDATA[7], 'B');
    EXPECT_EQ(a.BLOCKDATA[30], 'B');  // bottom row
    EXPECT_EQ(a.BLOCKDATA[35], '\0'); // slot 35 is never part of a glyph
    EXPECT_EQ(a.COLOR0[8].R, 1.0f);
    EXPECT_NEAR(a.COLOR1[8].R, 0.2366667f, 1e-6f);
    EXPECT_NEAR(a.COLOR1[8].B, 0.21f, 1e-6f);
    EXPECT_EQ(FONTDB[0].BLOCKDATA[1], '\0');   // the plain set keeps no cells
}

TEST_F(SegmentFontTest, CutShortGlyphIsReportedAndTheNextStillLoads) {
    const char* text =
        "A\r\nBBBBB\r\nBBBBB\r\nBBBBB\r\nBBBBB\r\nBBBBB\r\nBBBBB\r\n"   // six rows only
        "B\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\n"
        "BBBBB\r\n";                                                    // row outside a glyph
    testing::internal::CaptureStderr();
    INITIALIZE_FONTDB(write_font_file("short.dat", text));
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("Font Load Error"), std::string::npos) << out;
    EXPECT_EQ(FONTDB[0].WIDTH, 4);
    EXPECT_EQ(FONTDB[1].WIDTH, 0);
    EXPECT_EQ(FONTDB_LEN("B"), 2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));   // every list was closed
}

TEST_F(SegmentFontTest, MissingFileLeavesEmptySlots) {
    testing::internal::CaptureStderr();
    INITIALIZE_FONTDB(std::string(KV_BUILD_DIR) + "/no_such_font.dat");
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("missing"), std::string::npos) << out;
    ASSERT_EQ(FONTDB.size(), 46u);
    for (const FONTDBTYPE& g : FONTDB) EXPECT_EQ(g.DL, 0);
    EXPECT_EQ(FONTDB_LEN("AB"), 4);
    FONTDB_PRINT("AB");   // draws nothing, no error
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SegmentFontTest, PrintedGlyphCoversItsCellsInTheFrame) {
    load_font_at_8_pixels_a_unit();
    FONTDB_PRINT("-B");
    auto box = lit_box(read_red());
    // '-' is a bar at row y = 0 over columns 1-3; B starts 5 units later and spans 5 columns
    // and all seven rows.
    EXPECT_EQ(box.left, 16 + 8);
    EXPECT_EQ(box.right, 16 + (5 + 5) * 8 - 1);
    EXPECT_EQ(box.top, 48 - 5 * 8);
    EXPECT_EQ(box.bottom, 48 + 2 * 8 - 1);
    // B: 4 + 2 + 2 + 4 + 2 + 2 + 4 = 20 full cells of 64 pixels; the bar: 3 cells.
    EXPECT_EQ(box.lit, (20 + 3) * 64);
}

TEST_F(SegmentFontTest, GradientRunsFromLightTopToDarkBottom) {
    load_font_at_8_pixels_a_unit();
    FONTDB_PRINT_GRAD("B");
    auto red = read_red();
    int top = red[48 - 5 * 8 + 1][16 + 4];      // inside B's top row
    int bottom = red[48 + 2 * 8 - 2][16 + 4];   // inside B's bottom row
    EXPECT_GT(top, 230);
    EXPECT_LT(bottom, 110);
    EXPECT_GT(bottom, 40);
}
