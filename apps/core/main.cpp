// Entry point of the game: parses the command line, moves into the game directory, sets up
// the run controls (seed, clock, input script, trace, screenshots, frame limit) and hands over
// to start-up, the menu loop and shutdown.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "engine/screenshot.h"
#include "engine/system.h"
#include "game/autopilot.h"
#include "game/options.h"
#include "game/trace.h"
#include "menu/autopilot_menu.h"
#include "menu/menu.h"
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

    if (!INITIALIZE(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        trace_close();
        return 1;
    }
    KV_MENU_LAUNCHAPP();
    DEINIT();
    trace_close();
    return 0;
}
