// Frame time of the mission frame in flight: a 60-second scripted flight (3750 frames of the
// virtual 16 ms clock) circling the centre of the densest town of the generated island, against the same
// flight over open sea as the peer. The flight is the game's own mission prologue and mission
// loop (input, physics, enemies, projectiles, drawing, objectives, swap), each frame timed on
// the wall clock up to a glFinish; the counters give the mean and the 99th percentile in milliseconds. Clipping is
// off so the gunship keeps circling over the roofs instead of pressing against a house.
// Runs under xvfb-run -a (Mesa's software renderer).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "engine/engine_globals.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/lights.h"
#include "menu/menu.h"
#include "menu/mission_flow.h"
#include "menu/startup.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/script.h"
#include "world/ground.h"

namespace {

constexpr int kFrames = 3750;  // 60 s at 16 ms
bool g_ready = false;
bool g_failed = false;

bool setup() {
    if (g_ready) return true;
    if (g_failed) return false;
    g_failed = true;
    const std::string dir = KV_GAME_DIR;
    if (!std::filesystem::exists(dir + "/0.map")) return false;
    std::filesystem::current_path(dir);
    platform_random_seed(1);
    platform_clock_use_fixed_step(16);
    std::string why;
    if (!INITIALIZE(why)) return false;
    // The quick flight's road: the menu's set-up (no version check), a fresh pilot, mission 0.
    kv_menu_set_quick_flight(true);
    KV_MENU_INITIALIZE();
    if (!kv_menu_quick_flight_start(QuickFlightSetup{})) return false;
    g_failed = false;
    g_ready = true;
    return true;
}

// Centre of the 80 x 80 window with the most building cells (city codes 4 and above; 3 is
// the map's boundary frame and the walls).
void densest_town(float& cx, float& cz) {
    int best = -1;
    for (int z0 = 80; z0 < 440; z0 += 8) {
        for (int x0 = 80; x0 < 440; x0 += 8) {
            int n = 0;
            for (int z = z0 - 40; z < z0 + 40; z += 2)
                for (int x = x0 - 40; x < x0 + 40; x += 2) {
                    if (KVGLOBALS.CITYMAP[static_cast<size_t>(z) * 513 + x] > 3) ++n;
                }
            if (n > best) {
                best = n;
                cx = static_cast<float>(x0);
                cz = static_cast<float>(z0);
            }
        }
    }
}

// A point over open sea: the first sampled cell far from land.
void open_sea(float& cx, float& cz) {
    for (int z = 60; z < 460; z += 10)
        for (int x = 60; x < 460; x += 10) {
            bool water = true;
            for (int dz = -40; dz <= 40 && water; dz += 8)
                for (int dx = -40; dx <= 40 && water; dx += 8)
                    if (KVGLOBALS.TERRAINMAP[static_cast<size_t>(z + dz) * 513 + x + dx] > 10) water = false;
            if (water) {
                cx = static_cast<float>(x);
                cz = static_cast<float>(z);
                return;
            }
        }
    cx = 40.0f;
    cz = 50.0f;
}

// Thrust and rotate-right held all the way: the gunship flies circles of about 22 units
// radius; started 22 units west of the centre heading 90, it circles the centre.
void use_circling_script() {
    SCRIPTPARSE s;
    auto key = [&](int64_t frame, int32_t glfw_key, float down) {
        SCRIPTEVENT e;
        e.FRAME = frame;
        e.KIND = ScriptEventKind::KEY;
        e.KEY = glfw_key;
        e.VALUE = down;
        s.EVENTS.push_back(e);
    };
    key(0, 265 /* UP */, 1.0f);
    key(0, 262 /* RIGHT */, 1.0f);
    std::stable_sort(s.EVENTS.begin(), s.EVENTS.end(),
                     [](const SCRIPTEVENT& a, const SCRIPTEVENT& b) { return a.FRAME < b.FRAME; });
    platform_input_use_script(s);
}

// The game's own mission loop with timing round each frame: the clock starts before the first
// step, the GPU is drained after the swap, and the frame ends after the bookkeeping. A mission
// rule must not end the measured flight, so the exit code is cleared until kFrames are done.
struct Timing {
    std::vector<double> ms;
    std::chrono::steady_clock::time_point t0;
    float cx = 0, cz = 0, max_dist = 0;
};
Timing g_timing;

void timed_sync() {
    g_timing.t0 = std::chrono::steady_clock::now();
    kv_mission_frame().SYNC();
}
void timed_swap() {
    kv_mission_frame().SWAP();
    glFinish();
}
void timed_pace() {
    kv_mission_frame().PACE();
    Timing& t = g_timing;
    t.ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t.t0).count());
    const float d = std::hypot(KVGLOBALS.PLAYERX - t.cx, KVGLOBALS.PLAYERZ - t.cz);
    if (d > t.max_dist) t.max_dist = d;
    KVGLOBALS.EXITCODE = static_cast<int8_t>(static_cast<int>(t.ms.size()) >= kFrames ? 1 : 0);
}
void game_inputs() { kv_mission_frame().INPUTS(); }
void game_physics() { kv_mission_frame().PHYSICS(); }
void game_enemies() { kv_mission_frame().ENEMIES(); }
void game_projectiles() { kv_mission_frame().PROJECTILES(); }
void game_render() { kv_mission_frame().RENDER(); }
void game_objectives() { kv_mission_frame().OBJECTIVES(); }
void game_failure() { kv_mission_frame().FAILURE(); }
void game_resize() { kv_mission_frame().RESIZE(); }

const KV_MISSIONFRAME kTimedFrame = {timed_sync,   game_inputs,     game_physics, game_enemies,
                                     game_projectiles, game_render, game_objectives, game_failure,
                                     game_resize,  timed_swap,      timed_pace};

void fly_and_time(benchmark::State& state, bool town) {
    if (!setup()) {
        state.SkipWithError("no game directory, map or window");
        return;
    }
    float cx = 0, cz = 0;
    if (town) densest_town(cx, cz);
    else open_sea(cx, cz);
    Timing& t = g_timing;
    t.ms.clear();
    t.ms.reserve(kFrames);
    t.cx = cx;
    t.cz = cz;
    t.max_dist = 0.0f;
    for (auto _ : state) {
        t.ms.clear();
        flight_place_gunship(cx - 22.0f, cz, 90.0f);
        KVGLOBALS.COLLISIONON = 0;
        KVGLOBALS.EXITCODE = 0;
        use_circling_script();
        kv_mission_prologue();
        kv_run_mission_loop(kTimedFrame);
        KVGLOBALS.EXITCODE = 0;
    }
    const std::vector<double>& ms = t.ms;
    const float max_dist = t.max_dist;
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
    const double p99 = sorted[static_cast<size_t>(0.99 * static_cast<double>(sorted.size() - 1))];
    state.counters["mean_ms"] = mean;
    state.counters["p99_ms"] = p99;
    state.counters["max_ms"] = sorted.back();
    state.counters["max_dist"] = max_dist;  // how far the circles strayed from the centre
    state.counters["x"] = cx;
    state.counters["z"] = cz;
}

void BM_FlightOverDensestTown(benchmark::State& state) { fly_and_time(state, true); }
void BM_FlightOverOpenSea(benchmark::State& state) { fly_and_time(state, false); }

BENCHMARK(BM_FlightOverDensestTown)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlightOverOpenSea)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
