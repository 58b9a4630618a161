// The window and OpenGL state under a real context (run under a virtual X server): the size
// callback at registration and on resize, the projection and viewport it sets, the 2D overlay
// mapping read back from the framebuffer, and refused window settings.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include <cmath>
#include <string>

#include "engine/engine_globals.h"
#include "engine/initialize.h"
#include "engine/system.h"
#include "engine/profiling.h"
#include "engine/gameclock.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "game/lights.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "platform/window.h"

namespace {
class Window : public testing::Test {
protected:
    void SetUp() override {
        OPENGLPROPERTIES = OPENGLPROPERTIESTYPE{};
        OPENGLPROPERTIES.SCR_WIDTH = 320;
        OPENGLPROPERTIES.SCR_HEIGHT = 240;
        OPENGLPROPERTIES.SCR_BITS = 32;
        OPENGLPROPERTIES.SCR_FULLSCREEN = SCR_MODE_WINDOW;
    }
    void TearDown() override { platform_window_close(); }

    bool open() {
        std::string why;
        if (!INITIALIZE_GLFW(why)) {
            ADD_FAILURE() << "window refused: " << why;
            return false;
        }
        INITIALIZE_OPENGL();
        return true;
    }
    static void expect_projection_for(int w, int h) {
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        const float f = 1.0f / std::tan(20.0f * 3.14159265f / 180.0f);
        EXPECT_NEAR(m[5], f, 1e-4);
        EXPECT_NEAR(m[0], f * h / w, 1e-4);
        EXPECT_NEAR(m[10], -(1000.0f + 0.1f) / (1000.0f - 0.1f), 1e-4);
        GLint v[4];
        glGetIntegerv(GL_VIEWPORT, v);
        EXPECT_EQ(v[0], 0);
        EXPECT_EQ(v[1], 0);
        EXPECT_EQ(v[2], w);
        EXPECT_EQ(v[3], h);
    }
};
}  // namespace

TEST_F(Window, RegistrationRaisesTheResizeFlagBeforeTheFirstFrame) {
    ASSERT_TRUE(open());
    EXPECT_EQ(OPENGLPROPERTIES.WINDOW_RESIZED, 1);
    expect_projection_for(320, 240);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLint depth = 0, stencil = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    EXPECT_GE(depth, 24);
    EXPECT_GE(stencil, 8);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_FOG)) << "fog is switched on per frame by the mission render";
}

TEST_F(Window, ResizeSetsSizeProjectionAndViewportBeforeTheNextSwap) {
    ASSERT_TRUE(open());
    OPENGLPROPERTIES.WINDOW_RESIZED = 0;
    platform_window_set_size(400, 200);
    // Asking the window's size is a round trip to the display server: when the answer is
    // back, the server has carried out the resize (the virtual X server has no window manager
    // to defer it) and the size event it sent is already in our queue, so the next poll
    // delivers it however busy the machine is. No waiting on a clock is involved.
    int32_t w = 0, h = 0;
    platform_window_size(w, h);
    ASSERT_EQ(w, 400) << "the display server did not carry out the resize";
    ASSERT_EQ(h, 200);
    EXPECT_EQ(OPENGLPROPERTIES.WINDOW_RESIZED, 0) << "the callback runs only inside event processing";
    platform_window_poll();
    ASSERT_EQ(OPENGLPROPERTIES.WINDOW_RESIZED, 1) << "no size event arrived";
    EXPECT_EQ(OPENGLPROPERTIES.SCR_WIDTH, 400);
    EXPECT_EQ(OPENGLPROPERTIES.SCR_HEIGHT, 200);
    expect_projection_for(400, 200);
}

TEST_F(Window, OverlayPixelZeroIsTheTopLeftPixel) {
    ASSERT_TRUE(open());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    SYSTEM_2DPLANE_SET_FULL();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_CULL_FACE);
    glColor4f(1, 0, 0, 1);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glVertex2f(1, 1);
    glVertex2f(0, 1);
    glEnd();
    glColor4f(0, 1, 0, 1);
    glBegin(GL_QUADS);  // a marker 100 pixels right of and 50 below the corner
    glVertex2f(100, 50);
    glVertex2f(101, 50);
    glVertex2f(101, 51);
    glVertex2f(100, 51);
    glEnd();
    glEnable(GL_CULL_FACE);
    SYSTEM_2DPLANE_CLEAR();
    glPopMatrix();
    glFinish();
    auto pixel = [](int x, int y_from_top) {
        unsigned char p[3] = {0, 0, 0};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, OPENGLPROPERTIES.SCR_HEIGHT - 1 - y_from_top, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
        return std::string(1, p[0] > 128 ? 'R' : '.') + (p[1] > 128 ? 'G' : '.');
    };
    EXPECT_EQ(pixel(0, 0), "R.");
    EXPECT_EQ(pixel(1, 0), "..");
    EXPECT_EQ(pixel(0, 1), "..");
    EXPECT_EQ(pixel(0, OPENGLPROPERTIES.SCR_HEIGHT - 1), "..");
    // The overlay spans the window with one unit per pixel (to within a pixel at the far side).
    const std::string near100 = pixel(100, 50) + pixel(101, 50) + pixel(100, 51) + pixel(101, 51);
    EXPECT_NE(near100.find('G'), std::string::npos) << near100;
    // Leaving the overlay restores the 3D state.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    expect_projection_for(320, 240);
}

TEST_F(Window, SixteenBitWindowOpens) {
    OPENGLPROPERTIES.SCR_BITS = 16;
    ASSERT_TRUE(open());
    GLint stencil = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    EXPECT_GE(stencil, 8);
}

TEST_F(Window, RefusedSettingsSayWhyAndLeaveNothingOpen) {
    std::string why;
    // The start-up controller probe starts the windowing library before the window is asked
    // for; a refused window must terminate it again.
    ASSERT_TRUE(platform_glfw_start());
    OPENGLPROPERTIES.SCR_BITS = 24;
    EXPECT_FALSE(INITIALIZE_GLFW(why));
    EXPECT_NE(why.find("colour depth 24"), std::string::npos) << why;
    EXPECT_FALSE(platform_window_is_open());
    EXPECT_FALSE(platform_glfw_running());
    ASSERT_TRUE(platform_glfw_start());
    OPENGLPROPERTIES.SCR_BITS = 32;
    OPENGLPROPERTIES.SCR_FULLSCREEN = 2;
    EXPECT_FALSE(INITIALIZE_GLFW(why));
    EXPECT_NE(why.find("screen mode"), std::string::npos) << why;
    EXPECT_FALSE(platform_glfw_running());
    ASSERT_TRUE(platform_glfw_start());
    OPENGLPROPERTIES.SCR_FULLSCREEN = SCR_MODE_WINDOW;
    OPENGLPROPERTIES.SCR_WIDTH = 0;
    EXPECT_FALSE(INITIALIZE_GLFW(why));
    EXPECT_NE(why.find("size"), std::string::npos) << why;
    EXPECT_FALSE(platform_window_is_open());
    EXPECT_FALSE(platform_glfw_running());
}

TEST_F(Window, ResizeFollowUpSetsSpacerMinimapListAndLineState) {
    ASSERT_TRUE(open());
    OPENGLPROPERTIES.SCR_WIDTH = 800;
    OPENGLPROPERTIES.SCR_HEIGHT = 720;
    kv_set_menu_resize_step(kv_menu_window_resize);
    // An old recording with an odd colour marker must be replaced.
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glColor4f(1.0f, 0.0f, 0.5f, 0.25f);
    glEndList();
    KVGLOBALS.MINIMAPDL = static_cast<int32_t>(list);
    KV_WINDOW_RESIZE();
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glCallList(list);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FALSE(colour[0] == 1.0f && colour[2] == 0.5f && colour[3] == 0.25f)
        << "the minimap list was not recorded again";
    EXPECT_FLOAT_EQ(KV_MENUGLOBALS.YSPACER, 72.0f);
    GLfloat width = 0, units = 0, factor = 1;
    glGetFloatv(GL_LINE_WIDTH, &width);
    glGetFloatv(GL_POLYGON_OFFSET_UNITS, &units);
    glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &factor);
    EXPECT_FLOAT_EQ(width, 2.25f);  // 800 / 640 + 1, not rounded down to a whole pixel
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
    EXPECT_NEAR(units, -0.356f, 1e-6);
    EXPECT_EQ(factor, 0.0f);
    glDeleteLists(list, 1);
    KVGLOBALS.MINIMAPDL = 0;
    kv_set_menu_resize_step(nullptr);
}

TEST_F(Window, MissionLightIsAWorldPointLightSeenFromTheModelView) {
    ASSERT_TRUE(open());
    KV_SETUPLIGHTS();
    GLfloat ambient[4], diffuse[4], specular[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    EXPECT_FLOAT_EQ(ambient[0], 0.25f);
    EXPECT_FLOAT_EQ(ambient[3], 1.0f);
    EXPECT_FLOAT_EQ(diffuse[1], 0.65f);
    EXPECT_FLOAT_EQ(specular[2], 0.5f);
    EXPECT_FLOAT_EQ(KVGLOBALS.LIGHTPOSITION.W, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-10.0f, 0.0f, 5.0f);
    KV_GETLIGHTDATA();
    EXPECT_FLOAT_EQ(KVGLOBALS.LIGHTPOSITIONTEMP.X, 246.0f);
    EXPECT_FLOAT_EQ(KVGLOBALS.LIGHTPOSITIONTEMP.Y, 256.0f);
    EXPECT_FLOAT_EQ(KVGLOBALS.LIGHTPOSITIONTEMP.Z, 261.0f);
    EXPECT_FLOAT_EQ(KVGLOBALS.LIGHTPOSITIONTEMP.W, 1.0f);
    EXPECT_FLOAT_EQ(KVGLOBALS.MODELVIEWTEMP[12], 246.0f);
    // The model-view matrix is left as it was.
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], -10.0f);
    glLoadIdentity();
}

TEST_F(Window, ClosingTheWindowAsksTheLoopsToLeave) {
    ASSERT_TRUE(open());
    platform_clear_quit_request();
    platform_window_swap();
    EXPECT_FALSE(platform_quit_requested());
    glfwSetWindowShouldClose(platform_window_handle(), GLFW_TRUE);
    platform_window_swap();
    EXPECT_TRUE(platform_quit_requested());
    platform_clear_quit_request();
}

TEST_F(Window, FirstMissionRunInitialisesOnceAndResumingSkipsIt) {
    ASSERT_TRUE(open());
    platform_clock_use_fixed_step(16);
    platform_clear_quit_request();
    KVGLOBALS.INITIALIZED = 0;
    KVGLOBALS.EXITCODE = 0;
    KVGLOBALS.CURPROFILE = 0;
    KVGLOBALS.PROFILES[0].MISSIONCLOCK = CLOCKDAT{};
    TEMPX = 5.0f;
    // One frame per run: the frame limit asks the loop to leave after the current frame.
    system_set_frame_limit(system_frame_number());
    KV_LAUNCHAPP();
    EXPECT_EQ(KVGLOBALS.INITIALIZED, 1);
    EXPECT_EQ(KVGLOBALS.MAXPROJECTILES, 9999);
    EXPECT_EQ(KVGLOBALS.COLLISIONON, 1);
    EXPECT_EQ(TEMPX, 0.0f);
    EXPECT_FLOAT_EQ(KVGLOBALS.LIGHTPOSITION.X, 256.0f);
    EXPECT_EQ(KVGLOBALS.PROFILES[0].MISSIONCLOCK.FLAGS & CLOCK_FLAG_RUNNING, 0)
        << "the mission clock runs only inside the mission loop";
    GLfloat fog_end = 0;
    glGetFloatv(GL_FOG_END, &fog_end);
    EXPECT_FLOAT_EQ(fog_end, KVGLOBALS.TARGETVIEWSIZE.CURR() * 80.0f);

    // Resuming: no second initialisation, but the lights are set again.
    KVGLOBALS.MAXPROJECTILES = 5;
    KVGLOBALS.LIGHTPOSITION.X = 1.0f;
    platform_clear_quit_request();
    system_set_frame_limit(system_frame_number());
    KV_LAUNCHAPP();
    EXPECT_EQ(KVGLOBALS.MAXPROJECTILES, 5);
    EXPECT_FLOAT_EQ(KVGLOBALS.LIGHTPOSITION.X, 256.0f);

    system_set_frame_limit(0);
    platform_clear_quit_request();
    platform_clock_use_live();
}

TEST_F(Window, TuningKeysMoveTheAdjustmentValuesByTheFrameFactor) {
    platform_input_use_script(script_parse("0 key S 1\n0 key D 1\n0 key R 1\n0 key W 1\n", "t"));
    console_readouts_force(0);
    TEMPX = TEMPY = TEMPZ = 0.0f;
    FPSR = 2.0f;
    SYSTEM_PROCESS_ADJUSTMENT_INPUTS();
    EXPECT_FLOAT_EQ(TEMPX, -0.2f);
    EXPECT_FLOAT_EQ(TEMPY, 0.2f);
    EXPECT_FLOAT_EQ(TEMPZ, 0.0f) << "W and R together cancel";
    console_readouts_force(-1);
    platform_input_use_script(SCRIPTPARSE{});
    TEMPX = TEMPY = TEMPZ = 0.0f;
    FPSR = 0.0f;
}
