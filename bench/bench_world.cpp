// Terrain benchmarks on the generated island: the geometry of all 4096 tiles emitted into a
// counting sink (the pure geometry cost) against the same tiles compiled into OpenGL display
// lists (what the game pays), and the per-frame terrain pass (KV_RENDER_MAP with every tile
// compiled) over the densest town against a view of open sea. Runs under xvfb-run -a.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/bits.h"
#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "world/buildings.h"
#include "world/ground.h"
#include "world/map.h"
#include "world/terrain.h"
#include "game/world.h"
#include "world/world_globals.h"

#include "support/gl_window.h"
#include "support/island_scene.h"

namespace {

const std::string kGameDir = KV_GAME_DIR;
GLFWwindow* g_window = nullptr;
bool g_ready = false;

bool setup() {
    if (g_ready) return true;
    if (!std::filesystem::exists(kGameDir + "/0.map")) return false;
    static bool tried = false;  // opening waits on a display that is not there: try once
    if (tried) return false;
    tried = true;
    g_window = test_gl_open(640, 480, "bench_world");
    if (!g_window) return false;
    std::filesystem::current_path(kGameDir);
    test_island_load();
    g_ready = true;
    return true;
}

struct Counter {
    int64_t vertices = 0;
};

void count_vertex(void* c, float, float, float) { static_cast<Counter*>(c)->vertices++; }

void BM_TileGeometrySink(benchmark::State& state) {
    if (!setup()) {
        state.SkipWithError("no generated map or no OpenGL context");
        return;
    }
    Counter counter;
    KVTILESINK sink;
    sink.CTX = &counter;
    sink.VERTEX = count_vertex;
    for (auto _ : state) {
        for (int32_t tx = 0; tx < KV_TILES; ++tx)
            for (int32_t tz = 0; tz < KV_TILES; ++tz) kv_render_mapdl_to(tx, tz, sink);
    }
    state.SetItemsProcessed(state.iterations() * KV_TILES * KV_TILES);
    state.counters["triangles_per_island"] =
        benchmark::Counter(static_cast<double>(counter.vertices) / 3.0 / static_cast<double>(state.iterations()));
}

void BM_TileCompileDisplayLists(benchmark::State& state) {
    if (!setup()) {
        state.SkipWithError("no generated map or no OpenGL context");
        return;
    }
    for (auto _ : state) {
        for (int32_t tx = 0; tx < KV_TILES; ++tx)
            for (int32_t tz = 0; tz < KV_TILES; ++tz) kv_compile_tile(tx, tz);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * KV_TILES * KV_TILES);
}

// The densest tile for a predicate over cells.
template <class Pred>
void densest(Pred pred, int32_t& bx, int32_t& bz) {
    const KVMAPVIEW v = kv_world_view();
    int32_t best = -1;
    for (int32_t tz = 0; tz < KV_TILES; ++tz)
        for (int32_t tx = 0; tx < KV_TILES; ++tx) {
            int32_t s = 0;
            for (int32_t x = tx * 8 - 8; x < tx * 8 + 16; ++x)
                for (int32_t z = tz * 8 - 8; z < tz * 8 + 16; ++z) s += pred(v, x, z) ? 1 : 0;
            if (s > best) {
                best = s;
                bx = tx;
                bz = tz;
            }
        }
}

void render_map_frames(benchmark::State& state, int32_t tx, int32_t tz) {
    for (int32_t x = 0; x < KV_TILES; ++x)
        for (int32_t z = 0; z < KV_TILES; ++z)
            if (KVMAPCOMPILED[x][z] != 1) kv_compile_tile(x, z);
    KVGLOBALS.PLAYERX = tx * 8 + 4.0f + 12;
    KVGLOBALS.PLAYERZ = tz * 8 + 4.0f;
    KVGLOBALS.PLAYERX8 = kv_tile_of(KVGLOBALS.PLAYERX);
    KVGLOBALS.PLAYERZ8 = kv_tile_of(KVGLOBALS.PLAYERZ);
    KVGLOBALS.PLAYERY = KV_FINDMAPY(KVGLOBALS.PLAYERX, KVGLOBALS.PLAYERZ) + 3.75f;
    KVGLOBALS.GUNSHIPPO.ANGLE = 0;
    KVGLOBALS.BOXARRAYVIEWDIST = 12;
    KVGLOBALS.TARGETVIEWSIZE.RANGE(1, 1, 32, 0.01f);
    KVGLOBALS.TARGETLODMESHSWITCH.RANGE(30, 38, 8, 1);
    KVGLOBALS.TARGETPLAYERX8.RANGE(KVGLOBALS.PLAYERX8, KVGLOBALS.PLAYERX8, 16, 1);
    KVGLOBALS.TARGETPLAYERZ8.RANGE(KVGLOBALS.PLAYERZ8, KVGLOBALS.PLAYERZ8, 16, 1);
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, 640.0 / 480.0, 0.5, 300);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    int64_t drawn = 0;
    for (auto _ : state) {
        IO_SYNC();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const float px = KVGLOBALS.PLAYERX, pz = KVGLOBALS.PLAYERZ, py = KVGLOBALS.PLAYERY;
        gluLookAt(px + 10, py + 7, pz, px - 10, py - 4, pz, 0, 1, 0);
        KV_RENDER_MAP();
        glFinish();
        drawn += KV_RENDER_MAP_STATS.drawn;
    }
    state.counters["tiles_drawn"] = benchmark::Counter(static_cast<double>(drawn) / static_cast<double>(state.iterations()));
    state.counters["view_size"] = benchmark::Counter(KVGLOBALS.TARGETVIEWSIZE.TARGET());
}

void BM_RenderMapDensestTown(benchmark::State& state) {
    if (!setup()) {
        state.SkipWithError("no generated map or no OpenGL context");
        return;
    }
    int32_t tx = 0, tz = 0;
    densest([](const KVMAPVIEW& v, int32_t x, int32_t z) {
        const int32_t c = kv_map_city(v, x, z);
        return c == 4 || c == 5 || c == 8;
    }, tx, tz);
    render_map_frames(state, tx, tz);
}

void BM_RenderMapOpenSea(benchmark::State& state) {
    if (!setup()) {
        state.SkipWithError("no generated map or no OpenGL context");
        return;
    }
    int32_t tx = 0, tz = 0;
    densest([](const KVMAPVIEW& v, int32_t x, int32_t z) {
        return kv_map_city(v, x, z) == 0 && kv_map_terrain(v, x, z) < v.WATERHEIGHT - 40;
    }, tx, tz);
    render_map_frames(state, tx, tz);
}

}  // namespace

BENCHMARK(BM_TileGeometrySink)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_TileCompileDisplayLists)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_RenderMapDensestTown)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_RenderMapOpenSea)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_MAIN();
