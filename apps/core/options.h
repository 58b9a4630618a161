// The command line of core: the run options, their parsing with range checks and the usage
// text that documents every option. Without options the game runs as it always does.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct KV_RUNOPTIONS {
    bool HELP = false;
    bool VERSION = false;
    std::string DIR;                  // game directory; empty = the executable's directory
    bool HAS_SEED = false;
    uint32_t SEED = 0;
    int32_t FIXED_STEP = 0;           // ms per frame on the virtual clock; 0 = live clock
    int64_t FRAMES = 0;               // leave after this many frames; 0 = no limit
    std::string INPUT;                // input script
    std::string TRACE;                // trace file
    std::vector<std::pair<int64_t, std::string>> SCREENSHOTS;  // frame, PNG path
    bool FLY = false;                 // skip the menu, run mission 0 at once
    // Quick-flight scenario settings (only with --fly): the pilot's mission, the start position
    // and heading, and the starting fuel. HAS_ flags say which were given.
    int32_t FLY_MISSION = 0;
    bool HAS_FLY_AT = false;
    float FLY_X = 0.0f, FLY_Z = 0.0f;
    bool HAS_FLY_HEADING = false;
    float FLY_HEADING = 0.0f;
    bool HAS_FLY_FUEL = false;
    float FLY_FUEL = 1.0f;
    int64_t FLY_BLAST = 0;            // frame whose objective check sets off the blast; 0 = none
    // Version server for the online version check (--version-server HOST[:PORT]); without it
    // the build's own setting holds.
    bool HAS_VERSION_SERVER = false;
    std::string VERSION_SERVER_HOST;
    int32_t VERSION_SERVER_PORT = 80;
    bool AUTOPILOT = false;           // the demo pilot plays (the campaign, or with --fly one mission)
};

// The options of this run (set by main before start-up).
extern KV_RUNOPTIONS KV_OPTIONS;

// Parses argv[1..argc-1]. On a refused option the result is false and `error` is one line
// saying which option and why.
bool kv_parse_options(int argc, const char* const* argv, KV_RUNOPTIONS& out, std::string& error);

// The usage text printed by --help.
std::string kv_usage_text();
