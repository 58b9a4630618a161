// The mission and player state record: its construction defaults (eased values, frame-rate
// meter, zero-filled pools and tables). The capacities of its fixed arrays are checked at
// compile time beside the record's definition.
#include <gtest/gtest.h>

#include <iterator>

#include "game/kv_globals.h"

namespace {

void expect_target_default(const TARGET_CLASS& t, const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(t._CURR, 0.0f);
    EXPECT_EQ(t._START, 0.0f);
    EXPECT_EQ(t._TARGET, 0.0f);
    EXPECT_EQ(t._DELTA, 0.0f);
    EXPECT_EQ(t.THRESHOLD, 1.0f);
    EXPECT_EQ(t.STEPS, 128);
    EXPECT_EQ(t.MODE, 0);
    EXPECT_EQ(t.ONTARGET, 0);
}

}  // namespace

TEST(KvGlobalsDefaults, EasedValuesStartAtZeroWithTheirOwnDefaults) {
    expect_target_default(KVGLOBALS.TARGETVIEWSIZE, "TARGETVIEWSIZE");
    expect_target_default(KVGLOBALS.TARGETLODMESHSWITCH, "TARGETLODMESHSWITCH");
    expect_target_default(KVGLOBALS.TARGETLODSHADOWSWITCH, "TARGETLODSHADOWSWITCH");
    expect_target_default(KVGLOBALS.TARGETPLAYERX8, "TARGETPLAYERX8");
    expect_target_default(KVGLOBALS.TARGETPLAYERZ8, "TARGETPLAYERZ8");
}

TEST(KvGlobalsDefaults, FrameRateMeterCountsFromConstruction) {
    const FPS_CLASS& f = KVGLOBALS.FPSTIMER;
    EXPECT_EQ(f.NFRAMES, 60u);
    EXPECT_EQ(f.NSECS, 1.0f);
    EXPECT_EQ(f.MODE, 0);
    EXPECT_EQ(f._FPS, 0.0f);
    EXPECT_EQ(f._FRAMES, 0);
    EXPECT_EQ(f._SAMPLE, 0.0f);
    EXPECT_NE(f._TIMER.FLAGS & TIMER_FLAG_RUNNING, 0u);
    EXPECT_NE(f._TIMER.FLAGS & TIMER_FLAG_FORWARD, 0u);
}

TEST(KvGlobalsDefaults, ScalarsStringsAndHeapTablesStartEmpty) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    EXPECT_EQ(g.INITIALIZED, 0);
    EXPECT_EQ(g.EXITCODE, 0);
    EXPECT_EQ(g.MAXPROJECTILES, 0);   // set to 9999 by the mission initialisation
    EXPECT_EQ(g.MAXENEMIES, 0);
    EXPECT_EQ(g.COLLISIONON, 0);
    EXPECT_EQ(g.MAPSCALE, 0.0f);
    EXPECT_EQ(g.GUNSHIPPO.MASS, 0.0f);
    EXPECT_EQ(g.GUNSHIPPO.COLLISIONWALL, nullptr);
    EXPECT_TRUE(g.ALERTMSG.empty());
    EXPECT_TRUE(g.LOADINGTEXT.empty());
    EXPECT_TRUE(g.ONLINEVERSION.empty());
    EXPECT_TRUE(g.OFFLINEVERSION.empty());
    for (const std::string& s : g.ARMOURCLASSNAME) EXPECT_TRUE(s.empty());
    EXPECT_TRUE(g.TERRAINMAP.empty());
    EXPECT_TRUE(g.FORESTMAP.empty());
    EXPECT_TRUE(g.CITYMAP.empty());
    EXPECT_TRUE(g.BUILDINGMAP.empty());
    EXPECT_TRUE(g.NORMALMAP.empty());
    EXPECT_TRUE(g.AIRDROPDATA.empty());
    EXPECT_TRUE(g.CHECKPOINTDATA.empty());
    EXPECT_TRUE(g.BUILDINGVOLUMEDB.empty());
    EXPECT_EQ(g.AIRDROPCOUNT, 0);
    EXPECT_EQ(g.CHECKPOINTCOUNT, 0);
    EXPECT_EQ(g.LIGHTPOSITION.W, 0.0f);
}

TEST(KvGlobalsDefaults, PoolsAndTablesAreZeroFilled) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    for (const PROJECTILETYPE& p : g.PROJECTILES) {
        ASSERT_EQ(p.ACTIVE, 0);
        ASSERT_EQ(p.LOCKEDON, 0);
        ASSERT_EQ(p.VELOCITY, 0.0f);
    }
    for (const FIREBALLTYPE& f : g.FIREBALL) {
        ASSERT_EQ(f.VISIBLE, 0);
        ASSERT_EQ(f.STARTTIME, 0);
    }
    for (const ENEMYTYPE& e : g.ENEMIES) {
        ASSERT_EQ(e.ACTIVE, 0);
        ASSERT_EQ(e.HEALTH, 0.0f);
    }
    for (const ENEMYCLASSTYPE& c : g.ENEMYCLASS) {
        ASSERT_TRUE(c.CLASSNAME.empty());
        ASSERT_EQ(c.MODELDL[9], 0);
    }
    for (const MISSIONDATATYPE& m : g.MISSIONDATA) {
        ASSERT_TRUE(m.NAME.empty());
        ASSERT_EQ(m.LASTOBJECTIVE, 0);
        for (const OBJECTIVETYPE& o : m.OBJECTIVE) {
            ASSERT_TRUE(o.NAME.empty());
            ASSERT_EQ(o.ZIPLINE_STATUS, 0);
            ASSERT_EQ(o.SUBTRACT[4], 0);
        }
    }
    for (const PROFILETYPE& p : g.PROFILES) {
        ASSERT_TRUE(p.NAME.empty());
        ASSERT_TRUE(p.CALLSIGN.empty());
        ASSERT_TRUE(p.GAMECLOCKSTRING.empty());
        ASSERT_EQ(p.GAMECLOCK.FLAGS, 0);
        ASSERT_EQ(p.MISSIONCLOCK.CURR, 0.0);
        ASSERT_EQ(p.FUEL, 0.0f);
        ASSERT_EQ(p.RESEARCHINGTECHNOLOGY, 0);
        ASSERT_EQ(p.COMPLETEDTECHNOLOGY[44], 0);
    }
    for (const TECHNOLOGYTYPE& t : g.TECHNOLOGYDATA) {
        ASSERT_TRUE(t.TITLE.empty());
        ASSERT_EQ(t.TIMETORESEARCH, 0);
    }
    for (const auto& row : g.MAPDL)
        for (int32_t v : row) ASSERT_EQ(v, 0);
    for (const auto& row : g.BOXARRAY)
        for (int8_t v : row) ASSERT_EQ(v, 0);
    for (const BUILDINGCLASSTYPE& b : g.BUILDINGCLASS) ASSERT_EQ(b.SIZE, 0);
    for (const USWRUNNDERTYPE& r : g.USWRUNNER) ASSERT_EQ(r.ACTIVE, 0);
}
