// The enemies drawn with a real OpenGL context: the class meshes load into display lists, and a
// top-down frame shows each kind where it stands, hides the destroyed and those outside the
// square around the gunship. The frame is written to the build tree's screenshots.
#include <GL/gl.h>
#include <GL/glu.h>

#include "enemies_fixture.h"
#include "engine/modeldb.h"
#include "engine/png_write.h"
#include "engine/screenshot.h"
#include "support/gl_context.h"

namespace {

constexpr int W = 512, H = 512;
constexpr float CX = 100.0f, CZ = 100.0f;  // view centre; 8 pixels per unit

class EnemyGl : public GlWindowTest<W, H> {
protected:
    static void SetUpTestSuite() {
        GlWindowTest::SetUpTestSuite();
        if (!window_) return;
        const std::filesystem::path old = std::filesystem::current_path();
        std::filesystem::current_path(KV_GAME_DIR);
        KV_LOAD_ENEMIES();
        std::filesystem::current_path(old);
    }

    void draw() {
        gl_view_from_above(W, H, CX, CZ);
        glDisable(GL_CULL_FACE);
        KV_RENDER_ENEMIES();
        glFinish();
        pixels_ = screenshot_read_rgb(W, H);
    }
    // Pixels within r units of world (x, z) that are not the clear colour.
    int covered(float x, float z, float r = 2.0f) const {
        int n = 0;
        for (float dz = -r; dz <= r; dz += 0.125f)
            for (float dx = -r; dx <= r; dx += 0.125f) {
                const int px = static_cast<int>((x + dx - CX + 32) * 8), py = static_cast<int>((z + dz - CZ + 32) * 8);
                if (px < 0 || py < 0 || px >= W || py >= H) continue;
                const size_t k = (static_cast<size_t>(py) * W + px) * 3;
                if (!(pixels_[k] == 0 && pixels_[k + 1] == 0 && pixels_[k + 2] == 255)) ++n;
            }
        return n;
    }
    std::vector<uint8_t> pixels_;
};

TEST_F(EnemyGl, ClassMeshesBecomeDisplayLists) {
    const std::vector<std::pair<int, int>> used = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {2, 0}, {2, 1}, {2, 2},
                                                   {3, 0}, {3, 1}, {3, 2}, {80, 0}, {80, 1}, {80, 4}, {80, 5}};
    for (const auto& [cls, slot] : used) {
        const ENEMYCLASSTYPE& c = KVGLOBALS.ENEMYCLASS[cls];
        EXPECT_GT(c.MODELDL[slot], 0) << cls << "/" << slot;
        const MODEL3D* m = modeldb_model(c.MODELMID[slot]);
        ASSERT_NE(m, nullptr) << cls << "/" << slot;
        EXPECT_GT(m->MAX_TRIANGLES, 0u) << cls << "/" << slot << " mesh is empty";
    }
    // People are scaled down to figure size; a turret is not.
    float ax, ay, az, bx, by, bz;
    MODEL_FINDEXTENTS(modeldb_model(KVGLOBALS.ENEMYCLASS[2].MODELMID[0]), ax, ay, az, bx, by, bz);
    EXPECT_LT(by - ay, 4.0f);
    EXPECT_GT(by - ay, 0.5f);
}

TEST_F(EnemyGl, TopDownFrameShowsLiveEnemiesNearTheGunship) {
    enemies_reset_table();
    auto put = [](int i, int cls, float x, float z, int stance) {
        ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        e.POSITION = {x, 0.0f, z};
        e.ACTIVE = 1;
        e.CLASS = cls;
        e.STANCE = stance;
        e.ANGLE.Y = 30.0f * static_cast<float>(i);
        e.HEALTH = 1.0f;
        KVGLOBALS.MAXENEMIES = i;
        KVGLOBALS.LASTENEMY = i;
    };
    put(0, ENEMYCLASS_TURRET, 88.0f, 100.0f, 0);
    put(1, ENEMYCLASS_WALL, 100.0f, 88.0f, 0);
    put(2, ENEMYCLASS_M16, 112.0f, 100.0f, 0);
    put(3, ENEMYCLASS_RPG, 100.0f, 112.0f, 2);
    put(4, ENEMYCLASS_M16, 112.0f, 112.0f, 1);
    put(5, ENEMYCLASS_TURRET, 88.0f, 88.0f, 0);
    KVGLOBALS.ENEMIES[4].HEALTH = 0.0f;  // still alive
    KVGLOBALS.ENEMIES[5].ACTIVE = 0;     // destroyed
    KVGLOBALS.PLAYERX = CX;
    KVGLOBALS.PLAYERZ = CZ;
    draw();
    std::filesystem::create_directories(std::string(KV_BUILD_DIR) + "/screenshots");
    EXPECT_TRUE(png_write_file(std::string(KV_BUILD_DIR) + "/screenshots/enemies_top.png", W, H, 3, pixels_.data()));
    EXPECT_GT(covered(88, 100), 40) << "turret";
    EXPECT_GT(covered(100, 88), 40) << "wall";
    EXPECT_GT(covered(112, 100, 1.0f), 3) << "M16 figure";
    EXPECT_GT(covered(100, 112, 1.0f), 3) << "RPG figure";
    EXPECT_GT(covered(112, 112, 1.0f), 3) << "figure at zero health";
    EXPECT_EQ(covered(88, 88), 0) << "destroyed turret";
    EXPECT_EQ(covered(100, 100, 6.0f), 0) << "nothing between them";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The gunship 80 units away (rounded) along X: nothing is drawn; 79 units: the near ones are.
    KVGLOBALS.PLAYERX = 88.0f + 79.6f;
    draw();
    EXPECT_EQ(covered(88, 100), 0);
    EXPECT_EQ(covered(112, 100, 1.0f) > 3, true) << "32 units from the gunship";
    KVGLOBALS.PLAYERX = 88.0f + 79.4f;
    draw();
    EXPECT_GT(covered(88, 100), 40);
}

}  // namespace
