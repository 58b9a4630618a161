// Readers meet files that never end, are too large, or are not files at all: endless devices,
// named pipes without a writer, folders, sparse giants, and small PNG files that describe
// enormous images. Each is refused quickly with a reason, never read until memory runs out.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "engine/objfile.h"
#include "engine/png.h"
#include "engine/png_write.h"
#include "engine/textfile.h"
#include "platform/file_io.h"
#include "platform/script.h"
#include "png/png_craft.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

// A folder holding a named pipe and a folder, beside the files a test writes.
struct Scratch : ScratchFolder {
    Scratch() : ScratchFolder("kv_read") {
        ::mkfifo((path / "pipe").c_str(), 0644);
        fs::create_directory(path / "folder");
    }
};

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    write_file_text(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace

TEST(BoundedReads, TheSharedReaderTakesOnlyRegularFilesUpToItsCap) {
    Scratch s;
    std::string out, why;
    EXPECT_FALSE(file_read_capped(s / "pipe", 1024, out, why));
    EXPECT_NE(why.find("pipe"), std::string::npos) << why;
    EXPECT_FALSE(file_read_capped("/dev/zero", 1024, out, why));
    EXPECT_NE(why.find("device"), std::string::npos) << why;
    EXPECT_FALSE(file_read_capped(s / "folder", 1024, out, why));
    EXPECT_EQ(why, "a folder");
    EXPECT_FALSE(file_read_capped(s / "absent", 1024, out, why));
    EXPECT_EQ(why, "missing");

    write_file_text(s / "small", std::string(1024, 'x'));
    EXPECT_TRUE(file_read_capped(s / "small", 1024, out, why)) << why;
    EXPECT_EQ(out.size(), 1024u);
    EXPECT_FALSE(file_read_capped(s / "small", 1023, out, why));
    EXPECT_EQ(why, "larger than 1023 bytes");
    EXPECT_TRUE(out.empty());
}

TEST(BoundedReads, TextFieldsMaterialsAndMeshesRefuseDevicesPipesAndGiants) {
    Scratch s;
    FieldReader r;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(field_reader_open(r, s / "pipe"));
    EXPECT_FALSE(field_reader_open(r, "/dev/zero"));
    EXPECT_FALSE(field_reader_open(r, s / "folder"));
    // A sparse file one byte over the cap costs no disk space and must not be read.
    {
        std::FILE* f = std::fopen((s / "giant.dat").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
        fs::resize_file(s / "giant.dat", FIELD_FILE_MAX_BYTES + 1);
    }
    EXPECT_FALSE(field_reader_open(r, s / "giant.dat"));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(field_eof(r));
    EXPECT_NE(said.find("pipe"), std::string::npos) << said;
    EXPECT_NE(said.find("/dev/zero: not read: a device"), std::string::npos) << said;
    EXPECT_NE(said.find("a folder"), std::string::npos) << said;
    EXPECT_NE(said.find("giant.dat: not read: larger than"), std::string::npos) << said;

    // A mesh whose material library is an endless device loads its geometry without materials.
    fs::create_symlink("/dev/zero", s / "zero.mtl");
    write_file_text(s / "m.obj", "mtllib zero.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    testing::internal::CaptureStderr();
    const int32_t index = OBJFILE_LOAD(s / "m.obj");
    const std::string mtl_said = testing::internal::GetCapturedStderr();
    EXPECT_GE(index, 0);
    EXPECT_NE(mtl_said.find("zero.mtl: not read: a device"), std::string::npos) << mtl_said;
}

TEST(BoundedReads, PngLoaderRefusesNonFilesAndImagesBeyondTheSideLimit) {
    Scratch s;
    EXPECT_STREQ(png_load(s / "pipe").reason, "not a regular file");
    EXPECT_STREQ(png_load("/dev/zero").reason, "not a regular file");
    EXPECT_STREQ(png_load(s / "folder").reason, "not a regular file");
    EXPECT_STREQ(png_load(s / "absent.png").reason, "cannot open file");
    uint32_t w = 7, h = 9;
    EXPECT_FALSE(png_probe_size(s / "pipe", w, h));
    EXPECT_EQ(w, 7u);

    // A valid 16000 x 16000 one-bit image: about 30 KB on disk, a gigabyte once decoded.
    const uint32_t side = 16000;
    std::vector<uint8_t> rows(static_cast<size_t>(side) * (1 + side / 8), 0);
    write_bytes(s / "huge.png", craft_simple(craft_ihdr(side, side, 1, 0), rows));
    const auto start = std::chrono::steady_clock::now();
    PngImage huge = png_load(s / "huge.png");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(huge);
    EXPECT_EQ(huge.reason, PNG_TOO_LARGE);
    EXPECT_LT(seconds, 2.0);

    // The limit is inclusive; a caller may name a smaller one (a texture: the GL limit).
    std::vector<uint8_t> line(static_cast<size_t>(PNG_MAX_SIDE) * 3, 200);
    ASSERT_TRUE(png_write_file(s / "wide.png", static_cast<int>(PNG_MAX_SIDE), 1, 3, line.data()));
    PngImage wide = png_load(s / "wide.png");
    ASSERT_TRUE(wide) << wide.reason;
    EXPECT_EQ(wide.width, PNG_MAX_SIDE);
    EXPECT_EQ(wide.pixels[0], 200);
    EXPECT_EQ(png_load(s / "wide.png", PNG_MAX_SIDE - 1).reason, PNG_TOO_LARGE);
    std::vector<uint8_t> wider(static_cast<size_t>(PNG_MAX_SIDE + 1) * 3, 0);
    ASSERT_TRUE(png_write_file(s / "wider.png", static_cast<int>(PNG_MAX_SIDE + 1), 1, 3, wider.data()));
    EXPECT_EQ(png_load(s / "wider.png").reason, PNG_TOO_LARGE);
}

TEST(BoundedReads, InputScriptsMustBeRegularFiles) {
    Scratch s;
    SCRIPTPARSE script;
    std::string why;
    EXPECT_FALSE(script_load(s / "folder", script, why));
    EXPECT_NE(why.find("a folder"), std::string::npos) << why;
    EXPECT_FALSE(script_load(s / "pipe", script, why));
    EXPECT_NE(why.find("pipe"), std::string::npos) << why;
    EXPECT_FALSE(script_load("/dev/zero", script, why));
    EXPECT_FALSE(script_load(s / "absent.txt", script, why));
    EXPECT_NE(why.find("absent.txt: missing"), std::string::npos) << why;
    write_file_text(s / "ok.txt", "3 key UP 1\n");
    ASSERT_TRUE(script_load(s / "ok.txt", script, why)) << why;
    ASSERT_EQ(script.EVENTS.size(), 1u);
    EXPECT_EQ(script.EVENTS[0].FRAME, 3);
}
