// The HUD's rules that can go wrong: gauge values and warning colours (with the divisions by zero
// that feed them), the clock glyphs of unusual readings, pick-up payload codes and the progress
// ring.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/hud.h"
#include "rules/rules_support.h"

using namespace rules_test;

namespace {
constexpr float kPulse = 0.6f;
HudGauge gauge(int i) { return hud_gauge(i, pilot(), KVGLOBALS, kPulse); }
}  // namespace

TEST(HudGauges, ValuesAreClampedAndNaNReadsZero) {
    EXPECT_EQ(hud_unit(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_EQ(hud_unit(std::numeric_limits<float>::infinity()), 1.0f);
    EXPECT_EQ(hud_unit(-std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_EQ(hud_unit(0.3f), 0.3f);

    reset_mission();
    PROFILETYPE& p = pilot();
    p.ROCKETS = 0;
    p.TAILPODMAX = 0;  // 0 / 0
    EXPECT_EQ(gauge(3).value, 0.0f);
    p.ROCKETS = 12;    // 12 / 0
    EXPECT_EQ(gauge(3).value, 1.0f);
    p.TAILPODMAX = 48;
    EXPECT_FLOAT_EQ(gauge(3).value, 0.25f);

    p.RESEARCHINGTECHNOLOGY = 4;
    KVGLOBALS.TECHNOLOGYDATA[4].TIMETORESEARCH = -1;  // a zero divisor
    p.MISSIONNUM = 1;
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = 1;
    EXPECT_EQ(gauge(0).value, 1.0f);
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = 2;  // 0 / 0
    EXPECT_EQ(gauge(0).value, 0.0f);
    KVGLOBALS.TECHNOLOGYDATA[4].TIMETORESEARCH = 3;
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    EXPECT_FLOAT_EQ(gauge(0).value, 0.5f) << "second of four missions";
    p.RESEARCHINGTECHNOLOGY = 900;  // not a research slot
    EXPECT_EQ(gauge(0).value, 0.0f);
    p.RESEARCHINGTECHNOLOGY = -1;
    EXPECT_EQ(gauge(0).value, 0.0f) << "no research running: empty bar";

    p.FUEL = 7.0f;
    p.ARMOUR = -2.0f;
    p.VT90S = 20000;
    EXPECT_EQ(gauge(4).value, 1.0f);
    EXPECT_EQ(gauge(1).value, 0.0f);
    EXPECT_EQ(gauge(2).value, 1.0f);
}

TEST(HudGauges, WarningColoursPulseOrangeThenRed) {
    reset_mission();
    PROFILETYPE& p = pilot();
    p.TAILPODMAX = 64;
    p.ROCKETS = 64;
    for (int i = 1; i < HUD_GAUGES; ++i) EXPECT_FALSE(gauge(i).warning) << i;
    EXPECT_FLOAT_EQ(gauge(4).a, 0.4f);

    p.FUEL = 0.2f;
    EXPECT_TRUE(gauge(4).warning);
    EXPECT_FLOAT_EQ(gauge(4).g, 0.6f);
    EXPECT_FLOAT_EQ(gauge(4).a, kPulse);
    p.FUEL = 0.05f;
    EXPECT_FLOAT_EQ(gauge(4).g, 0.23f) << "red wins when both tests hold";

    p.VT90S = 2499;
    EXPECT_FLOAT_EQ(gauge(2).g, 0.6f);
    p.VT90S = 999;
    EXPECT_FLOAT_EQ(gauge(2).g, 0.23f);

    p.ARMOUR = 0.3f;
    EXPECT_FLOAT_EQ(gauge(1).g, 0.6f);
    p.ROCKETS = 10;
    EXPECT_FLOAT_EQ(gauge(3).g, 0.23f);

    EXPECT_FALSE(gauge(0).warning);
    KVGLOBALS.ALERTTECHNOLOGY = 1;
    EXPECT_TRUE(gauge(0).warning);
    EXPECT_FLOAT_EQ(gauge(0).b, 1.0f);
    KVGLOBALS.ALERTTECHNOLOGY = 0;
}

TEST(HudClock, OnlyKnownCharactersGetMeshesAndAtMostTwelveDraw) {
    int32_t g[HUD_CLOCK_CHARS];
    ASSERT_EQ(hud_clock_glyphs("00:14:59.568", g), 12);
    EXPECT_EQ(g[0], 0);
    EXPECT_EQ(g[2], HUD_GLYPH_COLON);
    EXPECT_EQ(g[3], 1);
    EXPECT_EQ(g[8], HUD_GLYPH_POINT);
    EXPECT_EQ(g[11], 8);

    // A negative reading: minus signs keep their place and draw nothing.
    ASSERT_EQ(hud_clock_glyphs("-1:-2:-3.500", g), 12);
    EXPECT_EQ(g[0], HUD_GLYPH_NONE);
    EXPECT_EQ(g[1], 1);
    EXPECT_EQ(g[3], HUD_GLYPH_NONE);

    // Hours beyond 99 make the text longer than the panel: the first twelve characters draw.
    ASSERT_EQ(hud_clock_glyphs("12345:00:00.000", g), 12);
    EXPECT_EQ(g[4], 5);
    EXPECT_EQ(g[5], HUD_GLYPH_COLON);
    EXPECT_EQ(hud_clock_glyphs("", g), 0);
    ASSERT_EQ(hud_clock_glyphs("\x7f\xff", g), 2);
    EXPECT_EQ(g[1], HUD_GLYPH_NONE);
}

TEST(HudPickUp, OnlyTheFourPayloadsHaveIcons) {
    EXPECT_EQ(hud_powerup_icon(1), &KVGLOBALS.ICONFUEL);
    EXPECT_EQ(hud_powerup_icon(2), &KVGLOBALS.ICONRPG);
    EXPECT_EQ(hud_powerup_icon(3), &KVGLOBALS.ICONVT90);
    EXPECT_EQ(hud_powerup_icon(4), &KVGLOBALS.ICONARMOUR);
    EXPECT_EQ(hud_powerup_icon(0), nullptr);
    EXPECT_EQ(hud_powerup_icon(5), nullptr);
    EXPECT_EQ(hud_powerup_icon(-3), nullptr);
    EXPECT_EQ(hud_powerup_icon(1 << 30), nullptr);
}

TEST(HudProgress, LitSegmentsRoundHalfToEven) {
    EXPECT_EQ(hud_progress_segments(0.0f), 0);
    EXPECT_EQ(hud_progress_segments(1.0f), 20);
    EXPECT_EQ(hud_progress_segments(0.125f), 2) << "2.5 rounds to even";
    EXPECT_EQ(hud_progress_segments(0.375f), 8) << "7.5 rounds to even";
    EXPECT_EQ(hud_progress_segments(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(hud_progress_segments(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(hud_progress_segments(40.0f), 20);
}
