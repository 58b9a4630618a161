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
// The campaign load builds the air-drop and check-point tables fresh from the files every time
// (record 0 of the check points is the objective marker), so loading twice gives the same
// tables. Whatever the tables held before (a profile's restored block) only supplies run-time
// state: crate states, positions and activations are taken over record by record when the saved
// table has exactly as many records as the fresh one and the record is of the same kind (class,
// mission, objective) with values in range. The briefing's reload reads the texts only.
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

// What a campaign load did.
struct MISSION_TABLES_RESULT {
    int32_t refused = 0;               // entries refused over all files
    int32_t airdrops_restored = 0;     // records that took saved run-time state
    int32_t checkpoints_restored = 0;
};

// Reads missions 0, 1 and 2 from "data/missions/<M>.dat" (relative to the game directory) into
// fresh tables, taking saved run-time state from the tables present as described above.
void KV_MISSION_LOADMISSIONDATA();

// The briefing's reload (one call per press of L): the briefing texts and objective names of
// missions 0-2 again, leaving the tables, numbers and run-time state alone.
void KV_MISSION_RELOADMISSIONTEXTS();

// The campaign load from another directory (ending in '/').
MISSION_TABLES_RESULT mission_load_campaign(const std::string& dir);

// The texts-only reload from another directory; returns how many of the files could be read.
int32_t mission_reload_texts(const std::string& dir);

// One mission file M (0-99) from path, appended after the current tables. A mission number
// outside 0-99 is refused with a console line and nothing is read.
MISSION_LOAD_RESULT mission_load_file(int32_t M, const std::string& path);

// The same from a reader; name is used in console lines.
MISSION_LOAD_RESULT mission_load_reader(int32_t M, FieldReader& r, const std::string& name);
