// Flight controls: forces and torque from the controls, tilt easing, the toggle hold-off of the
// minimap, weapon and land controls, the check-point activation, the mission window and the
// fixed debug keys.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <cmath>

#include "engine/engine_globals.h"
#include "game/flight.h"
#include "game/kv_globals.h"

namespace {

float g_controls[13];
bool g_keys[GLFW_KEY_LAST + 1];

float fake_control(int32_t c) { return c >= 0 && c < 13 ? g_controls[c] : 0.0f; }
bool fake_key(int32_t k) { return k >= 0 && k <= GLFW_KEY_LAST && g_keys[k]; }

class FlightControls : public ::testing::Test {
protected:
    void SetUp() override {
        for (float& c : g_controls) c = 0.0f;
        for (bool& k : g_keys) k = false;
        KVGLOBALSTYPE& g = KVGLOBALS;
        g.GUNSHIPPO = PHYSICSOBJECTTYPE{};
        g.PHYSICSDATA_THRUSTFORCE = 15.0f;
        g.PHYSICSDATA_REVERSEFORCE = 10.0f;
        g.PHYSICSDATA_STRAFEFORCE = 11.0f;
        g.PHYSICSDATA_TORQUE = 175.0f;
        g.WAITKEY = 0;
        g.EXITCODE = 0;
        g.GUNSHIPLANDED = 0;
        g.LOCKLANDING = 0;
        g.LOCKPHYSICSMIN = 0;
        g.PICKUPDROPOFFFLAG = 0;
        g.WEAPONSWITCH = WEAPONSWITCHTYPE{};
        g.CURPROFILE = 0;
        g.PROFILES[0].MINIMAPTOGGLE = 1;
        g.PROFILES[0].SELECTEDWEAPON = 0;
        g.PROFILES[0].ROCKETTYPE = 0;
        g.PROFILES[0].MINETYPE = 0;
        FPSR = 1.0f;
    }
    PHYSICSOBJECTTYPE& po() { return KVGLOBALS.GUNSHIPPO; }
};

}  // namespace

TEST_F(FlightControls, ThrustReverseAndStrafeFollowTheHeading) {
    g_controls[FLIGHT_THRUST] = 1.0f;
    flight_controller_step(fake_control, 1000);
    EXPECT_NEAR(po().LINEARFORCE.X, -1.5f, 1e-6f) << "heading 0 thrusts towards -X";
    EXPECT_NEAR(po().LINEARFORCE.Z, 0.0f, 1e-6f);

    po().LINEARFORCE = {};
    po().ANGLE = 90.0f;
    flight_controller_step(fake_control, 1000);
    EXPECT_NEAR(po().LINEARFORCE.X, 0.0f, 1e-5f);
    EXPECT_NEAR(po().LINEARFORCE.Z, -1.5f, 1e-6f) << "heading 90 thrusts towards -Z";

    // Reverse pushes backwards, strafe right to the heading's negative side, with analogue
    // values scaling the force.
    g_controls[FLIGHT_THRUST] = 0.0f;
    g_controls[FLIGHT_REVERSE] = 0.5f;
    po().LINEARFORCE = {};
    po().ANGLE = 0.0f;
    flight_controller_step(fake_control, 1000);
    EXPECT_NEAR(po().LINEARFORCE.X, 0.5f, 1e-6f);
    g_controls[FLIGHT_REVERSE] = 0.0f;
    g_controls[FLIGHT_STRAFE_RIGHT] = 1.0f;
    po().LINEARFORCE = {};
    flight_controller_step(fake_control, 1000);
    EXPECT_NEAR(po().LINEARFORCE.X, 0.0f, 1e-5f);
    EXPECT_NEAR(po().LINEARFORCE.Z, -1.1f, 1e-6f);
    g_controls[FLIGHT_STRAFE_RIGHT] = 0.0f;
    g_controls[FLIGHT_STRAFE_LEFT] = 1.0f;
    po().LINEARFORCE = {};
    flight_controller_step(fake_control, 1000);
    EXPECT_NEAR(po().LINEARFORCE.Z, 1.1f, 1e-6f);
}

TEST_F(FlightControls, TurningTorqueAndTheTranslationLock) {
    g_controls[FLIGHT_ROTATE_RIGHT] = 1.0f;
    g_controls[FLIGHT_THRUST] = 1.0f;
    KVGLOBALS.LOCKPHYSICSMIN = 1;
    flight_controller_step(fake_control, 1000);
    EXPECT_EQ(po().TOTALTORQUE, 175.0f) << "turning still works under the lock";
    EXPECT_EQ(po().LINEARFORCE.X, 0.0f) << "thrust is blocked under the lock";
    g_controls[FLIGHT_ROTATE_RIGHT] = 0.0f;
    g_controls[FLIGHT_ROTATE_LEFT] = 0.5f;
    flight_controller_step(fake_control, 1000);
    EXPECT_EQ(po().TOTALTORQUE, 175.0f - 87.5f);
}

TEST_F(FlightControls, TiltEasesTenPercentPerFrameAndFreezesWhenLanded) {
    g_controls[FLIGHT_THRUST] = 1.0f;
    g_controls[FLIGHT_ROTATE_RIGHT] = 1.0f;
    g_controls[FLIGHT_STRAFE_RIGHT] = 1.0f;
    flight_controller_step(fake_control, 1000);
    EXPECT_EQ(po().TARGETXANGLE, 20.0f);
    EXPECT_EQ(po().TARGETZANGLE, -10.0f);
    EXPECT_FLOAT_EQ(po().XANGLE, 2.0f);
    EXPECT_FLOAT_EQ(po().ZANGLE, -1.0f);
    FPSR = 2.0f;
    flight_controller_step(fake_control, 1000);
    EXPECT_FLOAT_EQ(po().XANGLE, 2.0f + 18.0f * 0.2f);

    KVGLOBALS.GUNSHIPLANDED = 1;
    const float x = po().XANGLE;
    po().LINEARFORCE = {};
    flight_controller_step(fake_control, 1000);
    EXPECT_EQ(po().XANGLE, x);
    EXPECT_EQ(po().LINEARFORCE.X, 0.0f) << "no force while landed";
    EXPECT_EQ(po().TOTALTORQUE, 2 * 175.0f) << "nor torque";
}

TEST_F(FlightControls, TogglesActOncePer200MsWhileHeld) {
    g_controls[FLIGHT_MINIMAP] = 1.0f;
    int toggles = 0;
    int last = KVGLOBALS.PROFILES[0].MINIMAPTOGGLE;
    for (int32_t t = 1000; t < 1600; t += 16) {  // 600 ms of holding at 16 ms frames
        flight_controller_step(fake_control, t);
        if (KVGLOBALS.PROFILES[0].MINIMAPTOGGLE != last) {
            ++toggles;
            last = KVGLOBALS.PROFILES[0].MINIMAPTOGGLE;
        }
    }
    EXPECT_EQ(toggles, 3);

    // Landing toggles the same way.
    g_controls[FLIGHT_MINIMAP] = 0.0f;
    g_controls[FLIGHT_LAND] = 1.0f;
    KVGLOBALS.WAITKEY = 0;
    flight_controller_step(fake_control, 5000);
    EXPECT_EQ(KVGLOBALS.GUNSHIPLANDED, 1);
    flight_controller_step(fake_control, 5100);
    EXPECT_EQ(KVGLOBALS.GUNSHIPLANDED, 1) << "inside the hold-off";
    flight_controller_step(fake_control, 5201);
    EXPECT_EQ(KVGLOBALS.GUNSHIPLANDED, 0);
}

TEST_F(FlightControls, WeaponWheelWrapsOverTheWeaponsOwned) {
    PROFILETYPE& p = KVGLOBALS.PROFILES[0];
    g_controls[FLIGHT_NEXT] = 1.0f;
    flight_controller_step(fake_control, 1000);
    EXPECT_EQ(KVGLOBALS.WEAPONSWITCH.TARGETANGLE, 360.0f) << "cannon only";
    EXPECT_EQ(p.SELECTEDWEAPON, 0);
    EXPECT_EQ(KVGLOBALS.WEAPONSWITCH.ACTIVE, 1);

    p.ROCKETTYPE = 1;
    p.MINETYPE = 2;
    g_controls[FLIGHT_NEXT] = 0.0f;
    g_controls[FLIGHT_PREVIOUS] = 1.0f;
    flight_controller_step(fake_control, 2000);
    EXPECT_EQ(p.SELECTEDWEAPON, 2);
    EXPECT_EQ(KVGLOBALS.WEAPONSWITCH.TARGETANGLE, 240.0f);
    g_controls[FLIGHT_PREVIOUS] = 0.0f;
    g_controls[FLIGHT_NEXT] = 1.0f;
    flight_controller_step(fake_control, 3000);
    EXPECT_EQ(p.SELECTEDWEAPON, 0);
    EXPECT_EQ(KVGLOBALS.WEAPONSWITCH.TARGETANGLE, 360.0f);
}

TEST_F(FlightControls, LockedLandingActivatesForOneFrameAndNeverLands) {
    KVGLOBALS.LOCKLANDING = 1;
    g_controls[FLIGHT_LAND] = 1.0f;
    flight_controller_step(fake_control, 1000);
    EXPECT_EQ(KVGLOBALS.PICKUPDROPOFFFLAG, 1);
    EXPECT_EQ(KVGLOBALS.WAITKEY, 1200);
    flight_controller_step(fake_control, 1016);
    EXPECT_EQ(KVGLOBALS.PICKUPDROPOFFFLAG, 0) << "only in the frame of the press";
    for (int32_t t = 1032; t < 3000; t += 16) flight_controller_step(fake_control, t);
    EXPECT_EQ(KVGLOBALS.GUNSHIPLANDED, 0);
}

TEST_F(FlightControls, MissionWindowOnlyOutsideTheHoldOff) {
    g_controls[FLIGHT_MISSION_WINDOW] = 1.0f;
    KVGLOBALS.WAITKEY = 1500;
    flight_controller_step(fake_control, 1000);
    EXPECT_EQ(KVGLOBALS.EXITCODE, 0);
    flight_controller_step(fake_control, 1501);
    EXPECT_EQ(KVGLOBALS.EXITCODE, 2);
}

TEST_F(FlightControls, BadProfileSlotIsSkippedNotRead) {
    KVGLOBALS.CURPROFILE = 4000;
    g_controls[FLIGHT_MINIMAP] = 1.0f;
    g_controls[FLIGHT_NEXT] = 1.0f;
    g_controls[FLIGHT_THRUST] = 1.0f;
    flight_controller_step(fake_control, 1000);
    EXPECT_NEAR(po().LINEARFORCE.X, -1.5f, 1e-6f) << "flight goes on without a profile";
    EXPECT_EQ(KVGLOBALS.WAITKEY, 1200);
    KVGLOBALS.CURPROFILE = 0;
}

TEST_F(FlightControls, FixedDebugKeys) {
    KVGLOBALS.COLLISIONON = 1;
    g_keys[GLFW_KEY_C] = true;
    flight_alternative_step(fake_key, 1000);
    EXPECT_EQ(KVGLOBALS.COLLISIONON, 0);
    flight_alternative_step(fake_key, 1100);
    EXPECT_EQ(KVGLOBALS.COLLISIONON, 0) << "hold-off";
    flight_alternative_step(fake_key, 1201);
    EXPECT_EQ(KVGLOBALS.COLLISIONON, 1);
    g_keys[GLFW_KEY_C] = false;

    g_keys[GLFW_KEY_ESCAPE] = true;
    flight_alternative_step(fake_key, 2000);
    EXPECT_EQ(KVGLOBALS.EXITCODE, 1);
    g_keys[GLFW_KEY_ESCAPE] = false;

    KVGLOBALS.POINTERMODE = 0;
    g_keys[GLFW_KEY_P] = true;
    flight_alternative_step(fake_key, 3000);
    EXPECT_EQ(KVGLOBALS.POINTERMODE, 1);
    g_keys[GLFW_KEY_P] = false;

    TEMPX = 2.5f;
    g_keys[GLFW_KEY_O] = true;
    flight_alternative_step(fake_key, 4000);
    EXPECT_EQ(KVGLOBALS.TRIGGERPOWERUP, 2) << "halves round to even";
    TEMPX = 1e30f;
    flight_alternative_step(fake_key, 5000);
    EXPECT_EQ(KVGLOBALS.TRIGGERPOWERUP, 2147483647) << "bounded, not undefined";
    TEMPX = 0.0f;
    g_keys[GLFW_KEY_O] = false;

    for (int32_t& m : KVGLOBALS.FUNCTION_TIMER_MAX) m = 7;
    g_keys[GLFW_KEY_R] = true;
    flight_alternative_step(fake_key, 6000);
    for (int32_t m : KVGLOBALS.FUNCTION_TIMER_MAX) ASSERT_EQ(m, 0);
}
