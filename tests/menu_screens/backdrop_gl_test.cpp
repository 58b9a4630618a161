// The kept backdrop: once at full strength the backdrop is laid back from a copy, and every
// menu frame drawn that way must be byte for byte the frame drawn the long way (colour and
// alpha), whatever screen, box or progress display lies on top, and a change of the window's
// look must never show the old copy.
#include "menu_gl.h"

#include <algorithm>
#include <cstring>

#include "menu/mission_flow.h"

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

// Pixels that differ, with the first of them named for the failure message.
struct Difference {
    long pixels = 0;
    std::string first;
};
Difference compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    Difference d;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4) {
        if (std::memcmp(&a[i], &b[i], 4) == 0) continue;
        if (d.pixels++ == 0) {
            const size_t p = i / 4;
            d.first = "first at x=" + std::to_string(p % W) + " y=" + std::to_string(H - 1 - p / W) +
                      ": " + std::to_string(a[i]) + "," + std::to_string(a[i + 1]) + "," +
                      std::to_string(a[i + 2]) + "," + std::to_string(a[i + 3]) + " against " +
                      std::to_string(b[i]) + "," + std::to_string(b[i + 1]) + "," +
                      std::to_string(b[i + 2]) + "," + std::to_string(b[i + 3]);
        }
    }
    return d;
}

// The frame drawn the long way, with no copy held before or after.
std::vector<uint8_t> drawn_afresh() {
    kv_menu_keep_backdrop(false);
    std::vector<uint8_t> f = frame_rgba();
    kv_menu_keep_backdrop(true);
    return f;
}

void two_pilots() {
    KVGLOBALS.PROFILES[0] = sample_pilot("ALICE", "HAWK");
    KVGLOBALS.PROFILES[1] = sample_pilot("BOB", "RAVEN");
    KV_MENUGLOBALS.NUMPROFILES = 2;
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
    }
};

}  // namespace

// The copy is taken on the first frame at full strength and laid back from the next: the
// loading and preloading displays, the window screens and a box on top come out the same as
// when the backdrop is drawn on every frame.
TEST_F(KeptBackdrop, LaidBackFramesEqualDrawnFramesOnEveryScreen) {
    two_pilots();
    struct Case {
        int32_t screen;
        bool box;
    };
    for (const Case c : {Case{4, false}, Case{10, false}, Case{0, false}, Case{120, false}, Case{2, false},
                         Case{200, false}, Case{10, true}}) {
        SCOPED_TRACE("screen " + std::to_string(c.screen) + (c.box ? " with a box" : ""));
        for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
        show(c.screen);
        KV_MENUGLOBALS.SELPROFILE = 0;
        KV_MENUGLOBALS.OKBOX = c.box ? 1 : 0;
        KV_MENUGLOBALS.OKFADE = c.box ? 1.0f : 0.0f;
        KV_MENUGLOBALS.OKTITLE = "NOTICE";
        KV_MENUGLOBALS.OKMESSAGE = "A box over the progress display";
        const std::vector<uint8_t> reference = drawn_afresh();
        EXPECT_FALSE(kv_menu_backdrop_kept());
        const std::vector<uint8_t> taking = frame_rgba();
        ASSERT_TRUE(kv_menu_backdrop_kept()) << "no copy was taken at full strength";
        const std::vector<uint8_t> laid_back = frame_rgba();
        const std::vector<uint8_t> again = frame_rgba();
        const Difference d1 = compare(taking, reference);
        const Difference d2 = compare(laid_back, reference);
        const Difference d3 = compare(again, reference);
        EXPECT_EQ(d1.pixels, 0) << "frame that took the copy: " << d1.first;
        EXPECT_EQ(d2.pixels, 0) << "first frame laid back: " << d2.first;
        EXPECT_EQ(d3.pixels, 0) << "second frame laid back: " << d3.first;
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
        const Difference d = compare(laid_back, drawn_afresh());
        EXPECT_EQ(d.pixels, 0) << d.first;
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
        const Difference d1 = compare(first, reference);
        const Difference d2 = compare(second, reference);
        EXPECT_EQ(d1.pixels, 0) << d1.first;
        EXPECT_EQ(d2.pixels, 0) << d2.first;
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

// The menu frame clears only the colour buffer, so no screen may depend on what the depth or
// stencil buffer holds: each frame comes out the same over a depth buffer at its nearest and a
// full stencil buffer as over freshly cleared ones.
TEST_F(KeptBackdrop, MenuFramesDoNotDependOnTheDepthOrStencilBuffer) {
    two_pilots();
    for (int32_t screen : {7, 9, 0, 110, 120, 4, 10, 2, 3, 1, 200, 5, 6}) {
        SCOPED_TRACE("screen " + std::to_string(screen));
        for (float& v : KV_MENUGLOBALS.MENUFADE) v = 0.0f;
        show(screen);
        KV_MENUGLOBALS.SELMAIN = 1;
        KV_MENUGLOBALS.SELMAINFADE[1] = 1.0f;
        KV_MENUGLOBALS.CONFIRMBOX = 1;
        KV_MENUGLOBALS.CONFIRMFADE = 1.0f;
        KV_MENUGLOBALS.CONFIRMTITLE = "CONFIRM";
        KV_MENUGLOBALS.CONFIRMMESSAGE = "Over every screen";
        const KV_MENUGLOBALSTYPE before = KV_MENUGLOBALS;
        glClearDepth(1.0);
        glClearStencil(0);
        glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        const std::vector<uint8_t> cleared = frame_rgba();
        KV_MENUGLOBALS = before;
        glClearDepth(0.0);
        glClearStencil(0xff);
        glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        const std::vector<uint8_t> filled = frame_rgba();
        glClearDepth(1.0);
        glClearStencil(0);
        const Difference d = compare(filled, cleared);
        EXPECT_EQ(d.pixels, 0) << d.first;
        EXPECT_GT(std::count_if(cleared.begin(), cleared.end(), [](uint8_t v) { return v > 40; }), 10000)
            << "the screen drew next to nothing";
    }
}
