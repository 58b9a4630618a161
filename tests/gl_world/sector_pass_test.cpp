// The per-frame sector pass drawn the fast way (blending off for the opaque ground and
// buildings, restored afterwards; ground and buildings wholly outside the view or beyond the
// fog's end not sent; nearest tiles first) gives the same pixels as the straightforward way
// (every tile in the given order in the caller's state), over the densest town and over the
// coast, in the game's own camera, lighting, fog and blend state. The one allowed difference:
// where two surfaces of different tiles lie at exactly the same depth, the one drawn later
// shows, and the order differs.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_globals.h"
#include "engine/screenshot.h"
#include "game/kv_globals.h"
#include "platform/clock.h"
#include "world/ground.h"
#include "world/map.h"
#include "world/terrain.h"
#include "game/world.h"
#include "world/world_globals.h"
#include "chase_view.h"
#include "island_gl.h"

namespace {

constexpr int W = 512, H = 384;
const std::string kGameDir = KV_GAME_DIR;

class SectorPass : public IslandGlTest<W, H> {
protected:
    static void TearDownTestSuite() {
        kv_sector_pass_set_plain(false);
        IslandGlTest::TearDownTestSuite();
    }

    // Places the gunship and compiles every tile the pass can reach, so both drawings see the
    // same compiled tiles.
    static void place(float px, float pz, float angle) {
        chase_place(px, pz, angle);
        for (int32_t i = -13; i <= 13; ++i)
            for (int32_t j = -13; j <= 13; ++j) {
                const int32_t x = KVGLOBALS.PLAYERX8 + i, z = KVGLOBALS.PLAYERZ8 + j;
                if (x >= 0 && z >= 0 && x < KV_TILES && z < KV_TILES && KVMAPCOMPILED[x][z] != 1) kv_compile_tile(x, z);
            }
    }

    // One frame of the terrain pass in the mission frame's set-up. Returns the pixels.
    static std::vector<uint8_t> frame(bool plain) {
        chase_state(W, H);
        chase_begin_frame();
        platform_clock_set_virtual_seconds(100.0);  // no compile budget runs out
        const bool old = kv_sector_pass_set_plain(plain);
        KV_RENDER_MAP();
        kv_sector_pass_set_plain(old);
        platform_clock_use_live();
        blend_after_ = glIsEnabled(GL_BLEND) == GL_TRUE;
        glFinish();
        depth_.assign(static_cast<size_t>(W) * H, 0);
        glReadPixels(0, 0, W, H, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth_.data());
        for (int32_t y = 0; y < H / 2; ++y)  // top row first, as the colours come
            std::swap_ranges(depth_.begin() + y * W, depth_.begin() + (y + 1) * W, depth_.begin() + (H - 1 - y) * W);
        return screenshot_read_rgb(W, H);
    }

    // Pixels that differ from the fog colour: the frame is not empty.
    static int32_t drawn_pixels(const std::vector<uint8_t>& px) {
        int32_t n = 0;
        for (size_t k = 0; k + 2 < px.size(); k += 3)
            if (std::abs(px[k] - 181) + std::abs(px[k + 1] - 173) + std::abs(px[k + 2] - 161) > 6) n++;
        return n;
    }

    static int32_t differing_pixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        int32_t n = 0;
        for (size_t k = 0; k + 2 < a.size() && k + 2 < b.size(); k += 3)
            if (a[k] != b[k] || a[k + 1] != b[k + 1] || a[k + 2] != b[k + 2]) n++;
        return n;
    }

    // Pixels whose colour differs although the nearest surface lies at the same depth in both
    // frames (a tie between two surfaces), and those whose colour and depth both differ.
    struct Difference {
        int32_t ties = 0, other = 0;
    };
    static Difference compare(const std::vector<uint8_t>& a, const std::vector<uint32_t>& da,
                              const std::vector<uint8_t>& b, const std::vector<uint32_t>& db) {
        Difference d;
        for (size_t p = 0; p < da.size() && p < db.size() && 3 * p + 2 < a.size() && 3 * p + 2 < b.size(); ++p) {
            const size_t k = 3 * p;
            // Same colour: fine, even where depth differs (geometry beyond the fog's end, not
            // sent, was drawn in exactly the clear colour).
            if (a[k] == b[k] && a[k + 1] == b[k + 1] && a[k + 2] == b[k + 2]) continue;
            (da[p] == db[p] ? d.ties : d.other)++;
        }
        return d;
    }

    static inline std::vector<uint32_t> depth_;
    static inline bool blend_after_ = false;
};

// The tile whose 5 x 5 tile neighbourhood holds the most building cells.
void densest_town(int32_t& bx, int32_t& bz) {
    const KVMAPVIEW v = kv_world_view();
    int32_t best = -1;
    for (int32_t tz = 2; tz < KV_TILES - 2; ++tz)
        for (int32_t tx = 2; tx < KV_TILES - 2; ++tx) {
            int32_t s = 0;
            for (int32_t x = tx * 8 - 16; x < tx * 8 + 24; x += 2)
                for (int32_t z = tz * 8 - 16; z < tz * 8 + 24; z += 2) s += kv_map_city(v, x, z) > 3 ? 1 : 0;
            if (s > best) {
                best = s;
                bx = tx;
                bz = tz;
            }
        }
}

}  // namespace

TEST_F(SectorPass, TownFramesMatchTheStraightforwardDrawingAtEveryHeading) {
    int32_t tx = 0, tz = 0;
    densest_town(tx, tz);
    for (float angle : {0.0f, 90.0f, 200.0f, 315.0f}) {
        place(tx * 8 + 4.0f, tz * 8 + 4.0f, angle);
        const std::vector<uint8_t> plain = frame(true);
        EXPECT_TRUE(blend_after_) << "the plain pass leaves the caller's state alone";
        EXPECT_EQ(KV_RENDER_MAP_STATS.ground_outside + KV_RENDER_MAP_STATS.buildings_outside, 0)
            << "the plain pass sends everything";
        const int32_t sent_plain = KV_RENDER_MAP_STATS.buildings_sent;
        const std::vector<uint32_t> depth_plain = depth_;
        const std::vector<uint8_t> fast = frame(false);
        EXPECT_TRUE(blend_after_) << "blending is on again after the pass";
        // Ground and buildings wholly outside the view are left out, and only those: the
        // pixels below stay the same.
        EXPECT_GT(KV_RENDER_MAP_STATS.ground_outside, 5) << "heading " << angle;
        EXPECT_LT(KV_RENDER_MAP_STATS.ground_outside, KV_RENDER_MAP_STATS.drawn) << "heading " << angle;
        EXPECT_EQ(KV_RENDER_MAP_STATS.buildings_sent + KV_RENDER_MAP_STATS.buildings_outside, sent_plain);
        EXPECT_GT(KV_RENDER_MAP_STATS.buildings_sent, 0) << "heading " << angle;
        ASSERT_EQ(plain.size(), static_cast<size_t>(W) * H * 3);
        ASSERT_EQ(fast.size(), plain.size());
        EXPECT_GT(KV_RENDER_MAP_STATS.drawn, 20) << "heading " << angle;
        EXPECT_GT(drawn_pixels(plain), W * H / 4) << "heading " << angle << ": the town fills the frame";
        const Difference d = compare(plain, depth_plain, fast, depth_);
        EXPECT_EQ(d.other, 0) << "heading " << angle;
        EXPECT_LT(d.ties, W * H / 1000) << "heading " << angle;
    }
}

TEST_F(SectorPass, CoastFrameMatchesAndBlendOffStaysOff) {
    // A point on the shore: land, beach, shallows and deep water in one view.
    const KVMAPVIEW v = kv_world_view();
    float px = 256, pz = 256;
    for (int32_t x = 256; x < 500; ++x)
        if (kv_map_terrain(v, x, 256) < v.WATERHEIGHT) {
            px = static_cast<float>(x);
            break;
        }
    place(px, pz, 180.0f);
    const std::vector<uint8_t> plain = frame(true);
    const std::vector<uint8_t> fast = frame(false);
    EXPECT_EQ(differing_pixels(plain, fast), 0);
    EXPECT_GT(drawn_pixels(fast), W * H / 4);

    // A caller that drew with blending off finds it off afterwards.
    glDisable(GL_BLEND);
    KVSECTORPASS empty;
    kv_sector_pass_draw(empty, KV_RENDER_SECTOR);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

namespace {
int32_t g_drawn[KV_SECTORPASS_SLOTS + 1][2];
int32_t g_drawn_count = 0;
void record_tile(int32_t tx, int32_t tz) {
    if (g_drawn_count <= KV_SECTORPASS_SLOTS) {
        g_drawn[g_drawn_count][0] = tx;
        g_drawn[g_drawn_count][1] = tz;
    }
    g_drawn_count++;
}
}  // namespace

TEST_F(SectorPass, EveryTileIsDrawnOnceInTheGivenOrderUpToTheCapacity) {
    static KVSECTORPASS pass;
    pass.COUNT = -5;  // a damaged count starts over
    for (int32_t k = 0; k < KV_SECTORPASS_SLOTS + 10; ++k) kv_sector_pass_add(pass, k % KV_TILES, (k / KV_TILES) % KV_TILES);
    EXPECT_EQ(pass.COUNT, KV_SECTORPASS_SLOTS);
    glEnable(GL_BLEND);
    for (bool plain : {true, false}) {
        const bool old = kv_sector_pass_set_plain(plain);
        g_drawn_count = 0;
        kv_sector_pass_draw(pass, record_tile);
        kv_sector_pass_set_plain(old);
        ASSERT_EQ(g_drawn_count, KV_SECTORPASS_SLOTS) << (plain ? "plain" : "fast");
        for (int32_t k = 0; k < KV_SECTORPASS_SLOTS; ++k) {
            ASSERT_EQ(g_drawn[k][0], k % KV_TILES) << k;
            ASSERT_EQ(g_drawn[k][1], (k / KV_TILES) % KV_TILES) << k;
        }
        EXPECT_EQ(glIsEnabled(GL_BLEND), GL_TRUE);
    }
    kv_sector_pass_draw(pass, nullptr);  // no drawing function: nothing happens
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// What a tile's list holds is bounded by the box recorded while it was compiled, not by its own
// cells: the plinth walls of a wide building anchored near the tile's edge stand in the next
// tile, and a tile whose box lies outside the view is not sent.
TEST_F(SectorPass, TileBoxHoldsPlinthWallsReachingIntoTheNextTile) {
    const KVMAPVIEW v = kv_world_view();
    int32_t found = 0;
    for (int32_t z = 0; z < KV_MAPSIDE && found < 20; ++z)
        for (int32_t x = 0; x < KV_MAPSIDE && found < 20; ++x) {
            const int32_t c = kv_map_city(v, x, z);
            if (c < 4 || c > 19) continue;
            const int32_t s = KVGLOBALS.BUILDINGCLASS[c - 3].SIZE;
            const int32_t tx = x / 8, tz = z / 8;
            if (s < 2 || (x % 8) + s <= 8 || x + s > KV_MAPSIDE) continue;  // footprint stays in the tile
            // A plinth wall on the far side of the footprint, beyond the tile's own cells.
            bool wall = false;
            for (int32_t b = 0; b < s && !wall; ++b) {
                const int32_t cc = kv_map_city(v, x + s - 1, z + b);
                wall = cc == -1 || cc > 3;
            }
            if (!wall) continue;
            if (KVMAPCOMPILED[tx][tz] != 1) kv_compile_tile(tx, tz);
            float lo[3], hi[3];
            ASSERT_TRUE(kv_tile_box(tx, tz, lo, hi)) << tx << "," << tz;
            EXPECT_GE(hi[0], static_cast<float>(x + s - 1)) << "anchor " << x << "," << z << " size " << s;
            EXPECT_GT(hi[0], static_cast<float>(tx * 8 + 8)) << "anchor " << x << "," << z << " size " << s;
            found++;
        }
    EXPECT_GT(found, 0) << "the island has wide buildings across tile edges";
    float lo[3], hi[3];
    EXPECT_FALSE(kv_tile_box(-1, 0, lo, hi));
    EXPECT_FALSE(kv_tile_box(0, KV_TILES, lo, hi));
}

// Boxes are only as good as the places they are tried in: a sweep over the whole island (towns,
// coast, hills, the map's edge) at several headings and heights, each frame the same as the
// straightforward drawing but for ties.
TEST_F(SectorPass, FramesMatchAcrossTheIsland) {
    int32_t left_out = 0, frames = 0;
    for (int32_t k = 0; k < 9; ++k) {
        const float px = 40.0f + 53.0f * static_cast<float>(k), pz = 470.0f - 47.0f * static_cast<float>(k);
        const float angle = 37.0f * static_cast<float>(k * k);
        place(px, pz, angle);
        KVGLOBALS.PLAYERY += 6.0f * static_cast<float>(k % 3);  // low, middle and high passes
        const std::vector<uint8_t> plain = frame(true);
        const std::vector<uint32_t> depth_plain = depth_;
        const std::vector<uint8_t> fast = frame(false);
        left_out += KV_RENDER_MAP_STATS.ground_outside + KV_RENDER_MAP_STATS.buildings_outside;
        const Difference d = compare(plain, depth_plain, fast, depth_);
        EXPECT_EQ(d.other, 0) << "at " << px << "," << pz << " heading " << angle;
        EXPECT_LT(d.ties, W * H / 1000) << "at " << px << "," << pz << " heading " << angle;
        frames++;
    }
    EXPECT_EQ(frames, 9);
    EXPECT_GT(left_out, 9 * 10) << "the sweep leaves geometry out, so it tries the boxes";
}
