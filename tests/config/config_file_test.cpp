// configVars.dat: exact layout, round trips through the file, and refusal of missing, short
// and garbage input.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/config.h"
#include "engine/engine_globals.h"
#include "engine/gl_types.h"
#include "support/files.h"

namespace {

std::string temp_path(const std::string& name) {
    return std::string(KV_BUILD_DIR) + "/test_config_" + name;
}

std::vector<std::string> split_crlf(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// A record in which every stored field has a distinct, recognisable value.
CONFIGVARTYPE sample_record() {
    CONFIGVARTYPE c;
    c.XRES = 1280;
    c.YRES = 720;
    c.NBITS = 16;
    c.FULLSCREEN = 1;
    c.INPUTTYPE = 1;
    for (int i = 0; i < PLATFORM_JOYAXES; ++i) {
        c.AXISMIN[i] = -0.9921875f + 0.0625f * static_cast<float>(i) * 0.5f;
        c.AXISMAX[i] = 0.75f + 0.03125f * static_cast<float>(i);
    }
    c.AXISMIN[5] = -1.0f;
    c.AXISMAX[5] = 1.0f;
    c.JOYSTICK = 3;
    for (int i = 0; i < CONFIG_NCONTROLS; ++i) c.CONTROL[i] = static_cast<int8_t>(17 + 6 * i);
    for (int i = 0; i < CONFIG_NDISPLAYOPTIONS; ++i)
        c.DISPLAYOPTION[i] = static_cast<int8_t>(i % 3 == 0 ? -(i + 1) : i);
    return c;
}

void expect_same_stored_fields(const CONFIGVARTYPE& a, const CONFIGVARTYPE& b) {
    EXPECT_EQ(a.XRES, b.XRES);
    EXPECT_EQ(a.YRES, b.YRES);
    EXPECT_EQ(a.NBITS, b.NBITS);
    EXPECT_EQ(a.FULLSCREEN, b.FULLSCREEN);
    EXPECT_EQ(a.INPUTTYPE, b.INPUTTYPE);
    for (int i = 0; i < PLATFORM_JOYAXES; ++i) {
        EXPECT_EQ(a.AXISMIN[i], b.AXISMIN[i]) << "axis " << i;
        EXPECT_EQ(a.AXISMAX[i], b.AXISMAX[i]) << "axis " << i;
    }
    EXPECT_EQ(a.JOYSTICK, b.JOYSTICK);
    for (int i = 0; i < CONFIG_NCONTROLS; ++i) EXPECT_EQ(a.CONTROL[i], b.CONTROL[i]) << i;
    for (int i = 0; i < CONFIG_NDISPLAYOPTIONS; ++i)
        EXPECT_EQ(a.DISPLAYOPTION[i], b.DISPLAYOPTION[i]) << i;
}

}  // namespace

TEST(ConfigLayout, FiftyFiveCrLfLinesInFileOrder) {
    CONFIGVARTYPE c = sample_record();
    std::string bytes = config_format(c);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    std::vector<std::string> lines = split_crlf(bytes);
    ASSERT_EQ(lines.size(), 55u);
    for (const std::string& l : lines) EXPECT_EQ(l.find('\n'), std::string::npos);

    EXPECT_EQ(lines[0], " 1280");
    EXPECT_EQ(lines[1], " 720");
    EXPECT_EQ(lines[2], " 16");
    EXPECT_EQ(lines[3], " 1");
    EXPECT_EQ(lines[4], " 1");
    // Lines 6-17 alternate minimum and maximum per axis.
    EXPECT_EQ(lines[5], "-0.9921875");
    EXPECT_EQ(lines[6], " 0.75");
    EXPECT_EQ(lines[7], "-0.9609375");
    EXPECT_EQ(lines[8], " 0.78125");
    EXPECT_EQ(lines[15], "-1");
    EXPECT_EQ(lines[16], " 1");
    EXPECT_EQ(lines[17], " 3");
    EXPECT_EQ(lines[18], " 17");   // CONTROL(0)
    EXPECT_EQ(lines[30], " 89");   // CONTROL(12)
    EXPECT_EQ(lines[31], "-1");    // DISPLAYOPTION(0)
    EXPECT_EQ(lines[32], " 1");    // DISPLAYOPTION(1)
    EXPECT_EQ(lines[54], " 23");   // DISPLAYOPTION(23)
}

TEST(ConfigLayout, UnstoredFieldsDoNotReachTheFile) {
    CONFIGVARTYPE a = sample_record();
    CONFIGVARTYPE b = a;
    b.LASTJOY = 7;
    for (float& v : b.AXISCENTER) v = 0.5f;
    EXPECT_EQ(config_format(a), config_format(b));
}

TEST(ConfigRoundTrip, FileWrittenAndReadBackKeepsEveryValue) {
    const std::string path = temp_path("roundtrip.dat");
    CONFIGVARTYPE written = sample_record();
    ASSERT_TRUE(config_write(written, path));
    EXPECT_EQ(read_file_text(path), config_format(written));

    CONFIGVARTYPE read;
    read.LASTJOY = 5;
    read.AXISCENTER[2] = 0.5f;
    EXPECT_EQ(config_read(read, path), ConfigReadStatus::OK);
    expect_same_stored_fields(written, read);
    EXPECT_EQ(read.AXISMIN[0], -0.9921875f);
    EXPECT_EQ(read.LASTJOY, 0);           // never stored: reset by the read
    EXPECT_EQ(read.AXISCENTER[2], 0.0f);

    // Writing what was read gives the same bytes again.
    EXPECT_EQ(config_format(read), config_format(written));
    std::remove(path.c_str());
}

TEST(ConfigRoundTrip, ExtremeByteAndSingleValuesSurvive) {
    CONFIGVARTYPE c;
    c.XRES = 0;
    c.YRES = 65535;
    c.NBITS = 127;
    c.FULLSCREEN = -128;
    c.AXISMIN[0] = -1.0e-5f;
    c.AXISMAX[0] = 123456.7f;
    c.AXISMIN[1] = -3.402823e+38f;
    c.CONTROL[0] = -128;
    c.CONTROL[1] = 127;
    CONFIGVARTYPE r;
    EXPECT_EQ(config_parse(r, config_format(c)), ConfigReadStatus::OK);
    expect_same_stored_fields(c, r);
}

TEST(ConfigRoundTrip, WriteReplacesAnExistingFileWhole) {
    const std::string path = temp_path("replace.dat");
    write_file_text(path, std::string(5000, 'x'));
    CONFIGVARTYPE c = sample_record();
    ASSERT_TRUE(config_write(c, path));
    EXPECT_EQ(read_file_text(path), config_format(c));
    std::remove(path.c_str());
}

TEST(ConfigRoundTrip, FailedWriteLeavesTheOldFileAndSaysSo) {
    const std::string path = temp_path("no_such_dir/configVars.dat");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(config_write(sample_record(), path));
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("could not write"), std::string::npos) << out;
}

TEST(ConfigBadInput, MissingAndUnreadableFilesAreToldApartAndReadAsZero) {
    CONFIGVARTYPE c = sample_record();
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_read(c, temp_path("does_not_exist.dat")), ConfigReadStatus::MISSING);
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("the settings file is missing"), std::string::npos) << out;
    expect_same_stored_fields(c, CONFIGVARTYPE{});

    // A folder in its place is not "missing": the line says what it is.
    const std::string folder = temp_path("folder.dat");
    std::filesystem::create_directories(folder);
    c = sample_record();
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_read(c, folder), ConfigReadStatus::UNREADABLE);
    out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("cannot be read (a folder)"), std::string::npos) << out;
    EXPECT_EQ(out.find("missing"), std::string::npos) << out;
    expect_same_stored_fields(c, CONFIGVARTYPE{});
    std::filesystem::remove(folder);
}

TEST(ConfigBadInput, ShortFileKeepsWhatIsThereAndTakesTheShippedRest) {
    CONFIGVARTYPE full = sample_record();
    std::vector<std::string> lines = split_crlf(config_format(full));
    std::string first20;
    for (int i = 0; i < 20; ++i) first20 += lines[i] + "\r\n";

    CONFIGVARTYPE c = sample_record();
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_parse(c, first20), ConfigReadStatus::SHORT);
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("only 20 of 55"), std::string::npos) << out;
    EXPECT_NE(out.find("controls 2-12 are missing; they take the default bindings"), std::string::npos) << out;
    const CONFIGVARTYPE d = config_defaults();
    EXPECT_EQ(c.XRES, 1280);
    EXPECT_EQ(c.AXISMAX[5], 1.0f);
    EXPECT_EQ(c.JOYSTICK, 3);
    EXPECT_EQ(c.CONTROL[0], 17);
    EXPECT_EQ(c.CONTROL[1], 23);
    for (int i = 2; i < CONFIG_NCONTROLS; ++i) EXPECT_EQ(c.CONTROL[i], d.CONTROL[i]) << i;
    EXPECT_EQ(c.CONTROL[CTRL_THRUST], 84);
    for (int i = 0; i < CONFIG_NDISPLAYOPTIONS; ++i) EXPECT_EQ(c.DISPLAYOPTION[i], d.DISPLAYOPTION[i]) << i;

    // An empty file is all defaults: every control bound, the game's window usable.
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_parse(c, ""), ConfigReadStatus::SHORT);
    out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("controls 0-12 are missing"), std::string::npos) << out;
    expect_same_stored_fields(c, d);
    std::string why;
    EXPECT_TRUE(config_usable(c, why)) << why;

    // All controls present (the file stops inside the display options): no controls line.
    std::string first40;
    for (int i = 0; i < 40; ++i) first40 += lines[i] + "\r\n";
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_parse(c, first40), ConfigReadStatus::SHORT);
    out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.find("controls"), std::string::npos) << out;
    EXPECT_EQ(c.CONTROL[12], full.CONTROL[12]);
}

TEST(ConfigBadInput, TextThatIsNotANumberIsNamedWithItsLineAndTakesTheDefault) {
    std::string text = "hello\r\n 480\r\n16 bits\r\n";
    for (int i = 3; i < 55; ++i) text += "abc\r\n";
    text.replace(text.size() - 5, 3, "\x1b]0");  // an escape sequence in the last value
    CONFIGVARTYPE c;
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_parse(c, text, "cfg.dat"), ConfigReadStatus::OK);
    const std::string out = testing::internal::GetCapturedStderr();
    const CONFIGVARTYPE d = config_defaults();
    EXPECT_EQ(c.XRES, 1024);
    EXPECT_EQ(c.YRES, 480);
    EXPECT_EQ(c.NBITS, 16);   // longest numeric prefix
    EXPECT_EQ(c.AXISMIN[0], -1.0f);
    EXPECT_EQ(c.CONTROL[0], d.CONTROL[0]);
    EXPECT_EQ(c.DISPLAYOPTION[23], 0);
    EXPECT_NE(out.find("cfg.dat: line 1 (XRES) value \"hello\" is not a number; using the default 1024"),
              std::string::npos) << out;
    EXPECT_NE(out.find("line 6 (AXISMIN(0)) value \"abc\" is not a number; using the default -1"), std::string::npos)
        << out;
    EXPECT_NE(out.find("line 55 (DISPLAYOPTION(23)) value \"\\x1B]0\""), std::string::npos) << out;
    EXPECT_EQ(out.find('\x1b'), std::string::npos) << "data bytes are escaped on the console";
}

TEST(ConfigBadInput, OutOfRangeValuesAreRefusedNotWrapped) {
    CONFIGVARTYPE good = sample_record();
    std::vector<std::string> lines = split_crlf(config_format(good));
    lines[0] = "-640";          // XRES
    lines[1] = " 99999999999";  // YRES
    lines[2] = " 288";          // NBITS would wrap to 32
    lines[5] = "nan";           // AXISMIN(0)
    lines[6] = "inf";           // AXISMAX(0)
    lines[18] = " 285";         // CONTROL(0) would wrap to 29, the A key
    lines[19] = "-129";         // CONTROL(1)
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";

    CONFIGVARTYPE c;
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_parse(c, text, "cfg.dat"), ConfigReadStatus::OK);
    std::string out = testing::internal::GetCapturedStderr();
    // Each refused value takes the shipped default of its setting.
    EXPECT_EQ(c.XRES, 1024);
    EXPECT_EQ(c.YRES, 768);
    EXPECT_EQ(c.NBITS, 32);
    EXPECT_EQ(c.AXISMIN[0], -1.0f);
    EXPECT_EQ(c.AXISMAX[0], 1.0f);
    EXPECT_EQ(c.CONTROL[0], 86);
    EXPECT_EQ(c.CONTROL[1], 87);
    // Values next to the refused ones are untouched.
    EXPECT_EQ(c.FULLSCREEN, 1);
    EXPECT_EQ(c.AXISMIN[1], good.AXISMIN[1]);
    EXPECT_EQ(c.CONTROL[2], good.CONTROL[2]);
    EXPECT_NE(out.find("cfg.dat: line 1 (XRES)"), std::string::npos) << out;
    EXPECT_NE(out.find("line 19 (CONTROL(0)) value \"285\""), std::string::npos) << out;
}

TEST(ConfigReport, CountsEveryValueAndNamesEachRefusal) {
    std::vector<std::string> lines = split_crlf(config_format(sample_record()));
    lines[2] = "deep";    // NBITS: no number at all
    lines[18] = " 285";   // CONTROL(0): a number out of range
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    CONFIGVARTYPE c;
    ConfigReadReport report;
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_parse(c, text + " 7\r\n 8\r\n", "cfg.dat", &report), ConfigReadStatus::OK);
    testing::internal::GetCapturedStderr();
    // Values past the last setting are counted although the game never reads them.
    EXPECT_EQ(report.values, 57);
    ASSERT_EQ(report.refused.size(), 2u);
    EXPECT_EQ(report.refused[0].value, 3);
    EXPECT_EQ(report.refused[0].text, "deep");
    EXPECT_FALSE(report.refused[0].out_of_range);
    EXPECT_EQ(report.refused[1].value, 19);
    EXPECT_TRUE(report.refused[1].out_of_range);
    EXPECT_EQ(c.NBITS, 32);  // the record is the same as without a report
    EXPECT_EQ(c.CONTROL[0], 86);

    // A report is emptied first: a short, clean text leaves nothing of the previous read.
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_parse(c, " 640\r\n 480\r\n", "cfg.dat", &report), ConfigReadStatus::SHORT);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(report.values, 2);
    EXPECT_TRUE(report.refused.empty());

    // A file that cannot be read has no values at all.
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_read(c, temp_path("absent_report.dat"), &report), ConfigReadStatus::MISSING);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(report.values, 0);
}

TEST(ConfigBadInput, BinaryJunkNeverCrashes) {
    std::string junk;
    uint32_t x = 12345;
    for (int i = 0; i < 4000; ++i) {
        x = x * 1103515245u + 12345u;
        junk += static_cast<char>((x >> 16) & 0xFF);
    }
    const std::string path = temp_path("junk.dat");
    write_file_text(path, junk);
    CONFIGVARTYPE c;
    testing::internal::CaptureStderr();
    ConfigReadStatus s = config_read(c, path);
    testing::internal::GetCapturedStderr();
    EXPECT_NE(s, ConfigReadStatus::MISSING);
    EXPECT_GE(c.XRES, 0);
    EXPECT_LE(c.XRES, 65535);
    std::remove(path.c_str());
}

TEST(ConfigStartup, FillsWindowPropertiesAndHighestController) {
    const std::string path = temp_path("startup.dat");
    CONFIGVARTYPE c = sample_record();
    c.FULLSCREEN = 1;
    ASSERT_TRUE(config_write(c, path));

    auto pads_1_and_4 = [](int32_t j) { return j == 1 || j == 4; };
    EXPECT_EQ(INITIALIZE_GAMECONFIG(path, pads_1_and_4), ConfigReadStatus::OK);
    EXPECT_EQ(CONFIGVARS.LASTJOY, 4);
    EXPECT_EQ(OPENGLPROPERTIES.SCR_WIDTH, 1280);
    EXPECT_EQ(OPENGLPROPERTIES.SCR_HEIGHT, 720);
    EXPECT_EQ(OPENGLPROPERTIES.SCR_BITS, 16);
    EXPECT_EQ(OPENGLPROPERTIES.SCR_FULLSCREEN, SCR_MODE_FULLSCREEN);

    c.FULLSCREEN = 0;
    ASSERT_TRUE(config_write(c, path));
    INITIALIZE_GAMECONFIG(path, nullptr);
    EXPECT_EQ(CONFIGVARS.LASTJOY, -1);
    EXPECT_EQ(OPENGLPROPERTIES.SCR_FULLSCREEN, SCR_MODE_WINDOW);

    // A mode outside the table leaves the window mode unset, so no window opens.
    c.FULLSCREEN = 2;
    ASSERT_TRUE(config_write(c, path));
    INITIALIZE_GAMECONFIG(path, [](int32_t) { return false; });
    EXPECT_EQ(CONFIGVARS.FULLSCREEN, 2);
    EXPECT_EQ(CONFIGVARS.LASTJOY, -1);
    EXPECT_EQ(OPENGLPROPERTIES.SCR_FULLSCREEN, 0);
    std::remove(path.c_str());

    // A missing file gives colour depth 0, which opens no window.
    testing::internal::CaptureStderr();
    EXPECT_EQ(INITIALIZE_GAMECONFIG(path, nullptr), ConfigReadStatus::MISSING);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(OPENGLPROPERTIES.SCR_BITS, 0);
    CONFIGVARS = CONFIGVARTYPE{};
    OPENGLPROPERTIES = OPENGLPROPERTIESTYPE{};
}

TEST(ConfigDefaults, AreTheShippedFileAndUsable) {
    const std::string shipped = read_file_text(std::string(KV_SOURCE_DIR) + "/data/root/configVars.dat");
    ASSERT_FALSE(shipped.empty());
    EXPECT_EQ(config_format(config_defaults()), shipped);
    std::string why;
    EXPECT_TRUE(config_usable(config_defaults(), why)) << why;
}

TEST(ConfigDefaults, UsableNamesTheSettingTheGameWouldRefuse) {
    CONFIGVARTYPE c = config_defaults();
    std::string why;
    c.XRES = CONFIG_MAX_SCREEN_SIDE;
    c.YRES = 1;
    EXPECT_TRUE(config_usable(c, why)) << why;
    c.XRES = CONFIG_MAX_SCREEN_SIDE + 1;
    EXPECT_FALSE(config_usable(c, why));
    EXPECT_EQ(why, "screen size 16385 x 1 is outside 1-16384");
    c = config_defaults();
    c.YRES = 0;
    EXPECT_FALSE(config_usable(c, why));
    c = config_defaults();
    c.NBITS = 24;
    EXPECT_FALSE(config_usable(c, why));
    EXPECT_EQ(why, "colour depth 24 is neither 16 nor 32");
    c = config_defaults();
    c.FULLSCREEN = 2;
    EXPECT_FALSE(config_usable(c, why));
    EXPECT_EQ(why, "full-screen setting 2 is neither 0 nor 1");
}
