// Objectives, mission failure and the alert line.
#pragma once

#include <cstdint>
#include <string>

void KV_MISSION_CHECKOBJECTIVESTATUS();
void KV_MISSION_CHECKMISSIONFAILURE();
void KV_SETALERT(const std::string& message);
void KV_RENDER_ALERTMESSAGE();
