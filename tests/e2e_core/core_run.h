// Running the real game program from the built game directory: a private copy of the game
// directory per test (files hard-linked where possible, so the copy is cheap and writes
// through atomic renames never reach the original), the settings file edited line by line,
// and the program's exit status and console output.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.h"

namespace e2e {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Replaces a file without touching the inode it may share with the original game directory.
inline void replace_file(const fs::path& p, const std::string& bytes) {
    std::error_code ec;
    fs::remove(p, ec);
    std::ofstream f(p, std::ios::binary);
    f << bytes;
}

inline bool have_display() {
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

class GameDir {
public:
    GameDir() {
        std::string tmpl = (fs::temp_directory_path() / "kv_e2e_core_XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data())) dir_ = buf.data();
        const std::string src = KV_GAME_DIR;
        std::string cmd = "cp -al '" + src + "/.' '" + dir_.string() + "/' 2>/dev/null || cp -r '" +
                          src + "/.' '" + dir_.string() + "/'";
        ok_ = !dir_.empty() && std::system(cmd.c_str()) == 0;
    }
    ~GameDir() {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }
    GameDir(const GameDir&) = delete;
    GameDir& operator=(const GameDir&) = delete;

    bool ok() const { return ok_; }
    const fs::path& path() const { return dir_; }
    fs::path operator/(const std::string& name) const { return dir_ / name; }

    // Sets settings line `line` (1-based) to `value`, keeping the others.
    void set_config_line(int line, const std::string& value) {
        std::string text = read_file_text(dir_ / "configVars.dat");
        std::vector<std::string> lines;
        std::string cur;
        for (char c : text) {
            if (c == '\n') {
                if (!cur.empty() && cur.back() == '\r') cur.pop_back();
                lines.push_back(cur);
                cur.clear();
            } else {
                cur += c;
            }
        }
        if (!cur.empty()) lines.push_back(cur);
        if (static_cast<int>(lines.size()) < line) lines.resize(line);
        lines[line - 1] = value;
        std::string out;
        for (const std::string& l : lines) out += l + "\r\n";
        replace_file(dir_ / "configVars.dat", out);
    }

    // Runs core with `args` (already quoted as needed) from the game directory copy.
    RunResult run(const std::string& args) const {
        RunResult r;
        const fs::path out = dir_ / "run.out", err = dir_ / "run.err";
        std::string cmd = "cd '" + dir_.string() + "' && timeout 300 '" + std::string(KV_GAME_DIR) +
                          "/core' --dir '" + dir_.string() + "' " + args + " >'" + out.string() +
                          "' 2>'" + err.string() + "' </dev/null";
        int s = std::system(cmd.c_str());
        r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
        r.out = read_file_text(out);
        r.err = read_file_text(err);
        return r;
    }

private:
    fs::path dir_;
    bool ok_ = false;
};

// Width and height from a PNG header, or 0 x 0 when the bytes are no PNG.
inline void png_size(const std::string& png, uint32_t& w, uint32_t& h) {
    w = h = 0;
    if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return;
    auto be = [&](size_t at) {
        return (uint32_t(uint8_t(png[at])) << 24) | (uint32_t(uint8_t(png[at + 1])) << 16) |
               (uint32_t(uint8_t(png[at + 2])) << 8) | uint32_t(uint8_t(png[at + 3]));
    };
    w = be(16);
    h = be(20);
}

}  // namespace e2e
