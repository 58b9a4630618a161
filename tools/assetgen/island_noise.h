// Noise for the island generator: integer hashing into a lattice, smoothed value noise, all
// with + - * / and floor only, so the same source gives the same heights on every machine.
#pragma once

#include <cmath>
#include <cstdint>

#include "hash_mix.h"

namespace island {

inline uint32_t hash3(uint32_t a, uint32_t b, uint32_t c) {
    return hash_avalanche(a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du);
}

// Lattice value in [-1, 1].
inline double lattice(int ix, int iz, uint32_t seed) {
    return static_cast<double>(hash3(static_cast<uint32_t>(ix), static_cast<uint32_t>(iz), seed) & 0xFFFFu) / 32767.5 - 1.0;
}

inline double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

inline double clamp01(double t) { return t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t); }

// Smooth value noise in [-1, 1] with features `scale` cells apart.
inline double noise(int x, int z, int scale, uint32_t seed) {
    const int ix = x / scale, iz = z / scale;
    const double fx = smooth(static_cast<double>(x - ix * scale) / scale);
    const double fz = smooth(static_cast<double>(z - iz * scale) / scale);
    const double a = lattice(ix, iz, seed), b = lattice(ix + 1, iz, seed);
    const double c = lattice(ix, iz + 1, seed), d = lattice(ix + 1, iz + 1, seed);
    const double top = a + (b - a) * fx, bottom = c + (d - c) * fx;
    return top + (bottom - top) * fz;
}

// The same noise at a point between cells (used where the sampling point is warped).
inline double noise_at(double x, double z, double scale, uint32_t seed) {
    const double gx = x / scale, gz = z / scale;
    const double flx = std::floor(gx), flz = std::floor(gz);
    const int ix = static_cast<int>(flx), iz = static_cast<int>(flz);
    const double fx = smooth(gx - flx), fz = smooth(gz - flz);
    const double a = lattice(ix, iz, seed), b = lattice(ix + 1, iz, seed);
    const double c = lattice(ix, iz + 1, seed), d = lattice(ix + 1, iz + 1, seed);
    const double top = a + (b - a) * fx, bottom = c + (d - c) * fx;
    return top + (bottom - top) * fz;
}

}  // namespace island
