// Damaged PNG files must never crash, hang or touch memory outside the decoder's buffers:
// truncated, bit-flipped (with and without repaired CRCs) and chunk-shuffled variants of the
// conformance images, plus crafted headers that claim huge sizes. This suite also runs under
// AddressSanitizer and UndefinedBehaviorSanitizer.
#include "engine/png.h"
#include "png/png_craft.h"
#include "support/files.h"
#include "support/shared_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

struct RawChunk {
    size_t at, length;  // whole chunk: length field to CRC inclusive
};

// Splits a well-formed file into its chunks (stops at the first one that does not fit).
std::vector<RawChunk> split_chunks(const std::vector<uint8_t>& f) {
    std::vector<RawChunk> out;
    size_t pos = 8;
    while (pos + 12 <= f.size()) {
        size_t len = (size_t(f[pos]) << 24) | (size_t(f[pos + 1]) << 16) | (size_t(f[pos + 2]) << 8) | f[pos + 3];
        if (len > f.size() - pos - 12) break;
        out.push_back({pos, len + 12});
        pos += len + 12;
    }
    return out;
}

std::vector<uint8_t> join_chunks(const std::vector<uint8_t>& f, const std::vector<RawChunk>& chunks) {
    std::vector<uint8_t> out(f.begin(), f.begin() + 8);
    for (const RawChunk& c : chunks) out.insert(out.end(), f.begin() + c.at, f.begin() + c.at + c.length);
    return out;
}

// Recomputes every chunk's CRC so that damage inside chunk data reaches the deeper stages.
void repair_crcs(std::vector<uint8_t>& f) {
    for (const RawChunk& c : split_chunks(f)) {
        uint32_t crc = static_cast<uint32_t>(crc32(0, f.data() + c.at + 4, static_cast<uInt>(c.length - 8)));
        for (int i = 0; i < 4; ++i) f[c.at + c.length - 4 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    }
}

// Decodes and, when accepted, touches every output byte so a short buffer would be noticed.
int decode_and_touch(const std::vector<uint8_t>& f) {
    PngImage img = png_load_memory(f.data(), f.size());
    if (!img) return 0;
    unsigned sum = 0;
    const size_t n = size_t(img.width) * img.height * 4;
    for (size_t i = 0; i < n; ++i) sum += img.pixels[i];
    return 1 + static_cast<int>(sum & 1);
}

std::vector<std::vector<uint8_t>> suite_images() {
    std::vector<std::vector<uint8_t>> files;
    const std::string dir = shared_subdir("pngsuite");
    for (const std::string& n : files_with_suffix(dir, ".png")) files.push_back(read_whole_file(dir + "/" + n));
    return files;
}

}  // namespace

TEST(PngRobust, TruncatedSuiteImagesAreRefused) {
    auto files = suite_images();
    if (files.empty()) GTEST_SKIP() << "PNG suite not found (set KV_SHARED_DIR)";
    for (const auto& f : files) {
        for (size_t cut = 0; cut < f.size(); cut += 1 + f.size() / 23) {
            std::vector<uint8_t> t(f.begin(), f.begin() + cut);
            EXPECT_FALSE(png_load_memory(t.data(), t.size())) << "cut at " << cut;
        }
        std::vector<uint8_t> t(f.begin(), f.end() - 1);
        EXPECT_FALSE(png_load_memory(t.data(), t.size()));
    }
}

TEST(PngRobust, BitFlippedSuiteImagesDecodeSafely) {
    auto files = suite_images();
    if (files.empty()) GTEST_SKIP() << "PNG suite not found (set KV_SHARED_DIR)";
    std::mt19937 rng(12345);
    int accepted = 0, runs = 0;
    for (const auto& f : files) {
        for (int k = 0; k < 40; ++k) {
            auto v = f;
            const int flips = 1 + static_cast<int>(rng() % 4);
            for (int i = 0; i < flips; ++i) {
                size_t at = 8 + rng() % (v.size() - 8);
                v[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
            }
            if (k % 2 == 1) repair_crcs(v);
            accepted += decode_and_touch(v) > 0;
            ++runs;
        }
    }
    // Flips that only reach ancillary chunks or image bytes still decode; others are refused.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, runs);
}

TEST(PngRobust, ShuffledDroppedAndDuplicatedChunks) {
    auto files = suite_images();
    if (files.empty()) GTEST_SKIP() << "PNG suite not found (set KV_SHARED_DIR)";
    std::mt19937 rng(777);
    for (const auto& f : files) {
        auto chunks = split_chunks(f);
        if (chunks.size() < 3) continue;
        for (int k = 0; k < 12; ++k) {
            auto c = chunks;
            switch (k % 3) {
            case 0: std::swap(c[rng() % c.size()], c[rng() % c.size()]); break;
            case 1: c.erase(c.begin() + static_cast<long>(rng() % c.size())); break;
            default: c.insert(c.begin() + static_cast<long>(rng() % c.size()), c[rng() % c.size()]); break;
            }
            decode_and_touch(join_chunks(f, c));
        }
        // IEND moved to the front: never accepted.
        auto c = chunks;
        std::rotate(c.begin(), c.end() - 1, c.end());
        EXPECT_FALSE(png_load_memory(join_chunks(f, c).data(), join_chunks(f, c).size()));
    }
}

TEST(PngRobust, CraftedHostileHeaders) {
    // Sizes whose products overflow 32 and 64 bits, with and without interlacing, each given a
    // small valid zlib stream of zero bytes.
    const uint32_t sizes[][2] = {{0xFFFFFFFFu, 1}, {1, 0xFFFFFFFFu}, {0x80000000u, 0x80000000u}, {65536, 65536}, {3, 0x40000000u}};
    for (auto& s : sizes) {
        for (uint8_t interlace : {0, 1}) {
            for (uint8_t color : {0, 2, 3, 6}) {
                uint8_t depth = color == 3 ? 1 : 16;
                auto f = craft_simple(craft_ihdr(s[0], s[1], depth, color, interlace), std::vector<uint8_t>(4096, 0),
                                      {{"PLTE", {1, 2, 3}}});
                EXPECT_FALSE(png_load_memory(f.data(), f.size()));
            }
        }
    }
    // Image data that inflate to more than the image needs, and far more.
    EXPECT_FALSE(png_load_memory(craft_simple(craft_ihdr(1, 1, 8, 0), std::vector<uint8_t>(100000, 0)).data(),
                                 craft_simple(craft_ihdr(1, 1, 8, 0), std::vector<uint8_t>(100000, 0)).size()));
    // A stream cut short inside the IDAT: the chunk is valid but the zlib data end early.
    auto z = craft_deflate(std::vector<uint8_t>(2 * 65, 0));
    z.resize(z.size() / 2);
    auto f = craft_png({{"IHDR", craft_ihdr(64, 2, 8, 0)}, {"IDAT", z}, {"IEND", {}}});
    EXPECT_FALSE(png_load_memory(f.data(), f.size()));
    // Every filter byte value on every row of a 3 x 3 RGB image: only 0-4 are accepted.
    for (int filter = 0; filter < 256; filter += 1) {
        std::vector<uint8_t> raw;
        for (int r = 0; r < 3; ++r) {
            raw.push_back(static_cast<uint8_t>(filter));
            for (int i = 0; i < 9; ++i) raw.push_back(static_cast<uint8_t>(i * 37 + r));
        }
        auto img = craft_simple(craft_ihdr(3, 3, 8, 2), raw);
        bool ok = png_load_memory(img.data(), img.size()).pixels != nullptr;
        EXPECT_EQ(ok, filter <= 4) << filter;
    }
}
