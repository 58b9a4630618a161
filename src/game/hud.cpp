// HUD and in-mission overlays: miscellaneous assets, gunsight, icons, power-up, mission clock,
// loading bar and physics readout.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/hud.h"

void KV_LOAD_MISC() { }
void KV_RENDER_GUNSIGHT() { }
void KV_RENDER_ICONS() { }
void KV_RENDER_POWERUP() { }
void KV_RENDER_MISSIONCLOCK() { }
void KV_RENDER_LOADING(const std::string& /*text*/, float /*progress*/) { }
void KV_RENDER_PHYSICSDATA() { }
