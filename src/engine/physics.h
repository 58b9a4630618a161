// Rigid-body physics of bodies that move on the ground plane: mass properties derived from the
// body's mesh, one integration step (X and Z translation, yaw about +Y, velocity-proportional
// friction) and the model matrices rebuilt from the angles and the position.
//
// A body can only be stepped when its mass and moment of inertia are finite and positive: a mesh
// without area (or a single flat triangle) gives no usable inertia, and such a body is refused
// with one console line instead of filling its state with infinities.
#pragma once

#include <cstdint>

#include "engine/physics_types.h"

// UNIVERSALFRICTIONCONSTANT := 0.75. Called at program start.
void PHYSICS_INITIALIZE();

// Mass properties from MODELDB[MODELDBINDEX] and MASS; call in this order after MASS is set.
// A missing mesh or one whose triangles have no total area leaves CENTEROFMASS at the origin
// and the moment of inertia at 0 (so the body is refused by the step) and says so on the console.
void PHYSICS_CALCCENTEROFMASS(PHYSICSOBJECTTYPE& obj);
void PHYSICS_CALCMOMENTOFINERTIA(PHYSICSOBJECTTYPE& obj);
void PHYSICS_CALCEFFECTIVECONTACTRADIUS(PHYSICSOBJECTTYPE& obj);

// One integration step with dt = PHYSICSDATA.TICKSPASSEDWEIGHTED; consumes LINEARFORCE (X, Z)
// and TOTALTORQUE and ends with PHYSICS_UPDATEOBJECTMATRIX. Returns false, without moving the
// body (its forces are still cleared), when the body's mass properties are unusable.
bool PHYSICS_PROCESSPHYSICS(PHYSICSOBJECTTYPE& obj);

// MATRIX := rotations by ZANGLE about Z, XANGLE about X, ANGLE about Y, then the translation by
// POSITION; MATRIX2 := the yaw rotation and the translation only.
void PHYSICS_UPDATEOBJECTMATRIX(PHYSICSOBJECTTYPE& obj);

// True when MASS and MOMENTOFINERTIA are finite and above zero.
bool physics_body_steppable(const PHYSICSOBJECTTYPE& obj);
