// The real game firing: core --fly on the virtual clock with the fire control held, then the
// next-weapon control; checks the trace's ammunition and rocket counts and looks for tracer
// rounds in a screenshot of the chase view.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>
#include <sstream>
#include <string>

#include "engine/png.h"
#include "support/fly_run.h"

namespace fs = std::filesystem;

namespace {

const fs::path kGame = KV_GAME_DIR;
const fs::path kOut = fs::path(KV_BUILD_DIR) / "e2e_weapons";
const fs::path kShots = fs::path(KV_BUILD_DIR) / "screenshots";

std::string key_of(int32_t control) { return shipped_key_of(kGame, control); }

}  // namespace

TEST(FireRun, CannonThenRocketsFromTheRealGame) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (xvfb-run)";
    if (!fs::exists(kGame / "core") || !fs::exists(kGame / "0.map")) GTEST_SKIP() << "no game directory";
    const std::string fire = key_of(11), next = key_of(10);
    if (fire.empty() || next.empty()) GTEST_SKIP() << "the shipped settings do not use keys";
    // Every tenth pool slot carries a tracer, so which rounds glow depends on what else holds
    // slots (sparks, enemy fire): look at a stretch of the burst, not at one frame.
    const fs::path shot = kShots / "weapons_cannon_fire.png";
    std::vector<std::pair<int, fs::path>> shots = {{80, shot}};
    for (int f = 81; f <= 110; ++f) shots.emplace_back(f, kOut / ("fire_" + std::to_string(f) + ".png"));
    std::ostringstream script;
    script << "10 key " << fire << " 1\n200 key " << next << " 1\n202 key " << next << " 0\n300 key ESCAPE 1\n";
    const FlyResult run = fly_run(kGame, kOut, "fire", script.str(), 400, shots);
    ASSERT_EQ(run.status, 0) << run.log;
    // frame -> (ammunition, rockets)
    std::map<long, std::pair<long, long>> frames;
    for (const TraceFrame& f : run.frames) frames[f.frame] = {f.ammo, f.rockets};
    ASSERT_TRUE(frames.count(5) && frames.count(190) && frames.count(299)) << run.log;

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
    for (const auto& [frame, file] : shots) {
        const PngImage img = png_load(file.string());
        ASSERT_TRUE(img) << img.reason;
        for (uint32_t y = img.height / 3; y < img.height * 7 / 10; ++y) {
            for (uint32_t x = img.width / 4; x < img.width * 3 / 4; ++x) {
                const uint8_t* p = img.pixels.get() + (static_cast<size_t>(img.height - 1 - y) * img.width + x) * 4;
                if (p[0] > 180 && p[0] > p[2] + 70 && p[1] > p[2] + 30) ++orange;
            }
        }
    }
    EXPECT_GT(orange, 0) << "no tracer rounds in frames 80-110 (" << shot << ")";
}
