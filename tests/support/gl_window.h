// The hidden OpenGL window of the test programs and benchmarks: GLFW started and one invisible
// window with a legacy OpenGL context (24-bit depth buffer) made current. Under xvfb-run the
// X server may still be coming up when a program starts, so opening tries again a few times
// while DISPLAY names a server. Free of GoogleTest so benchmarks use it too; the test fixture
// is in gl_context.h.
#pragma once

#include <GLFW/glfw3.h>
#include <GL/gl.h>

#include <chrono>
#include <cstdlib>
#include <thread>

// The window, or nullptr (GLFW stopped again) when no display or no context can be had.
inline GLFWwindow* test_gl_open(int width, int height, const char* title) {
    const char* display = std::getenv("DISPLAY");
    const int attempts = display && *display ? 5 : 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (!glfwInit()) continue;
        glfwDefaultWindowHints();
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        glfwWindowHint(GLFW_DEPTH_BITS, 24);
        GLFWwindow* window = glfwCreateWindow(width, height, title, nullptr, nullptr);
        if (window) {
            glfwMakeContextCurrent(window);
            return window;
        }
        glfwTerminate();
    }
    return nullptr;
}

// Destroys the window (if any) and stops GLFW; the pointer is left null.
inline void test_gl_close(GLFWwindow*& window) {
    if (window) glfwDestroyWindow(window);
    window = nullptr;
    glfwTerminate();
}

// Drops the OpenGL errors left pending by earlier work, so a check sees only its own.
inline void test_gl_clear_errors() {
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
}
