// Mission definition files: the shipped campaign loads into the expected records, reloading
// replaces rather than duplicates, entry rules, and damaged files that are refused line by line.
#include "game/kv_globals.h"
#include "game/mission.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::string kMissions = std::string(KV_GAME_DIR) + "/data/missions/";

// Tables as a fresh profile leaves them: no air drops, the objective marker alone.
void fresh_tables() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.AIRDROPCOUNT = 0;
    g.CHECKPOINTCOUNT = 1;
    g.AIRDROPDATA.assign(1, AIRDROPTYPE{});
    g.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
    for (auto& m : g.MISSIONDATA) m = MISSIONDATATYPE{};
    platform_random_seed(7);
}

MISSION_LOAD_RESULT load_text(int32_t M, const std::string& text, const std::string& name = "test.dat") {
    FieldReader r = field_reader_from_string(text);
    return mission_load_reader(M, r, name);
}

class Missions : public ::testing::Test {
protected:
    void SetUp() override { fresh_tables(); }
    void TearDown() override { fresh_tables(); }
};

TEST_F(Missions, ShippedCampaignLoadsTheBriefingsAndObjectives) {
    EXPECT_EQ(mission_load_campaign(kMissions).refused, 0);
    const KVGLOBALSTYPE& g = KVGLOBALS;

    const MISSIONDATATYPE& m0 = g.MISSIONDATA[0];
    EXPECT_EQ(m0.NAME, "Operation Lantern");
    EXPECT_EQ(m0.TIMELIMIT, 900);
    EXPECT_EQ(m0.LOCATION, "Vell - the fishing town on the northern headland");
    EXPECT_EQ(m0.RESISTANCE, "Light: twenty infantry. Turrets cannot be destroyed.");
    EXPECT_NE(m0.DESCRIPTION.find("the coast road.\\nClear"), std::string::npos);  // "\n" kept as text
    EXPECT_EQ(m0.LASTOBJECTIVE, 1);
    EXPECT_EQ(m0.OBJECTIVE[0].NAME, "Clear the Vell checkpoint");
    EXPECT_EQ(m0.OBJECTIVE[0].GOALTYPE, GT_KILL_RANGE);
    EXPECT_EQ(m0.OBJECTIVE[0].KILLRANGESTART, 0);
    EXPECT_EQ(m0.OBJECTIVE[0].KILLRANGEEND, 7);
    EXPECT_FLOAT_EQ(m0.OBJECTIVE[0].KILLZONEX, 302.0f);
    EXPECT_FLOAT_EQ(m0.OBJECTIVE[0].KILLZONEZ, 186.0f);
    EXPECT_EQ(m0.OBJECTIVE[1].KILLRANGESTART, 8);
    EXPECT_EQ(m0.OBJECTIVE[1].KILLRANGEEND, 19);
    EXPECT_TRUE(m0.OBJECTIVE[2].NAME.empty());

    const MISSIONDATATYPE& m1 = g.MISSIONDATA[1];
    EXPECT_EQ(m1.NAME, "Operation Quiet Wire");
    EXPECT_EQ(m1.TIMELIMIT, 1200);
    EXPECT_EQ(m1.LASTOBJECTIVE, 2);
    const OBJECTIVETYPE& rope = m1.OBJECTIVE[1];
    EXPECT_EQ(rope.GOALTYPE, GT_ZIPLINE_DOWN);
    EXPECT_FLOAT_EQ(rope.ZIPLINE_SRC_X, 220.0f);
    EXPECT_FLOAT_EQ(rope.ZIPLINE_DEST_X, 210.0f);
    EXPECT_FLOAT_EQ(rope.ZIPLINE_SRC_Z, 216.0f);
    EXPECT_FLOAT_EQ(rope.ZIPLINE_DEST_Z, 209.0f);
    EXPECT_EQ(rope.ZIPLINE_N, 6);
    EXPECT_EQ(rope.SUBTRACT[0], 6);
    EXPECT_EQ(rope.SUBTRACT[1], 0);
    EXPECT_EQ(m1.OBJECTIVE[2].KILLRANGESTART, 29);
    EXPECT_EQ(m1.OBJECTIVE[2].KILLRANGEEND, 38);

    const MISSIONDATATYPE& m2 = g.MISSIONDATA[2];
    EXPECT_EQ(m2.NAME, "Operation Hammerfall");
    const OBJECTIVETYPE& keep = m2.OBJECTIVE[2];
    EXPECT_EQ(keep.GOALTYPE, GT_ZIPLINE_DOWN_AND_UP);
    EXPECT_EQ(keep.ZIPLINE_N, 4);
    EXPECT_EQ(keep.ZIPLINE_WAIT, 20);
    EXPECT_FLOAT_EQ(keep.ZIPLINE_SRC_Z, 414.0f);
    EXPECT_FLOAT_EQ(keep.ZIPLINE_DEST_Z, 420.0f);
    EXPECT_FLOAT_EQ(keep.KILLZONEX, 196.0f);
    EXPECT_FLOAT_EQ(keep.KILLZONEZ, 430.0f);
    EXPECT_TRUE(g.MISSIONDATA[3].NAME.empty());
}

TEST_F(Missions, ShippedCampaignDeclaresItsCratesAndCheckPoints) {
    mission_load_campaign(kMissions);
    const KVGLOBALSTYPE& g = KVGLOBALS;
    // 2 + 1 + 1 crates; the marker plus 5 + 4 + 4 check points.
    ASSERT_EQ(g.AIRDROPCOUNT, 4);
    ASSERT_EQ(g.CHECKPOINTCOUNT, 14);
    ASSERT_GE(g.AIRDROPDATA.size(), 4u);
    ASSERT_GE(g.CHECKPOINTDATA.size(), 14u);

    const AIRDROPTYPE& a0 = g.AIRDROPDATA[0];
    EXPECT_EQ(a0.MISSION, 0);
    EXPECT_EQ(a0.OBJECTIVE, 0);
    EXPECT_EQ(a0.CLASS, 1);
    EXPECT_EQ(a0.PAYLOAD, 2);
    EXPECT_EQ(a0.PICKUPABLE, 1);
    EXPECT_EQ(a0.CHUTESIZE, 1);
    EXPECT_FLOAT_EQ(a0.TARGET.X, 318.0f);
    EXPECT_FLOAT_EQ(a0.TARGET.Z, 212.0f);
    EXPECT_EQ(a0.CHECKPOINTID, 1);  // first check point of file 0, after the marker
    // The crate starts 40-60 short of its target on X and Z and 80-120 above the ground.
    EXPECT_GE(a0.TARGET.X - a0.POSITION.X, 40.0f);
    EXPECT_LE(a0.TARGET.X - a0.POSITION.X, 60.0f);
    EXPECT_GE(a0.TARGET.Z - a0.POSITION.Z, 40.0f);
    EXPECT_LE(a0.TARGET.Z - a0.POSITION.Z, 60.0f);
    EXPECT_GE(a0.POSITION.Y - a0.TARGET.Y, 80.0f);
    EXPECT_LE(a0.POSITION.Y - a0.TARGET.Y, 120.0f);
    EXPECT_GE(a0.ANGLE.Y, 0.0f);
    EXPECT_LT(a0.ANGLE.Y, 360.0f);

    EXPECT_EQ(g.AIRDROPDATA[1].PAYLOAD, 3);
    EXPECT_EQ(g.AIRDROPDATA[1].CHECKPOINTID, 2);
    // File 1's crate 0 is table record 2 and is marked by file 1's check point 0 (record 6).
    EXPECT_EQ(g.AIRDROPDATA[2].MISSION, 1);
    EXPECT_EQ(g.AIRDROPDATA[2].PAYLOAD, 4);
    EXPECT_EQ(g.AIRDROPDATA[2].CHUTESIZE, 2);
    EXPECT_EQ(g.AIRDROPDATA[2].CHECKPOINTID, 6);
    EXPECT_EQ(g.AIRDROPDATA[3].MISSION, 2);
    EXPECT_EQ(g.AIRDROPDATA[3].PAYLOAD, 1);
    EXPECT_EQ(g.AIRDROPDATA[3].CHECKPOINTID, 10);

    EXPECT_EQ(g.CHECKPOINTDATA[0].MISSION, 0);  // the marker is not touched
    EXPECT_EQ(g.CHECKPOINTDATA[1].CLASS, 0);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[1].POSITION.X, 318.0f);
    EXPECT_EQ(g.CHECKPOINTDATA[3].CLASS, 1);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[3].POSITION.X, 403.0f);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[3].POSITION.Z, 358.0f);
    EXPECT_EQ(g.CHECKPOINTDATA[5].CLASS, 2);
    EXPECT_EQ(g.CHECKPOINTDATA[5].MISSION, 0);
    EXPECT_EQ(g.CHECKPOINTDATA[6].MISSION, 1);
    EXPECT_EQ(g.CHECKPOINTDATA[6].OBJECTIVE, 1);
    EXPECT_EQ(g.CHECKPOINTDATA[13].MISSION, 2);
    EXPECT_EQ(g.CHECKPOINTDATA[13].CLASS, 2);
}

// Snapshot of the tables to compare two loads field by field where it matters.
struct TableShape {
    std::vector<std::tuple<int, int, int, int, int, float, float>> drops;  // class, mission, objective, flag, cp, x, z
    std::vector<std::tuple<int, int, int, int, float, float>> cps;         // class, mission, objective, active, x, z
};
TableShape shape() {
    TableShape t;
    const KVGLOBALSTYPE& g = KVGLOBALS;
    for (int i = 0; i < g.AIRDROPCOUNT; ++i) {
        const AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(i)];
        t.drops.emplace_back(a.CLASS, a.MISSION, a.OBJECTIVE, a.PICKUPFLAG, a.CHECKPOINTID, a.TARGET.X, a.TARGET.Z);
    }
    for (int i = 0; i < g.CHECKPOINTCOUNT; ++i) {
        const CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(i)];
        t.cps.emplace_back(c.CLASS, c.MISSION, c.OBJECTIVE, c.ACTIVE, c.POSITION.X, c.POSITION.Z);
    }
    return t;
}

TEST_F(Missions, EveryLoadBuildsTheSameTablesFromTheFiles) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    mission_load_campaign(kMissions);
    const TableShape first = shape();
    ASSERT_EQ(g.AIRDROPCOUNT, 4);
    ASSERT_EQ(g.CHECKPOINTCOUNT, 14);
    for (int i = 0; i < 5; ++i) mission_load_campaign(kMissions);  // a save and a load, repeated
    EXPECT_EQ(g.AIRDROPCOUNT, 4);
    EXPECT_EQ(g.CHECKPOINTCOUNT, 14);
    const TableShape again = shape();
    EXPECT_EQ(first.drops, again.drops);
    EXPECT_EQ(first.cps, again.cps);

    // A foreign table (another campaign's save, a table grown by the old appending loads) of a
    // different size is not kept in front: the files alone decide the records.
    g.AIRDROPCOUNT = 9;
    g.AIRDROPDATA.assign(9, AIRDROPTYPE{});
    g.AIRDROPDATA[0].PICKUPFLAG = 4;
    g.CHECKPOINTCOUNT = 27;
    g.CHECKPOINTDATA.assign(27, CHECKPOINTTYPE{});
    testing::internal::CaptureStderr();
    const MISSION_TABLES_RESULT r = mission_load_campaign(kMissions);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("start afresh"), std::string::npos);
    EXPECT_EQ(r.airdrops_restored, 0);
    EXPECT_EQ(g.AIRDROPCOUNT, 4);
    EXPECT_EQ(g.CHECKPOINTCOUNT, 14);
    EXPECT_EQ(g.AIRDROPDATA[0].PICKUPFLAG, 0);
    EXPECT_EQ(g.AIRDROPDATA[0].CHECKPOINTID, 1);
}

TEST_F(Missions, SavedRunTimeStateIsTakenOverWhereTheRecordsAgree) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    mission_load_campaign(kMissions);
    // A saved game: crate 0 was picked up, crate 1 lies on the ground waiting, its marker lit;
    // crate 2's record is of another kind than the files now say; crate 3 holds a damaged state.
    g.AIRDROPDATA[0].ACTIVE = 2;
    g.AIRDROPDATA[0].PICKUPFLAG = 4;
    g.AIRDROPDATA[1].ACTIVE = 2;
    g.AIRDROPDATA[1].PICKUPFLAG = 1;
    g.AIRDROPDATA[1].POSITION = VECTOR3D{1.0f, 2.0f, 3.0f};  // landed crates sit on their target
    g.CHECKPOINTDATA[2].ACTIVE = 1;
    g.CHECKPOINTDATA[2].FADE = 0.5f;
    g.AIRDROPDATA[2].ACTIVE = 2;
    g.AIRDROPDATA[2].PAYLOAD = 1;
    g.AIRDROPDATA[3].ACTIVE = 2;
    g.AIRDROPDATA[3].PICKUPFLAG = 9;
    g.CHECKPOINTDATA[0].ACTIVE = 1;
    g.CHECKPOINTDATA[0].POSITION.X = 77.0f;
    g.CHECKPOINTDATA[4].FADE = std::nanf("");  // a damaged save
    g.CHECKPOINTDATA[4].ACTIVE = 1;
    const MISSION_TABLES_RESULT r = mission_load_campaign(kMissions);
    EXPECT_EQ(r.airdrops_restored, 2);
    EXPECT_EQ(r.checkpoints_restored, 12);
    EXPECT_EQ(g.CHECKPOINTDATA[4].ACTIVE, 0);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[4].FADE, 0.0f);
    EXPECT_EQ(g.AIRDROPDATA[0].PICKUPFLAG, 4);
    EXPECT_EQ(g.AIRDROPDATA[1].PICKUPFLAG, 1);
    EXPECT_EQ(g.AIRDROPDATA[1].ACTIVE, 2);
    EXPECT_FLOAT_EQ(g.AIRDROPDATA[1].POSITION.X, g.AIRDROPDATA[1].TARGET.X);
    EXPECT_EQ(g.CHECKPOINTDATA[2].ACTIVE, 1);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[2].FADE, 0.5f);
    EXPECT_EQ(g.AIRDROPDATA[2].ACTIVE, 0);  // other kind: fresh
    EXPECT_EQ(g.AIRDROPDATA[2].PAYLOAD, 4);
    EXPECT_EQ(g.AIRDROPDATA[3].ACTIVE, 0);  // out of range: fresh
    EXPECT_EQ(g.AIRDROPDATA[3].PICKUPFLAG, 0);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[0].POSITION.X, 0.0f);  // the marker is never restored
    EXPECT_EQ(g.CHECKPOINTDATA[0].ACTIVE, 0);
}

TEST_F(Missions, BriefingReloadChangesTheTextsOnly) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    mission_load_campaign(kMissions);
    g.AIRDROPDATA[0].PICKUPFLAG = 4;
    g.MISSIONDATA[1].OBJECTIVE[1].ZIPLINE_STATUS = 1;
    g.MISSIONDATA[1].OBJECTIVE[1].ZIPLINE_N = 3;
    g.MISSIONDATA[0].TIMELIMIT = 5;
    g.MISSIONDATA[0].NAME = "stale";
    g.MISSIONDATA[2].OBJECTIVE[2].NAME = "stale";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(mission_reload_texts(kMissions), 3);
    EXPECT_EQ(g.AIRDROPCOUNT, 4);
    EXPECT_EQ(g.CHECKPOINTCOUNT, 14);
    EXPECT_EQ(g.AIRDROPDATA[0].PICKUPFLAG, 4);
    EXPECT_EQ(g.MISSIONDATA[1].OBJECTIVE[1].ZIPLINE_STATUS, 1);
    EXPECT_EQ(g.MISSIONDATA[1].OBJECTIVE[1].ZIPLINE_N, 3);
    EXPECT_EQ(g.MISSIONDATA[0].TIMELIMIT, 5);
    EXPECT_EQ(g.MISSIONDATA[0].NAME, "Operation Lantern");
    EXPECT_EQ(g.MISSIONDATA[2].OBJECTIVE[2].NAME, "Demolish the keep of Fort Dunmar");
}

TEST_F(Missions, EntryRules) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    testing::internal::CaptureStderr();
    const MISSION_LOAD_RESULT r = load_text(5,
        "REM a comment line, with a comma\r\n"
        "Some words of comment\r\n"
        "NAME//First\r\nNAME//Second\r\n"
        "TIME_LIMIT//90.5\r\n"
        "DESCRIPTION//Before the comma, after it\r\n"
        "OBJECTIVE//0//NAME//A\r\n"
        "OBJECTIVE//4//NAME//E\r\n"
        "OBJECTIVE//2//GOAL//GT_LAND_GUNSHIP\r\n"
        "OBJECTIVE//3//GOAL//GT_ZIPLINE_UP\r\n"
        "OBJECTIVE//3//GOAL//GT_KILL_RANGE\r\n"
        "OBJECTIVE//2//SUBTRACT//FCPKIT//2.5\r\n"
        "OBJECTIVE//2//LAND_GUNSHIP_X//12.25\r\n"
        "AIR_DROP//NEW//1\r\n"
        "AIR_DROP//0//PICKUP//YES\r\n"
        "AIR_DROP//0//OBJECTIVE//3\r\n");
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r.refused, 0);
    EXPECT_EQ(out, "");
    const MISSIONDATATYPE& m = g.MISSIONDATA[5];
    EXPECT_EQ(m.NAME, "Second");
    EXPECT_EQ(m.TIMELIMIT, 90);  // ties to even
    EXPECT_EQ(m.DESCRIPTION, "Before the comma");
    EXPECT_EQ(m.LASTOBJECTIVE, 2);  // the last objective entry, not the largest number
    EXPECT_EQ(m.OBJECTIVE[4].NAME, "E");
    EXPECT_EQ(m.OBJECTIVE[0].GOALTYPE, GT_KILL_RANGE);
    EXPECT_EQ(m.OBJECTIVE[2].GOALTYPE, GT_LAND_GUNSHIP);
    EXPECT_EQ(m.OBJECTIVE[3].GOALTYPE, GT_KILL_RANGE);
    EXPECT_EQ(m.OBJECTIVE[2].SUBTRACT[4], 2);
    EXPECT_FLOAT_EQ(m.OBJECTIVE[2].LANDGUNSHIP.X, 12.25f);
    // A pick-up entry before the crate's objective entry still counts.
    ASSERT_EQ(g.AIRDROPCOUNT, 1);
    EXPECT_EQ(g.AIRDROPDATA[0].PICKUPABLE, 1);
    EXPECT_EQ(g.AIRDROPDATA[0].MISSION, 5);
    EXPECT_EQ(g.AIRDROPDATA[0].OBJECTIVE, 3);

    load_text(5, "TIME_LIMIT//91.5\r\nAIR_DROP//NEW//1\r\nAIR_DROP//0//PAYLOAD//FUEL\r\n");
    EXPECT_EQ(m.TIMELIMIT, 92);
    EXPECT_EQ(m.NAME, "Second");  // not named again: kept
    // Index 0 of the second file is the first record after those present when it opened.
    ASSERT_EQ(g.AIRDROPCOUNT, 2);
    EXPECT_EQ(g.AIRDROPDATA[0].PAYLOAD, 0);
    EXPECT_EQ(g.AIRDROPDATA[1].PAYLOAD, 1);
}

TEST_F(Missions, OutOfRangeEntriesAreRefusedWithFileAndLine) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    testing::internal::CaptureStderr();
    const MISSION_LOAD_RESULT r = load_text(4,
        "OBJECTIVE//6//NAME//too far\n"        // line 1
        "OBJECTIVE//-1//NAME//negative\n"      // 2
        "OBJECTIVE//0//KILL_ZONE_X\n"          // 3
        "OBJECTIVE//0//ZIPLINE_N//22\n"        // 4
        "OBJECTIVE//0//KILL_RANGE_END//1000\n" // 5
        "AIR_DROP//0//CLASS//BOX\n"            // 6: nothing declared yet
        "AIR_DROP//NEW//99999999\n"            // 7
        "AIR_DROP//NEW//-3\n"                  // 8
        "AIR_DROP//NEW//2\n"
        "AIR_DROP//2//CLASS//BOX\n"            // 10
        "AIR_DROP//1//CLASS//CRATE\n"          // 11
        "CHECKPOINT//NEW//1\n"
        "CHECKPOINT//0//CLASS//BOX//2\n"       // 13: crate 2 not declared
        "CHECKPOINT//1//XZ//1//2\n"            // 14
        "OBJECTIVE//0//GOAL//GT_WIN\n"         // 15
        "AIR_DROP\n"                           // 16
        "NAME\n",                              // 17
        "bad.dat");
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r.refused, 15);
    for (int line : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 13, 14, 15, 16, 17})
        EXPECT_NE(out.find("bad.dat line " + std::to_string(line) + ":"), std::string::npos) << line;
    EXPECT_EQ(out.find("bad.dat line 9:"), std::string::npos);

    const MISSIONDATATYPE& m = g.MISSIONDATA[4];
    EXPECT_EQ(m.OBJECTIVE[0].ZIPLINE_N, 0);
    EXPECT_EQ(m.OBJECTIVE[0].KILLRANGEEND, 0);
    EXPECT_EQ(m.OBJECTIVE[0].GOALTYPE, GT_KILL_RANGE);
    EXPECT_TRUE(m.NAME.empty());
    EXPECT_EQ(g.AIRDROPCOUNT, 2);
    EXPECT_EQ(g.AIRDROPDATA[1].CLASS, 0);
    EXPECT_EQ(g.CHECKPOINTCOUNT, 2);
    EXPECT_EQ(g.CHECKPOINTDATA[1].CLASS, 0);
    EXPECT_FLOAT_EQ(g.CHECKPOINTDATA[1].POSITION.X, 0.0f);
    EXPECT_EQ(g.AIRDROPDATA[0].CHECKPOINTID, 0);
    EXPECT_EQ(g.AIRDROPDATA[1].CHECKPOINTID, 0);

    testing::internal::CaptureStderr();
    const MISSION_LOAD_RESULT bad_m = load_text(100, "NAME//nowhere\n", "m100.dat");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("m100.dat"), std::string::npos);
    EXPECT_FALSE(bad_m.file_read);
    EXPECT_EQ(bad_m.entries, 0);
}

TEST_F(Missions, DamagedAndMissingFilesLoadWithoutHarm) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.MISSIONDATA[7].NAME = "Kept";
    const MISSION_LOAD_RESULT missing = mission_load_file(7, kMissions + "no_such_mission.dat");
    EXPECT_FALSE(missing.file_read);
    EXPECT_EQ(g.MISSIONDATA[7].NAME, "Kept");

    FieldReader whole;
    ASSERT_TRUE(field_reader_open(whole, kMissions + "1.dat"));
    const std::string text = whole.bytes;
    testing::internal::CaptureStderr();
    for (std::size_t cut = 0; cut < text.size(); cut += 37) {
        fresh_tables();
        load_text(1, text.substr(0, cut));
        ASSERT_LE(g.AIRDROPCOUNT, 1);
        ASSERT_LE(g.CHECKPOINTCOUNT, 5);
        ASSERT_GE(g.CHECKPOINTDATA.size(), static_cast<std::size_t>(g.CHECKPOINTCOUNT));
    }
    std::string garbage;
    for (int i = 0; i < 4000; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
    garbage += "\nAIR_DROP//NEW//1\nAIR_DROP//0//TARGETXZ//1e30//-1e30\nCHECKPOINT//0//XZ//nan//inf\n";
    fresh_tables();
    load_text(1, garbage);
    testing::internal::GetCapturedStderr();
    ASSERT_GE(g.AIRDROPDATA.size(), static_cast<std::size_t>(g.AIRDROPCOUNT));
    EXPECT_EQ(g.AIRDROPCOUNT, 1);
    EXPECT_EQ(g.CHECKPOINTCOUNT, 1);  // no NEW for check points: the entry addressed nothing
}

}  // namespace
