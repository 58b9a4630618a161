// The control-code table, the capture test order, the axis evaluation with its dead zone and
// the input-type gating of bound controls.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <limits>
#include <set>
#include <string>

#include "config/control_codes.h"

TEST(ControlCodes, RangesMapToButtonsAxesAndKeys) {
    EXPECT_EQ(control_code_info(0).KIND, ControlKind::NONE);
    for (int32_t c = 1; c <= 16; ++c) {
        EXPECT_EQ(control_code_info(c).KIND, ControlKind::BUTTON) << c;
        EXPECT_EQ(control_code_info(c).INDEX, c - 1);
    }
    for (int32_t c = 17; c <= 28; ++c) {
        const CONTROLCODEINFO& i = control_code_info(c);
        EXPECT_EQ(i.KIND, ControlKind::AXIS) << c;
        EXPECT_EQ(i.INDEX, (c - 17) / 2) << c;
        EXPECT_EQ(i.DIRECTION, (c - 17) % 2 == 0 ? -1 : 1) << c;
    }
    std::set<int32_t> glfw_keys, sdl_keys;
    for (int32_t c = 29; c <= 99; ++c) {
        const CONTROLCODEINFO& i = control_code_info(c);
        EXPECT_EQ(i.KIND, ControlKind::KEY) << c;
        EXPECT_EQ(i.CODE, c);
        EXPECT_TRUE(glfw_keys.insert(i.GLFWKEY).second) << "duplicate GLFW key at " << c;
        EXPECT_TRUE(sdl_keys.insert(i.SDLKEY).second) << "duplicate SDL key at " << c;
        EXPECT_FALSE(std::string(i.KEYNAME).empty()) << c;
        EXPECT_FALSE(std::string(i.LABEL).empty()) << c;
    }
    for (int32_t c : {-1, -128, 100, 127, 1000}) {
        EXPECT_EQ(control_code_info(c).KIND, ControlKind::NONE) << c;
        EXPECT_EQ(control_code_info(c).CODE, 0) << c;
    }
}

TEST(ControlCodes, KeysMatchTheirGlfwKeysBothWays) {
    struct Case { int32_t code; int32_t glfw; const char* name; };
    const Case cases[] = {
        {29, GLFW_KEY_A, "A"},           {51, GLFW_KEY_W, "W"},
        {54, GLFW_KEY_Z, "Z"},           {55, GLFW_KEY_0, "0"},
        {64, GLFW_KEY_9, "9"},           {65, GLFW_KEY_KP_0, "KP_0"},
        {73, GLFW_KEY_KP_8, "KP_8"},     {75, GLFW_KEY_LEFT_CONTROL, "LEFT_CONTROL"},
        {77, GLFW_KEY_LEFT_SHIFT, "LEFT_SHIFT"}, {79, GLFW_KEY_SPACE, "SPACE"},
        {80, GLFW_KEY_TAB, "TAB"},       {81, GLFW_KEY_ENTER, "ENTER"},
        {83, GLFW_KEY_RIGHT_ALT, "RIGHT_ALT"},   {84, GLFW_KEY_UP, "UP"},
        {85, GLFW_KEY_DOWN, "DOWN"},     {86, GLFW_KEY_LEFT, "LEFT"},
        {87, GLFW_KEY_RIGHT, "RIGHT"},   {91, GLFW_KEY_DELETE, "DELETE"},
        {93, GLFW_KEY_PAGE_DOWN, "PAGE_DOWN"},   {94, GLFW_KEY_KP_DECIMAL, "KP_DECIMAL"},
        {97, GLFW_KEY_KP_SUBTRACT, "KP_SUBTRACT"}, {99, GLFW_KEY_KP_ENTER, "KP_ENTER"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(control_code_info(c.code).GLFWKEY, c.glfw) << c.code;
        EXPECT_STREQ(control_code_info(c.code).KEYNAME, c.name) << c.code;
        EXPECT_EQ(control_code_from_glfw_key(c.glfw), c.code) << c.name;
    }
    EXPECT_EQ(control_code_from_glfw_key(GLFW_KEY_ESCAPE), 0);
    EXPECT_EQ(control_code_from_glfw_key(GLFW_KEY_F1), 0);
    EXPECT_EQ(control_code_from_glfw_key(-1), 0);
}

TEST(ControlCodes, CaptureOrderCoversEveryKeyOnceWithAltBeforeSpace) {
    std::set<int32_t> seen;
    for (int32_t c : CONTROL_KEY_TEST_ORDER) {
        EXPECT_GE(c, 29);
        EXPECT_LE(c, 99);
        EXPECT_TRUE(seen.insert(c).second) << "twice: " << c;
    }
    EXPECT_EQ(seen.size(), 71u);
    auto pos = [](int32_t code) {
        for (int i = 0; i < CONTROL_KEY_TEST_COUNT; ++i)
            if (CONTROL_KEY_TEST_ORDER[i] == code) return i;
        return -1;
    };
    EXPECT_EQ(pos(29), 0);                  // A first
    EXPECT_LT(pos(29), pos(77));            // Shift + A captures Left Shift (tested later)
    EXPECT_EQ(pos(82), pos(78) + 1);        // Left Alt right after Right Shift
    EXPECT_EQ(pos(79), pos(83) + 1);        // Space right after Right Alt
    EXPECT_EQ(pos(84), pos(81) + 1);        // cursor up after Enter
    EXPECT_EQ(pos(99), CONTROL_KEY_TEST_COUNT - 1);
}

TEST(AxisEvaluation, DeadZoneStepsAndCap) {
    CONFIGVARTYPE cfg;
    for (int a = 0; a < PLATFORM_JOYAXES; ++a) {
        cfg.AXISMIN[a] = -1.0f;
        cfg.AXISMAX[a] = 1.0f;
    }
    const int32_t axis1_neg = 19, axis1_pos = 20;
    // Inside the dead zone a reading is 0; at its edge it counts.
    EXPECT_EQ(control_axis_value(cfg, axis1_pos, 0.2499f), 0.0f);
    EXPECT_EQ(control_axis_value(cfg, axis1_neg, -0.2499f), 0.0f);
    EXPECT_EQ(control_axis_value(cfg, axis1_pos, 0.25f), 0.25f);
    // Values move in steps of 1/128, rounded down.
    EXPECT_EQ(control_axis_value(cfg, axis1_pos, 0.3f), 38.0f / 128.0f);
    EXPECT_EQ(control_axis_value(cfg, axis1_neg, -0.5f), 0.5f);
    EXPECT_EQ(control_axis_value(cfg, axis1_pos, 0.999f), 127.0f / 128.0f);
    // The wrong direction gives 0.
    EXPECT_EQ(control_axis_value(cfg, axis1_neg, 0.9f), 0.0f);
    EXPECT_EQ(control_axis_value(cfg, axis1_pos, -0.9f), 0.0f);

    // Calibrated extremes: full deflection gives 1, beyond it is capped at 1.
    cfg.AXISMIN[2] = -0.9921875f;
    cfg.AXISMAX[2] = 0.5f;
    EXPECT_EQ(control_axis_value(cfg, 21, -0.9921875f), 1.0f);
    EXPECT_EQ(control_axis_value(cfg, 22, 0.5f), 1.0f);
    EXPECT_EQ(control_axis_value(cfg, 22, 0.9f), 1.0f);
    EXPECT_EQ(control_axis_value(cfg, 22, 0.375f), 0.75f);

    // Only codes 17-28 are axes.
    EXPECT_EQ(control_axis_value(cfg, 16, 1.0f), 0.0f);
    EXPECT_EQ(control_axis_value(cfg, 29, 1.0f), 0.0f);
}

TEST(AxisEvaluation, UncalibratedAxisReadsZeroInsteadOfDividingByZero) {
    CONFIGVARTYPE cfg;   // all extremes 0
    EXPECT_EQ(control_axis_value(cfg, 17, -1.0f), 0.0f);
    EXPECT_EQ(control_axis_value(cfg, 18, 1.0f), 0.0f);
    cfg.AXISMIN[0] = 0.5f;   // a minimum on the wrong side
    EXPECT_EQ(control_axis_value(cfg, 17, -1.0f), 0.0f);
    cfg.AXISMIN[0] = -1.0f;
    EXPECT_EQ(control_axis_value(cfg, 17, std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

namespace {
bool only_w_down(int32_t key) { return key == GLFW_KEY_W; }
}  // namespace

TEST(ControlValue, InputTypeDecidesWhichCodesCount) {
    CONFIGVARTYPE cfg;
    cfg.AXISMIN[0] = -1.0f;
    cfg.AXISMAX[0] = 1.0f;
    PLATFORM_JOYSTATE pad;
    pad.PRESENT = true;
    pad.BUTTONS = 1u << 2;
    pad.AXES[0] = -1.0f;

    cfg.INPUTTYPE = 0;
    cfg.LASTJOY = 0;
    EXPECT_EQ(control_code_value(cfg, 51, &pad, only_w_down), 1.0f);   // W
    EXPECT_EQ(control_code_value(cfg, 52, &pad, only_w_down), 0.0f);   // X not down
    EXPECT_EQ(control_code_value(cfg, 3, &pad, only_w_down), 0.0f);    // button 2 ignored
    EXPECT_EQ(control_code_value(cfg, 17, &pad, only_w_down), 0.0f);   // axis ignored

    cfg.INPUTTYPE = 1;
    EXPECT_EQ(control_code_value(cfg, 51, &pad, only_w_down), 0.0f);   // keys ignored
    EXPECT_EQ(control_code_value(cfg, 3, &pad, only_w_down), 1.0f);    // bit 2
    EXPECT_EQ(control_code_value(cfg, 2, &pad, only_w_down), 0.0f);    // bit 1 up
    EXPECT_EQ(control_code_value(cfg, 17, &pad, only_w_down), 1.0f);
    EXPECT_EQ(control_code_value(cfg, 18, &pad, only_w_down), 0.0f);

    // No controller answered: the controller path is skipped.
    cfg.LASTJOY = -1;
    EXPECT_EQ(control_code_value(cfg, 3, &pad, only_w_down), 0.0f);
    EXPECT_EQ(control_code_value(cfg, 17, &pad, only_w_down), 0.0f);
    cfg.LASTJOY = 0;
    pad.PRESENT = false;
    EXPECT_EQ(control_code_value(cfg, 3, &pad, only_w_down), 0.0f);
    EXPECT_EQ(control_code_value(cfg, 3, nullptr, only_w_down), 0.0f);

    // Unbound and out-of-table codes never register.
    cfg.INPUTTYPE = 0;
    EXPECT_EQ(control_code_value(cfg, 0, &pad, [](int32_t) { return true; }), 0.0f);
    EXPECT_EQ(control_code_value(cfg, 100, &pad, [](int32_t) { return true; }), 0.0f);
    EXPECT_EQ(control_code_value(cfg, -5, &pad, [](int32_t) { return true; }), 0.0f);
    EXPECT_EQ(control_code_value(cfg, 51, &pad, nullptr), 0.0f);
}
