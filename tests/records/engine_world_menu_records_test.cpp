// The start state the loaders rely on: new records arrive zero-filled (texts empty), and the
// model database starts with its one empty slot.
#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

#include "engine/engine_globals.h"
#include "game/enemy_types.h"
#include "game/kv_globals.h"
#include "game/mission_types.h"
#include "game/explosion_types.h"
#include "game/missionobject_types.h"
#include "game/projectile_types.h"
#include "game/weapon_types.h"
#include "world/world_globals.h"

namespace {

template <typename T>
bool all_zero_bytes(const T& v) {
    static_assert(std::is_trivially_copyable_v<T>);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&v);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        if (p[i] != 0) return false;
    return true;
}

}  // namespace

TEST(EngineGlobals, ModelDatabaseStartsWithOneEmptySlotAndLengthZero) {
    ASSERT_EQ(MODELDB.size(), 1u);
    EXPECT_EQ(MODELDBLENGTH, 0);
    EXPECT_EQ(MODELDB[0].MODELFILE[0], '\0');
    EXPECT_EQ(MODELDB[0].MODELHANDLE, nullptr);
}

TEST(EngineGlobals, NewRecordsAreZeroFilled) {
    // Every loader relies on records arriving zero-filled.
    EXPECT_TRUE(all_zero_bytes(TRIANGLE3D{}));
    EXPECT_TRUE(all_zero_bytes(MODELMATERIALTYPE{}));
    EXPECT_TRUE(all_zero_bytes(PHYSICSOBJECTTYPE{}));
    EXPECT_TRUE(all_zero_bytes(FONTDBTYPE{}));
    EXPECT_TRUE(all_zero_bytes(PROJECTILETYPE{}));
    EXPECT_TRUE(all_zero_bytes(ENEMYTYPE{}));
    EXPECT_TRUE(all_zero_bytes(FIREBALLTYPE{}));
    EXPECT_TRUE(all_zero_bytes(AIRDROPTYPE{}));
    EXPECT_TRUE(all_zero_bytes(CHECKPOINTTYPE{}));
    EXPECT_TRUE(all_zero_bytes(USWRUNNDERTYPE{}));
    EXPECT_TRUE(all_zero_bytes(BUILDINGCLASSTYPE{}));
    EXPECT_TRUE(all_zero_bytes(GUNSHIPWEAPONTYPE{}));
    EXPECT_TRUE(all_zero_bytes(KVGROUNDCIRCLEPOLYLOOKUP[0]));
    MODEL3D m;
    EXPECT_EQ(m.MAX_VERTICES + m.MAX_TRIANGLES + m.MAX_MATERIALS, 0u);
    EXPECT_TRUE(m.TRIANGLES.empty());
    EXPECT_TRUE(m.MATERIALS.empty());
}

// Records holding texts are not plain bytes: their numbers start at zero all the same.
TEST(EngineGlobals, NewRecordsWithTextsStartEmptyAndZeroed) {
    const ENEMYCLASSTYPE c{};
    EXPECT_TRUE(c.CLASSNAME.empty());
    EXPECT_EQ(c.MODELDL[9], 0);
    const MISSIONDATATYPE m{};
    EXPECT_TRUE(m.NAME.empty());
    EXPECT_EQ(m.TIMELIMIT, 0);
    EXPECT_EQ(m.LASTOBJECTIVE, 0);
    for (const OBJECTIVETYPE& o : m.OBJECTIVE) {
        EXPECT_TRUE(o.NAME.empty());
        EXPECT_EQ(o.GOALTYPE, 0);
        EXPECT_EQ(o.ZIPLINE_STATUS, 0);
        EXPECT_EQ(o.SUBTRACT[4], 0);
    }
    const PROFILETYPE p{};
    EXPECT_TRUE(p.NAME.empty());
    EXPECT_TRUE(p.CALLSIGN.empty());
    EXPECT_EQ(p.GAMECLOCK.FLAGS, 0);
    EXPECT_EQ(p.MISSIONCLOCK.CURR, 0.0);
    EXPECT_EQ(p.FUEL, 0.0f);
    EXPECT_EQ(p.RESEARCHINGTECHNOLOGY, 0);
    EXPECT_EQ(p.COMPLETEDTECHNOLOGY[44], 0);
    const TECHNOLOGYTYPE t{};
    EXPECT_TRUE(t.TITLE.empty());
    EXPECT_EQ(t.TIMETORESEARCH, 0);
}
