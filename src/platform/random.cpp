// One PCG32 generator (small, fast, good statistical quality) behind the random seam.
#include "platform/random.h"

#include <chrono>

namespace {

constexpr uint64_t kMultiplier = 6364136223846793005ull;
uint64_t g_state = 0;
uint64_t g_inc = 0;
bool g_seeded = false;

uint32_t next_u32() {
    uint64_t old = g_state;
    g_state = old * kMultiplier + g_inc;
    uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

}  // namespace

void platform_random_seed(uint32_t seed) {
    g_state = 0;
    g_inc = (0xda3e39cb94b95bdbull << 1u) | 1u;
    next_u32();
    g_state += 0x853c49e6748fea9bull ^ seed;
    next_u32();
    g_seeded = true;
}

void platform_random_seed_from_clock() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    uint64_t ns = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    platform_random_seed(static_cast<uint32_t>(ns ^ (ns >> 32)));
}

uint32_t platform_random_u32() {
    if (!g_seeded) platform_random_seed_from_clock();
    return next_u32();
}

float platform_random() { return static_cast<float>(platform_random_u32() >> 8) * (1.0f / 16777216.0f); }

void platform_random_skip(uint64_t count) {
    if (!g_seeded) platform_random_seed_from_clock();
    // The generator's step is state := state * m + inc; `count` steps at once are
    // state * M + C, with M and C built by squaring the step (jump-ahead of a linear
    // congruential generator).
    uint64_t mult = kMultiplier, plus = g_inc, acc_mult = 1, acc_plus = 0;
    while (count > 0) {
        if (count & 1u) {
            acc_mult *= mult;
            acc_plus = acc_plus * mult + plus;
        }
        plus = (mult + 1) * plus;
        mult *= mult;
        count >>= 1u;
    }
    g_state = acc_mult * g_state + acc_plus;
}
