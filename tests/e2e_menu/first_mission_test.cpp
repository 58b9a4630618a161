// A player's first mission from start to finish through the real menu: a pilot typed in,
// loaded, briefed, mission 0 flown by keys (a refuel on the Port Anselm pad, the checkpoint's
// crate winched, the last insurgent shot), the completion screen, "Save Game", quit; the next
// start finds the pilot where the mission ended, and quitting again leaves profiles.dat as it
// was. The game directory's island holds a single insurgent (slot 0, at the checkpoint), so
// the flight is short; every other garrison is already cleared.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/saved_pilots.h"

using namespace kvtest;

namespace {

using FirstMission = MenuGameTest;

// The keys of the flight, as frames counted from the first frame of the mission: turn onto the
// Port Anselm pad, cross to it, line up, land (the pad refuels and lets go by itself); turn
// west of the building south of the pad, cross, turn for the checkpoint's crate, cross and
// winch it; turn on the insurgent, close in and fire.
void fly_first_mission(Keys& s, long start) {
    struct Hold {
        long from, to;
        const char* key;
    };
    static const Hold kHolds[] = {
        {10, 173, "LEFT"},    {180, 377, "UP"},     {570, 617, "LEFT"},   {650, 667, "UP"},
        {820, 822, "L"},      {890, 1029, "LEFT"},  {1040, 1163, "UP"},   {1260, 1277, "RIGHT"},
        {1290, 1565, "UP"},   {1700, 1702, "L"},    {1860, 1866, "RIGHT"}, {1880, 1925, "UP"},
        {1990, 2060, "SPACE"},
    };
    for (const Hold& h : kHolds) s.hold(start + h.from, start + h.to, h.key);
}

// The pickup state of the mission's first crate ("ACTIVE.PICKUP,..." in the trace); -1 on a
// row without crates (the menu's).
int first_crate_pickup(const TraceRow& l) {
    const std::string& c = l.s("crates");
    const size_t dot = c.find('.');
    return dot == std::string::npos ? -1 : std::atoi(c.c_str() + dot + 1);
}

}  // namespace

TEST_F(FirstMission, FlownWithARefuelACrateAndTheLastKillSavedAndFoundAgain) {
    g.write("data/enemies0.dat", layout_with_inactive(1, std::numeric_limits<int>::max()));  // slot 0 alone
    // A small window keeps the long flight quick on the software renderer; the flight itself
    // does not depend on the window size.
    g.set_window(640, 480);

    constexpr long kFly = 900;  // Enter on the briefing
    Keys s;
    s.press(5, "ENTER")        // load profile -> profile list
        .press(25, "ENTER")    // "NEW PROFILE"
        .press(45, "R")
        .press(60, "O")
        .press(75, "O")
        .press(90, "K")
        .press(105, "ENTER")   // -> call-sign field
        .press(120, "Z")
        .press(135, "X")
        .press(150, "ENTER")   // -> Accept
        .press(165, "ENTER")   // create: properties screen, saved
        .press(190, "ENTER")   // Load -> loading -> preloading -> briefing
        .press(kFly, "ENTER");
    fly_first_mission(s, kFly);
    constexpr long kDone = kFly + 2200;  // the mission is over well before this
    s.press(kDone, "ENTER")               // "Save Game"
        .press(kDone + 30, "ENTER")       // close "Profile Saved!"
        .press(kDone + 60, "ESCAPE")      // -> properties
        .press(kDone + 80, "ESCAPE")      // -> profile list
        .press(kDone + 100, "ESCAPE")     // -> main menu, on "load profile"
        .press(kDone + 130, "UP")         // "quit game" (a completed mission is not resumed)
        .press(kDone + 150, "ENTER");
    const RunResult r = play("first_mission", s, kDone + 400);
    ASSERT_EQ(r.status, 0) << r.log();

    // Typed in, loaded, briefed.
    const TraceRow* briefing = r.find("menu", 2);
    ASSERT_NE(briefing, nullptr) << "the briefing never showed";
    EXPECT_LT(briefing->num("frame"), kFly) << "the briefing came too late for the script";
    EXPECT_EQ(briefing->num("mission"), 0);
    const TraceRow* flying = r.find("alive", 1, kFly);
    ASSERT_NE(flying, nullptr) << "the private island should hold one insurgent";
    EXPECT_LT(flying->num("frame"), kFly + 5);

    // The refuel: landed inside the pad, the tank filling, then off again by itself.
    const TraceRow* refuel = r.find("refuel", 1);
    ASSERT_NE(refuel, nullptr) << "no refuel on a pad";
    EXPECT_EQ(refuel->num("landed"), 1);
    EXPECT_GE(refuel->num("inside"), 1);
    const long refuel_frame = refuel->num("frame");
    const TraceRow* before = r.row(refuel_frame - 1);
    const TraceRow* lifted = r.find("landed", 0, refuel_frame);
    ASSERT_TRUE(before && lifted);
    EXPECT_GT(lifted->real("fuel"), before->real("fuel"));
    EXPECT_NEAR(lifted->real("fuel"), 1.0, 0.01);

    // The crate: waiting, on the winch, then done, all after the refuel.
    long waiting = -1, winching = -1, aboard = -1;
    for (const TraceRow& l : r.rows) {
        const int pickup = first_crate_pickup(l);
        const long f = l.num("frame");
        if (pickup == 1 && waiting < 0) waiting = f;
        if (pickup == 2 && winching < 0) winching = f;
        if (pickup == 4 && aboard < 0) aboard = f;
    }
    ASSERT_GE(aboard, 0) << "the crate was never winched aboard";
    EXPECT_LT(waiting, winching);
    EXPECT_LT(winching, aboard);
    EXPECT_GT(winching, refuel_frame);

    // The last kill completes the mission, then the completion screen.
    const TraceRow* done = r.find("exit", 3);
    ASSERT_NE(done, nullptr) << "the mission did not complete";
    EXPECT_LT(done->num("frame"), kDone);
    EXPECT_GT(done->num("frame"), aboard);
    EXPECT_EQ(done->num("alive"), 0);
    EXPECT_LT(done->num("ammo"), 9999) << "no round was fired";
    const TraceRow* kill = r.find("alive", 0, kFly);
    ASSERT_NE(kill, nullptr);
    EXPECT_GT(kill->num("frame"), aboard) << "the insurgent fell before the crate was aboard";
    EXPECT_LE(kill->num("frame"), done->num("frame"));
    EXPECT_EQ(r.at(kill->num("frame") - 1).num("alive"), 1);
    const TraceRow* complete = r.find("menu", 200, done->num("frame"));
    ASSERT_NE(complete, nullptr);
    EXPECT_EQ(complete->num("mission"), 1);
    const TraceRow* saved_box = r.find_text("boxtitle", encoded("Profile Saved!"));
    ASSERT_NE(saved_box, nullptr) << "Save Game did not report the save";
    ASSERT_NE(r.find("menu", 7, saved_box->num("frame")), nullptr);
    EXPECT_EQ(r.rows.back().num("menu"), 7) << "quit from elsewhere";

    // The file holds the live record as the mission ended, and the pilot as typed.
    const std::optional<ProfileImage> saved = expect_saved_as_ended(g, *done, 1);
    ASSERT_TRUE(saved);
    const PROFILETYPE& p = saved->record;
    EXPECT_EQ(p.NAME, "ROOK");
    EXPECT_EQ(p.CALLSIGN, "ZX");
    EXPECT_GT(std::hypot(p.PLAYERX - 360.0f, p.PLAYERZ - 287.0f), 50.0f) << "the pilot never left the start";

    // The next start: the pilot where the mission ended, nothing doubled, the file untouched.
    const TraceRow b = found_again(g, "first_mission_again");
    EXPECT_EQ(b.num("nprof"), 1);
    EXPECT_EQ(b.num("mission"), 1);
    EXPECT_NEAR(b.real("x"), p.PLAYERX, 1e-3);
    EXPECT_NEAR(b.real("z"), p.PLAYERZ, 1e-3);
    EXPECT_NEAR(b.real("heading"), p.GUNSHIPANGLE, 1e-3);
    EXPECT_NEAR(b.real("fuel"), p.FUEL, 1e-4);
    EXPECT_EQ(b.num("ammo"), p.VT90S);
    EXPECT_EQ(b.num("rockets"), p.ROCKETS);
    EXPECT_EQ(b.num("airdrops"), done->num("airdrops"));
    EXPECT_EQ(b.num("cps"), done->num("cps"));
}
