// Research screens: choosing a new research field and completing research.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "menu/research.h"

