// The real game flown from a script: runs core --fly on the virtual clock (step 16 ms, seed 1)
// with an input script, a trace and optional screenshots, and reads the trace back. Shared by
// the flight and weapons end-to-end tests.
#pragma once

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "config/config.h"
#include "config/control_codes.h"
#include "support/files.h"

// One line of the trace.
struct TraceFrame {
    long frame = 0;
    int exit = 0;
    double x = 0, y = 0, z = 0, heading = 0;
    int landed = 0;
    double fuel = 0;
    long ammo = 0, rockets = 0;
};

// Every trace line that names its frame, in file order.
inline std::vector<TraceFrame> parse_trace(const std::string& text) {
    std::vector<TraceFrame> out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kv;
        std::map<std::string, std::string> m;
        while (fields >> kv) {
            const size_t eq = kv.find('=');
            if (eq != std::string::npos) m[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        if (!m.count("frame")) continue;
        TraceFrame f;
        f.frame = std::atol(m["frame"].c_str());
        f.exit = std::atoi(m["exit"].c_str());
        f.x = std::atof(m["x"].c_str());
        f.y = std::atof(m["y"].c_str());
        f.z = std::atof(m["z"].c_str());
        f.heading = std::atof(m["heading"].c_str());
        f.landed = std::atoi(m["landed"].c_str());
        f.fuel = std::atof(m["fuel"].c_str());
        f.ammo = std::atol(m["ammo"].c_str());
        f.rockets = std::atol(m["rockets"].c_str());
        out.push_back(f);
    }
    return out;
}

// The key bound to a flight control in the game directory's settings ("" when it is not a key).
inline std::string shipped_key_of(const std::filesystem::path& game, int32_t control) {
    CONFIGVARTYPE cfg;
    config_read(cfg, (game / "configVars.dat").string());
    if (cfg.INPUTTYPE != 0) return "";
    return control_code_info(cfg.CONTROL[control]).KEYNAME;
}

struct FlyResult {
    int status = -1;
    std::vector<TraceFrame> frames;
    std::string log;
};

// Runs GAME/core --fly for at most FRAMES frames with SCRIPT; the script, trace and console log
// go to OUT/NAME.*, and each (frame, path) of SHOTS is written as a screenshot.
inline FlyResult fly_run(const std::filesystem::path& game, const std::filesystem::path& out,
                         const std::string& name, const std::string& script, int frames,
                         const std::vector<std::pair<int, std::filesystem::path>>& shots = {}) {
    namespace fs = std::filesystem;
    fs::create_directories(out);
    const fs::path input = out / (name + ".input");
    const fs::path trace = out / (name + ".trace");
    const fs::path log = out / (name + ".log");
    std::ofstream(input) << script;
    fs::remove(trace);
    // Built with += only: g++ 12 warns falsely on chains of + that start from a literal.
    std::string cmd = "\"";
    cmd += (game / "core").string();
    cmd += "\" --dir \"";
    cmd += game.string();
    cmd += "\" --fly --fixed-step 16 --seed 1 --frames ";
    cmd += std::to_string(frames);
    cmd += " --input \"";
    cmd += input.string();
    cmd += "\" --trace \"";
    cmd += trace.string();
    cmd += "\"";
    for (const auto& [frame, file] : shots) {
        fs::create_directories(file.parent_path());
        fs::remove(file);
        cmd += " --screenshot ";
        cmd += std::to_string(frame);
        cmd += ":\"";
        cmd += file.string();
        cmd += "\"";
    }
    cmd += " >\"";
    cmd += log.string();
    cmd += "\" 2>&1";
    FlyResult r;
    const int rc = std::system(cmd.c_str());
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.frames = parse_trace(read_file_text(trace));
    r.log = read_file_text(log);
    return r;
}
