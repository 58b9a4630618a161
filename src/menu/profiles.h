// Pilot profiles: reading and writing data/profiles.dat and creating a new profile.
#pragma once

#include <cstdint>
#include <string>

void KV_MENU_LOADPROFILES();
void KV_MENU_SAVEPROFILES();
void KV_MENU_NEWPROFILE(const std::string& name, const std::string& callsign);
