// Mission objects: airdrops, check points, ziplines, runners and refuelling at the base.
#pragma once

#include <cstdint>

void KV_MISSION_RENDER();
void KV_RENDER_CHECKPOINTRING();
void KV_MISSION_PROCESS_AIRDROPS();
void KV_REFUEL();
void KV_USWRUNNER_UPDATE();
