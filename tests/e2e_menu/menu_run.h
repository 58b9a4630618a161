// The real game played through its menu: a private game directory per test (the build's game
// data linked in, the files the game writes kept private, the version check off), core run on
// the virtual clock with a key script, and its trace read back as key=value maps.
#pragma once

#include <signal.h>
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

#include "game/profile_types.h"
#include "menu/profiles.h"
#include "support/files.h"
#include "support/game_run.h"

namespace menu_e2e {

namespace fs = std::filesystem;

inline const fs::path kGame = KV_GAME_DIR;
inline const fs::path kOut = fs::path(KV_BUILD_DIR) / "e2e_menu";

using TraceLine = std::map<std::string, std::string>;

inline long num(const TraceLine& l, const std::string& key) {
    auto it = l.find(key);
    return it == l.end() ? -999999 : std::atol(it->second.c_str());
}
inline double real(const TraceLine& l, const std::string& key) {
    auto it = l.find(key);
    return it == l.end() ? -999999.0 : std::atof(it->second.c_str());
}

// Trace rows as plain key/value maps; the reading itself is the shared one.
inline std::vector<TraceLine> parse(const std::string& text) {
    std::vector<TraceLine> out;
    for (kvtest::TraceRow& row : kvtest::parse_trace(text)) out.push_back(std::move(row.kv));
    return out;
}

// Gives the game directory its own copy of a file: whatever stands there (a link to the build's
// file, or a hard link sharing its bytes) is removed first, so the build's file never changes.
inline void private_file(const fs::path& dir, const fs::path& rel, const std::string& bytes) {
    std::error_code ec;
    fs::remove(dir / rel, ec);
    fs::create_directories((dir / rel).parent_path(), ec);
    write_file_text(dir / rel, bytes);
}

// A game directory of our own: folders made anew, every data file linked to the build's, and
// the files the game writes (models.dat, ver.dat, configVars.dat, profiles) as private copies.
inline fs::path make_game_dir(const std::string& name) {
    const fs::path dir = kOut / name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    for (auto it = fs::recursive_directory_iterator(kGame); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path rel = fs::relative(it->path(), kGame);
        if (rel == "data/profiles" || rel == "data/profiles.dat" || rel.string().rfind("data/profiles/", 0) == 0) continue;
        if (it->is_directory()) {
            fs::create_directories(dir / rel);
        } else if (rel == "models.dat" || rel == "configVars.dat") {
            fs::copy_file(it->path(), dir / rel);
        } else if (rel != "ver.dat") {
            fs::create_symlink(it->path(), dir / rel);
        }
    }
    // The version check is off: no test contacts any host.
    private_file(dir, "ver.dat", "0.1.0\r\n 0\r\n");
    return dir;
}

// A stored pilot with the starting values at `mission`, and a profile list of such pilots.
inline ProfileImage pilot(const std::string& name, const std::string& callsign, int32_t mission) {
    ProfileImage img;
    kv_profile_starting_values(img.record, name, callsign);
    img.record.MISSIONNUM = mission;
    img.clock_text = "01:02:03.000";
    img.checkpoints.assign(1, CHECKPOINTTYPE{});
    return img;
}

inline void write_profiles(const fs::path& dir, std::vector<ProfileImage> imgs) {
    fs::create_directories(dir / "data/profiles");
    write_file_text(dir / "data/profiles.dat",
                    profiles_serialize(imgs.data(), static_cast<int32_t>(imgs.size()), nullptr));
}

struct MenuRun {
    int status = -1;
    std::vector<TraceLine> trace;
    std::string log;
    // The first line at or after `from` whose key has the value; nullptr when none.
    const TraceLine* first(const std::string& key, long value, long from = 0) const {
        for (const TraceLine& l : trace)
            if (num(l, "frame") >= from && num(l, key) == value) return &l;
        return nullptr;
    }
    const TraceLine* at(long frame) const {
        for (const TraceLine& l : trace)
            if (num(l, "frame") == frame) return &l;
        return nullptr;
    }
};

// A key script: each press holds the key for two frames.
struct Script {
    std::string text;
    Script& press(long frame, const std::string& key) {
        text += std::to_string(frame) + " key " + key + " 1\n";
        text += std::to_string(frame + 2) + " key " + key + " 0\n";
        return *this;
    }
    Script& down(long frame, const std::string& key) {
        text += std::to_string(frame) + " key " + key + " 1\n";
        return *this;
    }
};

inline std::string core_command(const fs::path& dir, const std::string& name, long frames) {
    std::string cmd = "\"";
    cmd += (kGame / "core").string();
    cmd += "\" --dir \"";
    cmd += dir.string();
    cmd += "\" --fixed-step 16 --seed 1 --frames ";
    cmd += std::to_string(frames);
    cmd += " --input \"";
    cmd += (kOut / (name + ".input")).string();
    cmd += "\" --trace \"";
    cmd += (kOut / (name + ".trace")).string();
    cmd += "\"";
    return cmd;
}

// Runs core in DIR with the script for at most FRAMES frames, writing the screenshots asked
// for (frame, file).
inline MenuRun run_core_with(const fs::path& dir, const std::string& name, const Script& script, long frames,
                             const std::vector<std::pair<long, std::string>>& shots) {
    fs::create_directories(kOut);
    write_file_text(kOut / (name + ".input"), script.text);
    fs::remove(kOut / (name + ".trace"));
    std::string cmd = core_command(dir, name, frames);
    for (const auto& [frame, file] : shots) cmd += " --screenshot " + std::to_string(frame) + ":\"" + file + "\"";
    cmd += " >\"";
    cmd += (kOut / (name + ".log")).string();
    cmd += "\" 2>&1";
    MenuRun r;
    const int rc = std::system(cmd.c_str());
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.trace = parse(read_file_text(kOut / (name + ".trace")));
    r.log = read_file_text(kOut / (name + ".log"));
    return r;
}

// Runs core in DIR with the script for at most FRAMES frames.
inline MenuRun run_core(const fs::path& dir, const std::string& name, const Script& script, long frames) {
    return run_core_with(dir, name, script, frames, {});
}

// Starts core in the background (its own process group) and returns its id.
inline pid_t start_core(const fs::path& dir, const std::string& name, const Script& script, long frames) {
    fs::create_directories(kOut);
    write_file_text(kOut / (name + ".input"), script.text);
    std::string cmd = "exec " + core_command(dir, name, frames) + " >/dev/null 2>&1";
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

inline bool have_game() {
    return fs::exists(kGame / "core") && fs::exists(kGame / "0.map") && fs::exists(kGame / "models.dat");
}

}  // namespace menu_e2e

#define REQUIRE_GAME()                                                                          \
    do {                                                                                        \
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (xvfb-run)";       \
        if (!menu_e2e::have_game()) GTEST_SKIP() << "game directory without core, map or models"; \
    } while (0)
