// Fixed positions of the configuration tool's window (see cfg_layout.h).
#include "cfg_layout.h"

RECTI tab_rect(int32_t i) { return {108 * i, 6, 108 * i + 100, 22}; }

RECTI top_button_rect(int32_t b) {
    const int32_t x2 = WINDOW_WIDTH - 88 * b;
    return {x2 - 80, 6, x2, 22};
}

RECTI message_outer_rect(int32_t text_width) {
    int32_t half = text_width / 2 + 40;
    if (half < 200) half = 200;
    if (half > 316) half = 316;
    return {320 - half, 208, 320 + half, 272};
}

const int32_t COLWIDTH_DEFAULT[CALIB_COLUMNS] = {50, 120, 120, 120};

int32_t calibration_table_bottom(int32_t last_axis) {
    if (last_axis < -1) last_axis = -1;
    return CALIB_Y + CALIB_ROW_STEP * (last_axis + 1) + CALIB_CELL_HEIGHT - 1;
}

void input_layout(bool controller, int32_t last_axis, INPUTLAYOUT& layout) {
    int32_t flying = controller ? 210 : 80;
    int32_t weapon_gap = 190;  // from the flying heading to the weapon heading
    int32_t step = 18;
    if (controller) {
        const int32_t clear = calibration_table_bottom(last_axis) + 4;
        if (clear > flying) {
            flying = clear;
            // Everything below the flying heading: 15 + 8 steps + 16 for the flying rows, a gap
            // of 14, 15 + 2 steps + 16 for the weapon rows; it must end inside the window.
            auto bottom = [&](int32_t s) { return flying + (15 + 8 * s + 16 + 14) + 15 + 2 * s + 16; };
            step = 18;
            while (step > 16 && bottom(step) >= WINDOW_HEIGHT) --step;
            weapon_gap = 15 + 8 * step + 16 + 14;
            if (bottom(step) >= WINDOW_HEIGHT) weapon_gap -= bottom(step) - (WINDOW_HEIGHT - 1);
        }
    }
    layout.FLYINGHEADINGY = flying;
    layout.WEAPONHEADINGY = flying + weapon_gap;
    for (int32_t i = 0; i < INPUT_FLYING_ROWS; ++i) layout.ROWY[i] = flying + 15 + step * i;
    for (int32_t i = 0; i < INPUT_WEAPON_ROWS; ++i)
        layout.ROWY[INPUT_FLYING_ROWS + i] = layout.WEAPONHEADINGY + 15 + step * i;
}

const DISPLAYOPTIONENTRY DISPLAY_OPTIONS[DISPLAY_OPTION_ENTRIES] = {
    {1, "Line Smoothing", ICON_ID_LINESMOOTHING, 0, 66, false},
    {0, "Polygon Outlines", ICON_ID_OUTLINES, 0, 116, false},
    {3, "City Dome", ICON_ID_DOME, 0, 166, false},
    {4, "Buildings", ICON_ID_BUILDINGS, 0, 216, false},
    {8, "Environment Mapping", ICON_ID_ENVMAP, 0, 266, false},
    {2, "Engine Wind", ICON_ID_ENGINEWIND, 240, 66, false},
    {7, "Full Screen Anti-Aliasing", ICON_ID_FSAA, 240, 116, true},
    {5, "Bloom", ICON_ID_BLOOM, 240, 166, false},
};

const char* const FSAA_LABELS[4] = {"None", "2x", "4x", "8x"};

RECTI option_on_rect(int32_t x, int32_t y) { return {x + 100, y + 20, x + 136, y + 36}; }
RECTI option_off_rect(int32_t x, int32_t y) { return {x + 140, y + 20, x + 176, y + 36}; }

RECTI option_level_rect(int32_t x, int32_t y, const int32_t* label_widths, int32_t i) {
    int32_t bx = x + 100;
    for (int32_t k = 0; k < i; ++k) bx += label_widths[k] + 16;
    return {bx, y + 20, bx + label_widths[i] + 8, y + 36};
}
