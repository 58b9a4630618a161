// Glyph extent and text width of the tool's bitmap font (see cfg_font.h).
#include "cfg_font.h"

#include "engine/font.h"

void glyph_extent(const bool* ink, int32_t& minx, int32_t& width) {
    int32_t left = GLYPH_CELL, right = -1;
    for (int32_t y = 0; y < GLYPH_CELL; ++y)
        for (int32_t x = 0; x < GLYPH_CELL; ++x)
            if (ink[y * GLYPH_CELL + x]) {
                if (x < left) left = x;
                if (x > right) right = x;
            }
    if (right < 0) {
        minx = 0;
        width = 6;
        return;
    }
    width = font_widen_extent(left, right);
    minx = left;
}

int32_t text_width(const int32_t* charwidth, const std::string& text) {
    int32_t w = 0;
    for (unsigned char c : text) {
        const int32_t slot = glyph_slot(c);
        if (slot >= 0) w += charwidth[slot];
    }
    return w;
}
