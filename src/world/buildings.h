// Buildings: the building classes, their meshes and drawing them on the city cells.
#pragma once

#include <cstdint>

void KV_LOAD_BUILDINGS_SETUPDATA();
void KV_LOAD_BUILDINGS();
void KV_RENDER_BUILDINGS();
