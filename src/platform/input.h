// Key and game-controller state behind one seam with two backends: live (GLFW keys of the
// game window, GLFW joysticks 0-15) and scripted (states set by the input script, applied
// frame by frame). The game asks only these functions.
#pragma once

#include <cstdint>

#include "platform/joystick.h"
#include "platform/script.h"

// True when the GLFW key (GLFW_KEY_*) is down; unknown key numbers are never down.
bool platform_key_down(int32_t glfw_key);

// The state of controller 0-15; any other number reads as absent.
PLATFORM_JOYSTATE platform_joystick(int32_t joystick);
bool platform_joystick_present(int32_t joystick);

// Switches to the scripted backend with these events (all keys up, no controllers present
// until events say otherwise). Events of frame 0 apply at once.
void platform_input_use_script(const SCRIPTPARSE& script);
bool platform_input_scripted();

// Scripted backend: applies every event up to and including `frame`.
void platform_input_apply_frame(int64_t frame);

// A third backend beside live and scripted: a program that plays (the demo pilot) decides the
// whole key and controller state once a frame. The provider is called with the frame number
// when that frame's input is applied (after any script events) and fills `keys` (indexed by
// GLFW key number, `nkeys` entries) and the 16 controller states; what it leaves there is what
// every key and controller query of the frame answers. Null returns to the previous backend.
using PlatformInputProvider = void (*)(int64_t frame, bool* keys, int32_t nkeys,
                                       PLATFORM_JOYSTATE* joys);
void platform_input_use_provider(PlatformInputProvider provider);
bool platform_input_provided();

// True when any key is down at the source beneath the provider: the input script when one
// runs, else the live keyboard. A player touching a key while a provider plays is seen here.
bool platform_input_source_any_key();
