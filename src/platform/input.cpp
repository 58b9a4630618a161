// Key and controller state, live and scripted (see input.h).
#include "platform/input.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <vector>

#include "platform/window.h"

namespace {
bool g_scripted = false;
PlatformInputProvider g_provider = nullptr;
std::vector<SCRIPTEVENT> g_events;
size_t g_next_event = 0;
bool g_keys[GLFW_KEY_LAST + 1] = {};
PLATFORM_JOYSTATE g_joys[PLATFORM_JOYSTICKS];
// What the provider decided (kept apart from the script's own state).
bool g_provided_keys[GLFW_KEY_LAST + 1] = {};
PLATFORM_JOYSTATE g_provided_joys[PLATFORM_JOYSTICKS];

void apply_script_events(int64_t frame);

float clamp_axis(float v) {
    if (!std::isfinite(v)) return 0.0f;
    return v < -1.0f ? -1.0f : (v > 1.0f ? 1.0f : v);
}
}  // namespace

bool platform_key_down(int32_t key) {
    if (key < 0 || key > GLFW_KEY_LAST) return false;
    if (g_provider) return g_provided_keys[key];
    if (g_scripted) return g_keys[key];
    GLFWwindow* w = platform_window_handle();
    return w != nullptr && glfwGetKey(w, key) == GLFW_PRESS;
}

PLATFORM_JOYSTATE platform_joystick(int32_t j) {
    PLATFORM_JOYSTATE s;
    if (j < 0 || j >= PLATFORM_JOYSTICKS) return s;
    if (g_provider) return g_provided_joys[j];
    if (g_scripted) return g_joys[j];
    // Controllers answer before the window exists (the start-up probe); one failed start is
    // not retried here, so a machine without a display is not asked sixteen times.
    static bool start_failed = false;
    if (!platform_window_is_open()) {
        if (start_failed) return s;
        if (!platform_glfw_start()) {
            start_failed = true;
            return s;
        }
    }
    if (!glfwJoystickPresent(GLFW_JOYSTICK_1 + j)) return s;
    s.PRESENT = true;
    int naxes = 0, nbuttons = 0;
    const float* axes = glfwGetJoystickAxes(GLFW_JOYSTICK_1 + j, &naxes);
    for (int a = 0; axes && a < naxes && a < PLATFORM_JOYAXES; ++a) s.AXES[a] = clamp_axis(axes[a]);
    const unsigned char* buttons = glfwGetJoystickButtons(GLFW_JOYSTICK_1 + j, &nbuttons);
    for (int b = 0; buttons && b < nbuttons && b < PLATFORM_JOYBUTTONS; ++b)
        if (buttons[b] == GLFW_PRESS) s.BUTTONS |= (uint32_t{1} << b);
    return s;
}

bool platform_joystick_present(int32_t j) { return platform_joystick(j).PRESENT; }

void platform_input_use_script(const SCRIPTPARSE& script) {
    g_scripted = true;
    g_events = script.EVENTS;
    g_next_event = 0;
    for (bool& k : g_keys) k = false;
    for (PLATFORM_JOYSTATE& j : g_joys) j = PLATFORM_JOYSTATE{};
    platform_input_apply_frame(0);
}

bool platform_input_scripted() { return g_scripted; }

void platform_input_use_provider(PlatformInputProvider provider) {
    if (provider && !g_provider) {
        for (bool& k : g_provided_keys) k = false;
        for (PLATFORM_JOYSTATE& j : g_provided_joys) j = PLATFORM_JOYSTATE{};
    }
    g_provider = provider;
}

bool platform_input_source_any_key() {
    GLFWwindow* w = g_scripted ? nullptr : platform_window_handle();
    for (int32_t k = GLFW_KEY_SPACE; k <= GLFW_KEY_LAST; ++k) {
        if (g_scripted && g_keys[k]) return true;
        if (w != nullptr && glfwGetKey(w, k) == GLFW_PRESS) return true;
    }
    return false;
}

bool platform_input_provided() { return g_provider != nullptr; }

void platform_input_apply_frame(int64_t frame) {
    apply_script_events(frame);
    if (g_provider) {
        g_provider(frame, g_provided_keys, GLFW_KEY_LAST + 1, g_provided_joys);
        for (PLATFORM_JOYSTATE& j : g_provided_joys)
            for (float& a : j.AXES) a = clamp_axis(a);
    }
}

namespace {
void apply_script_events(int64_t frame) {
    if (!g_scripted) return;
    while (g_next_event < g_events.size() && g_events[g_next_event].FRAME <= frame) {
        const SCRIPTEVENT& e = g_events[g_next_event++];
        bool on = e.VALUE != 0.0f;
        switch (e.KIND) {
            case ScriptEventKind::KEY:
                if (e.KEY >= 0 && e.KEY <= GLFW_KEY_LAST) g_keys[e.KEY] = on;
                break;
            case ScriptEventKind::JOY_PRESENT:
                if (e.JOY >= 0 && e.JOY < PLATFORM_JOYSTICKS) g_joys[e.JOY].PRESENT = on;
                break;
            case ScriptEventKind::JOY_AXIS:
                if (e.JOY >= 0 && e.JOY < PLATFORM_JOYSTICKS && e.INDEX >= 0 &&
                    e.INDEX < PLATFORM_JOYAXES)
                    g_joys[e.JOY].AXES[e.INDEX] = clamp_axis(e.VALUE);
                break;
            case ScriptEventKind::JOY_NO_AXIS:
                // A controller without this axis: it reads 0, as a missing axis of a live one.
                if (e.JOY >= 0 && e.JOY < PLATFORM_JOYSTICKS && e.INDEX >= 0 &&
                    e.INDEX < PLATFORM_JOYAXES)
                    g_joys[e.JOY].AXES[e.INDEX] = 0.0f;
                break;
            case ScriptEventKind::JOY_BUTTON:
                if (e.JOY >= 0 && e.JOY < PLATFORM_JOYSTICKS && e.INDEX >= 0 && e.INDEX < PLATFORM_JOYBUTTONS) {
                    uint32_t bit = uint32_t{1} << e.INDEX;
                    g_joys[e.JOY].BUTTONS = on ? (g_joys[e.JOY].BUTTONS | bit)
                                               : (g_joys[e.JOY].BUTTONS & ~bit);
                }
                break;
            case ScriptEventKind::EXTRA:
                break;  // a verb of another program: nothing of the game's input
        }
    }
}
}  // namespace
