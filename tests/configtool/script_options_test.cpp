// The configuration tool's input script (keys, mouse, controllers) and its command line.
#include <gtest/gtest.h>

#include "cfg_input.h"
#include "cfg_options.h"
#include "platform/input.h"
#include "platform/script.h"

namespace {

TEST(ToolScript, AppliesEventsFrameByFrame) {
    TOOLSCRIPT s;
    const int32_t refused = tool_script_parse(
        "# a click on the Save button, then W\n"
        "3 mouse 400 14\n"
        "4 button 1 1   # press\n"
        "6 button 1 0\n"
        "2 key W 1\n"
        "8 key W 0\n"
        "0 joy 2 present 1\n"
        "5 joy 2 axis 1 -0.9921875\n"
        "5 joy 2 button 2 1\n"
        "9 key BACKSPACE 1\n",
        s, "script");
    EXPECT_EQ(refused, 0);
    ASSERT_EQ(s.EVENTS.size(), 9u);

    TOOLINPUT in;
    tool_script_apply(s, 0, in);
    EXPECT_TRUE(in.JOY[2].PRESENT);
    EXPECT_FALSE(in.KEY[51]);
    tool_script_apply(s, 2, in);
    EXPECT_TRUE(in.KEY[51]);
    tool_script_apply(s, 4, in);
    EXPECT_EQ(in.MOUSEX, 400);
    EXPECT_EQ(in.MOUSEY, 14);
    EXPECT_EQ(in.MOUSE, TOOLMOUSE_LEFT);
    tool_script_apply(s, 5, in);
    EXPECT_FLOAT_EQ(in.JOY[2].AXES[1], -0.9921875f);
    EXPECT_EQ(in.JOY[2].BUTTONS, 1u << 2);
    tool_script_apply(s, 7, in);
    EXPECT_EQ(in.MOUSE, 0u);
    EXPECT_TRUE(in.KEY[51]);
    tool_script_apply(s, 100, in);
    EXPECT_FALSE(in.KEY[51]);
    // Applying the same frame again changes nothing.
    in.KEY[51] = true;
    tool_script_apply(s, 100, in);
    EXPECT_TRUE(in.KEY[51]);
}

TEST(ToolScript, MouseButtonsKeepTheirOwnBits) {
    TOOLSCRIPT s;
    tool_script_parse("1 button 3 1\n1 button 1 1\n2 button 3 0\n", s, "script");
    TOOLINPUT in;
    tool_script_apply(s, 1, in);
    EXPECT_EQ(in.MOUSE, 0x5u);
    tool_script_apply(s, 2, in);
    EXPECT_EQ(in.MOUSE, 0x1u);
}

TEST(ToolScript, RefusesMalformedLinesAndKeepsTheRest) {
    TOOLSCRIPT s;
    const int32_t refused = tool_script_parse(
        "x key W 1\n"            // frame not a number
        "-1 key W 1\n"           // negative frame
        "1 key NOPE 1\n"         // unknown key
        "1 key W 2\n"            // bad state
        "1 mouse 10\n"           // missing y
        "1 button 4 1\n"         // no fourth button
        "1 joy 16 present 1\n"   // controller out of range
        "1 joy 0 axis 6 0.5\n"   // axis out of range
        "1 joy 0 axis 1 nan\n"   // not a finite value
        "1 joy 0 button 32 1\n"  // button out of range
        "1 joy 0 wobble 1\n"     // unknown controller event
        "1 teleport\n"           // unknown event
        "1\n"                    // frame alone
        "2 key ESCAPE 1\n",
        s, "script");
    EXPECT_EQ(refused, 13);
    ASSERT_EQ(s.EVENTS.size(), 1u);
    TOOLINPUT in;
    tool_script_apply(s, 2, in);
    EXPECT_TRUE(in.KEY[TOOLKEY_ESCAPE]);
}

TEST(ToolScript, KeyNamesAreGlfwNames) {
    EXPECT_EQ(tool_key_from_name("W"), 51);
    EXPECT_EQ(tool_key_from_name("KP_8"), 73);
    EXPECT_EQ(tool_key_from_name("LEFT_SHIFT"), 77);
    EXPECT_EQ(tool_key_from_name("RIGHT_ALT"), 83);
    EXPECT_EQ(tool_key_from_name("ESCAPE"), TOOLKEY_ESCAPE);
    EXPECT_EQ(tool_key_from_name("F12"), TOOLKEY_F12);
    EXPECT_EQ(tool_key_from_name("w"), -1);
    EXPECT_EQ(tool_key_from_name(""), -1);
    EXPECT_EQ(tool_key_from_name("BACKSPACE"), -1);  // a real key the tool does not watch
}

TEST(ToolScript, MissingFileIsReported) {
    TOOLSCRIPT s;
    EXPECT_FALSE(tool_script_load("/nonexistent/script.txt", s));
    EXPECT_TRUE(s.EVENTS.empty());
    testing::internal::CaptureStdout();
    EXPECT_FALSE(tool_script_load(KV_BUILD_DIR, s));  // a directory is no script either
    EXPECT_NE(testing::internal::GetCapturedStdout().find("could not read input script"), std::string::npos);
}

TEST(ToolScript, FollowsTheGameScriptRulesForFramesKeysAndControllers) {
    // Lines both programs read: the tool takes exactly the events the game takes, no more.
    const std::string shared =
        "1 key W 1\n"
        "1099511627776 key W 0\n"       // the last frame a script may name
        "1099511627777 key W 0\n"       // one past it: refused by both
        "2 joy 15 axis 5 -1\n"
        "2 joy 0 axis 0 1.5\n"          // beyond -1..1: refused by both
        "3 joy 3 axis 2 none\n";
    const SCRIPTPARSE game = script_parse(shared, "game");
    TOOLSCRIPT s;
    testing::internal::CaptureStdout();
    const int32_t refused = tool_script_parse(shared, s, "tool");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(static_cast<size_t>(refused), game.ERRORS.size());
    EXPECT_EQ(refused, 2);
    ASSERT_EQ(s.EVENTS.size(), game.EVENTS.size());
    for (size_t i = 0; i < s.EVENTS.size(); ++i) EXPECT_EQ(s.EVENTS[i].FRAME, game.EVENTS[i].FRAME) << i;
    // The refusals are the game's lines, naming the script and the line.
    EXPECT_NE(out.find("tool line 3:"), std::string::npos) << out;
    EXPECT_NE(out.find("tool line 5: axis value must be a number from -1 to 1 or none"), std::string::npos) << out;

    // An axis the controller lacks reports nothing in the tool and reads 0 in the game.
    TOOLINPUT in;
    in.JOY[3].AXES[2] = 0.5f;
    tool_script_apply(s, 3, in);
    EXPECT_FLOAT_EQ(in.JOY[3].AXES[2], TOOL_AXIS_ABSENT);
    ASSERT_EQ(game.EVENTS.size(), 4u);
    EXPECT_EQ(game.EVENTS[2].FRAME, 3);
    EXPECT_EQ(game.EVENTS[2].KIND, ScriptEventKind::JOY_NO_AXIS);
    platform_input_use_script(script_parse("0 joy 1 present 1\n0 joy 1 axis 3 0.75\n2 joy 1 axis 3 none\n", "game"));
    EXPECT_FLOAT_EQ(platform_joystick(1).AXES[3], 0.75f);
    platform_input_apply_frame(2);
    EXPECT_FLOAT_EQ(platform_joystick(1).AXES[3], 0.0f);
    EXPECT_TRUE(platform_joystick(1).PRESENT);
    platform_input_use_script(SCRIPTPARSE{});
}

TEST(ToolScript, ToolVerbsAreUnknownToTheGame) {
    const SCRIPTPARSE game = script_parse("3 mouse 10 20\n4 button 1 1\n", "game");
    ASSERT_EQ(game.ERRORS.size(), 2u);
    EXPECT_NE(game.ERRORS[0].find("game line 1: expected \"key\" or \"joy\""), std::string::npos) << game.ERRORS[0];
    TOOLSCRIPT s;
    EXPECT_EQ(tool_script_parse("3 mouse 10 20\n4 button 1 1\n", s, "tool"), 0);
    EXPECT_EQ(s.EVENTS.size(), 2u);
}

// A verb that tries to move its own event to another frame and kind.
bool unruly_verb(const std::vector<std::string>& words, SCRIPTEVENT& e, std::string& why) {
    if (words.size() != 1) {
        why = "one word expected";
        return false;
    }
    e.FRAME = -5;
    e.KIND = ScriptEventKind::KEY;
    e.X = static_cast<int32_t>(words[0].size());
    return true;
}

TEST(ToolScript, AVerbCannotMoveItsEventOrChangeItsKind) {
    const SCRIPTVERB verbs[] = {{"first", unruly_verb}, {"second", unruly_verb}};
    const SCRIPTPARSE p = script_parse("7 second abc\n2 first x y\n1 key A 1\n", "t", verbs);
    ASSERT_EQ(p.ERRORS.size(), 1u);
    EXPECT_NE(p.ERRORS[0].find("t line 2: one word expected"), std::string::npos) << p.ERRORS[0];
    ASSERT_EQ(p.EVENTS.size(), 2u);
    EXPECT_EQ(p.EVENTS[1].FRAME, 7);
    EXPECT_EQ(p.EVENTS[1].KIND, ScriptEventKind::EXTRA);
    EXPECT_EQ(p.EVENTS[1].VERB, 1);
    EXPECT_EQ(p.EVENTS[1].X, 3);
}

bool parse(std::initializer_list<const char*> args, TOOLOPTIONS& o, std::string& err) {
    std::vector<const char*> argv{"config"};
    argv.insert(argv.end(), args.begin(), args.end());
    return options_parse(static_cast<int>(argv.size()), argv.data(), o, err);
}

TEST(ToolOptions, ParsesEveryOption) {
    TOOLOPTIONS o;
    std::string err;
    ASSERT_TRUE(parse({"--dir", "/tmp/g", "--frames", "120", "--input", "in.txt", "--modes", "m.txt",
                       "--screenshot", "5:a.png", "--screenshot", "7:/x/b:c.png"},
                      o, err))
        << err;
    EXPECT_EQ(o.DIR, "/tmp/g");
    EXPECT_EQ(o.FRAMES, 120);
    EXPECT_EQ(o.INPUT, "in.txt");
    EXPECT_EQ(o.MODES, "m.txt");
    EXPECT_EQ(o.FIXEDSTEP, 10);  // a script runs on the virtual clock
    ASSERT_EQ(o.SCREENSHOTS.size(), 2u);
    EXPECT_EQ(o.SCREENSHOTS[1].first, 7);
    EXPECT_EQ(o.SCREENSHOTS[1].second, "/x/b:c.png");

    ASSERT_TRUE(parse({"--fixed-step", "16"}, o, err));
    EXPECT_EQ(o.FIXEDSTEP, 16);
    EXPECT_EQ(o.FRAMES, -1);
    ASSERT_TRUE(parse({}, o, err));
    EXPECT_EQ(o.FIXEDSTEP, 0);  // live clock
    ASSERT_TRUE(parse({"--help"}, o, err));
    EXPECT_TRUE(o.HELP);
}

TEST(ToolOptions, RefusesBadValues) {
    TOOLOPTIONS o;
    std::string err;
    for (auto args : std::vector<std::vector<const char*>>{
             {"--frames"}, {"--frames", "-3"}, {"--frames", "ten"}, {"--screenshot", "5"},
             {"--screenshot", "x:a.png"}, {"--screenshot", "5:"}, {"--fixed-step", "0"},
             {"--dir", ""}, {"--bogus"}}) {
        std::vector<const char*> argv{"config"};
        argv.insert(argv.end(), args.begin(), args.end());
        err.clear();
        EXPECT_FALSE(options_parse(static_cast<int>(argv.size()), argv.data(), o, err)) << args[0];
        EXPECT_FALSE(err.empty());
    }
}

TEST(ToolOptions, UsageNamesEveryOption) {
    const std::string usage = options_usage();
    for (const char* opt : {"--help", "--version", "--dir", "--frames", "--input", "--fixed-step", "--modes",
                            "--screenshot", "FRAME mouse X Y", "FRAME button"})
        EXPECT_NE(usage.find(opt), std::string::npos) << opt;
}

}  // namespace
