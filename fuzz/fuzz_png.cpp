// libFuzzer target: the PNG decoder on arbitrary bytes, once as given and once with every
// chunk CRC recomputed (so that mutations reach the header, inflation and filter stages
// instead of stopping at the checksum). Accepted images must have every output byte
// readable; nothing may crash, hang or touch memory outside the decoder's buffers.
#include "engine/png.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void decode(const uint8_t* data, size_t size) {
    PngImage img = png_load_memory(data, size);
    if (!img) return;
    const size_t n = static_cast<size_t>(img.width) * img.height * 4;
    volatile uint8_t sink = 0;
    for (size_t i = 0; i < n; i += 61) sink = sink ^ img.pixels[i];
    if (n > 0) sink = sink ^ img.pixels[n - 1];
    (void)sink;
}

// Walks the chunks as far as they fit and writes the right CRC into each.
std::vector<uint8_t> with_repaired_crcs(const uint8_t* data, size_t size) {
    std::vector<uint8_t> f(data, data + size);
    size_t pos = 8;
    while (pos + 12 <= f.size()) {
        const size_t len = (size_t(f[pos]) << 24) | (size_t(f[pos + 1]) << 16) | (size_t(f[pos + 2]) << 8) | f[pos + 3];
        if (len > f.size() - pos - 12) break;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, f.data() + pos + 4, static_cast<uInt>(len + 4)));
        for (int i = 0; i < 4; ++i) f[pos + 8 + len + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        pos += len + 12;
    }
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    decode(data, size);
    if (size >= 8) {
        const std::vector<uint8_t> repaired = with_repaired_crcs(data, size);
        decode(repaired.data(), repaired.size());
    }
    return 0;
}
