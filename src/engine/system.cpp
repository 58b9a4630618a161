// Frame-end bookkeeping, live tuning, the 2D overlay and the run controls (see system.h).
#include "engine/system.h"

#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include <cmath>

#include "engine/engine_globals.h"
#include "engine/profiling.h"
#include "engine/screenshot.h"
#include "engine/textfile.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/window.h"

namespace {
int64_t g_frame = 1;
int64_t g_frame_limit = 0;
void (*g_frame_end_hook)(int64_t) = nullptr;
}  // namespace

void system_frame_tick(int32_t now_ms) {
    int32_t prev = SYSTEM_TICKS;
    SYSTEM_TICKS = now_ms;
    FPSR = FPSR + ((static_cast<float>(SYSTEM_TICKS - prev) / 16.0f) - FPSR) * 0.2f;
    FP += 1;
    if (SYSTEM_TICKS > SYSTEM_NEXTTICKS) {
        SYSTEM_NEXTTICKS = SYSTEM_TICKS + 1000;
        FPS = FP;
        FP = 0;
    }
}

void SYSTEM_UPD_FPSR() {
    system_frame_tick(platform_clock_ms());
    platform_sleep_ms(10);
    if (g_frame_end_hook) g_frame_end_hook(g_frame);
    if (g_frame_limit > 0 && g_frame >= g_frame_limit) platform_request_quit();
    ++g_frame;
    platform_clock_advance_frame();
    platform_input_apply_frame(g_frame);
}

void SYSTEM_2DPLANE_SET_FULL() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glLoadIdentity();
    glViewport(0, 0, OPENGLPROPERTIES.SCR_WIDTH, OPENGLPROPERTIES.SCR_HEIGHT);
    glOrtho(0.0, OPENGLPROPERTIES.SCR_WIDTH - 1.0, OPENGLPROPERTIES.SCR_HEIGHT - 1.0, 0.0, -1.0,
            1.0);
}

void SYSTEM_2DPLANE_CLEAR() {
    glViewport(0, 0, OPENGLPROPERTIES.SCR_WIDTH, OPENGLPROPERTIES.SCR_HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glLoadIdentity();
}

std::string system_tuning_line(float x, float y, float z) {
    return profiling_zone(text_single(x)) + profiling_zone(text_single(y)) + text_single(z) +
           "\x1b[K\r\n";
}

void SYSTEM_PROCESS_ADJUSTMENT_INPUTS() {
    float step = 0.1f * FPSR;
    if (platform_key_down(GLFW_KEY_S)) TEMPX -= step;
    if (platform_key_down(GLFW_KEY_F)) TEMPX += step;
    if (platform_key_down(GLFW_KEY_E)) TEMPY -= step;
    if (platform_key_down(GLFW_KEY_D)) TEMPY += step;
    if (platform_key_down(GLFW_KEY_W)) TEMPZ -= step;
    if (platform_key_down(GLFW_KEY_R)) TEMPZ += step;
    if (console_readouts_enabled()) {
        console_home();
        console_readout(system_tuning_line(TEMPX, TEMPY, TEMPZ));
    }
}

void system_swap_buffers() {
    screenshot_capture_if_due(g_frame);
    platform_window_swap();
}

int64_t system_frame_number() { return g_frame; }
void system_reset_frames() { g_frame = 1; }
void system_set_frame_limit(int64_t last) { g_frame_limit = last > 0 ? last : 0; }
void system_set_frame_end_hook(void (*hook)(int64_t)) { g_frame_end_hook = hook; }
