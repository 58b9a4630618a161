// The game's clock seam: every reading of time and every frame-pacing sleep goes through here,
// so a run can use the real clock (live) or a virtual one that advances a fixed step per frame
// (scripted runs, tests, benchmarks) and is then deterministic.
//
// Live (the default): seconds since the process started from a monotonic clock, or from the
// source installed with platform_clock_set_live_source (the window layer installs the windowing
// library's clock); sleeping really sleeps.
// Fixed step: virtual time starts at 0 and moves only when the frame loop calls
// platform_clock_advance_frame (by the step) or a test sets it; sleeping returns at once.
//
// Readings may be taken from any thread; switching backends and advancing belong to the main
// thread. Worker threads that must really wait should not use platform_sleep_ms.
#pragma once

#include <cstdint>

// Seconds of the current backend.
double platform_clock_seconds();
// Game time in milliseconds: seconds x 1000 rounded to the nearest integer, as a 32-bit stamp
// (wraps after about 24.8 days of running).
int32_t platform_clock_ms();
// Sleeps ms milliseconds (live); does nothing with the virtual clock or for ms <= 0.
void platform_sleep_ms(int32_t ms);

// Live backend with an optional clock source (seconds); nullptr means the built-in monotonic
// clock. The source is used only while the live backend is active.
void platform_clock_use_live();
void platform_clock_set_live_source(double (*seconds)());

// Fixed-step virtual backend: time restarts at 0 and each platform_clock_advance_frame moves it
// by ms milliseconds (ms < 0 counts as 0).
void platform_clock_use_fixed_step(int32_t ms);
// Called once per frame by the frame loop; advances the virtual clock by the step (nothing in
// live mode).
void platform_clock_advance_frame();
bool platform_clock_is_virtual();
int32_t platform_clock_step_ms();

// For unit tests: switch to the virtual clock (keeping the current step, 0 if none) and set or
// move its time directly.
void platform_clock_set_virtual_seconds(double seconds);
void platform_clock_advance_seconds(double seconds);
