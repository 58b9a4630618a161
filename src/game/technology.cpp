// Research data: reading data/research.dat into the technology records (the menu screens on top of
// it live in menu/research).
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "game/technology.h"

void KV_LOAD_RESEARCH() { }
