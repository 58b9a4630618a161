// A mesh whose material library names a texture: the loader creates a real OpenGL texture
// from the PNG beside the library, and a missing texture still yields a texture name.
#include <gtest/gtest.h>

#include "engine/engine_globals.h"
#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "engine/png_write.h"
#include "engine/texture.h"
#include "support/gl_context.h"

#include <GL/gl.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

using MeshTexture = GlWindowTest<64, 64>;

TEST_F(MeshTexture, MapKdLoadsTheTextureBesideTheLibrary) {
    const std::string dir = std::string(KV_BUILD_DIR) + "/gl_mesh_texture/";
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "lib").c_str(), 0755);
    const uint8_t px[2 * 2 * 3] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    ASSERT_TRUE(png_write_file(dir + "lib/skin.png", 2, 2, 3, px));
    auto put = [](const std::string& path, const char* text) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
    };
    put(dir + "lib/mesh.mtl", "newmtl skin\nmap_Kd skin.png\nnewmtl bare\nmap_Kd nothere.png\n");
    put(dir + "mesh.obj", "mtllib lib/mesh.mtl\nv 0 0 0\n");

    objfile_set_texture_loader(LOAD_TEXTURE);
    MODELDB.clear();
    MODELDB.resize(1);
    MODELDBLENGTH = 0;
    const MODEL3D* m = modeldb_model(OBJFILE_LOAD(dir + "mesh.obj"));
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->MAX_MATERIALS, 2u);
    const MODELMATERIALTYPE& skin = m->MATERIALS[0];
    EXPECT_EQ(skin.HASTEX, 1);
    ASSERT_TRUE(glIsTexture(skin.TEXTURE));
    glBindTexture(GL_TEXTURE_2D, skin.TEXTURE);
    GLint w = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(w, 2);
    uint8_t got[2 * 2 * 4] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, got);
    EXPECT_EQ(got[0], 70) << "bottom row first";
    EXPECT_EQ(got[2], 90);

    const MODELMATERIALTYPE& bare = m->MATERIALS[1];
    EXPECT_EQ(bare.HASTEX, 1);
    EXPECT_TRUE(glIsTexture(bare.TEXTURE)) << "a missing texture still gets a name";
    EXPECT_NE(bare.TEXTURE, skin.TEXTURE);
    MODELDB.clear();
    MODELDB.resize(1);
    MODELDBLENGTH = 0;
}
