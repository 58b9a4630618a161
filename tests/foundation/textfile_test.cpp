// Text fields: reading rules, number text and its round trip, atomic writes, STR_EXPLODE and
// SYSTEM_FORMATFLOAT.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "engine/textfile.h"
#include "support/files.h"

namespace {

std::vector<std::string> all_fields(const std::string& text) {
    FieldReader r = field_reader_from_string(text);
    std::vector<std::string> out;
    int guard = 0;
    while (!field_eof(r) && guard++ < 100000) out.push_back(field_read(r));
    return out;
}

using Fields = std::vector<std::string>;

std::filesystem::path temp_dir() {
    auto d = std::filesystem::temp_directory_path() / ("kv_textfile_" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
}

}  // namespace

TEST(FieldReader, SeparatorsAndLineEndings) {
    EXPECT_EQ(all_fields("a,b\r\nc\nd\re"), (Fields{"a", "b", "c", "d", "e"}));
    // CR LF is one line end, not two; LF CR is two.
    EXPECT_EQ(all_fields("a\r\n\r\nb"), (Fields{"a", "", "b"}));
    EXPECT_EQ(all_fields("a\n\rb"), (Fields{"a", "", "b"}));
    // A comma before the line end leaves an empty field; the last line needs no line end.
    EXPECT_EQ(all_fields("1,\r\n2"), (Fields{"1", "", "2"}));
    EXPECT_EQ(all_fields("x\r\n"), (Fields{"x"}));
    EXPECT_TRUE(all_fields("").empty());
}

TEST(FieldReader, BlanksLeadingSkippedTrailingKept) {
    EXPECT_EQ(all_fields("  \t a b ,\tc"), (Fields{"a b ", "c"}));
    EXPECT_EQ(all_fields("   \r\n"), (Fields{""}));
}

TEST(FieldReader, QuotedFields) {
    EXPECT_EQ(all_fields("\"a, b\",c"), (Fields{"a, b", "c"}));
    EXPECT_EQ(all_fields("  \"  padded  \"\r\nnext"), (Fields{"  padded  ", "next"}));
    // Line breaks inside quotes belong to the field.
    EXPECT_EQ(all_fields("\"two\r\nlines\",x"), (Fields{"two\r\nlines", "x"}));
    // Text after the closing quote is kept; blanks alone are dropped.
    EXPECT_EQ(all_fields("\"a,b\"c,d"), (Fields{"a,bc", "d"}));
    EXPECT_EQ(all_fields("\"a\"   ,d"), (Fields{"a", "d"}));
    EXPECT_EQ(all_fields("\"a\" b\r\n"), (Fields{"a b"}));
    // An empty quoted field and an unclosed quote running to end of file.
    EXPECT_EQ(all_fields("\"\",z"), (Fields{"", "z"}));
    EXPECT_EQ(all_fields("\"open, to the end"), (Fields{"open, to the end"}));
    // A quote that does not open the field is an ordinary byte.
    EXPECT_EQ(all_fields("ab\"c,d\""), (Fields{"ab\"c", "d\""}));
}

TEST(FieldReader, EndOfFileAndEmptyReader) {
    FieldReader r = field_reader_from_string("only");
    EXPECT_FALSE(field_eof(r));
    EXPECT_EQ(field_read(r), "only");
    EXPECT_TRUE(field_eof(r));
    // Reading past the end yields empty text and zero numbers, never a fault.
    EXPECT_EQ(field_read(r), "");
    EXPECT_EQ(field_read_int(r), 0);
    EXPECT_EQ(field_read_single(r), 0.0f);
    r.pos = 999;  // a position beyond the text is treated as the end
    EXPECT_TRUE(field_eof(r));
    EXPECT_EQ(field_read(r), "");

    FieldReader missing;
    missing.bytes = "stale";
    missing.pos = 2;
    EXPECT_FALSE(field_reader_open(missing, "/nonexistent/kv/nothing.dat"));
    EXPECT_TRUE(field_eof(missing));
    EXPECT_FALSE(field_reader_open(missing, temp_dir().string()));  // a directory
    EXPECT_TRUE(field_eof(missing));
}

TEST(FieldReader, LongFieldsAreCutAndTheNextFieldStaysInStep) {
    std::string exact(FIELD_MAX_BYTES, 'x');
    FieldReader r = field_reader_from_string(exact + ",next");
    EXPECT_EQ(field_read(r), exact);
    EXPECT_EQ(r.long_fields, 0u);
    EXPECT_EQ(field_read(r), "next");

    std::string longer = std::string(FIELD_MAX_BYTES, 'y') + "TAIL";
    r = field_reader_from_string(longer + "\r\nafter,\"" + longer + "\",last");
    testing::internal::CaptureStderr();
    std::string first = field_read(r);
    EXPECT_EQ(first, std::string(FIELD_MAX_BYTES, 'y'));
    EXPECT_EQ(field_read(r), "after");
    EXPECT_EQ(field_read(r), std::string(FIELD_MAX_BYTES, 'y'));
    EXPECT_EQ(field_read(r), "last");
    std::string console = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r.long_fields, 2u);
    EXPECT_NE(console.find("longer than 4096"), std::string::npos) << console;
}

TEST(FieldReader, OversizedAndEndlessFilesAreRefusedWithAConsoleLine) {
    auto p = temp_dir() / "huge.dat";
    {
        std::ofstream f(p, std::ios::binary);
        f << "1,2\r\n";
    }
    std::filesystem::resize_file(p, FIELD_FILE_MAX_BYTES + 1);  // sparse: cheap to make
    FieldReader r;
    r.bytes = "stale";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(field_reader_open(r, p.string()));
    std::string console = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(field_eof(r));
    EXPECT_NE(console.find("huge.dat: not read: larger than"), std::string::npos) << console;

    // A file of exactly the limit is still read.
    std::filesystem::resize_file(p, FIELD_FILE_MAX_BYTES);
    ASSERT_TRUE(field_reader_open(r, p.string()));
    EXPECT_EQ(r.bytes.size(), FIELD_FILE_MAX_BYTES);
    EXPECT_EQ(field_read_int(r), 1);
    std::filesystem::remove(p);

    // A device that never ends is refused, not read until memory runs out.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(field_reader_open(r, "/dev/zero"));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(field_eof(r));
}

TEST(FieldReader, OpensFilesFromDisk) {
    auto p = temp_dir() / "fields.dat";
    {
        std::ofstream f(p, std::ios::binary);
        f << " 12,\"a,b\"\r\n-3.5\r\n";
    }
    FieldReader r;
    ASSERT_TRUE(field_reader_open(r, p.string()));
    EXPECT_EQ(field_read_int(r), 12);
    EXPECT_EQ(field_read(r), "a,b");
    EXPECT_EQ(field_read_single(r), -3.5f);
    EXPECT_TRUE(field_eof(r));
}

TEST(NumberParse, LongestPrefixAndNonNumbers) {
    EXPECT_EQ(text_to_number("42"), 42.0);
    EXPECT_EQ(text_to_number("  -17.25xyz"), -17.25);
    EXPECT_EQ(text_to_number("+3"), 3.0);
    EXPECT_EQ(text_to_number(".5"), 0.5);
    EXPECT_EQ(text_to_number("5."), 5.0);
    EXPECT_EQ(text_to_number("1.5e3"), 1500.0);
    EXPECT_EQ(text_to_number("1.5D-2"), 0.015);
    EXPECT_EQ(text_to_number("2e"), 2.0);   // exponent letter without digits is not part of it
    EXPECT_EQ(text_to_number("2e+"), 2.0);
    EXPECT_EQ(text_to_number("7 8"), 7.0);
    EXPECT_EQ(text_to_number("abc"), 0.0);
    EXPECT_EQ(text_to_number(""), 0.0);
    EXPECT_EQ(text_to_number("-"), 0.0);
    EXPECT_EQ(text_to_number("."), 0.0);
    EXPECT_EQ(text_to_number("inf"), 0.0);
    EXPECT_EQ(text_to_number("nan"), 0.0);
    EXPECT_EQ(text_to_number("0x10"), 0.0);
}

TEST(NumberParse, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(text_to_number("1e999"), DBL_MAX);
    EXPECT_EQ(text_to_number("-1e999"), -DBL_MAX);
    EXPECT_EQ(text_to_number("1e-999"), 0.0);
    EXPECT_EQ(text_to_number("1e99999999999999999999"), DBL_MAX);
    EXPECT_EQ(text_to_single("1e39"), FLT_MAX);
    EXPECT_EQ(text_to_single("-1e39"), -FLT_MAX);
    EXPECT_EQ(text_to_int("3000000000"), INT32_MAX);
    EXPECT_EQ(text_to_int("-3000000000"), INT32_MIN);
    EXPECT_EQ(text_to_int("1e300"), INT32_MAX);
    // A very long run of digits keeps its magnitude.
    std::string big = "1" + std::string(600, '0');
    EXPECT_EQ(text_to_number(big), DBL_MAX);
    std::string mid = "1" + std::string(480, '0');
    EXPECT_DOUBLE_EQ(text_to_number(mid + "e-470"), 1e10);
}

TEST(NumberParse, IntegersRoundHalfToEven) {
    EXPECT_EQ(text_to_int("2.5"), 2);
    EXPECT_EQ(text_to_int("3.5"), 4);
    EXPECT_EQ(text_to_int("-2.5"), -2);
    EXPECT_EQ(text_to_int("2.6"), 3);
    EXPECT_EQ(text_to_int("-7"), -7);
    EXPECT_EQ(text_to_int("2147483647"), INT32_MAX);
    EXPECT_EQ(text_to_int("-2147483648"), INT32_MIN);
}

TEST(NumberText, Integers) {
    EXPECT_EQ(text_int(0), " 0");
    EXPECT_EQ(text_int(15), " 15");
    EXPECT_EQ(text_int(-15), "-15");
    EXPECT_EQ(text_int(INT32_MAX), " 2147483647");
    EXPECT_EQ(text_int(INT32_MIN), "-2147483648");
}

TEST(NumberText, SinglesAcrossMagnitudesAndSigns) {
    EXPECT_EQ(text_single(0.0f), " 0");
    EXPECT_EQ(text_single(-0.0f), " 0");
    EXPECT_EQ(text_single(1.0f), " 1");
    EXPECT_EQ(text_single(-1.5f), "-1.5");
    EXPECT_EQ(text_single(0.1f), " 0.1");
    EXPECT_EQ(text_single(-0.9921875f), "-0.9921875");
    EXPECT_EQ(text_single(1234567.0f), " 1234567");
    EXPECT_EQ(text_single(12345678.0f), " 1.234568e+007");
    EXPECT_EQ(text_single(-12345678.0f), "-1.234568e+007");
    EXPECT_EQ(text_single(0.0001f), " 0.0001");
    EXPECT_EQ(text_single(0.00001234568f), " 1.234568e-005");
    EXPECT_EQ(text_single(-0.00001f), "-1e-005");
    EXPECT_EQ(text_single(3.0e38f), " 3e+038");
    EXPECT_EQ(text_single(1.0e-40f), " 9.999946e-041");  // subnormal
    EXPECT_EQ(text_single(1.0f / 3.0f), " 0.3333333");
    EXPECT_EQ(text_single(100.0f), " 100");
    EXPECT_EQ(text_single(2.5e6f), " 2500000");
}

TEST(NumberText, DoublesAcrossMagnitudesAndSigns) {
    EXPECT_EQ(text_double(0.0), " 0");
    EXPECT_EQ(text_double(0.1), " 0.1");
    EXPECT_EQ(text_double(-3723.5), "-3723.5");
    EXPECT_EQ(text_double(123456789012345.0), " 123456789012345");
    EXPECT_EQ(text_double(1234567890123456.0), " 1.23456789012346e+015");
    EXPECT_EQ(text_double(1e-300), " 1e-300");
    EXPECT_EQ(text_double(-2.5e-7), "-2.5e-007");
    EXPECT_EQ(text_double(1.0 / 3.0), " 0.333333333333333");
}

TEST(NumberText, NonFiniteValuesWriteReadableNumbers) {
    EXPECT_EQ(text_single(std::numeric_limits<float>::quiet_NaN()), " 0");
    // Infinities write as the largest finite value at 7 or 15 digits.
    float up = text_to_single(text_single(std::numeric_limits<float>::infinity()));
    float down = text_to_single(text_single(-std::numeric_limits<float>::infinity()));
    EXPECT_GT(up, 3.4e38f);
    EXPECT_LE(up, FLT_MAX);
    EXPECT_EQ(down, -up);
    double big = text_to_number(text_double(std::numeric_limits<double>::infinity()));
    EXPECT_GT(big, 1.79e308);
    EXPECT_LE(big, DBL_MAX);
}

TEST(NumberText, WrittenValuesReadBackIdentical) {
    const float singles[] = {-0.9921875f, 0.25f, 1e-5f, 1234567.0f, -8388608.0f, 0.015625f, 1e30f,
                             -2.5e-20f, 65504.0f, 0.5f, 3.0f};
    for (float v : singles) {
        FieldWriter w;
        field_write_single(w, v);
        FieldReader r = field_reader_from_string(w.bytes);
        EXPECT_EQ(field_read_single(r), v) << w.bytes;
    }
    const double doubles[] = {0.1, -1e-300, 123456.789, 86399.999, -0.9921875, 1e300, 0.3};
    for (double v : doubles) {
        FieldWriter w;
        field_write_double(w, v);
        FieldReader r = field_reader_from_string(w.bytes);
        EXPECT_EQ(field_read_double(r), v) << w.bytes;
    }
}

TEST(FieldWriter, LinesEndWithCrLfAndReadBack) {
    FieldWriter w;
    field_write(w, "name");
    field_write_int(w, -4);
    field_write_single(w, 2.5f);
    field_write_double(w, 0.125);
    field_write_quoted(w, "with, comma \"q\"");
    field_write(w, "");
    EXPECT_EQ(w.bytes, "name\r\n-4\r\n 2.5\r\n 0.125\r\n\"with, comma 'q'\"\r\n\r\n");
    FieldReader r = field_reader_from_string(w.bytes);
    EXPECT_EQ(field_read(r), "name");
    EXPECT_EQ(field_read_int(r), -4);
    EXPECT_EQ(field_read_single(r), 2.5f);
    EXPECT_EQ(field_read_double(r), 0.125);
    EXPECT_EQ(field_read(r), "with, comma 'q'");
    EXPECT_EQ(field_read(r), "");
    EXPECT_TRUE(field_eof(r));
}

TEST(AtomicWrite, ReplacesWholeFileAndLeavesNoTemporary) {
    auto dir = temp_dir() / "atomic";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto p = dir / "save.dat";
    ASSERT_TRUE(write_file_atomic(p.string(), "first version, long text\r\n"));
    EXPECT_EQ(read_file_text(p), "first version, long text\r\n");
    ASSERT_TRUE(write_file_atomic(p.string(), "2\r\n"));
    EXPECT_EQ(read_file_text(p), "2\r\n");
    ASSERT_TRUE(write_file_atomic(p.string(), ""));
    EXPECT_EQ(read_file_text(p), "");
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(AtomicWrite, FailureLeavesTheOldFileUntouched) {
    auto dir = temp_dir() / "atomic_fail";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto p = dir / "keep.dat";
    ASSERT_TRUE(write_file_atomic(p.string(), "precious"));
    EXPECT_FALSE(write_file_atomic((dir / "no_such_dir" / "x.dat").string(), "x"));
    EXPECT_FALSE(write_file_atomic("", "x"));
    // The target is a directory: the rename fails and the temporary is removed.
    std::filesystem::create_directories(dir / "adir");
    std::filesystem::create_directories(dir / "adir" / "inner");
    EXPECT_FALSE(write_file_atomic((dir / "adir").string(), "x"));
    EXPECT_EQ(read_file_text(p), "precious");
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2);  // keep.dat and adir only
}

TEST(StrExplode, BlankDelimiter) {
    EXPECT_EQ(STR_EXPLODE(" ", "v 1 2 3"), 3);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"v", "1", "2", "3"}));
    EXPECT_EQ(STR_EXPLODE(" ", "a  b"), 2);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"a", "", "b"}));
    EXPECT_EQ(STR_EXPLODE(" ", "whole"), 0);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"whole"}));
    EXPECT_EQ(STR_EXPLODE(" ", "a "), 1);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"a", ""}));
    EXPECT_EQ(STR_EXPLODE(" ", " "), 1);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"", ""}));
    EXPECT_EQ(STR_EXPLODE(" ", ""), 0);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{""}));
}

TEST(StrExplode, LongerDelimitersAndEdgeCases) {
    EXPECT_EQ(STR_EXPLODE("//", "Armour//2//Stronger hull"), 2);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"Armour", "2", "Stronger hull"}));
    EXPECT_EQ(STR_EXPLODE("\\n", "line one\\nline two"), 1);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"line one", "line two"}));
    // Overlapping occurrences: "///" holds "//" at two positions.
    EXPECT_EQ(STR_EXPLODE("//", "a///b"), 2);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"a", "", "b"}));
    EXPECT_EQ(STR_EXPLODE("//", "////"), 3);
    EXPECT_EQ(STR_EXPLODE_RESULT.size(), 4u);
    // Delimiter longer than the text, and an empty delimiter, split nothing.
    EXPECT_EQ(STR_EXPLODE("long delimiter", "ab"), 0);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"ab"}));
    EXPECT_EQ(STR_EXPLODE("", "abc"), 0);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"abc"}));
    // Each call replaces the whole previous result.
    STR_EXPLODE("/", "1/2/3/4/5");
    EXPECT_EQ(STR_EXPLODE("/", "x/y"), 1);
    EXPECT_EQ(STR_EXPLODE_RESULT, (Fields{"x", "y"}));
}

TEST(FormatFloat, WidthPaddingAndExponentRewrite) {
    std::string s = "junk";
    SYSTEM_FORMATFLOAT(s, 1.5f, 6);
    EXPECT_EQ(s, "0001.5");
    SYSTEM_FORMATFLOAT(s, 0.00001234568f, 10);
    EXPECT_EQ(s, "0.00001234");
    SYSTEM_FORMATFLOAT(s, 0.123456f, 5);
    EXPECT_EQ(s, "0.123");
    SYSTEM_FORMATFLOAT(s, 0.00001f, 8);
    EXPECT_EQ(s, "00.00001");
    SYSTEM_FORMATFLOAT(s, 12345678.0f, 10);
    EXPECT_EQ(s, "0012345680");
    SYSTEM_FORMATFLOAT(s, -1.5f, 6);
    EXPECT_EQ(s, "-001.5");
    SYSTEM_FORMATFLOAT(s, -0.00002f, 9);
    EXPECT_EQ(s, "-00.00002");
    SYSTEM_FORMATFLOAT(s, 7.0f, 1);
    EXPECT_EQ(s, "7");
    SYSTEM_FORMATFLOAT(s, 7.0f, 0);
    EXPECT_EQ(s, "");
    SYSTEM_FORMATFLOAT(s, 7.0f, -3);
    EXPECT_EQ(s, "");
}

TEST(FieldReader, ArbitraryBytesAlwaysEndWithBoundedFields) {
    // Damaged files: random bytes weighted towards the characters the reader reacts to.
    const char alphabet[] = {',', '"', '\r', '\n', ' ', '\t', '-', '.', 'e', '1', '9', 'x', '\0', '\xff'};
    uint32_t s = 12345;
    auto next = [&s]() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    };
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        std::size_t len = next() % (round < 290 ? 200 : 9000);
        for (std::size_t i = 0; i < len; ++i) bytes += alphabet[next() % sizeof alphabet];
        FieldReader r = field_reader_from_string(bytes);
        std::size_t reads = 0;
        std::size_t last = 0;
        testing::internal::CaptureStderr();
        while (!field_eof(r)) {
            std::string f = field_read(r);
            ASSERT_LE(f.size(), FIELD_MAX_BYTES);
            ASSERT_GT(r.pos, last) << "every read consumes input";
            last = r.pos;
            ASSERT_TRUE(std::isfinite(text_to_number(f)));
            ASSERT_LE(++reads, bytes.size());
        }
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(r.pos, bytes.size());
    }
}
