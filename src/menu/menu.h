// The menu side of the game frame: launching the menu, its one-time set-up, the menu loop (the
// outer loop for the life of the process) and its hooks, and the fades the screens draw with.
#pragma once

#include <cstdint>
#include <string>

void KV_MENU_LAUNCHAPP();
void KV_MENU_INITIALIZE();
void KV_MENU_MAINLOOP();
void KV_MENU_SHUTDOWN();
void KV_MENU_DEINIT();
// The return from a mission run: the mission exit code picks the next screen (menu_input).
void KV_MENU_PROCESS_JUMPBACK();
// All 1000 screen fades to 0 (after every return from the mission loop: the next screen fades
// in from black).
void KV_MENU_CLEARFADES();

// One frame of fades, scaled by the frame factor: every screen other than the current one falls
// by 0.05 (the backdrop slot 900 only on the main menu), the current one and (outside the title
// and credits) the backdrop rise by 0.05, the boxes follow their open flags; all within 0..1.
// KV_MENU_RENDER calls it once per frame.
void kv_menu_advance_fades(float fpsr);
// The main menu's item highlights: the selected item rises by 0.1, the others fall (0..1).
void kv_menu_advance_main_fades(float fpsr);

// Quick flight (set by main before the menu starts): the menu's set-up asks no version
// question and the version check never runs.
void kv_menu_set_quick_flight(bool on);
bool kv_menu_quick_flight();

// The menu's part of the resize follow-up (YSPACER); main registers it with KV_WINDOW_RESIZE.
void kv_menu_window_resize();

// The number of entries of the model preload list; the credits lines read into CREDITROW
// (at most 100). Both read their file field by field to its end.
int32_t kv_menu_count_model_entries(const std::string& path);
int32_t kv_menu_read_credits(const std::string& path);

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
