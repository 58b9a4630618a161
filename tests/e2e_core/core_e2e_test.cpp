// End-to-end runs of the real game program: options, clean start and shutdown, deterministic
// scripted runs, the window settings that open and those refused with their explanatory line.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "support/game_run.h"

using kvtest::GameDir;
using kvtest::RunResult;
using CoreOptions = kvtest::GameDirTest;

namespace {

// The size of the PNG file; 0 x 0 when it is none.
std::pair<uint32_t, uint32_t> shot_size(const std::filesystem::path& file) {
    uint32_t w = 0, h = 0;
    kvtest::png_size(read_file_text(file), w, h);
    return {w, h};
}

}  // namespace

TEST_F(CoreOptions, HelpDocumentsEveryOptionAndVersionAnswers) {
    RunResult r = g.run("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* opt : {"--help", "--version", "--dir", "--seed", "--fixed-step", "--frames",
                            "--input", "--trace", "--screenshot", "--fly"})
        EXPECT_NE(r.out.find(opt), std::string::npos) << opt;
    r = g.run("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Kessra Vorn ", 0), 0u) << r.out;
}

// Refused options and input scripts that are missing or folders stop the run with status 2
// and a line naming what was wrong.
TEST_F(CoreOptions, RefusedOptionsAndInputScriptsExitWithAReason) {
    std::filesystem::create_directory(g / "scripts");
    const struct {
        const char* args;
        const char* said;
    } cases[] = {
        {"--frames 0", "--frames"},
        {"--wobble", "--wobble"},
        {"--input no_such_script.txt --frames 1", "no_such_script.txt: missing"},
        {"--input scripts --frames 2", "scripts: a folder"},
    };
    for (const auto& c : cases) {
        const RunResult r = g.run(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << c.args << ": " << r.err;
    }
}

TEST(CoreRun, OpensAndClosesCleanlyWithTheShippedSettings) {
    KV_REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    const std::string before = read_file_text(g / "configVars.dat");
    ASSERT_FALSE(before.empty()) << "the game directory has no configVars.dat";
    const bool had_models = std::filesystem::exists(g / "models.dat");
    const std::string models = read_file_text(g / "models.dat");
    RunResult r = g.run("--frames 3 --trace t.txt --screenshot 3:shot.png");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file_text(g / "configVars.dat"), before) << "the settings must not change";
    // Quitting before the model preload completed leaves the preload list as it was.
    EXPECT_EQ(std::filesystem::exists(g / "models.dat"), had_models);
    EXPECT_EQ(read_file_text(g / "models.dat"), models);
    EXPECT_EQ(shot_size(g / "shot.png"), std::make_pair(1024u, 768u));
    // Standard output is a file here: no cursor movement may end up in it.
    EXPECT_EQ(r.out.find("\x1b["), std::string::npos);
    const std::string trace = read_file_text(g / "t.txt");
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 3);
    EXPECT_EQ(trace.rfind("frame=1 ", 0), 0u) << trace;
}

TEST(CoreRun, FixedStepAndSeedGiveByteIdenticalRuns) {
    KV_REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    g.write("in.txt", "# thrust for a while, then turn\n2 key UP 1\n8 key UP 0\n9 key LEFT 1\n14 key LEFT 0\n");
    const std::string args = "--fly --fixed-step 16 --seed 42 --frames 16 --input in.txt";
    RunResult a = g.run(args + " --trace a.txt --screenshot 16:a16.png --screenshot 8:a8.png");
    RunResult b = g.run(args + " --trace b.txt --screenshot 16:b16.png --screenshot 8:b8.png");
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    const std::string ta = read_file_text(g / "a.txt"), tb = read_file_text(g / "b.txt");
    EXPECT_FALSE(ta.empty());
    EXPECT_EQ(ta, tb);
    const std::string a16 = read_file_text(g / "a16.png"), a8 = read_file_text(g / "a8.png");
    ASSERT_FALSE(a16.empty());
    ASSERT_FALSE(a8.empty());
    EXPECT_EQ(a16, read_file_text(g / "b16.png"));
    EXPECT_EQ(a8, read_file_text(g / "b8.png"));
    // The virtual clock moves 16 ms per frame: frame n ends at (n - 1) x 16 ms.
    std::istringstream lines(ta);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ++n;
        EXPECT_EQ(line.rfind("frame=" + std::to_string(n) + " ms=" + std::to_string((n - 1) * 16) + " ", 0), 0u)
            << line;
        for (const char* key : {" menu=", " exit=", " x=", " y=", " z=", " heading=", " landed=",
                                " fuel=", " ammo=", " rockets=", " mission=", " objective="})
            EXPECT_NE(line.find(key), std::string::npos) << key << " missing in " << line;
    }
    EXPECT_EQ(n, 16);
}

// Both colour depths open a window of the asked size; full screen opens at whatever size the
// display keeps current.
TEST(CoreRun, WindowSettingsThatOpen) {
    KV_REQUIRE_DISPLAY();
    const struct {
        const char* bits;
        const char* mode;
        uint32_t w, h;  // 0: any size
    } cases[] = {{" 16", " 0", 320, 240}, {" 32", " 0", 320, 240}, {nullptr, " 1", 0, 0}};
    for (const auto& c : cases) {
        GameDir g;
        ASSERT_TRUE(g.ok());
        if (c.bits) {
            g.set_window(320, 240);
            g.set_config_line(3, c.bits);
        }
        g.set_config_line(4, c.mode);
        const std::string what = std::string(c.bits ? c.bits : "shipped") + " bits, mode" + c.mode;
        RunResult r = g.run("--frames 2 --fixed-step 16 --screenshot 2:s.png");
        EXPECT_EQ(r.status, 0) << what << ": " << r.err;
        const auto [w, h] = shot_size(g / "s.png");
        if (c.w) {
            EXPECT_EQ(w, c.w) << what;
            EXPECT_EQ(h, c.h) << what;
        } else {
            EXPECT_GT(w, 0u) << what;
            EXPECT_GT(h, 0u) << what;
        }
    }
}

// Settings the window cannot open with end the run with status 1 and one line saying why;
// nothing is written in place of a missing or unreadable settings file.
TEST(CoreRun, RefusedWindowSettingsEndWithStatusOneAndSayWhy) {
    namespace fs = std::filesystem;
    const struct {
        const char* what;
        std::function<void(GameDir&)> set_up;
        std::vector<const char*> said;
        const char* never_said;
        bool one_line;  // the refusal is all that is said
    } cases[] = {
        {"24 bits", [](GameDir& g) { g.set_config_line(3, " 24"); }, {"colour depth 24"}, nullptr, true},
        {"mode 2", [](GameDir& g) { g.set_config_line(4, " 2"); }, {"screen mode"}, nullptr, true},
        {"no settings", [](GameDir& g) { fs::remove(g / "configVars.dat"); },
         {"cannot open the window", "configVars.dat"}, nullptr, false},
        {"a settings folder",
         [](GameDir& g) {
             fs::remove(g / "configVars.dat");
             fs::create_directory(g / "configVars.dat");
         },
         {"configVars.dat: the settings file cannot be read (a folder)"}, "missing", false},
    };
    for (const auto& c : cases) {
        GameDir g;
        ASSERT_TRUE(g.ok());
        c.set_up(g);
        const bool existed = fs::exists(g / "configVars.dat");
        const bool folder = fs::is_directory(g / "configVars.dat");
        RunResult r = g.run("--frames 2");
        EXPECT_EQ(r.status, 1) << c.what;
        for (const char* s : c.said) EXPECT_NE(r.log().find(s), std::string::npos) << c.what << ": " << r.log();
        if (c.never_said) {
            EXPECT_EQ(r.log().find(c.never_said), std::string::npos) << c.what << ": " << r.log();
        }
        if (c.one_line) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.what << ": one line: " << r.err;
        }
        EXPECT_EQ(fs::exists(g / "configVars.dat"), existed) << c.what << ": nothing may be invented";
        EXPECT_EQ(fs::is_directory(g / "configVars.dat"), folder) << c.what;
    }
}

TEST(CoreRun, BadScriptLinesAreReportedAndTheRunGoesOn) {
    KV_REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    g.write("in.txt", "1 key UP 1\n2 key NOSUCHKEY 1\n3 joy 99 present 1\n");
    RunResult r = g.run("--frames 3 --fixed-step 16 --input in.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("line 1:"), std::string::npos) << r.err;
}

TEST(CoreRun, LiveClockRunPacesAndStops) {
    KV_REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    const RunResult r = g.play({.frames = 5, .step = 0, .seed = 0});
    EXPECT_EQ(r.status, 0) << r.err;
    // Each frame sleeps 10 ms, so the clock moves at least that much between frames.
    ASSERT_EQ(r.rows.size(), 5u);
    for (size_t i = 1; i < r.rows.size(); ++i)
        EXPECT_GE(r.rows[i].i("ms") - r.rows[i - 1].i("ms"), 10) << "frame " << r.rows[i].s("frame");
}
