// The fireball record of explosions (FIREBALLTYPE) and the pool sizes. Types only.
#pragma once

#include <cstdint>

#include "engine/math3d.h"

inline constexpr int32_t FIREBALL_SLOTS = 10000;     // FIREBALL 0-9999
inline constexpr int32_t EXPLOSIONTEX_SLOTS = 7;     // texture frames 0-6 (6 = smoke)

struct FIREBALLTYPE {
    VECTOR4D POSITION = {};    // centre; W = half-size of the sprite
    VECTOR3D VECTOR = {};      // horizontal direction towards the blast centre
    int32_t STARTTIME = 0;     // ms at which it ignites
    int32_t FADETIME = 0;      // STARTTIME + 100
    float GREYMOD = 0.0f;      // shade offset of the smoke
    int32_t VISIBLE = 0;       // 0 waiting, 1 burning, 2 gone
    int32_t EXPLOSIONTEX = 0;  // texture frame 0-6
};
