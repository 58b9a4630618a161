// Objectives, mission failure and the alert line.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/objectives.h"

void KV_MISSION_CHECKOBJECTIVESTATUS() { }
void KV_MISSION_CHECKMISSIONFAILURE() { }
void KV_SETALERT(const std::string& /*message*/) { }
void KV_RENDER_ALERTMESSAGE() { }
