// The real game run for the version check and research scenarios: a private game directory per
// test (the build's data linked in, the files the game writes - ver.dat, configVars.dat,
// models.dat, the profiles - as private copies), core started directly (no shell) on the virtual
// clock with a key script, timed in real time while it runs, and its trace read back as
// key=value maps. Version servers are local processes on 127.0.0.1: python3's http.server or
// the scripted hostile server beside this file.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"
#include "support/fly_run.h"

namespace e2e_version {

namespace fs = std::filesystem;

inline const fs::path kGame = KV_GAME_DIR;
inline const fs::path kOut = fs::path(KV_BUILD_DIR) / "e2e_version";
inline const fs::path kShots = fs::path(KV_BUILD_DIR) / "screenshots";
inline const fs::path kHostileServer = fs::path(KV_SOURCE_DIR) / "tests/e2e_version/version_server.py";

inline double now_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

using TraceLine = std::map<std::string, std::string>;

inline std::string text(const TraceLine& l, const std::string& key) {
    auto it = l.find(key);
    return it == l.end() ? "" : it->second;
}
inline long num(const TraceLine& l, const std::string& key) {
    auto it = l.find(key);
    return it == l.end() ? -999999 : std::atol(it->second.c_str());
}

// Trace rows as plain key/value maps; the reading itself is the shared one.
inline std::vector<TraceLine> parse_trace(const std::string& text) {
    std::vector<TraceLine> out;
    for (kvtest::TraceRow& row : kvtest::parse_trace(text)) out.push_back(std::move(row.kv));
    return out;
}

// A game directory of our own; ver.dat gets the given bytes.
inline fs::path make_game_dir(const std::string& name, const std::string& ver_dat) {
    const fs::path dir = kOut / name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    for (auto it = fs::recursive_directory_iterator(kGame); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path rel = fs::relative(it->path(), kGame);
        const std::string r = rel.string();
        if (r == "data/profiles" || r == "data/profiles.dat" || r.rfind("data/profiles/", 0) == 0) continue;
        if (it->is_directory()) {
            fs::create_directories(dir / rel);
        } else if (r == "models.dat" || r == "configVars.dat") {
            fs::copy_file(it->path(), dir / rel);
        } else if (r != "ver.dat") {
            fs::create_symlink(it->path(), dir / rel);
        }
    }
    fs::create_directories(dir / "data/profiles");
    write_file_text(dir / "ver.dat", ver_dat);
    return dir;
}

// A key script: each press holds the key for two frames.
struct Script {
    std::string text;
    Script& press(long frame, const std::string& key) {
        text += std::to_string(frame) + " key " + key + " 1\n";
        text += std::to_string(frame + 2) + " key " + key + " 0\n";
        return *this;
    }
    // The key held down from frame `from` and let go at frame `to`.
    Script& hold(long from, long to, const std::string& key) {
        text += std::to_string(from) + " key " + key + " 1\n";
        text += std::to_string(to) + " key " + key + " 0\n";
        return *this;
    }
};

struct GameRun {
    int status = -1;               // exit status; -1 when killed or not started
    std::vector<TraceLine> trace;
    std::string log;               // console output
    double first_frame = -1.0;     // seconds from the start until the first trace line
    double total = -1.0;           // seconds from the start until the process ended
    double last_frame = -1.0;      // seconds from the start until the last asked-for frame's line

    const TraceLine* first(const std::string& key, const std::string& value, long from = 0) const {
        for (const TraceLine& l : trace)
            if (num(l, "frame") >= from && text(l, key) == value) return &l;
        return nullptr;
    }
    long count(const std::string& key, const std::string& value) const {
        long n = 0;
        for (const TraceLine& l : trace) n += text(l, key) == value;
        return n;
    }
};

// Runs core in DIR for FRAMES frames with the script, extra options and screenshots
// (frame, file); killed when it runs longer than `limit` seconds.
inline GameRun run_game(const fs::path& dir, const std::string& name, const Script& script, long frames,
                        const std::vector<std::string>& extra = {},
                        const std::vector<std::pair<long, fs::path>>& shots = {}, double limit = 120.0) {
    fs::create_directories(kOut);
    const fs::path input = kOut / (name + ".input");
    const fs::path trace = kOut / (name + ".trace");
    const fs::path log = kOut / (name + ".log");
    write_file_text(input, script.text);
    fs::remove(trace);
    std::vector<std::string> args = {(kGame / "core").string(), "--dir", dir.string(), "--fixed-step", "16",
                                     "--seed", "1", "--frames", std::to_string(frames), "--input",
                                     input.string(), "--trace", trace.string()};
    for (const std::string& e : extra) args.push_back(e);
    for (const auto& [frame, file] : shots) {
        fs::create_directories(file.parent_path());
        fs::remove(file);
        args.push_back("--screenshot");
        args.push_back(std::to_string(frame) + ":" + file.string());
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    GameRun r;
    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    posix_spawn_file_actions_addopen(&io, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&io, 1, 2);
    pid_t pid = -1;
    const double t0 = now_seconds();
    const int spawned = posix_spawn(&pid, argv[0], &io, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&io);
    if (spawned != 0) return r;
    const std::string last_line = "frame=" + std::to_string(frames) + " ";
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        const double t = now_seconds() - t0;
        if (r.first_frame < 0.0 || r.last_frame < 0.0) {
            const std::string lines = read_file_text(trace);
            if (r.first_frame < 0.0 && lines.find("frame=") != std::string::npos) r.first_frame = t;
            if (r.last_frame < 0.0 && lines.find(last_line) != std::string::npos) r.last_frame = t;
        }
        if (done == pid) {
            r.total = t;
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (t > limit) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            r.total = t;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.trace = parse_trace(read_file_text(trace));
    r.log = read_file_text(log);
    return r;
}

// The scripted hostile server in one mode, on 127.0.0.1 and a port the system chose; killed
// when it goes out of scope. ok() is false when python3 could not start it within 10 s.
class HostileServer {
public:
    HostileServer(const std::string& mode, const std::string& name) {
        fs::create_directories(kOut);
        const fs::path port_file = kOut / (name + ".port");
        requests_ = kOut / (name + ".requests");
        fs::remove(port_file);
        fs::remove(requests_);
        std::vector<std::string> args = {"python3", kHostileServer.string(), mode, port_file.string(),
                                         requests_.string()};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t io;
        posix_spawn_file_actions_init(&io);
        posix_spawn_file_actions_addopen(&io, 1, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "python3", &io, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&io);
        const double until = now_seconds() + 10.0;
        while (pid_ > 0 && port_ <= 0 && now_seconds() < until) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            port_ = std::atoi(read_file_text(port_file).c_str());
            if (port_ <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~HostileServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    bool ok() const { return pid_ > 0 && port_ > 0; }
    int port() const { return port_; }
    // Every request the server has read so far, in order.
    std::string requests() const { return read_file_text(requests_); }

private:
    pid_t pid_ = -1;
    int port_ = 0;
    fs::path requests_;
};

inline bool have_game() {
    return fs::exists(kGame / "core") && fs::exists(kGame / "0.map") && fs::exists(kGame / "models.dat");
}

}  // namespace e2e_version

#define REQUIRE_GAME()                                                                                \
    do {                                                                                              \
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (xvfb-run)";             \
        if (!e2e_version::have_game()) GTEST_SKIP() << "game directory without core, map or models"; \
    } while (0)
