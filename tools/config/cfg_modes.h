// Screen modes offered on the Video tab: the usable modes per colour depth (16, 24, 32 bits)
// taken from the library's full-screen mode lists, the text file that replaces those lists
// under --modes, and the layout of the mode button grid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t VIDEOMODE_DEPTHS = 3;     // index d: 16 + 8 d bits
inline constexpr int32_t VIDEOMODE_CAPACITY = 100; // modes kept per depth

struct MODESIZE {
    int32_t W = 0;
    int32_t H = 0;
};

struct VIDEOMODETABLE {
    int32_t NVIDEOMODES[VIDEOMODE_DEPTHS] = {};
    MODESIZE VIDEOMODE[VIDEOMODE_DEPTHS][VIDEOMODE_CAPACITY] = {};
};

inline int32_t mode_depth_bits(int32_t d) { return 16 + 8 * d; }
// True for the depths the game opens a window with (16 and 32 bits).
inline bool mode_depth_offered(int32_t d) { return mode_depth_bits(d) == 16 || mode_depth_bits(d) == 32; }

// Keeps the usable modes of one depth from the list in the library's order: the first entry is
// skipped, a size already kept is skipped, only heights above 400 are kept, at most
// VIDEOMODE_CAPACITY; a mode wider or taller than CONFIG_MAX_SCREEN_SIDE is left out with a
// line. Returns the number kept into out.
int32_t modes_filter(const std::vector<MODESIZE>& listed, MODESIZE* out);

// The library's lists as given by a modes file: one mode a line, "BITS WIDTH HEIGHT" with BITS
// 16, 24 or 32, in the order the library would list them; '#' starts a comment. A depth with
// no line has no list. Refused lines are reported naming `source` and counted in the result.
struct MODELISTS {
    bool HASLIST[VIDEOMODE_DEPTHS] = {};
    std::vector<MODESIZE> LIST[VIDEOMODE_DEPTHS];
};
int32_t modes_file_parse(const std::string& text, MODELISTS& lists, const std::string& source);
bool modes_file_load(const std::string& path, MODELISTS& lists);

// Fills the table from the lists (a depth without a list keeps count 0).
void modes_build(const MODELISTS& lists, VIDEOMODETABLE& table);

// The label of a mode button: width "x" height.
std::string mode_label(const MODESIZE& m);

// One button of the grid: depth d, mode index into VIDEOMODE[d], rectangle (x, y) w x h.
struct MODEBUTTON {
    int32_t DEPTH = 0;
    int32_t MODE = 0;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t W = 0;
    int32_t H = 16;
};

struct MODEGRID {
    int32_t COLUMNS = 0;
    int32_t BUTTONWIDTH = 0;
    int32_t HEADINGY[VIDEOMODE_DEPTHS] = {-1, -1, -1};  // heading "Bit Depth: " of each depth; -1 none
    std::vector<MODEBUTTON> BUTTONS;                    // in drawing order
};

// Lays the grid out for labels at most `label_width` pixels wide: c = floor(624 / (L + 16))
// columns (at least 1), buttons round(624 / c - 16) + 8 wide and 16 high, column j at
// x = (width + 8) j + 8, row r (from 1) at y0 + 18 r; the first depth's y0 is 64 and each later
// depth starts 36 below the previous depth's last row; modes run from the last stored to the first.
void mode_grid_layout(const VIDEOMODETABLE& table, int32_t label_width, MODEGRID& grid);
