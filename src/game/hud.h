// HUD and in-mission overlays: miscellaneous assets, gunsight, icons, power-up, mission clock,
// loading bar and physics readout.
#pragma once

#include <cstdint>
#include <string>

void KV_LOAD_MISC();
void KV_RENDER_GUNSIGHT();
void KV_RENDER_ICONS();
void KV_RENDER_POWERUP();
void KV_RENDER_MISSIONCLOCK();
void KV_RENDER_LOADING(const std::string& text, float progress);
void KV_RENDER_PHYSICSDATA();
