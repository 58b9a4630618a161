// The real game with private data: a copy of the built game directory per scenario (links to
// the shared files, real files only where the scenario replaces one), core run on the virtual
// clock with its trace read back key by key.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "engine/png.h"
#include "support/files.h"

namespace rules_e2e {

namespace fs = std::filesystem;

inline const fs::path kGame = KV_GAME_DIR;
inline const fs::path kOut = fs::path(KV_BUILD_DIR) / "e2e_rules";
inline const fs::path kShots = fs::path(KV_BUILD_DIR) / "screenshots";

// Turns the linked directory `dir` (a link to `original`) into a real one whose entries link to
// the original's.
inline void unlink_directory(const fs::path& dir, const fs::path& original) {
    if (!fs::is_symlink(dir)) return;
    fs::remove(dir);
    fs::create_directory(dir);
    for (const auto& e : fs::directory_iterator(original)) fs::create_symlink(e.path(), dir / e.path().filename());
}

// A private game directory for scenario NAME: every entry links to the built game, except the
// files of `replace` (path relative to the game directory -> contents), written for real.
inline fs::path private_game(const std::string& name, const std::map<std::string, std::string>& replace) {
    const fs::path root = kOut / name / "game";
    std::error_code ec;
    fs::remove_all(root, ec);
    fs::create_directories(root);
    for (const auto& e : fs::directory_iterator(kGame)) fs::create_symlink(e.path(), root / e.path().filename());
    for (const auto& [rel, bytes] : replace) {
        const fs::path file(rel);
        fs::path dir = root, original = kGame;
        for (const auto& part : file.parent_path()) {
            dir /= part;
            original /= part;
            unlink_directory(dir, original);
        }
        fs::remove(root / file);
        write_file_text(root / file, bytes);
    }
    return root;
}

using TraceLine = std::map<std::string, std::string>;

struct GameRun {
    int status = -1;
    std::vector<TraceLine> lines;
    std::string log;

    long num(size_t i, const std::string& key) const { return std::atol(lines.at(i).at(key).c_str()); }
    double real(size_t i, const std::string& key) const { return std::atof(lines.at(i).at(key).c_str()); }
    const std::string& text(size_t i, const std::string& key) const { return lines.at(i).at(key); }
    // Index of the line of frame F, or -1.
    long index_of(long frame) const {
        for (size_t i = 0; i < lines.size(); ++i)
            if (num(i, "frame") == frame) return static_cast<long>(i);
        return -1;
    }
};

// Runs core --fly in GAME with the virtual clock (STEP ms), seed 1, at most FRAMES frames, the
// input SCRIPT and the extra ARGS; screenshots are (frame, file name in the screenshots folder).
inline GameRun fly(const fs::path& game, const std::string& name, const std::string& script, int frames,
               const std::string& args, const std::vector<std::pair<int, std::string>>& shots = {},
               int step = 16) {
    fs::create_directories(kOut / name);
    fs::create_directories(kShots);
    const fs::path input = kOut / name / "input.txt";
    const fs::path trace = kOut / name / "trace.txt";
    const fs::path log = kOut / name / "log.txt";
    write_file_text(input, script);
    fs::remove(trace);
    std::string cmd = "\"";
    cmd += (kGame / "core").string();
    cmd += "\" --dir \"";
    cmd += game.string();
    cmd += "\" --fly --seed 1 --fixed-step ";
    cmd += std::to_string(step);
    cmd += " --frames ";
    cmd += std::to_string(frames);
    cmd += " --input \"";
    cmd += input.string();
    cmd += "\" --trace \"";
    cmd += trace.string();
    cmd += "\" ";
    cmd += args;
    for (const auto& [frame, file] : shots) {
        fs::remove(kShots / file);
        cmd += " --screenshot ";
        cmd += std::to_string(frame);
        cmd += ":\"";
        cmd += (kShots / file).string();
        cmd += "\"";
    }
    cmd += " >\"";
    cmd += log.string();
    cmd += "\" 2>&1";
    GameRun r;
    const int rc = std::system(cmd.c_str());
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.log = read_file_text(log);
    std::istringstream lines(read_file_text(trace));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kv;
        TraceLine m;
        while (fields >> kv) {
            const size_t eq = kv.find('=');
            if (eq != std::string::npos) m[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        if (m.count("frame")) r.lines.push_back(m);
    }
    return r;
}

// Pixels of a screenshot region (rows from the top) that satisfy `test` on (r, g, b).
template <typename Test>
int count_pixels(const PngImage& img, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, Test test) {
    int n = 0;
    for (uint32_t y = y0; y < y1 && y < img.height; ++y) {
        for (uint32_t x = x0; x < x1 && x < img.width; ++x) {
            const uint8_t* p = img.pixels.get() + (static_cast<size_t>(img.height - 1 - y) * img.width + x) * 4;
            if (test(p[0], p[1], p[2])) ++n;
        }
    }
    return n;
}

inline bool have_game() {
    return std::getenv("DISPLAY") != nullptr && fs::exists(kGame / "core") && fs::exists(kGame / "0.map") &&
           fs::exists(kGame / "data/missions/0.dat") && fs::exists(kGame / "data/enemies0.dat");
}

}  // namespace rules_e2e
