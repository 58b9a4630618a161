// The objective check and the failure check that close every mission frame: kill ranges and
// their marker, completion banners and numbering, the end of the mission, personnel used up,
// request flags, the progress-panel fade, the failure table and its message box, and indices
// from damaged saves.
#include <gtest/gtest.h>

#include "engine/gameclock.h"
#include "engine/system.h"
#include "game/explosions.h"
#include "rules/rules_support.h"

using namespace rules_test;

TEST(FailureTable, LastTrueTestNamesTheReason) {
    // Tests run ammunition, fuel, armour, time: each true one overwrites the one before.
    EXPECT_STREQ(objectives_failure_reason(0, 0, 0, 0.0f, 0.0f, true), FAIL_TIME);
    EXPECT_STREQ(objectives_failure_reason(0, 0, 0, 0.0f, 0.0f, false), FAIL_DESTROYED);
    EXPECT_STREQ(objectives_failure_reason(0, 0, 0, 0.0f, 1.0f, false), FAIL_FUEL);
    EXPECT_STREQ(objectives_failure_reason(0, 0, 0, 0.5f, 1.0f, false), FAIL_AMMO);
    EXPECT_STREQ(objectives_failure_reason(2, 4, 10, 0.0f, 1.0f, true), FAIL_TIME);
    EXPECT_EQ(objectives_failure_reason(2, 4, 10, 0.5f, 1.0f, false), nullptr);
}

TEST(FailureTable, EmptyCannonFailsOnlyTheFirstObjectiveOfTheFirstMission) {
    EXPECT_STREQ(objectives_failure_reason(0, 0, 0, 1.0f, 1.0f, false), FAIL_AMMO);
    EXPECT_EQ(objectives_failure_reason(0, 1, 0, 1.0f, 1.0f, false), nullptr);
    EXPECT_EQ(objectives_failure_reason(1, 0, 0, 1.0f, 1.0f, false), nullptr);
    EXPECT_EQ(objectives_failure_reason(0, 0, 1, 1.0f, 1.0f, false), nullptr);
}

TEST(FailureTable, ComparisonsWithZeroAreExact) {
    EXPECT_EQ(objectives_failure_reason(3, 0, 5, 1e-7f, 1e-7f, false), nullptr);
    EXPECT_STREQ(objectives_failure_reason(3, 0, 5, -0.0f, 1.0f, false), FAIL_FUEL);
}

TEST(FailureCheck, FuelAndTimeInOneFrameShowTheTimeMessage) {
    reset_mission();
    PROFILETYPE& p = pilot();
    p.FUEL = 0.0f;
    IO_CLOCK_SET(p.MISSIONCLOCK, 0, 0, 3.0);
    IO_CLOCK_START(p.MISSIONCLOCK, 0);
    p.MISSIONCLOCK.ALARM = 0.0;
    platform_clock_advance_seconds(3.02);
    IO_CLOCK_UPDATE(p.MISSIONCLOCK);
    ASSERT_EQ(IO_CLOCK_ALARMED(p.MISSIONCLOCK), 1);
    KV_MISSION_CHECKMISSIONFAILURE();
    EXPECT_EQ(KVGLOBALS.EXITCODE, 4);
    EXPECT_EQ(g_box.calls, 1);
    EXPECT_EQ(g_box.title, "MISSION FAILED!");
    EXPECT_EQ(g_box.message, "Mission not completed in time!");
    // The run-out clock stops at its alarm reading instead of counting below zero.
    EXPECT_EQ(p.MISSIONCLOCK.CURR, 0.0);
    EXPECT_EQ(CLOCK_STATE(p.MISSIONCLOCK), "Paused");
    platform_clock_advance_seconds(5.0);
    IO_CLOCK_UPDATE(p.MISSIONCLOCK);
    EXPECT_EQ(p.MISSIONCLOCK.CURR, 0.0);
}

TEST(FailureCheck, NothingWrongRaisesNoBox) {
    reset_mission();
    KV_MISSION_CHECKMISSIONFAILURE();
    EXPECT_EQ(KVGLOBALS.EXITCODE, 0);
    EXPECT_EQ(g_box.calls, 0);
    pilot().ARMOUR = 0.0f;
    KV_MISSION_CHECKMISSIONFAILURE();
    EXPECT_EQ(KVGLOBALS.EXITCODE, 4);
    EXPECT_EQ(g_box.message, "Your craft was destroyed!");
}

TEST(ObjectiveCheck, EmptyRangeCompletesAtOnceWithItsBanner) {
    reset_mission();
    KVGLOBALS.MISSIONDATA[1].OBJECTIVE[0].KILLRANGESTART = 5;
    KVGLOBALS.MISSIONDATA[1].OBJECTIVE[0].KILLRANGEEND = 4;
    place_enemy(4);
    place_enemy(5);
    place_enemy(10);  // objective 1 stays open
    end_of_frame();
    EXPECT_EQ(pilot().OBJECTIVENUM, 1);
    EXPECT_EQ(KVGLOBALS.ALERTMSG, "Objective 1 COMPLETED!");
    EXPECT_EQ(kv_alert_showing(platform_clock_ms()), "Objective 1 COMPLETED!");
    EXPECT_EQ(KVGLOBALS.EXITCODE, 0);
    // One objective per frame at most, and only when its range is clear.
    end_of_frame();
    EXPECT_EQ(pilot().OBJECTIVENUM, 1);
    EXPECT_EQ(kv_objective_alive(), 1);
}

TEST(ObjectiveCheck, ActiveEnemyHoldsTheObjectiveAndMarksIt) {
    reset_mission();
    place_enemy(2);
    end_of_frame();
    EXPECT_EQ(pilot().OBJECTIVENUM, 0);
    EXPECT_EQ(kv_objective_alive(), 1);
    EXPECT_EQ(KVGLOBALS.CHECKPOINTDATA[0].POSITION.X, 100.0f);
    EXPECT_EQ(KVGLOBALS.CHECKPOINTDATA[0].POSITION.Z, 300.0f);
    KVGLOBALS.ENEMIES[2].ACTIVE = 0;
    end_of_frame();
    EXPECT_EQ(pilot().OBJECTIVENUM, 1);
    EXPECT_EQ(kv_objective_alive(), 0) << "the check reports the range it completed";
}

TEST(ObjectiveCheck, BannerNumbersTheCompletedObjectiveFromOne) {
    reset_mission(4);
    pilot().OBJECTIVENUM = 2;
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.ALERTMSG, "Objective 3 COMPLETED!");
    EXPECT_EQ(pilot().OBJECTIVENUM, 3);
    EXPECT_EQ(objectives_completed_text(0), "Objective 1 COMPLETED!");
}

TEST(ObjectiveCheck, LastObjectiveEndsTheMissionAndUsesPersonnel) {
    reset_mission(2);
    pilot().OBJECTIVENUM = 1;
    OBJECTIVETYPE& o = KVGLOBALS.MISSIONDATA[1].OBJECTIVE[1];
    o.SUBTRACT[0] = 3;
    o.SUBTRACT[1] = 2;
    o.SUBTRACT[2] = 1;
    o.SUBTRACT[3] = 1;
    o.SUBTRACT[4] = 1;
    o.SUBTRACT[5] = 9;  // not a personnel slot
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.EXITCODE, 3);
    EXPECT_EQ(KVGLOBALS.MISSIONSTARTED, 0);
    EXPECT_EQ(KVGLOBALS.ALERTMSG, "") << "no banner for the end of the mission";
    const PROFILETYPE& p = pilot();
    EXPECT_EQ(p.USWSF, 5);
    EXPECT_EQ(p.ENGINEERS, 6);
    EXPECT_EQ(p.HACKERS, 1);
    EXPECT_EQ(p.SPIES, 0);
    EXPECT_EQ(p.FCPKIT, 0);
    EXPECT_EQ(p.OBJECTIVENUM, 2);
    // With the mission over, the check does nothing more.
    KVGLOBALS.EXITCODE = 0;
    KV_MISSION_CHECKOBJECTIVESTATUS();
    EXPECT_EQ(p.OBJECTIVENUM, 2);
    EXPECT_EQ(KVGLOBALS.EXITCODE, 0);
}

TEST(ObjectiveCheck, LastObjectiveNamedZeroEndsAfterObjectiveZero) {
    reset_mission(3);
    KVGLOBALS.MISSIONDATA[1].LASTOBJECTIVE = 0;
    place_enemy(10);
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.EXITCODE, 3);
}

TEST(ObjectiveCheck, CompletionInAFailingFrameEndsAsFailed) {
    reset_mission(1);
    pilot().FUEL = 0.0f;
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.MISSIONSTARTED, 0);
    EXPECT_EQ(KVGLOBALS.EXITCODE, 4);
    EXPECT_EQ(g_box.message, "Out of fuel!");
}

TEST(ObjectiveCheck, RequestFlagsAreClearedAndLandingLockedInFlight) {
    reset_mission();
    place_enemy(0);
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.LOCKPHYSICS = g.LOCKPHYSICSMIN = g.REFUELING = g.ZIPLINEZOOMENABLED = 1;
    g.LOADINGACTIVE = 1;
    end_of_frame();
    EXPECT_EQ(g.LOCKPHYSICS + g.LOCKPHYSICSMIN + g.REFUELING + g.ZIPLINEZOOMENABLED + g.LOADINGACTIVE, 0);
    EXPECT_EQ(g.LOCKLANDING, 1);
    // Landed, the lock is left as it is (a pad clears it while the gunship stands on it).
    g.GUNSHIPLANDED = 1;
    g.LOCKLANDING = 0;
    end_of_frame();
    EXPECT_EQ(g.LOCKLANDING, 0);
    // Nothing at all happens while no mission runs.
    g.MISSIONSTARTED = 0;
    g.GUNSHIPLANDED = 0;
    g.REFUELING = 1;
    KV_MISSION_CHECKOBJECTIVESTATUS();
    EXPECT_EQ(g.REFUELING, 1);
    EXPECT_EQ(g.LOCKLANDING, 0);
    EXPECT_EQ(kv_objective_alive(), -1);
}

TEST(ObjectiveCheck, ProgressPanelFadesWithoutARequest) {
    reset_mission();
    place_enemy(0);
    KVGLOBALS.LOADINGALPHA = 0.25f;
    FPSR = 2.0f;
    end_of_frame();
    EXPECT_NEAR(KVGLOBALS.LOADINGALPHA, 0.05f, 1e-6);
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.LOADINGALPHA, 0.0f);
}

TEST(ObjectiveCheck, IndicesFromDamagedSavesStayInTheirTables) {
    reset_mission();
    KVGLOBALS.MISSIONDATA[1].OBJECTIVE[0].KILLRANGESTART = -50;
    KVGLOBALS.MISSIONDATA[1].OBJECTIVE[0].KILLRANGEEND = 100000;
    place_enemy(999);
    end_of_frame();
    EXPECT_EQ(pilot().OBJECTIVENUM, 0);
    EXPECT_EQ(kv_objective_alive(), 1);

    // An objective number past the table: nothing is left to do, the mission completes.
    reset_mission();
    pilot().OBJECTIVENUM = 40;
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.EXITCODE, 3);
    EXPECT_EQ(kv_objective_alive(), -1);

    reset_mission();
    pilot().MISSIONNUM = 5000;
    end_of_frame();
    EXPECT_EQ(kv_objective_alive(), -1);

    reset_mission();
    KVGLOBALS.CURPROFILE = -7;
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.EXITCODE, 0);
    KVGLOBALS.CURPROFILE = 100;
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.EXITCODE, 0);
}

TEST(ObjectiveCheck, OtherGoalsDoNotCompleteByThemselves) {
    reset_mission();
    KVGLOBALS.MISSIONDATA[1].OBJECTIVE[0].GOALTYPE = GT_LAND_GUNSHIP;
    end_of_frame();
    EXPECT_EQ(pilot().OBJECTIVENUM, 0);
    KVGLOBALS.MISSIONDATA[1].OBJECTIVE[0].GOALTYPE = GT_ZIPLINE_UP;
    end_of_frame();
    EXPECT_EQ(pilot().OBJECTIVENUM, 0);
    EXPECT_EQ(kv_objective_alive(), -1);
}

TEST(ObjectiveCheck, BlastRequestGoesOffAroundTheKillZoneInItsFrame) {
    reset_mission();
    place_enemy(0);
    kv_request_blast_at_frame(system_frame_number() + 1);
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.EXPLOSIONTIME, 0) << "not yet";
    kv_request_blast_at_frame(system_frame_number());
    end_of_frame();
    kv_request_blast_at_frame(0);
    EXPECT_NE(KVGLOBALS.EXPLOSIONTIME, 0);
    ASSERT_EQ(KVGLOBALS.NFIREBALLS, 1008);
    // Objective 0's kill zone is (100, 300): slot 0 sits at offset (-1.5, 1.5).
    EXPECT_FLOAT_EQ(KVGLOBALS.FIREBALL[0].POSITION.X, 98.5f);
    EXPECT_FLOAT_EQ(KVGLOBALS.FIREBALL[0].POSITION.Z, 301.5f);
    EXPECT_EQ(KVGLOBALS.TRIGGEREXPLOSION, 1);
    end_of_frame();
    EXPECT_EQ(KVGLOBALS.TRIGGEREXPLOSION, 0) << "a request lasts one frame";
}
