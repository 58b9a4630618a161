// The PNG writer: libpng must read back exactly the pixels we encoded, for RGB and RGBA, odd
// sizes included; bad arguments give no bytes; files are replaced whole.
#include "engine/png_write.h"
#include "support/libpng_peer.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {
std::vector<uint8_t> random_pixels(int w, int h, int channels, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * channels);
    for (auto& b : px) b = static_cast<uint8_t>(rng());
    return px;
}

std::vector<uint8_t> as_rgba(const std::vector<uint8_t>& px, int channels) {
    if (channels == 4) return px;
    std::vector<uint8_t> out;
    for (size_t i = 0; i < px.size(); i += 3) out.insert(out.end(), {px[i], px[i + 1], px[i + 2], 255});
    return out;
}
}  // namespace

TEST(PngWrite, LibpngReadsBackTheSamePixels) {
    const int sizes[][2] = {{1, 1}, {7, 3}, {64, 64}, {33, 100}, {300, 2}};
    for (int channels : {3, 4}) {
        for (auto& s : sizes) {
            auto px = random_pixels(s[0], s[1], channels, static_cast<unsigned>(s[0] * 31 + s[1] + channels));
            auto bytes = png_encode(s[0], s[1], channels, px.data());
            ASSERT_FALSE(bytes.empty());
            PeerImage peer = peer_decode(bytes);
            ASSERT_TRUE(peer.ok) << s[0] << "x" << s[1] << " channels " << channels;
            EXPECT_EQ(peer.width, static_cast<uint32_t>(s[0]));
            EXPECT_EQ(peer.height, static_cast<uint32_t>(s[1]));
            EXPECT_EQ(peer.color_type, channels == 4 ? 6 : 2);
            EXPECT_EQ(peer.bit_depth, 8);
            EXPECT_EQ(peer.rgba, as_rgba(px, channels)) << s[0] << "x" << s[1] << " channels " << channels;
        }
    }
}

TEST(PngWrite, IsDeterministic) {
    auto px = random_pixels(40, 30, 4, 7);
    EXPECT_EQ(png_encode(40, 30, 4, px.data()), png_encode(40, 30, 4, px.data()));
}

TEST(PngWrite, RefusesBadArguments) {
    uint8_t px[16] = {};
    EXPECT_TRUE(png_encode(0, 1, 3, px).empty());
    EXPECT_TRUE(png_encode(1, -1, 3, px).empty());
    EXPECT_TRUE(png_encode(1, 1, 2, px).empty());
    EXPECT_TRUE(png_encode(1, 1, 4, nullptr).empty());
    EXPECT_FALSE(png_write_file("", 1, 1, 3, px));
}

TEST(PngWrite, FileIsReplacedWholeAndBadWriteKeepsTheOldFile) {
    const std::string path = std::string(KV_BUILD_DIR) + "/png_write_test.png";
    auto a = random_pixels(5, 5, 3, 1);
    auto b = random_pixels(9, 4, 4, 2);
    ASSERT_TRUE(png_write_file(path, 5, 5, 3, a.data()));
    ASSERT_TRUE(png_write_file(path, 9, 4, 4, b.data()));
    EXPECT_EQ(read_whole_file(path), png_encode(9, 4, 4, b.data()));
    EXPECT_FALSE(png_write_file(path, 0, 4, 4, b.data()));
    EXPECT_EQ(read_whole_file(path), png_encode(9, 4, 4, b.data()));
    EXPECT_FALSE(png_write_file(std::string(KV_BUILD_DIR) + "/no/such/dir/x.png", 5, 5, 3, a.data()));
    FILE* left = std::fopen((path + ".tmp").c_str(), "rb");
    EXPECT_EQ(left, nullptr);
    if (left) std::fclose(left);
    std::remove(path.c_str());
}
