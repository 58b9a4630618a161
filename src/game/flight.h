// Gunship flight: the control reading of a mission frame, the fixed debug keys, the per-frame
// physics step, the city-wall collision, loading and drawing the gunship.
//
// The control logic is split from the device reading: KV_PI_CONTROLLER and KV_PI_ALTERNATIVE
// read the bindings and keys of this run and hand them, with the current millisecond time, to
// flight_controller_step and flight_alternative_step, which tests drive with their own readers.
#pragma once

#include <cstdint>

void KV_PI_CONTROLLER();
void KV_PI_ALTERNATIVE();
void KV_PROCESSPHYSICS();
void KV_CHECKCOLLISION();
void KV_LOAD_GUNSHIP();
void KV_INIT_PHYSICS();
void KV_RENDER_GUNSHIP();

// Controls of the flight (numbers of the configuration's CONTROL slots).
inline constexpr int32_t FLIGHT_ROTATE_LEFT = 0;
inline constexpr int32_t FLIGHT_ROTATE_RIGHT = 1;
inline constexpr int32_t FLIGHT_STRAFE_LEFT = 2;
inline constexpr int32_t FLIGHT_STRAFE_RIGHT = 3;
inline constexpr int32_t FLIGHT_THRUST = 4;
inline constexpr int32_t FLIGHT_REVERSE = 5;
inline constexpr int32_t FLIGHT_LAND = 6;
inline constexpr int32_t FLIGHT_MISSION_WINDOW = 7;
inline constexpr int32_t FLIGHT_MINIMAP = 8;
inline constexpr int32_t FLIGHT_PREVIOUS = 9;
inline constexpr int32_t FLIGHT_NEXT = 10;
inline constexpr int32_t FLIGHT_USE = 11;

// Hold-off of the toggle controls after they act, in milliseconds.
inline constexpr int32_t FLIGHT_TOGGLE_HOLDOFF_MS = 200;

// The control logic of one frame: `control` answers 0..1 for a control number, `now_ms` is the
// current game time. Reads the same controls in the same order as the game's controller.
void flight_controller_step(float (*control)(int32_t), int32_t now_ms);

// The fixed keys C, Escape, P, O and R: `key_down` answers for a GLFW key number.
void flight_alternative_step(bool (*key_down)(int32_t), int32_t now_ms);

// Physics clock of one frame: TICKSPASSED from the previous TICKS, the smoothed step, and the
// long-frame rule (a frame over 30 ms pulls the step towards 50 ms).
void flight_update_ticks(int32_t now_ms);

// Map frame that keeps the gunship inside the playable area.
void flight_clamp_to_map();
// The playable area. A gunship past the outer bounds (2 units further out) is put back on
// these, each step; a mission start outside them is placed the same way.
inline constexpr float KV_PLAY_X0 = 29.0f, KV_PLAY_X1 = 476.0f, KV_PLAY_Z0 = 39.0f, KV_PLAY_Z1 = 495.0f;
void flight_clamp_xz(float& x, float& z);

// The fuel burn of one frame of the current profile (doubled while the armour is below 0.25,
// none while refuelling, never below 0).
void flight_burn_fuel();

// The solid-cell test of the collision probe: true when the city code of the cell under (x, z)
// blocks the gunship. Cells outside the map grid (or with no map loaded) never block.
bool flight_cell_solid(float x, float z);

struct PROFILETYPE;

// Puts the gunship at rest at (x, z) with heading `angle`, flying at its hover height above the
// ground there.
void flight_place_gunship(float x, float z, float angle);

// What a quick flight may change about its start (all optional): the pilot's mission (bounded to
// the loaded missions), the start position (clamped as flight clamps it) and heading, the fuel.
struct QuickFlightSetup {
    int32_t mission = 0;
    bool has_position = false;
    float x = 0.0f, z = 0.0f;
    bool has_heading = false;
    float heading = 0.0f;
    bool has_fuel = false;
    float fuel = 1.0f;
    int64_t blast_frame = 0;  // frame that sets off the demolition blast; 0 = none
};
