// The simulation part of a mission frame (everything but drawing and the swap: frame counter,
// inputs, physics, enemies, projectiles, objectives, failure checks) timed on its own, with the
// pools full: all 10 000 projectile slots in flight and all 1000 enemy slots alive round the
// gunship, against the same frames with the island's own garrisons and no projectiles (the
// peer). Each frame starts from the same full pools, so the pools stay full however many
// shots end; the restore is not timed. mean_ms is the mean simulation time per frame,
// x_budget its multiple of the 1 ms budget; enemies_ms, projectiles_ms and fireballs_ms split
// it by step; cpu_ms is the mean CPU time of the same span on this thread, which other work on
// a shared machine does not stretch; median_ms and cpu_median_ms are the middle frame's times,
// which a few frames cut short by other work on the machine do not move.
//
// Fireballs: a demolition blast of all 1008 fireballs round the gunship, every one due to ignite
// in the measured frame, so each throws its six sparks into the (full) projectile pool and then
// burns; their animation step (explosion_step without a painter: ignition, colour, fade, drift)
// is timed as fireballs_ms. In the game that step runs inside the explosion's drawing call.
//
// pool_hash is a checksum of the projectile and enemy pools after the last frame: the same
// figure before and after a change to the pool's bookkeeping shows the same slots were used.
// state_hash adds the fireball pool and the next number of the random sequence (drawn once,
// after the timing): the same figure shows the frames consumed the same numbers and left the
// blast the same.
//
// KV_BENCH_FRAMES=N changes the number of frames per run. Runs under xvfb-run -a.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_game.h"
#include "engine/engine_globals.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "game/lights.h"
#include "game/projectiles.h"
#include "menu/startup.h"
#include "game/world.h"
#include "menu/menu.h"
#include "menu/mission_flow.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "world/ground.h"

namespace {

bool g_ready = false;
bool g_failed = false;

int frames_per_run() {
    const char* v = std::getenv("KV_BENCH_FRAMES");
    if (!v || !*v) return 200;
    const long n = std::strtol(v, nullptr, 10);
    return n >= 10 && n <= 100000 ? static_cast<int>(n) : 200;
}

bool setup() {
    if (g_ready) return true;
    if (g_failed) return false;
    g_failed = true;
    if (!bench_start_quick_flight()) return false;
    g_failed = false;
    g_ready = true;
    return true;
}

// A blast round (cx, cz); returns the number of fireballs laid out.
int32_t fill_fireball_pool(float cx, float cz) {
    kv_explosion_start(cx, cz);
    return KVGLOBALS.NFIREBALLS;
}
// Every fireball of the blast due now: each ignites in the coming frame's step and burns.
void make_fireballs_due() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (g.EXPLOSIONTIME == 0) return;
    const int32_t now = platform_clock_ms();
    g.EXPLOSIONTIME = now - 1;
    for (int32_t i = 0; i < g.NFIREBALLS && i < FIREBALL_SLOTS; ++i) {
        g.FIREBALL[i].VISIBLE = 0;
        g.FIREBALL[i].STARTTIME = now - 1;
        g.FIREBALL[i].FADETIME = now + 99;
    }
}
void step_fireballs() { explosion_step(platform_clock_ms(), nullptr); }

// CPU time of this thread: on a machine shared with other work it is not stretched by waiting.
double thread_cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1.0e6;
}

// FNV-1a over the pools' bytes.
uint64_t pools_hash() {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* data, size_t n) {
        const auto* b = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    };
    mix(KVGLOBALS.PROJECTILES, sizeof(KVGLOBALS.PROJECTILES));
    mix(KVGLOBALS.ENEMIES, sizeof(KVGLOBALS.ENEMIES));
    mix(&KVGLOBALS.LASTPROJECTILE, sizeof(int32_t));
    return h;
}

// pools_hash() with the fireball pool and the next random number mixed in.
uint64_t state_hash() {
    uint64_t h = pools_hash();
    auto mix = [&h](const void* data, size_t n) {
        const auto* b = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    };
    mix(KVGLOBALS.FIREBALL, sizeof(KVGLOBALS.FIREBALL));
    const uint32_t next = platform_random_u32();
    mix(&next, sizeof(next));
    return h;
}

// Every enemy slot alive, copied round-robin from the garrisons the layout placed and spread
// over a 120 x 120 square round (cx, cz), so turrets and infantry near the gunship aim and fire.
void fill_enemies(float cx, float cz) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    int32_t placed = 0;
    for (int32_t i = 0; i < ENEMY_SLOTS; ++i)
        if (g.ENEMIES[i].ACTIVE == 1) placed = i + 1;
    for (int32_t i = 0; i < ENEMY_SLOTS; ++i) {
        ENEMYTYPE e = placed > 0 ? g.ENEMIES[i % placed] : ENEMYTYPE{};
        if (placed == 0) e.CLASS = ENEMYCLASS_M16 + (i % 2);
        e.ACTIVE = 1;
        e.HEALTH = 100.0f;
        e.MAXHP = 100;
        e.NEXTROUND = 0;
        e.POSITION.X = cx - 60.0f + static_cast<float>((i * 37) % 120);
        e.POSITION.Z = cz - 60.0f + static_cast<float>((i * 53) % 120);
        e.POSITION.Y = KV_FINDMAPY(e.POSITION.X, e.POSITION.Z);
        g.ENEMIES[i] = e;
    }
    g.MAXENEMIES = ENEMY_SLOTS - 1;
    g.LASTENEMY = ENEMY_SLOTS - 1;
}

// Every projectile slot in flight: bullets, sparks and rockets of both sides criss-crossing the
// square round the gunship, high enough not to hit the ground in the frame.
void fill_projectiles(float cx, float cz) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    for (int32_t i = 0; i < PROJECTILE_SLOTS; ++i) {
        PROJECTILETYPE p{};
        const float a = static_cast<float>(i) * 0.618f;
        p.POSITION.X = cx - 50.0f + static_cast<float>((i * 31) % 100);
        p.POSITION.Z = cz - 50.0f + static_cast<float>((i * 17) % 100);
        p.POSITION.Y = KV_FINDMAPY(p.POSITION.X, p.POSITION.Z) + 6.0f + static_cast<float>(i % 7);
        p.VECTOR = VECTOR3D{std::cos(a) * 0.9f, 0.05f, std::sin(a) * 0.9f};
        p.VELOCITY = 30.0f;
        p.ACTIVE = 1;
        p.MAXDISTANCETRAVEL = 60.0f;
        p.COLOR = RGBALPHA{0.5f, 0.5f, 0.5f, 0.0f};
        p.GRAVITY = 0.0675f;
        p.LOCKEDON = -1;
        switch (i % 10) {
            case 0: p.CLASS = 1; p.ENEMY = 2; p.VELOCITY = 8.0f; p.DEADTIME = 1 << 30; break;  // player rocket
            case 1: p.CLASS = 1; p.ENEMY = 1; p.VELOCITY = 8.0f; p.DEADTIME = 1 << 30; break;  // enemy rocket
            case 2: case 3: p.RICOCHET = 1; break;                                              // sparks
            case 4: case 5: case 6: p.ENEMY = 1; break;                                         // enemy shots
            default: p.ENEMY = 2; break;                                                        // player shots
        }
        g.PROJECTILES[i] = p;
    }
    g.MAXPROJECTILES = PROJECTILE_SLOTS - 1;
    g.LASTPROJECTILE = PROJECTILE_SLOTS - 1;
}

void simulate(benchmark::State& state, bool full) {
    if (!setup()) {
        state.SkipWithError("no game directory, map or window");
        return;
    }
    KVGLOBALSTYPE& g = KVGLOBALS;
    const float cx = g.PLAYERX, cz = g.PLAYERZ;
    // The pools as they stand at the start of every frame.
    auto enemies = std::make_unique<ENEMYTYPE[]>(ENEMY_SLOTS);
    auto projectiles = std::make_unique<PROJECTILETYPE[]>(PROJECTILE_SLOTS);
    KV_ENEMIES_LAYOUTLOAD();
    for (int32_t i = 0; i < PROJECTILE_SLOTS; ++i) g.PROJECTILES[i] = PROJECTILETYPE{};
    g.LASTPROJECTILE = 0;
    int32_t fireballs = 0;
    KVGLOBALS.EXPLOSIONTIME = 0;
    if (full) {
        fill_enemies(cx, cz);
        fill_projectiles(cx, cz);
        fireballs = fill_fireball_pool(cx, cz);
    }
    auto blast = std::make_unique<FIREBALLTYPE[]>(FIREBALL_SLOTS);
    std::memcpy(static_cast<void*>(blast.get()), g.FIREBALL, sizeof(FIREBALLTYPE) * FIREBALL_SLOTS);
    const int32_t explosion_time = g.EXPLOSIONTIME, n_fireballs = g.NFIREBALLS;
    const int32_t last_enemy = g.LASTENEMY, max_enemies = g.MAXENEMIES, last_projectile = g.LASTPROJECTILE;
    std::memcpy(static_cast<void*>(enemies.get()), g.ENEMIES, sizeof(ENEMYTYPE) * ENEMY_SLOTS);
    std::memcpy(static_cast<void*>(projectiles.get()), g.PROJECTILES, sizeof(PROJECTILETYPE) * PROJECTILE_SLOTS);

    const KV_MISSIONFRAME& f = kv_mission_frame();
    const int frames = frames_per_run();
    double cpu_total_ms = 0;
    double total_ms = 0, worst_ms = 0, enemies_ms = 0, projectiles_ms = 0, fireballs_ms = 0;
    int64_t active_after = 0;
    std::vector<double> frame_ms(static_cast<size_t>(frames)), frame_cpu_ms(static_cast<size_t>(frames));
    PHYSICSDATA.TICKS = static_cast<float>(platform_clock_ms());
    PHYSICSDATA.TICKSPASSED = 0;
    KV_FINDGUNSHIPY();
    for (auto _ : state) {
        cpu_total_ms = 0;
        total_ms = worst_ms = enemies_ms = projectiles_ms = fireballs_ms = 0;
        active_after = 0;
        for (int i = 0; i < frames; ++i) {
            std::memcpy(static_cast<void*>(g.ENEMIES), enemies.get(), sizeof(ENEMYTYPE) * ENEMY_SLOTS);
            std::memcpy(static_cast<void*>(g.PROJECTILES), projectiles.get(), sizeof(PROJECTILETYPE) * PROJECTILE_SLOTS);
            g.LASTENEMY = last_enemy;
            g.MAXENEMIES = max_enemies;
            g.LASTPROJECTILE = last_projectile;
            std::memcpy(static_cast<void*>(g.FIREBALL), blast.get(), sizeof(FIREBALLTYPE) * FIREBALL_SLOTS);
            g.EXPLOSIONTIME = explosion_time;
            g.NFIREBALLS = n_fireballs;
            g.FIRSTFIREBALL = 0;
            make_fireballs_due();
            projectiles_pool_sync();
            g.EXITCODE = 0;
            flight_place_gunship(cx, cz, 90.0f);
            using clock = std::chrono::steady_clock;
            const double c0 = thread_cpu_ms();
            const auto t0 = clock::now();
            f.SYNC();
            f.INPUTS();
            f.PHYSICS();
            const auto t_enemies = clock::now();
            f.ENEMIES();
            const auto t_projectiles = clock::now();
            f.PROJECTILES();
            const auto t_fireballs = clock::now();
            step_fireballs();
            const auto t_rules = clock::now();
            f.OBJECTIVES();
            f.FAILURE();
            const auto t1 = clock::now();
            const double cpu_ms = thread_cpu_ms() - c0;
            cpu_total_ms += cpu_ms;
            frame_cpu_ms[static_cast<size_t>(i)] = cpu_ms;
            auto span = [](clock::time_point a, clock::time_point b) {
                return std::chrono::duration<double, std::milli>(b - a).count();
            };
            enemies_ms += span(t_enemies, t_projectiles);
            projectiles_ms += span(t_projectiles, t_fireballs);
            fireballs_ms += span(t_fireballs, t_rules);
            f.PACE();
            const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
            total_ms += ms;
            frame_ms[static_cast<size_t>(i)] = ms;
            if (ms > worst_ms) worst_ms = ms;
            for (int32_t k = 0; k < PROJECTILE_SLOTS; ++k) active_after += g.PROJECTILES[k].ACTIVE != 0 ? 1 : 0;
        }
    }
    const double mean = total_ms / frames;
    state.counters["mean_ms"] = mean;
    state.counters["max_ms"] = worst_ms;
    state.counters["cpu_ms"] = cpu_total_ms / frames;
    auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    state.counters["median_ms"] = median(frame_ms);
    state.counters["cpu_median_ms"] = median(frame_cpu_ms);
    state.counters["enemies_ms"] = enemies_ms / frames;
    state.counters["projectiles_ms"] = projectiles_ms / frames;
    state.counters["fireballs_ms"] = fireballs_ms / frames;
    state.counters["x_budget"] = mean / 1.0;
    state.counters["enemies"] = g.LASTENEMY + 1;
    state.counters["projectiles_after"] = static_cast<double>(active_after) / frames;
    state.counters["fireballs"] = fireballs;
    state.counters["burning_after"] = kv_explosion_burning();
    state.counters["pool_hash"] = static_cast<double>(pools_hash() % 1000000007ull);
    state.counters["state_hash"] = static_cast<double>(state_hash() % 1000000007ull);
    g.EXITCODE = 0;
    g.EXPLOSIONTIME = 0;
}

void BM_SimulationGarrisonsOnly(benchmark::State& state) { simulate(state, false); }
void BM_SimulationFullPools(benchmark::State& state) { simulate(state, true); }

}  // namespace

BENCHMARK(BM_SimulationGarrisonsOnly)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulationFullPools)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
