// Layout of the Input tab, the glyph metrics of the tool's font and the binding-name file.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cfg_font.h"
#include "cfg_layout.h"
#include "cfg_names.h"

namespace {

TEST(InputLayout, KeyboardRows) {
    INPUTLAYOUT l;
    input_layout(false, 5, l);
    EXPECT_EQ(l.FLYINGHEADINGY, 80);
    EXPECT_EQ(l.WEAPONHEADINGY, 270);
    EXPECT_EQ(l.ROWY[0], 95);
    EXPECT_EQ(l.ROWY[4], 95 + 4 * 18);
    EXPECT_EQ(l.ROWY[8], 95 + 8 * 18);
    EXPECT_EQ(l.ROWY[9], 285);
    EXPECT_EQ(l.ROWY[11], 285 + 36);
}

TEST(InputLayout, ControllerRowsWithFewAxesKeepTheirPlace) {
    for (int axis = -1; axis <= 3; ++axis) {
        INPUTLAYOUT l;
        input_layout(true, axis, l);
        EXPECT_EQ(l.FLYINGHEADINGY, 210) << axis;
        EXPECT_EQ(l.ROWY[0], 225);
        EXPECT_EQ(l.WEAPONHEADINGY, 400);
        EXPECT_EQ(l.ROWY[9], 415);
    }
}

TEST(InputLayout, ControllerRowsNeverOverlapTheTableAndFitTheWindow) {
    for (int axis = -1; axis <= 5; ++axis) {
        INPUTLAYOUT l;
        input_layout(true, axis, l);
        EXPECT_GT(l.FLYINGHEADINGY, calibration_table_bottom(axis)) << axis;
        for (int i = 1; i < INPUT_FLYING_ROWS + INPUT_WEAPON_ROWS; ++i) EXPECT_GE(l.ROWY[i] - l.ROWY[i - 1], 16) << axis;
        EXPECT_GT(l.WEAPONHEADINGY, l.ROWY[8] + 16) << axis;
        EXPECT_GE(l.ROWY[9], l.WEAPONHEADINGY + 14) << axis;
        EXPECT_LE(l.ROWY[11] + 16, WINDOW_HEIGHT - 1) << axis;
    }
}

TEST(WindowLayout, TabsButtonsAndOptionButtons) {
    EXPECT_EQ(tab_rect(2).X1, 216);
    EXPECT_EQ(tab_rect(2).X2, 316);
    EXPECT_EQ(top_button_rect(BUTTON_EXIT).X1, 560);
    EXPECT_EQ(top_button_rect(BUTTON_RELOAD).X1, 472);
    EXPECT_EQ(top_button_rect(BUTTON_SAVE).X1, 384);
    EXPECT_EQ(top_button_rect(BUTTON_SAVE).X2, 464);
    EXPECT_TRUE(rect_contains(top_button_rect(BUTTON_SAVE), 464, 22));
    EXPECT_FALSE(rect_contains(top_button_rect(BUTTON_SAVE), 465, 22));

    const RECTI on = option_on_rect(240, 66);
    EXPECT_EQ(on.X1, 340);
    EXPECT_EQ(on.Y2, 102);
    EXPECT_EQ(option_off_rect(0, 116).X1, 140);
    const int32_t widths[4] = {30, 14, 14, 15};
    EXPECT_EQ(option_level_rect(240, 116, widths, 0).X1, 340);
    EXPECT_EQ(option_level_rect(240, 116, widths, 0).X2, 378);
    EXPECT_EQ(option_level_rect(240, 116, widths, 3).X1, 340 + 46 + 30 + 30);
    EXPECT_EQ(option_level_rect(240, 116, widths, 3).X2, 340 + 46 + 30 + 30 + 23);

    const RECTI msg = message_outer_rect(180);
    EXPECT_EQ(msg.Y1, 208);
    EXPECT_EQ(msg.Y2, 272);
    EXPECT_LT(msg.X1, 320 - 90);
    EXPECT_GT(msg.X2, 320 + 90);
    const RECTI wide = message_outer_rect(5000);
    EXPECT_GE(wide.X1, 0);
    EXPECT_LT(wide.X2, WINDOW_WIDTH);
}

TEST(GlyphExtent, NarrowWideAndBlankGlyphs) {
    bool ink[GLYPH_CELL * GLYPH_CELL] = {};
    int32_t minx = -9, width = -9;
    ink[3 * GLYPH_CELL + 7] = true;  // one column: 6..7 widened to 4..9
    glyph_extent(ink, minx, width);
    EXPECT_EQ(minx, 4);
    EXPECT_EQ(width, 6);

    for (int x = 2; x <= 9; ++x) ink[5 * GLYPH_CELL + x] = true;  // columns 2..9: 1..9
    glyph_extent(ink, minx, width);
    EXPECT_EQ(minx, 1);
    EXPECT_EQ(width, 9);

    bool left_edge[GLYPH_CELL * GLYPH_CELL] = {};
    for (int y = 0; y < GLYPH_CELL; ++y) left_edge[y * GLYPH_CELL + 0] = left_edge[y * GLYPH_CELL + 4] = true;
    glyph_extent(left_edge, minx, width);  // 0..4, not moved below 0
    EXPECT_EQ(minx, 0);
    EXPECT_EQ(width, 5);

    bool blank[GLYPH_CELL * GLYPH_CELL] = {};
    glyph_extent(blank, minx, width);
    EXPECT_EQ(minx, 0);
    EXPECT_EQ(width, 6);
}

TEST(GlyphExtent, TextWidthSkipsCharactersWithoutGlyphs) {
    int32_t w[FONT_GLYPHS] = {};
    w['A' - 32] = 7;
    w[' ' - 32] = SPACE_WIDTH;
    w[128 - 32] = 3;
    EXPECT_EQ(text_width(w, "A A"), 24);
    EXPECT_EQ(text_width(w, ""), 0);
    EXPECT_EQ(text_width(w, std::string("A\tA\x01") + static_cast<char>(0xC3)), 14);
    EXPECT_EQ(glyph_slot(127), 95);
    EXPECT_EQ(glyph_slot(31), -1);
}

std::string temp_file(const std::string& name, const std::string& bytes) {
    // One folder of this program's own (mkdtemp): two checkouts running at once never share it.
    static char made[4096];
    static const std::string folder = [] {
        const std::string tmpl = ::testing::TempDir() + "configtool_names_XXXXXX";
        std::snprintf(made, sizeof made, "%s", tmpl.c_str());
        if (tmpl.size() >= sizeof made || !mkdtemp(made)) return ::testing::TempDir();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return std::string(made) + "/";
    }();
    const std::string path = folder + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(ControlNames, ReadsOneNameALineAndDropsPastTheHundredth) {
    std::string text;
    for (int i = 0; i < 130; ++i) text += "Name " + std::to_string(i) + "\r\n";
    std::string names[CONTROLNAME_COUNT];
    EXPECT_EQ(control_names_read(temp_file("names130.dat", text), names), 130);
    EXPECT_EQ(names[0], "Name 0");
    EXPECT_EQ(names[99], "Name 99");
    EXPECT_EQ(control_name_of(names, 51), "Name 51");
    EXPECT_EQ(control_name_of(names, 100), "?");
    EXPECT_EQ(control_name_of(names, -1), "?");
    EXPECT_EQ(control_name_of(names, 127), "?");
}

TEST(ControlNames, ShortMissingAndBinaryFiles) {
    std::string names[CONTROLNAME_COUNT];
    names[5] = "stale";
    EXPECT_EQ(control_names_read(temp_file("names3.dat", "None\nButton 0\n  Button 1"), names), 3);
    EXPECT_EQ(names[2], "Button 1");
    EXPECT_EQ(names[5], "");
    EXPECT_EQ(control_names_read("/nonexistent/controlName.dat", names), 0);
    EXPECT_EQ(names[0], "");
    std::string junk(5000, '\0');
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 131) & 0xFF);
    EXPECT_GT(control_names_read(temp_file("junk.dat", junk), names), 0);
}

TEST(ControlNames, TheShippedFileNamesEveryCode) {
    std::string names[CONTROLNAME_COUNT];
    ASSERT_EQ(control_names_read(std::string(KV_SOURCE_DIR) + "/data/config/controlName.dat", names), 100);
    EXPECT_EQ(names[0], "None");
    EXPECT_EQ(names[3], "Button 2");
    EXPECT_EQ(names[19], "Axis 1 -");
    EXPECT_EQ(names[20], "Axis 1 +");
    EXPECT_EQ(names[51], "W");
    EXPECT_EQ(names[73], "Keypad 8");
    EXPECT_EQ(names[77], "Left Shift");
    EXPECT_EQ(names[83], "Right Alt");
    EXPECT_EQ(names[99], "Keypad Enter");
    for (int i = 0; i < CONTROLNAME_COUNT; ++i) EXPECT_FALSE(names[i].empty()) << i;
}

TEST(StoredPaths, BackslashesBecomeSlashes) {
    EXPECT_EQ(tool_path("data\\config\\controlName.dat"), "data/config/controlName.dat");
    EXPECT_EQ(tool_path("configVars.dat"), "configVars.dat");
}

}  // namespace
