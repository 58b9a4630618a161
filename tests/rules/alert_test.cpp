// The alert banner: replacing a showing alert, how long it shows, its fade and its geometry.
#include <gtest/gtest.h>

#include "rules/rules_support.h"

using namespace rules_test;

TEST(AlertBanner, NewAlertReplacesTheOldAndRestartsTheTime) {
    reset_mission();
    KV_SETALERT("Clipping Off");
    const int32_t t0 = platform_clock_ms();
    EXPECT_EQ(KVGLOBALS.ALERTTIME, t0 + 1500);
    platform_clock_advance_seconds(1.0);
    KV_SETALERT("Clipping On");
    EXPECT_EQ(kv_alert_showing(platform_clock_ms()), "Clipping On");
    platform_clock_advance_seconds(1.4);
    EXPECT_EQ(kv_alert_showing(platform_clock_ms()), "Clipping On") << "1.5 s from the second alert";
    platform_clock_advance_seconds(0.1);
    EXPECT_EQ(kv_alert_showing(platform_clock_ms()), "Clipping On") << "shows up to its last millisecond";
    platform_clock_advance_seconds(0.001);
    EXPECT_EQ(kv_alert_showing(platform_clock_ms()), "");
}

TEST(AlertBanner, FullStrengthForHalfASecondThenFades) {
    const AlertBanner fresh = alert_banner_layout(1000, 2500, 100, 12, 800, 600);
    EXPECT_TRUE(fresh.visible);
    EXPECT_EQ(fresh.alpha, 1.0f);
    EXPECT_EQ(alert_banner_layout(1500, 2500, 100, 12, 800, 600).alpha, 1.0f);
    EXPECT_NEAR(alert_banner_layout(2000, 2500, 100, 12, 800, 600).alpha, 0.5f, 1e-6);
    EXPECT_EQ(alert_banner_layout(2500, 2500, 100, 12, 800, 600).alpha, 0.0f);
    EXPECT_FALSE(alert_banner_layout(2501, 2500, 100, 12, 800, 600).visible);
}

TEST(AlertBanner, CentredBoxAroundTheText) {
    const AlertBanner b = alert_banner_layout(0, 100, 121, 13, 801, 600);
    EXPECT_EQ(b.cx, 400) << "400.5 rounds to even";
    EXPECT_EQ(b.cy, 300);
    EXPECT_EQ(b.hw, 100) << "60.5 + 40 rounds to even";
    EXPECT_EQ(b.hh, 26) << "6.5 + 20 rounds to even";
    EXPECT_EQ(b.text_x, 340) << "400 - 60.5 rounds to even";
    EXPECT_EQ(b.text_y, 294) << "300 - 6.5 rounds to even";
}
