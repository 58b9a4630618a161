// Drawing of the mission objects: airdrops (vehicle, crate, parachute, winch cable), the zipline
// ropes with the personnel on them, the runners, and the check-point rings with the objective
// arrow. Read-only: every state change belongs to the processing in missionobjects.cpp.
#include <GL/gl.h>

#include <cmath>

#include "engine/modeldb.h"
#include "game/enemies.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/missionobjects.h"
#include "game/missionobjects_internal.h"
#include "platform/clock.h"
#include "world/ground.h"

namespace {

constexpr double kPi = 3.14159;

int32_t since(int32_t now, int32_t from) {
    return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(from));
}

// The rope fraction for an envelope value.
float rope_fraction(float e) { return static_cast<float>(std::sin(kPi * e / 2.0)); }

void call_dl(int32_t dl) {
    if (dl > 0) glCallList(static_cast<GLuint>(dl));
}

void class_mesh(int32_t cls, int32_t slot) {
    if (cls < 0 || cls >= ENEMYCLASS_SLOTS || slot < 0 || slot >= ENEMYCLASS_MODEL_SLOTS) return;
    call_dl(KVGLOBALS.ENEMYCLASS[cls].MODELDL[slot]);
}

// A mesh with an opacity: the colour renderer with alpha, which a display list cannot vary. Only
// meshes that were loaded (their display list exists) are drawn.
void mesh_alpha(int32_t dl, int32_t mid, float alpha) {
    if (dl <= 0 || mid < 0) return;
    const MODEL3D* m = modeldb_model(mid);
    if (m && alpha > 0.0f) RENDER_MODEL_COLOR_ALPHA(m, alpha);
}

// A line from (x, y0, z) down to (x, y1, z), fading in from the top.
void rope(float x0, float y0, float z0, float x1, float y1, float z1, float shade, float alpha) {
    glBegin(GL_LINES);
    glColor4f(shade, shade, shade, 0.0f);
    glVertex3f(x0, y0, z0);
    glColor4f(shade, shade, shade, alpha);
    glVertex3f(x1, y1, z1);
    glEnd();
}

float rope_top() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    return g.PLAYERY + std::sin(g.PLAYERHOVERCYCLE) * g.MAPSCALE;
}

void draw_crate_winch(const AIRDROPTYPE& a, int32_t now) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t t = since(now, a.ZIPLINEDATA.STARTDOWN);
    const float q = rope_fraction(mo_envelope(t));
    const float top = rope_top();
    const float bottom = a.POSITION.Y;
    const float end = top + q * (bottom - top);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    rope(g.PLAYERX, top, g.PLAYERZ, a.POSITION.X, end, a.POSITION.Z, 0.16f, 1.0f);
    glEnable(GL_LIGHTING);
    glPushMatrix();
    if (t < 1500) {
        glTranslatef(a.POSITION.X, a.POSITION.Y, a.POSITION.Z);
        glRotatef(a.ANGLE.Y, 0.0f, 1.0f, 0.0f);
        call_dl(g.ADBOXDL);
    } else {
        // Lifted with the cable end towards the gunship, fading as it goes aboard.
        glTranslatef(a.POSITION.X, end, a.POSITION.Z);
        glRotatef(a.ANGLE.Y, 0.0f, 1.0f, 0.0f);
        mesh_alpha(g.ADBOXDL, g.ADBOXMID, q);
    }
    glPopMatrix();
}

void draw_chute(const AIRDROPTYPE& a) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    if (a.CHUTEFADE <= 0.0f) return;
    const int32_t dl = a.CHUTESIZE == 2 ? g.PARACHUTE_BIGDL : (a.CHUTESIZE == 1 ? g.PARACHUTE_MEDIUMDL : g.PARACHUTE_SMALLDL);
    glPushMatrix();
    glTranslatef(a.POSITION.X, a.POSITION.Y, a.POSITION.Z);
    glRotatef(a.ANGLE.Y, 0.0f, 1.0f, 0.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 0.98f, 0.93f, a.CHUTEFADE);
    call_dl(dl);
    glPopMatrix();
}

// One person on rope i: the rope lowered by q, the person hanging below its end.
void draw_person_on_rope(int32_t i, float q, float shade, float opacity, bool zipline_mesh) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    float x = 0.0f, z = 0.0f;
    mo_rope_foot(i, g.PLAYERX, g.PLAYERZ, x, z);
    const float top = rope_top();
    const float ground = KV_FINDMAPY(x, z) + 5.0f * g.MAPSCALE;
    const float end = top + q * (ground - top);
    glDisable(GL_LIGHTING);
    rope(x, top, z, x, end, z, shade, q);
    glEnable(GL_LIGHTING);
    if (opacity <= 0.0f) return;
    glPushMatrix();
    glTranslatef(x, end - 1.7f * (1.0f - q), z);  // hanging below the rope end
    glRotatef(99.0f * static_cast<float>(i) + 90.0f, 0.0f, 1.0f, 0.0f);
    const ENEMYCLASSTYPE& c = KVGLOBALS.ENEMYCLASS[ENEMYCLASS_ZIPLINE];
    const int32_t slot = zipline_mesh ? 5 : 0;
    if (opacity >= 1.0f) class_mesh(ENEMYCLASS_ZIPLINE, slot);
    else mesh_alpha(c.MODELDL[slot], c.MODELMID[slot], opacity);
    glPopMatrix();
}

}  // namespace

void KV_MISSION_RENDER_AIRDROPS() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const PROFILETYPE* p = mo_profile();
    const int32_t M = p ? p->MISSIONNUM : 0, k = p ? p->OBJECTIVENUM : 0;
    const int32_t now = platform_clock_ms();
    const int32_t n = mo_airdrop_count();
    for (int32_t i = 0; i < n; ++i) {
        const AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(i)];
        // Drops not released yet wait out of sight instead of hanging in the sky.
        if (a.ACTIVE == 0 && !mo_airdrop_released(a, M, k)) continue;
        if (a.CLASS == 0) {
            glPushMatrix();
            glTranslatef(a.POSITION.X, a.POSITION.Y, a.POSITION.Z);
            class_mesh(0, 0);
            glRotatef(a.ANGLE.Y, 0.0f, 1.0f, 0.0f);
            class_mesh(0, 1);
            glTranslatef(0.0f, 2.2f, 0.0f);
            glRotatef(1.05f, 1.0f, 0.0f, 0.0f);
            class_mesh(0, 2);
            glPopMatrix();
        } else if (a.CLASS == 1) {
            if (a.PICKUPFLAG < 2) {
                glPushMatrix();
                glTranslatef(a.POSITION.X, a.POSITION.Y, a.POSITION.Z);
                glRotatef(a.ANGLE.Y, 0.0f, 1.0f, 0.0f);
                call_dl(g.ADBOXDL);
                glPopMatrix();
            } else if (a.PICKUPFLAG == 2) {
                draw_crate_winch(a, now);
            }
        }
        if (a.ACTIVE < 2) draw_chute(a);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void KV_MISSION_RENDER_ZIPLINES() {
    const OBJECTIVETYPE* o = mo_current_objective();
    if (!o || !mo_is_zipline_goal(*o)) return;
    const bool round_trip = o->GOALTYPE == GT_ZIPLINE_DOWN_AND_UP;
    const int32_t S = o->ZIPLINE_STATUS;
    if (S != ZIPLINE_DESCENT && !(round_trip && S == ZIPLINE_ASCENT)) return;
    const int32_t now = platform_clock_ms();
    const float shade = round_trip ? 0.6f : 0.16f;
    const int32_t n = mo_team_size(*o);
    glDisable(GL_TEXTURE_2D);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t t = since(now, o->ZIPLINE_STARTDOWN) - 600 * i;
        const USWRUNNDERTYPE& r = KVGLOBALS.USWRUNNER[i];
        if (S == ZIPLINE_DESCENT) {
            const float q = rope_fraction(mo_envelope(t));
            draw_person_on_rope(i, q, shade, t < 1500 ? q : 0.0f, q < 1.0f);
        } else if (r.ACTIVE == 2 && o->ZIPLINE_STARTUP[i] != 0) {
            // Hoisted: the rope shortens over a second from the hoist time.
            const int32_t h = since(now, o->ZIPLINE_STARTUP[i]);
            const float q = h >= 1000 ? 0.0f : 1.0f - static_cast<float>(h) / 1000.0f;
            if (q > 0.0f) draw_person_on_rope(i, q, shade, 1.0f, true);
        } else {
            // Lowering the rope; it stays down while its person walks back to it.
            const float q = (r.ACTIVE != 0 || t >= 1000) ? 1.0f : rope_fraction(mo_envelope(t));
            draw_person_on_rope(i, q, shade, 0.0f, true);
        }
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    KV_RENDER_USWRUNNER();
}

void KV_RENDER_USWRUNNER() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    for (int32_t i = 0; i < USWRUNNER_SLOTS; ++i) {
        const USWRUNNDERTYPE& r = g.USWRUNNER[i];
        if (r.ACTIVE != 1) continue;
        const int32_t phase = static_cast<int32_t>(std::nearbyint(static_cast<float>(i) + std::nearbyint(g.RUNFRAME)));
        const int32_t frame = 1 + ((phase % 4) + 4) % 4;
        glPushMatrix();
        glTranslatef(r.POSITION.X, r.POSITION.Y, r.POSITION.Z);
        glRotatef(r.ANGLE, 0.0f, 1.0f, 0.0f);
        class_mesh(ENEMYCLASS_ZIPLINE, frame);
        glPopMatrix();
    }
}

void KV_MISSION_RENDER() {
    KV_MISSION_RENDER_AIRDROPS();
    KV_MISSION_RENDER_ZIPLINES();
}

namespace {

struct RingColour {
    float r, g, b;
};

void circle(float radius, const RingColour& c, float alpha) {
    glColor4f(c.r * 0.9f, c.g * 0.9f, c.b * 1.0f, alpha);
    glBegin(GL_LINE_LOOP);
    for (int32_t s = 0; s < 64; ++s) {
        const double a = 2.0 * kPi * s / 64.0;
        glVertex3f(static_cast<float>(radius * std::cos(a)), 0.0f, static_cast<float>(radius * std::sin(a)));
    }
    glEnd();
}

// The spinning band between the two circles: 64 quads whose opacity ramps up over every 16,
// with a triangular point closing each ramp.
void band(float outer, float inner, float spin, const RingColour& c, float fade) {
    const float ro = outer - 0.086f, ri = inner + 0.086f;
    const float cr = c.r * 0.6f, cg = c.g * 0.6f, cb = c.b * 0.65f;
    glPushMatrix();
    glRotatef(spin, 0.0f, 1.0f, 0.0f);
    glBegin(GL_QUADS);
    for (int32_t s = 0; s < 64; ++s) {
        const double a0 = 2.0 * kPi * s / 64.0, a1 = 2.0 * kPi * (s + 1) / 64.0;
        const float al0 = fade * static_cast<float>(s % 16) / 16.0f;
        const float al1 = fade * static_cast<float>(s % 16 + 1) / 16.0f;
        glColor4f(cr, cg, cb, al0);
        glVertex3f(static_cast<float>(ri * std::cos(a0)), 0.0f, static_cast<float>(ri * std::sin(a0)));
        glVertex3f(static_cast<float>(ro * std::cos(a0)), 0.0f, static_cast<float>(ro * std::sin(a0)));
        glColor4f(cr, cg, cb, al1);
        glVertex3f(static_cast<float>(ro * std::cos(a1)), 0.0f, static_cast<float>(ro * std::sin(a1)));
        glVertex3f(static_cast<float>(ri * std::cos(a1)), 0.0f, static_cast<float>(ri * std::sin(a1)));
    }
    glEnd();
    glBegin(GL_TRIANGLES);
    for (int32_t s = 16; s <= 64; s += 16) {
        const double a = 2.0 * kPi * s / 64.0, tip = 2.0 * kPi * (s + 1.5) / 64.0;
        const float mid = (ro + ri) / 2.0f;
        glColor4f(cr, cg, cb, fade);
        glVertex3f(static_cast<float>(ri * std::cos(a)), 0.0f, static_cast<float>(ri * std::sin(a)));
        glVertex3f(static_cast<float>(ro * std::cos(a)), 0.0f, static_cast<float>(ro * std::sin(a)));
        glColor4f(cr, cg, cb, 0.0f);
        glVertex3f(static_cast<float>(mid * std::cos(tip)), 0.0f, static_cast<float>(mid * std::sin(tip)));
    }
    glEnd();
    glPopMatrix();
}

void arrow(const CHECKPOINTTYPE& c) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    if (c.POINTERFADE <= 0.0f) return;
    const double h = std::atan2(c.POSITION.Z - g.PLAYERZ, c.POSITION.X - g.PLAYERX);
    const double w = 8.0 * kPi / 180.0;
    auto at = [&](double r, double a, float& x, float& z) {
        x = g.PLAYERX + static_cast<float>(r * std::cos(a));
        z = g.PLAYERZ + static_cast<float>(r * std::sin(a));
    };
    float tx, tz, nx, nz, lx, lz, rx, rz;
    at(4.485, h, tx, tz);
    at(3.585, h, nx, nz);
    at(3.285, h + w, lx, lz);
    at(3.285, h - w, rx, rz);
    const float y = g.PLAYERY;
    const float tip[4] = {1.0f, 0.23f, 0.1f, c.POINTERFADE};
    const float rest[4] = {0.1775f, 0.1725f, 0.1575f, 0.0f};
    glDisable(GL_DEPTH_TEST);
    glBegin(GL_TRIANGLES);
    glColor4fv(tip);
    glVertex3f(tx, y, tz);
    glColor4fv(rest);
    glVertex3f(nx, y, nz);
    glVertex3f(lx, y, lz);
    glColor4fv(tip);
    glVertex3f(tx, y, tz);
    glColor4fv(rest);
    glVertex3f(nx, y, nz);
    glVertex3f(rx, y, rz);
    glEnd();
    glBegin(GL_LINES);
    glColor4fv(tip);
    glVertex3f(tx, y, tz);
    glColor4fv(rest);
    glVertex3f(lx, y, lz);
    glColor4fv(tip);
    glVertex3f(tx, y, tz);
    glColor4fv(rest);
    glVertex3f(rx, y, rz);
    glEnd();
    glEnable(GL_DEPTH_TEST);
}

}  // namespace

void KV_RENDER_CHECKPOINTRING() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t n = mo_checkpoint_count();
    if (n < 1) return;
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    arrow(g.CHECKPOINTDATA[0]);
    for (int32_t i = 0; i < n; ++i) {
        const CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(i)];
        if (c.FADE <= 0.0f) continue;
        const bool marker = c.CLASS == 0 && i != 0;
        const bool inside = KV_INSIDECHECKPOINT(i) != 0;
        RingColour col{0.2f, 1.0f, 0.23f};
        float outer = 3.0f, inner = 2.48f;
        if (i == 0) col = inside ? RingColour{1.0f, 0.63f, 0.1f} : RingColour{1.0f, 0.23f, 0.1f};
        else if (inside) col = RingColour{0.25f, 0.7f, 1.0f};
        else if (marker) col = RingColour{1.0f, 0.9f, 0.23f};
        if (marker) outer = 1.7f, inner = 1.18f;
        glPushMatrix();
        glTranslatef(c.POSITION.X, c.POSITION.Y, c.POSITION.Z);
        circle(outer, col, 0.5f * c.FADE);
        circle(inner, col, 0.5f * c.FADE);
        band(outer, inner, c.ANGLE, col, c.FADE);
        glPopMatrix();
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_LIGHTING);
}
