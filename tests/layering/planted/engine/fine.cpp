// Planted for the layering check: includes the engine may have.
#include "engine/math3d.h"
#include "platform/clock.h"
#include <cstdint>
