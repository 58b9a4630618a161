// Binding capture, controller scanning and calibration of the configuration tool.
#include <gtest/gtest.h>

#include "cfg_capture.h"

namespace {

TOOLINPUT keys_down(std::initializer_list<const char*> names) {
    TOOLINPUT in;
    for (const char* n : names) {
        const int32_t slot = tool_key_from_name(n);
        EXPECT_GE(slot, 0) << n;
        if (slot >= 0) in.KEY[slot] = true;
    }
    return in;
}

int32_t capture_keys(std::initializer_list<const char*> names) {
    CONFIGVARTYPE cfg;
    cfg.INPUTTYPE = 0;
    return capture_poll(cfg, keys_down(names), -1, -1);
}

TEST(KeyCapture, SingleKeysGiveTheirCodes) {
    EXPECT_EQ(capture_keys({"W"}), 51);
    EXPECT_EQ(capture_keys({"A"}), 29);
    EXPECT_EQ(capture_keys({"Z"}), 54);
    EXPECT_EQ(capture_keys({"0"}), 55);
    EXPECT_EQ(capture_keys({"KP_8"}), 73);
    EXPECT_EQ(capture_keys({"RIGHT_ALT"}), 83);
    EXPECT_EQ(capture_keys({"SPACE"}), 79);
    EXPECT_EQ(capture_keys({"PAGE_DOWN"}), 93);
    EXPECT_EQ(capture_keys({"KP_ENTER"}), 99);
    EXPECT_EQ(capture_keys({}), 0);
}

TEST(KeyCapture, TheKeyLaterInTheTestOrderWins) {
    EXPECT_EQ(capture_keys({"LEFT_SHIFT", "A"}), 77);
    EXPECT_EQ(capture_keys({"A", "Z"}), 54);
    // Alt is tested before Space although its code is higher.
    EXPECT_EQ(capture_keys({"SPACE", "LEFT_ALT"}), 79);
    EXPECT_EQ(capture_keys({"RIGHT_ALT", "TAB"}), 80);
    EXPECT_EQ(capture_keys({"KP_9", "1"}), 74);
}

TEST(KeyCapture, EscapeCancelsOnlyWhenNoKeyIsFound) {
    EXPECT_EQ(capture_keys({"ESCAPE"}), -1);
    EXPECT_EQ(capture_keys({"ESCAPE", "W"}), 51);
    // Keys outside the table (F12) give nothing.
    EXPECT_EQ(capture_keys({"F12"}), 0);
}

TEST(KeyCapture, KeysDoNotCountForTheControllerType) {
    CONFIGVARTYPE cfg;
    cfg.INPUTTYPE = 1;
    TOOLINPUT in = keys_down({"W"});
    in.JOY[0].PRESENT = true;
    EXPECT_EQ(capture_poll(cfg, in, 0, 5), 0);
    // Without a controller the controller type takes only Escape.
    EXPECT_EQ(capture_poll(cfg, in, -1, -1), 0);
    in.KEY[TOOLKEY_ESCAPE] = true;
    EXPECT_EQ(capture_poll(cfg, in, -1, -1), -1);
    // An input type outside 0 and 1 captures nothing but Escape either.
    cfg.INPUTTYPE = 7;
    EXPECT_EQ(capture_poll(cfg, in, 0, 5), -1);
}

struct ControllerCase : ::testing::Test {
    CONFIGVARTYPE cfg;
    TOOLINPUT in;
    void SetUp() override {
        cfg.INPUTTYPE = 1;
        cfg.JOYSTICK = 0;
        in.JOY[0].PRESENT = true;
    }
    int32_t poll() { return capture_poll(cfg, in, controllers_last_present(in), controller_last_axis(&in.JOY[0])); }
};

TEST_F(ControllerCase, ButtonsMapToBitPlusOne) {
    in.JOY[0].BUTTONS = 1u << 2;
    EXPECT_EQ(poll(), 3);
    in.JOY[0].BUTTONS = (1u << 15) | (1u << 4);
    EXPECT_EQ(poll(), 5);  // the first button down wins
    in.JOY[0].BUTTONS = 1u << 16;  // beyond the 16 bindable buttons
    EXPECT_EQ(poll(), 0);
}

TEST_F(ControllerCase, CalibratedAxisExtremesGiveHalfAxisCodes) {
    in.JOY[0].AXES[1] = -1.0f;
    calibration_update(cfg, &in.JOY[0]);
    in.JOY[0].AXES[1] = 1.0f;
    calibration_update(cfg, &in.JOY[0]);
    EXPECT_FLOAT_EQ(cfg.AXISMIN[1], -1.0f);
    EXPECT_FLOAT_EQ(cfg.AXISMAX[1], 1.0f);

    in.JOY[0].AXES[1] = -1.0f;
    EXPECT_EQ(poll(), 19);
    in.JOY[0].AXES[1] = 1.0f;
    EXPECT_EQ(poll(), 20);
    in.JOY[0].AXES[1] = 0.5f;  // not at an extreme
    EXPECT_EQ(poll(), 0);
    // A button beats an axis.
    in.JOY[0].AXES[1] = 1.0f;
    in.JOY[0].BUTTONS = 1u;
    EXPECT_EQ(poll(), 1);
}

TEST_F(ControllerCase, AxesAtRestWithoutCalibrationCaptureNothing) {
    // Every axis reads 0 and every extreme is still 0: nothing was pushed, nothing is bound.
    EXPECT_EQ(poll(), 0);
    in.JOY[0].AXES[5] = -0.75f;
    calibration_update(cfg, &in.JOY[0]);
    EXPECT_EQ(poll(), 27);  // 17 + 2 * 5
    // Axes past the last reporting axis are not looked at.
    in.JOY[0].AXES[5] = 3.0f;
    EXPECT_EQ(controller_last_axis(&in.JOY[0]), 4);
    EXPECT_EQ(poll(), 0);
}

TEST(Controllers, LastPresentAndLastAxis) {
    TOOLINPUT in;
    EXPECT_EQ(controllers_last_present(in), -1);
    EXPECT_EQ(controller_state(in, 0), nullptr);
    in.JOY[3].PRESENT = true;
    in.JOY[9].PRESENT = true;
    EXPECT_EQ(controllers_last_present(in), 9);
    EXPECT_EQ(controller_state(in, 3), &in.JOY[3]);
    EXPECT_EQ(controller_state(in, 4), nullptr);
    EXPECT_EQ(controller_state(in, -1), nullptr);
    EXPECT_EQ(controller_state(in, 16), nullptr);

    EXPECT_EQ(controller_last_axis(nullptr), -1);
    EXPECT_EQ(controller_last_axis(&in.JOY[3]), 5);
    in.JOY[3].AXES[4] = 2.0f;
    in.JOY[3].AXES[5] = -1.5f;
    EXPECT_EQ(controller_last_axis(&in.JOY[3]), 3);
    for (float& a : in.JOY[3].AXES) a = 9.0f;
    EXPECT_EQ(controller_last_axis(&in.JOY[3]), -1);
}

TEST(Calibration, WidensOnlyWithReportingAxes) {
    CONFIGVARTYPE cfg;
    PLATFORM_JOYSTATE pad;
    pad.PRESENT = true;
    pad.AXES[0] = -0.5f;
    pad.AXES[2] = 0.25f;
    pad.AXES[3] = 5.0f;  // not a reading
    calibration_update(cfg, &pad);
    pad.AXES[0] = -0.25f;
    pad.AXES[2] = 0.75f;
    calibration_update(cfg, &pad);
    EXPECT_FLOAT_EQ(cfg.AXISMIN[0], -0.5f);
    EXPECT_FLOAT_EQ(cfg.AXISMAX[0], 0.0f);
    EXPECT_FLOAT_EQ(cfg.AXISMAX[2], 0.75f);
    EXPECT_FLOAT_EQ(cfg.AXISMAX[3], 0.0f);
    calibration_update(cfg, nullptr);  // no controller: nothing changes
    EXPECT_FLOAT_EQ(cfg.AXISMIN[0], -0.5f);
}

TEST(Calibration, SelectingAnotherControllerClearsAllSixAxes) {
    CONFIGVARTYPE cfg;
    for (int a = 0; a < PLATFORM_JOYAXES; ++a) {
        cfg.AXISMIN[a] = -0.9921875f;
        cfg.AXISMAX[a] = 1.0f;
    }
    cfg.AXISCENTER[2] = 0.5f;
    controller_select(cfg, 3);
    EXPECT_EQ(cfg.JOYSTICK, 3);
    for (int a = 0; a < PLATFORM_JOYAXES; ++a) {
        EXPECT_EQ(cfg.AXISMIN[a], 0.0f) << a;
        EXPECT_EQ(cfg.AXISMAX[a], 0.0f) << a;
    }
    EXPECT_EQ(cfg.AXISCENTER[2], 0.5f);  // the centre is neither shown nor changed

    // A number outside 0-15 is refused and changes nothing.
    cfg.AXISMIN[0] = -1.0f;
    controller_select(cfg, 16);
    EXPECT_EQ(cfg.JOYSTICK, 3);
    EXPECT_EQ(cfg.AXISMIN[0], -1.0f);

    calibration_reset(cfg);
    EXPECT_EQ(cfg.AXISMIN[0], 0.0f);
}

}  // namespace
