// The menu screens under a real OpenGL context: the game's own window (1024 x 768) opened in
// the built game directory with its fonts, menu pictures, minimap and missions, a fresh menu
// state per test, and helpers to render one menu frame, read it back and keep it as a PNG in
// build/screenshots/.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_globals.h"
#include "engine/fontdb.h"
#include "engine/initialize.h"
#include "engine/png_write.h"
#include "engine/screenshot.h"
#include "engine/texture.h"
#include "game/kv_globals.h"
#include "game/mission.h"
#include "menu/menu_draw.h"
#include "menu/menu_globals.h"
#include "menu/menu_render.h"
#include "platform/window.h"

namespace menu_test {

constexpr int W = 1024, H = 768;

// An RGB frame, top row first.
struct Frame {
    std::vector<uint8_t> rgb;
    int r(int x, int y) const { return rgb[(static_cast<size_t>(y) * W + x) * 3]; }
    int g(int x, int y) const { return rgb[(static_cast<size_t>(y) * W + x) * 3 + 1]; }
    int b(int x, int y) const { return rgb[(static_cast<size_t>(y) * W + x) * 3 + 2]; }
    int sum(int x, int y) const { return r(x, y) + g(x, y) + b(x, y); }
    // Pixels of the rectangle that differ from `o` by more than `tol` in any channel.
    int differing(const Frame& o, int x1, int y1, int x2, int y2, int tol = 6) const {
        int n = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                if (std::abs(r(x, y) - o.r(x, y)) > tol || std::abs(g(x, y) - o.g(x, y)) > tol ||
                    std::abs(b(x, y) - o.b(x, y)) > tol)
                    ++n;
        return n;
    }
    // Pixels of the rectangle brighter than `level` in every channel (white text).
    int bright(int x1, int y1, int x2, int y2, int level = 200) const {
        int n = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                if (r(x, y) > level && g(x, y) > level && b(x, y) > level) ++n;
        return n;
    }
    // Pixels where red clearly dominates (the highlight bands and alert accents).
    int reddish(int x1, int y1, int x2, int y2) const {
        int n = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                if (r(x, y) > 60 && r(x, y) > 2 * g(x, y) && r(x, y) > 2 * b(x, y)) ++n;
        return n;
    }
    long total() const {
        long t = 0;
        for (uint8_t v : rgb) t += v;
        return t;
    }
};

class MenuGl : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        old_dir_ = std::filesystem::current_path();
        std::filesystem::current_path(KV_GAME_DIR);
        OPENGLPROPERTIES.SCR_WIDTH = W;
        OPENGLPROPERTIES.SCR_HEIGHT = H;
        OPENGLPROPERTIES.SCR_BITS = 32;
        OPENGLPROPERTIES.SCR_FULLSCREEN = SCR_MODE_WINDOW;
        std::string why;
        open_ = INITIALIZE_GLFW(why);
        if (!open_) return;
        INITIALIZE_OPENGL();
        INITIALIZE_FONTDB();
        kv_menu_load_screen_assets();
        remember_textures();
        uint32_t tex = 0;
        LOAD_TEXTUREL(tex, "data/maps/0/minimap.png");
        KVGLOBALS.MINIMAPTEX = static_cast<int32_t>(tex);
        KV_MISSION_LOADMISSIONDATA();
        KVGLOBALS.ARMOURCLASSNAME[0] = "Light";
        KVGLOBALS.ARMOURCLASSNAME[1] = "Medium";
        KVGLOBALS.ARMOURCLASSNAME[2] = "Heavy";
        std::filesystem::create_directories(std::string(KV_BUILD_DIR) + "/screenshots");
    }
    static void TearDownTestSuite() {
        if (open_) platform_window_close();
        std::filesystem::current_path(old_dir_);
    }
    void SetUp() override {
        if (!open_) GTEST_SKIP() << "no window (run under xvfb-run -a)";
        KV_MENUGLOBALS = KV_MENUGLOBALSTYPE{};
        KV_MENUGLOBALS.YSPACER = 0.1f * H;
        KV_MENUGLOBALS.MISSIONTEX = saved_tex_[0];
        KV_MENUGLOBALS.WORLDMAPTEX = saved_tex_[1];
        KV_MENUGLOBALS.GUNSHIPTEX = saved_tex_[2];
        KV_MENUGLOBALS.LASTFILELOADED = -1;
        KV_MENUGLOBALS.LOADINGCOMPLETED = 0;
        KVGLOBALS.MISSIONSTARTED = 0;
        KVGLOBALS.CURPROFILE = 0;
        KVGLOBALS.ALERTMSG.clear();
        FPSR = 1.0f;
    }
    static void remember_textures() {
        saved_tex_[0] = KV_MENUGLOBALS.MISSIONTEX;
        saved_tex_[1] = KV_MENUGLOBALS.WORLDMAPTEX;
        saved_tex_[2] = KV_MENUGLOBALS.GUNSHIPTEX;
    }

    // Shows one screen as the current, fully faded-in one (with the backdrop behind it).
    static void show(int32_t screen) {
        KV_MENUGLOBALS.CURMENU = screen;
        KV_MENUGLOBALS.MENUFADE[screen] = 1.0f;
        if (screen != 7 && screen != 9) KV_MENUGLOBALS.MENUFADE[900] = 1.0f;
    }

    // One menu frame, read back; kept as build/screenshots/<name>.png when a name is given.
    static Frame render(const std::string& name = "") {
        KV_MENU_RENDER();
        glFinish();
        Frame f;
        f.rgb = screenshot_read_rgb(W, H);
        if (!name.empty())
            png_write_file(std::string(KV_BUILD_DIR) + "/screenshots/" + name + ".png", W, H, 3,
                           f.rgb.data());
        return f;
    }

    // The menu window rectangle of this window size.
    static int win_left() { return W / 2 - 300; }
    static int win_right() { return W / 2 + 300; }
    static int win_top() { return static_cast<int>(std::nearbyint(2.462f * 0.1f * H)); }
    static int win_bottom() { return win_top() + 328; }
    static int content_top() { return win_top() + 10; }

    static inline bool open_ = false;
    static inline std::filesystem::path old_dir_;
    static inline int32_t saved_tex_[3] = {0, 0, 0};
};

// A pilot with everything the information block shows.
inline PROFILETYPE sample_pilot(const std::string& name, const std::string& callsign) {
    PROFILETYPE p;
    p.NAME = name;
    p.CALLSIGN = callsign;
    p.GAMECLOCKSTRING = "01:23:45.678";
    p.MISSIONNUM = 1;
    p.ARMOUR = 0.85f;
    p.ARMOURCLASS = 1;
    p.FUEL = 0.6f;
    p.VT90S = 8000;
    p.ROCKETS = 24;
    p.MINES = 0;
    p.USWSF = 4;
    p.ENGINEERS = 2;
    p.FCPKIT = 1;
    p.RESEARCHINGTECHNOLOGY = -1;
    p.COMPLETEDTECHNOLOGY[0] = 1;
    return p;
}

}  // namespace menu_test
