// Reference decoding through libpng for the PNG tests: every image expanded to 8-bit RGBA,
// rows top first (palette and low-bit grey expanded, tRNS to alpha, 16-bit samples cut to
// their high byte, grey widened to RGB, alpha 255 where absent).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PeerImage {
    bool ok = false;
    uint32_t width = 0, height = 0;
    int color_type = 0, bit_depth = 0, interlace = 0;
    std::vector<uint8_t> rgba;  // top row first
};

PeerImage peer_decode(const std::vector<uint8_t>& file);
std::vector<uint8_t> read_whole_file(const std::string& path);
