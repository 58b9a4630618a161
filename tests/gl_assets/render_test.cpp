// The mesh renderers against a real OpenGL context, recorded through feedback mode: corner
// order, per-corner colour of each renderer, and triangles or materials that do not resolve.
#include <gtest/gtest.h>

#include "engine/modeldb.h"
#include "support/gl_context.h"

#include <GL/gl.h>

#include <vector>

namespace {

// A mesh of two triangles in the view volume: the first red material, the second green.
MODEL3D two_triangles() {
    MODEL3D m;
    m.MAX_VERTICES = 4;
    m.VERTICES = {{-0.5f, -0.5f, 0}, {0.5f, -0.5f, 0}, {0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}};
    m.MAX_NORMALS = 1;
    m.VNORMALS = {{0, 0, 1}};
    m.MAX_MATERIALS = 2;
    m.MATERIALS.resize(2);
    m.MATERIALS[0].R = 1;
    m.MATERIALS[1].G = 1;
    m.MAX_TRIANGLES = 2;
    m.TRIANGLES.resize(2);
    m.TRIANGLES[0].POINT_ID[0] = 0, m.TRIANGLES[0].POINT_ID[1] = 1, m.TRIANGLES[0].POINT_ID[2] = 2;
    m.TRIANGLES[1].POINT_ID[0] = 2, m.TRIANGLES[1].POINT_ID[1] = 3, m.TRIANGLES[1].POINT_ID[2] = 0;
    m.TRIANGLES[1].MATERIAL = 1;
    return m;
}

struct Corner {
    float x, y, r, g, b, a;
};

// Runs DRAW in feedback mode and returns the corners of every polygon, in window coordinates
// of a 64 x 64 viewport.
template <class F>
std::vector<std::vector<Corner>> feedback(F draw) {
    std::vector<GLfloat> buf(4096);
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glFeedbackBuffer(static_cast<GLsizei>(buf.size()), GL_3D_COLOR, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    std::vector<std::vector<Corner>> polys;
    for (GLint i = 0; i < n;) {
        if (buf[i] != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected token " << buf[i];
            break;
        }
        const int count = static_cast<int>(buf[i + 1]);
        i += 2;
        std::vector<Corner> p;
        for (int k = 0; k < count; ++k, i += 7) p.push_back({buf[i], buf[i + 1], buf[i + 3], buf[i + 4], buf[i + 5], buf[i + 6]});
        polys.push_back(p);
    }
    return polys;
}

}  // namespace

using Render = GlWindowTest<64, 64>;

TEST_F(Render, ColorRendererSendsTheMaterialPerCornerInOrder) {
    const MODEL3D m = two_triangles();
    auto polys = feedback([&] { RENDER_MODEL_COLOR(&m); });
    ASSERT_EQ(polys.size(), 2u);
    ASSERT_EQ(polys[0].size(), 3u);
    // Corner order kept: (-0.5,-0.5) -> window (16,16), then (48,16), then (48,48).
    EXPECT_FLOAT_EQ(polys[0][0].x, 16);
    EXPECT_FLOAT_EQ(polys[0][0].y, 16);
    EXPECT_FLOAT_EQ(polys[0][1].x, 48);
    EXPECT_FLOAT_EQ(polys[0][2].y, 48);
    for (const Corner& c : polys[0]) EXPECT_EQ((std::vector<float>{c.r, c.g, c.b, c.a}), (std::vector<float>{1, 0, 0, 1}));
    for (const Corner& c : polys[1]) EXPECT_EQ((std::vector<float>{c.r, c.g, c.b, c.a}), (std::vector<float>{0, 1, 0, 1}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Render, PlainUsesTheCurrentColourAndAlphaVariantItsAlpha) {
    const MODEL3D m = two_triangles();
    auto plain = feedback([&] {
        glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
        RENDER_MODEL_PLAIN(&m);
    });
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_FLOAT_EQ(plain[1][2].r, 0.25f);
    EXPECT_FLOAT_EQ(plain[1][2].b, 0.75f);
    auto alpha = feedback([&] { RENDER_MODEL_COLOR_ALPHA(&m, 0.5f); });
    ASSERT_EQ(alpha.size(), 2u);
    EXPECT_FLOAT_EQ(alpha[0][0].r, 1.0f);
    EXPECT_FLOAT_EQ(alpha[0][0].a, 0.5f);
    EXPECT_FLOAT_EQ(alpha[1][1].g, 1.0f);
    EXPECT_FLOAT_EQ(alpha[1][1].a, 0.5f);
}

TEST_F(Render, UnresolvedIndicesAreNotDrawnAndUnknownMaterialsAreBlack) {
    MODEL3D m = two_triangles();
    m.TRIANGLES[0].POINT_ID[1] = 4;  // past the vertices
    m.TRIANGLES[1].MATERIAL = 7;     // past the materials
    auto polys = feedback([&] { RENDER_MODEL_COLOR(&m); });
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ((std::vector<float>{polys[0][0].r, polys[0][0].g, polys[0][0].b}), (std::vector<float>{0, 0, 0}));
    m.TRIANGLES[1].VNORMAL[2] = 1;  // past the normals
    EXPECT_TRUE(feedback([&] { RENDER_MODEL_COLOR(&m); }).empty());
    // More triangles counted than stored, and a mesh without materials at all.
    m = two_triangles();
    m.MAX_TRIANGLES = 50;
    m.MATERIALS.clear();
    m.MAX_MATERIALS = 0;
    EXPECT_EQ(feedback([&] { RENDER_MODEL_COLOR(&m); }).size(), 2u);
    EXPECT_TRUE(feedback([&] { RENDER_MODEL_COLOR(nullptr); }).empty());
}
