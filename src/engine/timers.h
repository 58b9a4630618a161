// Per-frame time objects: TIMER_CLASS (a clock that can follow a parent timer and raise an
// alarm), FPS_CLASS (frame-rate meter built on a timer) and TARGET_CLASS (a value eased towards
// a target once per frame). Each advances at most once per value of the frame counter
// IOCYCLECOUNT; further reads in the same frame return the stored result. "Now" is the platform
// clock in seconds (or the parent timer's reading), so tests drive them with virtual time.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>

// TIMER_CLASS::FLAGS bits (0-based bit numbers as used with IO_BIT).
constexpr uint32_t TIMER_FLAG_RUNNING = 1u << 1;       // counting
constexpr uint32_t TIMER_FLAG_FORWARD = 1u << 2;       // 1 forward, 0 backward
constexpr uint32_t TIMER_FLAG_PARENT_FORWARD = 1u << 3;  // last seen direction of the parent
constexpr uint32_t TIMER_FLAG_ALARM = 1u << 4;         // the alarm fired on this update
constexpr uint32_t TIMER_FLAG_ALARM_LATCHED = 1u << 5;  // no further alarm checks

class TIMER_CLASS {
public:
    uint64_t _SYNC = 0;
    double _DELTA = 0.0;
    TIMER_CLASS* PARENT = nullptr;
    uint32_t FLAGS = 0;
    double REAL = 0.0;
    double EPOCH = 0.0;
    double LAPSE = 0.0;
    double START = 0.0;
    double ALARM = 0.0;
    double VALUE = 0.0;
    double CURR = 0.0;

    // Starts counting from the current reading; DIRECTION 1 forward, 0 backward.
    void COUNT(int32_t DIRECTION);
    // Stops, keeping the current reading.
    void STOP();
    // Toggles between stopped and counting in the same direction.
    void PAUSE();
    // 1 while counting, 0 when stopped.
    int32_t ON() const;
    // Current reading (updates at most once per frame).
    double TIME();
    // Seconds between the last two frames' clock readings.
    double DELTA();
    // Adds 3600*h + 60*m + s to VALUE (WHICH 1), START (WHICH 3) or ALARM (WHICH 4).
    void INC(double h, double m, double s, int32_t WHICH);
    // MODE 1: reading := t; 2: reading := START and re-arm the alarm; 3: START := t; 4: ALARM := t
    // and re-arm; 5: re-base on now; any other: reading := START := t. A non-null PARENT replaces
    // the parent.
    void SET(double h, double m, double s, TIMER_CLASS* parent, int32_t MODE);
    void SET(double h, double m, double s, int32_t MODE);
    void SET(TIMER_CLASS* parent);
    // Advances the reading; the clock is read again only on a new frame (or when FORCE != 0).
    double UPDATE(int32_t FORCE);

private:
    double now();
};

class FPS_CLASS {
public:
    uint64_t _SYNC = 0;
    TIMER_CLASS _TIMER;
    float _FPS = 0.0f;
    float _SAMPLE = 0.0f;
    int32_t _PROCESS = 0;
    int32_t _FRAMES = 0;
    float _SECS = 0.0f;
    uint32_t NFRAMES = 60;
    float NSECS = 1.0f;
    int32_t MODE = 0;  // 0 time mode, 1 frame mode

    // Starts the inner timer counting forward.
    FPS_CLASS();
    void ONFRAMES(uint32_t N);
    void ONFRAMES();
    void ONSECS(float S);
    void ONSECS();
    // Counts this frame; closes a sample when it is longer than NSECS seconds (time mode) or
    // NFRAMES frames (frame mode).
    void UPDATE();
    // UPDATE(), then the last measured frames per second (0 until a sample has closed).
    float FPS();
};

class TARGET_CLASS {
public:
    uint64_t _SYNC = 0;
    float _CURR = 0.0f;
    float _START = 0.0f;
    float _TARGET = 0.0f;
    float _DELTA = 0.0f;
    float THRESHOLD = 1.0f;
    int32_t STEPS = 128;
    int32_t MODE = 0;      // 0 proportional, 1 linear
    int32_t ONTARGET = 0;  // 0 stay, 1 jump back to the start, 2 swap start and target

    TARGET_CLASS(float V = 0.0f);
    void RANGE(float A, float B, int32_t N, float T);
    // A new target restarts the approach from the current value; the same target changes nothing.
    void SET_TARGET(float V);
    float START() const;
    void START(float V);
    float TARGET() const;
    // UPDATE(0): the current value, advanced at most once per frame.
    float CURR();
    operator float();
    // (current - start) / (target - start), 0 when target equals start.
    float NEAR_TARGET() const;
    // Restarts the approach from V towards the kept target.
    TARGET_CLASS& operator=(float V);
    // The decimal text of the current value, without advancing it.
    explicit operator std::string() const;
    float UPDATE(int32_t FORCE);
};

// Arithmetic with a TARGET_CLASS on either side: the object reads as CURR() (advancing it at
// most once per frame) and the result is a single. No operator changes the object otherwise.
template <class N>
concept target_number = std::is_arithmetic_v<N> && !std::is_same_v<N, bool>;

float operator+(TARGET_CLASS& a, TARGET_CLASS& b);
float operator-(TARGET_CLASS& a, TARGET_CLASS& b);
float operator*(TARGET_CLASS& a, TARGET_CLASS& b);
float operator/(TARGET_CLASS& a, TARGET_CLASS& b);

template <target_number N>
float operator+(TARGET_CLASS& a, N b) {
    return static_cast<float>(static_cast<double>(a.CURR()) + static_cast<double>(b));
}
template <target_number N>
float operator+(N a, TARGET_CLASS& b) {
    return static_cast<float>(static_cast<double>(a) + static_cast<double>(b.CURR()));
}
template <target_number N>
float operator-(TARGET_CLASS& a, N b) {
    return static_cast<float>(static_cast<double>(a.CURR()) - static_cast<double>(b));
}
template <target_number N>
float operator-(N a, TARGET_CLASS& b) {
    return static_cast<float>(static_cast<double>(a) - static_cast<double>(b.CURR()));
}
template <target_number N>
float operator*(TARGET_CLASS& a, N b) {
    return static_cast<float>(static_cast<double>(a.CURR()) * static_cast<double>(b));
}
template <target_number N>
float operator*(N a, TARGET_CLASS& b) {
    return static_cast<float>(static_cast<double>(a) * static_cast<double>(b.CURR()));
}
template <target_number N>
float operator/(TARGET_CLASS& a, N b) {
    return static_cast<float>(static_cast<double>(a.CURR()) / static_cast<double>(b));
}
template <target_number N>
float operator/(N a, TARGET_CLASS& b) {
    return static_cast<float>(static_cast<double>(a) / static_cast<double>(b.CURR()));
}
