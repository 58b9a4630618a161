// Projectiles and particles: the fixed pool of shells, rockets and sparks, their update and
// drawing.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/projectiles.h"

void KV_PROJECTILES_UPDATE() { }
void KV_RENDER_PROJECTILES() { }
