// Gunship weapons: the cannon barrels, firing the selected weapon and the weapon wheel.
//
// The cannon fires three rounds per 20 ms cycle from the barrels in turn (1, 2, 0) and spends
// one unit of the profile's VT90S per three rounds; rockets leave every 200 ms while the
// profile has any. The selection itself is changed by the flight controller.
#pragma once

#include <cstdint>

// Fills BARRELVECTOR and BARRELBASE of KVGLOBALS.GUNSHIPWEAPONS (slots 0-2).
void KV_GUNSHIP_INITIALIZEBARRELS();
// Fires the current profile's selected weapon if its timer allows (clock in milliseconds).
void KV_GUNSHIP_FIREWEAPON();
// Animates the weapon wheel (fade and turn) and draws it in the overlay pass.
void KV_RENDER_WEAPONSWITCH();

// Number of weapons in the wheel for the current profile (1 to 3; 1 without a profile).
int32_t weapons_count();
// The animation half of KV_RENDER_WEAPONSWITCH: returns the fade at entry (0 = nothing to draw).
float weapons_switch_animate();
