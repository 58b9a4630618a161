// Start-up and shutdown of the game (see startup.h).
#include "menu/startup.h"

#include "config/config.h"
#include "engine/engine_globals.h"
#include "engine/fontdb.h"
#include "engine/initialize.h"
#include "engine/modeldb.h"
#include "game/kv_globals.h"
#include "menu/menu_globals.h"
#include "platform/window.h"

bool INITIALIZE(std::string& why) {
    ConfigReadStatus status = INITIALIZE_GAMECONFIG();
    if (!INITIALIZE_GLFW(why)) {
        if (status == ConfigReadStatus::MISSING)
            why = std::string(CONFIG_FILE_NAME) + " is missing, so there are no window settings (" +
                  why + ")";
        why = "Kessra Vorn: cannot open the window: " + why;
        return false;
    }
    INITIALIZE_OPENGL();
    INITIALIZE_FONTDB();
    INITIALIZE_PHYSICS();
    return true;
}

void DEINIT() {
    if (KV_MENUGLOBALS.LOADINGCOMPLETED == 1) DEINIT_MODELLIST();
    const int32_t n = MODELDBLENGTH < static_cast<int32_t>(MODELDB.size())
                          ? MODELDBLENGTH
                          : static_cast<int32_t>(MODELDB.size());
    for (int32_t i = 0; i < n; ++i) UNLOADMESH(MODELDB[i].MODELHANDLE);
    KVGLOBALS.AIRDROPDATA.clear();
    KVGLOBALS.AIRDROPDATA.shrink_to_fit();
    platform_window_close();
}
