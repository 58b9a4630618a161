// Window and OpenGL start-up (see initialize.h).
#include "engine/initialize.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "engine/engine_globals.h"
#include "engine/font.h"
#include "engine/physics.h"
#include "platform/window.h"

#include <cstdio>

namespace {
void set_perspective(int32_t width, int32_t height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A zero height (a minimised window) keeps the aspect finite.
    gluPerspective(40.0, static_cast<double>(width) / (height > 0 ? height : 1), 0.1, 1000.0);
}
}  // namespace

namespace {
// Keeps one side of the screen size within LIMIT, saying which setting was bounded and why.
void bound_side(int32_t& side, int32_t limit, const char* setting, const char* by) {
    if (side <= limit) return;
    std::printf("%s %d is larger than %s allows; the window uses %d\n", setting, side, by, limit);
    side = limit;
}
}  // namespace

bool INITIALIZE_GLFW(std::string& why) {
    // Screen sizes are bounded by the display (and never above what any display library takes)
    // before a window is asked for: a huge size crashes or stalls the libraries.
    if (OPENGLPROPERTIES.SCR_WIDTH > 0 && OPENGLPROPERTIES.SCR_HEIGHT > 0) {
        bound_side(OPENGLPROPERTIES.SCR_WIDTH, PLATFORM_MAX_WINDOW_SIDE, "XRES", "the game");
        bound_side(OPENGLPROPERTIES.SCR_HEIGHT, PLATFORM_MAX_WINDOW_SIDE, "YRES", "the game");
        int32_t display_w = 0, display_h = 0;
        if (platform_display_size(display_w, display_h)) {
            bound_side(OPENGLPROPERTIES.SCR_WIDTH, display_w, "XRES", "the display");
            bound_side(OPENGLPROPERTIES.SCR_HEIGHT, display_h, "YRES", "the display");
        }
    }
    PLATFORM_WINDOW_REQUEST r;
    r.WIDTH = OPENGLPROPERTIES.SCR_WIDTH;
    r.HEIGHT = OPENGLPROPERTIES.SCR_HEIGHT;
    r.TITLE = "Kessra Vorn";
    r.DEPTH = 24;
    r.STENCIL = 8;
    if (OPENGLPROPERTIES.SCR_BITS == 16) {
        r.RED = 5; r.GREEN = 6; r.BLUE = 5; r.ALPHA = 0;
    } else if (OPENGLPROPERTIES.SCR_BITS == 32) {
        r.RED = 8; r.GREEN = 8; r.BLUE = 8; r.ALPHA = 8;
    } else {
        why = "unsupported colour depth " + std::to_string(OPENGLPROPERTIES.SCR_BITS) +
              " (16 or 32 expected)";
        platform_window_close();  // the controller probe may have started the library
        return false;
    }
    if (OPENGLPROPERTIES.SCR_FULLSCREEN == SCR_MODE_WINDOW) {
        r.FULLSCREEN = false;
    } else if (OPENGLPROPERTIES.SCR_FULLSCREEN == SCR_MODE_FULLSCREEN) {
        r.FULLSCREEN = true;
    } else {
        why = "unknown screen mode (full-screen setting must be 0 or 1)";
        platform_window_close();
        return false;
    }
    if (!platform_window_open(r, why)) {
        platform_window_close();  // no window: the windowing library is terminated too
        return false;
    }
    // The drawing surface has its own limit: a window beyond it is shrunk to fit.
    GLint viewport_max[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport_max);
    const int32_t before_w = OPENGLPROPERTIES.SCR_WIDTH, before_h = OPENGLPROPERTIES.SCR_HEIGHT;
    if (viewport_max[0] > 0) bound_side(OPENGLPROPERTIES.SCR_WIDTH, viewport_max[0], "XRES", "OpenGL");
    if (viewport_max[1] > 0) bound_side(OPENGLPROPERTIES.SCR_HEIGHT, viewport_max[1], "YRES", "OpenGL");
    if (before_w != OPENGLPROPERTIES.SCR_WIDTH || before_h != OPENGLPROPERTIES.SCR_HEIGHT)
        platform_window_set_size(OPENGLPROPERTIES.SCR_WIDTH, OPENGLPROPERTIES.SCR_HEIGHT);
    glViewport(0, 0, OPENGLPROPERTIES.SCR_WIDTH, OPENGLPROPERTIES.SCR_HEIGHT);
    if (r.FULLSCREEN) platform_window_hide_cursor();
    platform_window_set_size_callback(INITIALIZE_WINDOWRESIZECALLBACK);
    FONT_LOADFONT("vera");
    return true;
}

void INITIALIZE_OPENGL() {
    set_perspective(OPENGLPROPERTIES.SCR_WIDTH, OPENGLPROPERTIES.SCR_HEIGHT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_COLOR_MATERIAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    SET_LIGHTVARS(GL_LIGHT0, GL_AMBIENT, 0.1f, 0.1f, 0.1f);
    SET_LIGHTVARS(GL_LIGHT0, GL_DIFFUSE, 0.9f, 0.9f, 1.0f);
    SET_LIGHTVARS(GL_LIGHT0, GL_SPECULAR, 0.9f, 0.9f, 1.0f);
    SET_LIGHTVARS(GL_LIGHT0, GL_POSITION, 3.0f, 3.0f, 3.0f);

    glMaterialf(GL_FRONT, GL_SHININESS, 75.0f);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);

    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glPolygonMode(GL_FRONT, GL_FILL);

    const GLfloat fog[4] = {0.71f, 0.68f, 0.63f, 0.0f};
    glFogfv(GL_FOG_COLOR, fog);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
}

void INITIALIZE_WINDOWRESIZECALLBACK(int32_t WIDTH, int32_t HEIGHT) {
    OPENGLPROPERTIES.SCR_WIDTH = WIDTH;
    OPENGLPROPERTIES.SCR_HEIGHT = HEIGHT;
    set_perspective(WIDTH, HEIGHT);
    glViewport(0, 0, WIDTH, HEIGHT);
    glMatrixMode(GL_MODELVIEW);
    OPENGLPROPERTIES.WINDOW_RESIZED = 1;
}

void SET_LIGHTVARS(uint32_t LIGHT, uint32_t PNAME, float R, float G, float B) {
    const GLfloat v[4] = {R, G, B, 0.0f};
    glLightfv(LIGHT, PNAME, v);
}

void INITIALIZE_PHYSICS() { PHYSICS_INITIALIZE(); }
