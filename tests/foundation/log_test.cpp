// The developer console channel: one formatted line on stderr per call, whatever the length.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/log.h"

TEST(ConsoleLog, EachCallIsOneFormattedLineOnStderr) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    kv_log("map %s: short file (%d of %d bytes)", "0.map", 12, 3158036);
    kv_log("Font Load Error");
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(err, "map 0.map: short file (12 of 3158036 bytes)\nFont Load Error\n");
    EXPECT_EQ(out, "") << "diagnostics stay off standard output";
}

TEST(ConsoleLog, AnOverlongLineIsCutButStaysOneLine) {
    const std::string longtext(5000, 'x');
    testing::internal::CaptureStderr();
    kv_log("mesh %s: skipped", longtext.c_str());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_EQ(err.back(), '\n');
    EXPECT_EQ(err.rfind("mesh xxx", 0), 0u);
    EXPECT_LT(err.size(), 1100u);
    EXPECT_GT(err.size(), 1000u) << "as much of the line as fits is kept";
}
