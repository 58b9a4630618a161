// The configuration tool's input seam: the keyboard, mouse and controller state it samples
// once per frame, and the input script that replaces the live devices under --input. A script
// holds one event per line:
//   FRAME key NAME 0|1          (NAME: GLFW key name without its prefix, "W", "KP_8", "ESCAPE")
//   FRAME mouse X Y
//   FRAME button 1|2|3 0|1      (1 left, 2 middle, 3 right)
//   FRAME joy J present 0|1
//   FRAME joy J axis A VALUE    (VALUE -1..1, or none: the controller has no such axis)
//   FRAME joy J button B 0|1
// '#' starts a comment; blank lines are ignored. The script is the game's own input script
// (platform/script.h) with `mouse` and `button` added as the tool's verbs, so frames, keys and
// controller numbers follow the game's rules. Lines that do not parse are refused with a
// console line and skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/config.h"
#include "config/control_codes.h"

// Key slots: the binding codes 29-99 index their own key; two more keys are known to the tool.
inline constexpr int32_t TOOLKEY_ESCAPE = 100;
inline constexpr int32_t TOOLKEY_F12 = 101;
inline constexpr int32_t TOOLKEY_COUNT = 102;

// Mouse positions a script may give, either way from the window's corner.
inline constexpr int64_t TOOL_MOUSE_RANGE = 100000;
// The reading the tool keeps for an axis the controller lacks: outside -1..1, it reports nothing.
inline constexpr float TOOL_AXIS_ABSENT = 2.0f;

// Mouse button bits, as the windowing library numbers them (button b is bit b - 1).
inline constexpr uint32_t TOOLMOUSE_LEFT = 1u;

struct TOOLINPUT {
    bool KEY[TOOLKEY_COUNT] = {};
    int32_t MOUSEX = 0;
    int32_t MOUSEY = 0;
    uint32_t MOUSE = 0;
    PLATFORM_JOYSTATE JOY[PLATFORM_JOYSTICKS];
};

// The key slot of a script key name (binding codes 29-99, TOOLKEY_ESCAPE, TOOLKEY_F12), or -1.
int32_t tool_key_from_name(const std::string& name);

enum class ToolScriptKind : int8_t { KEY, MOUSE_MOVE, MOUSE_BUTTON, JOY_PRESENT, JOY_AXIS, JOY_BUTTON };

struct TOOLSCRIPTEVENT {
    int64_t FRAME = 0;
    ToolScriptKind KIND = ToolScriptKind::KEY;
    int32_t A = 0;      // key slot, mouse x, mouse button, controller number
    int32_t B = 0;      // mouse y, axis or button number
    float VALUE = 0;    // 0/1 for states, the axis reading for axes
};

struct TOOLSCRIPT {
    std::vector<TOOLSCRIPTEVENT> EVENTS;  // sorted by frame, file order kept within a frame
    std::size_t NEXT = 0;             // first event not applied yet
};

// Parses script text; refused lines are reported naming `source` and counted in the result.
int32_t tool_script_parse(const std::string& text, TOOLSCRIPT& script, const std::string& source);
// Reads and parses a script file; false (with a console line) when it cannot be read.
bool tool_script_load(const std::string& path, TOOLSCRIPT& script);
// Applies every event of frames up to and including `frame` that has not been applied yet.
void tool_script_apply(TOOLSCRIPT& script, int64_t frame, TOOLINPUT& input);
