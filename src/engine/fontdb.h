// Segment font: large title letters built from a 5 x 7 grid of cells (empty, full square or
// one of eight rounded quarter shapes), read from data/font3d/fontData.dat into display lists
// in two sets, plain (FONTDB, current colour) and gradient (FONTDB_G, light top to dark
// bottom), and drawn in glyph units (one cell = one unit) in the caller's transform.
#pragma once

#include <cstdint>
#include <string>

#include "engine/color_types.h"

inline constexpr const char* FONTDB_FILE = "data/font3d/fontData.dat";
inline constexpr int32_t FONTDB_SPACE_ADVANCE = 5;   // units a space advances
inline constexpr int32_t FONTDB_GLYPH_GAP = 2;       // units added after a glyph's WIDTH

// Builds the plain set from `path`, then the gradient set (INITIALIZE_FONTDB_G).
void INITIALIZE_FONTDB(const std::string& path = FONTDB_FILE);
// Builds the gradient set from `path`.
void INITIALIZE_FONTDB_G(const std::string& path = FONTDB_FILE);

// Emits the triangles of one cell character with cell origin (X, Y); meant for display-list
// recording. '0' and unknown characters emit nothing.
void FONTDB_DRAWSEGMENT(char CELL, float X, float Y);
// The same with per-vertex colours running from BOTTOMCOLOUR (glyph bottom, y = -2) to
// TOPCOLOUR (y = 5).
void FONTDB_DRAWSEGMENT_GRAD(char CELL, float X, float Y, const RGBALPHA& TOPCOLOUR,
                             const RGBALPHA& BOTTOMCOLOUR);

// Width of TEXT in glyph units.
int32_t FONTDB_LEN(const std::string& TEXT);
// Draw TEXT from the current origin along +x with the plain or the gradient set.
void FONTDB_PRINT(const std::string& TEXT);
void FONTDB_PRINT_GRAD(const std::string& TEXT);

// The glyph slot of a character (A-Z and a-z 0-25, '[' 36, ']' 37, '-' 38), or -1.
int32_t fontdb_slot(char c);

// The triangles of one cell, for drawing and for checks without OpenGL. At most 8.
struct FONTDB_TRIANGLE {
    float X[3];
    float Y[3];
};
inline constexpr int32_t FONTDB_MAX_TRIANGLES = 8;
int32_t fontdb_segment_triangles(char CELL, float X, float Y,
                                 FONTDB_TRIANGLE out[FONTDB_MAX_TRIANGLES]);
