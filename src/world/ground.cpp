// Ground triangles and height queries: the vertex-neighbourhood table, the terrain height under a
// point and the gunship's hover height.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "world/ground.h"

void KV_INITIALIZE_KVGROUNDCIRCLEPOLYLOOKUP() { }
float KV_FINDMAPY(float /*x*/, float /*z*/) { return 0; }
float KV_FINDMAPYNOSPACER(float /*x*/, float /*z*/) { return 0; }
void KV_FINDGUNSHIPY() { }
