// The menu screens in the real game: core started on the virtual clock in a private game
// directory (version check off) draws its first menu screen and fades it in over its first
// frames, then quits cleanly when the frame limit is reached.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/png.h"
#include "support/game_run.h"

namespace {

// Sum of all colour bytes of a screenshot; -1 when it cannot be decoded.
long long brightness(const std::filesystem::path& file) {
    PngImage img = png_load(file.string());
    if (!img) return -1;
    long long t = 0;
    const size_t n = static_cast<size_t>(img.width) * img.height;
    for (size_t i = 0; i < n; ++i) t += img.pixels[i * 4] + img.pixels[i * 4 + 1] + img.pixels[i * 4 + 2];
    return t;
}

TEST(MenuRun, TheFirstMenuScreenFadesInOverItsFirstFrames) {
    KV_REQUIRE_DISPLAY();
    kvtest::GameDir g;  // the version check answered: off
    ASSERT_TRUE(g.ok());
    const kvtest::RunResult r =
        g.run("--fixed-step 16 --seed 1 --frames 40 --screenshot 2:early.png --screenshot 40:late.png");
    ASSERT_EQ(r.status, 0) << r.err;
    const long long early = brightness(g / "early.png");
    const long long late = brightness(g / "late.png");
    ASSERT_GE(early, 0);
    ASSERT_GT(late, 0);
    // A 1024 x 768 frame: the screen at full opacity is far brighter than two frames in.
    EXPECT_GT(late, 1024LL * 768 * 20) << "the menu drew its screen";
    EXPECT_GT(late, 3 * early + 1) << "it faded in rather than appearing at once";
}

}  // namespace
