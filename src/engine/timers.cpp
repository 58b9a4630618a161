// TIMER_CLASS, FPS_CLASS and TARGET_CLASS.
#include "engine/timers.h"

#include <cmath>

#include "engine/bits.h"
#include "engine/textfile.h"
#include "platform/clock.h"

// ---------------------------------------------------------------------------------------------
// TIMER_CLASS

double TIMER_CLASS::now() { return PARENT ? PARENT->TIME() : platform_clock_seconds(); }

void TIMER_CLASS::COUNT(int32_t DIRECTION) {
    EPOCH = now();
    VALUE = CURR;
    REAL = EPOCH;
    LAPSE = 0.0;
    FLAGS |= TIMER_FLAG_RUNNING;
    if (DIRECTION)
        FLAGS |= TIMER_FLAG_FORWARD;
    else
        FLAGS &= ~TIMER_FLAG_FORWARD;
}

void TIMER_CLASS::STOP() {
    VALUE = CURR;
    LAPSE = 0.0;
    FLAGS &= ~TIMER_FLAG_RUNNING;
}

void TIMER_CLASS::PAUSE() {
    FLAGS ^= TIMER_FLAG_RUNNING;
    if (FLAGS & TIMER_FLAG_RUNNING)
        COUNT((FLAGS & TIMER_FLAG_FORWARD) ? 1 : 0);
    else
        STOP();
}

int32_t TIMER_CLASS::ON() const { return (FLAGS & TIMER_FLAG_RUNNING) ? 1 : 0; }

double TIMER_CLASS::TIME() { return UPDATE(0); }

double TIMER_CLASS::DELTA() {
    UPDATE(0);
    return _DELTA;
}

void TIMER_CLASS::INC(double h, double m, double s, int32_t WHICH) {
    double t = 3600.0 * h + 60.0 * m + s;
    if (WHICH == 1)
        VALUE += t;
    else if (WHICH == 3)
        START += t;
    else if (WHICH == 4)
        ALARM += t;
}

void TIMER_CLASS::SET(double h, double m, double s, TIMER_CLASS* parent, int32_t MODE) {
    if (parent && parent != this) PARENT = parent;
    double t = 3600.0 * h + 60.0 * m + s;
    switch (MODE) {
        case 3:
            START = t;
            break;
        case 4:
            ALARM = t;
            FLAGS &= ~TIMER_FLAG_ALARM_LATCHED;
            break;
        case 1:
            VALUE = t;
            CURR = t;
            EPOCH = REAL = now();
            break;
        case 2:
            VALUE = START;
            CURR = VALUE;
            EPOCH = REAL = now();
            FLAGS &= ~TIMER_FLAG_ALARM_LATCHED;
            break;
        case 5:
            EPOCH = REAL = now();
            break;
        default:
            VALUE = t;
            CURR = t;
            EPOCH = REAL = now();
            START = t;
            break;
    }
}

void TIMER_CLASS::SET(double h, double m, double s, int32_t MODE) { SET(h, m, s, nullptr, MODE); }

void TIMER_CLASS::SET(TIMER_CLASS* parent) { SET(0, 0, 0, parent, 0); }

double TIMER_CLASS::UPDATE(int32_t FORCE) {
    if (_SYNC != IOCYCLECOUNT || FORCE != 0) {
        // The frame is stored before the clock is read, so a chain of parents that loops back
        // here ends at this timer's stored reading.
        _SYNC = IOCYCLECOUNT;
        double prev = REAL;
        REAL = now();
        if (prev != 0.0) _DELTA = REAL - prev;
    }
    if (FLAGS & TIMER_FLAG_RUNNING) {
        double sign = (FLAGS & TIMER_FLAG_FORWARD) ? 1.0 : -1.0;
        if (PARENT && PARENT != this) {
            const bool parent_forward = (PARENT->FLAGS & TIMER_FLAG_FORWARD) != 0;
            if (!parent_forward) sign = -sign;
            if (parent_forward != ((FLAGS & TIMER_FLAG_PARENT_FORWARD) != 0)) {
                if (parent_forward)
                    FLAGS |= TIMER_FLAG_PARENT_FORWARD;
                else
                    FLAGS &= ~TIMER_FLAG_PARENT_FORWARD;
                VALUE = CURR;
                LAPSE = 0.0;
                EPOCH = REAL = PARENT->CURR;
            }
        }
        LAPSE = (REAL - EPOCH) * sign;
    }
    CURR = LAPSE + VALUE;
    FLAGS &= ~TIMER_FLAG_ALARM;
    if (!(FLAGS & TIMER_FLAG_ALARM_LATCHED)) {
        if ((START > ALARM && CURR <= ALARM) || (START < ALARM && CURR >= ALARM))
            FLAGS |= TIMER_FLAG_ALARM | TIMER_FLAG_ALARM_LATCHED;
    }
    return CURR;
}

// ---------------------------------------------------------------------------------------------
// FPS_CLASS

FPS_CLASS::FPS_CLASS() { _TIMER.COUNT(1); }

void FPS_CLASS::ONFRAMES(uint32_t N) {
    MODE = 1;
    NFRAMES = N;
}

void FPS_CLASS::ONFRAMES() { MODE = 1; }

void FPS_CLASS::ONSECS(float S) {
    MODE = 0;
    NSECS = S;
}

void FPS_CLASS::ONSECS() { MODE = 0; }

void FPS_CLASS::UPDATE() {
    if (_SYNC == IOCYCLECOUNT) return;
    _SYNC = IOCYCLECOUNT;
    _FRAMES += 1;
    if (_SAMPLE == 0.0f) {
        _SAMPLE = static_cast<float>(_TIMER.TIME());
        return;
    }
    _SECS = static_cast<float>(_TIMER.TIME()) - _SAMPLE;
    if (MODE == 1)
        _PROCESS = static_cast<uint32_t>(_FRAMES) > NFRAMES ? 1 : 0;
    else
        _PROCESS = _SECS > NSECS ? 1 : 0;
    if (_PROCESS) {
        // A sample that took no time (a frozen clock) has no rate; keep the last one.
        if (_SECS > 0.0f) _FPS = static_cast<float>(_FRAMES) / _SECS;
        _SAMPLE = static_cast<float>(_TIMER.TIME());
        _FRAMES = 0;
    }
}

float FPS_CLASS::FPS() {
    UPDATE();
    return _FPS;
}

// ---------------------------------------------------------------------------------------------
// TARGET_CLASS

TARGET_CLASS::TARGET_CLASS(float V) : _CURR(V), _START(V), _TARGET(V) {}

void TARGET_CLASS::RANGE(float A, float B, int32_t N, float T) {
    _CURR = A;
    _START = A;
    _TARGET = B;
    STEPS = N;
    THRESHOLD = T;
}

void TARGET_CLASS::SET_TARGET(float V) {
    if (V != _TARGET) {
        _START = _CURR;
        _TARGET = V;
    }
}

float TARGET_CLASS::START() const { return _START; }

void TARGET_CLASS::START(float V) { _CURR = _START = _TARGET = V; }

float TARGET_CLASS::TARGET() const { return _TARGET; }

float TARGET_CLASS::CURR() { return UPDATE(0); }

TARGET_CLASS::operator float() { return CURR(); }

float TARGET_CLASS::NEAR_TARGET() const {
    if (_TARGET == _START) return 0.0f;
    return (_CURR - _START) / (_TARGET - _START);
}

TARGET_CLASS& TARGET_CLASS::operator=(float V) {
    _CURR = V;
    _START = V;
    return *this;
}

TARGET_CLASS::operator std::string() const {
    std::string s = text_single(_CURR);
    if (!s.empty() && s[0] == ' ') s.erase(0, 1);
    return s;
}

float TARGET_CLASS::UPDATE(int32_t FORCE) {
    if (FORCE == 0 && _SYNC == IOCYCLECOUNT) return _CURR;
    _SYNC = IOCYCLECOUNT;
    if (_CURR == _TARGET) {
        if (ONTARGET == 1)
            _CURR = _START;
        else if (ONTARGET == 2)
            SET_TARGET(_START);
    }
    // On the target nothing moves, even with a zero threshold (a linear step would run on).
    if (std::fabs(_TARGET - _CURR) < THRESHOLD || _CURR == _TARGET) {
        _DELTA = 0.0f;
        _CURR = _TARGET;
    } else {
        _DELTA = (MODE == 1) ? _TARGET - _START : _TARGET - _CURR;
        // Fewer than one step would divide by zero: reach the target at once instead.
        const float steps = STEPS > 0 ? static_cast<float>(STEPS) : 1.0f;
        const float next = _CURR + _DELTA / steps;
        // A linear step never carries the value past its target (it would run on for ever).
        const bool passed = (_TARGET - _CURR) * (_TARGET - next) < 0.0f;
        _CURR = (MODE == 1 && passed) ? _TARGET : next;
    }
    return _CURR;
}

float operator+(TARGET_CLASS& a, TARGET_CLASS& b) { return a.CURR() + b.CURR(); }
float operator-(TARGET_CLASS& a, TARGET_CLASS& b) { return a.CURR() - b.CURR(); }
float operator*(TARGET_CLASS& a, TARGET_CLASS& b) { return a.CURR() * b.CURR(); }
float operator/(TARGET_CLASS& a, TARGET_CLASS& b) { return a.CURR() / b.CURR(); }
