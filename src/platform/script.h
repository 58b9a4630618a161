// The input script of scripted runs: one event per line, `FRAME key NAME 0|1`,
// `FRAME joy J present 0|1`, `FRAME joy J axis A VALUE` (VALUE -1..1, or `none` for an axis the
// controller lacks), `FRAME joy J button B 0|1`; `#` starts a comment. Key names are GLFW's
// without the GLFW_KEY_ prefix. A program may add verbs of its own (the configuration tool's
// `mouse` and `button`) through SCRIPTVERB; they follow the same rules for frames and numbers.
// Every number is range-checked; a bad line is reported with its line number and skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/joystick.h"

enum class ScriptEventKind : int8_t { KEY, JOY_PRESENT, JOY_AXIS, JOY_NO_AXIS, JOY_BUTTON, EXTRA };

struct SCRIPTEVENT {
    int64_t FRAME = 0;
    ScriptEventKind KIND = ScriptEventKind::KEY;
    int32_t KEY = 0;       // GLFW key number (KEY)
    int32_t JOY = 0;       // controller 0-15 (JOY_*)
    int32_t INDEX = 0;     // axis 0-5 or button 0-31
    float VALUE = 0;       // key/button/present 0 or 1, axis -1..1
    int32_t VERB = -1;     // EXTRA: index of the program's verb in the table it passed
    int32_t X = 0;         // EXTRA: the verb's whole numbers
    int32_t Y = 0;
};

// The last frame a script may name (about 560 years at 62.5 frames a second).
inline constexpr int64_t SCRIPT_LAST_FRAME = INT64_C(1) << 40;

// A verb a program adds beside `key` and `joy`: a line `FRAME NAME WORDS...` is handed to
// PARSE with the words after the verb; it fills X, Y and VALUE of the event (KIND, FRAME and
// VERB are set by the parser) and returns true, or returns false with why to refuse the line.
struct SCRIPTVERB {
    const char* NAME;
    bool (*PARSE)(const std::vector<std::string>& words, SCRIPTEVENT& event, std::string& why);
};

struct SCRIPTPARSE {
    std::vector<SCRIPTEVENT> EVENTS;     // sorted by frame, file order kept within a frame
    std::vector<std::string> ERRORS;     // one message per refused line ("line 7: ...")
};

// Parses script text; `source` names it in the error messages. `verbs` are the program's own.
SCRIPTPARSE script_parse(const std::string& text, const std::string& source,
                         std::span<const SCRIPTVERB> verbs = {});

// The largest script file read.
inline constexpr std::size_t SCRIPT_FILE_MAX_BYTES = std::size_t{16} << 20;

// Reads and parses a script file; false when it is missing, not a regular file, larger than
// SCRIPT_FILE_MAX_BYTES or unreadable (why says which).
bool script_load(const std::string& path, SCRIPTPARSE& out, std::string& why,
                 std::span<const SCRIPTVERB> verbs = {});

// The GLFW key number of a name without prefix ("UP", "A", "KP_8", "LEFT_SHIFT"), or -1.
int32_t script_key_from_name(const std::string& name);

// The number rules of every verb: a word that is a whole decimal number in lo..hi and nothing
// else, and a state word 0 or 1. False leaves out unchanged.
bool script_word_int(const std::string& word, int64_t lo, int64_t hi, int64_t& out);
bool script_word_state(const std::string& word, float& out);
