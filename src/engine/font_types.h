// Font records: the bitmap font's metrics (FONTDATATYPE) and one glyph slot of the segment
// font (FONTDBTYPE). Types only.
#pragma once

#include <cstdint>

#include "engine/color_types.h"

inline constexpr int FONT_NGLYPHS = 97;        // bitmap glyph slots 0-96 (character code - 32)
inline constexpr int FONTDB_NSLOTS = 46;       // segment glyph slots 0-45
inline constexpr int FONTDB_NCELLS = 36;       // cells per segment glyph (row * 5 + column)

struct FONTDATATYPE {
    int32_t HEIGHT = 0;
    int32_t WIDTH = 0;
    float XSCALE = 0.0f;
    float YSCALE = 0.0f;
    int32_t XOFFSET = 0;                       // extra spacing after each character
};

struct FONTDBTYPE {
    int32_t DL = 0;                            // display list of the glyph
    int32_t WIDTH = 0;                         // rightmost inked column 0-4
    char BLOCKDATA[FONTDB_NCELLS] = {};        // one cell character per cell
    RGBALPHA COLOR0[FONTDB_NCELLS] = {};       // top colour per cell (gradient set)
    RGBALPHA COLOR1[FONTDB_NCELLS] = {};       // bottom colour per cell (gradient set)
};
