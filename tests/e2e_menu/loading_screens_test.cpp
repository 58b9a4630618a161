// The road from "Load" to the briefing as a player sees it: the loading screen takes one model
// file a frame, the preloading screen one map tile a frame, both drawn over the backdrop with
// their progress ring, and the briefing follows at once. Their pictures are kept as
// build/screenshots/menu_loading.png and menu_preloading.png.
#include <gtest/gtest.h>

#include "engine/png.h"
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
