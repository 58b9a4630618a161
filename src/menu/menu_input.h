// Menu input: the per-screen input handling of the menu state machine.
#pragma once

#include <cstdint>

void KV_MENU_PROCESSINPUTS();
int32_t KV_MENU_PROCESSINPUTS_CHECKKEY(int32_t key);
void KV_MENU_PROCESS_CONFIRMKEYS();
