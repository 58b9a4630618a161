// The real game firing: core --fly on the virtual clock with the fire control held, then the
// next-weapon control; checks the trace's ammunition and rocket counts and looks for tracer
// rounds in screenshots of the chase view.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/game_run.h"

TEST(FireRun, CannonThenRocketsFromTheRealGame) {
    KV_REQUIRE_GAME();
    const std::string fire = kvtest::shipped_key_of(11), next = kvtest::shipped_key_of(10);
    if (fire.empty() || next.empty()) GTEST_SKIP() << "the shipped settings do not use keys";
    kvtest::GameDir g;
    ASSERT_TRUE(g.ok());
    // Every tenth pool slot carries a tracer, so which rounds glow depends on what else holds
    // slots (sparks, enemy fire): look at a stretch of the burst, not at one frame.
    kvtest::Play p{.name = "fire",
                   .script = kvtest::key_line(10, fire, 1) + kvtest::key_press(200, next, 2) + kvtest::key_line(300, "ESCAPE", 1),
                   .frames = 400,
                   .fly = true,
                   .shots = {{80, "weapons_cannon_fire.png"}}};
    for (long f = 81; f <= 110; ++f) p.shots.emplace_back(f, g / ("fire_" + std::to_string(f) + ".png"));
    const kvtest::RunResult run = g.play(p);
    ASSERT_EQ(run.status, 0) << run.log();
    // frame -> (ammunition, rockets)
    std::map<long, std::pair<long, long>> frames;
    for (const kvtest::TraceRow& f : run.rows) frames[f.i("frame")] = {f.i("ammo"), f.i("rockets")};
    ASSERT_TRUE(frames.count(5) && frames.count(190) && frames.count(299)) << run.log();

    // Before the trigger nothing is spent; with a 16 ms frame and a 20 ms cycle the cannon fires
    // every second frame, one unit per cycle of three rounds.
    const long ammo0 = frames.at(5).first;
    const long spent = ammo0 - frames.at(190).first;
    EXPECT_GE(spent, 85);
    EXPECT_LE(spent, 95);
    EXPECT_EQ(frames.at(190).second, frames.at(5).second) << "no rockets while the cannon is selected";

    // After the switch the cannon rests and a rocket leaves every 200 ms.
    const long rockets_spent = frames.at(210).second - frames.at(299).second;
    EXPECT_EQ(frames.at(299).first, frames.at(210).first);
    EXPECT_GE(rockets_spent, 5);
    EXPECT_LE(rockets_spent, 8);

    // Tracers (orange) ahead of the gunship: the band between the horizon haze and the hull
    // (rows counted from the top; decoded rows run bottom first).
    int orange = 0;
    for (const auto& [frame, file] : p.shots) {
        const PngImage img = kvtest::load_shot(file);
        ASSERT_TRUE(img) << img.reason;
        for (uint32_t y = img.height / 3; y < img.height * 7 / 10; ++y) {
            for (uint32_t x = img.width / 4; x < img.width * 3 / 4; ++x) {
                const uint8_t* p = img.pixels.get() + (static_cast<size_t>(img.height - 1 - y) * img.width + x) * 4;
                if (p[0] > 180 && p[0] > p[2] + 70 && p[1] > p[2] + 30) ++orange;
            }
        }
    }
    EXPECT_GT(orange, 0) << "no tracer rounds in frames 80-110";
}
