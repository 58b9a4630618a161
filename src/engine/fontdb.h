// Segment font: the segment definitions and drawing texts with them.
#pragma once

#include <cstdint>

void INITIALIZE_FONTDB();
