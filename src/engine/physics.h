// Rigid-body physics: the constants and the step of the gunship's body.
#pragma once

#include <cstdint>

void PHYSICS_INITIALIZE();
