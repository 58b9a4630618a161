// The mission and player state record: its construction defaults (eased values and the
// frame-rate meter running from construction). The capacities of its fixed arrays are checked
// at compile time beside the record's definition.
#include <gtest/gtest.h>

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
