// Bitmap font: one 16 x 16 PNG per printable ASCII character (codes 32-126) under
// data/fontimg/<name>/, each turned into a texture and a display list that draws a quad as
// wide as the character's inked columns; text is measured and drawn in the 2D overlay
// (pixel coordinates, y downward) at 0.75 scale, so a line is 12 pixels high.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char* FONT_IMAGE_ROOT = "data/fontimg/";
inline constexpr int32_t FONT_CELL = 16;           // glyph images are 16 x 16
inline constexpr int32_t FONT_SPACE_WIDTH = 10;    // the space always advances 10 glyph pixels
// Width of a blank glyph (missing, undecodable, wrongly sized or empty image): the narrowest
// width the inked-column rule gives.
inline constexpr int32_t FONT_BLANK_WIDTH = 5;

// Loads the 95 glyphs of font NAME from FONT_IMAGE_ROOT + NAME + "/".
void FONT_LOADFONT(const std::string& NAME);
// The same from an explicit directory (ending in "/").
void font_load_directory(const std::string& directory);

// Draws TEXT with its top-left corner at overlay pixel (X, Y) in the current colour and
// returns the drawn width in pixels. Characters outside 32-126 are skipped.
int32_t FONT_DRAW(float X, float Y, const std::string& TEXT);
// Measures TEXT (rounding after every character); an empty TEXT leaves both untouched.
void FONT_XY(int32_t& WIDTH, int32_t& HEIGHT, const std::string& TEXT);
// Draws TEXT on a grid of 12 x 12 pixel cells; returns what FONT_DRAW returns.
int32_t FPRINT(float COLUMN, float ROW, const std::string& TEXT);

// The inked columns of a 16 x 16 RGBA image: every pixel that is not exactly
// (255, 255, 255, 0) counts. Gives left and right after the widening rule (left moved one
// column out, and both moved two further when the span is under 3) and returns the width
// right - left + 1; an image without any inked pixel gives FONT_BLANK_WIDTH with left 0.
int32_t font_inked_columns(const uint8_t* rgba, int32_t& left, int32_t& right);

// The widening rule alone, shared by every bitmap font measure: takes the leftmost and
// rightmost inked columns, applies the rule to both and returns the width right - left + 1.
int32_t font_widen_extent(int32_t& left, int32_t& right);
