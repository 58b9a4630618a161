// Damaged mission files must never crash the loader or leave the air-drop and check-point
// tables shorter than their counts or linked to records that do not exist: truncated,
// bit-flipped, line-shuffled and spliced variants of the shipped mission files. Runs under the
// sanitizers.
#include "game/kv_globals.h"
#include "game/mission.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kMissions = std::string(KV_GAME_DIR) + "/data/missions/";

std::string shipped(int m) {
    FieldReader r;
    EXPECT_TRUE(field_reader_open(r, kMissions + std::to_string(m) + ".dat")) << m;
    return r.bytes;
}

void expect_tables_sound(const std::string& what) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    ASSERT_GE(g.AIRDROPCOUNT, 0) << what;
    ASSERT_GE(g.CHECKPOINTCOUNT, 1) << what;
    ASSERT_LE(g.AIRDROPCOUNT, MISSION_TABLE_RECORDS_MAX) << what;
    ASSERT_LE(g.CHECKPOINTCOUNT, MISSION_TABLE_RECORDS_MAX) << what;
    ASSERT_GE(g.AIRDROPDATA.size(), static_cast<std::size_t>(g.AIRDROPCOUNT)) << what;
    ASSERT_GE(g.CHECKPOINTDATA.size(), static_cast<std::size_t>(g.CHECKPOINTCOUNT)) << what;
    for (int32_t i = 0; i < g.AIRDROPCOUNT; ++i) {
        const AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<std::size_t>(i)];
        ASSERT_GE(a.CHECKPOINTID, 0) << what;
        ASSERT_LT(a.CHECKPOINTID, g.CHECKPOINTCOUNT) << what;
        ASSERT_TRUE(a.CLASS >= 0 && a.CLASS <= 2) << what;
        ASSERT_TRUE(a.CHUTESIZE >= 0 && a.CHUTESIZE <= 2) << what;
    }
    for (const MISSIONDATATYPE& m : g.MISSIONDATA) {
        ASSERT_TRUE(m.LASTOBJECTIVE >= 0 && m.LASTOBJECTIVE < OBJECTIVE_SLOTS) << what;
        for (const OBJECTIVETYPE& o : m.OBJECTIVE) {
            ASSERT_TRUE(o.ZIPLINE_N >= 0 && o.ZIPLINE_N <= ZIPLINE_PERSON_SLOTS) << what;
            ASSERT_TRUE(o.KILLRANGESTART >= 0 && o.KILLRANGEEND >= 0) << what;
        }
    }
}

void load_variant(int32_t M, const std::string& text, const std::string& what) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.AIRDROPCOUNT = 0;
    g.CHECKPOINTCOUNT = 1;
    g.AIRDROPDATA.assign(1, AIRDROPTYPE{});
    g.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
    FieldReader r = field_reader_from_string(text);
    mission_load_reader(M, r, what);
    expect_tables_sound(what);
}

TEST(MissionRobust, MutatedMissionFilesLoadSafely) {
    platform_random_seed(3);
    std::mt19937 rng(20261208);
    testing::internal::CaptureStderr();
    for (int m = 0; m < 3; ++m) {
        const std::string text = shipped(m);
        ASSERT_FALSE(text.empty());
        for (std::size_t cut = 0; cut <= text.size(); cut += 11) load_variant(m, text.substr(0, cut), "cut");
        for (int round = 0; round < 300; ++round) {
            std::string t = text;
            const int flips = 1 + static_cast<int>(rng() % 8);
            for (int k = 0; k < flips; ++k) t[rng() % t.size()] ^= static_cast<char>(1u << (rng() % 8));
            load_variant(static_cast<int32_t>(rng() % 100), t, "flip");
        }
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        for (int round = 0; round < 100; ++round) {
            std::shuffle(lines.begin(), lines.end(), rng);
            std::string t;
            for (const std::string& line : lines) t += line + "\n";
            load_variant(m, t, "shuffle");
            // Digits swapped for large, negative and fractional numbers.
            std::string big = t;
            for (char& c : big)
                if (c >= '0' && c <= '9' && rng() % 3 == 0) c = "-9.e"[rng() % 4];
            load_variant(m, big, "numbers");
        }
    }
    // Random bytes with the separators in them.
    for (int round = 0; round < 200; ++round) {
        std::string t;
        const std::size_t n = rng() % 2000;
        static const char kBits[] = "AIR_DROP//CHECKPOINT//OBJECTIVE//NEW//CLASS//BOX//0123456789,\n\r\"-. ";
        for (std::size_t i = 0; i < n; ++i)
            t += (rng() % 4 == 0) ? static_cast<char>(rng() % 256) : kBits[rng() % (sizeof kBits - 1)];
        load_variant(static_cast<int32_t>(rng() % 3), t, "random");
    }
    testing::internal::GetCapturedStderr();
}

}  // namespace
