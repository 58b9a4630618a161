// Bitmap font: loading the glyph images into textures and display lists, drawing and
// measuring text.
#include "engine/font.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/engine_globals.h"
#include "engine/log.h"
#include "engine/math3d.h"
#include "engine/png.h"

namespace {

constexpr int32_t FIRST_CODE = 32;
constexpr int32_t LAST_CODE = 126;
constexpr int32_t GLYPHS = LAST_CODE - FIRST_CODE + 1;   // 95

bool printable(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= FIRST_CODE && u <= LAST_CODE;
}

int32_t slot_of(char c) { return static_cast<unsigned char>(c) - FIRST_CODE; }

int32_t round_even(float v) { return math_round_even(v); }

void record_quad(int32_t slot, float left, float right) {
    const float w = static_cast<float>(CHARWIDTH[slot]);
    const float h = static_cast<float>(FONTHEIGHT);
    glNewList(FONTDL[slot], GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(left / 15.0f, 0.98f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(left / 15.0f, 0.05f);
    glVertex2f(0.0f, h);
    glTexCoord2f(right / 15.0f, 0.05f);
    glVertex2f(w, h);
    glTexCoord2f(right / 15.0f, 0.98f);
    glVertex2f(w, 0.0f);
    glEnd();
    glEndList();
}

}  // namespace

int32_t font_inked_columns(const uint8_t* rgba, int32_t& left, int32_t& right) {
    left = FONT_CELL;
    right = 0;
    bool inked = false;
    for (int32_t row = 0; row < FONT_CELL; ++row)
        for (int32_t col = 0; col < FONT_CELL; ++col) {
            const uint8_t* p = rgba + 4 * (row * FONT_CELL + col);
            if (p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 0) continue;
            inked = true;
            if (col < left) left = col;
            if (col > right) right = col;
        }
    if (!inked) {
        // An empty image would give a negative width; draw it as a blank of the narrowest width.
        left = 0;
        right = FONT_BLANK_WIDTH - 1;
        return FONT_BLANK_WIDTH;
    }
    return font_widen_extent(left, right);
}

int32_t font_widen_extent(int32_t& left, int32_t& right) {
    left -= 1;
    if (left < 0) left = 0;
    if (right - left < 3) {
        left -= 2;
        right += 2;
    }
    return right - left + 1;
}

void FONT_LOADFONT(const std::string& NAME) {
    kv_log("Loading Font: %s", NAME.c_str());
    font_load_directory(FONT_IMAGE_ROOT + NAME + "/");
}

void font_load_directory(const std::string& directory) {
    FONTWIDTH = FONT_CELL;
    FONTHEIGHT = FONT_CELL;
    FONTDATA.WIDTH = FONT_CELL;
    FONTDATA.HEIGHT = FONT_CELL;
    FONTDATA.XSCALE = 0.75f;
    FONTDATA.YSCALE = 0.75f;

    // A reload replaces the previous font's names.
    if (FONTIMG[0] != 0) glDeleteTextures(GLYPHS, FONTIMG);
    for (int32_t s = 0; s < GLYPHS; ++s)
        if (FONTDL[s] != 0) glDeleteLists(FONTDL[s], 1);
    glGenTextures(GLYPHS, FONTIMG);

    const std::vector<uint8_t> blank(4 * FONT_CELL * FONT_CELL, 0);
    int32_t missing = 0;
    for (int32_t c = FIRST_CODE; c <= LAST_CODE; ++c) {
        const int32_t slot = c - FIRST_CODE;
        const std::string path = directory + std::to_string(c) + ".png";
        PngImage img = png_load(path);
        const uint8_t* pixels = blank.data();
        if (!img) {
            ++missing;
            kv_log("%s: glyph not loaded (%s); drawn blank", path.c_str(), img.reason);
        } else if (img.width != static_cast<uint32_t>(FONT_CELL) ||
                   img.height != static_cast<uint32_t>(FONT_CELL)) {
            ++missing;
            kv_log("%s: glyph is %ux%u, not 16x16; drawn blank", path.c_str(), img.width,
                        img.height);
        } else {
            pixels = img.pixels.get();
        }

        glBindTexture(GL_TEXTURE_2D, FONTIMG[slot]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, FONT_CELL, FONT_CELL, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     pixels);

        int32_t left = 0, right = 0;
        if (pixels == blank.data()) {
            left = 0;
            right = FONT_BLANK_WIDTH - 1;
            CHARWIDTH[slot] = FONT_BLANK_WIDTH;
        } else {
            CHARWIDTH[slot] = font_inked_columns(pixels, left, right);
        }
        if (c == FIRST_CODE) CHARWIDTH[slot] = FONT_SPACE_WIDTH;

        FONTDL[slot] = glGenLists(1);
        record_quad(slot, static_cast<float>(left), static_cast<float>(right));
    }
    if (missing == GLYPHS)
        kv_log("%s: no glyph image found; text draws blank", directory.c_str());
}

int32_t FONT_DRAW(float X, float Y, const std::string& TEXT) {
    if (TEXT.empty()) return 0;
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glTranslatef(X, Y, 0.0f);
    glScalef(FONTDATA.XSCALE, FONTDATA.YSCALE, 0.0f);
    int32_t total = 0;
    for (char c : TEXT) {
        if (!printable(c)) continue;
        const int32_t slot = slot_of(c);
        glBindTexture(GL_TEXTURE_2D, FONTIMG[slot]);
        glCallList(FONTDL[slot]);
        const int32_t advance = FONTDATA.XOFFSET + CHARWIDTH[slot];
        glTranslatef(static_cast<float>(advance), 0.0f, 0.0f);
        total += advance;
    }
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    return round_even(static_cast<float>(total - FONTDATA.XOFFSET) * FONTDATA.XSCALE);
}

void FONT_XY(int32_t& WIDTH, int32_t& HEIGHT, const std::string& TEXT) {
    if (TEXT.empty()) return;
    int32_t w = 0;
    for (char c : TEXT) {
        if (!printable(c)) continue;
        const int32_t slot = slot_of(c);
        w = round_even(static_cast<float>(w) +
                       static_cast<float>(FONTDATA.XOFFSET + CHARWIDTH[slot]) * FONTDATA.XSCALE);
    }
    WIDTH = w - FONTDATA.XOFFSET;
    HEIGHT = round_even(static_cast<float>(FONTHEIGHT) * FONTDATA.YSCALE);
}

int32_t FPRINT(float COLUMN, float ROW, const std::string& TEXT) {
    const float x = static_cast<float>(round_even(static_cast<float>(FONTDATA.WIDTH) * COLUMN * FONTDATA.XSCALE));
    const float y = static_cast<float>(round_even(static_cast<float>(FONTDATA.HEIGHT) * ROW * FONTDATA.YSCALE));
    return FONT_DRAW(x, y, TEXT);
}
