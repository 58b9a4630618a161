// Mission definition files: reading data/missions/N.dat into the mission records.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/mission.h"

void KV_MISSION_LOADMISSIONDATA() { }
