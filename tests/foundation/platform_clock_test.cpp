// The clock seam (live and virtual backends) and the random generator.
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "platform/clock.h"
#include "platform/random.h"

namespace {
double fake_seconds() { return 12.3456; }
}  // namespace

TEST(PlatformClock, FixedStepAdvancesOnlyPerFrameAndNeverSleeps) {
    platform_clock_use_fixed_step(16);
    EXPECT_TRUE(platform_clock_is_virtual());
    EXPECT_EQ(platform_clock_step_ms(), 16);
    EXPECT_EQ(platform_clock_ms(), 0);
    platform_clock_advance_frame();
    platform_clock_advance_frame();
    EXPECT_EQ(platform_clock_ms(), 32);
    EXPECT_DOUBLE_EQ(platform_clock_seconds(), 0.032);
    auto before = std::chrono::steady_clock::now();
    platform_sleep_ms(500);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(100));
    EXPECT_EQ(platform_clock_ms(), 32);  // sleeping does not move virtual time
    // A thousand frames of 16 ms: exactly 16 s, no drift in the millisecond stamp.
    for (int i = 0; i < 1000; ++i) platform_clock_advance_frame();
    EXPECT_EQ(platform_clock_ms(), 16032);
    platform_clock_use_fixed_step(-5);
    EXPECT_EQ(platform_clock_step_ms(), 0);
    platform_clock_advance_frame();
    EXPECT_EQ(platform_clock_ms(), 0);
}

TEST(PlatformClock, VirtualTimeSetDirectlyRoundsToNearestMillisecond) {
    platform_clock_set_virtual_seconds(1.2344);
    EXPECT_EQ(platform_clock_ms(), 1234);
    platform_clock_set_virtual_seconds(1.2346);
    EXPECT_EQ(platform_clock_ms(), 1235);
    platform_clock_advance_seconds(-0.5);
    EXPECT_EQ(platform_clock_ms(), 735);
    platform_clock_set_virtual_seconds(-0.0016);
    EXPECT_EQ(platform_clock_ms(), -2);
    // Past 2^31 ms the 32-bit stamp wraps instead of overflowing.
    platform_clock_set_virtual_seconds(2147483.648);
    EXPECT_EQ(platform_clock_ms(), INT32_MIN);
    platform_clock_set_virtual_seconds(1e300);
    (void)platform_clock_ms();  // any value, but no undefined conversion
}

TEST(PlatformClock, LiveBackendMovesAndUsesAnInstalledSource) {
    platform_clock_use_live();
    EXPECT_FALSE(platform_clock_is_virtual());
    double a = platform_clock_seconds();
    platform_sleep_ms(20);
    double b = platform_clock_seconds();
    EXPECT_GE(b - a, 0.019);
    platform_clock_set_live_source(fake_seconds);
    EXPECT_DOUBLE_EQ(platform_clock_seconds(), 12.3456);
    EXPECT_EQ(platform_clock_ms(), 12346);
    platform_clock_advance_frame();  // nothing to advance in live mode
    EXPECT_DOUBLE_EQ(platform_clock_seconds(), 12.3456);
    platform_clock_set_live_source(nullptr);
    EXPECT_LT(platform_clock_seconds(), 1e6);
    platform_clock_set_virtual_seconds(0);
}

TEST(PlatformRandom, DeterministicPerSeedAndInRange) {
    platform_random_seed(1234);
    float first[50];
    for (float& v : first) v = platform_random();
    platform_random_seed(1234);
    for (float v : first) EXPECT_EQ(platform_random(), v);
    platform_random_seed(1235);
    int same = 0;
    for (float v : first) same += platform_random() == v;
    EXPECT_LT(same, 3);

    platform_random_seed(7);
    std::set<float> distinct;
    double sum = 0;
    const int n = 100000;
    int low = 0;
    for (int i = 0; i < n; ++i) {
        float v = platform_random();
        ASSERT_GE(v, 0.0f);
        ASSERT_LT(v, 1.0f);
        sum += v;
        low += v < 0.1f;
        distinct.insert(v);
    }
    EXPECT_NEAR(sum / n, 0.5, 0.01);
    EXPECT_NEAR(low / double(n), 0.1, 0.01);
    EXPECT_GT(distinct.size(), 90000u);
}

TEST(PlatformRandom, SkippingEqualsDrawing) {
    for (uint64_t count : {0ull, 1ull, 2ull, 3ull, 28ull, 332ull, 65536ull, 100003ull}) {
        platform_random_seed(99);
        for (uint64_t i = 0; i < count; ++i) platform_random_u32();
        const uint32_t drawn[3] = {platform_random_u32(), platform_random_u32(), platform_random_u32()};
        platform_random_seed(99);
        platform_random_skip(count);
        for (uint32_t v : drawn) EXPECT_EQ(platform_random_u32(), v) << "after skipping " << count;
    }
}
