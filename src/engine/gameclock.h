// Clock records of the profiles (game clock and mission countdown): CLOCKDAT driven by the
// IO_CLOCK_* functions, its state text, and the HH:MM:SS.mmm text of a reading. "Now" is the
// platform clock in seconds.
#pragma once

#include <cstdint>
#include <string>

// CLOCKDAT::FLAGS bits (0-based bit numbers as used with IO_BIT).
constexpr int32_t CLOCK_FLAG_RUNNING = 1 << 1;  // counting
constexpr int32_t CLOCK_FLAG_FORWARD = 1 << 2;  // 1 forward, 0 backward
constexpr int32_t CLOCK_FLAG_ALARM = 1 << 4;    // the alarm fired on the last update

struct CLOCKDAT {
    int32_t FLAGS = 0;
    double REAL = 0.0;   // now at the last update
    double EPOCH = 0.0;  // now when last set or started
    double LAPSE = 0.0;  // signed seconds run since EPOCH
    double START = 0.0;  // value given to the last IO_CLOCK_SET
    double ALARM = 0.0;
    double VALUE = 0.0;  // value at EPOCH
    double CURR = 0.0;   // current reading: VALUE + LAPSE
};

// VALUE := START := 3600*h + 60*m + s, re-based on now; the running flag is kept.
void IO_CLOCK_SET(CLOCKDAT& CLOCK, double h, double m, double s);
// Re-bases on now and counts: DIRECTION 1 forward, 0 backward.
void IO_CLOCK_START(CLOCKDAT& CLOCK, int32_t DIRECTION);
// Stops, keeping the reading of the last update.
void IO_CLOCK_STOP(CLOCKDAT& CLOCK);
// Toggles between stopped and counting in the same direction.
void IO_CLOCK_PAUSE(CLOCKDAT& CLOCK);
// VALUE += 3600*h + 60*m + s.
void IO_CLOCK_INC(CLOCKDAT& CLOCK, double h, double m, double s);
// Advances the reading. The alarm fires when the reading reaches ALARM from the side START is
// on (never when START equals ALARM): the alarm flag is set for this update and the clock is
// set to the alarm value, counting on from there.
void IO_CLOCK_UPDATE(CLOCKDAT& CLOCK);
// 1 when the last update fired the alarm.
int32_t IO_CLOCK_ALARMED(const CLOCKDAT& CLOCK);

// "Paused", "Count Forward" or "Count Backward".
std::string CLOCK_STATE(const CLOCKDAT& CLOCK);
// HH:MM:SS.mmm: hours, minutes and seconds truncated toward zero and padded to two digits
// (hours above 99 in full), milliseconds rounded down and padded to three. A negative reading
// puts a minus sign into each non-zero part of hours, minutes and seconds (-3723.5 gives
// "-1:-2:-3.500"). Readings beyond +-9e15 s are clamped; NaN reads as 0.
std::string IO_TIME_HMS(double SECONDS);
