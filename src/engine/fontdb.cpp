// Segment font: the segment definitions and drawing texts with them.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "engine/fontdb.h"

void INITIALIZE_FONTDB() { }
