// Mission start, preload and completion: the loading and preloading screens, starting a mission
// for the selected profile and the mission-complete processing.
#pragma once

#include <cstdint>

void KV_MENU_RENDER_LOADING();
void KV_MENU_RENDER_PRELOADING();
void KV_MENU_STARTMISSION();
void KV_MENU_PRELOADMAP();
void KV_MENU_PROCESS_MISSIONCOMPLETE();
