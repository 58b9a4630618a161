// The demolition blast: its layout around the target, the layer and step delays, ignition with
// sparks, the fade by slot, and its end once nothing burns, even when slots go out of order.
#include <gtest/gtest.h>

#include <cmath>

#include "game/explosions.h"
#include "rules/rules_support.h"

using namespace rules_test;

namespace {

int g_painted = 0;
void count_paint(const FIREBALLTYPE&, const FireballPaint& p) {
    ++g_painted;
    EXPECT_GE(p.alpha, 0.0f);
    EXPECT_LE(p.alpha, 0.6f);
}

FireballPaint g_watched_paint;
const FIREBALLTYPE* g_watched = nullptr;
void watch_paint(const FIREBALLTYPE& f, const FireballPaint& p) {
    if (&f == g_watched) g_watched_paint = p;
}

int burning() {
    int n = 0;
    for (int i = 0; i < KVGLOBALS.NFIREBALLS; ++i)
        if (KVGLOBALS.FIREBALL[i].VISIBLE == 1) ++n;
    return n;
}

}  // namespace

TEST(Blast, LayerAndStepDelays) {
    EXPECT_EQ(explosion_delay_ms(0, 0), 0);
    EXPECT_EQ(explosion_delay_ms(0, 1), 29);   // 28.57
    EXPECT_EQ(explosion_delay_ms(0, 6), 171);  // 171.43
    EXPECT_EQ(explosion_delay_ms(1, 0), 200);
    EXPECT_EQ(explosion_delay_ms(8, 6), 1771);
}

TEST(Blast, NineLayersOfSquareRingsAroundTheTarget) {
    reset_mission();
    kv_explosion_start(150.0f, 250.0f);
    const KVGLOBALSTYPE& g = KVGLOBALS;
    ASSERT_EQ(g.NFIREBALLS, 1008);
    EXPECT_EQ(g.FIRSTFIREBALL, 0);
    EXPECT_EQ(g.EXPLOSIONTIME, platform_clock_ms());
    // Slot 0: layer 0, side 0, step 0, first across: offset (-1.5, 1.5), heading for -Z.
    const FIREBALLTYPE& f0 = g.FIREBALL[0];
    EXPECT_FLOAT_EQ(f0.POSITION.X, 148.5f);
    EXPECT_FLOAT_EQ(f0.POSITION.Z, 251.5f);
    EXPECT_FLOAT_EQ(f0.POSITION.Y, 2.0f + 0.5f) << "ground 2 (terrain 8 x 0.25), half a unit up";
    EXPECT_EQ(f0.VECTOR.Z, -1.0f);
    EXPECT_EQ(f0.STARTTIME, g.EXPLOSIONTIME);
    EXPECT_EQ(f0.FADETIME, f0.STARTTIME + 100);
    // The last slot: layer 8, side 3, step 6: eight units up, 1771 ms late, heading for +Z.
    const FIREBALLTYPE& last = g.FIREBALL[1007];
    EXPECT_FLOAT_EQ(last.POSITION.Y, 2.0f + 8.5f);
    EXPECT_NEAR(last.POSITION.Z, 250.0f + (-1.5f - 18.0f / 7.0f), 1e-4);
    EXPECT_EQ(last.VECTOR.Z, 1.0f);
    EXPECT_EQ(last.STARTTIME - g.EXPLOSIONTIME, 1771);
    for (int i = 0; i < 1008; ++i) {
        const FIREBALLTYPE& f = g.FIREBALL[i];
        ASSERT_EQ(f.VISIBLE, 0);
        ASSERT_GE(f.EXPLOSIONTEX, 0);
        ASSERT_LE(f.EXPLOSIONTEX, 6);
        ASSERT_GE(f.POSITION.W, 0.75f);
        ASSERT_LT(f.POSITION.W, 1.25f);
        ASSERT_LE(std::fabs(f.GREYMOD), 0.05f);
    }
}

TEST(Blast, FirstLayerIgnitesInTheNextFrameWithSparks) {
    reset_mission();
    kv_explosion_start(150.0f, 250.0f);
    const int32_t t0 = KVGLOBALS.EXPLOSIONTIME;
    g_painted = 0;
    explosion_step(t0 + 16, count_paint);
    // Step 0 of layer 0 (delay 0) has ignited on all four sides: 16 fireballs, six sparks each.
    EXPECT_EQ(burning(), 16);
    EXPECT_EQ(g_painted, 16);
    EXPECT_EQ(count_sparks(), 96);
    EXPECT_EQ(kv_explosion_burning(), 16);
    EXPECT_NE(KVGLOBALS.EXPLOSIONTIME, 0);
}

TEST(Blast, NothingBurningInADrawnFrameEndsIt) {
    reset_mission();
    kv_explosion_start(150.0f, 250.0f);
    explosion_step(KVGLOBALS.EXPLOSIONTIME, nullptr);  // same millisecond: nothing has ignited
    EXPECT_EQ(KVGLOBALS.EXPLOSIONTIME, 0);
    EXPECT_EQ(kv_explosion_burning(), 0);
}

TEST(Blast, EndsOnlyWhenEverySlotHasGoneOut) {
    reset_mission();
    kv_explosion_start(150.0f, 250.0f);
    const int32_t t0 = KVGLOBALS.EXPLOSIONTIME;
    int32_t now = t0;
    int frames = 0;
    bool saw_out_of_order = false;
    while (KVGLOBALS.EXPLOSIONTIME != 0 && frames < 2000) {
        now += 16;
        explosion_step(now, nullptr);
        ++frames;
        // Every slot below FIRSTFIREBALL has gone out; nothing burning is ever skipped.
        for (int i = 0; i < KVGLOBALS.FIRSTFIREBALL; ++i) ASSERT_EQ(KVGLOBALS.FIREBALL[i].VISIBLE, 2) << i;
        const int first = KVGLOBALS.FIRSTFIREBALL;
        if (first < 1008 && KVGLOBALS.FIREBALL[first].VISIBLE != 2) {
            for (int i = first + 1; i < 1008; ++i)
                if (KVGLOBALS.FIREBALL[i].VISIBLE == 2) saw_out_of_order = true;
        }
    }
    EXPECT_TRUE(saw_out_of_order) << "higher slots of a lower layer go out before later layers ignite";
    ASSERT_EQ(KVGLOBALS.EXPLOSIONTIME, 0) << "the blast never ended";
    for (int i = 0; i < 1008; ++i) ASSERT_EQ(KVGLOBALS.FIREBALL[i].VISIBLE, 2) << "slot " << i << " left behind";
    // The last slot ignites 1771 ms in and fades over 1007 x 9.5 ms from its ignition.
    const double seconds = (now - t0) / 1000.0;
    EXPECT_GT(seconds, 1.771 + 9.5);
    EXPECT_LT(seconds, 1.771 + 9.6 + 0.1);
}

TEST(Blast, FireTurnsToSmokeAndRisesFasterHigherUp) {
    reset_mission();
    KVGLOBALS.PLAYERY = 2.0f;
    kv_explosion_start(150.0f, 250.0f);
    const int32_t t0 = KVGLOBALS.EXPLOSIONTIME;
    const FIREBALLTYPE& low = KVGLOBALS.FIREBALL[112 + 100];       // layer 1, ignites at 314 ms
    const FIREBALLTYPE& high = KVGLOBALS.FIREBALL[8 * 112 + 100];  // layer 8, ignites at 1714 ms
    g_watched = &low;
    explosion_step(t0 + 315, watch_paint);
    ASSERT_EQ(low.VISIBLE, 1);
    EXPECT_NEAR(g_watched_paint.r, 1.0f, 0.01f) << "hot at ignition";
    EXPECT_GT(g_watched_paint.g, 0.74f);
    EXPECT_FLOAT_EQ(g_watched_paint.alpha, 0.6f);
    const float low0 = low.POSITION.Y;
    const float w0 = low.POSITION.W;
    explosion_step(t0 + 1800, watch_paint);
    // Smoke after 100 ms, fading by 9.5 ms per slot index from ignition.
    const float smoke = 0.2f + low.GREYMOD;
    EXPECT_FLOAT_EQ(g_watched_paint.r, smoke);
    EXPECT_FLOAT_EQ(g_watched_paint.b, smoke);
    EXPECT_NEAR(g_watched_paint.alpha, 0.6f * (1.0f - 1486.0f / (212.0f * 9.5f)), 1e-4);
    ASSERT_EQ(low.VISIBLE, 1);
    ASSERT_EQ(high.VISIBLE, 1);
    EXPECT_GT(low.POSITION.Y, low0);
    EXPECT_GT(low.POSITION.W, w0) << "the sprite grows";
    // One more frame each: the higher fireball climbs more per frame.
    const float lowy = low.POSITION.Y, highy = high.POSITION.Y;
    explosion_step(t0 + 1816, nullptr);
    EXPECT_GT(high.POSITION.Y - highy, low.POSITION.Y - lowy);
}

TEST(Blast, IgnitionIntoANearlyFullPoolTakesTheNumbersOfEverySpark) {
    // One fireball due: six sparks of four numbers each, four more for each spark that finds a
    // slot, then the two of its colour. Two free slots: 24 + 8 + 2 numbers.
    for (int free : {0, 2, 6}) {
        reset_mission();
        kv_explosion_start(150.0f, 250.0f);
        const int32_t t0 = KVGLOBALS.EXPLOSIONTIME;
        KVGLOBALS.NFIREBALLS = 1;
        for (auto& p : KVGLOBALS.PROJECTILES) p.ACTIVE = 1;
        for (int k = 0; k < free; ++k) KVGLOBALS.PROJECTILES[500 + 64 * k].ACTIVE = 0;
        projectiles_pool_sync();
        platform_random_seed(5);
        explosion_step(t0 + 1, nullptr);
        const uint32_t after = platform_random_u32();
        ASSERT_EQ(burning(), 1);
        platform_random_seed(5);
        for (int k = 0; k < 6 * 4 + free * 4 + 2; ++k) platform_random_u32();
        EXPECT_EQ(after, platform_random_u32()) << free << " free slots";
        int sparks = 0;
        for (int k = 0; k < free; ++k) sparks += KVGLOBALS.PROJECTILES[500 + 64 * k].RICOCHET;
        EXPECT_EQ(sparks, free);
    }
}
