// How long a player waits: from starting the game to its first drawn title-screen frame, and
// from "Load" through the loading screen (one model file a frame) and the preloading screen (one
// map tile a frame) to the briefing. The game runs as the player runs it (its own process, the
// shipped data, the real clock, the software renderer under xvfb-run), in a private game
// directory whose data files are links to the shipped ones.
//
// Peers in the same run: the same program printing its version (process start and linking,
// no window), and for the two screens the frames they take shown at 60 frames a second.
//
// Where a frame of those screens goes, in this process with the game's own window: the clear and
// the swap alone, the backdrop drawn the long way and laid back from its kept copy, the whole
// preloading frame both ways, and the item each frame works on (one model file, one map tile).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine_globals.h"
#include "engine/objfile.h"
#include "engine/system.h"
#include "engine/textfile.h"
#include "game/profile_types.h"
#include "game/world.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "menu/menu_render.h"
#include "menu/profiles.h"
#include "menu/startup.h"
#include "platform/clock.h"
#include "world/world_globals.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kGame = KV_GAME_DIR;
const fs::path kWork = fs::path(KV_BUILD_DIR) / "bench_startup";

void write_text(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The shipped game directory as links, with its own ver.dat (the version check off, so
// nothing waits on a host) and one stored pilot for the loading run.
bool make_dir(fs::path& dir) {
    static int state = 0;
    dir = kWork / "game";
    if (state != 0) return state == 1;
    state = -1;
    if (!fs::exists(kGame / "core") || !fs::exists(kGame / "0.map")) return false;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    for (auto it = fs::recursive_directory_iterator(kGame); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path rel = fs::relative(it->path(), kGame);
        const std::string r = rel.string();
        if (r == "data/profiles.dat" || r.rfind("data/profiles", 0) == 0 || r == "ver.dat") continue;
        if (it->is_directory()) fs::create_directories(dir / rel);
        else fs::create_symlink(it->path(), dir / rel);
    }
    write_text(dir / "ver.dat", "0.1.0\r\n 0\r\n");
    fs::create_directories(dir / "data/profiles");
    ProfileImage img;
    kv_profile_starting_values(img.record, "TIMER", "CLOCK");
    img.clock_text = "00:00:00.000";
    img.checkpoints.assign(1, CHECKPOINTTYPE{});
    write_text(dir / "data/profiles.dat", profiles_serialize(&img, 1, nullptr));
    state = 1;
    return true;
}

// Runs core with these arguments (output discarded); the wall time to its exit in ms, or a
// negative value when it could not run or failed. `cpu_ms` receives its processor time (user
// and system), which a machine busy with other work does not inflate.
double run_core_ms(const std::vector<std::string>& args, double* cpu_ms = nullptr) {
    std::vector<std::string> all = {(kGame / "core").string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1.0;
    int status = 0;
    struct rusage use {};
    wait4(pid, &status, 0, &use);
    const auto t1 = std::chrono::steady_clock::now();
    if (cpu_ms)
        *cpu_ms = 1000.0 * static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
                  static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000.0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

void BM_StartToFirstTitleFrame(benchmark::State& state) {
    fs::path dir;
    if (!make_dir(dir)) {
        state.SkipWithError("no game directory");
        return;
    }
    // Start-up, the menu's set-up, one drawn title-screen frame, shutdown: an upper bound of
    // the wait for the first frame.
    double total = 0.0, total_cpu = 0.0;
    for (auto _ : state) {
        double cpu = 0.0;
        const double ms = run_core_ms({"--dir", dir.string(), "--frames", "1"}, &cpu);
        if (ms < 0.0) {
            state.SkipWithError("core failed");
            return;
        }
        total += ms;
        total_cpu += cpu;
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["mean_ms"] = total / static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = total_cpu / static_cast<double>(state.iterations());
    state.counters["goal_ms"] = 500.0;
}

void BM_ProcessStartPeer(benchmark::State& state) {
    double total = 0.0;
    for (auto _ : state) {
        const double ms = run_core_ms({"--version"});
        if (ms < 0.0) {
            state.SkipWithError("core failed");
            return;
        }
        total += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["mean_ms"] = total / static_cast<double>(state.iterations());
}

using TraceLine = std::map<std::string, std::string>;

std::vector<TraceLine> read_trace(const fs::path& path) {
    std::vector<TraceLine> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kv;
        TraceLine m;
        while (fields >> kv) {
            const size_t eq = kv.find('=');
            if (eq != std::string::npos) m[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        out.push_back(m);
    }
    return out;
}

long field(const TraceLine& l, const char* key) {
    auto it = l.find(key);
    return it == l.end() ? -1 : std::atol(it->second.c_str());
}

void BM_LoadingAndPreloadingScreens(benchmark::State& state) {
    fs::path dir;
    if (!make_dir(dir)) {
        state.SkipWithError("no game directory");
        return;
    }
    // The stored pilot: profile list, properties, Load; on the real clock.
    const fs::path input = kWork / "load.input";
    const fs::path trace = kWork / "load.trace";
    write_text(input,
               "5 key ENTER 1\n7 key ENTER 0\n25 key ENTER 1\n27 key ENTER 0\n45 key ENTER 1\n47 key ENTER 0\n");
    double cpu = 0.0;
    for (auto _ : state) {
        const double ms = run_core_ms({"--dir", dir.string(), "--seed", "1", "--frames", "800", "--input",
                                       input.string(), "--trace", trace.string()},
                                      &cpu);
        if (ms < 0.0) {
            state.SkipWithError("core failed");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
    }
    // Frames and clock on each screen: from the first frame showing it to the first frame
    // showing the next.
    const std::vector<TraceLine> t = read_trace(trace);
    long first4 = -1, first10 = -1, first2 = -1;
    for (size_t i = 0; i < t.size(); ++i) {
        const long menu = field(t[i], "menu");
        if (menu == 4 && first4 < 0) first4 = static_cast<long>(i);
        if (menu == 10 && first10 < 0) first10 = static_cast<long>(i);
        if (menu == 2 && first2 < 0) first2 = static_cast<long>(i);
    }
    if (first4 < 0 || first10 < first4 || first2 < first10) {
        state.SkipWithError("the briefing was not reached");
        return;
    }
    const double at60 = 1000.0 / 60.0;
    const long frames4 = first10 - first4, frames10 = first2 - first10;
    const long ms4 = field(t[static_cast<size_t>(first10)], "ms") - field(t[static_cast<size_t>(first4)], "ms");
    const long ms10 = field(t[static_cast<size_t>(first2)], "ms") - field(t[static_cast<size_t>(first10)], "ms");
    state.counters["loading_frames"] = static_cast<double>(frames4);
    state.counters["loading_ms"] = static_cast<double>(ms4);
    state.counters["loading_ms_at_60fps"] = static_cast<double>(frames4) * at60;
    state.counters["preloading_frames"] = static_cast<double>(frames10);
    state.counters["preloading_ms"] = static_cast<double>(ms10);
    state.counters["preloading_ms_at_60fps"] = static_cast<double>(frames10) * at60;
    // The processor time of the whole run per frame (start-up included): at most 16.7 ms less
    // the 10 ms the frame loop sleeps keeps a frame within 60 a second on an idle machine.
    state.counters["cpu_ms_per_frame"] = cpu / static_cast<double>(t.size());
    state.counters["ratio_to_60fps"] =
        static_cast<double>(ms4 + ms10) / (static_cast<double>(frames4 + frames10) * at60);
}

// ---- The parts of one loading or preloading frame, in this process ----

// Processor time of the whole process (the renderer's own threads included), in ms.
double process_cpu_ms() {
    struct rusage use {};
    getrusage(RUSAGE_SELF, &use);
    return 1000.0 * static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000.0;
}

// The game's window and the menu's set-up (no version check), in a private copy of the game
// directory; the menu frames below never load a model or compile a tile unless asked.
bool frame_parts_ready() {
    static int state = 0;
    if (state != 0) return state == 1;
    state = -1;
    fs::path dir;
    if (!make_dir(dir)) return false;
    fs::current_path(dir);
    platform_clock_use_fixed_step(16);
    std::string why;
    if (!INITIALIZE(why)) return false;
    kv_menu_set_quick_flight(true);
    KV_MENU_INITIALIZE();
    state = 1;
    return true;
}

enum class FramePart { ClearAndSwap, Backdrop, PreloadingScreen };

// Frames of one kind timed on the processor and the wall clock, each finished and swapped.
void time_frames(benchmark::State& state, FramePart part, bool keep_backdrop) {
    if (!frame_parts_ready()) {
        state.SkipWithError("no game directory or window");
        return;
    }
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    for (float& v : m.MENUFADE) v = 0.0f;
    m.LOADINGCOMPLETED = 0;  // no background tile work in these frames
    m.CURMENU = part == FramePart::PreloadingScreen ? 10 : 8;  // 8: no screen over the backdrop
    m.MENUFADE[900] = 1.0f;
    if (part == FramePart::PreloadingScreen) m.MENUFADE[10] = 1.0f;
    kv_menu_keep_backdrop(keep_backdrop);
    KV_MENU_RENDER();  // the frame that takes the copy is not timed
    system_swap_buffers();
    glFinish();
    const double cpu0 = process_cpu_ms();
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (part == FramePart::ClearAndSwap) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        } else {
            KV_MENU_RENDER();
        }
        system_swap_buffers();
        glFinish();
    }
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    const double n = static_cast<double>(state.iterations());
    state.counters["cpu_ms_per_frame"] = (process_cpu_ms() - cpu0) / n;
    state.counters["wall_ms_per_frame"] = wall / n;
    kv_menu_keep_backdrop(true);
}

void BM_FrameClearAndSwap(benchmark::State& state) { time_frames(state, FramePart::ClearAndSwap, true); }
void BM_FrameBackdropDrawn(benchmark::State& state) { time_frames(state, FramePart::Backdrop, false); }
void BM_FrameBackdropKept(benchmark::State& state) { time_frames(state, FramePart::Backdrop, true); }
void BM_FramePreloadingScreenBackdropDrawn(benchmark::State& state) {
    time_frames(state, FramePart::PreloadingScreen, false);
}
void BM_FramePreloadingScreenBackdropKept(benchmark::State& state) {
    time_frames(state, FramePart::PreloadingScreen, true);
}

// The loading screen's item: every model file of models.dat loaded once, as the screen does.
void BM_ItemModelFile(benchmark::State& state) {
    if (!frame_parts_ready()) {
        state.SkipWithError("no game directory or window");
        return;
    }
    std::vector<std::string> names;
    FieldReader r;
    field_reader_open(r, "models.dat");
    while (!field_eof(r)) names.push_back(field_read(r));
    if (names.empty()) {
        state.SkipWithError("models.dat lists no model");
        return;
    }
    double cpu = 0.0, wall = 0.0;
    for (auto _ : state) {
        const double c0 = process_cpu_ms();
        const auto t0 = std::chrono::steady_clock::now();
        for (const std::string& name : names) OBJFILE_LOAD(name);
        glFinish();
        cpu += process_cpu_ms() - c0;
        wall += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    }
    const double items = static_cast<double>(names.size() * state.iterations());
    state.counters["items"] = static_cast<double>(names.size());
    state.counters["cpu_ms_per_item"] = cpu / items;
    state.counters["wall_ms_per_item"] = wall / items;
}

// The preloading screen's item: the first 200 tiles it compiles (every fourth tile), each once,
// after the models they stand on are loaded.
void BM_ItemMapTile(benchmark::State& state) {
    if (!frame_parts_ready()) {
        state.SkipWithError("no game directory or window");
        return;
    }
    std::vector<std::pair<int32_t, int32_t>> tiles;
    for (int32_t a = 0; a < KV_TILESLOTS && tiles.size() < 200; ++a)
        for (int32_t b = 0; b < KV_TILESLOTS && tiles.size() < 200; ++b)
            if ((a + b) % 4 == 0 && KVMAPCOMPILED[a][b] == 0) tiles.push_back({a, b});
    long compiled = 0;
    double cpu = 0.0, wall = 0.0;
    for (auto _ : state) {
        const double c0 = process_cpu_ms();
        const auto t0 = std::chrono::steady_clock::now();
        for (const auto& [a, b] : tiles)
            if (kv_compile_tile(a, b)) ++compiled;
        glFinish();
        cpu += process_cpu_ms() - c0;
        wall += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    }
    const double items = static_cast<double>(tiles.size() * state.iterations());
    state.counters["items"] = static_cast<double>(tiles.size());
    state.counters["compiled"] = static_cast<double>(compiled);
    state.counters["cpu_ms_per_item"] = items > 0 ? cpu / items : 0.0;
    state.counters["wall_ms_per_item"] = items > 0 ? wall / items : 0.0;
}

}  // namespace

BENCHMARK(BM_ProcessStartPeer)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartToFirstTitleFrame)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadingAndPreloadingScreens)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameClearAndSwap)->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameBackdropDrawn)->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameBackdropKept)->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramePreloadingScreenBackdropDrawn)->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramePreloadingScreenBackdropKept)->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemModelFile)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemMapTile)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
