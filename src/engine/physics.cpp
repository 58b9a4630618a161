// Rigid-body physics: the constants and the step of the gunship's body.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "engine/physics.h"

void PHYSICS_INITIALIZE() { }
