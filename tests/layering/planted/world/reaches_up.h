// A planted fault for the layering check: the world layer reaching up into the game's records.
#pragma once
#include "world/map.h"
#include "game/kv_globals.h"
