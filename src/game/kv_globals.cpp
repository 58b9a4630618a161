// The mission and player state record instance (see kv_globals.h).
#include "game/kv_globals.h"

KVGLOBALSTYPE KVGLOBALS;
