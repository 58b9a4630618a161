// Window and OpenGL state record (OPENGLPROPERTIESTYPE) and the window-mode values stored in
// its SCR_FULLSCREEN field. Types only.
#pragma once

#include <cstdint>

// Window-mode values of SCR_FULLSCREEN. 0 means "unset": no window is opened for it.
inline constexpr int32_t SCR_MODE_WINDOW = 0x00010001;
inline constexpr int32_t SCR_MODE_FULLSCREEN = 0x00010002;

struct OPENGLPROPERTIESTYPE {
    int32_t SCR_WIDTH = 0;       // client size in pixels
    int32_t SCR_HEIGHT = 0;
    int32_t SCR_BITS = 0;        // requested colour depth: 16 or 32
    int32_t SCR_FULLSCREEN = 0;  // SCR_MODE_WINDOW, SCR_MODE_FULLSCREEN or 0 (unset)
    int32_t SCR_BORDER = 0;      // reserved
    int32_t WINDOW_RESIZED = 0;  // 1 after a resize event until the loop has handled it
};

// A coloured 2D line record (declared for the global line table; nothing draws it).
struct GLOBALLINETYPE {
    float X0 = 0.0f;
    float Y0 = 0.0f;
    float X1 = 0.0f;
    float Y1 = 0.0f;
    float R = 0.0f;
    float G = 0.0f;
    float B = 0.0f;
};
