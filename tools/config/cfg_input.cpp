// Input script parsing and replay for the configuration tool (see cfg_input.h).
#include "cfg_input.h"

#include <GLFW/glfw3.h>

#include <cstdio>

#include "engine/console_text.h"
#include "platform/script.h"

namespace {

// The tool's own verbs: `FRAME mouse X Y` and `FRAME button 1|2|3 0|1`.
bool parse_mouse(const std::vector<std::string>& w, SCRIPTEVENT& e, std::string& why) {
    int64_t x = 0, y = 0;
    if (w.size() != 2 || !script_word_int(w[0], -TOOL_MOUSE_RANGE, TOOL_MOUSE_RANGE, x) ||
        !script_word_int(w[1], -TOOL_MOUSE_RANGE, TOOL_MOUSE_RANGE, y)) {
        why = "expected: FRAME mouse X Y";
        return false;
    }
    e.X = static_cast<int32_t>(x);
    e.Y = static_cast<int32_t>(y);
    return true;
}

bool parse_button(const std::vector<std::string>& w, SCRIPTEVENT& e, std::string& why) {
    int64_t b = 0;
    if (w.size() != 2 || !script_word_int(w[0], 1, 3, b) || !script_word_state(w[1], e.VALUE)) {
        why = "expected: FRAME button 1|2|3 0|1";
        return false;
    }
    e.X = static_cast<int32_t>(b);
    return true;
}

enum : int32_t { VERB_MOUSE = 0, VERB_BUTTON = 1 };
const SCRIPTVERB TOOL_VERBS[] = {{"mouse", parse_mouse}, {"button", parse_button}};

// The key slot of a GLFW key: its binding code, TOOLKEY_ESCAPE or TOOLKEY_F12; -1 for a key the
// tool does not watch (accepted in a script, without effect).
int32_t tool_key_from_glfw(int32_t glfw_key) {
    if (glfw_key == GLFW_KEY_ESCAPE) return TOOLKEY_ESCAPE;
    if (glfw_key == GLFW_KEY_F12) return TOOLKEY_F12;
    const int32_t code = control_code_from_glfw_key(glfw_key);
    return code >= CONTROL_CODE_FIRST_KEY ? code : -1;
}

// A parsed event in the tool's terms.
TOOLSCRIPTEVENT tool_event(const SCRIPTEVENT& e) {
    TOOLSCRIPTEVENT t;
    t.FRAME = e.FRAME;
    t.VALUE = e.VALUE;
    t.A = e.JOY;
    t.B = e.INDEX;
    switch (e.KIND) {
    case ScriptEventKind::KEY:
        t.KIND = ToolScriptKind::KEY;
        t.A = tool_key_from_glfw(e.KEY);
        break;
    case ScriptEventKind::JOY_PRESENT: t.KIND = ToolScriptKind::JOY_PRESENT; break;
    case ScriptEventKind::JOY_AXIS: t.KIND = ToolScriptKind::JOY_AXIS; break;
    case ScriptEventKind::JOY_NO_AXIS:
        t.KIND = ToolScriptKind::JOY_AXIS;
        t.VALUE = TOOL_AXIS_ABSENT;
        break;
    case ScriptEventKind::JOY_BUTTON: t.KIND = ToolScriptKind::JOY_BUTTON; break;
    case ScriptEventKind::EXTRA:
        t.KIND = e.VERB == VERB_MOUSE ? ToolScriptKind::MOUSE_MOVE : ToolScriptKind::MOUSE_BUTTON;
        t.A = e.X;
        t.B = e.Y;
        break;
    }
    return t;
}

void take_events(const SCRIPTPARSE& parsed, TOOLSCRIPT& script) {
    script.EVENTS.clear();
    script.NEXT = 0;
    for (const std::string& line : parsed.ERRORS) std::printf("%s\n", console_safe(line).c_str());
    for (const SCRIPTEVENT& e : parsed.EVENTS) script.EVENTS.push_back(tool_event(e));
}

}  // namespace

int32_t tool_key_from_name(const std::string& name) {
    if (name == "ESCAPE") return TOOLKEY_ESCAPE;
    if (name == "F12") return TOOLKEY_F12;
    if (name.empty()) return -1;
    for (int32_t c = CONTROL_CODE_FIRST_KEY; c <= CONTROL_CODE_LAST_KEY; ++c)
        if (name == control_code_info(c).KEYNAME) return c;
    return -1;
}

int32_t tool_script_parse(const std::string& text, TOOLSCRIPT& script, const std::string& source) {
    const SCRIPTPARSE parsed = script_parse(text, source, TOOL_VERBS);
    take_events(parsed, script);
    return static_cast<int32_t>(parsed.ERRORS.size());
}

bool tool_script_load(const std::string& path, TOOLSCRIPT& script) {
    SCRIPTPARSE parsed;
    std::string why;
    if (!script_load(path, parsed, why, TOOL_VERBS)) {
        std::printf("could not read input script %s (%s)\n", console_safe(path).c_str(), console_safe(why).c_str());
        script.EVENTS.clear();
        script.NEXT = 0;
        return false;
    }
    take_events(parsed, script);
    return true;
}

void tool_script_apply(TOOLSCRIPT& script, int64_t frame, TOOLINPUT& input) {
    while (script.NEXT < script.EVENTS.size() && script.EVENTS[script.NEXT].FRAME <= frame) {
        const TOOLSCRIPTEVENT& e = script.EVENTS[script.NEXT++];
        const bool on = e.VALUE != 0.0f;
        switch (e.KIND) {
        case ToolScriptKind::KEY:
            if (e.A >= 0 && e.A < TOOLKEY_COUNT) input.KEY[e.A] = on;
            break;
        case ToolScriptKind::MOUSE_MOVE:
            input.MOUSEX = e.A;
            input.MOUSEY = e.B;
            break;
        case ToolScriptKind::MOUSE_BUTTON:
            if (on) input.MOUSE |= 1u << (e.A - 1);
            else input.MOUSE &= ~(1u << (e.A - 1));
            break;
        case ToolScriptKind::JOY_PRESENT:
            input.JOY[e.A].PRESENT = on;
            break;
        case ToolScriptKind::JOY_AXIS:
            input.JOY[e.A].AXES[e.B] = e.VALUE;
            break;
        case ToolScriptKind::JOY_BUTTON:
            if (on) input.JOY[e.A].BUTTONS |= 1u << e.B;
            else input.JOY[e.A].BUTTONS &= ~(1u << e.B);
            break;
        }
    }
}
