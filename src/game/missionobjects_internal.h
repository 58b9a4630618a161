// Helpers shared by the mission-object processing and drawing (missionobjects.cpp and
// missionobjects_draw.cpp): range-checked access to the tables, the current objective, and the
// rope geometry and timing both sides agree on.
#pragma once

#include <cstdint>

#include "game/mission_types.h"
#include "game/missionobject_types.h"
#include "game/profile_types.h"

// The profile whose mission runs; null when CURPROFILE is out of range.
PROFILETYPE* mo_profile();
// Objective OBJECTIVENUM of mission MISSIONNUM; null when either is out of range.
OBJECTIVETYPE* mo_current_objective();
bool mo_is_zipline_goal(const OBJECTIVETYPE& o);
// ZIPLINE_N within 0 .. USWRUNNER_SLOTS.
int32_t mo_team_size(const OBJECTIVETYPE& o);
// Record counts limited to what the tables hold.
int32_t mo_airdrop_count();
int32_t mo_checkpoint_count();
// Check point i, or null when it is outside the table (record 0 always exists once the table
// holds a record).
CHECKPOINTTYPE* mo_checkpoint(int32_t i);
// The check point marking this crate, or null when its id is 0 or outside the table.
CHECKPOINTTYPE* mo_crate_marker(const AIRDROPTYPE& a);
// True when the drop falls in mission M at objective k.
bool mo_airdrop_released(const AIRDROPTYPE& a, int32_t M, int32_t k);
// Where rope i meets the ground round the gunship at (playerx, playerz).
void mo_rope_foot(int32_t i, float playerx, float playerz, float& x, float& z);
// The rope and winch envelope at `elapsed` ms: 0 -> 1 over the first second, held until 1.5 s,
// back to 0 at 2.5 s.
float mo_envelope(int32_t elapsed);
