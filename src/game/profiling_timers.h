// The 100 profiling timer slots of KVGLOBALS: starting and updating a timed stage, the
// free-running stamp, and printing a slot to the console readout block.
#pragma once

#include <cstdint>

inline constexpr int32_t KV_TIMER_SLOTS = 100;

// Slot numbers outside 0-99 are ignored.
void KV_CLEARFTIMER();
void KV_STARTTIMER(int32_t N);
void KV_UPDTIMER(int32_t N);
void KV_UPDTIMER_NOPRINT(int32_t N);
void KV_PRINTTIMER(int32_t N);

// The update of slot N for a stage that ended at `now` (0.1 ms units).
void kv_update_timer_at(int32_t N, int32_t now);
