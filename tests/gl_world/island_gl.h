// The OpenGL fixture of the island frame suites: one hidden window per suite with the generated
// island loaded from the game directory, which stays the current directory until the suite
// ends (the game runs from there and finds its building meshes there). Every test skips when
// the map has not been generated.
#pragma once

#include <filesystem>
#include <string>

#include "support/gl_context.h"
#include "support/island_scene.h"

template <int Width, int Height>
class IslandGlTest : public GlWindowTest<Width, Height> {
protected:
    using Window = GlWindowTest<Width, Height>;

    static bool have_map() { return std::filesystem::exists(std::string(KV_GAME_DIR) + "/0.map"); }
    static void SetUpTestSuite() {
        if (!have_map()) return;
        Window::SetUpTestSuite();
        if (!Window::window_) return;
        old_dir_ = std::filesystem::current_path();
        std::filesystem::current_path(KV_GAME_DIR);
        test_island_load();
    }
    static void TearDownTestSuite() {
        if (!old_dir_.empty()) std::filesystem::current_path(old_dir_);
        Window::TearDownTestSuite();
    }
    void SetUp() override {
        if (!have_map()) GTEST_SKIP() << "no generated map in " << KV_GAME_DIR;
        Window::SetUp();
    }

    static inline std::filesystem::path old_dir_;
};
