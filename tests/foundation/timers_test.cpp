// Per-frame time objects on virtual time: TARGET_CLASS easing, FPS_CLASS sampling and
// TIMER_CLASS counting, parents and alarms.
#include <gtest/gtest.h>

#include <string>

#include "engine/bits.h"
#include "engine/timers.h"
#include "platform/clock.h"

namespace {

void at(double seconds) { platform_clock_set_virtual_seconds(seconds); }

}  // namespace

TEST(TargetClass, DefaultsAndRangeStandStill) {
    TARGET_CLASS t;
    EXPECT_EQ(t._CURR, 0.0f);
    EXPECT_EQ(t.THRESHOLD, 1.0f);
    EXPECT_EQ(t.STEPS, 128);
    EXPECT_EQ(t.MODE, 0);
    EXPECT_EQ(t.ONTARGET, 0);
    EXPECT_EQ(t._SYNC, 0u);

    t.RANGE(1, 1, 32, 0.01f);
    for (int i = 0; i < 5; ++i) {
        IO_SYNC();
        EXPECT_EQ(t.CURR(), 1.0f);
    }
}

TEST(TargetClass, ProportionalApproachAdvancesOncePerFrameThenSnaps) {
    TARGET_CLASS t;
    t.RANGE(1, 1, 32, 0.01f);
    t.SET_TARGET(2);
    EXPECT_EQ(t.START(), 1.0f);
    EXPECT_EQ(t.TARGET(), 2.0f);
    float expected = 1.0f;
    int frames = 0;
    while (expected != 2.0f && frames < 1000) {
        IO_SYNC();
        ++frames;
        if (2.0f - expected < 0.01f)
            expected = 2.0f;
        else
            expected += (2.0f - expected) / 32.0f;
        EXPECT_FLOAT_EQ(t.CURR(), expected);
        EXPECT_FLOAT_EQ(t.CURR(), expected);  // a second read in the same frame does not move it
        EXPECT_FLOAT_EQ(static_cast<float>(t), expected);
    }
    EXPECT_EQ(t.CURR(), 2.0f);
    EXPECT_GT(frames, 100);
    EXPECT_LT(frames, 200);
    // Setting the same target again does not restart anything.
    t.SET_TARGET(2);
    EXPECT_EQ(t.START(), 1.0f);
    // A forced update moves within the frame.
    t.SET_TARGET(4);
    IO_SYNC();
    float once = t.CURR();
    float forced = t.UPDATE(1);
    EXPECT_GT(forced, once);
}

TEST(TargetClass, LinearModeAndOnTargetBehaviour) {
    TARGET_CLASS t;
    t.RANGE(0, 10, 4, 0.001f);
    t.MODE = 1;
    float seen[5];
    for (float& v : seen) {
        IO_SYNC();
        v = t.CURR();
    }
    EXPECT_FLOAT_EQ(seen[0], 2.5f);
    EXPECT_FLOAT_EQ(seen[1], 5.0f);
    EXPECT_FLOAT_EQ(seen[3], 10.0f);
    EXPECT_FLOAT_EQ(seen[4], 10.0f);  // a linear step never runs past the target
    EXPECT_FLOAT_EQ(t.NEAR_TARGET(), 1.0f);

    // Steps that do not divide the distance still stop at the target.
    TARGET_CLASS odd;
    odd.RANGE(0, 1, 3, 0.0f);
    odd.MODE = 1;
    for (int i = 0; i < 10; ++i) {
        IO_SYNC();
        odd.CURR();
    }
    EXPECT_EQ(odd.CURR(), 1.0f);

    // ONTARGET 1: jump back to the start once the target is reached.
    TARGET_CLASS saw;
    saw.RANGE(0, 2, 2, 0.001f);
    saw.MODE = 1;
    saw.ONTARGET = 1;
    float v[4];
    for (float& x : v) {
        IO_SYNC();
        x = saw.CURR();
    }
    EXPECT_FLOAT_EQ(v[0], 1.0f);
    EXPECT_FLOAT_EQ(v[1], 2.0f);
    EXPECT_FLOAT_EQ(v[2], 1.0f);  // back to 0, then one step
    EXPECT_FLOAT_EQ(v[3], 2.0f);

    // ONTARGET 2: start and target swap, so the value oscillates.
    TARGET_CLASS osc;
    osc.RANGE(0, 2, 2, 0.001f);
    osc.MODE = 1;
    osc.ONTARGET = 2;
    float o[4];
    for (float& x : o) {
        IO_SYNC();
        x = osc.CURR();
    }
    EXPECT_FLOAT_EQ(o[1], 2.0f);
    EXPECT_FLOAT_EQ(o[2], 1.0f);
    EXPECT_FLOAT_EQ(o[3], 0.0f);
    EXPECT_EQ(osc.TARGET(), 0.0f);

    // Zero steps reach the target at once instead of dividing by zero.
    TARGET_CLASS z;
    z.RANGE(0, 5, 0, 0.1f);
    IO_SYNC();
    EXPECT_EQ(z.CURR(), 5.0f);
}

TEST(TargetClass, AssignmentStartNearTargetTextAndOperators) {
    TARGET_CLASS t(3.0f);
    EXPECT_EQ(t.TARGET(), 3.0f);
    EXPECT_EQ(t.NEAR_TARGET(), 0.0f);  // target equals start
    t.SET_TARGET(7);
    t = 5.0f;  // restarts from 5 towards the kept target 7
    EXPECT_EQ(t._CURR, 5.0f);
    EXPECT_EQ(t.START(), 5.0f);
    EXPECT_EQ(t.TARGET(), 7.0f);
    t._CURR = 6.0f;
    EXPECT_FLOAT_EQ(t.NEAR_TARGET(), 0.5f);
    t.START(2.5f);
    EXPECT_EQ(t.TARGET(), 2.5f);
    EXPECT_EQ(static_cast<std::string>(t), "2.5");
    t._CURR = -0.125f;
    EXPECT_EQ(static_cast<std::string>(t), "-0.125");

    // Operators read the value through CURR (advancing once per frame) and return singles.
    TARGET_CLASS a(10.0f), b(4.0f);
    IO_SYNC();
    EXPECT_EQ(a + b, 14.0f);
    EXPECT_EQ(a - b, 6.0f);
    EXPECT_EQ(a * b, 40.0f);
    EXPECT_EQ(a / b, 2.5f);
    EXPECT_EQ(a + 1, 11.0f);
    EXPECT_EQ(2.0 * a, 20.0f);
    EXPECT_EQ(uint8_t{30} - a, 20.0f);
    EXPECT_EQ(a / int64_t{4}, 2.5f);
    EXPECT_EQ(100u / a, 10.0f);
    static_assert(std::is_same_v<decltype(a + 1.0), float>);
    // Reading through an operator advances a moving value exactly once per frame.
    TARGET_CLASS m;
    m.RANGE(0, 128, 128, 0.5f);
    m.MODE = 1;
    IO_SYNC();
    EXPECT_EQ(m + 0, 1.0f);
    EXPECT_EQ(m * 1, 1.0f);
    IO_SYNC();
    EXPECT_EQ(0 + m, 2.0f);
}

TEST(FpsClass, FrameModeProducesAValueEveryNPlusOneFrames) {
    platform_clock_use_fixed_step(20);
    FPS_CLASS f;
    EXPECT_EQ(f.NFRAMES, 60u);
    EXPECT_EQ(f.NSECS, 1.0f);
    EXPECT_EQ(f._TIMER.ON(), 1);
    f.ONFRAMES(20);
    EXPECT_EQ(f.MODE, 1);
    int first_value_frame = -1;
    for (int frame = 1; frame <= 60; ++frame) {
        IO_SYNC();
        platform_clock_advance_frame();
        float v = f.FPS();
        EXPECT_EQ(f.FPS(), v);  // once per frame
        if (v != 0.0f && first_value_frame < 0) first_value_frame = frame;
    }
    // Sample starts on the first frame, closes when 21 frames are counted.
    EXPECT_EQ(first_value_frame, 21);
    EXPECT_NEAR(f._FPS, 50.0f, 3.0f);  // 21 frames over 20 steps of 20 ms
}

TEST(FpsClass, TimeModeAndFrozenClock) {
    platform_clock_use_fixed_step(10);
    FPS_CLASS f;
    f.ONSECS(0.5f);
    EXPECT_EQ(f.MODE, 0);
    for (int frame = 0; frame < 200; ++frame) {
        IO_SYNC();
        platform_clock_advance_frame();
        f.UPDATE();
    }
    EXPECT_NEAR(f._FPS, 100.0f, 3.0f);

    // A clock that does not move closes frame samples without dividing by zero.
    platform_clock_use_fixed_step(0);
    platform_clock_set_virtual_seconds(50.0);
    FPS_CLASS g;
    g.ONFRAMES(2);
    for (int frame = 0; frame < 10; ++frame) {
        IO_SYNC();
        EXPECT_EQ(g.FPS(), 0.0f);
    }
}

TEST(TimerClass, CountsStopsPausesAndMeasuresDelta) {
    at(10.0);
    TIMER_CLASS t;
    t.SET(0, 0, 5, 1);  // reading 5
    t.COUNT(1);
    IO_SYNC();
    at(12.0);
    EXPECT_DOUBLE_EQ(t.TIME(), 7.0);
    at(20.0);
    EXPECT_DOUBLE_EQ(t.TIME(), 7.0);  // same frame: no new reading
    IO_SYNC();
    EXPECT_DOUBLE_EQ(t.TIME(), 15.0);
    EXPECT_DOUBLE_EQ(t.DELTA(), 8.0);
    t.STOP();
    EXPECT_EQ(t.ON(), 0);
    IO_SYNC();
    at(30.0);
    EXPECT_DOUBLE_EQ(t.TIME(), 15.0);
    t.PAUSE();  // resumes forward
    IO_SYNC();
    at(31.0);
    EXPECT_DOUBLE_EQ(t.TIME(), 16.0);
    t.PAUSE();
    IO_SYNC();
    at(40.0);
    EXPECT_DOUBLE_EQ(t.TIME(), 16.0);

    TIMER_CLASS back;
    back.SET(0, 1, 0, 0);  // reading and START 60
    back.COUNT(0);
    IO_SYNC();
    at(45.0);
    EXPECT_DOUBLE_EQ(back.TIME(), 55.0);
    back.INC(0, 0, 10, 1);
    back.UPDATE(1);
    EXPECT_DOUBLE_EQ(back.CURR, 65.0);
    back.INC(1, 0, 0, 3);
    EXPECT_DOUBLE_EQ(back.START, 3660.0);
    back.INC(0, 0, 7, 4);
    EXPECT_DOUBLE_EQ(back.ALARM, 7.0);
    back.INC(0, 0, 7, 9);  // unknown field: nothing changes
    EXPECT_DOUBLE_EQ(back.VALUE, 70.0);
    EXPECT_DOUBLE_EQ(back.START, 3660.0);
    EXPECT_DOUBLE_EQ(back.ALARM, 7.0);
}

TEST(TimerClass, AlarmFiresOnceAndLatchesUntilRearmed) {
    at(0.0);
    TIMER_CLASS t;
    t.SET(0, 0, 0, 0);
    t.SET(0, 0, 3, 4);  // alarm at 3
    t.COUNT(1);
    int fired = 0;
    for (int i = 1; i <= 10; ++i) {
        IO_SYNC();
        at(i * 1.0);
        t.UPDATE(0);
        if (t.FLAGS & TIMER_FLAG_ALARM) {
            ++fired;
            EXPECT_EQ(i, 3);
        }
    }
    EXPECT_EQ(fired, 1);
    EXPECT_NE(t.FLAGS & TIMER_FLAG_ALARM_LATCHED, 0u);
    EXPECT_DOUBLE_EQ(t.CURR, 10.0);  // no re-set of the value
    t.SET(0, 0, 12, 4);              // re-arm at 12
    IO_SYNC();
    at(12.0);
    t.UPDATE(0);
    EXPECT_NE(t.FLAGS & TIMER_FLAG_ALARM, 0u);

    // MODE 2 restarts from START and re-arms.
    t.SET(0, 0, 1, 3);
    t.SET(0, 0, 0, 2);
    EXPECT_DOUBLE_EQ(t.CURR, 1.0);
    EXPECT_EQ(t.FLAGS & TIMER_FLAG_ALARM_LATCHED, 0u);
}

TEST(TimerClass, FollowsAParentAndItsDirection) {
    at(100.0);
    TIMER_CLASS parent;
    parent.SET(0, 0, 0, 0);
    parent.COUNT(1);
    TIMER_CLASS child;
    child.SET(&parent);
    EXPECT_EQ(child.PARENT, &parent);
    child.COUNT(1);
    // The first update learns the parent's direction and re-bases on its reading.
    EXPECT_DOUBLE_EQ(child.UPDATE(1), 0.0);
    EXPECT_NE(child.FLAGS & TIMER_FLAG_PARENT_FORWARD, 0u);
    IO_SYNC();
    at(104.0);
    EXPECT_DOUBLE_EQ(child.TIME(), 4.0);  // parent moved 4 s
    // Parent turns backward: the child re-bases and keeps counting forward.
    parent.COUNT(0);
    IO_SYNC();
    at(106.0);
    EXPECT_DOUBLE_EQ(parent.TIME(), 2.0);
    EXPECT_DOUBLE_EQ(child.TIME(), 4.0);
    IO_SYNC();
    at(109.0);
    EXPECT_DOUBLE_EQ(parent.TIME(), -1.0);
    EXPECT_DOUBLE_EQ(child.TIME(), 7.0);

    // A parent chain that loops back ends instead of recursing for ever.
    TIMER_CLASS a, b;
    a.SET(&b);
    b.SET(&a);
    a.COUNT(1);
    b.COUNT(1);
    IO_SYNC();
    (void)a.TIME();
    TIMER_CLASS self;
    self.SET(&self);
    EXPECT_EQ(self.PARENT, nullptr);
}
