// Damaged OBJ and MTL text must never crash the loader or leave a mesh whose triangles point
// outside its arrays: truncated, bit-flipped, line-shuffled and random variants of sample
// files, fed to the loader directly and through the model database. Runs under the sanitizers.
#include "engine/engine_globals.h"
#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "engine/textfile.h"
#include "engine/texture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

const char* kObj =
    "# robust sample\nmtllib robust.mtl\no part\n"
    "v 0 0 0\nv 1.5 0 -2\nv 1 1 0\nv 0 1 1e2\nv -3 2 1\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
    "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\n"
    "usemtl red\nf 1/1/1 2/2/1 3/3/1 4/4/2\n"
    "usemtl blue\ns 1\nf 4/4/2 3/3/3 5/1/1\nf 5/2/3 1/1/1 2/2/2\n";
const char* kMtl =
    "newmtl red\nKd 1 0 0\nNs 100\nd 1\n"
    "newmtl blue\nKd 0 0 1\nmap_Kd robust.png\nNs 900\n"
    "newmtl a_very_long_material_name\nKd 0.5 0.5 0.5\n";

int32_t no_texture(uint32_t& tex, const std::string&) {
    tex = 1;
    return 0;
}

// Every count agrees with its array and every stored index resolves.
void expect_consistent(const MODEL3D& m, const std::string& what) {
    ASSERT_EQ(m.VERTICES.size(), m.MAX_VERTICES) << what;
    ASSERT_EQ(m.VERTEXCOLORS.size(), m.MAX_VERTICES) << what;
    ASSERT_EQ(m.UVS.size(), m.MAX_UVS) << what;
    ASSERT_EQ(m.VNORMALS.size(), m.MAX_NORMALS) << what;
    ASSERT_GE(m.TRIANGLES.size(), m.MAX_TRIANGLES) << what;
    ASSERT_EQ(m.VOLUME.size(), size_t(m.MAX_TRIANGLES) * 9) << what;
    ASSERT_LE(m.MAX_MATERIALS, m.MATERIALS.size()) << what;
    for (uint32_t t = 0; t < m.MAX_TRIANGLES; ++t) {
        const TRIANGLE3D& tri = m.TRIANGLES[t];
        for (int k = 0; k < 3; ++k) {
            ASSERT_LT(tri.POINT_ID[k], m.MAX_VERTICES) << what;
            ASSERT_LT(tri.VNORMAL[k], m.MAX_NORMALS) << what;
        }
        ASSERT_GE(tri.MATERIAL, 0) << what;
    }
    float a, b, c, d, e, f;
    MODEL_FINDEXTENTS(&m, a, b, c, d, e, f);
}

MODEL3D load_text(const std::string& text, const std::string& dir) {
    MODEL3D m;
    FieldReader r = field_reader_from_string(text);
    objfile_read(m, r, dir);
    return m;
}

std::vector<std::string> variants(const std::string& base, unsigned seed) {
    std::vector<std::string> out;
    for (size_t cut = 0; cut <= base.size(); ++cut) out.push_back(base.substr(0, cut));
    std::mt19937 rng(seed);
    for (int i = 0; i < 400; ++i) {
        std::string v = base;
        const int flips = 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < flips; ++k) v[rng() % v.size()] ^= static_cast<char>(1u << (rng() % 8));
        out.push_back(v);
    }
    // Shuffled lines, dropped lines, doubled lines.
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t i = 0; i < base.size(); ++i) {
        if (base[i] == '\n') {
            lines.push_back(base.substr(from, i + 1 - from));
            from = i + 1;
        }
    }
    for (int i = 0; i < 100; ++i) {
        auto l = lines;
        std::shuffle(l.begin(), l.end(), rng);
        if (i % 3 == 1) l.erase(l.begin() + static_cast<long>(rng() % l.size()));
        if (i % 3 == 2) l.insert(l.begin() + static_cast<long>(rng() % l.size()), l[rng() % l.size()]);
        std::string s;
        for (const auto& x : l) s += x;
        out.push_back(s);
    }
    // Random bytes, and text made only of the characters that matter to the parser.
    for (int i = 0; i < 50; ++i) {
        std::string g(1 + rng() % 3000, '\0');
        for (char& c : g) c = static_cast<char>(rng());
        out.push_back(g);
        const char alphabet[] = "vtnf/ 0123456789-.e\n,\r\"usemtlnewmtlKdNsmap_";
        for (char& c : g) c = alphabet[rng() % (sizeof alphabet - 1)];
        out.push_back(g);
    }
    return out;
}

class ObjRobust : public ::testing::Test {
protected:
    void SetUp() override {
        // One directory per test: CTest runs the tests of this program in parallel processes.
        const std::string base = std::string(KV_BUILD_DIR) + "/obj_robust/";
        mkdir(base.c_str(), 0755);
        dir_ = base + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        mkdir(dir_.c_str(), 0755);
        objfile_set_texture_loader(no_texture);
    }
    void TearDown() override { objfile_set_texture_loader(LOAD_TEXTURE); }
    void write(const std::string& name, const std::string& text) {
        FILE* f = std::fopen((dir_ + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    std::string dir_;
};

}  // namespace

TEST_F(ObjRobust, DamagedObjTextKeepsTheMeshConsistent) {
    write("robust.mtl", kMtl);
    const MODEL3D good = load_text(kObj, dir_);
    ASSERT_EQ(good.MAX_TRIANGLES, 4u);
    ASSERT_EQ(good.MAX_MATERIALS, 3u);
    int n = 0;
    testing::internal::CaptureStderr();
    for (const std::string& v : variants(kObj, 1)) {
        MODEL3D m = load_text(v, dir_);
        expect_consistent(m, "variant " + std::to_string(n++));
        if (HasFatalFailure()) break;
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(ObjRobust, DamagedMtlTextKeepsTheMaterialsConsistent) {
    int n = 0;
    for (const std::string& v : variants(kMtl, 2)) {
        MODEL3D m;
        FieldReader r = field_reader_from_string(v);
        objfile_read_materials(m, r, dir_);
        ASSERT_GE(m.MATERIALS.size(), 1u) << n;
        ASSERT_LE(m.MAX_MATERIALS, m.MATERIALS.size()) << n;
        for (const MODELMATERIALTYPE& mat : m.MATERIALS) {
            ASSERT_EQ(mat.MATERIALNAME[MODEL_MATERIALNAME_LEN], '\0') << n;
            ASSERT_GE(mat.HARDNESS, 0.0f) << n;
            ASSERT_LE(mat.HARDNESS, 128.0f) << n;
        }
        ++n;
    }
}

TEST_F(ObjRobust, DamagedFilesThroughTheDatabase) {
    MODELDB.clear();
    MODELDB.resize(1);
    MODELDBLENGTH = 0;
    std::mt19937 rng(3);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 60; ++i) {
        std::string obj = kObj, mtl = kMtl;
        for (int k = 0; k < 4; ++k) obj[rng() % obj.size()] ^= static_cast<char>(1u << (rng() % 8));
        for (int k = 0; k < 4; ++k) mtl[rng() % mtl.size()] ^= static_cast<char>(1u << (rng() % 8));
        write("robust.mtl", mtl);
        const std::string name = "damaged" + std::to_string(i) + ".obj";
        write(name, obj);
        const int32_t index = OBJFILE_LOAD(dir_ + name);
        ASSERT_EQ(index, i);
        expect_consistent(*modeldb_model(index), name);
        std::remove((dir_ + name).c_str());
    }
    testing::internal::GetCapturedStderr();
    DEINIT_MODELLIST(dir_ + "models.dat");
    FieldReader r;
    ASSERT_TRUE(field_reader_open(r, dir_ + "models.dat"));
    int lines = 0;
    while (!field_eof(r)) {
        field_read(r);
        ++lines;
    }
    EXPECT_EQ(lines, 60);
    for (auto& e : MODELDB) UNLOADMESH(e.MODELHANDLE);
    MODELDB.clear();
    MODELDB.resize(1);
    MODELDBLENGTH = 0;
}
