// The world's process-wide globals outside KVGLOBALS: the ground vertex-neighbourhood table,
// the compiled flag of every terrain tile and the terrain colour state. All start at zero.
#pragma once

#include <cstdint>

#include "engine/color_types.h"
#include "world/world_types.h"

extern KVGROUNDCIRCLEPOLYLOOKUPTYPE KVGROUNDCIRCLEPOLYLOOKUP[KV_GROUNDLOOKUPSLOTS];
// 1 once tile [x][z]'s display list has been compiled.
extern int32_t KVMAPCOMPILED[KV_TILESLOTS][KV_TILESLOTS];
// The last colour sent while compiling terrain, and a flag that forces the next one out.
extern RGBALPHA KVPRELOAD_LASTCOLOR;
extern int32_t KVFILE_COLORFORCEUPDATE;
