// The kept backdrop: once at full strength the backdrop is laid back from a copy, and every
// menu frame drawn that way must be byte for byte the frame drawn the long way (colour and
// alpha), whatever screen, box, cross-fade or progress display lies on top, over whatever the
// depth and stencil buffers hold, and a change of the window's look must never show the old copy.
#include "menu_gl.h"

#include <algorithm>

#include "menu/mission_flow.h"
#include "support/pixels.h"

using namespace menu_test;

namespace {

// One menu frame read back as RGBA, bottom row first.
std::vector<uint8_t> frame_rgba() {
    KV_MENU_RENDER();
    glFinish();
    std::vector<uint8_t> v(static_cast<size_t>(W) * H * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, v.data());
    return v;
}

// Both frames the same to the byte; the failure names the first pixel that is not.
::testing::AssertionResult same_frames(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return ::testing::AssertionFailure() << "frames of different sizes";
    const kvtest::PixelDifference d = kvtest::compare_pixels(a.data(), b.data(), a.size() / 4, 4, W, H);
    if (d.pixels == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << d.pixels << " pixels differ, " << d.first;
}

// The frame drawn the long way, with no copy held before or after.
std::vector<uint8_t> drawn_afresh() {
    kv_menu_keep_backdrop(false);
    std::vector<uint8_t> f = frame_rgba();
    kv_menu_keep_backdrop(true);
    return f;
}

// Depth and stencil buffers freshly cleared, or filled with the nearest depth and every stencil bit.
void depth_and_stencil(bool filled) {
    glClearDepth(filled ? 0.0 : 1.0);
    glClearStencil(filled ? 0xff : 0);
    glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glClearDepth(1.0);
    glClearStencil(0);
}

class KeptBackdrop : public MenuGl {
protected:
    void SetUp() override {
        MenuGl::SetUp();
        kv_menu_keep_backdrop(false);  // no copy from an earlier test
        kv_menu_keep_backdrop(true);
    }
    void TearDown() override {
        OPENGLPROPERTIES.SCR_WIDTH = W;
        glViewport(0, 0, W, H);  // as the window's resize handling would set it
        kv_menu_keep_backdrop(false);
        kv_menu_keep_backdrop(true);
        depth_and_stencil(false);
    }
};

enum class OnTop { nothing, ok_box, confirm_box, cross_fade };

}  // namespace

// Every screen, bare, under a box, or cross-fading from the screen before it: the frame that
// takes the copy and the frames laid back from it come out the same as the frame drawn the
// long way; the copy is taken on the first frame at full strength and only then; and since the
// menu frame clears only the colour buffer, a depth buffer at its nearest and a full stencil
// buffer change nothing, drawn either way.
TEST_F(KeptBackdrop, EveryScreenLooksTheSameLaidBackAsDrawnAfresh) {
    KVGLOBALS.PROFILES[0] = sample_pilot("ALICE", "HAWK");
    KVGLOBALS.PROFILES[1] = sample_pilot("BOB", "RAVEN");
    KV_MENUGLOBALS.NUMPROFILES = 2;
    struct Case {
        int32_t screen;
        OnTop on_top;
        int32_t from = -1;  // the screen fading out, for a cross-fade
    };
    std::vector<Case> cases;
    for (int32_t screen : {7, 9, 0, 110, 120, 4, 10, 2, 3, 1, 200, 5, 6}) cases.push_back({screen, OnTop::confirm_box});
    for (int32_t screen : {4, 10, 0, 120, 2, 200}) cases.push_back({screen, OnTop::nothing});
    cases.push_back({10, OnTop::ok_box});
    cases.push_back({120, OnTop::cross_fade, 0});
    cases.push_back({4, OnTop::cross_fade, 120});
    for (const Case& c : cases) {
        const char* on_top[] = {"bare", "under an OK box", "under a confirm box", "cross-fading in from screen "};
        SCOPED_TRACE("screen " + std::to_string(c.screen) + " " + on_top[static_cast<int>(c.on_top)] +
                     (c.from >= 0 ? std::to_string(c.from) : ""));
        kv_menu_keep_backdrop(false);  // the next frame at full strength takes a copy
        kv_menu_keep_backdrop(true);
        for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
        show(c.screen);
        KV_MENUGLOBALS.SELPROFILE = 0;
        KV_MENUGLOBALS.OKBOX = c.on_top == OnTop::ok_box ? 1 : 0;
        KV_MENUGLOBALS.OKFADE = c.on_top == OnTop::ok_box ? 1.0f : 0.0f;
        KV_MENUGLOBALS.OKTITLE = "NOTICE";
        KV_MENUGLOBALS.OKMESSAGE = "A box over the progress display";
        if (c.on_top == OnTop::confirm_box) {
            KV_MENUGLOBALS.SELMAIN = 1;
            KV_MENUGLOBALS.SELMAINFADE[1] = 1.0f;
            KV_MENUGLOBALS.CONFIRMBOX = 1;
            KV_MENUGLOBALS.CONFIRMFADE = 1.0f;
            KV_MENUGLOBALS.CONFIRMTITLE = "CONFIRM";
            KV_MENUGLOBALS.CONFIRMMESSAGE = "Over every screen";
        } else {
            KV_MENUGLOBALS.CONFIRMBOX = 0;
            KV_MENUGLOBALS.CONFIRMFADE = 0.0f;
        }
        if (c.on_top == OnTop::cross_fade) {
            KV_MENUGLOBALS.MENUFADE[c.from] = 0.45f;
            KV_MENUGLOBALS.MENUFADE[c.screen] = 0.55f;
        }
        const bool full_strength = KV_MENUGLOBALS.MENUFADE[900] >= 1.0f;
        // Each frame starts from the same state: a frame moves the fades on.
        const KV_MENUGLOBALSTYPE before = KV_MENUGLOBALS;
        const auto frame_over = [&](bool filled, bool afresh) {
            KV_MENUGLOBALS = before;
            depth_and_stencil(filled);
            return afresh ? drawn_afresh() : frame_rgba();
        };
        const std::vector<uint8_t> reference = frame_over(false, true);
        EXPECT_GT(std::count_if(reference.begin(), reference.end(), [](uint8_t v) { return v > 40; }), 10000)
            << "the screen drew next to nothing";
        EXPECT_FALSE(kv_menu_backdrop_kept());
        EXPECT_TRUE(same_frames(frame_over(true, true), reference)) << "drawn afresh over a filled depth and stencil buffer";
        EXPECT_TRUE(same_frames(frame_over(false, false), reference)) << "frame that took the copy";
        ASSERT_EQ(kv_menu_backdrop_kept(), full_strength) << "a copy is taken exactly when the backdrop stands at full strength";
        EXPECT_TRUE(same_frames(frame_over(true, false), reference)) << "first frame laid back, over a filled depth and stencil buffer";
        EXPECT_TRUE(same_frames(frame_over(false, false), reference)) << "second frame laid back";
    }
}

// While the backdrop fades in over the title screen the title shows through it: no copy is
// taken then, and the first frames at full strength show no trace of the title.
TEST_F(KeptBackdrop, NoCopyIsTakenWhileTheTitleShowsThrough) {
    KV_MENUGLOBALS.CURMENU = 0;
    KV_MENUGLOBALS.MENUFADE[7] = 1.0f;
    KV_MENUGLOBALS.MENUFADE[900] = 0.5f;
    // Each frame draws the backdrop at its fade, then raises it by 0.05 and lowers the title.
    int frames = 0;
    while (KV_MENUGLOBALS.MENUFADE[900] < 1.0f && frames < 40) {
        frame_rgba();
        ++frames;
        EXPECT_FALSE(kv_menu_backdrop_kept()) << "a copy was taken through the fade, frame " << frames;
    }
    ASSERT_EQ(KV_MENUGLOBALS.MENUFADE[900], 1.0f);
    ASSERT_GT(KV_MENUGLOBALS.MENUFADE[7], 0.0f) << "the title should still be under the backdrop";
    frame_rgba();
    ASSERT_TRUE(kv_menu_backdrop_kept());
    // The title fades on under the laid-back copy: each frame equals the one drawn the long way.
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const KV_MENUGLOBALSTYPE before = KV_MENUGLOBALS;
        const std::vector<uint8_t> laid_back = frame_rgba();
        KV_MENUGLOBALS = before;
        EXPECT_TRUE(same_frames(laid_back, drawn_afresh()));
    }
}

// A different spacer, picture or window width is drawn afresh (and kept anew), never shown from
// the copy of the old look.
TEST_F(KeptBackdrop, AChangedLookIsDrawnAfreshNotLaidBackStale) {
    show(4);
    frame_rgba();
    frame_rgba();
    ASSERT_TRUE(kv_menu_backdrop_kept());
    const auto check = [](const char* what) {
        SCOPED_TRACE(what);
        const std::vector<uint8_t> first = frame_rgba();
        const std::vector<uint8_t> second = frame_rgba();
        const std::vector<uint8_t> reference = drawn_afresh();
        EXPECT_TRUE(same_frames(first, reference));
        EXPECT_TRUE(same_frames(second, reference));
        frame_rgba();
        EXPECT_TRUE(kv_menu_backdrop_kept());
    };
    KV_MENUGLOBALS.YSPACER = 0.12f * H;
    check("spacer");
    KV_MENUGLOBALS.WORLDMAPTEX = KV_MENUGLOBALS.GUNSHIPTEX;
    check("world map picture");
    KV_MENUGLOBALS.MISSIONTEX = 0;
    check("no mission picture");
    KV_MENUGLOBALS.MISSIONTEX = saved_tex_[0];
    OPENGLPROPERTIES.SCR_WIDTH = 800;
    check("window width");
}

// The texture side that holds a window side.
TEST(MenuSnapshotSide, AnySizeOrTheNextPowerOfTwoWithinTheDriversLimit) {
    EXPECT_EQ(menu_snapshot_side(768, true, 16384), 768);
    EXPECT_EQ(menu_snapshot_side(768, false, 16384), 1024);
    EXPECT_EQ(menu_snapshot_side(1024, false, 1024), 1024);
    EXPECT_EQ(menu_snapshot_side(1, false, 1024), 1);
    EXPECT_EQ(menu_snapshot_side(1025, false, 2048), 2048);
    // Too large for the driver, before or after rounding up.
    EXPECT_EQ(menu_snapshot_side(1025, false, 1024), 0);
    EXPECT_EQ(menu_snapshot_side(1025, true, 1024), 0);
    EXPECT_EQ(menu_snapshot_side(1500, false, 1500), 0);
    EXPECT_EQ(menu_snapshot_side(16385, false, 16384), 0);
    // No window, or no driver limit known.
    EXPECT_EQ(menu_snapshot_side(0, true, 1024), 0);
    EXPECT_EQ(menu_snapshot_side(-4, false, 1024), 0);
    EXPECT_EQ(menu_snapshot_side(64, false, 0), 0);
    // The largest power of two an int holds is never overrun.
    EXPECT_EQ(menu_snapshot_side(1 << 30, false, 0x7fffffff), 1 << 30);
    EXPECT_EQ(menu_snapshot_side((1 << 30) + 1, false, 0x7fffffff), 0);
}
