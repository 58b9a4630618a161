// Screen-mode filtering, the modes file and the mode grid layout of the configuration tool.
#include <gtest/gtest.h>

#include "cfg_modes.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::vector<MODESIZE> sizes(std::initializer_list<std::pair<int, int>> l) {
    std::vector<MODESIZE> v;
    for (auto [w, h] : l) v.push_back({w, h});
    return v;
}

TEST(ModeFilter, SkipsFirstEntryLowModesAndDuplicates) {
    MODESIZE out[VIDEOMODE_CAPACITY];
    const auto listed = sizes({{1920, 1080}, {1280, 1024}, {1024, 768}, {1280, 1024}, {640, 400},
                               {320, 240}, {800, 600}, {1024, 768}, {640, 401}});
    const int32_t n = modes_filter(listed, out);
    ASSERT_EQ(n, 4);
    EXPECT_EQ(out[0].W, 1280); EXPECT_EQ(out[0].H, 1024);
    EXPECT_EQ(out[1].W, 1024); EXPECT_EQ(out[1].H, 768);
    EXPECT_EQ(out[2].W, 800);  EXPECT_EQ(out[2].H, 600);
    EXPECT_EQ(out[3].W, 640);  EXPECT_EQ(out[3].H, 401);
}

TEST(ModeFilter, FirstEntryIsDroppedEvenWhenItIsTheOnlyUsableMode) {
    MODESIZE out[VIDEOMODE_CAPACITY];
    EXPECT_EQ(modes_filter(sizes({{1280, 1024}}), out), 0);
    EXPECT_EQ(modes_filter({}, out), 0);
    // A size equal to the skipped first entry is still kept when it comes again.
    ASSERT_EQ(modes_filter(sizes({{800, 600}, {800, 600}}), out), 1);
    EXPECT_EQ(out[0].W, 800);
}

TEST(ModeFilter, KeepsAtMostTheCapacity) {
    std::vector<MODESIZE> listed;
    for (int i = 0; i < 150; ++i) listed.push_back({1000 + i, 700});
    MODESIZE out[VIDEOMODE_CAPACITY];
    EXPECT_EQ(modes_filter(listed, out), VIDEOMODE_CAPACITY);
    EXPECT_EQ(out[VIDEOMODE_CAPACITY - 1].W, 1000 + VIDEOMODE_CAPACITY);
}

TEST(ModesFile, ParsesDepthsAndRefusesBadLines) {
    MODELISTS lists;
    const int32_t refused = modes_file_parse(
        "# depth width height\n16 1280 1024\n16 800 600\n32 1024 768 # trailing comment\n"
        "8 640 480\n24 800\n24 x 600\n32 -5 600\n\n32 640 480\n",
        lists, "modes");
    EXPECT_EQ(refused, 4);
    EXPECT_TRUE(lists.HASLIST[0]);
    EXPECT_FALSE(lists.HASLIST[1]);
    EXPECT_TRUE(lists.HASLIST[2]);
    ASSERT_EQ(lists.LIST[0].size(), 2u);
    ASSERT_EQ(lists.LIST[2].size(), 2u);
    EXPECT_EQ(lists.LIST[2][1].W, 640);

    VIDEOMODETABLE table;
    modes_build(lists, table);
    EXPECT_EQ(table.NVIDEOMODES[0], 1);  // first entry of each list skipped
    EXPECT_EQ(table.NVIDEOMODES[1], 0);
    EXPECT_EQ(table.NVIDEOMODES[2], 1);
    EXPECT_EQ(table.VIDEOMODE[2][0].W, 640);
}

TEST(ModesFile, MissingFileGivesNoLists) {
    MODELISTS lists;
    lists.HASLIST[0] = true;
    EXPECT_FALSE(modes_file_load("/nonexistent/modes.txt", lists));
    EXPECT_FALSE(lists.HASLIST[0]);
}

TEST(ModesFile, LoadsAFileWithEitherLineEndAndRefusesADirectory) {
    const std::string path = std::string(KV_BUILD_DIR) + "/modes_load_test.txt";
    {
        std::ofstream f(path, std::ios::binary);
        f << "16 640 480\r\n16 1024 768\r\n32 800 600\n";
    }
    MODELISTS lists;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(modes_file_load(path, lists));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(lists.LIST[0].size(), 2u);
    EXPECT_EQ(lists.LIST[0][1].H, 768);
    ASSERT_EQ(lists.LIST[2].size(), 1u);
    std::remove(path.c_str());
    // A directory where the file should be is not an empty modes file: it is refused, said so.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(modes_file_load(KV_BUILD_DIR, lists));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("could not read screen modes file"), std::string::npos);
    EXPECT_FALSE(lists.HASLIST[0]);
}

VIDEOMODETABLE table_with(std::initializer_list<int> counts) {
    VIDEOMODETABLE t;
    int d = 0;
    for (int n : counts) {
        t.NVIDEOMODES[d] = n;
        for (int i = 0; i < n; ++i) t.VIDEOMODE[d][i] = {1000 + i, 700 + d};
        ++d;
    }
    return t;
}

TEST(ModeGrid, ColumnsWidthAndPositions) {
    const VIDEOMODETABLE t = table_with({5, 0, 2});
    MODEGRID g;
    mode_grid_layout(t, 56, g);  // 624 / 72 = 8 columns
    EXPECT_EQ(g.COLUMNS, 8);
    EXPECT_EQ(g.BUTTONWIDTH, 70);  // round(78 - 16) + 8
    ASSERT_EQ(g.BUTTONS.size(), 7u);
    EXPECT_EQ(g.HEADINGY[0], 64);
    EXPECT_EQ(g.HEADINGY[1], -1);
    // Modes from the last stored to the first, columns 78 apart from x 8, first row at 64 + 18.
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(g.BUTTONS[k].DEPTH, 0);
        EXPECT_EQ(g.BUTTONS[k].MODE, 4 - k);
        EXPECT_EQ(g.BUTTONS[k].X, 8 + 78 * k);
        EXPECT_EQ(g.BUTTONS[k].Y, 82);
        EXPECT_EQ(g.BUTTONS[k].W, 70);
        EXPECT_EQ(g.BUTTONS[k].H, 16);
    }
    // The next depth starts 36 below the previous block's last row.
    EXPECT_EQ(g.HEADINGY[2], 82 + 36);
    EXPECT_EQ(g.BUTTONS[5].DEPTH, 2);
    EXPECT_EQ(g.BUTTONS[5].MODE, 1);
    EXPECT_EQ(g.BUTTONS[5].Y, 118 + 18);
    EXPECT_EQ(g.BUTTONS[6].X, 8 + 78);
}

TEST(ModeGrid, WrapsRowsAndRoundsWidth) {
    const VIDEOMODETABLE t = table_with({7, 3});
    MODEGRID g;
    mode_grid_layout(t, 180, g);  // 624 / 196 = 3 columns, width round(208 - 16) + 8
    EXPECT_EQ(g.COLUMNS, 3);
    EXPECT_EQ(g.BUTTONWIDTH, 200);
    ASSERT_EQ(g.BUTTONS.size(), 10u);
    EXPECT_EQ(g.BUTTONS[3].X, 8);
    EXPECT_EQ(g.BUTTONS[3].Y, 64 + 36);
    EXPECT_EQ(g.BUTTONS[6].Y, 64 + 54);  // third row of 16-bit modes
    EXPECT_EQ(g.BUTTONS[6].MODE, 0);
    EXPECT_EQ(g.HEADINGY[1], 118 + 36);
    EXPECT_EQ(g.BUTTONS[7].Y, 154 + 18);

    // 624 / 7 - 16 = 73.14..: rounds to 73.
    mode_grid_layout(t, 73, g);
    EXPECT_EQ(g.COLUMNS, 7);
    EXPECT_EQ(g.BUTTONWIDTH, 81);
}

TEST(ModeGrid, OverlongLabelsStillGiveOneColumn) {
    const VIDEOMODETABLE t = table_with({2});
    MODEGRID g;
    mode_grid_layout(t, 5000, g);
    EXPECT_EQ(g.COLUMNS, 1);
    ASSERT_EQ(g.BUTTONS.size(), 2u);
    EXPECT_EQ(g.BUTTONS[1].X, 8);
    EXPECT_EQ(g.BUTTONS[1].Y, 64 + 36);
}

TEST(ModeGrid, NoModesNoButtons) {
    MODEGRID g;
    mode_grid_layout(VIDEOMODETABLE{}, 50, g);
    EXPECT_TRUE(g.BUTTONS.empty());
    for (int d = 0; d < VIDEOMODE_DEPTHS; ++d) EXPECT_EQ(g.HEADINGY[d], -1);
    EXPECT_EQ(mode_label({1024, 768}), "1024x768");
}

}  // namespace

TEST(ModesFile, OnlyDepthsAndSizesTheGameOpensAreOffered) {
    MODELISTS lists;
    modes_file_parse("24 1600 1200\n24 1024 768\n32 1600 1200\n32 20000 1024\n32 1024 768\n", lists, "modes");
    VIDEOMODETABLE table;
    testing::internal::CaptureStdout();
    modes_build(lists, table);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(table.NVIDEOMODES[1], 0);
    ASSERT_EQ(table.NVIDEOMODES[2], 1);
    EXPECT_EQ(table.VIDEOMODE[2][0].W, 1024);
    EXPECT_NE(said.find("24-bit screen modes are not offered"), std::string::npos) << said;
    EXPECT_NE(said.find("20000x1024 is larger than the game opens"), std::string::npos) << said;
}
