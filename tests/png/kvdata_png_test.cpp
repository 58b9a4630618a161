// The `kvdata png` subcommand run as a program: header report, refusal with status 1, and the
// raw RGBA dump in top-row-first order.
#include "engine/png_write.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {
CommandResult kvdata(const std::string& args) { return run_command(std::string(KV_GAME_DIR) + "/kvdata " + args); }
}  // namespace

TEST(KvdataPng, ReportsHeaderAndDumpsTopRowFirst) {
    const std::string dir = KV_BUILD_DIR;
    const uint8_t px[2 * 2 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
    ASSERT_TRUE(png_write_file(dir + "/kvdata_png_in.png", 2, 2, 3, px));
    CommandResult r = kvdata("png " + dir + "/kvdata_png_in.png --raw " + dir + "/kvdata_png_out.raw");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("size: 2 x 2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("colour type: 2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("bit depth: 8"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("interlace: 0"), std::string::npos) << r.out;
    auto raw = read_whole_file(dir + "/kvdata_png_out.raw");
    EXPECT_EQ(raw, (std::vector<uint8_t>{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 9, 8, 7, 255}));
    std::remove((dir + "/kvdata_png_in.png").c_str());
    std::remove((dir + "/kvdata_png_out.raw").c_str());
}

TEST(KvdataPng, RefusedAndMissingFilesExitWithOne) {
    const std::string dir = KV_BUILD_DIR;
    FILE* f = std::fopen((dir + "/kvdata_png_bad.png").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("this is not a PNG file, just text long enough to pass the size check", f);
    std::fclose(f);
    CommandResult bad = kvdata("png " + dir + "/kvdata_png_bad.png");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "refused: bad signature\n");
    CommandResult missing = kvdata("png " + dir + "/no_such_file.png");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out.rfind("refused: ", 0), 0u) << missing.out;
    std::remove((dir + "/kvdata_png_bad.png").c_str());
}
