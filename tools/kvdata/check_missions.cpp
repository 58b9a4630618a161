// `kvdata check`, the campaign files: the mission files (entries, objectives, kill ranges, air
// drops and check points against the map and the enemy layout, a route estimate against the
// time limit) and the research catalogue (identifiers, prerequisites).
//
// A mission file is read twice over the same bytes: once entry by entry for what the text
// states (which fields each objective, air drop and check point was given, and wording the game
// would cut short or misread), and once by the game's own mission loader into the game's
// records, whose values every other check reads.
#include "check_common.h"

#include <set>

#include "game/kv_globals.h"
#include "game/mission.h"
#include "game/mission_types.h"
#include "game/missionobject_types.h"

namespace kvcheck {
namespace {

// A pilot's pace for the route estimate: half the gunship's top speed of about 27 units a second
// (turns, climbs and detours round buildings), ten seconds of shooting per infantry enemy, twenty
// seconds per crate; personnel walk 0.1 units a frame at 62.5 frames a second and leave the
// gunship 0.6 s apart. (A full tank lasts about 485 s; every mission declares a refuelling pad.)
constexpr double PACE = 13.5, SECONDS_PER_ENEMY = 10, SECONDS_PER_CRATE = 20, WALK = 6.25;
constexpr size_t BRIEFING_LINE = 64;  // characters of bitmap text that fit the menu window
constexpr int DECLARED_MAX = 100;     // records one NEW entry of our data may declare

// Class codes as the mission loader stores them (AIRDROPTYPE::CLASS, CHECKPOINTTYPE::CLASS).
constexpr int32_t DROP_BOX = 1;
constexpr int32_t CHECK_BOX = 0, CHECK_FUEL = 1, CHECK_TECH = 2;

// Personnel kinds in SUBTRACT slot order.
constexpr const char* PERSONNEL[5] = {"USWSF", "ENG", "HACKERS", "SPIES", "FCPKIT"};

// What the text of one mission file states, beyond the values the records keep: which fields
// were given at all, and the kill range as written (the loader refuses a slot outside the
// enemy table and keeps its old value).
struct StatedObjective {
    bool seen = false, range_start = false, range_end = false, zone_x = false, zone_z = false;
    bool zip_x = false, zip_z = false;
    int32_t start = 0, end = -1;
};
struct StatedDrop {
    bool objective = false, target = false;
    int marked_by = -1;  // the last check point whose CLASS entry names this drop
};
struct StatedCheck { bool objective = false, cls = false, xz = false; };
struct StatedMission {
    bool has_name = false, has_time = false;
    int last = -1, highest = -1;  // objective of the last objective entry; highest one named
    StatedObjective obj[OBJECTIVE_SLOTS];
    std::vector<StatedDrop> drops;
    std::vector<StatedCheck> checks;
};

// One entry of the file under scan: its field, its parts split at "//", and the report.
struct Entry {
    const std::string& name;
    const Field& f;
    const std::vector<std::string>& parts;
    Problems& p;
    std::string where() const { return "line " + std::to_string(f.line) + ": "; }
    void add(const std::string& what) const { p.add(name, where() + what); }
    std::string part(size_t k) const { return parts.size() > k ? parts[k] : ""; }
    // Part k as a number as our data should write it; false (reported) when absent or not one.
    bool num(size_t k, double& out) const {
        if (parts.size() <= k) {
            add("'" + f.text + "' lacks a value");
            return false;
        }
        bool ok = false;
        out = number(parts[k], ok);
        if (!ok) add("'" + parts[k] + "' is not a number");
        return ok;
    }
};

// NAME, LOCATION, the briefing texts and TIME_LIMIT.
void scan_mission_entry(const Entry& e, StatedMission& s) {
    const std::string& key = e.parts[0];
    if (key == "TIME_LIMIT") {
        double v = 0;
        if (e.num(1, v)) {
            s.has_time = true;
            if (v < 60) e.add("time limit " + e.parts[1] + " s is shorter than a minute");
        }
        return;
    }
    if (e.parts.size() < 2 || e.parts[1].empty()) e.add(key + " has no text");
    if (e.parts.size() > 2) e.add(key + " text holds '//', which cuts it short");
    if (key == "NAME") s.has_name = true;
    if (e.parts.size() > 1 && key != "NAME")
        for (const std::string& seg : explode(e.parts[1], "\\n"))
            if (seg.size() > BRIEFING_LINE)
                e.add(key + " has a line of " + std::to_string(seg.size()) + " characters, wider than the briefing window");
}

void scan_objective_entry(const Entry& e, StatedMission& s) {
    double n = -1, v = 0;
    if (!e.num(1, n)) return;
    if (n < 0 || n >= OBJECTIVE_SLOTS || n != std::floor(n)) {
        e.add("objective number " + e.parts[1] + " is outside 0-" + std::to_string(OBJECTIVE_SLOTS - 1));
        return;
    }
    const int o = static_cast<int>(n);
    s.last = o;
    s.highest = std::max(s.highest, o);
    StatedObjective& ob = s.obj[o];
    ob.seen = true;
    const std::string field = e.part(2);
    if (field == "NAME") {
        if (e.parts.size() > 4) e.add("objective name holds '//', which cuts it short");
    } else if (field == "GOAL") {
        static const std::set<std::string> goals = {"GT_KILL_RANGE", "GT_LAND_GUNSHIP", "GT_ZIPLINE_DOWN",
                                                    "GT_ZIPLINE_DOWN_AND_UP", "GT_ZIPLINE_UP"};
        if (!goals.count(e.part(3))) e.add("unknown goal '" + e.part(3) + "'");
    } else if (field == "KILL_RANGE_START") {
        if (e.num(3, v)) ob.start = whole(v), ob.range_start = true;
    } else if (field == "KILL_RANGE_END") {
        if (e.num(3, v)) ob.end = whole(v), ob.range_end = true;
    } else if (field == "KILL_ZONE_X") {
        ob.zone_x = e.num(3, v) || ob.zone_x;
    } else if (field == "KILL_ZONE_Z") {
        ob.zone_z = e.num(3, v) || ob.zone_z;
    } else if (field == "LAND_GUNSHIP_X" || field == "LAND_GUNSHIP_Z" || field == "ZIPLINE_WAIT") {
        if (e.num(3, v) && v < 0) e.add(field + " is negative");
    } else if (field == "ZIPLINE_X" || field == "ZIPLINE_Z") {
        double a = 0, b = 0;
        if (e.num(3, a) && e.num(4, b)) (field == "ZIPLINE_X" ? ob.zip_x : ob.zip_z) = true;
    } else if (field == "ZIPLINE_N") {
        if (e.num(3, v) && (whole(v) < 1 || whole(v) > ZIPLINE_PERSON_SLOTS))
            e.add("zipline team of " + e.parts[3] + " is outside 1-" + std::to_string(ZIPLINE_PERSON_SLOTS));
    } else if (field == "SUBTRACT") {
        if (std::find(std::begin(PERSONNEL), std::end(PERSONNEL), e.part(3)) == std::end(PERSONNEL))
            e.add("unknown personnel kind to subtract");
        else if (e.num(4, v) && v < 0)
            e.add("negative personnel count");
    } else {
        e.add("unknown objective field '" + field + "'");
    }
}

// The record an AIR_DROP or CHECKPOINT entry addresses among those the file declared so far;
// -1 (reported) otherwise. A NEW entry grows `count` and gives -1.
int declared_index(const Entry& e, size_t& count) {
    double v = -1;
    if (e.part(1) == "NEW") {
        if (e.num(2, v)) {
            if (v < 0 || v > DECLARED_MAX) e.add("declares " + e.parts[2] + " records");
            else count += static_cast<size_t>(v);
        }
        return -1;
    }
    if (!e.num(1, v)) return -1;
    if (v < 0 || v >= static_cast<double>(count) || v != std::floor(v)) {
        e.add(e.parts[0] + " " + e.parts[1] + " was not declared by a NEW entry before it");
        return -1;
    }
    return static_cast<int>(v);
}

void scan_air_drop_entry(const Entry& e, StatedMission& s) {
    size_t count = s.drops.size();
    const int i = declared_index(e, count);
    s.drops.resize(count);
    if (i < 0) return;
    StatedDrop& d = s.drops[static_cast<size_t>(i)];
    const std::string field = e.part(2), v = e.part(3);
    double a = 0, b = 0;
    if (field == "OBJECTIVE") {
        d.objective = e.num(3, a) || d.objective;
    } else if (field == "CLASS") {
        if (v != "CCG" && v != "BOX" && v != "CCG_E") e.add("unknown air drop class");
    } else if (field == "PAYLOAD") {
        if (v != "FUEL" && v != "RPG" && v != "VT90UP" && v != "ARMOUR") e.add("unknown payload");
    } else if (field == "TARGETXZ") {
        if (e.num(3, a) && e.num(4, b)) d.target = true;
    } else if (field == "PICKUP") {
        if (v != "YES" && v != "NO") e.add("PICKUP is neither YES nor NO");
    } else if (field == "CHUTE_SIZE") {
        if (v != "SMALL" && v != "MEDIUM" && v != "BIG") e.add("unknown parachute size");
    } else {
        e.add("unknown air drop field '" + field + "'");
    }
}

void scan_check_point_entry(const Entry& e, StatedMission& s) {
    size_t count = s.checks.size();
    const int i = declared_index(e, count);
    s.checks.resize(count);
    if (i < 0) return;
    StatedCheck& c = s.checks[static_cast<size_t>(i)];
    const std::string field = e.part(2);
    double a = 0, b = 0;
    if (field == "OBJECTIVE") {
        c.objective = e.num(3, a) || c.objective;
    } else if (field == "CLASS") {
        const std::string cls = e.part(3);
        if (cls == "BOX") {
            c.cls = true;
            if (!e.num(4, a)) return;
            if (a < 0 || a >= static_cast<double>(s.drops.size()) || a != std::floor(a)) {
                e.add("check point names air drop " + e.parts[4] + ", which is not declared");
                return;
            }
            // The drop keeps the last check point that named it; an earlier one never lights.
            StatedDrop& d = s.drops[static_cast<size_t>(a)];
            if (d.marked_by >= 0 && d.marked_by != i)
                e.add("air drop " + e.parts[4] + " is already marked by check point " + std::to_string(d.marked_by));
            d.marked_by = i;
        } else if (cls == "FUEL" || cls == "TECH") {
            c.cls = true;
        } else {
            e.add("unknown check point class '" + cls + "'");
        }
    } else if (field == "XZ") {
        if (e.num(3, a) && e.num(4, b)) c.xz = true;
    } else {
        e.add("unknown check point field '" + field + "'");
    }
}

// Every entry of the file, by kind; other keys (REM comments, blank lines) are no entries.
StatedMission scan_entries(const std::string& name, const std::string& bytes, Problems& p) {
    StatedMission s;
    for (const Field& f : read_fields(bytes)) {
        if (f.after_comma) {
            p.add(name, "line " + std::to_string(f.line) + ": a comma cuts the entry short; the game drops '" + f.text + "'");
            continue;
        }
        const std::vector<std::string> parts = explode(f.text, "//");
        const std::string& key = parts[0];
        const Entry e{name, f, parts, p};
        if (key == "NAME" || key == "LOCATION" || key == "DESCRIPTION" || key == "THREAT_ACCESS" || key == "SIEGE_ACCESS" ||
            key == "RESISTANCE" || key == "TIME_LIMIT")
            scan_mission_entry(e, s);
        else if (key == "OBJECTIVE") scan_objective_entry(e, s);
        else if (key == "AIR_DROP") scan_air_drop_entry(e, s);
        else if (key == "CHECKPOINT") scan_check_point_entry(e, s);
    }
    return s;
}

// The records the game's mission loader made of one file: the mission and the file's own air
// drops and check points.
struct MissionRecords {
    const MISSIONDATATYPE& mission;
    const AIRDROPTYPE* drops;
    size_t ndrops;
    const CHECKPOINTTYPE* checks;  // the file's first check point (record 0 is the marker)
    size_t nchecks;
};

// Loads mission m from its bytes into the game's records, on tables emptied first so that the
// file's air drops start at record 0 and its check points at record 1.
MissionRecords load_records(int m, const std::string& path, const std::string& bytes) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    g.MISSIONDATA[m] = MISSIONDATATYPE{};
    g.AIRDROPDATA.assign(1, AIRDROPTYPE{});
    g.AIRDROPCOUNT = 0;
    g.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
    g.CHECKPOINTCOUNT = 1;
    FieldReader r = field_reader_from_string(bytes);
    mission_load_reader(m, r, path);
    return MissionRecords{g.MISSIONDATA[m], g.AIRDROPDATA.data(), static_cast<size_t>(g.AIRDROPCOUNT),
                          g.CHECKPOINTDATA.data() + 1, static_cast<size_t>(g.CHECKPOINTCOUNT - 1)};
}

// A kill objective: its range against the enemy layout and the slots earlier objectives
// claimed, its marker against the map.
void check_kill_range(const std::string& name, int m, int o, const OBJECTIVETYPE& ob, const StatedObjective& st,
                      const MapData& map, const std::vector<Enemy>& enemies, Campaign& campaign, Problems& p) {
    const std::string on = "objective " + std::to_string(o);
    const bool zone = st.zone_x && st.zone_z;
    if (!st.range_start || !st.range_end) p.add(name, on + " is a kill objective without a kill range");
    else if (st.start > st.end) p.add(name, on + " has an empty kill range and completes at once");
    else if (st.start < 0 || st.end >= static_cast<int>(enemies.size()))
        p.add(name, on + " kill range " + std::to_string(st.start) + "-" + std::to_string(st.end) + " leaves the enemy table (" +
                        std::to_string(enemies.size()) + " slots)");
    else {
        // Inside the table the loader holds the range as written.
        const int start = ob.KILLRANGESTART, end = ob.KILLRANGEEND;
        for (int s = start; s <= end; ++s)
            if (enemies[s].cls != 2 && enemies[s].cls != 3)
                p.add(name, on + " kill range names slot " + std::to_string(s) + " of class " + std::to_string(enemies[s].cls) +
                                ", which cannot be destroyed");
            else if (enemies[s].active != 1)
                p.add(name, on + " kill range names slot " + std::to_string(s) + ", which the layout places already destroyed");
        // A slot an earlier objective already had destroyed counts for nothing here: an
        // objective whose whole range was claimed before completes the moment it starts.
        const std::string me = "mission " + std::to_string(m) + " objective " + std::to_string(o);
        for (int s = start; s <= end && static_cast<size_t>(s) < campaign.claimed.size(); ++s)
            if (!campaign.claimed[s].empty()) {
                p.add(name, on + " kill range shares slot " + std::to_string(s) + " with " + campaign.claimed[s]);
                break;
            }
        for (int s = start; s <= end && static_cast<size_t>(s) < campaign.claimed.size(); ++s)
            if (campaign.claimed[s].empty()) campaign.claimed[s] = me;
        if (zone)
            for (int s = start; s <= end; ++s) {
                const double d = std::hypot(enemies[s].x - ob.KILLZONEX, enemies[s].z - ob.KILLZONEZ);
                if (d > 60) {
                    p.add(name, on + fmt(" marker is %g units from its enemy in slot %g", std::round(d), s));
                    break;
                }
            }
    }
    if (!zone) p.add(name, on + " has no kill zone for its marker");
    else if (playable(ob.KILLZONEX, ob.KILLZONEZ) && !reachable(map, ob.KILLZONEX, ob.KILLZONEZ, 12))
        p.add(name, on + fmt(" marker (%g, %g) is walled off from the gunship", ob.KILLZONEX, ob.KILLZONEZ));
}

// A zipline objective: its hover point and destination against the map, its team against the
// personnel a pilot has left.
void check_zipline(const std::string& name, int o, const OBJECTIVETYPE& ob, const StatedObjective& st, const MapData& map,
                   const Campaign& campaign, Problems& p) {
    const std::string on = "objective " + std::to_string(o);
    if (!st.zip_x || !st.zip_z) p.add(name, on + " is a zipline objective without ZIPLINE_X and ZIPLINE_Z");
    else if (!playable(ob.ZIPLINE_SRC_X, ob.ZIPLINE_SRC_Z) || !playable(ob.ZIPLINE_DEST_X, ob.ZIPLINE_DEST_Z))
        p.add(name, on + " zipline point lies outside the playable area");
    else if (map.loaded) {
        const float sx = ob.ZIPLINE_SRC_X, sz = ob.ZIPLINE_SRC_Z, dx = ob.ZIPLINE_DEST_X, dz = ob.ZIPLINE_DEST_Z;
        if (!area_free(map, sx, sz, 3, false))
            p.add(name, on + fmt(" zipline hover point (%g, %g) is too close to a wall or building", sx, sz));
        else if (!reachable(map, sx, sz, 1))
            p.add(name, on + fmt(" zipline hover point (%g, %g) is walled off from the gunship", sx, sz));
        const int gx = static_cast<int>(std::floor(dx)), gz = static_cast<int>(std::floor(dz));
        if (map.solid(gx, gz) || !map.dry(gx, gz))
            p.add(name, on + fmt(" zipline destination (%g, %g) is not open dry ground", dx, dz));
    }
    if (ob.ZIPLINE_N < 1) p.add(name, on + " lowers nobody (ZIPLINE_N missing or refused)");
    if (ob.GOALTYPE == GT_ZIPLINE_DOWN_AND_UP && (!st.zone_x || !st.zone_z))
        p.add(name, on + " has no kill zone for its demolition blast");
    // People (not kits) the pilot still has when the team ropes down.
    int left = 0, used_here = 0;
    for (int k = 0; k < 4; ++k) left += START_PERSONNEL[k] - campaign.subtracted[k], used_here += std::max(0, ob.SUBTRACT[k]);
    if (ob.ZIPLINE_N > left)
        p.add(name, on + " lowers " + std::to_string(ob.ZIPLINE_N) + " people but a pilot has only " + std::to_string(left) + " left");
    // A one-way team stays on the ground, so the objective uses it up; a round trip brings it back.
    if (ob.GOALTYPE == GT_ZIPLINE_DOWN && ob.ZIPLINE_N >= 1 && used_here != ob.ZIPLINE_N)
        p.add(name, on + " leaves " + std::to_string(ob.ZIPLINE_N) + " people on the ground but subtracts " + std::to_string(used_here));
    if (ob.GOALTYPE == GT_ZIPLINE_DOWN_AND_UP && used_here > 0)
        p.add(name, on + " brings its team back on board but subtracts " + std::to_string(used_here) + " people");
}

void check_objectives(const std::string& name, int m, const MissionRecords& rec, const StatedMission& s, const MapData& map,
                      const std::vector<Enemy>& enemies, Campaign& campaign, Problems& p) {
    const int last = rec.mission.LASTOBJECTIVE;
    if (last < s.highest)
        p.add(name, "its last objective entry names objective " + std::to_string(last) + ", so objectives up to " +
                        std::to_string(s.highest) + " are never reached");
    for (int o = 0; o <= last; ++o) {
        const OBJECTIVETYPE& ob = rec.mission.OBJECTIVE[o];
        const StatedObjective& st = s.obj[o];
        const std::string on = "objective " + std::to_string(o);
        if (!st.seen) {
            p.add(name, on + " is missing");
            continue;
        }
        if (ob.NAME.empty()) p.add(name, on + " has no NAME");
        // Only kill ranges and the two zipline goals ever complete an objective.
        if (ob.GOALTYPE == GT_LAND_GUNSHIP || ob.GOALTYPE == GT_ZIPLINE_UP)
            p.add(name, on + (ob.GOALTYPE == GT_LAND_GUNSHIP ? " has goal GT_LAND_GUNSHIP" : " has goal GT_ZIPLINE_UP") +
                            ", which nothing completes: the mission cannot be finished");
        if (ob.GOALTYPE == GT_KILL_RANGE) check_kill_range(name, m, o, ob, st, map, enemies, campaign, p);
        if (st.zone_x && st.zone_z && !playable(ob.KILLZONEX, ob.KILLZONEZ))
            p.add(name, on + fmt(" kill zone (%g, %g) lies outside the playable area", ob.KILLZONEX, ob.KILLZONEZ));
        if (ob.GOALTYPE == GT_ZIPLINE_DOWN || ob.GOALTYPE == GT_ZIPLINE_DOWN_AND_UP)
            check_zipline(name, o, ob, st, map, campaign, p);
        // The profile's counters are reduced by this list when the objective completes; nothing
        // stops them going below zero, so the campaign must not ask for more than a pilot has.
        for (int k = 0; k < 5; ++k) {
            if (ob.SUBTRACT[k] <= 0) continue;
            campaign.subtracted[k] += ob.SUBTRACT[k];
            if (campaign.subtracted[k] > START_PERSONNEL[k])
                p.add(name, on + " subtracts " + PERSONNEL[k] + " to " + std::to_string(campaign.subtracted[k]) + " in all, more than the " +
                                std::to_string(START_PERSONNEL[k]) + " a new profile has");
        }
    }
}

void check_air_drops(const std::string& name, const MissionRecords& rec, const StatedMission& s, const MapData& map, Problems& p) {
    const int last = rec.mission.LASTOBJECTIVE;
    for (size_t i = 0; i < rec.ndrops; ++i) {
        const AIRDROPTYPE& d = rec.drops[i];
        const StatedDrop st = i < s.drops.size() ? s.drops[i] : StatedDrop{};
        const std::string dn = "air drop " + std::to_string(i);
        const bool box = d.CLASS == DROP_BOX;
        if (!st.objective) p.add(name, dn + " has no OBJECTIVE entry");
        else if (d.OBJECTIVE < 0 || d.OBJECTIVE > last)
            p.add(name, dn + " waits for objective " + std::to_string(d.OBJECTIVE) + ", which the mission never reaches");
        // An unmarked crate names check point 0, the objective marker.
        if (box && d.PICKUPABLE == 1 && d.CHECKPOINTID < 1)
            p.add(name, dn + " is a crate to pick up but no BOX check point marks it");
        if (!st.target) {
            p.add(name, dn + " has no TARGETXZ");
            continue;
        }
        const float x = d.TARGET.X, z = d.TARGET.Z;
        if (!playable(x, z)) p.add(name, dn + fmt(" target (%g, %g) lies outside the playable area", x, z));
        else if (map.loaded && box && !area_free(map, x, z, 2, true))
            p.add(name, dn + fmt(" target (%g, %g) is not open dry ground the gunship can hover over", x, z));
        else if (map.loaded && box && !reachable(map, x, z, 0))
            p.add(name, dn + fmt(" target (%g, %g) is walled off from the gunship", x, z));
    }
}

void check_check_points(const std::string& name, const MissionRecords& rec, const StatedMission& s, const MapData& map, Problems& p) {
    const int last = rec.mission.LASTOBJECTIVE;
    bool has_fuel = false;
    for (size_t i = 0; i < rec.nchecks; ++i) {
        const CHECKPOINTTYPE& c = rec.checks[i];
        const StatedCheck st = i < s.checks.size() ? s.checks[i] : StatedCheck{};
        const std::string cn = "check point " + std::to_string(i);
        const bool pad = c.CLASS == CHECK_FUEL || c.CLASS == CHECK_TECH;
        if (!st.objective) p.add(name, cn + " has no OBJECTIVE entry");
        if (!st.cls) p.add(name, cn + " has no CLASS");
        if (!st.xz) {
            p.add(name, cn + " has no XZ");
            continue;
        }
        // Pads and the base switch on for their own mission from their objective on.
        if (pad && st.objective && (c.OBJECTIVE < 0 || c.OBJECTIVE > last))
            p.add(name, cn + " waits for objective " + std::to_string(c.OBJECTIVE) +
                            ", which the mission never reaches: it never switches on");
        else if (c.CLASS == CHECK_FUEL && st.objective) has_fuel = true;
        const float x = c.POSITION.X, z = c.POSITION.Z;
        if (!playable(x, z)) {
            p.add(name, cn + fmt(" at (%g, %g) lies outside the playable area", x, z));
            continue;
        }
        if (map.loaded && pad && !area_free(map, x, z, 3, true))
            p.add(name, cn + fmt(" at (%g, %g) is for landing but its cells are not open dry ground", x, z));
        else if (map.loaded && pad && !reachable(map, x, z, 1))
            p.add(name, cn + fmt(" at (%g, %g) is walled off from the gunship", x, z));
        if (c.CLASS == CHECK_BOX && st.cls)
            for (size_t k = 0; k < rec.ndrops && k < s.drops.size(); ++k) {
                const AIRDROPTYPE& d = rec.drops[k];
                // The record number of this check point: the file's first follows the marker.
                if (d.CHECKPOINTID != static_cast<int32_t>(i) + 1 || !s.drops[k].target) continue;
                if (std::fabs(d.TARGET.X - x) > 1 || std::fabs(d.TARGET.Z - z) > 1)
                    p.add(name, cn + " does not stand on the crate it marks");
            }
    }
    if (!has_fuel) p.add(name, "declares no refuelling check point that switches on during the mission");
}

// Route estimate: from `from` through every objective's marker in order, with the fighting,
// the ziplines and the crates; `from` moves to where the mission ends. Returns seconds.
double estimate_route(const MissionRecords& rec, const StatedMission& s, float from[2]) {
    double seconds = 0;
    float x = from[0], z = from[1];
    auto fly = [&](float tx, float tz) {
        seconds += std::hypot(tx - x, tz - z) / PACE;
        x = tx, z = tz;
    };
    for (int o = 0; o <= rec.mission.LASTOBJECTIVE; ++o) {
        const OBJECTIVETYPE& ob = rec.mission.OBJECTIVE[o];
        const StatedObjective& st = s.obj[o];
        if (ob.GOALTYPE == GT_KILL_RANGE && st.zone_x && st.zone_z) {
            fly(ob.KILLZONEX, ob.KILLZONEZ);
            if (st.range_start && st.range_end && ob.KILLRANGESTART <= ob.KILLRANGEEND)
                seconds += SECONDS_PER_ENEMY * (static_cast<double>(ob.KILLRANGEEND) - ob.KILLRANGESTART + 1);
        } else if ((ob.GOALTYPE == GT_ZIPLINE_DOWN || ob.GOALTYPE == GT_ZIPLINE_DOWN_AND_UP) && st.zip_x && st.zip_z) {
            fly(ob.ZIPLINE_SRC_X, ob.ZIPLINE_SRC_Z);
            const double rope = 0.6 * ob.ZIPLINE_N + 2.5,
                         walk = std::hypot(ob.ZIPLINE_DEST_X - ob.ZIPLINE_SRC_X, ob.ZIPLINE_DEST_Z - ob.ZIPLINE_SRC_Z) / WALK;
            seconds += rope + walk;
            if (ob.GOALTYPE == GT_ZIPLINE_DOWN_AND_UP) seconds += ob.ZIPLINE_WAIT + walk + rope;
        }
    }
    for (size_t i = 0; i < rec.ndrops; ++i)
        if (rec.drops[i].CLASS == DROP_BOX) seconds += SECONDS_PER_CRATE;
    if (playable(x, z)) {
        from[0] = x;
        from[1] = z;
    }
    return seconds;
}

}  // namespace

void check_mission(const std::string& dir, int m, const MapData& map, const std::vector<Enemy>& enemies, float from[2],
                   Campaign& campaign, Problems& p) {
    const std::string name = "data/missions/" + std::to_string(m) + ".dat";
    std::string bytes;
    if (!read_file(dir + "/" + name, bytes)) {
        p.add(name, "missing");
        return;
    }
    StatedMission s = scan_entries(name, bytes, p);
    const MissionRecords rec = load_records(m, dir + "/" + name, bytes);
    s.drops.resize(std::max(s.drops.size(), rec.ndrops));
    s.checks.resize(std::max(s.checks.size(), rec.nchecks));
    if (!s.has_name) p.add(name, "has no NAME");
    if (!s.has_time) p.add(name, "has no TIME_LIMIT");
    if (s.last < 0) {
        p.add(name, "has no objectives");
        return;
    }
    check_objectives(name, m, rec, s, map, enemies, campaign, p);
    check_air_drops(name, rec, s, map, p);
    check_check_points(name, rec, s, map, p);
    const double seconds = estimate_route(rec, s, from);
    const double limit = rec.mission.TIMELIMIT;
    if (limit > 0 && seconds > 0.75 * limit)
        p.add(name, fmt("the route needs about %g s at a pilot's pace, too close to the time limit of %g s", std::round(seconds), limit));
}

void check_research(const std::string& dir, Problems& p) {
    const std::string name = "data/research.dat";
    std::string bytes;
    if (!read_file(dir + "/" + name, bytes)) {
        p.add(name, "missing");
        return;
    }
    static const char* ids[7] = {"RSCH_TAILPOD", "RSCH_TAILPOD2", "RSCH_TAILPOD3", "RSCH_TAILPOD4",
                                 "RSCH_TAILPOD5", "RSCH_TAILPOD6", "RSCH_TAILPOD7"};
    auto index_of = [&](const std::string& id) {
        for (int i = 0; i < 7; ++i)
            if (id == ids[i]) return i;
        return -1;
    };
    int prereq[7];
    bool defined[7] = {};
    for (int& v : prereq) v = -1;
    for (const Field& f : read_fields(bytes)) {
        if (f.text.empty()) continue;
        const std::string where = "line " + std::to_string(f.line) + ": ";
        if (f.after_comma) {
            p.add(name, where + "a comma splits the line; the game reads '" + f.text + "' as a line of its own");
            continue;
        }
        const std::vector<std::string> t = explode(f.text, "//");
        if (t.size() < 7) {
            p.add(name, where + "has " + std::to_string(t.size()) + " of the 7 parts");
            continue;
        }
        if (t.size() > 7) p.add(name, where + "the description holds '//', which cuts it short");
        const int i = index_of(t[0]);
        if (i < 0) {
            p.add(name, where + "unknown identifier '" + t[0] + "' (the game files it as technology 0)");
            continue;
        }
        if (defined[i]) p.add(name, where + t[0] + " is defined twice");
        defined[i] = true;
        bool ok = false;
        const double time = number(t[3], ok);
        if (!ok || time < 1) p.add(name, where + t[0] + " research time '" + t[3] + "' is not a number of missions of at least 1");
        if (t[4] != "MANDATORY" && t[4] != "NOT_MANDATORY") p.add(name, where + t[0] + " is neither MANDATORY nor NOT_MANDATORY");
        if (t[5].empty()) p.add(name, where + t[0] + " has no title");
        for (const std::string& seg : explode(t[6], "\\n"))
            if (seg.size() > BRIEFING_LINE) p.add(name, where + t[0] + " description has a line wider than the research window");
        // An entry of the research list is 62 pixels high: the title and three 15-pixel lines.
        if (explode(t[6], "\\n").size() > 3)
            p.add(name, where + t[0] + " description has " + std::to_string(explode(t[6], "\\n").size()) +
                            " lines; a research list entry holds 3");
        if (t[1] == "MISSION") {
            const double m = number(t[2], ok);
            if (!ok || m < 0 || m >= MISSION_CAMPAIGN_FILES || m != std::floor(m))
                p.add(name, where + t[0] + " waits for mission '" + t[2] + "', which is not one of 0-" +
                                std::to_string(MISSION_CAMPAIGN_FILES - 1));
        } else if (t[1] == "TECHNOLOGY") {
            const int q = index_of(t[2]);
            if (q < 0) p.add(name, where + t[0] + " requires unknown technology '" + t[2] + "'");
            else if (q == i) p.add(name, where + t[0] + " requires itself");
            else prereq[i] = q;
        } else {
            p.add(name, where + t[0] + " prerequisite kind '" + t[1] + "' is neither MISSION nor TECHNOLOGY");
        }
    }
    for (int i = 0; i < 7; ++i) {
        if (prereq[i] >= 0 && !defined[prereq[i]])
            p.add(name, std::string(ids[i]) + " requires " + ids[prereq[i]] + ", which the file does not define");
        // Follow the chain; a loop means none of its members can ever be offered.
        int at = i, steps = 0;
        while (at >= 0 && steps <= 7) at = prereq[at], ++steps;
        if (steps > 7) p.add(name, std::string(ids[i]) + " sits in a loop of technology prerequisites");
    }
    if (!defined[0]) p.add(name, "does not define RSCH_TAILPOD, the technology every new profile starts with");
}

}  // namespace kvcheck
