// The menu side of the game frame (see menu.h). The menu's screens, input and state machine
// live in menu_input, menu_render, profiles, research and mission_flow.
#include "menu/menu.h"

#include "engine/engine_globals.h"
#include "engine/system.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "menu/menu_globals.h"
#include "menu/menu_input.h"
#include "menu/menu_render.h"
#include "menu/mission_flow.h"
#include "menu/profiles.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace {
const KV_MENUFRAME kMenuFrame = {
    KV_MENU_PROCESSINPUTS, KV_MENU_RENDER, KV_WINDOW_RESIZE, system_swap_buffers, SYSTEM_UPD_FPSR,
};
}  // namespace

const KV_MENUFRAME& kv_menu_frame() { return kMenuFrame; }

void kv_run_menu_loop(const KV_MENUFRAME& f) {
    while (KV_MENUGLOBALS.EXITCODE == 0 && !platform_quit_requested()) {
        f.INPUTS();
        f.RENDER();
        if (OPENGLPROPERTIES.WINDOW_RESIZED == 1) {
            f.RESIZE();
            OPENGLPROPERTIES.WINDOW_RESIZED = 0;
        }
        f.SWAP();
        f.PACE();
    }
}

void KV_MENU_LAUNCHAPP() {
    if (KV_MENUGLOBALS.INITIALIZED == 0) KV_MENU_INITIALIZE();
    KV_MENU_LOADPROFILES();
    KV_MENU_MAINLOOP();
    KV_MENU_SHUTDOWN();
}

void KV_MENU_MAINLOOP() { kv_run_menu_loop(kMenuFrame); }

void KV_MENU_INITIALIZE() {
    // The menu's one-time set-up is built with the menu state machine.
    KV_MENUGLOBALS.INITIALIZED = 1;
}

void KV_MENU_PROCESS_JUMPBACK() {
    // The screen chosen for each mission exit code is built with the menu state machine; the
    // hand-back itself always ends like this so the next mission run starts running.
    KV_MENUGLOBALS.WAITKEY = platform_clock_ms() + 800;
    KV_MENUGLOBALS.JUMPBACK = 1;
    KVGLOBALS.EXITCODE = 0;
}

void kv_menu_window_resize() {
    KV_MENUGLOBALS.YSPACER = static_cast<float>(OPENGLPROPERTIES.SCR_HEIGHT) * 0.1f;
}

void KV_MENU_CLEARFADES() {}
void KV_MENU_SHUTDOWN() {}
void KV_MENU_DEINIT() {}
