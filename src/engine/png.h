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

// The largest side an image may have unless the caller names another bound (a game texture
// uses the OpenGL texture size limit): a small file may describe a huge image, and decoding
// must not cost gigabytes for it.
constexpr uint32_t PNG_MAX_SIDE = 8192;
// The largest PNG file read.
constexpr size_t PNG_FILE_MAX_BYTES = size_t{64} << 20;
// The refusal reason of an image wider or taller than the bound (one object: compare by
// pointer).
extern const char PNG_TOO_LARGE[];

// Decodes a whole PNG file held in memory. A null buffer, a size below 49 bytes, a side above
// max_side or any violation of the decoder's rules gives an image without pixels.
PngImage png_load_memory(const uint8_t* buffer, size_t size, uint32_t max_side = PNG_MAX_SIDE);

// Reads the whole file (a regular file of at most PNG_FILE_MAX_BYTES) and decodes it; an empty,
// unreadable, oversized or non-regular file is refused.
PngImage png_load(const std::string& filename, uint32_t max_side = PNG_MAX_SIDE);

// Reads the width and height from the header of a PNG file without decoding it. On a missing
// file, a wrong signature or a short read it returns false and leaves both outputs unchanged.
bool png_probe_size(const std::string& filename, uint32_t& width, uint32_t& height);

// Flips rows in place (bottom-up <-> top-down) for width x height RGBA pixels.
void png_flip_rows(uint8_t* rgba, uint32_t width, uint32_t height);
