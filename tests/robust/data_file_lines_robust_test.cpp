// A data file that cannot be read or yields nothing is named on the console, once: enemy
// layouts, mission files, meshes, material libraries and the segment font, each missing, a
// folder, empty and full of garbage. Nothing may load silently as nothing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/fontdb.h"
#include "engine/objfile.h"
#include "engine/texture.h"
#include "game/enemies.h"
#include "game/kv_globals.h"
#include "game/mission.h"
#include "support/files.h"
#include "support/gl_context.h"

namespace fs = std::filesystem;

namespace {

struct DataDir : ScratchFolder {
    DataDir() : ScratchFolder("kv_data") {
        fs::create_directory(path / "folder.dat");
        write_file_text(path / "empty.dat", "");
        std::string junk;
        for (int i = 0; i < 600; ++i) junk += static_cast<char>((i * 131 + 7) % 251 + 1);
        write_file_text(path / "junk.dat", junk);
    }
};

// How many console lines name the file.
int lines_naming(const std::string& out, const std::string& file) {
    int n = 0;
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        if (out.compare(start, end - start, file) != 0 && out.substr(start, end - start).find(file) != std::string::npos)
            ++n;
        start = end + 1;
    }
    return n;
}

int32_t no_texture(uint32_t& tex, const std::string&) {
    tex = 1;
    return 0;
}

}  // namespace

TEST(DataFileLines, EnemyLayoutsThatYieldNothingAreNamed) {
    DataDir d;
    for (const char* name : {"absent.dat", "folder.dat", "empty.dat"}) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(enemies_layout_load_file(d / name)) << name;
        const std::string out = testing::internal::GetCapturedStderr();
        EXPECT_GE(lines_naming(out, name), 1) << name << ": " << out;
        EXPECT_NE(out.find("enemy file"), std::string::npos) << out;
    }
}

TEST(DataFileLines, MissionFilesThatYieldNothingAreNamed) {
    DataDir d;
    KVGLOBALS.AIRDROPCOUNT = 0;
    KVGLOBALS.CHECKPOINTCOUNT = 1;
    KVGLOBALS.AIRDROPDATA.assign(1, AIRDROPTYPE{});
    KVGLOBALS.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
    struct Case {
        const char* name;
        const char* says;
    } cases[] = {{"absent.dat", "cannot be read (missing)"},
                 {"folder.dat", "cannot be read (a folder)"},
                 {"empty.dat", "holds no mission entries"},
                 {"junk.dat", "holds no mission entries"}};
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        const MISSION_LOAD_RESULT r = mission_load_file(1, d / c.name);
        const std::string out = testing::internal::GetCapturedStderr();
        EXPECT_EQ(r.keyed, 0) << c.name;
        EXPECT_NE(out.find(std::string(c.name) + " " + c.says), std::string::npos) << c.name << ": " << out;
    }
}

TEST(DataFileLines, MeshesAndMaterialLibrariesThatYieldNothingAreNamed) {
    DataDir d;
    objfile_set_texture_loader(no_texture);
    for (const char* name : {"empty.dat", "junk.dat", "folder.dat"}) {
        const std::string mesh = d / (std::string("m_") + name + ".obj");
        fs::copy(d.path / name, mesh, fs::copy_options::recursive);
        testing::internal::CaptureStderr();
        OBJFILE_LOAD(mesh);
        const std::string out = testing::internal::GetCapturedStderr();
        EXPECT_GE(lines_naming(out, mesh), 1) << out;
        EXPECT_TRUE(out.find("holds no triangles") != std::string::npos || out.find("cannot read mesh") != std::string::npos)
            << out;
    }
    // A mesh with triangles whose material library is empty, or garbage.
    for (const char* lib : {"empty.dat", "junk.dat"}) {
        const std::string mesh = d / (std::string("lib_") + lib + ".obj");
        write_file_text(mesh, std::string("mtllib ") + lib +
                                  "\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n");
        testing::internal::CaptureStderr();
        OBJFILE_LOAD(mesh);
        const std::string out = testing::internal::GetCapturedStderr();
        EXPECT_NE(out.find(std::string(lib) + " defines no materials"), std::string::npos) << out;
        EXPECT_EQ(out.find("holds no triangles"), std::string::npos) << out;
    }
    objfile_set_texture_loader(LOAD_TEXTURE);
}

using DataFileFontLines = GlWindowTest<32, 32>;

TEST_F(DataFileFontLines, SegmentFontsThatYieldNothingOrAreCutAreNamed) {
    DataDir d;
    for (const char* name : {"empty.dat", "junk.dat"}) {
        testing::internal::CaptureStderr();
        INITIALIZE_FONTDB(d / name);
        const std::string out = testing::internal::GetCapturedStderr();
        EXPECT_NE(out.find(std::string(name) + ": no complete glyph"), std::string::npos) << out;
    }
    testing::internal::CaptureStderr();
    INITIALIZE_FONTDB(d / "folder.dat");
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("folder.dat: segment font file cannot be read (a folder)"), std::string::npos) << out;

    // A glyph cut short names the file and the line where the cut was found.
    write_file_text(d / "cut.dat", "A\r\n0FBT0\r\nFwBtT\r\nB\r\nBB0BB\r\nBBBBB\r\nBO0WB\r\nB000B\r\nB000B\r\nB000B\r\nBBBBB\r\n");
    testing::internal::CaptureStderr();
    INITIALIZE_FONTDB(d / "cut.dat");
    out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("Font Load Error: " + (d / "cut.dat") + " line 4: glyph A cut short"), std::string::npos) << out;
    EXPECT_EQ(out.find("no complete glyph"), std::string::npos) << "B was complete: " << out;
}
