// End-to-end tests of the configuration tool: the real `config` program runs on a private copy
// of the game directory with a scripted mouse, keyboard and controllers, a given list of screen
// modes and the virtual clock (10 ms a frame); the tests check configVars.dat as written by
// "Save", the console lines and the screenshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>

#include "cfg_layout.h"
#include "e2e_helpers.h"

using namespace e2e;

namespace {

// 16-bit list: 1600x1200 (skipped as the first entry), 1280x1024, 640x480 and modes that are
// filtered out; 32-bit list: 1920x1080 (skipped), 1280x1024, 800x600.
const char* const MODES =
    "16 1600 1200\n16 1280 1024\n16 640 480\n16 1280 1024\n16 640 400\n16 320 200\n"
    "32 1920 1080\n32 1280 1024\n32 800 600\n";

// Click points. The mode grid lists each depth from its last stored mode: the 16-bit block has
// one row at y 82 (640x480, 1280x1024), the 32-bit block's heading sits 36 below it at 118 and
// its row at 136 (800x600, 1280x1024).
constexpr int TAB_Y = 14;
constexpr int VIDEO_TAB_X = 50, INPUT_TAB_X = 158, DISPLAY_TAB_X = 266;
constexpr int SAVE_X = 424, RELOAD_X = 512, EXIT_X = 600;
constexpr int MODE_800x600_32_X = 16, MODE_800x600_32_Y = 144;
constexpr int WINDOWED_X = 626, WINDOWED_Y = 61;
constexpr int BINDING_X = 446;
// Keyboard layout rows: control i at 95 + 18 i.
int keyboard_row(int control) { return 95 + 18 * control + 8; }
// Controller layout rows with four axes: control i at 225 + 18 i.
int controller_row(int control) { return 225 + 18 * control + 8; }

class ConfigTool : public ::testing::Test {
protected:
    std::string dir;
    std::vector<std::string> original;
    void SetUp() override {
        if (!file_exists(config_program())) GTEST_SKIP() << "config was not built (SDL 1.2 or SDL_image missing)";
        dir = make_game_dir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        original = sample_config_lines();
        write_file_text(dir + "/configVars.dat", join_lines(original));
        write_file_text(dir + "/modes.txt", MODES);
    }
    RunResult run(const Script& s, int64_t frames, const std::string& extra = "") {
        return run_config(dir, s, frames, "--modes '" + dir + "/modes.txt' " + extra);
    }
    std::vector<std::string> saved() { return split_lines(read_file_text(dir + "/configVars.dat")); }
    // Centre of the anti-aliasing button of `level` (0 None .. 3 8x).
    std::pair<int, int> fsaa_button(int level) {
        const FontWidths f = measure_font(dir);
        int32_t widths[4];
        for (int i = 0; i < 4; ++i) widths[i] = f.len(FSAA_LABELS[i]);
        const RECTI r = option_level_rect(240, 116, widths, level);
        return {(r.X1 + r.X2) / 2, (r.Y1 + r.Y2) / 2};
    }
};

TEST_F(ConfigTool, EditsEveryTabAndSavesTheFullFile) {
    const std::string shots = screens_dir();
    Script s;
    s.click(MODE_800x600_32_X, MODE_800x600_32_Y);
    s.click(WINDOWED_X, WINDOWED_Y);
    s.wait(2);
    s.line(s.frame, "mouse 300 300");
    const int64_t video_shot = s.frame + 1;
    s.wait(3);
    s.click(DISPLAY_TAB_X, TAB_Y);
    const auto [fx, fy] = fsaa_button(3);
    s.click(fx, fy);
    s.line(s.frame, "mouse 300 400");
    const int64_t display_shot = s.frame + 1;
    s.wait(3);
    s.click(INPUT_TAB_X, TAB_Y);
    s.capture(BINDING_X, keyboard_row(4), {"W"});       // Thrust
    s.capture(BINDING_X, keyboard_row(5), {"ESCAPE"});  // Reverse: cancelled
    s.line(s.frame, "mouse 300 450");
    const int64_t input_shot = s.frame + 1;
    s.wait(3);
    s.click(SAVE_X, TAB_Y);
    s.wait(5);
    const RunResult r = run(s, s.frame,
                            "--screenshot " + std::to_string(video_shot) + ":" + shots + "/video.png" +
                                " --screenshot " + std::to_string(display_shot) + ":" + shots + "/display.png" +
                                " --screenshot " + std::to_string(input_shot) + ":" + shots + "/input.png");
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("Game Configuration Saved!"), std::string::npos) << r.output;

    std::vector<std::string> expected = original;
    expected[0] = " 800";
    expected[1] = " 600";
    expected[2] = " 32";
    expected[3] = " 0";          // windowed
    expected[18 + 4] = " 51";    // Thrust = W; Reverse keeps its binding after Escape
    expected[31 + 7] = " 3";     // anti-aliasing 8x
    const std::vector<std::string> lines = saved();
    ASSERT_EQ(lines.size(), 55u);
    for (int i = 0; i < 55; ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;

    // The screenshots show the selections: the chosen mode and "Windowed" outlined in light
    // green, the 8x button outlined in light green.
    const Shot video = load_shot(shots + "/video.png");
    ASSERT_TRUE(video.ok());
    EXPECT_EQ(video.width, 640u);
    EXPECT_EQ(video.height, 480u);
    EXPECT_TRUE(video.near(8, MODE_800x600_32_Y, 128, 255, 128));
    EXPECT_FALSE(video.near(8, 90, 128, 255, 128));  // 640x480 at 16 bits is not selected
    EXPECT_TRUE(video.near(632, WINDOWED_Y, 128, 255, 128));
    EXPECT_TRUE(video.near(60, 8, 168, 168, 160));    // the selected tab is light grey
    const Shot display = load_shot(shots + "/display.png");
    ASSERT_TRUE(display.ok());
    const auto [x8, y8] = fsaa_button(3);
    EXPECT_TRUE(display.near(x8, 116 + 20, 128, 255, 128));
    const auto [xn, yn] = fsaa_button(0);
    EXPECT_FALSE(display.near(xn, 116 + 20, 128, 255, 128));
    EXPECT_TRUE(display.near(266, 8, 168, 168, 160));
    const Shot input = load_shot(shots + "/input.png");
    ASSERT_TRUE(input.ok());
    EXPECT_TRUE(input.near(264, 30, 128, 255, 128));  // "Keyboard" is the input type
    EXPECT_TRUE(input.near(158, 8, 168, 168, 160));
}

struct BindingCase {
    const char* name;
    std::vector<std::string> keys;
    int code;
};

class ConfigToolBinding : public ConfigTool, public ::testing::WithParamInterface<BindingCase> {};

TEST_P(ConfigToolBinding, ThrustTakesTheCapturedCode) {
    Script s;
    s.click(INPUT_TAB_X, TAB_Y);
    s.capture(BINDING_X, keyboard_row(4), GetParam().keys);
    s.click(SAVE_X, TAB_Y);
    const RunResult r = run(s, s.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    std::vector<std::string> expected = original;
    expected[18 + 4] = " " + std::to_string(GetParam().code);
    EXPECT_EQ(saved(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ConfigToolBinding,
    ::testing::Values(BindingCase{"W", {"W"}, 51}, BindingCase{"Keypad8", {"KP_8"}, 73},
                      BindingCase{"RightAlt", {"RIGHT_ALT"}, 83},
                      BindingCase{"LeftShiftWithA", {"LEFT_SHIFT", "A"}, 77},
                      BindingCase{"AWithLeftShift", {"A", "LEFT_SHIFT"}, 77},
                      BindingCase{"EscapeWithW", {"ESCAPE", "W"}, 51}),
    [](const ::testing::TestParamInfo<BindingCase>& i) { return std::string(i.param.name); });

TEST_F(ConfigTool, EscapeCancelsACaptureAndTheClickIsNotTakenAsInput) {
    Script s;
    s.click(INPUT_TAB_X, TAB_Y);
    // Keys pressed during the first 200 ms after the click are ignored; Escape then cancels.
    s.line(s.frame + 5, "key W 1");
    s.line(s.frame + 8, "key W 0");
    s.capture(BINDING_X, keyboard_row(4), {"ESCAPE"});
    s.capture(BINDING_X, keyboard_row(11), {"ESCAPE"});
    s.click(SAVE_X, TAB_Y);
    const RunResult r = run(s, s.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_EQ(saved(), original);
}

TEST_F(ConfigTool, SaveRightAfterStartWritesBackWhatWasRead) {
    // Without a controller the input type is forced to the keyboard.
    std::vector<std::string> lines = original;
    lines[4] = " 1";
    lines[17] = " 3";
    write_file_text(dir + "/configVars.dat", join_lines(lines));
    Script s;
    s.click(SAVE_X, TAB_Y);
    RunResult r = run(s, s.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    std::vector<std::string> expected = lines;
    expected[4] = " 0";
    EXPECT_EQ(saved(), expected);

    // With a controller connected the file comes back byte for byte.
    write_file_text(dir + "/configVars.dat", join_lines(lines));
    Script c;
    c.line(0, "joy 0 present 1");
    c.click(SAVE_X, TAB_Y);
    r = run(c, c.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_EQ(read_file_text(dir + "/configVars.dat"), join_lines(lines));
}

TEST_F(ConfigTool, ReloadRestoresTheFileAndShowsItsMessageForTwoSeconds) {
    const std::string shots = screens_dir();
    Script s;
    s.click(MODE_800x600_32_X, MODE_800x600_32_Y);
    s.click(WINDOWED_X, WINDOWED_Y);
    s.click(RELOAD_X, TAB_Y);
    const int64_t reloaded = s.frame - 3;  // the frame of the press
    s.line(s.frame, "mouse 300 400");
    s.wait(10);
    const int64_t during = s.frame;
    s.wait(220);
    const int64_t after = s.frame;
    s.click(SAVE_X, TAB_Y);
    const RunResult r = run(s, s.frame + 2,
                            "--screenshot " + std::to_string(during) + ":" + shots + "/reload_message.png" +
                                " --screenshot " + std::to_string(after) + ":" + dir + "/after.png");
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("Game Configuration Restored!"), std::string::npos) << r.output;
    EXPECT_EQ(read_file_text(dir + "/configVars.dat"), join_lines(original));
    EXPECT_LT(reloaded, during);

    // The message box: outer box y 208..272 outlined dark grey, inner box outlined light blue.
    const Shot msg = load_shot(shots + "/reload_message.png");
    ASSERT_TRUE(msg.ok());
    EXPECT_TRUE(msg.near(320, 208, 96, 96, 96));
    EXPECT_TRUE(msg.near(320, 216, 192, 192, 255));
    EXPECT_TRUE(msg.near(320, 264, 192, 192, 255));
    // The reloaded record shows 1024x768 at 32 bits... which is not offered; FullScreen is green.
    EXPECT_TRUE(msg.near(632, 32, 128, 255, 128));
    const Shot later = load_shot(dir + "/after.png");
    ASSERT_TRUE(later.ok());
    EXPECT_FALSE(later.near(320, 216, 192, 192, 255));
}

TEST_F(ConfigTool, ControllerCaptureAndCalibration) {
    const std::string shots = screens_dir();
    Script s;
    s.line(0, "joy 0 present 1");
    s.line(0, "joy 0 axis 4 none");  // a controller with four axes
    s.line(0, "joy 0 axis 5 none");
    s.click(INPUT_TAB_X, TAB_Y);
    s.click(270, 61);  // "Game Controller"
    // Calibrate: axis 1 to both extremes, axis 0 to -0.5.
    s.line(s.frame, "joy 0 axis 1 -1");
    s.line(s.frame + 2, "joy 0 axis 1 1");
    s.line(s.frame + 4, "joy 0 axis 1 0");
    s.line(s.frame + 4, "joy 0 axis 0 -0.5");
    s.line(s.frame + 6, "joy 0 axis 0 0");
    s.wait(8);
    // Thrust: button bit 2.
    s.capture_events(BINDING_X, controller_row(4), {"joy 0 button 2 1"}, {"joy 0 button 2 0"});
    // Reverse: axis 1 fully negative; Strafe Left: fully positive.
    s.capture_events(BINDING_X, controller_row(5), {"joy 0 axis 1 -1"}, {"joy 0 axis 1 0"});
    s.capture_events(BINDING_X, controller_row(2), {"joy 0 axis 1 1"}, {"joy 0 axis 1 0.25"});
    s.line(s.frame, "mouse 100 450");
    const int64_t shot = s.frame + 2;
    s.wait(4);
    s.click(SAVE_X, TAB_Y);
    const RunResult r = run(s, s.frame + 2, "--screenshot " + std::to_string(shot) + ":" + shots + "/input_controller.png");
    ASSERT_EQ(r.exit_code, 0) << r.output;

    std::vector<std::string> expected = original;
    expected[4] = " 1";           // game controller
    expected[5] = "-0.9921875";   // axis 0 keeps its wider minimum
    expected[7] = "-1";           // axis 1 calibrated to -1 .. 1
    expected[8] = " 1";
    expected[18 + 4] = " 3";      // button bit 2
    expected[18 + 5] = " 19";     // axis 1 negative
    expected[18 + 2] = " 20";     // axis 1 positive
    EXPECT_EQ(saved(), expected);

    const Shot input = load_shot(shots + "/input_controller.png");
    ASSERT_TRUE(input.ok());
    EXPECT_TRUE(input.near(264, 52, 128, 255, 128));  // "Game Controller" is the input type
    EXPECT_TRUE(input.near(264, 78, 128, 255, 128));  // controller 0 is selected
    // The calibration table: heading row and four axis rows, 17-pixel cells from y 120.
    EXPECT_TRUE(input.near(160, 120 + 16 * 4, 96, 96, 96));
    EXPECT_FALSE(input.near(160, 120 + 16 * 5 + 8, 96, 96, 96));
}

TEST_F(ConfigTool, SelectingAnotherControllerClearsTheCalibration) {
    std::vector<std::string> lines = original;
    lines[4] = " 1";
    write_file_text(dir + "/configVars.dat", join_lines(lines));
    const FontWidths f = measure_font(dir);
    const int w = std::max(f.len("0"), f.len("1"));
    Script s;
    s.line(0, "joy 0 present 1");
    s.line(0, "joy 1 present 1");
    s.click(INPUT_TAB_X, TAB_Y);
    s.click(264 + (w + 24) + 2, 86);  // controller button 1
    s.click(SAVE_X, TAB_Y);
    const RunResult r = run(s, s.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    std::vector<std::string> expected = lines;
    for (int i = 5; i < 17; ++i) expected[i] = " 0";
    expected[17] = " 1";
    EXPECT_EQ(saved(), expected);
}

TEST_F(ConfigTool, ExitEndsWithoutSaving) {
    Script s;
    s.click(WINDOWED_X, WINDOWED_Y);
    s.click(EXIT_X, TAB_Y);
    const RunResult r = run(s, 200, "--screenshot 100:" + dir + "/late.png");
    // The tool ended before frame 100: the requested screenshot was not produced, and says so.
    ASSERT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(r.output.find("1 of 1 screenshots were not written"), std::string::npos) << r.output;
    EXPECT_FALSE(file_exists(dir + "/late.png"));
    EXPECT_EQ(read_file_text(dir + "/configVars.dat"), join_lines(original));
}

TEST_F(ConfigTool, F12EndsTheProgram) {
    Script s;
    s.line(5, "key F12 1");
    const RunResult r = run(s, 200, "--screenshot 100:" + dir + "/late.png");
    ASSERT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(r.output.find("screenshots were not written"), std::string::npos) << r.output;
    EXPECT_FALSE(file_exists(dir + "/late.png"));
}

TEST_F(ConfigTool, MissingSettingsFileStartsFromTheShippedOnesAndReloadKeepsEdits) {
    std::remove((dir + "/configVars.dat").c_str());
    Script s;
    s.click(MODE_800x600_32_X, MODE_800x600_32_Y);
    s.click(RELOAD_X, TAB_Y);
    s.click(SAVE_X, TAB_Y);
    const RunResult r = run(s, s.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("Could not read configVars.dat!"), std::string::npos) << r.output;
    const std::vector<std::string> lines = saved();
    std::vector<std::string> shipped = split_lines(read_file_text(std::string(KV_SOURCE_DIR) + "/data/root/configVars.dat"));
    ASSERT_EQ(lines.size(), 55u);
    ASSERT_EQ(shipped.size(), 55u);
    shipped[0] = " 800";
    shipped[1] = " 600";
    shipped[2] = " 32";
    EXPECT_EQ(lines, shipped);
}

TEST_F(ConfigTool, ShortAndGarbledFilesStartFromTheShippedValues) {
    // Five values, one of them not a number: the rest come from the shipped file.
    write_file_text(dir + "/configVars.dat", " 1280\r\n 1024\r\nbits\r\n 0\r\n 0\r\n");
    Script s;
    s.click(SAVE_X, TAB_Y);
    const RunResult r = run(s, s.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("line 3 (NBITS) value \"bits\" is not a number; using the default 32"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("controls 0-12 are missing"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Game Configuration Saved!"), std::string::npos) << r.output;
    std::vector<std::string> shipped = split_lines(read_file_text(std::string(KV_SOURCE_DIR) + "/data/root/configVars.dat"));
    ASSERT_EQ(shipped.size(), 55u);
    shipped[0] = " 1280";
    shipped[1] = " 1024";
    EXPECT_EQ(saved(), shipped);
}

TEST_F(ConfigTool, SettingsTheGameWouldRefuseAreNotSaved) {
    std::vector<std::string> lines = original;
    lines[0] = " 0";  // no width: the game cannot open its window
    write_file_text(dir + "/configVars.dat", join_lines(lines));
    Script s;
    s.click(SAVE_X, TAB_Y);
    RunResult r = run(s, s.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("Not saved: screen size 0 x"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Game Configuration Saved!"), std::string::npos) << r.output;
    EXPECT_EQ(read_file_text(dir + "/configVars.dat"), join_lines(lines));

    // Picking a mode the game opens makes the same save go through.
    Script fixed;
    fixed.click(MODE_800x600_32_X, MODE_800x600_32_Y);
    fixed.click(SAVE_X, TAB_Y);
    r = run(fixed, fixed.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("Game Configuration Saved!"), std::string::npos) << r.output;
    EXPECT_EQ(saved()[0], " 800");
}

TEST_F(ConfigTool, DamagedFilesAndMissingImagesDoNotStopIt) {
    std::string junk;
    for (int i = 0; i < 3000; ++i) junk += static_cast<char>((i * 97 + 13) & 0xFF);
    write_file_text(dir + "/configVars.dat", "99999999999\r\n-7e30\r\nabc\r\n300\r\n" + junk);
    std::string names;
    for (int i = 0; i < 150; ++i) names += "Name " + std::to_string(i) + "\r\n";
    write_file_text(dir + "/data/config/controlName.dat", names + junk);
    std::filesystem::remove_all(dir + "/data/fontimg");
    for (const char* img : {"configBar.bmp", "icon_dome.png", "icon_fsaa.png"}) std::remove((dir + "/data/config/" + img).c_str());
    write_file_text(dir + "/data/config/icon_bloom.png", junk);
    write_file_text(dir + "/modes.txt", "16 abc\n32 1024 768\n32 1024 768\n32 99999999 3\n");
    Script s;
    s.click(INPUT_TAB_X, TAB_Y);
    s.click(DISPLAY_TAB_X, TAB_Y);
    s.click(VIDEO_TAB_X, TAB_Y);
    s.click(SAVE_X, TAB_Y);
    const RunResult r = run(s, s.frame + 2);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("could not load image data/config/icon_dome.png"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("ignored"), std::string::npos) << r.output;
    EXPECT_EQ(saved().size(), 55u);
}

TEST_F(ConfigTool, PipesInPlaceOfItsFilesAreRefusedWithoutWaiting) {
    // A named pipe without a writer would block any reader that opens it: every file the tool
    // reads is refused instead, and the run goes on to its last frame.
    for (const std::string name : {"/data/config/icon_bloom.png", "/data/fontimg/vera12/65.png", "/pipe_modes.txt"}) {
        std::remove((dir + name).c_str());
        ASSERT_EQ(::mkfifo((dir + name).c_str(), 0644), 0) << name;
    }
    Script s;
    s.click(DISPLAY_TAB_X, TAB_Y);
    const RunResult r = run_config(dir, s, s.frame + 2, "--modes '" + dir + "/pipe_modes.txt'");
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("could not load image data/config/icon_bloom.png (a named pipe"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("could not read screen modes file"), std::string::npos) << r.output;
}

TEST_F(ConfigTool, FilesOnTheCommandLineAreRelativeToTheStartingDirectory) {
    Script s;
    s.click(WINDOWED_X, WINDOWED_Y);
    s.click(SAVE_X, TAB_Y);
    write_file_text(dir + "/input.txt", s.text);
    const std::filesystem::path game(dir);
    const std::string leaf = game.filename().string();
    const std::string cmd = std::string(std::getenv("DISPLAY") ? "" : "SDL_VIDEODRIVER=dummy ") + "cd '" +
                            game.parent_path().string() + "' && '" + config_program() + "' --dir '" + dir +
                            "' --frames " + std::to_string(s.frame + 2) + " --input '" + leaf +
                            "/input.txt' --modes '" + leaf + "/modes.txt' --screenshot 3:" + leaf +
                            "/rel.png > /dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(saved()[3], " 0");
    EXPECT_TRUE(file_exists(dir + "/rel.png"));
}

TEST_F(ConfigTool, StartUpFailurePrintsItsLine) {
    // A display library that cannot start: the tool says so and ends with status 1.
    const std::string out = dir + "/fail.txt";
    const int status = std::system(("SDL_VIDEODRIVER=no_such_driver '" + config_program() + "' --dir '" + dir +
                                    "' --frames 5 < /dev/null > '" + out + "' 2>&1")
                                       .c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(read_file_text(out).rfind("could not init sdl\n", 0), 0u) << read_file_text(out);
    EXPECT_EQ(read_file_text(dir + "/configVars.dat"), join_lines(original));
}

TEST_F(ConfigTool, HelpDescribesTheOptions) {
    const std::string out = dir + "/help.txt";
    const int status = std::system(("'" + config_program() + "' --help > '" + out + "'").c_str());
    EXPECT_EQ(status, 0);
    const std::string help = read_file_text(out);
    for (const char* opt : {"--dir", "--frames", "--input", "--screenshot", "--modes"})
        EXPECT_NE(help.find(opt), std::string::npos) << opt;
    const int bad = std::system(("'" + config_program() + "' --frames x > /dev/null 2>&1").c_str());
    EXPECT_NE(bad, 0);
}

}  // namespace
