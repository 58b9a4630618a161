// Damaged settings and segment-font files must never crash or leave values outside their
// ranges: truncated, byte-flipped and line-shuffled variants of a valid configVars.dat, and
// mangled fontData.dat files (read with an OpenGL context when one is available).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "config/config.h"
#include "config/control_codes.h"
#include "engine/engine_globals.h"
#include "engine/fontdb.h"
#include "support/gl_context.h"

namespace {

std::string valid_settings() {
    CONFIGVARTYPE c;
    c.XRES = 800;
    c.YRES = 600;
    c.NBITS = 32;
    for (int a = 0; a < PLATFORM_JOYAXES; ++a) {
        c.AXISMIN[a] = -0.9921875f;
        c.AXISMAX[a] = 0.75f;
    }
    for (int i = 0; i < CONFIG_NCONTROLS; ++i) c.CONTROL[i] = static_cast<int8_t>(29 + 5 * i);
    return config_format(c);
}

std::string mutate(const std::string& base, std::mt19937& rng) {
    std::string s = base;
    switch (rng() % 4) {
    case 0:   // truncate
        s.resize(rng() % (s.size() + 1));
        break;
    case 1:   // flip bytes
        for (int i = 0, n = 1 + static_cast<int>(rng() % 8); i < n && !s.empty(); ++i)
            s[rng() % s.size()] = static_cast<char>(rng() & 0xFF);
        break;
    case 2:   // insert junk
        s.insert(rng() % (s.size() + 1), std::string(1 + rng() % 40, static_cast<char>(rng() & 0xFF)));
        break;
    default:  // swap two halves
        if (!s.empty()) {
            size_t at = rng() % s.size();
            s = s.substr(at) + s.substr(0, at);
        }
        break;
    }
    return s;
}

}  // namespace

TEST(SettingsRobust, DamagedFilesReadWithinRanges) {
    const std::string base = valid_settings();
    std::mt19937 rng(20240611);
    testing::internal::CaptureStderr();
    for (int round = 0; round < 3000; ++round) {
        CONFIGVARTYPE c;
        config_parse(c, mutate(base, rng));
        ASSERT_GE(c.XRES, 0);
        ASSERT_LE(c.XRES, 65535);
        ASSERT_GE(c.YRES, 0);
        ASSERT_LE(c.YRES, 65535);
        for (int a = 0; a < PLATFORM_JOYAXES; ++a) {
            ASSERT_TRUE(std::isfinite(c.AXISMIN[a]));
            ASSERT_TRUE(std::isfinite(c.AXISMAX[a]));
            for (int32_t code = 17; code <= 28; ++code) {
                float v = control_axis_value(c, code, (round % 200) / 100.0f - 1.0f);
                ASSERT_GE(v, 0.0f);
                ASSERT_LE(v, 1.0f);
            }
        }
        for (int8_t code : c.CONTROL) ASSERT_EQ(control_code_info(code).CODE, code < 0 || code > 99 ? 0 : code);
        // Whatever was read writes back as a complete file that reads without refusal.
        CONFIGVARTYPE again;
        ASSERT_EQ(config_parse(again, config_format(c)), ConfigReadStatus::OK);
        ASSERT_EQ(again.XRES, c.XRES);
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(again.CONTROL), CONFIG_NCONTROLS),
                  std::string(reinterpret_cast<const char*>(c.CONTROL), CONFIG_NCONTROLS));
    }
    testing::internal::GetCapturedStderr();
}

// The glyph sets are built into display lists, so the reading runs with a context current.
using SegmentFontRobust = GlWindowTest<32, 32>;

TEST_F(SegmentFontRobust, MangledGlyphFilesNeverBreakTheSets) {
    const std::string base =
        "A\r\n0FBT0\r\nFwBtT\r\nBB0BB\r\nBBBBB\r\nBO0WB\r\nB000B\r\nB000B\r\n"
        "-\r\n00000\r\n00000\r\n00000\r\n0BBB0\r\n00000\r\n00000\r\n00000\r\n"
        "[\r\nBB000\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\nBB000\r\n";
    const std::string path = std::string(KV_BUILD_DIR) + "/robust_fontData.dat";
    std::mt19937 rng(77);
    testing::internal::CaptureStderr();
    for (int round = 0; round < 300; ++round) {
        {
            std::ofstream f(path, std::ios::binary);
            f << mutate(base, rng);
        }
        INITIALIZE_FONTDB(path);
        ASSERT_EQ(FONTDB.size(), 46u);
        ASSERT_EQ(FONTDB_G.size(), 46u);
        for (const FONTDBTYPE& g : FONTDB) {
            ASSERT_GE(g.WIDTH, 0);
            ASSERT_LE(g.WIDTH, 4);
        }
        ASSERT_GE(FONTDB_LEN("A-[Z ]"), 0);
        FONTDB_PRINT("A-[Z ]");
        FONTDB_PRINT_GRAD("a-[z ]");
    }
    testing::internal::GetCapturedStderr();
    std::remove(path.c_str());
}
