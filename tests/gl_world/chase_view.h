// The chase view of the island as a mission frame sets it up, shared by the island frame and
// sector pass tests: the gunship placed over the map with the view targets settled, the
// game's projection, lights, fog, culling and blend state, and each frame's clear and camera
// behind the gunship.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "game/lights.h"
#include "game/world.h"
#include "world/map.h"

// The gunship hovering at (px, pz), heading angle_deg, in the normal (not pointer) view; the
// view size, detail switches and centre tile already at their targets; tuning keys at rest.
inline void chase_place(float px, float pz, float angle_deg) {
    KVGLOBALS.PLAYERX = px;
    KVGLOBALS.PLAYERZ = pz;
    KVGLOBALS.PLAYERX8 = kv_tile_of(px);
    KVGLOBALS.PLAYERZ8 = kv_tile_of(pz);
    KVGLOBALS.PLAYERY = KV_FINDMAPY(px, pz) + 3.75f;
    KVGLOBALS.GUNSHIPPO.ANGLE = angle_deg;
    KVGLOBALS.POINTERMODE = 0;
    KVGLOBALS.BOXARRAYVIEWDIST = 12;
    KVGLOBALS.TARGETVIEWSIZE.RANGE(1, 1, 32, 0.01f);
    KVGLOBALS.TARGETLODMESHSWITCH.RANGE(30, 38, 8, 1);
    KVGLOBALS.TARGETLODSHADOWSWITCH.RANGE(20, 24, 8, 1);
    KVGLOBALS.TARGETPLAYERX8.RANGE(KVGLOBALS.PLAYERX8, KVGLOBALS.PLAYERX8, 16, 1);
    KVGLOBALS.TARGETPLAYERZ8.RANGE(KVGLOBALS.PLAYERZ8, KVGLOBALS.PLAYERZ8, 16, 1);
    TEMPX = 0;
    TEMPY = 0;
    TEMPZ = 0;
}

// The state a mission frame draws the island in, for a width x height view.
inline void chase_state(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, static_cast<double>(width) / height, 0.1, 1000.0);
    glShadeModel(GL_SMOOTH);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    KV_SETUPLIGHTS();
    glEnable(GL_CULL_FACE);  // only front faces of ground and walls show
    glCullFace(GL_BACK);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    const float fog[4] = {0.71f, 0.68f, 0.63f, 0.0f};
    glFogfv(GL_FOG_COLOR, fog);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glEnable(GL_FOG);
}

// A frame's start: cleared to the haze, fog range, the camera behind and above the gunship,
// the light placed in the world.
inline void chase_begin_frame() {
    glFogf(GL_FOG_START, 3.0f);
    glFogf(GL_FOG_END, KVGLOBALS.TARGETVIEWSIZE.CURR() * (10.0f * TEMPZ + 80.0f));
    glClearColor(0.71f, 0.68f, 0.63f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, -5.1f, -22.7f);
    glRotatef(22.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(KVGLOBALS.GUNSHIPPO.ANGLE - 90.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(-KVGLOBALS.PLAYERX, -KVGLOBALS.PLAYERY, -KVGLOBALS.PLAYERZ);
    const float light[4] = {KVGLOBALS.LIGHTPOSITION.X, KVGLOBALS.LIGHTPOSITION.Y, KVGLOBALS.LIGHTPOSITION.Z,
                            KVGLOBALS.LIGHTPOSITION.W};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
}
