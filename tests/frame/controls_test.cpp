// The control query: input type, binding code ranges, the controller poll and the axis
// evaluation with its dead zone and 1/128 steps, driven through the scripted input backend.
#include <gtest/gtest.h>

#include <cmath>

#include "config/config.h"
#include "game/input.h"
#include "platform/input.h"
#include "platform/script.h"

namespace {
class ControlQuery : public testing::Test {
protected:
    void SetUp() override {
        saved_ = CONFIGVARS;
        CONFIGVARS = CONFIGVARTYPE{};
        for (int a = 0; a < 6; ++a) {
            CONFIGVARS.AXISMIN[a] = -1.0f;
            CONFIGVARS.AXISMAX[a] = 1.0f;
        }
    }
    void TearDown() override {
        CONFIGVARS = saved_;
        platform_input_use_script(SCRIPTPARSE{});
    }
    static void script(const std::string& text) {
        SCRIPTPARSE s = script_parse(text, "test");
        ASSERT_TRUE(s.ERRORS.empty()) << s.ERRORS[0];
        platform_input_use_script(s);
    }
    CONFIGVARTYPE saved_;
};
}  // namespace

TEST_F(ControlQuery, KeyboardBindingsOnlyCountWithKeyboardInput) {
    CONFIGVARS.INPUTTYPE = 0;
    CONFIGVARS.CONTROL[4] = 84;   // cursor up
    CONFIGVARS.CONTROL[0] = 29;   // A
    CONFIGVARS.CONTROL[1] = 99;   // keypad Enter
    CONFIGVARS.CONTROL[2] = 1;    // controller button 0: inactive with keyboard input
    CONFIGVARS.CONTROL[3] = 0;    // unbound
    script("0 key UP 1\n0 key KP_ENTER 1\n0 joy 0 present 1\n0 joy 0 button 0 1\n");
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(4), 1.0f);
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(0), 0.0f);
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(1), 1.0f);
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(2), 0.0f);
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(3), 0.0f);
    // Control numbers outside 0-12 read 0.
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(13), 0.0f);
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(-1), 0.0f);
    // Codes above 99 are kept but never match.
    CONFIGVARS.CONTROL[5] = 120;
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(5), 0.0f);
}

TEST_F(ControlQuery, ControllerBindingsReadTheConfiguredController) {
    CONFIGVARS.INPUTTYPE = 1;
    CONFIGVARS.JOYSTICK = 2;
    CONFIGVARS.CONTROL[6] = 16;   // button 15
    CONFIGVARS.CONTROL[7] = 1;    // button 0
    CONFIGVARS.CONTROL[8] = 84;   // a key: inactive with controller input
    script("0 joy 2 present 1\n0 joy 2 button 15 1\n0 joy 5 present 1\n0 joy 5 button 0 1\n"
           "0 key UP 1\n");
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(6), 1.0f);
    EXPECT_EQ(CONFIGVARS.LASTJOY, 5) << "the highest controller that answers";
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(7), 0.0f) << "button 0 is down on controller 5, not 2";
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(8), 0.0f);
}

TEST_F(ControlQuery, NoControllerMeansNothingAndLastJoyMinusOne) {
    CONFIGVARS.INPUTTYPE = 1;
    CONFIGVARS.JOYSTICK = 0;
    CONFIGVARS.CONTROL[4] = 1;
    CONFIGVARS.LASTJOY = 3;
    script("");
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(4), 0.0f);
    EXPECT_EQ(CONFIGVARS.LASTJOY, -1);
    // A configured controller number outside 0-15 reads as absent.
    script("0 joy 0 present 1\n0 joy 0 button 0 1\n");
    CONFIGVARS.JOYSTICK = 40;
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(4), 0.0f);
    CONFIGVARS.JOYSTICK = 0;
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(4), 1.0f);
}

TEST_F(ControlQuery, AxisDeadZoneStepsAndDirections) {
    CONFIGVARS.INPUTTYPE = 1;
    CONFIGVARS.JOYSTICK = 0;
    CONFIGVARS.CONTROL[0] = 17 + 2 * 1;      // axis 1, negative direction
    CONFIGVARS.CONTROL[1] = 17 + 2 * 1 + 1;  // axis 1, positive direction
    CONFIGVARS.AXISMIN[1] = -0.5f;
    CONFIGVARS.AXISMAX[1] = 0.5f;
    auto at = [](float v) {
        script("0 joy 0 present 1\n0 joy 0 axis 1 " + std::to_string(v) + "\n");
    };
    at(-0.2f);  // inside the dead zone
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(0), 0.0f);
    at(-0.25f);  // a quarter is already outside it: floor(64) / 128
    EXPECT_FLOAT_EQ(INPUT_GETCONTROLLERINPUT(0), 0.5f);
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(1), 0.0f) << "the other direction stays 0";
    at(-0.4f);  // 128 * 0.4 / 0.5 = 102.4 -> 102
    EXPECT_FLOAT_EQ(INPUT_GETCONTROLLERINPUT(0), 102.0f / 128.0f);
    at(0.3f);   // 128 * 0.3 / 0.5 = 76.8 -> 76
    EXPECT_FLOAT_EQ(INPUT_GETCONTROLLERINPUT(1), 76.0f / 128.0f);
    at(1.0f);   // beyond the calibrated maximum: capped at 1
    EXPECT_EQ(INPUT_GETCONTROLLERINPUT(1), 1.0f);
    // Every value is a whole number of 1/128 steps.
    for (float v = 0.25f; v <= 1.0f; v += 0.0371f) {
        at(v);
        float r = INPUT_GETCONTROLLERINPUT(1);
        EXPECT_FLOAT_EQ(r * 128.0f, std::floor(r * 128.0f)) << v;
        EXPECT_GE(r, 0.0f);
        EXPECT_LE(r, 1.0f);
    }
}
