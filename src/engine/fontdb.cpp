// Segment font: reading fontData.dat, building the plain and gradient glyph sets into display
// lists, the cell geometry and drawing text with either set.
#include "engine/fontdb.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/console_text.h"
#include "engine/engine_globals.h"
#include "engine/log.h"
#include "engine/textfile.h"

namespace {

constexpr float HALF_PI = 1.570795f;   // the quarter turn the shapes are built with
constexpr int32_t ARC_STEPS = 8;
constexpr int32_t GLYPH_ROWS = 7;
constexpr int32_t GLYPH_COLUMNS = 5;
constexpr int32_t TOP_ROW_Y = 4;       // y of the first row; rows run down to -2
const RGBALPHA GRADIENT_TOP = {1.0f, 1.0f, 1.0f, 1.0f};
const RGBALPHA GRADIENT_BOTTOM = {0.2366667f, 0.23f, 0.21f, 1.0f};

struct Arc {
    float cx, cy, a0;
};

// The circle of each quarter disc: centre and start angle of its arc.
bool disc_arc(char cell, float x, float y, Arc& arc) {
    switch (cell) {
    case 'F': arc = {x, y, 0.0f}; return true;
    case 'O': arc = {x, y + 1.0f, -HALF_PI}; return true;
    case 'W': arc = {x + 1.0f, y + 1.0f, -2.0f * HALF_PI}; return true;
    case 'T': arc = {x + 1.0f, y, HALF_PI}; return true;
    default: return false;
    }
}

// The concave shapes: their filled corner and the arc they are cut by (the arc of the disc
// centred at the opposite corner).
bool concave_arc(char cell, float x, float y, float& corner_x, float& corner_y, Arc& arc) {
    switch (cell) {
    case 'f': corner_x = x; corner_y = y; return disc_arc('W', x, y, arc);
    case 'o': corner_x = x; corner_y = y + 1.0f; return disc_arc('T', x, y, arc);
    case 'w': corner_x = x + 1.0f; corner_y = y + 1.0f; return disc_arc('F', x, y, arc);
    case 't': corner_x = x + 1.0f; corner_y = y; return disc_arc('O', x, y, arc);
    default: return false;
    }
}

void arc_point(const Arc& arc, int32_t k, float& px, float& py) {
    float a = arc.a0 + static_cast<float>(k) * HALF_PI / static_cast<float>(ARC_STEPS);
    px = arc.cx + std::cos(a);
    py = arc.cy + std::sin(a);
}

void set_triangle(FONTDB_TRIANGLE& t, float x0, float y0, float x1, float y1, float x2, float y2) {
    t.X[0] = x0; t.Y[0] = y0;
    t.X[1] = x1; t.Y[1] = y1;
    t.X[2] = x2; t.Y[2] = y2;
}

bool is_quarter_shape(char cell) {
    switch (cell) {
    case 'F': case 'O': case 'W': case 'T': case 'f': case 'o': case 'w': case 't': return true;
    default: return false;
    }
}

// Per-vertex gradient colour: BOTTOM + (TOP - BOTTOM) * (3 + vy) / 7.
void gradient_colour(const RGBALPHA& top, const RGBALPHA& bottom, float vy) {
    float f = (3.0f + vy) / 7.0f;
    glColor4f(bottom.R + (top.R - bottom.R) * f, bottom.G + (top.G - bottom.G) * f,
              bottom.B + (top.B - bottom.B) * f, bottom.A + (top.A - bottom.A) * f);
}

void emit_cell(char cell, float x, float y, const RGBALPHA* top, const RGBALPHA* bottom) {
    FONTDB_TRIANGLE tris[FONTDB_MAX_TRIANGLES];
    int32_t n = fontdb_segment_triangles(cell, x, y, tris);
    if (n == 0) return;
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i < n; ++i) {
        if (is_quarter_shape(cell)) glNormal3f(0.0f, 0.0f, 1.0f);
        for (int v = 0; v < 3; ++v) {
            if (top != nullptr) gradient_colour(*top, *bottom, tris[i].Y[v]);
            glVertex3f(tris[i].X[v], tris[i].Y[v], 0.0f);
        }
    }
    glEnd();
}

// Builds one set from the file. In the gradient set the cell characters and colours are kept.
void build_set(std::vector<FONTDBTYPE>& set, const std::string& path, bool gradient) {
    for (const FONTDBTYPE& old : set)
        if (old.DL != 0) glDeleteLists(static_cast<GLuint>(old.DL), 1);
    set.assign(FONTDB_NSLOTS, FONTDBTYPE{});

    FieldReader in;
    if (!field_reader_open(in, path)) {
        kv_log("%s: segment font file %s; titles draw no letters", path.c_str(),
                    in.error == "missing" ? "missing" : ("cannot be read (" + in.error + ")").c_str());
        return;
    }
    int32_t slot = -1;     // glyph being recorded, -1 when none is open
    int32_t y = 0;
    int32_t line_no = 0;   // line of the field just read
    int32_t glyphs = 0;    // glyphs completed
    auto close_glyph = [&](bool complete) {
        if (slot < 0) return;
        glEndList();
        if (complete) ++glyphs;
        else kv_log("Font Load Error: %s line %d: glyph %c cut short", path.c_str(), line_no,
                         static_cast<char>(slot < 26 ? 'A' + slot : "[]-"[slot - 36]));
        slot = -1;
    };
    while (!field_eof(in)) {
        std::string line = field_read(in);
        ++line_no;
        if (line.size() == 1) {
            if (line[0] == '\'') continue;   // comment
            close_glyph(false);              // a glyph still open here was cut short
            // Headers name upper-case letters and the three signs only.
            int32_t s = (line[0] >= 'a' && line[0] <= 'z') ? -1 : fontdb_slot(line[0]);
            if (s < 0) {
                kv_log("%s line %d: glyph header '%s' names no glyph; its rows are skipped",
                            path.c_str(), line_no, console_safe(line).c_str());
                continue;
            }
            slot = s;
            y = TOP_ROW_Y;
            if (set[slot].DL != 0) glDeleteLists(static_cast<GLuint>(set[slot].DL), 1);  // redefined
            set[slot] = FONTDBTYPE{};
            GLuint dl = glGenLists(1);
            set[slot].DL = static_cast<int32_t>(dl);
            glNewList(dl, GL_COMPILE);
        } else if (line.size() == static_cast<size_t>(GLYPH_COLUMNS)) {
            if (line[0] == '\'' || slot < 0) continue;   // comment, or a row outside a glyph
            FONTDBTYPE& g = set[slot];
            for (int32_t i = 0; i < GLYPH_COLUMNS; ++i) {
                char cell = line[static_cast<size_t>(i)];
                float fx = static_cast<float>(i);
                float fy = static_cast<float>(y);
                if (gradient) {
                    int32_t index = (TOP_ROW_Y - y) * GLYPH_COLUMNS + i;
                    g.BLOCKDATA[index] = cell;
                    g.COLOR0[index] = GRADIENT_TOP;
                    g.COLOR1[index] = GRADIENT_BOTTOM;
                    FONTDB_DRAWSEGMENT_GRAD(cell, fx, fy, GRADIENT_TOP, GRADIENT_BOTTOM);
                } else {
                    FONTDB_DRAWSEGMENT(cell, fx, fy);
                }
                if (cell != '0' && i > g.WIDTH) g.WIDTH = i;
            }
            --y;
            if (y == TOP_ROW_Y - GLYPH_ROWS) close_glyph(true);
        }
    }
    close_glyph(false);
    if (glyphs == 0) kv_log("%s: no complete glyph in the segment font file; titles draw no letters", path.c_str());
}

void print_with(const std::vector<FONTDBTYPE>& set, const std::string& text) {
    glPushMatrix();
    for (char c : text) {
        if (c == ' ') {
            glTranslatef(static_cast<float>(FONTDB_SPACE_ADVANCE), 0.0f, 0.0f);
            continue;
        }
        int32_t s = fontdb_slot(c);
        if (s < 0) continue;
        if (static_cast<size_t>(s) < set.size() && set[static_cast<size_t>(s)].DL != 0)
            glCallList(static_cast<GLuint>(set[static_cast<size_t>(s)].DL));
        int32_t width = static_cast<size_t>(s) < FONTDB.size() ? FONTDB[static_cast<size_t>(s)].WIDTH : 0;
        glTranslatef(static_cast<float>(width + FONTDB_GLYPH_GAP), 0.0f, 0.0f);
    }
    glPopMatrix();
}

}  // namespace

int32_t fontdb_slot(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c == '[') return 36;
    if (c == ']') return 37;
    if (c == '-') return 38;
    return -1;
}

int32_t fontdb_segment_triangles(char CELL, float X, float Y,
                                 FONTDB_TRIANGLE out[FONTDB_MAX_TRIANGLES]) {
    if (CELL == 'B') {
        set_triangle(out[0], X, Y, X + 1.0f, Y, X + 1.0f, Y + 1.0f);
        set_triangle(out[1], X + 1.0f, Y + 1.0f, X, Y + 1.0f, X, Y);
        return 2;
    }
    Arc arc;
    if (disc_arc(CELL, X, Y, arc)) {
        for (int32_t k = 0; k < ARC_STEPS; ++k) {
            float x0, y0, x1, y1;
            arc_point(arc, k, x0, y0);
            arc_point(arc, k + 1, x1, y1);
            set_triangle(out[k], arc.cx, arc.cy, x0, y0, x1, y1);
        }
        return ARC_STEPS;
    }
    float corner_x, corner_y;
    if (concave_arc(CELL, X, Y, corner_x, corner_y, arc)) {
        for (int32_t k = 0; k < ARC_STEPS; ++k) {
            float x0, y0, x1, y1;
            arc_point(arc, k, x0, y0);
            arc_point(arc, k + 1, x1, y1);
            set_triangle(out[k], corner_x, corner_y, x1, y1, x0, y0);
        }
        return ARC_STEPS;
    }
    return 0;
}

void FONTDB_DRAWSEGMENT(char CELL, float X, float Y) { emit_cell(CELL, X, Y, nullptr, nullptr); }

void FONTDB_DRAWSEGMENT_GRAD(char CELL, float X, float Y, const RGBALPHA& TOPCOLOUR,
                             const RGBALPHA& BOTTOMCOLOUR) {
    emit_cell(CELL, X, Y, &TOPCOLOUR, &BOTTOMCOLOUR);
}

void INITIALIZE_FONTDB(const std::string& path) {
    build_set(FONTDB, path, false);
    INITIALIZE_FONTDB_G(path);
}

void INITIALIZE_FONTDB_G(const std::string& path) { build_set(FONTDB_G, path, true); }

int32_t FONTDB_LEN(const std::string& TEXT) {
    int32_t total = 0;
    for (char c : TEXT) {
        if (c == ' ') {
            total += FONTDB_SPACE_ADVANCE;
            continue;
        }
        int32_t s = fontdb_slot(c);
        if (s < 0) continue;
        int32_t width = static_cast<size_t>(s) < FONTDB.size() ? FONTDB[static_cast<size_t>(s)].WIDTH : 0;
        total += width + FONTDB_GLYPH_GAP;
    }
    return total;
}

void FONTDB_PRINT(const std::string& TEXT) { print_with(FONTDB, TEXT); }

void FONTDB_PRINT_GRAD(const std::string& TEXT) { print_with(FONTDB_G, TEXT); }
