// The input script reader, the scripted input backend and the command line of core.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include "core/options.h"
#include "platform/input.h"
#include "platform/script.h"

TEST(InputScript, ReadsEveryEventKindInFrameOrder) {
    SCRIPTPARSE s = script_parse(
        "# a comment line\n"
        "5 key UP 1\r\n"
        "2 joy 3 present 1   # trailing comment\n"
        "2 joy 3 axis 1 -0.5\n"
        "9 joy 15 button 31 1\n"
        "5 key KP_8 0\n"
        "\n",
        "t.txt");
    ASSERT_TRUE(s.ERRORS.empty()) << s.ERRORS[0];
    ASSERT_EQ(s.EVENTS.size(), 5u);
    EXPECT_EQ(s.EVENTS[0].FRAME, 2);
    EXPECT_EQ(s.EVENTS[0].KIND, ScriptEventKind::JOY_PRESENT);
    EXPECT_EQ(s.EVENTS[1].KIND, ScriptEventKind::JOY_AXIS);
    EXPECT_EQ(s.EVENTS[1].INDEX, 1);
    EXPECT_FLOAT_EQ(s.EVENTS[1].VALUE, -0.5f);
    // Within a frame the file order is kept.
    EXPECT_EQ(s.EVENTS[2].KEY, GLFW_KEY_UP);
    EXPECT_EQ(s.EVENTS[3].KEY, GLFW_KEY_KP_8);
    EXPECT_EQ(s.EVENTS[4].JOY, 15);
    EXPECT_EQ(s.EVENTS[4].INDEX, 31);
}

TEST(InputScript, BadLinesAreSkippedAndNamedByLineNumber) {
    SCRIPTPARSE s = script_parse(
        "1 key NOPE 1\n"         // 1 unknown key
        "-3 key A 1\n"           // 2 negative frame
        "1 joy 16 present 1\n"   // 3 controller out of range
        "1 joy 0 axis 6 0\n"     // 4 axis out of range
        "1 joy 0 axis 0 1.5\n"   // 5 value out of range
        "1 joy 0 axis 0 nan\n"   // 6 not a number
        "1 joy 0 button 32 1\n"  // 7 button out of range
        "1 key A 2\n"            // 8 state not 0/1
        "1 mouse 3\n"            // 9 unknown event
        "x key A 1\n"            // 10 frame not a number
        "1 key A\n"              // 11 too short
        "1 joy 0 present 1 7\n"  // 12 too long
        "3 key A 1\n",           // 13 good
        "s.txt");
    ASSERT_EQ(s.ERRORS.size(), 12u);
    for (size_t i = 0; i < s.ERRORS.size(); ++i)
        EXPECT_NE(s.ERRORS[i].find("s.txt line " + std::to_string(i + 1) + ":"), std::string::npos)
            << s.ERRORS[i];
    ASSERT_EQ(s.EVENTS.size(), 1u);
    EXPECT_EQ(s.EVENTS[0].FRAME, 3);
}

TEST(InputScript, KeyNamesFollowGlfw) {
    EXPECT_EQ(script_key_from_name("A"), GLFW_KEY_A);
    EXPECT_EQ(script_key_from_name("Z"), GLFW_KEY_Z);
    EXPECT_EQ(script_key_from_name("0"), GLFW_KEY_0);
    EXPECT_EQ(script_key_from_name("KP_0"), GLFW_KEY_KP_0);
    EXPECT_EQ(script_key_from_name("ENTER"), GLFW_KEY_ENTER);
    EXPECT_EQ(script_key_from_name("LEFT_SHIFT"), GLFW_KEY_LEFT_SHIFT);
    EXPECT_EQ(script_key_from_name("ESCAPE"), GLFW_KEY_ESCAPE);
    EXPECT_EQ(script_key_from_name("F12"), GLFW_KEY_F12);
    EXPECT_EQ(script_key_from_name("a"), -1);
    EXPECT_EQ(script_key_from_name("F26"), -1);
    EXPECT_EQ(script_key_from_name("KP_10"), -1);
    EXPECT_EQ(script_key_from_name(""), -1);
}

TEST(ScriptedInput, StatesChangeAtTheirFrame) {
    platform_input_use_script(script_parse("0 key A 1\n3 key A 0\n3 key B 1\n"
                                           "2 joy 4 present 1\n2 joy 4 axis 5 -1\n"
                                           "4 joy 4 button 2 1\n6 joy 4 button 2 0\n",
                                           "x"));
    EXPECT_TRUE(platform_input_scripted());
    EXPECT_TRUE(platform_key_down(GLFW_KEY_A));  // frame 0 applies at once
    EXPECT_FALSE(platform_joystick_present(4));
    platform_input_apply_frame(2);
    EXPECT_TRUE(platform_joystick_present(4));
    EXPECT_FLOAT_EQ(platform_joystick(4).AXES[5], -1.0f);
    platform_input_apply_frame(4);  // frames 3 and 4 together
    EXPECT_FALSE(platform_key_down(GLFW_KEY_A));
    EXPECT_TRUE(platform_key_down(GLFW_KEY_B));
    EXPECT_EQ(platform_joystick(4).BUTTONS, 4u);
    platform_input_apply_frame(6);
    EXPECT_EQ(platform_joystick(4).BUTTONS, 0u);
    // Out-of-range queries read as nothing.
    EXPECT_FALSE(platform_key_down(-1));
    EXPECT_FALSE(platform_key_down(100000));
    EXPECT_FALSE(platform_joystick(16).PRESENT);
    EXPECT_FALSE(platform_joystick(-1).PRESENT);
    platform_input_use_script(SCRIPTPARSE{});
}

namespace {
bool parse(std::vector<const char*> args, KV_RUNOPTIONS& o, std::string& err) {
    args.insert(args.begin(), "core");
    return kv_parse_options(static_cast<int>(args.size()), args.data(), o, err);
}
}  // namespace

TEST(CoreOptions, EveryOptionIsRead) {
    KV_RUNOPTIONS o;
    std::string err;
    ASSERT_TRUE(parse({"--dir", "/tmp/g", "--seed", "4294967295", "--fixed-step", "16", "--frames",
                       "120", "--input", "in.txt", "--trace", "t.txt", "--screenshot", "5:a.png",
                       "--screenshot", "7:dir/b:c.png", "--fly"},
                      o, err))
        << err;
    EXPECT_EQ(o.DIR, "/tmp/g");
    EXPECT_TRUE(o.HAS_SEED);
    EXPECT_EQ(o.SEED, 4294967295u);
    EXPECT_EQ(o.FIXED_STEP, 16);
    EXPECT_EQ(o.FRAMES, 120);
    EXPECT_EQ(o.INPUT, "in.txt");
    EXPECT_EQ(o.TRACE, "t.txt");
    ASSERT_EQ(o.SCREENSHOTS.size(), 2u);
    EXPECT_EQ(o.SCREENSHOTS[1].first, 7);
    EXPECT_EQ(o.SCREENSHOTS[1].second, "dir/b:c.png");
    EXPECT_TRUE(o.FLY);
    EXPECT_FALSE(o.HELP);
    ASSERT_TRUE(parse({}, o, err));
    EXPECT_FALSE(o.HAS_SEED);
    EXPECT_EQ(o.FIXED_STEP, 0);
    EXPECT_EQ(o.FRAMES, 0);
    EXPECT_TRUE(o.SCREENSHOTS.empty());
}

TEST(CoreOptions, RefusedValuesSayWhichOption) {
    const std::vector<std::vector<const char*>> bad = {
        {"--seed", "-1"},          {"--seed", "4294967296"}, {"--seed", "12x"},
        {"--fixed-step", "0"},     {"--fixed-step", "1001"}, {"--frames", "0"},
        {"--frames", "ten"},       {"--screenshot", "5"},    {"--screenshot", "0:a.png"},
        {"--screenshot", "x:a.png"}, {"--screenshot", "3:"}, {"--dir"},
        {"--trace"},               {"--bogus"},              {"--dir", ""},
        {"--fly-mission", "100"},  {"--fly-mission", "-1"},  {"--fly-at", "10"},
        {"--fly-at", "1,2,3,4"},   {"--fly-at", "600,2"},    {"--fly-at", "1,nan"},
        {"--fly-at", "1,2,400"},   {"--fly-fuel", "1.5"},    {"--fly-fuel", "-0.1"},
        {"--fly-fuel", "inf"},
    };
    for (const auto& args : bad) {
        KV_RUNOPTIONS o;
        std::string err;
        EXPECT_FALSE(parse(args, o, err)) << args[0];
        EXPECT_NE(err.find(args[0]), std::string::npos) << err;
    }
}

TEST(CoreOptions, QuickFlightScenarioSettings) {
    KV_RUNOPTIONS o;
    std::string err;
    ASSERT_TRUE(parse({"--fly", "--fly-mission", "2", "--fly-at", "100.5,200", "--fly-fuel", "0.25"},
                      o, err))
        << err;
    EXPECT_EQ(o.FLY_MISSION, 2);
    EXPECT_TRUE(o.HAS_FLY_AT);
    EXPECT_FLOAT_EQ(o.FLY_X, 100.5f);
    EXPECT_FLOAT_EQ(o.FLY_Z, 200.0f);
    EXPECT_FALSE(o.HAS_FLY_HEADING);
    EXPECT_TRUE(o.HAS_FLY_FUEL);
    EXPECT_FLOAT_EQ(o.FLY_FUEL, 0.25f);
    ASSERT_TRUE(parse({"--fly-at", "1,2,-90"}, o, err)) << err;
    EXPECT_TRUE(o.HAS_FLY_HEADING);
    EXPECT_FLOAT_EQ(o.FLY_HEADING, -90.0f);
}

TEST(CoreOptions, UsageDocumentsEveryOption) {
    const std::string usage = kv_usage_text();
    for (const char* opt : {"--help", "--version", "--dir DIR", "--seed N", "--fixed-step MS",
                            "--frames N", "--input FILE", "--trace FILE", "--screenshot N:FILE",
                            "--fly", "--fly-mission M", "--fly-at X,Z", "--fly-fuel F"})
        EXPECT_NE(usage.find(opt), std::string::npos) << opt;
    for (const char* key : {"frame=", "ms=", "menu=", "exit=", "x=", "y=", "z=", "heading=",
                            "landed=", "fuel=", "ammo=", "rockets=", "mission=", "objective="})
        EXPECT_NE(usage.find(key), std::string::npos) << key;
}
