// `kvdata check`: the shipped game directory passes, and faults planted in a copy of it are
// each reported on a line naming the file and the problem, with exit status 1.
#include "gamedata_util.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string KVDATA = std::string(KV_GAME_DIR) + "/kvdata";

CommandResult check(const std::string& dir) { return run_command("'" + KVDATA + "' check '" + dir + "'"); }

// Lines of the report that concern the island and campaign files (everything but the meshes,
// images and fonts, which have their own producer).
std::vector<std::string> campaign_lines(const std::string& out) {
    std::vector<std::string> lines;
    for (const char* f : {"0.map", "data/KVGround", "data/enemies0.dat", "data/missions/", "data/research.dat", "credits.txt",
                          "ver.dat", "data/maps/0/minimap.png", "data/config/controlName.dat"})
        for (const std::string& l : lines_starting(out, f)) lines.push_back(l);
    return lines;
}

void set_map_word(const std::string& path, int x, int z, int field, int32_t value) {
    std::string bytes = read_file_text(path);
    const size_t off = (static_cast<size_t>(x) * 513 + z) * 12 + static_cast<size_t>(field) * 4;
    for (int k = 0; k < 4; ++k) bytes[off + k] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * k)) & 0xFFu);
    write_file_text(path, bytes);
}

bool has_line(const CommandResult& r, const std::string& file, const std::string& text) {
    for (const std::string& l : lines_starting(r.out, file + ": "))
        if (l.find(text) != std::string::npos) return true;
    return false;
}

class PlantedFault : public ::testing::Test {
protected:
    ScratchDir dir{"check"};
    void SetUp() override { copy_game_data(dir.path); }
    std::string at(const std::string& rel) const { return dir.path + "/" + rel; }
    // The unbroken copy reports nothing about the campaign files; the broken one reports the
    // expected line and fails.
    void expect_reported(const std::string& file, const std::string& text) {
        const CommandResult r = check(dir.path);
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_TRUE(has_line(r, file, text)) << "expected '" << file << ": ..." << text << "' in:\n" << r.out;
    }
};

}  // namespace

TEST(KvdataCheck, ShippedCampaignDataHasNoProblems) {
    const CommandResult r = check(KV_GAME_DIR);
    EXPECT_TRUE(campaign_lines(r.out).empty()) << r.out;
}

TEST(KvdataCheck, ShippedGameDirectoryPasses) {
    const CommandResult r = check(KV_GAME_DIR);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("complete and consistent"), std::string::npos) << r.out;
}

TEST(KvdataCheck, RefusesAMissingDirectoryAndBadUsage) {
    EXPECT_EQ(check("/nonexistent/kv_game").status, 1);
    EXPECT_EQ(run_command("'" + KVDATA + "' check").status, 2);
}

TEST_F(PlantedFault, MissionCoordinateOutsideThePlayableArea) {
    ASSERT_TRUE(replace_in_file(at("data/missions/0.dat"), "KILL_ZONE_X//302", "KILL_ZONE_X//602"));
    expect_reported("data/missions/0.dat", "objective 0 kill zone (602, 186) lies outside the playable area");
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "TARGETXZ//182//300", "TARGETXZ//182//12"));
    expect_reported("data/missions/2.dat", "air drop 0 target (182, 12) lies outside the playable area");
}

TEST_F(PlantedFault, KillRangeNamingATurretOrLeavingTheTable) {
    ASSERT_TRUE(replace_in_file(at("data/missions/0.dat"), "KILL_RANGE_END//19", "KILL_RANGE_END//57"));
    expect_reported("data/missions/0.dat", "kill range names slot 57 of class 0, which cannot be destroyed");
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "KILL_RANGE_END//38", "KILL_RANGE_END//5000"));
    expect_reported("data/missions/1.dat", "objective 2 kill range 29-5000 leaves the enemy table");
}

TEST_F(PlantedFault, ShortOrLongMapFile) {
    std::string bytes = read_file_text(at("0.map"));
    write_file_text(at("0.map"), bytes.substr(0, bytes.size() - 12));
    expect_reported("0.map", "is 3158024 bytes, expected 3158036");
    write_file_text(at("0.map"), bytes + "x");
    expect_reported("0.map", "is 3158037 bytes");
    std::filesystem::remove(at("0.map"));
    expect_reported("0.map", "missing");
}

TEST_F(PlantedFault, OpenBoundaryFrameAndUnknownCityCode) {
    set_map_word(at("0.map"), 26, 200, 2, 0);
    set_map_word(at("0.map"), 200, 80, 2, 42);
    expect_reported("0.map", "boundary frame cell (26, 200) holds code 0 instead of 3");
    expect_reported("0.map", "cell (200, 80) has unknown city code 42");
}

TEST_F(PlantedFault, BuildingsOverlappingOrInTheSea) {
    // A small house anchored inside the helipad's footprint, and one out at sea.
    set_map_word(at("0.map"), 380, 304, 2, 4);
    expect_reported("0.map", "overlaps another");
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b) set_map_word(at("0.map"), 40 + a, 60 + b, 2, a || b ? -1 : 4);
    expect_reported("0.map", "building at (40, 60) footprint cell (40, 60) is at height");
    // A covered cell that no building owns.
    set_map_word(at("0.map"), 250, 250, 2, -1);
    expect_reported("0.map", "cell (250, 250) is covered (-1) but belongs to no building");
}

TEST_F(PlantedFault, LandingCheckPointOnABuildingAndHoverPointAtAWall) {
    ASSERT_TRUE(replace_in_file(at("data/missions/0.dat"), "XZ//403//358", "XZ//415//358"));
    expect_reported("data/missions/0.dat", "check point 2 at (415, 358) is for landing but its cells are not open dry ground");
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "ZIPLINE_X//186//192", "ZIPLINE_X//177//192"));
    expect_reported("data/missions/2.dat", "zipline hover point (177, 414) is too close to a wall or building");
    // A crate marker that is not on its crate.
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "CHECKPOINT//0//XZ//236//246", "CHECKPOINT//0//XZ//240//246"));
    expect_reported("data/missions/1.dat", "check point 0 does not stand on the crate it marks");
}

TEST_F(PlantedFault, PlacesWalledOffFromTheGunship) {
    // Close the gate in the north wall of Fort Dunmar: the demolition hover point inside the
    // fort can no longer be reached, while the gate guard outside still can.
    for (int x = 191; x <= 199; ++x) set_map_word(at("0.map"), x, 404, 2, 3);
    expect_reported("data/missions/2.dat", "objective 2 zipline hover point (186, 414) is walled off from the gunship");
    EXPECT_FALSE(has_line(check(dir.path), "data/missions/2.dat", "objective 0 marker"));
    // A ring of wall round the Sarn fuel pad.
    for (int k = 76; k <= 102; ++k) {
        set_map_word(at("0.map"), k, 230, 2, 3);
        set_map_word(at("0.map"), k, 250, 2, 3);
    }
    for (int k = 230; k <= 250; ++k) {
        set_map_word(at("0.map"), 76, k, 2, 3);
        set_map_word(at("0.map"), 102, k, 2, 3);
    }
    expect_reported("data/missions/0.dat", "check point 3 at (89, 240) is walled off from the gunship");
    // A wall across the new-profile start.
    set_map_word(at("0.map"), 360, 287, 2, 3);
    expect_reported("0.map", "the new-profile start (360, 287) is blocked by a wall or building");
}

TEST_F(PlantedFault, MissionTextCutByACommaAndMalformedEntries) {
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "Moderate: nineteen", "Moderate, nineteen"));
    expect_reported("data/missions/1.dat", "a comma cuts the entry short");
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "carries the insurgents' radio.\\n", "carries the insurgents' radio "));
    expect_reported("data/missions/1.dat", "DESCRIPTION has a line of 103 characters, wider than the briefing window");
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "GT_ZIPLINE_DOWN", "GT_ZIPLINE_SIDEWAYS"));
    expect_reported("data/missions/1.dat", "unknown goal 'GT_ZIPLINE_SIDEWAYS'");
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "TIME_LIMIT//1200", "TIME_LIMIT//soon"));
    expect_reported("data/missions/1.dat", "'soon' is not a number");
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "AIR_DROP//NEW//1", "AIR_DROP//NEW//0"));
    expect_reported("data/missions/1.dat", "AIR_DROP 0 was not declared by a NEW entry before it");
}

TEST_F(PlantedFault, RouteTooLongForTheTimeLimit) {
    // Twenty infantry and two crates cannot be done in three minutes.
    ASSERT_TRUE(replace_in_file(at("data/missions/0.dat"), "TIME_LIMIT//900", "TIME_LIMIT//180"));
    expect_reported("data/missions/0.dat", "too close to the time limit of 180 s");
    // A twenty-minute wait for the demolition charges.
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "ZIPLINE_WAIT//20", "ZIPLINE_WAIT//1200"));
    expect_reported("data/missions/2.dat", "too close to the time limit of 1200 s");
}

TEST_F(PlantedFault, ObjectivesNeverReachedAndMissingMission) {
    // An entry for objective 0 after the last one makes objective 0 the last objective.
    write_file_text(at("data/missions/2.dat"), read_file_text(at("data/missions/2.dat")) + "OBJECTIVE//0//NAME//Again\r\n");
    expect_reported("data/missions/2.dat", "objectives up to 2 are never reached");
    std::filesystem::remove(at("data/missions/1.dat"));
    expect_reported("data/missions/1.dat", "missing");
}

TEST_F(PlantedFault, ResearchPrerequisitesThatDoNotResolve) {
    ASSERT_TRUE(replace_in_file(at("data/research.dat"), "TECHNOLOGY//RSCH_TAILPOD4//", "TECHNOLOGY//RSCH_TAILPOD9//"));
    expect_reported("data/research.dat", "RSCH_TAILPOD7 requires unknown technology 'RSCH_TAILPOD9'");
    ASSERT_TRUE(replace_in_file(at("data/research.dat"), "RSCH_TAILPOD2//TECHNOLOGY//RSCH_TAILPOD//",
                                "RSCH_TAILPOD2//TECHNOLOGY//RSCH_TAILPOD4//"));
    expect_reported("data/research.dat", "RSCH_TAILPOD2 sits in a loop of technology prerequisites");
    ASSERT_TRUE(replace_in_file(at("data/research.dat"), "RSCH_TAILPOD5//MISSION//1//", "RSCH_TAILPOD5//MISSION//7//"));
    expect_reported("data/research.dat", "RSCH_TAILPOD5 waits for mission '7'");
}

TEST_F(PlantedFault, EnemyInsideABuildingAndBrokenLookupRecord) {
    const std::string enemies = read_file_text(at("data/enemies0.dat"));
    const size_t first = enemies.find("\r\n", enemies.find("\r\n") + 2) + 2;  // slot 0 starts here
    std::string broken = enemies;
    broken.replace(first, broken.find(',', first) - first, "383.5");
    const size_t z = broken.find(',', broken.find(',', first) + 1) + 1;
    broken.replace(z, broken.find(',', z) - z, "305.5");
    write_file_text(at("data/enemies0.dat"), broken);
    expect_reported("data/enemies0.dat", "slot 0 at (383.5, 305.5) stands inside a building or wall");
    // The last slot is a wall: move it onto open ground.
    const std::string walls = read_file_text(at("data/enemies0.dat"));
    const size_t last = walls.rfind("\r\n", walls.size() - 3) + 2;
    write_file_text(at("data/enemies0.dat"), walls.substr(0, last) + "250.5,6,250.5,1,0,0,0,100,1\r\n");
    expect_reported("data/enemies0.dat", "is a wall at (250.5, 250.5) on a cell the gunship can pass");
    ASSERT_TRUE(replace_in_file(at("data/KVGroundCirclePolyLookup.dat"), "513,0,512,0,0,1,-1,1", "513,0,512,0,0,1,-1,0"));
    expect_reported("data/KVGroundCirclePolyLookup.dat", "record 1 does not list the triangles round its corner");
}

TEST_F(PlantedFault, VersionAndCreditsFiles) {
    write_file_text(at("ver.dat"), "0.1.0\r\n7\r\n");
    expect_reported("ver.dat", "line 2 '7' is not -1, 0 or 1");
    std::string many;
    for (int i = 0; i < 101; ++i) many += "line\r\n";
    write_file_text(at("credits.txt"), many);
    expect_reported("credits.txt", "has 101 lines");
    write_file_text(at("credits.txt"), "KESSRA VORN\r\nzlib, libpng\r\n");
    expect_reported("credits.txt", "line 2: a comma splits the line in two");
    // Lines are counted at LF, CR LF and lone CR ends, and at line ends inside a quoted field.
    write_file_text(at("credits.txt"), "A\r\nB\nC\r\"D\r\nE\"\r\nF, G\r\n");
    expect_reported("credits.txt", "line 6: a comma splits the line in two");
}

// The version the game believes it is must be the build's version, and a fresh install asks
// the player before checking online.
TEST(ShippedFiles, VersionFileNamesTheBuildAndAsksFirst) {
    const std::string ver = read_file_text(std::string(KV_SOURCE_DIR) + "/data/root/ver.dat");
    EXPECT_EQ(ver, std::string(KV_VERSION) + "\r\n-1\r\n");
}

TEST_F(PlantedFault, GarbageInEveryTextFileIsReportedNotFatal) {
    std::string junk;
    for (int i = 0; i < 4000; ++i) junk.push_back(static_cast<char>((i * 7919 + 13) % 256));
    for (const char* f : {"data/missions/0.dat", "data/missions/1.dat", "data/missions/2.dat", "data/enemies0.dat",
                          "data/research.dat", "data/KVGroundCirclePolyLookup.dat", "ver.dat", "credits.txt"})
        write_file_text(at(f), junk);
    const CommandResult r = check(dir.path);
    EXPECT_EQ(r.status, 1) << r.out;  // a crash would give another status
    EXPECT_FALSE(lines_starting(r.out, "data/missions/0.dat: ").empty()) << r.out;
    EXPECT_FALSE(lines_starting(r.out, "data/enemies0.dat: ").empty()) << r.out;
    EXPECT_FALSE(lines_starting(r.out, "data/research.dat: ").empty()) << r.out;
}

TEST_F(PlantedFault, MeshesThatDoNotLoad) {
    namespace fs = std::filesystem;
    fs::create_directories(at("data/test"));
    const std::string mtl = "newmtl hull\r\nKd 0.2 0.3 0.2\r\n";
    const std::string tri = "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nvt 0 0\r\nvn 0 0 1\r\n";
    write_file_text(at("data/test/a.mtl"), mtl);
    write_file_text(at("data/test/good.obj"), "mtllib a.mtl\r\n" + tri + "usemtl hull\r\nf 1/1/1 2/1/1 3/1/1\r\n");
    write_file_text(at("data/test/range.obj"), "mtllib a.mtl\r\n" + tri + "usemtl hull\r\nf 1/1/1 2/1/1 9/1/1\r\n");
    write_file_text(at("data/test/empty.obj"), "mtllib a.mtl\r\n" + tri);
    write_file_text(at("data/test/nolib.obj"), "mtllib gone.mtl\r\n" + tri + "f 1/1/1 2/1/1 3/1/1\r\n");
    write_file_text(at("data/test/colour.obj"), "mtllib a.mtl\r\n" + tri + "usemtl paint\r\nf 1/1/1 2/1/1 3/1/1\r\n");
    write_file_text(at("models.dat"), "data/test/good.obj\r\ndata/test/range.obj\r\ndata/test/empty.obj\r\ndata/test/nolib.obj\r\n"
                                  "data/test/colour.obj\r\ndata/test/absent.obj\r\n");
    const CommandResult r = check(dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(lines_starting(r.out, "data/test/good.obj").empty()) << r.out;
    EXPECT_TRUE(has_line(r, "data/test/range.obj", "1 triangles have corners that do not resolve")) << r.out;
    EXPECT_TRUE(has_line(r, "data/test/empty.obj", "has no triangles")) << r.out;
    EXPECT_TRUE(has_line(r, "data/test/nolib.obj", "has no materials")) << r.out;
    EXPECT_TRUE(has_line(r, "data/test/colour.obj", "uses material 'paint'")) << r.out;
    EXPECT_TRUE(has_line(r, "data/test/absent.obj", "missing")) << r.out;
    write_file_text(at("models.dat"), "");
    EXPECT_TRUE(has_line(check(dir.path), "models.dat", "lists no meshes"));
}

TEST_F(PlantedFault, FontsWithMissingOrWrongGlyphs) {
    namespace fs = std::filesystem;
    const fs::path vera = at("data/fontimg/vera");
    fs::create_directories(vera);
    if (fs::exists(vera / "65.png")) fs::remove(vera / "65.png");
    write_file_text((vera / "66.png").string(), "not a picture");
    const CommandResult r = check(dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has_line(r, "data/fontimg/vera", "lacks")) << r.out;
    EXPECT_TRUE(has_line(r, "data/fontimg/vera", "glyphs are not 16 x 16 PNG images")) << r.out;
    // The segment font: one good glyph, one with a short row.
    fs::create_directories(at("data/font3d"));
    write_file_text(at("data/font3d/fontData.dat"), "'comment\r\nA\r\n0BBB0\r\nB000B\r\nBBBBB\r\nB000B\r\nB000B\r\nB000B\r\nB000B\r\n"
                                                "C\r\n0BBB\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\n0BBBB\r\n");
    const CommandResult seg = check(dir.path);
    EXPECT_TRUE(has_line(seg, "data/font3d/fontData.dat", "glyph 'C' is not followed by seven rows of five cells")) << seg.out;
    EXPECT_TRUE(has_line(seg, "data/font3d/fontData.dat", "lacks glyph 'B'")) << seg.out;
    EXPECT_FALSE(has_line(seg, "data/font3d/fontData.dat", "lacks glyph 'A'")) << seg.out;
}

// A picture is checked by decoding it as the game does, not by its header alone: a glyph cut
// short after a sound header is reported.
TEST_F(PlantedFault, GlyphWithASoundHeaderButNoPixels) {
    const std::string glyph = at("data/fontimg/vera/67.png");
    const std::string bytes = read_file_text(glyph);
    ASSERT_GT(bytes.size(), 60u);
    write_file_text(glyph, bytes.substr(0, 60));
    const CommandResult r = check(dir.path);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(has_line(r, "data/fontimg/vera", "1 glyphs are not 16 x 16 PNG images")) << r.out;
}

TEST_F(PlantedFault, KillRangesThatCountForNothing) {
    // A slot the previous mission's last objective already had destroyed: this objective would
    // start with one enemy fewer than briefed.
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "KILL_RANGE_START//20", "KILL_RANGE_START//19"));
    expect_reported("data/missions/1.dat", "objective 0 kill range shares slot 19 with mission 0 objective 1");
    // A slot the layout places destroyed is no target at all.
    ASSERT_TRUE(replace_in_file(at("data/enemies0.dat"), "\r\n309.5,6.5,186.5,1,", "\r\n309.5,6.5,186.5,0,"));
    expect_reported("data/missions/0.dat", "objective 0 kill range names slot 0, which the layout places already destroyed");
}

TEST_F(PlantedFault, CratesThatCannotBeCollected) {
    // A pickable crate nobody marks: its landing would light check point 0, the objective marker.
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "CHECKPOINT//0//CLASS//BOX//0", "CHECKPOINT//0//CLASS//FUEL"));
    expect_reported("data/missions/1.dat", "air drop 0 is a crate to pick up but no BOX check point marks it");
    // Two markers for one crate: the first never lights, and the other crate goes unmarked.
    ASSERT_TRUE(replace_in_file(at("data/missions/0.dat"), "CHECKPOINT//1//CLASS//BOX//1", "CHECKPOINT//1//CLASS//BOX//0"));
    expect_reported("data/missions/0.dat", "air drop 0 is already marked by check point 0");
    expect_reported("data/missions/0.dat", "air drop 1 is a crate to pick up but no BOX check point marks it");
    // A drop waiting for an objective past the mission's last one falls only in the next mission.
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "AIR_DROP//0//OBJECTIVE//1", "AIR_DROP//0//OBJECTIVE//4"));
    expect_reported("data/missions/2.dat", "air drop 0 waits for objective 4, which the mission never reaches");
}

TEST_F(PlantedFault, PersonnelSubtractedBeyondWhatAPilotHas) {
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "SUBTRACT//USWSF//6", "SUBTRACT//USWSF//9"));
    expect_reported("data/missions/1.dat", "objective 1 subtracts USWSF to 9 in all, more than the 8 a new profile has");
    // Counted over the whole campaign: a kit the first mission used is gone in the last.
    ASSERT_TRUE(replace_in_file(at("data/missions/0.dat"), "OBJECTIVE//1//NAME//", "OBJECTIVE//1//SUBTRACT//FCPKIT//1\r\nOBJECTIVE//1//NAME//"));
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "OBJECTIVE//2//ZIPLINE_N//4", "OBJECTIVE//2//ZIPLINE_N//4\r\nOBJECTIVE//2//SUBTRACT//FCPKIT//1"));
    expect_reported("data/missions/2.dat", "objective 2 subtracts FCPKIT to 2 in all, more than the 1 a new profile has");
}

TEST_F(PlantedFault, ControlNamesShiftedOrMissing) {
    const std::string file = "data/config/controlName.dat";
    ASSERT_TRUE(replace_in_file(at(file), "Keypad Enter\r\n", ""));
    expect_reported(file, "has 99 names; binding codes 0-99 need exactly 100");
    ASSERT_TRUE(replace_in_file(at(file), "Page Up", "Page, Up"));
    expect_reported(file, "a comma splits the name");
}

TEST_F(PlantedFault, EnemyClassCountAndOverlongModelName) {
    ASSERT_TRUE(replace_in_file(at("data/enemies0.dat"), "\r\n3\r\n", "\r\nthree\r\n"));
    expect_reported("data/enemies0.dat", "class count 'three' on line 2 is not a number");
    const std::string long_name = "data/misc/" + std::string(60, 'x') + ".obj";
    ASSERT_TRUE(replace_in_file(at("models.dat"), "data/misc/box.obj", long_name));
    expect_reported("models.dat", "longer than the 64 characters");
}

TEST_F(PlantedFault, ZiplineTeamsAgainstThePersonnelCounts) {
    // A one-way team must be used up by its objective, and a round trip must not be.
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "OBJECTIVE//1//ZIPLINE_N//6", "OBJECTIVE//1//ZIPLINE_N//5"));
    expect_reported("data/missions/1.dat", "objective 1 leaves 5 people on the ground but subtracts 6");
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "OBJECTIVE//2//ZIPLINE_N//4", "OBJECTIVE//2//ZIPLINE_N//4\r\nOBJECTIVE//2//SUBTRACT//ENG//4"));
    expect_reported("data/missions/2.dat", "objective 2 brings its team back on board but subtracts 4 people");
    // Sixteen people at the start, six left in the relay yard: a team of eleven is one too many.
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "OBJECTIVE//2//ZIPLINE_N//4", "OBJECTIVE//2//ZIPLINE_N//11"));
    expect_reported("data/missions/2.dat", "objective 2 lowers 11 people but a pilot has only 10 left");
}

TEST_F(PlantedFault, ResearchDescriptionTooTallForItsEntry) {
    ASSERT_TRUE(replace_in_file(at("data/research.dat"), "Clears a square in a single pass.", "Clears a square.\\nIn a single pass.\\nEvery time."));
    expect_reported("data/research.dat", "RSCH_TAILPOD6 description has 4 lines; a research list entry holds 3");
}

TEST_F(PlantedFault, SlashesThatCutATextShort) {
    ASSERT_TRUE(replace_in_file(at("data/research.dat"), "Clears a square in a single pass.", "Clears a square // in a single pass."));
    expect_reported("data/research.dat", "the description holds '//', which cuts it short");
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "NAME//Clear the holdouts in Kerrow square", "NAME//Clear the holdouts // Kerrow square"));
    expect_reported("data/missions/2.dat", "objective name holds '//', which cuts it short");
}

TEST_F(PlantedFault, IntegerFieldsRoundTiesToEvenAsTheGameDoes) {
    // 56.5 is stored as 56 (an infantry slot of the next missions), not 57 (a turret).
    ASSERT_TRUE(replace_in_file(at("data/missions/0.dat"), "KILL_RANGE_END//19", "KILL_RANGE_END//56.5"));
    const CommandResult r = check(dir.path);
    EXPECT_TRUE(has_line(r, "data/missions/1.dat", "objective 0 kill range shares slot 20 with mission 0 objective 1")) << r.out;
    EXPECT_FALSE(has_line(r, "data/missions/0.dat", "slot 57")) << r.out;
}

TEST_F(PlantedFault, SettingsTheGameCannotUse) {
    std::filesystem::copy_file(std::string(KV_GAME_DIR) + "/configVars.dat", at("configVars.dat"));
    EXPECT_FALSE(has_line(check(dir.path), "configVars.dat", ""));
    ASSERT_TRUE(replace_in_file(at("configVars.dat"), "\r\n 32\r\n", "\r\n 24\r\n"));
    expect_reported("configVars.dat", "colour depth 24 is neither 16 nor 32");
    ASSERT_TRUE(replace_in_file(at("configVars.dat"), "\r\n 87\r\n", "\r\n 86\r\n"));
    expect_reported("configVars.dat", "controls 0 and 1 share code 86");
    ASSERT_TRUE(replace_in_file(at("configVars.dat"), "\r\n 54\r\n", "\r\n 5\r\n"));
    expect_reported("configVars.dat", "control 2 code 5 is of the other input type and never registers");
    ASSERT_TRUE(replace_in_file(at("configVars.dat"), " 1024\r\n", ""));
    expect_reported("configVars.dat", "has 54 values; the game reads 55");
}

TEST_F(PlantedFault, SettingsAsTheGameReadsThem) {
    std::filesystem::copy_file(std::string(KV_GAME_DIR) + "/configVars.dat", at("configVars.dat"));
    // A screen width the game refuses is replaced by its default: the window still opens, but
    // the file does not say what it seems to.
    ASSERT_TRUE(replace_in_file(at("configVars.dat"), " 1024\r\n", "-640\r\n"));
    CommandResult r = check(dir.path);
    EXPECT_TRUE(has_line(r, "configVars.dat", "line 1: '-640' is out of range; the game takes the default")) << r.out;
    EXPECT_FALSE(has_line(r, "configVars.dat", "cannot open a window")) << r.out;
    // A value after the last setting is never read.
    write_file_text(at("configVars.dat"), read_file_text(std::string(KV_GAME_DIR) + "/configVars.dat") + " 1\r\n");
    expect_reported("configVars.dat", "has 56 values; the game reads 55");
}

TEST_F(PlantedFault, MissionRecordsAsTheGameLoadsThem) {
    // A PICKUP entry before the drop's OBJECTIVE entry keeps its effect in the game: the crate
    // is still one to pick up, marked by its check point, and nothing is reported.
    std::string text = read_file_text(at("data/missions/1.dat"));
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "AIR_DROP//0//PICKUP//YES\r\n", ""));
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "AIR_DROP//0//OBJECTIVE//1\r\n",
                                "AIR_DROP//0//PICKUP//YES\r\nAIR_DROP//0//OBJECTIVE//1\r\n"));
    EXPECT_TRUE(lines_starting(check(dir.path).out, "data/missions/1.dat: ").empty());
    // The game refuses a zipline team larger than its 21 places and keeps nobody: the check
    // sees the team the game would lower.
    write_file_text(at("data/missions/1.dat"), text);
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "OBJECTIVE//1//ZIPLINE_N//6", "OBJECTIVE//1//ZIPLINE_N//30"));
    const CommandResult r = check(dir.path);
    EXPECT_TRUE(has_line(r, "data/missions/1.dat", "zipline team of 30 is outside 1-21")) << r.out;
    EXPECT_TRUE(has_line(r, "data/missions/1.dat", "objective 1 lowers nobody")) << r.out;
    EXPECT_FALSE(has_line(r, "data/missions/1.dat", "lowers 30 people")) << r.out;
}

TEST_F(PlantedFault, MissionsThatCannotBeFinished) {
    // Nothing completes a landing or pick-up goal, so the mission never ends in success.
    ASSERT_TRUE(replace_in_file(at("data/missions/0.dat"), "OBJECTIVE//1//GOAL//GT_KILL_RANGE", "OBJECTIVE//1//GOAL//GT_LAND_GUNSHIP"));
    expect_reported("data/missions/0.dat", "objective 1 has goal GT_LAND_GUNSHIP, which nothing completes");
    // A pad waiting for an objective the mission never reaches never switches on; with both of
    // mission 2's pads so, the gunship can refuel nowhere in it.
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "CHECKPOINT//1//OBJECTIVE//0", "CHECKPOINT//1//OBJECTIVE//3"));
    ASSERT_TRUE(replace_in_file(at("data/missions/2.dat"), "CHECKPOINT//2//OBJECTIVE//0", "CHECKPOINT//2//OBJECTIVE//5"));
    expect_reported("data/missions/2.dat", "check point 1 waits for objective 3, which the mission never reaches");
    expect_reported("data/missions/2.dat", "declares no refuelling check point that switches on");
    // A crate marker naming a crate outside the table, and a team larger than the personnel left.
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "CHECKPOINT//0//CLASS//BOX//0", "CHECKPOINT//0//CLASS//BOX//3"));
    expect_reported("data/missions/1.dat", "check point names air drop 3, which is not declared");
    ASSERT_TRUE(replace_in_file(at("data/missions/1.dat"), "OBJECTIVE//1//ZIPLINE_N//6", "OBJECTIVE//1//ZIPLINE_N//17"));
    expect_reported("data/missions/1.dat", "objective 1 lowers 17 people but a pilot has only 16 left");
}
