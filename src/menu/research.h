// Research screens: choosing a new research field and completing research.
#pragma once

#include <cstdint>

void KV_MENU_RENDER_NEW_RESEARCH();
