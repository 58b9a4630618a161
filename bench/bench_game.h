// The benchmarks' way into a flight: the shipped game directory, a fixed seed and a 16 ms
// virtual clock, the window, then the quick flight's own road (the menu's set-up without the
// version check, a fresh pilot, mission 0). Done once per program; false when the game data or
// the window is missing.
#pragma once

#include <filesystem>
#include <string>

#include "game/flight.h"
#include "menu/menu.h"
#include "menu/mission_flow.h"
#include "menu/startup.h"
#include "platform/clock.h"
#include "platform/random.h"

inline bool bench_start_quick_flight() {
    static int state = 0;  // 0 not tried, 1 ready, -1 failed
    if (state != 0) return state == 1;
    state = -1;
    const std::string dir = KV_GAME_DIR;
    if (!std::filesystem::exists(dir + "/0.map")) return false;
    std::filesystem::current_path(dir);
    platform_random_seed(1);
    platform_clock_use_fixed_step(16);
    std::string why;
    if (!INITIALIZE(why)) return false;
    kv_menu_set_quick_flight(true);
    KV_MENU_INITIALIZE();
    if (!kv_menu_quick_flight_start(QuickFlightSetup{})) return false;
    state = 1;
    return true;
}
