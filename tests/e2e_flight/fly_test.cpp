// Scripted flights of the real game over the generated island (core --fly with the virtual
// clock): a route of thrust, turn, strafe and land presses (pick-up requests off a pad) checked
// against the trace; a town wall that stops the gunship; and the chase view over open ground, a
// town and the coast, kept as screenshots in the build tree and checked for the gunship, the
// buildings and the mission clock.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/png.h"
#include "support/fly_run.h"

namespace fs = std::filesystem;

namespace {

const fs::path kGame = KV_GAME_DIR;
const fs::path kOut = fs::path(KV_BUILD_DIR) / "e2e_flight";
const fs::path kShots = fs::path(KV_BUILD_DIR) / "screenshots";

using Frame = TraceFrame;

// A flight's result with a frame looked up by number.
struct FlyRun : FlyResult {
    const Frame& at(long f) const {
        for (const Frame& r : frames)
            if (r.frame == f) return r;
        static const Frame none{};
        ADD_FAILURE() << "frame " << f << " missing from the trace";
        return none;
    }
};

std::string key_of(int32_t control) { return shipped_key_of(kGame, control); }

// Runs core --fly with the virtual clock and the script; screenshots are (frame, file name in
// the build tree's screenshots folder).
FlyRun fly(const std::string& name, const std::string& script,
           const std::vector<std::pair<int, std::string>>& shots = {}) {
    std::vector<std::pair<int, fs::path>> files;
    for (const auto& [frame, file] : shots) files.emplace_back(frame, kShots / file);
    FlyRun r;
    static_cast<FlyResult&>(r) = fly_run(kGame, kOut, name, script, 3000, files);
    return r;
}

bool have_game() {
    return fs::exists(kGame / "core") && fs::exists(kGame / "0.map") &&
           fs::exists(kGame / "data/ships/gunship/gunshipLowJ.obj");
}

#define REQUIRE_FLIGHT()                                                                  \
    do {                                                                                  \
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (xvfb-run)"; \
        if (!have_game()) GTEST_SKIP() << "game directory without core, map or gunship";  \
        if (key_of(4).empty()) GTEST_SKIP() << "the shipped settings do not use keys";    \
    } while (0)

std::string press(int frame, const std::string& key, int down) {
    return std::to_string(frame) + " key " + key + " " + std::to_string(down) + "\n";
}

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
    const bool had_profiles = fs::exists(kGame / "data/profiles.dat");
    const std::string profiles = read_file_text(kGame / "data/profiles.dat");
    const FlyRun r = fly("route", script, {{100, "flight_open_ground.png"}});
    ASSERT_EQ(r.status, 0) << r.log;
    EXPECT_EQ(fs::exists(kGame / "data/profiles.dat"), had_profiles) << "a quick flight saves nothing";
    EXPECT_EQ(read_file_text(kGame / "data/profiles.dat"), profiles);
    ASSERT_FALSE(r.frames.empty()) << r.log;

    // A fresh pilot starts at once at the campaign start, heading 45, full tank, flying.
    const Frame& f1 = r.at(1);
    EXPECT_EQ(f1.x, 360.0);
    EXPECT_EQ(f1.z, 287.0);
    EXPECT_EQ(f1.heading, 45.0);
    EXPECT_EQ(f1.landed, 0);
    EXPECT_NEAR(f1.fuel, 1.0, 1e-3);
    EXPECT_EQ(f1.ammo, 9999);
    EXPECT_EQ(f1.rockets, 64);
    EXPECT_EQ(r.at(9).x, 360.0) << "no input, no drift";

    // Thrust at heading 45 drives towards -X and -Z alike, approaching 26.8 units a second.
    const Frame& t = r.at(130);
    EXPECT_LT(t.x, 335.0);
    EXPECT_NEAR(t.x - 360.0, t.z - 287.0, 0.01);
    const double speed = std::hypot(r.at(130).x - r.at(129).x, r.at(130).z - r.at(129).z) / 0.016;
    EXPECT_GT(speed, 20.0);
    EXPECT_LT(speed, 26.9);

    // Coasting slows down, turning right raises the heading while hardly moving.
    const double coast = std::hypot(r.at(200).x - r.at(199).x, r.at(200).z - r.at(199).z) / 0.016;
    EXPECT_LT(coast, speed / 4.0);
    EXPECT_EQ(r.at(199).heading, 45.0);
    EXPECT_GT(r.at(280).heading, 75.0) << "turned right";
    EXPECT_LT(std::hypot(r.at(280).x - r.at(200).x, r.at(280).z - r.at(200).z), 2.0);

    // Strafing left moves sideways: along (-sin a, cos a) of the heading a.
    const double a = r.at(300).heading * 3.14159 / 180.0;
    const double dx = r.at(380).x - r.at(300).x, dz = r.at(380).z - r.at(300).z;
    const double len = std::hypot(dx, dz);
    EXPECT_GT(len, 10.0);
    EXPECT_GT((dx * -std::sin(a) + dz * std::cos(a)) / len, 0.99);
    EXPECT_NEAR(r.at(380).heading, r.at(300).heading, 0.05) << "only the last of the turn";

    // Off a refuelling pad the land control is a pick-up request: the gunship keeps flying at
    // its hover height through both presses.
    double flying = 0;
    for (long f = 380; f < 420; ++f) flying += r.at(f).y;
    flying /= 40.0;
    for (long f = 380; f <= 800; ++f) ASSERT_EQ(r.at(f).landed, 0) << "frame " << f;
    EXPECT_NEAR(r.at(590).y, flying, 0.3);
    EXPECT_NEAR(r.at(700).y, flying, 0.3);

    // Escape ends the run on frame 800.
    EXPECT_EQ(r.frames.back().frame, 800);
    EXPECT_EQ(r.frames.back().exit, 1);
    EXPECT_LT(r.frames.back().fuel, 1.0);

    const PngImage shot = png_load((kShots / "flight_open_ground.png").string());
    expect_gunship(shot, "open ground");
}

TEST(FlyRoute, TownWallStopsTheGunship) {
    REQUIRE_FLIGHT();
    // Thrust, then thrust and strafe right: nearly due -Z into Vell's south barricade, the
    // wall cells z = 178, x = 284-298. The probe keeps the gunship 1 unit off the wall.
    const std::string up = key_of(4), sright = key_of(3);
    const FlyRun r = fly("wall", press(10, up, 1) + press(215, sright, 1) + press(520, "ESCAPE", 1),
                      {{330, "flight_town.png"}});
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_GE(r.frames.size(), 500u) << r.log;
    int against = 0;
    for (const Frame& f : r.frames) {
        if (f.x > 284.5 && f.x < 298.5) {
            EXPECT_GE(f.z, 179.99) << "inside the wall at frame " << f.frame;
            if (f.z < 180.1) ++against;
        }
    }
    EXPECT_GT(against, 100) << "the gunship should rest against the wall while thrusting";
    // Sliding along the wall westwards until its end, then on again.
    EXPECT_LT(r.at(500).x, 284.0);
    EXPECT_LT(r.at(500).z, 179.9);

    const PngImage shot = png_load((kShots / "flight_town.png").string());
    expect_gunship(shot, "town");
    const Region windows = dark_pixels(shot, 0, 0, shot.width, shot.height * 2 / 3, 0.45f);
    EXPECT_GT(windows.dark, 3000) << "the town's buildings (window bands) should be in view";
}

TEST(FlyRoute, CoastView) {
    REQUIRE_FLIGHT();
    const FlyRun r = fly("coast", press(10, key_of(3), 1) + press(260, "ESCAPE", 1),
                      {{250, "flight_coast.png"}});
    ASSERT_EQ(r.status, 0) << r.log;
    // Strafing right at heading 45 runs towards +X and -Z; the run crosses the east coast,
    // where the ground drops to the water surface (2.5 world units up) and the hover follows.
    EXPECT_GT(r.at(250).x, 400.0);
    EXPECT_LT(r.at(250).z, 245.0);
    EXPECT_LT(r.at(250).y, r.at(150).y - 1.0);
    const PngImage shot = png_load((kShots / "flight_coast.png").string());
    expect_gunship(shot, "coast");
}
