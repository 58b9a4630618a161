// Controller scanning, calibration and binding capture (see cfg_capture.h).
#include "cfg_capture.h"

#include <cmath>

#include "config/control_codes.h"

int32_t controllers_last_present(const TOOLINPUT& input) {
    int32_t last = -1;
    for (int32_t j = 0; j < PLATFORM_JOYSTICKS; ++j)
        if (input.JOY[j].PRESENT) last = j;
    return last;
}

const PLATFORM_JOYSTATE* controller_state(const TOOLINPUT& input, int32_t joystick) {
    if (joystick < 0 || joystick >= PLATFORM_JOYSTICKS || !input.JOY[joystick].PRESENT) return nullptr;
    return &input.JOY[joystick];
}

bool axis_reports(float value) { return std::isfinite(value) && value >= -1.0f && value <= 1.0f; }

int32_t controller_last_axis(const PLATFORM_JOYSTATE* pad) {
    if (pad == nullptr) return -1;
    int32_t last = -1;
    for (int32_t a = 0; a < PLATFORM_JOYAXES; ++a)
        if (axis_reports(pad->AXES[a])) last = a;
    return last;
}

void calibration_update(CONFIGVARTYPE& cfg, const PLATFORM_JOYSTATE* pad) {
    if (pad == nullptr) return;
    for (int32_t a = 0; a < PLATFORM_JOYAXES; ++a) {
        const float v = pad->AXES[a];
        if (!axis_reports(v)) continue;
        if (v < cfg.AXISMIN[a]) cfg.AXISMIN[a] = v;
        if (v > cfg.AXISMAX[a]) cfg.AXISMAX[a] = v;
    }
}

void calibration_reset(CONFIGVARTYPE& cfg) {
    for (int32_t a = 0; a < PLATFORM_JOYAXES; ++a) {
        cfg.AXISMIN[a] = 0.0f;
        cfg.AXISMAX[a] = 0.0f;
    }
}

void controller_select(CONFIGVARTYPE& cfg, int32_t joystick) {
    if (joystick < 0 || joystick >= PLATFORM_JOYSTICKS) return;
    cfg.JOYSTICK = static_cast<int8_t>(joystick);
    calibration_reset(cfg);
}

int32_t capture_key_code(const TOOLINPUT& input) {
    int32_t code = 0;
    for (int32_t i = 0; i < CONTROL_KEY_TEST_COUNT; ++i) {
        const int32_t c = CONTROL_KEY_TEST_ORDER[i];
        if (c >= 0 && c < TOOLKEY_COUNT && input.KEY[c]) code = c;
    }
    return code;
}

int32_t capture_controller_code(const CONFIGVARTYPE& cfg, const PLATFORM_JOYSTATE* pad, int32_t last_axis) {
    if (pad == nullptr) return 0;
    for (int32_t b = 0; b < CONTROL_NBUTTONS; ++b)
        if ((pad->BUTTONS >> b) & 1u) return CONTROL_CODE_FIRST_BUTTON + b;
    if (last_axis >= PLATFORM_JOYAXES) last_axis = PLATFORM_JOYAXES - 1;
    for (int32_t a = 0; a <= last_axis; ++a) {
        const float v = pad->AXES[a];
        if (!axis_reports(v)) continue;
        if (cfg.AXISMIN[a] < 0.0f && v == cfg.AXISMIN[a]) return CONTROL_CODE_FIRST_AXIS + 2 * a;
        if (cfg.AXISMAX[a] > 0.0f && v == cfg.AXISMAX[a]) return CONTROL_CODE_FIRST_AXIS + 2 * a + 1;
    }
    return 0;
}

int32_t capture_poll(const CONFIGVARTYPE& cfg, const TOOLINPUT& input, int32_t last_joy, int32_t last_axis) {
    int32_t code = 0;
    if (cfg.INPUTTYPE == 1 && last_joy >= 0)
        code = capture_controller_code(cfg, controller_state(input, cfg.JOYSTICK), last_axis);
    else if (cfg.INPUTTYPE == 0)
        code = capture_key_code(input);
    if (code > 0) return code;
    return input.KEY[TOOLKEY_ESCAPE] ? -1 : 0;
}
