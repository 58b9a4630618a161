// The PNG decoder against libpng on the conformance suite, and the decoder's own rules on
// crafted files: bit depths, transparency, row order, chunk and header refusals, size probe.
#include "engine/png.h"
#include "support/libpng_peer.h"
#include "png_craft.h"
#include "support/files.h"
#include "support/shared_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string suite_dir() { return shared_subdir("pngsuite"); }
std::vector<std::string> suite_files() { return files_with_suffix(suite_dir(), ".png"); }

// Our pixels in top-row-first order, for comparison with the peer.
std::vector<uint8_t> top_down(const PngImage& img) {
    std::vector<uint8_t> px(img.pixels.get(), img.pixels.get() + size_t(img.width) * img.height * 4);
    png_flip_rows(px.data(), img.width, img.height);
    return px;
}

PngImage decode(const std::vector<uint8_t>& file) { return png_load_memory(file.data(), file.size()); }

// A few pixels of a decoded image, top-down, as (r,g,b,a) quadruples.
std::vector<uint8_t> first_pixels(const PngImage& img, size_t n) {
    auto px = top_down(img);
    px.resize(std::min(px.size(), n * 4));
    return px;
}

}  // namespace

TEST(PngSuite, EveryValidImageMatchesLibpngAndEveryBrokenOneIsRefused) {
    auto names = suite_files();
    if (names.empty()) GTEST_SKIP() << "PNG suite not found (set KV_SHARED_DIR); conformance not checked";
    int valid = 0, broken = 0;
    for (const std::string& n : names) {
        auto file = read_whole_file(suite_dir() + "/" + n);
        ASSERT_FALSE(file.empty()) << n;
        PngImage ours = decode(file);
        if (n[0] == 'x') {
            EXPECT_FALSE(ours) << n << " should be refused";
            ++broken;
            continue;
        }
        ++valid;
        ASSERT_TRUE(ours) << n << ": " << ours.reason;
        PeerImage peer = peer_decode(file);
        ASSERT_TRUE(peer.ok) << n << " (libpng)";
        EXPECT_EQ(ours.width, peer.width) << n;
        EXPECT_EQ(ours.height, peer.height) << n;
        EXPECT_EQ(ours.bit_depth, peer.bit_depth) << n;
        EXPECT_EQ(ours.color_type, peer.color_type) << n;
        EXPECT_EQ(ours.interlace, peer.interlace) << n;
        EXPECT_TRUE(top_down(ours) == peer.rgba) << n << ": pixels differ from libpng";
    }
    EXPECT_GT(valid, 100);
    EXPECT_GT(broken, 10);
}

TEST(PngSuite, InterlacedTwinsDecodeIdentically) {
    auto names = suite_files();
    if (names.empty()) GTEST_SKIP() << "PNG suite not found (set KV_SHARED_DIR); twins not checked";
    int pairs = 0;
    for (const std::string& n : names) {
        // basiXXXX / basnXXXX and sNNiXXXX / sNNnXXXX
        size_t flag = n.rfind("basi", 0) == 0 ? 3 : (n[0] == 's' && n.size() > 3 && n[3] == 'i' ? 3 : std::string::npos);
        if (flag == std::string::npos) continue;
        std::string twin = n;
        twin[flag] = 'n';
        if (std::find(names.begin(), names.end(), twin) == names.end()) continue;
        PngImage a = decode(read_whole_file(suite_dir() + "/" + n));
        PngImage b = decode(read_whole_file(suite_dir() + "/" + twin));
        ASSERT_TRUE(a && b) << n;
        EXPECT_EQ(a.interlace, 1) << n;
        EXPECT_EQ(b.interlace, 0) << twin;
        ASSERT_EQ(a.width, b.width);
        ASSERT_EQ(a.height, b.height);
        EXPECT_TRUE(top_down(a) == top_down(b)) << n << " vs " << twin;
        ++pairs;
    }
    EXPECT_GE(pairs, 30);
}

TEST(PngDecode, LowBitGreyIsScaledToFullRange) {
    // 1-bit: 8 pixels 1,0,1,1,0,0,0,1 in one byte.
    PngImage one = decode(craft_simple(craft_ihdr(8, 1, 1, 0), {0, 0xB1}));
    ASSERT_TRUE(one) << one.reason;
    EXPECT_EQ(first_pixels(one, 3), (std::vector<uint8_t>{255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}));
    // 2-bit: 0,1,2,3 in one byte; a fifth pixel spills into a second byte.
    PngImage two = decode(craft_simple(craft_ihdr(5, 1, 2, 0), {0, 0x1B, 0xC0}));
    ASSERT_TRUE(two) << two.reason;
    auto px = top_down(two);
    std::vector<uint8_t> greys;
    for (size_t i = 0; i < px.size(); i += 4) greys.push_back(px[i]);
    EXPECT_EQ(greys, (std::vector<uint8_t>{0, 85, 170, 255, 255}));
    // 4-bit with a grey key of 5: the unscaled value is compared.
    PngImage four = decode(craft_simple(craft_ihdr(2, 1, 4, 0), {0, 0x5F}, {{"tRNS", {0, 5}}}));
    ASSERT_TRUE(four) << four.reason;
    EXPECT_EQ(top_down(four), (std::vector<uint8_t>{85, 85, 85, 0, 255, 255, 255, 255}));
}

TEST(PngDecode, PaletteTransparencyAndKeys) {
    std::vector<uint8_t> plte;
    for (int i = 0; i < 5; ++i) plte.insert(plte.end(), {uint8_t(10 * i), uint8_t(20 * i), uint8_t(30 * i)});
    PngImage img = decode(craft_simple(craft_ihdr(5, 1, 8, 3), {0, 0, 1, 2, 3, 4},
                                       {{"PLTE", plte}, {"tRNS", {7, 8, 9}}}));
    ASSERT_TRUE(img) << img.reason;
    auto px = top_down(img);
    std::vector<uint8_t> alphas;
    for (size_t i = 3; i < px.size(); i += 4) alphas.push_back(px[i]);
    EXPECT_EQ(alphas, (std::vector<uint8_t>{7, 8, 9, 255, 255}));
    EXPECT_EQ(px[16], 40);
    EXPECT_EQ(px[17], 80);
    EXPECT_EQ(px[18], 120);

    // An index past the palette reads as black without reading outside the palette.
    PngImage past = decode(craft_simple(craft_ihdr(1, 1, 8, 3), {0, 200}, {{"PLTE", plte}}));
    ASSERT_TRUE(past);
    EXPECT_EQ(top_down(past), (std::vector<uint8_t>{0, 0, 0, 255}));

    // RGB key: 8-bit samples against the 16-bit key values.
    PngImage rgb = decode(craft_simple(craft_ihdr(2, 1, 8, 2), {0, 1, 2, 3, 1, 2, 4}, {{"tRNS", {0, 1, 0, 2, 0, 3}}}));
    ASSERT_TRUE(rgb) << rgb.reason;
    EXPECT_EQ(top_down(rgb), (std::vector<uint8_t>{1, 2, 3, 0, 1, 2, 4, 255}));

    // 16-bit grey key compares all 16 bits; output is the high byte.
    PngImage g16 = decode(craft_simple(craft_ihdr(2, 1, 16, 0), {0, 0x12, 0x34, 0x12, 0x35}, {{"tRNS", {0x12, 0x34}}}));
    ASSERT_TRUE(g16) << g16.reason;
    EXPECT_EQ(top_down(g16), (std::vector<uint8_t>{0x12, 0x12, 0x12, 0, 0x12, 0x12, 0x12, 255}));
}

TEST(PngDecode, RowsComeOutBottomUp) {
    // 1 x 2 RGB: top red, bottom blue.
    PngImage img = decode(craft_simple(craft_ihdr(1, 2, 8, 2), {0, 255, 0, 0, 0, 0, 0, 255}));
    ASSERT_TRUE(img) << img.reason;
    const uint8_t* p = img.pixels.get();
    EXPECT_EQ((std::vector<uint8_t>(p, p + 8)), (std::vector<uint8_t>{0, 0, 255, 255, 255, 0, 0, 255}));
}

TEST(PngDecode, FiltersUndoAgainstTheRightNeighbours) {
    // 2 x 2 grey+alpha 8-bit (2 bytes per pixel), each row using a different filter.
    // Row 0, Sub:  raw 10 20 | 30 40  -> stored 10 20 20 20
    // Row 1, Paeth: raw 15 25 | 35 45 -> prev 10 20 30 40
    //   first pixel: a=0,c=0 -> predictor b -> 5 5; second: a=15,b=30,c=10 -> p=35 nearest b=30 -> 5;
    //   a=25,b=40,c=20 -> p=45 nearest b=40 -> 5
    PngImage img = decode(craft_simple(craft_ihdr(2, 2, 8, 4), {1, 10, 20, 20, 20, 4, 5, 5, 5, 5}));
    ASSERT_TRUE(img) << img.reason;
    EXPECT_EQ(top_down(img), (std::vector<uint8_t>{10, 10, 10, 20, 30, 30, 30, 40, 15, 15, 15, 25, 35, 35, 35, 45}));
    // Average rounds down: prev 10,20,30,40 ; row raw from stored 3 4 x y.
    PngImage avg = decode(craft_simple(craft_ihdr(2, 2, 8, 4), {0, 10, 20, 30, 40, 3, 1, 2, 0, 0}));
    ASSERT_TRUE(avg) << avg.reason;
    // row 1: byte0 = 1 + 10/2 = 6, byte1 = 2 + 20/2 = 12, byte2 = 0 + (6+30)/2 = 18, byte3 = 0 + (12+40)/2 = 26
    auto px = top_down(avg);
    EXPECT_EQ((std::vector<uint8_t>(px.begin() + 8, px.end())), (std::vector<uint8_t>{6, 6, 6, 12, 18, 18, 18, 26}));
    // Filter type 5 does not exist.
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(1, 1, 8, 0), {5, 1})));
}

TEST(PngDecode, RefusesBrokenStructure) {
    const auto ihdr = craft_ihdr(1, 1, 8, 0);
    const auto idat = craft_deflate({0, 7});
    auto good = craft_png({{"IHDR", ihdr}, {"IDAT", idat}, {"IEND", {}}});
    ASSERT_TRUE(decode(good));

    EXPECT_FALSE(png_load_memory(nullptr, 100));
    EXPECT_FALSE(png_load_memory(good.data(), 48)) << "below the smallest possible size";
    auto sig = good;
    sig[1] = 'p';
    EXPECT_FALSE(decode(sig));
    // Last chunk is not IEND, although the image data are complete.
    EXPECT_FALSE(decode(craft_png({{"IHDR", ihdr}, {"IDAT", idat}, {"IEND", {}}, {"tEXt", {'a', 0, 'b'}}})));
    // Fewer than three chunks.
    EXPECT_FALSE(decode(craft_png({{"IHDR", ihdr}, {"IEND", {}}, })));
    // Trailing bytes after IEND that do not form a chunk.
    auto tail = good;
    tail.insert(tail.end(), {1, 2, 3});
    EXPECT_FALSE(decode(tail));
    // Corrupt CRC of an ancillary chunk.
    auto crc = craft_png({{"IHDR", ihdr}, {"tEXt", {'a', 0, 'b'}}, {"IDAT", idat}, {"IEND", {}}});
    ASSERT_TRUE(decode(crc));
    crc[8 + 25 + 8 + 1] ^= 0x40;
    EXPECT_FALSE(decode(crc));
    // Chunk length running past the end.
    auto longer = good;
    longer[8 + 25 + 3] = 0xFF;
    EXPECT_FALSE(decode(longer));
    // No IDAT, and image data of the wrong size (two rows given for a one-row image).
    EXPECT_FALSE(decode(craft_png({{"IHDR", ihdr}, {"tEXt", {'a', 0, 'b'}}, {"IEND", {}}})));
    EXPECT_FALSE(decode(craft_simple(ihdr, {0, 7, 0, 7})));
    EXPECT_FALSE(decode(craft_simple(ihdr, {0})));
    // Joined IDAT chunks are one stream.
    std::vector<uint8_t> a(idat.begin(), idat.begin() + 3), b(idat.begin() + 3, idat.end());
    PngImage split = decode(craft_png({{"IHDR", ihdr}, {"IDAT", a}, {"IDAT", {}}, {"IDAT", b}, {"IEND", {}}}));
    ASSERT_TRUE(split) << split.reason;
    EXPECT_EQ(top_down(split), (std::vector<uint8_t>{7, 7, 7, 255}));
}

TEST(PngDecode, RefusesInvalidHeaders) {
    const std::vector<uint8_t> row = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    struct Case {
        std::vector<uint8_t> ihdr;
        const char* what;
    } cases[] = {
        {craft_ihdr(1, 1, 3, 0), "grey depth 3"},     {craft_ihdr(1, 1, 16, 3), "palette depth 16"},
        {craft_ihdr(1, 1, 4, 2), "RGB depth 4"},      {craft_ihdr(1, 1, 8, 1), "colour type 1"},
        {craft_ihdr(1, 1, 8, 7), "colour type 7"},    {craft_ihdr(0, 1, 8, 0), "zero width"},
        {craft_ihdr(1, 0, 8, 0), "zero height"},      {craft_ihdr(1, 1, 8, 0, 2), "interlace 2"},
        {craft_ihdr(1, 1, 8, 0, 0, 1), "compression"}, {craft_ihdr(1, 1, 8, 0, 0, 0, 1), "filter method"},
    };
    for (const Case& c : cases) EXPECT_FALSE(decode(craft_simple(c.ihdr, row))) << c.what;
    auto short_ihdr = craft_ihdr(1, 1, 8, 0);
    short_ihdr.pop_back();
    EXPECT_FALSE(decode(craft_simple(short_ihdr, {0, 0})));
    // A huge claimed size with a tiny data stream is refused before anything is allocated.
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(0xFFFFFFFFu, 0xFFFFFFFFu, 16, 6), {0, 0})));
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(0xFFFFFFFFu, 0xFFFFFFFFu, 16, 6, 1), {0, 0})));
}

TEST(PngDecode, PaletteAndTransparencyRules) {
    std::vector<uint8_t> plte(9, 100);
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(1, 1, 8, 3), {0, 0}))) << "palette image without PLTE";
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(1, 1, 8, 3), {0, 0}, {{"PLTE", std::vector<uint8_t>(771, 1)}})));
    EXPECT_TRUE(decode(craft_simple(craft_ihdr(1, 1, 8, 3), {0, 0}, {{"PLTE", std::vector<uint8_t>(768, 1)}})));
    EXPECT_TRUE(decode(craft_simple(craft_ihdr(1, 1, 8, 3), {0, 0}, {{"PLTE", plte}, {"tRNS", std::vector<uint8_t>(256, 1)}})));
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(1, 1, 8, 3), {0, 0}, {{"PLTE", plte}, {"tRNS", std::vector<uint8_t>(257, 1)}})));
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(1, 1, 8, 0), {0, 0}, {{"tRNS", {0, 0, 0}}})));
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(1, 1, 8, 2), {0, 0, 0, 0}, {{"tRNS", {0, 0}}})));
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(1, 1, 8, 4), {0, 0, 0}, {{"tRNS", {0, 0}}})));
    EXPECT_FALSE(decode(craft_simple(craft_ihdr(1, 1, 8, 6), {0, 0, 0, 0, 0}, {{"tRNS", {0, 0}}})));
}

TEST(PngProbe, ReadsSizeOrLeavesOutputsAlone) {
    const std::string path = std::string(KV_BUILD_DIR) + "/png_probe_test.png";
    auto file = craft_simple(craft_ihdr(300, 7, 8, 0), std::vector<uint8_t>(7 * 301, 0));
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    uint32_t w = 1, h = 2;
    EXPECT_TRUE(png_probe_size(path, w, h));
    EXPECT_EQ(w, 300u);
    EXPECT_EQ(h, 7u);
    PngImage img = png_load(path);
    ASSERT_TRUE(img) << img.reason;
    EXPECT_EQ(img.width, 300u);

    w = 1, h = 2;
    EXPECT_FALSE(png_probe_size(path + ".missing", w, h));
    EXPECT_FALSE(png_load(path + ".missing"));
    // A file cut inside the size field.
    f = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, 20, f);
    std::fclose(f);
    EXPECT_FALSE(png_probe_size(path, w, h));
    EXPECT_EQ(w, 1u);
    EXPECT_EQ(h, 2u);
    // An empty file.
    f = std::fopen(path.c_str(), "wb");
    std::fclose(f);
    EXPECT_FALSE(png_load(path));
    std::remove(path.c_str());
}
