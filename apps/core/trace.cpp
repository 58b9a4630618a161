// The --trace writer (see trace.h).
#include "core/trace.h"

#include <cstdio>

#include "engine/log.h"
#include "engine/engine_globals.h"
#include "engine/system.h"
#include "game/autopilot.h"
#include "game/explosions.h"
#include "game/kv_globals.h"
#include "game/missionobjects.h"
#include "game/objectives.h"
#include "platform/clock.h"

namespace {
std::FILE* g_file = nullptr;
std::string g_path;
bool g_failed = false;  // a line could not be written: the trace is incomplete
int32_t (*g_menu_source)() = nullptr;
TraceBox (*g_box_source)() = nullptr;
void (*g_menu_fields)(TraceMenuFields&) = nullptr;

}  // namespace

void trace_frame_end(int64_t frame) {
    if (!g_file || g_failed) return;
    std::string line = trace_line(frame);
    line += '\n';
    // Flushed line by line, so that a run killed at any moment leaves whole lines only.
    if (std::fwrite(line.data(), 1, line.size(), g_file) != line.size() || std::fflush(g_file) != 0) {
        g_failed = true;
        kv_log("core: the trace %s could not be written from frame %lld on", g_path.c_str(),
               static_cast<long long>(frame));
    }
}

bool trace_open(const std::string& path, std::string& why) {
    trace_close();
    g_file = std::fopen(path.c_str(), "wb");
    if (!g_file) {
        why = "cannot create the trace file " + path;
        return false;
    }
    g_path = path;
    g_failed = false;
    return true;
}

bool trace_close() {
    if (!g_file) return true;
    bool ok = !g_failed;
    if (std::fclose(g_file) != 0 && ok) {
        ok = false;
        kv_log("core: the trace %s could not be written completely", g_path.c_str());
    }
    g_file = nullptr;
    return ok;
}

void trace_set_menu_source(int32_t (*current_menu)()) { g_menu_source = current_menu; }
void trace_set_menu_fields_source(void (*fill)(TraceMenuFields&)) { g_menu_fields = fill; }

void trace_set_box_source(TraceBox (*current_box)()) { g_box_source = current_box; }

std::string trace_line(int64_t frame) {
    float fuel = 0.0f;
    int32_t ammo = 0, rockets = 0, mission = 0, objective = 0, research = -1, rstart = 0;
    unsigned long long techs = 0;
    const int32_t p = KVGLOBALS.CURPROFILE;
    if (p >= 0 && p < PROFILE_SLOTS) {
        const PROFILETYPE& prof = KVGLOBALS.PROFILES[p];
        fuel = prof.FUEL;
        ammo = prof.VT90S;
        rockets = prof.ROCKETS;
        mission = prof.MISSIONNUM;
        objective = prof.OBJECTIVENUM;
        research = prof.RESEARCHINGTECHNOLOGY;
        rstart = prof.RESEARCHINGTECHNOLOGYSTARTMISSION;
        for (int32_t k = 0; k < TECHNOLOGY_SLOTS - 1; ++k)
            if (prof.COMPLETEDTECHNOLOGY[k] != 0) techs |= 1ULL << k;
    }
    TraceMenuFields mf;
    if (g_menu_fields) g_menu_fields(mf);
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "frame=%lld ms=%d menu=%d exit=%d x=%.4f y=%.4f z=%.4f heading=%.4f landed=%d "
                  "fuel=%.4f ammo=%d rockets=%d mission=%d objective=%d",
                  static_cast<long long>(frame), SYSTEM_TICKS, g_menu_source ? g_menu_source() : 0,
                  static_cast<int>(KVGLOBALS.EXITCODE), KVGLOBALS.PLAYERX, KVGLOBALS.PLAYERY,
                  KVGLOBALS.PLAYERZ, KVGLOBALS.GUNSHIPPO.ANGLE,
                  static_cast<int>(KVGLOBALS.GUNSHIPLANDED), fuel, ammo, rockets, mission, objective);
    std::string line = buf;

    // Mission state after the first keys; text values are encoded so the line stays
    // blank-separated.
    const KVGLOBALSTYPE& g = KVGLOBALS;
    float armour = 0.0f;
    int32_t weapon = 0;
    double mclock = 0.0, gclock = 0.0;
    if (p >= 0 && p < PROFILE_SLOTS) {
        const PROFILETYPE& prof = g.PROFILES[p];
        armour = prof.ARMOUR;
        weapon = prof.SELECTEDWEAPON;
        mclock = prof.MISSIONCLOCK.CURR;
        gclock = prof.GAMECLOCK.CURR;
    }
    const TraceBox box = g_box_source ? g_box_source() : TraceBox{};
    const int32_t powerup = g.POWERUPFADE > 0.0f ? g.POWERUP : 0;
    std::snprintf(buf, sizeof buf,
                  " armour=%.4f wpn=%d started=%d mclock=%.3f gclock=%.3f", armour, weapon,
                  g.MISSIONSTARTED, mclock, gclock);
    line += buf;
    line += " alert=" + trace_encode_text(kv_alert_showing(platform_clock_ms()));
    line += " box=" + trace_encode_text(box.kind);
    line += " boxtitle=" + trace_encode_text(box.title);
    line += " boxmsg=" + trace_encode_text(box.message);
    std::snprintf(buf, sizeof buf, " alive=%d blast=%d powerup=%d loading=%d", kv_objective_alive(),
                  kv_explosion_burning(), powerup, g.LOADINGACTIVE);
    line += buf;
    line += " loadtext=" + trace_encode_text(g.LOADINGTEXT);
    std::snprintf(buf, sizeof buf, " progress=%.3f", g.LOADINGPROGRESS);
    line += buf;
    line += kv_mission_objects_trace();
    std::snprintf(buf, sizeof buf,
                  " profile=%d sel=%d nprof=%d selmain=%d selitem=%d init=%d loaded=%d lastfile=%d tiles=%d "
                  "research=%d rstart=%d techs=%llx nnew=%d alerttech=%d",
                  p, mf.sel, mf.nprof, mf.selmain, mf.selitem, static_cast<int>(KVGLOBALS.INITIALIZED), mf.loaded,
                  mf.lastfile, KVGLOBALS.TOTALLOADEDTILES, research, rstart, techs, mf.nnew,
                  KVGLOBALS.ALERTTECHNOLOGY);
    line += buf;
    line += " online=" + trace_encode_text(KVGLOBALS.ONLINEVERSION);
    line += " allowcheck=" + std::to_string(KVGLOBALS.ALLOWCHECKVERSION);
    line += " pilot=";
    line += autopilot_phase_now();
    return line;
}

std::string trace_encode_text(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c >= 33 && c <= 126 && c != '%' && c != '=') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}
