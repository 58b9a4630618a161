// The projectile pool: launches, slot reuse and limits, flight of bullets and rockets, rocket
// homing, and hits on the ground, on infantry and on the gunship.
#include <gtest/gtest.h>

#include <cmath>

#include "game/projectiles.h"
#include "weapons_support.h"

using namespace weapons_test;

namespace {

PROJECTILETYPE& slot(int i) { return KVGLOBALS.PROJECTILES[i]; }

void add_bullet(float x, float y, float z, float dx, float dy, float dz, int32_t owner = 2, float speed = 100.0f) {
    VECTOR3D p{x, y, z};
    VECTOR3D d{dx, dy, dz};
    KV_PROJECTILES_ADD(p, d, speed, 0.0f, owner);
}

void add_rocket(float x, float y, float z, float dx, float dy, float dz, int32_t owner = 2) {
    VECTOR3D p{x, y, z};
    VECTOR3D d{dx, dy, dz};
    KV_PROJECTILES_ADD_RPG(p, d, 0.012f, owner);
}

class Projectiles : public ::testing::Test {
protected:
    void SetUp() override { reset_world(2.0f); }
};

// --- pool --------------------------------------------------------------------------------------

TEST_F(Projectiles, LaunchesTakeFirstFreeSlotAndTracersEveryTenth) {
    for (int i = 0; i < 12; ++i) add_bullet(100, 20, 100, -1, 0, 0);
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 11);
    EXPECT_FLOAT_EQ(slot(0).COLOR.R, 1.0f);
    EXPECT_FLOAT_EQ(slot(0).COLOR.G, 0.75f);
    EXPECT_FLOAT_EQ(slot(0).COLOR.B, 0.25f);
    EXPECT_FLOAT_EQ(slot(10).COLOR.G, 0.75f);
    EXPECT_FLOAT_EQ(slot(5).COLOR.R, 0.5f);
    EXPECT_FLOAT_EQ(slot(11).COLOR.B, 0.5f);
    // A freed slot is the next one used; the top does not move.
    slot(3).ACTIVE = 0;
    projectiles_pool_sync();
    add_bullet(50, 20, 50, 0, 0, 1);
    EXPECT_EQ(slot(3).ACTIVE, 1);
    EXPECT_FLOAT_EQ(slot(3).POSITION.X, 50.0f);
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 11);
    // Removing the top slot lowers the count on the next launch's recount.
    slot(11).ACTIVE = 0;
    slot(10).ACTIVE = 0;
    projectiles_recount();
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 9);
}

TEST_F(Projectiles, FullPoolDropsLaunchesSilently) {
    KVGLOBALS.MAXPROJECTILES = 4;  // searches cover slots 0-4 only
    for (int i = 0; i < 8; ++i) add_bullet(100, 20, 100, -1, 0, 0);
    EXPECT_EQ(count_active(false), 5);
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 4);
    KV_PROJECTILES_ADD_RICOCHET(slot(0), 1, 1, 1, 0, 0, 4);
    add_rocket(100, 20, 100, -1, 0, 0);
    EXPECT_EQ(count_active(true), 0);
    EXPECT_EQ(slot(5).ACTIVE, 0);
    // A broken limit from the record never reaches past the pool.
    KVGLOBALS.MAXPROJECTILES = 1 << 30;
    for (auto& p : KVGLOBALS.PROJECTILES) p.ACTIVE = 1;
    projectiles_pool_sync();
    add_bullet(1, 1, 1, 1, 0, 0);
    KVGLOBALS.MAXPROJECTILES = -7;
    for (auto& p : KVGLOBALS.PROJECTILES) p.ACTIVE = 0;
    projectiles_pool_sync();
    add_bullet(1, 1, 1, 1, 0, 0);
    EXPECT_EQ(count_active(false), 1);
    EXPECT_EQ(slot(0).ACTIVE, 1);
}

TEST_F(Projectiles, ParticleSpawnDoesNotRaiseTheTopAndWaitsForALaunch) {
    add_bullet(100, 20, 100, -1, 0, 0);  // slot 0
    KVGLOBALS.MAXPROJECTILES = 9999;
    KVGLOBALS.LASTPROJECTILE = 0;
    KV_PROJECTILES_ADD_RICOCHET(slot(0), 0.2f, 0.3f, 0.4f, 0.05f, 0, 8.0f);  // slot 1
    ASSERT_EQ(slot(1).ACTIVE, 1);
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 0);
    EXPECT_EQ(slot(1).RICOCHET, 1);
    EXPECT_EQ(slot(1).ENEMY, 0);
    EXPECT_FLOAT_EQ(slot(1).MAXDISTANCETRAVEL, 2.0f);
    EXPECT_GE(slot(1).VELOCITY, 8.0f);
    EXPECT_LT(slot(1).VELOCITY, 13.0f);
    EXPECT_FLOAT_EQ(slot(1).COLOR.G, 0.3f);
    const VECTOR3D before = slot(1).POSITION;
    KV_PROJECTILES_UPDATE();
    EXPECT_FLOAT_EQ(slot(1).POSITION.X, before.X);
    EXPECT_FLOAT_EQ(slot(1).DISTANCETRAVELLED, 0.0f);
    add_bullet(100, 20, 120, -1, 0, 0);  // slot 2 raises the top
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 2);
    KV_PROJECTILES_UPDATE();
    EXPECT_GT(slot(1).DISTANCETRAVELLED, 0.0f);
}

TEST_F(Projectiles, ParticleKindsScatterBackwardsKickUpOrFlame) {
    PROJECTILETYPE src{};
    src.POSITION = VECTOR3D{10, 10, 10};
    src.VECTOR = VECTOR3D{1, 0, 0};
    KVGLOBALS.LASTPROJECTILE = 0;
    for (int i = 0; i < 50; ++i) KV_PROJECTILES_ADD_RICOCHET(src, 1, 1, 1, 0, 0, 8);
    for (int i = 0; i < 50; ++i) {
        EXPECT_LT(slot(i).VECTOR.X, 0.0f) << "sparks fly back the way the shot came";
        EXPECT_NEAR(std::sqrt(slot(i).VECTOR.X * slot(i).VECTOR.X + slot(i).VECTOR.Y * slot(i).VECTOR.Y +
                              slot(i).VECTOR.Z * slot(i).VECTOR.Z),
                    1.0f, 1e-4f);
    }
    KV_PROJECTILES_ADD_RICOCHET(src, 1, 1, 1, 0, 2, 4);  // exhaust: straight back
    EXPECT_FLOAT_EQ(slot(50).VECTOR.X, -1.0f);
    EXPECT_FLOAT_EQ(slot(50).VECTOR.Y, 0.0f);
    src.VECTOR = VECTOR3D{0, 0, 1};
    KV_PROJECTILES_ADD_RICOCHET(src, 1, 1, 1, 0, 1, 8);  // kick upwards
    EXPECT_GT(slot(51).VECTOR.Y, 0.0f);
    KV_PROJECTILES_ADD_RICOCHET(src, 1, 1, 1, -0.03f, 3, 9.71f);  // flame
    EXPECT_EQ(slot(52).CLASS, 10);
    EXPECT_LT(slot(52).VELOCITY, 5.0f + 0.0315f * 9.71f);
    KV_PROJECTILES_ADD_RICOCHET(src, 1, 1, 1, 0, 99, 8);  // unknown kind counts as a spark
    EXPECT_EQ(slot(53).CLASS, 0);
    EXPECT_EQ(slot(53).ACTIVE, 1);
}

TEST_F(Projectiles, SpentParticlesDisappear) {
    PROJECTILETYPE src{};
    src.POSITION = VECTOR3D{10, 10, 10};
    src.VECTOR = VECTOR3D{0, 0, 1};
    KV_PROJECTILES_ADD_RICOCHET(src, 1, 1, 1, 0, 0, 8);
    int frames = 0;
    while (slot(0).ACTIVE == 1 && frames < 100) {
        KV_PROJECTILES_UPDATE();
        ++frames;
    }
    EXPECT_EQ(slot(0).ACTIVE, 0);
    // 2 units at 8-13 units per second x 12 / 1000 per frame.
    EXPECT_GT(frames, 10);
    EXPECT_LT(frames, 25);
}

// --- flight ------------------------------------------------------------------------------------

TEST_F(Projectiles, BulletsFlyStraightIgnoringGravity) {
    VECTOR3D p{100, 20, 100};
    VECTOR3D d{0, 0, -1};
    KV_PROJECTILES_ADD(p, d, 100.0f, 5.0f, 2);
    FPSR = 2.0f;
    KV_PROJECTILES_UPDATE();
    EXPECT_FLOAT_EQ(slot(0).POSITION.Z, 100.0f - 100.0f / 1000.0f * 2.0f * 12.0f);
    EXPECT_FLOAT_EQ(slot(0).POSITION.Y, 20.0f);
    EXPECT_FLOAT_EQ(slot(0).DISTANCETRAVELLED, 0.0f);
}

TEST_F(Projectiles, RocketBurnsAcceleratesThenDrops) {
    add_rocket(100, 20, 100, 0, 0, -1);  // heading -Z: 90 degrees
    ASSERT_EQ(slot(0).CLASS, 1);
    KV_PROJECTILES_UPDATE();
    EXPECT_FLOAT_EQ(slot(0).VELOCITY, 8.0f * 1.015f);
    EXPECT_FLOAT_EQ(slot(0).VECTOR.Y, 0.0f);
    EXPECT_NEAR(slot(0).YANGLE, 90.0f, 0.01f);
    EXPECT_EQ(count_active(true), 8) << "one exhaust burst per burning frame";
    EXPECT_EQ(slot(0).LOCKEDON, -1);
    // Motor burns out after 2.2 s: speed stays, the nose drops.
    platform_clock_set_virtual_seconds(12.2);
    const float v = slot(0).VELOCITY;
    const float y = slot(0).POSITION.Y;
    KV_PROJECTILES_UPDATE();
    EXPECT_FLOAT_EQ(slot(0).VELOCITY, v);
    EXPECT_FLOAT_EQ(slot(0).VECTOR.Y, -0.012f);
    EXPECT_LT(slot(0).POSITION.Y, y);
    EXPECT_FLOAT_EQ(slot(0).POSITION.X, 100.0f);
}

TEST_F(Projectiles, PlayerRocketLocksOnTheSturdiestNearbyInfantry) {
    place_infantry(0, 95, 2, 104, 10);
    place_infantry(1, 96, 2, 97, 30);
    place_infantry(2, 94, 2, 96, 30);                   // equal health later in order: ignored
    place_infantry(3, 99, 2, 99, 100, 1);               // a wall is never chosen
    place_infantry(4, 80, 2, 100, 500);                 // too far
    add_rocket(100, 20, 100, -1, 0, 0);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).LOCKEDON, 1);
    EXPECT_EQ(slot(0).LOCKEDONHEALTH, 30);
    EXPECT_LT(slot(0).VECTOR.Y, 0.0f) << "steers down towards the target";
    // A lock is kept even when a sturdier target comes near.
    place_infantry(5, 97, 2, 100, 90);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).LOCKEDON, 1);
    // A broken lock index does not steer or crash.
    slot(0).LOCKEDON = 5000;
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).LOCKEDON, 5000);
}

TEST_F(Projectiles, EnemyRocketHomesOnTheGunship) {
    KVGLOBALS.PLAYERX = 100;
    KVGLOBALS.PLAYERY = 20;
    KVGLOBALS.PLAYERZ = 140;
    add_rocket(100, 20, 100, -1, 0, 0, 1);
    KV_PROJECTILES_UPDATE();
    EXPECT_GT(slot(0).VECTOR.Z, 0.0f);
    EXPECT_EQ(slot(0).LOCKEDON, -1);
    // Right on top of its target the direction stays finite (no division by a zero distance).
    reset_world(2.0f);
    KVGLOBALS.PLAYERX = 100;
    KVGLOBALS.PLAYERY = 20;
    KVGLOBALS.PLAYERZ = 100;
    add_rocket(100, 20, 100, -1, 0, 0, 1);
    KV_PROJECTILES_UPDATE();
    EXPECT_FLOAT_EQ(slot(0).VECTOR.X, -1.0f);
    EXPECT_TRUE(std::isfinite(slot(0).POSITION.X));
}

// --- hits --------------------------------------------------------------------------------------

TEST_F(Projectiles, BulletIntoOpenGroundRaisesDust) {
    add_bullet(100.5f, 2.05f, 100.5f, 0, -1, 0);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).ACTIVE, 0);
    EXPECT_EQ(count_active(true), 8);
    // Dust is sandy grey: blue below red.
    EXPECT_LT(slot(1).COLOR.B, slot(1).COLOR.R + 0.011f);
    EXPECT_FLOAT_EQ(slot(1).GRAVITY, 0.0375f);
    // Above the ground nothing happens.
    reset_world(2.0f);
    add_bullet(100.5f, 5.0f, 100.5f, 1, 0, 0);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).ACTIVE, 1);
}

TEST_F(Projectiles, GroundHeightAveragesFourCellsAndFloorsWaterCells) {
    set_terrain(10, 10, 40);  // 10 units
    set_terrain(11, 10, 0);
    set_terrain(10, 11, 0);
    set_terrain(11, 11, 0);
    float h = 0;
    int32_t v = -1;
    ASSERT_TRUE(projectiles_ground_height(10.5f, 10.5f, h, v));
    EXPECT_FLOAT_EQ(h, 2.5f);
    EXPECT_EQ(v, 0);
    // A shore cell: low samples count as the water surface (-40 x 0.25 + 0.25 x 10 = -7.5).
    set_city(10, 10, 1);
    set_terrain(11, 10, -100);
    ASSERT_TRUE(projectiles_ground_height(10.5f, 10.5f, h, v));
    EXPECT_FLOAT_EQ(h, (10.0f - 7.5f + 0.0f + 0.0f) / 4.0f);
    // The map edge averages only the cells on the map.
    set_terrain(512, 512, 8);
    ASSERT_TRUE(projectiles_ground_height(512.9f, 512.1f, h, v));
    EXPECT_FLOAT_EQ(h, 2.0f);
    EXPECT_FALSE(projectiles_ground_height(-0.1f, 5.0f, h, v));
    EXPECT_FALSE(projectiles_ground_height(5.0f, 513.0f, h, v));
    EXPECT_FALSE(projectiles_ground_height(NAN, 5.0f, h, v));
}

TEST_F(Projectiles, BuiltUpCellStopsShotsAtAnyHeightAndRocketsExplode) {
    set_city(50, 50, 7);
    add_bullet(50.5f, 40.0f, 50.5f, 0, 1, 0);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).ACTIVE, 0);
    EXPECT_EQ(count_active(true), 8);
    EXPECT_FLOAT_EQ(slot(1).GRAVITY, 0.0675f);

    reset_world(2.0f);
    place_infantry(0, 120.5f, 0, 120.5f, 50);  // far from the ground hit: no area damage
    add_rocket(120.5f, 1.0f, 123.5f, 0, -1, 0);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).ACTIVE, 0);
    // Exhaust (8) then grey and hot debris (31 + 31) and flames (21).
    EXPECT_EQ(count_active(true), 8 + 31 + 31 + 21);
    int flames = 0;
    for (const auto& p : KVGLOBALS.PROJECTILES) flames += (p.ACTIVE && p.CLASS == 10) ? 1 : 0;
    EXPECT_EQ(flames, 21);
    EXPECT_FLOAT_EQ(KVGLOBALS.ENEMIES[0].HEALTH, 50.0f);
}

TEST_F(Projectiles, ShotsLeavingTheMapAreRemovedWithoutBurst) {
    add_bullet(512.9f, 20.0f, 100.0f, 1, 0, 0);
    add_bullet(100.0f, 20.0f, 0.05f, 0, 0, -1);
    add_bullet(NAN, 20.0f, 10.0f, 1, 0, 0);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(count_active(false), 0);
    EXPECT_EQ(count_active(true), 0);
    // With no map loaded every shot goes the same way instead of reading missing grids.
    KVGLOBALS.CITYMAP.clear();
    KVGLOBALS.TERRAINMAP.clear();
    add_bullet(100.0f, 20.0f, 100.0f, 1, 0, 0);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(count_active(false), 0);
}

TEST_F(Projectiles, CannonRoundsWearDownInfantryTwoPointsPerHit) {
    ENEMYTYPE& e = place_infantry(3, 200.0f, 2.0f, 200.0f, 6.0f, 3);
    for (int hit = 1; hit <= 3; ++hit) {
        for (auto& p : KVGLOBALS.PROJECTILES) p.ACTIVE = 0;
        projectiles_pool_sync();
        add_bullet(201.2f, 3.0f, 199.0f, 0, 0, 1);
        KV_PROJECTILES_UPDATE();
        EXPECT_EQ(slot(0).ACTIVE, 0) << hit;
        EXPECT_FLOAT_EQ(e.HEALTH, 6.0f - 2.0f * hit);
        EXPECT_EQ(count_active(true), 28) << "blood burst";
        EXPECT_FLOAT_EQ(slot(1).POSITION.Y, 2.0f) << "burst starts at the enemy's height";
    }
    EXPECT_GT(slot(1).COLOR.R, slot(1).COLOR.G);
    // Too high above it: the round flies on.
    for (auto& p : KVGLOBALS.PROJECTILES) p.ACTIVE = 0;
    projectiles_pool_sync();
    add_bullet(200.0f, 5.5f, 200.0f, 0, 0, 1);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).ACTIVE, 1);
    // Enemy fire and walls are never hurt by shots; inactive infantry is not hit.
    for (auto& p : KVGLOBALS.PROJECTILES) p.ACTIVE = 0;
    projectiles_pool_sync();
    ENEMYTYPE& wall = place_infantry(4, 300.0f, 2.0f, 300.0f, 10.0f, 1);
    add_bullet(300.0f, 3.0f, 300.0f, 0, 0, 1);
    add_bullet(200.0f, 3.0f, 200.0f, 0, 0, 1, 1);
    e.ACTIVE = 0;
    add_bullet(200.0f, 3.0f, 200.0f, 0, 0, 1);
    KV_PROJECTILES_UPDATE();
    EXPECT_FLOAT_EQ(wall.HEALTH, 10.0f);
    EXPECT_FLOAT_EQ(e.HEALTH, 0.0f);
    EXPECT_EQ(count_active(false), 3);
}

TEST_F(Projectiles, RocketHitDamagesEveryInfantryNearby) {
    ENEMYTYPE& a = place_infantry(0, 200.0f, 2.0f, 200.0f, 50.0f);
    ENEMYTYPE& b = place_infantry(1, 203.0f, 2.0f, 201.0f, 50.0f);
    ENEMYTYPE& c = place_infantry(2, 205.0f, 2.0f, 200.0f, 50.0f);
    KVGLOBALS.LASTENEMY = 900000;  // a broken count is bounded to the table
    add_rocket(200.4f, 10.0f, 200.0f, 0, 0, 1);
    slot(0).LOCKEDON = 0;  // no steering surprises in this test
    KV_PROJECTILES_CHECKCOLLISION();
    EXPECT_EQ(slot(0).ACTIVE, 0);
    EXPECT_FLOAT_EQ(a.HEALTH, 30.0f);
    EXPECT_FLOAT_EQ(b.HEALTH, 30.0f);
    EXPECT_FLOAT_EQ(c.HEALTH, 50.0f);
    EXPECT_EQ(count_active(true), 2 * (28 + 31 + 31 + 21));
    // Area damage is a rocket's alone.
    PROJECTILETYPE bullet{};
    bullet.POSITION = a.POSITION;
    KV_PROJECTILES_DAMAGENEAREST(bullet);
    EXPECT_FLOAT_EQ(a.HEALTH, 30.0f);
}

TEST_F(Projectiles, EnemyFireHittingTheGunshipLeavesArmourAlone) {
    KVGLOBALS.PROFILES[0].ARMOUR = 0.75f;
    KVGLOBALS.PLAYERX = 150.0f;
    KVGLOBALS.PLAYERY = 20.0f;
    KVGLOBALS.PLAYERZ = 150.0f;
    add_bullet(150.5f, 20.5f, 149.5f, 1, 0, 0, 1, 1.0f);
    add_bullet(150.5f, 20.5f, 149.5f, 1, 0, 0, 2, 1.0f);  // the player's own round passes
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).ACTIVE, 0);
    EXPECT_EQ(slot(1).ACTIVE, 1);
    EXPECT_EQ(count_active(true), 3 + 3);
    EXPECT_FLOAT_EQ(KVGLOBALS.PROFILES[0].ARMOUR, 0.75f);
}

}  // namespace
