// The road from "Load" to the briefing as a player sees it: the loading screen takes one model
// file a frame, the preloading screen one map tile a frame, both drawn over the backdrop with
// their progress ring, and the briefing follows at once. Their pictures are kept as
// build/screenshots/menu_loading.png and menu_preloading.png.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/png.h"
#include "support/pixels.h"
#include "support/saved_pilots.h"

using namespace kvtest;

namespace {

using LoadingScreens = MenuGameTest;

long model_entries() {
    const std::string text = read_file_text(kGame / "models.dat");
    long n = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) ++n;
        at = end + 1;
    }
    return n;
}

// Lit pixels (any channel above `level`) in a box around the picture's centre.
long lit_near_centre(const PngImage& img, uint32_t half, int level) {
    long n = 0;
    const uint32_t cx = img.width / 2, cy = img.height / 2;
    for (uint32_t y = cy - half; y < cy + half; ++y)
        for (uint32_t x = cx - half; x < cx + half; ++x) {
            const uint8_t* p = &img.pixels[(static_cast<size_t>(y) * img.width + x) * 4];
            if (p[0] > level || p[1] > level || p[2] > level) ++n;
        }
    return n;
}

}  // namespace

TEST_F(LoadingScreens, OneModelThenOneTileAFrameThenTheBriefing) {
    write_profiles(g, {pilot("LOADER", "ONE", 0)});
    Keys s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER");  // list, properties, Load
    const RunResult r = g.play({.name = "loading_screens",
                                .script = s.text,
                                .frames = 820,
                                .shots = {{95, "menu_loading.png"}, {400, "menu_preloading.png"}}});
    ASSERT_EQ(r.status, 0) << r.log();

    // Screen 4: LASTFILELOADED steps by one each frame; left on the frame the last entry is picked.
    const TraceRow* first4 = r.find("menu", 4);
    ASSERT_NE(first4, nullptr);
    const long start = first4->num("frame");
    EXPECT_EQ(first4->num("lastfile"), 0);
    long frames4 = 0;
    for (long f = start; r.row(f) && r.row(f)->num("menu") == 4; ++f) {
        EXPECT_EQ(r.row(f)->num("lastfile"), f - start) << "frame " << f;
        ++frames4;
    }
    EXPECT_EQ(frames4 + 1, model_entries());
    const TraceRow* first10 = r.row(start + frames4);
    ASSERT_NE(first10, nullptr);
    EXPECT_EQ(first10->num("menu"), 10);
    EXPECT_EQ(first10->num("loaded"), 1);

    // Screen 10: at least one tile compiled on every frame it shows, and the briefing right after.
    long frames10 = 0, last_tiles = first10->num("tiles") - 1;
    long f = start + frames4;
    for (; r.row(f) && r.row(f)->num("menu") == 10; ++f) {
        EXPECT_GT(r.row(f)->num("tiles"), last_tiles) << "frame " << f << " compiled no tile";
        last_tiles = r.row(f)->num("tiles");
        ++frames10;
    }
    ASSERT_NE(r.row(f), nullptr) << "the preloading screen did not finish";
    EXPECT_EQ(r.row(f)->num("menu"), 2);
    // Every fourth tile of the first half of the map: 32 rows of 16.
    EXPECT_LE(frames10, 512);
    EXPECT_GE(frames10, 400);
    std::printf("loading screen: %ld frames, preloading screen: %ld frames\n", frames4, frames10);

    // The pictures: the frames asked for were on those screens, and each shows its ring.
    ASSERT_EQ(r.at(95).num("menu"), 4);
    ASSERT_EQ(r.at(400).num("menu"), 10);
    const PngImage loading = load_shot("menu_loading.png");
    const PngImage preloading = load_shot("menu_preloading.png");
    ASSERT_TRUE(loading && preloading) << loading.reason << " / " << preloading.reason;
    EXPECT_GT(lit_near_centre(loading, 60, 120), 200);
    EXPECT_GT(lit_near_centre(preloading, 60, 120), 200);
}

// The backdrop is laid back from a kept copy once it stands at full strength; the player sees
// the same: the road from the profile list through both screens, run again with the backdrop
// drawn afresh on every frame, gives the same pictures byte for byte, over the fade-in, the
// cross-fades and the progress displays.
TEST_F(LoadingScreens, KeptBackdropShowsTheSamePicturesAsDrawingItEveryFrame) {
    Keys s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER");
    const std::vector<long> frames = {20, 30, 46, 60, 95, 121, 122, 135};
    auto run = [&](GameDir& dir, const std::string& name) {
        dir.without_profiles();
        write_profiles(dir, {pilot("LOADER", "ONE", 0)});
        Play p{.name = name, .script = s.text, .frames = 140};
        for (long f : frames) p.shots.push_back({f, name + "_" + std::to_string(f) + ".png"});
        for (const auto& shot : p.shots) fs::remove(screenshots_dir() / shot.second);
        return dir.play(p);
    };
    const RunResult kept = run(g, "backdrop_kept");
    GameDir other;
    ASSERT_TRUE(other.ok());
    ASSERT_EQ(setenv("KV_MENU_FRESH_BACKDROP", "1", 1), 0);
    const RunResult fresh = run(other, "backdrop_fresh");
    unsetenv("KV_MENU_FRESH_BACKDROP");
    ASSERT_EQ(kept.status, 0) << kept.log();
    ASSERT_EQ(fresh.status, 0) << fresh.log();
    EXPECT_EQ(kept.log().find("backdrop is drawn afresh"), std::string::npos);
    EXPECT_NE(fresh.log().find("backdrop is drawn afresh"), std::string::npos)
        << "the second run did not draw the backdrop the long way";

    // The pictures span the profile screens, the loading screen and the preloading screen.
    EXPECT_EQ(kept.at(95).num("menu"), 4);
    EXPECT_EQ(kept.at(135).num("menu"), 10);
    for (long f : frames) {
        SCOPED_TRACE("frame " + std::to_string(f));
        EXPECT_EQ(kept.at(f).num("menu"), fresh.at(f).num("menu"));
        const PngImage a = load_shot("backdrop_kept_" + std::to_string(f) + ".png");
        const PngImage b = load_shot("backdrop_fresh_" + std::to_string(f) + ".png");
        ASSERT_TRUE(a && b) << a.reason << " / " << b.reason;
        ASSERT_EQ(a.width, b.width);
        ASSERT_EQ(a.height, b.height);
        const PixelDifference d = compare_pixels(a.pixels.get(), b.pixels.get(), static_cast<size_t>(a.width) * a.height, 4,
                                                 static_cast<int>(a.width), static_cast<int>(a.height));
        EXPECT_EQ(d.pixels, 0) << d.first;
    }
}
