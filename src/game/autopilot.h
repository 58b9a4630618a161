// The demo pilot: a program that plays the game through the player's own controls. Once a
// frame it reads the records a player sees (the gunship's place and heading, the current
// objective, its kill range, crates, pads, fuel and ammunition) and decides which controls are
// held; those controls reach the game as keys or controller values through the platform input
// seam, bound exactly as the player's configuration binds them. It never writes a game record.
//
// The flight part lives here; the menu layer registers a menu step for the frames outside a
// mission (see autopilot_set_menu_step).
#pragma once

#include <cstdint>

#include "config/config.h"
#include "platform/input.h"

// What the pilot is doing (the trace key pilot=).
enum class PilotPhase : int8_t { MENU, TRAVEL, ATTACK, WINCH, REFUEL, RESEARCH, ZIPLINE, LAND };

const char* autopilot_phase_name(PilotPhase phase);

// The controls held this frame: 0..1 for each of the configuration's control slots.
struct PilotControls {
    float VALUE[CONFIG_NCONTROLS] = {};
};

// Options of the flight decisions that differ between a quick flight and the campaign.
struct PilotFlightOptions {
    bool use_research_base = false;  // land on the research base when research is offered
    bool research_offered = false;   // the menu counts research newly offered
};

// The flight decision of one frame at game time `now_ms`: reads the mission records and fills
// `out`; returns the phase it is in. With no mission running it holds nothing and returns MENU.
PilotPhase autopilot_flight_step(int32_t now_ms, const PilotFlightOptions& opt, PilotControls& out);

// Forgets what the flight part remembered (a new mission starts).
void autopilot_flight_reset();

// Turns held controls into key and controller state under the configuration `cfg`: a key
// binding holds its key (keyboard input), a button or half-axis binding holds that button or
// axis on controller cfg.JOYSTICK, which then reads as present (controller input).
void autopilot_controls_to_input(const CONFIGVARTYPE& cfg, const PilotControls& controls, bool* keys,
                                 int32_t nkeys, PLATFORM_JOYSTATE* joys);

// The menu's part of the pilot: called on frames outside a mission with the key state to fill
// (keys indexed by GLFW key number); returns the phase it is in.
using PilotMenuStep = PilotPhase (*)(int64_t frame, bool* keys, int32_t nkeys);
void autopilot_set_menu_step(PilotMenuStep step);
// Research offered, for the flight decisions (the menu registers its counter).
void autopilot_set_research_source(int32_t (*offered)());

// Starts the pilot: from the next frame on it decides the whole input. Stopping hands the input
// back to the live keyboard (or the input script).
void autopilot_start();
void autopilot_stop();
bool autopilot_active();

// Attract mode: while set, a key touched by the player (see platform_input_source_any_key)
// makes the pilot press Escape, which ends the flight like a player leaving it.
void autopilot_set_leave_on_key(bool on);

// The phase of the last decided frame ("menu", "travel", ...); "-" while the pilot is off.
const char* autopilot_phase_now();
