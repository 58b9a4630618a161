// The pictures of the player's guide, taken from the real game with --screenshot: the title
// screen, a mission briefing, a mission in flight with its HUD, and the demolition blast. Every
// run uses a private copy of the game directory with a 640 x 480 window (the size the README
// shows them at) on the virtual clock; the pictures go to build/guide/, and scripts/guide-shots
// copies them into docs/. Each picture is checked to show what its caption says, and the trace
// of its frame to come from the screen or phase it is meant to show.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/png.h"
#include "support/game_run.h"

namespace {

namespace fs = std::filesystem;
using kvtest::count_pixels;
using kvtest::RunResult;
using kvtest::TraceRow;

const fs::path kShots = fs::path(KV_BUILD_DIR) / "guide";

// A private game directory with a 640 x 480 window, the version question answered (checking
// off) and no saved pilots, so every run starts from the same title screen.
struct GuideGame {
    GuideGame() {
        dir.set_window(640, 480);
        dir.without_profiles();
    }
    // core on the virtual clock (50 ms frames) with SEED for FRAMES frames, further options ARGS
    // and the key script SCRIPT, its frame SHOT_AT pictured as build/guide/SHOT when one is named.
    RunResult run(const std::string& name, int seed, long frames, const std::string& args,
                  const std::string& script = "", long shot_at = 0, const std::string& shot = "") const {
        kvtest::Play p{.name = name, .script = script, .frames = frames, .step = 50, .seed = seed, .args = args, .timeout = 900};
        if (!shot.empty()) p.shots = {{shot_at, kShots / shot}};
        return dir.play(p);
    }
    kvtest::GameDir dir;
};

// The run ended well, its trace holds frame AT, and its picture FILE is a 640 x 480 image,
// decoded into IMG.
::testing::AssertionResult pictured(const RunResult& r, long at, const std::string& file, PngImage& img) {
    if (r.status != 0) return ::testing::AssertionFailure() << "the run ended with status " << r.status;
    if (!r.row(at)) return ::testing::AssertionFailure() << "the trace has no frame " << at;
    img = png_load((kShots / file).string());
    if (!img) return ::testing::AssertionFailure() << file << ": " << img.reason;
    if (img.width != 640 || img.height != 480)
        return ::testing::AssertionFailure() << file << " is " << img.width << " x " << img.height;
    return ::testing::AssertionSuccess();
}

bool pale(uint8_t r, uint8_t g, uint8_t b) { return r > 170 && g > 170 && b > 170; }
bool red(uint8_t r, uint8_t g, uint8_t b) { return r > 170 && g < 120 && b < 100; }
// The fireballs' orange and yellow under the haze (the clock's pure red does not count).
bool fire(uint8_t r, uint8_t g, uint8_t b) { return r > 150 && r > g + 25 && g > b + 15 && g > 90; }
bool dark(uint8_t r, uint8_t g, uint8_t b) { return r < 100 && g < 100 && b < 100; }
bool panel_blue(uint8_t r, uint8_t g, uint8_t b) { return b > 80 && b > r + 40 && b > g + 10; }

class GuideShots : public ::testing::Test {
protected:
    void SetUp() override {
        KV_REQUIRE_DISPLAY();
        ASSERT_TRUE(game.dir.ok());
    }
    GuideGame game;
};

TEST_F(GuideShots, TitleScreen) {
    const RunResult r = game.run("title", 1, 62, "", "", 60, "guide_title.png");
    PngImage img;
    ASSERT_TRUE(pictured(r, 60, "guide_title.png", img));
    EXPECT_EQ(r.row(60)->at("menu"), "7") << "the main menu";
    EXPECT_EQ(r.row(60)->at("box"), "none") << "no question over it";
    // The game's name in pale letters across the upper third, the highlighted first item as a
    // red bar below it, and dark corners.
    EXPECT_GT(count_pixels(img, 80, 90, 560, 170, pale), 3000);
    EXPECT_GT(count_pixels(img, 120, 185, 520, 220, red), 3000);
    EXPECT_EQ(count_pixels(img, 0, 400, 80, 480, pale), 0);
}

TEST_F(GuideShots, MissionBriefing) {
    // Through the menu as a player: load profile, NEW PROFILE, a name and a call sign, Accept,
    // Load; then the loading screens and the first page of the mission window, left standing.
    kvtest::Keys script;
    long frame = 20;
    auto tap = [&](const std::string& key) {
        script.hold(frame, frame + 1, key);
        frame += 10;
    };
    tap("ENTER");                                // load profile
    tap("ENTER");                                // NEW PROFILE
    for (const char* k : {"V", "O", "S", "S"}) tap(k);
    tap("ENTER");                                // to the call sign
    for (const char* k : {"K", "I", "T", "E"}) tap(k);
    tap("ENTER");                                // to Accept
    tap("ENTER");                                // Accept: the profile properties
    tap("ENTER");                                // Load
    // The map is compiled a tile a frame while the loading screens show; the briefing then stays.
    const long at = 1200;
    const RunResult r = game.run("briefing", 1, at + 2, "", script.text, at, "guide_briefing.png");
    PngImage img;
    ASSERT_TRUE(pictured(r, at, "guide_briefing.png", img));
    EXPECT_EQ(r.row(at)->at("menu"), "2") << "the briefing page was not up by frame " << at;
    EXPECT_EQ(r.row(at)->at("mission"), "0");
    // The pilot exists on disk now, as the menu creates it.
    EXPECT_TRUE(fs::exists(game.dir / "data/profiles.dat"));
    // The blue panel fills the middle; its text is pale; the red banner lines top and bottom.
    EXPECT_GT(count_pixels(img, 40, 140, 600, 420, panel_blue), 80000);
    EXPECT_GT(count_pixels(img, 30, 125, 610, 340, pale), 1500);
    EXPECT_GT(count_pixels(img, 150, 10, 490, 30, red), 300);
    EXPECT_GT(count_pixels(img, 150, 460, 490, 478, red), 300);
}

// The first mission flown by the demo pilot: a short run to learn when it is two seconds into
// its first attack, then the same run (deterministic) pictured at that frame.
TEST_F(GuideShots, MissionInFlightWithTheHud) {
    const std::string fly = "--fly --fly-mission 0 --autopilot";
    const RunResult first = game.run("flight", 7, 400, fly);
    ASSERT_EQ(first.status, 0);
    long attack_from = -1, at = -1;
    for (const TraceRow& f : first.rows) {
        const bool attacking = f.at("pilot") == "attack" && f.num("alive") > 0;
        if (attacking && attack_from < 0) attack_from = f.num("frame");
        if (attacking && attack_from > 0 && f.num("frame") >= attack_from + 40) {
            at = f.num("frame");
            break;
        }
    }
    ASSERT_GT(at, 0) << "the pilot was not attacking two seconds after it began";
    const RunResult second = game.run("flight_shot", 7, at + 1, fly, "", at, "guide_flight.png");
    PngImage img;
    ASSERT_TRUE(pictured(second, at, "guide_flight.png", img));
    ASSERT_NE(first.row(at), nullptr);
    EXPECT_EQ(second.row(at)->kv, first.row(at)->kv) << "the second run went another way";
    EXPECT_EQ(second.row(at)->at("started"), "1");
    // The HUD: the mission clock's red digits at the top, the gauge row along the bottom (dark
    // bars and icons against the haze), the minimap's blue frame in the lower right corner.
    EXPECT_GT(count_pixels(img, 160, 10, 480, 70, red), 500);
    EXPECT_GT(count_pixels(img, 100, 405, 500, 445, dark), 800);
    EXPECT_GT(count_pixels(img, 500, 340, 640, 480, panel_blue), 2000);
}

// The demolition blast over the north gate of Fort Dunmar, seen from the north: set off on cue
// (--fly-blast) in the third mission, pictured while the fireballs burn.
TEST_F(GuideShots, DemolitionBlast) {
    const long at = 24;
    const RunResult r =
        game.run("blast", 1, at + 1, "--fly --fly-mission 2 --fly-at 195,376,-90 --fly-blast 5", "", at, "guide_blast.png");
    PngImage img;
    ASSERT_TRUE(pictured(r, at, "guide_blast.png", img));
    EXPECT_GT(r.row(at)->num("blast"), 300) << "the fireballs burn";
    // Fire ahead of the gunship, in the upper half of the view (the flight before it shows a
    // few hundred such pixels in tracers and markers; the smoke after it fewer still).
    EXPECT_GT(count_pixels(img, 160, 120, 480, 280, fire), 1500);
    EXPECT_GT(count_pixels(img, 160, 10, 480, 70, red), 500) << "the HUD stays up";
}

}  // namespace
