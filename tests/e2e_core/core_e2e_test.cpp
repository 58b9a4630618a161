// End-to-end runs of the real game program: options, clean start and shutdown, deterministic
// scripted runs, both colour depths, and refused window settings with their explanatory line.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core_run.h"

using e2e::GameDir;
using e2e::RunResult;

#define REQUIRE_DISPLAY()                                                    \
    do {                                                                     \
        if (!e2e::have_display()) GTEST_SKIP() << "no X display (xvfb-run)"; \
    } while (0)

TEST(CoreOptions, HelpDocumentsEveryOptionAndVersionAnswers) {
    GameDir g;
    ASSERT_TRUE(g.ok());
    RunResult r = g.run("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* opt : {"--help", "--version", "--dir", "--seed", "--fixed-step", "--frames",
                            "--input", "--trace", "--screenshot", "--fly"})
        EXPECT_NE(r.out.find(opt), std::string::npos) << opt;
    r = g.run("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Kessra Vorn ", 0), 0u) << r.out;
}

TEST(CoreOptions, RefusedOptionsAndMissingFilesExitWithAReason) {
    GameDir g;
    ASSERT_TRUE(g.ok());
    RunResult r = g.run("--frames 0");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--frames"), std::string::npos) << r.err;
    r = g.run("--wobble");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--wobble"), std::string::npos) << r.err;
    r = g.run("--input no_such_script.txt --frames 1");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no_such_script.txt"), std::string::npos) << r.err;
}

TEST(CoreRun, OpensAndClosesCleanlyWithTheShippedSettings) {
    REQUIRE_DISPLAY();
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
    uint32_t w = 0, h = 0;
    e2e::png_size(read_file_text(g / "shot.png"), w, h);
    EXPECT_EQ(w, 1024u);
    EXPECT_EQ(h, 768u);
    // Standard output is a file here: no cursor movement may end up in it.
    EXPECT_EQ(r.out.find("\x1b["), std::string::npos);
    const std::string trace = read_file_text(g / "t.txt");
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 3);
    EXPECT_EQ(trace.rfind("frame=1 ", 0), 0u) << trace;
}

TEST(CoreRun, FixedStepAndSeedGiveByteIdenticalRuns) {
    REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    e2e::replace_file(g / "in.txt", "# thrust for a while, then turn\n2 key UP 1\n8 key UP 0\n"
                                    "9 key LEFT 1\n14 key LEFT 0\n");
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

TEST(CoreRun, SixteenAndThirtyTwoBitSettingsOpen) {
    REQUIRE_DISPLAY();
    for (const char* bits : {" 16", " 32"}) {
        GameDir g;
        ASSERT_TRUE(g.ok());
        g.set_config_line(1, " 320");
        g.set_config_line(2, " 240");
        g.set_config_line(3, bits);
        g.set_config_line(4, " 0");
        RunResult r = g.run("--frames 2 --fixed-step 16 --screenshot 2:s.png");
        EXPECT_EQ(r.status, 0) << bits << ": " << r.err;
        uint32_t w = 0, h = 0;
        e2e::png_size(read_file_text(g / "s.png"), w, h);
        EXPECT_EQ(w, 320u) << bits;
        EXPECT_EQ(h, 240u) << bits;
    }
}

TEST(CoreRun, FullScreenSettingOpensAndKeepsTheSizeCurrent) {
    REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    g.set_config_line(4, " 1");
    RunResult r = g.run("--frames 2 --fixed-step 16 --screenshot 2:s.png");
    EXPECT_EQ(r.status, 0) << r.err;
    uint32_t w = 0, h = 0;
    e2e::png_size(read_file_text(g / "s.png"), w, h);
    EXPECT_GT(w, 0u);
    EXPECT_GT(h, 0u);
}

TEST(CoreRun, RefusedWindowSettingsEndWithStatusOneAndSayWhy) {
    {
        GameDir g;
        ASSERT_TRUE(g.ok());
        g.set_config_line(3, " 24");
        RunResult r = g.run("--frames 2");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("colour depth 24"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
    }
    {
        GameDir g;
        ASSERT_TRUE(g.ok());
        g.set_config_line(4, " 2");
        RunResult r = g.run("--frames 2");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("screen mode"), std::string::npos) << r.err;
    }
    {
        GameDir g;
        ASSERT_TRUE(g.ok());
        std::filesystem::remove(g / "configVars.dat");
        RunResult r = g.run("--frames 2");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("cannot open the window"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("configVars.dat"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(g / "configVars.dat")) << "nothing may be invented";
    }
}

TEST(CoreRun, BadScriptLinesAreReportedAndTheRunGoesOn) {
    REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    e2e::replace_file(g / "in.txt", "1 key UP 1\n2 key NOSUCHKEY 1\n3 joy 99 present 1\n");
    RunResult r = g.run("--frames 3 --fixed-step 16 --input in.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("line 1:"), std::string::npos) << r.err;
}

TEST(CoreRun, LiveClockRunPacesAndStops) {
    REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    RunResult r = g.run("--frames 5 --trace t.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    // Each frame sleeps 10 ms, so the clock moves at least that much between frames.
    std::istringstream lines(read_file_text(g / "t.txt"));
    std::string line;
    int previous = -1, n = 0;
    while (std::getline(lines, line)) {
        int ms = std::stoi(line.substr(line.find(" ms=") + 4));
        if (previous >= 0) {
            EXPECT_GE(ms - previous, 10) << line;
        }
        previous = ms;
        ++n;
    }
    EXPECT_EQ(n, 5);
}
