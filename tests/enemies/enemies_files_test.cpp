// The enemy table's files: the shipped island layout, the layout rules applied while loading,
// the per-profile export and import, and damaged or missing files leaving the table as it was.
#include "enemies_fixture.h"

#include <algorithm>
#include <map>

namespace {

struct LayoutLine {
    float x, y, z, active, ax, ay, az, maxhp, cls;
};

// An independent reading of the shipped layout, line by line.
std::vector<LayoutLine> parse_layout(const std::string& text, int& maxenemies, int& maxclass) {
    std::vector<LayoutLine> out;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    maxenemies = std::stoi(line);
    std::getline(in, line);
    maxclass = std::stoi(line);
    while (std::getline(in, line)) {
        LayoutLine l{};
        if (std::sscanf(line.c_str(), "%f,%f,%f,%f,%f,%f,%f,%f,%f", &l.x, &l.y, &l.z, &l.active, &l.ax, &l.ay, &l.az,
                        &l.maxhp, &l.cls) == 9)
            out.push_back(l);
    }
    return out;
}

class EnemyFiles : public ::testing::Test {
protected:
    void SetUp() override {
        enemies_reset_table();
        enemies_sloped_map();
        platform_random_seed(1234);
    }
};

TEST_F(EnemyFiles, ShippedLayoutFillsTheExpectedSlots) {
    const std::string path = std::string(KV_GAME_DIR) + "/data/enemies0.dat";
    int maxenemies = 0, maxclass = 0;
    const std::vector<LayoutLine> lines = parse_layout(read_file_text(path), maxenemies, maxclass);
    ASSERT_EQ(static_cast<int>(lines.size()), maxenemies + 1);
    ASSERT_TRUE(enemies_layout_load_file(path));
    EXPECT_EQ(KVGLOBALS.MAXENEMIES, maxenemies);
    EXPECT_EQ(KVGLOBALS.MAXENEMYCLASS, maxclass);

    // First slot of each class in the file: a turret, a wall and both infantry kinds.
    std::map<int, int> first;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) first.emplace(static_cast<int>(lines[i].cls), i);
    for (int cls : {ENEMYCLASS_TURRET, ENEMYCLASS_WALL, ENEMYCLASS_M16, ENEMYCLASS_RPG}) {
        ASSERT_TRUE(first.count(cls)) << "no enemy of class " << cls << " in the shipped layout";
        const int i = first[cls];
        const LayoutLine& l = lines[i];
        const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        SCOPED_TRACE("slot " + std::to_string(i));
        EXPECT_EQ(e.CLASS, cls);
        EXPECT_FLOAT_EQ(e.POSITION.X, l.x);
        EXPECT_FLOAT_EQ(e.POSITION.Z, l.z);
        EXPECT_FLOAT_EQ(e.POSITION.Y, KV_FINDMAPY(l.x, l.z));
        EXPECT_FLOAT_EQ(e.ANGLE.Y, l.ay);
        EXPECT_EQ(e.ACTIVE, static_cast<int8_t>(l.active));
        const int32_t want_hp = cls == ENEMYCLASS_TURRET ? 1000 : cls == ENEMYCLASS_WALL ? static_cast<int32_t>(l.maxhp) : 6;
        EXPECT_EQ(e.MAXHP, want_hp);
        EXPECT_FLOAT_EQ(e.HEALTH, static_cast<float>(want_hp));
        EXPECT_GE(e.STANCE, 0);
        EXPECT_LE(e.STANCE, 2);
    }
    // Slots past the file's count are empty.
    if (maxenemies + 1 < ENEMY_SLOTS) {
        EXPECT_EQ(KVGLOBALS.ENEMIES[maxenemies + 1].ACTIVE, 0);
    }
}

TEST_F(EnemyFiles, LayoutRulesHitPointsHeightAndStance) {
    const std::string dir = enemies_scratch_dir("rules");
    // turret with 5 hit points in the file, a wall with 77, an M16 with 99, an RPG with 0.
    const std::string a = "3\r\n3\r\n10,500,20,1,0,90,0,5,0\r\n30,-4,40,1,0,0,0,77,1\r\n50,1,60,0,0,45,0,99,2\r\n"
                          "70,2,80,1,0,10,0,0,3\r\n";
    write_file_text(dir + "/a.dat", a);
    ASSERT_TRUE(enemies_layout_load_file(dir + "/a.dat"));
    EXPECT_EQ(KVGLOBALS.ENEMIES[0].MAXHP, 1000);
    EXPECT_EQ(KVGLOBALS.ENEMIES[1].MAXHP, 77);
    EXPECT_EQ(KVGLOBALS.ENEMIES[2].MAXHP, 6);
    EXPECT_EQ(KVGLOBALS.ENEMIES[3].MAXHP, 6);
    EXPECT_FLOAT_EQ(KVGLOBALS.ENEMIES[1].HEALTH, 77.0f);
    EXPECT_EQ(KVGLOBALS.ENEMIES[2].ACTIVE, 0);
    EXPECT_EQ(KVGLOBALS.LASTENEMY, 3);
    const EnemyTableSnapshot first = enemies_snapshot();

    // The same layout with other Y values loads the same table (same random draws).
    platform_random_seed(1234);
    enemies_reset_table();
    const std::string b = "3\r\n3\r\n10,0,20,1,0,90,0,5,0\r\n30,9999,40,1,0,0,0,77,1\r\n50,-30,60,0,0,45,0,99,2\r\n"
                          "70,7.5,80,1,0,10,0,0,3\r\n";
    write_file_text(dir + "/b.dat", b);
    ASSERT_TRUE(enemies_layout_load_file(dir + "/b.dat"));
    expect_table_is(first, "Y values in the file");
    for (int i = 0; i < 4; ++i) {
        const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        EXPECT_FLOAT_EQ(e.POSITION.Y, KV_FINDMAPY(e.POSITION.X, e.POSITION.Z));
    }
    EXPECT_NE(KVGLOBALS.ENEMIES[0].POSITION.Y, KVGLOBALS.ENEMIES[3].POSITION.Y);
}

TEST_F(EnemyFiles, StanceIsQuarterHalfQuarter) {
    const std::string dir = enemies_scratch_dir("stance");
    std::string text = "999\r\n3\r\n";
    for (int i = 0; i < 1000; ++i) text += "5,0,5,1,0,0,0,6,2\r\n";
    write_file_text(dir + "/s.dat", text);
    ASSERT_TRUE(enemies_layout_load_file(dir + "/s.dat"));
    int count[3] = {};
    for (int i = 0; i < 1000; ++i) {
        const int s = KVGLOBALS.ENEMIES[i].STANCE;
        ASSERT_TRUE(s >= 0 && s <= 2);
        ++count[s];
    }
    EXPECT_NEAR(count[0], 250, 60);
    EXPECT_NEAR(count[1], 500, 60);
    EXPECT_NEAR(count[2], 250, 60);
    // Deterministic under a seed.
    const EnemyTableSnapshot once = enemies_snapshot();
    platform_random_seed(1234);
    ASSERT_TRUE(enemies_layout_load_file(dir + "/s.dat"));
    expect_table_is(once, "same seed");
}

TEST_F(EnemyFiles, ExportThenImportRoundTrips) {
    const std::string dir = enemies_scratch_dir("roundtrip");
    ASSERT_TRUE(enemies_layout_load_file(std::string(KV_GAME_DIR) + "/data/enemies0.dat"));
    // Play changes the table: damage, destruction, turning, stances, odd values.
    KVGLOBALS.ENEMIES[0].HEALTH = 0.0f;
    KVGLOBALS.ENEMIES[1].HEALTH = -0.0f;
    KVGLOBALS.ENEMIES[2].ACTIVE = 0;
    KVGLOBALS.ENEMIES[3].ANGLE.Y = -1234.5678f;
    KVGLOBALS.ENEMIES[4].STANCE = 2;
    KVGLOBALS.ENEMIES[5].HEALTH = 3.1415927f;
    KVGLOBALS.ENEMIES[6].POSITION.X = 1.0e-7f;
    KVGLOBALS.ENEMIES[6].ANGLE.Z = 123456789.0f;
    KVGLOBALS.ENEMIES[7].NEXTROUND = 99999;
    const EnemyTableSnapshot before = enemies_snapshot();
    ASSERT_TRUE(enemies_export_file(dir + "/0.dat"));

    enemies_reset_table();
    ASSERT_TRUE(enemies_import_file(dir + "/0.dat"));
    EXPECT_EQ(KVGLOBALS.MAXENEMIES, before.maxenemies);
    EXPECT_EQ(KVGLOBALS.MAXENEMYCLASS, before.maxclass);
    // Numbers are stored with 7 significant digits.
    auto close = [](float a, float b) { return std::fabs(a - b) <= 1e-6f * std::max(1.0f, std::fabs(b)); };
    for (int i = 0; i <= before.maxenemies; ++i) {
        const ENEMYTYPE& a = KVGLOBALS.ENEMIES[i];
        const ENEMYTYPE& b = before.slots[i];
        ASSERT_TRUE(close(a.POSITION.X, b.POSITION.X) && close(a.POSITION.Y, b.POSITION.Y) &&
                    close(a.POSITION.Z, b.POSITION.Z) && close(a.ANGLE.X, b.ANGLE.X) && close(a.ANGLE.Y, b.ANGLE.Y) &&
                    close(a.ANGLE.Z, b.ANGLE.Z) && close(a.HEALTH, b.HEALTH))
            << "slot " << i;
        ASSERT_TRUE(a.ACTIVE == b.ACTIVE && a.CLASS == b.CLASS && a.MAXHP == b.MAXHP && a.STANCE == b.STANCE) << "slot " << i;
    }
    // A value already at 7 digits comes back exactly: a second round trip changes nothing.
    const EnemyTableSnapshot once = enemies_snapshot();
    ASSERT_TRUE(enemies_export_file(dir + "/again.dat"));
    ASSERT_TRUE(enemies_import_file(dir + "/again.dat"));
    for (int i = 0; i <= before.maxenemies; ++i)
        ASSERT_TRUE(enemies_same(KVGLOBALS.ENEMIES[i], once.slots[i])) << "slot " << i;
    EXPECT_EQ(KVGLOBALS.ENEMIES[7].NEXTROUND, 0) << "the fire hold-off is not stored";

    // The text: one value per CR LF line, blank before non-negative values, 11 per slot.
    const std::string text = read_file_text(dir + "/0.dat");
    std::string head(" ");
    head.append(std::to_string(before.maxenemies)).append("\r\n");
    EXPECT_EQ(text.compare(0, head.size(), head), 0);
    size_t lines = 0;
    for (size_t k = 0; k + 1 < text.size(); ++k)
        if (text[k] == '\r' && text[k + 1] == '\n') ++lines;
    EXPECT_EQ(lines, size_t(2 + 11 * (before.maxenemies + 1)));
    EXPECT_NE(text.find("\r\n-1234.568\r\n"), std::string::npos);
    // Exporting twice gives the same bytes.
    ASSERT_TRUE(enemies_export_file(dir + "/1.dat"));
    EXPECT_EQ(read_file_text(dir + "/1.dat"), text);
}

TEST_F(EnemyFiles, ProfileFileIsNamedByListPosition) {
    EXPECT_EQ(enemies_profile_path(0), "data/profiles/0.dat");
    EXPECT_EQ(enemies_profile_path(12), "data/profiles/12.dat");
    const std::string dir = enemies_scratch_dir("profiles");
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    write_file_text("layout.dat", "1\r\n3\r\n1,0,2,1,0,0,0,6,2\r\n3,0,4,1,0,0,0,50,1\r\n");
    ASSERT_TRUE(enemies_layout_load_file("layout.dat"));
    KVGLOBALS.CURPROFILE = 4;
    KV_ENEMIES_EXPORT(0);  // the profile selected in the menu
    KV_ENEMIES_EXPORT();   // the profile whose mission runs
    const bool zero = std::filesystem::exists("data/profiles/0.dat");
    const bool four = std::filesystem::exists("data/profiles/4.dat");
    KVGLOBALS.ENEMIES[1].ACTIVE = 0;
    KV_ENEMIES_IMPORT(0);
    const int8_t reread = KVGLOBALS.ENEMIES[1].ACTIVE;
    std::filesystem::current_path(old);
    EXPECT_TRUE(zero);
    EXPECT_TRUE(four);
    EXPECT_EQ(reread, 1);
    KVGLOBALS.CURPROFILE = 0;
}

TEST_F(EnemyFiles, DamagedFilesLeaveTheTableAndSaySo) {
    const std::string dir = enemies_scratch_dir("damaged");
    write_file_text(dir + "/good.dat", "1\r\n3\r\n1,0,2,1,0,30,0,6,3\r\n3,0,4,1,0,0,0,50,1\r\n");
    ASSERT_TRUE(enemies_layout_load_file(dir + "/good.dat"));
    const EnemyTableSnapshot good = enemies_snapshot();

    const std::vector<std::pair<std::string, std::string>> layouts = {
        {"count too large", "1000\r\n3\r\n1,0,2,1,0,30,0,6,3\r\n"},
        {"count negative", "-5\r\n3\r\n"},
        {"class count out of range", "0\r\n100\r\n1,0,2,1,0,30,0,6,3\r\n"},
        {"short file", "1\r\n3\r\n1,0,2,1,0,30,0,6,3\r\n3,0,4\r\n"},
        {"only a count", "4"},
        {"empty", ""},
        {"class out of range", "0\r\n3\r\n1,0,2,1,0,30,0,6,100\r\n"},
        {"negative class", "0\r\n3\r\n1,0,2,1,0,30,0,6,-1\r\n"},
        {"active not a flag", "0\r\n3\r\n1,0,2,7,0,30,0,6,2\r\n"},
        {"hit points beyond an integer", "0\r\n3\r\n1,0,2,1,0,30,0,1e30,1\r\n"},
    };
    for (const auto& [what, text] : layouts) {
        write_file_text(dir + "/bad.dat", text);
        testing::internal::CaptureStderr();
        const bool loaded = enemies_layout_load_file(dir + "/bad.dat");
        const std::string out = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(loaded) << what;
        EXPECT_NE(out.find("bad.dat"), std::string::npos) << what << ": no console line";
        expect_table_is(good, what);
    }

    // A profile file with an impossible stance would pick a mesh that does not exist.
    const std::string p = " 0\r\n 3\r\n 1\r\n 0\r\n 2\r\n 1\r\n 0\r\n 30\r\n 0\r\n 6\r\n 3\r\n 6\r\n 9\r\n";
    write_file_text(dir + "/p_bad.dat", p);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(enemies_import_file(dir + "/p_bad.dat"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("stance"), std::string::npos);
    expect_table_is(good, "bad stance");

    // A missing file changes nothing; a missing island layout says so, a profile table that
    // was never saved does not.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(enemies_layout_load_file(dir + "/missing.dat"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "enemy file " + dir + "/missing.dat is missing: no enemies from it\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(enemies_import_file(dir + "/missing.dat"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    expect_table_is(good, "missing file");
}

TEST_F(EnemyFiles, RefusedExportKeepsThePreviousFile) {
    const std::string dir = enemies_scratch_dir("export");
    write_file_text(dir + "/keep.dat", "previous contents");
    KVGLOBALS.MAXENEMIES = ENEMY_SLOTS;  // a count the table cannot hold
    testing::internal::CaptureStderr();
    EXPECT_FALSE(enemies_export_file(dir + "/keep.dat"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("keep.dat"), std::string::npos);
    EXPECT_EQ(read_file_text(dir + "/keep.dat"), "previous contents");
    // A path that cannot be written (its folder is a file) reports and leaves nothing behind.
    KVGLOBALS.MAXENEMIES = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(enemies_export_file(dir + "/keep.dat/inside.dat"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("inside.dat"), std::string::npos);
    EXPECT_EQ(read_file_text(dir + "/keep.dat"), "previous contents");
}

}  // namespace
