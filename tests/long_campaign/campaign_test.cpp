// The demo pilot plays the whole campaign through the real menu (core --autopilot, no --fly):
// it creates its pilot, flies the three missions, lands on the research base when research is
// offered, saves after each mission, reaches "CAMPAIGN COMPLETE!", shows the credits and quits
// with exit status 0. The saved profile list must hold its pilot with the campaign flown.
// Long: minutes of game time, so its suite has a label of its own.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_core/core_run.h"
#include "menu/profiles.h"
#include "support/files.h"

namespace {

using Fields = std::map<std::string, std::string>;

std::vector<Fields> read_trace(const std::string& text) {
    std::vector<Fields> out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kv;
        Fields f;
        while (words >> kv) {
            const size_t eq = kv.find('=');
            if (eq != std::string::npos) f[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        if (f.count("frame")) out.push_back(f);
    }
    return out;
}

// How many separate stretches of frames have key == value.
int stretches(const std::vector<Fields>& frames, const std::string& key, const std::string& value) {
    int n = 0;
    bool in = false;
    for (const Fields& f : frames) {
        const bool now = f.count(key) && f.at(key) == value;
        if (now && !in) ++n;
        in = now;
    }
    return n;
}

TEST(Campaign, DemoPilotFliesEveryMissionSavesAndQuits) {
    if (!e2e::have_display()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
    e2e::GameDir dir;
    ASSERT_TRUE(dir.ok());
    dir.set_config_line(1, " 320");
    dir.set_config_line(2, " 240");
    const auto trace = dir / "campaign.trace";
    const std::string cmd = "cd '" + dir.path().string() + "' && timeout 1200 '" + std::string(KV_GAME_DIR) +
                            "/core' --dir '" + dir.path().string() +
                            "' --autopilot --fixed-step 40 --seed 5 --frames 40000 --trace '" + trace.string() +
                            "' >/dev/null 2>&1 </dev/null";
    const int s = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(s));
    EXPECT_EQ(WEXITSTATUS(s), 0);
    const std::vector<Fields> frames = read_trace(read_file_text(trace));
    ASSERT_FALSE(frames.empty());
    // It quit from the main menu well before the frame limit.
    EXPECT_LT(std::stol(frames.back().at("frame")), 40000);
    EXPECT_EQ(frames.back().at("menu"), "7");

    EXPECT_EQ(stretches(frames, "boxtitle", "Profile%20Saved!"), 3);
    EXPECT_EQ(stretches(frames, "boxtitle", "CAMPAIGN%20COMPLETE!"), 1);
    EXPECT_GE(stretches(frames, "menu", "9"), 1);  // the credits
    EXPECT_GE(stretches(frames, "pilot", "research"), 1);
    // Three missions won: the mission-complete screen came up three times.
    EXPECT_EQ(stretches(frames, "menu", "200"), 3);
    // Nothing failed on the way.
    for (const Fields& f : frames) ASSERT_NE(f.at("boxtitle"), "MISSION%20FAILED!") << "frame " << f.at("frame");

    const ProfilesParse saved = profiles_parse(read_file_text(dir / "data/profiles.dat"));
    ASSERT_FALSE(saved.damaged) << saved.why;
    ASSERT_EQ(saved.profiles.size(), 1u);
    const PROFILETYPE& p = saved.profiles[0].record;
    EXPECT_EQ(p.NAME, "DEMO");
    EXPECT_EQ(p.CALLSIGN, "AUTOPILOT");
    EXPECT_EQ(p.MISSIONNUM, 3);
    // Research chosen on the base and completed along the way.
    bool any_tech = false;
    for (int k = 1; k < TECHNOLOGY_SLOTS; ++k) any_tech = any_tech || p.COMPLETEDTECHNOLOGY[k] != 0;
    EXPECT_TRUE(any_tech);
}

}  // namespace
