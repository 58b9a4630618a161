// `kvdata check`: the shipped game directory passes, and faults planted in a copy of it are
// each reported on a line naming the file and the problem, with exit status 1. Every planted
// fault is a row of one table, checked on a fresh copy of its own.
#include "gamedata_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

namespace {

namespace fs = std::filesystem;

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

// A line of the report for `file` that holds `text` (any line for the file when `text` is empty).
bool has_line(const CommandResult& r, const std::string& file, const std::string& text) {
    for (const std::string& l : lines_starting(r.out, file + ": "))
        if (l.find(text) != std::string::npos) return true;
    return false;
}

// A copy of the game data to plant faults in.
struct Copy {
    ScratchDir dir{"check"};
    Copy() { copy_game_data(dir.path); }
    std::string at(const std::string& rel) const { return dir.path + "/" + rel; }
};

// Changes the copy; false when the fault could not be planted (the text to change is gone).
using Plant = std::function<bool(const Copy&)>;

Plant edit(std::string file, std::string from, std::string to) {
    return [=](const Copy& c) { return replace_in_file(c.at(file), from, to); };
}

Plant edits(std::vector<Plant> steps) {
    return [=](const Copy& c) { return std::all_of(steps.begin(), steps.end(), [&](const Plant& p) { return p(c); }); };
}

Plant write_text(std::string file, std::string text, bool append = false) {
    return [=](const Copy& c) {
        write_file_text(c.at(file), (append ? read_file_text(c.at(file)) : "") + text);
        return true;
    };
}
Plant append(std::string file, std::string text) { return write_text(file, text, true); }
Plant delete_file(std::string file) { return [=](const Copy& c) { return fs::remove(c.at(file)); }; }

// The shipped settings file, which the data copy leaves out, copied in and then changed.
Plant settings(Plant then) {
    return [=](const Copy& c) { return fs::copy_file(std::string(KV_GAME_DIR) + "/configVars.dat", c.at("configVars.dat")) && then(c); };
}

// Sets the city-code word of map cells to `value`.
struct Cell {
    int x, z;
    int32_t value;
};
Plant map_cells(std::vector<Cell> cells) {
    return [=](const Copy& c) {
        std::string bytes = read_file_text(c.at("0.map"));
        for (const Cell& cell : cells) {
            const size_t off = (static_cast<size_t>(cell.x) * 513 + cell.z) * 12 + 8;
            if (off + 4 > bytes.size()) return false;
            for (int k = 0; k < 4; ++k) bytes[off + k] = static_cast<char>((static_cast<uint32_t>(cell.value) >> (8 * k)) & 0xFFu);
        }
        write_file_text(c.at("0.map"), bytes);
        return true;
    };
}

// Every cell from (x1, z1) to (x2, z2) set to `value` (3: a wall).
Plant fill(int x1, int z1, int x2, int z2, int32_t value = 3) {
    std::vector<Cell> cells;
    for (int x = x1; x <= x2; ++x)
        for (int z = z1; z <= z2; ++z) cells.push_back({x, z, value});
    return map_cells(cells);
}

using Line = std::pair<std::string, std::string>;  // file, text of the line

struct Fault {
    Plant plant;
    std::vector<Line> reported;           // lines that must be in the report
    std::vector<Line> not_reported = {};  // lines that must not be
    std::optional<int> status = 1;        // the checker's exit status, where it is fixed
};

// The commonest row: one text changed in one file, one line expected about that file.
Fault swap(const std::string& file, const std::string& from, const std::string& to, const std::string& line) {
    return {edit(file, from, to), {{file, line}}};
}

// Slot 0 of the enemy layout moved into the building at (383.5, 305.5).
bool enemy_into_a_building(const Copy& c) {
    std::string text = read_file_text(c.at("data/enemies0.dat"));
    const size_t first = text.find("\r\n", text.find("\r\n") + 2) + 2;  // slot 0 starts here
    if (first < 2 || first >= text.size()) return false;
    text.replace(first, text.find(',', first) - first, "383.5");
    const size_t z = text.find(',', text.find(',', first) + 1) + 1;
    text.replace(z, text.find(',', z) - z, "305.5");
    write_file_text(c.at("data/enemies0.dat"), text);
    return true;
}

// The last slot of the layout, a wall, moved onto open ground.
bool wall_onto_open_ground(const Copy& c) {
    const std::string text = read_file_text(c.at("data/enemies0.dat"));
    if (text.size() < 4) return false;
    const size_t last = text.rfind("\r\n", text.size() - 3) + 2;
    write_file_text(c.at("data/enemies0.dat"), text.substr(0, last) + "250.5,6,250.5,1,0,0,0,100,1\r\n");
    return true;
}

bool garbage_in_every_text_file(const Copy& c) {
    std::string junk;
    for (int i = 0; i < 4000; ++i) junk.push_back(static_cast<char>((i * 7919 + 13) % 256));
    for (const char* f : {"data/missions/0.dat", "data/missions/1.dat", "data/missions/2.dat", "data/enemies0.dat",
                          "data/research.dat", "data/KVGroundCirclePolyLookup.dat", "ver.dat", "credits.txt"})
        write_file_text(c.at(f), junk);
    return true;
}

// Meshes that resolve, that do not, and that are not there.
bool meshes_that_do_not_load(const Copy& c) {
    fs::create_directories(c.at("data/test"));
    const std::string mtl = "newmtl hull\r\nKd 0.2 0.3 0.2\r\n";
    const std::string tri = "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nvt 0 0\r\nvn 0 0 1\r\n";
    write_file_text(c.at("data/test/a.mtl"), mtl);
    write_file_text(c.at("data/test/good.obj"), "mtllib a.mtl\r\n" + tri + "usemtl hull\r\nf 1/1/1 2/1/1 3/1/1\r\n");
    write_file_text(c.at("data/test/range.obj"), "mtllib a.mtl\r\n" + tri + "usemtl hull\r\nf 1/1/1 2/1/1 9/1/1\r\n");
    write_file_text(c.at("data/test/empty.obj"), "mtllib a.mtl\r\n" + tri);
    write_file_text(c.at("data/test/nolib.obj"), "mtllib gone.mtl\r\n" + tri + "f 1/1/1 2/1/1 3/1/1\r\n");
    write_file_text(c.at("data/test/colour.obj"), "mtllib a.mtl\r\n" + tri + "usemtl paint\r\nf 1/1/1 2/1/1 3/1/1\r\n");
    write_file_text(c.at("models.dat"), "data/test/good.obj\r\ndata/test/range.obj\r\ndata/test/empty.obj\r\ndata/test/nolib.obj\r\n"
                                        "data/test/colour.obj\r\ndata/test/absent.obj\r\n");
    return true;
}

// Glyph 'A' taken away and glyph 'B' replaced by text.
bool glyphs_missing_or_wrong(const Copy& c) {
    const fs::path vera = c.at("data/fontimg/vera");
    fs::create_directories(vera);
    if (fs::exists(vera / "65.png")) fs::remove(vera / "65.png");
    write_file_text((vera / "66.png").string(), "not a picture");
    return true;
}

// A glyph cut short after a sound header: checked by decoding it as the game does.
bool glyph_without_pixels(const Copy& c) {
    const std::string glyph = c.at("data/fontimg/vera/67.png");
    const std::string bytes = read_file_text(glyph);
    if (bytes.size() <= 60) return false;
    write_file_text(glyph, bytes.substr(0, 60));
    return true;
}

const std::string M0 = "data/missions/0.dat", M1 = "data/missions/1.dat", M2 = "data/missions/2.dat";
const std::string MAP = "0.map", ENEMIES = "data/enemies0.dat", RESEARCH = "data/research.dat";
const std::string LOOKUP = "data/KVGroundCirclePolyLookup.dat", SETTINGS = "configVars.dat";
const std::string CONTROLS = "data/config/controlName.dat", VERA = "data/fontimg/vera";
const std::string SEGMENTS = "data/font3d/fontData.dat";

const std::vector<Fault>& faults() {
    static const std::vector<Fault> table = {
        // Places on the island.
        swap(M0, "KILL_ZONE_X//302", "KILL_ZONE_X//602", "objective 0 kill zone (602, 186) lies outside the playable area"),
        swap(M2, "TARGETXZ//182//300", "TARGETXZ//182//12", "air drop 0 target (182, 12) lies outside the playable area"),
        swap(M0, "XZ//403//358", "XZ//415//358", "check point 2 at (415, 358) is for landing but its cells are not open dry ground"),
        swap(M2, "ZIPLINE_X//186//192", "ZIPLINE_X//177//192", "zipline hover point (177, 414) is too close to a wall or building"),
        swap(M1, "CHECKPOINT//0//XZ//236//246", "CHECKPOINT//0//XZ//240//246", "check point 0 does not stand on the crate it marks"),
        // The gate in the north wall of Fort Dunmar closed: the demolition hover point inside
        // the fort can no longer be reached, while the gate guard outside still can.
        {fill(191, 404, 199, 404), {{M2, "objective 2 zipline hover point (186, 414) is walled off from the gunship"}}, {{M2, "objective 0 marker"}}},
        // A ring of wall round the Sarn fuel pad, and a wall across the new-profile start.
        {edits({fill(76, 230, 102, 230), fill(76, 250, 102, 250), fill(76, 230, 76, 250), fill(102, 230, 102, 250)}),
         {{M0, "check point 3 at (89, 240) is walled off from the gunship"}}},
        {fill(360, 287, 360, 287), {{MAP, "the new-profile start (360, 287) is blocked by a wall or building"}}},

        // The map file.
        {[](const Copy& c) {
             const std::string bytes = read_file_text(c.at(MAP));
             write_file_text(c.at(MAP), bytes.substr(0, bytes.size() - 12));
             return bytes.size() > 12;
         },
         {{MAP, "is 3158024 bytes, expected 3158036"}}},
        {append(MAP, "x"), {{MAP, "is 3158037 bytes"}}},
        {delete_file(MAP), {{MAP, "missing"}}},
        {map_cells({{26, 200, 0}, {200, 80, 42}}),
         {{MAP, "boundary frame cell (26, 200) holds code 0 instead of 3"}, {MAP, "cell (200, 80) has unknown city code 42"}}},
        // A small house anchored inside the helipad's footprint, one out at sea, and a covered
        // cell that no building owns.
        {map_cells({{380, 304, 4}}), {{MAP, "overlaps another"}}},
        {edits({fill(40, 60, 43, 63, -1), map_cells({{40, 60, 4}})}), {{MAP, "building at (40, 60) footprint cell (40, 60) is at height"}}},
        {map_cells({{250, 250, -1}}), {{MAP, "cell (250, 250) is covered (-1) but belongs to no building"}}},

        // Kill ranges.
        swap(M0, "KILL_RANGE_END//19", "KILL_RANGE_END//57", "kill range names slot 57 of class 0, which cannot be destroyed"),
        swap(M1, "KILL_RANGE_END//38", "KILL_RANGE_END//5000", "objective 2 kill range 29-5000 leaves the enemy table"),
        // A slot the previous mission's last objective already had destroyed: this objective
        // would start with one enemy fewer than briefed.
        swap(M1, "KILL_RANGE_START//20", "KILL_RANGE_START//19", "objective 0 kill range shares slot 19 with mission 0 objective 1"),
        // A slot the layout places destroyed is no target at all.
        {edit(ENEMIES, "\r\n309.5,6.5,186.5,1,", "\r\n309.5,6.5,186.5,0,"),
         {{M0, "objective 0 kill range names slot 0, which the layout places already destroyed"}}},
        // Integer fields round ties to even as the game does: 56.5 is stored as 56 (an infantry
        // slot of the next missions), not 57 (a turret).
        {edit(M0, "KILL_RANGE_END//19", "KILL_RANGE_END//56.5"), {{M1, "objective 0 kill range shares slot 20 with mission 0 objective 1"}},
         {{M0, "slot 57"}}},

        // Mission texts and entries.
        swap(M1, "Moderate: nineteen", "Moderate, nineteen", "a comma cuts the entry short"),
        swap(M1, "carries the insurgents' radio.\\n", "carries the insurgents' radio ",
             "DESCRIPTION has a line of 103 characters, wider than the briefing window"),
        swap(M1, "GT_ZIPLINE_DOWN", "GT_ZIPLINE_SIDEWAYS", "unknown goal 'GT_ZIPLINE_SIDEWAYS'"),
        swap(M1, "TIME_LIMIT//1200", "TIME_LIMIT//soon", "'soon' is not a number"),
        swap(M1, "AIR_DROP//NEW//1", "AIR_DROP//NEW//0", "AIR_DROP 0 was not declared by a NEW entry before it"),
        swap(M2, "NAME//Clear the holdouts in Kerrow square", "NAME//Clear the holdouts // Kerrow square",
             "objective name holds '//', which cuts it short"),
        // An entry for objective 0 after the last one makes objective 0 the last objective.
        {append(M2, "OBJECTIVE//0//NAME//Again\r\n"), {{M2, "objectives up to 2 are never reached"}}},
        {delete_file(M1), {{M1, "missing"}}},
        // A PICKUP entry before the drop's OBJECTIVE entry keeps its effect in the game: the crate
        // is still one to pick up, marked by its check point, and nothing is reported.
        {edits({edit(M1, "AIR_DROP//0//PICKUP//YES\r\n", ""),
                edit(M1, "AIR_DROP//0//OBJECTIVE//1\r\n", "AIR_DROP//0//PICKUP//YES\r\nAIR_DROP//0//OBJECTIVE//1\r\n")}),
         {}, {{M1, ""}}, std::nullopt},

        // Time: twenty infantry and two crates cannot be done in three minutes, nor the
        // demolition after a twenty-minute wait for its charges.
        swap(M0, "TIME_LIMIT//900", "TIME_LIMIT//180", "too close to the time limit of 180 s"),
        swap(M2, "ZIPLINE_WAIT//20", "ZIPLINE_WAIT//1200", "too close to the time limit of 1200 s"),

        // Crates, pads and goals. A pickable crate nobody marks: its landing would light check
        // point 0, the objective marker. Two markers for one crate: the first never lights, and
        // the other crate goes unmarked. A drop waiting for an objective past the mission's last
        // one falls only in the next mission.
        swap(M1, "CHECKPOINT//0//CLASS//BOX//0", "CHECKPOINT//0//CLASS//FUEL", "air drop 0 is a crate to pick up but no BOX check point marks it"),
        {edit(M0, "CHECKPOINT//1//CLASS//BOX//1", "CHECKPOINT//1//CLASS//BOX//0"),
         {{M0, "air drop 0 is already marked by check point 0"}, {M0, "air drop 1 is a crate to pick up but no BOX check point marks it"}}},
        swap(M2, "AIR_DROP//0//OBJECTIVE//1", "AIR_DROP//0//OBJECTIVE//4", "air drop 0 waits for objective 4, which the mission never reaches"),
        swap(M1, "CHECKPOINT//0//CLASS//BOX//0", "CHECKPOINT//0//CLASS//BOX//3", "check point names air drop 3, which is not declared"),
        // Nothing completes a landing or pick-up goal, so the mission never ends in success.
        swap(M0, "OBJECTIVE//1//GOAL//GT_KILL_RANGE", "OBJECTIVE//1//GOAL//GT_LAND_GUNSHIP",
             "objective 1 has goal GT_LAND_GUNSHIP, which nothing completes"),
        // A pad waiting for an objective the mission never reaches never switches on; with both of
        // mission 2's pads so, the gunship can refuel nowhere in it.
        {edits({edit(M2, "CHECKPOINT//1//OBJECTIVE//0", "CHECKPOINT//1//OBJECTIVE//3"),
                edit(M2, "CHECKPOINT//2//OBJECTIVE//0", "CHECKPOINT//2//OBJECTIVE//5")}),
         {{M2, "check point 1 waits for objective 3, which the mission never reaches"}, {M2, "declares no refuelling check point that switches on"}}},

        // Personnel, counted over the whole campaign: a kit the first mission used is gone in the last.
        swap(M1, "SUBTRACT//USWSF//6", "SUBTRACT//USWSF//9", "objective 1 subtracts USWSF to 9 in all, more than the 8 a new profile has"),
        {edits({edit(M0, "OBJECTIVE//1//NAME//", "OBJECTIVE//1//SUBTRACT//FCPKIT//1\r\nOBJECTIVE//1//NAME//"),
                edit(M2, "OBJECTIVE//2//ZIPLINE_N//4", "OBJECTIVE//2//ZIPLINE_N//4\r\nOBJECTIVE//2//SUBTRACT//FCPKIT//1")}),
         {{M2, "objective 2 subtracts FCPKIT to 2 in all, more than the 1 a new profile has"}}},
        // A one-way team must be used up by its objective, and a round trip must not be.
        swap(M1, "OBJECTIVE//1//ZIPLINE_N//6", "OBJECTIVE//1//ZIPLINE_N//5", "objective 1 leaves 5 people on the ground but subtracts 6"),
        swap(M2, "OBJECTIVE//2//ZIPLINE_N//4", "OBJECTIVE//2//ZIPLINE_N//4\r\nOBJECTIVE//2//SUBTRACT//ENG//4",
             "objective 2 brings its team back on board but subtracts 4 people"),
        // Sixteen people at the start, six left in the relay yard: a team of eleven is one too many.
        swap(M2, "OBJECTIVE//2//ZIPLINE_N//4", "OBJECTIVE//2//ZIPLINE_N//11", "objective 2 lowers 11 people but a pilot has only 10 left"),
        swap(M1, "OBJECTIVE//1//ZIPLINE_N//6", "OBJECTIVE//1//ZIPLINE_N//17", "objective 1 lowers 17 people but a pilot has only 16 left"),
        // The game refuses a zipline team larger than its 21 places and keeps nobody: the check
        // sees the team the game would lower.
        {edit(M1, "OBJECTIVE//1//ZIPLINE_N//6", "OBJECTIVE//1//ZIPLINE_N//30"),
         {{M1, "zipline team of 30 is outside 1-21"}, {M1, "objective 1 lowers nobody"}}, {{M1, "lowers 30 people"}}, std::nullopt},

        // Research.
        swap(RESEARCH, "TECHNOLOGY//RSCH_TAILPOD4//", "TECHNOLOGY//RSCH_TAILPOD9//", "RSCH_TAILPOD7 requires unknown technology 'RSCH_TAILPOD9'"),
        swap(RESEARCH, "RSCH_TAILPOD2//TECHNOLOGY//RSCH_TAILPOD//", "RSCH_TAILPOD2//TECHNOLOGY//RSCH_TAILPOD4//",
             "RSCH_TAILPOD2 sits in a loop of technology prerequisites"),
        swap(RESEARCH, "RSCH_TAILPOD5//MISSION//1//", "RSCH_TAILPOD5//MISSION//7//", "RSCH_TAILPOD5 waits for mission '7'"),
        swap(RESEARCH, "Clears a square in a single pass.", "Clears a square.\\nIn a single pass.\\nEvery time.",
             "RSCH_TAILPOD6 description has 4 lines; a research list entry holds 3"),
        swap(RESEARCH, "Clears a square in a single pass.", "Clears a square // in a single pass.", "the description holds '//', which cuts it short"),

        // Enemies and the ground lookup.
        {enemy_into_a_building, {{ENEMIES, "slot 0 at (383.5, 305.5) stands inside a building or wall"}}},
        {wall_onto_open_ground, {{ENEMIES, "is a wall at (250.5, 250.5) on a cell the gunship can pass"}}},
        swap(ENEMIES, "\r\n3\r\n", "\r\nthree\r\n", "class count 'three' on line 2 is not a number"),
        swap(LOOKUP, "513,0,512,0,0,1,-1,1", "513,0,512,0,0,1,-1,0", "record 1 does not list the triangles round its corner"),

        // Version, credits and control names. Credit lines are counted at LF, CR LF and lone CR
        // ends, and at line ends inside a quoted field.
        {write_text("ver.dat", "0.1.0\r\n7\r\n"), {{"ver.dat", "line 2 '7' is not -1, 0 or 1"}}},
        {[](const Copy& c) {
             std::string many;
             for (int i = 0; i < 101; ++i) many += "line\r\n";
             return write_text("credits.txt", many)(c);
         },
         {{"credits.txt", "has 101 lines"}}},
        {write_text("credits.txt", "KESSRA VORN\r\nzlib, libpng\r\n"), {{"credits.txt", "line 2: a comma splits the line in two"}}},
        {write_text("credits.txt", "A\r\nB\nC\r\"D\r\nE\"\r\nF, G\r\n"), {{"credits.txt", "line 6: a comma splits the line in two"}}},
        swap(CONTROLS, "Keypad Enter\r\n", "", "has 99 names; binding codes 0-99 need exactly 100"),
        swap(CONTROLS, "Page Up", "Page, Up", "a comma splits the name"),

        // Garbage is reported, never fatal (a crash would give another status).
        {garbage_in_every_text_file, {{M0, ""}, {ENEMIES, ""}, {RESEARCH, ""}}},

        // Meshes and fonts.
        {meshes_that_do_not_load,
         {{"data/test/range.obj", "1 triangles have corners that do not resolve"},
          {"data/test/empty.obj", "has no triangles"},
          {"data/test/nolib.obj", "has no materials"},
          {"data/test/colour.obj", "uses material 'paint'"},
          {"data/test/absent.obj", "missing"}},
         {{"data/test/good.obj", ""}}},
        {write_text("models.dat", ""), {{"models.dat", "lists no meshes"}}, {}, std::nullopt},
        swap("models.dat", "data/misc/box.obj", "data/misc/" + std::string(60, 'x') + ".obj", "longer than the 64 characters"),
        {glyphs_missing_or_wrong, {{VERA, "lacks"}, {VERA, "glyphs are not 16 x 16 PNG images"}}},
        {glyph_without_pixels, {{VERA, "1 glyphs are not 16 x 16 PNG images"}}},
        // The segment font: one good glyph, one with a short row.
        {write_text(SEGMENTS, "'comment\r\nA\r\n0BBB0\r\nB000B\r\nBBBBB\r\nB000B\r\nB000B\r\nB000B\r\nB000B\r\n"
                              "C\r\n0BBB\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\nB0000\r\n0BBBB\r\n"),
         {{SEGMENTS, "glyph 'C' is not followed by seven rows of five cells"}, {SEGMENTS, "lacks glyph 'B'"}},
         {{SEGMENTS, "lacks glyph 'A'"}}, std::nullopt},

        // Settings: the shipped file passes; a screen width the game refuses is replaced by its
        // default, so the window still opens but the file does not say what it seems to; a value
        // after the last setting is never read.
        {settings(edits({})), {}, {{SETTINGS, ""}}, std::nullopt},
        {settings(edit(SETTINGS, "\r\n 32\r\n", "\r\n 24\r\n")), {{SETTINGS, "colour depth 24 is neither 16 nor 32"}}},
        {settings(edit(SETTINGS, "\r\n 87\r\n", "\r\n 86\r\n")), {{SETTINGS, "controls 0 and 1 share code 86"}}},
        {settings(edit(SETTINGS, "\r\n 54\r\n", "\r\n 5\r\n")), {{SETTINGS, "control 2 code 5 is of the other input type and never registers"}}},
        {settings(edit(SETTINGS, " 1024\r\n", "")), {{SETTINGS, "has 54 values; the game reads 55"}}},
        {settings(append(SETTINGS, " 1\r\n")), {{SETTINGS, "has 56 values; the game reads 55"}}},
        {settings(edit(SETTINGS, " 1024\r\n", "-640\r\n")), {{SETTINGS, "line 1: '-640' is out of range; the game takes the default"}},
         {{SETTINGS, "cannot open a window"}}, std::nullopt},
    };
    return table;
}

}  // namespace

// One run over the shipped directory: it passes, and nothing is said about the campaign files.
TEST(KvdataCheck, ShippedGameDirectoryPasses) {
    const CommandResult r = check(KV_GAME_DIR);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("complete and consistent"), std::string::npos) << r.out;
    EXPECT_TRUE(campaign_lines(r.out).empty()) << r.out;
}

TEST(KvdataCheck, RefusesAMissingDirectoryAndBadUsage) {
    EXPECT_EQ(check("/nonexistent/kv_game").status, 1);
    EXPECT_EQ(run_command("'" + KVDATA + "' check").status, 2);
}

// Each fault on a fresh copy of the data: the lines it must bring are there, the lines it must
// not bring are not, and the checker fails.
TEST(KvdataCheck, EveryPlantedFaultIsReported) {
    for (const Fault& f : faults()) {
        const Line& name = f.reported.empty() ? f.not_reported.front() : f.reported.front();
        SCOPED_TRACE(name.first + ": " + name.second);
        const Copy copy;
        ASSERT_TRUE(f.plant(copy)) << "the fault could not be planted";
        const CommandResult r = check(copy.dir.path);
        if (f.status) {
            EXPECT_EQ(r.status, *f.status) << r.out;
        }
        for (const auto& [file, text] : f.reported)
            EXPECT_TRUE(has_line(r, file, text)) << "expected '" << file << ": ..." << text << "' in:\n" << r.out;
        for (const auto& [file, text] : f.not_reported)
            EXPECT_FALSE(has_line(r, file, text)) << "did not expect '" << file << ": ..." << text << "' in:\n" << r.out;
    }
}

// The version the game believes it is must be the build's version, and a fresh install asks
// the player before checking online.
TEST(ShippedFiles, VersionFileNamesTheBuildAndAsksFirst) {
    const std::string ver = read_file_text(std::string(KV_SOURCE_DIR) + "/data/root/ver.dat");
    EXPECT_EQ(ver, std::string(KV_VERSION) + "\r\n-1\r\n");
}
