// Pilot profiles: data/profiles.dat, the per-profile enemy files data/profiles/N.dat, and the
// operations that create, update, save, reload and remove profiles.
//
// Two views of every profile exist. KVGLOBALS.PROFILES holds the live records: the current
// profile's changes during and after a mission land there. Beside each record this module keeps
// the profile's saved image: the record, clock text and air-drop/check-point block last read
// from or written to disk. New, Update and Remove write the images (with the edited name and call
// sign), so a menu save never stores mid-mission state; only "Save Game" after a completed
// mission (kv_profiles_save_game) moves the live current profile, its tables and its enemy file
// to disk.
//
// Every write goes through the atomic write helper: a crash or a full disk leaves the old or the
// new file, never a torn one. A profiles.dat that cannot be read is renamed to profiles.dat.bad
// before anything is saved, and the player is told in the OK box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/missionobject_types.h"
#include "game/profile_types.h"

inline constexpr const char* PROFILES_FILE = "data/profiles.dat";
inline constexpr const char* PROFILES_BAD_FILE = "data/profiles.dat.bad";

// A profile as it stands on disk.
struct ProfileImage {
    PROFILETYPE record;
    std::string clock_text;  // line 3 of the profile's entry
    std::vector<AIRDROPTYPE> airdrops;
    std::vector<CHECKPOINTTYPE> checkpoints;  // at least one record
};

// Replaces the in-memory profiles (live records and images) with the content of profiles.dat.
// A missing file changes nothing. The global air-drop/check-point tables take the block of the
// selected profile. False when the file was damaged (renamed to .bad, OK box opened).
bool KV_MENU_LOADPROFILES();
// Writes profiles.dat from the images, leaving out profiles marked for deletion. False (with
// the "SAVE FAILED!" box) when the file could not be written.
bool KV_MENU_SAVEPROFILES();
// Appends a profile with the starting values, makes it selected and current, gives it a fresh
// enemy layout and saves it with its enemy file. A 101st profile is refused with an alert.
// False when refused or when saving failed.
bool KV_MENU_NEWPROFILE(const std::string& name, const std::string& callsign);

// A profile with the starting values at `index`, live record and image, in memory only (the
// quick flight's pilot): nothing is written.
void kv_profiles_new_in_memory(int32_t index, const std::string& name, const std::string& callsign);
// "Save Game": the live current profile (record, running game clock, global tables) becomes its
// image; profiles.dat and the profile's enemy file are written.
bool kv_profiles_save_game();
// "Update": the edited name and call sign go into the selected profile's record and image;
// everything else on disk stays as it was.
bool kv_profiles_update(const std::string& name, const std::string& callsign);
// Removal of the selected profile: save without it, move the later enemy files down by one,
// reload. False (nothing reloaded) when saving failed.
bool kv_profiles_remove_selected();
// The live record of profile `index` returns to its image (a failed mission is not resumed).
void kv_profiles_restore_live(int32_t index);
// The global air-drop and check-point tables take profile `index`'s saved block.
void kv_profiles_restore_tables(int32_t index);

// The starting values of a new pilot on a zeroed record.
void kv_profile_starting_values(PROFILETYPE& p, const std::string& name, const std::string& callsign);

// Which profile the in-memory enemy table belongs to: -1 for none (the island's layout).
int32_t kv_enemy_table_owner();
void kv_set_enemy_table_owner(int32_t profile);

// The saved image of profile `index` (read-only; nullptr outside 0-99).
const ProfileImage* kv_profile_image(int32_t index);

// The file formats behind the entry points, on explicit values, for tests and tools.
std::string profiles_serialize(const ProfileImage* images, int32_t count, const int32_t* skip);
struct ProfilesParse {
    std::vector<ProfileImage> profiles;
    bool damaged = false;   // not a number, negative, beyond 100, or records missing
    std::string why;        // the first problem found
};
ProfilesParse profiles_parse(const std::string& bytes);

// The game clock text split at its two colons ("123:04:05.678" reads as 123 h 4 min 5.678 s);
// text without two colons falls back to fixed positions (hours 1-2, minutes 4-5, seconds from 7).
void profile_clock_parts(const std::string& text, double& hours, double& minutes, double& seconds);

// Renames data/profiles/(k+1..count-1).dat down by one after profile k was removed from a list
// of `count`; the removed profile's own file is replaced or deleted. False when a rename failed.
bool profiles_renumber_enemy_files(const std::string& dir, int32_t removed, int32_t count);
