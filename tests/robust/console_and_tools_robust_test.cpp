// Data bytes never reach the terminal raw, and the tools' edge cases end in a clear line: escape
// sequences in mesh names and models.dat, an extreme water level in a map, an unknown asset
// generator. The programs run here are the ones of this build (sanitized in the sanitizer run).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "engine/console_text.h"
#include "engine/objfile.h"
#include "support/files.h"
#include "world/map.h"

namespace fs = std::filesystem;

namespace {

struct Scratch : ScratchFolder {
    Scratch() : ScratchFolder("kv_console") {}
};

std::string program(const char* name) { return std::string(KV_GAME_DIR) + "/" + name; }

bool has_control_bytes(const std::string& text) {
    for (unsigned char c : text)
        if ((c < 0x20 && c != '\n') || c == 0x7F) return true;
    return false;
}

}  // namespace

TEST(ConsoleText, EveryNonPrintableByteIsEscaped) {
    EXPECT_EQ(console_safe("data/models/gunship.obj"), "data/models/gunship.obj");
    EXPECT_EQ(console_safe("a\tb\nc\rd"), "a\\tb\\nc\\rd");
    EXPECT_EQ(console_safe(std::string("\x1b]2;owned\x07", 10)), "\\x1B]2;owned\\x07");
    EXPECT_EQ(console_safe(std::string("\0\x7f\x80\x9b\xff", 5)), "\\x00\\x7F\\x80\\x9B\\xFF");
    EXPECT_EQ(console_safe(""), "");
    // Every byte value: the result is printable ASCII only.
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    const std::string safe = console_safe(all);
    for (unsigned char c : safe) EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << int(c);
    EXPECT_EQ(safe.size(), 95u + 3 * 2 + (256 - 95 - 3) * 4);
}

TEST(ConsoleText, MeshNamesFromTheDataAreEchoedEscaped) {
    Scratch s;
    const std::string hostile = s / "title\x1b]0;pwned\x07.obj";
    testing::internal::CaptureStderr();
    OBJFILE_LOAD(hostile);
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("cannot read mesh"), std::string::npos) << out;
    EXPECT_NE(out.find("title\\x1B]0;pwned\\x07.obj"), std::string::npos) << out;
    EXPECT_FALSE(has_control_bytes(out)) << out;

    // kvdata check reads models.dat and names what it finds wrong, escaped.
    write_file_text(s / "models.dat", "data/\x1b[2Jmissing.obj\r\n");
    const CommandResult r = run_command(program("kvdata") + " check " + s.path.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\\x1B[2Jmissing.obj"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
}

TEST(ToolEdges, AnExtremeWaterLevelIsReportedWithoutOverflow) {
    Scratch s;
    std::string bytes(static_cast<size_t>(KV_MAPFILEBYTES), '\0');
    const int32_t water = INT32_MAX;
    std::memcpy(&bytes[static_cast<size_t>(KV_MAPTRAILEROFFSET)], &water, 4);
    write_file_text(s / "0.map", bytes);
    const CommandResult r = run_command(program("kvdata") + " map " + (s / "0.map"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("water level 2147483647 (surface at 536870914.25 world units)"), std::string::npos) << r.out;
}

TEST(ToolEdges, AnUnknownAssetGeneratorIsNamedAndFails) {
    Scratch s;
    const CommandResult r = run_command(std::string(KV_BUILD_DIR) + "/tools/assetgen/assetgen " + s.path.string() + " islnd");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("unknown generator 'islnd'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("island"), std::string::npos) << "the known names are listed: " << r.out;
    EXPECT_FALSE(fs::exists(s.path / "0.map"));
}
