// Gunship weapons: the cannon barrels, firing the selected weapon and the weapon wheel.
#pragma once

#include <cstdint>

void KV_GUNSHIP_INITIALIZEBARRELS();
void KV_GUNSHIP_FIREWEAPON();
void KV_RENDER_WEAPONSWITCH();
