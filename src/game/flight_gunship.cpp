// The gunship's assets and drawing: loads the gunship and rocket meshes into the model
// database, compiles their display lists, and draws the gunship at its height with the body's
// heading, tilt and position.
#include <GL/gl.h>

#include <cstdio>

#include "engine/modeldb.h"
#include "engine/log.h"
#include "engine/objfile.h"
#include "game/flight.h"
#include "game/kv_globals.h"

namespace {

// Loads FILE, normalises it, scales it and records it with its material colours into a new
// display list. A missing or empty mesh still gets its (empty) list and a console line.
void load_mesh_list(const char* file, float scale, int32_t& mid, int32_t& dl) {
    mid = OBJFILE_LOAD(file);
    MODEL3D* mesh = modeldb_model(mid);
    if (mesh == nullptr || mesh->TRIANGLES.empty()) {
        kv_log("KV_LOAD_GUNSHIP: %s has no triangles", file);
    }
    if (mesh != nullptr) {
        MODEL_NORMALIZE(mesh);
        MODEL_SCALE(mesh, scale);
    }
    dl = modeldb_compile_list(mid);
}

}  // namespace

void KV_LOAD_GUNSHIP() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    load_mesh_list("data/ships/gunship/gunshipLowJ.obj", 1.5f, g.GUNSHIPMID, g.GUNSHIPDL);
    g.GUNSHIPPO.MODELDBINDEX = g.GUNSHIPMID;
    load_mesh_list("data/weapons/rpg.obj", 0.25f, g.RPGMID, g.RPGDL);
    g.GUNSHIPHOVERY = 15.0f;
}

void KV_RENDER_GUNSHIP() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    glPushMatrix();
    glTranslatef(0.0f, g.PLAYERY, 0.0f);
    glMultMatrixf(g.GUNSHIPPO.MATRIX);
    if (g.GUNSHIPDL != 0) glCallList(static_cast<GLuint>(g.GUNSHIPDL));
    glPopMatrix();
}
