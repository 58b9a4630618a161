// The game window through GLFW 3 (see window.h).
#include "platform/window.h"

#include <GLFW/glfw3.h>

#include <chrono>
#include <thread>

#include "platform/clock.h"

namespace {
GLFWwindow* g_window = nullptr;
void (*g_size_callback)(int32_t, int32_t) = nullptr;
bool g_quit = false;
bool g_glfw_started = false;
std::string g_glfw_error;

void on_glfw_error(int /*code*/, const char* text) {
    g_glfw_error = text ? text : "";
}

double glfw_seconds() { return glfwGetTime(); }

void on_size(GLFWwindow* /*window*/, int width, int height) {
    if (g_size_callback) g_size_callback(width, height);
}
}  // namespace

bool platform_glfw_start() {
    if (g_glfw_started) return true;
    glfwSetErrorCallback(on_glfw_error);
    g_glfw_error.clear();
    g_glfw_started = glfwInit() == GLFW_TRUE;
    return g_glfw_started;
}

bool platform_glfw_running() { return g_glfw_started; }

bool platform_window_open(const PLATFORM_WINDOW_REQUEST& r, std::string& why) {
    why.clear();
    if (g_window) {
        why = "a window is already open";
        return false;
    }
    if (r.WIDTH <= 0 || r.HEIGHT <= 0 || r.WIDTH > PLATFORM_MAX_WINDOW_SIDE || r.HEIGHT > PLATFORM_MAX_WINDOW_SIDE) {
        why = "window size " + std::to_string(r.WIDTH) + " x " + std::to_string(r.HEIGHT) +
              " is not a usable size (1-" + std::to_string(PLATFORM_MAX_WINDOW_SIDE) + " a side)";
        return false;
    }
    // A display server that is just resetting (its previous last client went away) refuses
    // connections for a moment; try a few times before giving up.
    bool started = platform_glfw_start();
    for (int attempt = 0; !started && attempt < 20; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        started = platform_glfw_start();
    }
    if (!started) {
        why = "the windowing library could not start" +
              (g_glfw_error.empty() ? std::string() : " (" + g_glfw_error + ")");
        return false;
    }
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_RED_BITS, r.RED);
    glfwWindowHint(GLFW_GREEN_BITS, r.GREEN);
    glfwWindowHint(GLFW_BLUE_BITS, r.BLUE);
    glfwWindowHint(GLFW_ALPHA_BITS, r.ALPHA);
    glfwWindowHint(GLFW_DEPTH_BITS, r.DEPTH);
    glfwWindowHint(GLFW_STENCIL_BITS, r.STENCIL);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
    GLFWmonitor* monitor = r.FULLSCREEN ? glfwGetPrimaryMonitor() : nullptr;
    g_window = glfwCreateWindow(r.WIDTH, r.HEIGHT, r.TITLE.c_str(), monitor, nullptr);
    if (!g_window) {
        why = "the windowing library refused a " + std::to_string(r.WIDTH) + " x " +
              std::to_string(r.HEIGHT) + (r.FULLSCREEN ? " full-screen" : "") + " window" +
              (g_glfw_error.empty() ? std::string() : " (" + g_glfw_error + ")");
        glfwTerminate();
        g_glfw_started = false;
        return false;
    }
    glfwMakeContextCurrent(g_window);
    glfwSwapInterval(0);
    // Live game time is the windowing library's clock from here on.
    platform_clock_set_live_source(glfw_seconds);
    g_quit = false;
    return true;
}

bool platform_display_size(int32_t& width, int32_t& height) {
    bool started = platform_glfw_start();
    for (int attempt = 0; !started && attempt < 20; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        started = platform_glfw_start();
    }
    if (!started) return false;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (mode == nullptr || mode->width <= 0 || mode->height <= 0) return false;
    width = mode->width;
    height = mode->height;
    return true;
}

bool platform_window_is_open() { return g_window != nullptr; }

void platform_window_close() {
    if (g_window) {
        glfwDestroyWindow(g_window);
        g_window = nullptr;
        g_size_callback = nullptr;
        platform_clock_set_live_source(nullptr);
    }
    if (g_glfw_started) {
        glfwTerminate();
        g_glfw_started = false;
    }
}

void platform_window_set_size_callback(void (*callback)(int32_t, int32_t)) {
    g_size_callback = callback;
    if (!g_window) return;
    glfwSetWindowSizeCallback(g_window, callback ? on_size : nullptr);
    if (callback) {
        int w = 0, h = 0;
        glfwGetWindowSize(g_window, &w, &h);
        callback(w, h);
    }
}

void platform_window_set_size(int32_t width, int32_t height) {
    if (g_window && width > 0 && height > 0) glfwSetWindowSize(g_window, width, height);
}

void platform_window_size(int32_t& width, int32_t& height) {
    int w = 0, h = 0;
    if (g_window) glfwGetWindowSize(g_window, &w, &h);
    width = w;
    height = h;
}

void platform_window_swap() {
    if (!g_window) return;
    glfwSwapBuffers(g_window);
    glfwPollEvents();
    if (glfwWindowShouldClose(g_window)) g_quit = true;
}

void platform_window_poll() {
    if (!g_window) return;
    glfwPollEvents();
    if (glfwWindowShouldClose(g_window)) g_quit = true;
}

void platform_window_hide_cursor() {
    if (g_window) glfwSetInputMode(g_window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
}

bool platform_quit_requested() { return g_quit; }
void platform_request_quit() { g_quit = true; }
void platform_clear_quit_request() { g_quit = false; }

GLFWwindow* platform_window_handle() { return g_window; }
