// End-to-end runs of the newmodule program with piped input in a scratch directory: the
// dialogue, placeholder replacement, template field rules, missing and empty templates, names
// that contain a placeholder, end of input, and the shipped template compiling as C++.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/files.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

class NewModule : public testing::Test {
protected:
    fs::path dir;

    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("kv_newmodule_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the program in dir with input piped to it (never a terminal), stopping it after a
    // few seconds if it hangs.
    RunResult run(const std::string& input) {
        write_file_text(dir / "stdin.txt", input);
        std::string cmd = "cd '" + dir.string() + "' && timeout 10 '" KV_GAME_DIR "/newmodule' < stdin.txt > stdout.txt 2> stderr.txt";
        int rc = std::system(cmd.c_str());
        RunResult r;
        r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        r.out = read_file_text(dir / "stdout.txt");
        r.err = read_file_text(dir / "stderr.txt");
        return r;
    }

    static std::string banner() { return "\n\n" + std::string(40, '_') + "\nCreate New Module\n\n"; }
};

}  // namespace

TEST_F(NewModule, DialogueAndReplacementOfEveryPlaceholder) {
    write_file_text(dir / "template.dat",
         "Sub %%MODULE_NAME%%_Init\r\n"
         "%%MODULE_NAME%%\r\n"
         "%%TAB%%%%TAB%%x\r\n"
         "a, b\r\n"
         "   indented\r\n"
         "\"keep, the comma\"\r\n"
         "%%MODULE_NAME%%%%TAB%%%%MODULE_NAME%%\n"
         "\r\n"
         "last %%TAB%% line");
    RunResult r = run("Radar\nk");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, banner() + "Enter Module Name: \nRadar.cpp created successfully\n");
    EXPECT_EQ(read_file_text(dir / "Radar.cpp"),
              "Sub Radar_Init\r\n"
              "Radar\r\n"
              "\t\tx\r\n"
              "a\r\n"
              "b\r\n"
              "indented\r\n"
              "keep, the comma\r\n"
              "Radar\tRadar\r\n"
              "\r\n"
              "last \t line\r\n");
}

TEST_F(NewModule, EmptyNamesRepeatThePrompt) {
    write_file_text(dir / "template.dat", "x\r\n");
    RunResult r = run("\n\r\n\nSonar\r\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + "Enter Module Name: Enter Module Name: Enter Module Name: Enter Module Name: \n" +
                         "Sonar.cpp created successfully\n");
    EXPECT_EQ(read_file_text(dir / "Sonar.cpp"), "x\r\n");
    EXPECT_FALSE(fs::exists(dir / ".cpp"));
}

TEST_F(NewModule, AnEmptyTemplateGivesAnEmptyModuleAMissingOneNone) {
    write_file_text(dir / "template.dat", "");
    RunResult r = run("Empty\n");  // end of input serves as the key press
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Empty.cpp created successfully\n"), std::string::npos);
    ASSERT_TRUE(fs::exists(dir / "Empty.cpp"));
    EXPECT_EQ(fs::file_size(dir / "Empty.cpp"), 0u);

    fs::remove(dir / "template.dat");
    r = run("Gone\nx");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.find("created successfully"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("template.dat could not be read (missing): nothing created"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "Gone.cpp"));
    fs::create_directory(dir / "template.dat");
    r = run("Gone\nx");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("a folder"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "Gone.cpp"));
}

TEST_F(NewModule, NamesThatAreNotIdentifiersAreRefused) {
    write_file_text(dir / "template.dat", "x\r\n");
    fs::create_directories(dir / "sub");
    for (const std::string name : {"../Outside", "/tmp/kv_abs_module", "sub/Inner", "A%%MODULE_NAME%%B", "9lives",
                                   "two words", "class", "Tab\there", "\x1b]2;title\x07"}) {
        RunResult r = run(name + "\n\n");
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.err.find("is not a C++ identifier"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << "the name is echoed escaped";
    }
    EXPECT_FALSE(fs::exists(dir.parent_path() / "Outside.cpp"));
    EXPECT_FALSE(fs::exists("/tmp/kv_abs_module.cpp"));
    EXPECT_FALSE(fs::exists(dir / "sub/Inner.cpp"));
    int files = 0;
    for (auto& e : fs::recursive_directory_iterator(dir)) files += e.path().extension() == ".cpp";
    EXPECT_EQ(files, 0);
    // Underscores and digits after the first character are fine.
    RunResult r = run("_radar_2\n\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file_text(dir / "_radar_2.cpp"), "x\r\n");
}

TEST_F(NewModule, EndOfInputAtThePromptEndsCleanly) {
    write_file_text(dir / "template.dat", "x\r\n");
    RunResult r = run("");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner() + "Enter Module Name: \n");
    EXPECT_NE(r.err.find("nothing created"), std::string::npos);
    r = run("\n\n");
    EXPECT_EQ(r.status, 1);
    int files = 0;
    for (auto& e : fs::directory_iterator(dir)) files += e.path().extension() == ".cpp";
    EXPECT_EQ(files, 0);
}

TEST_F(NewModule, AnExistingModuleIsNeverOverwritten) {
    write_file_text(dir / "template.dat", "x\r\n");
    write_file_text(dir / "Radar.cpp", "hand-written work");
    RunResult r = run("Radar\n\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.find("created successfully"), std::string::npos);
    EXPECT_NE(r.err.find("Radar.cpp already exists"), std::string::npos) << r.err;
    EXPECT_EQ(read_file_text(dir / "Radar.cpp"), "hand-written work");
    // A link of that name counts as existing too, even when it points nowhere.
    fs::create_symlink(dir / "nowhere.cpp", dir / "Sonar.cpp");
    r = run("Sonar\n\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir / "nowhere.cpp"));
}

TEST_F(NewModule, ShippedTemplateMakesACompilingModule) {
    fs::copy_file(fs::path(KV_SOURCE_DIR) / "data/root/template.dat", dir / "template.dat");
    RunResult r = run("KV_RADAR\n\n");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string src = read_file_text(dir / "KV_RADAR.cpp");
    EXPECT_EQ(src.rfind("// KV_RADAR: ", 0), 0u) << "opens with a comment naming the module";
    EXPECT_NE(src.find("#include"), std::string::npos);
    EXPECT_NE(src.find("void KV_RADAR_UPDATE(int32_t frame, float rate) {"), std::string::npos);
    EXPECT_NE(src.find("\n\treturn count;"), std::string::npos);
    EXPECT_EQ(src.find("%%"), std::string::npos);
    std::string cmd = "'" KV_CXX "' -std=c++20 -Wall -Wextra -Werror -fsyntax-only -I'" KV_SOURCE_DIR "/src' '" +
                      (dir / "KV_RADAR.cpp").string() + "' 2> '" + (dir / "cc.txt").string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << read_file_text(dir / "cc.txt");
}
