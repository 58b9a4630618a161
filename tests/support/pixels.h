// Pixel-exact comparison of two pictures held bottom row first, as OpenGL reads them back and
// the PNG decoder gives them: how many pixels differ, with the first of them named for the
// failure message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace kvtest {

struct PixelDifference {
    long pixels = 0;
    std::string first;
};

// `count` pixels of `channels` bytes each, `width` pixels a row and `height` rows.
inline PixelDifference compare_pixels(const uint8_t* a, const uint8_t* b, size_t count, int channels, int width, int height) {
    PixelDifference d;
    const auto colour = [channels](const uint8_t* p) {
        std::string s;
        for (int c = 0; c < channels; ++c) {
            if (c > 0) s += ',';
            s += std::to_string(p[c]);
        }
        return s;
    };
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* pa = a + i * channels;
        const uint8_t* pb = b + i * channels;
        if (std::memcmp(pa, pb, channels) == 0) continue;
        if (d.pixels++ == 0)
            d.first = "first at x=" + std::to_string(i % width) + " y=" + std::to_string(height - 1 - static_cast<long>(i / width)) +
                      ": " + colour(pa) + " against " + colour(pb);
    }
    return d;
}

}  // namespace kvtest
