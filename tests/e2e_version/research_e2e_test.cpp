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

#include "support/saved_pilots.h"

using namespace kvtest;

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
    KV_REQUIRE_GAME();
    const std::string land = shipped_key_of(6), fire = shipped_key_of(11);
    if (land.empty() || fire.empty()) GTEST_SKIP() << "the shipped settings do not use keys";
    GameDir g;
    ASSERT_TRUE(g.ok());
    g.without_profiles();
    g.write("data/enemies0.dat", layout_near_base());
    g.write("data/missions/1.dat", mission1_near_base());
    ProfileImage img = pilot("ACE", "HAWK", 0, "00:10:00.000");
    img.record.PLAYERX = kBaseX;
    img.record.PLAYERZ = kBaseZ;
    img.record.GUNSHIPANGLE = 0.0f;
    write_profiles(g, {img});

    Keys s;
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
    const fs::path shot6 = screenshots_dir() / "research_new_field_screen.png";
    const fs::path shot5 = screenshots_dir() / "research_technology_screen.png";
    const fs::path shot_installed = screenshots_dir() / "research_upgrade_installed.png";
    const fs::path shot_listed = screenshots_dir() / "research_technology_screen_installed.png";
    const RunResult r = g.play({.name = "research",
                                .script = s.text,
                                .frames = 1800,
                                .shots = {{1150, shot6}, {1185, shot5}, {1500, shot_installed}, {1548, shot_listed}}});
    ASSERT_EQ(r.status, 0) << r.log();
    const std::string title = shipped_title("RSCH_TAILPOD2");
    ASSERT_FALSE(title.empty());

    // Landing on the base offers the fields (screen 6); accepting starts the highlighted one and
    // shows it under way (screen 5).
    const TraceRow* offered = r.find("menu", 6);
    ASSERT_NE(offered, nullptr) << "landing on the base did not offer research";
    EXPECT_EQ(offered->at("landed"), "1");
    EXPECT_GE(offered->num("nnew"), 1);
    EXPECT_EQ(offered->num("research"), -1);
    EXPECT_EQ(offered->at("techs"), "1");  // a new pilot has the first rack
    const TraceRow* chosen = r.find("menu", 5, offered->num("frame"));
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->num("research"), 1);
    EXPECT_EQ(chosen->num("rstart"), 0);
    EXPECT_LT(chosen->num("frame"), 1185);

    // The mission completes with the research due: the box names it.
    const TraceRow* completed = r.find_text("boxtitle", encoded("Researching Completed!"));
    ASSERT_NE(completed, nullptr) << "mission 0 did not complete with the research due";
    EXPECT_GT(completed->num("frame"), chosen->num("frame"));
    EXPECT_EQ(completed->num("menu"), 200);
    EXPECT_EQ(completed->num("mission"), 1);
    EXPECT_EQ(completed->at("boxmsg"), encoded("Head back to base to install upgrade '" + title + "'."));
    EXPECT_EQ(completed->at("techs"), "1");
    const TraceRow* saved0 = r.find_text("boxtitle", encoded("Profile Saved!"), completed->num("frame"));
    ASSERT_NE(saved0, nullptr);

    // Mission 1 reminds of the waiting upgrade; landing on the base installs it.
    const TraceRow* briefing = r.find("menu", 2, saved0->num("frame"));
    ASSERT_NE(briefing, nullptr);
    EXPECT_EQ(briefing->num("mission"), 1);
    EXPECT_EQ(briefing->num("alerttech"), 1);
    const TraceRow* installed = r.find_text("boxtitle", encoded("Upgrade Installed!"));
    ASSERT_NE(installed, nullptr) << "landing on the base did not install the research";
    EXPECT_EQ(installed->num("menu"), 5);
    EXPECT_EQ(installed->num("mission"), 1);
    EXPECT_EQ(installed->at("boxmsg"), encoded("Completed installing '" + title + "'."));
    EXPECT_EQ(installed->at("techs"), "3");
    EXPECT_EQ(installed->num("research"), -1);
    EXPECT_EQ(installed->num("alerttech"), 0);

    // Mission 1 completes and is saved: the file holds the installed upgrade.
    const TraceRow* done1 = r.find("mission", 2);
    ASSERT_NE(done1, nullptr) << "mission 1 did not complete";
    const TraceRow* saved1 = r.find_text("boxtitle", encoded("Profile Saved!"), done1->num("frame"));
    ASSERT_NE(saved1, nullptr) << "mission 1 was not saved";
    const ProfilesParse file = profiles_parse(read_file_text(g / "data/profiles.dat"));
    ASSERT_EQ(file.profiles.size(), 1u) << file.why;
    const PROFILETYPE& p = file.profiles[0].record;
    EXPECT_EQ(p.MISSIONNUM, 2);
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[0], 1);
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[1], 1);
    for (int k = 2; k < TECHNOLOGY_SLOTS; ++k) EXPECT_EQ(p.COMPLETEDTECHNOLOGY[k], 0) << "technology " << k;
    EXPECT_EQ(p.RESEARCHINGTECHNOLOGY, -1);

    const TraceRow* listed = r.row(1548);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->num("menu"), 5);
    EXPECT_EQ(listed->at("box"), "none");
    for (const fs::path& shot : {shot6, shot5, shot_installed, shot_listed}) EXPECT_TRUE(fs::is_regular_file(shot)) << shot;
}
