// Glyph metrics of the tool's bitmap font: the drawn extent of a glyph measured on its
// 12 x 12 cell, and text widths from the per-character widths.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int32_t GLYPH_CELL = 12;        // measured cell
inline constexpr int32_t GLYPH_STRIP_HEIGHT = 16;  // rows blitted per character
inline constexpr int32_t FONT_GLYPHS = 97;        // slots for codes 32..128
inline constexpr int32_t SPACE_WIDTH = 10;

// ink[y * GLYPH_CELL + x] is true for a pixel of the glyph. The left edge is one column left of
// the leftmost inked column (not below 0); when right - left < 3 both sides widen by 2. The
// result is CHARMINX = left and CHARWIDTH = right - left + 1. A glyph without ink is blank:
// left 0, width 6 (the width of a one-column glyph).
void glyph_extent(const bool* ink, int32_t& minx, int32_t& width);

// Sum of the widths of the characters with codes 32..128; others are skipped.
int32_t text_width(const int32_t* charwidth, const std::string& text);

// The slot of a character code in the font tables, or -1 when it has no glyph.
inline int32_t glyph_slot(unsigned char c) { return (c >= 32 && c <= 128) ? c - 32 : -1; }
