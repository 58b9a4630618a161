// Bridge to the shared records while they are being written: uses the team's headers when they
// exist and otherwise declares the few plain records the world code needs, field for field.
#pragma once

#include <cstdint>

#if __has_include("engine/math3d.h")
#include "engine/math3d.h"
#else
struct VECTOR3D {
    float X = 0, Y = 0, Z = 0;
};
#endif

#if __has_include("world/world_types.h")
#include "world/world_types.h"
#else
struct KVGROUNDPOLYDATATYPE {
    VECTOR3D V1, V2, V3;
    VECTOR3D N1, N2, N3;
    VECTOR3D FACENORMAL;
};
struct KVGROUNDCIRCLEPOLYLOOKUPTYPE {
    int32_t POLYFACEMAPINDEX[9] = {};
    int32_t POLYFACEMAPSUBINDEX[9] = {};
};
struct BUILDINGCLASSTYPE {
    int32_t SIZE = 0;
    int32_t BUILDINGDL = 0;
    int32_t BUILDINGMID = 0;
    int32_t BUILDINGBOXMID = 0;
    int32_t BUILDINGBOXLOWMID = 0;
    int32_t BUILDINGBOXLOWDL = 0;
    int32_t BUILDINGDMID[6] = {};
    int32_t BUILDINGDDL[6] = {};
    int32_t BUILDINGDLOWMID[6] = {};
    int32_t BUILDINGDLOWDL[6] = {};
    int32_t CLASS = 0;
};
#endif
