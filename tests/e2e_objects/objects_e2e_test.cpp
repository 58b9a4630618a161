// Mission objects played through the real game (core --fly on the virtual clock) in private
// game directories whose mission files and enemy layout are edited per scenario: a crate that
// glides in, is winched up and gives its power-up; landing refused off a pad and refuelling on
// one; landing on the research base; the zipline drop of mission 1 at normal and half-second
// frames; the demolition of mission 2 with its wait, second pick-up and blast. Screenshots go to
// the build tree's screenshots folder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "support/game_run.h"

using kvtest::GameDir;
using kvtest::Play;
using kvtest::RunResult;
using kvtest::TraceRow;

namespace {

// Takes enemy slots first..last out of the layout (they start destroyed).
void clear_enemies(const GameDir& g, int first, int last) {
    std::istringstream in(read_file_text(g / "data/enemies0.dat"));
    std::ostringstream out;
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        const int slot = n - 2;  // the counts take the first two lines
        if (slot >= first && slot <= last) {
            // X,Y,Z,ACTIVE,...: the fourth value is the state.
            std::istringstream fields(line);
            std::string field, rebuilt;
            for (int k = 0; std::getline(fields, field, ','); ++k) {
                if (k > 0) rebuilt += ',';
                rebuilt += k == 3 ? std::string("0") : field;
            }
            line = rebuilt;
        }
        out << line << '\n';
        ++n;
    }
    g.write("data/enemies0.dat", out.str());
}

// A fly run of mission MISSION from X,Z[,HEADING] with FUEL (< 0: full).
Play fly(const std::string& name, const std::string& script, int mission, const std::string& at, long frames,
         int step = 16, double fuel = -1) {
    std::string args = "--fly-mission " + std::to_string(mission);
    if (!at.empty()) args += " --fly-at " + at;
    if (fuel >= 0) args += " --fly-fuel " + std::to_string(fuel);
    return {.name = name, .script = script, .frames = frames, .step = step, .fly = true, .args = args};
}

std::string key_of(int32_t control) { return kvtest::shipped_key_of(control); }

std::string press(long frame, const std::string& key, long frames = 3) { return kvtest::key_press(frame, key, frames); }

// The state (ACTIVE.PICKUPFLAG) of the n-th crate of the current mission in a trace line.
std::string crate(const TraceRow& l, int n) {
    std::istringstream in(l.s("crates"));
    std::string item;
    for (int i = 0; std::getline(in, item, ','); ++i)
        if (i == n) return item;
    return "";
}

// The screenshot was written and decodes to a whole frame.
bool screenshot_written(const std::string& file) {
    const PngImage img = kvtest::load_shot(file);
    return img && img.width >= 320 && img.height >= 240;
}

#define REQUIRE_GAME()                                                                               \
    do {                                                                                             \
        KV_REQUIRE_GAME();                                                                           \
        if (key_of(6).empty() || key_of(11).empty()) GTEST_SKIP() << "shipped settings use no keys"; \
    } while (0)

}  // namespace

TEST(ObjectsE2E, ACrateGlidesInIsWinchedUpAndGivesItsPowerUp) {
    REQUIRE_GAME();
    GameDir g;
    ASSERT_TRUE(g.ok());
    // Crate 0 of mission 0 comes down beside the campaign's start, under the gunship; crate 1
    // falls at once too, a few units ahead where the camera sees its parachute.
    const std::string m0 = "data/missions/0.dat";
    ASSERT_TRUE(g.edit_line(m0, "AIR_DROP//0//TARGETXZ//318//212", "AIR_DROP//0//TARGETXZ//356//290"));
    ASSERT_TRUE(g.edit_line(m0, "CHECKPOINT//0//XZ//318//212", "CHECKPOINT//0//XZ//356//290"));
    ASSERT_TRUE(g.edit_line(m0, "AIR_DROP//1//OBJECTIVE//1", "AIR_DROP//1//OBJECTIVE//0"));
    ASSERT_TRUE(g.edit_line(m0, "AIR_DROP//1//TARGETXZ//320//140", "AIR_DROP//1//TARGETXZ//350//284"));
    ASSERT_TRUE(g.edit_line(m0, "CHECKPOINT//1//OBJECTIVE//1", "CHECKPOINT//1//OBJECTIVE//0"));
    ASSERT_TRUE(g.edit_line(m0, "CHECKPOINT//1//XZ//320//140", "CHECKPOINT//1//XZ//350//284"));
    const std::string land = key_of(6);
    Play p = fly("crate", press(495, land), 0, "356,290", 620, 48);
    p.shots = {{540, "objects_crate_winch.png"}, {420, "objects_crate_chute.png"}, {450, "objects_crate_chute2.png"}};
    const RunResult r = g.play(p);
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_EQ(r.rows.size(), 620u) << r.log();

    EXPECT_EQ(r.at(1).s("crates"), "0.0,0.0");
    const long landed = r.first([](const TraceRow& l) { return crate(l, 0)[0] == '1'; });
    const long down = r.first([](const TraceRow& l) { return crate(l, 0)[0] == '2'; });
    ASSERT_GT(landed, 1);
    ASSERT_GT(down, landed);
    ASSERT_LT(down, 495) << "the crate must be down before the activate press";
    EXPECT_EQ(crate(r.at(down), 0), "2.1");
    // The other crate lands on its own target and waits; only the one below is winched.
    const long other = r.first([](const TraceRow& l) { return crate(l, 1) == "2.1"; });
    ASSERT_GT(other, 0);
    EXPECT_EQ(crate(r.rows.back(), 1), "2.1");
    // Its marker lights up (check point 1) and the gunship is inside it.
    EXPECT_NE(r.at(down).s("cpon").find(",1,"), std::string::npos) << r.at(down).s("cpon");
    EXPECT_EQ(r.at(down).i("inside"), 1);
    for (long f = down; f < 495; ++f) ASSERT_EQ(crate(r.at(f), 0), "2.1") << "frame " << f;

    const long winch = r.first([](const TraceRow& l) { return crate(l, 0) == "2.2"; });
    EXPECT_EQ(winch, 495);
    EXPECT_EQ(r.at(495).i("pickup"), 1);
    EXPECT_EQ(r.at(500).i("lockmin"), 1);
    const long lifted = r.first([](const TraceRow& l) { return crate(l, 0) == "2.3"; });
    ASSERT_GT(lifted, winch);
    EXPECT_NEAR((lifted - winch) * 48, 2500, 60);  // 2.5 s of winching
    EXPECT_EQ(crate(r.at(lifted + 1), 0), "2.4");
    EXPECT_EQ(r.at(lifted + 3).i("lockmin"), 0);
    EXPECT_EQ(r.at(lifted + 1).s("cpon").find(",1,"), std::string::npos) << "the marker goes out";
    EXPECT_NE(r.at(lifted + 1).s("cpon").find(",2,"), std::string::npos) << "the other crate's stays";
    // The power-up of a rocket crate shows.
    const long shown = r.first([](const TraceRow& l) { return l.i("powerup") == 2; }, lifted);
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, lifted + 10);
    EXPECT_TRUE(screenshot_written("objects_crate_winch.png"));
}

TEST(ObjectsE2E, LandingIsRefusedOffThePadAndThePadRefuelsAndRearmsInOrder) {
    REQUIRE_GAME();
    GameDir g;
    ASSERT_TRUE(g.ok());
    const std::string land = key_of(6), fire = key_of(11), next = key_of(10);
    // 8 units short of the Port Anselm pad.
    const RunResult refused = g.play(fly("pad_off", press(5, land), 0, "403,350", 40, 16, 0.5));
    ASSERT_EQ(refused.rows.size(), 40u) << refused.log();
    EXPECT_EQ(refused.at(5).i("pickup"), 1);
    EXPECT_EQ(refused.at(5).i("locklanding"), 1);
    for (const TraceRow& l : refused.rows) ASSERT_EQ(l.i("landed"), 0) << "frame " << l.i("frame");

    // On the pad: spend rounds and rockets in the air, then land.
    std::string script = "2 key " + fire + " 1\n30 key " + fire + " 0\n";
    script += press(32, next, 2);
    script += "36 key " + fire + " 1\n70 key " + fire + " 0\n";
    script += press(75, land);
    Play on = fly("pad_on", script, 0, "403,358", 320, 32, 0.5);
    on.shots = {{150, "objects_refueling.png"}};
    const RunResult r = g.play(on);
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_EQ(r.rows.size(), 320u) << r.log();
    EXPECT_EQ(r.at(60).i("inside"), 3);  // mission 0's pad, the one of this mission
    EXPECT_EQ(r.at(60).i("locklanding"), 0);
    EXPECT_LT(r.at(74).i("ammo"), 9999);
    EXPECT_LT(r.at(74).i("rockets"), 64);
    const long landed = r.first([](const TraceRow& l) { return l.i("landed") == 1; });
    EXPECT_EQ(landed, 75);
    const long refuel = r.first([](const TraceRow& l) { return l.i("refuel") == 1; });
    ASSERT_GT(refuel, landed);
    EXPECT_EQ(r.at(refuel).s("loadtext"), "Refueling");

    // Fuel to the full tank, then the rounds, then the rockets; one kind a frame.
    long full_fuel = 0, full_ammo = 0, full_rockets = 0;
    for (long f = refuel; f <= 320; ++f) {
        const TraceRow& a = r.at(f - 1);
        const TraceRow& b = r.at(f);
        const int fuel_up = b.d("fuel") > a.d("fuel"), ammo_up = b.i("ammo") > a.i("ammo");
        const int rockets_up = b.i("rockets") > a.i("rockets");
        ASSERT_LE(fuel_up + ammo_up + rockets_up, 1) << "frame " << f;
        if (ammo_up) {
            ASSERT_GE(a.d("fuel"), 1.0) << "rounds loaded before the tank was full, frame " << f;
        }
        if (rockets_up) {
            ASSERT_EQ(a.i("ammo"), 9999) << "rockets loaded before the rounds, frame " << f;
        }
        if (!full_fuel && b.d("fuel") >= 1.0) full_fuel = f;
        if (!full_ammo && b.i("ammo") == 9999) full_ammo = f;
        if (!full_rockets && b.i("rockets") == 64) full_rockets = f;
    }
    ASSERT_GT(full_fuel, refuel);
    ASSERT_GT(full_ammo, full_fuel);
    ASSERT_GT(full_rockets, full_ammo);
    EXPECT_EQ(r.at(full_ammo).s("loadtext"), "Loading%20VT90mm%20Rounds");
    EXPECT_EQ(r.at(full_rockets).s("loadtext"), "Loading%20Rockets");
    // All full: the gunship is released.
    EXPECT_EQ(r.at(full_rockets + 2).i("landed"), 0);
    EXPECT_EQ(r.at(150).i("loading"), 1);
    EXPECT_TRUE(screenshot_written("objects_refueling.png"));
}

TEST(ObjectsE2E, LandingOnTheResearchBaseEndsTheRunWithCodeFiveOrSix) {
    REQUIRE_GAME();
    // A fresh pilot is offered research with the shipped fields (code 6, the choice screen);
    // with no research fields there is nothing to choose (code 5, the technology screen).
    for (const bool offered : {true, false}) {
        GameDir g;
        ASSERT_TRUE(g.ok());
        if (!offered) g.write("data/research.dat", "");
        const RunResult r = g.play(fly(offered ? "base6" : "base5", press(5, key_of(6)), 0, "364,309", 200));
        ASSERT_EQ(r.status, 0) << r.log();
        ASSERT_FALSE(r.rows.empty()) << r.log();
        EXPECT_LT(r.rows.size(), 200u) << "the run goes on after landing on the base";
        EXPECT_EQ(r.rows.back().i("exit"), offered ? 6 : 5);
        EXPECT_EQ(r.rows.back().i("landed"), 1);
        EXPECT_EQ(r.at(4).i("exit"), 0);
    }
}

namespace {

// Mission 1 from its zipline objective: the guard post (enemy slots 20-28) is already taken.
void zipline_down(int step, int press_at, int frames, const std::string& name,
                  const std::vector<std::pair<long, std::filesystem::path>>& shots = {}) {
    SCOPED_TRACE(name);
    GameDir g;
    ASSERT_TRUE(g.ok());
    clear_enemies(g, 20, 28);
    const std::string thrust = key_of(4);
    std::string script = press(press_at, key_of(6));
    script += std::to_string(frames - 8) + " key " + thrust + " 1\n";
    Play p = fly(name, script, 1, "220,216", frames, step);
    p.shots = shots;
    const RunResult r = g.play(p);
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_EQ(r.rows.size(), static_cast<size_t>(frames)) << r.log();
    EXPECT_EQ(r.at(2).i("objective"), 1);
    EXPECT_EQ(r.at(press_at - 1).i("zip"), 0);
    EXPECT_EQ(r.at(press_at).i("zip"), 1);
    EXPECT_EQ(r.at(press_at + 1).i("lockmin"), 1);
    const long walking = r.first([](const TraceRow& l) { return l.s("runners")[0] != '0'; });
    EXPECT_GT(walking, press_at);
    const long done = r.first([](const TraceRow& l) { return l.i("objective") == 2; });
    ASSERT_GT(done, press_at) << "the zipline objective never completed";
    ASSERT_LT(done, frames - 8);
    EXPECT_EQ(r.at(done - 1).i("zip"), 1);  // the trace then shows objective 2's own state
    EXPECT_EQ(r.at(done).i("zip"), 0);
    EXPECT_EQ(r.at(done).i("uswsf"), 2);  // six of the eight stay at the relay
    EXPECT_EQ(r.at(done - 1).i("uswsf"), 8);
    EXPECT_EQ(r.at(done + 1).i("lockmin"), 0);
    EXPECT_EQ(r.at(done + 1).s("runners"), "0/0");
    // Held in place while they went down, free afterwards.
    EXPECT_NEAR(r.at(done).d("x"), r.at(press_at + 2).d("x"), 0.05);
    const TraceRow& end = r.rows.back();
    EXPECT_GT(std::abs(end.d("x") - r.at(frames - 8).d("x")) + std::abs(end.d("z") - r.at(frames - 8).d("z")), 0.05)
        << "the gunship does not move after the drop";
}

}  // namespace

// At 32 ms frames and at half-second ones.
TEST(ObjectsE2E, MissionOneZiplineDropCompletesAndFreesTheGunship) {
    REQUIRE_GAME();
    zipline_down(32, 10, 260, "zip_down", {{50, "objects_zipline_ropes.png"}, {110, "objects_zipline_runners.png"}});
    zipline_down(500, 3, 40, "zip_down_500");
}

TEST(ObjectsE2E, MissionTwoDemolitionWaitsCollectsAndEndsAfterTheBlast) {
    REQUIRE_GAME();
    GameDir g;
    ASSERT_TRUE(g.ok());
    clear_enemies(g, 39, 56);  // the north gate and Kerrow square are taken
    ASSERT_TRUE(g.edit_line("data/missions/2.dat", "OBJECTIVE//2//ZIPLINE_WAIT//20", "OBJECTIVE//2//ZIPLINE_WAIT//3"));
    const std::string land = key_of(6);
    Play o = fly("demolition", "", 2, "186,414,225", 900, 32);  // facing the keep
    // The presses leave room: the team is down and working by frame 200, the wait ends before
    // 300, the team is back on board before 500.
    o.shots = {{90, "objects_demolition_down.png"}, {200, "objects_installing.png"}, {400, "objects_zipline_up.png"},
               {520, "objects_blast.png"}};
    o.script = press(10, land) + press(200, land) + press(310, land);
    const RunResult r = g.play(o);
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_FALSE(r.rows.empty()) << r.log();
    EXPECT_EQ(r.at(3).i("objective"), 2);
    EXPECT_EQ(r.at(10).i("zip"), 1);
    const long working = r.first([](const TraceRow& l) { return l.i("zip") == 2; });
    ASSERT_GT(working, 10);
    ASSERT_LT(working, 200);
    EXPECT_EQ(r.at(working + 2).s("loadtext"), "INSTALLING%20EXPLOSIVES");
    EXPECT_EQ(r.at(200).i("zip"), 2) << "a press during the wait collects nobody";
    EXPECT_EQ(r.at(200).i("loading"), 1);
    EXPECT_EQ(r.at(300).i("loading"), 0);
    EXPECT_EQ(r.at(310).i("zip"), 3);
    const long triggered = r.first([](const TraceRow& l) { return l.i("zip") >= 5; });
    ASSERT_GT(triggered, 310);
    const long burning = r.first([](const TraceRow& l) { return l.i("blast") > 0; }, triggered);
    ASSERT_GT(burning, triggered);
    EXPECT_LE(burning, triggered + 2);
    const long over = r.first([](const TraceRow& l) { return l.i("blast") == 0; }, burning);
    const long completed = r.first([](const TraceRow& l) { return l.i("exit") == 3; });
    ASSERT_GT(completed, 0) << "the mission never completed";
    EXPECT_GE(completed, over) << "the mission ended while the blast was burning";
    EXPECT_LE((completed - triggered) * 32, 12000 + 64);
    EXPECT_EQ(r.rows.back().i("exit"), 3);
    EXPECT_EQ(r.at(completed).i("eng"), 8);
    EXPECT_EQ(r.at(completed).i("uswsf"), 8);
    std::printf("working %ld, triggered %ld, burning %ld, over %ld, completed %ld\n", working, triggered, burning,
                over, completed);
}
