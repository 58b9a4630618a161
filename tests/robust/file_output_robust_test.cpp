// Hostile destinations for every writer: planted temporary names and links, devices and pipes
// in place of the file, symlinked and read-only settings, and the leftovers of a killed save.
// Each case checks what is on disk afterwards, not only the result.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "config/config.h"
#include "engine/png_write.h"
#include "engine/textfile.h"
#include "platform/file_io.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

struct TempDir : ScratchFolder {
    TempDir() : ScratchFolder("kv_out") {}
};

// Every name in the folder, to see that no temporary file was left behind.
std::vector<std::string> names_in(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

bool replace(const std::string& path, const std::string& bytes, std::string& why) {
    return file_replace(path, bytes.data(), bytes.size(), why);
}

}  // namespace

TEST(FileReplace, NewAndExistingFilesGetExactlyTheBytesAndKeepTheirMode) {
    TempDir d;
    std::string why;
    ASSERT_TRUE(replace(d / "a.dat", "first\r\n", why)) << why;
    EXPECT_EQ(read_file_text(d / "a.dat"), "first\r\n");
    ::chmod((d / "a.dat").c_str(), 0600);
    ASSERT_TRUE(replace(d / "a.dat", "second", why)) << why;
    EXPECT_EQ(read_file_text(d / "a.dat"), "second");
    struct stat st {};
    ASSERT_EQ(::stat((d / "a.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(names_in(d.path), std::vector<std::string>{"a.dat"});
}

TEST(FileReplace, PlantedTemporaryNamesAndTheirTargetsAreNeverWritten) {
    TempDir d;
    write_file_text(d / "victim", "precious");
    // The names a predictable writer would have used, pointing at a file that must survive.
    fs::create_symlink(d / "victim", d / "shot.png.tmp");
    fs::create_symlink(d / "victim", d / "shot.png.tmpXXXXXX");
    std::string why;
    ASSERT_TRUE(replace(d / "shot.png", "image", why)) << why;
    EXPECT_EQ(read_file_text(d / "victim"), "precious");
    EXPECT_EQ(read_file_text(d / "shot.png"), "image");
    EXPECT_TRUE(fs::is_symlink(d / "shot.png.tmp"));
}

TEST(FileReplace, PipesFoldersAndDevicesAreRefusedNotRenamedOver) {
    TempDir d;
    ASSERT_EQ(::mkfifo((d / "pipe").c_str(), 0644), 0);
    fs::create_directory(d / "folder");
    std::string why;
    EXPECT_FALSE(replace(d / "pipe", "x", why));
    EXPECT_NE(why.find("pipe"), std::string::npos) << why;
    EXPECT_TRUE(fs::is_fifo(d / "pipe"));
    EXPECT_FALSE(replace(d / "folder", "x", why));
    EXPECT_NE(why.find("folder"), std::string::npos) << why;
    EXPECT_TRUE(fs::is_directory(d / "folder"));
    // A link to a pipe is followed to the pipe, and refused there too.
    fs::create_symlink(d / "pipe", d / "link_to_pipe");
    EXPECT_FALSE(replace(d / "link_to_pipe", "x", why));
    EXPECT_TRUE(fs::is_symlink(d / "link_to_pipe"));
    EXPECT_EQ(names_in(d.path), (std::vector<std::string>{"folder", "link_to_pipe", "pipe"}));
    // The character device every system has: refused before anything is created beside it.
    EXPECT_FALSE(png_write_file("/dev/null", 1, 1, 3, reinterpret_cast<const uint8_t*>("abc"), &why));
    EXPECT_NE(why.find("device"), std::string::npos) << why;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(FileReplace, SymlinkedFilesAreWrittenThroughToTheirTarget) {
    TempDir d;
    fs::create_directory(d / "real");
    write_file_text(d / "real/configVars.dat", "old");
    fs::create_directory(d / "game");
    fs::create_symlink("../real/configVars.dat", d / "game/configVars.dat");
    std::string why;
    ASSERT_TRUE(write_file_atomic(d / "game/configVars.dat", "new", &why)) << why;
    EXPECT_TRUE(fs::is_symlink(d / "game/configVars.dat"));
    EXPECT_EQ(read_file_text(d / "real/configVars.dat"), "new");
    // A dangling link creates its target; a loop of links is refused.
    fs::create_symlink(d / "real/absent.png", d / "game/shot.png");
    ASSERT_TRUE(replace(d / "game/shot.png", "png", why)) << why;
    EXPECT_EQ(read_file_text(d / "real/absent.png"), "png");
    fs::create_symlink(d / "game/loop_b", d / "game/loop_a");
    fs::create_symlink(d / "game/loop_a", d / "game/loop_b");
    EXPECT_FALSE(replace(d / "game/loop_a", "x", why));
    EXPECT_TRUE(fs::is_symlink(d / "game/loop_a"));
}

TEST(FileReplace, ReadOnlySettingsAreKeptAndTheSaveSaysSo) {
    TempDir d;
    CONFIGVARTYPE cfg{};
    cfg.XRES = 800;
    const std::string path = d / "configVars.dat";
    write_file_text(path, "keep me");
    ::chmod(path.c_str(), 0444);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(config_write(cfg, path));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("read-only"), std::string::npos) << said;
    EXPECT_EQ(read_file_text(path), "keep me");
    EXPECT_EQ(names_in(d.path), std::vector<std::string>{"configVars.dat"});
    ::chmod(path.c_str(), 0644);
    EXPECT_TRUE(config_write(cfg, path));
    EXPECT_EQ(read_file_text(path), config_format(cfg));
}

TEST(FileReplace, TemporariesOfAKilledSaveAreClearedAtStartAndNothingElse) {
    TempDir d;
    const std::string path = d / "configVars.dat";
    write_file_text(path, "settings");
    write_file_text(d / "configVars.dat.tmpA1b2C3", "half");
    write_file_text(d / "configVars.dat.tmpZZZZZZ", "half");
    write_file_text(d / "configVars.dat.tmp", "not ours");        // no random part
    write_file_text(d / "configVars.dat.tmpABCDEFG", "not ours");  // one letter too many
    write_file_text(d / "other.dat.tmpA1b2C3", "another file's");
    fs::create_directory(d / "configVars.dat.tmpDIRDIR");
    EXPECT_EQ(file_remove_stale_temps(path), 2);
    EXPECT_EQ(names_in(d.path),
              (std::vector<std::string>{"configVars.dat", "configVars.dat.tmp", "configVars.dat.tmpABCDEFG",
                                        "configVars.dat.tmpDIRDIR", "other.dat.tmpA1b2C3"}));
    EXPECT_EQ(read_file_text(path), "settings");

    // The game's start-up read clears them too, then reads the settings as usual.
    write_file_text(d / "configVars.dat.tmpQwErTy", "half");
    CONFIGVARTYPE cfg{};
    cfg.XRES = 1024;
    write_file_text(path, config_format(cfg));
    testing::internal::CaptureStderr();
    INITIALIZE_GAMECONFIG(path, nullptr);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fs::exists(d / "configVars.dat.tmpQwErTy"));
    EXPECT_EQ(CONFIGVARS.XRES, 1024);
}

TEST(FileReplace, KvdataRawOutputFollowsLinksAndRefusesAPipe) {
    TempDir d;
    const std::string kvdata = std::string(KV_GAME_DIR) + "/kvdata";
    const std::string png = std::string(KV_GAME_DIR) + "/data/maps/0/minimap.png";
    write_file_text(d / "target.raw", "old");
    fs::create_symlink(d / "target.raw", d / "out.raw");
    CommandResult r = run_command(kvdata + " png " + png + " --raw " + (d / "out.raw"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(fs::is_symlink(d / "out.raw"));
    EXPECT_GT(fs::file_size(d / "target.raw"), 1000u);

    ASSERT_EQ(::mkfifo((d / "pipe").c_str(), 0644), 0);
    r = run_command(kvdata + " png " + png + " --raw " + (d / "pipe"));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("cannot write"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::is_fifo(d / "pipe"));
}
