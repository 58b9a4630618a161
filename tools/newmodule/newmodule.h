// The module generator's placeholder replacement, kept apart from the console dialogue.
#pragma once

#include <string>

// Extension of the project's source modules, appended to the module name.
constexpr const char* NEWMODULE_SOURCE_EXTENSION = ".cpp";

// True when NAME can name a module: a C++ identifier (a letter or underscore, then letters,
// digits and underscores, at most 200 characters) that is not a keyword. Anything else (a
// path such as "../x" or "/abs/x", blanks, placeholders) would write outside the folder or
// give a module that cannot compile.
bool newmodule_valid_name(const std::string& name);

// Replaces every "%%MODULE_NAME%%" in LINE by NAME, then every "%%TAB%%" by a tab character.
// Each scan continues after the text it inserted, so a name that itself contains a placeholder
// is inserted as it stands and the replacement always ends.
std::string newmodule_replace(const std::string& line, const std::string& name);
