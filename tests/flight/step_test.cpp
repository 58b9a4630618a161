// The per-frame flight step: physics clock smoothing with the long-frame rule, map clamps, tile
// position and easer snap, fuel burn, landing and the city-wall collision with its 32-sample
// probe.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine_globals.h"
#include "engine/physics.h"
#include "game/flight.h"
#include "game/kv_globals.h"
#include "platform/clock.h"
#include "support/world_fixture.h"

namespace {

void set_city(int x, int z, int32_t code) { KVGLOBALS.CITYMAP[kv_map_index(x, z)] = code; }

class FlightStep : public ::testing::Test {
protected:
    void SetUp() override {
        KVGLOBALSTYPE& g = KVGLOBALS;
        flat_island(20.0f, 0);  // flat ground 20 units up, well above the water
        g.GUNSHIPPO = PHYSICSOBJECTTYPE{};
        g.GUNSHIPPO.MASS = 10000.0f;
        g.GUNSHIPPO.MOMENTOFINERTIA = 20000.0f;
        g.GUNSHIPHOVERY = 15.0f;
        g.GUNSHIPLANDED = 0;
        g.GUNSHIPLANDRATIO = 1.0f;
        g.PLAYERHOVERCYCLE = 0.0f;
        g.COLLISIONON = 1;
        g.REFUELING = 0;
        g.RUNFRAME = 0.0f;
        g.ICONANGLE = 0.0f;
        g.CURPROFILE = 0;
        g.PROFILES[0].FUEL = 1.0f;
        g.PROFILES[0].ARMOUR = 1.0f;
        g.TARGETPLAYERX8.RANGE(-1, -1, 16, 1);
        g.TARGETPLAYERZ8.RANGE(-1, -1, 16, 1);
        g.PHYSICSDATA_THRUSTFORCE = 15.0f;
        PHYSICSDATA.UNIVERSALFRICTIONCONSTANT = 56.0f;
        PHYSICSDATA.UNIVERSALTORQUEFRICTIONCONSTANT = 50.0f;
        PHYSICSDATA.TICKSPASSEDWEIGHTED = 16.0f;
        FPSR = 1.0f;
        platform_clock_use_fixed_step(16);
        PHYSICSDATA.TICKS = static_cast<float>(platform_clock_ms());
    }
    void TearDown() override { platform_clock_use_live(); }

    // One mission frame's physics with the clock moved by one fixed step.
    void frame() {
        platform_clock_advance_frame();
        KV_PROCESSPHYSICS();
    }
    void place(float x, float z) {
        KVGLOBALS.GUNSHIPPO.POSITION = {x, 0.0f, z};
        KVGLOBALS.PLAYERX = x;
        KVGLOBALS.PLAYERZ = z;
        PHYSICS_UPDATEOBJECTMATRIX(KVGLOBALS.GUNSHIPPO);
    }
    PHYSICSOBJECTTYPE& po() { return KVGLOBALS.GUNSHIPPO; }
};

}  // namespace

TEST_F(FlightStep, SmoothedStepFollowsFramesAndDampsLongFrames) {
    PHYSICSDATA.TICKS = 1000.0f;
    PHYSICSDATA.TICKSPASSEDWEIGHTED = 16.0f;
    flight_update_ticks(1100);
    EXPECT_EQ(PHYSICSDATA.TICKSPASSED, 100.0f);
    EXPECT_NEAR(PHYSICSDATA.TICKSPASSEDWEIGHTED, 37.96f, 1e-4f);
    EXPECT_EQ(PHYSICSDATA.TICKS, 1100.0f);

    // Frames of exactly 30 ms are not long frames: plain smoothing towards 30.
    PHYSICSDATA.TICKSPASSEDWEIGHTED = 16.0f;
    flight_update_ticks(1130);
    EXPECT_NEAR(PHYSICSDATA.TICKSPASSEDWEIGHTED, 16.0f + 0.2f * 14.0f, 1e-5f);
    for (int32_t t = 1146; t < 3000; t += 16) flight_update_ticks(t);
    EXPECT_NEAR(PHYSICSDATA.TICKSPASSEDWEIGHTED, 16.0f, 1e-3f);
    // A run of 200 ms frames settles where w = 0.7 * (0.8 w + 0.2 * 200) + 15, well below 200.
    for (int32_t t = 3200; t < 20000; t += 200) flight_update_ticks(t);
    EXPECT_NEAR(PHYSICSDATA.TICKSPASSEDWEIGHTED, (0.14f * 200.0f + 15.0f) / 0.44f, 0.01f);
}

TEST_F(FlightStep, MapClampsKeepTheGunshipInsideTheFrame) {
    struct Case { float x, z, want_x, want_z; };
    for (const Case c : {Case{20, 200, 29, 200}, Case{490, 200, 476, 200}, Case{200, 30, 200, 39},
                         Case{200, 500, 200, 495}, Case{27, 37, 27, 37}, Case{478, 497, 478, 497}}) {
        place(c.x, c.z);
        po().LINEARVELOCITY = {};
        frame();
        EXPECT_EQ(po().POSITION.X, c.want_x) << c.x << "," << c.z;
        EXPECT_EQ(po().POSITION.Z, c.want_z) << c.x << "," << c.z;
        EXPECT_EQ(KVGLOBALS.PLAYERX, c.want_x);
        EXPECT_EQ(KVGLOBALS.PLAYERZ, c.want_z);
    }
}

TEST_F(FlightStep, TilePositionAndTheEaserSnap) {
    place(100.0f, 203.6f);
    frame();
    EXPECT_EQ(KVGLOBALS.PLAYERX8, 12);
    EXPECT_EQ(KVGLOBALS.PLAYERZ8, 25) << "204 div 8 after rounding";
    EXPECT_EQ(KVGLOBALS.TARGETPLAYERX8._CURR, 12.0f) << "snapped from -1, not eased";
    EXPECT_EQ(KVGLOBALS.TARGETPLAYERZ8.TARGET(), 25.0f);
    // Once snapped, a later tile change is left to the terrain drawing's easing.
    place(300.0f, 300.0f);
    frame();
    EXPECT_EQ(KVGLOBALS.TARGETPLAYERX8._CURR, 12.0f);
}

TEST_F(FlightStep, FuelBurnsDoubleOnLowArmourAndNeverBelowZero) {
    PROFILETYPE& p = KVGLOBALS.PROFILES[0];
    place(200.0f, 200.0f);
    p.FUEL = 0.5f;
    frame();
    EXPECT_FLOAT_EQ(p.FUEL, 0.5f - 0.000033f);
    p.FUEL = 0.5f;
    p.ARMOUR = 0.2f;
    frame();
    EXPECT_FLOAT_EQ(p.FUEL, 0.5f - 2 * 0.000033f);
    p.ARMOUR = 0.25f;
    p.FUEL = 0.5f;
    FPSR = 3.0f;
    frame();
    EXPECT_FLOAT_EQ(p.FUEL, 0.5f - 3 * 0.000033f) << "armour of exactly 0.25 burns once";
    p.FUEL = 0.00001f;
    frame();
    EXPECT_EQ(p.FUEL, 0.0f);
    p.FUEL = 0.5f;
    KVGLOBALS.REFUELING = 1;
    frame();
    EXPECT_EQ(p.FUEL, 0.5f);
    // Landed burns at the flying rate.
    KVGLOBALS.REFUELING = 0;
    KVGLOBALS.GUNSHIPLANDED = 1;
    FPSR = 1.0f;
    p.ARMOUR = 1.0f;
    frame();
    EXPECT_FLOAT_EQ(p.FUEL, 0.5f - 0.000033f);
}

TEST_F(FlightStep, LandingSettlesSevenUnitsUpInFortyFramesWithoutTheBob) {
    place(200.0f, 200.0f);
    KVGLOBALS.PLAYERY = 20.0f + 15.0f * 0.25f;
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_NE(KVGLOBALS.PLAYERHOVERCYCLE, 0.0f) << "flying bobs";
    KVGLOBALS.GUNSHIPLANDED = 1;
    for (int i = 0; i < 39; ++i) frame();
    EXPECT_GT(KVGLOBALS.GUNSHIPLANDRATIO, 0.0f);
    frame();
    // 40 frames at FPSR 1 take it down (single-precision steps of 0.025 leave a residue of
    // under 1e-6, cleared by the clamp on the next frame).
    EXPECT_NEAR(KVGLOBALS.GUNSHIPLANDRATIO, 0.0f, 1e-6f);
    frame();
    EXPECT_EQ(KVGLOBALS.GUNSHIPLANDRATIO, 0.0f);
    EXPECT_EQ(KVGLOBALS.PLAYERHOVERCYCLE, 0.0f);
    for (int i = 0; i < 200; ++i) frame();
    EXPECT_NEAR(KVGLOBALS.PLAYERY, 20.0f + 7.0f * 0.25f, 1e-3f);
    // Taking off climbs back to the hover height.
    KVGLOBALS.GUNSHIPLANDED = 0;
    for (int i = 0; i < 40; ++i) frame();
    EXPECT_NEAR(KVGLOBALS.GUNSHIPLANDRATIO, 1.0f, 1e-6f);
    for (int i = 0; i < 200; ++i) frame();
    EXPECT_NEAR(KVGLOBALS.PLAYERY, 20.0f + 15.0f * 0.25f, 0.3f);
}

TEST_F(FlightStep, RefusedBodyStaysPutWithoutNaN) {
    place(200.0f, 200.0f);
    po().MOMENTOFINERTIA = 0.0f;
    po().LINEARFORCE.X = -5.0f;
    frame();
    EXPECT_EQ(KVGLOBALS.PLAYERX, 200.0f);
    EXPECT_TRUE(std::isfinite(KVGLOBALS.PLAYERY));
    EXPECT_TRUE(std::isfinite(po().ANGLE));
}

// --- collision probe -----------------------------------------------------------------------

TEST_F(FlightStep, LoneSolidSampleGivesNoResponse) {
    // Column x = 101 blocks; at x = 100.01 only sample 0 (at x + 1) reaches into it.
    for (int z = 90; z < 110; ++z) set_city(101, z, 3);
    place(100.01f, 100.5f);
    po().POSITIONBACKUP = {99.9f, 0.0f, 100.5f};
    po().LINEARVELOCITY = {0.02f, 0.0f, 0.0f};
    KV_CHECKCOLLISION();
    EXPECT_EQ(po().POSITION.X, 100.01f);
    EXPECT_EQ(po().LINEARVELOCITY.X, 0.02f);
}

TEST_F(FlightStep, TwoAdjacentSolidSamplesPushBackFromTheWall) {
    // Cells (101, z >= 100) block; at (100.03, 100.1) samples 0 and 1 reach into them and
    // sample 31 (below z = 100) does not.
    for (int z = 100; z < 110; ++z) set_city(101, z, -1);
    place(100.03f, 100.1f);
    po().POSITIONBACKUP = {99.95f, 0.0f, 100.1f};
    po().LINEARVELOCITY = {0.02f, 0.0f, 0.0f};
    KV_CHECKCOLLISION();
    EXPECT_LT(po().LINEARVELOCITY.X, 0.002f) << "the speed into the wall is cancelled";
    EXPECT_LT(po().POSITION.X, 100.03f) << "the move into the wall is undone";
    EXPECT_NEAR(po().POSITION.X, 99.95f, 0.05f);
}

TEST_F(FlightStep, CityCodesOnlyMinusOneAndAboveTwoBlock) {
    for (int32_t code : {0, 1, 2}) {
        set_city(50, 50, code);
        EXPECT_FALSE(flight_cell_solid(50.5f, 50.5f)) << code;
    }
    for (int32_t code : {-1, 3, 17}) {
        set_city(50, 50, code);
        EXPECT_TRUE(flight_cell_solid(50.5f, 50.5f)) << code;
    }
    EXPECT_FALSE(flight_cell_solid(-0.5f, 10.0f)) << "outside the grid never reads memory";
    EXPECT_FALSE(flight_cell_solid(512.9f, 10.0f));
    EXPECT_FALSE(flight_cell_solid(NAN, 10.0f));
    KVGLOBALS.CITYMAP.clear();
    EXPECT_FALSE(flight_cell_solid(50.5f, 50.5f)) << "no map loaded";
}

TEST_F(FlightStep, ThrustingIntoAWallStopsAtTheWall) {
    // A solid block from x = 150 on; the gunship starts at 140 heading 180 (thrust towards +X).
    for (int x = 150; x < 170; ++x)
        for (int z = 80; z < 120; ++z) set_city(x, z, 4);
    place(140.0f, 100.5f);
    po().ANGLE = 180.0f;
    float farthest = 0.0f;
    for (int i = 0; i < 600; ++i) {
        po().LINEARFORCE.X += 1.5f;  // held thrust
        frame();
        farthest = std::max(farthest, po().POSITION.X);
    }
    EXPECT_LT(farthest, 150.0f) << "never inside the wall";
    EXPECT_GT(po().POSITION.X, 148.0f) << "pressed against it";

    // With clipping off the same thrust passes through.
    KVGLOBALS.COLLISIONON = 0;
    for (int i = 0; i < 600; ++i) {
        po().LINEARFORCE.X += 1.5f;
        frame();
    }
    EXPECT_GT(po().POSITION.X, 160.0f);
}

TEST_F(FlightStep, FullyEnclosedOrOpenProbeGivesNoResponse) {
    place(300.5f, 300.5f);
    po().POSITIONBACKUP = po().POSITION;
    po().LINEARVELOCITY = {0.01f, 0.0f, 0.01f};
    KV_CHECKCOLLISION();
    EXPECT_EQ(po().LINEARVELOCITY.X, 0.01f);
    for (int x = 298; x < 303; ++x)
        for (int z = 298; z < 303; ++z) set_city(x, z, 5);
    KV_CHECKCOLLISION();
    EXPECT_EQ(po().LINEARVELOCITY.X, 0.01f) << "no free sample: no wall to push from";
}
