// The projectile and particle record (PROJECTILETYPE) and the pool size. Types only.
#pragma once

#include <cstdint>

#include "engine/color_types.h"
#include "engine/math3d.h"

inline constexpr int32_t PROJECTILE_SLOTS = 10000;   // PROJECTILES 0-9999

struct PROJECTILETYPE {
    VECTOR3D POSITION = {};
    VECTOR3D VECTOR = {};           // direction of flight, normally unit length
    float VELOCITY = 0.0f;
    int8_t ACTIVE = 0;              // 1 = slot in use
    int8_t RICOCHET = 0;            // 1 = particle thrown off by a hit
    float DISTANCETRAVELLED = 0.0f;
    float MAXDISTANCETRAVEL = 0.0f;
    RGBALPHA COLOR = {};            // A not used
    float GRAVITY = 0.0f;
    int32_t CLASS = 0;              // 0 bullet/spark, 1 rocket, 10 flame particle
    int32_t ENEMY = 0;              // 1 enemy shot, 2 player shot, 0 particle
    float YANGLE = 0.0f;            // rocket heading, degrees
    int32_t DEADTIME = 0;           // ms when a rocket's motor burns out
    int32_t LOCKEDON = 0;           // enemy slot a player rocket homes on, -1 none
    int32_t LOCKEDONHEALTH = 0;
};
