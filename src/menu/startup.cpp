// Start-up and shutdown of the game (see startup.h).
#include "menu/startup.h"

#include "config/config.h"
#include "engine/engine_globals.h"
#include "engine/fontdb.h"
#include "engine/initialize.h"
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
    // Rewriting models.dat and unloading the meshes belong to the model database.
    KVGLOBALS.AIRDROPDATA.clear();
    KVGLOBALS.AIRDROPDATA.shrink_to_fit();
    platform_window_close();
}
