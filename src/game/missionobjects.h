// Mission objects: airdrops, check points, ziplines, runners and refuelling at the base.
#pragma once

#include <cstdint>

void KV_MISSION_RENDER();
void KV_RENDER_CHECKPOINTRING();
void KV_MISSION_PROCESS_AIRDROPS();
void KV_MISSION_PROCESS_CHECKPOINTS();
void KV_MISSION_PROCESS_ZIPLINES();
int32_t KV_INSIDECHECKPOINT(int32_t i);
void KV_REFUEL();
void KV_USWRUNNER_UPDATE();

// True when the current objective is a zipline goal (3 drop, 4 drop and demolition) whose
// sequence has finished: every runner arrived (goal 3), or the demolition was triggered and its
// blast is over (goal 4). The objective check completes the objective on it.
bool kv_zipline_objective_finished();
