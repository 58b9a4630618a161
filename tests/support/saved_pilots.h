// Saved pilots for the end-to-end runs through the menu: a stored pilot made from the starting
// values, written as a game directory's profile list, and the two checks every "save, then
// start again" scenario makes - the file holds the pilot as the mission left it, and the next
// start loads that pilot without changing the file.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "game/profile_types.h"
#include "menu/profiles.h"
#include "support/game_run.h"

namespace kvtest {

// A test with a private game directory that holds no saved pilots; skipped without a display or
// a built game.
class MenuGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        KV_REQUIRE_GAME();
        ASSERT_TRUE(g.ok());
        g.without_profiles();
    }
    // A run of at most FRAMES frames through the menu with the key script S.
    RunResult play(const std::string& name, const Keys& s, long frames) const {
        return g.play({.name = name, .script = s.text, .frames = frames});
    }
    GameDir g;
};

// A stored pilot with the starting values at MISSION, its game clock at CLOCK.
inline ProfileImage pilot(const std::string& name, const std::string& callsign, int32_t mission,
                          const std::string& clock = "01:02:03.000") {
    ProfileImage img;
    kv_profile_starting_values(img.record, name, callsign);
    img.record.MISSIONNUM = mission;
    img.clock_text = clock;
    img.checkpoints.assign(1, CHECKPOINTTYPE{});
    return img;
}

// The game directory's profile list made of IMGS (the profiles' own folder made too).
inline void write_profiles(const GameDir& g, const std::vector<ProfileImage>& imgs) {
    std::error_code ec;
    fs::create_directories(g / "data/profiles", ec);
    g.write("data/profiles.dat", profiles_serialize(imgs.data(), static_cast<int32_t>(imgs.size()), nullptr));
}

// The profile list of the game directory as the game reads it.
inline ProfilesParse saved_profiles(const GameDir& g) { return profiles_parse(read_file_text(g / "data/profiles.dat")); }

// The single saved pilot, which must hold what the trace row DONE (the frame the mission
// ended) shows: the mission reached, position, heading, fuel, rounds, rockets and air drops.
// Nothing (and a test failure) when the file holds no single pilot.
inline std::optional<ProfileImage> expect_saved_as_ended(const GameDir& g, const TraceRow& done, int32_t mission) {
    const ProfilesParse saved = saved_profiles(g);
    EXPECT_EQ(saved.profiles.size(), 1u) << saved.why;
    if (saved.profiles.size() != 1) return std::nullopt;
    const PROFILETYPE& p = saved.profiles[0].record;
    EXPECT_EQ(p.MISSIONNUM, mission);
    EXPECT_NEAR(p.PLAYERX, done.real("x"), 1e-3);
    EXPECT_NEAR(p.PLAYERZ, done.real("z"), 1e-3);
    EXPECT_NEAR(p.GUNSHIPANGLE, done.real("heading"), 1e-3);
    EXPECT_NEAR(p.FUEL, done.real("fuel"), 1e-4);
    EXPECT_EQ(p.VT90S, done.num("ammo"));
    EXPECT_EQ(p.ROCKETS, done.num("rockets"));
    EXPECT_EQ(static_cast<long>(saved.profiles[0].airdrops.size()), done.num("airdrops"));
    return saved.profiles[0];
}

// The next start of the game: the first pilot loaded to its briefing, Escape out of the flight,
// quit from the main menu. The run must end well, quit from the main menu and leave
// profiles.dat byte for byte as it was. The briefing's row comes back; an empty row (and a
// test failure) when the briefing never showed.
inline TraceRow found_again(const GameDir& g, const std::string& name) {
    const std::string before = read_file_text(g / "data/profiles.dat");
    Keys again;
    again.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER").press(900, "ESCAPE");
    again.press(930, "UP").press(950, "UP").press(970, "ENTER");
    const RunResult r = g.play({.name = name, .script = again.text, .frames = 1300});
    EXPECT_EQ(r.status, 0) << r.log();
    EXPECT_EQ(read_file_text(g / "data/profiles.dat"), before) << "the second start changed profiles.dat";
    EXPECT_FALSE(r.rows.empty());
    if (!r.rows.empty()) {
        EXPECT_EQ(r.rows.back().num("menu"), 7) << "quit from elsewhere";
    }
    const TraceRow* briefing = r.find("menu", 2);
    EXPECT_NE(briefing, nullptr) << "the second start never reached the briefing";
    return briefing ? *briefing : TraceRow{};
}

}  // namespace kvtest
