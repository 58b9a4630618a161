// Missions played through the real game (core --fly) with private data: a kill-range objective
// completed with rockets and its banner, the mission clock running out, the tank running dry,
// a demolition blast and the pick-up animation. Screenshots of the HUD, the banner and the blast
// stay in the build tree's screenshots folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "support/game_run.h"

using kvtest::count_pixels;
using kvtest::GameDir;
using kvtest::key_line;
using kvtest::layout_with_inactive;
using kvtest::kGame;
using kvtest::load_shot;
using kvtest::Play;
using kvtest::RunResult;
using kvtest::shipped_key_of;
using kvtest::TraceRow;

namespace {

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

// A fly run of NAME on the virtual clock (seed 1) for at most FRAMES frames.
Play fly(const std::string& name, const std::string& script, long frames, const std::string& args = "") {
    return {.name = name, .script = script, .frames = frames, .fly = true, .args = args};
}

bool red_digit(uint8_t r, uint8_t g, uint8_t b) { return r > 200 && g < 120 && b < 90; }
bool banner_blue(uint8_t r, uint8_t g, uint8_t b) { return b > r + 60 && b > g + 20; }
// Fire seen through the haze: warm, clearly redder than the khaki haze and the sand walls.
bool orange(uint8_t r, uint8_t g, uint8_t b) { return r > 140 && r >= g && r > b + 50 && g > b + 20; }

}  // namespace

TEST(MissionRules, LastEnemyOfTheRangeFallsAndTheObjectiveCompletes) {
    KV_REQUIRE_KEYS();
    // Objective 0 of mission 0 covers slots 0-7; only slot 0 (infantry at 309.5, 186.5) is left.
    GameDir g;
    ASSERT_TRUE(g.ok());
    g.write("data/enemies0.dat", layout_with_inactive(1, 7));
    const std::string next = shipped_key_of(10), fire = shipped_key_of(11);
    const std::string script = key_line(5, next, 1) + key_line(7, next, 0) + key_line(30, fire, 1) +
                               key_line(400, fire, 0) + key_line(420, "ESCAPE", 1);
    // Fifteen units east of it, facing west (heading 0), rockets selected.
    const std::string args = "--fly-at 324.5,186.5,0";
    const RunResult r = g.play(fly("kill_range", script, 500, args));
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_GT(r.rows.size(), 400u) << r.log();
    const auto& rows = r.rows;
    EXPECT_EQ(rows[0].i("alive"), 1);
    EXPECT_EQ(rows[0].i("objective"), 0);

    size_t done = 0;
    for (size_t i = 1; i < rows.size() && !done; ++i)
        if (rows[i].i("alive") == 0) done = i;
    ASSERT_GT(done, 0u) << "the last enemy never fell";
    // In the frame the range empties: the next objective and its banner.
    EXPECT_EQ(rows[done - 1].i("alive"), 1);
    EXPECT_EQ(rows[done - 1].i("objective"), 0);
    EXPECT_EQ(rows[done].i("objective"), 1);
    EXPECT_EQ(rows[done].s("alert"), "Objective%201%20COMPLETED!");
    EXPECT_EQ(rows[done].i("exit"), 0) << "objective 1 is still to do";
    EXPECT_LT(rows[done].i("rockets"), rows[0].i("rockets"));
    EXPECT_EQ(rows[done].i("wpn"), 1);
    // From the next frame on the check counts objective 1's range; the banner goes after 1.5 s.
    EXPECT_GT(rows[done + 1].i("alive"), 0);
    ASSERT_LT(done + 100, rows.size());
    EXPECT_EQ(rows[done + 90].s("alert"), "Objective%201%20COMPLETED!");
    EXPECT_EQ(rows[done + 100].s("alert"), "");
    EXPECT_EQ(rows.back().i("exit"), 1) << "Escape ends the run";

    // The same run again (it is deterministic) with the HUD during the weapon switch and the
    // banner at full strength.
    const long frame = rows[done].i("frame");
    Play shots = fly("kill_range_shots", script, frame + 12, args);
    shots.shots = {{17, "rules_hud_weapon_wheel.png"}, {frame + 10, "rules_objective_banner.png"}};
    const RunResult again = g.play(shots);
    ASSERT_EQ(again.status, 0) << again.log();
    EXPECT_EQ(again.at(frame).s("alert"), "Objective%201%20COMPLETED!");

    const PngImage hud = load_shot("rules_hud_weapon_wheel.png");
    ASSERT_TRUE(hud) << hud.reason;
    const uint32_t w = hud.width, h = hud.height;
    EXPECT_GT(count_pixels(hud, w / 4, 0, w * 3 / 4, h / 6, red_digit), 1000) << "the mission clock's digits";
    // The gauges (bars and lit icons) stand out darker than the haze along the bottom.
    EXPECT_GT(count_pixels(hud, w / 5, h * 5 / 6, w * 4 / 5, h * 19 / 20,
                           [](uint8_t r, uint8_t, uint8_t) { return r < 130; }),
              1000)
        << "the gauges";

    const PngImage banner = load_shot("rules_objective_banner.png");
    ASSERT_TRUE(banner) << banner.reason;
    EXPECT_GT(count_pixels(banner, w / 3, h * 9 / 20, w * 2 / 3, h * 11 / 20, banner_blue), 3000)
        << "the blue banner in the middle of the screen";
    EXPECT_GT(count_pixels(banner, w / 3, h * 9 / 20, w * 2 / 3, h * 11 / 20,
                           [](uint8_t r, uint8_t g, uint8_t b) { return r > 220 && g > 220 && b > 220; }),
              30)
        << "its white text and outline";
}

TEST(MissionRules, MissionClockRunsOut) {
    KV_REQUIRE_KEYS();
    GameDir g;
    ASSERT_TRUE(g.ok());
    g.write("data/missions/0.dat", mission0_with_time_limit(3));
    const RunResult r = g.play(fly("time_out", "", 400));
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_GT(r.rows.size(), 100u) << r.log();
    const auto& rows = r.rows;
    EXPECT_DOUBLE_EQ(rows[0].d("mclock"), 3.0);
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_GE(rows[i].d("mclock"), 0.0) << "frame " << rows[i].s("frame");
        if (i > 0) {
            ASSERT_GE(rows[i].d("gclock"), rows[i - 1].d("gclock"));
        }
        // The game clock counts exactly the time flown in the mission.
        if (i + 1 < rows.size()) {
            ASSERT_NEAR(rows[i].d("gclock") + rows[i].d("mclock"), 3.0, 0.0015) << rows[i].s("frame");
        }
    }
    const TraceRow& last = rows.back();
    const TraceRow& before = rows[rows.size() - 2];
    // 3 s at 16 ms a frame: the run ends in the frame of the alarm, well before the frame limit.
    EXPECT_NEAR(last.i("frame"), 189, 2);
    EXPECT_EQ(last.i("exit"), 4);
    EXPECT_EQ(last.d("mclock"), 0.0);
    EXPECT_EQ(last.s("box"), "ok");
    EXPECT_EQ(last.s("boxtitle"), "MISSION%20FAILED!");
    EXPECT_EQ(last.s("boxmsg"), "Mission%20not%20completed%20in%20time!");
    EXPECT_EQ(before.s("box"), "none");
    EXPECT_EQ(before.i("exit"), 0);
    EXPECT_EQ(last.i("started"), 1) << "a failed mission is not a completed one";
}

TEST(MissionRules, TankRunsDry) {
    KV_REQUIRE_KEYS();
    GameDir g;
    ASSERT_TRUE(g.ok());
    const RunResult r = g.play(fly("fuel", "", 400, "--fly-fuel 0.002"));
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_GE(r.rows.size(), 2u) << r.log();
    const TraceRow& last = r.rows.back();
    EXPECT_EQ(last.i("exit"), 4);
    EXPECT_EQ(last.d("fuel"), 0.0);
    EXPECT_EQ(r.rows[r.rows.size() - 2].i("exit"), 0);
    // 0.002 of a tank at 0.000033 a frame of the reference length, with the frame factor
    // settling from its start-up value.
    EXPECT_GE(last.i("frame"), 55);
    EXPECT_LE(last.i("frame"), 75);
    EXPECT_EQ(last.s("boxtitle"), "MISSION%20FAILED!");
    EXPECT_EQ(last.s("boxmsg"), "Out%20of%20fuel!");
}

TEST(MissionRules, DemolitionBlastBurnsAndBurnsOut) {
    KV_REQUIRE_KEYS();
    GameDir g;
    ASSERT_TRUE(g.ok());
    // A small window keeps the software renderer quick with a thousand sprites in view.
    g.set_window(640, 480);
    // North of objective 0's kill zone (302, 186), facing it; the blast goes off in frame 5.
    Play p = fly("blast", key_line(290, "ESCAPE", 1), 300, "--fly-at 302,212,90 --fly-blast 5");
    p.step = 50;
    p.shots = {{25, "rules_blast.png"}};
    const RunResult r = g.play(p);
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_GT(r.rows.size(), 280u) << r.log();
    EXPECT_EQ(r.at(4).i("blast"), 0);
    EXPECT_EQ(r.at(5).i("blast"), 0) << "set off after the frame was drawn";
    EXPECT_GT(r.at(6).i("blast"), 0);
    long peak = 0, out = -1;
    for (size_t i = 5; i < r.rows.size(); ++i) {
        const long blast = r.rows[i].i("blast");
        peak = std::max(peak, blast);
        if (out < 0 && i > 6 && blast == 0) out = r.rows[i].i("frame");
        if (out >= 0) {
            ASSERT_EQ(blast, 0) << "a burnt-out blast stays out";
        }
    }
    EXPECT_GT(peak, 300);
    ASSERT_GT(out, 0) << "the blast never burnt out";
    // The last fireball ignites 1.77 s in and fades over 9.6 s: about 11.4 s at 50 ms a frame.
    EXPECT_NEAR(out, 5 + 228, 6);

    const PngImage shot = load_shot("rules_blast.png");
    ASSERT_TRUE(shot) << shot.reason;
    EXPECT_GT(count_pixels(shot, shot.width / 4, shot.height / 8, shot.width * 3 / 4, shot.height * 2 / 3, orange),
              300)
        << "orange fireballs ahead of the gunship";
}

TEST(MissionRules, PickUpAnimationShowsKnownPayloadsOnly) {
    KV_REQUIRE_KEYS();
    // The tuning keys set TEMPX (0.1 a frame with F held), the O key turns it into a pick-up:
    // 30 frames give payload 3 (cannon ammunition); 40 more give 7, which has no icon.
    const std::string script = key_line(5, "F", 1) + key_line(35, "F", 0) + key_line(40, "O", 1) +
                               key_line(42, "O", 0) + key_line(150, "F", 1) + key_line(190, "F", 0) +
                               key_line(200, "O", 1) + key_line(202, "O", 0) + key_line(300, "ESCAPE", 1);
    GameDir g;
    ASSERT_TRUE(g.ok());
    Play p = fly("pickup", script, 320);
    p.shots = {{60, "rules_pickup.png"}, {230, "rules_pickup_unknown.png"}};
    const RunResult r = g.play(p);
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_GT(r.rows.size(), 290u) << r.log();
    EXPECT_EQ(r.at(39).i("powerup"), 0);
    EXPECT_EQ(r.at(41).i("powerup"), 3);
    // The animation lasts about 1 / 0.015 frames.
    int frames = 0;
    for (long f = 41; f < 150; ++f) frames += r.at(f).i("powerup") == 3 ? 1 : 0;
    EXPECT_NEAR(frames, 67, 3);
    EXPECT_EQ(r.at(201).i("powerup"), 7);
    EXPECT_EQ(r.at(299).i("exit"), 0) << "an unknown payload ends nothing";
    EXPECT_EQ(r.rows.back().i("exit"), 1);

    // The icon rises in blue tones below the middle of the view; payload 7 draws nothing there.
    auto blue = [](uint8_t r, uint8_t, uint8_t b) { return b > r + 50 && b > 150; };
    const PngImage known = load_shot("rules_pickup.png");
    const PngImage unknown = load_shot("rules_pickup_unknown.png");
    ASSERT_TRUE(known) << known.reason;
    ASSERT_TRUE(unknown) << unknown.reason;
    const uint32_t w = known.width, h = known.height;
    EXPECT_GT(count_pixels(known, w / 3, h / 3, w * 2 / 3, h * 3 / 4, blue), 100);
    EXPECT_EQ(count_pixels(unknown, w / 3, h / 3, w * 2 / 3, h * 3 / 4, blue), 0);
}
