// The enemies' per-frame behaviour: turret and infantry ranges, turning towards the lead point,
// firing and its hold-off, and destruction when health drops below zero.
#include "enemies_fixture.h"
#include "game/projectiles.h"

namespace {

class EnemyUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        enemies_reset_table();
        platform_random_seed(77);
        platform_clock_use_fixed_step(16);
        for (int k = 0; k < 10; ++k) platform_clock_advance_frame();  // now = 160 ms
        FPSR = 1.0f;
        KVGLOBALS.GUNSHIPPO.LINEARVELOCITY = {};
        KVGLOBALS.PLAYERX = 0.0f;
        KVGLOBALS.PLAYERZ = 0.0f;
        for (PROJECTILETYPE& p : KVGLOBALS.PROJECTILES) p = PROJECTILETYPE{};
        KVGLOBALS.MAXPROJECTILES = PROJECTILE_SLOTS - 1;
        KVGLOBALS.LASTPROJECTILE = 0;
        projectiles_pool_sync();
    }
    // Live enemy rounds in the projectile pool of the given class.
    static int pooled(int32_t cls, float speed) {
        int n = 0;
        for (const PROJECTILETYPE& p : KVGLOBALS.PROJECTILES)
            if (p.ACTIVE == 1 && p.ENEMY == 1 && p.CLASS == cls && p.VELOCITY == speed) ++n;
        return n;
    }
    void TearDown() override { platform_clock_use_live(); }

    ENEMYTYPE& place(int32_t i, int32_t cls, float x, float z, float heading) {
        ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        e = ENEMYTYPE{};
        e.POSITION = {x, 5.0f, z};
        e.ANGLE.Y = heading;
        e.ACTIVE = 1;
        e.CLASS = cls;
        e.MAXHP = cls == ENEMYCLASS_TURRET ? 1000 : 6;
        e.HEALTH = static_cast<float>(e.MAXHP);
        if (KVGLOBALS.MAXENEMIES < i) KVGLOBALS.MAXENEMIES = i;
        return e;
    }
};

// A turret at heading -90 faces +X; infantry at heading 0 faces +Z.
TEST_F(EnemyUpdate, TurretFiresInsideThirtyUnitsOfTheLeadPoint) {
    ENEMYTYPE& t = place(0, ENEMYCLASS_TURRET, 100.0f, 100.0f, -90.0f);
    // The gunship is 24 units off but moving +X at 0.5: the lead point is 29 units off.
    KVGLOBALS.PLAYERX = 124.0f;
    KVGLOBALS.PLAYERZ = 100.0f;
    KVGLOBALS.GUNSHIPPO.LINEARVELOCITY = {0.5f, 0.0f, 0.0f};
    const int64_t before = enemies_rounds_fired();
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(enemies_rounds_fired() - before, 19);
    EXPECT_EQ(pooled(0, 140.0f), 19) << "the burst is in the projectile pool";
    EXPECT_EQ(t.NEXTROUND, platform_clock_ms() + 200);
    const EnemyShot shot = enemies_last_shot();
    EXPECT_FLOAT_EQ(shot.speed, 140.0f);
    EXPECT_NEAR(shot.origin.Y, 5.0f + 3.2f, 0.061f);
    EXPECT_GT(shot.origin.X, 100.0f + 3.78f - 0.07f);  // out along the barrel towards +X
    EXPECT_LT(shot.origin.X, 100.0f + 4.78f + 0.07f);
    const float len = std::sqrt(shot.direction.X * shot.direction.X + shot.direction.Y * shot.direction.Y +
                                shot.direction.Z * shot.direction.Z);
    EXPECT_NEAR(len, 1.0f, 1e-5f);
    EXPECT_GT(shot.direction.X, 0.99f);

    // Within the hold-off no second burst; after it, another.
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(enemies_rounds_fired() - before, 19);
    for (int k = 0; k < 13; ++k) platform_clock_advance_frame();
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(enemies_rounds_fired() - before, 38);

    // Standing still 31 units off, nothing happens at all.
    KVGLOBALS.GUNSHIPPO.LINEARVELOCITY = {};
    KVGLOBALS.PLAYERX = 100.0f;
    KVGLOBALS.PLAYERZ = 131.0f;
    for (int k = 0; k < 20; ++k) platform_clock_advance_frame();
    const float heading = t.ANGLE.Y;
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(enemies_rounds_fired() - before, 38);
    EXPECT_EQ(t.ANGLE.Y, heading);
}

TEST_F(EnemyUpdate, TurretTurnsTowardsTheGunshipAtItsRate) {
    ENEMYTYPE& t = place(0, ENEMYCLASS_TURRET, 200.0f, 200.0f, 0.0f);  // faces -Z
    KVGLOBALS.PLAYERX = 220.0f;                                           // gunship to +X
    KVGLOBALS.PLAYERZ = 200.0f;
    const int64_t before = enemies_rounds_fired();
    FPSR = 2.0f;
    KV_ENEMIES_UPDATE();
    EXPECT_FLOAT_EQ(t.ANGLE.Y, -2.4f) << "turns by 1.2 x FPSR towards the gunship";
    EXPECT_EQ(enemies_rounds_fired(), before) << "does not fire while facing away";
    FPSR = 1.0f;
    for (int k = 0; k < 200; ++k) KV_ENEMIES_UPDATE();
    const double h = t.ANGLE.Y * MATH_DEG2RAD + ENEMY_TURRET_A;
    EXPECT_GT(std::cos(h), 0.99) << "settles facing +X, heading " << t.ANGLE.Y;
    EXPECT_GT(enemies_rounds_fired(), before);
    // Settled: inside the dead band it stops turning.
    const float settled = t.ANGLE.Y;
    KV_ENEMIES_UPDATE();
    KV_ENEMIES_UPDATE();
    EXPECT_NEAR(t.ANGLE.Y, settled, 1.2f + 1e-4f);

    // Gunship to -X: the other way round.
    ENEMYTYPE& u = place(1, ENEMYCLASS_TURRET, 220.0f, 200.0f, 0.0f);
    KVGLOBALS.PLAYERX = 200.0f;
    KV_ENEMIES_UPDATE_EC_TURRET_0(1);
    EXPECT_FLOAT_EQ(u.ANGLE.Y, 1.2f);
}

TEST_F(EnemyUpdate, InfantryCrouchesAimsAndFiresInsideTwentyUnits) {
    ENEMYTYPE& m16 = place(0, ENEMYCLASS_M16, 50.0f, 50.0f, 0.0f);   // faces +Z
    ENEMYTYPE& rpg = place(1, ENEMYCLASS_RPG, 50.0f, 90.0f, 0.0f);   // far from the gunship
    KVGLOBALS.PLAYERX = 50.0f;
    KVGLOBALS.PLAYERZ = 69.0f;
    const int64_t before = enemies_rounds_fired();
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(m16.STANCE, 2);
    EXPECT_EQ(rpg.STANCE, 0) << "21 units off";
    EXPECT_EQ(enemies_rounds_fired() - before, 1);
    EXPECT_EQ(m16.NEXTROUND, platform_clock_ms() + 200);
    EnemyShot shot = enemies_last_shot();
    EXPECT_FLOAT_EQ(shot.speed, 30.0f);
    EXPECT_EQ(shot.rocket, 0);
    EXPECT_EQ(pooled(0, 30.0f), 1);
    EXPECT_NEAR(shot.origin.Y, 5.98f, 0.061f);
    EXPECT_GT(shot.direction.Z, 0.85f);
    EXPECT_NEAR(shot.direction.Y, 0.211451f / std::sqrt(0.4218f * 0.4218f + 0.211451f * 0.211451f), 1e-4f);

    // The gunship moves over to the RPG: it crouches and launches a rocket, the M16 keeps crouching.
    KVGLOBALS.PLAYERZ = 105.0f;
    for (int k = 0; k < 20; ++k) platform_clock_advance_frame();
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(m16.STANCE, 2);
    EXPECT_EQ(rpg.STANCE, 2);
    shot = enemies_last_shot();
    EXPECT_EQ(shot.rocket, 1);
    EXPECT_EQ(pooled(1, 8.0f), 1) << "one rocket in the pool";
    EXPECT_EQ(rpg.NEXTROUND, platform_clock_ms() + 2000);
}

TEST_F(EnemyUpdate, InfantryTurnsFasterAndHoldsFireWhileFacingAway) {
    ENEMYTYPE& s = place(0, ENEMYCLASS_M16, 50.0f, 50.0f, 0.0f);  // faces +Z
    KVGLOBALS.PLAYERX = 50.0f;
    KVGLOBALS.PLAYERZ = 40.0f;  // behind it
    const int64_t before = enemies_rounds_fired();
    KV_ENEMIES_UPDATE();
    EXPECT_FLOAT_EQ(std::fabs(s.ANGLE.Y), 3.0f);
    EXPECT_EQ(enemies_rounds_fired(), before);
    for (int k = 0; k < 80; ++k) KV_ENEMIES_UPDATE();
    const double h = s.ANGLE.Y * MATH_DEG2RAD + ENEMY_INFANTRY_A;
    EXPECT_LT(-std::sin(h), -0.99) << "now faces -Z";
    EXPECT_GT(enemies_rounds_fired(), before);
}

TEST_F(EnemyUpdate, GunshipExactlyOverTheEnemyGivesNoNaN) {
    ENEMYTYPE& t = place(0, ENEMYCLASS_TURRET, 10.0f, 10.0f, 33.0f);
    ENEMYTYPE& s = place(1, ENEMYCLASS_RPG, 10.0f, 10.0f, 12.0f);
    KVGLOBALS.PLAYERX = 10.0f;
    KVGLOBALS.PLAYERZ = 10.0f;
    const int64_t before = enemies_rounds_fired();
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(t.ANGLE.Y, 33.0f);
    EXPECT_EQ(s.ANGLE.Y, 12.0f);
    EXPECT_EQ(enemies_rounds_fired(), before);
}

TEST_F(EnemyUpdate, HealthBelowZeroDestroysZeroDoesNot) {
    ENEMYTYPE& a = place(0, ENEMYCLASS_M16, 300.0f, 300.0f, 0.0f);
    ENEMYTYPE& b = place(1, ENEMYCLASS_RPG, 310.0f, 300.0f, 0.0f);
    ENEMYTYPE& w = place(2, ENEMYCLASS_WALL, 320.0f, 300.0f, 0.0f);
    place(5, ENEMYCLASS_WALL, 330.0f, 300.0f, 0.0f).ACTIVE = 0;
    a.HEALTH = 0.0f;
    b.HEALTH = -0.5f;
    w.HEALTH = -1.0f;
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(a.ACTIVE, 1);
    EXPECT_EQ(a.HEALTH, 0.0f);
    EXPECT_EQ(b.ACTIVE, 0);
    EXPECT_EQ(b.HEALTH, 0.0f);
    EXPECT_EQ(w.ACTIVE, 0);
    EXPECT_EQ(KVGLOBALS.LASTENEMY, 2) << "highest slot found active";
    // The next hit on the enemy at 0 health destroys it.
    a.HEALTH -= 2.0f;
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(a.ACTIVE, 0);
    // A destroyed enemy never comes back by itself.
    a.HEALTH = 6.0f;
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(a.ACTIVE, 0);
}

TEST_F(EnemyUpdate, LoopStopsAtTheTableCount) {
    ENEMYTYPE& t = place(3, ENEMYCLASS_TURRET, 0.0f, 5.0f, 0.0f);
    KVGLOBALS.MAXENEMIES = 2;  // slot 3 lies beyond the count
    t.HEALTH = -5.0f;
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(t.ACTIVE, 1);
    KVGLOBALS.MAXENEMIES = 5000;  // a damaged counter stays inside the table
    KV_ENEMIES_UPDATE();
    EXPECT_EQ(t.ACTIVE, 0);
}

}  // namespace
