// The gunship's weapons: barrel table, the cannon's trigger cycle with its barrel order and
// ammunition, rocket launches and their timer, and the weapon wheel animation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/projectiles.h"
#include "game/weapons.h"
#include "weapons_support.h"

using namespace weapons_test;

namespace {

float len(const VECTOR3D& v) { return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z); }

// Which barrel a round came from: its start point lies on the barrel's line (identity MATRIX2,
// PLAYERY 0, no hover) at 0 to 2 barrel lengths ahead of the muzzle.
int barrel_of(const PROJECTILETYPE& p) {
    const GUNSHIPWEAPONTYPE& w = KVGLOBALS.GUNSHIPWEAPONS;
    for (int b = 0; b < 3; ++b) {
        const VECTOR3D off = p.POSITION - w.BARRELBASE[b];
        const VECTOR3D& v = w.BARRELVECTOR[b];
        const float t = off.X * v.X + off.Y * v.Y + off.Z * v.Z;
        const VECTOR3D rest = off - v * t;
        if (len(rest) < 1e-4f && t >= -1e-4f && t < 2.0f && len(p.VECTOR - v) < 1e-4f) return b;
    }
    return -1;
}

class Weapons : public ::testing::Test {
protected:
    void SetUp() override {
        reset_world();
        KV_GUNSHIP_INITIALIZEBARRELS();
        KVGLOBALS.PLAYERY = 0.0f;
    }
};

TEST_F(Weapons, BarrelTableFollowsRearAndFrontPoints) {
    const GUNSHIPWEAPONTYPE& w = KVGLOBALS.GUNSHIPWEAPONS;
    // Barrel 0 runs from (-1.494, 0.571, 0) to (-1.804, 0.479, 0).
    const float dx = -0.31f, dy = -0.092f;
    const float l = std::sqrt(dx * dx + dy * dy);
    EXPECT_NEAR(w.BARRELVECTOR[0].X, dx / l, 1e-5f);
    EXPECT_NEAR(w.BARRELVECTOR[0].Y, dy / l, 1e-5f);
    EXPECT_FLOAT_EQ(w.BARRELVECTOR[0].Z, 0.0f);
    EXPECT_NEAR(w.BARRELBASE[0].X, -1.804f + 0.1f * dx / l, 1e-5f);
    EXPECT_NEAR(w.BARRELBASE[0].Y, 0.479f + 0.1f * dy / l, 1e-5f);
    for (int b = 0; b < 3; ++b) {
        EXPECT_NEAR(len(w.BARRELVECTOR[b]), 1.0f, 1e-5f) << b;
        EXPECT_LT(w.BARRELVECTOR[b].X, -0.8f) << "barrels point forward (-X): " << b;
    }
    // The side barrels mirror each other across the centre plane and splay outwards.
    EXPECT_FLOAT_EQ(w.BARRELVECTOR[1].Z, -w.BARRELVECTOR[2].Z);
    EXPECT_GT(w.BARRELVECTOR[1].Z, 0.0f);
    EXPECT_FLOAT_EQ(w.BARRELBASE[1].Z, -w.BARRELBASE[2].Z);
    EXPECT_NEAR(w.BARRELBASE[1].Z, 0.247f + 0.1f * w.BARRELVECTOR[1].Z, 1e-5f);
    // The unused fourth slot stays empty.
    EXPECT_FLOAT_EQ(len(w.BARRELVECTOR[3]), 0.0f);
}

// One trigger pull fires the barrels in turn from NEXTBARREL to the end of the cycle and spends
// one unit: a whole cycle, a cycle starting on the last barrel (the last unit goes after one
// round), and a corrupt barrel index, which restarts at barrel 0.
TEST_F(Weapons, OneTriggerCycleFiresBarrelsInTurnAndSpendsOneUnit) {
    const struct {
        int32_t units, next_barrel;
        std::vector<int> barrels;
        int32_t units_left;
    } cases[] = {{1, 0, {1, 2, 0}, 0}, {1, 2, {0}, 0}, {4, 57, {0, 1, 2}, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE("next barrel " + std::to_string(c.next_barrel));
        SetUp();
        PROFILETYPE& prof = KVGLOBALS.PROFILES[0];
        prof.VT90S = c.units;
        KVGLOBALS.GUNSHIPWEAPONS.NEXTBARREL = c.next_barrel;
        KV_GUNSHIP_FIREWEAPON();
        EXPECT_EQ(prof.VT90S, c.units_left);
        EXPECT_EQ(KVGLOBALS.GUNSHIPWEAPONS.NEXTBARREL, c.barrels.back()) << "the barrel last fired";
        EXPECT_EQ(KVGLOBALS.GUNSHIPWEAPONS.NEXTROUND, 10000 + 20);
        ASSERT_EQ(count_active(false), static_cast<int>(c.barrels.size()));
        EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, static_cast<int32_t>(c.barrels.size()) - 1);
        for (size_t i = 0; i < c.barrels.size(); ++i) {
            const PROJECTILETYPE& p = KVGLOBALS.PROJECTILES[i];
            EXPECT_EQ(barrel_of(p), c.barrels[i]) << "round " << i;
            EXPECT_EQ(p.ENEMY, 2);
            EXPECT_FLOAT_EQ(p.VELOCITY, 100.0f);
            EXPECT_EQ(p.CLASS, 0);
        }
    }
}

TEST_F(Weapons, EmptyCannonLaunchesNothingButTimerRunsAndRefiresOnlyAfterDelay) {
    PROFILETYPE& prof = KVGLOBALS.PROFILES[0];
    prof.VT90S = 0;
    KV_GUNSHIP_FIREWEAPON();
    EXPECT_EQ(count_active(false), 0);
    EXPECT_EQ(KVGLOBALS.GUNSHIPWEAPONS.NEXTROUND, 10020);
    EXPECT_EQ(prof.VT90S, 0);

    prof.VT90S = 5;
    platform_clock_set_virtual_seconds(10.020);  // not yet past the stamp
    KV_GUNSHIP_FIREWEAPON();
    EXPECT_EQ(count_active(false), 0);
    platform_clock_set_virtual_seconds(10.021);
    KV_GUNSHIP_FIREWEAPON();
    EXPECT_EQ(count_active(false), 3);
    EXPECT_EQ(prof.VT90S, 4);
}

TEST_F(Weapons, RoundsFollowTheGunshipYawAndPosition) {
    PROFILETYPE& prof = KVGLOBALS.PROFILES[0];
    prof.VT90S = 1;
    KVGLOBALS.PLAYERY = 5.0f;
    float* m = KVGLOBALS.GUNSHIPPO.MATRIX2;
    MATRIX_ROTATE(m, 90.0f, 0.0f, 1.0f, 0.0f);
    MATRIX_TRANSLATE(m, 100.0f, 0.0f, 200.0f);
    KV_GUNSHIP_FIREWEAPON();
    ASSERT_EQ(count_active(false), 3);
    for (int i = 0; i < 3; ++i) {
        const PROJECTILETYPE& p = KVGLOBALS.PROJECTILES[i];
        EXPECT_NEAR(len(p.VECTOR), 1.0f, 1e-4f);
        // A quarter turn moves the forward direction (-X) onto the Z axis.
        EXPECT_LT(std::fabs(p.VECTOR.X), 0.3f);
        EXPECT_GT(std::fabs(p.VECTOR.Z), 0.9f);
        EXPECT_NEAR(p.POSITION.X, 100.0f, 6.0f);
        EXPECT_NEAR(p.POSITION.Z, 200.0f, 6.0f);
        EXPECT_GT(p.POSITION.Y, 4.5f);
    }
}

TEST_F(Weapons, NoProfileFiresNothing) {
    KVGLOBALS.PROFILES[0].VT90S = 10;
    KVGLOBALS.CURPROFILE = -1;
    KV_GUNSHIP_FIREWEAPON();
    KVGLOBALS.CURPROFILE = 1 << 20;
    KV_GUNSHIP_FIREWEAPON();
    EXPECT_EQ(count_active(false), 0);
    EXPECT_EQ(weapons_count(), 1);
}

TEST_F(Weapons, RocketLaunchesForwardAndCountsDown) {
    PROFILETYPE& prof = KVGLOBALS.PROFILES[0];
    prof.SELECTEDWEAPON = 1;
    prof.ROCKETTYPE = 1;
    prof.ROCKETS = 1;
    KVGLOBALS.PLAYERY = 3.0f;
    KV_GUNSHIP_FIREWEAPON();
    EXPECT_EQ(prof.ROCKETS, 0);
    EXPECT_EQ(KVGLOBALS.GUNSHIPWEAPONS.NEXTROCKET, 10200);
    const PROJECTILETYPE& r = KVGLOBALS.PROJECTILES[0];
    ASSERT_EQ(r.ACTIVE, 1);
    EXPECT_EQ(r.CLASS, 1);
    EXPECT_EQ(r.ENEMY, 2);
    EXPECT_FLOAT_EQ(r.VELOCITY, 8.0f);
    EXPECT_FLOAT_EQ(r.GRAVITY, 0.012f);
    EXPECT_EQ(r.DEADTIME, 10000 + 2200);
    EXPECT_EQ(r.LOCKEDON, -1);
    EXPECT_FLOAT_EQ(r.POSITION.X, 0.8f);
    EXPECT_FLOAT_EQ(r.POSITION.Y, 3.0f + 1.64f);
    EXPECT_FLOAT_EQ(r.VECTOR.X, -1.0f);
    EXPECT_FLOAT_EQ(r.VECTOR.Y, 0.0f);

    // Out of rockets: nothing leaves, but the 200 ms timer restarts.
    platform_clock_set_virtual_seconds(10.3);
    KV_GUNSHIP_FIREWEAPON();
    EXPECT_EQ(count_active(false), 1);
    EXPECT_EQ(KVGLOBALS.GUNSHIPWEAPONS.NEXTROCKET, 10500);
    EXPECT_EQ(prof.ROCKETS, 0);
}

TEST_F(Weapons, MinesSelectedFireNothing) {
    PROFILETYPE& prof = KVGLOBALS.PROFILES[0];
    prof.SELECTEDWEAPON = 2;
    prof.MINETYPE = 1;
    prof.VT90S = 10;
    prof.ROCKETS = 10;
    KV_GUNSHIP_FIREWEAPON();
    EXPECT_EQ(count_active(false), 0);
    EXPECT_EQ(prof.VT90S, 10);
    EXPECT_EQ(prof.ROCKETS, 10);
}

TEST_F(Weapons, WeaponCountFollowsOwnedWeapons) {
    PROFILETYPE& prof = KVGLOBALS.PROFILES[0];
    EXPECT_EQ(weapons_count(), 1);
    prof.ROCKETTYPE = 2;
    EXPECT_EQ(weapons_count(), 2);
    prof.MINETYPE = 1;
    EXPECT_EQ(weapons_count(), 3);
    prof.ROCKETTYPE = 0;
    EXPECT_EQ(weapons_count(), 2);
}

TEST_F(Weapons, WheelFadesInTurnsStopsAndFadesOut) {
    WEAPONSWITCHTYPE& s = KVGLOBALS.WEAPONSWITCH;
    s.ACTIVE = 1;
    s.TARGETANGLE = 180.0f;  // one switch with two weapons
    // First frame: the wheel was invisible, so it only starts fading in.
    EXPECT_FLOAT_EQ(weapons_switch_animate(), 0.0f);
    EXPECT_FLOAT_EQ(s.ANGLE, 0.0f);
    EXPECT_FLOAT_EQ(s.FADE, 0.1f);
    // Second frame turns by 13 % of the remaining angle.
    EXPECT_FLOAT_EQ(weapons_switch_animate(), 0.1f);
    EXPECT_NEAR(s.ANGLE, 180.0f * 0.13f, 1e-3f);
    int frames = 0;
    while (s.ACTIVE == 1 && frames < 200) {
        weapons_switch_animate();
        ++frames;
    }
    EXPECT_EQ(s.ACTIVE, 0);
    EXPECT_LT(std::fabs(s.TARGETANGLE - s.ANGLE), 8.0f);
    EXPECT_LT(s.ANGLE, 180.0f);
    EXPECT_FLOAT_EQ(s.FADE, 1.0f);
    // Fading out; it keeps turning while visible.
    for (int i = 0; i < 30 && s.FADE > 0.0f; ++i) weapons_switch_animate();
    EXPECT_FLOAT_EQ(s.FADE, 0.0f);
    // With the fade at 0 the wheel stands still, short of the target.
    const float stopped = s.ANGLE;
    EXPECT_FLOAT_EQ(weapons_switch_animate(), 0.0f);
    EXPECT_FLOAT_EQ(s.ANGLE, stopped);
    EXPECT_LT(s.ANGLE, 180.0f);
    // The next switch resumes from there towards the new target.
    s.ACTIVE = 1;
    s.TARGETANGLE += 180.0f;
    weapons_switch_animate();
    weapons_switch_animate();
    EXPECT_GT(s.ANGLE, stopped);
}

}  // namespace
