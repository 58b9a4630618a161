// Mission objects: airdrops, check points, refuelling, ziplines and runners (see
// missionobjects.h). Processing here, drawing in missionobjects_draw.cpp.
#include "game/missionobjects.h"

#include <cmath>
#include <cstdio>

#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/missionobjects_internal.h"
#include "platform/clock.h"
#include "world/ground.h"

namespace {

int32_t (*g_new_research_source)() = nullptr;

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// ms since `from` on the wrapping 32-bit clock.
int32_t since(int32_t now, int32_t from) {
    return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(from));
}

// A time stamp that is never 0, so 0 can stand for "not yet".
int32_t stamp(int32_t now) { return now == 0 ? 1 : now; }

void reset_runners() {
    for (USWRUNNDERTYPE& r : KVGLOBALS.USWRUNNER) r = USWRUNNDERTYPE{};
}

// Glides a drop towards its target: at most the remaining distance, snapped on arrival.
void glide(AIRDROPTYPE& a, float fpsr) {
    const VECTOR3D d3 = a.TARGET - a.POSITION;
    const float d = std::sqrt(d3.X * d3.X + d3.Y * d3.Y + d3.Z * d3.Z);
    if (d < 30.0f) a.VISIBLE = 1;
    if (d <= 0.05f) {
        a.POSITION = a.TARGET;
        a.ACTIVE = 1;
        return;
    }
    float s = d < 5.0f ? d / 50.0f : 0.1f;
    if (s < 0.01f) s = 0.01f;
    const float step = s * fpsr;
    if (step >= d) {
        a.POSITION = a.TARGET;
        a.ACTIVE = 1;
        return;
    }
    a.POSITION = a.POSITION + d3 * (step / d);
}

void place_marker(float x, float z) {
    CHECKPOINTTYPE* c = mo_checkpoint(0);
    if (!c) return;
    c->POSITION.X = x;
    c->POSITION.Z = z;
}

// Starts the idle runners whose turn has come; down: from the rope foot to the target 1500 ms
// after their rope started, up: from the target back to the rope foot after 1000 ms.
void send_runners(const OBJECTIVETYPE& o, int32_t now, bool down) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t n = mo_team_size(o);
    for (int32_t i = 0; i < n; ++i) {
        USWRUNNDERTYPE& r = g.USWRUNNER[i];
        if (r.ACTIVE != 0) continue;
        if (!down && o.ZIPLINE_STARTUP[i] != 0) continue;
        const int32_t t = since(now, o.ZIPLINE_STARTDOWN) - 600 * i;
        if (t < (down ? 1500 : 1000)) continue;
        float fx = 0.0f, fz = 0.0f;
        mo_rope_foot(i, g.PLAYERX, g.PLAYERZ, fx, fz);
        if (down) KV_USWRUNNER_ADD(i, fx, fz, o.ZIPLINE_DEST_X, o.ZIPLINE_DEST_Z);
        else KV_USWRUNNER_ADD(i, o.ZIPLINE_DEST_X, o.ZIPLINE_DEST_Z, fx, fz);
    }
}

bool team_arrived(const OBJECTIVETYPE& o) {
    const int32_t n = mo_team_size(o);
    for (int32_t i = 0; i < n; ++i)
        if (KVGLOBALS.USWRUNNER[i].ACTIVE < 2) return false;
    return true;
}

// Hover over the drop point and press activate: the ropes go down.
void await_activation(OBJECTIVETYPE& o, int32_t now, int32_t next) {
    place_marker(o.ZIPLINE_SRC_X, o.ZIPLINE_SRC_Z);
    if (KV_INSIDECHECKPOINT(0) && KVGLOBALS.PICKUPDROPOFFFLAG == 1) {
        o.ZIPLINE_STATUS = next;
        o.ZIPLINE_STARTDOWN = stamp(now);
        for (int32_t& t : o.ZIPLINE_STARTUP) t = 0;
        reset_runners();
    }
}

void process_zipline(OBJECTIVETYPE& o, int32_t now) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const bool round_trip = o.GOALTYPE == GT_ZIPLINE_DOWN_AND_UP;
    if (o.ZIPLINE_STATUS < ZIPLINE_TRIGGERED && mo_team_size(o) == 0) {
        // Nobody to lower: nothing to wait for.
        o.ZIPLINE_STATUS = ZIPLINE_FINISHED;
        return;
    }
    switch (o.ZIPLINE_STATUS) {
    case ZIPLINE_WAITING:
        await_activation(o, now, ZIPLINE_DESCENT);
        break;
    case ZIPLINE_DESCENT:
        g.ZIPLINEZOOMENABLED = 1;
        g.LOCKPHYSICSMIN = 1;
        send_runners(o, now, true);
        KV_USWRUNNER_UPDATE();
        if (team_arrived(o)) {
            reset_runners();
            if (round_trip) {
                o.ZIPLINE_STATUS = ZIPLINE_ON_GROUND;
                o.ZIPLINE_TIMER_START = stamp(now);
            } else {
                o.ZIPLINE_STATUS = ZIPLINE_FINISHED;
            }
        }
        break;
    case ZIPLINE_ON_GROUND: {
        const int64_t wait = static_cast<int64_t>(o.ZIPLINE_WAIT) * 1000;
        const int32_t waited = since(now, o.ZIPLINE_TIMER_START);
        if (waited <= wait) {
            g.LOADINGACTIVE = 1;
            g.LOADINGTEXT = "INSTALLING EXPLOSIVES";
            g.LOADINGPROGRESS = wait > 0 ? clamp01(static_cast<float>(static_cast<double>(waited) / static_cast<double>(wait))) : 1.0f;
        } else {
            await_activation(o, now, ZIPLINE_ASCENT);
        }
        break;
    }
    case ZIPLINE_ASCENT: {
        g.ZIPLINEZOOMENABLED = 1;
        g.LOCKPHYSICSMIN = 1;
        send_runners(o, now, false);
        KV_USWRUNNER_UPDATE();
        const int32_t n = mo_team_size(o);
        bool all_hoisted = true;
        for (int32_t i = 0; i < n; ++i) {
            if (g.USWRUNNER[i].ACTIVE == 2 && o.ZIPLINE_STARTUP[i] == 0) o.ZIPLINE_STARTUP[i] = stamp(now);
            if (o.ZIPLINE_STARTUP[i] == 0 || since(now, o.ZIPLINE_STARTUP[i]) < 1000) all_hoisted = false;
        }
        if (all_hoisted) o.ZIPLINE_STATUS = ZIPLINE_ABOARD;
        break;
    }
    case ZIPLINE_ABOARD:
        g.TRIGGEREXPLOSION = 1;
        o.ZIPLINE_STATUS = ZIPLINE_TRIGGERED;
        o.ZIPLINE_TIMER_START = stamp(now);
        reset_runners();
        break;
    case ZIPLINE_TRIGGERED:
    case ZIPLINE_BLASTING:
        if (o.ZIPLINE_STATUS == ZIPLINE_TRIGGERED && g.EXPLOSIONTIME != 0) o.ZIPLINE_STATUS = ZIPLINE_BLASTING;
        else if (o.ZIPLINE_STATUS == ZIPLINE_BLASTING && g.EXPLOSIONTIME == 0) o.ZIPLINE_STATUS = ZIPLINE_FINISHED;
        if (since(now, o.ZIPLINE_TIMER_START) >= ZIPLINE_BLAST_WAIT_MS) o.ZIPLINE_STATUS = ZIPLINE_FINISHED;
        break;
    default:
        break;
    }
}

}  // namespace

// ---- shared helpers (missionobjects_internal.h) ----

PROFILETYPE* mo_profile() {
    const int32_t p = KVGLOBALS.CURPROFILE;
    return (p >= 0 && p < PROFILE_SLOTS) ? &KVGLOBALS.PROFILES[p] : nullptr;
}

OBJECTIVETYPE* mo_current_objective() {
    const PROFILETYPE* p = mo_profile();
    if (!p) return nullptr;
    if (p->MISSIONNUM < 0 || p->MISSIONNUM >= MISSION_SLOTS) return nullptr;
    if (p->OBJECTIVENUM < 0 || p->OBJECTIVENUM >= OBJECTIVE_SLOTS) return nullptr;
    return &KVGLOBALS.MISSIONDATA[p->MISSIONNUM].OBJECTIVE[p->OBJECTIVENUM];
}

bool mo_is_zipline_goal(const OBJECTIVETYPE& o) {
    return o.GOALTYPE == GT_ZIPLINE_DOWN || o.GOALTYPE == GT_ZIPLINE_DOWN_AND_UP;
}

int32_t mo_team_size(const OBJECTIVETYPE& o) {
    return o.ZIPLINE_N < 0 ? 0 : (o.ZIPLINE_N > USWRUNNER_SLOTS ? USWRUNNER_SLOTS : o.ZIPLINE_N);
}

int32_t mo_airdrop_count() {
    const int32_t n = KVGLOBALS.AIRDROPCOUNT;
    const int32_t size = static_cast<int32_t>(KVGLOBALS.AIRDROPDATA.size());
    return n < 0 ? 0 : (n > size ? size : n);
}

int32_t mo_checkpoint_count() {
    const int32_t n = KVGLOBALS.CHECKPOINTCOUNT;
    const int32_t size = static_cast<int32_t>(KVGLOBALS.CHECKPOINTDATA.size());
    return n < 0 ? 0 : (n > size ? size : n);
}

CHECKPOINTTYPE* mo_checkpoint(int32_t i) {
    if (i < 0 || i >= static_cast<int32_t>(KVGLOBALS.CHECKPOINTDATA.size())) return nullptr;
    if (i > 0 && i >= mo_checkpoint_count()) return nullptr;
    return &KVGLOBALS.CHECKPOINTDATA[static_cast<size_t>(i)];
}

CHECKPOINTTYPE* mo_crate_marker(const AIRDROPTYPE& a) {
    // Record 0 is the objective marker, never a crate's.
    if (a.CHECKPOINTID < 1) return nullptr;
    return mo_checkpoint(a.CHECKPOINTID);
}

bool mo_airdrop_released(const AIRDROPTYPE& a, int32_t M, int32_t k) {
    return (a.MISSION == M && a.OBJECTIVE <= k) || a.MISSION < M;
}

void mo_rope_foot(int32_t i, float playerx, float playerz, float& x, float& z) {
    const double a = 1.7278745 * static_cast<double>(i);
    x = playerx + static_cast<float>(0.38 * std::cos(a));
    z = playerz + static_cast<float>(0.38 * std::sin(a));
}

float mo_envelope(int32_t elapsed) {
    if (elapsed < 0) return 0.0f;
    if (elapsed < 1000) return 1.0f - static_cast<float>(1000 - elapsed) / 1000.0f;
    if (elapsed < 1500) return 1.0f;
    if (elapsed < 2500) return static_cast<float>(2500 - elapsed) / 1000.0f;
    return 0.0f;
}

// ---- processing ----

int32_t KV_INSIDECHECKPOINT(int32_t i) {
    const CHECKPOINTTYPE* c = mo_checkpoint(i);
    if (!c) return 0;
    const float r = (c->CLASS == 0 && i != 0) ? 1.0f : 2.0f;
    const KVGLOBALSTYPE& g = KVGLOBALS;
    return (std::fabs(c->POSITION.X - g.PLAYERX) < r && std::fabs(c->POSITION.Z - g.PLAYERZ) < r) ? 1 : 0;
}

int32_t kv_inside_checkpoint_first() {
    const int32_t n = mo_checkpoint_count();
    for (int32_t i = 0; i < n; ++i)
        if (KVGLOBALS.CHECKPOINTDATA[static_cast<size_t>(i)].ACTIVE == 1 && KV_INSIDECHECKPOINT(i)) return i;
    return -1;
}

void KV_MISSION_PROCESS_AIRDROPS() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const PROFILETYPE* p = mo_profile();
    if (!p) return;
    const int32_t M = p->MISSIONNUM, k = p->OBJECTIVENUM;
    const int32_t now = platform_clock_ms();
    const int32_t n = mo_airdrop_count();
    for (int32_t i = 0; i < n; ++i) {
        AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(i)];
        CHECKPOINTTYPE* marker = mo_crate_marker(a);
        if (a.ACTIVE == 0) {
            if (!mo_airdrop_released(a, M, k)) continue;
            a.CHUTEFADE = 0.8f;
            glide(a, FPSR);
        } else if (a.ACTIVE == 1) {
            a.CHUTEFADE -= 0.05f * FPSR;
            if (a.CHUTEFADE < 0.0f) {
                a.CHUTEFADE = 0.0f;
                a.ACTIVE = 2;
                if (a.PICKUPABLE == 1) {
                    a.PICKUPFLAG = 1;
                    if (marker) marker->ACTIVE = 1;
                }
            }
        } else if (a.ACTIVE == 2) {
            switch (a.PICKUPFLAG) {
            case 1:
                // A crate without a marker in the table cannot be found, so it is never winched.
                if (marker && KV_INSIDECHECKPOINT(a.CHECKPOINTID) && g.PICKUPDROPOFFFLAG == 1) {
                    a.PICKUPFLAG = 2;
                    a.ZIPLINEDATA.STARTDOWN = now;
                }
                break;
            case 2:
                g.LOCKPHYSICSMIN = 1;
                if (marker) marker->VISIBLE = 0;
                a.MODPOSITIONY = 0.0f;
                if (since(now, a.ZIPLINEDATA.STARTDOWN) >= 2500) a.PICKUPFLAG = 3;
                break;
            case 3:
                if (marker) marker->ACTIVE = 0;
                g.TRIGGERPOWERUP = a.PAYLOAD;
                a.PICKUPFLAG = 4;
                break;
            default:
                break;
            }
        }
    }
}

void KV_MISSION_PROCESS_CHECKPOINTS() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t n = mo_checkpoint_count();
    if (n < 1) return;
    g.CHECKPOINTDATA[0].ACTIVE = 1;
    const PROFILETYPE* p = mo_profile();
    const int32_t M = p ? p->MISSIONNUM : -1, k = p ? p->OBJECTIVENUM : -1;
    bool refuelled = false;
    for (int32_t i = 1; i < n; ++i) {
        CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(i)];
        if (c.CLASS != 1 && c.CLASS != 2) continue;  // crate markers follow their crate
        // Pads and the base of the current mission work from their objective on; copies the
        // other mission files declare for the same places stay off.
        c.ACTIVE = (c.MISSION == M && c.OBJECTIVE <= k) ? 1 : 0;
        if (c.ACTIVE != 1 || !KV_INSIDECHECKPOINT(i)) continue;
        g.LOCKLANDING = 0;
        if (!(g.GUNSHIPLANDRATIO == 0.0f && g.GUNSHIPLANDED == 1)) continue;
        if (c.CLASS == 1) {
            if (!refuelled) KV_REFUEL();
            refuelled = true;
        } else if (p) {
            const int32_t offered = g_new_research_source ? g_new_research_source() : 0;
            g.EXITCODE = (offered != 0 && p->RESEARCHINGTECHNOLOGY < 0) ? 6 : 5;
        }
    }
    // Ring height, visibility, arrow and spin.
    const float hover = g.MAPSCALE * g.GUNSHIPHOVERY;
    for (int32_t i = 0; i < n; ++i) {
        CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(i)];
        c.POSITION.Y = KV_FINDMAPY(c.POSITION.X, c.POSITION.Z) + hover;
        const float dx = c.POSITION.X - g.PLAYERX, dz = c.POSITION.Z - g.PLAYERZ;
        const float d = std::sqrt(dx * dx + dz * dz);
        if (i == 0) {
            c.POINTERFADE += (d <= 20.0f ? -0.1f : 0.1f) * FPSR;
            c.POINTERFADE = clamp01(c.POINTERFADE);
        }
        // A check point that does not work fades out, whatever state it was saved with.
        if (i == 0 || c.ACTIVE == 1) c.VISIBLE = d < ((c.CLASS == 0 && i != 0) ? 10.0f : 30.0f) ? 1 : 0;
        else c.VISIBLE = 0;
        c.ANGLE = std::fmod(c.ANGLE + FPSR, 360.0f);
    }
    // A crate being winched hides its marker.
    const int32_t drops = mo_airdrop_count();
    for (int32_t i = 0; i < drops; ++i) {
        const AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(i)];
        if (a.ACTIVE == 2 && a.PICKUPFLAG == 2)
            if (CHECKPOINTTYPE* m = mo_crate_marker(a)) m->VISIBLE = 0;
    }
    for (int32_t i = 0; i < n; ++i) {
        CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(i)];
        c.FADE = clamp01(c.FADE + (c.VISIBLE == 0 ? -0.1f : 0.1f) * FPSR);
    }
}

void KV_REFUEL() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    PROFILETYPE* p = mo_profile();
    if (!p) return;
    g.REFUELING = 1;
    g.ZIPLINEZOOMENABLED = 1;
    if (p->FUEL < 1.0f) {
        g.LOADINGTEXT = "Refueling";
        g.LOADINGPROGRESS = p->FUEL;
        p->FUEL += 0.002f * FPSR;
        if (p->FUEL > 1.0f) p->FUEL = 1.0f;
    } else if (p->VT90S < 9999) {
        g.LOADINGTEXT = "Loading VT90mm Rounds";
        g.LOADINGPROGRESS = static_cast<float>(p->VT90S) / 9999.0f;
        int32_t add = static_cast<int32_t>(std::nearbyint(50.0f * FPSR));
        if (add < 50) add = 50;
        p->VT90S = (p->VT90S > 9999 - add) ? 9999 : p->VT90S + add;
    } else if (p->ROCKETS < p->TAILPODMAX) {
        g.LOADINGTEXT = "Loading Rockets";
        g.LOADINGPROGRESS = p->TAILPODMAX > 0 ? static_cast<float>(p->ROCKETS) / static_cast<float>(p->TAILPODMAX) : 1.0f;
        p->ROCKETS += 1;
        if (p->ROCKETS > p->TAILPODMAX) p->ROCKETS = p->TAILPODMAX;
    } else if (p->ARMOUR < 1.0f) {
        g.LOADINGTEXT = "Repairing Armour";
        g.LOADINGPROGRESS = p->ARMOUR;
        p->ARMOUR += 0.001f * FPSR;
        if (p->ARMOUR > 1.0f) p->ARMOUR = 1.0f;
    } else {
        g.GUNSHIPLANDED = 0;
        return;
    }
    g.LOADINGACTIVE = 1;
}

void KV_MISSION_PROCESS_ZIPLINES() {
    OBJECTIVETYPE* o = mo_current_objective();
    if (!o || !mo_is_zipline_goal(*o)) return;
    process_zipline(*o, platform_clock_ms());
}

bool kv_zipline_objective_finished() {
    const OBJECTIVETYPE* o = mo_current_objective();
    return o && mo_is_zipline_goal(*o) && o->ZIPLINE_STATUS == ZIPLINE_FINISHED;
}

void KV_USWRUNNER_ADD(int32_t i, float x0, float z0, float x1, float z1) {
    if (i < 0 || i >= USWRUNNER_SLOTS) return;
    KVGLOBALSTYPE& g = KVGLOBALS;
    USWRUNNDERTYPE& r = g.USWRUNNER[i];
    const float lift = 5.0f * g.MAPSCALE;
    r.POSITION = VECTOR3D{x0, KV_FINDMAPY(x0, z0) + lift, z0};
    r.DEST = VECTOR3D{x1, KV_FINDMAPY(x1, z1) + lift, z1};
    const float dx = x1 - x0, dz = z1 - z0;
    const float len = std::sqrt(dx * dx + dz * dz);
    r.VECTOR = len > 0.0f ? VECTOR3D{dx / len, 0.0f, dz / len} : VECTOR3D{};
    r.ACTIVE = 1;
    r.ANGLE = static_cast<float>(std::atan2(r.VECTOR.X, r.VECTOR.Z) * 180.0 / 3.14159);
}

void KV_USWRUNNER_UPDATE() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const float lift = 5.0f * g.MAPSCALE;
    for (USWRUNNDERTYPE& r : g.USWRUNNER) {
        if (r.ACTIVE != 1) continue;
        const float rx = r.DEST.X - r.POSITION.X, rz = r.DEST.Z - r.POSITION.Z;
        const float remaining = std::sqrt(rx * rx + rz * rz);
        const float step = 0.1f * FPSR;
        const float oldz = r.POSITION.Z;
        if (step >= remaining) {
            // The last step lands on the target instead of passing it.
            r.POSITION.X = r.DEST.X;
            r.POSITION.Z = r.DEST.Z;
        } else {
            r.POSITION.X += step * r.VECTOR.X;
            r.POSITION.Z += step * r.VECTOR.Z;
        }
        const float ground = KV_FINDMAPY(r.POSITION.X, oldz) + lift;
        float f = 0.1f * FPSR;
        if (f > 1.0f) f = 1.0f;
        r.POSITION.Y += (ground - r.POSITION.Y) * f;
        if (std::fabs(r.DEST.Z - r.POSITION.Z) < 1.0f && std::fabs(r.DEST.X - r.POSITION.X) < 1.0f) r.ACTIVE = 2;
    }
}

void kv_set_new_research_count_source(int32_t (*source)()) { g_new_research_source = source; }

void kv_mission_objects_start(int32_t M) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (M >= 0 && M < MISSION_SLOTS)
        for (OBJECTIVETYPE& o : g.MISSIONDATA[M].OBJECTIVE) {
            o.ZIPLINE_STATUS = 0;
            o.ZIPLINE_STARTDOWN = 0;
            o.ZIPLINE_TIMER_START = 0;
            for (int32_t& t : o.ZIPLINE_STARTUP) t = 0;
        }
    reset_runners();
    g.TRIGGEREXPLOSION = 0;
    g.EXPLOSIONTIME = 0;
    g.NFIREBALLS = 0;
    g.FIRSTFIREBALL = 0;
    g.TRIGGERPOWERUP = 0;
    g.POWERUP = 0;
    g.POWERUPFADE = 0.0f;
    g.LOADINGACTIVE = 0;
    g.LOADINGALPHA = 0.0f;
    g.REFUELING = 0;
    g.LOCKPHYSICSMIN = 0;
}

std::string kv_mission_objects_trace() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const PROFILETYPE* p = mo_profile();
    std::string out = " airdrops=" + std::to_string(g.AIRDROPCOUNT) + " crates=";
    bool any = false;
    const int32_t drops = mo_airdrop_count();
    for (int32_t i = 0; i < drops; ++i) {
        const AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(i)];
        if (!p || a.MISSION != p->MISSIONNUM) continue;
        if (any) out += ',';
        out += std::to_string(a.ACTIVE) + "." + std::to_string(a.PICKUPFLAG);
        any = true;
    }
    if (!any) out += '-';
    out += " cps=" + std::to_string(g.CHECKPOINTCOUNT) + " cpon=";
    any = false;
    const int32_t cps = mo_checkpoint_count();
    for (int32_t i = 0; i < cps; ++i) {
        if (g.CHECKPOINTDATA[static_cast<size_t>(i)].ACTIVE != 1) continue;
        if (any) out += ',';
        out += std::to_string(i);
        any = true;
    }
    if (!any) out += '-';
    const OBJECTIVETYPE* o = mo_current_objective();
    int32_t walking = 0, arrived = 0;
    for (const USWRUNNDERTYPE& r : g.USWRUNNER) {
        walking += r.ACTIVE == 1;
        arrived += r.ACTIVE == 2;
    }
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  " inside=%d locklanding=%d pickup=%d lockmin=%d refuel=%d zip=%d runners=%d/%d uswsf=%d eng=%d fcp=%d",
                  kv_inside_checkpoint_first(), g.LOCKLANDING, g.PICKUPDROPOFFFLAG, g.LOCKPHYSICSMIN, g.REFUELING,
                  o ? o->ZIPLINE_STATUS : 0, walking, arrived, p ? p->USWSF : 0, p ? p->ENGINEERS : 0,
                  p ? p->FCPKIT : 0);
    out += buf;
    return out;
}
