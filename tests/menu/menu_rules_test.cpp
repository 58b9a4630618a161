// Menu rules: hold-offs across the clock's wrap-around, text entry in the name fields, the
// jump back for every mission exit code, and the campaign's end.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>

#include "engine/textfile.h"
#include "game/kv_globals.h"
#include "game/technology.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "menu/menu_input.h"
#include "menu/mission_flow.h"
#include "menu/profiles.h"
#include "menu_fixture.h"
#include "world/world_globals.h"

namespace {

std::set<int32_t> g_down;
bool fake_key(int32_t k) { return g_down.count(k) != 0; }

}  // namespace

TEST(MenuHoldOff, HoldsUntilTheTimeAndAcrossTheWrapAround) {
    EXPECT_TRUE(kv_menu_held_off(1200, 1000));
    EXPECT_FALSE(kv_menu_held_off(1200, 1200));
    EXPECT_FALSE(kv_menu_held_off(1000, 1200));
    EXPECT_FALSE(kv_menu_held_off(0, 16));
    const int32_t top = std::numeric_limits<int32_t>::max();
    const int32_t wrapped = static_cast<int32_t>(static_cast<uint32_t>(top) + 200u);
    EXPECT_TRUE(kv_menu_held_off(wrapped, top - 10));
    EXPECT_FALSE(kv_menu_held_off(top - 10, wrapped));
}

TEST(MenuTextEntry, TypesCapitalsUpToTwelveAndRefusesCommasAndQuotes) {
    std::string field = "NAME";
    g_down = {'M'};
    EXPECT_TRUE(kv_menu_text_entry(field, "NAME", fake_key));
    EXPECT_EQ(field, "M");  // the placeholder goes first
    g_down = {'Z', 'X'};
    EXPECT_TRUE(kv_menu_text_entry(field, "NAME", fake_key));
    EXPECT_EQ(field, "MXZ");  // key codes in rising order
    g_down = {','};
    EXPECT_TRUE(kv_menu_text_entry(field, "NAME", fake_key));
    EXPECT_EQ(field, "MXZ");
    g_down = {'"'};
    kv_menu_text_entry(field, "NAME", fake_key);
    EXPECT_EQ(field, "MXZ");
    g_down = {' '};
    kv_menu_text_entry(field, "NAME", fake_key);
    EXPECT_EQ(field, "MXZ ");
    g_down = {'9'};
    for (int i = 0; i < 20; ++i) kv_menu_text_entry(field, "NAME", fake_key);
    EXPECT_EQ(field, "MXZ 99999999");
    EXPECT_EQ(field.size(), MENU_TEXT_MAX);
    g_down = {GLFW_KEY_BACKSPACE};
    EXPECT_TRUE(kv_menu_text_entry(field, "NAME", fake_key));
    EXPECT_EQ(field, "MXZ 9999999");
    std::string empty;
    EXPECT_TRUE(kv_menu_text_entry(empty, "", fake_key));
    EXPECT_EQ(empty, "");
    std::string placeholder = "CALLSIGN";
    kv_menu_text_entry(placeholder, "CALLSIGN", fake_key);
    EXPECT_EQ(placeholder, "");
    g_down = {GLFW_KEY_ENTER, GLFW_KEY_LEFT_SHIFT};
    std::string untouched = "AB";
    EXPECT_FALSE(kv_menu_text_entry(untouched, "", fake_key));
    EXPECT_EQ(untouched, "AB");
    g_down.clear();
}

TEST_F(MenuDir, JumpBackPicksTheScreenForEachExitCode) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.EXITCODE = 1;
    KV_MENU_PROCESS_JUMPBACK();
    EXPECT_EQ(m.CURMENU, 7);
    EXPECT_EQ(m.SELMAIN, 4);
    EXPECT_EQ(m.JUMPBACK, 1);
    EXPECT_EQ(g.EXITCODE, 0);
    m.INGAMEMENU = 3;
    g.EXITCODE = 2;
    KV_MENU_PROCESS_JUMPBACK();
    EXPECT_EQ(m.CURMENU, 3);
    m.INGAMEMENU = 77;  // never a screen outside the mission window
    g.EXITCODE = 2;
    KV_MENU_PROCESS_JUMPBACK();
    EXPECT_EQ(m.CURMENU, 2);
    g.EXITCODE = 6;
    KV_MENU_PROCESS_JUMPBACK();
    EXPECT_EQ(m.CURMENU, 6);
    g.EXITCODE = 5;
    KV_MENU_PROCESS_JUMPBACK();
    EXPECT_EQ(m.CURMENU, 5);
}

TEST_F(MenuDir, AFailedMissionReturnsTheProfileToItsSavedState) {
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ACE", "HAWK"));
    KVGLOBALS.MISSIONSTARTED = 1;
    KVGLOBALS.PROFILES[0].FUEL = 0.0f;
    KVGLOBALS.PROFILES[0].VT90S = 3;
    KVGLOBALS.EXITCODE = 4;
    KV_MENU_PROCESS_JUMPBACK();
    EXPECT_EQ(KV_MENUGLOBALS.CURMENU, 120);
    EXPECT_EQ(KVGLOBALS.MISSIONSTARTED, 0);
    EXPECT_FLOAT_EQ(KVGLOBALS.PROFILES[0].FUEL, 1.0f);
    EXPECT_EQ(KVGLOBALS.PROFILES[0].VT90S, 9999);
    EXPECT_EQ(KV_MENUGLOBALS.VIEWPROFILENAME, "ACE");
}

TEST_F(MenuDir, CompletionAdvancesTheMissionAndKeepsWhereTheGunshipStands) {
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ACE", "HAWK"));
    KVGLOBALS.PLAYERX = 100.0f;
    KVGLOBALS.PLAYERZ = 200.0f;
    KVGLOBALS.GUNSHIPPO.ANGLE = 30.0f;
    KVGLOBALS.PROFILES[0].OBJECTIVENUM = 2;
    KVGLOBALS.EXITCODE = 3;
    KV_MENU_PROCESS_JUMPBACK();
    const PROFILETYPE& p = KVGLOBALS.PROFILES[0];
    EXPECT_EQ(KV_MENUGLOBALS.CURMENU, 200);
    EXPECT_EQ(KV_MENUGLOBALS.SELMISSIONCOMPLETE, 0);
    EXPECT_EQ(p.MISSIONNUM, 1);
    EXPECT_EQ(p.OBJECTIVENUM, 0);
    EXPECT_FLOAT_EQ(p.PLAYERX, 100.0f);
    EXPECT_FLOAT_EQ(p.PLAYERZ, 200.0f);
    EXPECT_FLOAT_EQ(p.GUNSHIPANGLE, 30.0f);
}

TEST_F(MenuDir, APilotPastTheLastMissionIsToldTheCampaignIsComplete) {
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ACE", "HAWK"));
    KVGLOBALS.PROFILES[0].MISSIONNUM = kv_campaign_missions();
    KV_MENUGLOBALS.CURMENU = 200;
    EXPECT_FALSE(KV_MENU_STARTMISSION(EnemyStart::KEEP));
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 1);
    EXPECT_EQ(KV_MENUGLOBALS.OKTITLE, "CAMPAIGN COMPLETE!");
    EXPECT_EQ(KV_MENUGLOBALS.CURMENU, 200);
    EXPECT_EQ(KVGLOBALS.MISSIONSTARTED, 0);
    EXPECT_EQ(KVGLOBALS.PROFILES[0].MISSIONNUM, kv_campaign_missions());
}

TEST_F(MenuDir, CreditsAreCappedAtAHundredLines) {
    std::string text;
    for (int i = 0; i < 130; ++i) text += "line " + std::to_string(i) + "\r\n";
    write_file_text("credits.txt", text);
    EXPECT_EQ(kv_menu_read_credits("credits.txt"), MENU_CREDIT_SLOTS);
    EXPECT_EQ(KV_MENUGLOBALS.CREDITROW[99], "line 99");
    write_file_text("models.dat", "a.obj\r\nb.obj\r\nc.obj\r\n");
    EXPECT_EQ(kv_menu_count_model_entries("models.dat"), 3);
    EXPECT_EQ(kv_menu_count_model_entries("missing.dat"), 0);
}

TEST_F(MenuDir, BackgroundTilesAreChosenNearestFirstAndOnlyOnTheMap) {
    for (auto& row : KVMAPCOMPILED)
        for (int32_t& t : row) t = 1;
    int32_t tx = -5, tz = -5;
    EXPECT_FALSE(kv_menu_next_background_tile(10, 10, tx, tz));
    KVMAPCOMPILED[40][40] = 0;
    KVMAPCOMPILED[12][9] = 0;
    ASSERT_TRUE(kv_menu_next_background_tile(10, 10, tx, tz));
    EXPECT_EQ(tx, 12);
    EXPECT_EQ(tz, 9);
    // A gunship in the corner: the rings reach 32 tiles out without leaving the map.
    KVMAPCOMPILED[12][9] = 1;
    EXPECT_FALSE(kv_menu_next_background_tile(0, 0, tx, tz));
    KVMAPCOMPILED[30][31] = 0;
    ASSERT_TRUE(kv_menu_next_background_tile(0, 0, tx, tz));
    EXPECT_EQ(tx, 30);
    EXPECT_EQ(tz, 31);
    KVMAPCOMPILED[30][31] = 1;
    KVMAPCOMPILED[40][40] = 1;

    // Nothing happens before the model loading has finished; then work on every 11th call.
    KV_MENUGLOBALS.LOADINGCOMPLETED = 0;
    for (int i = 0; i < 30; ++i) KV_MENU_PRELOADMAP();
    EXPECT_EQ(KV_MENUGLOBALS.PRELOADCHECK, 0);
    KV_MENUGLOBALS.LOADINGCOMPLETED = 1;
    KVGLOBALS.PLAYERX = std::numeric_limits<float>::quiet_NaN();
    for (int i = 0; i < 11; ++i) KV_MENU_PRELOADMAP();
    EXPECT_EQ(KV_MENUGLOBALS.PRELOADCHECK, 11);
    KV_MENU_PRELOADMAP();  // every tile compiled: nothing to do, the count starts again
    EXPECT_EQ(KV_MENUGLOBALS.PRELOADCHECK, 1);
    for (auto& row : KVMAPCOMPILED)
        for (int32_t& t : row) t = 0;
}

TEST_F(MenuDir, NextMissionKeepsTheEnemiesInMemoryWhileALoadReadsTheSavedOnes) {
    KVGLOBALS.MAXENEMIES = 1;
    KVGLOBALS.ENEMIES[0].ACTIVE = 1;
    KVGLOBALS.ENEMIES[1].ACTIVE = 1;
    ASSERT_TRUE(KV_MENU_NEWPROFILE("ACE", "HAWK"));  // 0.dat: both alive
    KVGLOBALS.ENEMIES[0].ACTIVE = 0;                  // killed in the mission just flown
    ASSERT_TRUE(KV_MENU_STARTMISSION(EnemyStart::KEEP));
    EXPECT_EQ(KVGLOBALS.ENEMIES[0].ACTIVE, 0);
    EXPECT_EQ(kv_enemy_table_owner(), 0);
    EXPECT_EQ(KV_MENUGLOBALS.CURMENU, 2);
    EXPECT_EQ(KV_MENUGLOBALS.INGAMEMENU, 2);
    EXPECT_EQ(KVGLOBALS.MISSIONSTARTED, 1);
    ASSERT_TRUE(KV_MENU_STARTMISSION(EnemyStart::IMPORT));
    EXPECT_EQ(KVGLOBALS.ENEMIES[0].ACTIVE, 1);
    // The gunship starts at rest where the profile stands.
    KVGLOBALS.GUNSHIPPO.LINEARVELOCITY = {3.0f, 0.0f, 4.0f};
    ASSERT_TRUE(KV_MENU_STARTMISSION(EnemyStart::KEEP));
    EXPECT_FLOAT_EQ(KVGLOBALS.GUNSHIPPO.LINEARVELOCITY.X, 0.0f);
    EXPECT_FLOAT_EQ(KVGLOBALS.PLAYERX, 360.0f);
    EXPECT_FLOAT_EQ(KVGLOBALS.GUNSHIPPO.ANGLE, 45.0f);
}
