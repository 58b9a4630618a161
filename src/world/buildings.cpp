// Buildings: the building classes, their meshes and drawing them on the city cells.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "world/buildings.h"

void KV_LOAD_BUILDINGS_SETUPDATA() { }
void KV_LOAD_BUILDINGS() { }
void KV_RENDER_BUILDINGS() { }
