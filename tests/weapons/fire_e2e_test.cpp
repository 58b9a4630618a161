// The real game firing: core --fly on the virtual clock with the fire control held, then the
// next-weapon control; checks the trace's ammunition and rocket counts and looks for tracer
// rounds in a screenshot of the chase view.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "config/config.h"
#include "config/control_codes.h"
#include "engine/png.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

const fs::path kGame = KV_GAME_DIR;
const fs::path kOut = fs::path(KV_BUILD_DIR) / "e2e_weapons";
const fs::path kShots = fs::path(KV_BUILD_DIR) / "screenshots";

std::string key_of(int32_t control) {
    CONFIGVARTYPE cfg;
    config_read(cfg, (kGame / "configVars.dat").string());
    if (cfg.INPUTTYPE != 0) return "";
    return control_code_info(cfg.CONTROL[control]).KEYNAME;
}

// frame -> (ammo, rockets) from the trace.
std::map<long, std::pair<long, long>> parse(const std::string& text) {
    std::map<long, std::pair<long, long>> out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kv;
        std::map<std::string, std::string> m;
        while (fields >> kv) {
            const size_t eq = kv.find('=');
            if (eq != std::string::npos) m[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        if (m.count("frame") && m.count("ammo") && m.count("rockets")) {
            out[std::atol(m["frame"].c_str())] = {std::atol(m["ammo"].c_str()), std::atol(m["rockets"].c_str())};
        }
    }
    return out;
}

}  // namespace

TEST(FireRun, CannonThenRocketsFromTheRealGame) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (xvfb-run)";
    if (!fs::exists(kGame / "core") || !fs::exists(kGame / "0.map")) GTEST_SKIP() << "no game directory";
    const std::string fire = key_of(11), next = key_of(10);
    if (fire.empty() || next.empty()) GTEST_SKIP() << "the shipped settings do not use keys";
    fs::create_directories(kOut);
    fs::create_directories(kShots);
    const fs::path input = kOut / "fire.input", trace = kOut / "fire.trace", log = kOut / "fire.log";
    const fs::path shot = kShots / "weapons_cannon_fire.png";
    std::ofstream(input) << "10 key " << fire << " 1\n200 key " << next << " 1\n202 key " << next
                         << " 0\n300 key ESCAPE 1\n";
    fs::remove(trace);
    fs::remove(shot);
    std::string cmd = "\"";
    cmd += (kGame / "core").string();
    cmd += "\" --dir \"";
    cmd += kGame.string();
    cmd += "\" --fly --fixed-step 16 --seed 1 --frames 400 --input \"";
    cmd += input.string();
    cmd += "\" --trace \"";
    cmd += trace.string();
    cmd += "\" --screenshot 80:\"";
    cmd += shot.string();
    cmd += "\" >\"";
    cmd += log.string();
    cmd += "\" 2>&1";
    const int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << read_file_text(log);
    const auto frames = parse(read_file_text(trace));
    ASSERT_TRUE(frames.count(5) && frames.count(190) && frames.count(299)) << read_file_text(log);

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
    const PngImage img = png_load(shot.string());
    ASSERT_TRUE(img) << img.reason;
    int orange = 0;
    for (uint32_t y = img.height / 3; y < img.height * 7 / 10; ++y) {
        for (uint32_t x = img.width / 4; x < img.width * 3 / 4; ++x) {
            const uint8_t* p = img.pixels.get() + (static_cast<size_t>(img.height - 1 - y) * img.width + x) * 4;
            if (p[0] > 180 && p[0] > p[2] + 70 && p[1] > p[2] + 30) ++orange;
        }
    }
    EXPECT_GT(orange, 0) << "no tracer rounds in " << shot;
}
