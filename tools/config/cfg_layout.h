// Where things sit in the configuration tool's 640 x 480 window: the tabs and the three
// buttons, the message box, the Input tab's rows in keyboard and controller layout, the
// calibration table and the Display tab's option list.
#pragma once

#include <cstdint>

#include "config/config.h"

inline constexpr int32_t WINDOW_WIDTH = 640;
inline constexpr int32_t WINDOW_HEIGHT = 480;

struct RECTI {
    int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // inclusive corners
};

inline bool rect_contains(const RECTI& r, int32_t x, int32_t y) {
    return x >= r.X1 && x <= r.X2 && y >= r.Y1 && y <= r.Y2;
}

// Tab i (0 Video, 1 Input, 2 Display): x 108 i .. 108 i + 100, y 6..22.
RECTI tab_rect(int32_t i);
// Top-right buttons: 0 "Exit" 560..640, 1 "Reload" 472..552, 2 "Save" 384..464, y 6..22.
enum : int32_t { BUTTON_EXIT = 0, BUTTON_RELOAD = 1, BUTTON_SAVE = 2 };
RECTI top_button_rect(int32_t b);

// The message box for a text `text_width` pixels wide: outer box y 208..272 wide enough for
// the text, the inner box inset by 8.
RECTI message_outer_rect(int32_t text_width);

// Binding rows of the Input tab.
inline constexpr int32_t INPUT_FLYING_ROWS = CTRL_WEAPON_PREVIOUS;               // controls 0-8
inline constexpr int32_t INPUT_WEAPON_ROWS = CTRL_SPARE - CTRL_WEAPON_PREVIOUS;  // controls 9-11
inline constexpr int32_t INPUT_LABEL_X = 200;
inline constexpr int32_t INPUT_BOX_X = 440;
inline constexpr int32_t INPUT_HEADING_X = 160;

struct INPUTLAYOUT {
    int32_t FLYINGHEADINGY = 80;  // "Flying Controls:" and "Click to Set"
    int32_t WEAPONHEADINGY = 270; // "Weapon Controls:"
    int32_t ROWY[INPUT_FLYING_ROWS + INPUT_WEAPON_ROWS] = {};  // y of control 0..11
};

// Keyboard layout: headings at 80 and 270, rows from 95 and 285 in steps of 18. Controller
// layout: headings at 210 and 400, rows from 225 and 415; when the calibration table of
// last_axis + 2 rows reaches the first heading, the rows move down below it (with a tighter
// step when needed) so that nothing overlaps and the last row ends inside the window.
void input_layout(bool controller, int32_t last_axis, INPUTLAYOUT& layout);

// Calibration table: row r (0 headings, r >= 1 axis r - 1) at y 120 + 16 r, cells 17 high,
// columns 50, 120, 120, 120 wide from x 160.
inline constexpr int32_t CALIB_X = 160;
inline constexpr int32_t CALIB_Y = 120;
inline constexpr int32_t CALIB_ROW_STEP = 16;
inline constexpr int32_t CALIB_CELL_HEIGHT = 17;
inline constexpr int32_t CALIB_COLUMNS = 4;
extern const int32_t COLWIDTH_DEFAULT[CALIB_COLUMNS];
// Last y (inclusive) covered by the table for last_axis (-1: only the heading row).
int32_t calibration_table_bottom(int32_t last_axis);

// Display tab options in drawing order.
struct DISPLAYOPTIONENTRY {
    int32_t INDEX;      // DISPLAYOPTION index
    const char* LABEL;
    int32_t ICON;       // icon number, see config_tool.h
    int32_t X;          // column: 0 General, 240 Effects
    int32_t Y;
    bool FOURLEVEL;     // anti-aliasing: None, 2x, 4x, 8x
};
inline constexpr int32_t DISPLAY_OPTION_ENTRIES = 8;
extern const DISPLAYOPTIONENTRY DISPLAY_OPTIONS[DISPLAY_OPTION_ENTRIES];
extern const char* const FSAA_LABELS[4];

// Icon numbers (order of the image files under data\config\).
enum : int32_t {
    ICON_ID_OUTLINES = 0, ICON_ID_ENGINEWIND, ICON_ID_LINESMOOTHING, ICON_ID_DOME, ICON_ID_BUILDINGS,
    ICON_ID_HUDHOUSING, ICON_ID_HUDQUALITY, ICON_ID_FSAA, ICON_ID_ENVMAP, ICON_ID_BLOOM, ICON_ID_COUNT
};

// On/off buttons of an option at (x, y): "ON" (x+100, y+20)-(x+136, y+36), "OFF" (x+140, y+20)-(x+176, y+36).
RECTI option_on_rect(int32_t x, int32_t y);
RECTI option_off_rect(int32_t x, int32_t y);
// Anti-aliasing button i given the four label widths: from x + 100, each width + 8 wide,
// consecutive buttons width + 16 apart; y + 20 .. y + 36.
RECTI option_level_rect(int32_t x, int32_t y, const int32_t* label_widths, int32_t i);
