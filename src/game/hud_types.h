// The HUD icon record (ICONTYPE): a mesh and its display list. Types only.
#pragma once

#include <cstdint>

struct ICONTYPE {
    int32_t MID = 0;   // model database index
    int32_t DL = 0;    // display list
};
