// The module generator's placeholder replacement, kept apart from the console dialogue.
#pragma once

#include <string>

// Extension of the project's source modules, appended to the module name.
constexpr const char* NEWMODULE_SOURCE_EXTENSION = ".cpp";

// Replaces every "%%MODULE_NAME%%" in LINE by NAME, then every "%%TAB%%" by a tab character.
// Each scan continues after the text it inserted, so a name that itself contains a placeholder
// is inserted as it stands and the replacement always ends.
std::string newmodule_replace(const std::string& line, const std::string& name);
