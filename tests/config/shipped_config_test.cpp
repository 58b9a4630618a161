// The configVars.dat shipped in the game directory: a 1024 x 768 32-bit window on the
// keyboard with the bindings a player expects, none of them on a live-tuning or debug key.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "config/config.h"
#include "config/control_codes.h"
#include "support/files.h"

namespace {

std::string shipped_path() { return std::string(KV_SOURCE_DIR) + "/data/root/configVars.dat"; }

int32_t key(const char* name) {
    for (int32_t c = CONTROL_CODE_FIRST_KEY; c <= CONTROL_CODE_LAST_KEY; ++c)
        if (std::string(control_code_info(c).KEYNAME) == name) return c;
    return -1;
}

}  // namespace

TEST(ShippedConfig, ReadsBackIntoTheDefaultBindings) {
    CONFIGVARTYPE c;
    ASSERT_EQ(config_read(c, shipped_path()), ConfigReadStatus::OK);
    EXPECT_EQ(c.XRES, 1024);
    EXPECT_EQ(c.YRES, 768);
    EXPECT_EQ(c.NBITS, 32);
    EXPECT_EQ(c.FULLSCREEN, 0);
    EXPECT_EQ(c.INPUTTYPE, 0);
    EXPECT_EQ(c.JOYSTICK, 0);
    for (int a = 0; a < PLATFORM_JOYAXES; ++a) {
        EXPECT_EQ(c.AXISMIN[a], -1.0f);
        EXPECT_EQ(c.AXISMAX[a], 1.0f);
    }
    const std::pair<int, const char*> bindings[] = {
        {CTRL_ROTATE_LEFT, "LEFT"}, {CTRL_ROTATE_RIGHT, "RIGHT"}, {CTRL_STRAFE_LEFT, "Z"},   {CTRL_STRAFE_RIGHT, "X"},
        {CTRL_THRUST, "UP"},        {CTRL_REVERSE, "DOWN"},       {CTRL_LAND, "L"},          {CTRL_MISSION_WINDOW, "ENTER"},
        {CTRL_MINIMAP, "M"},        {CTRL_WEAPON_PREVIOUS, "Q"},  {CTRL_WEAPON_NEXT, "TAB"}, {CTRL_WEAPON_USE, "SPACE"}};
    for (const auto& [control, name] : bindings) EXPECT_EQ(c.CONTROL[control], key(name)) << name;
    EXPECT_EQ(c.CONTROL[CTRL_SPARE], 0);

    // The file is exactly what the writer produces for these values.
    EXPECT_EQ(read_file_text(shipped_path()), config_format(c));
}

TEST(ShippedConfig, NoBindingUsesADebugKeyAndNoneRepeats) {
    CONFIGVARTYPE c;
    ASSERT_EQ(config_read(c, shipped_path()), ConfigReadStatus::OK);
    for (const char* k : {"S", "F", "E", "D", "W", "R", "C", "P", "O"})
        for (int i = 0; i < CONFIG_NCONTROLS; ++i)
            EXPECT_NE(c.CONTROL[i], key(k)) << "control " << i << " on debug key " << k;
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(control_code_info(c.CONTROL[i]).KIND, ControlKind::KEY) << i;
        for (int j = i + 1; j < 12; ++j) EXPECT_NE(c.CONTROL[i], c.CONTROL[j]) << i << " " << j;
    }
}
