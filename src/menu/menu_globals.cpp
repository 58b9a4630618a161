// The menu's state record instance (see menu_globals.h).
#include "menu/menu_globals.h"

KV_MENUGLOBALSTYPE KV_MENUGLOBALS;

void kv_menu_open_okbox(const std::string& title, const std::string& message) {
    KV_MENUGLOBALS.OKBOX = 1;
    KV_MENUGLOBALS.OKTITLE = title;
    KV_MENUGLOBALS.OKMESSAGE = message;
}

void kv_menu_open_confirmbox(const std::string& title, const std::string& message, int32_t selection,
                             int32_t key) {
    KV_MENUGLOBALS.CONFIRMBOX = 1;
    KV_MENUGLOBALS.CONFIRMTITLE = title;
    KV_MENUGLOBALS.CONFIRMMESSAGE = message;
    KV_MENUGLOBALS.CONFIRMSELECTION = selection;
    KV_MENUGLOBALS.CONFIRMKEY = key;
}
