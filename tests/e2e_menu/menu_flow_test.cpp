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

#include "game/profile_types.h"
#include "menu/profiles.h"
#include "menu_run.h"

using namespace menu_e2e;

namespace {

// Main menu -> quit: the cursor starts on "load profile"; one step up wraps to "quit game".
Script& quit_from_main(Script& s, long frame) { return s.press(frame, "UP").press(frame + 20, "ENTER"); }

}  // namespace

TEST(MenuFlow, NewPilotTypedInLoadedFlownAndFoundAgain) {
    REQUIRE_GAME();
    const fs::path dir = make_game_dir("new_pilot");
    Script s;
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
    const MenuRun r = run_core(dir, "new_pilot", s, 1400);
    ASSERT_EQ(r.status, 0) << r.log;

    const TraceLine* typed = r.first("menu", 120);
    ASSERT_NE(typed, nullptr) << "the properties screen never showed";
    EXPECT_EQ(num(*typed, "nprof"), 1);
    const ProfilesParse saved = profiles_parse(read_file_text(dir / "data/profiles.dat"));
    ASSERT_EQ(saved.profiles.size(), 1u) << saved.why;
    EXPECT_EQ(saved.profiles[0].record.NAME, "MZX");
    EXPECT_EQ(saved.profiles[0].record.CALLSIGN, "K");
    EXPECT_TRUE(fs::exists(dir / "data/profiles/0.dat"));

    // Loading passes through screens 4 and 10, one model and one tile per frame.
    const TraceLine* loading = r.first("menu", 4);
    const TraceLine* preload = r.first("menu", 10);
    const TraceLine* briefing = r.first("menu", 2);
    ASSERT_TRUE(loading && preload && briefing);
    EXPECT_LT(num(*loading, "frame"), num(*preload, "frame"));
    EXPECT_EQ(num(*preload, "loaded"), 1);
    EXPECT_EQ(num(*preload, "init"), 1);
    EXPECT_LT(num(*briefing, "frame"), 900) << "the briefing came too late for the script";
    EXPECT_GE(num(*briefing, "tiles"), 500);
    EXPECT_NEAR(real(*briefing, "x"), 360.0, 1e-3);
    EXPECT_NEAR(real(*briefing, "z"), 287.0, 1e-3);
    EXPECT_NEAR(real(*briefing, "heading"), 45.0, 1e-3);
    EXPECT_EQ(num(*briefing, "profile"), 0);
    EXPECT_EQ(num(*briefing, "research"), -1);
    EXPECT_EQ(r.first("menu", 2, num(*briefing, "frame"))->at("techs"), "1");

    // The flight ran, Escape left it for the main menu with "resume game" highlighted.
    const TraceLine* left = r.first("exit", 1);
    ASSERT_NE(left, nullptr) << "Escape in flight did not leave the mission";
    const TraceLine* main = r.first("menu", 7, num(*left, "frame"));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(num(*main, "selmain"), 4);
    EXPECT_EQ(num(*main, "exit"), 0);

    // A second start finds the pilot as saved, and quitting leaves the file as it was.
    const std::string file_after_first = read_file_text(dir / "data/profiles.dat");
    Script again;
    again.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(900, "ESCAPE");
    again.press(930, "UP").press(950, "UP").press(970, "ENTER");
    const MenuRun r2 = run_core(dir, "new_pilot_again", again, 1300);
    ASSERT_EQ(r2.status, 0) << r2.log;
    const TraceLine* b2 = r2.first("menu", 2);
    ASSERT_NE(b2, nullptr);
    EXPECT_EQ(num(*b2, "nprof"), 1);
    EXPECT_EQ(num(*b2, "mission"), 0);
    EXPECT_NEAR(real(*b2, "fuel"), 1.0, 1e-4);
    EXPECT_EQ(num(*b2, "ammo"), 9999);
    EXPECT_EQ(num(*b2, "rockets"), 64);
    EXPECT_NEAR(real(*b2, "x"), 360.0, 1e-3);
    EXPECT_NEAR(real(*b2, "heading"), 45.0, 1e-3);
    EXPECT_EQ(read_file_text(dir / "data/profiles.dat"), file_after_first);
}

TEST(MenuFlow, RemovingTheFirstProfileKeepsTheSecondOnesEnemyFile) {
    REQUIRE_GAME();
    const fs::path dir = make_game_dir("remove_first");
    write_profiles(dir, {pilot("FIRST", "ONE", 0), pilot("SECOND", "TWO", 1)});
    write_file_text(dir / "data/profiles/0.dat", " -1\r\n 0\r\n");
    const std::string second_enemies = read_file_text(kGame / "data/enemies0.dat");
    write_file_text(dir / "data/profiles/1.dat", second_enemies);
    Script s;
    s.press(5, "ENTER")      // profile list, cursor on FIRST
        .press(25, "ENTER")  // properties
        .press(45, "RIGHT")
        .press(60, "RIGHT")  // "Remove"
        .press(75, "ENTER")  // confirm box, Cancel highlighted
        .press(95, "LEFT")   // Accept
        .press(115, "ENTER")
        .press(140, "ESCAPE");  // profile list -> main menu
    quit_from_main(s, 170);
    const MenuRun r = run_core(dir, "remove_first", s, 400);
    ASSERT_EQ(r.status, 0) << r.log;
    const ProfilesParse left = profiles_parse(read_file_text(dir / "data/profiles.dat"));
    ASSERT_EQ(left.profiles.size(), 1u);
    EXPECT_EQ(left.profiles[0].record.NAME, "SECOND");
    EXPECT_EQ(left.profiles[0].record.MISSIONNUM, 1);
    EXPECT_EQ(read_file_text(dir / "data/profiles/0.dat"), second_enemies);
    EXPECT_FALSE(fs::exists(dir / "data/profiles/1.dat"));
    const TraceLine* list = r.first("nprof", 1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(num(*list, "menu"), 0);
}

TEST(MenuFlow, APilotPastTheLastMissionSeesCampaignComplete) {
    REQUIRE_GAME();
    const fs::path dir = make_game_dir("campaign_complete");
    write_profiles(dir, {pilot("VETERAN", "OLD", 3)});
    Script s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER");  // Load
    s.press(800, "ENTER");                                       // close the box
    s.press(830, "ESCAPE").press(850, "ESCAPE");
    quit_from_main(s, 880);
    const MenuRun r = run_core(dir, "campaign_complete", s, 1100);
    ASSERT_EQ(r.status, 0) << r.log;
    EXPECT_NE(r.log.find("CAMPAIGN COMPLETE"), std::string::npos) << r.log;
    const TraceLine* preload = r.first("menu", 10);
    ASSERT_NE(preload, nullptr);
    const TraceLine* back = r.first("menu", 120, num(*preload, "frame"));
    ASSERT_NE(back, nullptr) << "no return to the properties screen";
    EXPECT_EQ(r.first("menu", 2), nullptr) << "a mission was started";
    EXPECT_EQ(num(*back, "mission"), 3);
    const ProfilesParse kept = profiles_parse(read_file_text(dir / "data/profiles.dat"));
    ASSERT_EQ(kept.profiles.size(), 1u);
    EXPECT_EQ(kept.profiles[0].record.MISSIONNUM, 3);
}

TEST(MenuFlow, ADamagedProfileListIsKeptAsBad) {
    REQUIRE_GAME();
    const fs::path dir = make_game_dir("damaged");
    fs::create_directories(dir / "data");
    const std::string junk = " 2\r\nHALF\r\nA PILOT\r\n";
    write_file_text(dir / "data/profiles.dat", junk);
    Script s;
    s.press(20, "ENTER");  // close the box
    quit_from_main(s, 40);
    const MenuRun r = run_core(dir, "damaged", s, 200);
    ASSERT_EQ(r.status, 0) << r.log;
    EXPECT_NE(r.log.find("profiles.dat.bad"), std::string::npos) << r.log;
    EXPECT_EQ(read_file_text(dir / "data/profiles.dat.bad"), junk);
    EXPECT_FALSE(fs::exists(dir / "data/profiles.dat"));
}

TEST(MenuFlow, TheQuickFlightLeavesThePlayersProfilesAlone) {
    REQUIRE_GAME();
    const fs::path dir = make_game_dir("quick_flight");
    const std::string junk = "not a list\r\n";
    write_file_text(dir / "data/profiles.dat", junk);
    std::string cmd = "\"";
    cmd += (kGame / "core").string();
    cmd += "\" --dir \"";
    cmd += dir.string();
    cmd += "\" --fly --fixed-step 16 --frames 40 --trace \"";
    cmd += (kOut / "quick_flight.trace").string();
    cmd += "\"";
    const CommandResult r = run_command(cmd);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(read_file_text(dir / "data/profiles.dat"), junk);
    EXPECT_FALSE(fs::exists(dir / "data/profiles.dat.bad"));
    const std::vector<TraceLine> t = parse(read_file_text(kOut / "quick_flight.trace"));
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(num(t.back(), "menu"), 2);  // flying mission 0 from the briefing page's state
    EXPECT_NEAR(real(t.back(), "fuel"), 1.0, 0.01);
    EXPECT_EQ(num(t.back(), "mission"), 0);
}

TEST(MenuFlow, AKillDuringSavingLeavesAWholeProfileList) {
    REQUIRE_GAME();
    const fs::path dir = make_game_dir("sigkill");
    write_profiles(dir, {pilot("STEADY", "HAND", 1), pilot("OTHER", "ONE", 0)});
    // Update on the properties screen with Enter held: a save every 200 ms of game time.
    Script s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "RIGHT").down(65, "ENTER");
    const auto written_before = fs::last_write_time(dir / "data/profiles.dat");
    for (int round = 0; round < 6; ++round) {
        const auto before = fs::last_write_time(dir / "data/profiles.dat");
        const pid_t pid = start_core(dir, "sigkill", s, 100000000);
        ASSERT_GT(pid, 0);
        // Wait (on a loaded machine as long as it takes, up to a minute) until the saves have
        // begun, then kill at a different point of the save cycle each round.
        for (int waited = 0; waited < 600; ++waited) {
            std::error_code ec;
            const auto t = fs::last_write_time(dir / "data/profiles.dat", ec);
            if (!ec && t != before) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(37 * round));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        const ProfilesParse now = profiles_parse(read_file_text(dir / "data/profiles.dat"));
        EXPECT_FALSE(now.damaged) << "round " << round << ": " << now.why;
        ASSERT_EQ(now.profiles.size(), 2u);
        EXPECT_EQ(now.profiles[0].record.NAME, "STEADY");
        EXPECT_EQ(now.profiles[0].record.MISSIONNUM, 1);
        EXPECT_EQ(now.profiles[1].record.NAME, "OTHER");
    }
    EXPECT_GT(fs::last_write_time(dir / "data/profiles.dat"), written_before) << "no save happened";
}
