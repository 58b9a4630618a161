// Scripted flights of the real game over the generated island (core --fly with the virtual
// clock): a route of thrust, turn, strafe and land presses (pick-up requests off a pad) checked
// against the trace; a town wall that stops the gunship; and the chase view over open ground, a
// town and the coast, kept as screenshots in the build tree and checked for the gunship, the
// buildings and the mission clock.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "support/game_run.h"

namespace fs = std::filesystem;

using kvtest::GameDir;
using kvtest::RunResult;

namespace {

std::string key_of(int32_t control) { return kvtest::shipped_key_of(control); }

std::string press(int frame, const std::string& key, int down) { return kvtest::key_line(frame, key, down); }

// Flies at most 3000 frames of 16 ms in G with the script; screenshots are (frame, file name in
// the build tree's screenshots folder).
RunResult fly(const GameDir& g, const std::string& name, const std::string& script,
              const std::vector<std::pair<long, fs::path>>& shots = {}) {
    return g.play({.name = name, .script = script, .frames = 3000, .fly = true, .shots = shots});
}

#define REQUIRE_FLIGHT()                                                                                   \
    do {                                                                                                   \
        KV_REQUIRE_GAME();                                                                                 \
        if (!fs::exists(kvtest::kGame / "data/ships/gunship/gunshipLowJ.obj")) GTEST_SKIP() << "no gunship"; \
        if (key_of(4).empty()) GTEST_SKIP() << "the shipped settings do not use keys";                     \
    } while (0)

// Pixel statistics of a screenshot region, rows counted from the top of the view: how many
// pixels are dark (gunship hull, windows). Decoded images are RGBA, bottom row first.
struct Region {
    int dark = 0;
    int total = 0;
};

Region dark_pixels(const PngImage& img, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1,
                   float below) {
    Region r;
    for (uint32_t y = y0; y < y1 && y < img.height; ++y) {
        for (uint32_t x = x0; x < x1 && x < img.width; ++x) {
            const uint8_t* p = img.pixels.get() + (static_cast<size_t>(img.height - 1 - y) * img.width + x) * 4;
            const float lum = (0.3f * p[0] + 0.59f * p[1] + 0.11f * p[2]) / 255.0f;
            r.total++;
            if (lum < below) r.dark++;
        }
    }
    return r;
}

// The gunship sits in the lower middle of the chase view: a patch of dark olive hull.
void expect_gunship(const PngImage& img, const char* what) {
    ASSERT_TRUE(img) << what << ": " << img.reason;
    const uint32_t w = img.width, h = img.height;
    const Region g = dark_pixels(img, w * 2 / 5, h * 2 / 3, w * 3 / 5, h * 7 / 8, 0.4f);
    EXPECT_GT(g.dark, 300) << what << ": no gunship in the lower middle";
    // The mission clock's dark panel spans the top middle of the frame; below it lies haze.
    const Region clock = dark_pixels(img, w * 3 / 10, h / 20, w * 7 / 10, h * 3 / 25, 0.4f);
    EXPECT_GT(clock.dark, clock.total / 2) << what << ": no mission clock panel at the top";
    const Region sky = dark_pixels(img, w / 5, h * 3 / 20, w * 4 / 5, h / 5, 0.4f);
    EXPECT_LT(sky.dark, sky.total / 20) << what << ": below the clock the view should be haze";
}

}  // namespace

TEST(FlyRoute, ThrustTurnStrafeAndLandRequestOffAPad) {
    REQUIRE_FLIGHT();
    const std::string up = key_of(4), right = key_of(1), sleft = key_of(2), land = key_of(6);
    const std::string script = press(10, up, 1) + press(130, up, 0) + press(200, right, 1) +
                               press(260, right, 0) + press(300, sleft, 1) + press(360, sleft, 0) +
                               press(420, land, 1) + press(422, land, 0) + press(600, land, 1) +
                               press(602, land, 0) + press(800, "ESCAPE", 1);
    GameDir g;
    ASSERT_TRUE(g.ok());
    const bool had_profiles = fs::exists(g / "data/profiles.dat");
    const std::string profiles = read_file_text(g / "data/profiles.dat");
    const RunResult r = fly(g, "route", script, {{100, "flight_open_ground.png"}});
    ASSERT_EQ(r.status, 0) << r.log();
    EXPECT_EQ(fs::exists(g / "data/profiles.dat"), had_profiles) << "a quick flight saves nothing";
    EXPECT_EQ(read_file_text(g / "data/profiles.dat"), profiles);
    ASSERT_FALSE(r.rows.empty()) << r.log();

    // A fresh pilot starts at once at the campaign start, heading 45, full tank, flying.
    const kvtest::TraceRow& f1 = r.at(1);
    EXPECT_EQ(f1.d("x"), 360.0);
    EXPECT_EQ(f1.d("z"), 287.0);
    EXPECT_EQ(f1.d("heading"), 45.0);
    EXPECT_EQ(f1.i("landed"), 0);
    EXPECT_NEAR(f1.d("fuel"), 1.0, 1e-3);
    EXPECT_EQ(f1.i("ammo"), 9999);
    EXPECT_EQ(f1.i("rockets"), 64);
    EXPECT_EQ(r.at(9).d("x"), 360.0) << "no input, no drift";

    // Thrust at heading 45 drives towards -X and -Z alike, approaching 26.8 units a second.
    const kvtest::TraceRow& t = r.at(130);
    EXPECT_LT(t.d("x"), 335.0);
    EXPECT_NEAR(t.d("x") - 360.0, t.d("z") - 287.0, 0.01);
    const double speed = std::hypot(r.at(130).d("x") - r.at(129).d("x"), r.at(130).d("z") - r.at(129).d("z")) / 0.016;
    EXPECT_GT(speed, 20.0);
    EXPECT_LT(speed, 26.9);

    // Coasting slows down, turning right raises the heading while hardly moving.
    const double coast = std::hypot(r.at(200).d("x") - r.at(199).d("x"), r.at(200).d("z") - r.at(199).d("z")) / 0.016;
    EXPECT_LT(coast, speed / 4.0);
    EXPECT_EQ(r.at(199).d("heading"), 45.0);
    EXPECT_GT(r.at(280).d("heading"), 75.0) << "turned right";
    EXPECT_LT(std::hypot(r.at(280).d("x") - r.at(200).d("x"), r.at(280).d("z") - r.at(200).d("z")), 2.0);

    // Strafing left moves sideways: along (-sin a, cos a) of the heading a.
    const double a = r.at(300).d("heading") * 3.14159 / 180.0;
    const double dx = r.at(380).d("x") - r.at(300).d("x"), dz = r.at(380).d("z") - r.at(300).d("z");
    const double len = std::hypot(dx, dz);
    EXPECT_GT(len, 10.0);
    EXPECT_GT((dx * -std::sin(a) + dz * std::cos(a)) / len, 0.99);
    EXPECT_NEAR(r.at(380).d("heading"), r.at(300).d("heading"), 0.05) << "only the last of the turn";

    // Off a refuelling pad the land control is a pick-up request: the gunship keeps flying at
    // its hover height through both presses.
    double flying = 0;
    for (long f = 380; f < 420; ++f) flying += r.at(f).d("y");
    flying /= 40.0;
    for (long f = 380; f <= 800; ++f) ASSERT_EQ(r.at(f).i("landed"), 0) << "frame " << f;
    EXPECT_NEAR(r.at(590).d("y"), flying, 0.3);
    EXPECT_NEAR(r.at(700).d("y"), flying, 0.3);

    // Escape ends the run on frame 800.
    EXPECT_EQ(r.rows.back().i("frame"), 800);
    EXPECT_EQ(r.rows.back().i("exit"), 1);
    EXPECT_LT(r.rows.back().d("fuel"), 1.0);

    const PngImage shot = kvtest::load_shot("flight_open_ground.png");
    expect_gunship(shot, "open ground");
}

TEST(FlyRoute, TownWallStopsTheGunship) {
    REQUIRE_FLIGHT();
    // Thrust, then thrust and strafe right: nearly due -Z into Vell's south barricade, the
    // wall cells z = 178, x = 284-298. The probe keeps the gunship 1 unit off the wall.
    const std::string up = key_of(4), sright = key_of(3);
    GameDir g;
    ASSERT_TRUE(g.ok());
    const RunResult r = fly(g, "wall", press(10, up, 1) + press(215, sright, 1) + press(520, "ESCAPE", 1),
                      {{330, "flight_town.png"}});
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_GE(r.rows.size(), 500u) << r.log();
    int against = 0;
    for (const kvtest::TraceRow& f : r.rows) {
        if (f.d("x") > 284.5 && f.d("x") < 298.5) {
            EXPECT_GE(f.d("z"), 179.99) << "inside the wall at frame " << f.i("frame");
            if (f.d("z") < 180.1) ++against;
        }
    }
    EXPECT_GT(against, 100) << "the gunship should rest against the wall while thrusting";
    // Sliding along the wall westwards until its end, then on again.
    EXPECT_LT(r.at(500).d("x"), 284.0);
    EXPECT_LT(r.at(500).d("z"), 179.9);

    const PngImage shot = kvtest::load_shot("flight_town.png");
    expect_gunship(shot, "town");
    const Region windows = dark_pixels(shot, 0, 0, shot.width, shot.height * 2 / 3, 0.45f);
    EXPECT_GT(windows.dark, 3000) << "the town's buildings (window bands) should be in view";
}

TEST(FlyRoute, CoastView) {
    REQUIRE_FLIGHT();
    GameDir g;
    ASSERT_TRUE(g.ok());
    const RunResult r = fly(g, "coast", press(10, key_of(3), 1) + press(260, "ESCAPE", 1),
                      {{250, "flight_coast.png"}});
    ASSERT_EQ(r.status, 0) << r.log();
    // Strafing right at heading 45 runs towards +X and -Z; the run crosses the east coast,
    // where the ground drops to the water surface (2.5 world units up) and the hover follows.
    EXPECT_GT(r.at(250).d("x"), 400.0);
    EXPECT_LT(r.at(250).d("z"), 245.0);
    EXPECT_LT(r.at(250).d("y"), r.at(150).d("y") - 1.0);
    const PngImage shot = kvtest::load_shot("flight_coast.png");
    expect_gunship(shot, "coast");
}
