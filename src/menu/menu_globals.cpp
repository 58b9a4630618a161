// The menu's state record instance (see menu_globals.h).
#include "menu/menu_globals.h"

KV_MENUGLOBALSTYPE KV_MENUGLOBALS;
