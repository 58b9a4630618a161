// Explosions and fireballs: triggering, updating and drawing them.
#pragma once

#include <cstdint>

void KV_RENDER_EXPLOSION();
