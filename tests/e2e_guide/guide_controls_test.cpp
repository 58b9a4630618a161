// The README's table of controls against the shipped settings: every bound control is listed
// once, under the key the shipped configVars.dat binds it to, so a changed binding cannot leave
// the player's guide naming the wrong key.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "config/config.h"
#include "config/control_codes.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

struct Row {
    std::string key, control;
};

// The rows of the table under "### Controls as shipped" (header and rule left out).
std::vector<Row> controls_table(const std::string& readme) {
    std::vector<Row> rows;
    const size_t at = readme.find("### Controls as shipped");
    if (at == std::string::npos) return rows;
    std::istringstream lines(readme.substr(at));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        if (line.rfind("###", 0) == 0) break;
        if (line.rfind("| ", 0) != 0) continue;
        std::vector<std::string> cells;
        std::stringstream cut(line.substr(1));
        for (std::string c; std::getline(cut, c, '|');) cells.push_back(trim(c));
        if (cells.size() < 4 || cells[0] == "key" || cells[0].rfind("---", 0) == 0) continue;
        rows.push_back({cells[0], cells[1]});
    }
    return rows;
}

// The names the configuration tool shows for the controls.
const std::map<std::string, int> kControls = {
    {"Rotate Left", CTRL_ROTATE_LEFT},
    {"Rotate Right", CTRL_ROTATE_RIGHT},
    {"Strafe Left", CTRL_STRAFE_LEFT},
    {"Strafe Right", CTRL_STRAFE_RIGHT},
    {"Thrust", CTRL_THRUST},
    {"Reverse", CTRL_REVERSE},
    {"Land / Activate Check Point", CTRL_LAND},
    {"Mission Window / Accept", CTRL_MISSION_WINDOW},
    {"Mini Map Toggle / Cancel", CTRL_MINIMAP},
    {"Previous", CTRL_WEAPON_PREVIOUS},
    {"Next", CTRL_WEAPON_NEXT},
    {"Use", CTRL_WEAPON_USE},
};

TEST(GuideControls, TableNamesTheShippedKeyOfEveryControl) {
    const std::string readme = read_file_text(fs::path(KV_SOURCE_DIR) / "README.md");
    const std::vector<Row> rows = controls_table(readme);
    ASSERT_FALSE(rows.empty()) << "no controls table in the README";
    CONFIGVARTYPE shipped;
    ASSERT_EQ(config_read(shipped, (fs::path(KV_SOURCE_DIR) / "data/root/configVars.dat").string()),
              ConfigReadStatus::OK);
    ASSERT_EQ(shipped.INPUTTYPE, 0) << "the game ships with the keyboard";
    std::map<int, int> listed;
    for (const Row& r : rows) {
        if (r.control == "(fixed)") continue;
        const auto it = kControls.find(r.control);
        ASSERT_NE(it, kControls.end()) << "unknown control '" << r.control << "'";
        listed[it->second] += 1;
        EXPECT_EQ(r.key, control_code_info(shipped.CONTROL[it->second]).LABEL) << r.control;
    }
    for (const auto& [name, c] : kControls) EXPECT_EQ(listed[c], 1) << name << " listed " << listed[c] << " times";
}

TEST(GuideControls, TableReaderSkipsHeaderAndStopsAtTheNextSection) {
    const std::string text =
        "intro\n### Controls as shipped\n\n| key | control | in flight | in the menus |\n|---|---|---|---|\n"
        "| Up | Thrust | fly | up |\n| Escape | (fixed) | leave | back |\n### Next\n| Q | Previous | a | b |\n";
    const std::vector<Row> rows = controls_table(text);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].key, "Up");
    EXPECT_EQ(rows[0].control, "Thrust");
    EXPECT_EQ(rows[1].control, "(fixed)");
    EXPECT_TRUE(controls_table("no table here").empty());
}

}  // namespace
