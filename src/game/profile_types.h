// The pilot profile record (PROFILETYPE) and the profile table size. Types only.
#pragma once

#include <cstdint>
#include <string>

#include "engine/gameclock.h"
#include "game/technology_types.h"

inline constexpr int32_t PROFILE_SLOTS = 100;   // PROFILES 0-99

// Where a new pilot's gunship stands, and the personnel and kits the pilot starts with.
inline constexpr float PROFILE_START_X = 360.0f, PROFILE_START_Z = 287.0f;
inline constexpr int32_t PROFILE_START_USWSF = 8, PROFILE_START_ENGINEERS = 8, PROFILE_START_HACKERS = 0,
                         PROFILE_START_SPIES = 0, PROFILE_START_FCPKIT = 1;

struct PROFILETYPE {
    std::string NAME;
    CLOCKDAT GAMECLOCK = {};
    std::string GAMECLOCKSTRING;        // HH:MM:SS.mmm
    CLOCKDAT MISSIONCLOCK = {};
    int32_t MISSIONNUM = 0;
    int32_t OBJECTIVENUM = 0;
    std::string CALLSIGN;
    float ARMOUR = 0.0f;                // 1.0 = intact
    float FUEL = 0.0f;                  // 1.0 = full
    int32_t ARMOURCLASS = 0;
    int32_t VT90S = 0;
    int32_t ROCKETS = 0;
    int32_t SELECTEDWEAPON = 0;
    int32_t TAILPODMAX = 0;
    int32_t ROCKETTYPE = 0;
    int32_t MINES = 0;
    int32_t MINETYPE = 0;
    int32_t HACKERS = 0;
    int32_t USWSF = 0;
    int32_t ENGINEERS = 0;
    int32_t SPIES = 0;
    int32_t FCPKIT = 0;
    float PLAYERX = 0.0f;
    float PLAYERZ = 0.0f;
    float GUNSHIPANGLE = 0.0f;
    int32_t MINIMAPTOGGLE = 0;
    int32_t COMPLETEDTECHNOLOGY[TECHNOLOGY_SLOTS] = {};
    int32_t RESEARCHINGTECHNOLOGY = 0;  // -1 none
    int32_t RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
    int32_t MARKFORDELETION = 0;        // never stored
};
