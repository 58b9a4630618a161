// Ground triangles and height queries: the vertex-neighbourhood table, the terrain height under a
// point and the gunship's hover height.
#pragma once

#include <cstdint>

void KV_INITIALIZE_KVGROUNDCIRCLEPOLYLOOKUP();
float KV_FINDMAPY(float x, float z);
float KV_FINDMAPYNOSPACER(float x, float z);
void KV_FINDGUNSHIPY();
