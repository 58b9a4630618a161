// The control-code table and the evaluation of bound controls (see control_codes.h).
#include "config/control_codes.h"

#include <GLFW/glfw3.h>

#include <array>
#include <cmath>

namespace {

// SDL 1.2 key numbers of the keys the table uses (SDL 1.2 keeps them stable; the table keeps
// the numbers so that the game layer never needs SDL's headers).
enum : int32_t {
    SDL12_TAB = 9, SDL12_RETURN = 13, SDL12_SPACE = 32, SDL12_0 = 48, SDL12_A = 97,
    SDL12_DELETE = 127, SDL12_KP0 = 256, SDL12_KP_PERIOD = 266, SDL12_KP_DIVIDE = 267,
    SDL12_KP_MULTIPLY = 268, SDL12_KP_MINUS = 269, SDL12_KP_PLUS = 270, SDL12_KP_ENTER = 271,
    SDL12_UP = 273, SDL12_DOWN = 274, SDL12_RIGHT = 275, SDL12_LEFT = 276, SDL12_INSERT = 277,
    SDL12_HOME = 278, SDL12_END = 279, SDL12_PAGEUP = 280, SDL12_PAGEDOWN = 281,
    SDL12_RSHIFT = 303, SDL12_LSHIFT = 304, SDL12_RCTRL = 305, SDL12_LCTRL = 306,
    SDL12_RALT = 307, SDL12_LALT = 308,
};

const char* const LETTER_NAMES[26] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K",
                                      "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V",
                                      "W", "X", "Y", "Z"};
const char* const DIGIT_NAMES[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
const char* const KEYPAD_NAMES[10] = {"KP_0", "KP_1", "KP_2", "KP_3", "KP_4",
                                      "KP_5", "KP_6", "KP_7", "KP_8", "KP_9"};
const char* const KEYPAD_LABELS[10] = {"Keypad 0", "Keypad 1", "Keypad 2", "Keypad 3",
                                       "Keypad 4", "Keypad 5", "Keypad 6", "Keypad 7",
                                       "Keypad 8", "Keypad 9"};
const char* const BUTTON_LABELS[CONTROL_NBUTTONS] = {"Button 0", "Button 1", "Button 2", "Button 3",
                                       "Button 4", "Button 5", "Button 6", "Button 7",
                                       "Button 8", "Button 9", "Button 10", "Button 11",
                                       "Button 12", "Button 13", "Button 14", "Button 15"};
const char* const AXIS_LABELS[2 * PLATFORM_JOYAXES] = {"Axis 0 -", "Axis 0 +", "Axis 1 -", "Axis 1 +",
                                     "Axis 2 -", "Axis 2 +", "Axis 3 -", "Axis 3 +",
                                     "Axis 4 -", "Axis 4 +", "Axis 5 -", "Axis 5 +"};

struct NamedKey {
    int32_t code, glfw, sdl;
    const char* name;
    const char* label;
};

// Codes 75-99.
const NamedKey NAMED_KEYS[] = {
    {75, GLFW_KEY_LEFT_CONTROL, SDL12_LCTRL, "LEFT_CONTROL", "Left Ctrl"},
    {76, GLFW_KEY_RIGHT_CONTROL, SDL12_RCTRL, "RIGHT_CONTROL", "Right Ctrl"},
    {77, GLFW_KEY_LEFT_SHIFT, SDL12_LSHIFT, "LEFT_SHIFT", "Left Shift"},
    {78, GLFW_KEY_RIGHT_SHIFT, SDL12_RSHIFT, "RIGHT_SHIFT", "Right Shift"},
    {79, GLFW_KEY_SPACE, SDL12_SPACE, "SPACE", "Space"},
    {80, GLFW_KEY_TAB, SDL12_TAB, "TAB", "Tab"},
    {81, GLFW_KEY_ENTER, SDL12_RETURN, "ENTER", "Enter"},
    {82, GLFW_KEY_LEFT_ALT, SDL12_LALT, "LEFT_ALT", "Left Alt"},
    {83, GLFW_KEY_RIGHT_ALT, SDL12_RALT, "RIGHT_ALT", "Right Alt"},
    {84, GLFW_KEY_UP, SDL12_UP, "UP", "Up"},
    {85, GLFW_KEY_DOWN, SDL12_DOWN, "DOWN", "Down"},
    {86, GLFW_KEY_LEFT, SDL12_LEFT, "LEFT", "Left"},
    {87, GLFW_KEY_RIGHT, SDL12_RIGHT, "RIGHT", "Right"},
    {88, GLFW_KEY_INSERT, SDL12_INSERT, "INSERT", "Insert"},
    {89, GLFW_KEY_HOME, SDL12_HOME, "HOME", "Home"},
    {90, GLFW_KEY_END, SDL12_END, "END", "End"},
    {91, GLFW_KEY_DELETE, SDL12_DELETE, "DELETE", "Delete"},
    {92, GLFW_KEY_PAGE_UP, SDL12_PAGEUP, "PAGE_UP", "Page Up"},
    {93, GLFW_KEY_PAGE_DOWN, SDL12_PAGEDOWN, "PAGE_DOWN", "Page Down"},
    {94, GLFW_KEY_KP_DECIMAL, SDL12_KP_PERIOD, "KP_DECIMAL", "Keypad ."},
    {95, GLFW_KEY_KP_DIVIDE, SDL12_KP_DIVIDE, "KP_DIVIDE", "Keypad /"},
    {96, GLFW_KEY_KP_MULTIPLY, SDL12_KP_MULTIPLY, "KP_MULTIPLY", "Keypad *"},
    {97, GLFW_KEY_KP_SUBTRACT, SDL12_KP_MINUS, "KP_SUBTRACT", "Keypad -"},
    {98, GLFW_KEY_KP_ADD, SDL12_KP_PLUS, "KP_ADD", "Keypad +"},
    {99, GLFW_KEY_KP_ENTER, SDL12_KP_ENTER, "KP_ENTER", "Keypad Enter"},
};

using CodeTable = std::array<CONTROLCODEINFO, CONTROL_CODE_COUNT>;

CodeTable build_table() {
    CodeTable t{};
    for (int32_t c = 0; c < CONTROL_CODE_COUNT; ++c)
        t[c] = {c, ControlKind::NONE, -1, 0, -1, -1, "", "None"};
    for (int32_t b = 0; b < CONTROL_NBUTTONS; ++b)
        t[1 + b] = {1 + b, ControlKind::BUTTON, b, 0, -1, -1, "", BUTTON_LABELS[b]};
    for (int32_t h = 0; h < 2 * PLATFORM_JOYAXES; ++h)
        t[17 + h] = {17 + h, ControlKind::AXIS, h / 2, (h % 2 == 0) ? -1 : 1, -1, -1, "",
                     AXIS_LABELS[h]};
    for (int32_t i = 0; i < 26; ++i)
        t[29 + i] = {29 + i, ControlKind::KEY, -1, 0, GLFW_KEY_A + i, SDL12_A + i,
                     LETTER_NAMES[i], LETTER_NAMES[i]};
    for (int32_t i = 0; i < 10; ++i)
        t[55 + i] = {55 + i, ControlKind::KEY, -1, 0, GLFW_KEY_0 + i, SDL12_0 + i,
                     DIGIT_NAMES[i], DIGIT_NAMES[i]};
    for (int32_t i = 0; i < 10; ++i)
        t[65 + i] = {65 + i, ControlKind::KEY, -1, 0, GLFW_KEY_KP_0 + i, SDL12_KP0 + i,
                     KEYPAD_NAMES[i], KEYPAD_LABELS[i]};
    for (const NamedKey& k : NAMED_KEYS)
        t[k.code] = {k.code, ControlKind::KEY, -1, 0, k.glfw, k.sdl, k.name, k.label};
    return t;
}

const CodeTable& table() {
    static const CodeTable t = build_table();
    return t;
}

}  // namespace

const int32_t CONTROL_KEY_TEST_ORDER[CONTROL_KEY_TEST_COUNT] = {
    // A-Z, 0-9, keypad 0-9
    29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50,
    51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72,
    73, 74,
    // Ctrl, Shift, Alt, Space, Tab, Enter
    75, 76, 77, 78, 82, 83, 79, 80, 81,
    // cursor keys, Insert, Home, End, Delete, Page Up, Page Down
    84, 85, 86, 87, 88, 89, 90, 91, 92, 93,
    // keypad point, divide, multiply, minus, plus, Enter
    94, 95, 96, 97, 98, 99,
};

const CONTROLCODEINFO& control_code_info(int32_t code) {
    if (code < 0 || code >= CONTROL_CODE_COUNT) code = 0;
    return table()[code];
}

int32_t control_code_from_glfw_key(int32_t glfw_key) {
    for (int32_t c = CONTROL_CODE_FIRST_KEY; c <= CONTROL_CODE_LAST_KEY; ++c)
        if (table()[c].GLFWKEY == glfw_key) return c;
    return 0;
}

int32_t control_code_from_sdl_key(int32_t sdl_key) {
    for (int32_t c = CONTROL_CODE_FIRST_KEY; c <= CONTROL_CODE_LAST_KEY; ++c)
        if (table()[c].SDLKEY == sdl_key) return c;
    return 0;
}

float control_axis_value(const CONFIGVARTYPE& cfg, int32_t code, float reading) {
    const CONTROLCODEINFO& info = control_code_info(code);
    if (info.KIND != ControlKind::AXIS || !std::isfinite(reading)) return 0.0f;
    if (std::fabs(reading) < CONTROL_AXIS_DEADZONE) return 0.0f;
    float extreme;
    if (info.DIRECTION < 0) {
        extreme = cfg.AXISMIN[info.INDEX];
        // Only a calibrated (negative) minimum gives a meaningful ratio; 0 would divide by zero.
        if (reading >= 0.0f || !(extreme < 0.0f)) return 0.0f;
    } else {
        extreme = cfg.AXISMAX[info.INDEX];
        if (reading <= 0.0f || !(extreme > 0.0f)) return 0.0f;
    }
    float v = std::floor(128.0f * reading / extreme) / 128.0f;
    if (v > 1.0f) v = 1.0f;
    if (v < 0.0f) v = 0.0f;
    return v;
}

float control_code_value(const CONFIGVARTYPE& cfg, int32_t code, const PLATFORM_JOYSTATE* pad,
                         bool (*key_down)(int32_t glfw_key)) {
    const CONTROLCODEINFO& info = control_code_info(code);
    switch (info.KIND) {
    case ControlKind::KEY:
        if (cfg.INPUTTYPE != 0 || key_down == nullptr) return 0.0f;
        return key_down(info.GLFWKEY) ? 1.0f : 0.0f;
    case ControlKind::BUTTON:
        if (cfg.INPUTTYPE != 1 || cfg.LASTJOY < 0 || pad == nullptr || !pad->PRESENT) return 0.0f;
        return ((pad->BUTTONS >> info.INDEX) & 1u) ? 1.0f : 0.0f;
    case ControlKind::AXIS:
        if (cfg.INPUTTYPE != 1 || cfg.LASTJOY < 0 || pad == nullptr || !pad->PRESENT) return 0.0f;
        return control_axis_value(cfg, code, pad->AXES[info.INDEX]);
    case ControlKind::NONE:
        break;
    }
    return 0.0f;
}
