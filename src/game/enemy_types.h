// Enemy records: one placed enemy (ENEMYTYPE) and one enemy class with its meshes
// (ENEMYCLASSTYPE), with the table sizes. Types only.
#pragma once

#include <cstdint>
#include <string>

#include "engine/math3d.h"

inline constexpr int32_t ENEMY_SLOTS = 1000;          // ENEMIES 0-999
inline constexpr int32_t ENEMYCLASS_SLOTS = 100;      // ENEMYCLASS 0-99
inline constexpr int32_t ENEMYCLASS_MODEL_SLOTS = 10; // meshes per class 0-9

struct ENEMYTYPE {
    VECTOR3D POSITION = {};    // Y is the ground height
    VECTOR3D ANGLE = {};       // only Y (heading, degrees) is used
    int8_t ACTIVE = 0;         // 1 present and alive
    int32_t CLASS = 0;
    float HEALTH = 0.0f;
    int32_t MAXHP = 0;
    int32_t NEXTROUND = 0;     // ms before which the enemy does not fire again
    int32_t STANCE = 0;        // 0 standing, 1 crouching at rest, 2 crouching and firing
};

struct ENEMYCLASSTYPE {
    int32_t MODELMID[ENEMYCLASS_MODEL_SLOTS] = {};
    int32_t MODELDL[ENEMYCLASS_MODEL_SLOTS] = {};
    std::string CLASSNAME;
};
