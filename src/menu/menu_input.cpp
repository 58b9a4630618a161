// Menu input: the per-screen input handling of the menu state machine.
// Bodies are filled in by the subsystem that owns this file; until then each is empty.
#include "menu/menu_input.h"

void KV_MENU_PROCESSINPUTS() { }
int32_t KV_MENU_PROCESSINPUTS_CHECKKEY(int32_t /*key*/) { return 0; }
void KV_MENU_PROCESS_CONFIRMKEYS() { }
