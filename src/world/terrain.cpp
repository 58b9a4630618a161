// Terrain tiles: colour picking, per-tile display lists, drawing the tiles around the player and
// the minimap.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "world/terrain.h"

void KV_RENDER_MAPDL(int32_t /*tx*/, int32_t /*tz*/) { }
void KV_RENDER_SECTOR(int32_t /*tx*/, int32_t /*tz*/) { }
void KV_RENDER_MAP() { }
void KV_RENDER_MINIMAPDL() { }
void KV_RENDER_MINIMAPPLAYER() { }
