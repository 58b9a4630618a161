// Enemies: classes, the island layout, per-profile import and export, the per-frame update and
// drawing, and the pointer view marker.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/enemies.h"

void KV_LOAD_ENEMIES() { }
void KV_ENEMIES_LAYOUTLOAD() { }
void KV_ENEMIES_EXPORT() { }
void KV_ENEMIES_IMPORT() { }
void KV_ENEMIES_UPDATE() { }
void KV_RENDER_ENEMIES() { }
void KV_RENDER_POINTER() { }
