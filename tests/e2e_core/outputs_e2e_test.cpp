// The programs' exit status tells the truth about their inputs and outputs: an input script
// that is a folder or missing, a screenshot that could not be written or whose frame never
// came, a trace on a full disk, and a run killed half-way that must leave whole trace lines.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "core_run.h"

using e2e::GameDir;
using e2e::RunResult;

#define REQUIRE_DISPLAY()                                                    \
    do {                                                                     \
        if (!e2e::have_display()) GTEST_SKIP() << "no X display (xvfb-run)"; \
    } while (0)

TEST(CoreOutputs, InputScriptsThatAreFoldersOrMissingStopTheRun) {
    GameDir g;
    ASSERT_TRUE(g.ok());
    std::filesystem::create_directory(g / "scripts");
    RunResult r = g.run("--input scripts --frames 2");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("scripts: a folder"), std::string::npos) << r.err;
    r = g.run("--input absent.txt --frames 2");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("absent.txt: missing"), std::string::npos) << r.err;
}

TEST(CoreOutputs, ScreenshotsNotWrittenFailTheRun) {
    REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
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

TEST(CoreOutputs, ATraceThatCannotBeWrittenFailsTheRun) {
    REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    RunResult r = g.run("--fixed-step 10 --frames 40 --trace /dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("/dev/full could not be written"), std::string::npos) << r.err;
}

TEST(CoreOutputs, AKilledRunLeavesWholeTraceLines) {
    REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    const std::string cmd = "cd '" + g.path().string() + "' && timeout -s KILL 4 '" + std::string(KV_GAME_DIR) +
                            "/core' --dir . --fixed-step 10 --frames 1000000 --trace t.txt >/dev/null 2>&1";
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

TEST(ConfigOutputs, AMissingInputScriptEndsTheToolAtOnce) {
    GameDir g;
    ASSERT_TRUE(g.ok());
    const CommandResult r = run_command("timeout 60 '" + std::string(KV_GAME_DIR) + "/config' --dir '" +
                                        g.path().string() + "' --input '" + (g / "absent.txt").string() + "'");
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.out.find("absent.txt"), std::string::npos) << r.out;
}

TEST(CoreSettings, AShortSettingsFileFliesWithTheDefaultBindings) {
    REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    // Only the screen settings: every control would otherwise be unbound.
    e2e::replace_file(g / "configVars.dat", " 800\r\n 600\r\n 32\r\n 0\r\n 0\r\n");
    const std::string script = "1 key UP 1\n";
    e2e::replace_file(g / "thrust.txt", script);
    RunResult r = g.run("--fly --fixed-step 20 --frames 60 --input thrust.txt --trace t.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string said = r.out + r.err;
    EXPECT_NE(said.find("only 5 of 55 settings present"), std::string::npos) << said;
    EXPECT_NE(said.find("controls 0-12 are missing; they take the default bindings"), std::string::npos) << said;
    // The default thrust key moves the gunship: its position changes over the run.
    const std::string trace = read_file_text(g / "t.txt");
    std::istringstream lines(trace);
    std::string first, line, last;
    std::getline(lines, first);
    while (std::getline(lines, line)) last = line;
    auto field = [](const std::string& l, const std::string& key) {
        const size_t at = l.find(" " + key + "=");
        return at == std::string::npos ? std::string() : l.substr(at, l.find(' ', at + 1) - at);
    };
    ASSERT_FALSE(last.empty()) << trace;
    // (The height drifts with the hover alone; only thrust moves it across the ground.)
    EXPECT_TRUE(field(first, "x") != field(last, "x") && field(first, "z") != field(last, "z"))
        << first << "\n" << last;
    EXPECT_EQ(read_file_text(g / "configVars.dat"), " 800\r\n 600\r\n 32\r\n 0\r\n 0\r\n") << "nothing is rewritten";
}

TEST(CoreSettings, HugeScreenSizesAreBoundedNamingTheSetting) {
    REQUIRE_DISPLAY();
    GameDir g;
    ASSERT_TRUE(g.ok());
    g.set_config_line(1, " 65535");
    g.set_config_line(2, " 65535");
    RunResult r = g.run("--fixed-step 10 --frames 2 --screenshot 2:big.png");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string said = r.out + r.err;
    EXPECT_NE(said.find("XRES 65535 is larger than the game allows; the window uses 16384"), std::string::npos) << said;
    EXPECT_NE(said.find("YRES 16384 is larger than the display allows"), std::string::npos) << said;
    uint32_t w = 0, h = 0;
    e2e::png_size(read_file_text(g / "big.png"), w, h);
    EXPECT_GT(w, 0u);
    EXPECT_LE(w, 16384u);
    EXPECT_LE(h, 16384u);

    // Within the display nothing is said and the size stands.
    g.set_config_line(1, " 640");
    g.set_config_line(2, " 480");
    r = g.run("--fixed-step 10 --frames 2 --screenshot 2:small.png");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ((r.out + r.err).find("larger than"), std::string::npos) << r.out << r.err;
    e2e::png_size(read_file_text(g / "small.png"), w, h);
    EXPECT_EQ(w, 640u);
    EXPECT_EQ(h, 480u);

    // kvdata check holds the same bound.
    g.set_config_line(1, " 16385");
    std::string check = KV_GAME_DIR;
    check += "/kvdata check ";
    check += g.path().string();
    const CommandResult c = run_command(check);
    EXPECT_EQ(c.status, 1);
    EXPECT_NE(c.out.find("screen size 16385 x 480 cannot open a window (1-16384 a side)"), std::string::npos) << c.out;
}

TEST(CoreSettings, ASettingsFolderIsNotCalledMissing) {
    GameDir g;
    ASSERT_TRUE(g.ok());
    std::filesystem::remove(g / "configVars.dat");
    std::filesystem::create_directory(g / "configVars.dat");
    RunResult r = g.run("--frames 2");
    EXPECT_EQ(r.status, 1);
    const std::string said = r.out + r.err;
    EXPECT_NE(said.find("configVars.dat: the settings file cannot be read (a folder)"), std::string::npos) << said;
    EXPECT_EQ(said.find("missing"), std::string::npos) << said;
    EXPECT_TRUE(std::filesystem::is_directory(g / "configVars.dat"));
}
