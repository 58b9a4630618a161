// The quick flight run (core --fly): puts the island, the gunship and a fresh pilot in place so
// mission 0 starts at once at the campaign's start position, without the menu's screens. The
// fresh pilot lives in the last profile slot in memory only; nothing is written to disk, so the
// player's saved profiles are never touched.
#include <GL/gl.h>

#include "engine/gameclock.h"
#include "engine/physics.h"
#include "engine/texture.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/enemies.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/mission.h"
#include "world/ground.h"
#include "world/map.h"
#include "world/terrain.h"

namespace {

// The island as the menu's start-up leaves it: grids, scale, ground lookup, map and minimap.
void load_world_once() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (g.TERRAINMAP.empty()) {
        KV_INITIALIZE_MAPS();
        g.MAPSCALE = 0.25f;
        g.WATERSPACER = 10.0f;
        KV_INITIALIZE_KVGROUNDCIRCLEPOLYLOOKUP();
        KV_LOAD_MISSIONMAP("0.map");
    }
    if (g.MINIMAPDL == 0) {
        uint32_t tex = 0;
        LOAD_TEXTUREL(tex, "data/maps/0/minimap.png");
        g.MINIMAPTEX = static_cast<int32_t>(tex);
        g.MINIMAPDL = static_cast<int32_t>(glGenLists(1));
        if (g.MINIMAPDL != 0) {
            glNewList(static_cast<GLuint>(g.MINIMAPDL), GL_COMPILE);
            KV_RENDER_MINIMAPDL();
            glEndList();
        }
    }
}

}  // namespace

void flight_fresh_profile(PROFILETYPE& p) {
    p = PROFILETYPE{};
    p.NAME = "Pilot";
    p.CALLSIGN = "Kestrel";
    IO_CLOCK_SET(p.GAMECLOCK, 0, 0, 0);
    p.MISSIONNUM = 0;
    p.ARMOUR = 1.0f;
    p.ARMOURCLASS = 0;
    p.FUEL = 1.0f;
    p.VT90S = 9999;
    p.ROCKETS = 64;
    p.TAILPODMAX = 64;
    p.ROCKETTYPE = 1;
    p.MINES = 0;
    p.MINETYPE = 0;
    p.SELECTEDWEAPON = 0;
    p.HACKERS = 0;
    p.USWSF = 8;
    p.ENGINEERS = 8;
    p.SPIES = 0;
    p.FCPKIT = 1;
    p.PLAYERX = 360.0f;
    p.PLAYERZ = 287.0f;
    p.GUNSHIPANGLE = 45.0f;
    p.MINIMAPTOGGLE = 1;
    for (int32_t& t : p.COMPLETEDTECHNOLOGY) t = 0;
    p.COMPLETEDTECHNOLOGY[0] = 1;
    p.RESEARCHINGTECHNOLOGY = -1;
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
}

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

void flight_start_fly_run(const QuickFlightSetup& setup) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    load_world_once();
    if (g.INITIALIZED == 0) KV_INITIALIZE();
    KV_MISSION_LOADMISSIONDATA();
    // A fresh pilot meets the island's garrisons as the campaign lays them out.
    KV_ENEMIES_LAYOUTLOAD();

    g.CURPROFILE = PROFILE_SLOTS - 1;
    PROFILETYPE& p = g.PROFILES[g.CURPROFILE];
    flight_fresh_profile(p);
    g.AIRDROPCOUNT = 0;
    g.CHECKPOINTCOUNT = 1;
    g.AIRDROPDATA.assign(1, AIRDROPTYPE{});
    g.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});

    p.MISSIONNUM = setup.mission < 0 ? 0 : (setup.mission >= MISSION_SLOTS ? MISSION_SLOTS - 1 : setup.mission);
    if (setup.has_position) {
        // The flight's own map clamps, so a start outside them is where the first step would put it.
        p.PLAYERX = setup.x < 27.0f ? 29.0f : (setup.x > 478.0f ? 476.0f : setup.x);
        p.PLAYERZ = setup.z < 37.0f ? 39.0f : (setup.z > 497.0f ? 495.0f : setup.z);
    }
    if (setup.has_heading) p.GUNSHIPANGLE = setup.heading;
    if (setup.has_fuel) p.FUEL = setup.fuel < 0.0f ? 0.0f : (setup.fuel > 1.0f ? 1.0f : setup.fuel);
    IO_CLOCK_SET(p.MISSIONCLOCK, 0, 0, static_cast<double>(g.MISSIONDATA[p.MISSIONNUM].TIMELIMIT));
    IO_CLOCK_START(p.MISSIONCLOCK, 0);
    p.MISSIONCLOCK.ALARM = 0.0;
    IO_CLOCK_START(p.GAMECLOCK, 1);
    p.GAMECLOCKSTRING = IO_TIME_HMS(0.0);
    p.OBJECTIVENUM = 0;
    flight_place_gunship(p.PLAYERX, p.PLAYERZ, p.GUNSHIPANGLE);
    g.MISSIONSTARTED = 1;
}
