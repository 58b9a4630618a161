// Texture loading against a real OpenGL context: names are allocated and bound even on
// failure, pixels arrive bottom-up with mipmaps, and each variant sets its format and filters.
#include <gtest/gtest.h>

#include "engine/png_write.h"
#include "engine/texture.h"
#include "support/gl_context.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
const std::string kDir = KV_BUILD_DIR;

GLint tex_param(GLenum p) {
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, p, &v);
    return v;
}
GLint level_param(GLint level, GLenum p) {
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, p, &v);
    return v;
}
GLint bound_texture() {
    GLint v = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &v);
    return v;
}

// 4 x 4 RGBA image, top row first: the top-left pixel is red, the bottom-left blue.
std::string write_test_png() {
    std::vector<uint8_t> px(4 * 4 * 4, 128);
    auto set = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        uint8_t* p = &px[(y * 4 + x) * 4];
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
    };
    set(0, 0, 255, 0, 0, 255);
    set(0, 3, 0, 0, 255, 10);
    const std::string path = kDir + "/texture_test_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
    png_write_file(path, 4, 4, 4, px.data());
    return path;
}
}  // namespace

using Texture = GlWindowTest<64, 64>;

TEST_F(Texture, MissingFileReturnsZeroButStillBindsAName) {
    int32_t (*variants[])(uint32_t&, const std::string&) = {LOAD_TEXTURE, LOAD_TEXTUREL, LOAD_TEXTUREA, LOAD_TEXTUREAL};
    uint32_t previous = 0;
    for (auto load : variants) {
        uint32_t tex = 0;
        EXPECT_EQ(load(tex, kDir + "/no_such_texture.png"), 0);
        EXPECT_NE(tex, 0u);
        EXPECT_NE(tex, previous) << "every call generates a new name";
        EXPECT_EQ(bound_texture(), static_cast<GLint>(tex));
        EXPECT_TRUE(glIsTexture(tex));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(level_param(0, GL_TEXTURE_WIDTH), 0) << "no image was uploaded";
        previous = tex;
    }
    // A file that exists but is not a PNG behaves the same way.
    FILE* f = std::fopen((kDir + "/not_a_png.png").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("plain text, certainly not an image, but long enough to be looked at", f);
    std::fclose(f);
    uint32_t tex = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(LOAD_TEXTUREA(tex, kDir + "/not_a_png.png"), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("not_a_png.png"), std::string::npos) << "the refused file is named: " << said;
    EXPECT_NE(said.find("bad signature"), std::string::npos) << "and the reason given: " << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(bound_texture(), static_cast<GLint>(tex));
    std::remove((kDir + "/not_a_png.png").c_str());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Texture, UploadsBottomUpPixelsWithMipmaps) {
    const std::string path = write_test_png();
    uint32_t tex = 0;
    ASSERT_EQ(LOAD_TEXTUREA(tex, path), 1);
    EXPECT_EQ(bound_texture(), static_cast<GLint>(tex));
    EXPECT_EQ(level_param(0, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(level_param(0, GL_TEXTURE_HEIGHT), 4);
    EXPECT_EQ(level_param(2, GL_TEXTURE_WIDTH), 1) << "mipmap chain down to 1 x 1";
    std::vector<uint8_t> got(4 * 4 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, got.data());
    // OpenGL row 0 is the last image row: bottom-left blue with alpha 10; row 3 starts red.
    EXPECT_EQ((std::vector<uint8_t>(got.begin(), got.begin() + 4)), (std::vector<uint8_t>{0, 0, 255, 10}));
    EXPECT_EQ((std::vector<uint8_t>(got.begin() + 48, got.begin() + 52)), (std::vector<uint8_t>{255, 0, 0, 255}));
    std::remove(path.c_str());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Texture, VariantsSetFormatFiltersWrapAndMode) {
    const std::string path = write_test_png();
    struct Variant {
        int32_t (*load)(uint32_t&, const std::string&);
        GLint format, min, mag;
    } variants[] = {
        {LOAD_TEXTURE, GL_RGB, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
        {LOAD_TEXTUREL, GL_RGB, GL_NEAREST, GL_NEAREST},
        {LOAD_TEXTUREA, GL_RGBA, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
        {LOAD_TEXTUREAL, GL_RGBA, GL_NEAREST, GL_NEAREST},
    };
    for (const Variant& v : variants) {
        uint32_t tex = 0;
        ASSERT_EQ(v.load(tex, path), 1);
        EXPECT_EQ(level_param(0, GL_TEXTURE_INTERNAL_FORMAT), v.format);
        EXPECT_EQ(tex_param(GL_TEXTURE_MIN_FILTER), v.min);
        EXPECT_EQ(tex_param(GL_TEXTURE_MAG_FILTER), v.mag);
        EXPECT_EQ(tex_param(GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(tex_param(GL_TEXTURE_WRAP_T), GL_REPEAT);
        GLint mode = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        EXPECT_EQ(mode, GL_MODULATE);
        if (v.format == GL_RGB) {
            std::vector<uint8_t> got(4 * 4 * 4);
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, got.data());
            EXPECT_EQ(got[3], 255) << "an RGB texture drops the alpha of the file";
        }
    }
    std::remove(path.c_str());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
