// Entry point of the game: parses the command line, moves into the game directory, sets up
// the run controls (seed, clock, input script, trace, screenshots, frame limit), wires every
// upward hook in one block, and chooses the road: the menu, or a quick flight straight into a
// mission. Start-up and shutdown frame both roads.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/options.h"
#include "core/trace.h"
#include "engine/objfile.h"
#include "engine/console_text.h"
#include "engine/screenshot.h"
#include "engine/system.h"
#include "engine/texture.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/missionobjects.h"
#include "game/objectives.h"
#include "game/autopilot.h"
#include "menu/autopilot_menu.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "menu/mission_flow.h"
#include "menu/profiles.h"
#include "menu/startup.h"
#include "menu/version_check.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/script.h"

namespace fs = std::filesystem;

namespace {
// Paths given on the command line are taken relative to where the game was started.
std::string absolute_path(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    return ec ? path : p.string();
}

std::string executable_directory(const char* argv0) {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) exe = fs::absolute(argv0 ? argv0 : ".", ec);
    return exe.parent_path().string();
}

int32_t current_menu() { return KV_MENUGLOBALS.CURMENU; }

// The cursor of the current menu screen, for the trace.
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

int32_t new_research_count() { return KV_MENUGLOBALS.NUMNEWRESEARCH; }

// The lower layers call upwards only through these hooks; they are all set here.
void wire_hooks() {
    kv_set_menu_resize_step(kv_menu_window_resize);  // the menu's part of a window resize
    trace_set_menu_source(current_menu);               // the trace's menu screen number
    system_set_frame_end_hook(trace_frame_end);        // one trace line per frame, when tracing
    objfile_set_texture_loader(LOAD_TEXTURE);          // material textures of the meshes
    trace_set_menu_fields_source(trace_fields);        // the trace's menu and research keys
    trace_set_box_source(current_box);                 // the trace's message box keys
    kv_set_message_box_hook(kv_menu_open_okbox);       // the mission's failure box is the menu's
    kv_set_new_research_count_source(new_research_count);  // base landing: research offered?
}

QuickFlightSetup quick_flight_setup(const KV_RUNOPTIONS& o) {
    QuickFlightSetup setup;
    setup.mission = o.FLY_MISSION;
    setup.has_position = o.HAS_FLY_AT;
    setup.x = o.FLY_X;
    setup.z = o.FLY_Z;
    setup.has_heading = o.HAS_FLY_HEADING;
    setup.heading = o.FLY_HEADING;
    setup.has_fuel = o.HAS_FLY_FUEL;
    setup.fuel = o.FLY_FUEL;
    setup.blast_frame = o.FLY_BLAST;
    return setup;
}

// Straight into the chosen mission for a fresh profile; leaving the mission leaves the game.
void run_quick_flight(const QuickFlightSetup& setup) {
    kv_menu_set_quick_flight(true);
    if (KV_MENUGLOBALS.INITIALIZED == 0) KV_MENU_INITIALIZE();
    // The quick flight's pilot lives in memory only: the player's profile list is not even read.
    if (kv_menu_quick_flight_start(setup)) {
        kv_menu_run_mission();
        KV_MENU_PROCESS_JUMPBACK();
    }
    KV_MENUGLOBALS.EXITCODE = 7;
    KV_MENU_SHUTDOWN();
}
}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!kv_parse_options(argc, argv, KV_OPTIONS, error)) {
        std::fprintf(stderr, "core: %s\n", error.c_str());
        return 2;
    }
    if (KV_OPTIONS.HELP) {
        std::fputs(kv_usage_text().c_str(), stdout);
        return 0;
    }
    if (KV_OPTIONS.VERSION) {
        std::printf("Kessra Vorn %s\n", KV_VERSION);
        return 0;
    }

    const std::string input = KV_OPTIONS.INPUT.empty() ? "" : absolute_path(KV_OPTIONS.INPUT);
    const std::string trace = KV_OPTIONS.TRACE.empty() ? "" : absolute_path(KV_OPTIONS.TRACE);
    for (auto& shot : KV_OPTIONS.SCREENSHOTS) shot.second = absolute_path(shot.second);

    const std::string dir = KV_OPTIONS.DIR.empty() ? executable_directory(argv[0]) : KV_OPTIONS.DIR;
    if (chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "core: cannot enter the game directory %s\n", dir.c_str());
        return 2;
    }

    if (KV_OPTIONS.HAS_SEED) platform_random_seed(KV_OPTIONS.SEED);
    else platform_random_seed_from_clock();
    if (KV_OPTIONS.FIXED_STEP > 0) platform_clock_use_fixed_step(KV_OPTIONS.FIXED_STEP);

    system_reset_frames();
    if (!input.empty()) {
        SCRIPTPARSE script;
        if (!script_load(input, script, error)) {
            std::fprintf(stderr, "core: %s\n", error.c_str());
            return 2;
        }
        for (const std::string& e : script.ERRORS) std::fprintf(stderr, "core: %s\n", console_safe(e).c_str());
        platform_input_use_script(script);
        platform_input_apply_frame(system_frame_number());  // events of the first frame
    }
    if (KV_OPTIONS.AUTOPILOT) {
        if (!KV_OPTIONS.FLY) kv_autopilot_menu_install();
        autopilot_start();
    }
    if (!trace.empty() && !trace_open(trace, error)) {
        std::fprintf(stderr, "core: %s\n", error.c_str());
        return 2;
    }
    for (const auto& [frame, path] : KV_OPTIONS.SCREENSHOTS) screenshot_request(frame, path);
    system_set_frame_limit(KV_OPTIONS.FRAMES);
    if (KV_OPTIONS.HAS_VERSION_SERVER)
        kv_version_set_server(KV_OPTIONS.VERSION_SERVER_HOST, KV_OPTIONS.VERSION_SERVER_PORT);
    wire_hooks();

    if (!INITIALIZE(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        trace_close();
        return 1;
    }
    if (KV_OPTIONS.FLY) run_quick_flight(quick_flight_setup(KV_OPTIONS));
    else KV_MENU_LAUNCHAPP();
    kv_version_shutdown();
    DEINIT();
    // A requested output that was not produced fails the run.
    const bool traced = trace_close();
    const int32_t unwritten = screenshot_report_unwritten();
    return traced && unwritten == 0 ? 0 : 1;
}
