// Rigid-body records: one simulated body (PHYSICSOBJECTTYPE) and the shared time step and
// friction constants (PHYSICSDATATYPE). Types only. Angles are in degrees; matrices are 16
// singles in OpenGL order.
#pragma once

#include <cstdint>

#include "engine/math3d.h"

struct PHYSICSOBJECTTYPE {
    int32_t MODELDBINDEX = 0;           // mesh of the body in the model database
    int32_t OBJECTTYPECODE = 0;         // reserved
    int32_t OBJECTNUM = 0;              // reserved
    float MATRIX[16] = {};              // tilt, yaw and position
    float MATRIX2[16] = {};             // yaw and position only
    float MATRIXBACKUP[16] = {};        // MATRIX before the step, restored after a collision
    float MATRIXCAM[16] = {};           // reserved
    float ANGLE = 0.0f;                 // yaw about +Y
    float XANGLE = 0.0f;                // bank
    float ZANGLE = 0.0f;                // pitch
    float TARGETXANGLE = 0.0f;
    float TARGETZANGLE = 0.0f;
    VECTOR3D POSITION = {};             // only X and Z are integrated
    VECTOR3D POSITIONBACKUP = {};
    float THRUST = 0.0f;                // reserved
    float THRUSTANGLE = 0.0f;           // reserved
    VECTOR3D THRUSTFORCE = {};          // reserved
    VECTOR3D THRUSTPOINT = {};          // reserved
    VECTOR3D LINEARFORCE = {};          // accumulated during the frame; cleared by each step
    VECTOR3D LINEARACCELERATION = {};
    VECTOR3D LINEARVELOCITY = {};       // world units per millisecond
    float TOTALTORQUE = 0.0f;           // accumulated during the frame; cleared by each step
    float TOTALTORQUELAST = 0.0f;
    float ANGULARACCELERATION = 0.0f;
    float ANGULARVELOCITY = 0.0f;       // degrees per millisecond
    VECTOR3D CENTEROFMASS = {};
    float MOMENTOFINERTIA = 0.0f;
    float MASS = 0.0f;
    float EFFECTIVECONTACTRADIUS = 0.0f;
    int32_t WITHINEFFECTIVECONTACTRADIUS = 0;  // reserved
    void* COLLISIONWALL = nullptr;             // reserved
    int32_t COLLISIONCHECKED = 0;              // reserved
    VECTOR3D SEPARATINGPLANENORMAL = {};       // reserved
};

struct PHYSICSDATATYPE {
    float TICKS = 0.0f;                         // time of the current physics frame, ms
    float TICKSPASSED = 0.0f;                   // ms since the previous physics frame
    float TICKSPASSEDBACKUP = 0.0f;             // reserved
    float TICKSPASSEDWEIGHTED = 0.0f;           // smoothed frame time: the integration step
    float UNIVERSALFRICTIONCONSTANT = 0.0f;
    float UNIVERSALTORQUEFRICTIONCONSTANT = 0.0f;
};
