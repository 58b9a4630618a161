// The control query of flight and menu input (see input.h).
#include "game/input.h"

#include "config/config.h"
#include "config/control_codes.h"
#include "platform/input.h"

float INPUT_GETCONTROLLERINPUT(int32_t control) {
    int8_t last = -1;
    for (int32_t j = 0; j < PLATFORM_JOYSTICKS; ++j)
        if (platform_joystick_present(j)) last = static_cast<int8_t>(j);
    CONFIGVARS.LASTJOY = last;
    if (control < 0 || control >= CONFIG_NCONTROLS) return 0.0f;
    const int32_t code = CONFIGVARS.CONTROL[control];
    PLATFORM_JOYSTATE pad;
    if (CONFIGVARS.INPUTTYPE == 1 && CONFIGVARS.LASTJOY != -1)
        pad = platform_joystick(CONFIGVARS.JOYSTICK);
    float result = control_code_value(CONFIGVARS, code, &pad, platform_key_down);
    return result > 1.0f ? 1.0f : result;
}
