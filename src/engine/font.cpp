// Bitmap font: glyph images, per-glyph display lists and text drawing.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "engine/font.h"

void FONT_LOADFONT(const std::string& /*name*/) { }
