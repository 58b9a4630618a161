// The demo pilot's menu part: between missions it reads the menu records (the current screen,
// its selection, the open boxes) and presses the keys a player would press to go through the
// campaign: answer the version question with no, create its pilot, load, read the briefing,
// fly, save after each completed mission, choose research when offered, and after "CAMPAIGN
// COMPLETE!" show the credits and quit.
#pragma once

#include <cstdint>

// The name and call sign the demo pilot creates its profile with.
inline constexpr const char* AUTOPILOT_NAME = "DEMO";
inline constexpr const char* AUTOPILOT_CALLSIGN = "AUTOPILOT";

// Registers the menu step with the pilot (core --autopilot without --fly).
void kv_autopilot_menu_install();

// One menu decision at game time `now_ms`: fills `keys` (indexed by GLFW key number, already
// all up) with at most one key down. Returns true while it is choosing research.
bool kv_autopilot_menu_keys(int32_t now_ms, bool* keys, int32_t nkeys);

// Forgets the campaign's progress (a new run).
void kv_autopilot_menu_reset();

// Attract mode, run once a menu frame: after ATTRACT_IDLE_MS on the title screen without a key,
// the demo pilot flies a mission on a pilot that lives in memory only; any key ends it and the
// title screen comes back with the player's profiles as they were. `now_ms` is the game time.
inline constexpr int32_t ATTRACT_IDLE_MS = 60000;
void kv_attract_step(int32_t now_ms);
// True while the attract flight runs.
bool kv_attract_running();
