// The mission state in the trace line (keys after the first ones, in their order, text values
// encoded so a line stays blank-separated) and the quick flight's blast option.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "core/options.h"
#include "core/trace.h"
#include "rules/rules_support.h"

using namespace rules_test;

namespace {

std::vector<std::string> keys_of(const std::string& line) {
    std::vector<std::string> keys;
    std::istringstream in(line);
    std::string kv;
    while (in >> kv) keys.push_back(kv.substr(0, kv.find('=')));
    return keys;
}

std::map<std::string, std::string> values_of(const std::string& line) {
    std::map<std::string, std::string> m;
    std::istringstream in(line);
    std::string kv;
    while (in >> kv) m[kv.substr(0, kv.find('='))] = kv.substr(kv.find('=') + 1);
    return m;
}

TraceBox failed_box() { return TraceBox{"ok", "MISSION FAILED!", "Out of fuel!"}; }

bool parse(std::vector<const char*> args, KV_RUNOPTIONS& o, std::string& err) {
    args.insert(args.begin(), "core");
    return kv_parse_options(static_cast<int>(args.size()), args.data(), o, err);
}

}  // namespace

TEST(TraceMissionKeys, FollowTheFirstKeysInOrder) {
    reset_mission();
    trace_set_box_source(nullptr);
    std::vector<std::string> keys = keys_of(trace_line(7));
    const std::vector<std::string> expected = {
        "frame", "ms", "menu", "exit", "x", "y", "z", "heading", "landed", "fuel", "ammo", "rockets",
        "mission", "objective", "armour", "wpn", "started", "mclock", "gclock", "alert", "box",
        "boxtitle", "boxmsg", "alive", "blast", "powerup", "loading", "loadtext", "progress"};
    // Later keys (the mission objects') may follow.
    ASSERT_GE(keys.size(), expected.size());
    keys.resize(expected.size());
    EXPECT_EQ(keys, expected);
}

TEST(TraceMissionKeys, TextValuesAreEncodedAndStateIsRead) {
    reset_mission();
    PROFILETYPE& p = pilot();
    p.MISSIONCLOCK.CURR = 12.3456;
    p.GAMECLOCK.CURR = 3600.5;
    p.SELECTEDWEAPON = 1;
    p.ARMOUR = 0.5f;
    place_enemy(1);
    place_enemy(2);
    KV_MISSION_CHECKOBJECTIVESTATUS();
    KV_SETALERT("Objective 1 COMPLETED!");
    KVGLOBALS.LOADINGACTIVE = 1;
    KVGLOBALS.LOADINGTEXT = "50% = half";
    KVGLOBALS.LOADINGPROGRESS = 0.5f;
    KVGLOBALS.POWERUP = 3;
    KVGLOBALS.POWERUPFADE = 0.4f;
    trace_set_box_source(failed_box);
    std::map<std::string, std::string> v = values_of(trace_line(1));
    trace_set_box_source(nullptr);
    EXPECT_EQ(v["armour"], "0.5000");
    EXPECT_EQ(v["wpn"], "1");
    EXPECT_EQ(v["started"], "1");
    EXPECT_EQ(v["mclock"], "12.346");
    EXPECT_EQ(v["gclock"], "3600.500");
    EXPECT_EQ(v["alert"], "Objective%201%20COMPLETED!");
    EXPECT_EQ(v["box"], "ok");
    EXPECT_EQ(v["boxtitle"], "MISSION%20FAILED!");
    EXPECT_EQ(v["boxmsg"], "Out%20of%20fuel!");
    EXPECT_EQ(v["alive"], "2");
    EXPECT_EQ(v["blast"], "0");
    EXPECT_EQ(v["powerup"], "3");
    EXPECT_EQ(v["loading"], "1");
    EXPECT_EQ(v["loadtext"], "50%25%20%3D%20half");
    EXPECT_EQ(v["progress"], "0.500");

    // After the banner's time, with the pick-up animation over and no box source.
    platform_clock_advance_seconds(2.0);
    KVGLOBALS.POWERUPFADE = 0.0f;
    v = values_of(trace_line(2));
    EXPECT_EQ(v["alert"], "");
    EXPECT_EQ(v["powerup"], "0");
    EXPECT_EQ(v["box"], "none");
    EXPECT_EQ(v["boxtitle"], "");
}

TEST(QuickFlightBlastOption, ParsedRangeCheckedAndDocumented) {
    KV_RUNOPTIONS o;
    std::string err;
    ASSERT_TRUE(parse({"--fly", "--fly-blast", "40"}, o, err)) << err;
    EXPECT_EQ(o.FLY_BLAST, 40);
    ASSERT_TRUE(parse({"--fly"}, o, err)) << err;
    EXPECT_EQ(o.FLY_BLAST, 0);
    for (const char* bad : {"0", "-5", "x", "", "1.5", "99999999999999999999"}) {
        EXPECT_FALSE(parse({"--fly-blast", bad}, o, err)) << bad;
        EXPECT_NE(err.find("--fly-blast"), std::string::npos) << err;
    }
    EXPECT_FALSE(parse({"--fly-blast"}, o, err));
    const std::string usage = kv_usage_text();
    EXPECT_NE(usage.find("--fly-blast N"), std::string::npos);
    for (const char* key : {"armour=", "wpn=", "started=", "mclock=", "gclock=", "alert=", "box=",
                            "boxtitle=", "boxmsg=", "alive=", "blast=", "powerup=", "loading=",
                            "loadtext=", "progress="})
        EXPECT_NE(usage.find(key), std::string::npos) << key;
}
