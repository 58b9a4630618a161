// The OpenGL side of the terrain: the tile sink (tile geometry goes straight into the display
// list being compiled) and the per-frame sector pass.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "world/terrain.h"

namespace {
void gl_begin(void*) { glBegin(GL_TRIANGLES); }
void gl_end(void*) { glEnd(); }
void gl_color(void*, float r, float g, float b) { glColor3f(r, g, b); }
void gl_normal(void*, float x, float y, float z) { glNormal3f(x, y, z); }
void gl_vertex(void* box, float x, float y, float z) {
    glVertex3f(x, y, z);
    if (box) kv_tile_box_add(*static_cast<KVTILEBOX*>(box), x, y, z);
}

bool g_plain = false;
}  // namespace

KVTILESINK kv_tile_sink_gl(KVTILEBOX* box) {
    KVTILESINK s;
    s.CTX = box;
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

void kv_sector_pass_sort_near_first(KVSECTORPASS& pass, const ViewVolume& view, float y) {
    const int32_t n = std::clamp(pass.COUNT, 0, KV_SECTORPASS_SLOTS);
    float depth[KV_SECTORPASS_SLOTS];  // scratch on the stack: 42 KB, no allocation per frame
    int16_t order[KV_SECTORPASS_SLOTS], tx[KV_SECTORPASS_SLOTS], tz[KV_SECTORPASS_SLOTS];
    const float half = static_cast<float>(KV_TILECELLS) / 2.0f;
    for (int32_t k = 0; k < n; ++k) {
        depth[k] = view_depth(view, static_cast<float>(pass.TX[k] * KV_TILECELLS) + half, y,
                              static_cast<float>(pass.TZ[k] * KV_TILECELLS) + half);
        if (!std::isfinite(depth[k])) depth[k] = 0.0f;
        order[k] = static_cast<int16_t>(k);
        tx[k] = pass.TX[k];
        tz[k] = pass.TZ[k];
    }
    std::sort(order, order + n, [&depth](int16_t a, int16_t b) { return depth[a] < depth[b] || (depth[a] == depth[b] && a < b); });
    for (int32_t k = 0; k < n; ++k) {
        pass.TX[k] = tx[order[k]];
        pass.TZ[k] = tz[order[k]];
    }
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
