// Mission lighting (see lights.h).
#include "game/lights.h"

#include <GL/gl.h>

#include "game/kv_globals.h"

void KV_SETUPLIGHTS() {
    const GLfloat ambient[4] = {0.25f, 0.25f, 0.25f, 1.0f};
    const GLfloat diffuse[4] = {0.65f, 0.65f, 0.65f, 1.0f};
    const GLfloat specular[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    KVGLOBALS.LIGHTPOSITION.X = 256.0f;
    KVGLOBALS.LIGHTPOSITION.Y = 256.0f;
    KVGLOBALS.LIGHTPOSITION.Z = 256.0f;
    KVGLOBALS.LIGHTPOSITION.W = 1.0f;
}

void KV_GETLIGHTDATA() {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(KVGLOBALS.LIGHTPOSITION.X, KVGLOBALS.LIGHTPOSITION.Y, KVGLOBALS.LIGHTPOSITION.Z);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) KVGLOBALS.MODELVIEWTEMP[i] = m[i];
    KVGLOBALS.LIGHTPOSITIONTEMP.X = m[12];
    KVGLOBALS.LIGHTPOSITIONTEMP.Y = m[13];
    KVGLOBALS.LIGHTPOSITIONTEMP.Z = m[14];
    KVGLOBALS.LIGHTPOSITIONTEMP.W = m[15];
    glPopMatrix();
}
