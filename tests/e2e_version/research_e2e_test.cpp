// Research through the real game and menu, in one run of a campaign of the test's own: the
// pilot lands on the research base, chooses a field on the new-research screen, sees it under
// way on the technology screen, flies on and completes the mission ("Researching Completed!"),
// saves, flies the next mission, lands on the base again to install it ("Upgrade Installed!",
// the technology screen lists it), completes that mission too and saves: profiles.dat holds the
// installed bit. Each mission ends when one rifleman near the base falls to the gunship's
// cannon, so the script stays short.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "game_run.h"
#include "game/profile_types.h"
#include "menu/profiles.h"
#include "support/fly_run.h"

using namespace e2e_version;

namespace {

// The research base apron of both missions.
constexpr float kBaseX = 364.0f, kBaseZ = 309.0f;

// The shipped enemy layout with slots 1-19 gone and slot 0 standing 15 units west of the base
// (the gunship faces west at heading 0); slot 20, mission 1's target, stands further west, out
// of reach of the cannon from the base, so mission 0 leaves it alone.
std::string layout_near_base() {
    std::istringstream in(read_file_text(kGame / "data/enemies0.dat"));
    std::string out, line;
    int row = 0;
    while (std::getline(in, line)) {
        const int slot = row - 2;  // the enemy count and the class count come first
        if (slot >= 0 && slot <= 20) {
            std::vector<std::string> f;
            std::string cell;
            std::istringstream cells(line);
            while (std::getline(cells, cell, ',')) f.push_back(cell);
            if (f.size() >= 4) {
                if (slot == 0) {
                    f[0] = std::to_string(kBaseX - 15.0f);
                    f[2] = std::to_string(kBaseZ);
                } else if (slot == 20) {
                    f[0] = std::to_string(kBaseX - 40.0f);
                    f[2] = std::to_string(kBaseZ);
                } else {
                    f[3] = "0";
                }
                line.clear();
                for (size_t i = 0; i < f.size(); ++i) line += (i ? "," : "") + f[i];
            }
        }
        out += line + "\n";
        ++row;
    }
    return out;
}

// The trace's encoding of a box text made of printable characters and blanks.
std::string encoded(const std::string& s) {
    std::string out;
    for (char c : s) out += c == ' ' ? std::string("%20") : std::string(1, c);
    return out;
}

// The title the shipped research file gives the field with this identifier ("" when none).
std::string shipped_title(const std::string& id) {
    std::istringstream in(read_file_text(kGame / "data/research.dat"));
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> t;
        size_t from = 0;
        for (size_t at; (at = line.find("//", from)) != std::string::npos; from = at + 2)
            t.push_back(line.substr(from, at - from));
        t.push_back(line.substr(from));
        if (t.size() >= 6 && t[0] == id) return t[5];
    }
    return "";
}

// The shipped mission 1 with one objective of the test's own: slot 20 (near the base) falls.
std::string mission1_near_base() {
    std::istringstream in(read_file_text(kGame / "data/missions/1.dat"));
    std::string out, line;
    while (std::getline(in, line))
        if (line.rfind("OBJECTIVE//", 0) != 0) out += line + "\n";
    out += "OBJECTIVE//0//NAME//Clear the base perimeter\r\n";
    out += "OBJECTIVE//0//GOAL//GT_KILL_RANGE\r\n";
    out += "OBJECTIVE//0//KILL_RANGE_START//20\r\nOBJECTIVE//0//KILL_RANGE_END//20\r\n";
    out += "OBJECTIVE//0//KILL_ZONE_X//" + std::to_string(kBaseX - 40.0f) + "\r\n";
    out += "OBJECTIVE//0//KILL_ZONE_Z//" + std::to_string(kBaseZ) + "\r\n";
    return out;
}

}  // namespace

TEST(ResearchE2E, ChosenOnTheBaseCompletedInstalledAndSaved) {
    REQUIRE_GAME();
    const std::string land = shipped_key_of(kGame, 6), fire = shipped_key_of(kGame, 11);
    if (land.empty() || fire.empty()) GTEST_SKIP() << "the shipped settings do not use keys";
    const fs::path dir = make_game_dir("research", "0.1.0\r\n 0\r\n");
    fs::remove(dir / "data/enemies0.dat");
    write_file_text(dir / "data/enemies0.dat", layout_near_base());
    fs::remove(dir / "data/missions/1.dat");
    write_file_text(dir / "data/missions/1.dat", mission1_near_base());
    ProfileImage img;
    kv_profile_starting_values(img.record, "ACE", "HAWK");
    img.record.MISSIONNUM = 0;
    img.record.PLAYERX = kBaseX;
    img.record.PLAYERZ = kBaseZ;
    img.record.GUNSHIPANGLE = 0.0f;
    img.clock_text = "00:10:00.000";
    img.checkpoints.assign(1, CHECKPOINTTYPE{});
    write_file_text(dir / "data/profiles.dat", profiles_serialize(&img, 1, nullptr));

    Script s;
    s.press(5, "ENTER").press(25, "ENTER").press(45, "ENTER");  // load the pilot
    s.press(760, "ENTER");                                       // fly mission 0
    s.press(800, land);                                          // on the base: code 6
    s.press(1160, "ENTER");  // choose the highlighted field -> technology screen
    s.press(1190, "ENTER");  // back into the mission, lifting off
    s.hold(1230, 1260, fire);  // the rifleman falls: mission 0 complete
    s.press(1300, "ENTER");    // close "Researching Completed!"
    s.press(1320, "ENTER");    // Save Game
    s.press(1340, "ENTER");    // close "Profile Saved!"
    s.press(1360, "RIGHT").press(1380, "ENTER");  // Next Mission
    s.press(1400, "ENTER");  // fly mission 1
    s.press(1420, land);     // on the base again: code 5
    s.press(1520, "ENTER");  // close "Upgrade Installed!"
    s.press(1550, "ENTER");  // back into the mission
    s.hold(1555, 1615, "UP");  // closer to the second rifleman
    s.hold(1620, 1720, fire);  // mission 1 complete
    s.press(1750, "ENTER");    // Save Game
    s.press(1780, "ENTER");    // close "Profile Saved!"
    const fs::path shot6 = kShots / "research_new_field_screen.png";
    const fs::path shot5 = kShots / "research_technology_screen.png";
    const fs::path shot_installed = kShots / "research_upgrade_installed.png";
    const fs::path shot_listed = kShots / "research_technology_screen_installed.png";
    const GameRun r = run_game(dir, "research", s, 1800, {},
                               {{1150, shot6}, {1185, shot5}, {1500, shot_installed}, {1548, shot_listed}}, 600.0);
    ASSERT_EQ(r.status, 0) << r.log;
    const std::string title = shipped_title("RSCH_TAILPOD2");
    ASSERT_FALSE(title.empty());

    // Landing on the base offers the fields (screen 6); accepting starts the highlighted one and
    // shows it under way (screen 5).
    const TraceLine* offered = r.first("menu", "6");
    ASSERT_NE(offered, nullptr) << "landing on the base did not offer research";
    EXPECT_EQ(text(*offered, "landed"), "1");
    EXPECT_GE(num(*offered, "nnew"), 1);
    EXPECT_EQ(num(*offered, "research"), -1);
    EXPECT_EQ(text(*offered, "techs"), "1");  // a new pilot has the first rack
    const TraceLine* chosen = r.first("menu", "5", num(*offered, "frame"));
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(num(*chosen, "research"), 1);
    EXPECT_EQ(num(*chosen, "rstart"), 0);
    EXPECT_LT(num(*chosen, "frame"), 1185);

    // The mission completes with the research due: the box names it.
    const TraceLine* completed = r.first("boxtitle", encoded("Researching Completed!"));
    ASSERT_NE(completed, nullptr) << "mission 0 did not complete with the research due";
    EXPECT_GT(num(*completed, "frame"), num(*chosen, "frame"));
    EXPECT_EQ(num(*completed, "menu"), 200);
    EXPECT_EQ(num(*completed, "mission"), 1);
    EXPECT_EQ(text(*completed, "boxmsg"), encoded("Head back to base to install upgrade '" + title + "'."));
    EXPECT_EQ(text(*completed, "techs"), "1");
    const TraceLine* saved0 = r.first("boxtitle", encoded("Profile Saved!"), num(*completed, "frame"));
    ASSERT_NE(saved0, nullptr);

    // Mission 1 reminds of the waiting upgrade; landing on the base installs it.
    const TraceLine* briefing = r.first("menu", "2", num(*saved0, "frame"));
    ASSERT_NE(briefing, nullptr);
    EXPECT_EQ(num(*briefing, "mission"), 1);
    EXPECT_EQ(num(*briefing, "alerttech"), 1);
    const TraceLine* installed = r.first("boxtitle", encoded("Upgrade Installed!"));
    ASSERT_NE(installed, nullptr) << "landing on the base did not install the research";
    EXPECT_EQ(num(*installed, "menu"), 5);
    EXPECT_EQ(num(*installed, "mission"), 1);
    EXPECT_EQ(text(*installed, "boxmsg"), encoded("Completed installing '" + title + "'."));
    EXPECT_EQ(text(*installed, "techs"), "3");
    EXPECT_EQ(num(*installed, "research"), -1);
    EXPECT_EQ(num(*installed, "alerttech"), 0);

    // Mission 1 completes and is saved: the file holds the installed upgrade.
    const TraceLine* done1 = r.first("mission", "2");
    ASSERT_NE(done1, nullptr) << "mission 1 did not complete";
    const TraceLine* saved1 = r.first("boxtitle", encoded("Profile Saved!"), num(*done1, "frame"));
    ASSERT_NE(saved1, nullptr) << "mission 1 was not saved";
    const ProfilesParse file = profiles_parse(read_file_text(dir / "data/profiles.dat"));
    ASSERT_EQ(file.profiles.size(), 1u) << file.why;
    const PROFILETYPE& p = file.profiles[0].record;
    EXPECT_EQ(p.MISSIONNUM, 2);
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[0], 1);
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[1], 1);
    for (int k = 2; k < TECHNOLOGY_SLOTS; ++k) EXPECT_EQ(p.COMPLETEDTECHNOLOGY[k], 0) << "technology " << k;
    EXPECT_EQ(p.RESEARCHINGTECHNOLOGY, -1);

    const TraceLine* listed = r.first("frame", "1548");
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(num(*listed, "menu"), 5);
    EXPECT_EQ(text(*listed, "box"), "none");
    for (const fs::path& shot : {shot6, shot5, shot_installed, shot_listed}) EXPECT_TRUE(fs::is_regular_file(shot)) << shot;
}
