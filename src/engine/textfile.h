// Text fields: the one reader and writer of the comma/line separated text that every data file
// of the game uses, the number text written into those files, atomic file replacement, the
// string splitter STR_EXPLODE and the fixed-width float text SYSTEM_FORMATFLOAT.
//
// Reading rules (field_read):
//   - leading blanks and tabs are skipped;
//   - a field ends at a comma, CR, LF, CR LF or end of file; the separator is consumed;
//   - a field opening with a double quote runs to the next double quote (commas and line breaks
//     inside belong to it; an unclosed quote runs to end of file); the quotes are removed.
//     Text between the closing quote and the separator is appended to the field as it stands
//     (`"a,b"c` reads as `a,bc`) unless it is only blanks and tabs, which are dropped;
//   - a field holds at most FIELD_MAX_BYTES bytes. Longer text is cut there: the rest up to the
//     separator is skipped (so the following fields stay in step), the reader's long_fields
//     counter goes up and one console line names the cut.
// Writing: each value on its own line followed by CR LF; numbers as text_int/single/double.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::size_t FIELD_MAX_BYTES = 4096;
// The largest text file a reader takes in. Every data file of the game is far smaller; a
// larger file (or an endless device) is refused instead of filling memory.
constexpr std::size_t FIELD_FILE_MAX_BYTES = std::size_t{64} << 20;

struct FieldReader {
    std::string bytes;
    std::size_t pos = 0;
    std::size_t long_fields = 0;  // fields cut at FIELD_MAX_BYTES so far
    std::string error;            // why field_reader_open failed ("missing", "a folder", ...)
};

// Reads the whole regular file into a reader (file_read_capped, platform/file_io.h). False when
// it is missing, not a regular file (a folder, a pipe, a device), unreadable or longer than
// FIELD_FILE_MAX_BYTES; every failure but a missing file prints one console line naming it.
// The reader is then empty (at end of file at once) and `error` says why.
bool field_reader_open(FieldReader& r, const std::string& path);
FieldReader field_reader_from_string(std::string text);

// True when no byte is left to read; tested before each read in loops.
bool field_eof(const FieldReader& r);

// One field by the rules above; "" at end of file.
std::string field_read(FieldReader& r);

// A field read as a number: the longest numeric prefix (blanks, sign, digits, point, exponent
// with e/E/d/D); text that is not a number reads as 0. Out-of-range values saturate to the
// type's limits; integers round to nearest with halves to even.
int32_t field_read_int(FieldReader& r);
float field_read_single(FieldReader& r);
double field_read_double(FieldReader& r);

// The same number rule on a string (saturates at the double range).
double text_to_number(const std::string& text);
int32_t text_to_int(const std::string& text);
float text_to_single(const std::string& text);

// Number text as written to data files: one leading space when not negative ("-" otherwise),
// integers in decimal, singles with up to 7 significant digits, doubles with up to 15, no
// trailing zeros or decimal point, and exponent form only when the decimal exponent is below -4
// or at least the digit count: mantissa, "e", sign, three exponent digits (" 1.234568e-005").
// Negative zero writes as " 0"; NaN writes as " 0" and infinities as the largest finite value of
// the type, so every written number reads back.
std::string text_int(int32_t v);
std::string text_single(float v);
std::string text_double(double v);

struct FieldWriter {
    std::string bytes;
};

// Appends text then CR LF.
void field_write(FieldWriter& w, const std::string& text);
// Appends the text inside double quotes then CR LF, so commas survive a read back. A double
// quote cannot be represented inside a quoted field; each one is written as a single quote.
void field_write_quoted(FieldWriter& w, const std::string& text);
void field_write_int(FieldWriter& w, int32_t v);
void field_write_single(FieldWriter& w, float v);
void field_write_double(FieldWriter& w, double v);

// Replaces the file at path with bytes through file_replace (platform/file_io.h): a temporary
// created exclusively beside it, renamed over it; symlinks are written through, a destination
// that is not a regular file or is read-only is refused. False (any old file untouched, no
// temporary left behind, *why set when given) when anything fails.
bool write_file_atomic(const std::string& path, const std::string& bytes, std::string* why = nullptr);

// The split result of STR_EXPLODE: replaced whole by every call (capacity is reused).
extern std::vector<std::string> STR_EXPLODE_RESULT;

// Splits TEXT at every occurrence of DELIMITER (occurrences may overlap for longer delimiters)
// into STR_EXPLODE_RESULT and returns its highest index, the number of occurrences. No
// occurrence (or an empty delimiter) gives one piece, the whole text. Nothing is trimmed;
// consecutive delimiters give empty pieces.
int32_t STR_EXPLODE(const std::string& DELIMITER, const std::string& TEXT);

// RESULT := VALUE as plain decimal text (7 significant digits, no exponent, no leading space),
// cut to WIDTH characters and padded on the left with "0" to WIDTH characters; for a negative
// value the padding goes after the minus sign. WIDTH <= 0 gives "".
void SYSTEM_FORMATFLOAT(std::string& RESULT, float VALUE, int32_t WIDTH);
