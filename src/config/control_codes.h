// The control-code table shared by the game and the configuration tool: what each binding
// code 0-99 stands for (nothing, a controller button, a controller half-axis or a key), the
// key's GLFW and SDL 1.2 key numbers and names, the order in which the tool tests keys while
// capturing a binding, and the evaluation of a bound control (key, button or calibrated axis
// with its dead zone).
#pragma once

#include <cstdint>

#include "config/config.h"
#include "platform/input.h"

inline constexpr int32_t CONTROL_CODE_COUNT = 100;        // codes 0-99
inline constexpr int32_t CONTROL_CODE_FIRST_BUTTON = 1;   // 1-16: button code - 1
inline constexpr int32_t CONTROL_CODE_FIRST_AXIS = 17;    // 17-28: half-axes
inline constexpr int32_t CONTROL_CODE_FIRST_KEY = 29;     // 29-99: keys
inline constexpr int32_t CONTROL_CODE_LAST_KEY = 99;
inline constexpr int32_t CONTROL_NBUTTONS = CONTROL_CODE_FIRST_AXIS - CONTROL_CODE_FIRST_BUTTON;  // buttons 0-15
static_assert(CONTROL_NBUTTONS <= PLATFORM_JOYBUTTONS, "a bindable button is a button the controller reports");
static_assert(CONTROL_CODE_FIRST_KEY - CONTROL_CODE_FIRST_AXIS == 2 * PLATFORM_JOYAXES,
              "one code for each direction of each controller axis");
inline constexpr float CONTROL_AXIS_DEADZONE = 0.25f;     // |reading| below this reads 0

enum class ControlKind : int8_t { NONE, BUTTON, AXIS, KEY };

struct CONTROLCODEINFO {
    int32_t CODE;
    ControlKind KIND;
    int32_t INDEX;        // button 0-15 or axis 0-5; -1 for keys and unbound codes
    int32_t DIRECTION;    // axis direction: -1 negative, +1 positive; 0 otherwise
    int32_t GLFWKEY;      // GLFW key number of a key code, -1 otherwise
    int32_t SDLKEY;       // SDL 1.2 key number of a key code, -1 otherwise
    const char* KEYNAME;  // GLFW key name without its prefix ("A", "KP_8", "LEFT_SHIFT"); "" otherwise
    const char* LABEL;    // readable name ("Left Shift", "Button 3", "Axis 1 -"); "None" for 0
};

// The entry of a code; any code outside 0-99 gives the unbound entry (code 0).
const CONTROLCODEINFO& control_code_info(int32_t code);

// The key codes in the order the configuration tool tests them while capturing a binding
// (the last key found down wins): A-Z, 0-9, keypad 0-9, Left/Right Ctrl, Left/Right Shift,
// Left/Right Alt, Space, Tab, Enter, the cursor keys, Insert, Home, End, Delete, Page Up,
// Page Down and the keypad operators and Enter.
inline constexpr int32_t CONTROL_KEY_TEST_COUNT = CONTROL_CODE_LAST_KEY - CONTROL_CODE_FIRST_KEY + 1;  // every key code
extern const int32_t CONTROL_KEY_TEST_ORDER[CONTROL_KEY_TEST_COUNT];

// The key code of a GLFW key number, or 0 when the key has no code.
int32_t control_code_from_glfw_key(int32_t glfw_key);
// The key code of an SDL 1.2 key number, or 0 when the key has no code.
int32_t control_code_from_sdl_key(int32_t sdl_key);

// The value of an axis-bound control (codes 17-28): the reading is first cut to 0 inside the
// dead zone; a negative-direction code with a negative reading gives
// floor(128 * reading / AXISMIN) / 128, a positive-direction code with a positive reading
// floor(128 * reading / AXISMAX) / 128; the result lies in 0..1. An uncalibrated extreme
// (AXISMIN not below 0, AXISMAX not above 0) gives 0. Any other code gives 0.
float control_axis_value(const CONFIGVARTYPE& cfg, int32_t code, float reading);

// The value 0..1 of binding `code` under cfg: with INPUTTYPE 0 only key codes count (1 when
// key_down says the GLFW key is down); with INPUTTYPE 1 only button and axis codes count, and
// only when LASTJOY is not -1 and `pad` (the state of controller JOYSTICK) is present.
// Everything else gives 0.
float control_code_value(const CONFIGVARTYPE& cfg, int32_t code, const PLATFORM_JOYSTATE* pad,
                         bool (*key_down)(int32_t glfw_key) = platform_key_down);
