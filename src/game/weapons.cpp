// Gunship weapons: the cannon barrels, firing the selected weapon and the weapon wheel.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/weapons.h"

void KV_GUNSHIP_INITIALIZEBARRELS() { }
void KV_GUNSHIP_FIREWEAPON() { }
void KV_RENDER_WEAPONSWITCH() { }
