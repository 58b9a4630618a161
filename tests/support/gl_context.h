// The GoogleTest fixture of the OpenGL tests: each suite opens one hidden Width x Height window
// (support/gl_window.h) and closes it at its end; each test skips when there is no context and
// starts with no OpenGL error pending.
#pragma once

#include <gtest/gtest.h>

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
