// Test helpers for the mesh loader: a scratch directory of OBJ/MTL files, a clean model
// database per test, and a texture loader that records what it was asked for.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine_globals.h"
#include "engine/objfile.h"
#include "engine/texture.h"

inline std::vector<std::string>& requested_textures() {
    static std::vector<std::string> list;
    return list;
}

inline int32_t recording_texture_loader(uint32_t& tex, const std::string& file) {
    requested_textures().push_back(file);
    tex = static_cast<uint32_t>(100 + requested_textures().size());
    return 1;
}

class ObjTest : public ::testing::Test {
protected:
    void SetUp() override {
        // One directory per test: CTest runs the tests of this program in parallel processes.
        const std::string base = std::string(KV_BUILD_DIR) + "/objfile_test/";
        mkdir(base.c_str(), 0755);
        const std::string own = base + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        mkdir(own.c_str(), 0755);
        // Work inside it with short relative names, as the game does below its directory:
        // the database keeps only 64 characters of a name.
        char cwd[4096];
        old_cwd_ = getcwd(cwd, sizeof cwd) ? cwd : ".";
        ASSERT_EQ(chdir(own.c_str()), 0) << own;
        dir_ = "";
        MODELDB.clear();
        MODELDB.resize(1);
        MODELDBLENGTH = 0;
        requested_textures().clear();
        objfile_set_texture_loader(recording_texture_loader);
    }
    void TearDown() override {
        for (const std::string& f : written_) std::remove(f.c_str());
        objfile_set_texture_loader(LOAD_TEXTURE);
        if (chdir(old_cwd_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << old_cwd_;
        MODELDB.clear();
        MODELDB.resize(1);
        MODELDBLENGTH = 0;
    }
    // Writes NAME in the scratch directory and returns its path.
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = dir_ + name;
        FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr) << path;
        if (f) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        }
        written_.push_back(path);
        return path;
    }
    MODEL3D& model(int32_t index) { return *MODELDB.at(static_cast<size_t>(index)).MODELHANDLE; }
    MODEL3D& load(const std::string& name, const std::string& text) { return model(OBJFILE_LOAD(write(name, text))); }

    std::string dir_;  // prefix of the test's files (relative to its own working directory)
    std::string old_cwd_;
    std::vector<std::string> written_;
};

// A unit cube's worth of data used by several tests: 4 vertices, 4 texture coordinates,
// 2 normals, one quad and one triangle, two materials.
inline const char* kSampleMtl =
    "# two materials\r\n"
    "newmtl hull\r\n"
    "Kd 0.5 0.25 1\r\n"
    "Ns 512\r\n"
    "d 0.75\r\n"
    "map_Kd hull.png\r\n"
    "newmtl glass\r\n"
    "Kd 0 0 1\r\n";

inline const char* kSampleObj =
    "# sample\n"
    "mtllib sample.mtl\n"
    "o thing\n"
    "v 0 0 0\n"
    "v 1 0 0\n"
    "v 1 1 0\n"
    "v 0 1 1\n"
    "vt 0 0\n"
    "vt 1 0\n"
    "vt 1 1\n"
    "vt 0 1\n"
    "vn 0 0 1\n"
    "vn 0 1 0\n"
    "usemtl glass\n"
    "f 1/1/1 2/2/1 3/3/1 4/4/2\n"
    "usemtl hull\n"
    "s off\n"
    "f 4/4/2 3/3/1 1/1/1\n";
