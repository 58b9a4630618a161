// Cost of a crowded mission frame: one simulation-and-draw step of the real mission frame
// (physics, enemies, projectiles, drawing, objective and failure checks, swap up to a glFinish)
// with the fireball pool full of burning sprites and all 10 000 projectile slots in flight,
// against the same step with both pools empty as the peer. Counters: mean frame time of each and
// the ratio full / empty. Runs under xvfb-run -a (Mesa's software renderer).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "bench_game.h"
#include "engine/engine_globals.h"
#include "game/explosions.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/lights.h"
#include "menu/startup.h"
#include "menu/menu.h"
#include "menu/mission_flow.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "world/ground.h"

namespace {

constexpr float kX = 302.0f, kZ = 186.0f;  // a kill zone of the first mission
bool g_ready = false;
bool g_failed = false;
double g_empty_mean = 0.0;

bool setup() {
    if (g_ready) return true;
    if (g_failed) return false;
    g_failed = true;
    if (!bench_start_quick_flight()) return false;
    flight_place_gunship(kX, kZ + 26.0f, 90.0f);  // facing the zone
    PHYSICSDATA.TICKS = static_cast<float>(platform_clock_ms());
    KV_SETUPLIGHTS();
    KV_FINDGUNSHIPY();
    g_failed = false;
    g_ready = true;
    return true;
}

void empty_pools() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    for (auto& p : g.PROJECTILES) p.ACTIVE = 0;
    g.LASTPROJECTILE = 0;
    g.EXPLOSIONTIME = 0;
    g.NFIREBALLS = 0;
    g.FIRSTFIREBALL = 0;
}

// 9999 burning fireballs (the blast's pattern repeated side by side, all in their fire phase)
// and every projectile slot holding a slow round high above the ground.
void fill_pools() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t now = platform_clock_ms();
    kv_explosion_start(kX, kZ);
    for (int32_t i = 0; i < 9999; ++i) {
        FIREBALLTYPE& f = g.FIREBALL[i];
        if (i >= 1008) {
            f = g.FIREBALL[i % 1008];
            f.POSITION.X += static_cast<float>(i / 1008) * 6.0f - 27.0f;
        }
        f.VISIBLE = 1;
        f.STARTTIME = now - 10;
        f.FADETIME = f.STARTTIME + 100;
    }
    g.NFIREBALLS = 9999;
    g.FIRSTFIREBALL = 0;
    g.EXPLOSIONTIME = now;
    const float ground = KV_FINDMAPY(kX, kZ);
    for (int32_t i = 0; i < PROJECTILE_SLOTS; ++i) {
        PROJECTILETYPE& p = g.PROJECTILES[i];
        p = PROJECTILETYPE{};
        p.ACTIVE = 1;
        p.CLASS = 0;
        p.ENEMY = 2;
        p.POSITION = VECTOR3D{kX - 20.0f + static_cast<float>(i % 100) * 0.4f, ground + 30.0f,
                              kZ - 20.0f + static_cast<float>(i / 100) * 0.4f};
        p.VECTOR = VECTOR3D{1.0f, 0.0f, 0.0f};
        p.VELOCITY = 0.01f;
        p.MAXDISTANCETRAVEL = 1.0e6f;
        p.COLOR = RGBALPHA{1.0f, 0.75f, 0.25f, 0.0f};
        p.LOCKEDON = -1;
    }
    g.LASTPROJECTILE = PROJECTILE_SLOTS - 1;
}

double step_ms() {
    const KV_MISSIONFRAME& f = kv_mission_frame();
    const auto t0 = std::chrono::steady_clock::now();
    f.SYNC();
    f.PHYSICS();
    f.ENEMIES();
    f.PROJECTILES();
    f.RENDER();
    f.OBJECTIVES();
    f.FAILURE();
    f.SWAP();
    glFinish();
    f.PACE();
    const auto t1 = std::chrono::steady_clock::now();
    KVGLOBALS.EXITCODE = 0;  // a mission rule must not end the measurement
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

void run(benchmark::State& state, bool full) {
    if (!setup()) {
        state.SkipWithError("no game directory, map or window");
        return;
    }
    double total = 0.0;
    int64_t n = 0;
    int64_t drawn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        empty_pools();
        if (full) fill_pools();
        state.ResumeTiming();
        total += step_ms();
        drawn += kv_explosion_burning();
        ++n;
    }
    const double mean = n > 0 ? total / static_cast<double>(n) : 0.0;
    state.counters["mean_ms"] = mean;
    state.counters["burning"] = n > 0 ? static_cast<double>(drawn) / static_cast<double>(n) : 0.0;
    if (!full) g_empty_mean = mean;
    if (full && g_empty_mean > 0.0) state.counters["ratio_to_empty"] = mean / g_empty_mean;
    empty_pools();
}

void BM_MissionStepEmptyPools(benchmark::State& state) { run(state, false); }
void BM_MissionStepFullPools(benchmark::State& state) { run(state, true); }

BENCHMARK(BM_MissionStepEmptyPools)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MissionStepFullPools)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
