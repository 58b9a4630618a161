// Menu screens: drawing the current menu screen and its boxes.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "menu/menu_render.h"

void KV_MENU_RENDER() { }
void KV_MENU_RENDER_CONFIRMBOX(const std::string& /*title*/, const std::string& /*message*/) { }
