// Mission objects: airdrops, check points, ziplines, runners and refuelling at the base.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/missionobjects.h"

void KV_MISSION_RENDER() { }
void KV_RENDER_CHECKPOINTRING() { }
void KV_MISSION_PROCESS_AIRDROPS() { }
void KV_REFUEL() { }
void KV_USWRUNNER_UPDATE() { }
void KV_MISSION_PROCESS_CHECKPOINTS() { }
void KV_MISSION_PROCESS_ZIPLINES() { }
int32_t KV_INSIDECHECKPOINT(int32_t) { return 0; }
bool kv_zipline_objective_finished() { return false; }
