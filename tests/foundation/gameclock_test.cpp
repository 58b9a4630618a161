// CLOCKDAT clocks on virtual time: counting, stop and pause, alarm, state text and clock text.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/gameclock.h"
#include "platform/clock.h"

namespace {

void at(double seconds) { platform_clock_set_virtual_seconds(seconds); }

}  // namespace

TEST(GameClock, CountsForwardAndBackwardFromTheSetValue) {
    at(100.0);
    CLOCKDAT c;
    IO_CLOCK_SET(c, 1, 2, 3);
    EXPECT_EQ(c.START, 3723.0);
    EXPECT_EQ(c.VALUE, 3723.0);
    EXPECT_EQ(CLOCK_STATE(c), "Paused");  // setting does not start it
    IO_CLOCK_UPDATE(c);
    EXPECT_EQ(c.CURR, 3723.0);
    IO_CLOCK_START(c, 1);
    EXPECT_EQ(CLOCK_STATE(c), "Count Forward");
    at(110.5);
    IO_CLOCK_UPDATE(c);
    EXPECT_DOUBLE_EQ(c.CURR, 3733.5);
    EXPECT_DOUBLE_EQ(c.REAL, 110.5);

    CLOCKDAT d;
    d.ALARM = -1e9;  // keep the alarm out of the way
    IO_CLOCK_SET(d, 0, 0, 60);
    IO_CLOCK_START(d, 0);
    EXPECT_EQ(CLOCK_STATE(d), "Count Backward");
    at(130.5);
    IO_CLOCK_UPDATE(d);
    EXPECT_DOUBLE_EQ(d.CURR, 40.0);
    IO_CLOCK_INC(d, 0, 1, 0);
    IO_CLOCK_UPDATE(d);
    EXPECT_DOUBLE_EQ(d.CURR, 100.0);
}

TEST(GameClock, StopHoldsTheReadingAndPauseTwiceResumes) {
    at(0.0);
    CLOCKDAT c;
    c.ALARM = 1e9;
    IO_CLOCK_SET(c, 0, 0, 10);
    IO_CLOCK_START(c, 1);
    at(5.0);
    IO_CLOCK_UPDATE(c);
    EXPECT_DOUBLE_EQ(c.CURR, 15.0);
    IO_CLOCK_STOP(c);
    at(500.0);
    IO_CLOCK_UPDATE(c);
    EXPECT_DOUBLE_EQ(c.CURR, 15.0);
    EXPECT_EQ(CLOCK_STATE(c), "Paused");
    // Restarted later (leaving a mission and coming back): resumes from the stopped value.
    IO_CLOCK_START(c, 1);
    at(502.0);
    IO_CLOCK_UPDATE(c);
    EXPECT_DOUBLE_EQ(c.CURR, 17.0);

    IO_CLOCK_PAUSE(c);
    EXPECT_EQ(CLOCK_STATE(c), "Paused");
    at(900.0);
    IO_CLOCK_UPDATE(c);
    EXPECT_DOUBLE_EQ(c.CURR, 17.0);
    IO_CLOCK_PAUSE(c);
    EXPECT_EQ(CLOCK_STATE(c), "Count Forward");
    at(903.0);
    IO_CLOCK_UPDATE(c);
    EXPECT_DOUBLE_EQ(c.CURR, 20.0);

    // Pausing a backward clock resumes backward.
    CLOCKDAT b;
    b.ALARM = -1e9;
    IO_CLOCK_SET(b, 0, 0, 50);
    IO_CLOCK_START(b, 0);
    at(913.0);
    IO_CLOCK_UPDATE(b);
    IO_CLOCK_PAUSE(b);
    IO_CLOCK_PAUSE(b);
    at(915.0);
    IO_CLOCK_UPDATE(b);
    EXPECT_DOUBLE_EQ(b.CURR, 38.0);
}

TEST(GameClock, CountdownAlarmFiresOncePinnedAtTheAlarmValue) {
    at(1000.0);
    CLOCKDAT m;  // a zero-filled mission clock: alarm at 0
    IO_CLOCK_SET(m, 0, 0, 30);
    IO_CLOCK_START(m, 0);
    at(1029.0);
    IO_CLOCK_UPDATE(m);
    EXPECT_EQ(IO_CLOCK_ALARMED(m), 0);
    EXPECT_DOUBLE_EQ(m.CURR, 1.0);
    at(1030.25);
    IO_CLOCK_UPDATE(m);
    EXPECT_EQ(IO_CLOCK_ALARMED(m), 1);
    EXPECT_NE(m.FLAGS & CLOCK_FLAG_ALARM, 0);
    EXPECT_EQ(m.VALUE, 0.0);
    EXPECT_EQ(m.START, 0.0);
    EXPECT_EQ(m.EPOCH, 1030.25);
    IO_CLOCK_STOP(m);  // what the failure check does on that frame
    at(1040.0);
    IO_CLOCK_UPDATE(m);
    EXPECT_EQ(IO_CLOCK_ALARMED(m), 0);  // the flag lasts one update
    EXPECT_LE(m.CURR, 0.0);
    EXPECT_GE(m.CURR, -0.25);

    // Counting up towards a higher alarm.
    CLOCKDAT up;
    up.ALARM = 10;
    IO_CLOCK_SET(up, 0, 0, 0);
    IO_CLOCK_START(up, 1);
    at(1049.0);
    IO_CLOCK_UPDATE(up);
    EXPECT_EQ(IO_CLOCK_ALARMED(up), 0);
    at(1050.0);
    IO_CLOCK_UPDATE(up);
    EXPECT_EQ(IO_CLOCK_ALARMED(up), 1);
    EXPECT_EQ(up.CURR, 10.0);

    // START equal to ALARM: never fires.
    CLOCKDAT never;
    IO_CLOCK_SET(never, 0, 0, 0);
    IO_CLOCK_START(never, 0);
    at(1100.0);
    IO_CLOCK_UPDATE(never);
    EXPECT_EQ(IO_CLOCK_ALARMED(never), 0);
    EXPECT_DOUBLE_EQ(never.CURR, -50.0);
}

TEST(ClockText, FormatsReadings) {
    EXPECT_EQ(IO_TIME_HMS(0), "00:00:00.000");
    EXPECT_EQ(IO_TIME_HMS(59.75), "00:00:59.750");
    EXPECT_EQ(IO_TIME_HMS(3725.5), "01:02:05.500");
    EXPECT_EQ(IO_TIME_HMS(3723.123), "01:02:03.123");
    EXPECT_EQ(IO_TIME_HMS(86399.999), "23:59:59.999");
    EXPECT_EQ(IO_TIME_HMS(0.0005), "00:00:00.000");  // milliseconds round down
    EXPECT_EQ(IO_TIME_HMS(0.9999), "00:00:00.999");
    EXPECT_EQ(IO_TIME_HMS(100 * 3600.0 + 1), "100:00:01.000");
    EXPECT_EQ(IO_TIME_HMS(123456 * 3600.0), "123456:00:00.000");
}

TEST(ClockText, NegativeAndOutOfRangeReadings) {
    EXPECT_EQ(IO_TIME_HMS(-3723.5), "-1:-2:-3.500");
    EXPECT_EQ(IO_TIME_HMS(-0.25), "00:00:00.250");
    EXPECT_EQ(IO_TIME_HMS(-61), "00:-1:-1.000");
    EXPECT_EQ(IO_TIME_HMS(-36000), "-10:00:00.000");
    EXPECT_EQ(IO_TIME_HMS(-360000), "-100:00:00.000");
    EXPECT_EQ(IO_TIME_HMS(std::nan("")), "00:00:00.000");
    EXPECT_EQ(IO_TIME_HMS(1e300), "2500000000000:00:00.000");
    EXPECT_EQ(IO_TIME_HMS(-1e300), "-2500000000000:00:00.000");
}
