// The gunship's placement at a mission start: at rest at a position and heading, hovering at its
// height above the ground there. The quick flight (core --fly) takes the menu's own road into the
// mission (a fresh pilot in memory, the mission start, the mission loop); its settings are the
// QuickFlightSetup of flight.h.
#include "engine/physics.h"
#include "game/flight.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "world/ground.h"

void flight_place_gunship(float x, float z, float angle) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.PLAYERX = x;
    g.PLAYERZ = z;
    g.PLAYERY = g.MAPSCALE * g.GUNSHIPHOVERY + KV_FINDMAPY(x, z);
    g.GUNSHIPLANDRATIO = 1.0f;
    g.ZIPLINEZOOMRATIO = 1.0f;
    g.ZIPLINEZOOMENABLED = 0;
    g.GUNSHIPLANDSTABLE = 1.0f;
    g.GUNSHIPLANDED = 0;
    PHYSICSOBJECTTYPE& po = g.GUNSHIPPO;
    po.POSITION.X = x;
    po.POSITION.Z = z;
    po.POSITIONBACKUP = po.POSITION;
    po.ANGLE = angle;
    po.LINEARVELOCITY = {};
    po.ANGULARVELOCITY = 0.0f;
    po.LINEARFORCE = {};
    po.TOTALTORQUE = 0.0f;
    PHYSICS_UPDATEOBJECTMATRIX(po);
    for (int i = 0; i < 16; ++i) po.MATRIXBACKUP[i] = po.MATRIX[i];
}
