// Mission definition records: a mission (MISSIONDATATYPE) and its objectives (OBJECTIVETYPE),
// with the table sizes and goal codes. Types only.
#pragma once

#include <cstdint>
#include <string>

#include "engine/math3d.h"

inline constexpr int32_t MISSION_SLOTS = 100;          // MISSIONDATA 0-99
inline constexpr int32_t OBJECTIVE_SLOTS = 6;          // objectives 0-5
inline constexpr int32_t OBJECTIVE_SUBTRACT_SLOTS = 10;  // SUBTRACT 0-9; 0-4 used
inline constexpr int32_t ZIPLINE_PERSON_SLOTS = 21;    // zipline personnel 0-20

// Goal codes (OBJECTIVETYPE::GOALTYPE).
enum : int32_t {
    GT_KILL_RANGE = 0,
    GT_LAND_GUNSHIP = 1,
    GT_ZIPLINE_DOWN = 3,
    GT_ZIPLINE_DOWN_AND_UP = 4,
    GT_ZIPLINE_UP = 5,
};

struct OBJECTIVETYPE {
    std::string NAME;
    int32_t GOALTYPE = 0;
    int32_t KILLRANGESTART = 0;     // first enemy slot to destroy
    int32_t KILLRANGEEND = 0;       // last enemy slot to destroy (inclusive)
    float KILLZONEX = 0.0f;
    float KILLZONEZ = 0.0f;
    VECTOR3D LANDGUNSHIP = {};      // X and Z only
    int32_t SUBTRACT[OBJECTIVE_SUBTRACT_SLOTS] = {};  // USWSF, ENG, HACKERS, SPIES, FCPKIT
    int32_t FINISHMISSIONTICKS = 0;
    float ZIPLINE_SRC_X = 0.0f;
    float ZIPLINE_SRC_Z = 0.0f;
    float ZIPLINE_DEST_X = 0.0f;
    float ZIPLINE_DEST_Z = 0.0f;
    int32_t ZIPLINE_N = 0;          // personnel going down, at most 21
    int32_t ZIPLINE_STATUS = 0;     // run-time state of the zipline sequence
    int32_t ZIPLINE_STARTDOWN = 0;
    int32_t ZIPLINE_TIMER_START = 0;
    int32_t ZIPLINE_WAIT = 0;       // seconds on the ground
    int32_t ZIPLINE_STARTUP[ZIPLINE_PERSON_SLOTS] = {};
};

struct MISSIONDATATYPE {
    std::string NAME;
    std::string LOCATION;
    int32_t TIMELIMIT = 0;          // seconds
    std::string DESCRIPTION;        // briefing texts keep their "\n" line-break marks
    std::string THREATACCESS;
    std::string SIEGEACCESS;
    std::string RESISTANCE;
    int32_t LASTOBJECTIVE = 0;
    OBJECTIVETYPE OBJECTIVE[OBJECTIVE_SLOTS];
};
