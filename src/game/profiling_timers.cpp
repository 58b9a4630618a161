// The profiling timer slots (see profiling_timers.h).
#include "game/profiling_timers.h"

#include "engine/profiling.h"
#include "game/kv_globals.h"

namespace {
bool valid(int32_t n) { return n >= 0 && n < KV_TIMER_SLOTS; }
// The unrounded averages behind FUNCTION_TIMER.
float g_exact[KV_TIMER_SLOTS] = {};
}  // namespace

void KV_CLEARFTIMER() { KVGLOBALS.FTIMER = profiling_now(); }

void KV_STARTTIMER(int32_t N) {
    if (valid(N)) KVGLOBALS.FUNCTION_TIMER_START[N] = profiling_now();
}

void kv_update_timer_at(int32_t N, int32_t now) {
    if (!valid(N)) return;
    profiling_update(KVGLOBALS.FUNCTION_TIMER[N], g_exact[N], KVGLOBALS.FUNCTION_TIMER_MAX[N],
                     KVGLOBALS.FUNCTION_TIMER_START[N], now);
}

void KV_UPDTIMER_NOPRINT(int32_t N) { kv_update_timer_at(N, profiling_now()); }

void KV_PRINTTIMER(int32_t N) {
    if (!valid(N) || !console_readouts_enabled()) return;
    console_readout(profiling_timer_line(N, KVGLOBALS.FUNCTION_TIMER[N], KVGLOBALS.FUNCTION_TIMER_MAX[N]));
}

void KV_UPDTIMER(int32_t N) {
    KV_UPDTIMER_NOPRINT(N);
    KV_PRINTTIMER(N);
}
