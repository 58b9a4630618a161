// The minimap panel and the gunship marker with the check-point pulse, and the terrain pass's
// frame-to-frame behaviour: tiles compiled in one frame are drawn from the next, and the
// per-frame diagnostic lines stay off a console that is not a terminal.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/bits.h"
#include "engine/engine_globals.h"
#include "engine/png_write.h"
#include "engine/screenshot.h"
#include "engine/texture.h"
#include "game/kv_globals.h"
#include "world/ground.h"
#include "world/map.h"
#include "world/terrain.h"
#include "game/world.h"
#include "world/world_globals.h"
#include "platform/clock.h"
#include "support/gl_context.h"

namespace {

constexpr int W = 512, H = 512;

class WorldGl : public GlWindowTest<W, H> {
protected:
    // The overlay mapping the game uses: pixels, origin top-left, y downwards.
    static void overlay() {
        glViewport(0, 0, W, H);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glOrtho(0, W - 1, H - 1, 0, -1, 1);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_FOG);
        glDisable(GL_BLEND);  // exact colours for the checks
        glEnable(GL_CULL_FACE);  // as in the game: back faces are culled
        glCullFace(GL_BACK);
    }
    // The frame as RGB, top row first, read the way the game takes its screenshots.
    void read() { pixels_ = screenshot_read_rgb(W, H); }
    // Overlay pixel (x, y), y from the top.
    void px(int x, int y, int& r, int& g, int& b) const {
        const size_t k = (static_cast<size_t>(y) * W + x) * 3;
        r = pixels_[k];
        g = pixels_[k + 1];
        b = pixels_[k + 2];
    }
    bool any_near(int x, int y, int rad, int r0, int g0, int b0, int tol) const {
        for (int dy = -rad; dy <= rad; ++dy)
            for (int dx = -rad; dx <= rad; ++dx) {
                int r, g, b;
                px(x + dx, y + dy, r, g, b);
                if (std::abs(r - r0) <= tol && std::abs(g - g0) <= tol && std::abs(b - b0) <= tol) return true;
            }
        return false;
    }
    std::vector<uint8_t> pixels_;
};

}  // namespace

TEST_F(WorldGl, MinimapPanelMarkerAndPulse) {
    OPENGLPROPERTIES.SCR_WIDTH = W;
    OPENGLPROPERTIES.SCR_HEIGHT = H;
    const std::string minimap = std::string(KV_GAME_DIR) + "/data/maps/0/minimap.png";
    uint32_t tex = 0;
    if (std::filesystem::exists(minimap)) LOAD_TEXTUREL(tex, minimap);
    KVGLOBALS.MINIMAPTEX = static_cast<int32_t>(tex);
    KVGLOBALS.PLAYERX = 256;
    KVGLOBALS.PLAYERZ = 256;
    KVGLOBALS.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
    KVGLOBALS.CHECKPOINTDATA[0].ACTIVE = 1;
    KVGLOBALS.CHECKPOINTDATA[0].POSITION = VECTOR3D{256, 0, 100};
    KVGLOBALS.ICONANGLE = 180.0f / 7.0f;  // half way through the pulse: q = sin(pi / 4)

    overlay();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    KV_RENDER_MINIMAPDL();
    glEndList();
    glCallList(list);
    KV_RENDER_MINIMAPPLAYER();
    glFinish();
    read();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::filesystem::create_directories(std::string(KV_BUILD_DIR) + "/screenshots");
    png_write_file(std::string(KV_BUILD_DIR) + "/screenshots/world_minimap.png", W, H, 3, pixels_.data());
    // s = round(0.1 * 512) = 51; centre (457, 457); frame 402-511, panel 406-507, picture 408-505.
    int r, g, b;
    px(403, 457, r, g, b);
    EXPECT_NEAR(r, 26, 2);
    EXPECT_NEAR(g, 51, 2);
    EXPECT_NEAR(b, 102, 2);
    px(407, 430, r, g, b);
    EXPECT_NEAR(r, 51, 2);
    EXPECT_NEAR(g, 102, 2);
    EXPECT_NEAR(b, 204, 2);
    EXPECT_TRUE(any_near(406, 430, 1, 255, 255, 255, 2));  // the white outline
    px(300, 300, r, g, b);
    EXPECT_EQ(r + g + b, 0);                               // nothing outside the panel
    // The marker: (402 + 256 / 512 * 102) = 453 on both axes, white.
    EXPECT_TRUE(any_near(453, 453, 1, 255, 255, 255, 0));
    // The pulse ring round (453, 402 + 100 / 512 * 102 = 421.9), radius 8 * sin(pi / 4) = 5.7.
    EXPECT_TRUE(any_near(459, 422, 1, 255, 59, 26, 3));
    EXPECT_TRUE(any_near(447, 422, 1, 255, 59, 26, 3));
    EXPECT_FALSE(any_near(453, 422, 1, 255, 59, 26, 3));  // a ring, not a disc
    if (tex != 0) {
        // The picture shows the island, not the blue panel or white.
        int differs = 0;
        for (int y = 420; y < 500; y += 10)
            for (int x = 420; x < 500; x += 10) {
                px(x, y, r, g, b);
                if (!(std::abs(r - 51) <= 2 && std::abs(b - 204) <= 2) && !(r == 255 && g == 255 && b == 255)) differs++;
            }
        EXPECT_GT(differs, 20);
    }
    // No active check point: no ring.
    KVGLOBALS.CHECKPOINTDATA[0].ACTIVE = 0;
    glClear(GL_COLOR_BUFFER_BIT);
    KV_RENDER_MINIMAPPLAYER();
    glFinish();
    read();
    EXPECT_FALSE(any_near(459, 422, 2, 255, 59, 26, 3));
    KVGLOBALS.CHECKPOINTDATA.clear();
    KV_RENDER_MINIMAPPLAYER();  // and no check-point table at all is fine too
    glDeleteLists(list, 1);
}

TEST_F(WorldGl, TilesAppearTheFrameAfterTheyAreCompiled) {
    // A flat synthetic island: everything at height 40, no buildings.
    KV_INITIALIZE_MAPS();
    KVGLOBALS.MAPSCALE = 0.25f;
    KVGLOBALS.WATERSPACER = 10.0f;
    KV_LOAD_MISSIONMAP("/nonexistent/0.map");
    for (int32_t& h : KVGLOBALS.TERRAINMAP) h = 40;
    kv_ground_lookup_default(KVGROUNDCIRCLEPOLYLOOKUP);
    for (auto& row : KVMAPCOMPILED)
        for (auto& v : row) v = 0;
    KVGLOBALS.PLAYERX = 256;
    KVGLOBALS.PLAYERZ = 256;
    KVGLOBALS.PLAYERX8 = 32;
    KVGLOBALS.PLAYERZ8 = 32;
    KVGLOBALS.GUNSHIPPO.ANGLE = 90;
    KVGLOBALS.BOXARRAYVIEWDIST = 12;
    KVGLOBALS.TARGETVIEWSIZE.RANGE(1, 1, 32, 0.01f);
    KVGLOBALS.TARGETPLAYERX8.RANGE(32, 32, 16, 1);
    KVGLOBALS.TARGETPLAYERZ8.RANGE(32, 32, 16, 1);
    FPS = 60;

    // Keep stdout off the terminal for the frames and see that nothing is printed.
    std::fflush(stdout);
    const std::string capture = std::filesystem::temp_directory_path() / ("kv_pass_" + std::to_string(::getpid()));
    const int saved = dup(STDOUT_FILENO);
    const int fd = open(capture.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    dup2(fd, STDOUT_FILENO);

    // A clock that moves 5 ms at every reading: compiling is then paced by the 40 ms budget
    // alone, whatever else the machine is doing.
    static double stepping_seconds = 0.0;
    stepping_seconds = 100.0;
    platform_clock_use_live();
    platform_clock_set_live_source([] { return stepping_seconds += 0.005; });

    // Frames until nothing is left to compile (the time budget spreads it over several).
    std::vector<int32_t> drawn, compiled, deferred;
    int32_t marked = 0;
    for (int f = 0; f < 100; ++f) {
        IO_SYNC();
        KV_RENDER_MAP();
        drawn.push_back(KV_RENDER_MAP_STATS.drawn);
        compiled.push_back(KV_RENDER_MAP_STATS.compiled);
        deferred.push_back(KV_RENDER_MAP_STATS.deferred);
        if (f > 0 && KV_RENDER_MAP_STATS.compiled == 0 && KV_RENDER_MAP_STATS.deferred == 0) break;
    }
    platform_clock_set_live_source(nullptr);
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    close(fd);
    for (int i = 0; i < 25; ++i)
        for (int j = 0; j < 25; ++j) marked += KVGLOBALS.BOXARRAY[i][j];
    EXPECT_EQ(std::filesystem::file_size(capture), 0u);
    std::filesystem::remove(capture);

    ASSERT_GE(drawn.size(), 2u);
    EXPECT_EQ(drawn[0], 0);                         // nothing was compiled before the first frame
    EXPECT_EQ(compiled[0] + deferred[0], marked);   // every marked tile is on the map
    // The budget: at least one tile per frame, and no more than fit into 40 ms of 5 ms steps.
    EXPECT_GT(deferred[0], 0) << "the budget did not stop the first frame";
    for (size_t f = 0; f < drawn.size(); ++f) {
        if (f > 0) {
            EXPECT_EQ(drawn[f], drawn[f - 1] + compiled[f - 1]) << "frame " << f;  // drawn from the next frame on
            EXPECT_EQ(compiled[f] + deferred[f], deferred[f - 1]) << "frame " << f;
        }
        if (compiled[f] + deferred[f] > 0) {
            EXPECT_GE(compiled[f], 1) << "frame " << f;
            EXPECT_LE(compiled[f], 8) << "frame " << f;
        }
    }
    EXPECT_EQ(drawn.back(), marked);
    EXPECT_EQ(deferred.back(), 0);
    EXPECT_GT(KVGLOBALS.TOTALLOADEDTILES, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
