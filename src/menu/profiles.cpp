// Pilot profiles (see profiles.h): the profiles.dat format, the saved image kept per profile,
// the enemy file that belongs to one profile, and new/update/save/remove.
#include "menu/profiles.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "engine/gameclock.h"
#include "engine/textfile.h"
#include "game/enemies.h"
#include "game/kv_globals.h"
#include "game/mission.h"
#include "game/objectives.h"
#include "menu/menu_globals.h"

namespace {

ProfileImage g_images[PROFILE_SLOTS];
int32_t g_enemy_owner = -1;

// A reader that notes when a field was asked for past the end of the file.
struct Reader {
    FieldReader r;
    bool short_read = false;
    std::string text() {
        if (field_eof(r)) short_read = true;
        return field_read(r);
    }
    int32_t i32() { return text_to_int(text()); }
    int8_t i8() {
        const int32_t v = i32();
        return static_cast<int8_t>(v < -128 ? -128 : (v > 127 ? 127 : v));
    }
    float f32() { return text_to_single(text()); }
};

bool is_integer_text(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    const size_t digits = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return i > digits && i == s.size() && s.find_first_of("0123456789") != std::string::npos;
}

int32_t bounded(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

void write_vec(FieldWriter& w, const VECTOR3D& v) {
    field_write_single(w, v.X);
    field_write_single(w, v.Y);
    field_write_single(w, v.Z);
}

VECTOR3D read_vec(Reader& r) {
    VECTOR3D v;
    v.X = r.f32();
    v.Y = r.f32();
    v.Z = r.f32();
    return v;
}

void serialize_one(FieldWriter& w, const ProfileImage& img) {
    const PROFILETYPE& p = img.record;
    field_write(w, p.NAME);
    field_write(w, p.CALLSIGN);
    field_write(w, img.clock_text);
    field_write_int(w, p.MISSIONNUM);
    field_write_single(w, p.ARMOUR);
    field_write_single(w, p.FUEL);
    field_write_int(w, p.ARMOURCLASS);
    field_write_int(w, p.VT90S);
    field_write_int(w, p.ROCKETS);
    field_write_int(w, p.ROCKETTYPE);
    field_write_int(w, p.MINES);
    field_write_int(w, p.MINETYPE);
    field_write_int(w, p.TAILPODMAX);
    field_write_int(w, p.SELECTEDWEAPON);
    field_write_int(w, p.HACKERS);
    field_write_int(w, p.USWSF);
    field_write_int(w, p.ENGINEERS);
    field_write_int(w, p.SPIES);
    field_write_int(w, p.FCPKIT);
    field_write_single(w, p.PLAYERX);
    field_write_single(w, p.PLAYERZ);
    field_write_single(w, p.GUNSHIPANGLE);
    field_write_int(w, p.MINIMAPTOGGLE);
    for (int32_t t = 0; t < TECHNOLOGY_SLOTS - 1; ++t) field_write_int(w, p.COMPLETEDTECHNOLOGY[t]);
    field_write_int(w, p.RESEARCHINGTECHNOLOGY);
    field_write_int(w, p.RESEARCHINGTECHNOLOGYSTARTMISSION);
    field_write_int(w, static_cast<int32_t>(img.airdrops.size()));
    for (const AIRDROPTYPE& a : img.airdrops) {
        field_write_int(w, a.ACTIVE);
        field_write_int(w, a.VISIBLE);
        write_vec(w, a.POSITION);
        write_vec(w, a.TARGET);
        write_vec(w, a.ANGLE);
        field_write_int(w, a.CLASS);
        field_write_int(w, a.PAYLOAD);
        field_write_int(w, a.PICKUPFLAG);
        field_write_int(w, a.PICKUPABLE);
        field_write_single(w, a.CHUTEFADE);
        field_write_single(w, a.PICKUPFADE);
        field_write_int(w, a.CHUTESIZE);
        field_write_int(w, a.CHECKPOINTFLAG);
        field_write_int(w, a.MISSION);
        field_write_int(w, a.OBJECTIVE);
        field_write_int(w, a.CHECKPOINTID);
    }
    field_write_int(w, static_cast<int32_t>(img.checkpoints.size()));
    for (const CHECKPOINTTYPE& c : img.checkpoints) {
        field_write_int(w, c.ACTIVE);
        field_write_single(w, c.ANGLE);
        field_write_single(w, c.POSITION.X);
        field_write_single(w, c.POSITION.Z);
        field_write_single(w, c.FADE);
        field_write_single(w, c.POINTERFADE);
        field_write_int(w, c.CLASS);
        field_write_int(w, c.OBJECTIVE);
        field_write_int(w, c.MISSION);
        field_write_int(w, c.VISIBLE);
    }
}

// Reads one profile entry; false when the file ended before the entry did.
bool parse_one(Reader& r, ProfileImage& img, std::string& why) {
    PROFILETYPE& p = img.record;
    p.NAME = r.text();
    p.CALLSIGN = r.text();
    img.clock_text = r.text();
    p.GAMECLOCKSTRING = img.clock_text;
    const int32_t mission = r.i32();
    p.MISSIONNUM = bounded(mission, 0, MISSION_SLOTS - 1);
    if (mission != p.MISSIONNUM && why.empty()) why = "mission number " + std::to_string(mission) + " out of range";
    p.ARMOUR = r.f32();
    p.FUEL = r.f32();
    p.ARMOURCLASS = r.i32();
    p.VT90S = r.i32();
    p.ROCKETS = r.i32();
    p.ROCKETTYPE = r.i32();
    p.MINES = r.i32();
    p.MINETYPE = r.i32();
    p.TAILPODMAX = r.i32();
    p.SELECTEDWEAPON = r.i32();
    p.HACKERS = r.i32();
    p.USWSF = r.i32();
    p.ENGINEERS = r.i32();
    p.SPIES = r.i32();
    p.FCPKIT = r.i32();
    p.PLAYERX = r.f32();
    p.PLAYERZ = r.f32();
    p.GUNSHIPANGLE = r.f32();
    p.MINIMAPTOGGLE = r.i32();
    for (int32_t t = 0; t < TECHNOLOGY_SLOTS - 1; ++t) p.COMPLETEDTECHNOLOGY[t] = r.i32();
    const int32_t research = r.i32();
    p.RESEARCHINGTECHNOLOGY = (research >= 0 && research < TECHNOLOGY_SLOTS - 1) ? research : -1;
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = r.i32();

    const int32_t nair = r.i32();
    if ((nair < 0 || nair > MISSION_TABLE_RECORDS_MAX) && why.empty())
        why = "air-drop count " + std::to_string(nair) + " out of range";
    img.airdrops.assign(static_cast<size_t>(bounded(nair, 0, MISSION_TABLE_RECORDS_MAX)), AIRDROPTYPE{});
    for (AIRDROPTYPE& a : img.airdrops) {
        if (r.short_read) break;
        a.ACTIVE = r.i8();
        a.VISIBLE = r.i8();
        a.POSITION = read_vec(r);
        a.TARGET = read_vec(r);
        a.ANGLE = read_vec(r);
        a.CLASS = r.i32();
        a.PAYLOAD = r.i32();
        a.PICKUPFLAG = r.i8();
        a.PICKUPABLE = r.i8();
        a.CHUTEFADE = r.f32();
        a.PICKUPFADE = r.f32();
        a.CHUTESIZE = r.i8();
        a.CHECKPOINTFLAG = r.i8();
        a.MISSION = r.i32();
        a.OBJECTIVE = r.i32();
        a.CHECKPOINTID = r.i32();
    }
    const int32_t ncp = r.i32();
    if ((ncp < 0 || ncp > MISSION_TABLE_RECORDS_MAX) && why.empty())
        why = "check-point count " + std::to_string(ncp) + " out of range";
    img.checkpoints.assign(static_cast<size_t>(bounded(ncp, 0, MISSION_TABLE_RECORDS_MAX)), CHECKPOINTTYPE{});
    for (CHECKPOINTTYPE& c : img.checkpoints) {
        if (r.short_read) break;
        c.ACTIVE = r.i32();
        c.ANGLE = r.f32();
        c.POSITION.X = r.f32();
        c.POSITION.Z = r.f32();
        c.FADE = r.f32();
        c.POINTERFADE = r.f32();
        c.CLASS = r.i32();
        c.OBJECTIVE = r.i32();
        c.MISSION = r.i32();
        c.VISIBLE = r.i32();
    }
    if (img.checkpoints.empty()) img.checkpoints.assign(1, CHECKPOINTTYPE{});
    return !r.short_read;
}

bool valid_index(int32_t i) { return i >= 0 && i < PROFILE_SLOTS; }

bool write_profiles_file() {
    const int32_t n = bounded(KV_MENUGLOBALS.NUMPROFILES, 0, PROFILE_SLOTS);
    int32_t skip[PROFILE_SLOTS] = {};
    for (int32_t i = 0; i < n; ++i) skip[i] = KVGLOBALS.PROFILES[i].MARKFORDELETION != 0;
    // Each image carries the edited name and call sign of its live record.
    for (int32_t i = 0; i < n; ++i) {
        g_images[i].record.NAME = KVGLOBALS.PROFILES[i].NAME;
        g_images[i].record.CALLSIGN = KVGLOBALS.PROFILES[i].CALLSIGN;
    }
    std::error_code ec;
    std::filesystem::create_directories("data", ec);
    if (!write_file_atomic(PROFILES_FILE, profiles_serialize(g_images, n, skip))) {
        std::printf("profiles: cannot write %s (%s)\n", PROFILES_FILE, std::strerror(errno));
        kv_menu_open_okbox("SAVE FAILED!", std::string("Could not write ") + PROFILES_FILE + ".");
        return false;
    }
    return true;
}

bool export_enemies(int32_t profile) {
    std::error_code ec;
    std::filesystem::create_directories("data/profiles", ec);
    const std::string path = enemies_profile_path(profile);
    if (!enemies_export_file(path)) {
        kv_menu_open_okbox("SAVE FAILED!", "Could not write " + path + ".");
        return false;
    }
    return true;
}

void set_global_tables(const ProfileImage& img) {
    KVGLOBALS.AIRDROPDATA = img.airdrops;
    if (KVGLOBALS.AIRDROPDATA.empty()) KVGLOBALS.AIRDROPDATA.assign(1, AIRDROPTYPE{});
    KVGLOBALS.AIRDROPCOUNT = static_cast<int32_t>(img.airdrops.size());
    KVGLOBALS.CHECKPOINTDATA = img.checkpoints;
    if (KVGLOBALS.CHECKPOINTDATA.empty()) KVGLOBALS.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
    KVGLOBALS.CHECKPOINTCOUNT = static_cast<int32_t>(KVGLOBALS.CHECKPOINTDATA.size());
}

}  // namespace

void profile_clock_parts(const std::string& s, double& hours, double& minutes, double& seconds) {
    const size_t c1 = s.find(':');
    const size_t c2 = c1 == std::string::npos ? std::string::npos : s.find(':', c1 + 1);
    if (c2 != std::string::npos) {
        hours = text_to_number(s.substr(0, c1));
        minutes = text_to_number(s.substr(c1 + 1, c2 - c1 - 1));
        seconds = text_to_number(s.substr(c2 + 1));
        return;
    }
    hours = text_to_number(s.substr(0, 2));
    minutes = s.size() > 3 ? text_to_number(s.substr(3, 2)) : 0.0;
    seconds = s.size() > 6 ? text_to_number(s.substr(6)) : 0.0;
}

std::string profiles_serialize(const ProfileImage* images, int32_t count, const int32_t* skip) {
    FieldWriter w;
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) kept += (skip && skip[i]) ? 0 : 1;
    field_write_int(w, kept);
    for (int32_t i = 0; i < count; ++i)
        if (!(skip && skip[i])) serialize_one(w, images[i]);
    return w.bytes;
}

ProfilesParse profiles_parse(const std::string& bytes) {
    ProfilesParse out;
    Reader r{field_reader_from_string(bytes)};
    const std::string first = r.text();
    if (!is_integer_text(first)) {
        out.damaged = true;
        out.why = "the profile count \"" + first.substr(0, 40) + "\" is not a number";
        return out;
    }
    int32_t n = text_to_int(first);
    if (n < 0 || n > PROFILE_SLOTS) {
        out.damaged = true;
        out.why = "profile count " + std::to_string(n) + " out of range 0-100";
        n = bounded(n, 0, PROFILE_SLOTS);
    }
    for (int32_t i = 0; i < n; ++i) {
        ProfileImage img;
        std::string why;
        const bool complete = parse_one(r, img, why);
        if (!why.empty() && out.why.empty()) {
            out.damaged = true;
            out.why = "profile " + std::to_string(i) + ": " + why;
        }
        if (!complete) {
            out.damaged = true;
            if (out.why.empty() || why.empty())
                out.why = "the file ends inside profile " + std::to_string(i) + " of " + std::to_string(n);
            break;
        }
        out.profiles.push_back(std::move(img));
    }
    return out;
}

bool KV_MENU_LOADPROFILES() {
    std::error_code ec;
    if (!std::filesystem::exists(PROFILES_FILE, ec)) return true;
    FieldReader fr;
    ProfilesParse parsed;
    if (!field_reader_open(fr, PROFILES_FILE)) {
        parsed.damaged = true;
        parsed.why = "the file cannot be read";
    } else {
        parsed = profiles_parse(fr.bytes);
    }
    if (parsed.damaged) {
        // Keep the player's bytes: the next save must not overwrite them.
        std::error_code rec;
        std::filesystem::rename(PROFILES_FILE, PROFILES_BAD_FILE, rec);
        std::printf("profiles: %s is damaged (%s); %s\n", PROFILES_FILE, parsed.why.c_str(),
                    rec ? "it could not be renamed" : "kept as data/profiles.dat.bad");
        kv_menu_open_okbox("PROFILES DAMAGED!",
                           "data/profiles.dat could not be read completely.\\nIt was kept as "
                           "data/profiles.dat.bad.");
        if (rec) return false;
    }
    const int32_t n = static_cast<int32_t>(parsed.profiles.size());
    for (int32_t i = 0; i < n; ++i) {
        PROFILETYPE& live = KVGLOBALS.PROFILES[i];
        const int32_t mark = live.MARKFORDELETION;
        const CLOCKDAT game = live.GAMECLOCK, mission = live.MISSIONCLOCK;
        const int32_t objective = live.OBJECTIVENUM;
        g_images[i] = std::move(parsed.profiles[static_cast<size_t>(i)]);
        live = g_images[i].record;
        // Fields that are not stored keep what they held.
        live.MARKFORDELETION = mark;
        live.GAMECLOCK = game;
        live.MISSIONCLOCK = mission;
        live.OBJECTIVENUM = objective;
    }
    KV_MENUGLOBALS.NUMPROFILES = n;
    if (KV_MENUGLOBALS.SELPROFILE > n) KV_MENUGLOBALS.SELPROFILE = n;
    if (KV_MENUGLOBALS.SELPROFILE < 0) KV_MENUGLOBALS.SELPROFILE = 0;
    if (KV_MENUGLOBALS.SELPROFILE < n) set_global_tables(g_images[KV_MENUGLOBALS.SELPROFILE]);
    else if (n > 0) set_global_tables(g_images[n - 1]);
    return !parsed.damaged;
}

bool KV_MENU_SAVEPROFILES() { return write_profiles_file(); }

void kv_profile_starting_values(PROFILETYPE& p, const std::string& name, const std::string& callsign) {
    p = PROFILETYPE{};
    p.NAME = name;
    p.CALLSIGN = callsign;
    IO_CLOCK_SET(p.GAMECLOCK, 0, 0, 0);
    p.GAMECLOCKSTRING = IO_TIME_HMS(0.0);
    p.MISSIONNUM = 0;
    p.ARMOUR = 1.0f;
    p.ARMOURCLASS = 0;
    p.FUEL = 1.0f;
    p.VT90S = 9999;
    p.ROCKETS = 64;
    p.TAILPODMAX = 64;
    p.ROCKETTYPE = 1;
    p.USWSF = PROFILE_START_USWSF;
    p.ENGINEERS = PROFILE_START_ENGINEERS;
    p.HACKERS = PROFILE_START_HACKERS;
    p.SPIES = PROFILE_START_SPIES;
    p.FCPKIT = PROFILE_START_FCPKIT;
    p.PLAYERX = PROFILE_START_X;
    p.PLAYERZ = PROFILE_START_Z;
    p.GUNSHIPANGLE = 45.0f;
    p.MINIMAPTOGGLE = 1;
    p.COMPLETEDTECHNOLOGY[0] = 1;
    p.RESEARCHINGTECHNOLOGY = -1;
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = 0;
}

void kv_profiles_new_in_memory(int32_t i, const std::string& name, const std::string& callsign) {
    if (!valid_index(i)) return;
    kv_profile_starting_values(KVGLOBALS.PROFILES[i], name, callsign);
    ProfileImage& img = g_images[i];
    img.record = KVGLOBALS.PROFILES[i];
    img.clock_text = KVGLOBALS.PROFILES[i].GAMECLOCKSTRING;
    img.airdrops.clear();
    img.checkpoints.assign(1, CHECKPOINTTYPE{});
}

bool KV_MENU_NEWPROFILE(const std::string& name, const std::string& callsign) {
    const int32_t i = KV_MENUGLOBALS.NUMPROFILES;
    if (i < 0 || i >= PROFILE_SLOTS) {
        KV_SETALERT("Profile List Full");
        return false;
    }
    KV_MENUGLOBALS.SELPROFILE = i;
    KVGLOBALS.CURPROFILE = i;
    KV_MENUGLOBALS.NUMPROFILES = i + 1;
    // The live mission state no longer belongs to a started mission.
    KVGLOBALS.MISSIONSTARTED = 0;
    kv_profiles_new_in_memory(i, name, callsign);
    set_global_tables(g_images[i]);
    KV_ENEMIES_LAYOUTLOAD();
    g_enemy_owner = i;
    if (!write_profiles_file()) return false;
    return export_enemies(i);
}

bool kv_profiles_save_game() {
    const int32_t c = KVGLOBALS.CURPROFILE;
    if (!valid_index(c) || c >= KV_MENUGLOBALS.NUMPROFILES) return false;
    PROFILETYPE& live = KVGLOBALS.PROFILES[c];
    IO_CLOCK_UPDATE(live.GAMECLOCK);
    live.GAMECLOCKSTRING = IO_TIME_HMS(live.GAMECLOCK.CURR);
    ProfileImage& img = g_images[c];
    img.record = live;
    img.clock_text = live.GAMECLOCKSTRING;
    const size_t na = static_cast<size_t>(bounded(KVGLOBALS.AIRDROPCOUNT, 0, static_cast<int32_t>(KVGLOBALS.AIRDROPDATA.size())));
    const size_t nc = static_cast<size_t>(bounded(KVGLOBALS.CHECKPOINTCOUNT, 0, static_cast<int32_t>(KVGLOBALS.CHECKPOINTDATA.size())));
    img.airdrops.assign(KVGLOBALS.AIRDROPDATA.begin(), KVGLOBALS.AIRDROPDATA.begin() + static_cast<std::ptrdiff_t>(na));
    img.checkpoints.assign(KVGLOBALS.CHECKPOINTDATA.begin(), KVGLOBALS.CHECKPOINTDATA.begin() + static_cast<std::ptrdiff_t>(nc));
    if (img.checkpoints.empty()) img.checkpoints.assign(1, CHECKPOINTTYPE{});
    if (!write_profiles_file()) return false;
    // Only the profile the enemy table belongs to gets it.
    if (g_enemy_owner == c) return export_enemies(c);
    return true;
}

bool kv_profiles_update(const std::string& name, const std::string& callsign) {
    const int32_t s = KV_MENUGLOBALS.SELPROFILE;
    if (!valid_index(s) || s >= KV_MENUGLOBALS.NUMPROFILES) return false;
    KVGLOBALS.PROFILES[s].NAME = name;
    KVGLOBALS.PROFILES[s].CALLSIGN = callsign;
    return write_profiles_file();
}

bool profiles_renumber_enemy_files(const std::string& dir, int32_t removed, int32_t count) {
    namespace fs = std::filesystem;
    bool ok = true;
    for (int32_t j = removed + 1; j < count; ++j) {
        const fs::path from = fs::path(dir) / (std::to_string(j) + ".dat");
        const fs::path to = fs::path(dir) / (std::to_string(j - 1) + ".dat");
        std::error_code ec;
        if (fs::exists(from, ec)) {
            fs::rename(from, to, ec);  // replaces `to` in one step
            if (ec) {
                std::printf("profiles: cannot rename %s to %s (%s)\n", from.c_str(), to.c_str(),
                            ec.message().c_str());
                ok = false;
            }
        } else {
            fs::remove(to, ec);  // the profile now at j-1 has no file of its own
        }
    }
    if (ok && count > 0) {
        std::error_code ec;
        fs::remove(fs::path(dir) / (std::to_string(count - 1) + ".dat"), ec);
    }
    return ok;
}

bool kv_profiles_remove_selected() {
    const int32_t k = KV_MENUGLOBALS.SELPROFILE;
    const int32_t n = KV_MENUGLOBALS.NUMPROFILES;
    if (!valid_index(k) || k >= n) return false;
    KVGLOBALS.PROFILES[k].MARKFORDELETION = 1;
    if (!write_profiles_file()) {
        KVGLOBALS.PROFILES[k].MARKFORDELETION = 0;
        return false;
    }
    profiles_renumber_enemy_files("data/profiles", k, n);
    if (g_enemy_owner == k) g_enemy_owner = -1;
    else if (g_enemy_owner > k) g_enemy_owner -= 1;
    // The reload below replaces every live record with what is saved: a started mission can no
    // longer be resumed.
    KVGLOBALS.MISSIONSTARTED = 0;
    if (KVGLOBALS.CURPROFILE > k) KVGLOBALS.CURPROFILE -= 1;
    // The list closes up; the record after the removed one inherited its mark.
    for (int32_t i = k; i + 1 < n; ++i) KVGLOBALS.PROFILES[i] = KVGLOBALS.PROFILES[i + 1];
    KVGLOBALS.PROFILES[n - 1] = PROFILETYPE{};
    g_images[n - 1] = ProfileImage{};
    KV_MENU_LOADPROFILES();
    KVGLOBALS.PROFILES[k].MARKFORDELETION = 0;
    return true;
}

void kv_profiles_restore_live(int32_t index) {
    if (!valid_index(index) || index >= KV_MENUGLOBALS.NUMPROFILES) return;
    PROFILETYPE& live = KVGLOBALS.PROFILES[index];
    const CLOCKDAT mission = live.MISSIONCLOCK;
    live = g_images[index].record;
    live.GAMECLOCKSTRING = g_images[index].clock_text;
    double h = 0, m = 0, s = 0;
    profile_clock_parts(live.GAMECLOCKSTRING, h, m, s);
    IO_CLOCK_SET(live.GAMECLOCK, h, m, s);
    live.MISSIONCLOCK = mission;
}

void kv_profiles_restore_tables(int32_t index) {
    if (!valid_index(index)) return;
    set_global_tables(g_images[index]);
}

int32_t kv_enemy_table_owner() { return g_enemy_owner; }
void kv_set_enemy_table_owner(int32_t profile) { g_enemy_owner = profile; }

const ProfileImage* kv_profile_image(int32_t index) { return valid_index(index) ? &g_images[index] : nullptr; }
