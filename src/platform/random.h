// The game's random generator seam: one process-wide generator, deterministic for a seed (a
// scripted run passes a fixed seed), seeded from the clock on first use otherwise.
#pragma once

#include <cstdint>

// Restarts the sequence; the same seed always gives the same numbers.
void platform_random_seed(uint32_t seed);
// Seeds from the clock (what the game does when no seed is given).
void platform_random_seed_from_clock();
// Next number in [0, 1): 24 random bits, so every value is exact as a single.
float platform_random();
// Next raw 32-bit number of the same sequence.
uint32_t platform_random_u32();
// Moves the sequence on by `count` numbers at once, as `count` draws whose values are not
// needed would (a few dozen operations whatever the count).
void platform_random_skip(uint64_t count);
