// Mission definition files: reading data/missions/N.dat into the mission records
// (KVGLOBALS.MISSIONDATA) and the mission's air drops and check points into the global tables
// (KVGLOBALS.AIRDROPDATA / CHECKPOINTDATA).
//
// Each file is a list of entries (one text field each), split at "//" into a key and its
// values. Every index read from a file is range-checked: mission 0-99, objective 0-5, air-drop
// and check-point indices within the records the same file declared with its NEW entries, NEW
// counts within MISSION_TABLE_RECORDS_MAX. An entry that fails a check is skipped with one
// console line naming the file and line. Keys the loader does not know (REM comment lines,
// any other text) are ignored silently.
//
// Reloading: the records appended by the previous campaign load are replaced, not appended
// again, as long as the tables still end with exactly those records (the briefing reloads the
// campaign on every frame the L key is held). Records in front of them, such as those restored
// with a profile, are always kept; if the tables were replaced or changed since (a profile
// restore), the new records go after everything present.
#pragma once

#include <cstdint>
#include <string>

#include "engine/textfile.h"

// Missions read by the campaign load: 0 .. MISSION_CAMPAIGN_FILES - 1.
inline constexpr int32_t MISSION_CAMPAIGN_FILES = 3;
// Upper bound of each of the air-drop and check-point tables; a NEW entry that would pass it
// is refused.
inline constexpr int32_t MISSION_TABLE_RECORDS_MAX = 4096;

// What one file load did: entries read, entries refused (each with a console line).
struct MISSION_LOAD_RESULT {
    bool file_read = false;    // false: file missing or unreadable (read as empty)
    int32_t entries = 0;
    int32_t keyed = 0;         // entries that open with a key of the mission file
    int32_t refused = 0;
};

// Reads missions 0, 1 and 2 from "data/missions/<M>.dat" (relative to the game directory).
void KV_MISSION_LOADMISSIONDATA();

// The campaign load from another directory (ending in '/'); the reload rule above applies.
// Returns the number of refused entries over all files.
int32_t mission_load_campaign(const std::string& dir);

// One mission file M (0-99) from path, appended after the current tables. A mission number
// outside 0-99 is refused with a console line and nothing is read.
MISSION_LOAD_RESULT mission_load_file(int32_t M, const std::string& path);

// The same from a reader; name is used in console lines.
MISSION_LOAD_RESULT mission_load_reader(int32_t M, FieldReader& r, const std::string& name);

// Forgets which records the previous campaign load appended (the next load appends after
// everything present).
void mission_forget_last_load();
