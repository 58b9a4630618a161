// A game controller as the game sees it, whichever backend reports it: controllers 0-15, each
// with six axes and 32 buttons. These counts are the one name for them everywhere: the
// settings, the control codes, the input script and the configuration tool size by them.
#pragma once

#include <cstdint>

inline constexpr int32_t PLATFORM_JOYSTICKS = 16;   // controller numbers 0-15
inline constexpr int32_t PLATFORM_JOYAXES = 6;      // axes 0-5
inline constexpr int32_t PLATFORM_JOYBUTTONS = 32;  // buttons 0-31, one bit each

struct PLATFORM_JOYSTATE {
    bool PRESENT = false;
    uint32_t BUTTONS = 0;               // bit b = button b down
    float AXES[PLATFORM_JOYAXES] = {};  // -1..1; missing axes read 0
};
static_assert(PLATFORM_JOYBUTTONS <= 32, "every button needs its bit in BUTTONS");
