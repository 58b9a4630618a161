// Frame pacing and profiling: the smoothed frame factor, the once-a-second frame count, the
// stage timers and their console readout lines.
#include <gtest/gtest.h>

#include "engine/engine_globals.h"
#include "engine/profiling.h"
#include "engine/system.h"
#include "game/kv_globals.h"
#include "game/profiling_timers.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace {
void reset_frame_globals() {
    SYSTEM_TICKS = 0;
    SYSTEM_NEXTTICKS = 0;
    FP = 0;
    FPS = 0;
    FPSR = 0;
}
}  // namespace

TEST(FramePacing, SixteenMillisecondFramesKeepTheFactorAtOne) {
    reset_frame_globals();
    FPSR = 1.0f;
    SYSTEM_TICKS = 5000;
    for (int i = 1; i <= 50; ++i) {
        system_frame_tick(5000 + 16 * i);
        EXPECT_FLOAT_EQ(FPSR, 1.0f) << "frame " << i;
    }
}

TEST(FramePacing, OneStallMovesTheFactorByAFifthOfTheGap) {
    reset_frame_globals();
    FPSR = 1.0f;
    SYSTEM_TICKS = 2000;
    system_frame_tick(2160);
    EXPECT_NEAR(FPSR, 2.8f, 1e-5);
    // Back to 16 ms frames, the factor falls back towards 1 without undershooting.
    float previous = FPSR;
    for (int i = 1; i <= 40; ++i) {
        system_frame_tick(2160 + 16 * i);
        EXPECT_LT(FPSR, previous);
        EXPECT_GT(FPSR, 1.0f);
        previous = FPSR;
    }
    EXPECT_NEAR(FPSR, 1.0f, 0.001f);
}

TEST(FramePacing, StartsAtZeroAndSettlesWithinAFewFrames) {
    reset_frame_globals();
    SYSTEM_TICKS = 100;
    for (int i = 1; i <= 30; ++i) system_frame_tick(100 + 16 * i);
    EXPECT_NEAR(FPSR, 1.0f, 0.01f);
}

TEST(FramePacing, FramesPerSecondIsTakenOnlyAfterMoreThanASecond) {
    reset_frame_globals();
    system_frame_tick(16);  // 16 > 0: the first figure is taken at once
    EXPECT_EQ(FPS, 1);
    EXPECT_EQ(SYSTEM_NEXTTICKS, 1016);
    int32_t t = 16;
    int frames = 0;
    while (t + 10 <= 1016) {
        t += 10;
        system_frame_tick(t);
        ++frames;
        EXPECT_EQ(FPS, 1) << "changed before a full second at t=" << t;
    }
    ASSERT_EQ(t, 1016);  // exactly at the boundary: still no new figure
    EXPECT_EQ(FP, frames);
    system_frame_tick(1017);
    EXPECT_EQ(FPS, frames + 1);
    EXPECT_EQ(FP, 0);
    EXPECT_EQ(SYSTEM_NEXTTICKS, 2017);
}

TEST(FramePacing, UpdateOnTheVirtualClockAdvancesOneStepPerFrame) {
    reset_frame_globals();
    platform_clock_use_fixed_step(16);
    system_reset_frames();
    system_set_frame_limit(3);
    platform_clear_quit_request();
    FPSR = 1.0f;
    SYSTEM_TICKS = platform_clock_ms();
    platform_clock_advance_frame();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(platform_quit_requested());
        SYSTEM_UPD_FPSR();
    }
    EXPECT_FLOAT_EQ(FPSR, 1.0f);
    EXPECT_EQ(system_frame_number(), 4);
    EXPECT_TRUE(platform_quit_requested()) << "the frame limit of 3 must ask the loops to leave";
    platform_clear_quit_request();
    system_set_frame_limit(0);
    system_reset_frames();
    platform_clock_use_live();
}

TEST(StageTimers, SteadyTwoMillisecondStageRisesToTwentyFromBelow) {
    int32_t timer = 0, maximum = 0;
    float exact = 0;
    int32_t previous = 0;
    // The first samples move about 5 % of the gap.
    profiling_update(timer, exact, maximum, 1000, 1020);
    EXPECT_EQ(timer, 1);
    for (int i = 0; i < 200; ++i) {
        profiling_update(timer, exact, maximum, 1000, 1020);
        EXPECT_GE(timer, previous);
        EXPECT_LE(timer, 20);
        previous = timer;
    }
    EXPECT_EQ(timer, 20);
    EXPECT_EQ(maximum, 20);
}

TEST(StageTimers, MaximumKeepsThePeakUntilReset) {
    int32_t timer = 0, maximum = 0;
    float exact = 0;
    for (int i = 0; i < 100; ++i) profiling_update(timer, exact, maximum, 0, 400);
    const int32_t peak = maximum;
    EXPECT_EQ(peak, timer);
    for (int i = 0; i < 100; ++i) profiling_update(timer, exact, maximum, 0, 10);
    EXPECT_LT(timer, peak);
    EXPECT_EQ(maximum, peak);
}

TEST(StageTimers, SlotsOfTheGlobalRecordAndRangeChecks) {
    for (int i = 0; i < KV_TIMER_SLOTS; ++i) {
        KVGLOBALS.FUNCTION_TIMER[i] = 0;
        KVGLOBALS.FUNCTION_TIMER_MAX[i] = 0;
    }
    KVGLOBALS.FUNCTION_TIMER_START[15] = 500;
    for (int i = 0; i < 120; ++i) kv_update_timer_at(15, 520);
    EXPECT_EQ(KVGLOBALS.FUNCTION_TIMER[15], 20);
    EXPECT_EQ(KVGLOBALS.FUNCTION_TIMER[14], 0);
    // Slots outside 0-99 change nothing and do not crash.
    kv_update_timer_at(-1, 520);
    kv_update_timer_at(100, 520);
    KV_STARTTIMER(100);
    KV_UPDTIMER(-5);
    EXPECT_EQ(KVGLOBALS.FUNCTION_TIMER[0], 0);
    EXPECT_EQ(KVGLOBALS.FUNCTION_TIMER[99], 0);
    // A slot whose time was set from outside restarts its average from that value.
    KVGLOBALS.FUNCTION_TIMER[15] = 100;
    kv_update_timer_at(15, 520);
    EXPECT_EQ(KVGLOBALS.FUNCTION_TIMER[15], 96);
}

TEST(ConsoleReadouts, TimerLinesUseFourteenColumnZones) {
    const std::string pad11(11, ' '), pad12(12, ' ');
    EXPECT_EQ(profiling_timer_line(15, 20, 25), " 15" + pad11 + " 20" + pad11 + " 25    \r\n");
    EXPECT_EQ(profiling_timer_line(3, -4, 0), " 3" + pad12 + "-4" + pad12 + " 0    \r\n");
    // A number that fills a zone moves the next one to the following zone.
    EXPECT_EQ(profiling_zone("1234567890123"), "1234567890123 ");
    EXPECT_EQ(profiling_zone("12345678901234"), "12345678901234");
    EXPECT_EQ(profiling_zone("123456789012345").size(), 28u);
}

TEST(ConsoleReadouts, TuningLineAndSilenceWithoutATerminal) {
    std::string line = system_tuning_line(1.5f, -0.25f, 0.0f);
    EXPECT_EQ(line.substr(0, 28), " 1.5          -0.25         ");
    EXPECT_EQ(line.substr(28, 2), " 0");
    console_readouts_force(0);
    testing::internal::CaptureStdout();
    console_home();
    console_readout("x");
    KV_PRINTTIMER(15);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    console_readouts_force(1);
    testing::internal::CaptureStdout();
    console_home();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\x1b[1;1H");
    console_readouts_force(-1);
}
