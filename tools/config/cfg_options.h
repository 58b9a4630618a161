// Command-line options of the configuration tool. Without any option it behaves as the plain
// interactive tool; the others make it testable without a person at the mouse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TOOLOPTIONS {
    bool HELP = false;
    bool VERSION = false;
    std::string DIR;               // game directory; empty: the directory of the executable
    int64_t FRAMES = -1;           // leave after this many frames; -1 never
    std::string INPUT;             // input script replacing the live devices; empty: live
    std::string MODES;             // screen-mode lists replacing the library's; empty: library
    int32_t FIXEDSTEP = 0;         // virtual clock step in ms per frame; 0: live clock
    std::vector<std::pair<int64_t, std::string>> SCREENSHOTS;  // frame, PNG file
};

// Parses argv; false with a one-line reason in `error` for an unknown option or a bad value.
bool options_parse(int argc, const char* const* argv, TOOLOPTIONS& options, std::string& error);

// The usage text printed by --help.
const char* options_usage();
