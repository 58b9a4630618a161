// Mission objects played through the real game (core --fly on the virtual clock) in private
// game directories whose mission files and enemy layout are edited per scenario: a crate that
// glides in, is winched up and gives its power-up; landing refused off a pad and refuelling on
// one; landing on the research base; the zipline drop of mission 1 at normal and half-second
// frames; the demolition of mission 2 with its wait, second pick-up and blast. Screenshots go to
// the build tree's screenshots folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/png.h"
#include "support/fly_run.h"

namespace fs = std::filesystem;

namespace {

const fs::path kGame = KV_GAME_DIR;
const fs::path kOut = fs::path(KV_BUILD_DIR) / "e2e_objects";
const fs::path kShots = fs::path(KV_BUILD_DIR) / "screenshots";

// One trace line as key -> value.
struct Line {
    std::map<std::string, std::string> kv;
    const std::string& s(const std::string& key) const {
        static const std::string none;
        auto it = kv.find(key);
        return it == kv.end() ? none : it->second;
    }
    long i(const std::string& key) const { return std::atol(s(key).c_str()); }
    double d(const std::string& key) const { return std::atof(s(key).c_str()); }
};

struct GameRun {
    int status = -1;
    std::vector<Line> lines;  // lines[f - 1] is frame f
    std::string log;
    const Line& at(long frame) const {
        static const Line none;
        if (frame < 1 || frame > static_cast<long>(lines.size())) {
            ADD_FAILURE() << "frame " << frame << " missing from the trace";
            return none;
        }
        return lines[static_cast<size_t>(frame - 1)];
    }
    // First frame at or after `from` whose line satisfies pred; 0 when none.
    long first(const std::function<bool(const Line&)>& pred, long from = 1) const {
        for (long f = from; f <= static_cast<long>(lines.size()); ++f)
            if (pred(lines[static_cast<size_t>(f - 1)])) return f;
        return 0;
    }
};

std::vector<Line> read_trace(const fs::path& path) {
    std::vector<Line> out;
    std::istringstream in(read_file_text(path));
    std::string text;
    while (std::getline(in, text)) {
        Line l;
        std::istringstream fields(text);
        std::string kv;
        while (fields >> kv) {
            const size_t eq = kv.find('=');
            if (eq != std::string::npos) l.kv[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        if (l.kv.count("frame")) out.push_back(l);
    }
    return out;
}

// A game directory of its own for one scenario: links to the built game, with the mission
// files and the enemy layout copied so the scenario may edit them, and the files the game may
// write copied too.
fs::path private_game(const std::string& name) {
    const fs::path dir = kOut / name / "game";
    fs::remove_all(dir);
    fs::create_directories(dir / "data");
    for (const auto& e : fs::directory_iterator(kGame)) {
        const std::string n = e.path().filename().string();
        if (n == "data") continue;
        if (e.is_regular_file() && n.ends_with(".dat")) fs::copy(e.path(), dir / n);
        else fs::create_symlink(e.path(), dir / n);
    }
    for (const auto& e : fs::directory_iterator(kGame / "data")) {
        const std::string n = e.path().filename().string();
        if (n == "missions") fs::copy(e.path(), dir / "data" / n, fs::copy_options::recursive);
        else if (n == "enemies0.dat") fs::copy(e.path(), dir / "data" / n);
        else fs::create_symlink(e.path(), dir / "data" / n);
    }
    return dir;
}

// Replaces an exact line of a text file (CR LF or LF ends kept as they are).
void edit_line(const fs::path& file, const std::string& from, const std::string& to) {
    std::string text = read_file_text(file);
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " not in " << file;
    text.replace(at, from.size(), to);
    write_file_text(file, text);
}

// Takes enemy slots first..last out of the layout (they start destroyed).
void clear_enemies(const fs::path& game, int first, int last) {
    const fs::path file = game / "data/enemies0.dat";
    std::istringstream in(read_file_text(file));
    std::ostringstream out;
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        const int slot = n - 2;  // the counts take the first two lines
        if (slot >= first && slot <= last) {
            // X,Y,Z,ACTIVE,...: the fourth value is the state.
            std::istringstream fields(line);
            std::string field, rebuilt;
            for (int k = 0; std::getline(fields, field, ','); ++k) {
                if (k > 0) rebuilt += ',';
                rebuilt += k == 3 ? std::string("0") : field;
            }
            line = rebuilt;
        }
        out << line << '\n';
        ++n;
    }
    write_file_text(file, out.str());
}

struct Options {
    int mission = 0;
    std::string at;     // "X,Z"
    double fuel = -1;   // < 0: full
    int step = 16;
    int frames = 300;
    std::vector<std::pair<int, std::string>> shots;  // frame, file name in kShots
};

GameRun play(const fs::path& game, const std::string& name, const std::string& script, const Options& o) {
    const fs::path out = kOut / name;
    fs::create_directories(out);
    fs::create_directories(kShots);
    const fs::path input = out / "input.txt", trace = out / "trace.txt", log = out / "log.txt";
    std::ofstream(input) << script;
    fs::remove(trace);
    std::string cmd = "\"";
    cmd += (game / "core").string();
    cmd += "\" --dir \"";
    cmd += game.string();
    cmd += "\" --fly --seed 1 --fixed-step ";
    cmd += std::to_string(o.step);
    cmd += " --frames ";
    cmd += std::to_string(o.frames);
    cmd += " --fly-mission ";
    cmd += std::to_string(o.mission);
    if (!o.at.empty()) {
        cmd += " --fly-at ";
        cmd += o.at;
    }
    if (o.fuel >= 0) {
        cmd += " --fly-fuel ";
        cmd += std::to_string(o.fuel);
    }
    cmd += " --input \"";
    cmd += input.string();
    cmd += "\" --trace \"";
    cmd += trace.string();
    cmd += "\"";
    for (const auto& [frame, file] : o.shots) {
        fs::remove(kShots / file);
        cmd += " --screenshot ";
        cmd += std::to_string(frame);
        cmd += ":\"";
        cmd += (kShots / file).string();
        cmd += "\"";
    }
    cmd += " >\"";
    cmd += log.string();
    cmd += "\" 2>&1";
    GameRun r;
    const int rc = std::system(cmd.c_str());
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.lines = read_trace(trace);
    r.log = read_file_text(log);
    return r;
}

std::string key_of(int32_t control) { return shipped_key_of(kGame, control); }

std::string press(int frame, const std::string& key, int frames = 3) {
    return std::to_string(frame) + " key " + key + " 1\n" + std::to_string(frame + frames) + " key " + key + " 0\n";
}

// The state (ACTIVE.PICKUPFLAG) of the n-th crate of the current mission in a trace line.
std::string crate(const Line& l, int n) {
    std::istringstream in(l.s("crates"));
    std::string item;
    for (int i = 0; std::getline(in, item, ','); ++i)
        if (i == n) return item;
    return "";
}

// The screenshot was written and decodes to a whole frame.
bool screenshot_written(const fs::path& file) {
    const PngImage img = png_load(file.string());
    return img && img.width >= 320 && img.height >= 240;
}

#define REQUIRE_GAME()                                                                          \
    do {                                                                                        \
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (xvfb-run)";       \
        if (!fs::exists(kGame / "core") || !fs::exists(kGame / "0.map"))                        \
            GTEST_SKIP() << "game directory without core or map";                               \
        if (key_of(6).empty() || key_of(11).empty()) GTEST_SKIP() << "shipped settings use no keys"; \
    } while (0)

}  // namespace

TEST(ObjectsE2E, ACrateGlidesInIsWinchedUpAndGivesItsPowerUp) {
    REQUIRE_GAME();
    const fs::path game = private_game("crate");
    // Crate 0 of mission 0 comes down beside the campaign's start, under the gunship; crate 1
    // falls at once too, a few units ahead where the camera sees its parachute.
    const fs::path m0 = game / "data/missions/0.dat";
    edit_line(m0, "AIR_DROP//0//TARGETXZ//318//212", "AIR_DROP//0//TARGETXZ//356//290");
    edit_line(m0, "CHECKPOINT//0//XZ//318//212", "CHECKPOINT//0//XZ//356//290");
    edit_line(m0, "AIR_DROP//1//OBJECTIVE//1", "AIR_DROP//1//OBJECTIVE//0");
    edit_line(m0, "AIR_DROP//1//TARGETXZ//320//140", "AIR_DROP//1//TARGETXZ//350//284");
    edit_line(m0, "CHECKPOINT//1//OBJECTIVE//1", "CHECKPOINT//1//OBJECTIVE//0");
    edit_line(m0, "CHECKPOINT//1//XZ//320//140", "CHECKPOINT//1//XZ//350//284");
    const std::string land = key_of(6);
    Options o;
    o.at = "356,290";
    o.step = 48;
    o.frames = 620;
    o.shots = {{540, "objects_crate_winch.png"}, {420, "objects_crate_chute.png"}, {450, "objects_crate_chute2.png"}};
    const GameRun r = play(game, "crate", press(495, land), o);
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_EQ(r.lines.size(), 620u) << r.log;

    EXPECT_EQ(r.at(1).s("crates"), "0.0,0.0");
    const long landed = r.first([](const Line& l) { return crate(l, 0)[0] == '1'; });
    const long down = r.first([](const Line& l) { return crate(l, 0)[0] == '2'; });
    ASSERT_GT(landed, 1);
    ASSERT_GT(down, landed);
    ASSERT_LT(down, 495) << "the crate must be down before the activate press";
    EXPECT_EQ(crate(r.at(down), 0), "2.1");
    // The other crate lands on its own target and waits; only the one below is winched.
    const long other = r.first([](const Line& l) { return crate(l, 1) == "2.1"; });
    ASSERT_GT(other, 0);
    EXPECT_EQ(crate(r.lines.back(), 1), "2.1");
    // Its marker lights up (check point 1) and the gunship is inside it.
    EXPECT_NE(r.at(down).s("cpon").find(",1,"), std::string::npos) << r.at(down).s("cpon");
    EXPECT_EQ(r.at(down).i("inside"), 1);
    for (long f = down; f < 495; ++f) ASSERT_EQ(crate(r.at(f), 0), "2.1") << "frame " << f;

    const long winch = r.first([](const Line& l) { return crate(l, 0) == "2.2"; });
    EXPECT_EQ(winch, 495);
    EXPECT_EQ(r.at(495).i("pickup"), 1);
    EXPECT_EQ(r.at(500).i("lockmin"), 1);
    const long lifted = r.first([](const Line& l) { return crate(l, 0) == "2.3"; });
    ASSERT_GT(lifted, winch);
    EXPECT_NEAR((lifted - winch) * 48, 2500, 60);  // 2.5 s of winching
    EXPECT_EQ(crate(r.at(lifted + 1), 0), "2.4");
    EXPECT_EQ(r.at(lifted + 3).i("lockmin"), 0);
    EXPECT_EQ(r.at(lifted + 1).s("cpon").find(",1,"), std::string::npos) << "the marker goes out";
    EXPECT_NE(r.at(lifted + 1).s("cpon").find(",2,"), std::string::npos) << "the other crate's stays";
    // The power-up of a rocket crate shows.
    const long shown = r.first([](const Line& l) { return l.i("powerup") == 2; }, lifted);
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, lifted + 10);
    EXPECT_TRUE(screenshot_written(kShots / "objects_crate_winch.png"));
}

TEST(ObjectsE2E, LandingIsRefusedOffThePadAndThePadRefuelsAndRearmsInOrder) {
    REQUIRE_GAME();
    const fs::path game = private_game("pad");
    const std::string land = key_of(6), fire = key_of(11), next = key_of(10);
    Options off;
    off.at = "403,350";  // 8 units short of the Port Anselm pad
    off.fuel = 0.5;
    off.frames = 40;
    const GameRun refused = play(game, "pad_off", press(5, land), off);
    ASSERT_EQ(refused.lines.size(), 40u) << refused.log;
    EXPECT_EQ(refused.at(5).i("pickup"), 1);
    EXPECT_EQ(refused.at(5).i("locklanding"), 1);
    for (const Line& l : refused.lines) ASSERT_EQ(l.i("landed"), 0) << "frame " << l.i("frame");

    // On the pad: spend rounds and rockets in the air, then land.
    Options on;
    on.at = "403,358";
    on.fuel = 0.5;
    on.step = 32;
    on.frames = 320;
    on.shots = {{150, "objects_refueling.png"}};
    std::string script = "2 key " + fire + " 1\n30 key " + fire + " 0\n";
    script += press(32, next, 2);
    script += "36 key " + fire + " 1\n70 key " + fire + " 0\n";
    script += press(75, land);
    const GameRun r = play(game, "pad_on", script, on);
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_EQ(r.lines.size(), 320u) << r.log;
    EXPECT_EQ(r.at(60).i("inside"), 3);  // mission 0's pad, the one of this mission
    EXPECT_EQ(r.at(60).i("locklanding"), 0);
    EXPECT_LT(r.at(74).i("ammo"), 9999);
    EXPECT_LT(r.at(74).i("rockets"), 64);
    const long landed = r.first([](const Line& l) { return l.i("landed") == 1; });
    EXPECT_EQ(landed, 75);
    const long refuel = r.first([](const Line& l) { return l.i("refuel") == 1; });
    ASSERT_GT(refuel, landed);
    EXPECT_EQ(r.at(refuel).s("loadtext"), "Refueling");

    // Fuel to the full tank, then the rounds, then the rockets; one kind a frame.
    long full_fuel = 0, full_ammo = 0, full_rockets = 0;
    for (long f = refuel; f <= 320; ++f) {
        const Line& a = r.at(f - 1);
        const Line& b = r.at(f);
        const int fuel_up = b.d("fuel") > a.d("fuel"), ammo_up = b.i("ammo") > a.i("ammo");
        const int rockets_up = b.i("rockets") > a.i("rockets");
        ASSERT_LE(fuel_up + ammo_up + rockets_up, 1) << "frame " << f;
        if (ammo_up) {
            ASSERT_GE(a.d("fuel"), 1.0) << "rounds loaded before the tank was full, frame " << f;
        }
        if (rockets_up) {
            ASSERT_EQ(a.i("ammo"), 9999) << "rockets loaded before the rounds, frame " << f;
        }
        if (!full_fuel && b.d("fuel") >= 1.0) full_fuel = f;
        if (!full_ammo && b.i("ammo") == 9999) full_ammo = f;
        if (!full_rockets && b.i("rockets") == 64) full_rockets = f;
    }
    ASSERT_GT(full_fuel, refuel);
    ASSERT_GT(full_ammo, full_fuel);
    ASSERT_GT(full_rockets, full_ammo);
    EXPECT_EQ(r.at(full_ammo).s("loadtext"), "Loading%20VT90mm%20Rounds");
    EXPECT_EQ(r.at(full_rockets).s("loadtext"), "Loading%20Rockets");
    // All full: the gunship is released.
    EXPECT_EQ(r.at(full_rockets + 2).i("landed"), 0);
    EXPECT_EQ(r.at(150).i("loading"), 1);
    EXPECT_TRUE(screenshot_written(kShots / "objects_refueling.png"));
}

TEST(ObjectsE2E, LandingOnTheResearchBaseEndsTheRunWithCodeFiveOrSix) {
    REQUIRE_GAME();
    // A fresh pilot is offered research with the shipped fields (code 6, the choice screen);
    // with no research fields there is nothing to choose (code 5, the technology screen).
    for (const bool offered : {true, false}) {
        const fs::path game = private_game(offered ? "base6" : "base5");
        if (!offered) {
            fs::remove(game / "data" / "research.dat");
            std::ofstream(game / "data" / "research.dat") << "";
        }
        Options o;
        o.at = "364,309";
        o.frames = 200;
        const GameRun r = play(game, offered ? "base6" : "base5", press(5, key_of(6)), o);
        ASSERT_EQ(r.status, 0) << r.log;
        ASSERT_FALSE(r.lines.empty()) << r.log;
        EXPECT_LT(r.lines.size(), 200u) << "the run goes on after landing on the base";
        EXPECT_EQ(r.lines.back().i("exit"), offered ? 6 : 5);
        EXPECT_EQ(r.lines.back().i("landed"), 1);
        EXPECT_EQ(r.at(4).i("exit"), 0);
    }
}

namespace {

// Mission 1 from its zipline objective: the guard post (enemy slots 20-28) is already taken.
void zipline_down(int step, int press_at, int frames, const std::string& name,
                  const std::vector<std::pair<int, std::string>>& shots = {}) {
    const fs::path game = private_game(name);
    clear_enemies(game, 20, 28);
    Options o;
    o.mission = 1;
    o.at = "220,216";
    o.step = step;
    o.frames = frames;
    o.shots = shots;
    const std::string thrust = key_of(4);
    std::string script = press(press_at, key_of(6));
    script += std::to_string(frames - 8) + " key " + thrust + " 1\n";
    const GameRun r = play(game, name, script, o);
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_EQ(r.lines.size(), static_cast<size_t>(frames)) << r.log;
    EXPECT_EQ(r.at(2).i("objective"), 1);
    EXPECT_EQ(r.at(press_at - 1).i("zip"), 0);
    EXPECT_EQ(r.at(press_at).i("zip"), 1);
    EXPECT_EQ(r.at(press_at + 1).i("lockmin"), 1);
    const long walking = r.first([](const Line& l) { return l.s("runners")[0] != '0'; });
    EXPECT_GT(walking, press_at);
    const long done = r.first([](const Line& l) { return l.i("objective") == 2; });
    ASSERT_GT(done, press_at) << "the zipline objective never completed";
    ASSERT_LT(done, frames - 8);
    EXPECT_EQ(r.at(done - 1).i("zip"), 1);  // the trace then shows objective 2's own state
    EXPECT_EQ(r.at(done).i("zip"), 0);
    EXPECT_EQ(r.at(done).i("uswsf"), 2);  // six of the eight stay at the relay
    EXPECT_EQ(r.at(done - 1).i("uswsf"), 8);
    EXPECT_EQ(r.at(done + 1).i("lockmin"), 0);
    EXPECT_EQ(r.at(done + 1).s("runners"), "0/0");
    // Held in place while they went down, free afterwards.
    EXPECT_NEAR(r.at(done).d("x"), r.at(press_at + 2).d("x"), 0.05);
    const Line& end = r.lines.back();
    EXPECT_GT(std::abs(end.d("x") - r.at(frames - 8).d("x")) + std::abs(end.d("z") - r.at(frames - 8).d("z")), 0.05)
        << "the gunship does not move after the drop";
}

}  // namespace

TEST(ObjectsE2E, MissionOneZiplineDropCompletesAndFreesTheGunship) {
    REQUIRE_GAME();
    zipline_down(32, 10, 260, "zip_down", {{50, "objects_zipline_ropes.png"}, {110, "objects_zipline_runners.png"}});
}

TEST(ObjectsE2E, MissionOneZiplineDropCompletesAtHalfSecondFrames) {
    REQUIRE_GAME();
    zipline_down(500, 3, 40, "zip_down_500");
}

TEST(ObjectsE2E, MissionTwoDemolitionWaitsCollectsAndEndsAfterTheBlast) {
    REQUIRE_GAME();
    const fs::path game = private_game("demolition");
    clear_enemies(game, 39, 56);  // the north gate and Kerrow square are taken
    edit_line(game / "data/missions/2.dat", "OBJECTIVE//2//ZIPLINE_WAIT//20", "OBJECTIVE//2//ZIPLINE_WAIT//3");
    const std::string land = key_of(6);
    Options o;
    o.mission = 2;
    o.at = "186,414,225";  // facing the keep
    o.step = 32;
    o.frames = 900;
    // The presses leave room: the team is down and working by frame 200, the wait ends before
    // 300, the team is back on board before 500.
    o.shots = {{90, "objects_demolition_down.png"}, {200, "objects_installing.png"}, {400, "objects_zipline_up.png"},
               {520, "objects_blast.png"}};
    std::string script = press(10, land) + press(200, land) + press(310, land);
    const GameRun r = play(game, "demolition", script, o);
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_FALSE(r.lines.empty()) << r.log;
    EXPECT_EQ(r.at(3).i("objective"), 2);
    EXPECT_EQ(r.at(10).i("zip"), 1);
    const long working = r.first([](const Line& l) { return l.i("zip") == 2; });
    ASSERT_GT(working, 10);
    ASSERT_LT(working, 200);
    EXPECT_EQ(r.at(working + 2).s("loadtext"), "INSTALLING%20EXPLOSIVES");
    EXPECT_EQ(r.at(200).i("zip"), 2) << "a press during the wait collects nobody";
    EXPECT_EQ(r.at(200).i("loading"), 1);
    EXPECT_EQ(r.at(300).i("loading"), 0);
    EXPECT_EQ(r.at(310).i("zip"), 3);
    const long triggered = r.first([](const Line& l) { return l.i("zip") >= 5; });
    ASSERT_GT(triggered, 310);
    const long burning = r.first([](const Line& l) { return l.i("blast") > 0; }, triggered);
    ASSERT_GT(burning, triggered);
    EXPECT_LE(burning, triggered + 2);
    const long over = r.first([](const Line& l) { return l.i("blast") == 0; }, burning);
    const long completed = r.first([](const Line& l) { return l.i("exit") == 3; });
    ASSERT_GT(completed, 0) << "the mission never completed";
    EXPECT_GE(completed, over) << "the mission ended while the blast was burning";
    EXPECT_LE((completed - triggered) * 32, 12000 + 64);
    EXPECT_EQ(r.lines.back().i("exit"), 3);
    EXPECT_EQ(r.at(completed).i("eng"), 8);
    EXPECT_EQ(r.at(completed).i("uswsf"), 8);
    std::printf("working %ld, triggered %ld, burning %ld, over %ld, completed %ld\n", working, triggered, burning,
                over, completed);
}
