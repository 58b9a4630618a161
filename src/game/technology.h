// Research data: reading data/research.dat into the technology records (the menu screens on top of
// it live in menu/research).
#pragma once

#include <cstdint>

void KV_LOAD_RESEARCH();
