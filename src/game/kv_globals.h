// The mission and player state record (KVGLOBALSTYPE) and its one instance KVGLOBALS, which
// exists from before main until the process ends. Construction zero-fills every field
// (strings empty, heap tables empty) except the eased values, which start at 0 with their own
// defaults, and the frame-rate meter, whose inner timer starts counting.
//
// The record is large (the projectile and fireball pools alone hold 20000 entries): it lives
// in static storage only; never copy it or build another one on the stack.
//
// Heap tables are std::vectors owned by the record. A map grid, once loaded, holds
// KV_MAPCELLS samples (empty before); AIRDROPDATA and CHECKPOINTDATA hold at least
// AIRDROPCOUNT and CHECKPOINTCOUNT records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/math3d.h"
#include "engine/physics_types.h"
#include "engine/timers.h"
#include "game/enemy_types.h"
#include "game/explosion_types.h"
#include "game/hud_types.h"
#include "game/mission_types.h"
#include "game/missionobject_types.h"
#include "game/profile_types.h"
#include "game/projectile_types.h"
#include "game/technology_types.h"
#include "game/weapon_types.h"
#include "world/world_types.h"

inline constexpr int32_t ARMOURCLASSNAME_SLOTS = 4;     // ARMOURCLASSNAME 0-3
inline constexpr int32_t SEVENSEGMENT_SLOTS = 11;       // digits 0-9 and the colon
inline constexpr int32_t LIGHTMATRIX_SLOTS = 17;        // 0-15 hold a 4 x 4 matrix
inline constexpr int32_t FUNCTION_TIMER_SLOTS = 100;    // profiling slots 0-99

struct KVGLOBALSTYPE {
    int8_t INITIALIZED = 0;
    int8_t EXITCODE = 0;
    int32_t GUNSHIPMID = 0;
    int32_t GUNSHIPDL = 0;
    PHYSICSOBJECTTYPE GUNSHIPPO = {};
    float GUNSHIPHOVERY = 0.0f;
    int32_t PICKUPDROPOFFFLAG = 0;
    int32_t LOCKLANDING = 0;
    int32_t LOCKPHYSICS = 0;
    int32_t LOCKPHYSICSMIN = 0;
    int32_t GUNSHIPLANDED = 0;
    float GUNSHIPLANDRATIO = 0.0f;
    float GUNSHIPLANDSTABLE = 0.0f;
    int32_t REFUELING = 0;
    float ZIPLINEZOOMRATIO = 0.0f;
    int32_t ZIPLINEZOOMENABLED = 0;
    int32_t LOCKTHRUSTTIME = 0;
    int32_t RPGMID = 0;
    int32_t RPGDL = 0;
    int32_t PARACHUTE_BIGMID = 0;
    int32_t PARACHUTE_BIGDL = 0;
    int32_t PARACHUTE_MEDIUMMID = 0;
    int32_t PARACHUTE_MEDIUMDL = 0;
    int32_t PARACHUTE_SMALLMID = 0;
    int32_t PARACHUTE_SMALLDL = 0;
    int32_t ADBOXMID = 0;
    int32_t ADBOXDL = 0;
    std::vector<int32_t> TERRAINMAP;   // map grids: empty, or KV_MAPCELLS samples
    std::vector<int32_t> FORESTMAP;
    std::vector<int32_t> CITYMAP;
    std::vector<int32_t> BUILDINGMAP;
    int32_t WATERHEIGHT = 0;
    int32_t FORESTHEIGHT = 0;
    int32_t PLAYERX8 = 0;
    int32_t PLAYERZ8 = 0;
    int32_t TESTMAPDL = 0;
    int32_t MAPDL[KV_TILESLOTS][KV_TILESLOTS] = {};        // [tile x][tile z]
    int32_t WATERMAPDL[KV_TILESLOTS][KV_TILESLOTS] = {};
    float MAPSCALE = 0.0f;
    float WATERSPACER = 0.0f;
    BUILDINGCLASSTYPE BUILDINGCLASS[KV_BUILDINGCLASSES] = {};
    float PLAYERHOVERCYCLE = 0.0f;
    int32_t NOLOADSTHISFRAME = 0;
    int32_t TOTALLOADEDTILES = 0;
    int32_t MINIMAPDL = 0;
    int32_t MINIMAPTEX = 0;
    float PHYSICSDATA_THRUSTFORCE = 0.0f;
    float PHYSICSDATA_REVERSEFORCE = 0.0f;
    float PHYSICSDATA_STRAFEFORCE = 0.0f;
    float PHYSICSDATA_TORQUE = 0.0f;
    int32_t PHYSICSDATA_EDITING = 0;
    int32_t WAITKEY = 0;
    std::string ALERTMSG;
    int32_t ALERTTIME = 0;
    VECTOR3D CAMERA = {};
    GUNSHIPWEAPONTYPE GUNSHIPWEAPONS = {};
    int32_t MAXPROJECTILES = 0;
    int32_t LASTPROJECTILE = 0;
    PROJECTILETYPE PROJECTILES[PROJECTILE_SLOTS] = {};
    ENEMYTYPE ENEMIES[ENEMY_SLOTS] = {};
    ENEMYCLASSTYPE ENEMYCLASS[ENEMYCLASS_SLOTS];
    int32_t LASTENEMY = 0;
    int32_t MAXENEMIES = 0;
    int32_t MAXENEMYCLASS = 0;
    MISSIONDATATYPE MISSIONDATA[MISSION_SLOTS];
    int32_t MISSIONSTARTED = 0;
    int32_t ENEMYEDITING = 0;
    int32_t EXPLOSIONTEX[EXPLOSIONTEX_SLOTS] = {};
    int32_t EXPLOSIONTIME = 0;
    int32_t TRIGGEREXPLOSION = 0;
    int32_t NFIREBALLS = 0;
    int32_t FIRSTFIREBALL = 0;
    FIREBALLTYPE FIREBALL[FIREBALL_SLOTS] = {};
    int32_t CURPROFILE = 0;
    int32_t PLAYERPROFILENUM = 0;
    PROFILETYPE PROFILES[PROFILE_SLOTS];
    std::string ARMOURCLASSNAME[ARMOURCLASSNAME_SLOTS];
    float LOADINGALPHA = 0.0f;
    int32_t LOADINGACTIVE = 0;
    std::string LOADINGTEXT;
    float LOADINGPROGRESS = 0.0f;
    float RUNFRAME = 0.0f;
    USWRUNNDERTYPE USWRUNNER[USWRUNNER_SLOTS] = {};
    int32_t COLLISIONON = 0;
    std::string ONLINEVERSION;
    int32_t ALLOWCHECKVERSION = 0;
    std::string OFFLINEVERSION;
    int32_t SEVENSEGMENTMID[SEVENSEGMENT_SLOTS] = {};
    int32_t SEVENSEGMENTDL[SEVENSEGMENT_SLOTS] = {};
    int32_t MISSIONCLOCKBGDL = 0;
    WEAPONSWITCHTYPE WEAPONSWITCH = {};
    int32_t STENCILCUBEDL = 0;
    int32_t POINTERMODE = 0;
    int32_t TRIGGERPOWERUP = 0;
    float POWERUPFADE = 0.0f;
    int32_t POWERUP = 0;
    ICONTYPE ICONGEAR = {};
    ICONTYPE ICONFUEL = {};
    ICONTYPE ICONARMOUR = {};
    ICONTYPE ICONVT90 = {};
    ICONTYPE ICONRPG = {};
    ICONTYPE ICONMINE = {};
    ICONTYPE ICONSEL = {};
    float ICONANGLE = 0.0f;
    int32_t ALERTTECHNOLOGY = 0;
    float LIGHTMATRIX[LIGHTMATRIX_SLOTS] = {};
    float MODELVIEWTEMP[LIGHTMATRIX_SLOTS] = {};
    VECTOR4D LIGHTPOSITION = {};
    VECTOR4D LIGHTPOSITIONTEMP = {};
    int8_t BOXARRAY[KV_TILESLOTS][KV_TILESLOTS] = {};
    int32_t BOXARRAYVIEWDIST = 0;
    int32_t MAXNORMALS = 0;
    std::vector<VECTOR3D> NORMALMAP;
    int32_t NORMALPRELOADITER = 0;
    int32_t FTIMER = 0;
    int32_t FUNCTION_TIMER[FUNCTION_TIMER_SLOTS] = {};
    int32_t FUNCTION_TIMER_MAX[FUNCTION_TIMER_SLOTS] = {};
    int32_t FUNCTION_TIMER_START[FUNCTION_TIMER_SLOTS] = {};
    TARGET_CLASS TARGETVIEWSIZE{0.0f};
    TARGET_CLASS TARGETLODMESHSWITCH{0.0f};
    TARGET_CLASS TARGETLODSHADOWSWITCH{0.0f};
    TARGET_CLASS TARGETPLAYERX8{0.0f};
    TARGET_CLASS TARGETPLAYERZ8{0.0f};
    FPS_CLASS FPSTIMER;
    std::vector<BUILDINGVOLUMETYPE> BUILDINGVOLUMEDB;
    int32_t BUILDINGVOLUMES = 0;
    std::vector<AIRDROPTYPE> AIRDROPDATA;
    int32_t AIRDROPCOUNT = 0;
    std::vector<CHECKPOINTTYPE> CHECKPOINTDATA;
    int32_t CHECKPOINTCOUNT = 0;
    TECHNOLOGYTYPE TECHNOLOGYDATA[TECHNOLOGY_SLOTS];
    float PLAYERX = 0.0f;
    float PLAYERY = 0.0f;
    float PLAYERZ = 0.0f;
};

extern KVGLOBALSTYPE KVGLOBALS;
