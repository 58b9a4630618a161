// The GoogleTest fixture of the OpenGL tests: each suite opens one hidden Width x Height window
// (support/gl_window.h) and closes it at its end; each test skips when there is no context and
// starts with no OpenGL error pending.
#pragma once

#include <gtest/gtest.h>

#include <GL/glu.h>

#include "support/gl_window.h"

template <int Width, int Height>
class GlWindowTest : public ::testing::Test {
protected:
    static constexpr int kWidth = Width;
    static constexpr int kHeight = Height;

    static void SetUpTestSuite() { window_ = test_gl_open(Width, Height, "kv_test"); }
    static void TearDownTestSuite() { test_gl_close(window_); }
    void SetUp() override {
        if (!window_) GTEST_SKIP() << "no OpenGL context (run under xvfb-run -a)";
        test_gl_clear_errors();
    }

    static inline GLFWwindow* window_ = nullptr;
};

// Clears a W x H viewport to pure blue and looks straight down on the 64 x 64 unit square
// centred on world (CX, CZ), -Z up the picture, with lighting and fog off and the depth test
// on, so pixels carry the exact vertex and material colours. Face culling is left to the caller.
inline void gl_view_from_above(int w, int h, float cx, float cz) {
    glViewport(0, 0, w, h);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-32, 32, -32, 32, 1, 2000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(cx, 1000, cz, cx, 0, cz, 0, 0, -1);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
}
