// The HUD drawn with a real OpenGL context from the built game directory's assets: the asset
// loader keeps tables a mission file filled, the progress panel lights its ring by progress
// (damaged values drawn as empty), and the mission clock draws readings the panel was not made
// for. Pictures go to the build tree's screenshots folder.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "engine/engine_globals.h"
#include "engine/font.h"
#include "engine/gameclock.h"
#include "engine/initialize.h"
#include "engine/png_write.h"
#include "engine/system.h"
#include "game/hud.h"
#include "game/kv_globals.h"
#include "support/gl_context.h"

namespace fs = std::filesystem;

namespace {

const fs::path kGame = KV_GAME_DIR;
const fs::path kShots = fs::path(KV_BUILD_DIR) / "screenshots";

class HudGl : public GlWindowTest<640, 480> {
protected:
    static void SetUpTestSuite() {
        GlWindowTest<640, 480>::SetUpTestSuite();
        if (!window_ || !fs::exists(kGame / "data/icons/gear.obj")) return;
        old_dir_ = fs::current_path();
        fs::current_path(kGame);
        INITIALIZE_OPENGL();
        INITIALIZE_WINDOWRESIZECALLBACK(kWidth, kHeight);
        FONT_LOADFONT("vera");
        // A mission file already declared its crates and check points.
        KVGLOBALSTYPE& g = KVGLOBALS;
        g.AIRDROPDATA.assign(3, AIRDROPTYPE{});
        g.AIRDROPDATA[2].PAYLOAD = 4;
        g.AIRDROPCOUNT = 2;
        g.CHECKPOINTDATA.assign(5, CHECKPOINTTYPE{});
        g.CHECKPOINTDATA[4].CLASS = 2;
        g.CHECKPOINTCOUNT = 5;
        KV_LOAD_MISC();
        loaded_ = true;
    }
    static void TearDownTestSuite() {
        if (loaded_) fs::current_path(old_dir_);
        GlWindowTest<640, 480>::TearDownTestSuite();
    }
    void SetUp() override {
        GlWindowTest<640, 480>::SetUp();
        if (!loaded_) GTEST_SKIP() << "no built game directory";
    }

    // The frame as RGB rows, top first; also written to the screenshots folder when named.
    std::vector<uint8_t> grab(const char* name = nullptr) {
        std::vector<uint8_t> px(static_cast<size_t>(kWidth) * kHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, px.data());
        std::vector<uint8_t> top(px.size());
        for (int y = 0; y < kHeight; ++y)
            std::copy_n(&px[static_cast<size_t>(kHeight - 1 - y) * kWidth * 3], kWidth * 3,
                        &top[static_cast<size_t>(y) * kWidth * 3]);
        if (name) {
            fs::create_directories(kShots);
            png_write_file((kShots / name).string(), kWidth, kHeight, 3, top.data());
        }
        return top;
    }

    static int count(const std::vector<uint8_t>& px, bool (*test)(const uint8_t*)) {
        int n = 0;
        for (size_t i = 0; i + 2 < px.size(); i += 3)
            if (test(&px[i])) ++n;
        return n;
    }

    std::vector<uint8_t> draw_panel(const std::string& text, float progress, const char* name = nullptr) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        KVGLOBALS.LOADINGALPHA = 1.0f;
        KVGLOBALS.MISSIONSTARTED = 1;
        glPushMatrix();
        SYSTEM_2DPLANE_SET_FULL();
        KV_RENDER_LOADING(text, progress);
        SYSTEM_2DPLANE_CLEAR();
        glPopMatrix();
        return grab(name);
    }

    static inline fs::path old_dir_;
    static inline bool loaded_ = false;
};

bool lit_segment(const uint8_t* p) { return p[0] > 120 && p[1] > 120 && p[2] > 100 && p[0] < 250; }
bool clock_red(const uint8_t* p) { return p[0] > 200 && p[1] < 100 && p[2] < 80; }

}  // namespace

TEST_F(HudGl, AssetLoaderKeepsTablesAMissionFileFilled) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    EXPECT_EQ(g.AIRDROPDATA.size(), 3u);
    EXPECT_EQ(g.AIRDROPCOUNT, 2);
    EXPECT_EQ(g.AIRDROPDATA[2].PAYLOAD, 4);
    EXPECT_EQ(g.CHECKPOINTDATA.size(), 5u);
    EXPECT_EQ(g.CHECKPOINTCOUNT, 5);
    EXPECT_EQ(g.CHECKPOINTDATA[4].CLASS, 2);
    EXPECT_EQ(g.ARMOURCLASSNAME[0], "Light");
    EXPECT_EQ(g.ARMOURCLASSNAME[2], "Heavy");
    for (int i = 0; i < SEVENSEGMENT_SLOTS; ++i) EXPECT_GT(g.SEVENSEGMENTDL[i], 0) << i;
    for (int i = 0; i < EXPLOSIONTEX_SLOTS; ++i) EXPECT_GT(g.EXPLOSIONTEX[i], 0) << i;
    EXPECT_GT(g.ICONGEAR.DL, 0);
    EXPECT_GT(g.ICONSEL.DL, 0);
    EXPECT_GT(g.MISSIONCLOCKBGDL, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HudGl, ProgressRingLightsByProgress) {
    const int none = count(draw_panel("REFUELING", 0.0f), lit_segment);
    const int half = count(draw_panel("REFUELING", 0.5f, "rules_progress_panel.png"), lit_segment);
    const int full = count(draw_panel("REFUELING", 1.0f), lit_segment);
    EXPECT_LT(none, half);
    EXPECT_LT(half, full);
    EXPECT_GT(half - none, 500) << "ten lit segments";
    // A progress from a zero divisor draws as an empty or a full ring, never anything else.
    EXPECT_EQ(count(draw_panel("REFUELING", std::numeric_limits<float>::quiet_NaN()), lit_segment), none);
    EXPECT_EQ(count(draw_panel("REFUELING", std::numeric_limits<float>::infinity()), lit_segment), full);
    EXPECT_EQ(count(draw_panel("REFUELING", -3.0f), lit_segment), none);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HudGl, ClockDrawsOddReadingsWithinItsPanel) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.CURPROFILE = 0;
    PROFILETYPE& p = g.PROFILES[0];
    auto draw_clock = [&](double reading, const char* name) {
        p.MISSIONCLOCK.CURR = reading;
        glClearColor(0.71f, 0.68f, 0.63f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        KV_RENDER_MISSIONCLOCK();
        return grab(name);
    };
    const int normal = count(draw_clock(754.321, "rules_clock.png"), clock_red);
    EXPECT_GT(normal, 800) << "red digits on the panel";
    const std::vector<uint8_t> negative = draw_clock(-3723.5, nullptr);  // "-1:-2:-3.500"
    const int minus = count(negative, clock_red);
    EXPECT_GT(minus, 200);
    EXPECT_LT(minus, normal) << "the minus signs draw nothing";
    const int huge = count(draw_clock(1.0e9, nullptr), clock_red);  // hours beyond 99
    EXPECT_GT(huge, 800);
    // No digit strays beyond the panel's right end (x 8.6 at depth 40, about 80% across).
    const std::vector<uint8_t> px = draw_clock(1.0e9, nullptr);
    int outside = 0;
    for (int y = 0; y < kHeight / 4; ++y)
        for (int x = kWidth * 17 / 20; x < kWidth; ++x)
            if (clock_red(&px[(static_cast<size_t>(y) * kWidth + x) * 3])) ++outside;
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HudGl, FramedPanelShadedInsideAWhiteOutline) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    SYSTEM_2DPLANE_SET_FULL();
    KV_RENDER_WINDOW(100, 100, 300, 200, 1.0f);
    SYSTEM_2DPLANE_CLEAR();
    glPopMatrix();
    const std::vector<uint8_t> px = grab("rules_framed_panel.png");
    auto at = [&](int x, int y) { return &px[(static_cast<size_t>(y) * kWidth + x) * 3]; };
    // Between the edge and the inset: the navy base at half strength over black.
    EXPECT_NEAR(at(101, 150)[2], 0.4 * 0.5 * 255, 4);
    // Inside the inset: lighter blue near the top than near the bottom.
    EXPECT_GT(at(200, 110)[2], at(200, 190)[2] + 20);
    // The outline of the inset is grey-white at half strength; outside the panel stays black.
    const uint8_t* line = at(200, 104);
    EXPECT_GT(line[0], 100);
    EXPECT_GT(line[1], 100);
    EXPECT_EQ(at(50, 50)[0] + at(50, 50)[1] + at(50, 50)[2], 0);
    EXPECT_EQ(at(320, 150)[2], 0);
    // A fade of 0 draws nothing.
    glClear(GL_COLOR_BUFFER_BIT);
    glPushMatrix();
    SYSTEM_2DPLANE_SET_FULL();
    KV_RENDER_WINDOW(100, 100, 300, 200, 0.0f);
    SYSTEM_2DPLANE_CLEAR();
    glPopMatrix();
    const std::vector<uint8_t> none = grab();
    EXPECT_EQ(count(none, [](const uint8_t* p) { return p[0] + p[1] + p[2] > 0; }), 0);
}
