// Mission definition files: reading data/missions/N.dat into the mission records and the
// mission's air drops and check points into the global tables. See mission.h for the rules
// on refused entries and on reloading.
#include "game/mission.h"

#include "engine/console_text.h"

#include <cstdio>
#include <vector>

#include "game/enemy_types.h"
#include "game/kv_globals.h"
#include "game/mission_types.h"
#include "game/missionobject_types.h"
#include "platform/random.h"
#include "world/ground.h"

namespace {

// The records the previous campaign load appended, as it left them.
struct LASTLOAD {
    bool valid = false;
    int32_t airdrop_base = 0;
    int32_t checkpoint_base = 0;
    std::vector<AIRDROPTYPE> airdrops;
    std::vector<CHECKPOINTTYPE> checkpoints;
};
LASTLOAD g_last;

bool same_vector(const VECTOR3D& a, const VECTOR3D& b) { return a.X == b.X && a.Y == b.Y && a.Z == b.Z; }

bool same_zipline(const ZIPLINETYPE& a, const ZIPLINETYPE& b) {
    if (a.SRC_X != b.SRC_X || a.SRC_Z != b.SRC_Z || a.DEST_X != b.DEST_X || a.DEST_Z != b.DEST_Z || a.N != b.N ||
        a.STATUS != b.STATUS || a.STARTDOWN != b.STARTDOWN || a.TIMER_START != b.TIMER_START || a.WAIT != b.WAIT)
        return false;
    for (int32_t i = 0; i < ZIPLINE_PERSON_SLOTS; ++i)
        if (a.STARTUP[i] != b.STARTUP[i]) return false;
    return true;
}

bool same_airdrop(const AIRDROPTYPE& a, const AIRDROPTYPE& b) {
    return a.ACTIVE == b.ACTIVE && a.VISIBLE == b.VISIBLE && same_vector(a.POSITION, b.POSITION) &&
           same_vector(a.TARGET, b.TARGET) && same_vector(a.ANGLE, b.ANGLE) && a.CLASS == b.CLASS &&
           a.PAYLOAD == b.PAYLOAD && a.PICKUPFLAG == b.PICKUPFLAG && a.PICKUPABLE == b.PICKUPABLE &&
           a.CHUTEFADE == b.CHUTEFADE && a.PICKUPFADE == b.PICKUPFADE && a.CHUTESIZE == b.CHUTESIZE &&
           a.CHECKPOINTFLAG == b.CHECKPOINTFLAG && a.MISSION == b.MISSION && a.OBJECTIVE == b.OBJECTIVE &&
           a.CHECKPOINTID == b.CHECKPOINTID && same_zipline(a.ZIPLINEDATA, b.ZIPLINEDATA) &&
           a.MODPOSITIONY == b.MODPOSITIONY;
}

bool same_checkpoint(const CHECKPOINTTYPE& a, const CHECKPOINTTYPE& b) {
    return a.ACTIVE == b.ACTIVE && a.ANGLE == b.ANGLE && same_vector(a.POSITION, b.POSITION) && a.FADE == b.FADE &&
           a.POINTERFADE == b.POINTERFADE && a.CLASS == b.CLASS && a.OBJECTIVE == b.OBJECTIVE &&
           a.MISSION == b.MISSION && a.VISIBLE == b.VISIBLE;
}

// Brings a count and its table into agreement before records are appended: the count within
// minimum .. MISSION_TABLE_RECORDS_MAX and the table holding at least max(count, 1) records.
template <typename T>
void settle_table(std::vector<T>& table, int32_t& count, int32_t minimum, const char* what) {
    if (count < minimum || count > MISSION_TABLE_RECORDS_MAX) {
        const int32_t fixed = count < minimum ? minimum : MISSION_TABLE_RECORDS_MAX;
        if (count < 0 || count > MISSION_TABLE_RECORDS_MAX)
            std::printf("%s count %d is out of range: taken as %d\n", what, count, fixed);
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
};

void refuse(FILESTATE& f, const std::string& entry, const char* why) {
    ++f.result->refused;
    std::printf("%s line %d: %s in \"%s\": entry skipped\n", f.name->c_str(), f.line, why,
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

}  // namespace

MISSION_LOAD_RESULT mission_load_reader(int32_t M, FieldReader& r, const std::string& name) {
    MISSION_LOAD_RESULT result;
    result.file_read = true;
    if (M < 0 || M >= MISSION_SLOTS) {
        std::printf("%s: mission number %d outside 0-%d: not read\n", name.c_str(), M, MISSION_SLOTS - 1);
        result.file_read = false;
        return result;
    }
    KVGLOBALSTYPE& g = KVGLOBALS;
    // Check point record 0 is the objective marker; a file's check points always come after it.
    settle_table(g.AIRDROPDATA, g.AIRDROPCOUNT, 0, "air drop");
    settle_table(g.CHECKPOINTDATA, g.CHECKPOINTCOUNT, 1, "check point");

    FILESTATE f;
    f.M = M;
    f.name = &name;
    f.airdrop_base = g.AIRDROPCOUNT;
    f.checkpoint_base = g.CHECKPOINTCOUNT;
    f.result = &result;
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
        if (key == "OBJECTIVE") read_objective_entry(f, m, entry, last);
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

MISSION_LOAD_RESULT mission_load_file(int32_t M, const std::string& path) {
    FieldReader r;
    // A missing file reads as an empty one: the mission keeps what its record held.
    const bool ok = field_reader_open(r, path);
    const std::string why = r.error;
    if (!ok) r = FieldReader{};
    MISSION_LOAD_RESULT result = mission_load_reader(M, r, path);
    if (!ok) {
        result.file_read = false;
        std::printf("mission file %s cannot be read (%s): mission %d keeps what it held\n", path.c_str(), why.c_str(), M);
    } else if (result.keyed == 0) {
        std::printf("mission file %s holds no mission entries\n", path.c_str());
    }
    return result;
}

int32_t mission_load_campaign(const std::string& dir) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (g_last.valid) {
        // The tables still end with exactly what the previous load appended: take those
        // records back so this load replaces them instead of adding a second copy.
        const int32_t a_end = g_last.airdrop_base + static_cast<int32_t>(g_last.airdrops.size());
        const int32_t c_end = g_last.checkpoint_base + static_cast<int32_t>(g_last.checkpoints.size());
        bool same = g.AIRDROPCOUNT == a_end && g.CHECKPOINTCOUNT == c_end &&
                    g.AIRDROPDATA.size() >= static_cast<std::size_t>(a_end) &&
                    g.CHECKPOINTDATA.size() >= static_cast<std::size_t>(c_end);
        for (std::size_t i = 0; same && i < g_last.airdrops.size(); ++i)
            same = same_airdrop(g.AIRDROPDATA[static_cast<std::size_t>(g_last.airdrop_base) + i], g_last.airdrops[i]);
        for (std::size_t i = 0; same && i < g_last.checkpoints.size(); ++i)
            same = same_checkpoint(g.CHECKPOINTDATA[static_cast<std::size_t>(g_last.checkpoint_base) + i],
                                   g_last.checkpoints[i]);
        if (same) {
            g.AIRDROPCOUNT = g_last.airdrop_base;
            g.CHECKPOINTCOUNT = g_last.checkpoint_base;
            g.AIRDROPDATA.resize(static_cast<std::size_t>(g.AIRDROPCOUNT < 1 ? 1 : g.AIRDROPCOUNT));
            g.CHECKPOINTDATA.resize(static_cast<std::size_t>(g.CHECKPOINTCOUNT < 1 ? 1 : g.CHECKPOINTCOUNT));
        }
    }
    settle_table(g.AIRDROPDATA, g.AIRDROPCOUNT, 0, "air drop");
    settle_table(g.CHECKPOINTDATA, g.CHECKPOINTCOUNT, 1, "check point");
    const int32_t a_base = g.AIRDROPCOUNT, c_base = g.CHECKPOINTCOUNT;

    int32_t refused = 0;
    for (int32_t M = 0; M < MISSION_CAMPAIGN_FILES; ++M)
        refused += mission_load_file(M, dir + std::to_string(M) + ".dat").refused;

    g_last.valid = true;
    g_last.airdrop_base = a_base;
    g_last.checkpoint_base = c_base;
    g_last.airdrops.assign(g.AIRDROPDATA.begin() + a_base, g.AIRDROPDATA.begin() + g.AIRDROPCOUNT);
    g_last.checkpoints.assign(g.CHECKPOINTDATA.begin() + c_base, g.CHECKPOINTDATA.begin() + g.CHECKPOINTCOUNT);
    return refused;
}

void mission_forget_last_load() { g_last = LASTLOAD{}; }

void KV_MISSION_LOADMISSIONDATA() { mission_load_campaign("data/missions/"); }
