// A campaign through the real game: a mission completed (its garrisons already cleared in the
// profile's own enemy file, so the script stays short) with the research that became due
// announced, saved, and found again on the next start with no crate or pad doubled; landing on
// the research base to choose a field and, once it is due, to install it.
#include <gtest/gtest.h>

#include "game/enemies.h"
#include "game/kv_globals.h"
#include "support/saved_pilots.h"

using namespace kvtest;

namespace {

using Campaign = MenuGameTest;

ProfileImage pilot_at(float x, float z, int32_t mission) {
    ProfileImage img = pilot("ACE", "HAWK", mission, "00:10:00.000");
    img.record.PLAYERX = x;
    img.record.PLAYERZ = z;
    return img;
}

// The island's garrisons with the first `cleared` slots already killed, as profile 0's file.
void write_enemies(const GameDir& g, int32_t cleared) {
    ASSERT_TRUE(enemies_layout_load_file((kGame / "data/enemies0.dat").string()));
    for (int32_t i = 0; i < cleared && i <= KVGLOBALS.MAXENEMIES; ++i) KVGLOBALS.ENEMIES[i].ACTIVE = 0;
    ASSERT_TRUE(enemies_export_file((g / "data/profiles/0.dat").string()));
}

}  // namespace

TEST_F(Campaign, CompletedMissionIsSavedAndFoundAgain) {
    ProfileImage img = pilot_at(360.0f, 287.0f, 0);
    img.record.RESEARCHINGTECHNOLOGY = 1;  // one mission of research, started at mission 0
    img.record.RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    write_profiles(g, {img});
    write_enemies(g, 20);  // both kill ranges of mission 1 already cleared
    Keys s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER");  // Load
    s.press(760, "ENTER");                                       // fly: the mission completes
    s.press(900, "ENTER");                                       // close "Researching Completed!"
    s.press(930, "ENTER");                                       // Save Game
    s.press(960, "ENTER");                                       // close "Profile Saved!"
    s.press(990, "ESCAPE").press(1010, "ESCAPE").press(1030, "ESCAPE");
    s.press(1060, "UP").press(1080, "UP").press(1100, "ENTER");  // resume -> quit
    const RunResult r = play("campaign_save", s, 1400);
    ASSERT_EQ(r.status, 0) << r.log();

    const TraceRow* done = r.find("exit", 3);
    ASSERT_NE(done, nullptr) << "the mission did not complete";
    const TraceRow* complete = r.find("menu", 200);
    ASSERT_NE(complete, nullptr);
    EXPECT_EQ(complete->num("mission"), 1);
    EXPECT_EQ(complete->at("boxtitle"), encoded("Researching Completed!"));
    EXPECT_NE(r.find_text("boxtitle", encoded("Profile Saved!")), nullptr);

    const std::optional<ProfileImage> saved = expect_saved_as_ended(g, *done, 1);
    ASSERT_TRUE(saved);
    // The game clock went on from the saved ten minutes while the mission ran.
    double h = 0, m = 0, sec = 0;
    profile_clock_parts(saved->clock_text, h, m, sec);
    EXPECT_GT(3600 * h + 60 * m + sec, 600.0) << saved->clock_text;
    EXPECT_LT(3600 * h + 60 * m + sec, 700.0) << saved->clock_text;

    // The next start: the pilot where the mission ended, the tables not doubled.
    const PROFILETYPE& p = saved->record;
    const TraceRow b = found_again(g, "campaign_save_again");
    EXPECT_EQ(b.num("mission"), 1);
    EXPECT_NEAR(b.real("x"), p.PLAYERX, 1e-3);
    EXPECT_NEAR(b.real("z"), p.PLAYERZ, 1e-3);
    EXPECT_NEAR(b.real("heading"), p.GUNSHIPANGLE, 1e-3);
    EXPECT_EQ(b.num("airdrops"), done->num("airdrops"));
    EXPECT_EQ(b.num("research"), 1);
    EXPECT_EQ(b.num("alerttech"), 1);  // due: a reminder to land on the base
}

TEST_F(Campaign, LandingOnTheBaseChoosesResearchAndLaterInstallsIt) {
    const std::string land = shipped_key_of(6);
    if (land.empty()) GTEST_SKIP() << "the shipped settings do not use keys";
    // From the first mission a new pilot is offered what needs the rack it has: land, choose, fly on.
    write_profiles(g, {pilot_at(364.0f, 309.0f, 0)});
    Keys s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(760, "ENTER");
    s.press(800, land);
    s.press(1100, "DOWN").press(1130, "UP");  // the cursor wraps round the offered fields
    s.press(1160, "ENTER");                   // choose -> technology screen
    s.press(1190, "ENTER");                   // back into the mission, lifting off
    s.press(1300, "ESCAPE").press(1400, "UP").press(1420, "ENTER");
    const RunResult r = play("research_choose", s, 1700);
    ASSERT_EQ(r.status, 0) << r.log();
    const TraceRow* offered = r.find("menu", 6);
    ASSERT_NE(offered, nullptr) << "landing on the base did not offer research";
    EXPECT_GE(offered->num("nnew"), 1);
    EXPECT_EQ(offered->num("research"), -1);
    const TraceRow* chosen = r.find("menu", 5, offered->num("frame"));
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->num("research"), 1);
    EXPECT_EQ(chosen->num("rstart"), 0);
    const TraceRow* resumed = r.find("landed", 0, chosen->num("frame") + 1);
    ASSERT_NE(resumed, nullptr);
    EXPECT_EQ(resumed->num("exit"), 0);

    // Due at mission 1 (and still so later): landing installs it.
    GameDir due_dir;
    ASSERT_TRUE(due_dir.ok());
    due_dir.without_profiles();
    ProfileImage due = pilot_at(364.0f, 309.0f, 2);
    due.record.RESEARCHINGTECHNOLOGY = 1;
    due.record.RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    write_profiles(due_dir, {due});
    Keys t;
    t.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(760, "ENTER");
    t.press(800, land);
    t.press(1150, "ENTER");  // close "Upgrade Installed!"
    t.press(1180, "ENTER");  // back into the mission
    t.press(1300, "ESCAPE").press(1400, "UP").press(1420, "ENTER");
    const RunResult r2 = due_dir.play({.name = "research_install", .script = t.text, .frames = 1700});
    ASSERT_EQ(r2.status, 0) << r2.log();
    const TraceRow* installed = r2.find_text("boxtitle", encoded("Upgrade Installed!"));
    ASSERT_NE(installed, nullptr) << "landing on the base did not install the due research";
    EXPECT_EQ(installed->num("menu"), 5);
    EXPECT_EQ(installed->at("techs"), "3");
    EXPECT_EQ(installed->num("research"), -1);
    EXPECT_EQ(installed->num("alerttech"), 0);
}

TEST_F(Campaign, AFailedMissionDoesNotRuinTheProfile) {
    ProfileImage img = pilot_at(360.0f, 287.0f, 0);
    img.record.FUEL = 0.005f;  // runs dry a few seconds into the flight
    write_profiles(g, {img});
    Keys s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(760, "ENTER");
    s.press(1300, "ENTER");                    // close "Out of fuel!"
    s.press(1330, "RIGHT").press(1350, "ENTER");  // Update
    s.press(1380, "ESCAPE").press(1400, "ESCAPE");
    s.press(1430, "UP").press(1450, "ENTER");  // no "resume game": one step up is "quit game"
    const RunResult r = play("failure", s, 1700);
    ASSERT_EQ(r.status, 0) << r.log();
    const TraceRow* failed = r.find("exit", 4);
    ASSERT_NE(failed, nullptr) << "the mission did not fail";
    EXPECT_LT(failed->num("frame"), 1250);
    EXPECT_NEAR(failed->real("fuel"), 0.0, 1e-6);
    const TraceRow* props = r.find("menu", 120, failed->num("frame"));
    ASSERT_NE(props, nullptr);
    EXPECT_FALSE(props->at("boxtitle").empty());
    EXPECT_EQ(props->num("started"), 0);
    EXPECT_NEAR(props->real("fuel"), 0.005, 1e-6);  // back to what is saved
    // Update wrote the saved fuel, not the empty tank.
    const ProfilesParse saved = saved_profiles(g);
    ASSERT_EQ(saved.profiles.size(), 1u);
    EXPECT_NEAR(saved.profiles[0].record.FUEL, 0.005f, 1e-6);
    const TraceRow* main = r.find("menu", 7, props->num("frame"));
    ASSERT_NE(main, nullptr);
    const TraceRow* quit = r.find("selmain", 3, main->num("frame"));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->num("menu"), 7);
}
