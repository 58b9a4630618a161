// The two loops of the game frame: the order of the steps of one iteration, the resize
// follow-up, and how exit codes and quit requests end them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_globals.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "platform/window.h"

namespace {
std::vector<std::string> g_log;
int g_frame = 0;
int g_exit_at_frame = 0;   // frame whose input step sets the exit code
int g_fail_at_frame = 0;   // frame whose failure check overwrites it
int g_resize_at_frame = 0; // frame before whose swap a resize event arrives
int g_quit_at_frame = 0;   // frame after which the window is closed

void sync() { ++g_frame; g_log.push_back("sync"); }
void inputs() {
    g_log.push_back("inputs");
    if (g_frame == g_exit_at_frame) KVGLOBALS.EXITCODE = 3;
}
void physics() { g_log.push_back("physics"); }
void enemies() { g_log.push_back("enemies"); }
void projectiles() { g_log.push_back("projectiles"); }
void render() {
    g_log.push_back("render");
    if (g_frame == g_resize_at_frame) OPENGLPROPERTIES.WINDOW_RESIZED = 1;
}
void objectives() { g_log.push_back("objectives"); }
void failure() {
    g_log.push_back("failure");
    if (g_frame == g_fail_at_frame) KVGLOBALS.EXITCODE = 4;
}
void resize() {
    g_log.push_back("resize");
    EXPECT_EQ(OPENGLPROPERTIES.WINDOW_RESIZED, 1) << "the flag is cleared only after the step";
}
void swap() { g_log.push_back("swap"); }
void pace() {
    g_log.push_back("pace");
    if (g_frame == g_quit_at_frame) platform_request_quit();
}

const KV_MISSIONFRAME kRecording = {sync,   inputs,     physics, enemies, projectiles, render,
                                    objectives, failure, resize,  swap,    pace};

void menu_inputs() {
    ++g_frame;
    g_log.push_back("menu-inputs");
    if (g_frame == g_exit_at_frame) KV_MENUGLOBALS.EXITCODE = 7;
}
void menu_render() {
    g_log.push_back("menu-render");
    if (g_frame == g_resize_at_frame) OPENGLPROPERTIES.WINDOW_RESIZED = 1;
}
const KV_MENUFRAME kMenuRecording = {menu_inputs, menu_render, resize, swap, pace};

class Loops : public testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        g_frame = g_exit_at_frame = g_fail_at_frame = g_resize_at_frame = g_quit_at_frame = 0;
        KVGLOBALS.EXITCODE = 0;
        KV_MENUGLOBALS.EXITCODE = 0;
        OPENGLPROPERTIES.WINDOW_RESIZED = 0;
        platform_clear_quit_request();
    }
    void TearDown() override {
        KVGLOBALS.EXITCODE = 0;
        KV_MENUGLOBALS.EXITCODE = 0;
        platform_clear_quit_request();
    }
};

const std::vector<std::string> kOneFrame = {"sync",   "inputs",     "physics", "enemies",
                                            "projectiles", "render", "objectives", "failure",
                                            "swap",   "pace"};
}  // namespace

TEST_F(Loops, ExitCodeSetDuringInputStillCompletesTheFrame) {
    g_exit_at_frame = 2;
    kv_run_mission_loop(kRecording);
    EXPECT_EQ(g_frame, 2);
    std::vector<std::string> expected = kOneFrame;
    expected.insert(expected.end(), kOneFrame.begin(), kOneFrame.end());
    EXPECT_EQ(g_log, expected);
    EXPECT_EQ(KVGLOBALS.EXITCODE, 3);
}

TEST_F(Loops, ALaterCheckInTheSameFrameOverwritesTheCode) {
    g_exit_at_frame = 1;
    g_fail_at_frame = 1;
    kv_run_mission_loop(kRecording);
    EXPECT_EQ(g_frame, 1);
    EXPECT_EQ(KVGLOBALS.EXITCODE, 4);
}

TEST_F(Loops, ResizeRunsBeforeTheSwapOfTheFrameThatSawIt) {
    g_resize_at_frame = 1;
    g_exit_at_frame = 2;
    kv_run_mission_loop(kRecording);
    std::vector<std::string> expected = kOneFrame;
    expected.insert(expected.begin() + 8, "resize");
    expected.insert(expected.end(), kOneFrame.begin(), kOneFrame.end());
    EXPECT_EQ(g_log, expected);
    EXPECT_EQ(OPENGLPROPERTIES.WINDOW_RESIZED, 0);
}

TEST_F(Loops, QuitRequestEndsTheMissionLoopAfterAWholeFrame) {
    g_quit_at_frame = 3;
    kv_run_mission_loop(kRecording);
    EXPECT_EQ(g_frame, 3);
    EXPECT_EQ(g_log.back(), "pace");
    EXPECT_EQ(KVGLOBALS.EXITCODE, 0);
}

TEST_F(Loops, MenuLoopOrderAndExitCodeSeven) {
    g_resize_at_frame = 1;
    g_exit_at_frame = 2;
    KV_MENUGLOBALS.EXITCODE = 0;
    kv_run_menu_loop(kMenuRecording);
    const std::vector<std::string> expected = {"menu-inputs", "menu-render", "resize", "swap",
                                               "pace",        "menu-inputs", "menu-render",
                                               "swap",        "pace"};
    EXPECT_EQ(g_log, expected);
}

TEST_F(Loops, MenuLoopDoesNotStartWhenAlreadyAskedToQuit) {
    platform_request_quit();
    kv_run_menu_loop(kMenuRecording);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(Loops, JumpBackResetsTheMissionExitCode) {
    KVGLOBALS.EXITCODE = 1;
    KV_MENUGLOBALS.JUMPBACK = 0;
    KV_MENU_PROCESS_JUMPBACK();
    EXPECT_EQ(KVGLOBALS.EXITCODE, 0);
    EXPECT_EQ(KV_MENUGLOBALS.JUMPBACK, 1);
}
