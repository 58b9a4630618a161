// The online version check as the menu sees it (see version_check.h).
// Bodies are filled in by the subsystem that owns this file; until then each does nothing.
#include "menu/version_check.h"

void kv_version_set_server(const std::string&, int32_t) {}
void kv_version_menu_start() {}
void kv_version_answer(int32_t) {}
void KV_LOAD_CHECKVERSION() {}
void kv_version_poll() {}
void kv_version_shutdown() {}
