// Explosions and fireballs: triggering, updating and drawing them.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/explosions.h"

void KV_RENDER_EXPLOSION() { }
