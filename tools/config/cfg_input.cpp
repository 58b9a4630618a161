// Input script parsing and replay for the configuration tool (see cfg_input.h).
#include "cfg_input.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cfg_lines.h"
#include "platform/script.h"

namespace {

bool parse_float(const std::string& s, float& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    float v = std::strtof(s.c_str(), &end);
    if (errno == ERANGE || end == s.c_str() || *end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool parse_state(const std::string& s, float& out) {
    int64_t v = 0;
    if (!cfg_parse_int(s, 0, 1, v)) return false;
    out = static_cast<float>(v);
    return true;
}

// One script line (comment already removed, at least one token) into an event; false refuses it.
bool parse_line(const std::vector<std::string>& t, TOOLSCRIPTEVENT& e, std::string& why) {
    int64_t v = 0;
    if (!cfg_parse_int(t[0], 0, INT64_MAX / 2, v)) { why = "frame number expected"; return false; }
    e.FRAME = v;
    if (t.size() < 2) { why = "event expected after the frame number"; return false; }
    const std::string& what = t[1];
    if (what == "key") {
        if (t.size() != 4) { why = "expected: FRAME key NAME 0|1"; return false; }
        int32_t slot = tool_key_from_name(t[2]);
        // A key the tool does not watch (BACKSPACE, F5...) is accepted and has no effect.
        if (slot < 0 && script_key_from_name(t[2]) < 0) { why = "unknown key name \"" + t[2] + "\""; return false; }
        if (!parse_state(t[3], e.VALUE)) { why = "key state must be 0 or 1"; return false; }
        e.KIND = ToolScriptKind::KEY;
        e.A = slot;
        return true;
    }
    if (what == "mouse") {
        int64_t x = 0, y = 0;
        if (t.size() != 4 || !cfg_parse_int(t[2], -100000, 100000, x) || !cfg_parse_int(t[3], -100000, 100000, y)) {
            why = "expected: FRAME mouse X Y";
            return false;
        }
        e.KIND = ToolScriptKind::MOUSE_MOVE;
        e.A = static_cast<int32_t>(x);
        e.B = static_cast<int32_t>(y);
        return true;
    }
    if (what == "button") {
        int64_t b = 0;
        if (t.size() != 4 || !cfg_parse_int(t[2], 1, 3, b) || !parse_state(t[3], e.VALUE)) {
            why = "expected: FRAME button 1|2|3 0|1";
            return false;
        }
        e.KIND = ToolScriptKind::MOUSE_BUTTON;
        e.A = static_cast<int32_t>(b);
        return true;
    }
    if (what == "joy") {
        int64_t j = 0;
        if (t.size() < 4 || !cfg_parse_int(t[2], 0, TOOL_NJOYSTICKS - 1, j)) {
            why = "expected: FRAME joy J (0-15) present|axis|button ...";
            return false;
        }
        e.A = static_cast<int32_t>(j);
        const std::string& part = t[3];
        if (part == "present") {
            if (t.size() != 5 || !parse_state(t[4], e.VALUE)) { why = "expected: FRAME joy J present 0|1"; return false; }
            e.KIND = ToolScriptKind::JOY_PRESENT;
            return true;
        }
        if (part == "axis") {
            int64_t a = 0;
            if (t.size() != 6 || !cfg_parse_int(t[4], 0, CONFIG_NAXES - 1, a) || !parse_float(t[5], e.VALUE)) {
                why = "expected: FRAME joy J axis A (0-5) VALUE";
                return false;
            }
            e.KIND = ToolScriptKind::JOY_AXIS;
            e.B = static_cast<int32_t>(a);
            return true;
        }
        if (part == "button") {
            int64_t b = 0;
            if (t.size() != 6 || !cfg_parse_int(t[4], 0, 31, b) || !parse_state(t[5], e.VALUE)) {
                why = "expected: FRAME joy J button B (0-31) 0|1";
                return false;
            }
            e.KIND = ToolScriptKind::JOY_BUTTON;
            e.B = static_cast<int32_t>(b);
            return true;
        }
        why = "unknown controller event \"" + part + "\"";
        return false;
    }
    why = "unknown event \"" + what + "\"";
    return false;
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
    script.EVENTS.clear();
    script.NEXT = 0;
    int32_t refused = 0;
    cfg_each_line_words(text, [&](const std::vector<std::string>& tokens, int32_t number) {
        TOOLSCRIPTEVENT e;
        std::string why;
        if (!parse_line(tokens, e, why)) {
            std::printf("%s:%d: input line refused: %s\n", source.c_str(), number, why.c_str());
            ++refused;
            return;
        }
        script.EVENTS.push_back(e);
    });
    std::stable_sort(script.EVENTS.begin(), script.EVENTS.end(),
                     [](const TOOLSCRIPTEVENT& a, const TOOLSCRIPTEVENT& b) { return a.FRAME < b.FRAME; });
    return refused;
}

bool tool_script_load(const std::string& path, TOOLSCRIPT& script) {
    std::string text;
    if (!cfg_read_text(path, text)) {
        std::printf("could not read input script %s\n", path.c_str());
        script.EVENTS.clear();
        script.NEXT = 0;
        return false;
    }
    tool_script_parse(text, script, path);
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
