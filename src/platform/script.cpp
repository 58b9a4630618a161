// The input-script reader (see script.h).
#include "platform/script.h"

#include <GLFW/glfw3.h>

#include "platform/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {
struct KeyName {
    const char* name;
    int32_t key;
};

const KeyName kKeyNames[] = {
    {"SPACE", GLFW_KEY_SPACE}, {"APOSTROPHE", GLFW_KEY_APOSTROPHE}, {"COMMA", GLFW_KEY_COMMA},
    {"MINUS", GLFW_KEY_MINUS}, {"PERIOD", GLFW_KEY_PERIOD}, {"SLASH", GLFW_KEY_SLASH},
    {"SEMICOLON", GLFW_KEY_SEMICOLON}, {"EQUAL", GLFW_KEY_EQUAL},
    {"LEFT_BRACKET", GLFW_KEY_LEFT_BRACKET}, {"BACKSLASH", GLFW_KEY_BACKSLASH},
    {"RIGHT_BRACKET", GLFW_KEY_RIGHT_BRACKET}, {"GRAVE_ACCENT", GLFW_KEY_GRAVE_ACCENT},
    {"ESCAPE", GLFW_KEY_ESCAPE}, {"ENTER", GLFW_KEY_ENTER}, {"TAB", GLFW_KEY_TAB},
    {"BACKSPACE", GLFW_KEY_BACKSPACE}, {"INSERT", GLFW_KEY_INSERT}, {"DELETE", GLFW_KEY_DELETE},
    {"RIGHT", GLFW_KEY_RIGHT}, {"LEFT", GLFW_KEY_LEFT}, {"DOWN", GLFW_KEY_DOWN},
    {"UP", GLFW_KEY_UP}, {"PAGE_UP", GLFW_KEY_PAGE_UP}, {"PAGE_DOWN", GLFW_KEY_PAGE_DOWN},
    {"HOME", GLFW_KEY_HOME}, {"END", GLFW_KEY_END}, {"CAPS_LOCK", GLFW_KEY_CAPS_LOCK},
    {"SCROLL_LOCK", GLFW_KEY_SCROLL_LOCK}, {"NUM_LOCK", GLFW_KEY_NUM_LOCK},
    {"PRINT_SCREEN", GLFW_KEY_PRINT_SCREEN}, {"PAUSE", GLFW_KEY_PAUSE},
    {"KP_DECIMAL", GLFW_KEY_KP_DECIMAL}, {"KP_DIVIDE", GLFW_KEY_KP_DIVIDE},
    {"KP_MULTIPLY", GLFW_KEY_KP_MULTIPLY}, {"KP_SUBTRACT", GLFW_KEY_KP_SUBTRACT},
    {"KP_ADD", GLFW_KEY_KP_ADD}, {"KP_ENTER", GLFW_KEY_KP_ENTER}, {"KP_EQUAL", GLFW_KEY_KP_EQUAL},
    {"LEFT_SHIFT", GLFW_KEY_LEFT_SHIFT}, {"LEFT_CONTROL", GLFW_KEY_LEFT_CONTROL},
    {"LEFT_ALT", GLFW_KEY_LEFT_ALT}, {"LEFT_SUPER", GLFW_KEY_LEFT_SUPER},
    {"RIGHT_SHIFT", GLFW_KEY_RIGHT_SHIFT}, {"RIGHT_CONTROL", GLFW_KEY_RIGHT_CONTROL},
    {"RIGHT_ALT", GLFW_KEY_RIGHT_ALT}, {"RIGHT_SUPER", GLFW_KEY_RIGHT_SUPER},
    {"MENU", GLFW_KEY_MENU},
};

}  // namespace

bool script_word_int(const std::string& s, int64_t lo, int64_t hi, int64_t& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end == s.c_str() || *end != '\0') return false;
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

bool script_word_state(const std::string& word, float& out) {
    int64_t n = 0;
    if (!script_word_int(word, 0, 1, n)) return false;
    out = static_cast<float>(n);
    return true;
}

namespace {
bool parse_float(const std::string& s, float lo, float hi, float& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    float v = std::strtof(s.c_str(), &end);
    if (errno != 0 || end == s.c_str() || *end != '\0' || !std::isfinite(v)) return false;
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}
}  // namespace

int32_t script_key_from_name(const std::string& name) {
    if (name.size() == 1) {
        char c = name[0];
        if (c >= 'A' && c <= 'Z') return GLFW_KEY_A + (c - 'A');
        if (c >= '0' && c <= '9') return GLFW_KEY_0 + (c - '0');
    }
    if (name.size() == 4 && name.compare(0, 3, "KP_") == 0 && name[3] >= '0' && name[3] <= '9')
        return GLFW_KEY_KP_0 + (name[3] - '0');
    if (name.size() >= 2 && name[0] == 'F') {
        int64_t n = 0;
        if (script_word_int(name.substr(1), 1, 25, n)) return GLFW_KEY_F1 + static_cast<int32_t>(n) - 1;
    }
    for (const KeyName& k : kKeyNames)
        if (name == k.name) return k.key;
    return -1;
}

SCRIPTPARSE script_parse(const std::string& text, const std::string& source, std::span<const SCRIPTVERB> verbs) {
    SCRIPTPARSE out;
    std::istringstream in(text);
    std::string line;
    int64_t lineno = 0;
    auto refuse = [&](const std::string& why) {
        out.ERRORS.push_back(source + " line " + std::to_string(lineno) + ": " + why +
                             "; line skipped");
    };
    while (std::getline(in, line)) {
        ++lineno;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        std::string word;
        while (words >> word) w.push_back(word);
        if (w.empty()) continue;
        SCRIPTEVENT e;
        int64_t n = 0;
        if (!script_word_int(w[0], 0, SCRIPT_LAST_FRAME, n)) {
            refuse("frame number \"" + w[0] + "\" is not a whole number from 0");
            continue;
        }
        e.FRAME = n;
        const int64_t n_frame = n;
        if (w.size() >= 2 && w[1] == "key") {
            if (w.size() != 4) { refuse("expected FRAME key NAME 0|1"); continue; }
            e.KIND = ScriptEventKind::KEY;
            e.KEY = script_key_from_name(w[2]);
            if (e.KEY < 0) { refuse("unknown key name \"" + w[2] + "\""); continue; }
            if (!script_word_int(w[3], 0, 1, n)) { refuse("key state must be 0 or 1"); continue; }
            e.VALUE = static_cast<float>(n);
        } else if (w.size() >= 2 && w[1] == "joy") {
            if (w.size() < 4) { refuse("expected FRAME joy J present|axis|button ..."); continue; }
            if (!script_word_int(w[2], 0, PLATFORM_JOYSTICKS - 1, n)) {
                refuse("controller number must be 0 to 15");
                continue;
            }
            e.JOY = static_cast<int32_t>(n);
            const std::string& what = w[3];
            if (what == "present") {
                if (w.size() != 5 || !script_word_int(w[4], 0, 1, n)) {
                    refuse("expected FRAME joy J present 0|1");
                    continue;
                }
                e.KIND = ScriptEventKind::JOY_PRESENT;
                e.VALUE = static_cast<float>(n);
            } else if (what == "axis") {
                if (w.size() != 6) { refuse("expected FRAME joy J axis A VALUE"); continue; }
                if (!script_word_int(w[4], 0, PLATFORM_JOYAXES - 1, n)) {
                    refuse("axis number must be 0 to 5");
                    continue;
                }
                e.INDEX = static_cast<int32_t>(n);
                if (w[5] == "none") {
                    e.KIND = ScriptEventKind::JOY_NO_AXIS;
                } else if (!parse_float(w[5], -1.0f, 1.0f, e.VALUE)) {
                    refuse("axis value must be a number from -1 to 1 or none");
                    continue;
                } else {
                    e.KIND = ScriptEventKind::JOY_AXIS;
                }
            } else if (what == "button") {
                if (w.size() != 6) { refuse("expected FRAME joy J button B 0|1"); continue; }
                if (!script_word_int(w[4], 0, PLATFORM_JOYBUTTONS - 1, n)) {
                    refuse("button number must be 0 to 31");
                    continue;
                }
                e.INDEX = static_cast<int32_t>(n);
                if (!script_word_int(w[5], 0, 1, n)) { refuse("button state must be 0 or 1"); continue; }
                e.VALUE = static_cast<float>(n);
                e.KIND = ScriptEventKind::JOY_BUTTON;
            } else {
                refuse("unknown controller event \"" + what + "\"");
                continue;
            }
        } else {
            const std::string verb = w.size() >= 2 ? w[1] : "";
            int32_t v = 0;
            while (v < static_cast<int32_t>(verbs.size()) && verb != verbs[v].NAME) ++v;
            if (v == static_cast<int32_t>(verbs.size())) {
                std::string known = "\"key\"";
                for (const SCRIPTVERB& sv : verbs) known += ", \"" + std::string(sv.NAME) + "\"";
                refuse("expected " + known + " or \"joy\" after the frame number");
                continue;
            }
            e.KIND = ScriptEventKind::EXTRA;
            e.VERB = v;
            std::string why;
            if (!verbs[v].PARSE(std::vector<std::string>(w.begin() + 2, w.end()), e, why)) {
                refuse(why.empty() ? "malformed \"" + verb + "\" line" : why);
                continue;
            }
            e.KIND = ScriptEventKind::EXTRA;
            e.VERB = v;
            e.FRAME = n_frame;
        }
        out.EVENTS.push_back(e);
    }
    std::stable_sort(out.EVENTS.begin(), out.EVENTS.end(),
                     [](const SCRIPTEVENT& a, const SCRIPTEVENT& b) { return a.FRAME < b.FRAME; });
    return out;
}

bool script_load(const std::string& path, SCRIPTPARSE& out, std::string& why, std::span<const SCRIPTVERB> verbs) {
    std::string text, reason;
    // A regular file of bounded size only: a folder, a pipe or an endless device is refused.
    if (!file_read_capped(path, SCRIPT_FILE_MAX_BYTES, text, reason)) {
        why = "cannot read input script " + path + ": " + reason;
        return false;
    }
    out = script_parse(text, path, verbs);
    return true;
}
