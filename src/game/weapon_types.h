// Gunship weapon records: the barrels and fire timers (GUNSHIPWEAPONTYPE) and the weapon
// wheel animation (WEAPONSWITCHTYPE). Types only.
#pragma once

#include <cstdint>

#include "engine/math3d.h"

inline constexpr int32_t GUNSHIP_BARREL_SLOTS = 4;   // barrels 0-3; 0-2 are used

struct GUNSHIPWEAPONTYPE {
    VECTOR3D BARRELVECTOR[GUNSHIP_BARREL_SLOTS] = {};  // unit direction, gunship frame
    VECTOR3D BARRELBASE[GUNSHIP_BARREL_SLOTS] = {};    // muzzle point, gunship frame
    int32_t NEXTROUND = 0;     // ms after which the cannon may fire again
    int32_t NEXTROCKET = 0;    // ms after which a rocket may be fired again
    int32_t NEXTMINE = 0;      // not used
    int32_t NEXTBARREL = 0;    // barrel that fired last (0-2)
};

struct WEAPONSWITCHTYPE {
    int32_t ACTIVE = 0;        // 1 while the wheel turns towards a new selection
    float TARGETANGLE = 0.0f;  // degrees
    float ANGLE = 0.0f;        // degrees
    float FADE = 0.0f;         // opacity 0-1
};
