// HUD and in-mission overlays (see hud.h). The 3D overlays draw with a fresh modelview matrix in
// eye coordinates in front of the camera; each renderer saves and restores the matrix and the
// enable state it changes, so the frame around it keeps its own.
#include "game/hud.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "engine/engine_globals.h"
#include "engine/font.h"
#include "engine/gameclock.h"
#include "engine/math3d.h"
#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "engine/texture.h"
#include "game/kv_globals.h"

namespace {

constexpr float kPi = 3.14159f;
constexpr float kGaugeBars[HUD_GAUGES] = {-0.75f, -0.62f, -0.65f, -0.8f, -1.15f};
constexpr float kHudR = 0.71f, kHudG = 0.69f, kHudB = 0.63f;
constexpr const char* kClockGhost = "88:88:88.888";

PROFILETYPE* current_profile() {
    const int32_t p = KVGLOBALS.CURPROFILE;
    if (p < 0 || p >= PROFILE_SLOTS) return nullptr;
    return &KVGLOBALS.PROFILES[p];
}

void call_list(int32_t dl) {
    if (dl > 0) glCallList(static_cast<GLuint>(dl));
}

// Loads FILE into the model database, optionally normalised to unit size, scaled, and records it
// into a new display list drawn plain (in the current colour) or with its material colours.
void load_mesh(const char* file, bool normalise, float scale, bool coloured, int32_t& mid, int32_t& dl) {
    mid = OBJFILE_LOAD(file);
    MODEL3D* mesh = modeldb_model(mid);
    if (mesh == nullptr || mesh->TRIANGLES.empty()) std::printf("KV_LOAD_MISC: %s has no triangles\n", file);
    if (mesh != nullptr) {
        if (normalise) MODEL_NORMALIZE(mesh);
        if (scale != 1.0f) MODEL_SCALE(mesh, scale);
    }
    dl = static_cast<int32_t>(glGenLists(1));
    if (dl == 0) return;
    glNewList(static_cast<GLuint>(dl), GL_COMPILE);
    if (mesh != nullptr) {
        if (coloured)
            RENDER_MODEL_COLOR(mesh);
        else
            RENDER_MODEL_PLAIN(mesh);
    }
    glEndList();
}

// Icons turn about their own axes and are seen from both sides (the gauges spin them, the weapon
// wheel shows their far side), so their lists draw without face culling and put it back after.
void load_icon(const char* file, float scale, ICONTYPE& icon) {
    icon.MID = OBJFILE_LOAD(file);
    MODEL3D* mesh = modeldb_model(icon.MID);
    if (mesh == nullptr || mesh->TRIANGLES.empty()) std::printf("KV_LOAD_MISC: %s has no triangles\n", file);
    if (mesh != nullptr) {
        MODEL_NORMALIZE(mesh);
        MODEL_SCALE(mesh, scale);
    }
    icon.DL = static_cast<int32_t>(glGenLists(1));
    if (icon.DL == 0) return;
    glNewList(static_cast<GLuint>(icon.DL), GL_COMPILE);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_CULL_FACE);
    if (mesh != nullptr) RENDER_MODEL_PLAIN(mesh);
    glPopAttrib();
    glEndList();
}

// The clock text laid out on the panel: eight full-size characters, then four at 0.6 scale; a
// point is the gear icon at half scale. Characters without a mesh keep their place.
void draw_clock_text(const std::string& text) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    int32_t glyphs[HUD_CLOCK_CHARS];
    const int32_t n = hud_clock_glyphs(text, glyphs);
    glTranslatef(-7.3f, 12.0f, -40.0f);
    for (int32_t i = 0; i < n; ++i) {
        if (i == 8) {
            glScalef(0.6f, 0.6f, 0.6f);
            glTranslatef(0.5f, -0.6f, 0.0f);
        }
        glTranslatef(1.3f, 0.0f, 0.0f);
        const int32_t gl = glyphs[i];
        if (gl >= 0 && gl <= HUD_GLYPH_COLON) {
            call_list(g.SEVENSEGMENTDL[gl]);
        } else if (gl == HUD_GLYPH_POINT) {
            glPushMatrix();
            glScalef(0.5f, 0.5f, 0.5f);
            call_list(g.ICONGEAR.DL);
            glPopMatrix();
        }
    }
}

void compile_clock_background(int32_t& dl) {
    dl = static_cast<int32_t>(glGenLists(1));
    if (dl == 0) return;
    glNewList(static_cast<GLuint>(dl), GL_COMPILE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 12.0f, -40.0f);
    glColor4f(0.142f, 0.138f, 0.126f, 0.73f);
    glBegin(GL_QUADS);
    glVertex2f(-8.0f, 1.2f);
    glVertex2f(-8.0f, -1.2f);
    glVertex2f(8.0f, -1.2f);
    glVertex2f(8.0f, 1.2f);
    glVertex2f(8.0f, 1.2f);
    glVertex2f(8.0f, -1.2f);
    glVertex2f(8.6f, -0.6f);
    glVertex2f(8.6f, 0.6f);
    glVertex2f(-8.6f, 0.6f);
    glVertex2f(-8.6f, -0.6f);
    glVertex2f(-8.0f, -1.2f);
    glVertex2f(-8.0f, 1.2f);
    glEnd();
    glLoadIdentity();
    glColor4f(0.355f, 0.345f, 0.315f, 0.28f);
    draw_clock_text(kClockGhost);
    glPopMatrix();
    glEndList();
}

void quad2d(float x0, float y0, float x1, float y1) {
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
}

// Overlay pixel point at angle `a` (radians, counter-clockwise as seen) and radius `r`.
void ring_vertex(float cx, float cy, float a, float r) { glVertex2f(cx + r * std::cos(a), cy - r * std::sin(a)); }

std::string significant7(float v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(v));
    return buf;
}

}  // namespace

float hud_unit(float v) {
    if (!(v > 0.0f)) return 0.0f;  // NaN and everything up to 0
    return v > 1.0f ? 1.0f : v;
}

HudGauge hud_gauge(int32_t index, const PROFILETYPE& p, const KVGLOBALSTYPE& g, float pulse) {
    HudGauge out;
    if (index < 0 || index >= HUD_GAUGES) return out;
    out.bar_x = kGaugeBars[index];
    out.r = kHudR;
    out.g = kHudG;
    out.b = kHudB;
    out.a = 0.4f;
    auto warn = [&](float r, float gg, float b) {
        out.r = r;
        out.g = gg;
        out.b = b;
        out.a = pulse;
        out.warning = true;
    };
    float v = 0.0f;
    switch (index) {
        case 0: {
            const int32_t t = p.RESEARCHINGTECHNOLOGY;
            if (t >= 0 && t < TECHNOLOGY_SLOTS) {
                v = static_cast<float>(static_cast<double>(p.MISSIONNUM) - p.RESEARCHINGTECHNOLOGYSTARTMISSION + 1.0) /
                    static_cast<float>(static_cast<double>(g.TECHNOLOGYDATA[t].TIMETORESEARCH) + 1.0);
            }
            if (g.ALERTTECHNOLOGY == 1) warn(0.87f, 0.87f, 1.0f);
            break;
        }
        case 1:
            v = p.ARMOUR;
            if (p.ARMOUR < 0.5f) warn(1.0f, 0.6f, 0.1f);
            if (p.ARMOUR < 0.25f) warn(1.0f, 0.23f, 0.1f);
            break;
        case 2:
            v = static_cast<float>(p.VT90S) / 9999.0f;
            if (p.VT90S < 2500) warn(1.0f, 0.6f, 0.1f);
            if (p.VT90S < 1000) warn(1.0f, 0.23f, 0.1f);
            break;
        case 3: {
            v = hud_unit(static_cast<float>(p.ROCKETS) / static_cast<float>(p.TAILPODMAX));
            if (v < 0.5f) warn(1.0f, 0.6f, 0.1f);
            if (v < 0.25f) warn(1.0f, 0.23f, 0.1f);
            break;
        }
        default:
            v = p.FUEL;
            if (p.FUEL < 0.25f) warn(1.0f, 0.6f, 0.1f);
            if (p.FUEL < 0.1f) warn(1.0f, 0.23f, 0.1f);
            break;
    }
    out.value = hud_unit(v);
    return out;
}

const ICONTYPE* hud_powerup_icon(int32_t code) {
    switch (code) {
        case 1: return &KVGLOBALS.ICONFUEL;
        case 2: return &KVGLOBALS.ICONRPG;
        case 3: return &KVGLOBALS.ICONVT90;
        case 4: return &KVGLOBALS.ICONARMOUR;
        default: return nullptr;
    }
}

int32_t hud_clock_glyphs(const std::string& text, int32_t (&glyphs)[HUD_CLOCK_CHARS]) {
    int32_t n = 0;
    for (char c : text) {
        if (n >= HUD_CLOCK_CHARS) break;
        int32_t gl = HUD_GLYPH_NONE;
        if (c >= '0' && c <= '9') gl = c - '0';
        if (c == ':') gl = HUD_GLYPH_COLON;
        if (c == '.') gl = HUD_GLYPH_POINT;
        glyphs[n++] = gl;
    }
    return n;
}

int32_t hud_progress_segments(float progress) {
    return static_cast<int32_t>(std::nearbyint(hud_unit(progress) * 20.0f));
}

void KV_LOAD_MISC() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.ARMOURCLASSNAME[0] = "Light";
    g.ARMOURCLASSNAME[1] = "Medium";
    g.ARMOURCLASSNAME[2] = "Heavy";
    load_mesh("data/misc/chute_big.obj", false, 1.75f, false, g.PARACHUTE_BIGMID, g.PARACHUTE_BIGDL);
    load_mesh("data/misc/chute_medium.obj", false, 1.75f, false, g.PARACHUTE_MEDIUMMID, g.PARACHUTE_MEDIUMDL);
    load_mesh("data/misc/chute_small.obj", false, 1.75f, false, g.PARACHUTE_SMALLMID, g.PARACHUTE_SMALLDL);
    load_mesh("data/misc/box.obj", false, 0.475f, true, g.ADBOXMID, g.ADBOXDL);
    for (int32_t i = 0; i < EXPLOSIONTEX_SLOTS; ++i) {
        const std::string file = "data/explosion/" + std::to_string(i) + ".png";
        uint32_t tex = 0;
        if (i < 6)
            LOAD_TEXTUREAL(tex, file);
        else
            LOAD_TEXTUREA(tex, file);
        g.EXPLOSIONTEX[i] = static_cast<int32_t>(tex);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    load_icon("data/icons/gear.obj", 0.543f, g.ICONGEAR);
    load_icon("data/icons/fuel.obj", 0.955f, g.ICONFUEL);
    load_icon("data/icons/armour.obj", 0.577f, g.ICONARMOUR);
    load_icon("data/icons/vt90.obj", 0.6f, g.ICONVT90);
    load_icon("data/icons/rpg.obj", 0.6f, g.ICONRPG);
    // The selection marker: the mesh twice, a dark shadow and then a light outline.
    g.ICONSEL.MID = OBJFILE_LOAD("data/icons/sel.obj");
    MODEL3D* sel = modeldb_model(g.ICONSEL.MID);
    if (sel == nullptr || sel->TRIANGLES.empty()) std::printf("KV_LOAD_MISC: data/icons/sel.obj has no triangles\n");
    if (sel != nullptr) {
        MODEL_NORMALIZE(sel);
        MODEL_SCALE(sel, 1.24f);
    }
    g.ICONSEL.DL = static_cast<int32_t>(glGenLists(1));
    if (g.ICONSEL.DL != 0) {
        glNewList(static_cast<GLuint>(g.ICONSEL.DL), GL_COMPILE);
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_CULL_FACE);
        if (sel != nullptr) {
            glColor4f(0.0f, 0.0f, 0.0f, 0.3f);
            RENDER_MODEL_PLAIN(sel);
            glColor4f(kHudR, kHudG, kHudB, 0.4f);
            RENDER_MODEL_PLAIN(sel);
        }
        glPopAttrib();
        glEndList();
    }
    // Tables a mission file may already have filled keep their records.
    if (g.AIRDROPDATA.empty()) {
        g.AIRDROPDATA.assign(1, AIRDROPTYPE{});
        g.AIRDROPCOUNT = 0;
    }
    if (g.CHECKPOINTDATA.empty()) {
        g.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
        g.CHECKPOINTCOUNT = 1;
    }
    for (int32_t i = 0; i < 10; ++i) {
        const std::string file = "data/7segment/" + std::to_string(i) + ".obj";
        load_mesh(file.c_str(), true, 1.0f, false, g.SEVENSEGMENTMID[i], g.SEVENSEGMENTDL[i]);
    }
    load_mesh("data/7segment/colon.obj", true, 1.0f, false, g.SEVENSEGMENTMID[10], g.SEVENSEGMENTDL[10]);
    compile_clock_background(g.MISSIONCLOCKBGDL);
}

void KV_RENDER_GUNSIGHT() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const PROFILETYPE* p = current_profile();
    if (!p || p->SELECTEDWEAPON != 0) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    for (int32_t b = 0; b < 3; ++b) {
        const VECTOR3D& base = g.GUNSHIPWEAPONS.BARRELBASE[b];
        const VECTOR3D& dir = g.GUNSHIPWEAPONS.BARRELVECTOR[b];
        VECTOR4D p0{base.X, g.PLAYERY + base.Y, base.Z, 1.0f};
        VECTOR4D p1{p0.X + dir.X, p0.Y + dir.Y, p0.Z + dir.Z, 1.0f};
        MATRIX_MULTIPLY_POINT(g.GUNSHIPPO.MATRIX2, p0);
        MATRIX_MULTIPLY_POINT(g.GUNSHIPPO.MATRIX2, p1);
        const float dx = p1.X - p0.X, dy = p1.Y - p0.Y, dz = p1.Z - p0.Z;
        glColor4f(0.08875f, 0.08625f, 0.07875f, 0.0f);
        glVertex3f(p0.X + 3.0f * dx, p0.Y + 3.0f * dy, p0.Z + 3.0f * dz);
        glColor4f(1.0f, 0.23f, 0.1f, 7.6f);
        glVertex3f(p0.X + 16.0f * dx, p0.Y + 16.0f * dy, p0.Z + 16.0f * dz);
    }
    glEnd();
    glPopAttrib();
}

void KV_RENDER_ICONS() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const PROFILETYPE* p = current_profile();
    if (!p) return;
    const float pulse = 0.25f * std::sin(0.16f * g.ICONANGLE) + 0.5f;
    const int32_t icons[HUD_GAUGES] = {g.ICONGEAR.DL, g.ICONARMOUR.DL, g.ICONVT90.DL, g.ICONRPG.DL, g.ICONFUEL.DL};
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_NORMALIZE);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    for (int32_t i = 0; i < HUD_GAUGES; ++i) {
        const HudGauge gauge = hud_gauge(i, *p, g, pulse);
        glLoadIdentity();
        glTranslatef(-4.968f + 2.484f * static_cast<float>(i), -5.77f, -20.3f);
        glDisable(GL_LIGHTING);
        const float x = gauge.bar_x;
        if (i == 0)
            glColor4f(0.2f, 0.2f, 0.2f, 0.8f);
        else
            glColor4f(0.0f, 0.0f, 0.0f, 0.8f);
        glBegin(GL_QUADS);
        glVertex2f(x - 0.07f, -0.35f);
        glVertex2f(x + 0.07f, -0.35f);
        glVertex2f(x + 0.07f, 0.35f);
        glVertex2f(x - 0.07f, 0.35f);
        glColor4f(gauge.r, gauge.g, gauge.b, gauge.a);
        const float top = -0.35f + 0.7f * gauge.value;
        glVertex2f(x - 0.07f, -0.35f);
        glVertex2f(x + 0.07f, -0.35f);
        glVertex2f(x + 0.07f, top);
        glVertex2f(x - 0.07f, top);
        glEnd();
        glEnable(GL_LIGHTING);
        glColor4f(kHudR, kHudG, kHudB, 1.0f);
        glPushMatrix();
        glRotatef(g.ICONANGLE, 0.0f, 1.0f, 0.0f);
        call_list(icons[i]);
        glPopMatrix();
        if ((i == 2 && p->SELECTEDWEAPON == 0) || (i == 3 && p->SELECTEDWEAPON == 1)) {
            glTranslatef(-0.2f, 0.0f, 0.0f);
            call_list(g.ICONSEL.DL);
        }
    }
    glPopMatrix();
    glPopAttrib();
}

void KV_RENDER_POWERUP() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (g.TRIGGERPOWERUP > 0) {
        g.POWERUPFADE = 1.0f;
        g.POWERUP = g.TRIGGERPOWERUP;
        g.TRIGGERPOWERUP = 0;
    }
    if (!(g.POWERUPFADE > 0.0f)) return;
    g.POWERUPFADE -= 0.015f * FPSR;
    if (g.POWERUPFADE < 0.0f) g.POWERUPFADE = 0.0f;
    const float t = 1.0f - g.POWERUPFADE;
    const float s = t < 0.75f ? t / 0.75f : 0.0f;
    const float u = t > 0.1f ? (t - 0.1f) / 0.9f : 0.0f;
    const ICONTYPE* icon = hud_powerup_icon(g.POWERUP);
    if (!icon) return;
    const float r = 0.25f, gg = 0.5f * t + 0.5f, b = 1.0f - 0.5f * t;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_NORMALIZE);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, -3.0f, -20.3f);
    glPushMatrix();
    glScalef(3.0f * s, 3.0f * s, 3.0f * s);
    glColor4f(r, gg, b, 0.3f * std::sin(kPi * s));
    call_list(icon->DL);
    glPopMatrix();
    glTranslatef(0.0f, std::pow(2.0f * t, 1.2f), 0.0f);
    if (t < 0.1f) {
        glColor4f(r, gg, b, t / 0.1f);
    } else {
        glColor4f(r, gg, b, 1.0f - u);
        glRotatef(288.0f * u, 0.0f, 1.0f, 0.0f);
    }
    call_list(icon->DL);
    glPopMatrix();
    glPopAttrib();
}

void KV_RENDER_MISSIONCLOCK() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const PROFILETYPE* p = current_profile();
    if (!p) return;
    const std::string text = IO_TIME_HMS(p->MISSIONCLOCK.CURR);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    call_list(g.MISSIONCLOCKBGDL);
    glLoadIdentity();
    glColor4f(1.0f, 0.23f, 0.1f, 1.0f);
    draw_clock_text(text);
    glPopMatrix();
    glPopAttrib();
}

void KV_RENDER_LOADING(const std::string& text, float progress) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const float A = hud_unit(g.LOADINGALPHA);
    const float p = hud_unit(progress);
    const bool mission = g.MISSIONSTARTED != 0;
    const float br = mission ? 0.142f : 0.1f, bg = mission ? 0.138f : 0.2f, bb = mission ? 0.126f : 0.4f;
    const float cx = static_cast<float>(OPENGLPROPERTIES.SCR_WIDTH) / 2.0f;
    const float cy = static_cast<float>(OPENGLPROPERTIES.SCR_HEIGHT) / 2.0f;
    const float f = cx / 320.0f;
    const double k = 0.01745327777777778;

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    glColor4f(br, bg, bb, 0.5f * A);
    for (int32_t i = 0; i < 20; ++i) {
        const double fi = i;
        const float a0 = static_cast<float>(2.094393333 + k * (9.0 - 18.0 * fi));
        const float a1 = static_cast<float>(a0 - 18.0 * k);
        const float near_outer = f * static_cast<float>(16.0 + 8.0 * fi / 20.0 + 16.0 + 0.237 * std::pow(fi + 2.154, 5.0) / 10000.0);
        const float far_outer = f * static_cast<float>(16.0 + 8.0 * fi / 20.0 + 16.0 + 0.237 * std::pow(fi, 5.0) / 10000.0);
        ring_vertex(cx, cy, a0, 16.0f * f);
        ring_vertex(cx, cy, a0, near_outer);
        ring_vertex(cx, cy, a1, far_outer);
        ring_vertex(cx, cy, a1, 16.0f * f);
    }
    const int32_t lit = hud_progress_segments(p);
    for (int32_t i = 0; i < lit; ++i) {
        const double fi = i;
        const float a0 = static_cast<float>(2.094393333 + k * (9.0 - 18.0 * fi));
        const float s0 = static_cast<float>(a0 - 3.6 * k), s1 = static_cast<float>(a0 - 14.4 * k);
        const float near_outer = f * static_cast<float>(20.0 + 8.0 * fi / 20.0 + 8.0 + 0.187 * std::pow(fi + 1.334, 5.0) / 10000.0);
        const float far_outer = f * static_cast<float>(20.0 + 8.0 * fi / 20.0 + 8.0 + 0.187 * std::pow(fi, 5.0) / 10000.0);
        const float j = static_cast<float>(i + 1) / static_cast<float>(lit);
        glColor4f(0.71f + 0.29f * j, 0.69f + 0.28f * j, 0.63f + 0.26f * j,
                  (0.5f + 0.5f * static_cast<float>(i) / static_cast<float>(lit)) * A);
        ring_vertex(cx, cy, s0, 20.0f * f);
        ring_vertex(cx, cy, s0, near_outer);
        ring_vertex(cx, cy, s1, far_outer);
        ring_vertex(cx, cy, s1, 20.0f * f);
    }
    int32_t w = 0, h = 0;
    FONT_XY(w, h, text);
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    const float top = cy - fh / 2.0f - 4.0f, bottom = cy + fh / 2.0f + 4.0f;
    glColor4f(br, bg, bb, 0.5f * A);
    glVertex2f(cx + 11.0f, top);
    glVertex2f(cx - 4.0f, bottom);
    glVertex2f(cx + fw + 20.0f, bottom);
    glVertex2f(cx + fw + 35.0f, top);
    if (mission)
        glColor4f(0.71f, 0.69f, 0.63f, 0.4f * A);
    else
        glColor4f(0.6f, 0.8f, 1.0f, 0.4f * A);
    glVertex2f(cx + 11.0f, top);
    glVertex2f(cx - 4.0f, bottom);
    glColor4f(1.0f, 0.97f, 0.89f, 0.8f * A);
    glVertex2f(cx + fw * p + 20.0f, bottom);
    glVertex2f(cx + fw * p + 35.0f, top);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, A);
    FONT_DRAW(std::nearbyint(cx + 15.0f), std::nearbyint(cy - fh / 2.0f), text);
    glPopAttrib();
}

void KV_RENDER_PHYSICSDATA() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const std::string lines[10] = {
        "FPS: " + std::to_string(FPS),
        "PlayerX: " + significant7(g.PLAYERX),
        "PlayerZ: " + significant7(g.PLAYERZ),
        "",
        "tempx: " + significant7(TEMPX),
        "tempy: " + significant7(TEMPY),
        "tempz: " + significant7(TEMPZ),
        "",
        "",
        "",
    };
    glPushAttrib(GL_CURRENT_BIT);
    for (int32_t row = 1; row <= 10; ++row) {
        if (row == g.PHYSICSDATA_EDITING)
            glColor4f(0.8f, 0.8f, 1.0f, 1.0f);
        else
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        FPRINT(1.0f, static_cast<float>(row), lines[row - 1]);
    }
    glPopAttrib();
}

void KV_RENDER_WINDOW(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float fade) {
    const float a = 0.5f * fade;
    const float X1 = static_cast<float>(x1), Y1 = static_cast<float>(y1);
    const float X2 = static_cast<float>(x2), Y2 = static_cast<float>(y2);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    glColor4f(0.1f, 0.2f, 0.4f, a);
    quad2d(X1, Y1, X2, Y2);
    glColor4f(0.2f, 0.4f, 0.8f, a);
    glVertex2f(X1 + 4.0f, Y1 + 4.0f);
    glVertex2f(X2 - 4.0f, Y1 + 4.0f);
    glColor4f(0.1f, 0.2f, 0.4f, a);
    glVertex2f(X2 - 4.0f, Y2 - 4.0f);
    glVertex2f(X1 + 4.0f, Y2 - 4.0f);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, a);
    glBegin(GL_LINE_LOOP);
    glVertex2f(X1 + 4.0f, Y1 + 4.0f);
    glVertex2f(X2 - 4.0f, Y1 + 4.0f);
    glVertex2f(X2 - 4.0f, Y2 - 4.0f);
    glVertex2f(X1 + 4.0f, Y2 - 4.0f);
    glEnd();
    glPopAttrib();
}
