// Profiles: the profiles.dat format read back exactly (odd names, 100+ hour clocks, the mission
// block), damaged files kept aside instead of overwritten, the saved image that menu saves write
// instead of mid-mission state, enemy files that follow their profile on removal, failed saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/textfile.h"
#include "game/kv_globals.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "menu/menu_input.h"
#include "menu/profiles.h"
#include "menu_fixture.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

ProfileImage sample(const std::string& name, const std::string& callsign, const std::string& clock) {
    ProfileImage img;
    kv_profile_starting_values(img.record, name, callsign);
    img.clock_text = clock;
    img.record.GAMECLOCKSTRING = clock;
    img.checkpoints.assign(1, CHECKPOINTTYPE{});
    return img;
}

// The profile count and every profile's name as the game reads the file back.
ProfilesParse parse_file(const fs::path& p) { return profiles_parse(read_file_text(p)); }

}  // namespace

TEST(ProfileFile, RoundTripKeepsOddNamesClocksAndTheMissionBlock) {
    ProfileImage imgs[2] = {sample("A B'C-9.x", "Z X M", "123:04:05.678"), sample("TWELVECHARSX", "K", "00:00:00.000")};
    imgs[0].record.MISSIONNUM = 2;
    imgs[0].record.FUEL = 0.5f;
    imgs[0].record.ARMOUR = 0.25f;
    imgs[0].record.PLAYERX = -12.5f;
    imgs[0].record.GUNSHIPANGLE = 359.75f;
    imgs[0].record.COMPLETEDTECHNOLOGY[43] = 1;
    imgs[0].record.RESEARCHINGTECHNOLOGY = 5;
    imgs[0].record.RESEARCHINGTECHNOLOGYSTARTMISSION = 1;
    AIRDROPTYPE a;
    a.ACTIVE = 2;
    a.POSITION = {100.5f, 3.0f, -7.25f};
    a.PAYLOAD = 3;
    a.PICKUPFLAG = 4;
    a.CHECKPOINTID = 9;
    imgs[0].airdrops = {a, a};
    CHECKPOINTTYPE c;
    c.ACTIVE = 1;
    c.POSITION = {40.0f, 0.0f, 50.0f};
    c.CLASS = 1;
    imgs[0].checkpoints = {CHECKPOINTTYPE{}, c, c};

    const std::string bytes = profiles_serialize(imgs, 2, nullptr);
    // Numbers as the file stores them: a blank before non-negative values, no trailing point.
    EXPECT_NE(bytes.find("\r\n 0.5\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n 360\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n-12.5\r\n"), std::string::npos);

    const ProfilesParse back = profiles_parse(bytes);
    EXPECT_FALSE(back.damaged) << back.why;
    ASSERT_EQ(back.profiles.size(), 2u);
    const PROFILETYPE& p = back.profiles[0].record;
    EXPECT_EQ(p.NAME, "A B'C-9.x");
    EXPECT_EQ(p.CALLSIGN, "Z X M");
    EXPECT_EQ(back.profiles[0].clock_text, "123:04:05.678");
    EXPECT_EQ(p.MISSIONNUM, 2);
    EXPECT_FLOAT_EQ(p.FUEL, 0.5f);
    EXPECT_FLOAT_EQ(p.PLAYERX, -12.5f);
    EXPECT_FLOAT_EQ(p.GUNSHIPANGLE, 359.75f);
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[43], 1);
    EXPECT_EQ(p.RESEARCHINGTECHNOLOGY, 5);
    ASSERT_EQ(back.profiles[0].airdrops.size(), 2u);
    EXPECT_EQ(back.profiles[0].airdrops[1].ACTIVE, 2);
    EXPECT_FLOAT_EQ(back.profiles[0].airdrops[1].POSITION.Z, -7.25f);
    EXPECT_EQ(back.profiles[0].airdrops[1].CHECKPOINTID, 9);
    ASSERT_EQ(back.profiles[0].checkpoints.size(), 3u);
    EXPECT_EQ(back.profiles[0].checkpoints[2].CLASS, 1);
    EXPECT_EQ(back.profiles[1].record.NAME, "TWELVECHARSX");
    // The same values give the same bytes again.
    ProfileImage again[2] = {back.profiles[0], back.profiles[1]};
    EXPECT_EQ(profiles_serialize(again, 2, nullptr), bytes);
}

TEST(ProfileFile, MarkedProfilesAreLeftOutAndTheCountFollows) {
    ProfileImage imgs[3] = {sample("ONE", "A", "00:00:01.000"), sample("TWO", "B", "00:00:02.000"),
                            sample("THREE", "C", "00:00:03.000")};
    const int32_t skip[3] = {0, 1, 0};
    const ProfilesParse back = profiles_parse(profiles_serialize(imgs, 3, skip));
    ASSERT_EQ(back.profiles.size(), 2u);
    EXPECT_EQ(back.profiles[0].record.NAME, "ONE");
    EXPECT_EQ(back.profiles[1].record.NAME, "THREE");
    EXPECT_EQ(back.profiles[1].clock_text, "00:00:03.000");
}

TEST(ProfileFile, ClockTextSplitsAtItsColons) {
    // Without two colons: fixed positions, and a short text gives 0 seconds.
    const struct {
        const char* text;
        double h, m, s;
    } cases[] = {{"123:04:05.678", 123, 4, 5.678}, {"01:02:03.500", 1, 2, 3.5}, {"-1:-2:-3.500", -1, -2, -3.5},
                 {"01h02m07.25", 1, 2, 7.25},      {"12", 12, 0, 0}};
    for (const auto& c : cases) {
        double h = 99, m = 99, s = 99;
        profile_clock_parts(c.text, h, m, s);
        EXPECT_DOUBLE_EQ(h, c.h) << c.text;
        EXPECT_DOUBLE_EQ(m, c.m) << c.text;
        EXPECT_NEAR(s, c.s, 1e-9) << c.text;
    }
}

TEST(ProfileFile, DamagedCountsAreBoundedAndReported) {
    EXPECT_TRUE(profiles_parse("garbage\r\n").damaged);
    EXPECT_TRUE(profiles_parse("").damaged);
    const ProfilesParse negative = profiles_parse("-3\r\n");
    EXPECT_TRUE(negative.damaged);
    EXPECT_TRUE(negative.profiles.empty());
    const ProfilesParse huge = profiles_parse(" 150\r\n");
    EXPECT_TRUE(huge.damaged);
    EXPECT_TRUE(huge.profiles.empty());

    ProfileImage imgs[2] = {sample("ONE", "A", "00:00:01.000"), sample("TWO", "B", "00:00:02.000")};
    std::string bytes = profiles_serialize(imgs, 2, nullptr);
    // Cut the file inside the second profile: the first is kept, the damage is noted.
    const ProfilesParse cut = profiles_parse(bytes.substr(0, bytes.size() - 30));
    EXPECT_TRUE(cut.damaged);
    ASSERT_EQ(cut.profiles.size(), 1u);
    EXPECT_EQ(cut.profiles[0].record.NAME, "ONE");
    // An air-drop count far beyond the table cap.
    ProfileImage one[1] = {sample("ONE", "A", "00:00:01.000")};
    std::string b1 = profiles_serialize(one, 1, nullptr);
    const size_t at = b1.rfind(" 0\r\n 1\r\n");
    ASSERT_NE(at, std::string::npos);
    b1.replace(at, 2, " 999999999");
    const ProfilesParse many = profiles_parse(b1);
    EXPECT_TRUE(many.damaged);
    // Mission and research indices are bounded to their tables.
    one[0].record.MISSIONNUM = 5000;
    one[0].record.RESEARCHINGTECHNOLOGY = 77;
    const ProfilesParse bounded = profiles_parse(profiles_serialize(one, 1, nullptr));
    ASSERT_EQ(bounded.profiles.size(), 1u);
    EXPECT_EQ(bounded.profiles[0].record.MISSIONNUM, 99);
    EXPECT_EQ(bounded.profiles[0].record.RESEARCHINGTECHNOLOGY, -1);
}

TEST_F(MenuDir, AnUnreadableFileIsKeptAsBadAndNeverOverwritten) {
    const std::string junk = "this is not a profile list\r\n";
    write_file_text("data/profiles.dat", junk);
    EXPECT_FALSE(KV_MENU_LOADPROFILES());
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 1);
    EXPECT_EQ(KV_MENUGLOBALS.OKTITLE, "PROFILES DAMAGED!");
    EXPECT_EQ(read_file_text("data/profiles.dat.bad"), junk);
    EXPECT_EQ(KV_MENUGLOBALS.NUMPROFILES, 0);
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ACE", "HAWK"));
    EXPECT_EQ(read_file_text("data/profiles.dat.bad"), junk);
    const ProfilesParse now = parse_file("data/profiles.dat");
    ASSERT_EQ(now.profiles.size(), 1u);
    EXPECT_EQ(now.profiles[0].record.NAME, "ACE");
}

TEST_F(MenuDir, AMissingFileLeavesTheListAsItWas) {
    EXPECT_TRUE(KV_MENU_LOADPROFILES());
    EXPECT_EQ(KV_MENUGLOBALS.NUMPROFILES, 0);
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 0);
}

TEST_F(MenuDir, NewProfileStartsFromZeroInAReusedSlotAndWritesItsEnemyFile) {
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ACE", "HAWK"));
    KVGLOBALS.PROFILES[1].SPIES = 5;
    KVGLOBALS.PROFILES[1].MINES = 7;
    KVGLOBALS.PROFILES[1].COMPLETEDTECHNOLOGY[44] = 1;
    ASSERT_TRUE(KV_MENU_NEWPROFILE("BEE", "WASP"));
    const PROFILETYPE& p = KVGLOBALS.PROFILES[1];
    EXPECT_EQ(p.SPIES, 0);
    EXPECT_EQ(p.MINES, 0);
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[44], 0);
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[0], 1);
    EXPECT_EQ(p.RESEARCHINGTECHNOLOGY, -1);
    EXPECT_EQ(KV_MENUGLOBALS.SELPROFILE, 1);
    EXPECT_EQ(KVGLOBALS.CURPROFILE, 1);
    EXPECT_TRUE(fs::exists("data/profiles/1.dat"));
    EXPECT_EQ(kv_enemy_table_owner(), 1);
    const ProfilesParse back = parse_file("data/profiles.dat");
    ASSERT_EQ(back.profiles.size(), 2u);
    EXPECT_EQ(back.profiles[1].record.CALLSIGN, "WASP");
    EXPECT_EQ(back.profiles[1].record.VT90S, 9999);
}

TEST_F(MenuDir, AHundredAndFirstProfileIsRefused) {
    KV_MENUGLOBALS.NUMPROFILES = PROFILE_SLOTS;
    EXPECT_FALSE(KV_MENU_NEWPROFILE("ONE", "MORE"));
    EXPECT_EQ(KV_MENUGLOBALS.NUMPROFILES, PROFILE_SLOTS);
    EXPECT_FALSE(fs::exists("data/profiles.dat"));
}

TEST_F(MenuDir, UpdateWritesTheSavedImageNotMidMissionState) {
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ACE", "HAWK"));
    // The mission ran out of fuel; the live record shows it.
    KVGLOBALS.PROFILES[0].FUEL = 0.0f;
    KVGLOBALS.PROFILES[0].MISSIONNUM = 2;
    KV_MENUGLOBALS.SELPROFILE = 0;
    ASSERT_TRUE(kv_profiles_update("ACE2", "HAWK2"));
    ProfilesParse back = parse_file("data/profiles.dat");
    ASSERT_EQ(back.profiles.size(), 1u);
    EXPECT_EQ(back.profiles[0].record.NAME, "ACE2");
    EXPECT_EQ(back.profiles[0].record.CALLSIGN, "HAWK2");
    EXPECT_FLOAT_EQ(back.profiles[0].record.FUEL, 1.0f);
    EXPECT_EQ(back.profiles[0].record.MISSIONNUM, 0);

    // "Save Game" is what stores the live record, with the current tables.
    KVGLOBALS.CURPROFILE = 0;
    KVGLOBALS.AIRDROPCOUNT = 1;
    KVGLOBALS.AIRDROPDATA.assign(1, AIRDROPTYPE{});
    KVGLOBALS.AIRDROPDATA[0].PAYLOAD = 2;
    KVGLOBALS.CHECKPOINTCOUNT = 2;
    KVGLOBALS.CHECKPOINTDATA.assign(2, CHECKPOINTTYPE{});
    KVGLOBALS.CHECKPOINTDATA[1].CLASS = 1;
    IO_CLOCK_SET(KVGLOBALS.PROFILES[0].GAMECLOCK, 101, 2, 3);
    ASSERT_TRUE(kv_profiles_save_game());
    back = parse_file("data/profiles.dat");
    ASSERT_EQ(back.profiles.size(), 1u);
    EXPECT_FLOAT_EQ(back.profiles[0].record.FUEL, 0.0f);
    EXPECT_EQ(back.profiles[0].record.MISSIONNUM, 2);
    EXPECT_EQ(back.profiles[0].clock_text, "101:02:03.000");
    ASSERT_EQ(back.profiles[0].airdrops.size(), 1u);
    EXPECT_EQ(back.profiles[0].airdrops[0].PAYLOAD, 2);
    ASSERT_EQ(back.profiles[0].checkpoints.size(), 2u);
    // A 100+ hour clock comes back as the same clock.
    KVGLOBALS.PROFILES[0].GAMECLOCKSTRING.clear();
    ASSERT_TRUE(KV_MENU_LOADPROFILES());
    EXPECT_EQ(KVGLOBALS.PROFILES[0].GAMECLOCKSTRING, "101:02:03.000");
    double h = 0, m = 0, s = 0;
    profile_clock_parts(KVGLOBALS.PROFILES[0].GAMECLOCKSTRING, h, m, s);
    EXPECT_DOUBLE_EQ(3600 * h + 60 * m + s, 101 * 3600 + 2 * 60 + 3);
}

TEST_F(MenuDir, EachProfileKeepsItsOwnClockAndBlock) {
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ONE", "A"));
    ASSERT_TRUE(KV_MENU_NEWPROFILE("TWO", "B"));
    KVGLOBALS.CURPROFILE = 1;
    IO_CLOCK_SET(KVGLOBALS.PROFILES[1].GAMECLOCK, 2, 0, 0);
    KVGLOBALS.CHECKPOINTCOUNT = 3;
    KVGLOBALS.CHECKPOINTDATA.assign(3, CHECKPOINTTYPE{});
    ASSERT_TRUE(kv_profiles_save_game());
    const ProfilesParse back = parse_file("data/profiles.dat");
    ASSERT_EQ(back.profiles.size(), 2u);
    EXPECT_EQ(back.profiles[0].clock_text, "00:00:00.000");
    EXPECT_EQ(back.profiles[1].clock_text, "02:00:00.000");
    EXPECT_EQ(back.profiles[0].checkpoints.size(), 1u);
    EXPECT_EQ(back.profiles[1].checkpoints.size(), 3u);
    // Loading with profile 0 selected gives the tables profile 0's block.
    KV_MENUGLOBALS.SELPROFILE = 0;
    ASSERT_TRUE(KV_MENU_LOADPROFILES());
    EXPECT_EQ(KVGLOBALS.CHECKPOINTCOUNT, 1);
    kv_profiles_restore_tables(1);
    EXPECT_EQ(KVGLOBALS.CHECKPOINTCOUNT, 3);
}

TEST_F(MenuDir, SaveGameExportsEnemiesOnlyForTheirOwnProfile) {
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ONE", "A"));
    ASSERT_TRUE(KV_MENU_NEWPROFILE("TWO", "B"));
    const std::string one_before = read_file_text("data/profiles/0.dat");
    // The table in memory belongs to profile 1; saving profile 0 must not put it in 0.dat.
    KVGLOBALS.ENEMIES[0].POSITION.X = 123.0f;
    KVGLOBALS.CURPROFILE = 0;
    ASSERT_TRUE(kv_profiles_save_game());
    EXPECT_EQ(read_file_text("data/profiles/0.dat"), one_before);
    KVGLOBALS.CURPROFILE = 1;
    ASSERT_TRUE(kv_profiles_save_game());
    EXPECT_NE(read_file_text("data/profiles/1.dat").find(" 123\r\n"), std::string::npos);
}

TEST_F(MenuDir, RenumberingMovesLaterEnemyFilesDownInOrder) {
    write_file_text("data/profiles/0.dat", "zero");
    write_file_text("data/profiles/1.dat", "one");
    write_file_text("data/profiles/2.dat", "two");
    EXPECT_TRUE(profiles_renumber_enemy_files("data/profiles", 0, 3));
    EXPECT_EQ(read_file_text("data/profiles/0.dat"), "one");
    EXPECT_EQ(read_file_text("data/profiles/1.dat"), "two");
    EXPECT_FALSE(fs::exists("data/profiles/2.dat"));
    // Removing the last profile removes its file; a later profile without a file leaves none.
    EXPECT_TRUE(profiles_renumber_enemy_files("data/profiles", 1, 2));
    EXPECT_FALSE(fs::exists("data/profiles/1.dat"));
    write_file_text("data/profiles/1.dat", "x");
    EXPECT_TRUE(profiles_renumber_enemy_files("data/profiles", 0, 3));  // 2.dat missing
    EXPECT_EQ(read_file_text("data/profiles/0.dat"), "x");
    EXPECT_FALSE(fs::exists("data/profiles/1.dat"));
}

TEST_F(MenuDir, ConfirmedRemovalClosesTheListAndKeepsTheNextProfilesEnemies) {
    KVGLOBALS.MAXENEMIES = 0;
    KVGLOBALS.ENEMIES[0].POSITION.X = 11.0f;
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ONE", "A"));
    KVGLOBALS.ENEMIES[0].POSITION.X = 22.0f;
    ASSERT_TRUE(KV_MENU_NEWPROFILE("TWO", "B"));
    const std::string two_enemies = read_file_text("data/profiles/1.dat");
    KV_MENUGLOBALS.SELPROFILE = 0;
    KV_MENUGLOBALS.CURMENU = 120;
    kv_menu_open_confirmbox("CONFIRM REMOVAL", "", 1, 0);
    // With Cancel highlighted nothing happens.
    KV_MENU_PROCESS_CONFIRMKEYS();
    EXPECT_EQ(KV_MENUGLOBALS.NUMPROFILES, 2);
    KV_MENUGLOBALS.CONFIRMSELECTION = 0;
    KVGLOBALS.MISSIONSTARTED = 1;
    KV_MENU_PROCESS_CONFIRMKEYS();
    EXPECT_EQ(KVGLOBALS.MISSIONSTARTED, 0);  // the reload replaced the live records
    EXPECT_EQ(KV_MENUGLOBALS.NUMPROFILES, 1);
    EXPECT_EQ(KVGLOBALS.PROFILES[0].NAME, "TWO");
    EXPECT_EQ(KVGLOBALS.PROFILES[0].MARKFORDELETION, 0);
    EXPECT_EQ(KV_MENUGLOBALS.CURMENU, 0);
    EXPECT_EQ(KV_MENUGLOBALS.SELPROFILE, 0);
    EXPECT_EQ(read_file_text("data/profiles/0.dat"), two_enemies);
    EXPECT_FALSE(fs::exists("data/profiles/1.dat"));
    // The table in memory was profile 1's, which is now profile 0.
    EXPECT_EQ(kv_enemy_table_owner(), 0);
    EXPECT_EQ(KVGLOBALS.CURPROFILE, 0);
}

TEST_F(MenuDir, AFailedSaveSaysSoAndARemovalDoesNotGoOn) {
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ONE", "A"));
    ASSERT_TRUE(KV_MENU_NEWPROFILE("TWO", "B"));
    // A directory in the way of the rename: the write fails, the old file stays.
    fs::remove("data/profiles.dat");
    fs::create_directories("data/profiles.dat");
    KV_MENUGLOBALS.OKBOX = 0;
    KV_MENUGLOBALS.SELPROFILE = 0;
    EXPECT_FALSE(kv_profiles_remove_selected());
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 1);
    EXPECT_EQ(KV_MENUGLOBALS.OKTITLE, "SAVE FAILED!");
    EXPECT_NE(KV_MENUGLOBALS.OKMESSAGE.find("data/profiles.dat"), std::string::npos);
    EXPECT_EQ(KV_MENUGLOBALS.NUMPROFILES, 2);
    EXPECT_EQ(KVGLOBALS.PROFILES[0].MARKFORDELETION, 0);
    EXPECT_EQ(KVGLOBALS.PROFILES[0].NAME, "ONE");
    EXPECT_TRUE(fs::exists("data/profiles/1.dat"));
    KV_MENUGLOBALS.OKBOX = 0;
    EXPECT_FALSE(kv_profiles_update("X", "Y"));
    EXPECT_EQ(KV_MENUGLOBALS.OKTITLE, "SAVE FAILED!");
}
