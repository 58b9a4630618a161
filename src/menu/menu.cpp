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
#include "game/options.h"
#include "game/technology.h"
#include "game/trace.h"
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
int32_t current_menu() { return KV_MENUGLOBALS.CURMENU; }

int32_t screen_cursor() {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    switch (m.CURMENU) {
        case 7: return m.SELMAIN;
        case 0: return m.SELPROFILE;
        case 110: return m.SELNEWPROFILE;
        case 120: return m.SELPROPERTIES;
        case 1: case 2: case 3: return m.INGAMESELECTION;
        case 200: return m.SELMISSIONCOMPLETE;
        case 6: return m.SELNEWRESEARCH;
        default: return 0;
    }
}

void trace_fields(TraceMenuFields& f) {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    f.sel = m.SELPROFILE;
    f.nprof = m.NUMPROFILES;
    f.selmain = m.SELMAIN;
    f.selitem = screen_cursor();
    f.loaded = m.LOADINGCOMPLETED;
    f.lastfile = m.LASTFILELOADED;
    f.nnew = m.NUMNEWRESEARCH;
}

// The input step of a menu frame: the screen handlers, then the work of the loading and
// preloading screens (one model file or one terrain tile per frame).
void menu_frame_inputs() {
    kv_attract_step(platform_clock_ms());
    KV_MENU_PROCESSINPUTS();
    kv_menu_loading_step();
    kv_menu_preloading_step();
}

TraceBox current_box() {
    TraceBox b;
    if (KV_MENUGLOBALS.OKBOX == 1) {
        b.kind = "ok";
        b.title = KV_MENUGLOBALS.OKTITLE;
        b.message = KV_MENUGLOBALS.OKMESSAGE;
    } else if (KV_MENUGLOBALS.CONFIRMBOX == 1) {
        b.kind = "confirm";
        b.title = KV_MENUGLOBALS.CONFIRMTITLE;
        b.message = KV_MENUGLOBALS.CONFIRMMESSAGE;
    }
    return b;
}

// The game's message box request becomes the menu's OK box.
int32_t new_research_count() { return KV_MENUGLOBALS.NUMNEWRESEARCH; }

void raise_ok_box(const std::string& title, const std::string& message) { kv_menu_open_okbox(title, message); }

const KV_MENUFRAME kMenuFrame = {
    menu_frame_inputs, KV_MENU_RENDER, KV_WINDOW_RESIZE, system_swap_buffers, SYSTEM_UPD_FPSR,
};

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

void run_quick_flight() {
    QuickFlightSetup setup;
    setup.mission = KV_OPTIONS.FLY_MISSION;
    setup.has_position = KV_OPTIONS.HAS_FLY_AT;
    setup.x = KV_OPTIONS.FLY_X;
    setup.z = KV_OPTIONS.FLY_Z;
    setup.has_heading = KV_OPTIONS.HAS_FLY_HEADING;
    setup.heading = KV_OPTIONS.FLY_HEADING;
    setup.has_fuel = KV_OPTIONS.HAS_FLY_FUEL;
    setup.fuel = KV_OPTIONS.FLY_FUEL;
    setup.blast_frame = KV_OPTIONS.FLY_BLAST;
    if (kv_menu_quick_flight_start(setup)) {
        kv_menu_run_mission();
        KV_MENU_PROCESS_JUMPBACK();
    }
    // Leaving the quick flight's mission leaves the game.
    KV_MENUGLOBALS.EXITCODE = 7;
}
}  // namespace

const KV_MENUFRAME& kv_menu_frame() { return kMenuFrame; }

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
    kv_set_menu_resize_step(kv_menu_window_resize);
    trace_set_menu_source(current_menu);
    trace_set_menu_fields_source(trace_fields);
    trace_set_box_source(current_box);
    kv_set_message_box_hook(raise_ok_box);
    kv_set_new_research_count_source(new_research_count);
    if (KV_MENUGLOBALS.INITIALIZED == 0) KV_MENU_INITIALIZE();
    // The quick flight's pilot lives in memory only: the player's profile list is not even read.
    if (KV_OPTIONS.FLY) run_quick_flight();
    else KV_MENU_LOADPROFILES();
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
    uint32_t tex = 0;
    LOAD_TEXTURE(tex, "data/menu/mission.png");
    m.MISSIONTEX = static_cast<int32_t>(tex);
    tex = 0;
    LOAD_TEXTUREA(tex, "data/menu/worldmap.png");
    m.WORLDMAPTEX = static_cast<int32_t>(tex);
    tex = 0;
    LOAD_TEXTUREAL(tex, "data/menu/gunship.png");
    m.GUNSHIPTEX = static_cast<int32_t>(tex);
    // 3.
    kv_menu_window_resize();
    // 4. The island's garrisons; the table belongs to no profile yet.
    g.MAXENEMIES = 999;
    g.MAXENEMYCLASS = 99;
    KV_ENEMIES_LAYOUTLOAD();
    kv_set_enemy_table_owner(-1);
    // 5. The version check (never for the quick flight).
    if (!KV_OPTIONS.FLY) kv_version_menu_start();
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
    tex = 0;
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
