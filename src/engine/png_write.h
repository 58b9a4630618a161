// Small deterministic PNG writer: 8-bit RGB or RGBA images, one IDAT, no ancillary chunks.
// Used for screenshots and generated data; the same pixels always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes width x height pixels (channels 3 = RGB, 4 = RGBA, rows top first) as a complete PNG
// file in memory. Returns an empty vector for a non-positive size, other channel counts, a null
// pixel pointer or an image too large to encode.
std::vector<uint8_t> png_encode(int width, int height, int channels, const uint8_t* pixels);

// Encodes as png_encode and replaces the file through file_replace (platform/file_io.h).
// Returns false (any existing file untouched, *why set when given) when encoding or writing
// fails or the destination is refused.
bool png_write_file(const std::string& path, int width, int height, int channels, const uint8_t* pixels,
                    std::string* why = nullptr);
