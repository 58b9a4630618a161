// Mission-object rules on the global records, driven frame by frame the way the objective check
// drives them (request flags cleared, then airdrops, check points, ziplines): crates gliding in
// and being winched, the inside test, refuelling order and amounts, which pads and bases work,
// the zipline sequences of both goals including huge frame steps, runners, and the reset at
// mission start. Flat ground (no map loaded) at height 0.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "game/missionobjects.h"
#include "platform/clock.h"

namespace {

KVGLOBALSTYPE& g = KVGLOBALS;
constexpr int kProfile = 3;

PROFILETYPE& pilot() { return g.PROFILES[kProfile]; }

int32_t g_offered = 0;
int32_t offered_research() { return g_offered; }

class MissionObjects : public ::testing::Test {
protected:
    void SetUp() override {
        platform_clock_set_virtual_seconds(100.0);
        FPSR = 1.0f;
        g.CURPROFILE = kProfile;
        pilot() = PROFILETYPE{};
        pilot().FUEL = 1.0f;
        pilot().ARMOUR = 1.0f;
        pilot().VT90S = 9999;
        pilot().ROCKETS = 64;
        pilot().TAILPODMAX = 64;
        pilot().RESEARCHINGTECHNOLOGY = -1;
        pilot().MISSIONNUM = 1;
        pilot().OBJECTIVENUM = 0;
        for (auto& m : g.MISSIONDATA) m = MISSIONDATATYPE{};
        g.AIRDROPCOUNT = 0;
        g.AIRDROPDATA.assign(1, AIRDROPTYPE{});
        g.CHECKPOINTCOUNT = 1;
        g.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
        g.MAPSCALE = 0.25f;
        g.GUNSHIPHOVERY = 20.0f;
        g.PLAYERX = 100.0f;
        g.PLAYERZ = 100.0f;
        g.GUNSHIPLANDED = 0;
        g.GUNSHIPLANDRATIO = 1.0f;
        g.PICKUPDROPOFFFLAG = 0;
        g.EXITCODE = 0;
        g_offered = 0;
        kv_set_new_research_count_source(offered_research);
        kv_mission_objects_start(1);
    }
    void TearDown() override { kv_set_new_research_count_source(nullptr); }

    // One frame of the objective check's share: request flags cleared, landing locked unless
    // landed, then the three processing steps; the clock moves on by ms first.
    void frame(int32_t ms = 16) {
        platform_clock_advance_seconds(ms / 1000.0);
        g.LOCKPHYSICS = g.LOCKPHYSICSMIN = g.TRIGGEREXPLOSION = g.LOADINGACTIVE = g.REFUELING = 0;
        g.ZIPLINEZOOMENABLED = 0;
        if (g.GUNSHIPLANDED == 0) g.LOCKLANDING = 1;
        KV_MISSION_PROCESS_AIRDROPS();
        KV_MISSION_PROCESS_CHECKPOINTS();
        KV_MISSION_PROCESS_ZIPLINES();
        g.PICKUPDROPOFFFLAG = 0;
    }

    int add_checkpoint(int cls, int mission, int objective, float x, float z) {
        g.CHECKPOINTDATA.push_back(CHECKPOINTTYPE{});
        CHECKPOINTTYPE& c = g.CHECKPOINTDATA.back();
        c.CLASS = cls;
        c.MISSION = mission;
        c.OBJECTIVE = objective;
        c.POSITION.X = x;
        c.POSITION.Z = z;
        return g.CHECKPOINTCOUNT++;
    }

    // A crate above (x, z) of the given mission and objective, marked by checkpoint `marker`.
    int add_crate(int mission, int objective, float x, float z, int marker, float height = 90.0f) {
        if (g.AIRDROPCOUNT > 0 || g.AIRDROPDATA.empty()) g.AIRDROPDATA.push_back(AIRDROPTYPE{});
        AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(g.AIRDROPCOUNT)];
        a = AIRDROPTYPE{};
        a.CLASS = 1;
        a.PAYLOAD = 3;
        a.PICKUPABLE = 1;
        a.MISSION = mission;
        a.OBJECTIVE = objective;
        a.TARGET = VECTOR3D{x, 0.0f, z};
        a.POSITION = VECTOR3D{x - 45.0f, height, z - 45.0f};
        a.CHECKPOINTID = marker;
        return g.AIRDROPCOUNT++;
    }

    OBJECTIVETYPE& zipline(int goal, int n, int wait = 0) {
        OBJECTIVETYPE& o = g.MISSIONDATA[1].OBJECTIVE[0];
        o.GOALTYPE = goal;
        o.ZIPLINE_SRC_X = 100.0f;
        o.ZIPLINE_SRC_Z = 100.0f;
        o.ZIPLINE_DEST_X = 106.0f;
        o.ZIPLINE_DEST_Z = 104.0f;
        o.ZIPLINE_N = n;
        o.ZIPLINE_WAIT = wait;
        return o;
    }

    // Frames until pred() holds; -1 when it never does within the limit.
    template <typename P>
    int frames_until(P pred, int limit, int32_t ms = 16) {
        for (int i = 1; i <= limit; ++i) {
            frame(ms);
            if (pred()) return i;
        }
        return -1;
    }
};

// ---- airdrops ----

TEST_F(MissionObjects, CrateGlidesInCollapsesItsChuteAndLightsItsMarker) {
    const int marker = add_checkpoint(0, 1, 0, 150.0f, 150.0f);
    const int crate = add_crate(1, 0, 150.0f, 150.0f, marker);
    AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(crate)];
    frame();
    EXPECT_EQ(a.ACTIVE, 0);
    EXPECT_FLOAT_EQ(a.CHUTEFADE, 0.8f);
    EXPECT_LT(a.POSITION.Y, 90.0f);
    EXPECT_EQ(g.CHECKPOINTDATA[static_cast<size_t>(marker)].ACTIVE, 0);

    ASSERT_GT(frames_until([&] { return a.ACTIVE == 1; }, 5000), 0);
    EXPECT_FLOAT_EQ(a.POSITION.X, 150.0f);
    EXPECT_FLOAT_EQ(a.POSITION.Y, 0.0f);
    EXPECT_EQ(a.VISIBLE, 1);
    const int collapse = frames_until([&] { return a.ACTIVE == 2; }, 100);
    EXPECT_GE(collapse, 16);  // 0.8 at 0.05 a frame: below 0 on the 16th or 17th frame
    EXPECT_LE(collapse, 17);
    EXPECT_EQ(a.PICKUPFLAG, 1);
    EXPECT_EQ(g.CHECKPOINTDATA[static_cast<size_t>(marker)].ACTIVE, 1);
}

TEST_F(MissionObjects, DropsWaitForTheirObjectiveAndEarlierMissionsFallAtOnce) {
    const int later = add_crate(1, 2, 150.0f, 150.0f, 0);
    const int earlier = add_crate(0, 5, 200.0f, 200.0f, 0);
    const int next_mission = add_crate(2, 0, 250.0f, 250.0f, 0);
    const float y0 = g.AIRDROPDATA[static_cast<size_t>(later)].POSITION.Y;
    for (int i = 0; i < 10; ++i) frame();
    EXPECT_FLOAT_EQ(g.AIRDROPDATA[static_cast<size_t>(later)].POSITION.Y, y0);
    EXPECT_LT(g.AIRDROPDATA[static_cast<size_t>(earlier)].POSITION.Y, y0);
    EXPECT_FLOAT_EQ(g.AIRDROPDATA[static_cast<size_t>(next_mission)].POSITION.Y, y0);
    pilot().OBJECTIVENUM = 2;
    frame();
    EXPECT_LT(g.AIRDROPDATA[static_cast<size_t>(later)].POSITION.Y, y0);
}

TEST_F(MissionObjects, AHugeFrameStepLandsTheCrateOnItsTargetInsteadOfPassingIt) {
    const int crate = add_crate(1, 0, 150.0f, 150.0f, 0);
    AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(crate)];
    // 0.2 above the target, where a 500 ms frame moves it 0.31: it would swing round the
    // target for ever.
    a.POSITION = VECTOR3D{150.0f, 0.2f, 150.0f};
    FPSR = 31.25f;
    frame(500);
    EXPECT_EQ(a.ACTIVE, 1);
    EXPECT_FLOAT_EQ(a.POSITION.Y, 0.0f);
}

TEST_F(MissionObjects, HoveringAndActivatingWinchesTheCrateAndGivesThePowerUp) {
    const int marker = add_checkpoint(0, 1, 0, 100.5f, 99.5f);
    const int crate = add_crate(1, 0, 100.5f, 99.5f, marker);
    AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(crate)];
    a.ACTIVE = 2;
    a.PICKUPFLAG = 1;
    a.POSITION = a.TARGET;
    g.CHECKPOINTDATA[static_cast<size_t>(marker)].ACTIVE = 1;

    g.PLAYERX = 102.0f;  // 1.5 off on X: outside the crate marker's 1-unit square
    g.PICKUPDROPOFFFLAG = 1;
    frame();
    EXPECT_EQ(a.PICKUPFLAG, 1);
    g.PLAYERX = 101.2f;
    frame();  // inside, but no activate press
    EXPECT_EQ(a.PICKUPFLAG, 1);
    g.PICKUPDROPOFFFLAG = 1;
    frame();
    ASSERT_EQ(a.PICKUPFLAG, 2);
    frame();
    EXPECT_EQ(g.LOCKPHYSICSMIN, 1);
    EXPECT_EQ(g.CHECKPOINTDATA[static_cast<size_t>(marker)].VISIBLE, 0);

    // The winch runs 2.5 s of game time, whatever is drawn.
    const int frames = frames_until([&] { return a.PICKUPFLAG == 3; }, 1000) + 1;
    EXPECT_GE(frames, 2500 / 16);
    EXPECT_LE(frames, 2500 / 16 + 1);
    EXPECT_EQ(g.LOCKPHYSICSMIN, 1);
    g.TRIGGERPOWERUP = 0;
    frame();
    EXPECT_EQ(a.PICKUPFLAG, 4);
    EXPECT_EQ(g.TRIGGERPOWERUP, 3);
    EXPECT_EQ(g.CHECKPOINTDATA[static_cast<size_t>(marker)].ACTIVE, 0);
    EXPECT_EQ(g.LOCKPHYSICSMIN, 0);
}

TEST_F(MissionObjects, ACrateWhoseMarkerIsOutsideTheTableHasNone) {
    const int crate = add_crate(1, 0, 100.0f, 100.0f, 57);  // the table holds 1 record
    AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(crate)];
    a.ACTIVE = 1;
    a.POSITION = a.TARGET;
    ASSERT_GT(frames_until([&] { return a.ACTIVE == 2; }, 100), 0);
    EXPECT_EQ(a.PICKUPFLAG, 1);
    EXPECT_EQ(g.CHECKPOINTCOUNT, 1);
    EXPECT_EQ(g.CHECKPOINTDATA.size(), 1u);
    g.PICKUPDROPOFFFLAG = 1;
    frame();
    EXPECT_EQ(a.PICKUPFLAG, 1);  // never winched, and the objective marker is not taken for it
    a.CHECKPOINTID = -4;
    g.PICKUPDROPOFFFLAG = 1;
    frame();
    EXPECT_EQ(a.PICKUPFLAG, 1);
}

// ---- check points ----

TEST_F(MissionObjects, InsideIsASquareOfOneUnitForCrateMarkersAndTwoOtherwise) {
    const int marker = add_checkpoint(0, 1, 0, 100.0f, 100.0f);
    const int pad = add_checkpoint(1, 1, 0, 100.0f, 100.0f);
    g.CHECKPOINTDATA[0].POSITION = VECTOR3D{100.0f, 0.0f, 100.0f};
    g.PLAYERX = 101.5f;
    g.PLAYERZ = 101.5f;  // a corner of the square, farther than 2 as the crow flies
    EXPECT_EQ(KV_INSIDECHECKPOINT(marker), 0);
    EXPECT_EQ(KV_INSIDECHECKPOINT(pad), 1);
    EXPECT_EQ(KV_INSIDECHECKPOINT(0), 1);
    g.PLAYERX = 100.9f;
    g.PLAYERZ = 99.1f;
    EXPECT_EQ(KV_INSIDECHECKPOINT(marker), 1);
    g.PLAYERX = 102.0f;
    EXPECT_EQ(KV_INSIDECHECKPOINT(pad), 0);
    EXPECT_EQ(KV_INSIDECHECKPOINT(99), 0);
    EXPECT_EQ(KV_INSIDECHECKPOINT(-1), 0);
}

TEST_F(MissionObjects, PadsAndBasesWorkForTheCurrentMissionFromTheirObjectiveOn) {
    const int pad_now = add_checkpoint(1, 1, 0, 50.0f, 50.0f);
    const int pad_later = add_checkpoint(1, 1, 2, 60.0f, 60.0f);
    const int pad_old = add_checkpoint(1, 0, 0, 50.0f, 50.0f);    // the same place, mission 0's copy
    const int pad_next = add_checkpoint(1, 2, 0, 50.0f, 50.0f);
    const int base = add_checkpoint(2, 1, 1, 70.0f, 70.0f);
    const int marker = add_checkpoint(0, 1, 0, 80.0f, 80.0f);
    frame();
    const auto on = [&](int i) { return g.CHECKPOINTDATA[static_cast<size_t>(i)].ACTIVE; };
    EXPECT_EQ(on(0), 1);
    EXPECT_EQ(on(pad_now), 1);
    EXPECT_EQ(on(pad_later), 0);
    EXPECT_EQ(on(pad_old), 0);
    EXPECT_EQ(on(pad_next), 0);
    EXPECT_EQ(on(base), 0);
    EXPECT_EQ(on(marker), 0);  // crate markers follow their crate
    pilot().OBJECTIVENUM = 2;
    frame();
    EXPECT_EQ(on(pad_later), 1);
    EXPECT_EQ(on(base), 1);
    pilot().MISSIONNUM = 2;
    frame();
    EXPECT_EQ(on(pad_now), 0);
    EXPECT_EQ(on(pad_next), 1);
}

TEST_F(MissionObjects, LandingIsAllowedOnlyOverAWorkingPad) {
    add_checkpoint(1, 1, 0, 50.0f, 50.0f);
    add_checkpoint(1, 1, 3, 80.0f, 80.0f);  // not yet working
    g.PLAYERX = g.PLAYERZ = 20.0f;
    frame();
    EXPECT_EQ(g.LOCKLANDING, 1);
    g.PLAYERX = g.PLAYERZ = 80.0f;
    frame();
    EXPECT_EQ(g.LOCKLANDING, 1);
    g.PLAYERX = g.PLAYERZ = 51.0f;
    frame();
    EXPECT_EQ(g.LOCKLANDING, 0);
}

TEST_F(MissionObjects, RefuellingLoadsFuelThenRoundsThenRocketsThenArmourOneAtATime) {
    add_checkpoint(1, 1, 0, 100.0f, 100.0f);
    add_checkpoint(1, 1, 0, 100.5f, 100.0f);  // a second pad on top: still one load a frame
    PROFILETYPE& p = pilot();
    p.FUEL = 0.9905f;
    p.VT90S = 9800;
    p.ROCKETS = 62;
    p.ARMOUR = 0.999f;
    g.GUNSHIPLANDED = 1;
    g.GUNSHIPLANDRATIO = 0.0f;

    frame();
    EXPECT_NEAR(p.FUEL, 0.9925f, 1e-6);
    EXPECT_EQ(p.VT90S, 9800);
    EXPECT_EQ(g.LOADINGTEXT, "Refueling");
    EXPECT_NEAR(g.LOADINGPROGRESS, 0.9905f, 1e-6);
    EXPECT_EQ(g.LOADINGACTIVE, 1);
    EXPECT_EQ(g.REFUELING, 1);
    for (int i = 0; i < 3; ++i) frame();
    EXPECT_NEAR(p.FUEL, 0.9985f, 1e-5);
    frame();
    EXPECT_FLOAT_EQ(p.FUEL, 1.0f);  // held at a full tank
    EXPECT_EQ(p.VT90S, 9800);

    FPSR = 0.5f;
    frame();
    EXPECT_EQ(g.LOADINGTEXT, "Loading VT90mm Rounds");
    EXPECT_EQ(p.VT90S, 9850);  // at least 50 a frame
    FPSR = 2.0f;
    frame();
    EXPECT_EQ(p.VT90S, 9950);
    frame();
    EXPECT_EQ(p.VT90S, 9999);  // held at the magazine's size
    EXPECT_EQ(p.ROCKETS, 62);
    frame();
    EXPECT_EQ(g.LOADINGTEXT, "Loading Rockets");
    EXPECT_EQ(p.ROCKETS, 63);
    frame();
    EXPECT_EQ(p.ROCKETS, 64);
    frame();
    EXPECT_EQ(g.LOADINGTEXT, "Repairing Armour");
    EXPECT_FLOAT_EQ(p.ARMOUR, 1.0f);
    EXPECT_EQ(g.GUNSHIPLANDED, 1);
    frame();
    EXPECT_EQ(g.GUNSHIPLANDED, 0);  // all full: released
    EXPECT_EQ(g.LOADINGACTIVE, 0);
}

TEST_F(MissionObjects, AFullGunshipIsReleasedAtOnceAndNothingLoadsInTheAir) {
    add_checkpoint(1, 1, 0, 100.0f, 100.0f);
    pilot().FUEL = 0.5f;
    g.GUNSHIPLANDED = 1;
    g.GUNSHIPLANDRATIO = 0.3f;  // still settling
    frame();
    EXPECT_FLOAT_EQ(pilot().FUEL, 0.5f);
    pilot().FUEL = 1.0f;
    g.GUNSHIPLANDRATIO = 0.0f;
    frame();
    EXPECT_EQ(g.GUNSHIPLANDED, 0);
}

TEST_F(MissionObjects, LandingOnTheBaseEndsTheMissionWithFiveOrSix) {
    add_checkpoint(2, 1, 0, 100.0f, 100.0f);
    g.GUNSHIPLANDED = 1;
    g.GUNSHIPLANDRATIO = 0.0f;
    frame();
    EXPECT_EQ(g.EXITCODE, 5);  // nothing offered
    g.EXITCODE = 0;
    g_offered = 2;
    frame();
    EXPECT_EQ(g.EXITCODE, 6);
    g.EXITCODE = 0;
    pilot().RESEARCHINGTECHNOLOGY = 3;  // research running: nothing to choose
    frame();
    EXPECT_EQ(g.EXITCODE, 5);
    g.EXITCODE = 0;
    kv_set_new_research_count_source(nullptr);
    pilot().RESEARCHINGTECHNOLOGY = -1;
    frame();
    EXPECT_EQ(g.EXITCODE, 5);
}

TEST_F(MissionObjects, RingsFadeInNearTheGunshipAndTheArrowFadesOutNearTheMarker) {
    const int pad = add_checkpoint(1, 1, 0, 120.0f, 100.0f);
    const int far_pad = add_checkpoint(1, 1, 0, 300.0f, 300.0f);
    // Another mission's pad next to us, restored from a save as lit: it fades out.
    const int old_pad = add_checkpoint(1, 0, 0, 104.0f, 100.0f);
    g.CHECKPOINTDATA[static_cast<size_t>(old_pad)].VISIBLE = 1;
    g.CHECKPOINTDATA[static_cast<size_t>(old_pad)].FADE = 1.0f;
    g.CHECKPOINTDATA[0].POSITION = VECTOR3D{200.0f, 0.0f, 100.0f};
    for (int i = 0; i < 12; ++i) frame();
    const CHECKPOINTTYPE& near = g.CHECKPOINTDATA[static_cast<size_t>(pad)];
    EXPECT_FLOAT_EQ(near.FADE, 1.0f);
    EXPECT_FLOAT_EQ(near.POSITION.Y, 0.25f * 20.0f);  // hover height over flat ground
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[static_cast<size_t>(far_pad)].FADE, 0.0f);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[static_cast<size_t>(old_pad)].FADE, 0.0f);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[0].FADE, 0.0f);  // 100 away
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[0].POINTERFADE, 1.0f);
    g.PLAYERX = 190.0f;
    for (int i = 0; i < 12; ++i) frame();
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[0].FADE, 1.0f);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[0].POINTERFADE, 0.0f);
}

// ---- ziplines and runners ----

TEST_F(MissionObjects, ARunnerArrivesWithinAUnitAtNormalSpeedAndOnItsTargetAtHugeSteps) {
    KV_USWRUNNER_ADD(2, 10.0f, 10.0f, 10.0f, 20.0f);
    const USWRUNNDERTYPE& r = g.USWRUNNER[2];
    EXPECT_EQ(r.ACTIVE, 1);
    EXPECT_FLOAT_EQ(r.VECTOR.Z, 1.0f);
    EXPECT_NEAR(r.ANGLE, 0.0f, 1e-4);
    EXPECT_FLOAT_EQ(r.POSITION.Y, 5.0f * 0.25f);
    int frames = 0;
    while (r.ACTIVE == 1 && frames < 1000) KV_USWRUNNER_UPDATE(), ++frames;
    EXPECT_GE(frames, 90);  // 9 units at 0.1 a frame, then inside the 1-unit square
    EXPECT_LE(frames, 91);
    EXPECT_GT(r.POSITION.Z, 18.99f);
    EXPECT_LT(r.POSITION.Z, 19.2f);  // not snapped at a normal pace

    FPSR = 31.25f;  // 500 ms frames: 3.125 units a step would jump over the square
    KV_USWRUNNER_ADD(3, 10.0f, 10.0f, 10.0f, 15.0f);
    KV_USWRUNNER_UPDATE();
    EXPECT_EQ(g.USWRUNNER[3].ACTIVE, 1);
    KV_USWRUNNER_UPDATE();
    EXPECT_EQ(g.USWRUNNER[3].ACTIVE, 2);
    EXPECT_FLOAT_EQ(g.USWRUNNER[3].POSITION.Z, 15.0f);

    KV_USWRUNNER_ADD(21, 0.0f, 0.0f, 1.0f, 1.0f);  // outside the table: ignored
    KV_USWRUNNER_ADD(-1, 0.0f, 0.0f, 1.0f, 1.0f);
}

TEST_F(MissionObjects, ZiplineDownLowersTheTeamWhichWalksToTheTargetAndFinishes) {
    OBJECTIVETYPE& o = zipline(3, 6);
    g.PLAYERX = 130.0f;
    frame();
    EXPECT_EQ(o.ZIPLINE_STATUS, 0);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[0].POSITION.X, 100.0f);  // the marker shows the drop point
    g.PICKUPDROPOFFFLAG = 1;
    frame();
    EXPECT_EQ(o.ZIPLINE_STATUS, 0);  // not over the drop point
    g.PLAYERX = 101.0f;
    g.PICKUPDROPOFFFLAG = 1;
    frame();
    ASSERT_EQ(o.ZIPLINE_STATUS, 1);
    frame();
    EXPECT_EQ(g.LOCKPHYSICSMIN, 1);
    EXPECT_EQ(g.ZIPLINEZOOMENABLED, 1);
    // Person 0 leaves the rope 1.5 s after the start, person 5 three seconds later.
    frames_until([&] { return g.USWRUNNER[0].ACTIVE != 0; }, 200);
    EXPECT_EQ(g.USWRUNNER[5].ACTIVE, 0);
    const int done = frames_until([&] { return o.ZIPLINE_STATUS != 1; }, 2000);
    ASSERT_GT(done, 0);
    EXPECT_EQ(o.ZIPLINE_STATUS, ZIPLINE_FINISHED);
    EXPECT_TRUE(kv_zipline_objective_finished());
    // Finished for good: nobody is sent again and the gunship is free.
    for (int i = 0; i < 300; ++i) frame();
    for (const USWRUNNDERTYPE& r : g.USWRUNNER) EXPECT_EQ(r.ACTIVE, 0);
    EXPECT_EQ(g.LOCKPHYSICSMIN, 0);
    EXPECT_EQ(o.ZIPLINE_STATUS, ZIPLINE_FINISHED);
}

TEST_F(MissionObjects, ZiplineDownFinishesAtHalfSecondFrames) {
    OBJECTIVETYPE& o = zipline(3, 6);
    FPSR = 31.25f;
    g.PICKUPDROPOFFFLAG = 1;
    frame(500);
    ASSERT_EQ(o.ZIPLINE_STATUS, 1);
    EXPECT_GT(frames_until([&] { return kv_zipline_objective_finished(); }, 40, 500), 0);
}

TEST_F(MissionObjects, ZiplineDownAndUpWaitsCollectsTriggersAndWaitsForTheBlast) {
    OBJECTIVETYPE& o = zipline(4, 4, 10);
    g.PICKUPDROPOFFFLAG = 1;
    frame();
    ASSERT_EQ(o.ZIPLINE_STATUS, 1);
    ASSERT_GT(frames_until([&] { return o.ZIPLINE_STATUS == 2; }, 2000), 0);
    for (const USWRUNNDERTYPE& r : g.USWRUNNER) EXPECT_EQ(r.ACTIVE, 0);
    frame();
    EXPECT_EQ(g.LOCKPHYSICSMIN, 0);  // free to move while they work

    // Ten seconds of "INSTALLING EXPLOSIVES"; an activate press meanwhile does nothing.
    frame(5000);
    EXPECT_EQ(g.LOADINGACTIVE, 1);
    EXPECT_EQ(g.LOADINGTEXT, "INSTALLING EXPLOSIVES");
    EXPECT_NEAR(g.LOADINGPROGRESS, 0.5f, 0.01f);
    g.PICKUPDROPOFFFLAG = 1;
    frame(4900);
    EXPECT_EQ(o.ZIPLINE_STATUS, 2);
    EXPECT_EQ(g.LOADINGACTIVE, 1);
    frame(200);
    EXPECT_EQ(g.LOADINGACTIVE, 0);
    g.PLAYERX = 130.0f;
    g.PICKUPDROPOFFFLAG = 1;
    frame();
    EXPECT_EQ(o.ZIPLINE_STATUS, 2);  // must hover over the drop point again
    g.PLAYERX = 100.0f;
    g.PICKUPDROPOFFFLAG = 1;
    frame();
    ASSERT_EQ(o.ZIPLINE_STATUS, 3);
    frame();
    EXPECT_EQ(g.LOCKPHYSICSMIN, 1);

    int triggered = 0;
    const int aboard = frames_until([&] {
        triggered += g.TRIGGEREXPLOSION;
        return o.ZIPLINE_STATUS >= ZIPLINE_TRIGGERED;
    }, 2000);
    ASSERT_GT(aboard, 0);
    EXPECT_EQ(triggered, 1);  // requested in exactly one frame
    for (int i = 0; i < 4; ++i) EXPECT_NE(o.ZIPLINE_STARTUP[i], 0);
    EXPECT_FALSE(kv_zipline_objective_finished());

    g.EXPLOSIONTIME = 123;  // the objective check created the blast
    frame();
    EXPECT_EQ(o.ZIPLINE_STATUS, ZIPLINE_BLASTING);
    frame(3000);
    EXPECT_FALSE(kv_zipline_objective_finished());
    g.EXPLOSIONTIME = 0;  // the last fireball went out
    frame();
    EXPECT_TRUE(kv_zipline_objective_finished());
}

TEST_F(MissionObjects, ABlastThatNeverComesEndsTheWaitAfterTwelveSeconds) {
    OBJECTIVETYPE& o = zipline(4, 1, 0);
    o.ZIPLINE_STATUS = ZIPLINE_ABOARD;
    frame();
    EXPECT_EQ(g.TRIGGEREXPLOSION, 1);
    frame(11000);
    EXPECT_FALSE(kv_zipline_objective_finished());
    frame(1000);
    EXPECT_TRUE(kv_zipline_objective_finished());
}

TEST_F(MissionObjects, AnEmptyTeamFinishesAtOnceAndOtherGoalsNever) {
    OBJECTIVETYPE& o = zipline(4, 0);
    frame();
    EXPECT_TRUE(kv_zipline_objective_finished());
    EXPECT_EQ(g.TRIGGEREXPLOSION, 0);  // nobody planted anything
    o.GOALTYPE = 0;
    EXPECT_FALSE(kv_zipline_objective_finished());
    pilot().OBJECTIVENUM = 6;  // past the table
    frame();
    EXPECT_FALSE(kv_zipline_objective_finished());
}

TEST_F(MissionObjects, StartingAMissionClearsWhatAPreviousRunLeft) {
    OBJECTIVETYPE& o = zipline(4, 4, 10);
    o.ZIPLINE_STATUS = ZIPLINE_FINISHED;
    o.ZIPLINE_STARTDOWN = 5;
    o.ZIPLINE_TIMER_START = 6;
    o.ZIPLINE_STARTUP[3] = 7;
    g.USWRUNNER[4].ACTIVE = 2;
    g.EXPLOSIONTIME = 99;
    g.NFIREBALLS = 1008;
    g.TRIGGERPOWERUP = 2;
    g.POWERUPFADE = 0.5f;
    g.MISSIONDATA[2].OBJECTIVE[0].ZIPLINE_STATUS = 3;
    kv_mission_objects_start(1);
    EXPECT_EQ(o.ZIPLINE_STATUS, 0);
    EXPECT_EQ(o.ZIPLINE_STARTDOWN, 0);
    EXPECT_EQ(o.ZIPLINE_TIMER_START, 0);
    EXPECT_EQ(o.ZIPLINE_STARTUP[3], 0);
    EXPECT_EQ(g.USWRUNNER[4].ACTIVE, 0);
    EXPECT_EQ(g.EXPLOSIONTIME, 0);
    EXPECT_EQ(g.NFIREBALLS, 0);
    EXPECT_EQ(g.TRIGGERPOWERUP, 0);
    EXPECT_FLOAT_EQ(g.POWERUPFADE, 0.0f);
    EXPECT_EQ(g.MISSIONDATA[2].OBJECTIVE[0].ZIPLINE_STATUS, 3);  // other missions untouched
    kv_mission_objects_start(100);                                // out of range: no harm
    kv_mission_objects_start(-1);
}

TEST_F(MissionObjects, TraceKeysDescribeTheMissionObjects) {
    add_checkpoint(1, 1, 0, 100.0f, 100.0f);
    add_crate(1, 0, 150.0f, 150.0f, 0);
    add_crate(0, 0, 150.0f, 150.0f, 0);  // another mission's: not listed
    zipline(3, 6);
    g.USWRUNNER[0].ACTIVE = 1;
    g.USWRUNNER[1].ACTIVE = 2;
    g.USWRUNNER[2].ACTIVE = 2;
    pilot().USWSF = 8;
    pilot().ENGINEERS = 7;
    pilot().FCPKIT = 1;
    frame();
    g.AIRDROPDATA[0].ACTIVE = 2;
    g.AIRDROPDATA[0].PICKUPFLAG = 1;
    const std::string t = kv_mission_objects_trace();
    EXPECT_NE(t.find(" airdrops=2 crates=2.1 cps=2 cpon=0,1 inside=0 "), std::string::npos) << t;
    EXPECT_NE(t.find(" locklanding=0 pickup=0 lockmin=0 refuel=0 zip=0 runners=1/2 uswsf=8 eng=7 fcp=1"),
              std::string::npos)
        << t;
}

}  // namespace
