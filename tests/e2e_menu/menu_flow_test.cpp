// The menu played end to end through the real game: a pilot typed in (with letters the shipped
// bindings use for flying), saved, loaded through the loading and preloading screens into the
// briefing, flown and left with Escape, quit; a second start finds the pilot as saved. Removing
// a profile keeps the next one's enemy file; a pilot past the last mission is told the campaign
// is complete; a damaged profile list is kept aside; a kill during saving never tears the file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "support/saved_pilots.h"

using namespace kvtest;

namespace {

// Main menu -> quit: the cursor starts on "load profile"; one step up wraps to "quit game".
Keys& quit_from_main(Keys& s, long frame) { return s.press(frame, "UP").press(frame + 20, "ENTER"); }

using MenuFlow = MenuGameTest;

}  // namespace

TEST_F(MenuFlow, NewPilotTypedInLoadedFlownAndFoundAgain) {
    Keys s;
    s.press(5, "ENTER")    // load profile -> profile list
        .press(25, "ENTER")   // the "NEW PROFILE" row
        .press(45, "M")       // M, Z and X are bound to flying keys; in a name field they type
        .press(60, "Z")
        .press(75, "X")
        .press(90, "ENTER")   // -> call-sign field
        .press(105, "K")
        .press(120, "ENTER")  // -> Accept
        .press(135, "ENTER")  // create: properties screen, saved
        .press(160, "ENTER")  // Load -> loading -> preloading -> briefing
        .press(900, "ENTER")  // fly
        .press(960, "ESCAPE");  // leave the flight
    quit_from_main(s, 1040);
    const RunResult r = play("new_pilot", s, 1400);
    ASSERT_EQ(r.status, 0) << r.log();

    const TraceRow* typed = r.find("menu", 120);
    ASSERT_NE(typed, nullptr) << "the properties screen never showed";
    EXPECT_EQ(typed->num("nprof"), 1);
    const ProfilesParse saved = saved_profiles(g);
    ASSERT_EQ(saved.profiles.size(), 1u) << saved.why;
    EXPECT_EQ(saved.profiles[0].record.NAME, "MZX");
    EXPECT_EQ(saved.profiles[0].record.CALLSIGN, "K");
    EXPECT_TRUE(fs::exists(g / "data/profiles/0.dat"));

    // Loading passes through screens 4 and 10, one model and one tile per frame.
    const TraceRow* loading = r.find("menu", 4);
    const TraceRow* preload = r.find("menu", 10);
    const TraceRow* briefing = r.find("menu", 2);
    ASSERT_TRUE(loading && preload && briefing);
    EXPECT_LT(loading->num("frame"), preload->num("frame"));
    EXPECT_EQ(preload->num("loaded"), 1);
    EXPECT_EQ(preload->num("init"), 1);
    EXPECT_LT(briefing->num("frame"), 900) << "the briefing came too late for the script";
    EXPECT_GE(briefing->num("tiles"), 500);
    EXPECT_NEAR(briefing->real("x"), 360.0, 1e-3);
    EXPECT_NEAR(briefing->real("z"), 287.0, 1e-3);
    EXPECT_NEAR(briefing->real("heading"), 45.0, 1e-3);
    EXPECT_EQ(briefing->num("profile"), 0);
    EXPECT_EQ(briefing->num("research"), -1);
    EXPECT_EQ(briefing->at("techs"), "1");

    // The flight ran, Escape left it for the main menu with "resume game" highlighted.
    const TraceRow* left = r.find("exit", 1);
    ASSERT_NE(left, nullptr) << "Escape in flight did not leave the mission";
    const TraceRow* main = r.find("menu", 7, left->num("frame"));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->num("selmain"), 4);
    EXPECT_EQ(main->num("exit"), 0);

    // A second start finds the pilot as saved, and quitting leaves the file as it was.
    const TraceRow b2 = found_again(g, "new_pilot_again");
    EXPECT_EQ(b2.num("nprof"), 1);
    EXPECT_EQ(b2.num("mission"), 0);
    EXPECT_NEAR(b2.real("fuel"), 1.0, 1e-4);
    EXPECT_EQ(b2.num("ammo"), 9999);
    EXPECT_EQ(b2.num("rockets"), 64);
    EXPECT_NEAR(b2.real("x"), 360.0, 1e-3);
    EXPECT_NEAR(b2.real("heading"), 45.0, 1e-3);
}

TEST_F(MenuFlow, RemovingTheFirstProfileKeepsTheSecondOnesEnemyFile) {
    write_profiles(g, {pilot("FIRST", "ONE", 0), pilot("SECOND", "TWO", 1)});
    g.write("data/profiles/0.dat", " -1\r\n 0\r\n");
    const std::string second_enemies = read_file_text(kGame / "data/enemies0.dat");
    g.write("data/profiles/1.dat", second_enemies);
    Keys s;
    s.press(5, "ENTER")      // profile list, cursor on FIRST
        .press(25, "ENTER")  // properties
        .press(45, "RIGHT")
        .press(60, "RIGHT")  // "Remove"
        .press(75, "ENTER")  // confirm box, Cancel highlighted
        .press(95, "LEFT")   // Accept
        .press(115, "ENTER")
        .press(140, "ESCAPE");  // profile list -> main menu
    quit_from_main(s, 170);
    const RunResult r = play("remove_first", s, 400);
    ASSERT_EQ(r.status, 0) << r.log();
    const ProfilesParse left = saved_profiles(g);
    ASSERT_EQ(left.profiles.size(), 1u);
    EXPECT_EQ(left.profiles[0].record.NAME, "SECOND");
    EXPECT_EQ(left.profiles[0].record.MISSIONNUM, 1);
    EXPECT_EQ(read_file_text(g / "data/profiles/0.dat"), second_enemies);
    EXPECT_FALSE(fs::exists(g / "data/profiles/1.dat"));
    const TraceRow* list = r.find("nprof", 1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->num("menu"), 0);
}

TEST_F(MenuFlow, APilotPastTheLastMissionSeesCampaignComplete) {
    write_profiles(g, {pilot("VETERAN", "OLD", 3)});
    Keys s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER");  // Load
    s.press(800, "ENTER");                                       // close the box
    s.press(830, "ESCAPE").press(850, "ESCAPE");
    quit_from_main(s, 880);
    const RunResult r = play("campaign_complete", s, 1100);
    ASSERT_EQ(r.status, 0) << r.log();
    EXPECT_NE(r.log().find("CAMPAIGN COMPLETE"), std::string::npos) << r.log();
    const TraceRow* preload = r.find("menu", 10);
    ASSERT_NE(preload, nullptr);
    const TraceRow* back = r.find("menu", 120, preload->num("frame"));
    ASSERT_NE(back, nullptr) << "no return to the properties screen";
    EXPECT_EQ(r.find("menu", 2), nullptr) << "a mission was started";
    EXPECT_EQ(back->num("mission"), 3);
    const ProfilesParse kept = saved_profiles(g);
    ASSERT_EQ(kept.profiles.size(), 1u);
    EXPECT_EQ(kept.profiles[0].record.MISSIONNUM, 3);
}

TEST_F(MenuFlow, ADamagedProfileListIsKeptAsBad) {
    const std::string junk = " 2\r\nHALF\r\nA PILOT\r\n";
    g.write("data/profiles.dat", junk);
    Keys s;
    s.press(20, "ENTER");  // close the box
    quit_from_main(s, 40);
    const RunResult r = play("damaged", s, 200);
    ASSERT_EQ(r.status, 0) << r.log();
    EXPECT_NE(r.log().find("profiles.dat.bad"), std::string::npos) << r.log();
    EXPECT_EQ(read_file_text(g / "data/profiles.dat.bad"), junk);
    EXPECT_FALSE(fs::exists(g / "data/profiles.dat"));
}

TEST_F(MenuFlow, TheQuickFlightLeavesThePlayersProfilesAlone) {
    const std::string junk = "not a list\r\n";
    g.write("data/profiles.dat", junk);
    const RunResult r = g.play({.name = "quick_flight", .frames = 40, .seed = 0, .fly = true});
    ASSERT_EQ(r.status, 0) << r.log();
    EXPECT_EQ(read_file_text(g / "data/profiles.dat"), junk);
    EXPECT_FALSE(fs::exists(g / "data/profiles.dat.bad"));
    ASSERT_FALSE(r.rows.empty());
    EXPECT_EQ(r.rows.back().num("menu"), 2);  // flying mission 0 from the briefing page's state
    EXPECT_NEAR(r.rows.back().real("fuel"), 1.0, 0.01);
    EXPECT_EQ(r.rows.back().num("mission"), 0);
}

TEST_F(MenuFlow, AKillDuringSavingLeavesAWholeProfileList) {
    write_profiles(g, {pilot("STEADY", "HAND", 1), pilot("OTHER", "ONE", 0)});
    // Update on the properties screen with Enter held: a save every 200 ms of game time.
    Keys s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "RIGHT").down(65, "ENTER");
    const Play saving{.name = "sigkill", .script = s.text, .frames = 100000000};
    const fs::path list = g / "data/profiles.dat";
    const auto written_before = fs::last_write_time(list);
    for (int round = 0; round < 6; ++round) {
        const auto before = fs::last_write_time(list);
        const pid_t pid = g.start(saving);
        ASSERT_GT(pid, 0);
        // Wait (on a loaded machine as long as it takes, up to a minute) until the saves have
        // begun, then kill at a different point of the save cycle each round.
        for (int waited = 0; waited < 600; ++waited) {
            std::error_code ec;
            const auto t = fs::last_write_time(list, ec);
            if (!ec && t != before) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(37 * round));
        kill(-pid, SIGKILL);  // the run's whole process group: the game and its time limit
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        const ProfilesParse now = saved_profiles(g);
        EXPECT_FALSE(now.damaged) << "round " << round << ": " << now.why;
        ASSERT_EQ(now.profiles.size(), 2u);
        EXPECT_EQ(now.profiles[0].record.NAME, "STEADY");
        EXPECT_EQ(now.profiles[0].record.MISSIONNUM, 1);
        EXPECT_EQ(now.profiles[1].record.NAME, "OTHER");
    }
    EXPECT_GT(fs::last_write_time(list), written_before) << "no save happened";
}
