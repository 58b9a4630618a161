// The demo pilot (see autopilot.h). Flight is steered by feedback: every frame the pilot
// compares where the gunship is and how it moves with where it should be, and holds the
// controls that close the gap. Nothing here depends on a route, a seed or the frame step.
#include "game/autopilot.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "config/control_codes.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "game/missionobjects.h"
#include "platform/clock.h"
#include "platform/input.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTopSpeed = 0.024f;       // units per ms the pilot asks for at most
constexpr float kApproachGain = 0.0016f;  // asked speed per unit of distance
constexpr float kSpeedDeadBand = 0.0012f; // speed error ignored, units per ms
constexpr float kRoundDrop = 0.297f;      // height the cannon rounds lose per unit of way
constexpr float kFireRange = 16.0f;
constexpr float kFireCone = 9.0f;         // degrees off the target the guns still fire
constexpr float kLowFuel = 0.3f;
constexpr int32_t kLowRounds = 300;
constexpr int32_t kPressGapMs = 450;      // between presses of a toggle control
constexpr int32_t kCrateGiveUpMs = 45000; // trying to winch one crate

struct FlightMemory {
    int32_t last_land_press = -100000;
    int32_t last_switch_press = -100000;
    bool refuelling = false;
    bool was_landed = false;
    // Attack watch: a target whose health stops falling under fire calls for another approach.
    int32_t target = -1;
    float target_health = 0.0f;
    int32_t target_hit_at = 0;
    int32_t approach = 0;
    // Crate watch: a crate that cannot be winched for a long while is left (they are a bonus).
    int32_t crate = -1;
    int32_t crate_since = 0;
    uint64_t crates_left = 0;
};


// ---- route over the city map ----
//
// Walls stop the gunship, so the pilot keeps a distance field to its goal over the map grid:
// a breadth-first walk from the goal cell through cells whose surroundings (the gunship's probe
// circle) are free. Following the field downhill from the gunship's cell leads round every
// wall. The arrays are fixed; a new field is walked only when the goal moves to another cell.
constexpr int32_t kSide = 513;
constexpr int32_t kCells = kSide * kSide;
constexpr int32_t kUnreached = INT32_MAX;

struct RouteField {
    bool blocked_ready = false;
    const int32_t* map_data = nullptr;
    bool blocked[kCells];
    int32_t dist[kCells];
    int32_t queue[kCells];
    int32_t goal_cell = -1;
};
RouteField g_route;

int32_t cell_of(float x, float z) {
    const int32_t cx = static_cast<int32_t>(std::floor(x)), cz = static_cast<int32_t>(std::floor(z));
    if (cx < 0 || cz < 0 || cx >= kSide || cz >= kSide) return -1;
    return cz * kSide + cx;
}

// Cells the gunship's probe circle cannot cover without touching a wall.
void build_blocked() {
    const std::vector<int32_t>& map = KVGLOBALS.CITYMAP;
    RouteField& r = g_route;
    r.map_data = map.data();
    r.blocked_ready = true;
    r.goal_cell = -1;
    for (int32_t c = 0; c < kCells; ++c) r.blocked[c] = false;
    if (map.size() < static_cast<size_t>(kCells)) return;
    for (int32_t cz = 0; cz < kSide; ++cz)
        for (int32_t cx = 0; cx < kSide; ++cx) {
            if (!flight_cell_solid(static_cast<float>(cx) + 0.5f, static_cast<float>(cz) + 0.5f)) continue;
            for (int32_t dz = -2; dz <= 2; ++dz)
                for (int32_t dx = -2; dx <= 2; ++dx) {
                    if (dx * dx + dz * dz > 5) continue;
                    const int32_t x = cx + dx, z = cz + dz;
                    if (x >= 0 && z >= 0 && x < kSide && z < kSide) r.blocked[z * kSide + x] = true;
                }
        }
}

void walk_field(int32_t goal) {
    RouteField& r = g_route;
    r.goal_cell = goal;
    for (int32_t c = 0; c < kCells; ++c) r.dist[c] = kUnreached;
    int32_t head = 0, tail = 0;
    r.dist[goal] = 0;
    r.queue[tail++] = goal;
    while (head < tail) {
        const int32_t c = r.queue[head++];
        const int32_t cx = c % kSide, cz = c / kSide;
        for (int32_t dz = -1; dz <= 1; ++dz)
            for (int32_t dx = -1; dx <= 1; ++dx) {
                const int32_t x = cx + dx, z = cz + dz;
                if ((dx == 0 && dz == 0) || x < 0 || z < 0 || x >= kSide || z >= kSide) continue;
                const int32_t n = z * kSide + x;
                if (r.dist[n] != kUnreached) continue;
                // Leaving a blocked goal is allowed; entering a blocked cell is not.
                if (r.blocked[n]) continue;
                r.dist[n] = r.dist[c] + 1;
                r.queue[tail++] = n;
            }
    }
}

// True when the straight line from (x0, z0) to (x1, z1) crosses no blocked cell.
bool line_clear(float x0, float z0, float x1, float z1) {
    const float dx = x1 - x0, dz = z1 - z0;
    const float len = std::sqrt(dx * dx + dz * dz);
    const int32_t steps = static_cast<int32_t>(len / 0.4f) + 1;
    for (int32_t i = 1; i < steps; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(steps);
        const int32_t c = cell_of(x0 + dx * t, z0 + dz * t);
        if (c >= 0 && g_route.blocked[c]) return false;
    }
    return true;
}

// Where to head for on the way to (x, z): the goal itself when the way is clear, otherwise a
// point some cells down the distance field.
void route_point(float x, float z, float& wx, float& wz) {
    wx = x;
    wz = z;
    const KVGLOBALSTYPE& g = KVGLOBALS;
    if (!g_route.blocked_ready || g_route.map_data != g.CITYMAP.data()) build_blocked();
    if (line_clear(g.PLAYERX, g.PLAYERZ, x, z)) return;
    const int32_t goal = cell_of(x, z);
    int32_t at = cell_of(g.PLAYERX, g.PLAYERZ);
    if (goal < 0 || at < 0) return;
    if (goal != g_route.goal_cell) walk_field(goal);
    // From a cell the field does not reach (the gunship grazing a wall), the best neighbour.
    if (g_route.dist[at] == kUnreached) {
        int32_t best = -1;
        for (int32_t dz = -3; dz <= 3; ++dz)
            for (int32_t dx = -3; dx <= 3; ++dx) {
                const int32_t c = at + dz * kSide + dx;
                if (c < 0 || c >= kCells) continue;
                if (g_route.dist[c] != kUnreached && (best < 0 || g_route.dist[c] < g_route.dist[best])) best = c;
            }
        if (best < 0) return;
        at = best;
    }
    // Walk downhill; keep the farthest cell still in plain sight.
    int32_t c = at, seen = at;
    for (int32_t step = 0; step < 40 && g_route.dist[c] > 0; ++step) {
        const int32_t cx = c % kSide, cz = c / kSide;
        int32_t next = c;
        for (int32_t dz = -1; dz <= 1; ++dz)
            for (int32_t dx = -1; dx <= 1; ++dx) {
                const int32_t nx = cx + dx, nz = cz + dz;
                if (nx < 0 || nz < 0 || nx >= kSide || nz >= kSide) continue;
                const int32_t n = nz * kSide + nx;
                if (g_route.dist[n] < g_route.dist[next]) next = n;
            }
        if (next == c) break;
        c = next;
        const float px = static_cast<float>(c % kSide) + 0.5f, pz = static_cast<float>(c / kSide) + 0.5f;
        if (line_clear(g.PLAYERX, g.PLAYERZ, px, pz)) seen = c;
        else if (step > 3) break;
    }
    wx = static_cast<float>(seen % kSide) + 0.5f;
    wz = static_cast<float>(seen / kSide) + 0.5f;
    if (g_route.dist[seen] == 0) {
        wx = x;
        wz = z;
    }
}

FlightMemory g_mem;
bool g_active = false;
PilotPhase g_phase = PilotPhase::MENU;
PilotMenuStep g_menu_step = nullptr;
int32_t (*g_research_source)() = nullptr;

PROFILETYPE* profile_now() {
    const int32_t p = KVGLOBALS.CURPROFILE;
    return (p >= 0 && p < PROFILE_SLOTS) ? &KVGLOBALS.PROFILES[p] : nullptr;
}

const OBJECTIVETYPE* objective_now(const PROFILETYPE& p) {
    if (p.MISSIONNUM < 0 || p.MISSIONNUM >= MISSION_SLOTS) return nullptr;
    if (p.OBJECTIVENUM < 0 || p.OBJECTIVENUM >= OBJECTIVE_SLOTS) return nullptr;
    return &KVGLOBALS.MISSIONDATA[p.MISSIONNUM].OBJECTIVE[p.OBJECTIVENUM];
}

float wrap_degrees(float a) {
    while (a > 180.0f) a -= 360.0f;
    while (a < -180.0f) a += 360.0f;
    return a;
}

// The heading (degrees) whose nose points from the gunship along (dx, dz): the nose of
// heading a points along (-cos a, -sin a).
float heading_towards(float dx, float dz) { return std::atan2(-dz, -dx) * 180.0f / kPi; }

bool elapsed(int32_t now, int32_t since, int32_t ms) {
    return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(since)) >= ms;
}

// Turns the nose towards `heading`, leading by the turn rate so the nose stops on it.
void steer_heading(float heading, PilotControls& out) {
    const PHYSICSOBJECTTYPE& po = KVGLOBALS.GUNSHIPPO;
    const float lead = std::isfinite(po.ANGULARVELOCITY) ? po.ANGULARVELOCITY * 220.0f : 0.0f;
    const float err = wrap_degrees(heading - po.ANGLE) - lead;
    if (err > 2.0f) out.VALUE[FLIGHT_ROTATE_RIGHT] = 1.0f;
    else if (err < -2.0f) out.VALUE[FLIGHT_ROTATE_LEFT] = 1.0f;
}

// Holds thrust, reverse and strafe so the gunship's velocity follows the asked one (units per
// ms, world axes).
void steer_velocity(float want_x, float want_z, PilotControls& out) {
    const PHYSICSOBJECTTYPE& po = KVGLOBALS.GUNSHIPPO;
    const float ex = want_x - po.LINEARVELOCITY.X;
    const float ez = want_z - po.LINEARVELOCITY.Z;
    const float a = po.ANGLE * kPi / 180.0f;
    const float fx = -std::cos(a), fz = -std::sin(a);  // nose
    const float rx = std::sin(a), rz = -std::cos(a);   // strafe right
    const float ef = ex * fx + ez * fz;
    const float er = ex * rx + ez * rz;
    if (ef > kSpeedDeadBand) out.VALUE[FLIGHT_THRUST] = 1.0f;
    else if (ef < -kSpeedDeadBand) out.VALUE[FLIGHT_REVERSE] = 1.0f;
    if (er > kSpeedDeadBand) out.VALUE[FLIGHT_STRAFE_RIGHT] = 1.0f;
    else if (er < -kSpeedDeadBand) out.VALUE[FLIGHT_STRAFE_LEFT] = 1.0f;
}

// Flies towards (x, z) round the walls and comes to rest there; faces the way it flies while
// far from the goal unless a heading is given. Returns the straight distance left.
float fly_to(float x, float z, PilotControls& out, const float* face = nullptr) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const float d = std::hypot(x - g.PLAYERX, z - g.PLAYERZ);
    float gx = x, gz = z;
    route_point(x, z, gx, gz);
    const bool routed = gx != x || gz != z;
    const float dx = gx - g.PLAYERX, dz = gz - g.PLAYERZ;
    const float dd = std::sqrt(dx * dx + dz * dz);
    // Round a corner at a moderate speed; straight at the goal, slow down as it nears.
    float speed = routed ? kTopSpeed * 0.55f : dd * kApproachGain;
    if (speed > kTopSpeed) speed = kTopSpeed;
    const float wx = dd > 1e-4f ? dx / dd * speed : 0.0f;
    const float wz = dd > 1e-4f ? dz / dd * speed : 0.0f;
    steer_velocity(wx, wz, out);
    if (face) steer_heading(*face, out);
    else if (dd > 4.0f) steer_heading(heading_towards(dx, dz), out);
    return d;
}

float speed_now() {
    const PHYSICSOBJECTTYPE& po = KVGLOBALS.GUNSHIPPO;
    return std::sqrt(po.LINEARVELOCITY.X * po.LINEARVELOCITY.X + po.LINEARVELOCITY.Z * po.LINEARVELOCITY.Z);
}

// One press of the land/activate control, spaced so every press is seen as its own.
void press_land(int32_t now, PilotControls& out) {
    if (!elapsed(now, g_mem.last_land_press, kPressGapMs)) return;
    g_mem.last_land_press = now;
    out.VALUE[FLIGHT_LAND] = 1.0f;
}

// Hovers over (x, z) until still inside `radius`, then presses activate.
void hover_and_activate(float x, float z, float radius, int32_t now, PilotControls& out) {
    fly_to(x, z, out);
    const KVGLOBALSTYPE& g = KVGLOBALS;
    // The game's test is a square; a wall beside the marker may keep the gunship off its middle.
    if (std::fabs(x - g.PLAYERX) < radius && std::fabs(z - g.PLAYERZ) < radius && speed_now() < 0.004f)
        press_land(now, out);
}

// The nearest fuel pad working now, or -1.
int32_t nearest_pad() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t n = static_cast<int32_t>(g.CHECKPOINTDATA.size()) < g.CHECKPOINTCOUNT
                          ? static_cast<int32_t>(g.CHECKPOINTDATA.size())
                          : g.CHECKPOINTCOUNT;
    int32_t best = -1;
    float best_d = 1e30f;
    for (int32_t i = 1; i < n; ++i) {
        const CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(i)];
        if (c.CLASS != 1 || c.ACTIVE != 1) continue;
        const float dx = c.POSITION.X - g.PLAYERX, dz = c.POSITION.Z - g.PLAYERZ;
        const float d = dx * dx + dz * dz;
        if (d < best_d) {
            best_d = d;
            best = i;
        }
    }
    return best;
}

// True when the research under way is finished and waits on the base to be installed.
bool research_due(const PROFILETYPE& p) {
    const int32_t k = p.RESEARCHINGTECHNOLOGY;
    if (k < 0 || k >= TECHNOLOGY_SLOTS - 1) return false;
    const int64_t due = int64_t{p.RESEARCHINGTECHNOLOGYSTARTMISSION} + KVGLOBALS.TECHNOLOGYDATA[k].TIMETORESEARCH;
    return due <= p.MISSIONNUM;
}

// The research base of this mission working now, or -1.
int32_t research_base() {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t n = static_cast<int32_t>(g.CHECKPOINTDATA.size()) < g.CHECKPOINTCOUNT
                          ? static_cast<int32_t>(g.CHECKPOINTDATA.size())
                          : g.CHECKPOINTCOUNT;
    for (int32_t i = 1; i < n; ++i) {
        const CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(i)];
        if (c.CLASS == 2 && c.ACTIVE == 1) return i;
    }
    return -1;
}

// A crate of this mission on the ground waiting for the winch (or being winched), or -1.
int32_t crate_to_winch(int32_t mission, bool& winching) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t n = static_cast<int32_t>(g.AIRDROPDATA.size()) < g.AIRDROPCOUNT
                          ? static_cast<int32_t>(g.AIRDROPDATA.size())
                          : g.AIRDROPCOUNT;
    const int32_t ncp = static_cast<int32_t>(g.CHECKPOINTDATA.size());
    int32_t best = -1;
    float best_d = 1e30f;
    for (int32_t i = 0; i < n; ++i) {
        const AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(i)];
        if (a.MISSION != mission || a.ACTIVE != 2) continue;
        if (a.CHECKPOINTID < 1 || a.CHECKPOINTID >= ncp || a.CHECKPOINTID >= g.CHECKPOINTCOUNT) continue;
        if (a.PICKUPFLAG == 2) {
            winching = true;
            return i;
        }
        if (a.PICKUPFLAG != 1) continue;
        if (i < 64 && (g_mem.crates_left >> i) & 1u) continue;
        const CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(a.CHECKPOINTID)];
        const float dx = c.POSITION.X - g.PLAYERX, dz = c.POSITION.Z - g.PLAYERZ;
        const float d = dx * dx + dz * dz;
        if (d < best_d) {
            best_d = d;
            best = i;
        }
    }
    winching = false;
    return best;
}

// The nearest live enemy of slots start..end, or -1; `near_count` says how many live ones of the
// range stand within 5 units of it.
int32_t nearest_enemy(int32_t start, int32_t end, int32_t& near_count) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    if (start < 0) start = 0;
    if (end > ENEMY_SLOTS - 1) end = ENEMY_SLOTS - 1;
    int32_t best = -1;
    float best_d = 1e30f;
    for (int32_t i = start; i <= end; ++i) {
        const ENEMYTYPE& e = g.ENEMIES[i];
        if (e.ACTIVE != 1) continue;
        const float dx = e.POSITION.X - g.PLAYERX, dz = e.POSITION.Z - g.PLAYERZ;
        const float d = dx * dx + dz * dz;
        if (d < best_d) {
            best_d = d;
            best = i;
        }
    }
    near_count = 0;
    if (best >= 0) {
        const VECTOR3D& t = g.ENEMIES[best].POSITION;
        for (int32_t i = start; i <= end; ++i) {
            const ENEMYTYPE& e = g.ENEMIES[i];
            if (e.ACTIVE == 1 && std::fabs(e.POSITION.X - t.X) < 5.0f && std::fabs(e.POSITION.Z - t.Z) < 5.0f)
                ++near_count;
        }
    }
    return best;
}

PilotPhase attack(const PROFILETYPE& p, const OBJECTIVETYPE& o, int32_t now, PilotControls& out) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    int32_t cluster = 0;
    const int32_t target = nearest_enemy(o.KILLRANGESTART, o.KILLRANGEEND, cluster);
    if (target < 0) {
        fly_to(o.KILLZONEX, o.KILLZONEZ, out);
        return PilotPhase::TRAVEL;
    }
    const VECTOR3D& t = g.ENEMIES[target].POSITION;
    const float dx = t.X - g.PLAYERX, dz = t.Z - g.PLAYERZ;
    const float d = std::sqrt(dx * dx + dz * dz);
    if (d > 30.0f) {
        fly_to(t.X, t.Z, out);
        return PilotPhase::TRAVEL;
    }
    // Feedback on the hits: when the target's health has not fallen for a while, try the next
    // approach (closer, farther, rockets first).
    const ENEMYTYPE& e = g.ENEMIES[target];
    if (target != g_mem.target || e.HEALTH < g_mem.target_health) {
        if (target != g_mem.target) g_mem.approach = 0;
        g_mem.target = target;
        g_mem.target_hit_at = now;
    } else if (elapsed(now, g_mem.target_hit_at, 3000)) {
        g_mem.approach = (g_mem.approach + 1) % 4;
        g_mem.target_hit_at = now;
    }
    g_mem.target_health = e.HEALTH;

    // The guns point down a little: stand off where the rounds come down to the target's
    // height, nose on the target.
    float standoff = (g.PLAYERY + 0.45f - (t.Y + 1.0f)) / kRoundDrop;
    if (!(standoff > 1.5f)) standoff = 1.5f;
    if (standoff > 11.0f) standoff = 11.0f;
    if (g_mem.approach == 1) standoff *= 0.5f;
    if (g_mem.approach == 3) standoff = standoff * 1.5f + 2.0f;
    const float ux = d > 1e-3f ? dx / d : 1.0f, uz = d > 1e-3f ? dz / d : 0.0f;
    const float face = heading_towards(dx, dz);
    fly_to(t.X - ux * standoff, t.Z - uz * standoff, out, &face);

    // Rockets for a group, or when the rounds do not tell; the cannon otherwise.
    const bool rockets = p.ROCKETS > 0 && p.ROCKETTYPE > 0 && (cluster >= 2 || g_mem.approach >= 2);
    const int32_t want = rockets ? 1 : 0;
    if (p.SELECTEDWEAPON != want) {
        if (elapsed(now, g_mem.last_switch_press, kPressGapMs)) {
            g_mem.last_switch_press = now;
            out.VALUE[FLIGHT_NEXT] = 1.0f;
        }
        return PilotPhase::ATTACK;
    }
    const float off = std::fabs(wrap_degrees(face - g.GUNSHIPPO.ANGLE));
    if (off < kFireCone && d < kFireRange) out.VALUE[FLIGHT_USE] = 1.0f;
    return PilotPhase::ATTACK;
}

}  // namespace

const char* autopilot_phase_name(PilotPhase phase) {
    switch (phase) {
        case PilotPhase::MENU: return "menu";
        case PilotPhase::TRAVEL: return "travel";
        case PilotPhase::ATTACK: return "attack";
        case PilotPhase::WINCH: return "winch";
        case PilotPhase::REFUEL: return "refuel";
        case PilotPhase::RESEARCH: return "research";
        case PilotPhase::ZIPLINE: return "zipline";
        case PilotPhase::LAND: return "land";
    }
    return "menu";
}

void autopilot_flight_reset() { g_mem = FlightMemory{}; }

PilotPhase autopilot_flight_step(int32_t now, const PilotFlightOptions& opt, PilotControls& out) {
    out = PilotControls{};
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const PROFILETYPE* p = profile_now();
    if (g.MISSIONSTARTED == 0 || !p) return PilotPhase::MENU;
    const OBJECTIVETYPE* o = objective_now(*p);

    // On the ground: a pad refuels and lets go by itself; anywhere else take off again.
    if (g.GUNSHIPLANDED != 0) {
        g_mem.was_landed = true;
        const int32_t under = kv_inside_checkpoint_first();
        const bool on_base = under > 0 && under < static_cast<int32_t>(g.CHECKPOINTDATA.size()) &&
                             g.CHECKPOINTDATA[static_cast<size_t>(under)].CLASS == 2;
        if (on_base && opt.use_research_base) return PilotPhase::RESEARCH;
        if (g.REFUELING != 0 || g.GUNSHIPLANDRATIO > 0.0f) return PilotPhase::REFUEL;
        press_land(now, out);
        return PilotPhase::LAND;
    }
    if (g_mem.was_landed) {
        g_mem.was_landed = false;
        g_mem.refuelling = false;
    }

    // A zipline sequence under way keeps the gunship over the drop point.
    const bool zipline = o && (o->GOALTYPE == GT_ZIPLINE_DOWN || o->GOALTYPE == GT_ZIPLINE_DOWN_AND_UP);
    const int32_t zip = zipline ? o->ZIPLINE_STATUS : 0;
    if (zipline && zip > ZIPLINE_WAITING) {
        if (zip == ZIPLINE_ON_GROUND && g.LOADINGACTIVE == 0)
            hover_and_activate(o->ZIPLINE_SRC_X, o->ZIPLINE_SRC_Z, 1.5f, now, out);
        else if (zip == ZIPLINE_ON_GROUND)
            fly_to(o->ZIPLINE_SRC_X, o->ZIPLINE_SRC_Z, out);
        return PilotPhase::ZIPLINE;
    }

    // A crate on the winch: hold still until it is aboard.
    bool winching = false;
    const int32_t crate = crate_to_winch(p->MISSIONNUM, winching);
    if (winching) return PilotPhase::WINCH;

    // Low on fuel or rounds: the nearest pad.
    if (p->FUEL < kLowFuel || p->VT90S < kLowRounds) g_mem.refuelling = true;
    if (g_mem.refuelling) {
        const int32_t pad = nearest_pad();
        if (pad >= 0) {
            const CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(pad)];
            const float d = fly_to(c.POSITION.X, c.POSITION.Z, out);
            if (d < 1.2f && speed_now() < 0.004f && g.LOCKLANDING == 0) press_land(now, out);
            return PilotPhase::REFUEL;
        }
        g_mem.refuelling = false;
    }

    // Research offered, or finished and waiting to be installed: the base (campaign only;
    // landing there hands over to the menu's research pages).
    if (opt.use_research_base && ((opt.research_offered && p->RESEARCHINGTECHNOLOGY < 0) || research_due(*p))) {
        const int32_t base = research_base();
        if (base >= 0) {
            const CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(base)];
            const float d = fly_to(c.POSITION.X, c.POSITION.Z, out);
            if (d < 1.2f && speed_now() < 0.004f && g.LOCKLANDING == 0) press_land(now, out);
            return PilotPhase::RESEARCH;
        }
    }

    if (crate >= 0 && crate != g_mem.crate) {
        g_mem.crate = crate;
        g_mem.crate_since = now;
    }
    if (crate >= 0 && elapsed(now, g_mem.crate_since, kCrateGiveUpMs)) {
        if (crate < 64) g_mem.crates_left |= uint64_t{1} << crate;
        g_mem.crate = -1;
    } else if (crate >= 0) {
        const AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<size_t>(crate)];
        const CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<size_t>(a.CHECKPOINTID)];
        if (g.LOCKLANDING == 1) hover_and_activate(c.POSITION.X, c.POSITION.Z, 0.95f, now, out);
        else fly_to(c.POSITION.X, c.POSITION.Z, out);
        return PilotPhase::WINCH;
    }

    if (!o) return PilotPhase::TRAVEL;
    if (zipline) {
        hover_and_activate(o->ZIPLINE_SRC_X, o->ZIPLINE_SRC_Z, 1.5f, now, out);
        return PilotPhase::ZIPLINE;
    }
    if (o->GOALTYPE == GT_KILL_RANGE) return attack(*p, *o, now, out);
    if (o->GOALTYPE == GT_LAND_GUNSHIP) {
        const float d = fly_to(o->LANDGUNSHIP.X, o->LANDGUNSHIP.Z, out);
        if (d < 1.2f && speed_now() < 0.004f) press_land(now, out);
        return PilotPhase::LAND;
    }
    return PilotPhase::TRAVEL;
}

void autopilot_controls_to_input(const CONFIGVARTYPE& cfg, const PilotControls& controls, bool* keys,
                                 int32_t nkeys, PLATFORM_JOYSTATE* joys) {
    for (int32_t k = 0; k < nkeys; ++k) keys[k] = false;
    for (int32_t j = 0; j < PLATFORM_JOYSTICKS; ++j) joys[j] = PLATFORM_JOYSTATE{};
    const int32_t pad = (cfg.JOYSTICK >= 0 && cfg.JOYSTICK < PLATFORM_JOYSTICKS) ? cfg.JOYSTICK : 0;
    if (cfg.INPUTTYPE == 1) joys[pad].PRESENT = true;
    for (int32_t c = 0; c < CONFIG_NCONTROLS; ++c) {
        const float v = controls.VALUE[c];
        if (!(v > 0.0f)) continue;
        const CONTROLCODEINFO& info = control_code_info(cfg.CONTROL[c]);
        switch (info.KIND) {
            case ControlKind::KEY:
                if (info.GLFWKEY >= 0 && info.GLFWKEY < nkeys) keys[info.GLFWKEY] = true;
                break;
            case ControlKind::BUTTON:
                if (info.INDEX >= 0 && info.INDEX < 32) joys[pad].BUTTONS |= uint32_t{1} << info.INDEX;
                break;
            case ControlKind::AXIS:
                if (info.INDEX >= 0 && info.INDEX < PLATFORM_JOYAXES)
                    joys[pad].AXES[info.INDEX] = static_cast<float>(info.DIRECTION) * (v > 1.0f ? 1.0f : v);
                break;
            case ControlKind::NONE:
                break;
        }
    }
}

void autopilot_set_menu_step(PilotMenuStep step) { g_menu_step = step; }
void autopilot_set_research_source(int32_t (*offered)()) { g_research_source = offered; }

namespace {
bool g_mission_running = false;
bool g_leave_on_key = false;
bool g_leaving = false;

void provide(int64_t frame, bool* keys, int32_t nkeys, PLATFORM_JOYSTATE* joys) {
    PilotControls controls;
    if (kv_mission_loop_running()) {
        if (!g_mission_running) autopilot_flight_reset();
        g_mission_running = true;
        PilotFlightOptions opt;
        opt.use_research_base = g_menu_step != nullptr;
        opt.research_offered = g_research_source && g_research_source() != 0;
        g_phase = autopilot_flight_step(platform_clock_ms(), opt, controls);
        autopilot_controls_to_input(CONFIGVARS, controls, keys, nkeys, joys);
        if (g_leave_on_key && platform_input_source_any_key()) g_leaving = true;
        if (g_leaving && GLFW_KEY_ESCAPE < nkeys) {
            for (int32_t k = 0; k < nkeys; ++k) keys[k] = false;
            keys[GLFW_KEY_ESCAPE] = true;
        }
        return;
    }
    g_mission_running = false;
    autopilot_controls_to_input(CONFIGVARS, controls, keys, nkeys, joys);
    g_phase = g_menu_step ? g_menu_step(frame, keys, nkeys) : PilotPhase::MENU;
}
}  // namespace

void autopilot_set_leave_on_key(bool on) {
    g_leave_on_key = on;
    g_leaving = false;
}

void autopilot_start() {
    g_active = true;
    g_mission_running = false;
    autopilot_flight_reset();
    platform_input_use_provider(provide);
}

void autopilot_stop() {
    g_active = false;
    platform_input_use_provider(nullptr);
}

bool autopilot_active() { return g_active; }

const char* autopilot_phase_now() { return g_active ? autopilot_phase_name(g_phase) : "-"; }
