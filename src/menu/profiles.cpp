// Pilot profiles: reading and writing data/profiles.dat and creating a new profile.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "menu/profiles.h"

void KV_MENU_LOADPROFILES() { }
void KV_MENU_SAVEPROFILES() { }
void KV_MENU_NEWPROFILE(const std::string& /*name*/, const std::string& /*callsign*/) { }
