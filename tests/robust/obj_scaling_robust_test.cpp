// Crafted meshes that used to cost minutes or lose lines: thousands of materials switched on
// every face, the same material library named over and over, tab-separated lines and stray
// double quotes. Runs under the sanitizers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "engine/texture.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

int g_texture_loads = 0;

int32_t counting_texture(uint32_t& tex, const std::string&) {
    ++g_texture_loads;
    tex = static_cast<uint32_t>(g_texture_loads);
    return 1;
}

class ObjScaling : public ::testing::Test {
protected:
    ScratchFolder scratch{"kv_objscale"};
    const fs::path& dir = scratch.path;
    void SetUp() override {
        ASSERT_FALSE(dir.empty());
        g_texture_loads = 0;
        objfile_set_texture_loader(counting_texture);
    }
    void TearDown() override {
        objfile_set_texture_loader(LOAD_TEXTURE);
    }
    const MODEL3D& load(const std::string& name, const std::string& text) {
        write_file_text(dir / name, text);
        testing::internal::CaptureStderr();
        const int32_t index = OBJFILE_LOAD((dir / name).string());
        testing::internal::GetCapturedStderr();
        const MODEL3D* m = modeldb_model(index);
        EXPECT_NE(m, nullptr);
        static const MODEL3D empty;
        return m ? *m : empty;
    }
};

const char* kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";

}  // namespace

TEST_F(ObjScaling, ALibraryNamedAgainIsReadOnceAndItsTexturesLoadedOnce) {
    write_file_text(dir / "a.mtl", "newmtl red\nKd 1 0 0\nmap_Kd r.png\nnewmtl blue\nKd 0 0 1\nmap_Kd b.png\n");
    write_file_text(dir / "b.mtl", "newmtl green\nKd 0 1 0\nmap_Kd g.png\nnewmtl blue\nKd 0 0 0.5\n");
    std::string obj = kTriangle;
    for (int i = 0; i < 300; ++i) obj += "mtllib a.mtl\n";
    obj += "usemtl blue\nf 1/1/1 2/1/1 3/1/1\n";
    obj += "mtllib b.mtl\nusemtl blue\nf 1/1/1 2/1/1 3/1/1\nusemtl red\nf 1/1/1 2/1/1 3/1/1\n";
    obj += "mtllib a.mtl\nusemtl red\nf 1/1/1 2/1/1 3/1/1\n";
    const MODEL3D& m = load("again.obj", obj);
    EXPECT_EQ(g_texture_loads, 3) << "each texture of each library once";
    ASSERT_EQ(m.MAX_TRIANGLES, 4u);
    EXPECT_EQ(m.TRIANGLES[0].MATERIAL, 1);  // blue of a.mtl
    EXPECT_EQ(m.TRIANGLES[1].MATERIAL, 1);  // blue of b.mtl
    EXPECT_EQ(m.TRIANGLES[2].MATERIAL, 1);  // red is not in b.mtl: unchanged
    EXPECT_EQ(m.TRIANGLES[3].MATERIAL, 0);  // red of a.mtl again
    // The last library named is the one the model keeps.
    ASSERT_EQ(m.MAX_MATERIALS, 2u);
    EXPECT_STREQ(m.MATERIALS[0].MATERIALNAME, "red");
    EXPECT_EQ(m.MATERIALS[0].HASTEX, 1);
}

TEST_F(ObjScaling, ThousandsOfMaterialsSwitchedOnEveryFaceLoadQuickly) {
    const int materials = 8000, faces = 100000;
    std::string mtl;
    for (int i = 0; i < materials; ++i) mtl += "newmtl m" + std::to_string(i) + "\nKd 0.5 0.5 0.5\n";
    mtl += "newmtl m7\nKd 1 1 1\n";  // a name defined twice: the last definition counts
    write_file_text(dir / "many.mtl", mtl);
    std::string obj = std::string("mtllib many.mtl\n") + kTriangle;
    for (int i = 0; i < faces; ++i) obj += "usemtl m" + std::to_string((i * 7919) % materials) + "\nf 1/1/1 2/1/1 3/1/1\n";
    obj += "usemtl m7\nf 1/1/1 2/1/1 3/1/1\nusemtl unknown\nf 1/1/1 2/1/1 3/1/1\n";
    const auto start = std::chrono::steady_clock::now();
    const MODEL3D& m = load("many.obj", obj);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(m.MAX_TRIANGLES, static_cast<uint32_t>(faces + 2));
    for (int i = 0; i < faces; i += 997) {
        const int wanted = (i * 7919) % materials;
        EXPECT_EQ(m.TRIANGLES[i].MATERIAL, wanted == 7 ? materials : wanted) << i;
    }
    EXPECT_EQ(m.TRIANGLES[faces].MATERIAL, materials);
    EXPECT_EQ(m.TRIANGLES[faces + 1].MATERIAL, materials) << "an unknown name keeps the material";
    EXPECT_LT(seconds, 3.0);
}

TEST_F(ObjScaling, TabsSeparateAndQuotesAreOrdinaryCharacters) {
    const std::string obj =
        "v\t0\t0\t0\nv 1\t0 0\n\"a stray quote opens a comment\nv 0 1 0\nvt\t0\t0\nvn 0 0 1\n"
        "usemtl\tred\nf\t1/1/1\t2/1/1\t3/1/1\nmtllib\ttab.mtl\nusemtl\tred\nf 1/1/1 2/1/1 3/1/1\n";
    write_file_text(dir / "tab.mtl", "newmtl\tred\nKd\t1\t0.5\t0\n\"quoted\nnewmtl \"blue\"\n");
    const MODEL3D& m = load("tabs.obj", obj);
    ASSERT_EQ(m.MAX_VERTICES, 3u);
    EXPECT_EQ(m.VERTICES[1].X, 1.0f);
    EXPECT_EQ(m.VERTICES[2].Y, 0.0f);
    EXPECT_EQ(m.VERTICES[2].Z, -1.0f);
    ASSERT_EQ(m.MAX_UVS, 1u);
    ASSERT_EQ(m.MAX_TRIANGLES, 2u);
    EXPECT_EQ(m.TRIANGLES[1].POINT_ID[1], 1u);
    ASSERT_EQ(m.MAX_MATERIALS, 2u);
    EXPECT_STREQ(m.MATERIALS[0].MATERIALNAME, "red");
    EXPECT_EQ(m.MATERIALS[0].G, 0.5f);
    EXPECT_STREQ(m.MATERIALS[1].MATERIALNAME, "\"blue\"");
    EXPECT_EQ(m.TRIANGLES[1].MATERIAL, 0);
}
