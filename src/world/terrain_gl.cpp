// The OpenGL tile sink: tile geometry goes straight into the display list being compiled.
#include <GL/gl.h>

#include "world/terrain.h"

namespace {
void gl_begin(void*) { glBegin(GL_TRIANGLES); }
void gl_end(void*) { glEnd(); }
void gl_color(void*, float r, float g, float b) { glColor3f(r, g, b); }
void gl_normal(void*, float x, float y, float z) { glNormal3f(x, y, z); }
void gl_vertex(void*, float x, float y, float z) { glVertex3f(x, y, z); }
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
