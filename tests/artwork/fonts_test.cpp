// Checks the generated fonts: the glyph images of "vera" and "vera12" (95 each, 16 x 16,
// white with coverage in alpha on the exact transparent-white background, ink where the
// readers measure it) and the segment font file (every glyph the title font needs, seven rows
// of five known cells). Proof sheets of both fonts are drawn into build/artwork/ for review.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "engine/png.h"
#include "engine/png_write.h"

namespace {

const std::string kGame = KV_GAME_DIR;
const std::string kOut = std::string(KV_BUILD_DIR) + "/artwork";

struct Glyph {
    PngImage img;
    int left = 16, right = -1;  // inked columns
    int top = 16, bottom = -1;  // inked rows (counted from the top)
};

// Pixel (x, y) with y counted from the top of the file; the decoder stores rows bottom-up.
const uint8_t* pixel(const PngImage& img, int x, int y) {
    return img.pixels.get() + ((img.height - 1 - y) * img.width + x) * 4;
}

Glyph load_glyph(const std::string& font, int code) {
    Glyph g;
    g.img = png_load(kGame + "/data/fontimg/" + font + "/" + std::to_string(code) + ".png");
    if (!g.img) return g;
    for (int y = 0; y < static_cast<int>(g.img.height); ++y)
        for (int x = 0; x < static_cast<int>(g.img.width); ++x)
            if (pixel(g.img, x, y)[3] != 0) {
                g.left = std::min(g.left, x);
                g.right = std::max(g.right, x);
                g.top = std::min(g.top, y);
                g.bottom = std::max(g.bottom, y);
            }
    return g;
}

std::map<char, std::vector<std::string>> read_segment_font(std::vector<std::string>& problems) {
    std::ifstream in(kGame + "/data/font3d/fontData.dat", std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    std::map<char, std::vector<std::string>> glyphs;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() != 1) {
            problems.push_back("line " + std::to_string(i + 1) + " is not a glyph header: " + lines[i]);
            continue;
        }
        std::vector<std::string> rows;
        for (size_t r = 1; r <= 7 && i + r < lines.size(); ++r) rows.push_back(lines[i + r]);
        if (rows.size() != 7) problems.push_back(std::string("glyph ") + lines[i] + " is cut short");
        if (glyphs.count(lines[i][0])) problems.push_back(std::string("glyph ") + lines[i] + " twice");
        glyphs[lines[i][0]] = rows;
        i += 7;
    }
    return glyphs;
}

// Whether the point (u, v) of a unit cell (v up) is covered by the cell shape.
bool covers(char cell, double u, double v) {
    auto in = [&](double cx, double cy) { return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= 1.0; };
    switch (cell) {
        case 'B': return true;
        case 'F': return in(0, 0);
        case 'O': return in(0, 1);
        case 'W': return in(1, 1);
        case 'T': return in(1, 0);
        case 'f': return !in(1, 1);
        case 'o': return !in(1, 0);
        case 'w': return !in(0, 0);
        case 't': return !in(0, 1);
        default: return false;
    }
}

int glyph_width(const std::vector<std::string>& rows) {
    int w = 0;
    for (const std::string& r : rows)
        for (int i = 0; i < 5 && i < static_cast<int>(r.size()); ++i)
            if (r[i] != '0') w = std::max(w, i);
    return w;
}

}  // namespace

TEST(ArtworkFonts, GlyphImagesAreWhiteOnTheExactBackground) {
    for (const char* font : {"vera", "vera12"}) {
        int files = 0;
        for (const auto& e : std::filesystem::directory_iterator(kGame + "/data/fontimg/" + font)) {
            (void)e;
            ++files;
        }
        EXPECT_EQ(files, 95) << font << " holds one image per code 32-126 and nothing else";
        for (int c = 32; c <= 126; ++c) {
            const Glyph g = load_glyph(font, c);
            ASSERT_TRUE(g.img) << font << "/" << c << ": " << g.img.reason;
            EXPECT_EQ(g.img.width, 16u);
            EXPECT_EQ(g.img.height, 16u);
            EXPECT_EQ(g.img.color_type, 6) << "RGBA";
            int off_white = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const uint8_t* p = pixel(g.img, x, y);
                    if (p[0] != 255 || p[1] != 255 || p[2] != 255) ++off_white;
                }
            EXPECT_EQ(off_white, 0) << font << "/" << c << ": glyph and background are pure white";
            if (c == ' ') {
                EXPECT_LT(g.right, 0) << "the space is blank";
            } else {
                EXPECT_GE(g.right, 0) << font << "/" << c << " has ink";
                EXPECT_GE(g.left, 1) << font << "/" << c << " leaves the spacing column";
            }
        }
    }
}

TEST(ArtworkFonts, GlyphsSitOnACommonBaselineAndFitTheirCells) {
    // The game measures "vera" over all 16 columns; the configuration tool measures "vera12"
    // over the first 12 columns and rows, so its ink must lie there.
    for (const char* font : {"vera", "vera12"}) {
        const Glyph x = load_glyph(font, 'x'), h = load_glyph(font, 'H'), p = load_glyph(font, 'p');
        EXPECT_EQ(x.bottom, h.bottom) << font << " common baseline";
        EXPECT_GT(p.bottom, h.bottom) << font << " descender below the baseline";
        EXPECT_LT(h.top, x.top) << font << " capitals taller than lower case";
        const Glyph i = load_glyph(font, 'i'), m = load_glyph(font, 'M');
        EXPECT_LT(i.right - i.left, m.right - m.left) << font << " proportional";
    }
    for (int c = 33; c <= 126; ++c) {
        const Glyph g = load_glyph("vera12", c);
        EXPECT_LE(g.right, 11) << "vera12/" << c;
        int measured = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) measured += pixel(g.img, x, y)[3] != 0;
        EXPECT_GT(measured, 0) << "vera12/" << c << " shows ink in the 12 x 12 cell the tool measures";
    }
    const Glyph W = load_glyph("vera", 'W');
    EXPECT_GE(W.right - W.left, 10) << "vera is a 13-pixel font";
}

TEST(ArtworkFonts, SegmentFontHasEveryTitleGlyph) {
    std::vector<std::string> problems;
    const auto glyphs = read_segment_font(problems);
    for (const std::string& p : problems) ADD_FAILURE() << p;
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ[]-")) {
        ASSERT_TRUE(glyphs.count(c)) << c;
        const std::vector<std::string>& rows = glyphs.at(c);
        for (const std::string& r : rows) {
            EXPECT_EQ(r.size(), 5u) << c;
            EXPECT_EQ(r.find_first_not_of("0BFOWTfowt"), std::string::npos) << c << ": " << r;
        }
        EXPECT_GE(glyph_width(rows), 1) << c;
        // Every row and every glyph has ink somewhere, except the dash's empty rows.
        int inked_rows = 0;
        for (const std::string& r : rows) inked_rows += r.find_first_not_of('0') != std::string::npos;
        EXPECT_GE(inked_rows, c == '-' ? 1 : 7) << c;
    }
    EXPECT_EQ(glyph_width(glyphs.at('I')), 2) << "narrow I advances 4 units";
    EXPECT_EQ(glyph_width(glyphs.at('M')), 4);
}

// Proof sheets for review: the title words in the segment font, and a text sample in each
// bitmap font laid out with the game's width rule.
TEST(ArtworkFonts, ProofSheets) {
    std::vector<std::string> problems;
    const auto glyphs = read_segment_font(problems);
    const std::vector<std::string> words = {"KESSRA VORN", "LOAD PROFILE", "OPTIONS", "CREDITS",
                                            "QUIT GAME",   "RESUME GAME",  "ABCDEFGHIJKLM", "NOPQRSTUVWXYZ [-]"};
    const int px = 10, width = 900, height = static_cast<int>(words.size()) * 9 * px + px;
    std::vector<uint8_t> img(static_cast<size_t>(width) * height * 3, 30);
    int inked = 0;
    for (size_t w = 0; w < words.size(); ++w) {
        int pen = 1;
        for (char c : words[w]) {
            if (c == ' ') {
                pen += 5;
                continue;
            }
            const auto it = glyphs.find(c);
            if (it == glyphs.end()) continue;
            for (int r = 0; r < 7; ++r)
                for (int col = 0; col < 5; ++col)
                    for (int yy = 0; yy < px; ++yy)
                        for (int xx = 0; xx < px; ++xx) {
                            const double u = (xx + 0.5) / px, v = 1.0 - (yy + 0.5) / px;
                            if (!covers(it->second[r][col], u, v)) continue;
                            const int X = (pen + col) * px + xx, Y = (static_cast<int>(w) * 9 + 1 + r) * px + yy;
                            if (X >= width || Y >= height) continue;
                            uint8_t* p = &img[(static_cast<size_t>(Y) * width + X) * 3];
                            p[0] = 255;
                            p[1] = 150;
                            p[2] = 60;
                            ++inked;
                        }
            pen += glyph_width(it->second) + 2;
        }
    }
    std::filesystem::create_directories(kOut);
    EXPECT_TRUE(png_write_file(kOut + "/segment_font.png", width, height, 3, img.data()));
    EXPECT_GT(inked, 10000);

    const std::string sample = "The quick brown fox jumps over the lazy dog. 0123456789 (Save Game) [OK] 88:88:88.888";
    for (const char* font : {"vera", "vera12"}) {
        const int W = 900, H = 40;
        std::vector<uint8_t> t(static_cast<size_t>(W) * H * 3, 40);
        int pen = 4;
        for (char c : sample) {
            const Glyph g = load_glyph(font, c);
            if (!g.img) continue;
            int left = std::max(0, g.left - 1), right = g.right;
            if (c == ' ') left = 0, right = 9;
            if (right - left < 3) left -= 2, right += 2;
            left = std::max(0, left);
            for (int y = 0; y < 16; ++y)
                for (int x = left; x <= right && x < 16; ++x) {
                    const int X = pen + x - left, Y = 12 + y;
                    if (X >= W) continue;
                    const int a = pixel(g.img, x, y)[3];
                    uint8_t* p = &t[(static_cast<size_t>(Y) * W + X) * 3];
                    for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((p[k] * (255 - a) + 255 * a) / 255);
                }
            pen += right - left + 1;
        }
        EXPECT_TRUE(png_write_file(kOut + "/font_" + font + ".png", W, H, 3, t.data()));
    }
}
