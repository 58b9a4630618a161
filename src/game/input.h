// The control query of flight and menu input: the value 0..1 of a game control under the
// player's bindings (key, controller button or calibrated controller half-axis).
#pragma once

#include <cstdint>

// Polls controllers 0-15 into CONFIGVARS.LASTJOY (-1 when none answers), then evaluates the
// code bound to `control` (0-12; any other control reads 0): keys only with input type 0,
// buttons and axes of controller JOYSTICK only with input type 1 and a controller present.
float INPUT_GETCONTROLLERINPUT(int32_t control);
