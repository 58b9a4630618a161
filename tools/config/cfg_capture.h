// What the Input tab reads from the devices: which controllers answer, which axes report,
// the continuous calibration of the selected controller, and the binding code that one sample
// of keyboard and controller state gives while a binding is being captured.
#pragma once

#include <cstdint>

#include "cfg_input.h"
#include "config/config.h"

// The highest controller number 0-15 that is present, or -1.
int32_t controllers_last_present(const TOOLINPUT& input);

// The state of controller `joystick`, or null when the number is outside 0-15 or it is absent.
const PLATFORM_JOYSTATE* controller_state(const TOOLINPUT& input, int32_t joystick);

// True when the axis reports a reading (a finite value in -1..1).
bool axis_reports(float value);

// The highest axis 0-5 of the controller that reports a reading, or -1 (also for null).
int32_t controller_last_axis(const PLATFORM_JOYSTATE* pad);

// Widens AXISMIN/AXISMAX of every reporting axis to include its current reading.
void calibration_update(CONFIGVARTYPE& cfg, const PLATFORM_JOYSTATE* pad);
// Sets every AXISMIN and AXISMAX to 0.
void calibration_reset(CONFIGVARTYPE& cfg);
// Selects another controller: JOYSTICK := joystick and the calibration is cleared.
void controller_select(CONFIGVARTYPE& cfg, int32_t joystick);

// Keyboard capture: the code of the last key of the capture test order that is down, or 0.
int32_t capture_key_code(const TOOLINPUT& input);

// Controller capture: the first button 0-15 down gives button + 1; otherwise, for axes
// 0..last_axis in order, a reading exactly at a calibrated extreme gives 17 + 2a (minimum) or
// 18 + 2a (maximum). An extreme still at 0 (never calibrated) does not count. 0 when nothing.
int32_t capture_controller_code(const CONFIGVARTYPE& cfg, const PLATFORM_JOYSTATE* pad, int32_t last_axis);

// One poll of a capture: the found code (> 0), -1 when only Escape is down, 0 to keep waiting.
// Controller input counts with INPUTTYPE 1 and a controller connected (last_joy >= 0), keys
// with INPUTTYPE 0; with any other state only Escape is taken.
int32_t capture_poll(const CONFIGVARTYPE& cfg, const TOOLINPUT& input, int32_t last_joy, int32_t last_axis);
