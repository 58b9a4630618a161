// The configuration tool's program-wide state and the functions that draw its window and
// handle its clicks. The tool keeps one CONFIGVARS record (config/config.h), draws into an
// off-screen surface with its own bitmap font and copies it to the window once per frame.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "cfg_capture.h"
#include "cfg_font.h"
#include "cfg_input.h"
#include "cfg_layout.h"
#include "cfg_modes.h"
#include "cfg_names.h"
#include "cfg_options.h"
#include "config/config.h"

// The tool's names live in their own namespace: the game's engine library, which the tool
// links for the shared record, has globals of the same vocabulary (FONTIMG, CHARWIDTH...).
namespace config_tool {

// Surfaces.
extern SDL_Surface* VIDEO;
extern SDL_Surface* VIDEOBUFFER;
extern SDL_Surface* WINBUFFER[3];
extern int32_t UPDWINBUFFER;
extern int32_t WIN;
extern const std::string TABNAME[3];

// Screen modes and controllers.
extern VIDEOMODETABLE VIDEOMODES;
extern MODEGRID MODEGRIDLAYOUT;
extern int32_t LASTJOY;
extern int32_t LASTAXIS;

// Names of the binding codes and the calibration table.
extern std::string CONTROLNAME[CONTROLNAME_COUNT];
extern int32_t CONTROLNAMELEN;
extern int32_t COLWIDTH[10];

// Status message, clocks (ms) and the input sampled this frame.
extern std::string POPUPMSG;
extern int32_t MSGTICKS;
extern int32_t WAITTICKS;
extern int32_t TICKS;
extern int32_t JOYWAITTICKS;
extern TOOLINPUT INPUT;
extern int32_t MOUSE;
extern int32_t MOUSEX;
extern int32_t MOUSEY;
extern bool MOUSEPRESSED;  // the left button went down this frame

// Palette, mapped to the window's pixel format.
extern Uint32 COLORGREY, COLORDKGREY, COLORWHITE, COLORLTGREY, COLORLTBLUE, COLORLTGREEN, COLORGREYBLUE, COLORBLACK;

// Images and font.
extern SDL_Surface* CONFIGBAR;
extern SDL_Surface* ICON[ICON_ID_COUNT];
extern SDL_Surface* FONTIMG[FONT_GLYPHS];
extern int32_t CHARWIDTH[FONT_GLYPHS];
extern int32_t CHARMINX[FONT_GLYPHS];

// Set when the program must end (Exit, F12, window closed, frame limit reached).
extern bool QUITREQUESTED;

// --- frame machinery (config_main.cpp) ---
// Current time in ms: the library's clock, or the virtual clock under --fixed-step/--input.
int32_t tool_now();
// Samples keyboard, mouse and controllers for the current frame (script or devices) and
// drains the window's events.
void tool_sample_input();
// Ends a frame in which the window is not redrawn (while a capture waits): screenshots of the
// frame, the frame counter, the frame limit. Returns false when the program must end.
bool tool_idle_frame();

// --- drawing (config_draw.cpp) ---
void FONT_LOADFONT(const std::string& name);
void FONT_PRINT(int32_t x, int32_t y, const std::string& text);
int32_t FONT_LEN(const std::string& text);
void font_print_centred(int32_t left, int32_t width, int32_t y, const std::string& text);
void DRAWBOX(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Uint32 colour);
void fill_rect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Uint32 colour);
void blit_image(SDL_Surface* image, int32_t x, int32_t y);
// A button: a box outlined in `outline` with its text centred.
void draw_button(const RECTI& r, const std::string& text, Uint32 outline);
void load_images();
void DRAWTABS();
void DRAWWIN();
void DRAWWINVIDEO();
void DRAWWININPUT();
void DRAWWININPUTKEYBOARD();
void DRAWWININPUTGAMECONTROLLER();
void DRAWWINDISPLAY();
void draw_message();

// --- interaction (config_ui.cpp) ---
bool CHECKMOUSE(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void DRAWUI();
void UPDATEUI_VIDEO();
void UPDATEUI_INPUT();
void UPDATEUI_INPUTKEYBOARD();
void UPDATEUI_INPUTGAMECONTROLLER();
void UPDATEUI_DISPLAY();
int32_t GETINPUT();
void UPD_JOYSTATUS();
void scan_controllers();
void show_message(const std::string& text);
void reload_config(bool at_start);
void save_config();
// Rects shared by drawing and clicks.
RECTI input_type_rect(int32_t type);
RECTI binding_rect(int32_t control, const INPUTLAYOUT& layout);
RECTI controller_button_rect(int32_t i);
RECTI reset_button_rect();
RECTI fullscreen_rect(int32_t fullscreen);
// The Input tab's layout for the current input type and axes.
void current_input_layout(INPUTLAYOUT& layout);
// The labels of the Input tab's controls.
extern const char* const CONTROL_LABELS[INPUT_FLYING_ROWS + INPUT_WEAPON_ROWS];

}  // namespace config_tool
