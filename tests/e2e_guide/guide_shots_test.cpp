// The pictures of the player's guide, taken from the real game with --screenshot: the title
// screen, a mission briefing, a mission in flight with its HUD, and the demolition blast. Every
// run uses a private copy of the game directory with a 640 x 480 window (the size the README
// shows them at) on the virtual clock; the pictures go to build/guide/, and scripts/guide-shots
// copies them into docs/. Each picture is checked to show what its caption says, and the trace
// of its frame to come from the screen or phase it is meant to show.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_core/core_run.h"
#include "engine/png.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using Fields = std::map<std::string, std::string>;

const fs::path kShots = fs::path(KV_BUILD_DIR) / "guide";

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

// The trace line of frame n, or an empty record.
Fields at_frame(const std::vector<Fields>& frames, long n) {
    for (const Fields& f : frames)
        if (std::stol(f.at("frame")) == n) return f;
    return {};
}

long number(const Fields& f, const std::string& key) {
    const auto it = f.find(key);
    return it == f.end() ? -1 : std::stol(it->second);
}

struct CoreRun {
    int status = -1;
    std::vector<Fields> frames;
};

// A private game directory with a 640 x 480 window, the version question answered (checking
// off) and no saved pilots, so every run starts from the same title screen.
struct GuideGame {
    GuideGame() {
        dir.set_config_line(1, " 640");
        dir.set_config_line(2, " 480");
        std::error_code ec;
        fs::remove(dir / "ver.dat", ec);
        write_file_text(dir / "ver.dat", "0.1.0\r\n 0\r\n");
        fs::remove(dir / "data/profiles.dat", ec);
        fs::remove_all(dir / "data/profiles", ec);
    }
    // core with `args` on the virtual clock (50 ms frames), its trace read back.
    CoreRun run(const std::string& name, const std::string& args) {
        const fs::path trace = dir / (name + ".trace");
        std::string cmd = "cd '" + dir.path().string() + "' && timeout 900 '" + std::string(KV_GAME_DIR) +
                          "/core' --dir '" + dir.path().string() + "' --fixed-step 50 " + args + " --trace '" +
                          trace.string() + "' >'" + (dir / (name + ".log")).string() + "' 2>&1 </dev/null";
        CoreRun r;
        const int s = std::system(cmd.c_str());
        r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
        r.frames = read_trace(read_file_text(trace));
        return r;
    }
    e2e::GameDir dir;
};

// The --screenshot argument that writes frame n to build/guide/FILE (an older copy removed).
std::string shot(long n, const std::string& file) {
    fs::create_directories(kShots);
    std::error_code ec;
    fs::remove(kShots / file, ec);
    return " --screenshot " + std::to_string(n) + ":'" + (kShots / file).string() + "'";
}

// Pixels of the rectangle [x0, x1) x [y0, y1) (y from the top of the picture) that pass `test`.
template <typename Test>
int count_pixels(const PngImage& img, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, Test test) {
    int n = 0;
    for (uint32_t y = y0; y < y1 && y < img.height; ++y)
        for (uint32_t x = x0; x < x1 && x < img.width; ++x) {
            const uint8_t* p = img.pixels.get() + (static_cast<size_t>(img.height - 1 - y) * img.width + x) * 4;
            if (test(p[0], p[1], p[2])) ++n;
        }
    return n;
}

PngImage load_shot(const std::string& file) { return png_load((kShots / file).string()); }

bool pale(uint8_t r, uint8_t g, uint8_t b) { return r > 170 && g > 170 && b > 170; }
bool red(uint8_t r, uint8_t g, uint8_t b) { return r > 170 && g < 120 && b < 100; }
// The fireballs' orange and yellow under the haze (the clock's pure red does not count).
bool fire(uint8_t r, uint8_t g, uint8_t b) { return r > 150 && r > g + 25 && g > b + 15 && g > 90; }
bool dark(uint8_t r, uint8_t g, uint8_t b) { return r < 100 && g < 100 && b < 100; }
bool panel_blue(uint8_t r, uint8_t g, uint8_t b) { return b > 80 && b > r + 40 && b > g + 10; }

class GuideShots : public ::testing::Test {
protected:
    void SetUp() override {
        if (!e2e::have_display()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
        ASSERT_TRUE(game.dir.ok());
    }
    GuideGame game;
};

TEST_F(GuideShots, TitleScreen) {
    const CoreRun r = game.run("title", "--seed 1 --frames 62" + shot(60, "guide_title.png"));
    ASSERT_EQ(r.status, 0);
    const Fields f = at_frame(r.frames, 60);
    ASSERT_FALSE(f.empty());
    EXPECT_EQ(f.at("menu"), "7") << "the main menu";
    EXPECT_EQ(f.at("box"), "none") << "no question over it";
    const PngImage img = load_shot("guide_title.png");
    ASSERT_TRUE(img) << img.reason;
    EXPECT_EQ(img.width, 640u);
    EXPECT_EQ(img.height, 480u);
    // The game's name in pale letters across the upper third, the highlighted first item as a
    // red bar below it, and dark corners.
    EXPECT_GT(count_pixels(img, 80, 90, 560, 170, pale), 3000);
    EXPECT_GT(count_pixels(img, 120, 185, 520, 220, red), 3000);
    EXPECT_EQ(count_pixels(img, 0, 400, 80, 480, pale), 0);
}

TEST_F(GuideShots, MissionBriefing) {
    // Through the menu as a player: load profile, NEW PROFILE, a name and a call sign, Accept,
    // Load; then the loading screens and the first page of the mission window, left standing.
    std::string script;
    long frame = 20;
    auto tap = [&](const std::string& key) {
        script += std::to_string(frame) + " key " + key + " 1\n" + std::to_string(frame + 1) + " key " + key + " 0\n";
        frame += 10;
    };
    tap("ENTER");                                // load profile
    tap("ENTER");                                // NEW PROFILE
    for (const char* k : {"V", "O", "S", "S"}) tap(k);
    tap("ENTER");                                // to the call sign
    for (const char* k : {"K", "I", "T", "E"}) tap(k);
    tap("ENTER");                                // to Accept
    tap("ENTER");                                // Accept: the profile properties
    tap("ENTER");                                // Load
    const fs::path input = game.dir / "briefing.input";
    write_file_text(input, script);
    // The map is compiled a tile a frame while the loading screens show; the briefing then stays.
    const long at = 1200;
    const CoreRun r = game.run("briefing", "--seed 1 --frames " + std::to_string(at + 2) + " --input '" +
                                           input.string() + "'" + shot(at, "guide_briefing.png"));
    ASSERT_EQ(r.status, 0);
    const Fields f = at_frame(r.frames, at);
    ASSERT_FALSE(f.empty());
    EXPECT_EQ(f.at("menu"), "2") << "the briefing page was not up by frame " << at;
    EXPECT_EQ(f.at("mission"), "0");
    // The pilot exists on disk now, as the menu creates it.
    EXPECT_TRUE(fs::exists(game.dir / "data/profiles.dat"));
    const PngImage img = load_shot("guide_briefing.png");
    ASSERT_TRUE(img) << img.reason;
    EXPECT_EQ(img.width, 640u);
    // The blue panel fills the middle; its text is pale; the red banner lines top and bottom.
    EXPECT_GT(count_pixels(img, 40, 140, 600, 420, panel_blue), 80000);
    EXPECT_GT(count_pixels(img, 30, 125, 610, 340, pale), 1500);
    EXPECT_GT(count_pixels(img, 150, 10, 490, 30, red), 300);
    EXPECT_GT(count_pixels(img, 150, 460, 490, 478, red), 300);
}

// The first mission flown by the demo pilot: a short run to learn when it is two seconds into
// its first attack, then the same run (deterministic) pictured at that frame.
TEST_F(GuideShots, MissionInFlightWithTheHud) {
    const std::string fly = "--fly --fly-mission 0 --autopilot --seed 7";
    const CoreRun first = game.run("flight", fly + " --frames 400");
    ASSERT_EQ(first.status, 0);
    long attack_from = -1, at = -1;
    for (const Fields& f : first.frames) {
        const bool attacking = f.at("pilot") == "attack" && number(f, "alive") > 0;
        if (attacking && attack_from < 0) attack_from = number(f, "frame");
        if (attacking && attack_from > 0 && number(f, "frame") >= attack_from + 40) {
            at = number(f, "frame");
            break;
        }
    }
    ASSERT_GT(at, 0) << "the pilot was not attacking two seconds after it began";
    const CoreRun second = game.run("flight_shot", fly + " --frames " + std::to_string(at + 1) + shot(at, "guide_flight.png"));
    ASSERT_EQ(second.status, 0);
    const Fields f = at_frame(second.frames, at);
    ASSERT_FALSE(f.empty());
    EXPECT_EQ(f, at_frame(first.frames, at)) << "the second run went another way";
    EXPECT_EQ(f.at("started"), "1");

    const PngImage img = load_shot("guide_flight.png");
    ASSERT_TRUE(img) << img.reason;
    EXPECT_EQ(img.width, 640u);
    EXPECT_EQ(img.height, 480u);
    // The HUD: the mission clock's red digits at the top, the gauge row along the bottom (dark
    // bars and icons against the haze), the minimap's blue frame in the lower right corner.
    EXPECT_GT(count_pixels(img, 160, 10, 480, 70, red), 500);
    EXPECT_GT(count_pixels(img, 100, 405, 500, 445, dark), 800);
    EXPECT_GT(count_pixels(img, 500, 340, 640, 480, panel_blue), 2000);
}

// The demolition blast over the north gate of Fort Dunmar, seen from the north: set off on cue
// (--fly-blast) in the third mission, pictured while the fireballs burn.
TEST_F(GuideShots, DemolitionBlast) {
    const long at = 24;
    const CoreRun r = game.run("blast", "--fly --fly-mission 2 --fly-at 195,376,-90 --fly-blast 5 --seed 1 --frames " +
                                            std::to_string(at + 1) + shot(at, "guide_blast.png"));
    ASSERT_EQ(r.status, 0);
    const Fields f = at_frame(r.frames, at);
    ASSERT_FALSE(f.empty());
    EXPECT_GT(number(f, "blast"), 300) << "the fireballs burn";
    const PngImage img = load_shot("guide_blast.png");
    ASSERT_TRUE(img) << img.reason;
    EXPECT_EQ(img.width, 640u);
    // Fire ahead of the gunship, in the upper half of the view (the flight before it shows a
    // few hundred such pixels in tracers and markers; the smoke after it fewer still).
    EXPECT_GT(count_pixels(img, 160, 120, 480, 280, fire), 1500);
    EXPECT_GT(count_pixels(img, 160, 10, 480, 70, red), 500) << "the HUD stays up";
}

}  // namespace
