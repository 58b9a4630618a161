// The display names of the binding codes 0-99, read from data/config/controlName.dat (one
// name a line, the line number giving the code; names past the hundredth are read and dropped).
#pragma once

#include <cstdint>
#include <string>

inline constexpr int32_t CONTROLNAME_COUNT = 100;
inline constexpr const char* CONTROLNAME_FILE = "data\\config\\controlName.dat";

// Reads the names into names[0..99]; entries without a line stay empty. Returns the number of
// fields read from the file (0 when it cannot be read, with a console line).
int32_t control_names_read(const std::string& path, std::string* names);

// The name shown for a binding code; "?" for a code outside 0-99 (a damaged file's value).
const std::string& control_name_of(const std::string* names, int32_t code);

// A path as stored with backslashes, in the platform's form (backslashes become slashes).
std::string tool_path(const std::string& stored);
