// The menu side of the game frame (see menu.h): launching the menu, its one-time set-up, the
// menu loop, the fades and the quick flight's road into the mission loop. The screens' input,
// profiles, research and mission start live in menu_input, profiles, research and mission_flow.
#include "menu/menu.h"

#include <GL/gl.h>

#include <cstdio>

#include "engine/engine_globals.h"
#include "engine/system.h"
#include "engine/textfile.h"
#include "engine/texture.h"
#include "game/enemies.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "game/mission.h"
#include "game/missionobjects.h"
#include "game/objectives.h"
#include "game/technology.h"
#include "game/world.h"
#include "menu/autopilot_menu.h"
#include "menu/menu_globals.h"
#include "menu/menu_input.h"
#include "menu/menu_render.h"
#include "menu/mission_flow.h"
#include "menu/profiles.h"
#include "menu/version_check.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "world/ground.h"
#include "world/map.h"
#include "world/terrain.h"

namespace {
// The input step of a menu frame: the screen handlers, then the work of the loading and
// preloading screens (one model file or one terrain tile per frame).
void menu_frame_inputs() {
    kv_attract_step(platform_clock_ms());
    KV_MENU_PROCESSINPUTS();
    kv_menu_loading_step();
    kv_menu_preloading_step();
}

bool g_quick_flight = false;
const KV_MENUFRAME kMenuFrame = {
    menu_frame_inputs, KV_MENU_RENDER, KV_WINDOW_RESIZE, system_swap_buffers, SYSTEM_UPD_FPSR,
};

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

}  // namespace

const KV_MENUFRAME& kv_menu_frame() { return kMenuFrame; }

void kv_menu_set_quick_flight(bool on) { g_quick_flight = on; }
bool kv_menu_quick_flight() { return g_quick_flight; }

void kv_run_menu_loop(const KV_MENUFRAME& f) {
    while (KV_MENUGLOBALS.EXITCODE == 0 && !platform_quit_requested()) {
        f.INPUTS();
        f.RENDER();
        if (OPENGLPROPERTIES.WINDOW_RESIZED == 1) {
            f.RESIZE();
            OPENGLPROPERTIES.WINDOW_RESIZED = 0;
        }
        f.SWAP();
        f.PACE();
    }
}

void KV_MENU_LAUNCHAPP() {
    if (KV_MENUGLOBALS.INITIALIZED == 0) KV_MENU_INITIALIZE();
    KV_MENU_LOADPROFILES();
    KV_MENU_MAINLOOP();
    KV_MENU_SHUTDOWN();
}

void KV_MENU_MAINLOOP() { kv_run_menu_loop(kMenuFrame); }

int32_t kv_menu_count_model_entries(const std::string& path) {
    FieldReader r;
    field_reader_open(r, path);
    int32_t n = 0;
    while (!field_eof(r)) {
        field_read(r);
        ++n;
    }
    return n;
}

int32_t kv_menu_read_credits(const std::string& path) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    FieldReader r;
    field_reader_open(r, path);
    m.CREDITLINES = 0;
    while (!field_eof(r)) {
        std::string line = field_read(r);
        if (m.CREDITLINES >= MENU_CREDIT_SLOTS) {
            std::printf("%s: more than %d lines; the rest is not shown\n", path.c_str(), MENU_CREDIT_SLOTS);
            break;
        }
        m.CREDITROW[m.CREDITLINES++] = line;
    }
    return m.CREDITLINES;
}

void KV_MENU_INITIALIZE() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    KVGLOBALSTYPE& g = KVGLOBALS;
    m.INITIALIZED = 1;
    // 1. The island.
    KV_INITIALIZE_MAPS();
    g.MAPSCALE = 0.25f;
    g.WATERSPACER = 10.0f;
    KV_INITIALIZE_KVGROUNDCIRCLEPOLYLOOKUP();
    KV_LOAD_MISSIONMAP("0.map");
    // 2. Menu pictures.
    kv_menu_load_screen_assets();
    // 3.
    kv_menu_window_resize();
    // 4. The island's garrisons; the table belongs to no profile yet.
    g.MAXENEMIES = 999;
    g.MAXENEMYCLASS = 99;
    KV_ENEMIES_LAYOUTLOAD();
    kv_set_enemy_table_owner(-1);
    // 5. The version check (never for the quick flight).
    if (!g_quick_flight) kv_version_menu_start();
    // 6.
    m.CURMENU = 7;
    // 7. The model preload list.
    m.NFILESTOLOAD = kv_menu_count_model_entries("models.dat");
    m.LASTFILELOADED = -1;
    g.LOADINGALPHA = 1.0f;
    // 8.
    KV_LOAD_RESEARCH();
    // 9.
    kv_menu_read_credits("credits.txt");
    // 10. The minimap.
    uint32_t tex = 0;
    LOAD_TEXTUREL(tex, "data/maps/0/minimap.png");
    g.MINIMAPTEX = static_cast<int32_t>(tex);
    g.MINIMAPDL = static_cast<int32_t>(glGenLists(1));
    if (g.MINIMAPDL != 0) {
        glNewList(static_cast<GLuint>(g.MINIMAPDL), GL_COMPILE);
        KV_RENDER_MINIMAPDL();
        glEndList();
    }
    // The mission names, so the profile list never shows a blank mission.
    KV_MISSION_LOADMISSIONDATA();
}

void kv_menu_window_resize() {
    KV_MENUGLOBALS.YSPACER = static_cast<float>(OPENGLPROPERTIES.SCR_HEIGHT) * 0.1f;
}

void KV_MENU_CLEARFADES() {
    for (float& f : KV_MENUGLOBALS.MENUFADE) f = 0.0f;
}

void kv_menu_advance_fades(float fpsr) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const float step = 0.05f * fpsr;
    for (int32_t i = 0; i < MENU_SCREEN_SLOTS; ++i) {
        if (i == m.CURMENU) continue;
        if (i != 900 || m.CURMENU == 7) {
            m.MENUFADE[i] -= step;
            if (m.MENUFADE[i] < 0.0f) m.MENUFADE[i] = 0.0f;
        }
    }
    m.CONFIRMFADE = clamp01(m.CONFIRMFADE + (m.CONFIRMBOX == 1 ? step : -step));
    m.OKFADE = clamp01(m.OKFADE + (m.OKBOX == 1 ? step : -step));
    if (m.CURMENU != 9 && m.CURMENU != 7) {
        m.MENUFADE[900] += step;
        if (m.MENUFADE[900] > 1.0f) m.MENUFADE[900] = 1.0f;
    }
    if (m.CURMENU >= 0 && m.CURMENU < MENU_SCREEN_SLOTS) {
        m.MENUFADE[m.CURMENU] += step;
        if (m.MENUFADE[m.CURMENU] > 1.0f) m.MENUFADE[m.CURMENU] = 1.0f;
    }
}

void kv_menu_advance_main_fades(float fpsr) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const float step = 0.1f * fpsr;
    for (int32_t i = 0; i < 5; ++i) {
        const float v = m.SELMAINFADE[i] + (i == m.SELMAIN ? step : -step);
        m.SELMAINFADE[i] = clamp01(v);
    }
}

void KV_MENU_SHUTDOWN() { kv_version_shutdown(); }
void KV_MENU_DEINIT() {}
