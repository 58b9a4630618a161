// Gunship flight: the control reading of a mission frame, the fixed debug keys, the per-frame
// physics step, the city-wall collision, loading and drawing the gunship.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/flight.h"

void KV_PI_CONTROLLER() { }
void KV_PI_ALTERNATIVE() { }
void KV_PROCESSPHYSICS() { }
void KV_CHECKCOLLISION() { }
void KV_LOAD_GUNSHIP() { }
void KV_INIT_PHYSICS() { }
void KV_RENDER_GUNSHIP() { }
