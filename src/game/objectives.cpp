// Objectives, mission failure and the alert banner (see objectives.h).
//
// Every index taken from the records (the current profile, its mission and objective numbers,
// a kill range's enemy slots) is bounded before use, since saved profiles and mission files
// carry them.
#include "game/objectives.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "engine/engine_globals.h"
#include "engine/font.h"
#include "engine/gameclock.h"
#include "engine/system.h"
#include "game/explosions.h"
#include "game/kv_globals.h"
#include "game/missionobjects.h"
#include "platform/clock.h"

namespace {

KvMessageBoxHook g_message_box = nullptr;
int64_t g_blast_frame = 0;
int32_t g_alive = -1;  // what the last objective check counted

PROFILETYPE* current_profile() {
    const int32_t p = KVGLOBALS.CURPROFILE;
    if (p < 0 || p >= PROFILE_SLOTS) return nullptr;
    return &KVGLOBALS.PROFILES[p];
}

// The mission of the profile, or null when its number lies outside the mission table.
MISSIONDATATYPE* mission_of(const PROFILETYPE& p) {
    if (p.MISSIONNUM < 0 || p.MISSIONNUM >= MISSION_SLOTS) return nullptr;
    return &KVGLOBALS.MISSIONDATA[p.MISSIONNUM];
}

// The current objective, or null when the objective number lies outside the objective table.
OBJECTIVETYPE* objective_of(const PROFILETYPE& p) {
    MISSIONDATATYPE* m = mission_of(p);
    if (!m || p.OBJECTIVENUM < 0 || p.OBJECTIVENUM >= OBJECTIVE_SLOTS) return nullptr;
    return &m->OBJECTIVE[p.OBJECTIVENUM];
}

// Active enemies in slots start..end (inclusive); slots outside the enemy table hold none.
int32_t alive_in_range(int32_t start, int32_t end) {
    if (start < 0) start = 0;
    if (end > ENEMY_SLOTS - 1) end = ENEMY_SLOTS - 1;
    int32_t n = 0;
    for (int32_t i = start; i <= end; ++i)
        if (KVGLOBALS.ENEMIES[i].ACTIVE == 1) ++n;
    return n;
}

float round_half_even(float v) { return std::nearbyint(v); }

}  // namespace

void kv_set_message_box_hook(KvMessageBoxHook hook) { g_message_box = hook; }

std::string objectives_completed_text(int32_t k) {
    return "Objective " + std::to_string(static_cast<int64_t>(k) + 1) + " COMPLETED!";
}

const char* objectives_failure_reason(int32_t mission, int32_t objective, int32_t vt90s, float fuel,
                                      float armour, bool time_out) {
    const char* reason = nullptr;
    if (mission == 0 && objective == 0 && vt90s == 0) reason = FAIL_AMMO;
    if (fuel == 0.0f) reason = FAIL_FUEL;
    if (armour == 0.0f) reason = FAIL_DESTROYED;
    if (time_out) reason = FAIL_TIME;
    return reason;
}

int32_t kv_objective_alive() { return g_alive; }

void kv_request_blast_at_frame(int64_t frame) { g_blast_frame = frame; }

void KV_MISSION_CHECKOBJECTIVESTATUS() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g_alive = -1;
    if (g.MISSIONSTARTED == 0) return;
    PROFILETYPE* p = current_profile();
    if (!p) return;

    g.LOCKPHYSICS = 0;
    g.LOCKPHYSICSMIN = 0;
    g.TRIGGEREXPLOSION = 0;
    g.LOADINGACTIVE = 0;
    g.REFUELING = 0;
    g.ZIPLINEZOOMENABLED = 0;
    bool complete = false;
    if (g.GUNSHIPLANDED == 0) g.LOCKLANDING = 1;

    OBJECTIVETYPE* o = objective_of(*p);
    if (!o) {
        // An objective number beyond the table has nothing left to do: the mission is over.
        complete = true;
    } else if (o->GOALTYPE == GT_KILL_RANGE) {
        if (!g.CHECKPOINTDATA.empty()) {
            g.CHECKPOINTDATA[0].POSITION.X = o->KILLZONEX;
            g.CHECKPOINTDATA[0].POSITION.Z = o->KILLZONEZ;
        }
        g_alive = alive_in_range(o->KILLRANGESTART, o->KILLRANGEEND);
        complete = g_alive == 0;
    }

    KV_MISSION_PROCESS_AIRDROPS();
    KV_MISSION_PROCESS_CHECKPOINTS();
    KV_MISSION_PROCESS_ZIPLINES();
    if (g_blast_frame > 0 && system_frame_number() == g_blast_frame) g.TRIGGEREXPLOSION = 1;

    // A zipline goal completes when its sequence has run to the end (the personnel arrived, or
    // the demolition went off and its blast is over).
    if (o && (o->GOALTYPE == GT_ZIPLINE_DOWN || o->GOALTYPE == GT_ZIPLINE_DOWN_AND_UP) &&
        kv_zipline_objective_finished())
        complete = true;

    if (complete) {
        const MISSIONDATATYPE* m = mission_of(*p);
        const int32_t last = m ? m->LASTOBJECTIVE : 0;
        const int32_t k = p->OBJECTIVENUM;
        if (k < last) {
            KV_SETALERT(objectives_completed_text(k));
        } else {
            g.MISSIONSTARTED = 0;
            g.EXITCODE = 3;
        }
        if (o) {
            p->USWSF -= o->SUBTRACT[0];
            p->ENGINEERS -= o->SUBTRACT[1];
            p->HACKERS -= o->SUBTRACT[2];
            p->SPIES -= o->SUBTRACT[3];
            p->FCPKIT -= o->SUBTRACT[4];
        }
        if (p->OBJECTIVENUM < INT32_MAX) p->OBJECTIVENUM += 1;
    }

    if (g.LOADINGACTIVE == 0) {
        g.LOADINGALPHA -= 0.1f * FPSR;
        if (!(g.LOADINGALPHA > 0.0f)) g.LOADINGALPHA = 0.0f;
    } else {
        g.LOADINGALPHA += 0.1f * FPSR;
        if (!(g.LOADINGALPHA < 1.0f)) g.LOADINGALPHA = 1.0f;
    }

    if (g.TRIGGEREXPLOSION == 1 && o) kv_explosion_start(o->KILLZONEX, o->KILLZONEZ);
}

void KV_MISSION_CHECKMISSIONFAILURE() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    PROFILETYPE* p = current_profile();
    if (!p) return;
    const bool time_out = IO_CLOCK_ALARMED(p->MISSIONCLOCK) == 1;
    if (time_out) {
        // The countdown stops where it ran out: at the alarm reading, never below it.
        p->MISSIONCLOCK.CURR = p->MISSIONCLOCK.ALARM;
        p->MISSIONCLOCK.LAPSE = 0.0;
        IO_CLOCK_STOP(p->MISSIONCLOCK);
    }
    const char* reason = objectives_failure_reason(p->MISSIONNUM, p->OBJECTIVENUM, p->VT90S, p->FUEL,
                                                   p->ARMOUR, time_out);
    if (!reason) return;
    g.EXITCODE = 4;
    if (g_message_box)
        g_message_box(MISSION_FAILED_TITLE, reason);
    else
        std::printf("%s %s\n", MISSION_FAILED_TITLE, reason);
}

void KV_SETALERT(const std::string& message) {
    KVGLOBALS.ALERTTIME = platform_clock_ms() + 1500;
    KVGLOBALS.ALERTMSG = message;
}

std::string kv_alert_showing(int32_t now_ms) {
    if (KVGLOBALS.ALERTMSG.empty() || now_ms > KVGLOBALS.ALERTTIME) return "";
    return KVGLOBALS.ALERTMSG;
}

AlertBanner alert_banner_layout(int32_t now_ms, int32_t alert_time, int32_t w, int32_t h, int32_t sw,
                                int32_t sh) {
    AlertBanner b;
    if (now_ms > alert_time) return b;
    b.visible = true;
    float a = static_cast<float>(alert_time - now_ms) / 2000.0f * 2.0f;
    b.alpha = a < 0.0f ? 0.0f : (a > 1.0f ? 1.0f : a);
    b.cx = static_cast<int32_t>(round_half_even(static_cast<float>(sw) / 2.0f));
    b.cy = static_cast<int32_t>(round_half_even(static_cast<float>(sh) / 2.0f));
    b.hw = static_cast<int32_t>(round_half_even(static_cast<float>(w) / 2.0f + 40.0f));
    b.hh = static_cast<int32_t>(round_half_even(static_cast<float>(h) / 2.0f + 20.0f));
    b.text_x = static_cast<int32_t>(round_half_even(static_cast<float>(b.cx) - static_cast<float>(w) / 2.0f));
    b.text_y = static_cast<int32_t>(round_half_even(static_cast<float>(b.cy) - static_cast<float>(h) / 2.0f));
    return b;
}

void KV_RENDER_ALERTMESSAGE() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t now = platform_clock_ms();
    if (now > g.ALERTTIME) return;
    int32_t w = 0, h = 0;
    FONT_XY(w, h, g.ALERTMSG);
    const AlertBanner b =
        alert_banner_layout(now, g.ALERTTIME, w, h, OPENGLPROPERTIES.SCR_WIDTH, OPENGLPROPERTIES.SCR_HEIGHT);
    if (!b.visible) return;
    const float a = 0.7f * b.alpha;
    const float x0 = static_cast<float>(b.cx - b.hw), x1 = static_cast<float>(b.cx + b.hw - 1);
    const float y0 = static_cast<float>(b.cy - b.hh), y1 = static_cast<float>(b.cy + b.hh - 1);
    const float ix0 = static_cast<float>(b.cx - (b.hw - 4)), ix1 = static_cast<float>(b.cx + (b.hw - 4) - 1);
    const float iy0 = static_cast<float>(b.cy - (b.hh - 4)), iy1 = static_cast<float>(b.cy + (b.hh - 4) - 1);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.1f, 0.2f, 0.4f, a);
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glColor4f(0.2f, 0.4f, 0.8f, a);
    glVertex2f(ix0, iy0);
    glVertex2f(ix1, iy0);
    glColor4f(0.1f, 0.2f, 0.4f, a);
    glVertex2f(ix1, iy1);
    glVertex2f(ix0, iy1);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, a);
    glBegin(GL_LINE_LOOP);
    glVertex2f(ix0, iy0);
    glVertex2f(ix1, iy0);
    glVertex2f(ix1, iy1);
    glVertex2f(ix0, iy1);
    glEnd();
    glPopAttrib();
    glColor4f(1.0f, 1.0f, 1.0f, b.alpha);
    FONT_DRAW(static_cast<float>(b.text_x), static_cast<float>(b.text_y), g.ALERTMSG);
}
