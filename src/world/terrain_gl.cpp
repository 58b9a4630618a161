// The OpenGL side of the terrain: the tile sink (tile geometry goes straight into the display
// list being compiled) and the per-frame sector pass.
#include <GL/gl.h>

#include <algorithm>

#include "world/terrain.h"

namespace {
void gl_begin(void*) { glBegin(GL_TRIANGLES); }
void gl_end(void*) { glEnd(); }
void gl_color(void*, float r, float g, float b) { glColor3f(r, g, b); }
void gl_normal(void*, float x, float y, float z) { glNormal3f(x, y, z); }
void gl_vertex(void*, float x, float y, float z) { glVertex3f(x, y, z); }

bool g_plain = false;
}  // namespace

KVTILESINK kv_tile_sink_gl() {
    KVTILESINK s;
    s.BEGIN = gl_begin;
    s.END = gl_end;
    s.COLOR = gl_color;
    s.NORMAL = gl_normal;
    s.VERTEX = gl_vertex;
    return s;
}

void kv_sector_pass_add(KVSECTORPASS& pass, int32_t tx, int32_t tz) {
    if (pass.COUNT < 0) pass.COUNT = 0;
    if (pass.COUNT >= KV_SECTORPASS_SLOTS) return;
    pass.TX[pass.COUNT] = static_cast<int16_t>(tx);
    pass.TZ[pass.COUNT] = static_cast<int16_t>(tz);
    pass.COUNT++;
}

void kv_sector_pass_draw(const KVSECTORPASS& pass, void (*draw)(int32_t tx, int32_t tz)) {
    if (!draw) return;
    const int32_t n = std::clamp(pass.COUNT, 0, KV_SECTORPASS_SLOTS);
    // Ground and building colours are sent with alpha 1 and lit with a material alpha of 1, so
    // blending would only read back the frame to write the same colour: the software
    // rasteriser's most expensive step, skipped here.
    const bool blend = !g_plain && glIsEnabled(GL_BLEND) == GL_TRUE;
    if (blend) glDisable(GL_BLEND);
    for (int32_t k = 0; k < n; ++k) draw(pass.TX[k], pass.TZ[k]);
    if (blend) glEnable(GL_BLEND);
}

bool kv_sector_pass_set_plain(bool plain) {
    const bool old = g_plain;
    g_plain = plain;
    return old;
}

bool kv_sector_pass_plain() { return g_plain; }
