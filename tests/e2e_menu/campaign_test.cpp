// A campaign through the real game: a mission completed (its garrisons already cleared in the
// profile's own enemy file, so the script stays short) with the research that became due
// announced, saved, and found again on the next start with no crate or pad doubled; landing on
// the research base to choose a field and, once it is due, to install it.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/enemies.h"
#include "game/kv_globals.h"
#include "game/profile_types.h"
#include "menu/profiles.h"
#include "menu_run.h"
#include "support/fly_run.h"

using namespace menu_e2e;

namespace {

ProfileImage pilot_at(float x, float z, int32_t mission) {
    ProfileImage img;
    kv_profile_starting_values(img.record, "ACE", "HAWK");
    img.record.MISSIONNUM = mission;
    img.record.PLAYERX = x;
    img.record.PLAYERZ = z;
    img.clock_text = "00:10:00.000";
    img.checkpoints.assign(1, CHECKPOINTTYPE{});
    return img;
}

void write_profile(const fs::path& dir, ProfileImage img) {
    fs::create_directories(dir / "data/profiles");
    write_file_text(dir / "data/profiles.dat", profiles_serialize(&img, 1, nullptr));
}

// The island's garrisons with the first `cleared` slots already killed, as profile 0's file.
void write_enemies(const fs::path& dir, int32_t cleared) {
    ASSERT_TRUE(enemies_layout_load_file((kGame / "data/enemies0.dat").string()));
    for (int32_t i = 0; i < cleared && i <= KVGLOBALS.MAXENEMIES; ++i) KVGLOBALS.ENEMIES[i].ACTIVE = 0;
    ASSERT_TRUE(enemies_export_file((dir / "data/profiles/0.dat").string()));
}

std::string text(const TraceLine& l, const std::string& key) {
    auto it = l.find(key);
    return it == l.end() ? "" : it->second;
}

const TraceLine* first_text(const MenuRun& r, const std::string& key, const std::string& value, long from = 0) {
    for (const TraceLine& l : r.trace)
        if (num(l, "frame") >= from && text(l, key) == value) return &l;
    return nullptr;
}

}  // namespace

TEST(Campaign, CompletedMissionIsSavedAndFoundAgain) {
    REQUIRE_GAME();
    const fs::path dir = make_game_dir("campaign_save");
    ProfileImage img = pilot_at(360.0f, 287.0f, 0);
    img.record.RESEARCHINGTECHNOLOGY = 1;  // one mission of research, started at mission 0
    img.record.RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    write_profile(dir, img);
    write_enemies(dir, 20);  // both kill ranges of mission 1 already cleared
    Script s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER");  // Load
    s.press(760, "ENTER");                                       // fly: the mission completes
    s.press(900, "ENTER");                                       // close "Researching Completed!"
    s.press(930, "ENTER");                                       // Save Game
    s.press(960, "ENTER");                                       // close "Profile Saved!"
    s.press(990, "ESCAPE").press(1010, "ESCAPE").press(1030, "ESCAPE");
    s.press(1060, "UP").press(1080, "UP").press(1100, "ENTER");  // resume -> quit
    const MenuRun r = run_core(dir, "campaign_save", s, 1400);
    ASSERT_EQ(r.status, 0) << r.log;

    const TraceLine* done = r.first("exit", 3);
    ASSERT_NE(done, nullptr) << "the mission did not complete";
    const TraceLine* complete = r.first("menu", 200);
    ASSERT_NE(complete, nullptr);
    EXPECT_EQ(num(*complete, "mission"), 1);
    EXPECT_EQ(text(*complete, "boxtitle"), "Researching%20Completed!");
    EXPECT_NE(first_text(r, "boxtitle", "Profile%20Saved!"), nullptr);
    const long airdrops = num(*done, "airdrops");

    const ProfilesParse saved = profiles_parse(read_file_text(dir / "data/profiles.dat"));
    ASSERT_EQ(saved.profiles.size(), 1u) << saved.why;
    const PROFILETYPE& p = saved.profiles[0].record;
    EXPECT_EQ(p.MISSIONNUM, 1);
    EXPECT_NEAR(p.PLAYERX, real(*done, "x"), 1e-3);
    EXPECT_NEAR(p.PLAYERZ, real(*done, "z"), 1e-3);
    EXPECT_NEAR(p.GUNSHIPANGLE, real(*done, "heading"), 1e-3);
    EXPECT_NEAR(p.FUEL, real(*done, "fuel"), 1e-4);
    EXPECT_EQ(p.VT90S, num(*done, "ammo"));
    EXPECT_EQ(static_cast<long>(saved.profiles[0].airdrops.size()), airdrops);
    // The game clock went on from the saved ten minutes while the mission ran.
    double h = 0, m = 0, sec = 0;
    profile_clock_parts(saved.profiles[0].clock_text, h, m, sec);
    EXPECT_GT(3600 * h + 60 * m + sec, 600.0) << saved.profiles[0].clock_text;
    EXPECT_LT(3600 * h + 60 * m + sec, 700.0) << saved.profiles[0].clock_text;

    // The next start: the pilot where the mission ended, the tables not doubled.
    const std::string file_after_save = read_file_text(dir / "data/profiles.dat");
    Script again;
    again.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(900, "ESCAPE");
    again.press(930, "UP").press(950, "UP").press(970, "ENTER");
    const MenuRun r2 = run_core(dir, "campaign_save_again", again, 1300);
    ASSERT_EQ(r2.status, 0) << r2.log;
    const TraceLine* b = r2.first("menu", 2);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(num(*b, "mission"), 1);
    EXPECT_NEAR(real(*b, "x"), p.PLAYERX, 1e-3);
    EXPECT_NEAR(real(*b, "z"), p.PLAYERZ, 1e-3);
    EXPECT_NEAR(real(*b, "heading"), p.GUNSHIPANGLE, 1e-3);
    EXPECT_EQ(num(*b, "airdrops"), airdrops);
    EXPECT_EQ(num(*b, "research"), 1);
    EXPECT_EQ(num(*b, "alerttech"), 1);  // due: a reminder to land on the base
    EXPECT_EQ(read_file_text(dir / "data/profiles.dat"), file_after_save);
}

TEST(Campaign, LandingOnTheBaseChoosesResearchAndLaterInstallsIt) {
    REQUIRE_GAME();
    const std::string land = shipped_key_of(kGame, 6);
    if (land.empty()) GTEST_SKIP() << "the shipped settings do not use keys";
    // From the first mission a new pilot is offered what needs the rack it has: land, choose, fly on.
    const fs::path dir = make_game_dir("research_choose");
    write_profile(dir, pilot_at(364.0f, 309.0f, 0));
    Script s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(760, "ENTER");
    s.press(800, land);
    s.press(1100, "DOWN").press(1130, "UP");  // the cursor wraps round the offered fields
    s.press(1160, "ENTER");                   // choose -> technology screen
    s.press(1190, "ENTER");                   // back into the mission, lifting off
    s.press(1300, "ESCAPE").press(1400, "UP").press(1420, "ENTER");
    const MenuRun r = run_core(dir, "research_choose", s, 1700);
    ASSERT_EQ(r.status, 0) << r.log;
    const TraceLine* offered = r.first("menu", 6);
    ASSERT_NE(offered, nullptr) << "landing on the base did not offer research";
    EXPECT_GE(num(*offered, "nnew"), 1);
    EXPECT_EQ(num(*offered, "research"), -1);
    const TraceLine* chosen = r.first("menu", 5, num(*offered, "frame"));
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(num(*chosen, "research"), 1);
    EXPECT_EQ(num(*chosen, "rstart"), 0);
    const TraceLine* resumed = r.first("landed", 0, num(*chosen, "frame") + 1);
    ASSERT_NE(resumed, nullptr);
    EXPECT_EQ(num(*resumed, "exit"), 0);

    // Due at mission 1 (and still so later): landing installs it.
    const fs::path dir2 = make_game_dir("research_install");
    ProfileImage due = pilot_at(364.0f, 309.0f, 2);
    due.record.RESEARCHINGTECHNOLOGY = 1;
    due.record.RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    write_profile(dir2, due);
    Script t;
    t.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(760, "ENTER");
    t.press(800, land);
    t.press(1150, "ENTER");  // close "Upgrade Installed!"
    t.press(1180, "ENTER");  // back into the mission
    t.press(1300, "ESCAPE").press(1400, "UP").press(1420, "ENTER");
    const MenuRun r2 = run_core(dir2, "research_install", t, 1700);
    ASSERT_EQ(r2.status, 0) << r2.log;
    const TraceLine* installed = first_text(r2, "boxtitle", "Upgrade%20Installed!");
    ASSERT_NE(installed, nullptr) << "landing on the base did not install the due research";
    EXPECT_EQ(num(*installed, "menu"), 5);
    EXPECT_EQ(text(*installed, "techs"), "3");
    EXPECT_EQ(num(*installed, "research"), -1);
    EXPECT_EQ(num(*installed, "alerttech"), 0);
}

TEST(Campaign, AFailedMissionDoesNotRuinTheProfile) {
    REQUIRE_GAME();
    const fs::path dir = make_game_dir("failure");
    ProfileImage img = pilot_at(360.0f, 287.0f, 0);
    img.record.FUEL = 0.005f;  // runs dry a few seconds into the flight
    write_profile(dir, img);
    Script s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(760, "ENTER");
    s.press(1300, "ENTER");                    // close "Out of fuel!"
    s.press(1330, "RIGHT").press(1350, "ENTER");  // Update
    s.press(1380, "ESCAPE").press(1400, "ESCAPE");
    s.press(1430, "UP").press(1450, "ENTER");  // no "resume game": one step up is "quit game"
    const MenuRun r = run_core(dir, "failure", s, 1700);
    ASSERT_EQ(r.status, 0) << r.log;
    const TraceLine* failed = r.first("exit", 4);
    ASSERT_NE(failed, nullptr) << "the mission did not fail";
    EXPECT_LT(num(*failed, "frame"), 1250);
    EXPECT_NEAR(real(*failed, "fuel"), 0.0, 1e-6);
    const TraceLine* props = r.first("menu", 120, num(*failed, "frame"));
    ASSERT_NE(props, nullptr);
    EXPECT_EQ(text(*props, "boxtitle").empty(), false);
    EXPECT_EQ(num(*props, "started"), 0);
    EXPECT_NEAR(real(*props, "fuel"), 0.005, 1e-6);  // back to what is saved
    // Update wrote the saved fuel, not the empty tank.
    const ProfilesParse saved = profiles_parse(read_file_text(dir / "data/profiles.dat"));
    ASSERT_EQ(saved.profiles.size(), 1u);
    EXPECT_NEAR(saved.profiles[0].record.FUEL, 0.005f, 1e-6);
    const TraceLine* main = r.first("menu", 7, num(*props, "frame"));
    ASSERT_NE(main, nullptr);
    const TraceLine* quit = r.first("selmain", 3, num(*main, "frame"));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(num(*quit, "menu"), 7);
}
