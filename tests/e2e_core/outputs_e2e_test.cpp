// The programs' exit status tells the truth about their inputs and outputs: a screenshot that
// could not be written or whose frame never came, a trace on a full disk, a run killed
// half-way that must leave whole trace lines, and settings files that are short or too large.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "support/game_run.h"

using kvtest::RunResult;
using CoreOutputs = kvtest::WindowedGameDirTest;
using CoreSettings = kvtest::WindowedGameDirTest;
using ConfigOutputs = kvtest::GameDirTest;

TEST_F(CoreOutputs, ScreenshotsNotWrittenFailTheRun) {
    // A frame the run never reaches.
    RunResult r = g.run("--fixed-step 10 --frames 2 --screenshot 9:late.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("frame 9 was not written"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(g / "late.png"));

    // Destinations that are not files: a named pipe and a device stay what they are.
    ASSERT_EQ(::mkfifo((g / "pipe.png").c_str(), 0644), 0);
    r = g.run("--fixed-step 10 --frames 2 --screenshot 1:pipe.png --screenshot 2:/dev/null --screenshot 2:ok.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("pipe.png: a named pipe"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("/dev/null: a device"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::is_fifo(g / "pipe.png"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_GT(std::filesystem::file_size(g / "ok.png"), 1000u);  // the good request is still met

    r = g.run("--fixed-step 10 --frames 2 --screenshot 2:fine.png");
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(CoreOutputs, ATraceThatCannotBeWrittenFailsTheRun) {
    RunResult r = g.run("--fixed-step 10 --frames 40 --trace /dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("/dev/full could not be written"), std::string::npos) << r.err;
}

TEST_F(CoreOutputs, AKilledRunLeavesWholeTraceLines) {
    const std::string cmd = "cd " + kvtest::sh_quote(g.path().string()) + " && timeout -s KILL 4 " +
                            kvtest::sh_quote(std::string(KV_GAME_DIR) + "/core") +
                            " --dir . --fixed-step 10 --frames 1000000 --trace t.txt >/dev/null 2>&1";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 128 + 9);  // killed, not finished
    const std::string trace = read_file_text(g / "t.txt");
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), '\n');
    const auto lines = std::count(trace.begin(), trace.end(), '\n');
    const auto frames = std::count_if(trace.begin(), trace.end(), [](char c) { return c == '='; });
    EXPECT_EQ(trace.rfind("frame=1 ", 0), 0u);
    EXPECT_EQ(frames % lines, 0) << "every line has the same fields";
}

TEST_F(ConfigOutputs, AMissingInputScriptEndsTheToolAtOnce) {
    const CommandResult r = run_command("timeout 60 " + kvtest::sh_quote(std::string(KV_GAME_DIR) + "/config") +
                                        " --dir " + kvtest::sh_quote(g.path().string()) + " --input " +
                                        kvtest::sh_quote((g / "absent.txt").string()));
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.out.find("absent.txt"), std::string::npos) << r.out;
}

TEST_F(CoreSettings, AShortSettingsFileFliesWithTheDefaultBindings) {
    // Only the screen settings: every control would otherwise be unbound.
    const std::string settings = " 800\r\n 600\r\n 32\r\n 0\r\n 0\r\n";
    g.write("configVars.dat", settings);
    const RunResult r = g.play({.script = "1 key UP 1\n", .frames = 60, .step = 20, .seed = 0, .fly = true});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.log().find("only 5 of 55 settings present"), std::string::npos) << r.log();
    EXPECT_NE(r.log().find("controls 0-12 are missing; they take the default bindings"), std::string::npos)
        << r.log();
    // The default thrust key moves the gunship across the ground (the height drifts with the
    // hover alone).
    ASSERT_GE(r.rows.size(), 2u) << r.log();
    const kvtest::TraceRow &first = r.rows.front(), &last = r.rows.back();
    EXPECT_TRUE(first.s("x") != last.s("x") && first.s("z") != last.s("z"))
        << first.s("x") << "," << first.s("z") << " -> " << last.s("x") << "," << last.s("z");
    EXPECT_EQ(read_file_text(g / "configVars.dat"), settings) << "nothing is rewritten";
}

TEST_F(CoreSettings, HugeScreenSizesAreBoundedNamingTheSetting) {
    g.set_window(65535, 65535);
    RunResult r = g.run("--fixed-step 10 --frames 2 --screenshot 2:big.png");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.log().find("XRES 65535 is larger than the game allows; the window uses 16384"), std::string::npos)
        << r.log();
    EXPECT_NE(r.log().find("YRES 16384 is larger than the display allows"), std::string::npos) << r.log();
    uint32_t w = 0, h = 0;
    kvtest::png_size(read_file_text(g / "big.png"), w, h);
    EXPECT_GT(w, 0u);
    EXPECT_LE(w, 16384u);
    EXPECT_LE(h, 16384u);

    // Within the display nothing is said and the size stands.
    g.set_window(640, 480);
    r = g.run("--fixed-step 10 --frames 2 --screenshot 2:small.png");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.log().find("larger than"), std::string::npos) << r.log();
    kvtest::png_size(read_file_text(g / "small.png"), w, h);
    EXPECT_EQ(w, 640u);
    EXPECT_EQ(h, 480u);

    // kvdata check holds the same bound.
    g.set_config_line(1, " 16385");
    const CommandResult c =
        run_command(kvtest::sh_quote(std::string(KV_GAME_DIR) + "/kvdata") + " check " + kvtest::sh_quote(g.path().string()));
    EXPECT_EQ(c.status, 1);
    EXPECT_NE(c.out.find("screen size 16385 x 480 cannot open a window (1-16384 a side)"), std::string::npos) << c.out;
}
