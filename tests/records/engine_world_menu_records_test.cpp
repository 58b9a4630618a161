// Defaults and capacities of the engine, world and menu globals, and the field order of the
// plain records that files and peers lay out field by field.
#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <type_traits>

#include "engine/engine_globals.h"
#include "game/enemy_types.h"
#include "game/mission_types.h"
#include "game/explosion_types.h"
#include "game/missionobject_types.h"
#include "game/projectile_types.h"
#include "game/weapon_types.h"
#include "menu/menu_globals.h"
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
    EXPECT_EQ(sizeof(MODELDB[0].MODELFILE), 65u);   // 64 characters and the terminator
    EXPECT_EQ(sizeof(MODELMATERIALTYPE{}.MATERIALNAME), 17u);
}

TEST(EngineGlobals, FontPhysicsWindowAndFrameStateStartAtZero) {
    EXPECT_EQ(std::size(FONTIMG), 97u);
    EXPECT_EQ(std::size(FONTDL), 97u);
    EXPECT_EQ(std::size(CHARWIDTH), 97u);
    for (int i = 0; i < 97; ++i) {
        EXPECT_EQ(FONTIMG[i], 0u);
        EXPECT_EQ(FONTDL[i], 0u);
        EXPECT_EQ(CHARWIDTH[i], 0);
    }
    EXPECT_TRUE(all_zero_bytes(FONTDATA));
    EXPECT_TRUE(FONTDB.empty());
    EXPECT_TRUE(FONTDB_G.empty());
    EXPECT_EQ(std::size(FONTDBTYPE{}.BLOCKDATA), 36u);
    EXPECT_EQ(std::size(FONTDBTYPE{}.COLOR0), 36u);
    EXPECT_EQ(std::size(FONTDBTYPE{}.COLOR1), 36u);
    EXPECT_TRUE(all_zero_bytes(PHYSICSDATA));
    EXPECT_TRUE(all_zero_bytes(OPENGLPROPERTIES));
    EXPECT_EQ(std::size(GLOBALLINE), 101u);
    for (const GLOBALLINETYPE& l : GLOBALLINE) EXPECT_TRUE(all_zero_bytes(l));
    EXPECT_EQ(std::size(JOYAXIS), 6u);
    EXPECT_EQ(FP, 0);
    EXPECT_EQ(FPS, 0);
    EXPECT_EQ(SYSTEM_TICKS, 0);
    EXPECT_EQ(SYSTEM_NEXTTICKS, 0);
    EXPECT_EQ(FPSR, 0.0f);
    EXPECT_EQ(TEMPX, 0.0f);
    EXPECT_EQ(TEMPY, 0.0f);
    EXPECT_EQ(TEMPZ, 0.0f);
    EXPECT_EQ(SHADOW_INFINITY, 0.0f);
    EXPECT_EQ(COLLISIONPASS, 0);
    EXPECT_EQ(MAXGLOBALLINES, 0);
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
    MODEL3D m;
    EXPECT_EQ(m.MAX_VERTICES + m.MAX_TRIANGLES + m.MAX_MATERIALS, 0u);
    EXPECT_TRUE(m.TRIANGLES.empty());
    EXPECT_TRUE(m.MATERIALS.empty());
}

TEST(WorldGlobals, TileTablesAndGroundLookupAreZero) {
    EXPECT_EQ(std::size(KVMAPCOMPILED), 65u);
    EXPECT_EQ(std::size(KVMAPCOMPILED[0]), 65u);
    for (const auto& row : KVMAPCOMPILED)
        for (int32_t v : row) EXPECT_EQ(v, 0);
    EXPECT_EQ(std::size(KVGROUNDCIRCLEPOLYLOOKUP), 10u);
    EXPECT_EQ(std::size(KVGROUNDCIRCLEPOLYLOOKUP[0].POLYFACEMAPINDEX), 9u);
    EXPECT_EQ(std::size(KVGROUNDCIRCLEPOLYLOOKUP[0].POLYFACEMAPSUBINDEX), 9u);
    for (const auto& l : KVGROUNDCIRCLEPOLYLOOKUP) EXPECT_TRUE(all_zero_bytes(l));
    EXPECT_TRUE(all_zero_bytes(KVPRELOAD_LASTCOLOR));
    EXPECT_EQ(KVFILE_COLORFORCEUPDATE, 0);
    EXPECT_EQ(KV_MAPCELLS, 263169);
}

TEST(MenuGlobals, EveryFieldStartsZeroOrEmptyWithItsCapacity) {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    EXPECT_EQ(m.INITIALIZED, 0);
    EXPECT_EQ(m.EXITCODE, 0);
    EXPECT_EQ(m.CURMENU, 0);
    EXPECT_EQ(m.LASTFILELOADED, 0);
    EXPECT_EQ(m.YSPACER, 0.0f);
    EXPECT_TRUE(m.NEWPROFILENAME.empty());
    EXPECT_TRUE(m.OKMESSAGE.empty());
    EXPECT_EQ(std::size(m.SELMAINFADE), 10u);
    EXPECT_EQ(std::size(m.NEWRESEARCH), 45u);
    EXPECT_EQ(std::size(m.MENUFADE), 1000u);
    EXPECT_EQ(std::size(m.CREDITROW), 100u);
    for (float f : m.MENUFADE) EXPECT_EQ(f, 0.0f);
    for (const std::string& s : m.CREDITROW) EXPECT_TRUE(s.empty());
    for (int32_t r : m.NEWRESEARCH) EXPECT_EQ(r, 0);
}

// Field order: each listed field lies after the one listed before it.
#define EXPECT_FIELD_ORDER(T, A, B) EXPECT_LT(offsetof(T, A), offsetof(T, B)) << #T ": " #A " before " #B

TEST(RecordLayout, FieldsKeepTheirListedOrder) {
    EXPECT_FIELD_ORDER(PROJECTILETYPE, POSITION, VECTOR);
    EXPECT_FIELD_ORDER(PROJECTILETYPE, VELOCITY, ACTIVE);
    EXPECT_FIELD_ORDER(PROJECTILETYPE, RICOCHET, DISTANCETRAVELLED);
    EXPECT_FIELD_ORDER(PROJECTILETYPE, COLOR, GRAVITY);
    EXPECT_FIELD_ORDER(PROJECTILETYPE, DEADTIME, LOCKEDON);
    EXPECT_FIELD_ORDER(PROJECTILETYPE, LOCKEDON, LOCKEDONHEALTH);
    EXPECT_FIELD_ORDER(ENEMYTYPE, ANGLE, ACTIVE);
    EXPECT_FIELD_ORDER(ENEMYTYPE, HEALTH, MAXHP);
    EXPECT_FIELD_ORDER(ENEMYTYPE, NEXTROUND, STANCE);
    EXPECT_FIELD_ORDER(AIRDROPTYPE, ACTIVE, VISIBLE);
    EXPECT_FIELD_ORDER(AIRDROPTYPE, PAYLOAD, PICKUPFLAG);
    EXPECT_FIELD_ORDER(AIRDROPTYPE, CHECKPOINTID, ZIPLINEDATA);
    EXPECT_FIELD_ORDER(AIRDROPTYPE, ZIPLINEDATA, MODPOSITIONY);
    EXPECT_FIELD_ORDER(CHECKPOINTTYPE, POINTERFADE, CLASS);
    EXPECT_FIELD_ORDER(CHECKPOINTTYPE, MISSION, VISIBLE);
    EXPECT_FIELD_ORDER(FIREBALLTYPE, GREYMOD, VISIBLE);
    EXPECT_FIELD_ORDER(PHYSICSOBJECTTYPE, MATRIXCAM, ANGLE);
    EXPECT_FIELD_ORDER(PHYSICSOBJECTTYPE, LINEARVELOCITY, TOTALTORQUE);
    EXPECT_FIELD_ORDER(PHYSICSOBJECTTYPE, COLLISIONCHECKED, SEPARATINGPLANENORMAL);
    EXPECT_FIELD_ORDER(PHYSICSDATATYPE, TICKSPASSEDWEIGHTED, UNIVERSALFRICTIONCONSTANT);
    EXPECT_FIELD_ORDER(TRIANGLE3D, VNORMAL, PLANE);
    EXPECT_FIELD_ORDER(TRIANGLE3D, POSIT, MATERIAL);
    EXPECT_FIELD_ORDER(BUILDINGCLASSTYPE, BUILDINGDLOWDL, CLASS);
    EXPECT_FIELD_ORDER(OPENGLPROPERTIESTYPE, SCR_BORDER, WINDOW_RESIZED);
}

TEST(RecordLayout, FixedArraysKeepTheirCapacities) {
    EXPECT_EQ(std::size(GUNSHIPWEAPONTYPE{}.BARRELVECTOR), 4u);
    EXPECT_EQ(std::size(GUNSHIPWEAPONTYPE{}.BARRELBASE), 4u);
    EXPECT_EQ(std::size(ENEMYCLASSTYPE{}.MODELMID), 10u);
    EXPECT_EQ(std::size(ENEMYCLASSTYPE{}.MODELDL), 10u);
    EXPECT_EQ(std::size(OBJECTIVETYPE{}.SUBTRACT), 10u);
    EXPECT_EQ(std::size(OBJECTIVETYPE{}.ZIPLINE_STARTUP), 21u);
    EXPECT_EQ(std::size(ZIPLINETYPE{}.STARTUP), 21u);
    EXPECT_EQ(std::size(MISSIONDATATYPE{}.OBJECTIVE), 6u);
    EXPECT_EQ(std::size(BUILDINGCLASSTYPE{}.BUILDINGDMID), 6u);
    EXPECT_EQ(std::size(BUILDINGCLASSTYPE{}.BUILDINGDLOWDL), 6u);
    EXPECT_EQ(std::size(PHYSICSOBJECTTYPE{}.MATRIX), 16u);
    EXPECT_EQ(std::size(TRIANGLE3D{}.POINT_ID), 3u);
    EXPECT_EQ(std::size(TRIANGLE3D{}.TEXCOORD), 3u);
    MISSIONDATATYPE m;
    for (const OBJECTIVETYPE& o : m.OBJECTIVE) {
        EXPECT_TRUE(o.NAME.empty());
        EXPECT_EQ(o.GOALTYPE, 0);
        EXPECT_EQ(o.ZIPLINE_STATUS, 0);
    }
    EXPECT_TRUE(m.NAME.empty());
    EXPECT_EQ(m.TIMELIMIT, 0);
}
