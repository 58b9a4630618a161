// The demo pilot plays the whole campaign through the real menu (core --autopilot, no --fly):
// it creates its pilot, flies the three missions, lands on the research base when research is
// offered, saves after each mission, reaches "CAMPAIGN COMPLETE!", shows the credits and quits
// with exit status 0. The saved profile list must hold its pilot with the campaign flown.
// Long: minutes of game time, so its suite has a label of its own.
#include <gtest/gtest.h>

#include <string>

#include "menu/profiles.h"
#include "support/game_run.h"

namespace {

TEST(Campaign, DemoPilotFliesEveryMissionSavesAndQuits) {
    KV_REQUIRE_DISPLAY();
    kvtest::GameDir dir;
    ASSERT_TRUE(dir.ok());
    dir.set_window(320, 240);
    const kvtest::RunResult r =
        dir.play({.name = "campaign", .frames = 40000, .step = 40, .seed = 5, .args = "--autopilot", .timeout = 1200});
    EXPECT_EQ(r.status, 0);
    ASSERT_FALSE(r.rows.empty());
    // It quit from the main menu well before the frame limit.
    EXPECT_LT(r.rows.back().i("frame"), 40000);
    EXPECT_EQ(r.rows.back().s("menu"), "7");

    EXPECT_EQ(r.stretches("boxtitle", "Profile%20Saved!"), 3);
    EXPECT_EQ(r.stretches("boxtitle", "CAMPAIGN%20COMPLETE!"), 1);
    EXPECT_GE(r.stretches("menu", "9"), 1);  // the credits
    EXPECT_GE(r.stretches("pilot", "research"), 1);
    // Three missions won: the mission-complete screen came up three times.
    EXPECT_EQ(r.stretches("menu", "200"), 3);
    // Nothing failed on the way.
    EXPECT_EQ(r.first([](const kvtest::TraceRow& f) { return f.s("boxtitle") == "MISSION%20FAILED!"; }), 0);

    const ProfilesParse saved = profiles_parse(read_file_text(dir / "data/profiles.dat"));
    ASSERT_FALSE(saved.damaged) << saved.why;
    ASSERT_EQ(saved.profiles.size(), 1u);
    const PROFILETYPE& p0 = saved.profiles[0].record;
    EXPECT_EQ(p0.NAME, "DEMO");
    EXPECT_EQ(p0.CALLSIGN, "AUTOPILOT");
    EXPECT_EQ(p0.MISSIONNUM, 3);
    // Research chosen on the base and completed along the way.
    bool any_tech = false;
    for (int k = 1; k < TECHNOLOGY_SLOTS; ++k) any_tech = any_tech || p0.COMPLETEDTECHNOLOGY[k] != 0;
    EXPECT_TRUE(any_tech);
}

}  // namespace
