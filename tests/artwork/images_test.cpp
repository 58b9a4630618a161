// Checks the generated pictures: explosion frames (soft bright fireballs fading to clear
// edges, each different; a grey smoke frame), the menu pictures (dark desaturated backdrop,
// world map with the island marker on a clear background, the gunship on a clear background)
// and the configuration tool's 24-bit BMP title bar and option icons.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/png.h"

namespace {

const std::string kData = std::string(KV_GAME_DIR) + "/data/";

struct Stats {
    double mean_luma = 0, mean_chroma = 0, clear = 0, opaque = 0;
};

// Pixel (x, y), y from the top of the picture (the decoder stores rows bottom-up).
const uint8_t* at(const PngImage& img, uint32_t x, uint32_t y) {
    return img.pixels.get() + (static_cast<size_t>(img.height - 1 - y) * img.width + x) * 4;
}

Stats stats(const PngImage& img) {
    Stats s;
    const size_t n = static_cast<size_t>(img.width) * img.height;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* p = img.pixels.get() + i * 4;
        s.mean_luma += (0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2]) / 255.0;
        s.mean_chroma += (std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]})) / 255.0;
        s.clear += p[3] == 0;
        s.opaque += p[3] == 255;
    }
    s.mean_luma /= n;
    s.mean_chroma /= n;
    s.clear /= n;
    s.opaque /= n;
    return s;
}

double border_alpha(const PngImage& img) {
    double worst = 0;
    for (uint32_t k = 0; k < img.width; ++k) {
        worst = std::max({worst, static_cast<double>(at(img, k, 0)[3]), static_cast<double>(at(img, k, img.height - 1)[3])});
        worst = std::max({worst, static_cast<double>(at(img, 0, k)[3]), static_cast<double>(at(img, img.width - 1, k)[3])});
    }
    return worst;
}

}  // namespace

TEST(ArtworkImages, ExplosionFramesAreSoftFireballsEachDifferent) {
    std::vector<PngImage> frames;
    for (int f = 0; f <= 6; ++f) {
        frames.push_back(png_load(kData + "explosion/" + std::to_string(f) + ".png"));
        const PngImage& img = frames.back();
        ASSERT_TRUE(img) << f << ": " << img.reason;
        EXPECT_EQ(img.color_type, 6) << f << " carries alpha";
        EXPECT_EQ(img.width, 128u);
        EXPECT_EQ(img.height, 128u);
        EXPECT_EQ(border_alpha(img), 0) << f << " fades to nothing at its edge";
        const uint8_t* c = at(img, 64, 64);
        EXPECT_GT(c[3], f == 6 ? 100 : 200) << f << " dense in the middle";
    }
    for (int f = 0; f <= 5; ++f) {
        // Hot core: bright and yellow-white in the middle, redder towards the rim.
        const uint8_t* core = at(frames[f], 64, 64);
        EXPECT_GT(core[0], 240);
        EXPECT_GT(core[1], 150) << f;
        double rim_g = 0;
        int rim_n = 0;
        for (uint32_t y = 0; y < 128; ++y)
            for (uint32_t x = 0; x < 128; ++x) {
                const uint8_t* p = at(frames[f], x, y);
                const double d = std::hypot(x - 64.0, y - 64.0);
                if (p[3] > 20 && d > 30) rim_g += p[1] / 255.0, ++rim_n;
            }
        ASSERT_GT(rim_n, 0);
        EXPECT_LT(rim_g / rim_n, core[1] / 255.0 - 0.1) << f << " rim is redder than the core";
        for (int g = 0; g < f; ++g) {
            size_t differ = 0;
            for (size_t i = 0; i < 128u * 128u * 4u; ++i) differ += frames[f].pixels[i] != frames[g].pixels[i];
            EXPECT_GT(differ, 5000u) << "frames " << g << " and " << f << " differ";
        }
    }
    const Stats smoke = stats(frames[6]);
    EXPECT_LT(smoke.mean_chroma, 0.03) << "smoke is grey";
}

TEST(ArtworkImages, MenuPicturesFitTheirRoles) {
    const PngImage mission = png_load(kData + "menu/mission.png");
    ASSERT_TRUE(mission) << mission.reason;
    EXPECT_EQ(mission.width, 512u);
    EXPECT_EQ(mission.height, 512u);
    const Stats ms = stats(mission);
    EXPECT_LT(ms.mean_luma, 0.3) << "dark backdrop under the menu windows";
    EXPECT_LT(ms.mean_chroma, 0.12) << "desaturated";
    EXPECT_GT(ms.opaque, 0.999);

    const PngImage world = png_load(kData + "menu/worldmap.png");
    ASSERT_TRUE(world) << world.reason;
    EXPECT_EQ(world.color_type, 6);
    const Stats ws = stats(world);
    EXPECT_GT(ws.clear, 0.3) << "open background";
    size_t marker = 0;
    for (uint32_t y = 0; y < world.height; ++y)
        for (uint32_t x = 0; x < world.width; ++x) {
            const uint8_t* p = at(world, x, y);
            marker += p[3] > 200 && p[0] > 230 && p[1] < 90 && p[2] < 60;
        }
    EXPECT_GT(marker, 50u) << "the island is marked in the alert colour";

    const PngImage ship = png_load(kData + "menu/gunship.png");
    ASSERT_TRUE(ship) << ship.reason;
    EXPECT_EQ(ship.color_type, 6);
    EXPECT_EQ(border_alpha(ship), 0) << "clear around the gunship";
    const Stats ss = stats(ship);
    EXPECT_GT(ss.opaque, 0.12);
    EXPECT_LT(ss.opaque, 0.7);
}

TEST(ArtworkImages, ConfigurationToolBarIsA24BitBmpAndIconsExist) {
    std::ifstream in(kData + "config/configBar.bmp", std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(b.size(), 54u);
    auto u32 = [&](size_t o) { return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | static_cast<uint32_t>(b[o + 3]) << 24; };
    auto u16 = [&](size_t o) { return static_cast<uint32_t>(b[o] | b[o + 1] << 8); };
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(2), b.size()) << "file size in the header";
    EXPECT_EQ(u32(10), 54u);
    EXPECT_EQ(u32(14), 40u);
    const uint32_t w = u32(18), h = u32(22);
    EXPECT_EQ(w, 640u);
    EXPECT_EQ(h, 24u);
    EXPECT_EQ(u16(28), 24u) << "24 bits per pixel";
    EXPECT_EQ(u32(30), 0u) << "uncompressed";
    const uint32_t row = (w * 3 + 3) & ~3u;
    ASSERT_EQ(b.size(), 54u + row * h);
    // Rows are stored bottom-up in blue, green, red order: the top row is the light edge.
    const uint8_t* top = &b[54 + (h - 1) * row];
    const uint8_t* mid = &b[54 + (h / 2) * row];
    EXPECT_GT(top[0], mid[0]) << "highlight along the top";
    EXPECT_GT(mid[0], mid[2]) << "blue bar";

    for (const char* icon : {"outlines", "enginewind", "linesmoothing", "dome", "buildings", "hudhousing", "hudquality",
                             "fsaa", "envmap", "bloom"}) {
        const PngImage img = png_load(kData + "config/icon_" + icon + ".png");
        ASSERT_TRUE(img) << icon << ": " << img.reason;
        EXPECT_EQ(img.width, 64u) << icon;
        EXPECT_EQ(img.height, 40u) << icon;
        const Stats s = stats(img);
        EXPECT_GT(s.mean_luma, 0.2) << icon << " shows a light pictogram";
    }
}
