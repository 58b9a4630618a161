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
#include "engine/screenshot.h"
#include "engine/system.h"
#include "engine/texture.h"
#include "game/flight.h"
#include "game/kv.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "menu/mission_flow.h"
#include "menu/profiles.h"
#include "menu/startup.h"
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

// The lower layers call upwards only through these hooks; they are all set here.
void wire_hooks() {
    kv_set_menu_resize_step(kv_menu_window_resize);  // the menu's part of a window resize
    trace_set_menu_source(current_menu);               // the trace's menu screen number
    system_set_frame_end_hook(trace_frame_end);        // one trace line per frame, when tracing
    objfile_set_texture_loader(LOAD_TEXTURE);          // material textures of the meshes
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
    return setup;
}

// Straight into the chosen mission for a fresh profile; leaving the mission leaves the game.
void run_quick_flight(const QuickFlightSetup& setup) {
    if (KV_MENUGLOBALS.INITIALIZED == 0) KV_MENU_INITIALIZE();
    KV_MENU_LOADPROFILES();
    KV_MENU_STARTMISSION();
    flight_start_fly_run(setup);
    KV_LAUNCHAPP();
    KV_MENU_PROCESS_JUMPBACK();
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
        for (const std::string& e : script.ERRORS) std::fprintf(stderr, "core: %s\n", e.c_str());
        platform_input_use_script(script);
        platform_input_apply_frame(system_frame_number());  // events of the first frame
    }
    if (!trace.empty() && !trace_open(trace, error)) {
        std::fprintf(stderr, "core: %s\n", error.c_str());
        return 2;
    }
    for (const auto& [frame, path] : KV_OPTIONS.SCREENSHOTS) screenshot_request(frame, path);
    system_set_frame_limit(KV_OPTIONS.FRAMES);
    wire_hooks();

    if (!INITIALIZE(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        trace_close();
        return 1;
    }
    if (KV_OPTIONS.FLY) run_quick_flight(quick_flight_setup(KV_OPTIONS));
    else KV_MENU_LAUNCHAPP();
    DEINIT();
    trace_close();
    return 0;
}
