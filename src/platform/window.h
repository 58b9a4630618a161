// The game window through GLFW 3: opening it with the requested colour, depth and stencil
// bits, buffer swaps and event polling, the size callback, the close request and the
// process-wide quit request (window closed or the frame limit reached).
#pragma once

#include <cstdint>
#include <string>

struct PLATFORM_WINDOW_REQUEST {
    int32_t WIDTH = 0;
    int32_t HEIGHT = 0;
    int32_t RED = 8, GREEN = 8, BLUE = 8, ALPHA = 8;
    int32_t DEPTH = 24;
    int32_t STENCIL = 8;
    bool FULLSCREEN = false;
    std::string TITLE;
};

// Initialises GLFW and opens the window with its OpenGL context made current. On failure
// GLFW is terminated again, nothing is left open and `why` says what went wrong.
// The largest window width or height ever opened: larger sizes crash or stall the display
// libraries, and no display shows them.
inline constexpr int32_t PLATFORM_MAX_WINDOW_SIDE = 16384;

// A request wider or taller than PLATFORM_MAX_WINDOW_SIDE is refused with why.
bool platform_window_open(const PLATFORM_WINDOW_REQUEST& request, std::string& why);
// The size of the primary display's current mode (starting GLFW if needed); false when there
// is no display to ask.
bool platform_display_size(int32_t& width, int32_t& height);
bool platform_window_is_open();

// Starts GLFW (once; true when it runs). Opening the window starts it too; controllers can be
// asked before the window exists.
bool platform_glfw_start();
// True while GLFW is started (by platform_glfw_start or an open window).
bool platform_glfw_running();

// Closes the window and terminates GLFW (safe to call when nothing is open).
void platform_window_close();

// Registers the size callback; it is called once at once with the current client size, then
// from event processing (buffer swap or polling) whenever the size changes.
void platform_window_set_size_callback(void (*callback)(int32_t width, int32_t height));

// Requests a new client size (the callback follows during event processing).
void platform_window_set_size(int32_t width, int32_t height);
void platform_window_size(int32_t& width, int32_t& height);

// Swaps the buffers and processes pending window events.
void platform_window_swap();
void platform_window_poll();

void platform_window_hide_cursor();

// True once the player closed the window or platform_request_quit was called.
bool platform_quit_requested();
void platform_request_quit();
void platform_clear_quit_request();

// The GLFW window handle for the live input backend (nullptr when no window is open).
struct GLFWwindow* platform_window_handle();
