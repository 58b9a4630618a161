// Projectiles and particles: the fixed pool of shells, rockets and sparks, their update and
// drawing.
#pragma once

#include <cstdint>

void KV_PROJECTILES_UPDATE();
void KV_RENDER_PROJECTILES();
