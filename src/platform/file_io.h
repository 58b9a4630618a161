// Whole-file reading and writing for every reader and writer of the game and its tools.
//
// Reading: only a regular file is read (a folder, a named pipe or a device is refused without
// blocking on it), and never more than a cap, so an endless or enormous file cannot fill memory.
//
// Writing: a file is replaced atomically. The new bytes go to a temporary file created
// exclusively beside the destination (it never follows a planted link), are synced, and the
// temporary is renamed over the destination, then the folder is synced. A symlinked destination
// is written through to the file it points at; a destination that exists but is not a regular
// file (a device, a pipe, a folder) or is read-only is refused and never renamed over.
#pragma once

#include <cstddef>
#include <string>

// The default cap of a read: far above any data file of the game.
constexpr std::size_t FILE_READ_MAX_BYTES = std::size_t{64} << 20;

// Reads the whole regular file PATH into OUT. False when it cannot: OUT is then empty and WHY
// says why in a few words ("missing", "a folder", "not a regular file", "larger than N bytes",
// "unreadable (Permission denied)").
bool file_read_capped(const std::string& path, std::size_t max_bytes, std::string& out, std::string& why);

// Replaces the file at PATH (or the file a symlink at PATH points to) with SIZE bytes. False
// when anything fails or the destination is refused: the old file is then untouched, no
// temporary file is left behind and WHY says why in a few words.
bool file_replace(const std::string& path, const void* data, std::size_t size, std::string& why);

// Removes the temporary files that a replace of PATH killed half-way left beside it (the
// destination itself is never touched). Returns how many were removed.
int file_remove_stale_temps(const std::string& path);

// True when PATH names a temporary file of a replace of DESTINATION_NAME (base names only).
bool file_is_replace_temp(const std::string& name, const std::string& destination_name);
