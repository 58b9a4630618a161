// The live part of every frame: the current tab's changing elements and their clicks, the tab
// and top-button clicks, the status message, binding capture and the controller rescan.
#include <cmath>
#include <charconv>
#include <cstdio>

#include "config_tool.h"
#include "platform/file_io.h"

namespace config_tool {

const char* const CONTROL_LABELS[INPUT_FLYING_ROWS + INPUT_WEAPON_ROWS] = {
    "Rotate Left", "Rotate Right", "Strafe Left", "Strafe Right", "Thrust", "Reverse",
    "Land / Activate Check Point", "Mission Window / Accept", "Mini Map Toggle / Cancel",
    "Previous", "Next", "Use",
};

bool CHECKMOUSE(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return MOUSEX >= x1 && MOUSEX <= x2 && MOUSEY >= y1 && MOUSEY <= y2;
}

namespace {

bool hovered(const RECTI& r) { return CHECKMOUSE(r.X1, r.Y1, r.X2, r.Y2); }
bool clicked(const RECTI& r) { return MOUSEPRESSED && hovered(r); }

// Outline of a choice button: green when it is the current value, blue under the mouse.
Uint32 choice_outline(const RECTI& r, bool current) {
    if (current) return COLORLTGREEN;
    if (hovered(r)) return COLORLTBLUE;
    return COLORDKGREY;
}

// Shortest decimal text of a reading.
std::string number_text(float v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

}  // namespace

void show_message(const std::string& text) {
    POPUPMSG = text;
    MSGTICKS = tool_now() + 2000;
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

void reload_config(bool at_start) {
    CONFIGVARTYPE fresh;
    if (at_start) file_remove_stale_temps(CONFIG_FILE_NAME);  // left by a save that was killed
    const ConfigReadStatus status = config_read(fresh, CONFIG_FILE_NAME);
    if (status == ConfigReadStatus::MISSING || status == ConfigReadStatus::UNREADABLE) {
        // Nothing to restore from: the record stays as it is; at start it is the shipped one.
        if (at_start) CONFIGVARS = config_defaults();
        else show_message("Could not read configVars.dat!");
        return;
    }
    CONFIGVARS = fresh;
    if (!at_start) {
        UPDWINBUFFER = 1;
        show_message("Game Configuration Restored!");
    }
}

void save_config() {
    // Settings the game would refuse to start with are not saved over usable ones.
    std::string why;
    if (!config_usable(CONFIGVARS, why)) {
        show_message("Not saved: " + why);
        return;
    }
    if (config_write(CONFIGVARS, CONFIG_FILE_NAME)) show_message("Game Configuration Saved!");
    else show_message("Could not save configVars.dat!");
}

// ---------------------------------------------------------------- frame

void DRAWUI() {
    if (UPDWINBUFFER == 1) {
        // Every tab's background is redrawn, not only the current one: a Reload or a new input
        // type seen from one tab changes what the others show.
        const int32_t current = WIN;
        for (WIN = 0; WIN < 3; ++WIN) {
            DRAWTABS();
            DRAWWIN();
            SDL_BlitSurface(VIDEOBUFFER, nullptr, WINBUFFER[WIN], nullptr);
        }
        WIN = current;
    }
    UPDWINBUFFER = 0;
    SDL_BlitSurface(WINBUFFER[WIN], nullptr, VIDEOBUFFER, nullptr);
    switch (WIN) {
    case 0: UPDATEUI_VIDEO(); break;
    case 1: UPDATEUI_INPUT(); break;
    default: UPDATEUI_DISPLAY(); break;
    }
    if (QUITREQUESTED) return;
    for (int32_t i = 0; i < 3; ++i)
        if (clicked(tab_rect(i))) WIN = i;
    if (clicked(top_button_rect(BUTTON_EXIT))) {
        QUITREQUESTED = true;
        return;
    }
    if (clicked(top_button_rect(BUTTON_RELOAD))) reload_config(false);
    if (clicked(top_button_rect(BUTTON_SAVE))) save_config();
    if (TICKS < MSGTICKS) draw_message();
}

// ---------------------------------------------------------------- Video tab

RECTI fullscreen_rect(int32_t fullscreen) {
    const char* text = fullscreen ? "FullScreen" : "Windowed";
    const int32_t w = FONT_LEN(text);
    const int32_t y = fullscreen ? 32 : 52;
    return {616 - w, y, 616 + 16, y + 18};
}

void UPDATEUI_VIDEO() {
    FONT_PRINT(188, 32, std::to_string(CONFIGVARS.XRES) + "x" + std::to_string(CONFIGVARS.YRES) + "x" +
                            std::to_string(CONFIGVARS.NBITS) + " bit");
    for (const MODEBUTTON& b : MODEGRIDLAYOUT.BUTTONS) {
        const MODESIZE& m = VIDEOMODES.VIDEOMODE[b.DEPTH][b.MODE];
        const RECTI r{b.X, b.Y, b.X + b.W, b.Y + b.H};
        const bool current = m.W == CONFIGVARS.XRES && m.H == CONFIGVARS.YRES &&
                             CONFIGVARS.NBITS == mode_depth_bits(b.DEPTH);
        draw_button(r, mode_label(m), choice_outline(r, current));
        if (clicked(r)) {
            CONFIGVARS.NBITS = static_cast<int8_t>(mode_depth_bits(b.DEPTH));
            CONFIGVARS.XRES = m.W;
            CONFIGVARS.YRES = m.H;
        }
    }
    for (int32_t f = 1; f >= 0; --f) {
        const RECTI r = fullscreen_rect(f);
        draw_button(r, f ? "FullScreen" : "Windowed", choice_outline(r, CONFIGVARS.FULLSCREEN == f));
        if (clicked(r)) CONFIGVARS.FULLSCREEN = static_cast<int8_t>(f);
    }
}

// ---------------------------------------------------------------- Display tab

void UPDATEUI_DISPLAY() {
    const bool accept = WAITTICKS < TICKS;
    for (const DISPLAYOPTIONENTRY& o : DISPLAY_OPTIONS) {
        int8_t& value = CONFIGVARS.DISPLAYOPTION[o.INDEX];
        if (o.FOURLEVEL) {
            int32_t widths[4];
            for (int32_t i = 0; i < 4; ++i) widths[i] = FONT_LEN(FSAA_LABELS[i]);
            for (int32_t i = 0; i < 4; ++i) {
                const RECTI r = option_level_rect(o.X, o.Y, widths, i);
                draw_button(r, FSAA_LABELS[i], choice_outline(r, value == i));
                if (accept && clicked(r)) value = static_cast<int8_t>(i);
            }
        } else {
            const RECTI on = option_on_rect(o.X, o.Y);
            const RECTI off = option_off_rect(o.X, o.Y);
            draw_button(on, "ON", choice_outline(on, value == 1));
            draw_button(off, "OFF", choice_outline(off, value == 0));
            if (accept && clicked(on)) value = 1;
            if (accept && clicked(off)) value = 0;
        }
    }
}

// ---------------------------------------------------------------- Input tab

RECTI input_type_rect(int32_t type) {
    const int32_t w = FONT_LEN("Game Controller") + 16;
    const int32_t y = type == 0 ? 30 : 52;
    return {264, y, 264 + w, y + 18};
}

RECTI binding_rect(int32_t control, const INPUTLAYOUT& layout) {
    const int32_t y = layout.ROWY[control];
    return {INPUT_BOX_X, y, INPUT_BOX_X + CONTROLNAMELEN + 16, y + 16};
}

namespace {

int32_t controller_button_width() {
    int32_t w = 0;
    for (int32_t i = 0; i <= LASTJOY && i < PLATFORM_JOYSTICKS; ++i) {
        const int32_t l = FONT_LEN(std::to_string(i));
        if (l > w) w = l;
    }
    return w;
}

}  // namespace

RECTI controller_button_rect(int32_t i) {
    const int32_t w = controller_button_width();
    const int32_t x = 264 + i * (w + 24);
    return {x, 78, x + w + 8, 94};
}

RECTI reset_button_rect() { return {580, 102, 632, 118}; }

void current_input_layout(INPUTLAYOUT& layout) { input_layout(CONFIGVARS.INPUTTYPE == 1, LASTAXIS, layout); }

namespace {

// Hover outline and click of the binding boxes; a click captures a new binding.
void update_binding_rows() {
    INPUTLAYOUT layout;
    current_input_layout(layout);
    for (int32_t c = 0; c < INPUT_FLYING_ROWS + INPUT_WEAPON_ROWS; ++c) {
        const RECTI r = binding_rect(c, layout);
        if (!hovered(r)) continue;
        draw_button(r, control_name_of(CONTROLNAME, CONFIGVARS.CONTROL[c]), COLORLTBLUE);
        if (MOUSEPRESSED) {
            const int32_t code = GETINPUT();
            if (code >= 0) {
                CONFIGVARS.CONTROL[c] = static_cast<int8_t>(code);
                UPDWINBUFFER = 1;
            }
            return;
        }
    }
}

}  // namespace

void UPDATEUI_INPUT() {
    UPD_JOYSTATUS();
    for (int32_t t = 0; t < 2; ++t) {
        const RECTI r = input_type_rect(t);
        draw_button(r, t == 0 ? "Keyboard" : "Game Controller", choice_outline(r, CONFIGVARS.INPUTTYPE == t));
        if (clicked(r)) {
            CONFIGVARS.INPUTTYPE = static_cast<int8_t>(t);
            UPDWINBUFFER = 1;
        }
    }
    if (CONFIGVARS.INPUTTYPE == 0) UPDATEUI_INPUTKEYBOARD();
    else if (CONFIGVARS.INPUTTYPE == 1) UPDATEUI_INPUTGAMECONTROLLER();
}

void UPDATEUI_INPUTKEYBOARD() { update_binding_rows(); }

void UPDATEUI_INPUTGAMECONTROLLER() {
    for (int32_t i = 0; i <= LASTJOY && i < PLATFORM_JOYSTICKS; ++i) {
        const RECTI r = controller_button_rect(i);
        draw_button(r, std::to_string(i), choice_outline(r, CONFIGVARS.JOYSTICK == i));
        if (clicked(r)) {
            controller_select(CONFIGVARS, i);
            UPDWINBUFFER = 1;
        }
    }
    const PLATFORM_JOYSTATE* pad = LASTJOY >= 0 ? controller_state(INPUT, CONFIGVARS.JOYSTICK) : nullptr;
    calibration_update(CONFIGVARS, pad);

    static const char* const HEADINGS[CALIB_COLUMNS] = {"Axis", "Min", "Max", "Center"};
    for (int32_t r = 0; r <= LASTAXIS + 1; ++r) {
        int32_t x = CALIB_X;
        const int32_t y = CALIB_Y + CALIB_ROW_STEP * r;
        for (int32_t col = 0; col < CALIB_COLUMNS; ++col) {
            std::string text;
            if (r == 0) {
                text = HEADINGS[col];
            } else {
                const int32_t a = r - 1;
                if (col == 0) text = "AXIS_" + std::to_string(a);
                else if (col == 1) text = number_text(CONFIGVARS.AXISMIN[a]);
                else if (col == 2) text = number_text(CONFIGVARS.AXISMAX[a]);
                else text = pad != nullptr ? number_text(pad->AXES[a]) : "";
            }
            DRAWBOX(x, y, x + COLWIDTH[col], y + CALIB_CELL_HEIGHT - 1, COLORDKGREY);
            FONT_PRINT(x + 4, y + 2, text);
            x += COLWIDTH[col];
        }
    }
    const RECTI reset = reset_button_rect();
    draw_button(reset, "Reset", choice_outline(reset, false));
    if (clicked(reset)) calibration_reset(CONFIGVARS);
    update_binding_rows();
}

void scan_controllers() {
    LASTJOY = controllers_last_present(INPUT);
    LASTAXIS = LASTJOY >= 0 ? controller_last_axis(controller_state(INPUT, CONFIGVARS.JOYSTICK)) : -1;
}

void UPD_JOYSTATUS() {
    const int32_t now = tool_now();
    if (now < JOYWAITTICKS) return;
    const int32_t old_joy = LASTJOY;
    const int32_t old_axis = LASTAXIS;
    scan_controllers();
    // The controller layout depends on the axes too, so a change of either redraws the tab.
    if (LASTJOY != old_joy || LASTAXIS != old_axis) UPDWINBUFFER = 1;
    JOYWAITTICKS = now + 150;
}

int32_t GETINPUT() {
    WAITTICKS = tool_now() + 200;
    while (tool_now() < WAITTICKS) {
        if (!tool_idle_frame()) return -1;
        tool_sample_input();
        if (QUITREQUESTED) return -1;
    }
    for (;;) {
        if (!tool_idle_frame()) return -1;
        tool_sample_input();
        if (QUITREQUESTED) return -1;
        const int32_t code = capture_poll(CONFIGVARS, INPUT, LASTJOY, LASTAXIS);
        if (code != 0) return code;
    }
}

}  // namespace config_tool
