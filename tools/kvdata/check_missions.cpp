// `kvdata check`, the campaign files: the mission files (entries, objectives, kill ranges, air
// drops and check points against the map and the enemy layout, a route estimate against the
// time limit) and the research catalogue (identifiers, prerequisites).
#include "check_common.h"

#include <set>

namespace kvcheck {
namespace {

// A pilot's pace for the route estimate: half the gunship's top speed of about 27 units a second
// (turns, climbs and detours round buildings), ten seconds of shooting per infantry enemy, twenty
// seconds per crate; personnel walk 0.1 units a frame at 62.5 frames a second and leave the
// gunship 0.6 s apart. (A full tank lasts about 485 s; every mission declares a refuelling pad.)
constexpr double PACE = 13.5, SECONDS_PER_ENEMY = 10, SECONDS_PER_CRATE = 20, WALK = 6.25;
constexpr size_t BRIEFING_LINE = 64;  // characters of bitmap text that fit the menu window

}  // namespace

void check_mission(const std::string& dir, int m, const MapData& map, const std::vector<Enemy>& enemies, float from[2],
                   Campaign& campaign, Problems& p) {
    const std::string name = "data/missions/" + std::to_string(m) + ".dat";
    std::string bytes;
    if (!read_file(dir + "/" + name, bytes)) {
        p.add(name, "missing");
        return;
    }
    struct Objective {
        bool seen = false;
        int goal = 0;
        bool has_name = false, range_start = false, range_end = false, zone_x = false, zone_z = false;
        int start = 0, end = -1;
        float zx = 0, zz = 0;
        bool zip_x = false, zip_z = false;
        float sx = 0, sz = 0, dx = 0, dz = 0;
        int zip_n = 0;
        double wait = 0;
        int subtract[5] = {};
    } obj[6];
    struct Drop {
        bool objective = false; bool box = false; bool target = false; float x = 0, z = 0; bool pickup = false;
        int objective_n = 0; bool pickable = false; int marked_by = -1;
    };
    struct Check { bool objective = false; int objective_n = 0; int cls = -1; int box = -1; bool xz = false; float x = 0, z = 0; };
    std::vector<Drop> drops;
    std::vector<Check> checks;
    bool has_name = false, has_time = false;
    int last = -1, highest = -1;
    auto where = [&](const Field& f) { return "line " + std::to_string(f.line) + ": "; };
    auto num = [&](const Field& f, const std::vector<std::string>& parts, size_t k, double& out) {
        bool ok = false;
        if (parts.size() <= k) {
            p.add(name, where(f) + "'" + f.text + "' lacks a value");
            return false;
        }
        out = number(parts[k], ok);
        if (!ok) p.add(name, where(f) + "'" + parts[k] + "' is not a number");
        return ok;
    };
    const std::vector<Field> fields = read_fields(bytes);
    for (const Field& f : fields) {
        if (f.after_comma) {
            p.add(name, where(f) + "a comma cuts the entry short; the game drops '" + f.text + "'");
            continue;
        }
        const std::vector<std::string> parts = explode(f.text, "//");
        const std::string& key = parts[0];
        double v = 0;
        if (key == "NAME" || key == "LOCATION" || key == "DESCRIPTION" || key == "THREAT_ACCESS" || key == "SIEGE_ACCESS" ||
            key == "RESISTANCE") {
            if (parts.size() < 2 || parts[1].empty()) p.add(name, where(f) + key + " has no text");
            if (parts.size() > 2) p.add(name, where(f) + key + " text holds '//', which cuts it short");
            if (key == "NAME") has_name = true;
            if (parts.size() > 1 && key != "NAME")
                for (const std::string& seg : explode(parts[1], "\\n"))
                    if (seg.size() > BRIEFING_LINE)
                        p.add(name, where(f) + key + " has a line of " + std::to_string(seg.size()) +
                                        " characters, wider than the briefing window");
        } else if (key == "TIME_LIMIT") {
            if (num(f, parts, 1, v)) {
                has_time = true;
                if (v < 60) p.add(name, where(f) + "time limit " + parts[1] + " s is shorter than a minute");
            }
        } else if (key == "OBJECTIVE") {
            double n = -1;
            if (!num(f, parts, 1, n)) continue;
            if (n < 0 || n > 5 || n != std::floor(n)) {
                p.add(name, where(f) + "objective number " + parts[1] + " is outside 0-5");
                continue;
            }
            const int o = static_cast<int>(n);
            last = o;
            highest = std::max(highest, o);
            Objective& ob = obj[o];
            ob.seen = true;
            const std::string field = parts.size() > 2 ? parts[2] : "";
            if (field == "NAME") {
                ob.has_name = parts.size() > 3 && !parts[3].empty();
                if (parts.size() > 4) p.add(name, where(f) + "objective name holds '//', which cuts it short");
            } else if (field == "GOAL") {
                static const std::map<std::string, int> goals = {{"GT_KILL_RANGE", 0},
                                                                 {"GT_LAND_GUNSHIP", 1},
                                                                 {"GT_ZIPLINE_DOWN", 3},
                                                                 {"GT_ZIPLINE_DOWN_AND_UP", 4},
                                                                 {"GT_ZIPLINE_UP", 5}};
                auto it = parts.size() > 3 ? goals.find(parts[3]) : goals.end();
                if (it == goals.end()) p.add(name, where(f) + "unknown goal '" + (parts.size() > 3 ? parts[3] : "") + "'");
                else ob.goal = it->second;
            } else if (field == "KILL_RANGE_START") {
                if (num(f, parts, 3, v)) ob.start = whole(v), ob.range_start = true;
            } else if (field == "KILL_RANGE_END") {
                if (num(f, parts, 3, v)) ob.end = whole(v), ob.range_end = true;
            } else if (field == "KILL_ZONE_X") {
                if (num(f, parts, 3, v)) ob.zx = static_cast<float>(v), ob.zone_x = true;
            } else if (field == "KILL_ZONE_Z") {
                if (num(f, parts, 3, v)) ob.zz = static_cast<float>(v), ob.zone_z = true;
            } else if (field == "LAND_GUNSHIP_X" || field == "LAND_GUNSHIP_Z" || field == "ZIPLINE_WAIT") {
                if (num(f, parts, 3, v) && v < 0) p.add(name, where(f) + field + " is negative");
                if (field == "ZIPLINE_WAIT") ob.wait = v;
            } else if (field == "ZIPLINE_X" || field == "ZIPLINE_Z") {
                double a = 0, b = 0;
                if (num(f, parts, 3, a) && num(f, parts, 4, b)) {
                    if (field == "ZIPLINE_X") ob.sx = static_cast<float>(a), ob.dx = static_cast<float>(b), ob.zip_x = true;
                    else ob.sz = static_cast<float>(a), ob.dz = static_cast<float>(b), ob.zip_z = true;
                }
            } else if (field == "ZIPLINE_N") {
                if (num(f, parts, 3, v)) {
                    ob.zip_n = whole(v);
                    if (ob.zip_n < 1 || ob.zip_n > 21) p.add(name, where(f) + "zipline team of " + parts[3] + " is outside 1-21");
                }
            } else if (field == "SUBTRACT") {
                static const std::map<std::string, int> kinds = {{"USWSF", 0}, {"ENG", 1}, {"HACKERS", 2}, {"SPIES", 3}, {"FCPKIT", 4}};
                const auto kind = parts.size() > 3 ? kinds.find(parts[3]) : kinds.end();
                if (kind == kinds.end()) p.add(name, where(f) + "unknown personnel kind to subtract");
                else if (num(f, parts, 4, v)) {
                    if (v < 0) p.add(name, where(f) + "negative personnel count");
                    else ob.subtract[kind->second] = whole(v);
                }
            } else {
                p.add(name, where(f) + "unknown objective field '" + field + "'");
            }
        } else if (key == "AIR_DROP" || key == "CHECKPOINT") {
            const bool drop = key == "AIR_DROP";
            const size_t count = drop ? drops.size() : checks.size();
            if (parts.size() > 1 && parts[1] == "NEW") {
                if (num(f, parts, 2, v)) {
                    if (v < 0 || v > 100) p.add(name, where(f) + "declares " + parts[2] + " records");
                    else if (drop) drops.resize(count + static_cast<size_t>(v));
                    else checks.resize(count + static_cast<size_t>(v));
                }
                continue;
            }
            double idx = -1;
            if (!num(f, parts, 1, idx)) continue;
            if (idx < 0 || idx >= static_cast<double>(count) || idx != std::floor(idx)) {
                p.add(name, where(f) + key + " " + parts[1] + " was not declared by a NEW entry before it");
                continue;
            }
            const size_t i = static_cast<size_t>(idx);
            const std::string field = parts.size() > 2 ? parts[2] : "";
            if (drop) {
                Drop& d = drops[i];
                if (field == "OBJECTIVE") {
                    if (d.pickup) p.add(name, where(f) + "air drop " + parts[1] + ": its PICKUP entry stands before OBJECTIVE and is lost");
                    d.objective = num(f, parts, 3, v);
                    d.objective_n = whole(v);
                    d.pickable = false;  // the game clears PICKUPABLE here
                } else if (field == "CLASS") {
                    if (parts.size() < 4 || (parts[3] != "CCG" && parts[3] != "BOX" && parts[3] != "CCG_E"))
                        p.add(name, where(f) + "unknown air drop class");
                    d.box = parts.size() > 3 && parts[3] == "BOX";
                } else if (field == "PAYLOAD") {
                    if (parts.size() < 4 || (parts[3] != "FUEL" && parts[3] != "RPG" && parts[3] != "VT90UP" && parts[3] != "ARMOUR"))
                        p.add(name, where(f) + "unknown payload");
                } else if (field == "TARGETXZ") {
                    double a = 0, b = 0;
                    if (num(f, parts, 3, a) && num(f, parts, 4, b)) d.x = static_cast<float>(a), d.z = static_cast<float>(b), d.target = true;
                } else if (field == "PICKUP") {
                    if (parts.size() < 4 || (parts[3] != "YES" && parts[3] != "NO")) p.add(name, where(f) + "PICKUP is neither YES nor NO");
                    d.pickup = true;
                    d.pickable = parts.size() > 3 && parts[3] == "YES";
                } else if (field == "CHUTE_SIZE") {
                    if (parts.size() < 4 || (parts[3] != "SMALL" && parts[3] != "MEDIUM" && parts[3] != "BIG"))
                        p.add(name, where(f) + "unknown parachute size");
                } else {
                    p.add(name, where(f) + "unknown air drop field '" + field + "'");
                }
            } else {
                Check& c = checks[i];
                if (field == "OBJECTIVE") {
                    c.objective = num(f, parts, 3, v);
                    c.objective_n = whole(v);
                } else if (field == "CLASS") {
                    const std::string cls = parts.size() > 3 ? parts[3] : "";
                    if (cls == "BOX") {
                        c.cls = 0;
                        if (num(f, parts, 4, v)) {
                            if (v < 0 || v >= static_cast<double>(drops.size()) || v != std::floor(v))
                                p.add(name, where(f) + "check point names air drop " + parts[4] + ", which is not declared");
                            else {
                                c.box = static_cast<int>(v);
                                // The drop keeps the last check point that named it; an earlier one never lights.
                                if (drops[c.box].marked_by >= 0 && drops[c.box].marked_by != static_cast<int>(i))
                                    p.add(name, where(f) + "air drop " + parts[4] + " is already marked by check point " +
                                                    std::to_string(drops[c.box].marked_by));
                                drops[c.box].marked_by = static_cast<int>(i);
                            }
                        }
                    } else if (cls == "FUEL") {
                        c.cls = 1;
                    } else if (cls == "TECH") {
                        c.cls = 2;
                    } else {
                        p.add(name, where(f) + "unknown check point class '" + cls + "'");
                    }
                } else if (field == "XZ") {
                    double a = 0, b = 0;
                    if (num(f, parts, 3, a) && num(f, parts, 4, b)) c.x = static_cast<float>(a), c.z = static_cast<float>(b), c.xz = true;
                } else {
                    p.add(name, where(f) + "unknown check point field '" + field + "'");
                }
            }
        }
    }
    if (!has_name) p.add(name, "has no NAME");
    if (!has_time) p.add(name, "has no TIME_LIMIT");
    if (last < 0) {
        p.add(name, "has no objectives");
        return;
    }
    if (last < highest) p.add(name, "its last objective entry names objective " + std::to_string(last) + ", so objectives up to " +
                                        std::to_string(highest) + " are never reached");
    for (int o = 0; o <= last; ++o) {
        const Objective& ob = obj[o];
        const std::string on = "objective " + std::to_string(o);
        if (!ob.seen) {
            p.add(name, on + " is missing");
            continue;
        }
        if (!ob.has_name) p.add(name, on + " has no NAME");
        // Only kill ranges and the two zipline goals ever complete an objective.
        if (ob.goal == 1 || ob.goal == 5)
            p.add(name, on + (ob.goal == 1 ? " has goal GT_LAND_GUNSHIP" : " has goal GT_ZIPLINE_UP") +
                            ", which nothing completes: the mission cannot be finished");
        if (ob.goal == 0) {
            if (!ob.range_start || !ob.range_end) p.add(name, on + " is a kill objective without a kill range");
            else if (ob.start > ob.end) p.add(name, on + " has an empty kill range and completes at once");
            else if (ob.start < 0 || ob.end >= static_cast<int>(enemies.size()))
                p.add(name, on + " kill range " + std::to_string(ob.start) + "-" + std::to_string(ob.end) + " leaves the enemy table (" +
                                std::to_string(enemies.size()) + " slots)");
            else {
                for (int s = ob.start; s <= ob.end; ++s)
                    if (enemies[s].cls != 2 && enemies[s].cls != 3)
                        p.add(name, on + " kill range names slot " + std::to_string(s) + " of class " + std::to_string(enemies[s].cls) +
                                        ", which cannot be destroyed");
                    else if (enemies[s].active != 1)
                        p.add(name, on + " kill range names slot " + std::to_string(s) + ", which the layout places already destroyed");
                // A slot an earlier objective already had destroyed counts for nothing here: an
                // objective whose whole range was claimed before completes the moment it starts.
                const std::string me = "mission " + std::to_string(m) + " objective " + std::to_string(o);
                for (int s = ob.start; s <= ob.end; ++s) {
                    if (static_cast<size_t>(s) >= campaign.claimed.size()) break;
                    if (!campaign.claimed[s].empty()) {
                        p.add(name, on + " kill range shares slot " + std::to_string(s) + " with " + campaign.claimed[s]);
                        break;
                    }
                }
                for (int s = ob.start; s <= ob.end && static_cast<size_t>(s) < campaign.claimed.size(); ++s)
                    if (campaign.claimed[s].empty()) campaign.claimed[s] = me;
                if (ob.zone_x && ob.zone_z)
                    for (int s = ob.start; s <= ob.end; ++s) {
                        const double d = std::hypot(enemies[s].x - ob.zx, enemies[s].z - ob.zz);
                        if (d > 60) {
                            p.add(name, on + fmt(" marker is %g units from its enemy in slot %g", std::round(d), s));
                            break;
                        }
                    }
            }
            if (!ob.zone_x || !ob.zone_z) p.add(name, on + " has no kill zone for its marker");
            else if (playable(ob.zx, ob.zz) && !reachable(map, ob.zx, ob.zz, 12))
                p.add(name, on + fmt(" marker (%g, %g) is walled off from the gunship", ob.zx, ob.zz));
        }
        if (ob.zone_x && ob.zone_z && !playable(ob.zx, ob.zz))
            p.add(name, on + fmt(" kill zone (%g, %g) lies outside the playable area", ob.zx, ob.zz));
        if (ob.goal == 3 || ob.goal == 4) {
            if (!ob.zip_x || !ob.zip_z) p.add(name, on + " is a zipline objective without ZIPLINE_X and ZIPLINE_Z");
            else {
                if (!playable(ob.sx, ob.sz) || !playable(ob.dx, ob.dz))
                    p.add(name, on + " zipline point lies outside the playable area");
                else if (map.loaded) {
                    if (!area_free(map, ob.sx, ob.sz, 3, false))
                        p.add(name, on + fmt(" zipline hover point (%g, %g) is too close to a wall or building", ob.sx, ob.sz));
                    else if (!reachable(map, ob.sx, ob.sz, 1))
                        p.add(name, on + fmt(" zipline hover point (%g, %g) is walled off from the gunship", ob.sx, ob.sz));
                    const int gx = static_cast<int>(std::floor(ob.dx)), gz = static_cast<int>(std::floor(ob.dz));
                    if (map.solid(gx, gz) || !map.dry(gx, gz))
                        p.add(name, on + fmt(" zipline destination (%g, %g) is not open dry ground", ob.dx, ob.dz));
                }
            }
            if (ob.zip_n < 1) p.add(name, on + " lowers nobody (ZIPLINE_N missing)");
            if (ob.goal == 4 && (!ob.zone_x || !ob.zone_z)) p.add(name, on + " has no kill zone for its demolition blast");
        }
        // The profile's counters are reduced by this list when the objective completes; nothing
        // stops them going below zero, so the campaign must not ask for more than a pilot has.
        static const char* kinds[5] = {"USWSF", "ENG", "HACKERS", "SPIES", "FCPKIT"};
        if (ob.goal == 3 || ob.goal == 4) {
            // People (not kits) the pilot still has when the team ropes down.
            int left = 0, used_here = 0;
            for (int k = 0; k < 4; ++k) left += START_PERSONNEL[k] - campaign.subtracted[k], used_here += ob.subtract[k];
            if (ob.zip_n > left)
                p.add(name, on + " lowers " + std::to_string(ob.zip_n) + " people but a pilot has only " + std::to_string(left) + " left");
            // A one-way team stays on the ground, so the objective uses it up; a round trip brings it back.
            if (ob.goal == 3 && ob.zip_n >= 1 && used_here != ob.zip_n)
                p.add(name, on + " leaves " + std::to_string(ob.zip_n) + " people on the ground but subtracts " + std::to_string(used_here));
            if (ob.goal == 4 && used_here > 0)
                p.add(name, on + " brings its team back on board but subtracts " + std::to_string(used_here) + " people");
        }
        for (int k = 0; k < 5; ++k) {
            if (ob.subtract[k] == 0) continue;
            campaign.subtracted[k] += ob.subtract[k];
            if (campaign.subtracted[k] > START_PERSONNEL[k])
                p.add(name, on + " subtracts " + kinds[k] + " to " + std::to_string(campaign.subtracted[k]) + " in all, more than the " +
                                std::to_string(START_PERSONNEL[k]) + " a new profile has");
        }
    }
    for (size_t i = 0; i < drops.size(); ++i) {
        const Drop& d = drops[i];
        const std::string dn = "air drop " + std::to_string(i);
        if (!d.objective) p.add(name, dn + " has no OBJECTIVE entry");
        else if (d.objective_n < 0 || d.objective_n > last)
            p.add(name, dn + " waits for objective " + std::to_string(d.objective_n) + ", which the mission never reaches");
        if (d.box && d.pickable && d.marked_by < 0)
            p.add(name, dn + " is a crate to pick up but no BOX check point marks it");
        if (!d.target) {
            p.add(name, dn + " has no TARGETXZ");
            continue;
        }
        if (!playable(d.x, d.z)) p.add(name, dn + fmt(" target (%g, %g) lies outside the playable area", d.x, d.z));
        else if (map.loaded && d.box && !area_free(map, d.x, d.z, 2, true))
            p.add(name, dn + fmt(" target (%g, %g) is not open dry ground the gunship can hover over", d.x, d.z));
        else if (map.loaded && d.box && !reachable(map, d.x, d.z, 0))
            p.add(name, dn + fmt(" target (%g, %g) is walled off from the gunship", d.x, d.z));
    }
    bool has_fuel = false;
    for (size_t i = 0; i < checks.size(); ++i) {
        const Check& c = checks[i];
        const std::string cn = "check point " + std::to_string(i);
        if (!c.objective) p.add(name, cn + " has no OBJECTIVE entry");
        if (c.cls < 0) p.add(name, cn + " has no CLASS");
        if (!c.xz) {
            p.add(name, cn + " has no XZ");
            continue;
        }
        // Pads and the base switch on for their own mission from their objective on.
        if ((c.cls == 1 || c.cls == 2) && c.objective && (c.objective_n < 0 || c.objective_n > last))
            p.add(name, cn + " waits for objective " + std::to_string(c.objective_n) +
                            ", which the mission never reaches: it never switches on");
        else if (c.cls == 1 && c.objective) has_fuel = true;
        if (!playable(c.x, c.z)) {
            p.add(name, cn + fmt(" at (%g, %g) lies outside the playable area", c.x, c.z));
            continue;
        }
        if (map.loaded && (c.cls == 1 || c.cls == 2) && !area_free(map, c.x, c.z, 3, true))
            p.add(name, cn + fmt(" at (%g, %g) is for landing but its cells are not open dry ground", c.x, c.z));
        else if (map.loaded && (c.cls == 1 || c.cls == 2) && !reachable(map, c.x, c.z, 1))
            p.add(name, cn + fmt(" at (%g, %g) is walled off from the gunship", c.x, c.z));
        if (c.cls == 0 && c.box >= 0 && drops[c.box].target &&
            (std::fabs(drops[c.box].x - c.x) > 1 || std::fabs(drops[c.box].z - c.z) > 1))
            p.add(name, cn + " does not stand on the crate it marks");
    }
    if (!has_fuel) p.add(name, "declares no refuelling check point that switches on during the mission");

    // Route estimate: from the start through every objective's marker in order.
    double seconds = 0, limit = 0;
    float x = from[0], z = from[1];
    auto fly = [&](float tx, float tz) {
        seconds += std::hypot(tx - x, tz - z) / PACE;
        x = tx, z = tz;
    };
    for (int o = 0; o <= last; ++o) {
        const Objective& ob = obj[o];
        if (ob.goal == 0 && ob.zone_x && ob.zone_z) {
            fly(ob.zx, ob.zz);
            if (ob.start <= ob.end) seconds += SECONDS_PER_ENEMY * (static_cast<double>(ob.end) - ob.start + 1);
        } else if ((ob.goal == 3 || ob.goal == 4) && ob.zip_x && ob.zip_z) {
            fly(ob.sx, ob.sz);
            const double rope = 0.6 * ob.zip_n + 2.5, walk = std::hypot(ob.dx - ob.sx, ob.dz - ob.sz) / WALK;
            seconds += rope + walk;
            if (ob.goal == 4) seconds += ob.wait + walk + rope;
        }
    }
    for (const Drop& d : drops)
        if (d.box) seconds += SECONDS_PER_CRATE;
    for (const Field& f : fields) {
        const std::vector<std::string> parts = explode(f.text, "//");
        bool ok = false;
        if (parts[0] == "TIME_LIMIT" && parts.size() > 1) limit = number(parts[1], ok);
    }
    if (limit > 0 && seconds > 0.75 * limit)
        p.add(name, fmt("the route needs about %g s at a pilot's pace, too close to the time limit of %g s", std::round(seconds), limit));
    if (playable(x, z)) {
        from[0] = x;
        from[1] = z;
    }
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
            if (!ok || m < 0 || m >= MISSIONS || m != std::floor(m))
                p.add(name, where + t[0] + " waits for mission '" + t[2] + "', which is not one of 0-" + std::to_string(MISSIONS - 1));
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
