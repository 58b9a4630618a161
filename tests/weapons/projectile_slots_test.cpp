// Which slot of the projectile pool a launch takes and how far the per-frame loops reach: the
// lowest free slot up to MAXPROJECTILES, the highest active slot as LASTPROJECTILE, at the
// edges of the pool and against a plain walk over the records. Also the infantry a shot or a
// rocket picks when several are near: the lowest slot first, wherever on the map they stand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "game/projectiles.h"
#include "weapons_support.h"

using namespace weapons_test;

namespace {

PROJECTILETYPE& slot(int i) { return KVGLOBALS.PROJECTILES[i]; }

void launch() {
    VECTOR3D p{100, 20, 100};
    VECTOR3D d{1, 0, 0};
    KV_PROJECTILES_ADD(p, d, 100.0f, 0.0f, 2);
}

void spark() {
    PROJECTILETYPE src{};
    src.VECTOR = VECTOR3D{1, 0, 0};
    KV_PROJECTILES_ADD_RICOCHET(src, 1, 1, 1, 0, 0, 8);
}

// The rules written out as walks over the records.
int walk_first_free() {
    const int top = std::min(std::max(KVGLOBALS.MAXPROJECTILES, 0), PROJECTILE_SLOTS - 1);
    for (int i = 0; i <= top; ++i)
        if (slot(i).ACTIVE == 0) return i;
    return -1;
}
int walk_last_active() {
    for (int i = PROJECTILE_SLOTS - 1; i >= 0; --i)
        if (slot(i).ACTIVE != 0) return i;
    return 0;
}

class ProjectileSlots : public ::testing::Test {
protected:
    void SetUp() override { reset_world(2.0f); }
};

TEST_F(ProjectileSlots, FullPoolRefusesThenReusesTheFreedSlotsLowestFirst) {
    for (int i = 0; i < PROJECTILE_SLOTS + 5; ++i) launch();
    EXPECT_EQ(count_active(false), PROJECTILE_SLOTS);
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, PROJECTILE_SLOTS - 1);
    spark();  // nowhere to go
    EXPECT_EQ(count_active(true), 0);
    // Freed in any order, slots come back lowest first; word edges of the index included.
    for (int s : {9999, 64, 5000, 63, 0, 9984}) projectiles_remove(s);
    for (int expected : {0, 63, 64, 5000, 9984, 9999}) {
        spark();
        EXPECT_EQ(slot(expected).RICOCHET, 1) << expected;
    }
    spark();
    EXPECT_EQ(count_active(true), 6) << "full again: the seventh spark is dropped";
}

TEST_F(ProjectileSlots, LimitAndTopFollowTheRecords) {
    for (int i = 0; i < 20; ++i) launch();
    // Removing recounts before freeing: the top stays on the removed slot until the next count.
    projectiles_remove(19);
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 19);
    projectiles_remove(18);
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 18) << "19 is gone, 18 was still active when counted";
    projectiles_recount();
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 17);
    // A free slot above the limit is not used; lowering the limit below every free slot
    // drops launches; raising it again finds the slots.
    for (int i = 0; i < 20; ++i) projectiles_remove(i);
    projectiles_recount();
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 0) << "an empty pool counts 0";
    for (int i = 0; i < 10; ++i) launch();
    KVGLOBALS.MAXPROJECTILES = 9;
    launch();
    EXPECT_EQ(count_active(false), 10);
    KVGLOBALS.MAXPROJECTILES = 10;
    launch();
    EXPECT_EQ(slot(10).ACTIVE, 1);
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 10);
}

TEST_F(ProjectileSlots, FlagsWrittenOutsideThePoolFunctionsAreHonoured) {
    for (int i = 0; i < 8; ++i) launch();
    // A slot switched on behind the pool's back is never handed out again...
    slot(8).ACTIVE = 1;
    slot(8).POSITION.X = -1.0f;
    launch();
    EXPECT_FLOAT_EQ(slot(8).POSITION.X, -1.0f);
    EXPECT_EQ(slot(9).ACTIVE, 1);
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 9);
    // ...a top switched off is not counted...
    slot(9).ACTIVE = 0;
    slot(8).ACTIVE = 0;
    projectiles_recount();
    EXPECT_EQ(KVGLOBALS.LASTPROJECTILE, 7);
    // ...and slots freed by hand are found after a sync.
    slot(2).ACTIVE = 0;
    projectiles_pool_sync();
    launch();
    EXPECT_EQ(slot(2).ACTIVE, 1);
    EXPECT_FLOAT_EQ(slot(2).POSITION.X, 100.0f);
}

TEST_F(ProjectileSlots, LongMixedRunAgreesWithAWalkOverTheRecords) {
    // Launches, sparks, removals, spent sparks and full updates in a fixed pseudo-random mix;
    // before every launch the next slot must be the walk's first free slot, and after every
    // count the top must be the walk's last active slot.
    uint32_t r = 12345;
    auto next = [&r](uint32_t n) {
        r = r * 1664525u + 1013904223u;
        return (r >> 8) % n;
    };
    for (int step = 0; step < 6000; ++step) {
        const uint32_t op = next(10);
        if (op < 5) {
            const int expected = walk_first_free();
            if (op < 3) launch();
            else spark();
            if (expected < 0) continue;
            ASSERT_EQ(slot(expected).ACTIVE, 1) << "step " << step;
            if (op < 3) {
                ASSERT_EQ(KVGLOBALS.LASTPROJECTILE, walk_last_active()) << "step " << step;
            }
        } else if (op < 8) {
            projectiles_remove(static_cast<int32_t>(next(PROJECTILE_SLOTS / 8)));
        } else if (op < 9) {
            KVGLOBALS.MAXPROJECTILES = static_cast<int32_t>(next(PROJECTILE_SLOTS / 8)) + 200;
        } else {
            KV_PROJECTILES_UPDATE();  // shots fly on, land and burst; sparks run out
            projectiles_recount();
            ASSERT_EQ(KVGLOBALS.LASTPROJECTILE, walk_last_active()) << "step " << step;
        }
    }
    EXPECT_GT(count_active(false) + count_active(true), 100) << "the run must keep the pool busy";
}

// --- infantry near a shot ---------------------------------------------------------------------

TEST_F(ProjectileSlots, ShotHitsTheLowestInfantrySlotInReachAcrossTheMap) {
    // Both stand within reach of the shot's rounded position (204, 200), on either side of
    // x = 204; slot 7 is met first going west to east, but slot 2 is hit.
    ENEMYTYPE& west = place_infantry(7, 203.0f, 2.0f, 200.0f, 10.0f);
    ENEMYTYPE& east = place_infantry(2, 205.0f, 2.0f, 200.0f, 10.0f);
    VECTOR3D p{204.0f, 3.0f, 198.8f};
    VECTOR3D d{0, 0, 1};
    KV_PROJECTILES_ADD(p, d, 100.0f, 0.0f, 2);
    KV_PROJECTILES_UPDATE();
    EXPECT_FLOAT_EQ(east.HEALTH, 8.0f);
    EXPECT_FLOAT_EQ(west.HEALTH, 10.0f);
    // Infantry off the map's edge is still hit by a shot at the edge.
    ENEMYTYPE& edge = place_infantry(9, -0.5f, 2.0f, 50.0f, 10.0f);
    VECTOR3D q{0.3f, 3.0f, 48.8f};
    KV_PROJECTILES_ADD(q, d, 100.0f, 0.0f, 2);
    KV_PROJECTILES_UPDATE();
    EXPECT_FLOAT_EQ(edge.HEALTH, 8.0f);
    // Between updates the positions are read as they are now: infantry moved far across the
    // map under a resting shot is hit by a collision check of its own.
    for (auto& s : KVGLOBALS.PROJECTILES) s = PROJECTILETYPE{};
    projectiles_pool_sync();
    VECTOR3D far{300.0f, 3.0f, 300.0f};
    KV_PROJECTILES_ADD(far, d, 0.0f, 0.0f, 2);
    east.POSITION = VECTOR3D{300.0f, 2.0f, 300.0f};
    KV_PROJECTILES_CHECKCOLLISION();
    EXPECT_FLOAT_EQ(east.HEALTH, 6.0f);
}

TEST_F(ProjectileSlots, RocketLocksOnTheSturdiestInSlotOrder) {
    // Slot order: 0 (40, east), 1 (30, west), 3 (40, between): the lock goes to 0, the first
    // with the most health; a sweep from west to east would end on 3.
    place_infantry(0, 216.0f, 2.0f, 200.0f, 40.0f);
    place_infantry(1, 203.0f, 2.0f, 200.0f, 30.0f);
    place_infantry(3, 211.0f, 2.0f, 201.0f, 40.0f);
    VECTOR3D p{210.0f, 10.0f, 200.0f};
    VECTOR3D d{0, 0, 1};
    KV_PROJECTILES_ADD_RPG(p, d, 0.012f, 2);
    KV_PROJECTILES_UPDATE();
    EXPECT_EQ(slot(0).LOCKEDON, 0);
    EXPECT_EQ(slot(0).LOCKEDONHEALTH, 40);
}

}  // namespace
