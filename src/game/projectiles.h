// Projectiles and particles: the fixed pool of shells, rockets and sparks, their update and
// drawing.
//
// Every shot and every spark, blood drop, smoke puff and flame is one slot of
// KVGLOBALS.PROJECTILES. Launches take the first free slot from 0 to MAXPROJECTILES and do
// nothing when the pool is full; the per-frame loops stop at LASTPROJECTILE. Nothing here
// allocates: the pool and the line array used for drawing are fixed.
//
// State besides the pool: a bit mirror of the slots' ACTIVE flags that finds the first free and
// the last active slot in a few word operations. The functions here keep it in step; code that
// writes ACTIVE flags itself (a pool cleared for a run, a test or benchmark that fills it) calls
// projectiles_pool_sync() afterwards. Every update starts with that sync as well.
#pragma once

#include <cstdint>

#include "engine/math3d.h"
#include "game/projectile_types.h"

// Particle bursts thrown off by hits (count, brightness spread, kind, speed, gravity, colour).
enum class KVBURST : int32_t {
    BLOOD,
    GREY_SPARKS,
    HOT_SPARKS,
    GREY_DEBRIS,
    HOT_DEBRIS,
    FLAMES,
    BULLET_IMPACT,
    DUST,
    ROCKET_EXHAUST,
};

// Launches a bullet (CLASS 0) from `position` along `direction` (both copied).
void KV_PROJECTILES_ADD(VECTOR3D& position, VECTOR3D& direction, float speed, float gravity, int32_t owner);
// Launches a rocket (CLASS 1): speed 8, motor burns 2200 ms, no homing lock yet.
void KV_PROJECTILES_ADD_RPG(VECTOR3D& position, VECTOR3D& direction, float gravity, int32_t owner);
// Spawns one particle from `source` (its POSITION and VECTOR are read). Kind 0 spark, 1 upward
// kick, 2 straight back (exhaust), 3 flame sprite; other kinds count as 0. Does not change
// LASTPROJECTILE. False when the pool had no free slot (nothing is drawn from the random
// sequence then).
bool KV_PROJECTILES_ADD_RICOCHET(PROJECTILETYPE& source, float r, float g, float b, float gravity, int32_t kind,
                                 float speed);
// Moves every active slot, steers rockets, then runs the collision pass.
void KV_PROJECTILES_UPDATE();
// Hits against infantry, the gunship and the ground; removes spent particles.
void KV_PROJECTILES_CHECKCOLLISION();
// Area damage of a rocket (CLASS 1) at its position: 20 to every infantry within 4 units.
void KV_PROJECTILES_DAMAGENEAREST(PROJECTILETYPE& projectile);
// Draws the pool in the world pass.
void KV_RENDER_PROJECTILES();

// One burst of particles from `source`.
void projectiles_burst(PROJECTILETYPE& source, KVBURST burst);
// The three bursts of a rocket explosion: grey debris, hot debris, flames.
void projectiles_rocket_explosion(PROJECTILETYPE& source);
// True when a launch now would find a free slot (from 0 to MAXPROJECTILES).
bool projectiles_pool_has_room();
// Rebuilds the slot mirror from the pool's ACTIVE flags.
void projectiles_pool_sync();
// LASTPROJECTILE := the highest active slot of the whole pool (0 when none is active).
void projectiles_recount();
// Recounts LASTPROJECTILE, then frees `slot` (ignored when out of range).
void projectiles_remove(int32_t slot);
// Ground height under (x, z) for the hit test, or false when no cell of the 2 x 2 block lies on
// the map or the base cell is off the map.
bool projectiles_ground_height(float x, float z, float& height, int32_t& city_value);
