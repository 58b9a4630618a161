// A player's first mission from start to finish through the real menu: a pilot typed in,
// loaded, briefed, mission 0 flown by keys (a refuel on the Port Anselm pad, the checkpoint's
// crate winched, the last insurgent shot), the completion screen, "Save Game", quit; the next
// start finds the pilot where the mission ended, and quitting again leaves profiles.dat as it
// was. The game directory's island holds a single insurgent (slot 0, at the checkpoint), so
// the flight is short; every other garrison is already cleared.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "menu/profiles.h"
#include "menu_run.h"

using namespace menu_e2e;

namespace {

// The island's garrisons with every record but the first marked dead.
std::string one_insurgent_left(const std::string& layout) {
    std::istringstream in(layout);
    std::string line, out;
    int n = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (n >= 3) {  // the two counts, then slot 0 stays as it is
            // x,y,z,ACTIVE,...: the fourth field.
            size_t at = 0;
            for (int comma = 0; comma < 3 && at != std::string::npos; ++comma) at = line.find(',', at + 1);
            if (at != std::string::npos && at + 1 < line.size()) line[at + 1] = '0';
        }
        out += line + "\r\n";
        ++n;
    }
    return out;
}

// The settings with a 640 x 480 window (the first two lines).
std::string small_window(const std::string& settings) {
    const size_t second = settings.find('\n');
    const size_t third = second == std::string::npos ? second : settings.find('\n', second + 1);
    if (third == std::string::npos) return settings;
    return " 640\r\n 480\r\n" + settings.substr(third + 1);
}

// The keys of the flight, as frames counted from the first frame of the mission: turn onto the
// Port Anselm pad, cross to it, line up, land (the pad refuels and lets go by itself); turn
// west of the building south of the pad, cross, turn for the checkpoint's crate, cross and
// winch it; turn on the insurgent, close in and fire.
void fly_first_mission(Script& s, long start) {
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
    for (const Hold& h : kHolds) {
        s.down(start + h.from, h.key);
        s.text += std::to_string(start + h.to) + " key " + h.key + " 0\n";
    }
}

std::string text(const TraceLine& l, const std::string& key) {
    auto it = l.find(key);
    return it == l.end() ? "" : it->second;
}

// The pickup state of the mission's first crate ("ACTIVE.PICKUP,..." in the trace).
int first_crate_pickup(const TraceLine& l) {
    const std::string c = text(l, "crates");
    const size_t dot = c.find('.');
    return dot == std::string::npos ? -1 : std::atoi(c.c_str() + dot + 1);
}

}  // namespace

TEST(FirstMission, FlownWithARefuelACrateAndTheLastKillSavedAndFoundAgain) {
    REQUIRE_GAME();
    const fs::path dir = make_game_dir("first_mission");
    private_file(dir, "data/enemies0.dat", one_insurgent_left(read_file_text(kGame / "data/enemies0.dat")));
    // A small window keeps the long flight quick on the software renderer; the flight itself
    // does not depend on the window size.
    private_file(dir, "configVars.dat", small_window(read_file_text(kGame / "configVars.dat")));

    constexpr long kFly = 900;  // Enter on the briefing
    Script s;
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
    const MenuRun r = run_core(dir, "first_mission", s, kDone + 400);
    ASSERT_EQ(r.status, 0) << r.log;

    // Typed in, loaded, briefed.
    const TraceLine* briefing = r.first("menu", 2);
    ASSERT_NE(briefing, nullptr) << "the briefing never showed";
    EXPECT_LT(num(*briefing, "frame"), kFly) << "the briefing came too late for the script";
    EXPECT_EQ(num(*briefing, "mission"), 0);
    const TraceLine* flying = r.first("alive", 1, kFly);
    ASSERT_NE(flying, nullptr) << "the private island should hold one insurgent";
    EXPECT_LT(num(*flying, "frame"), kFly + 5);

    // The refuel: landed inside the pad, the tank filling, then off again by itself.
    const TraceLine* refuel = r.first("refuel", 1);
    ASSERT_NE(refuel, nullptr) << "no refuel on a pad";
    EXPECT_EQ(num(*refuel, "landed"), 1);
    EXPECT_GE(num(*refuel, "inside"), 1);
    const long refuel_frame = num(*refuel, "frame");
    const TraceLine* before = r.at(refuel_frame - 1);
    const TraceLine* lifted = r.first("landed", 0, refuel_frame);
    ASSERT_TRUE(before && lifted);
    EXPECT_GT(real(*lifted, "fuel"), real(*before, "fuel"));
    EXPECT_NEAR(real(*lifted, "fuel"), 1.0, 0.01);

    // The crate: waiting, on the winch, then done, all after the refuel.
    long waiting = -1, winching = -1, aboard = -1;
    for (const TraceLine& l : r.trace) {
        const int pickup = first_crate_pickup(l);
        const long f = num(l, "frame");
        if (pickup == 1 && waiting < 0) waiting = f;
        if (pickup == 2 && winching < 0) winching = f;
        if (pickup == 4 && aboard < 0) aboard = f;
    }
    ASSERT_GE(aboard, 0) << "the crate was never winched aboard";
    EXPECT_LT(waiting, winching);
    EXPECT_LT(winching, aboard);
    EXPECT_GT(winching, refuel_frame);

    // The last kill completes the mission, then the completion screen.
    const TraceLine* done = r.first("exit", 3);
    ASSERT_NE(done, nullptr) << "the mission did not complete";
    EXPECT_LT(num(*done, "frame"), kDone);
    EXPECT_GT(num(*done, "frame"), aboard);
    EXPECT_EQ(num(*done, "alive"), 0);
    EXPECT_LT(num(*done, "ammo"), 9999) << "no round was fired";
    const TraceLine* kill = r.first("alive", 0, kFly);
    ASSERT_NE(kill, nullptr);
    EXPECT_GT(num(*kill, "frame"), aboard) << "the insurgent fell before the crate was aboard";
    EXPECT_LE(num(*kill, "frame"), num(*done, "frame"));
    EXPECT_EQ(num(*r.at(num(*kill, "frame") - 1), "alive"), 1);
    const TraceLine* complete = r.first("menu", 200, num(*done, "frame"));
    ASSERT_NE(complete, nullptr);
    EXPECT_EQ(num(*complete, "mission"), 1);
    const TraceLine* saved_box = nullptr;
    for (const TraceLine& l : r.trace)
        if (text(l, "boxtitle") == "Profile%20Saved!") saved_box = &l;
    ASSERT_NE(saved_box, nullptr) << "Save Game did not report the save";
    const TraceLine* main = r.first("menu", 7, num(*saved_box, "frame"));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(num(r.trace.back(), "menu"), 7) << "quit from elsewhere";

    // The file holds the live record as the mission ended, and the pilot as typed.
    const ProfilesParse saved = profiles_parse(read_file_text(dir / "data/profiles.dat"));
    ASSERT_EQ(saved.profiles.size(), 1u) << saved.why;
    const PROFILETYPE& p = saved.profiles[0].record;
    EXPECT_EQ(p.NAME, "ROOK");
    EXPECT_EQ(p.CALLSIGN, "ZX");
    EXPECT_EQ(p.MISSIONNUM, 1);
    EXPECT_NEAR(p.PLAYERX, real(*done, "x"), 1e-3);
    EXPECT_NEAR(p.PLAYERZ, real(*done, "z"), 1e-3);
    EXPECT_NEAR(p.GUNSHIPANGLE, real(*done, "heading"), 1e-3);
    EXPECT_NEAR(p.FUEL, real(*done, "fuel"), 1e-4);
    EXPECT_EQ(p.VT90S, num(*done, "ammo"));
    EXPECT_EQ(p.ROCKETS, num(*done, "rockets"));
    EXPECT_GT(std::hypot(p.PLAYERX - 360.0f, p.PLAYERZ - 287.0f), 50.0f) << "the pilot never left the start";
    EXPECT_EQ(static_cast<long>(saved.profiles[0].airdrops.size()), num(*done, "airdrops"));

    // The next start: the pilot where the mission ended, nothing doubled, the file untouched.
    const std::string file_after_save = read_file_text(dir / "data/profiles.dat");
    Script again;
    again.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(900, "ESCAPE");
    again.press(930, "UP").press(950, "UP").press(970, "ENTER");
    const MenuRun r2 = run_core(dir, "first_mission_again", again, 1300);
    ASSERT_EQ(r2.status, 0) << r2.log;
    const TraceLine* b = r2.first("menu", 2);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(num(*b, "nprof"), 1);
    EXPECT_EQ(num(*b, "mission"), 1);
    EXPECT_NEAR(real(*b, "x"), p.PLAYERX, 1e-3);
    EXPECT_NEAR(real(*b, "z"), p.PLAYERZ, 1e-3);
    EXPECT_NEAR(real(*b, "heading"), p.GUNSHIPANGLE, 1e-3);
    EXPECT_NEAR(real(*b, "fuel"), p.FUEL, 1e-4);
    EXPECT_EQ(num(*b, "ammo"), p.VT90S);
    EXPECT_EQ(num(*b, "rockets"), p.ROCKETS);
    EXPECT_EQ(num(*b, "airdrops"), num(*done, "airdrops"));
    EXPECT_EQ(num(*b, "cps"), num(*done, "cps"));
    EXPECT_EQ(num(r2.trace.back(), "menu"), 7);
    EXPECT_EQ(read_file_text(dir / "data/profiles.dat"), file_after_save);
}
