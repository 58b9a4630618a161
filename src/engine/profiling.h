// Profiling arithmetic and the console readouts: the exponential average of a timed stage in
// units of 0.1 ms, its maximum, the readout lines in 14-column print zones, and the console
// placement of the block (row 1 holds the live-tuning values, the timers follow). Readouts go
// to standard output only when it is a terminal, so redirected logs stay readable.
#pragma once

#include <cstdint>
#include <string>

// The profiling clock: the clock's seconds x 10000, rounded to nearest, halves to even.
int32_t profiling_now();

// One stage sample: the average moves 5 % of the way towards the sample (now - start) and
// `timer` shows it rounded to nearest (halves to even); the maximum follows the timer upwards.
// The average itself is kept unrounded in `exact`: rounding the stored integer every frame
// would stall a steady stage at about half its length (a 2 ms stage would read 10, not 20).
// When `timer` was changed from outside, the average restarts from it.
void profiling_update(int32_t& timer, float& exact, int32_t& maximum, int32_t start, int32_t now);

// Pads text with blanks up to the next 14-column print zone.
std::string profiling_zone(const std::string& text);

// The readout of one timer slot: slot, time and maximum ("as written to data files"), the
// first two padded to print zones, then four blanks and CR LF.
std::string profiling_timer_line(int32_t slot, int32_t timer, int32_t maximum);

// True when the readouts are shown (standard output is a terminal). Tests may force it.
bool console_readouts_enabled();
void console_readouts_force(int state);  // 1 on, 0 off, -1 decide by the terminal

// Moves the console cursor to row 1, column 1 (only when readouts are enabled).
void console_home();
// Writes a readout text (only when readouts are enabled).
void console_readout(const std::string& text);
