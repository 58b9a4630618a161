// The real game run by the end-to-end tests: a private game directory per test, core run in it
// with options and a time limit, and its trace read back as key=value rows.
//
// The private directory is a hard-linked copy of the built game directory under the build
// tree (same file system, so the links always work): cheap to make, and safe because the game
// replaces every file it writes through a rename, which never reaches the shared inode. Tests
// change files only through write()/set_config_line()/edit_line(), which unlink the entry
// before writing. The version check is answered beforehand (ver.dat " 0"), so no run asks
// about or contacts any host. The directory is removed at the end of a passing test and kept
// (its path printed) when the test failed.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "config/config.h"
#include "config/control_codes.h"
#include "engine/png.h"
#include "support/files.h"

namespace kvtest {

namespace fs = std::filesystem;

inline const fs::path kGame = KV_GAME_DIR;

// Where the end-to-end screenshots are kept for people to look at.
inline fs::path screenshots_dir() { return fs::path(KV_BUILD_DIR) / "screenshots"; }

// PATH in single quotes for /bin/sh.
inline std::string sh_quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    q += '\'';
    return q;
}

inline bool have_display() {
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

// The built game directory holds the program and the generated island and missions.
inline bool have_game() {
    return fs::exists(kGame / "core") && fs::exists(kGame / "0.map") && fs::exists(kGame / "data/missions/0.dat") &&
           fs::exists(kGame / "data/enemies0.dat");
}

// The key bound to a flight control in the shipped settings ("" when the settings use no keys).
inline std::string shipped_key_of(int32_t control, const fs::path& game = kGame) {
    CONFIGVARTYPE cfg;
    config_read(cfg, (game / "configVars.dat").string());
    if (cfg.INPUTTYPE != 0) return "";
    return control_code_info(cfg.CONTROL[control]).KEYNAME;
}

// One script line: KEY goes down (1) or up (0) in FRAME.
inline std::string key_line(long frame, const std::string& key, int down) {
    std::string s = std::to_string(frame);
    s += " key ";
    s += key;
    s += down ? " 1\n" : " 0\n";
    return s;
}

// KEY pressed in FRAME and let go HOLD frames later.
inline std::string key_press(long frame, const std::string& key, long hold = 3) {
    return key_line(frame, key, 1) + key_line(frame + hold, key, 0);
}

// One trace line: its key=value fields. Missing keys read as "" and 0.
struct TraceRow {
    std::map<std::string, std::string> kv;
    bool has(const std::string& key) const { return kv.count(key) != 0; }
    const std::string& s(const std::string& key) const {
        static const std::string none;
        auto it = kv.find(key);
        return it == kv.end() ? none : it->second;
    }
    long i(const std::string& key) const { return std::atol(s(key).c_str()); }
    double d(const std::string& key) const { return std::atof(s(key).c_str()); }
    // The same, for fields every row of the trace must carry: a missing key is a test failure
    // (and reads as "" or -999999, which no expectation takes for a real value).
    const std::string& at(const std::string& key) const {
        if (!has(key)) ADD_FAILURE() << "trace row of frame " << s("frame") << " lacks " << key;
        return s(key);
    }
    long num(const std::string& key) const {
        if (has(key)) return i(key);
        at(key);
        return -999999;
    }
    double real(const std::string& key) const {
        if (has(key)) return d(key);
        at(key);
        return -999999.0;
    }
};

// A text of printable characters and blanks as the trace writes it (a blank as %20).
inline std::string encoded(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ' ') out += "%20";
        else out += c;
    }
    return out;
}

// Every trace line that names its frame, in file order.
inline std::vector<TraceRow> parse_trace(const std::string& text) {
    std::vector<TraceRow> out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kv;
        TraceRow row;
        while (fields >> kv) {
            const size_t eq = kv.find('=');
            if (eq != std::string::npos) row.kv[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        if (row.has("frame")) out.push_back(std::move(row));
    }
    return out;
}

// A finished run: exit status (-1 when it did not exit), console output, trace rows.
struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<TraceRow> rows;

    std::string log() const { return out + err; }
    // The row of frame F; a test failure (and an empty row) when the trace lacks it.
    const TraceRow& at(long frame) const {
        for (const TraceRow& r : rows)
            if (r.i("frame") == frame) return r;
        static const TraceRow none;
        ADD_FAILURE() << "frame " << frame << " missing from the trace";
        return none;
    }
    // The first frame at or after FROM whose row satisfies PRED; 0 when none does.
    long first(const std::function<bool(const TraceRow&)>& pred, long from = 1) const {
        for (const TraceRow& r : rows)
            if (r.i("frame") >= from && pred(r)) return r.i("frame");
        return 0;
    }
    // The row of frame F; nullptr when the trace lacks it.
    const TraceRow* row(long frame) const {
        for (const TraceRow& r : rows)
            if (r.i("frame") == frame) return &r;
        return nullptr;
    }
    // The first row at or after frame FROM that carries KEY with the number VALUE (or, for
    // find_text, the text VALUE as the trace writes it); nullptr when none does.
    const TraceRow* find(const std::string& key, long value, long from = 0) const {
        for (const TraceRow& r : rows)
            if (r.i("frame") >= from && r.has(key) && r.i(key) == value) return &r;
        return nullptr;
    }
    const TraceRow* find_text(const std::string& key, const std::string& value, long from = 0) const {
        for (const TraceRow& r : rows)
            if (r.i("frame") >= from && r.has(key) && r.s(key) == value) return &r;
        return nullptr;
    }
    // How many rows have KEY == VALUE (a missing key reads as "").
    long count(const std::string& key, const std::string& value) const {
        long n = 0;
        for (const TraceRow& r : rows) n += r.s(key) == value;
        return n;
    }
    // How many separate stretches of rows have KEY == VALUE.
    int stretches(const std::string& key, const std::string& value) const {
        int n = 0;
        bool in = false;
        for (const TraceRow& r : rows) {
            const bool now = r.has(key) && r.s(key) == value;
            if (now && !in) ++n;
            in = now;
        }
        return n;
    }
};

// An input script built key by key.
struct Keys {
    std::string text;
    // KEY down in frame FROM and up in frame TO.
    Keys& hold(long from, long to, const std::string& key) {
        text += key_line(from, key, 1) + key_line(to, key, 0);
        return *this;
    }
    // A tap: KEY down for two frames.
    Keys& press(long frame, const std::string& key) { return hold(frame, frame + 2, key); }
    // KEY down in FRAME and left down.
    Keys& down(long frame, const std::string& key) {
        text += key_line(frame, key, 1);
        return *this;
    }
};

// One scripted run of core.
struct Play {
    std::string name = "run";  // the stem of the script, trace and log files in the game directory
    std::string script{};      // the input script; none when empty
    long frames = 0;           // --frames (0: none)
    int step = 16;             // --fixed-step in ms (0: the live clock)
    int seed = 1;              // --seed (0: none)
    bool fly = false;          // --fly: straight into a mission
    std::string args{};        // further options, quoted as the shell needs
    // Screenshots (frame, file); a relative file goes to the screenshots folder.
    std::vector<std::pair<long, fs::path>> shots{};
    int timeout = 600;  // seconds before the run is stopped
};

// The shipped enemy layout with slots FIRST..LAST (inclusive) switched inactive, CR LF line ends.
inline std::string layout_with_inactive(int first, int last) {
    std::istringstream in(read_file_text(kGame / "data/enemies0.dat"));
    std::string out, line;
    int row = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const int slot = row - 2;  // the enemy count and the class count come first
        if (slot >= first && slot <= last) {
            // x,y,z,ACTIVE,...: the fourth field.
            size_t at = 0;
            for (int comma = 0; comma < 3 && at != std::string::npos; ++comma) at = line.find(',', at + 1);
            if (at != std::string::npos && at + 1 < line.size()) line[at + 1] = '0';
        }
        out += line + "\r\n";
        ++row;
    }
    return out;
}

class GameDir {
public:
    GameDir() {
        const fs::path root = fs::path(KV_BUILD_DIR) / "e2e_dirs";
        std::error_code ec;
        fs::create_directories(root, ec);
        std::string tmpl = (root / "game_XXXXXX").string();
        if (!mkdtemp(tmpl.data())) return;
        dir_ = tmpl;
        std::string cmd = "cp -al " + sh_quote(kGame.string() + "/.") + " " + sh_quote(dir_.string() + "/");
        cmd += " 2>/dev/null || cp -r " + sh_quote(kGame.string() + "/.") + " " + sh_quote(dir_.string() + "/");
        ok_ = std::system(cmd.c_str()) == 0;
        if (ok_) write("ver.dat", "0.1.0\r\n 0\r\n");
    }
    ~GameDir() {
        if (dir_.empty()) return;
        if (::testing::Test::HasFailure()) {
            std::printf("kept for inspection: %s\n", dir_.c_str());
            return;
        }
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    GameDir(const GameDir&) = delete;
    GameDir& operator=(const GameDir&) = delete;

    bool ok() const { return ok_; }
    const fs::path& path() const { return dir_; }
    fs::path operator/(const std::string& rel) const { return dir_ / rel; }

    // Replaces the file REL (relative to the game directory) with BYTES, never through a link.
    void write(const std::string& rel, const std::string& bytes) const {
        std::error_code ec;
        fs::create_directories((dir_ / rel).parent_path(), ec);
        fs::remove(dir_ / rel, ec);
        write_file_text(dir_ / rel, bytes);
    }

    // Sets settings line LINE (1-based) to VALUE, keeping the others; CR LF line ends.
    void set_config_line(int line, const std::string& value) const {
        std::vector<std::string> lines;
        std::istringstream in(read_file_text(dir_ / "configVars.dat"));
        std::string cur;
        while (std::getline(in, cur)) {
            if (!cur.empty() && cur.back() == '\r') cur.pop_back();
            lines.push_back(cur);
        }
        if (static_cast<int>(lines.size()) < line) lines.resize(static_cast<size_t>(line));
        lines[static_cast<size_t>(line - 1)] = value;
        std::string out;
        for (const std::string& l : lines) out += l + "\r\n";
        write("configVars.dat", out);
    }

    // A window of W x H (the first two settings lines).
    void set_window(int w, int h) const {
        // Built with += only: g++ 12 warns falsely on a + chain that starts from a literal.
        std::string width = " ", height = " ";
        width += std::to_string(w);
        height += std::to_string(h);
        set_config_line(1, width);
        set_config_line(2, height);
    }

    // No saved pilots: the profile list and the profiles' own files removed, their folder empty.
    void without_profiles() const {
        std::error_code ec;
        fs::remove(dir_ / "data/profiles.dat", ec);
        fs::remove_all(dir_ / "data/profiles", ec);
        fs::create_directories(dir_ / "data/profiles", ec);
    }

    // Replaces the first FROM in the file REL with TO; false (and the file left alone) when
    // FROM is not there.
    bool edit_line(const std::string& rel, const std::string& from, const std::string& to) const {
        std::string text = read_file_text(dir_ / rel);
        const size_t at = text.find(from);
        if (at == std::string::npos) return false;
        text.replace(at, from.size(), to);
        write(rel, text);
        return true;
    }

    // Runs core from the game directory with ARGS (quoted as the shell needs) and no input.
    RunResult run(const std::string& args, int timeout = 300) const {
        RunResult r;
        const fs::path out = dir_ / "run.out", err = dir_ / "run.err";
        const std::string cmd = command(args, timeout, out.string(), err.string());
        const int s = std::system(cmd.c_str());
        r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
        r.out = read_file_text(out);
        r.err = read_file_text(err);
        return r;
    }

    // A scripted run on the virtual clock; the trace comes back as rows.
    RunResult play(const Play& p) const {
        RunResult r = run(play_args(p), p.timeout);
        r.rows = trace(p);
        return r;
    }

    // The same run started in the background in a process group of its own, its console
    // output dropped: the process id (-1 when it could not start). The caller waits for it or
    // ends it, and reads trace(p) afterwards.
    pid_t start(const Play& p) const {
        const std::string cmd = command(play_args(p), p.timeout, "/dev/null", "/dev/null", true);
        const pid_t pid = fork();
        if (pid == 0) {
            setpgid(0, 0);
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }

    // The trace rows a run of P has written so far.
    std::vector<TraceRow> trace(const Play& p) const { return parse_trace(read_file_text(dir_ / (p.name + ".trace"))); }

private:
    // core from the game directory, stopped after TIMEOUT seconds, without input; with EXEC the
    // shell becomes the run.
    std::string command(const std::string& args, int timeout, const std::string& out, const std::string& err,
                        bool exec = false) const {
        std::string cmd = "cd " + sh_quote(dir_.string()) + (exec ? " && exec" : " &&");
        cmd += " timeout " + std::to_string(timeout) + " ";
        cmd += sh_quote((kGame / "core").string()) + " --dir " + sh_quote(dir_.string()) + " " + args;
        cmd += " >" + sh_quote(out) + " 2>" + sh_quote(err) + " </dev/null";
        return cmd;
    }

    // The options of P; its script written and its old trace and screenshots removed.
    std::string play_args(const Play& p) const {
        const fs::path input = dir_ / (p.name + ".input"), trace = dir_ / (p.name + ".trace");
        std::error_code ec;
        fs::remove(trace, ec);
        std::string args;
        if (p.fly) args += " --fly";
        if (p.step > 0) args += " --fixed-step " + std::to_string(p.step);
        if (p.seed > 0) args += " --seed " + std::to_string(p.seed);
        if (p.frames > 0) args += " --frames " + std::to_string(p.frames);
        if (!p.script.empty()) {
            write(input.filename().string(), p.script);
            args += " --input " + sh_quote(input.string());
        }
        args += " --trace " + sh_quote(trace.string());
        for (const auto& [frame, file] : p.shots) {
            const fs::path to = file.is_absolute() ? file : screenshots_dir() / file;
            fs::create_directories(to.parent_path(), ec);
            fs::remove(to, ec);
            args += " --screenshot " + std::to_string(frame) + ":" + sh_quote(to.string());
        }
        args += " " + p.args;
        return args;
    }

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

// A screenshot from the screenshots folder (or an absolute path), decoded.
inline PngImage load_shot(const fs::path& file) {
    return png_load((file.is_absolute() ? file : screenshots_dir() / file).string());
}

// Pixels of a screenshot region (rows counted from the top) whose (r, g, b) satisfy TEST.
template <typename Test>
int count_pixels(const PngImage& img, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, Test test) {
    int n = 0;
    if (!img) return 0;
    for (uint32_t y = y0; y < y1 && y < img.height; ++y) {
        for (uint32_t x = x0; x < x1 && x < img.width; ++x) {
            const uint8_t* p = img.pixels.get() + (static_cast<size_t>(img.height - 1 - y) * img.width + x) * 4;
            if (test(p[0], p[1], p[2])) ++n;
        }
    }
    return n;
}

}  // namespace kvtest

// Skips the test without an X display.
#define KV_REQUIRE_DISPLAY()                                                              \
    do {                                                                                  \
        if (!kvtest::have_display()) GTEST_SKIP() << "no X display (run under xvfb-run)"; \
    } while (0)

// ... or without a built game directory.
#define KV_REQUIRE_GAME()                                                                        \
    do {                                                                                         \
        KV_REQUIRE_DISPLAY();                                                                    \
        if (!kvtest::have_game()) GTEST_SKIP() << "game directory without core, map or missions"; \
    } while (0)

// A test over a private game directory `g` of its own.
namespace kvtest {
class GameDirTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(g.ok()); }
    GameDir g;
};
// ... that opens the game's window, so is skipped without a display.
class WindowedGameDirTest : public GameDirTest {
protected:
    void SetUp() override {
        KV_REQUIRE_DISPLAY();
        GameDirTest::SetUp();
    }
};
}  // namespace kvtest

// ... and the shipped settings fly with keys.
#define KV_REQUIRE_KEYS()                                                                               \
    do {                                                                                                \
        KV_REQUIRE_GAME();                                                                              \
        if (kvtest::shipped_key_of(11).empty()) GTEST_SKIP() << "the shipped settings use no keys"; \
    } while (0)
