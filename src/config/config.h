// The game's settings record (CONFIGVARTYPE, the global CONFIGVARS) and its file
// configVars.dat: 55 lines, one value each, read and written through the shared text-field
// reader and writer. Shared by the game and the configuration tool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/window.h"

inline constexpr int CONFIG_NDISPLAYOPTIONS = 24; // DISPLAYOPTION slots 0-23
inline constexpr int CONFIG_FILE_LINES = 55;      // values in configVars.dat
inline constexpr const char* CONFIG_FILE_NAME = "configVars.dat";

// Game control numbers (index into CONTROL).
enum : int32_t {
    CTRL_ROTATE_LEFT = 0,
    CTRL_ROTATE_RIGHT = 1,
    CTRL_STRAFE_LEFT = 2,
    CTRL_STRAFE_RIGHT = 3,
    CTRL_THRUST = 4,
    CTRL_REVERSE = 5,
    CTRL_LAND = 6,            // "Land / Activate Check Point"
    CTRL_MISSION_WINDOW = 7,  // "Mission Window / Accept"
    CTRL_MINIMAP = 8,         // "Mini Map Toggle / Cancel"
    CTRL_WEAPON_PREVIOUS = 9,
    CTRL_WEAPON_NEXT = 10,
    CTRL_WEAPON_USE = 11,
    CTRL_SPARE = 12,          // stored only
};
inline constexpr int CONFIG_NCONTROLS = CTRL_SPARE + 1;  // CONTROL slots 0-12

// Display option indices (index into DISPLAYOPTION).
enum : int32_t {
    DISPOPT_POLYGON_OUTLINES = 0,
    DISPOPT_LINE_SMOOTHING = 1,
    DISPOPT_ENGINE_WIND = 2,
    DISPOPT_CITY_DOME = 3,
    DISPOPT_BUILDINGS = 4,
    DISPOPT_BLOOM = 5,
    DISPOPT_FSAA = 7,         // 0 none, 1 2x, 2 4x, 3 8x
    DISPOPT_ENVIRONMENT_MAPPING = 8,
};

struct CONFIGVARTYPE {
    int32_t XRES = 0;
    int32_t YRES = 0;
    int8_t NBITS = 0;                                   // 16 or 32
    int8_t FULLSCREEN = 0;                              // 1 full screen, 0 window
    int8_t INPUTTYPE = 0;                               // 0 keyboard, 1 game controller
    float AXISMIN[PLATFORM_JOYAXES] = {};                   // calibrated most negative readings
    float AXISMAX[PLATFORM_JOYAXES] = {};                   // calibrated most positive readings
    float AXISCENTER[PLATFORM_JOYAXES] = {};                // not stored, not used
    int8_t JOYSTICK = 0;                                // controller number 0-15
    int8_t CONTROL[CONFIG_NCONTROLS] = {};              // control code of each game control
    int8_t DISPLAYOPTION[CONFIG_NDISPLAYOPTIONS] = {};  // display-effect switches
    int8_t LASTJOY = 0;                                 // highest answering controller, -1 none; not stored
};

// The game's settings, zero until INITIALIZE_GAMECONFIG has read the file.
extern CONFIGVARTYPE CONFIGVARS;

// Outcome of reading a settings file.
enum class ConfigReadStatus {
    OK,       // all 55 values present
    MISSING,     // no file of that name: the record is all zero
    SHORT,       // fewer than 55 values: the missing ones take the shipped defaults
    UNREADABLE,  // a folder, a pipe, unreadable or too large: the record is all zero
};

// The largest screen width or height the game opens a window of.
inline constexpr int32_t CONFIG_MAX_SCREEN_SIDE = PLATFORM_MAX_WINDOW_SIDE;

// The settings of the shipped configVars.dat: 1024 x 768, 32 bits, windowed, keyboard, axes
// calibrated -1..1, the default key bindings and display options.
CONFIGVARTYPE config_defaults();

// True when the game can open its window with these settings: width and height in
// 1..CONFIG_MAX_SCREEN_SIDE, depth 16 or 32, full-screen 0 or 1. Otherwise why names the
// setting that cannot be used.
bool config_usable(const CONFIGVARTYPE& cfg, std::string& why);

// A value the settings reader refused: its number in the file (from 1), its text, and whether
// it was a number out of its setting's range rather than no number at all.
struct ConfigRefusedValue {
    int32_t value = 0;
    std::string text;
    bool out_of_range = false;
};

// What a read saw besides the record, for callers that check a file rather than use it: the
// number of values the text holds (values past the 55th counted too) and every refused value.
struct ConfigReadReport {
    int32_t values = 0;
    std::vector<ConfigRefusedValue> refused;
};

// Parses the 55-value layout from text. The record is reset to zero first; every value that
// is present is taken, each range-checked. A refused value (text that is not a number, a byte
// outside -128..127, a screen size outside 0..65535, a non-finite axis value) and a value the
// text does not hold take the shipped default of that setting (config_defaults).
// AXISCENTER and LASTJOY stay 0. Refused values, a short text and the controls it lacks are
// reported on the console, naming `source` and the line. A report, when given, is filled in.
ConfigReadStatus config_parse(CONFIGVARTYPE& cfg, const std::string& text,
                              const std::string& source = CONFIG_FILE_NAME,
                              ConfigReadReport* report = nullptr);

// Reads a settings file into cfg (see config_parse); a missing or unreadable file is reported
// (saying which) and leaves the record all zero.
ConfigReadStatus config_read(CONFIGVARTYPE& cfg, const std::string& path,
                             ConfigReadReport* report = nullptr);

// The exact file bytes for cfg: 55 lines, each ended by CR LF.
std::string config_format(const CONFIGVARTYPE& cfg);

// Writes cfg to path through a temporary file renamed into place; on failure the old file is
// untouched, a console line says so and the result is false.
bool config_write(const CONFIGVARTYPE& cfg, const std::string& path);

// The game's start-up read: reads `path` into CONFIGVARS, sets LASTJOY to the highest
// controller number 0-15 for which joystick_present answers true (-1 when none does, or when
// joystick_present is null) and copies the video settings into OPENGLPROPERTIES (screen mode
// SCR_MODE_FULLSCREEN for FULLSCREEN 1, SCR_MODE_WINDOW for 0, unset 0 for anything else).
ConfigReadStatus INITIALIZE_GAMECONFIG(
    const std::string& path = CONFIG_FILE_NAME,
    bool (*joystick_present)(int32_t joystick) = platform_joystick_present);
