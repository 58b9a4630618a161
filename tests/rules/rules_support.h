// Shared set-up for the mission-rule tests: a flat map, an empty enemy table and fireball pool,
// one pilot profile running a mission with its objectives, a virtual clock and a recorder for
// the message box the failure check raises.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "game/objectives.h"
#include "game/projectiles.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "support/world_fixture.h"

namespace rules_test {

struct BoxRecord {
    int calls = 0;
    std::string title;
    std::string message;
};
inline BoxRecord g_box;

inline void record_box(const std::string& title, const std::string& message) {
    g_box.calls++;
    g_box.title = title;
    g_box.message = message;
}

// Mission 1 with `objectives` kill-range objectives (enemy slots 10*i .. 10*i+2 each), the last
// one named by LASTOBJECTIVE; the profile flies it from objective 0 with full tanks.
inline void reset_mission(int objectives = 3) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    flat_island(2.0f);
    for (auto& e : g.ENEMIES) e = ENEMYTYPE{};
    for (auto& p : g.PROJECTILES) p = PROJECTILETYPE{};
    for (auto& f : g.FIREBALL) f = FIREBALLTYPE{};
    g.MAXPROJECTILES = 9999;
    g.LASTPROJECTILE = 0;
    projectiles_pool_sync();
    g.EXPLOSIONTIME = 0;
    g.NFIREBALLS = 0;
    g.FIRSTFIREBALL = 0;
    g.EXITCODE = 0;
    g.MISSIONSTARTED = 1;
    g.GUNSHIPLANDED = 0;
    g.LOCKLANDING = 0;
    g.LOADINGALPHA = 0.0f;
    g.ALERTMSG.clear();
    g.ALERTTIME = 0;
    g.PLAYERX = g.PLAYERZ = 200.0f;
    g.PLAYERY = 6.0f;
    g.AIRDROPDATA.assign(1, AIRDROPTYPE{});
    g.AIRDROPCOUNT = 0;
    g.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
    g.CHECKPOINTCOUNT = 1;
    MISSIONDATATYPE& m = g.MISSIONDATA[1];
    m = MISSIONDATATYPE{};
    m.TIMELIMIT = 600;
    m.LASTOBJECTIVE = objectives - 1;
    for (int i = 0; i < objectives && i < OBJECTIVE_SLOTS; ++i) {
        m.OBJECTIVE[i].GOALTYPE = GT_KILL_RANGE;
        m.OBJECTIVE[i].KILLRANGESTART = 10 * i;
        m.OBJECTIVE[i].KILLRANGEEND = 10 * i + 2;
        m.OBJECTIVE[i].KILLZONEX = 100.0f + i;
        m.OBJECTIVE[i].KILLZONEZ = 300.0f - i;
    }
    g.CURPROFILE = 3;
    PROFILETYPE& p = g.PROFILES[3];
    p = PROFILETYPE{};
    p.MISSIONNUM = 1;
    p.OBJECTIVENUM = 0;
    p.FUEL = 1.0f;
    p.ARMOUR = 1.0f;
    p.VT90S = 9999;
    p.USWSF = 8;
    p.ENGINEERS = 8;
    p.HACKERS = 2;
    p.SPIES = 1;
    p.FCPKIT = 1;
    FPSR = 1.0f;
    platform_random_seed(77);
    platform_clock_set_virtual_seconds(20.0);
    g_box = BoxRecord{};
    kv_set_message_box_hook(record_box);
}

inline PROFILETYPE& pilot() { return KVGLOBALS.PROFILES[KVGLOBALS.CURPROFILE]; }

inline void place_enemy(int slot) {
    KVGLOBALS.ENEMIES[slot] = ENEMYTYPE{};
    KVGLOBALS.ENEMIES[slot].ACTIVE = 1;
}

// Particles thrown into the projectile pool.
inline int count_sparks() {
    int n = 0;
    for (const auto& p : KVGLOBALS.PROJECTILES)
        if (p.ACTIVE != 0 && p.RICOCHET == 1) ++n;
    return n;
}

// The two checks that close a mission frame, in their order.
inline void end_of_frame() {
    KV_MISSION_CHECKOBJECTIVESTATUS();
    KV_MISSION_CHECKMISSIONFAILURE();
}

}  // namespace rules_test
