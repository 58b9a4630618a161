// Bitmap font: glyph images, per-glyph display lists and text drawing.
#pragma once

#include <cstdint>
#include <string>

void FONT_LOADFONT(const std::string& name);
