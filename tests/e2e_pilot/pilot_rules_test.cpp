// The demo pilot's decisions over hand-built mission records, the way its controls reach the
// game (key and controller bindings, the per-frame input provider), and its steering closed
// over the real flight controls and physics at short and long frame steps.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <cmath>

#include "config/config.h"
#include "config/control_codes.h"
#include "engine/engine_globals.h"
#include "engine/physics.h"
#include "game/autopilot.h"
#include "game/flight.h"
#include "game/kv_globals.h"
#include "game/missionobjects.h"
#include "platform/clock.h"
#include "platform/input.h"

namespace {

bool held(const PilotControls& c, int32_t control) { return c.VALUE[control] > 0.0f; }

int32_t count_held(const PilotControls& c) {
    int32_t n = 0;
    for (float v : c.VALUE) n += v > 0.0f ? 1 : 0;
    return n;
}

class PilotDecisions : public ::testing::Test {
protected:
    void SetUp() override {
        KVGLOBALSTYPE& g = KVGLOBALS;
        g.CITYMAP.clear();
        g.CURPROFILE = 0;
        g.PROFILES[0] = PROFILETYPE{};
        PROFILETYPE& p = g.PROFILES[0];
        p.FUEL = 1.0f;
        p.ARMOUR = 1.0f;
        p.VT90S = 9999;
        p.ROCKETS = 0;
        p.ROCKETTYPE = 0;
        p.MISSIONNUM = 0;
        p.OBJECTIVENUM = 0;
        p.RESEARCHINGTECHNOLOGY = -1;
        g.MISSIONDATA[0] = MISSIONDATATYPE{};
        g.MISSIONDATA[0].OBJECTIVE[0].GOALTYPE = GT_KILL_RANGE;
        g.MISSIONDATA[0].OBJECTIVE[0].KILLRANGESTART = 0;
        g.MISSIONDATA[0].OBJECTIVE[0].KILLRANGEEND = 3;
        for (ENEMYTYPE& e : g.ENEMIES) e = ENEMYTYPE{};
        g.CHECKPOINTDATA.assign(4, CHECKPOINTTYPE{});
        g.CHECKPOINTCOUNT = 1;
        g.AIRDROPDATA.assign(2, AIRDROPTYPE{});
        g.AIRDROPCOUNT = 0;
        g.MISSIONSTARTED = 1;
        g.GUNSHIPLANDED = 0;
        g.GUNSHIPLANDRATIO = 1.0f;
        g.REFUELING = 0;
        g.LOCKLANDING = 1;
        g.LOADINGACTIVE = 0;
        g.PLAYERX = 200.0f;
        g.PLAYERZ = 200.0f;
        g.PLAYERY = 4.0f;
        g.GUNSHIPPO = PHYSICSOBJECTTYPE{};
        g.GUNSHIPPO.POSITION = {200.0f, 0.0f, 200.0f};
        autopilot_flight_reset();
    }
    // An enemy of the kill range at (x, z), on the ground at height 0.
    void enemy(int32_t slot, float x, float z) {
        ENEMYTYPE& e = KVGLOBALS.ENEMIES[slot];
        e.ACTIVE = 1;
        e.CLASS = 2;
        e.HEALTH = 10.0f;
        e.POSITION = {x, 0.0f, z};
    }
    // Check-point record i of the given class at (x, z), working for mission 0.
    void checkpoint(int32_t i, int32_t cls, float x, float z) {
        CHECKPOINTTYPE& c = KVGLOBALS.CHECKPOINTDATA[static_cast<size_t>(i)];
        c.CLASS = cls;
        c.ACTIVE = 1;
        c.POSITION = {x, 0.0f, z};
        if (KVGLOBALS.CHECKPOINTCOUNT < i + 1) KVGLOBALS.CHECKPOINTCOUNT = i + 1;
    }
    // The only air drop, of mission 0, landed and waiting to be picked up over check point `marker`.
    AIRDROPTYPE& landed_crate(int32_t marker) {
        AIRDROPTYPE& a = KVGLOBALS.AIRDROPDATA[0];
        KVGLOBALS.AIRDROPCOUNT = 1;
        a.MISSION = 0;
        a.ACTIVE = 2;
        a.PICKUPFLAG = 1;
        a.CHECKPOINTID = marker;
        return a;
    }
    PilotFlightOptions opt;
    PilotControls out;
};

TEST_F(PilotDecisions, OutsideAMissionNothingIsHeld) {
    KVGLOBALS.MISSIONSTARTED = 0;
    EXPECT_EQ(autopilot_flight_step(1000, opt, out), PilotPhase::MENU);
    EXPECT_EQ(count_held(out), 0);
}

TEST_F(PilotDecisions, FiresOnlyWithTheNoseOnTheTarget) {
    // Heading 0 points the nose along -X: an enemy 5 units to -X is dead ahead.
    enemy(0, 195.0f, 200.0f);
    EXPECT_EQ(autopilot_flight_step(1000, opt, out), PilotPhase::ATTACK);
    EXPECT_TRUE(held(out, FLIGHT_USE));
    EXPECT_FALSE(held(out, FLIGHT_ROTATE_LEFT) || held(out, FLIGHT_ROTATE_RIGHT));

    // The same enemy behind the gunship: turn, hold fire.
    KVGLOBALS.ENEMIES[0].POSITION = {205.0f, 0.0f, 200.0f};
    EXPECT_EQ(autopilot_flight_step(1100, opt, out), PilotPhase::ATTACK);
    EXPECT_FALSE(held(out, FLIGHT_USE));
    EXPECT_TRUE(held(out, FLIGHT_ROTATE_LEFT) || held(out, FLIGHT_ROTATE_RIGHT));
}

TEST_F(PilotDecisions, FarTargetsAreTravelledToAndTheNearestIsTakenFirst) {
    enemy(0, 100.0f, 200.0f);  // 100 units away
    EXPECT_EQ(autopilot_flight_step(1000, opt, out), PilotPhase::TRAVEL);
    EXPECT_TRUE(held(out, FLIGHT_THRUST));  // dead ahead and at rest: full thrust
    EXPECT_FALSE(held(out, FLIGHT_USE));
    // An enemy outside the kill range is no target.
    enemy(5, 196.0f, 200.0f);
    EXPECT_EQ(autopilot_flight_step(1050, opt, out), PilotPhase::TRAVEL);
    enemy(2, 195.0f, 200.0f);
    EXPECT_EQ(autopilot_flight_step(1100, opt, out), PilotPhase::ATTACK);
}

TEST_F(PilotDecisions, GroupsGetRocketsByWayOfTheWeaponControl) {
    PROFILETYPE& p = KVGLOBALS.PROFILES[0];
    p.ROCKETS = 10;
    p.ROCKETTYPE = 1;
    enemy(0, 195.0f, 200.0f);
    enemy(1, 194.0f, 201.0f);
    autopilot_flight_step(1000, opt, out);
    EXPECT_TRUE(held(out, FLIGHT_NEXT));
    EXPECT_FALSE(held(out, FLIGHT_USE));
    // The press is not repeated before the game's hold-off is over.
    autopilot_flight_step(1100, opt, out);
    EXPECT_FALSE(held(out, FLIGHT_NEXT));
    p.SELECTEDWEAPON = 1;
    autopilot_flight_step(1200, opt, out);
    EXPECT_TRUE(held(out, FLIGHT_USE));
    // Out of rockets: back to the cannon.
    p.ROCKETS = 0;
    autopilot_flight_step(2000, opt, out);
    EXPECT_TRUE(held(out, FLIGHT_NEXT));
}

TEST_F(PilotDecisions, LowFuelLeadsToTheNearestPadAndALanding) {
    enemy(0, 195.0f, 200.0f);
    checkpoint(1, 1, 300.0f, 200.0f);
    checkpoint(2, 1, 150.0f, 200.0f);
    KVGLOBALS.PROFILES[0].FUEL = 0.2f;
    EXPECT_EQ(autopilot_flight_step(1000, opt, out), PilotPhase::REFUEL);
    EXPECT_FALSE(held(out, FLIGHT_USE));
    EXPECT_FALSE(held(out, FLIGHT_LAND));
    // Over the nearer pad (at -X, ahead) at rest, the pad unlocks landing: one press.
    KVGLOBALS.PLAYERX = 150.2f;
    KVGLOBALS.LOCKLANDING = 0;
    autopilot_flight_step(2000, opt, out);
    EXPECT_TRUE(held(out, FLIGHT_LAND));
    autopilot_flight_step(2100, opt, out);
    EXPECT_FALSE(held(out, FLIGHT_LAND));
    // Landed and refuelling: hands off until the pad lets go; the tank is then full.
    KVGLOBALS.GUNSHIPLANDED = 1;
    KVGLOBALS.GUNSHIPLANDRATIO = 0.0f;
    KVGLOBALS.REFUELING = 1;
    EXPECT_EQ(autopilot_flight_step(3000, opt, out), PilotPhase::REFUEL);
    EXPECT_EQ(count_held(out), 0);
    KVGLOBALS.GUNSHIPLANDED = 0;
    KVGLOBALS.REFUELING = 0;
    KVGLOBALS.PROFILES[0].FUEL = 1.0f;
    KVGLOBALS.PLAYERX = 200.0f;
    EXPECT_EQ(autopilot_flight_step(4000, opt, out), PilotPhase::ATTACK);
}

TEST_F(PilotDecisions, LandedAwayFromAPadTakesOffAgain) {
    KVGLOBALS.GUNSHIPLANDED = 1;
    KVGLOBALS.GUNSHIPLANDRATIO = 0.0f;
    EXPECT_EQ(autopilot_flight_step(1000, opt, out), PilotPhase::LAND);
    EXPECT_TRUE(held(out, FLIGHT_LAND));
}

TEST_F(PilotDecisions, CratesAreWinchedFromRestOverTheirMarker) {
    enemy(0, 100.0f, 200.0f);
    checkpoint(1, 0, 203.0f, 200.0f);
    AIRDROPTYPE& a = landed_crate(1);
    EXPECT_EQ(autopilot_flight_step(1000, opt, out), PilotPhase::WINCH);
    EXPECT_FALSE(held(out, FLIGHT_LAND));  // 3 units off the marker
    KVGLOBALS.PLAYERX = 203.3f;
    autopilot_flight_step(2000, opt, out);
    EXPECT_TRUE(held(out, FLIGHT_LAND));
    // Moving too fast over the marker: no press.
    autopilot_flight_reset();
    KVGLOBALS.GUNSHIPPO.LINEARVELOCITY = {0.02f, 0.0f, 0.0f};
    autopilot_flight_step(3000, opt, out);
    EXPECT_FALSE(held(out, FLIGHT_LAND));
    // On the winch: hold still.
    a.PICKUPFLAG = 2;
    EXPECT_EQ(autopilot_flight_step(3500, opt, out), PilotPhase::WINCH);
    EXPECT_EQ(count_held(out), 0);
    // A crate of another mission is none of this flight's business.
    a.PICKUPFLAG = 1;
    a.MISSION = 1;
    EXPECT_EQ(autopilot_flight_step(4000, opt, out), PilotPhase::TRAVEL);
}

TEST_F(PilotDecisions, ACrateBesideAWallIsTakenFromItsSquareEdgeOrLeftAfterAWhile) {
    enemy(0, 100.0f, 200.0f);
    checkpoint(1, 0, 200.91f, 200.2f);  // the gunship is held 0.91 units off, inside the square
    landed_crate(1);
    autopilot_flight_step(1000, opt, out);
    EXPECT_TRUE(held(out, FLIGHT_LAND));
    // Pinned just outside the square: it keeps trying for a while, then goes on with the mission.
    KVGLOBALS.CHECKPOINTDATA[1].POSITION.X = 201.2f;
    EXPECT_EQ(autopilot_flight_step(20000, opt, out), PilotPhase::WINCH);
    EXPECT_EQ(autopilot_flight_step(47000, opt, out), PilotPhase::TRAVEL);
    EXPECT_EQ(autopilot_flight_step(48000, opt, out), PilotPhase::TRAVEL);
}

TEST_F(PilotDecisions, ZiplineDropIsActivatedOverThePointAndThenHeldStill) {
    OBJECTIVETYPE& o = KVGLOBALS.MISSIONDATA[0].OBJECTIVE[0];
    o.GOALTYPE = GT_ZIPLINE_DOWN_AND_UP;
    o.ZIPLINE_SRC_X = 200.5f;
    o.ZIPLINE_SRC_Z = 200.0f;
    o.ZIPLINE_N = 4;
    o.ZIPLINE_STATUS = ZIPLINE_WAITING;
    EXPECT_EQ(autopilot_flight_step(1000, opt, out), PilotPhase::ZIPLINE);
    EXPECT_TRUE(held(out, FLIGHT_LAND));
    o.ZIPLINE_STATUS = ZIPLINE_DESCENT;
    autopilot_flight_step(2000, opt, out);
    EXPECT_EQ(count_held(out), 0);
    // Installing explosives: wait over the point without pressing.
    o.ZIPLINE_STATUS = ZIPLINE_ON_GROUND;
    KVGLOBALS.LOADINGACTIVE = 1;
    autopilot_flight_step(3000, opt, out);
    EXPECT_FALSE(held(out, FLIGHT_LAND));
    // The wait is over: the second press brings the team back.
    KVGLOBALS.LOADINGACTIVE = 0;
    autopilot_flight_step(4000, opt, out);
    EXPECT_TRUE(held(out, FLIGHT_LAND));
    // Blast under way: nothing to do but wait.
    o.ZIPLINE_STATUS = ZIPLINE_BLASTING;
    EXPECT_EQ(autopilot_flight_step(5000, opt, out), PilotPhase::ZIPLINE);
    EXPECT_EQ(count_held(out), 0);
}

TEST_F(PilotDecisions, ResearchBaseOnlyWhenAllowedAndOffered) {
    checkpoint(3, 2, 260.0f, 200.0f);
    enemy(0, 100.0f, 200.0f);
    EXPECT_EQ(autopilot_flight_step(1000, opt, out), PilotPhase::TRAVEL);
    opt.use_research_base = true;
    EXPECT_EQ(autopilot_flight_step(1100, opt, out), PilotPhase::TRAVEL);
    opt.research_offered = true;
    EXPECT_EQ(autopilot_flight_step(1200, opt, out), PilotPhase::RESEARCH);
    // Already researching: no visit while the research runs, one when it is finished.
    PROFILETYPE& p = KVGLOBALS.PROFILES[0];
    p.RESEARCHINGTECHNOLOGY = 2;
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    KVGLOBALS.TECHNOLOGYDATA[2].TIMETORESEARCH = 1;
    p.MISSIONNUM = 0;
    EXPECT_EQ(autopilot_flight_step(1300, opt, out), PilotPhase::TRAVEL);
    opt.research_offered = false;
    KVGLOBALS.MISSIONDATA[1] = KVGLOBALS.MISSIONDATA[0];
    p.MISSIONNUM = 1;
    KVGLOBALS.CHECKPOINTDATA[3].MISSION = 1;
    EXPECT_EQ(autopilot_flight_step(1400, opt, out), PilotPhase::RESEARCH);
}

TEST(PilotInput, ControlsBecomeTheBoundKeysOrControllerValues) {
    CONFIGVARTYPE cfg;
    cfg.INPUTTYPE = 0;
    cfg.CONTROL[FLIGHT_THRUST] = static_cast<int8_t>(control_code_from_glfw_key(GLFW_KEY_UP));
    cfg.CONTROL[FLIGHT_USE] = static_cast<int8_t>(control_code_from_glfw_key(GLFW_KEY_SPACE));
    cfg.CONTROL[FLIGHT_LAND] = 0;  // unbound
    PilotControls c;
    c.VALUE[FLIGHT_THRUST] = 1.0f;
    c.VALUE[FLIGHT_LAND] = 1.0f;
    static bool keys[GLFW_KEY_LAST + 1];
    PLATFORM_JOYSTATE joys[PLATFORM_JOYSTICKS];
    keys[GLFW_KEY_ESCAPE] = true;  // stale state from an earlier frame is cleared
    autopilot_controls_to_input(cfg, c, keys, GLFW_KEY_LAST + 1, joys);
    int32_t down = 0;
    for (bool k : keys) down += k ? 1 : 0;
    EXPECT_EQ(down, 1);
    EXPECT_TRUE(keys[GLFW_KEY_UP]);
    EXPECT_FALSE(joys[0].PRESENT);

    // Controller input: a button and a negative half-axis on controller 3.
    cfg.INPUTTYPE = 1;
    cfg.JOYSTICK = 3;
    cfg.CONTROL[FLIGHT_THRUST] = CONTROL_CODE_FIRST_BUTTON + 4;  // button 4
    int32_t axis_code = -1;
    for (int32_t code = CONTROL_CODE_FIRST_AXIS; code < CONTROL_CODE_FIRST_KEY; ++code)
        if (control_code_info(code).INDEX == 1 && control_code_info(code).DIRECTION == -1) axis_code = code;
    ASSERT_GE(axis_code, 0);
    cfg.CONTROL[FLIGHT_ROTATE_LEFT] = static_cast<int8_t>(axis_code);
    c.VALUE[FLIGHT_ROTATE_LEFT] = 1.0f;
    autopilot_controls_to_input(cfg, c, keys, GLFW_KEY_LAST + 1, joys);
    EXPECT_FALSE(keys[GLFW_KEY_UP]);
    EXPECT_TRUE(joys[3].PRESENT);
    EXPECT_EQ(joys[3].BUTTONS, 1u << 4);
    EXPECT_FLOAT_EQ(joys[3].AXES[1], -1.0f);
    EXPECT_FALSE(joys[0].PRESENT);
}

bool g_even_a = false;
void even_frames_hold_a(int64_t frame, bool* keys, int32_t nkeys, PLATFORM_JOYSTATE* joys) {
    for (int32_t k = 0; k < nkeys; ++k) keys[k] = false;
    keys[GLFW_KEY_A] = g_even_a && frame % 2 == 0;
    joys[2].PRESENT = frame % 2 == 0;
    joys[2].AXES[0] = 7.0f;  // out of range: read clamped
}

TEST(PilotInput, ProviderDecidesEachFrameAndHandsBackWhenRemoved) {
    g_even_a = true;
    platform_input_use_provider(even_frames_hold_a);
    EXPECT_TRUE(platform_input_provided());
    platform_input_apply_frame(2);
    EXPECT_TRUE(platform_key_down(GLFW_KEY_A));
    EXPECT_TRUE(platform_joystick_present(2));
    EXPECT_FLOAT_EQ(platform_joystick(2).AXES[0], 1.0f);
    platform_input_apply_frame(3);
    EXPECT_FALSE(platform_key_down(GLFW_KEY_A));
    EXPECT_FALSE(platform_joystick_present(2));
    platform_input_apply_frame(4);
    EXPECT_TRUE(platform_key_down(GLFW_KEY_A));
    platform_input_use_provider(nullptr);
    EXPECT_FALSE(platform_input_provided());
    // Back on the live backend with no window: nothing is down.
    EXPECT_FALSE(platform_key_down(GLFW_KEY_A));
}

// The pilot's controls closed over the real flight controller and physics: from several start
// headings and at frame steps of 10 and 50 ms it reaches a goal 60 units away and comes to rest
// there, the way it stops over crates and drop points.
float g_held[CONFIG_NCONTROLS];
float held_control(int32_t c) { return c >= 0 && c < CONFIG_NCONTROLS ? g_held[c] : 0.0f; }

TEST_F(PilotDecisions, SteeringReachesAndStopsOverAGoalAtShortAndLongSteps) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    OBJECTIVETYPE& o = g.MISSIONDATA[0].OBJECTIVE[0];
    o.GOALTYPE = GT_ZIPLINE_DOWN;
    o.ZIPLINE_N = 2;
    o.ZIPLINE_STATUS = ZIPLINE_WAITING;
    o.ZIPLINE_SRC_X = 250.0f;
    o.ZIPLINE_SRC_Z = 230.0f;
    KV_INIT_PHYSICS();
    // The gunship model's moment of inertia (the model is not loaded here).
    g.GUNSHIPPO.MOMENTOFINERTIA = 136377.3f;
    for (int32_t step : {10, 50}) {
        for (float heading : {0.0f, 90.0f, 200.0f}) {
            platform_clock_use_fixed_step(step);
            autopilot_flight_reset();
            g.GUNSHIPPO.POSITION = {200.0f, 0.0f, 200.0f};
            g.GUNSHIPPO.LINEARVELOCITY = {};
            g.GUNSHIPPO.ANGULARVELOCITY = 0.0f;
            g.GUNSHIPPO.ANGLE = heading;
            g.PLAYERX = 200.0f;
            g.PLAYERZ = 200.0f;
            g.WAITKEY = 0;
            g.LOCKPHYSICSMIN = 0;
            g.LOCKLANDING = 1;
            PHYSICSDATA.TICKS = 0.0f;
            PHYSICSDATA.TICKSPASSEDWEIGHTED = static_cast<float>(step);
            FPSR = static_cast<float>(step) / 16.0f;
            bool pressed = false;
            int32_t frames = 0;
            for (; frames < 60000 / step && !pressed; ++frames) {
                platform_clock_advance_frame();
                const int32_t now = platform_clock_ms();
                PilotControls c;
                autopilot_flight_step(now, opt, c);
                for (int32_t k = 0; k < CONFIG_NCONTROLS; ++k) g_held[k] = c.VALUE[k];
                pressed = held(c, FLIGHT_LAND);
                g.GUNSHIPPO.LINEARFORCE = {};
                g.GUNSHIPPO.TOTALTORQUE = 0.0f;
                flight_controller_step(held_control, now);
                flight_update_ticks(now);
                PHYSICS_PROCESSPHYSICS(g.GUNSHIPPO);
                g.PLAYERX = g.GUNSHIPPO.POSITION.X;
                g.PLAYERZ = g.GUNSHIPPO.POSITION.Z;
            }
            SCOPED_TRACE("step " + std::to_string(step) + " heading " + std::to_string(heading));
            EXPECT_TRUE(pressed);
            EXPECT_LT(std::fabs(g.PLAYERX - 250.0f), 1.5f);
            EXPECT_LT(std::fabs(g.PLAYERZ - 230.0f), 1.5f);
            // 60 units at most speed take a few seconds, not the whole minute.
            EXPECT_LT(frames * step, 20000);
        }
    }
}

}  // namespace
