// The rules behind the menu screens that need no window: the fades of a frame, the credits
// scroll, the research percentage, line breaking, and the text of a profile's information block.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "menu/menu_draw.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "menu/menu_render.h"

namespace {

class Fades : public ::testing::Test {
protected:
    void SetUp() override {
        KV_MENUGLOBALS = KV_MENUGLOBALSTYPE{};
        FPSR = 1.0f;
    }
};

TEST_F(Fades, TheCurrentScreenFadesInAndEveryOtherOneOut) {
    KV_MENUGLOBALS.CURMENU = 0;
    KV_MENUGLOBALS.MENUFADE[7] = 0.5f;
    KV_MENUGLOBALS.MENUFADE[120] = 0.02f;
    KV_MENUGLOBALS.MENUFADE[999] = 1.0f;
    kv_menu_advance_fades(FPSR);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[0], 0.05f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[7], 0.45f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[120], 0.0f) << "not below 0";
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[999], 0.95f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[900], 0.05f) << "the backdrop comes in behind a window";
    // About 20 frames at the reference rate bring a screen fully in, and it stays at 1.
    for (int i = 0; i < 25; ++i) kv_menu_advance_fades(FPSR);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[0], 1.0f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[900], 1.0f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[7], 0.0f);
}

TEST_F(Fades, TheBackdropLeavesOnlyForTheTitleAndHoldsDuringTheCredits) {
    KV_MENUGLOBALS.MENUFADE[900] = 0.6f;
    KV_MENUGLOBALS.CURMENU = 9;
    kv_menu_advance_fades(FPSR);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[900], 0.6f);
    KV_MENUGLOBALS.CURMENU = 7;
    kv_menu_advance_fades(FPSR);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[900], 0.55f);
    KV_MENUGLOBALS.CURMENU = 2;
    kv_menu_advance_fades(FPSR);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[900], 0.6f);
}

TEST_F(Fades, StepsFollowTheFrameFactorAndTheBoxFlags) {
    FPSR = 2.0f;
    KV_MENUGLOBALS.CURMENU = 120;
    KV_MENUGLOBALS.CONFIRMBOX = 1;
    KV_MENUGLOBALS.OKFADE = 0.5f;
    kv_menu_advance_fades(FPSR);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[120], 0.1f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[900], 0.1f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.CONFIRMFADE, 0.1f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.OKFADE, 0.4f) << "a closed box fades out";
    KV_MENUGLOBALS.CONFIRMFADE = 0.98f;
    KV_MENUGLOBALS.OKFADE = 0.03f;
    kv_menu_advance_fades(FPSR);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.CONFIRMFADE, 1.0f);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.OKFADE, 0.0f);
}

// Clearing puts every screen's fade, the backdrop's too, back to 0; the main menu's highlight
// fades in on the selected item only.
TEST_F(Fades, ClearingZeroesEveryFadeAndTheMainHighlightFollowsTheSelection) {
    for (float& f : KV_MENUGLOBALS.MENUFADE) f = 0.7f;
    KV_MENU_CLEARFADES();
    for (float f : KV_MENUGLOBALS.MENUFADE) ASSERT_EQ(f, 0.0f);
    KV_MENUGLOBALS.SELMAIN = 2;
    for (int i = 0; i < 5; ++i) kv_menu_advance_main_fades(1.0f);
    EXPECT_NEAR(KV_MENUGLOBALS.SELMAINFADE[2], 0.5f, 1e-5);
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.SELMAINFADE[0], 0.0f);
}

TEST_F(Fades, AScreenNumberOutsideTheSlotsFadesEverythingOut) {
    for (int32_t bad : {-3, 1000, 5000}) {
        KV_MENUGLOBALS.CURMENU = bad;
        KV_MENUGLOBALS.MENUFADE[0] = 1.0f;
        KV_MENUGLOBALS.MENUFADE[999] = 1.0f;
        kv_menu_advance_fades(FPSR);
        EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[0], 0.95f) << bad;
        EXPECT_FLOAT_EQ(KV_MENUGLOBALS.MENUFADE[999], 0.95f) << bad;
    }
}

TEST(CreditsScroll, FortyLinesRestartFromTheMiddleOnceTheLastLineHasPassedTheTop) {
    const float h = 768.0f;
    float scroll = 0.0f, fade = 0.0f;
    int frames = 0;
    // The last line (first at 0.75 H, 17 pixels apart) is above the top when
    // scroll - 17 x 40 - 20 > 0.75 H, that is scroll > 1276.
    float before = 0.0f;
    while (frames < 10000) {
        before = scroll;
        kv_menu_credits_step(scroll, fade, 40, 1.0f, h);
        ++frames;
        if (scroll < before) break;
    }
    ASSERT_LT(frames, 10000) << "the list never restarted";
    EXPECT_GT(before + 0.3f - 17.0f * 40.0f - 20.0f, 0.75f * h);
    EXPECT_LE(before - 17.0f * 40.0f - 20.0f, 0.75f * h);
    EXPECT_FLOAT_EQ(scroll, 0.25f * h - 20.0f);
    EXPECT_FLOAT_EQ(fade, 1.0f) << "the fade rises 0.01 a frame and stops at 1";
}

TEST(CreditsScroll, TheFrameFactorScalesScrollAndFade) {
    float scroll = 10.0f, fade = 0.5f;
    kv_menu_credits_step(scroll, fade, 3, 2.5f, 600.0f);
    EXPECT_FLOAT_EQ(scroll, 10.75f);
    EXPECT_FLOAT_EQ(fade, 0.525f);
}

TEST(SplitLines, BreaksAtTheBackslashNMarksOnly) {
    std::string out[4];
    EXPECT_EQ(menu_split_lines("one\\ntwo\\nthree", out, 4), 3);
    EXPECT_EQ(out[0], "one");
    EXPECT_EQ(out[1], "two");
    EXPECT_EQ(out[2], "three");
    EXPECT_EQ(menu_split_lines("a real\nline break and a \\ alone", out, 4), 1);
    EXPECT_EQ(out[0], "a real\nline break and a \\ alone");
    EXPECT_EQ(menu_split_lines("", out, 4), 1);
    EXPECT_EQ(out[0], "");
    EXPECT_EQ(menu_split_lines("end\\n", out, 4), 2);
    EXPECT_EQ(out[1], "");
    EXPECT_EQ(menu_split_lines("1\\n2\\n3\\n4\\n5\\n6", out, 4), 4) << "at most the room given";
    EXPECT_EQ(out[3], "4");
    EXPECT_EQ(menu_split_lines("x", out, 0), 0);
}

class InfoBlock : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto& m : missions_) m = MISSIONDATATYPE{};
        missions_[0].NAME = "Operation Lantern";
        missions_[2].NAME = "Operation Tidewater";
        classes_[0] = "Light";
        classes_[1] = "Medium";
        classes_[2] = "Heavy";
        p_.NAME = "ALICE";
        p_.CALLSIGN = "HAWK";
        p_.GAMECLOCKSTRING = "104:05:06.789";
        p_.MISSIONNUM = 2;
        p_.ARMOUR = 0.85f;
        p_.FUEL = 1.0f;
        p_.ARMOURCLASS = 2;
        p_.VT90S = 9999;
        p_.ROCKETS = 0;
        p_.MINES = 3;
    }
    MenuInfoRow rows_[MENU_INFO_ROWS];
    MISSIONDATATYPE missions_[MISSION_SLOTS];
    std::string classes_[ARMOURCLASSNAME_SLOTS];
    PROFILETYPE p_;
};

TEST_F(InfoBlock, RowsInTheirOrderWithLabelsAndValues) {
    menu_profile_info(p_, missions_, classes_, rows_);
    const char* labels[MENU_INFO_ROWS] = {"Profile Name", "Game Clock", "Mission",  "Call Sign",
                                          "Armour",       "Armour Class", "Payload:", "Fuel ",
                                          "VT90mm Rounds", "Rockets",    "Mines",    "Personnel",
                                          "Equipment"};
    for (int i = 0; i < MENU_INFO_ROWS; ++i) EXPECT_EQ(rows_[i].label, labels[i]) << i;
    EXPECT_EQ(rows_[0].value, "ALICE");
    EXPECT_EQ(rows_[1].value, "104:05:06.789");
    EXPECT_EQ(rows_[2].value, "3: Operation Tidewater") << "counted from 1, with the name";
    EXPECT_EQ(rows_[3].value, "HAWK");
    EXPECT_EQ(rows_[4].value, "85%");
    EXPECT_EQ(rows_[5].value, "Heavy");
    EXPECT_EQ(rows_[6].value, "");
    EXPECT_EQ(rows_[7].value, "100%");
    EXPECT_EQ(rows_[8].value, "9999");
    EXPECT_EQ(rows_[9].value, "0");
    EXPECT_EQ(rows_[10].value, "3");
}

TEST_F(InfoBlock, PersonnelAndEquipmentShowOnlyWhatIsAboard) {
    EXPECT_EQ(menu_personnel_text(p_), "None");
    EXPECT_EQ(menu_equipment_text(p_), "None");
    p_.USWSF = 6;
    EXPECT_EQ(menu_personnel_text(p_), "USWSF (6)");
    p_.ENGINEERS = 2;
    EXPECT_EQ(menu_personnel_text(p_), "USWSF (6)  ENG (2)");
    p_.USWSF = 0;
    EXPECT_EQ(menu_personnel_text(p_), "ENG (2)");
    p_.ENGINEERS = -4;  // a damaged record shows nothing aboard
    EXPECT_EQ(menu_personnel_text(p_), "None");
    p_.FCPKIT = 1;
    EXPECT_EQ(menu_equipment_text(p_), "FCP Kit (1)");
}

TEST_F(InfoBlock, IndicesFromAFileNeverReachPastTheTables) {
    p_.MISSIONNUM = 100;  // past the last mission of the table
    p_.ARMOURCLASS = 7;
    menu_profile_info(p_, missions_, classes_, rows_);
    EXPECT_EQ(rows_[2].value, "101: ");
    EXPECT_EQ(rows_[5].value, "7") << "an unknown class shows its number";
    p_.MISSIONNUM = -5;
    p_.ARMOURCLASS = -1;
    menu_profile_info(p_, missions_, classes_, rows_);
    EXPECT_EQ(rows_[2].value, "-4: ");
    EXPECT_EQ(rows_[5].value, "-1");
    p_.ARMOURCLASS = 3;  // a slot that holds no name
    menu_profile_info(p_, missions_, classes_, rows_);
    EXPECT_EQ(rows_[5].value, "3");
    EXPECT_EQ(menu_mission_title(0, nullptr), "1: ");
}

TEST(MenuNumbers, ShortestTextWithoutALeadingBlank) {
    EXPECT_EQ(menu_number(100.0f * 0.6f), "60");
    EXPECT_EQ(menu_number(12.5f), "12.5");
    EXPECT_EQ(menu_number(-3), "-3");
    EXPECT_EQ(menu_number(0), "0");
    EXPECT_EQ(menu_number(900.0f / 60.0f), "15");
}

TEST(TextCursor, BlinksWithTheSineOfItsPhaseAtAQuarterOfTheOpacity) {
    EXPECT_NEAR(menu_cursor_alpha(3.14159265f / 2.0f, 1.0f), 0.25f, 1e-6);
    EXPECT_NEAR(menu_cursor_alpha(3.14159265f / 2.0f, 0.4f), 0.1f, 1e-6);
    EXPECT_FLOAT_EQ(menu_cursor_alpha(3.0f * 3.14159265f / 2.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(menu_cursor_alpha(0.0f, 1.0f), 0.0f);
    EXPECT_GT(menu_cursor_alpha(1000.0f * 3.14159265f + 1.0f, 1.0f), 0.0f) << "the phase grows without bound";
}

}  // namespace
