// The mission side of the game frame (see kv.h).
#include "game/kv.h"

#include <GL/gl.h>

#include "engine/bits.h"
#include "engine/engine_globals.h"
#include "engine/system.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/flight.h"
#include "game/hud.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/lights.h"
#include "game/missionobjects.h"
#include "game/objectives.h"
#include "game/profiling_timers.h"
#include "game/projectiles.h"
#include "game/technology.h"
#include "game/weapons.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "world/buildings.h"
#include "world/ground.h"
#include "world/terrain.h"

namespace {
void (*g_menu_resize_step)() = nullptr;
bool g_mission_loop_running = false;

void timed_projectiles() {
    KV_STARTTIMER(15);
    KV_PROJECTILES_UPDATE();
    KV_UPDTIMER(15);
}

void set_line_state() {
    // A real quotient: an 800-pixel window draws lines 2.25 pixels wide.
    glLineWidth(static_cast<float>(OPENGLPROPERTIES.SCR_WIDTH) / 640.0f + 1.0f);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(0.0f, -0.356f);
}

// The profile whose mission runs; the slot is range-checked because it comes from saved data.
PROFILETYPE* current_profile() {
    int32_t p = KVGLOBALS.CURPROFILE;
    if (p < 0 || p >= PROFILE_SLOTS) return nullptr;
    return &KVGLOBALS.PROFILES[p];
}

const KV_MISSIONFRAME kGameFrame = {
    IO_SYNC,
    KV_PROCESSINPUTS,
    KV_PROCESSPHYSICS,
    KV_ENEMIES_UPDATE,
    timed_projectiles,
    KV_RENDER,
    KV_MISSION_CHECKOBJECTIVESTATUS,
    KV_MISSION_CHECKMISSIONFAILURE,
    KV_WINDOW_RESIZE,
    system_swap_buffers,
    SYSTEM_UPD_FPSR,
};
}  // namespace

const KV_MISSIONFRAME& kv_mission_frame() { return kGameFrame; }

void kv_set_menu_resize_step(void (*step)()) { g_menu_resize_step = step; }

void KV_INITIALIZE() {
    KVGLOBALS.INITIALIZED = 1;
    KV_LOAD_GUNSHIP();
    KV_LOAD_BUILDINGS();
    KV_LOAD_MISC();
    KV_LOAD_ENEMIES();
    KV_LOAD_RESEARCH();
    KV_INIT_PHYSICS();
    KVGLOBALS.MAXPROJECTILES = 9999;
    KV_GUNSHIP_INITIALIZEBARRELS();
    set_line_state();
    KVGLOBALS.COLLISIONON = 1;
    KVGLOBALS.FPSTIMER.ONFRAMES(20);
    KVGLOBALS.TARGETVIEWSIZE.RANGE(1, 1, 32, 0.01f);
    KVGLOBALS.TARGETLODMESHSWITCH.RANGE(30, 38, 8, 1);
    KVGLOBALS.TARGETLODSHADOWSWITCH.RANGE(20, 24, 8, 1);
    TEMPX = 0;
    TEMPY = 0;
}

void kv_mission_prologue() {
    enemies_reset_run();
    PHYSICSDATA.TICKS = static_cast<float>(platform_clock_ms());
    PHYSICSDATA.TICKSPASSED = 0;
    KV_SETUPLIGHTS();
    KV_FINDGUNSHIPY();
    KVGLOBALS.TARGETPLAYERX8.RANGE(-1, -1, 16, 1);
    KVGLOBALS.TARGETPLAYERZ8.RANGE(-1, -1, 16, 1);
}

void KV_LAUNCHAPP() {
    if (KVGLOBALS.INITIALIZED == 0) KV_INITIALIZE();
    kv_mission_prologue();
    KV_MAINLOOP();
    KV_SHUTDOWN();
}

bool kv_mission_loop_running() { return g_mission_loop_running; }

void kv_run_mission_loop(const KV_MISSIONFRAME& f) {
    g_mission_loop_running = true;
    do {
        f.SYNC();
        f.INPUTS();
        f.PHYSICS();
        f.ENEMIES();
        f.PROJECTILES();
        f.RENDER();
        f.OBJECTIVES();
        f.FAILURE();
        if (OPENGLPROPERTIES.WINDOW_RESIZED == 1) {
            f.RESIZE();
            OPENGLPROPERTIES.WINDOW_RESIZED = 0;
        }
        f.SWAP();
        f.PACE();
    } while (KVGLOBALS.EXITCODE == 0 && !platform_quit_requested());
    g_mission_loop_running = false;
}

void KV_MAINLOOP() {
    // The mission clock counts down and the game clock counts up only while the mission runs.
    PROFILETYPE* profile = current_profile();
    if (profile) {
        IO_CLOCK_START(profile->MISSIONCLOCK, 0);
        IO_CLOCK_START(profile->GAMECLOCK, 1);
    }
    kv_run_mission_loop(kGameFrame);
    profile = current_profile();
    if (profile) {
        IO_CLOCK_STOP(profile->MISSIONCLOCK);
        IO_CLOCK_STOP(profile->GAMECLOCK);
    }
}

void KV_PROCESSINPUTS() {
    SYSTEM_PROCESS_ADJUSTMENT_INPUTS();
    KV_PI_ALTERNATIVE();
    KV_PI_CONTROLLER();
}

void KV_RENDER() {
    glFogf(GL_FOG_START, 3.0f);
    glFogf(GL_FOG_END, KVGLOBALS.TARGETVIEWSIZE.CURR() * (10.0f * TEMPZ + 80.0f));
    glClearColor(0.71f, 0.68f, 0.63f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    glTranslatef(0.0f, -(1.45f - 1.45f * KVGLOBALS.GUNSHIPLANDRATIO) - 5.1f,
                 -22.7f - 18.0f * static_cast<float>(KVGLOBALS.POINTERMODE));
    glRotatef(22.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(KVGLOBALS.GUNSHIPPO.ANGLE - 90.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(-KVGLOBALS.PLAYERX, -KVGLOBALS.PLAYERY, -KVGLOBALS.PLAYERZ);

    KVGLOBALS.CAMERA.X += (300.0f * KVGLOBALS.GUNSHIPPO.LINEARVELOCITY.X - KVGLOBALS.CAMERA.X) *
                          FPSR * 0.03f;
    KVGLOBALS.CAMERA.Z += (300.0f * KVGLOBALS.GUNSHIPPO.LINEARVELOCITY.Z - KVGLOBALS.CAMERA.Z) *
                          FPSR * 0.03f;

    const GLfloat light[4] = {KVGLOBALS.LIGHTPOSITION.X, KVGLOBALS.LIGHTPOSITION.Y,
                              KVGLOBALS.LIGHTPOSITION.Z, KVGLOBALS.LIGHTPOSITION.W};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glEnable(GL_FOG);

    if (KVGLOBALS.POINTERMODE == 0) {
        // Terrain tiles are compiled inside KV_RENDER_MAP; the real-time preload step has
        // nothing left to do here.
        KV_STARTTIMER(1);
        KV_RENDER_MAP();
        KV_UPDTIMER(1);
        KV_STARTTIMER(2);
        KV_RENDER_ENEMIES();
        KV_UPDTIMER(2);
        KV_MISSION_RENDER();
        KV_RENDER_GUNSHIP();
        KV_STARTTIMER(3);
        KV_RENDER_EXPLOSION();
        KV_UPDTIMER(3);
    } else {
        KV_RENDER_MAP();
        KV_RENDER_ENEMIES();
        KV_RENDER_POINTER();
    }
    KV_RENDER_GUNSIGHT();
    KV_RENDER_CHECKPOINTRING();
    KV_RENDER_PROJECTILES();
    glDisable(GL_FOG);
    KV_RENDER_ICONS();
    KV_RENDER_POWERUP();
    KV_RENDER_MISSIONCLOCK();
    KV_RENDER_WEAPONSWITCH();

    glPushMatrix();
    SYSTEM_2DPLANE_SET_FULL();
    if (KVGLOBALS.LOADINGACTIVE == 1) KV_RENDER_LOADING(KVGLOBALS.LOADINGTEXT, KVGLOBALS.LOADINGPROGRESS);
    PROFILETYPE* profile = current_profile();
    if (profile && profile->MINIMAPTOGGLE == 1) {
        if (KVGLOBALS.MINIMAPDL != 0) glCallList(static_cast<GLuint>(KVGLOBALS.MINIMAPDL));
        KV_RENDER_MINIMAPPLAYER();
    }
    KV_RENDER_PHYSICSDATA();
    KV_RENDER_ALERTMESSAGE();
    SYSTEM_2DPLANE_CLEAR();
    glPopMatrix();
    glPopMatrix();
    glFlush();
}

void KV_WINDOW_RESIZE() {
    if (g_menu_resize_step) g_menu_resize_step();
    if (KVGLOBALS.MINIMAPDL != 0) {
        glNewList(static_cast<GLuint>(KVGLOBALS.MINIMAPDL), GL_COMPILE);
        KV_RENDER_MINIMAPDL();
        glEndList();
    }
    set_line_state();
}

void KV_SHUTDOWN() {}
void KV_DEINIT() {}
