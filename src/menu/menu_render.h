// Menu screens: drawing the current menu screen and its boxes.
#pragma once

#include <cstdint>
#include <string>

void KV_MENU_RENDER();
void KV_MENU_RENDER_CONFIRMBOX(const std::string& title, const std::string& message);
