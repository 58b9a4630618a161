// Terrain tiles: colour picking, per-tile display lists, drawing the tiles around the player and
// the minimap.
#pragma once

#include <cstdint>

void KV_RENDER_MAPDL(int32_t tx, int32_t tz);
void KV_RENDER_SECTOR(int32_t tx, int32_t tz);
void KV_RENDER_MAP();
void KV_RENDER_MINIMAPDL();
void KV_RENDER_MINIMAPPLAYER();
