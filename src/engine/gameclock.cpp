// CLOCKDAT clocks and the clock text.
#include "engine/gameclock.h"

#include <cmath>
#include <cstdio>

#include "platform/clock.h"

void IO_CLOCK_SET(CLOCKDAT& CLOCK, double h, double m, double s) {
    CLOCK.EPOCH = platform_clock_seconds();
    CLOCK.START = 3600.0 * h + 60.0 * m + s;
    CLOCK.VALUE = CLOCK.START;
}

void IO_CLOCK_START(CLOCKDAT& CLOCK, int32_t DIRECTION) {
    CLOCK.EPOCH = platform_clock_seconds();
    if (DIRECTION)
        CLOCK.FLAGS |= CLOCK_FLAG_FORWARD;
    else
        CLOCK.FLAGS &= ~CLOCK_FLAG_FORWARD;
    CLOCK.FLAGS |= CLOCK_FLAG_RUNNING;
}

void IO_CLOCK_STOP(CLOCKDAT& CLOCK) {
    CLOCK.VALUE = CLOCK.CURR;
    CLOCK.LAPSE = 0.0;
    CLOCK.FLAGS &= ~CLOCK_FLAG_RUNNING;
}

void IO_CLOCK_PAUSE(CLOCKDAT& CLOCK) {
    CLOCK.FLAGS ^= CLOCK_FLAG_RUNNING;
    if (CLOCK.FLAGS & CLOCK_FLAG_RUNNING) {
        IO_CLOCK_START(CLOCK, (CLOCK.FLAGS & CLOCK_FLAG_FORWARD) ? 1 : 0);
    } else {
        CLOCK.VALUE = CLOCK.CURR;
        CLOCK.LAPSE = 0.0;
    }
}

void IO_CLOCK_INC(CLOCKDAT& CLOCK, double h, double m, double s) { CLOCK.VALUE += 3600.0 * h + 60.0 * m + s; }

void IO_CLOCK_UPDATE(CLOCKDAT& CLOCK) {
    CLOCK.REAL = platform_clock_seconds();
    if (CLOCK.FLAGS & CLOCK_FLAG_RUNNING) {
        double sign = (CLOCK.FLAGS & CLOCK_FLAG_FORWARD) ? 1.0 : -1.0;
        CLOCK.LAPSE = (CLOCK.REAL - CLOCK.EPOCH) * sign;
    }
    CLOCK.CURR = CLOCK.LAPSE + CLOCK.VALUE;
    CLOCK.FLAGS &= ~CLOCK_FLAG_ALARM;
    if ((CLOCK.START > CLOCK.ALARM && CLOCK.CURR <= CLOCK.ALARM) ||
        (CLOCK.START < CLOCK.ALARM && CLOCK.CURR >= CLOCK.ALARM)) {
        CLOCK.FLAGS |= CLOCK_FLAG_ALARM;
        IO_CLOCK_SET(CLOCK, 0, 0, CLOCK.ALARM);
    }
}

int32_t IO_CLOCK_ALARMED(const CLOCKDAT& CLOCK) { return (CLOCK.FLAGS & CLOCK_FLAG_ALARM) ? 1 : 0; }

std::string CLOCK_STATE(const CLOCKDAT& CLOCK) {
    if (!(CLOCK.FLAGS & CLOCK_FLAG_RUNNING)) return "Paused";
    return (CLOCK.FLAGS & CLOCK_FLAG_FORWARD) ? "Count Forward" : "Count Backward";
}

namespace {

std::string two_digits(long long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", v);
    std::string s = buf;
    if (s.size() < 2) s.insert(s.begin(), '0');
    return s;
}

}  // namespace

std::string IO_TIME_HMS(double SECONDS) {
    double t = std::isnan(SECONDS) ? 0.0 : SECONDS;
    const double limit = 9e15;
    if (t > limit) t = limit;
    if (t < -limit) t = -limit;
    const bool negative = t < 0.0;
    // Whole milliseconds of the magnitude; the tiny allowance absorbs binary representation
    // error so that 3723.123 shows .123 and not .122.
    const long long total = static_cast<long long>(std::floor(std::fabs(t) * 1000.0 + 1e-6));
    const long long sign = negative ? -1 : 1;
    long long hours = total / 3600000;
    long long minutes = (total / 60000) % 60;
    long long seconds = (total / 1000) % 60;
    long long ms = total % 1000;
    char msbuf[8];
    std::snprintf(msbuf, sizeof msbuf, "%03lld", ms);
    return two_digits(sign * hours) + ":" + two_digits(sign * minutes) + ":" + two_digits(sign * seconds) + "." + msbuf;
}
