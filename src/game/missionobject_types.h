// Mission object records: air drops (AIRDROPTYPE), check points (CHECKPOINTTYPE), the zipline
// description (ZIPLINETYPE) and the personnel running on the ground (USWRUNNDERTYPE). Types
// only.
#pragma once

#include <cstdint>

#include "engine/math3d.h"
#include "game/mission_types.h"

inline constexpr int32_t USWRUNNER_SLOTS = 21;   // USWRUNNER 0-20

struct ZIPLINETYPE {
    float SRC_X = 0.0f;
    float SRC_Z = 0.0f;
    float DEST_X = 0.0f;
    float DEST_Z = 0.0f;
    int32_t N = 0;
    int32_t STATUS = 0;
    int32_t STARTDOWN = 0;
    int32_t TIMER_START = 0;
    int32_t WAIT = 0;
    int32_t STARTUP[ZIPLINE_PERSON_SLOTS] = {};
};

struct AIRDROPTYPE {
    int8_t ACTIVE = 0;          // 0 descending, 1 landed (chute collapsing), 2 on the ground
    int8_t VISIBLE = 0;
    VECTOR3D POSITION = {};
    VECTOR3D TARGET = {};       // landing point
    VECTOR3D ANGLE = {};        // only Y (heading) used
    int32_t CLASS = 0;          // 0 CCG, 1 BOX, 2 CCG_E
    int32_t PAYLOAD = 0;        // 1 fuel, 2 rockets, 3 cannon ammunition, 4 armour
    int8_t PICKUPFLAG = 0;      // 0 none, 1 waiting, 2 winching, 3 winched, 4 done
    int8_t PICKUPABLE = 0;
    float CHUTEFADE = 0.0f;
    float PICKUPFADE = 0.0f;    // not used
    int8_t CHUTESIZE = 0;       // 0 small, 1 medium, 2 big
    int8_t CHECKPOINTFLAG = 0;  // not used
    int32_t MISSION = 0;
    int32_t OBJECTIVE = 0;
    int32_t CHECKPOINTID = 0;
    ZIPLINETYPE ZIPLINEDATA = {};  // only STARTDOWN used
    float MODPOSITIONY = 0.0f;
};

struct CHECKPOINTTYPE {
    int32_t ACTIVE = 0;
    float ANGLE = 0.0f;         // band spin, degrees
    VECTOR3D POSITION = {};
    float FADE = 0.0f;
    float POINTERFADE = 0.0f;   // record 0 only
    int32_t CLASS = 0;          // 0 BOX, 1 FUEL, 2 TECH
    int32_t OBJECTIVE = 0;
    int32_t MISSION = 0;
    int32_t VISIBLE = 0;
};

struct USWRUNNDERTYPE {
    int32_t ACTIVE = 0;         // 0 idle, 1 walking, 2 arrived
    VECTOR3D POSITION = {};
    VECTOR3D VECTOR = {};       // unit walking direction in X and Z
    VECTOR3D DEST = {};
    float ANGLE = 0.0f;         // heading, degrees
};
