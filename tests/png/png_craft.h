// Builds small PNG files chunk by chunk for tests: any header values, any scanline bytes,
// any extra or missing chunks, with correct CRCs unless a test breaks them on purpose.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct CraftChunk {
    std::string type;
    std::vector<uint8_t> data;
};

inline void craft_put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

inline std::vector<uint8_t> craft_ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t color, uint8_t interlace = 0,
                                       uint8_t compression = 0, uint8_t filter = 0) {
    std::vector<uint8_t> d;
    craft_put32(d, w);
    craft_put32(d, h);
    d.insert(d.end(), {depth, color, compression, filter, interlace});
    return d;
}

inline std::vector<uint8_t> craft_deflate(const std::vector<uint8_t>& raw) {
    uLongf n = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> out(n);
    compress2(out.data(), &n, raw.data(), static_cast<uLong>(raw.size()), 9);
    out.resize(n);
    return out;
}

inline std::vector<uint8_t> craft_png(const std::vector<CraftChunk>& chunks) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (const CraftChunk& c : chunks) {
        craft_put32(out, static_cast<uint32_t>(c.data.size()));
        size_t at = out.size();
        out.insert(out.end(), c.type.begin(), c.type.end());
        out.insert(out.end(), c.data.begin(), c.data.end());
        craft_put32(out, static_cast<uint32_t>(crc32(0, out.data() + at, static_cast<uInt>(4 + c.data.size()))));
    }
    return out;
}

// The usual layout: IHDR, optional extra chunks (PLTE, tRNS...), one IDAT of the given
// filtered scanlines, IEND.
inline std::vector<uint8_t> craft_simple(const std::vector<uint8_t>& ihdr, const std::vector<uint8_t>& scanlines,
                                         const std::vector<CraftChunk>& extra = {}) {
    std::vector<CraftChunk> chunks = {{"IHDR", ihdr}};
    chunks.insert(chunks.end(), extra.begin(), extra.end());
    chunks.push_back({"IDAT", craft_deflate(scanlines)});
    chunks.push_back({"IEND", {}});
    return craft_png(chunks);
}
