// Mission definition files: reading data/missions/N.dat into the mission records and the
// mission's air drops and check points into the global tables. See mission.h for the rules
// on refused entries and on reloading.
#include "game/mission.h"

#include <cmath>
#include "engine/console_text.h"

#include <cstdio>
#include <vector>

#include "engine/log.h"
#include "game/enemy_types.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/mission_types.h"
#include "game/missionobject_types.h"
#include "platform/random.h"
#include "world/ground.h"

namespace {

// Run-time state a saved table may carry over into the freshly built one: a record keeps the
// saved state only where the saved record is of the same kind (class, mission, objective) and
// its values are in range.
bool finite(float v) { return std::isfinite(v); }
bool finite(const VECTOR3D& v) { return finite(v.X) && finite(v.Y) && finite(v.Z); }

bool same_kind(const AIRDROPTYPE& a, const AIRDROPTYPE& b) {
    return a.CLASS == b.CLASS && a.MISSION == b.MISSION && a.OBJECTIVE == b.OBJECTIVE && a.PAYLOAD == b.PAYLOAD;
}

bool same_kind(const CHECKPOINTTYPE& a, const CHECKPOINTTYPE& b) {
    return a.CLASS == b.CLASS && a.MISSION == b.MISSION && a.OBJECTIVE == b.OBJECTIVE;
}

bool apply_saved(AIRDROPTYPE& fresh, const AIRDROPTYPE& saved) {
    if (!same_kind(fresh, saved)) return false;
    if (saved.ACTIVE < 0 || saved.ACTIVE > 2 || saved.PICKUPFLAG < 0 || saved.PICKUPFLAG > 4) return false;
    if (saved.VISIBLE < 0 || saved.VISIBLE > 1 || !finite(saved.POSITION) || !finite(saved.ANGLE) ||
        !finite(saved.CHUTEFADE))
        return false;
    // A crate that is not pickable under the current files cannot carry a pick-up state.
    if (saved.PICKUPFLAG != 0 && fresh.PICKUPABLE != 1) return false;
    fresh.ACTIVE = saved.ACTIVE;
    fresh.VISIBLE = saved.VISIBLE;
    fresh.POSITION = saved.ACTIVE == 0 ? saved.POSITION : fresh.TARGET;
    fresh.ANGLE = saved.ANGLE;
    fresh.PICKUPFLAG = saved.PICKUPFLAG;
    fresh.CHUTEFADE = saved.CHUTEFADE < 0.0f ? 0.0f : (saved.CHUTEFADE > 1.0f ? 1.0f : saved.CHUTEFADE);
    // The winch time is not saved: a crate saved mid-winch finishes its lift at once.
    fresh.ZIPLINEDATA.STARTDOWN = 0;
    return true;
}

bool apply_saved(CHECKPOINTTYPE& fresh, const CHECKPOINTTYPE& saved) {
    if (!same_kind(fresh, saved)) return false;
    if (saved.ACTIVE < 0 || saved.ACTIVE > 1 || saved.VISIBLE < 0 || saved.VISIBLE > 1) return false;
    if (!finite(saved.ANGLE) || !finite(saved.FADE) || !finite(saved.POINTERFADE)) return false;
    fresh.ACTIVE = saved.ACTIVE;
    fresh.VISIBLE = saved.VISIBLE;
    fresh.ANGLE = saved.ANGLE;
    fresh.FADE = saved.FADE < 0.0f ? 0.0f : (saved.FADE > 1.0f ? 1.0f : saved.FADE);
    return true;
}

// Applies a saved table to a fresh one record by record when both hold the same number of
// records; first is the first record that may take saved state. Returns the records taken.
template <typename T>
int32_t apply_saved_table(std::vector<T>& fresh, int32_t fresh_count, const std::vector<T>& saved, int32_t saved_count,
                          int32_t first) {
    if (saved_count != fresh_count || saved_count < 0 || static_cast<size_t>(saved_count) > saved.size() ||
        static_cast<size_t>(fresh_count) > fresh.size())
        return 0;
    int32_t taken = 0;
    for (int32_t i = first; i < fresh_count; ++i)
        taken += apply_saved(fresh[static_cast<size_t>(i)], saved[static_cast<size_t>(i)]) ? 1 : 0;
    return taken;
}

// Brings a count and its table into agreement before records are appended: the count within
// minimum .. MISSION_TABLE_RECORDS_MAX and the table holding at least max(count, 1) records.
template <typename T>
void settle_table(std::vector<T>& table, int32_t& count, int32_t minimum, const char* what) {
    if (count < minimum || count > MISSION_TABLE_RECORDS_MAX) {
        const int32_t fixed = count < minimum ? minimum : MISSION_TABLE_RECORDS_MAX;
        if (count < 0 || count > MISSION_TABLE_RECORDS_MAX)
            kv_log("%s count %d is out of range: taken as %d", what, count, fixed);
        count = fixed;
    }
    const std::size_t need = static_cast<std::size_t>(count < 1 ? 1 : count);
    if (table.size() < need) table.resize(need);
}

// Grows a table by k zeroed records after count; false (nothing changed) past the limit.
template <typename T>
bool grow_table(std::vector<T>& table, int32_t& count, int32_t k) {
    if (k < 0 || k > MISSION_TABLE_RECORDS_MAX - count) return false;
    const int32_t end = count + k;
    if (table.size() < static_cast<std::size_t>(end)) table.resize(static_cast<std::size_t>(end));
    for (int32_t i = count; i < end; ++i) table[static_cast<std::size_t>(i)] = T{};
    count = end;
    return true;
}

// One file being read: where entries come from and what they address.
struct FILESTATE {
    int32_t M = 0;
    const std::string* name = nullptr;
    int32_t line = 1;
    int32_t airdrop_base = 0;
    int32_t checkpoint_base = 0;
    MISSION_LOAD_RESULT* result = nullptr;
    bool texts_only = false;  // briefing texts and objective names only; nothing else changes
};

void refuse(FILESTATE& f, const std::string& entry, const char* why) {
    ++f.result->refused;
    kv_log("%s line %d: %s in \"%s\": entry skipped", f.name->c_str(), f.line, why,
                console_safe(entry.substr(0, 60)).c_str());
}

// Parts of the current entry (STR_EXPLODE_RESULT), with the count checked by the caller.
const std::string& part(int32_t i) { return STR_EXPLODE_RESULT[static_cast<std::size_t>(i)]; }

// An index value within [0, limit); -1 otherwise.
int32_t index_in(const std::string& text, int32_t limit) {
    const int32_t v = text_to_int(text);
    return (v >= 0 && v < limit) ? v : -1;
}

void read_mission_entry(MISSIONDATATYPE& m, const std::string& key, const std::string& value) {
    if (key == "NAME") m.NAME = value;
    else if (key == "TIME_LIMIT") m.TIMELIMIT = text_to_int(value);
    else if (key == "LOCATION") m.LOCATION = value;
    else if (key == "DESCRIPTION") m.DESCRIPTION = value;
    else if (key == "THREAT_ACCESS") m.THREATACCESS = value;
    else if (key == "SIEGE_ACCESS") m.SIEGEACCESS = value;
    else if (key == "RESISTANCE") m.RESISTANCE = value;
}

void read_objective_entry(FILESTATE& f, MISSIONDATATYPE& m, const std::string& entry, int32_t last) {
    if (last < 2) return refuse(f, entry, "objective entry without number and field");
    const int32_t n = index_in(part(1), OBJECTIVE_SLOTS);
    if (n < 0) return refuse(f, entry, "objective number outside 0-5");
    m.LASTOBJECTIVE = n;
    OBJECTIVETYPE& o = m.OBJECTIVE[n];
    const std::string& field = part(2);
    const int32_t values = last - 2;
    if (values < 1) return refuse(f, entry, "objective field without value");
    const std::string& v = part(3);
    if (field == "NAME") o.NAME = v;
    else if (field == "GOAL") {
        if (v == "GT_KILL_RANGE") o.GOALTYPE = GT_KILL_RANGE;
        else if (v == "GT_LAND_GUNSHIP") o.GOALTYPE = GT_LAND_GUNSHIP;
        else if (v == "GT_ZIPLINE_DOWN") o.GOALTYPE = GT_ZIPLINE_DOWN;
        else if (v == "GT_ZIPLINE_DOWN_AND_UP") o.GOALTYPE = GT_ZIPLINE_DOWN_AND_UP;
        else if (v == "GT_ZIPLINE_UP") o.GOALTYPE = GT_ZIPLINE_UP;
        else refuse(f, entry, "unknown goal word");
    } else if (field == "KILL_RANGE_START" || field == "KILL_RANGE_END") {
        const int32_t slot = index_in(v, ENEMY_SLOTS);
        if (slot < 0) return refuse(f, entry, "enemy slot outside 0-999");
        (field == "KILL_RANGE_START" ? o.KILLRANGESTART : o.KILLRANGEEND) = slot;
    } else if (field == "KILL_ZONE_X") o.KILLZONEX = text_to_single(v);
    else if (field == "KILL_ZONE_Z") o.KILLZONEZ = text_to_single(v);
    else if (field == "LAND_GUNSHIP_X") o.LANDGUNSHIP.X = text_to_single(v);
    else if (field == "LAND_GUNSHIP_Z") o.LANDGUNSHIP.Z = text_to_single(v);
    else if (field == "ZIPLINE_X" || field == "ZIPLINE_Z") {
        if (values < 2) return refuse(f, entry, "zipline field without destination value");
        const float src = text_to_single(v), dest = text_to_single(part(4));
        if (field == "ZIPLINE_X") o.ZIPLINE_SRC_X = src, o.ZIPLINE_DEST_X = dest;
        else o.ZIPLINE_SRC_Z = src, o.ZIPLINE_DEST_Z = dest;
    } else if (field == "ZIPLINE_N") {
        const int32_t count = text_to_int(v);
        if (count < 0 || count > ZIPLINE_PERSON_SLOTS) return refuse(f, entry, "zipline team outside 0-21");
        o.ZIPLINE_N = count;
    } else if (field == "ZIPLINE_WAIT") o.ZIPLINE_WAIT = text_to_int(v);
    else if (field == "SUBTRACT") {
        if (values < 2) return refuse(f, entry, "subtract field without number");
        static const char* const kWords[] = {"USWSF", "ENG", "HACKERS", "SPIES", "FCPKIT"};
        for (int32_t slot = 0; slot < 5; ++slot)
            if (v == kWords[slot]) {
                o.SUBTRACT[slot] = text_to_int(part(4));
                return;
            }
        refuse(f, entry, "unknown personnel word");
    } else refuse(f, entry, "unknown objective field");
}

// The record a NEW-declared entry addresses: base + i with i among the records the file has
// declared so far; -1 (refused) otherwise.
int32_t declared_record(FILESTATE& f, const std::string& entry, int32_t base, int32_t count, const char* what) {
    const int32_t i = index_in(part(1), count - base);
    if (i < 0) {
        refuse(f, entry, what);
        return -1;
    }
    return base + i;
}

void read_airdrop_entry(FILESTATE& f, const std::string& entry, int32_t last) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (last < 2) return refuse(f, entry, "air drop entry without index and field");
    if (part(1) == "NEW") {
        if (!grow_table(g.AIRDROPDATA, g.AIRDROPCOUNT, text_to_int(part(2))))
            refuse(f, entry, "air drop count out of range");
        return;
    }
    const int32_t rec = declared_record(f, entry, f.airdrop_base, g.AIRDROPCOUNT, "air drop not declared by this file");
    if (rec < 0) return;
    AIRDROPTYPE& a = g.AIRDROPDATA[static_cast<std::size_t>(rec)];
    const std::string& field = part(2);
    if (last < 3) return refuse(f, entry, "air drop field without value");
    const std::string& v = part(3);
    if (field == "OBJECTIVE") {
        // PICKUPABLE is left as it stands: a new record starts at 0, and a PICKUP entry given
        // before this one keeps its effect.
        a.OBJECTIVE = text_to_int(v);
        a.MISSION = f.M;
        a.ACTIVE = 0;
        a.VISIBLE = 0;
        a.ANGLE = VECTOR3D{0.0f, platform_random() * 360.0f, 0.0f};
        a.PICKUPFLAG = 0;
    } else if (field == "CLASS") {
        if (v == "CCG") a.CLASS = 0;
        else if (v == "BOX") a.CLASS = 1;
        else if (v == "CCG_E") a.CLASS = 2;
        else refuse(f, entry, "unknown air drop class");
    } else if (field == "PAYLOAD") {
        if (v == "FUEL") a.PAYLOAD = 1;
        else if (v == "RPG") a.PAYLOAD = 2;
        else if (v == "VT90UP") a.PAYLOAD = 3;
        else if (v == "ARMOUR") a.PAYLOAD = 4;
        else refuse(f, entry, "unknown payload");
    } else if (field == "TARGETXZ") {
        if (last < 4) return refuse(f, entry, "air drop target without z");
        const float x = text_to_single(v), z = text_to_single(part(4));
        a.TARGET = VECTOR3D{x, KV_FINDMAPYNOSPACER(x, z), z};
        const float r1 = platform_random();
        const float r2 = platform_random();
        const float r3 = platform_random();
        a.POSITION = VECTOR3D{a.TARGET.X - 40.0f - r1 * 20.0f, a.TARGET.Y + 80.0f + r2 * 40.0f,
                              a.TARGET.Z - 40.0f - r3 * 20.0f};
    } else if (field == "PICKUP") {
        if (v == "YES") a.PICKUPABLE = 1;
        else if (v == "NO") a.PICKUPABLE = 0;
        else refuse(f, entry, "pick-up neither YES nor NO");
    } else if (field == "CHUTE_SIZE") {
        if (v == "SMALL") a.CHUTESIZE = 0;
        else if (v == "MEDIUM") a.CHUTESIZE = 1;
        else if (v == "BIG") a.CHUTESIZE = 2;
        else refuse(f, entry, "unknown chute size");
    } else refuse(f, entry, "unknown air drop field");
}

void read_checkpoint_entry(FILESTATE& f, const std::string& entry, int32_t last) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (last < 2) return refuse(f, entry, "check point entry without index and field");
    if (part(1) == "NEW") {
        if (!grow_table(g.CHECKPOINTDATA, g.CHECKPOINTCOUNT, text_to_int(part(2))))
            refuse(f, entry, "check point count out of range");
        return;
    }
    const int32_t rec =
        declared_record(f, entry, f.checkpoint_base, g.CHECKPOINTCOUNT, "check point not declared by this file");
    if (rec < 0) return;
    CHECKPOINTTYPE& c = g.CHECKPOINTDATA[static_cast<std::size_t>(rec)];
    const std::string& field = part(2);
    if (last < 3) return refuse(f, entry, "check point field without value");
    const std::string& v = part(3);
    if (field == "OBJECTIVE") {
        c.OBJECTIVE = text_to_int(v);
        c.MISSION = f.M;
        c.ACTIVE = 0;
        c.FADE = 0.0f;
        c.POINTERFADE = 0.0f;
        c.ANGLE = platform_random() * 360.0f;
    } else if (field == "CLASS") {
        if (v == "BOX") {
            if (last < 4) return refuse(f, entry, "crate check point without air drop index");
            const int32_t j = index_in(part(4), g.AIRDROPCOUNT - f.airdrop_base);
            if (j < 0) return refuse(f, entry, "crate check point names an air drop not declared by this file");
            c.CLASS = 0;
            g.AIRDROPDATA[static_cast<std::size_t>(f.airdrop_base + j)].CHECKPOINTID = rec;
        } else if (v == "FUEL") c.CLASS = 1;
        else if (v == "TECH") c.CLASS = 2;
        else refuse(f, entry, "unknown check point class");
    } else if (field == "XZ") {
        if (last < 4) return refuse(f, entry, "check point position without z");
        c.POSITION.X = text_to_single(v);
        c.POSITION.Z = text_to_single(part(4));
    } else refuse(f, entry, "unknown check point field");
}

bool is_mission_key(const std::string& key) {
    return key == "NAME" || key == "TIME_LIMIT" || key == "LOCATION" || key == "DESCRIPTION" ||
           key == "THREAT_ACCESS" || key == "SIEGE_ACCESS" || key == "RESISTANCE";
}

// The briefing's reload: mission texts and objective names, nothing else.
void read_text_entry(MISSIONDATATYPE& m, const std::string& key, int32_t last) {
    if (key == "OBJECTIVE") {
        if (last < 3 || part(2) != "NAME") return;
        const int32_t n = index_in(part(1), OBJECTIVE_SLOTS);
        if (n >= 0) m.OBJECTIVE[n].NAME = part(3);
    } else if (key != "TIME_LIMIT" && is_mission_key(key) && last >= 1) {
        read_mission_entry(m, key, part(1));
    }
}

MISSION_LOAD_RESULT read_entries(int32_t M, FieldReader& r, const std::string& name, bool texts_only) {
    MISSION_LOAD_RESULT result;
    result.file_read = true;
    if (M < 0 || M >= MISSION_SLOTS) {
        kv_log("%s: mission number %d outside 0-%d: not read", name.c_str(), M, MISSION_SLOTS - 1);
        result.file_read = false;
        return result;
    }
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (!texts_only) {
        // Check point record 0 is the objective marker; a file's check points always come after it.
        settle_table(g.AIRDROPDATA, g.AIRDROPCOUNT, 0, "air drop");
        settle_table(g.CHECKPOINTDATA, g.CHECKPOINTCOUNT, 1, "check point");
    }

    FILESTATE f;
    f.M = M;
    f.name = &name;
    f.airdrop_base = g.AIRDROPCOUNT;
    f.checkpoint_base = g.CHECKPOINTCOUNT;
    f.result = &result;
    f.texts_only = texts_only;
    MISSIONDATATYPE& m = g.MISSIONDATA[M];
    std::size_t counted = 0;  // bytes already scanned for line breaks
    while (!field_eof(r)) {
        const std::size_t start = r.pos < r.bytes.size() ? r.pos : r.bytes.size();
        for (; counted < start; ++counted)
            if (r.bytes[counted] == '\n') ++f.line;
        const std::string entry = field_read(r);
        ++result.entries;
        const int32_t last = STR_EXPLODE("//", entry);
        const std::string& key = part(0);
        if (key == "OBJECTIVE" || key == "AIR_DROP" || key == "CHECKPOINT" || is_mission_key(key)) ++result.keyed;
        if (texts_only) read_text_entry(m, key, last);
        else if (key == "OBJECTIVE") read_objective_entry(f, m, entry, last);
        else if (key == "AIR_DROP") read_airdrop_entry(f, entry, last);
        else if (key == "CHECKPOINT") read_checkpoint_entry(f, entry, last);
        else if (is_mission_key(key)) {
            if (last < 1) refuse(f, entry, "mission entry without value");
            else read_mission_entry(m, key, part(1));
        }
        // Any other key (REM comments, blank lines) is not an entry of the mission.
    }
    return result;
}

MISSION_LOAD_RESULT read_file_entries(int32_t M, const std::string& path, bool texts_only) {
    FieldReader r;
    // A missing file reads as an empty one: the mission keeps what its record held.
    const bool ok = field_reader_open(r, path);
    const std::string why = r.error;
    if (!ok) r = FieldReader{};
    MISSION_LOAD_RESULT result = read_entries(M, r, path, texts_only);
    if (!ok) {
        result.file_read = false;
        kv_log("mission file %s cannot be read (%s): mission %d keeps what it held", path.c_str(), why.c_str(), M);
    } else if (result.keyed == 0 && !texts_only) {
        kv_log("mission file %s holds no mission entries", path.c_str());
    }
    return result;
}

}  // namespace

MISSION_LOAD_RESULT mission_load_reader(int32_t M, FieldReader& r, const std::string& name) {
    return read_entries(M, r, name, false);
}

MISSION_LOAD_RESULT mission_load_file(int32_t M, const std::string& path) {
    return read_file_entries(M, path, false);
}

MISSION_TABLES_RESULT mission_load_campaign(const std::string& dir) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    // What the tables hold now (a profile's restored state, or a previous load) is only a
    // source of run-time state; the records themselves come from the files every time.
    std::vector<AIRDROPTYPE> saved_airdrops;
    std::vector<CHECKPOINTTYPE> saved_checkpoints;
    saved_airdrops.swap(g.AIRDROPDATA);
    saved_checkpoints.swap(g.CHECKPOINTDATA);
    const int32_t saved_airdrop_count = g.AIRDROPCOUNT, saved_checkpoint_count = g.CHECKPOINTCOUNT;
    g.AIRDROPCOUNT = 0;
    g.CHECKPOINTCOUNT = 1;
    g.AIRDROPDATA.assign(1, AIRDROPTYPE{});
    g.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});

    MISSION_TABLES_RESULT result;
    for (int32_t M = 0; M < MISSION_CAMPAIGN_FILES; ++M)
        result.refused += mission_load_file(M, dir + std::to_string(M) + ".dat").refused;
    result.airdrops_restored =
        apply_saved_table(g.AIRDROPDATA, g.AIRDROPCOUNT, saved_airdrops, saved_airdrop_count, 0);
    // Record 0, the objective marker, is placed by the objectives every frame.
    result.checkpoints_restored =
        apply_saved_table(g.CHECKPOINTDATA, g.CHECKPOINTCOUNT, saved_checkpoints, saved_checkpoint_count, 1);
    const bool had_state = saved_airdrop_count > 0 || saved_checkpoint_count > 1;
    if (had_state && (saved_airdrop_count != g.AIRDROPCOUNT || saved_checkpoint_count != g.CHECKPOINTCOUNT))
        kv_log("saved mission objects (%d air drops, %d check points) do not match the mission files "
                    "(%d, %d): they start afresh",
                    saved_airdrop_count, saved_checkpoint_count, g.AIRDROPCOUNT, g.CHECKPOINTCOUNT);
    return result;
}

int32_t mission_reload_texts(const std::string& dir) {
    int32_t read = 0;
    for (int32_t M = 0; M < MISSION_CAMPAIGN_FILES; ++M)
        read += read_file_entries(M, dir + std::to_string(M) + ".dat", true).file_read ? 1 : 0;
    return read;
}

void KV_MISSION_LOADMISSIONDATA() { mission_load_campaign("data/missions/"); }

void KV_MISSION_RELOADMISSIONTEXTS() { mission_reload_texts("data/missions/"); }
