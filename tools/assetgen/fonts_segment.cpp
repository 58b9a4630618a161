// The "segment-font" generator: writes data/font3d/fontData.dat, the title font of the menu.
// Each glyph is a header line with its character and seven rows of five cells, top row first.
// Cells: 0 empty, B full square; T, F, W, O quarter discs rounding the top-left, top-right,
// bottom-left and bottom-right outer corner of a stroke; o, w, f, t concave fillets filling
// the top-left, top-right, bottom-left and bottom-right inner corner. The letters are drawn
// with strokes one cell wide and rounded outer corners so the title and menu words read well.
#include <cstdio>
#include <string>

#include "assetgen.h"
#include "mesh_kit.h"

namespace {

struct SegmentGlyph {
    char ch;
    const char* rows[7];
};

const SegmentGlyph kGlyphs[] = {
    {'A', {"TBBBF", "B000B", "B000B", "BBBBB", "B000B", "B000B", "B000B"}},
    {'B', {"BBBBF", "B000B", "B000O", "BBBB0", "B000F", "B000B", "BBBBO"}},
    {'C', {"TBBBF", "B0000", "B0000", "B0000", "B0000", "B0000", "WBBBO"}},
    {'D', {"BBBF0", "B00WF", "B000B", "B000B", "B000B", "B00TO", "BBBO0"}},
    {'E', {"BBBBB", "B0000", "B0000", "BBBB0", "B0000", "B0000", "BBBBB"}},
    {'F', {"BBBBB", "B0000", "B0000", "BBBB0", "B0000", "B0000", "B0000"}},
    {'G', {"TBBBF", "B0000", "B0000", "B0BBB", "B000B", "B000B", "WBBBO"}},
    {'H', {"B000B", "B000B", "B000B", "BBBBB", "B000B", "B000B", "B000B"}},
    {'I', {"BBB00", "0B000", "0B000", "0B000", "0B000", "0B000", "BBB00"}},
    {'J', {"0000B", "0000B", "0000B", "0000B", "0000B", "B000B", "WBBBO"}},
    {'K', {"B000B", "B00TO", "B0TO0", "BBO00", "B0WF0", "B00WF", "B000B"}},
    {'L', {"B0000", "B0000", "B0000", "B0000", "B0000", "B0000", "BBBBB"}},
    {'M', {"TBFTF", "B0B0B", "B0B0B", "B0B0B", "B0B0B", "B0B0B", "B0B0B"}},
    {'N', {"BF00B", "BBF0B", "BWBFB", "B0WBB", "B00WB", "B000B", "B000B"}},
    {'O', {"TBBBF", "B000B", "B000B", "B000B", "B000B", "B000B", "WBBBO"}},
    {'P', {"BBBBF", "B000B", "B000B", "BBBBO", "B0000", "B0000", "B0000"}},
    {'Q', {"TBBBF", "B000B", "B000B", "B000B", "B0WFB", "B00WB", "WBBBB"}},
    {'R', {"BBBBF", "B000B", "B000B", "BBBBO", "B0WF0", "B00WF", "B000B"}},
    {'S', {"TBBBF", "B0000", "B0000", "WBBBF", "0000B", "0000B", "WBBBO"}},
    {'T', {"BBBBB", "00B00", "00B00", "00B00", "00B00", "00B00", "00B00"}},
    {'U', {"B000B", "B000B", "B000B", "B000B", "B000B", "B000B", "WBBBO"}},
    {'V', {"B000B", "B000B", "B000B", "B000B", "WF0TO", "0BfB0", "0WBO0"}},
    {'W', {"B000B", "B000B", "B0B0B", "B0B0B", "B0B0B", "B0B0B", "WBOWO"}},
    {'X', {"B000B", "WF0TO", "0WBO0", "00B00", "0TBF0", "TO0WF", "B000B"}},
    {'Y', {"B000B", "B000B", "WF0TO", "0WBO0", "00B00", "00B00", "00B00"}},
    {'Z', {"BBBBB", "000TO", "00TO0", "0TO00", "TO000", "B0000", "BBBBB"}},
    {'[', {"BB000", "B0000", "B0000", "B0000", "B0000", "B0000", "BB000"}},
    {']', {"BB000", "0B000", "0B000", "0B000", "0B000", "0B000", "BB000"}},
    {'-', {"00000", "00000", "00000", "BBB00", "00000", "00000", "00000"}},
};

bool generate_segment_font(const std::string& game_dir) {
    std::string text;
    for (const SegmentGlyph& g : kGlyphs) {
        text += std::string(1, g.ch) + "\r\n";
        for (const char* row : g.rows) {
            if (std::string(row).size() != 5) {
                std::fprintf(stderr, "assetgen: segment glyph '%c' has a row of other than five cells\n", g.ch);
                return false;
            }
            text += std::string(row) + "\r\n";
        }
    }
    return write_text_file(game_dir + "/data/font3d/fontData.dat", text);
}

}  // namespace

ASSETGEN_GENERATOR("segment-font", generate_segment_font);
