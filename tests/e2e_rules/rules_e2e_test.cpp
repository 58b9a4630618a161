// Missions played through the real game (core --fly) with private data: a kill-range objective
// completed with rockets and its banner, the mission clock running out, the tank running dry,
// and a demolition blast. Screenshots of the HUD, the banner and the blast stay in the build
// tree's screenshots folder.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "rules_run.h"
#include "support/fly_run.h"

using namespace rules_e2e;

namespace {

#define REQUIRE_GAME()                                                                             \
    do {                                                                                           \
        if (!have_game()) GTEST_SKIP() << "needs xvfb-run and a built game directory";             \
        if (shipped_key_of(kGame, 11).empty()) GTEST_SKIP() << "the shipped settings use no keys"; \
    } while (0)

std::string press(int frame, const std::string& key, int down) {
    return std::to_string(frame) + " key " + key + " " + std::to_string(down) + "\n";
}

// The shipped enemy layout with every slot of `off` switched inactive.
std::string layout_with_inactive(int first, int last) {
    std::istringstream in(read_file_text(kGame / "data/enemies0.dat"));
    std::string out, line;
    int row = 0;
    while (std::getline(in, line)) {
        const int slot = row - 2;  // the enemy count and class count come first
        if (slot >= first && slot <= last) {
            // x,y,z,ACTIVE,...: the fourth field
            size_t c = 0;
            for (int k = 0; k < 3; ++k) c = line.find(',', c) + 1;
            line[c] = '0';
        }
        out += line + "\n";
        ++row;
    }
    return out;
}

// The shipped mission 0 with another time limit.
std::string mission0_with_time_limit(int seconds) {
    std::istringstream in(read_file_text(kGame / "data/missions/0.dat"));
    std::string out, line;
    while (std::getline(in, line)) {
        if (line.rfind("TIME_LIMIT//", 0) == 0) line = "TIME_LIMIT//" + std::to_string(seconds) + "\r";
        out += line + "\n";
    }
    return out;
}

bool red_digit(uint8_t r, uint8_t g, uint8_t b) { return r > 200 && g < 120 && b < 90; }
bool banner_blue(uint8_t r, uint8_t g, uint8_t b) { return b > r + 60 && b > g + 20; }
// Fire seen through the haze: warm, clearly redder than the khaki haze and the sand walls.
bool orange(uint8_t r, uint8_t g, uint8_t b) { return r > 140 && r >= g && r > b + 50 && g > b + 20; }

}  // namespace

TEST(MissionRules, LastEnemyOfTheRangeFallsAndTheObjectiveCompletes) {
    REQUIRE_GAME();
    // Objective 0 of mission 0 covers slots 0-7; only slot 0 (infantry at 309.5, 186.5) is left.
    const fs::path game = private_game("kill_range", {{"data/enemies0.dat", layout_with_inactive(1, 7)}});
    const std::string next = shipped_key_of(kGame, 10), fire = shipped_key_of(kGame, 11);
    const std::string script = press(5, next, 1) + press(7, next, 0) + press(30, fire, 1) + press(400, fire, 0) +
                               press(420, "ESCAPE", 1);
    // Fifteen units east of it, facing west (heading 0), rockets selected.
    const std::string args = "--fly-at 324.5,186.5,0";
    const GameRun r = fly(game, "kill_range", script, 500, args);
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_GT(r.lines.size(), 400u) << r.log;
    EXPECT_EQ(r.num(0, "alive"), 1);
    EXPECT_EQ(r.num(0, "objective"), 0);

    long done = -1;
    for (size_t i = 1; i < r.lines.size(); ++i) {
        if (r.num(i, "alive") == 0) {
            done = static_cast<long>(i);
            break;
        }
    }
    ASSERT_GE(done, 0) << "the last enemy never fell";
    // In the frame the range empties: the next objective and its banner.
    EXPECT_EQ(r.num(done - 1, "alive"), 1);
    EXPECT_EQ(r.num(done - 1, "objective"), 0);
    EXPECT_EQ(r.num(done, "objective"), 1);
    EXPECT_EQ(r.text(done, "alert"), "Objective%201%20COMPLETED!");
    EXPECT_EQ(r.num(done, "exit"), 0) << "objective 1 is still to do";
    EXPECT_LT(r.num(done, "rockets"), r.num(0, "rockets"));
    EXPECT_EQ(r.num(done, "wpn"), 1);
    // From the next frame on the check counts objective 1's range; the banner goes after 1.5 s.
    EXPECT_GT(r.num(done + 1, "alive"), 0);
    ASSERT_LT(done + 100, static_cast<long>(r.lines.size()));
    EXPECT_EQ(r.text(done + 90, "alert"), "Objective%201%20COMPLETED!");
    EXPECT_EQ(r.text(done + 100, "alert"), "");
    EXPECT_EQ(r.num(static_cast<long>(r.lines.size()) - 1, "exit"), 1) << "Escape ends the run";

    // The same run again (it is deterministic) with the HUD during the weapon switch and the
    // banner at full strength.
    const long frame = r.num(done, "frame");
    const GameRun again = fly(game, "kill_range_shots", script, static_cast<int>(frame) + 12, args,
                          {{17, "rules_hud_weapon_wheel.png"}, {static_cast<int>(frame) + 10, "rules_objective_banner.png"}});
    ASSERT_EQ(again.status, 0) << again.log;
    const long i2 = again.index_of(frame);
    ASSERT_GE(i2, 0);
    EXPECT_EQ(again.text(i2, "alert"), "Objective%201%20COMPLETED!");

    const PngImage hud = png_load((kShots / "rules_hud_weapon_wheel.png").string());
    ASSERT_TRUE(hud) << hud.reason;
    const uint32_t w = hud.width, h = hud.height;
    EXPECT_GT(count_pixels(hud, w / 4, 0, w * 3 / 4, h / 6, red_digit), 1000) << "the mission clock's digits";
    // The gauges (bars and lit icons) stand out darker than the haze along the bottom.
    EXPECT_GT(count_pixels(hud, w / 5, h * 5 / 6, w * 4 / 5, h * 19 / 20,
                           [](uint8_t r, uint8_t, uint8_t) { return r < 130; }),
              1000)
        << "the gauges";

    const PngImage banner = png_load((kShots / "rules_objective_banner.png").string());
    ASSERT_TRUE(banner) << banner.reason;
    EXPECT_GT(count_pixels(banner, w / 3, h * 9 / 20, w * 2 / 3, h * 11 / 20, banner_blue), 3000)
        << "the blue banner in the middle of the screen";
    EXPECT_GT(count_pixels(banner, w / 3, h * 9 / 20, w * 2 / 3, h * 11 / 20,
                           [](uint8_t r, uint8_t g, uint8_t b) { return r > 220 && g > 220 && b > 220; }),
              30)
        << "its white text and outline";
}

TEST(MissionRules, MissionClockRunsOut) {
    REQUIRE_GAME();
    const fs::path game = private_game("time_out", {{"data/missions/0.dat", mission0_with_time_limit(3)}});
    const GameRun r = fly(game, "time_out", "", 400, "");
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_GT(r.lines.size(), 100u) << r.log;
    EXPECT_DOUBLE_EQ(r.real(0, "mclock"), 3.0);
    for (size_t i = 0; i < r.lines.size(); ++i) {
        ASSERT_GE(r.real(i, "mclock"), 0.0) << "frame " << r.text(i, "frame");
        if (i > 0) {
            ASSERT_GE(r.real(i, "gclock"), r.real(i - 1, "gclock"));
        }
        // The game clock counts exactly the time flown in the mission.
        if (i + 1 < r.lines.size()) {
            ASSERT_NEAR(r.real(i, "gclock") + r.real(i, "mclock"), 3.0, 0.0015) << r.text(i, "frame");
        }
    }
    const size_t last = r.lines.size() - 1;
    // 3 s at 16 ms a frame: the run ends in the frame of the alarm, well before the frame limit.
    EXPECT_NEAR(r.num(last, "frame"), 189, 2);
    EXPECT_EQ(r.num(last, "exit"), 4);
    EXPECT_EQ(r.real(last, "mclock"), 0.0);
    EXPECT_EQ(r.text(last, "box"), "ok");
    EXPECT_EQ(r.text(last, "boxtitle"), "MISSION%20FAILED!");
    EXPECT_EQ(r.text(last, "boxmsg"), "Mission%20not%20completed%20in%20time!");
    EXPECT_EQ(r.text(last - 1, "box"), "none");
    EXPECT_EQ(r.num(last - 1, "exit"), 0);
    EXPECT_EQ(r.num(last, "started"), 1) << "a failed mission is not a completed one";
}

TEST(MissionRules, TankRunsDry) {
    REQUIRE_GAME();
    const fs::path game = private_game("fuel", {});
    const GameRun r = fly(game, "fuel", "", 400, "--fly-fuel 0.002");
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_FALSE(r.lines.empty()) << r.log;
    const size_t last = r.lines.size() - 1;
    EXPECT_EQ(r.num(last, "exit"), 4);
    EXPECT_EQ(r.real(last, "fuel"), 0.0);
    EXPECT_EQ(r.num(last - 1, "exit"), 0);
    // 0.002 of a tank at 0.000033 a frame of the reference length, with the frame factor
    // settling from its start-up value.
    EXPECT_GE(r.num(last, "frame"), 55);
    EXPECT_LE(r.num(last, "frame"), 75);
    EXPECT_EQ(r.text(last, "boxtitle"), "MISSION%20FAILED!");
    EXPECT_EQ(r.text(last, "boxmsg"), "Out%20of%20fuel!");
}

TEST(MissionRules, DemolitionBlastBurnsAndBurnsOut) {
    REQUIRE_GAME();
    // A small window keeps the software renderer quick with a thousand sprites in view.
    std::istringstream cfg(read_file_text(kGame / "configVars.dat"));
    std::string small, line;
    for (int i = 0; std::getline(cfg, line); ++i) small += (i == 0 ? " 640\r" : i == 1 ? " 480\r" : line) + "\n";
    const fs::path game = private_game("blast", {{"configVars.dat", small}});
    // North of objective 0's kill zone (302, 186), facing it; the blast goes off in frame 5.
    const GameRun r = fly(game, "blast", press(290, "ESCAPE", 1), 300, "--fly-at 302,212,90 --fly-blast 5",
                      {{25, "rules_blast.png"}}, 50);
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_GT(r.lines.size(), 280u) << r.log;
    EXPECT_EQ(r.num(r.index_of(4), "blast"), 0);
    EXPECT_EQ(r.num(r.index_of(5), "blast"), 0) << "set off after the frame was drawn";
    EXPECT_GT(r.num(r.index_of(6), "blast"), 0);
    long peak = 0, out = -1;
    for (size_t i = 5; i < r.lines.size(); ++i) {
        peak = std::max(peak, r.num(i, "blast"));
        if (out < 0 && i > 6 && r.num(i, "blast") == 0) out = r.num(i, "frame");
        if (out >= 0) {
            ASSERT_EQ(r.num(i, "blast"), 0) << "a burnt-out blast stays out";
        }
    }
    EXPECT_GT(peak, 300);
    ASSERT_GT(out, 0) << "the blast never burnt out";
    // The last fireball ignites 1.77 s in and fades over 9.6 s: about 11.4 s at 50 ms a frame.
    EXPECT_NEAR(out, 5 + 228, 6);

    const PngImage shot = png_load((kShots / "rules_blast.png").string());
    ASSERT_TRUE(shot) << shot.reason;
    EXPECT_GT(count_pixels(shot, shot.width / 4, shot.height / 8, shot.width * 3 / 4, shot.height * 2 / 3, orange),
              300)
        << "orange fireballs ahead of the gunship";
}

TEST(MissionRules, PickUpAnimationShowsKnownPayloadsOnly) {
    REQUIRE_GAME();
    // The tuning keys set TEMPX (0.1 a frame with F held), the O key turns it into a pick-up:
    // 30 frames give payload 3 (cannon ammunition); 40 more give 7, which has no icon.
    const std::string script = press(5, "F", 1) + press(35, "F", 0) + press(40, "O", 1) + press(42, "O", 0) +
                               press(150, "F", 1) + press(190, "F", 0) + press(200, "O", 1) + press(202, "O", 0) +
                               press(300, "ESCAPE", 1);
    const fs::path game = private_game("pickup", {});
    const GameRun r = fly(game, "pickup", script, 320, "", {{60, "rules_pickup.png"}, {230, "rules_pickup_unknown.png"}});
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_GT(r.lines.size(), 290u) << r.log;
    EXPECT_EQ(r.num(r.index_of(39), "powerup"), 0);
    EXPECT_EQ(r.num(r.index_of(41), "powerup"), 3);
    // The animation lasts about 1 / 0.015 frames.
    int frames = 0;
    for (long f = 41; f < 150; ++f) frames += r.num(r.index_of(f), "powerup") == 3 ? 1 : 0;
    EXPECT_NEAR(frames, 67, 3);
    EXPECT_EQ(r.num(r.index_of(201), "powerup"), 7);
    EXPECT_EQ(r.num(r.index_of(299), "exit"), 0) << "an unknown payload ends nothing";
    EXPECT_EQ(r.num(static_cast<long>(r.lines.size()) - 1, "exit"), 1);

    // The icon rises in blue tones below the middle of the view; payload 7 draws nothing there.
    auto blue = [](uint8_t r, uint8_t, uint8_t b) { return b > r + 50 && b > 150; };
    const PngImage known = png_load((kShots / "rules_pickup.png").string());
    const PngImage unknown = png_load((kShots / "rules_pickup_unknown.png").string());
    ASSERT_TRUE(known) << known.reason;
    ASSERT_TRUE(unknown) << unknown.reason;
    const uint32_t w = known.width, h = known.height;
    EXPECT_GT(count_pixels(known, w / 3, h / 3, w * 2 / 3, h * 3 / 4, blue), 100);
    EXPECT_EQ(count_pixels(unknown, w / 3, h / 3, w * 2 / 3, h * 3 / 4, blue), 0);
}
