// The mission side of the game frame: one mission run (lazy one-time initialisation, per-run
// set-up, the mission loop, shutdown hooks), the input step and the drawing of one mission
// frame in their fixed order, and the follow-up to a window resize.
#pragma once

#include <cstdint>

void KV_LAUNCHAPP();
void KV_INITIALIZE();
void KV_MAINLOOP();
void KV_PROCESSINPUTS();
void KV_RENDER();
void KV_SHUTDOWN();
void KV_DEINIT();

// The loops' follow-up to a resize: the menu's part (registered by the menu), the minimap
// display list, line width and line polygon offset.
void KV_WINDOW_RESIZE();
void kv_set_menu_resize_step(void (*step)());

// The steps of one mission-loop iteration, in order. KV_MAINLOOP runs the game's own steps;
// tests run the same loop with recording steps.
struct KV_MISSIONFRAME {
    void (*SYNC)();         // frame counter
    void (*INPUTS)();       // tuning keys, debug keys, flight controls
    void (*PHYSICS)();
    void (*ENEMIES)();
    void (*PROJECTILES)();  // timed as stage 15
    void (*RENDER)();
    void (*OBJECTIVES)();
    void (*FAILURE)();
    void (*RESIZE)();       // only when WINDOW_RESIZED is 1; the flag is cleared after it
    void (*SWAP)();
    void (*PACE)();         // frame-end bookkeeping
};
const KV_MISSIONFRAME& kv_mission_frame();

// What a mission run does between the one-time initialisation and its first frame: clears the
// enemies' launch record, starts the physics clock, sets the lights, puts the gunship at its
// height and lets the tile easers jump to it. KV_LAUNCHAPP calls it; so does the flight
// benchmark before it runs the same loop.
void kv_mission_prologue();

// Repeats the frame until KVGLOBALS.EXITCODE is non-zero or the run is asked to quit; the exit
// code is tested only after a whole frame, so the frame that sets it is completed.
void kv_run_mission_loop(const KV_MISSIONFRAME& frame);
// True while kv_run_mission_loop runs (the gunship is flown, not the menu).
bool kv_mission_loop_running();
