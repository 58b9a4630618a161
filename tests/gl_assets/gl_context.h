// A hidden GLFW window with a legacy OpenGL context, made current for the OpenGL tests of the
// asset code (textures, mesh renderers). Tests skip when no display is available.
#pragma once

#include <GLFW/glfw3.h>

class GlContextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!glfwInit()) return;
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        window_ = glfwCreateWindow(64, 64, "gl_assets", nullptr, nullptr);
        if (window_) glfwMakeContextCurrent(window_);
    }
    static void TearDownTestSuite() {
        if (window_) glfwDestroyWindow(window_);
        window_ = nullptr;
        glfwTerminate();
    }
    void SetUp() override {
        if (!window_) GTEST_SKIP() << "no OpenGL context (run under xvfb-run -a)";
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    static inline GLFWwindow* window_ = nullptr;
};
