// Research: the research file (prerequisites by mission or technology, refused lines), what a
// profile is offered at a mission start, the progress percentage, "Researching Completed!" once,
// and installation when due or overdue.
#include <gtest/gtest.h>

#include "engine/textfile.h"
#include "game/kv_globals.h"
#include "game/technology.h"
#include "menu/menu_globals.h"
#include "menu/profiles.h"
#include "menu/research.h"
#include "menu_fixture.h"

namespace {

TECHNOLOGYTYPE g_table[TECHNOLOGY_SLOTS];

int32_t load(const std::string& text) {
    FieldReader r = field_reader_from_string(text);
    return research_load_reader(r, g_table, "research.dat");
}

const char* kFile =
    "RSCH_TAILPOD//MISSION//0//1//MANDATORY//Rack//The rack.\\nSecond line.\r\n"
    "\r\n"
    "RSCH_TAILPOD2//TECHNOLOGY//RSCH_TAILPOD//2//MANDATORY//Mounts//Stiffer.\r\n"
    "RSCH_TAILPOD3//MISSION//1//1//NOT_MANDATORY//Fire Control//Tight.\r\n"
    "RSCH_TAILPOD4//TECHNOLOGY//RSCH_TAILPOD2//3//MANDATORY//Magazine\r\n"
    "RSCH_TAILPOD5//MISSION//0//-2//MANDATORY//Backwards//Negative time.\r\n"
    "RSCH_TAILPOD6//TECHNOLOGY//RSCH_TAILPOD3//x//NOT_MANDATORY//Salvo//Not a number.\r\n";

}  // namespace

TEST(ResearchFile, PrerequisitesTimesAndRefusedLines) {
    EXPECT_EQ(load(kFile), 2);  // the line without a description and the negative time
    EXPECT_EQ(g_table[0].TITLE, "Rack");
    EXPECT_EQ(g_table[0].DESCRIPTION, "The rack.\\nSecond line.");
    EXPECT_EQ(g_table[1].PREREQTYPE, 1);
    EXPECT_EQ(g_table[1].PREREQCODE, 0);
    EXPECT_EQ(g_table[1].TIMETORESEARCH, 2);
    EXPECT_EQ(g_table[1].MANDATORY, 0);
    EXPECT_EQ(g_table[2].PREREQTYPE, 0);
    EXPECT_EQ(g_table[2].PREREQCODE, 1);
    EXPECT_EQ(g_table[2].MANDATORY, 1);
    EXPECT_TRUE(g_table[3].TITLE.empty());
    EXPECT_TRUE(g_table[4].TITLE.empty());
    EXPECT_EQ(g_table[5].TITLE, "Salvo");
    EXPECT_EQ(g_table[5].TIMETORESEARCH, 0);
    EXPECT_EQ(research_identifier_index("RSCH_TAILPOD7"), 6);
    EXPECT_EQ(research_identifier_index("SOMETHING"), 0);
    // A reload replaces the table whole.
    EXPECT_EQ(load("RSCH_TAILPOD3//MISSION//0//1//MANDATORY//Only//One.\r\n"), 0);
    EXPECT_TRUE(g_table[0].TITLE.empty());
    EXPECT_EQ(g_table[2].TITLE, "Only");
}

TEST(ResearchRules, PercentReachesAHundredWhenDueAndStaysThere) {
    load(kFile);
    PROFILETYPE p;
    kv_profile_starting_values(p, "A", "B");
    EXPECT_EQ(kv_research_percent(p, g_table), 0);
    p.RESEARCHINGTECHNOLOGY = 1;  // two missions
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = 3;
    p.MISSIONNUM = 3;
    EXPECT_EQ(kv_research_percent(p, g_table), 33);
    p.MISSIONNUM = 4;
    EXPECT_EQ(kv_research_percent(p, g_table), 66);
    EXPECT_FALSE(kv_research_due(p, g_table));
    p.MISSIONNUM = 5;
    EXPECT_EQ(kv_research_percent(p, g_table), 100);
    EXPECT_TRUE(kv_research_due(p, g_table));
    p.MISSIONNUM = 9;
    EXPECT_EQ(kv_research_percent(p, g_table), 100);
    p.RESEARCHINGTECHNOLOGY = 44;  // outside the offerable range reads as none
    EXPECT_EQ(kv_research_percent(p, g_table), 0);
}

TEST_F(MenuDir, OfferingFollowsPrerequisitesAndResetsTheCursor) {
    load(kFile);
    PROFILETYPE p;
    kv_profile_starting_values(p, "A", "B");
    KV_MENUGLOBALS.SELNEWRESEARCH = 7;
    KV_MENUGLOBALS.TOPNEWRESEARCH = 4;
    kv_research_offer(p, g_table);
    // Mission 0: technology 0's prerequisite is "after mission 0" (not yet); technology 1 needs
    // technology 0, which a new pilot has; technology 5 needs technology 2, which it lacks.
    ASSERT_EQ(KV_MENUGLOBALS.NUMNEWRESEARCH, 1);
    EXPECT_EQ(KV_MENUGLOBALS.NEWRESEARCH[0], 1);
    EXPECT_EQ(KV_MENUGLOBALS.SELNEWRESEARCH, 0);
    EXPECT_EQ(KV_MENUGLOBALS.TOPNEWRESEARCH, 0);
    EXPECT_EQ(KVGLOBALS.ALERTTECHNOLOGY, 0);
    p.MISSIONNUM = 2;
    kv_research_offer(p, g_table);
    ASSERT_EQ(KV_MENUGLOBALS.NUMNEWRESEARCH, 3);
    EXPECT_EQ(KV_MENUGLOBALS.NEWRESEARCH[0], 0);
    EXPECT_EQ(KV_MENUGLOBALS.NEWRESEARCH[1], 1);
    EXPECT_EQ(KV_MENUGLOBALS.NEWRESEARCH[2], 2);

    // Choosing the highlighted field starts it now.
    KV_MENUGLOBALS.SELNEWRESEARCH = 1;
    kv_research_choose(p);
    EXPECT_EQ(p.RESEARCHINGTECHNOLOGY, 1);
    EXPECT_EQ(p.RESEARCHINGTECHNOLOGYSTARTMISSION, 2);
    // A cursor past the list never picks past its end.
    KV_MENUGLOBALS.SELNEWRESEARCH = 30;
    kv_research_choose(p);
    EXPECT_EQ(p.RESEARCHINGTECHNOLOGY, 0);

    // Due or overdue research raises the reminder at a mission start.
    p.RESEARCHINGTECHNOLOGY = 1;
    p.MISSIONNUM = 4;
    kv_research_offer(p, g_table);
    EXPECT_EQ(KVGLOBALS.ALERTTECHNOLOGY, 1);
    p.MISSIONNUM = 6;
    kv_research_offer(p, g_table);
    EXPECT_EQ(KVGLOBALS.ALERTTECHNOLOGY, 1);
}

TEST_F(MenuDir, CompletionIsAnnouncedOnceAndInstallationWorksWhenOverdue) {
    load(kFile);
    PROFILETYPE p;
    kv_profile_starting_values(p, "A", "B");
    p.RESEARCHINGTECHNOLOGY = 1;
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    p.MISSIONNUM = 1;
    kv_research_check_completed(p, g_table);
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 0);
    EXPECT_FALSE(kv_research_install(p, g_table));
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[1], 0);
    p.MISSIONNUM = 2;
    kv_research_check_completed(p, g_table);
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 1);
    EXPECT_EQ(KV_MENUGLOBALS.OKTITLE, "Researching Completed!");
    EXPECT_EQ(KV_MENUGLOBALS.OKMESSAGE, "Head back to base to install upgrade 'Mounts'.");
    KV_MENUGLOBALS.OKBOX = 0;
    p.MISSIONNUM = 3;
    kv_research_check_completed(p, g_table);
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 0);
    // Not installed during the due mission: the next landing on the base still installs it.
    KVGLOBALS.ALERTTECHNOLOGY = 1;
    EXPECT_TRUE(kv_research_install(p, g_table));
    EXPECT_EQ(KV_MENUGLOBALS.OKTITLE, "Upgrade Installed!");
    EXPECT_EQ(KV_MENUGLOBALS.OKMESSAGE, "Completed installing 'Mounts'.");
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[1], 1);
    EXPECT_EQ(p.RESEARCHINGTECHNOLOGY, -1);
    EXPECT_EQ(KVGLOBALS.ALERTTECHNOLOGY, 0);
    EXPECT_FALSE(kv_research_install(p, g_table));
}
