// Mission definition files: reading data/missions/N.dat into the mission records.
#pragma once

#include <cstdint>

void KV_MISSION_LOADMISSIONDATA();
