// Frame time of the mission frame in flight: a 60-second scripted flight (3750 frames of the
// virtual 16 ms clock) circling the centre of the densest town of the generated island, and the
// same flight over open sea. The game's own mission loop runs the flight (its prologue, then
// kv_run_mission_loop with the game's frame table, each step wrapped to take its time); every
// frame is timed on the wall clock up to a glFinish; the counters give the mean and the 99th
// percentile in milliseconds. Clipping is off so the gunship keeps circling over the roofs
// instead of pressing against a house.
//
// The peer is the renderer's floor, run first in the same process and window: each frame clears
// the window and draws one lit, fogged, depth-tested quad over the whole screen, then swaps and
// waits like the flights. Every flight reports its mean and 99th percentile as multiples of the
// floor's mean (mean_x_floor, p99_x_floor), and splits its mean into the simulation steps
// (sim_ms), the drawing call (draw_ms: game and driver work on this thread) and the swap and
// glFinish (finish_ms: rasterising that was not done yet). cpu_ms is the CPU time of all the
// process's threads per frame (the game's and the renderer's), cpu_x_floor its multiple of the
// floor's: on a machine shared with other work it moves less than the wall clock.
//
// KV_BENCH_FRAMES=N shortens every run to N frames (for quick comparisons while working).
// Runs under xvfb-run -a (Mesa's software renderer).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ctime>
#include <numeric>
#include <string>
#include <vector>

#include "bench_game.h"
#include "engine/engine_globals.h"
#include "engine/png_write.h"
#include "engine/screenshot.h"
#include "engine/system.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "game/lights.h"
#include "game/world.h"
#include "menu/startup.h"
#include "menu/menu.h"
#include "menu/mission_flow.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/script.h"
#include "world/ground.h"
#include "world/terrain.h"

namespace {

constexpr int kFullFrames = 3750;  // 60 s at 16 ms
bool g_ready = false;
bool g_failed = false;
double g_floor_mean_ms = 0.0;  // set by the floor benchmark, read by the flights

int frames_per_run() {
    const char* v = std::getenv("KV_BENCH_FRAMES");
    if (!v || !*v) return kFullFrames;
    const long n = std::strtol(v, nullptr, 10);
    return n >= 10 && n <= kFullFrames * 10 ? static_cast<int>(n) : kFullFrames;
}

// CPU time of the whole process (every thread: the game's and the renderer's) in milliseconds;
// less disturbed than the wall clock when other programs share the machine.
double process_cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1.0e6;
}
double g_floor_cpu_ms = 0.0;

double mean_of(const std::vector<double>& v) {
    return v.empty() ? 0.0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

double p99_of(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(0.99 * static_cast<double>(v.size() - 1))];
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

// The game's own mission loop (kv_run_mission_loop) runs the flight, with every step of its
// frame table wrapped: the wrappers call the game's step and take the time round it. The swap's
// wrapper adds the glFinish; the frame-end wrapper counts the frame, keeps a mission rule from
// ending the measured flight and ends the loop after the last frame.
struct FlightClock {
    using clock = std::chrono::steady_clock;
    const KV_MISSIONFRAME* game = nullptr;
    clock::time_point t0, t_sim, t_draw, t_rules;
    std::vector<double>* ms = nullptr;
    double sim_ms = 0, draw_ms = 0, finish_ms = 0;
    double tiles = 0, ground_outside = 0, buildings_sent = 0, buildings_outside = 0;
    int frames = 0, frames_left = 0;
    const char* name = nullptr;
    float cx = 0, cz = 0, max_dist = 0;
};
FlightClock g_flight;

double span_ms(FlightClock::clock::time_point a, FlightClock::clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

void timed_sync() {
    g_flight.t0 = FlightClock::clock::now();
    g_flight.game->SYNC();
}
void timed_projectiles() {
    g_flight.game->PROJECTILES();
    g_flight.t_sim = FlightClock::clock::now();
}
void timed_render() {
    g_flight.game->RENDER();
    g_flight.t_draw = FlightClock::clock::now();
    const KVRENDERMAPSTATS& st = KV_RENDER_MAP_STATS;
    g_flight.tiles += st.drawn;
    g_flight.ground_outside += st.ground_outside;
    g_flight.buildings_sent += st.buildings_sent;
    g_flight.buildings_outside += st.buildings_outside;
}
void timed_failure() {
    g_flight.game->FAILURE();
    g_flight.t_rules = FlightClock::clock::now();
}
// KV_BENCH_SHOTS=DIR writes the first, the middle and the last frame of every flight as
// DIR/<flight>_<frame>.png: the pictures a change to the drawing must leave byte-identical.
void shoot_if_asked() {
    const char* dir = std::getenv("KV_BENCH_SHOTS");
    FlightClock& c = g_flight;
    if (!dir || !*dir || !c.name) return;
    const int done = c.frames - c.frames_left + 1;  // this frame, from 1
    if (done != 1 && done != c.frames / 2 && done != c.frames) return;
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    const std::vector<uint8_t> rgb = screenshot_read_rgb(vp[2], vp[3]);
    const std::string path = std::string(dir) + "/" + c.name + "_" + std::to_string(done) + ".png";
    if (!png_write_file(path, vp[2], vp[3], 3, rgb.data())) std::fprintf(stderr, "could not write %s\n", path.c_str());
}
void swap_and_finish() {
    shoot_if_asked();
    g_flight.game->SWAP();
    glFinish();
}
void timed_pace() {
    FlightClock& c = g_flight;
    c.game->PACE();
    const auto t1 = FlightClock::clock::now();
    c.ms->push_back(span_ms(c.t0, t1));
    c.sim_ms += span_ms(c.t0, c.t_sim) + span_ms(c.t_draw, c.t_rules);
    c.draw_ms += span_ms(c.t_sim, c.t_draw);
    c.finish_ms += span_ms(c.t_rules, t1);
    const float d = std::hypot(KVGLOBALS.PLAYERX - c.cx, KVGLOBALS.PLAYERZ - c.cz);
    if (d > c.max_dist) c.max_dist = d;
    // A mission rule must not end the measured flight; the last frame ends it.
    KVGLOBALS.EXITCODE = --c.frames_left > 0 ? 0 : 1;
}

KV_MISSIONFRAME timed_frame(const KV_MISSIONFRAME& game) {
    KV_MISSIONFRAME f = game;
    f.SYNC = timed_sync;
    f.PROJECTILES = timed_projectiles;
    f.RENDER = timed_render;
    f.FAILURE = timed_failure;
    f.SWAP = swap_and_finish;
    f.PACE = timed_pace;
    return f;
}

void fly_and_time(benchmark::State& state, bool town, const char* name) {
    if (!setup()) {
        state.SkipWithError("no game directory, map or window");
        return;
    }
    float cx = 0, cz = 0;
    if (town) densest_town(cx, cz);
    else open_sea(cx, cz);
    const int frames = frames_per_run();
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(frames));
    double cpu_ms = 0;
    const KV_MISSIONFRAME& game = kv_mission_frame();
    const KV_MISSIONFRAME frame = timed_frame(game);
    for (auto _ : state) {
        ms.clear();
        g_flight = FlightClock{};
        g_flight.game = &game;
        g_flight.ms = &ms;
        g_flight.frames = g_flight.frames_left = frames;
        g_flight.name = name;
        g_flight.cx = cx;
        g_flight.cz = cz;
        cpu_ms = -process_cpu_ms();
        flight_place_gunship(cx - 22.0f, cz, 90.0f);
        KVGLOBALS.COLLISIONON = 0;
        KVGLOBALS.EXITCODE = 0;
        use_circling_script();
        kv_mission_prologue();
        kv_run_mission_loop(frame);
        KVGLOBALS.EXITCODE = 0;
        cpu_ms += process_cpu_ms();
    }
    if (ms.empty()) {
        state.SkipWithError("the mission loop ran no frame");
        return;
    }
    const double mean = mean_of(ms), p99 = p99_of(ms);
    const double n = static_cast<double>(ms.size());
    state.counters["mean_ms"] = mean;
    state.counters["p99_ms"] = p99;
    state.counters["max_ms"] = *std::max_element(ms.begin(), ms.end());
    state.counters["sim_ms"] = g_flight.sim_ms / n;
    state.counters["draw_ms"] = g_flight.draw_ms / n;
    state.counters["finish_ms"] = g_flight.finish_ms / n;
    state.counters["cpu_ms"] = cpu_ms / n;
    if (g_floor_mean_ms > 0.0) {
        state.counters["mean_x_floor"] = mean / g_floor_mean_ms;
        state.counters["p99_x_floor"] = p99 / g_floor_mean_ms;
    }
    if (g_floor_cpu_ms > 0.0) state.counters["cpu_x_floor"] = cpu_ms / n / g_floor_cpu_ms;
    state.counters["max_dist"] = g_flight.max_dist;  // how far the circles strayed from the centre
    state.counters["frames"] = n;
    // Per frame: tiles in the map pass, those whose ground lay outside the view, buildings sent
    // and buildings left out as outside the view.
    state.counters["tiles"] = g_flight.tiles / n;
    state.counters["ground_out"] = g_flight.ground_outside / n;
    state.counters["buildings"] = g_flight.buildings_sent / n;
    state.counters["buildings_out"] = g_flight.buildings_outside / n;
    state.counters["x"] = cx;
    state.counters["z"] = cz;
}

// The floor: the window cleared and one full-screen quad, lit (a normal towards the light),
// fogged and depth-tested, in the game's own OpenGL state, then the swap and a glFinish.
// Everything the frame changes is restored, so the flights that follow start as the game does.
void BM_Floor(benchmark::State& state) {
    if (!setup()) {
        state.SkipWithError("no game directory, map or window");
        return;
    }
    const int frames = frames_per_run();
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(frames));
    KV_SETUPLIGHTS();
    double cpu_ms = 0;
    for (auto _ : state) {
        ms.clear();
        cpu_ms = -process_cpu_ms();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        for (int i = 0; i < frames; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            glFogf(GL_FOG_START, 3.0f);
            glFogf(GL_FOG_END, 80.0f);
            glClearColor(0.71f, 0.68f, 0.63f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            const GLfloat light[4] = {0.0f, 0.0f, 10.0f, 1.0f};
            glLightfv(GL_LIGHT0, GL_POSITION, light);
            glEnable(GL_FOG);
            glEnable(GL_DEPTH_TEST);
            glEnable(GL_LIGHTING);
            glDisable(GL_TEXTURE_2D);
            // 20 units in front of the eye, wider than the widest view frustum there.
            glColor3f(0.57f, 0.54f, 0.49f);
            glBegin(GL_QUADS);
            glNormal3f(0.0f, 0.0f, 1.0f);
            glVertex3f(-100.0f, -100.0f, -20.0f);
            glVertex3f(100.0f, -100.0f, -20.0f);
            glVertex3f(100.0f, 100.0f, -20.0f);
            glVertex3f(-100.0f, 100.0f, -20.0f);
            glEnd();
            glDisable(GL_FOG);
            system_swap_buffers();
            glFinish();
            const auto t1 = std::chrono::steady_clock::now();
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        cpu_ms += process_cpu_ms();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopAttrib();
    }
    g_floor_mean_ms = mean_of(ms);
    g_floor_cpu_ms = ms.empty() ? 0.0 : cpu_ms / static_cast<double>(ms.size());
    state.counters["mean_ms"] = g_floor_mean_ms;
    state.counters["cpu_ms"] = g_floor_cpu_ms;
    state.counters["p99_ms"] = p99_of(ms);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    state.counters["width"] = viewport[2];
    state.counters["height"] = viewport[3];
}

void BM_FlightOverDensestTown(benchmark::State& state) { fly_and_time(state, true, "town"); }
void BM_FlightOverOpenSea(benchmark::State& state) { fly_and_time(state, false, "sea"); }
// The town flight with the terrain pass drawn the straightforward way (every tile in the
// caller's blend state): the figures before the pass managed its state.
void BM_FlightOverDensestTownPlainPass(benchmark::State& state) {
    const bool old = kv_sector_pass_set_plain(true);
    fly_and_time(state, true, "town_plain");
    kv_sector_pass_set_plain(old);
}

// The floor first: the flights divide by it.
BENCHMARK(BM_Floor)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlightOverDensestTown)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlightOverOpenSea)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlightOverDensestTownPlainPass)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
