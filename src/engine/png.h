// PNG decoding for the game's images: a complete reader of the PNG core (all colour types and
// bit depths, the five filter types, Adam7 interlacing, PLTE, tRNS, CRC checks) that turns a
// file into 8-bit RGBA pixels stored bottom-up, as OpenGL expects them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// One decoded image. `pixels` holds width x height RGBA quadruples, the last image row first;
// it is null when the image was refused, and then `reason` says why in a few words.
struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bit_depth = 0;
    uint8_t color_type = 0;
    uint8_t interlace = 0;
    std::unique_ptr<uint8_t[]> pixels;
    const char* reason = "not decoded";

    explicit operator bool() const { return pixels != nullptr; }
};

// Decodes a whole PNG file held in memory. A null buffer, a size below 49 bytes or any
// violation of the decoder's rules gives an image without pixels.
PngImage png_load_memory(const uint8_t* buffer, size_t size);

// Reads the whole file and decodes it; an empty or unreadable file is refused.
PngImage png_load(const std::string& filename);

// Reads the width and height from the header of a PNG file without decoding it. On a missing
// file, a wrong signature or a short read it returns false and leaves both outputs unchanged.
bool png_probe_size(const std::string& filename, uint32_t& width, uint32_t& height);

// Flips rows in place (bottom-up <-> top-down) for width x height RGBA pixels.
void png_flip_rows(uint8_t* rgba, uint32_t width, uint32_t height);
