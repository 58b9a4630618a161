// The --trace writer (see trace.h).
#include "game/trace.h"

#include <cstdio>

#include "engine/engine_globals.h"
#include "engine/system.h"
#include "game/kv_globals.h"

namespace {
std::FILE* g_file = nullptr;
std::string g_path;
bool g_failed = false;  // a line could not be written: the trace is incomplete
int32_t (*g_menu_source)() = nullptr;

void on_frame_end(int64_t frame) {
    if (!g_file || g_failed) return;
    std::string line = trace_line(frame);
    line += '\n';
    // Flushed line by line, so that a run killed at any moment leaves whole lines only.
    if (std::fwrite(line.data(), 1, line.size(), g_file) != line.size() || std::fflush(g_file) != 0) {
        g_failed = true;
        std::fprintf(stderr, "core: the trace %s could not be written from frame %lld on\n", g_path.c_str(),
                     static_cast<long long>(frame));
    }
}
}  // namespace

bool trace_open(const std::string& path, std::string& why) {
    trace_close();
    g_file = std::fopen(path.c_str(), "wb");
    if (!g_file) {
        why = "cannot create the trace file " + path;
        return false;
    }
    g_path = path;
    g_failed = false;
    system_set_frame_end_hook(on_frame_end);
    return true;
}

bool trace_close() {
    if (!g_file) return true;
    system_set_frame_end_hook(nullptr);
    bool ok = !g_failed;
    if (std::fclose(g_file) != 0 && ok) {
        ok = false;
        std::fprintf(stderr, "core: the trace %s could not be written completely\n", g_path.c_str());
    }
    g_file = nullptr;
    return ok;
}

void trace_set_menu_source(int32_t (*current_menu)()) { g_menu_source = current_menu; }

std::string trace_line(int64_t frame) {
    float fuel = 0.0f;
    int32_t ammo = 0, rockets = 0, mission = 0, objective = 0;
    const int32_t p = KVGLOBALS.CURPROFILE;
    if (p >= 0 && p < PROFILE_SLOTS) {
        const PROFILETYPE& prof = KVGLOBALS.PROFILES[p];
        fuel = prof.FUEL;
        ammo = prof.VT90S;
        rockets = prof.ROCKETS;
        mission = prof.MISSIONNUM;
        objective = prof.OBJECTIVENUM;
    }
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "frame=%lld ms=%d menu=%d exit=%d x=%.4f y=%.4f z=%.4f heading=%.4f landed=%d "
                  "fuel=%.4f ammo=%d rockets=%d mission=%d objective=%d",
                  static_cast<long long>(frame), SYSTEM_TICKS, g_menu_source ? g_menu_source() : 0,
                  static_cast<int>(KVGLOBALS.EXITCODE), KVGLOBALS.PLAYERX, KVGLOBALS.PLAYERY,
                  KVGLOBALS.PLAYERZ, KVGLOBALS.GUNSHIPPO.ANGLE,
                  static_cast<int>(KVGLOBALS.GUNSHIPLANDED), fuel, ammo, rockets, mission, objective);
    return buf;
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
