// Damaged input never crashes the profile and research readers: thousands of cut, flipped and
// spliced versions of good files are read, and what they give stays inside the tables.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/textfile.h"
#include "game/mission.h"
#include "game/technology.h"
#include "menu/profiles.h"

namespace {

std::string mutate(const std::string& good, std::mt19937& rng) {
    std::string s = good;
    const int edits = 1 + static_cast<int>(rng() % 6);
    for (int e = 0; e < edits && !s.empty(); ++e) {
        const size_t at = rng() % s.size();
        switch (rng() % 5) {
            case 0: s[at] = static_cast<char>(rng() & 0xFF); break;  // flip a byte
            case 1: s.resize(at); break;                               // cut
            case 2: {  // splice in a piece of the file itself
                std::string piece(good, rng() % good.size(), 1 + rng() % 40);
                piece += s.substr(at);
                s.resize(at);
                s += piece;
                break;
            }
            case 3: s.insert(at, std::to_string(static_cast<int32_t>(rng()))); break;  // a wild number
            default: s.erase(at, 1 + rng() % 8); break;
        }
    }
    return s;
}

}  // namespace

TEST(DamagedInput, ProfileListsStayWithinTheirTables) {
    ProfileImage imgs[3];
    for (int i = 0; i < 3; ++i) {
        std::string name = "P";  // built with += : g++ 12 warns falsely on literal + string
        name += std::to_string(i);
        kv_profile_starting_values(imgs[i].record, name, "C");
        imgs[i].clock_text = "01:02:03.000";
        imgs[i].airdrops.assign(2, AIRDROPTYPE{});
        imgs[i].checkpoints.assign(3, CHECKPOINTTYPE{});
    }
    const std::string good = profiles_serialize(imgs, 3, nullptr);
    std::mt19937 rng(1234);
    int damaged = 0;
    for (int round = 0; round < 3000; ++round) {
        const ProfilesParse p = profiles_parse(mutate(good, rng));
        damaged += p.damaged ? 1 : 0;
        ASSERT_LE(p.profiles.size(), static_cast<size_t>(PROFILE_SLOTS));
        for (const ProfileImage& img : p.profiles) {
            ASSERT_GE(img.record.MISSIONNUM, 0);
            ASSERT_LT(img.record.MISSIONNUM, MISSION_SLOTS);
            ASSERT_GE(img.record.RESEARCHINGTECHNOLOGY, -1);
            ASSERT_LT(img.record.RESEARCHINGTECHNOLOGY, TECHNOLOGY_SLOTS - 1);
            ASSERT_LE(img.airdrops.size(), static_cast<size_t>(MISSION_TABLE_RECORDS_MAX));
            ASSERT_GE(img.checkpoints.size(), 1u);
            ASSERT_LE(img.checkpoints.size(), static_cast<size_t>(MISSION_TABLE_RECORDS_MAX));
        }
    }
    EXPECT_GT(damaged, 100);  // the mutations do reach the damage checks
}

TEST(DamagedInput, ResearchFilesFillOnlyKnownSlots) {
    const std::string good =
        "RSCH_TAILPOD//MISSION//0//1//MANDATORY//Rack//The rack.\r\n"
        "RSCH_TAILPOD2//TECHNOLOGY//RSCH_TAILPOD//1//MANDATORY//Mounts//Stiffer.\r\n"
        "RSCH_TAILPOD7//TECHNOLOGY//RSCH_TAILPOD4//2//MANDATORY//Twin//Two pods.\r\n";
    std::mt19937 rng(99);
    TECHNOLOGYTYPE table[TECHNOLOGY_SLOTS];
    for (int round = 0; round < 3000; ++round) {
        FieldReader r = field_reader_from_string(mutate(good, rng));
        research_load_reader(r, table, "fuzz");
        for (int32_t k = 7; k < TECHNOLOGY_SLOTS; ++k) ASSERT_TRUE(table[k].TITLE.empty());
        for (int32_t k = 0; k < 7; ++k) {
            ASSERT_GE(table[k].TIMETORESEARCH, 0);
            if (table[k].PREREQTYPE == 1) {
                ASSERT_GE(table[k].PREREQCODE, 0);
                ASSERT_LT(table[k].PREREQCODE, 7);
            }
        }
    }
}
