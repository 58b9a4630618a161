// The menu side of the game frame: launching the menu, the menu loop (the outer loop for the
// life of the process) and its hooks, and the jump back from a mission run.
#pragma once

void KV_MENU_LAUNCHAPP();
void KV_MENU_INITIALIZE();
void KV_MENU_MAINLOOP();
void KV_MENU_SHUTDOWN();
void KV_MENU_DEINIT();
void KV_MENU_PROCESS_JUMPBACK();
void KV_MENU_CLEARFADES();

// The menu's part of the resize follow-up (YSPACER); main registers it with KV_WINDOW_RESIZE.
void kv_menu_window_resize();

// The steps of one menu-loop iteration, in order; KV_MENU_MAINLOOP runs the game's own.
struct KV_MENUFRAME {
    void (*INPUTS)();   // may run a whole mission before it returns
    void (*RENDER)();
    void (*RESIZE)();   // only when WINDOW_RESIZED is 1; the flag is cleared after it
    void (*SWAP)();
    void (*PACE)();
};
const KV_MENUFRAME& kv_menu_frame();

// Repeats the menu frame until KV_MENUGLOBALS.EXITCODE is non-zero or the run is asked to quit.
void kv_run_menu_loop(const KV_MENUFRAME& frame);
