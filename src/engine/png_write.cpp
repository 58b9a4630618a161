// Small deterministic PNG writer: filter type 0 on every row (the pixels are stored as given),
// one zlib stream at a fixed compression level, CRCs from zlib.
#include "engine/png_write.h"

#include <zlib.h>

#include "platform/file_io.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void put_chunk(std::vector<uint8_t>& out, const char type[4], const uint8_t* data, size_t length) {
    put_u32(out, static_cast<uint32_t>(length));
    size_t type_at = out.size();
    out.insert(out.end(), type, type + 4);
    if (length > 0) out.insert(out.end(), data, data + length);
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + type_at, static_cast<uInt>(4 + length));
    put_u32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> png_encode(int width, int height, int channels, const uint8_t* pixels) {
    std::vector<uint8_t> out;
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) || pixels == nullptr) return out;
    const uint64_t row_bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(channels);
    const uint64_t raw_size = (row_bytes + 1) * static_cast<uint64_t>(height);
    // One IDAT chunk and zlib's 32-bit length types bound what we encode.
    if (raw_size > (std::numeric_limits<uint32_t>::max() / 2)) return out;

    std::vector<uint8_t> raw(static_cast<size_t>(raw_size));
    for (int y = 0; y < height; ++y) {
        uint8_t* dst = raw.data() + static_cast<size_t>(y) * (row_bytes + 1);
        dst[0] = 0;  // filter type none
        const uint8_t* src = pixels + static_cast<size_t>(y) * row_bytes;
        std::copy(src, src + row_bytes, dst + 1);
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return out;
    if (packed_size > 0x7fffffffUL) return out;

    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    out.reserve(8 + 25 + 12 + packed_size + 12);
    out.insert(out.end(), signature, signature + 8);
    uint8_t ihdr[13];
    const uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    for (int i = 0; i < 4; ++i) {
        ihdr[i] = static_cast<uint8_t>(w >> (24 - 8 * i));
        ihdr[4 + i] = static_cast<uint8_t>(h >> (24 - 8 * i));
    }
    ihdr[8] = 8;                                 // bit depth
    ihdr[9] = channels == 4 ? 6 : 2;             // colour type RGBA or RGB
    ihdr[10] = 0;                                // deflate
    ihdr[11] = 0;                                // adaptive filtering
    ihdr[12] = 0;                                // not interlaced
    put_chunk(out, "IHDR", ihdr, sizeof ihdr);
    put_chunk(out, "IDAT", packed.data(), packed_size);
    put_chunk(out, "IEND", nullptr, 0);
    return out;
}

bool png_write_file(const std::string& path, int width, int height, int channels, const uint8_t* pixels,
                    std::string* why) {
    std::string reason = "the image cannot be encoded";
    std::vector<uint8_t> bytes = png_encode(width, height, channels, pixels);
    bool ok = !bytes.empty() && file_replace(path, bytes.data(), bytes.size(), reason);
    if (why != nullptr) *why = ok ? std::string() : reason;
    return ok;
}
