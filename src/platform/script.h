// The input script of scripted runs: one event per line, `FRAME key NAME 0|1`,
// `FRAME joy J present 0|1`, `FRAME joy J axis A VALUE`, `FRAME joy J button B 0|1`; `#`
// starts a comment. Key names are GLFW's without the GLFW_KEY_ prefix. Every number is
// range-checked; a bad line is reported with its line number and skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ScriptEventKind : int8_t { KEY, JOY_PRESENT, JOY_AXIS, JOY_BUTTON };

struct SCRIPTEVENT {
    int64_t FRAME = 0;
    ScriptEventKind KIND = ScriptEventKind::KEY;
    int32_t KEY = 0;       // GLFW key number (KEY)
    int32_t JOY = 0;       // controller 0-15 (JOY_*)
    int32_t INDEX = 0;     // axis 0-5 or button 0-31
    float VALUE = 0;       // key/button/present 0 or 1, axis -1..1
};

inline constexpr int32_t SCRIPT_JOYSTICKS = 16;
inline constexpr int32_t SCRIPT_AXES = 6;
inline constexpr int32_t SCRIPT_BUTTONS = 32;

struct SCRIPTPARSE {
    std::vector<SCRIPTEVENT> EVENTS;     // sorted by frame, file order kept within a frame
    std::vector<std::string> ERRORS;     // one message per refused line ("line 7: ...")
};

// Parses script text; `source` names it in the error messages.
SCRIPTPARSE script_parse(const std::string& text, const std::string& source);

// The largest script file read.
inline constexpr std::size_t SCRIPT_FILE_MAX_BYTES = std::size_t{16} << 20;

// Reads and parses a script file; false when it is missing, not a regular file, larger than
// SCRIPT_FILE_MAX_BYTES or unreadable (why says which).
bool script_load(const std::string& path, SCRIPTPARSE& out, std::string& why);

// The GLFW key number of a name without prefix ("UP", "A", "KP_8", "LEFT_SHIFT"), or -1.
int32_t script_key_from_name(const std::string& name);
