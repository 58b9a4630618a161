// Text fields, number text, atomic file replacement, STR_EXPLODE and SYSTEM_FORMATFLOAT.
#include "engine/textfile.h"

#include "engine/console_text.h"
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/log.h"
#include "engine/math3d.h"

std::vector<std::string> STR_EXPLODE_RESULT;

bool field_reader_open(FieldReader& r, const std::string& path) {
    r.bytes.clear();
    r.pos = 0;
    r.long_fields = 0;
    r.error.clear();
    if (file_read_capped(path, FIELD_FILE_MAX_BYTES, r.bytes, r.error)) return true;
    // A missing file is the caller's to report (many files are optional); a file refused for
    // what it is would otherwise pass unseen.
    if (r.error != "missing") kv_log("%s: not read: %s", console_safe(path).c_str(), r.error.c_str());
    return false;
}

FieldReader field_reader_from_string(std::string text) {
    FieldReader r;
    r.bytes = std::move(text);
    return r;
}

bool field_eof(const FieldReader& r) { return r.pos >= r.bytes.size(); }

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_separator(char c) { return c == ',' || c == '\r' || c == '\n'; }

}  // namespace

std::string field_read(FieldReader& r) {
    std::string out;
    const std::string& b = r.bytes;
    const std::size_t n = b.size();
    if (r.pos > n) r.pos = n;
    std::size_t start = r.pos;
    bool cut = false;
    auto append = [&](char c) {
        if (out.size() < FIELD_MAX_BYTES)
            out.push_back(c);
        else
            cut = true;
    };
    while (r.pos < n && is_blank(b[r.pos])) ++r.pos;
    if (r.pos < n && b[r.pos] == '"') {
        ++r.pos;
        while (r.pos < n && b[r.pos] != '"') append(b[r.pos++]);
        if (r.pos < n) ++r.pos;  // the closing quote
        std::size_t tail = r.pos;
        bool only_blanks = true;
        while (r.pos < n && !is_separator(b[r.pos])) {
            if (!is_blank(b[r.pos])) only_blanks = false;
            ++r.pos;
        }
        if (!only_blanks)
            for (std::size_t i = tail; i < r.pos; ++i) append(b[i]);
    } else {
        while (r.pos < n && !is_separator(b[r.pos])) append(b[r.pos++]);
    }
    if (r.pos < n) {
        if (b[r.pos] == ',' || b[r.pos] == '\n') {
            ++r.pos;
        } else if (b[r.pos] == '\r') {
            ++r.pos;
            if (r.pos < n && b[r.pos] == '\n') ++r.pos;
        }
    }
    if (cut) {
        ++r.long_fields;
        kv_log("text field at byte %zu longer than %zu bytes: cut to %zu bytes", start,
                     FIELD_MAX_BYTES, FIELD_MAX_BYTES);
    }
    return out;
}

double text_to_number(const std::string& text) {
    // Collect the longest numeric prefix into a small buffer in strtod's form.
    char buf[512];
    std::size_t k = 0;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && is_blank(text[i])) ++i;
    auto put = [&](char c) {
        if (k < sizeof buf - 1) buf[k++] = c;
    };
    if (i < n && (text[i] == '+' || text[i] == '-')) put(text[i++]);
    std::size_t digits = 0;
    int32_t dropped_int_digits = 0;  // integer digits beyond the buffer, kept as a power of ten
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        if (k < sizeof buf - 40)
            put(text[i]);
        else if (dropped_int_digits < 100000)
            ++dropped_int_digits;
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        put('.');
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            if (k < sizeof buf - 40) put(text[i]);
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return 0.0;
    long exponent = dropped_int_digits;
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
        if (j < n && text[j] >= '0' && text[j] <= '9') {
            long e = 0;
            while (j < n && text[j] >= '0' && text[j] <= '9') {
                if (e < 100000) e = e * 10 + (text[j] - '0');
                ++j;
            }
            exponent += negative ? -e : e;
        }
    }
    if (exponent != 0) {
        int w = std::snprintf(buf + k, sizeof buf - k, "e%ld", exponent);
        if (w > 0) k += static_cast<std::size_t>(w);
    }
    buf[k] = '\0';
    double v = std::strtod(buf, nullptr);
    if (std::isnan(v)) return 0.0;
    if (v > DBL_MAX) return DBL_MAX;
    if (v < -DBL_MAX) return -DBL_MAX;
    return v;
}

int32_t text_to_int(const std::string& text) {
    return math_round_even(text_to_number(text));
}

float text_to_single(const std::string& text) {
    double v = text_to_number(text);
    if (v > FLT_MAX) return FLT_MAX;
    if (v < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(v);
}

int32_t field_read_int(FieldReader& r) { return text_to_int(field_read(r)); }
float field_read_single(FieldReader& r) { return text_to_single(field_read(r)); }
double field_read_double(FieldReader& r) { return text_to_number(field_read(r)); }

std::string text_int(int32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, v < 0 ? "%d" : " %d", v);
    return buf;
}

namespace {

// %g text with the given precision, then the exponent widened to three digits and the leading
// space for values that are not negative.
std::string number_text(double v, int precision, double max_value) {
    if (std::isnan(v)) v = 0.0;
    if (v > max_value) v = max_value;
    if (v < -max_value) v = -max_value;
    if (v == 0.0) v = 0.0;  // negative zero writes as zero
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", precision, v);
    std::string s = buf;
    std::size_t e = s.find('e');
    if (e != std::string::npos && e + 2 < s.size()) {
        std::string digits = s.substr(e + 2);
        while (digits.size() < 3) digits.insert(digits.begin(), '0');
        s = s.substr(0, e + 2) + digits;
    }
    if (s[0] != '-') s.insert(s.begin(), ' ');
    return s;
}

}  // namespace

std::string text_single(float v) { return number_text(static_cast<double>(v), 7, static_cast<double>(FLT_MAX)); }

std::string text_double(double v) { return number_text(v, 15, DBL_MAX); }

void field_write(FieldWriter& w, const std::string& text) {
    w.bytes += text;
    w.bytes += "\r\n";
}

void field_write_quoted(FieldWriter& w, const std::string& text) {
    w.bytes += '"';
    for (char c : text) w.bytes += c == '"' ? '\'' : c;
    w.bytes += "\"\r\n";
}

void field_write_int(FieldWriter& w, int32_t v) { field_write(w, text_int(v)); }
void field_write_single(FieldWriter& w, float v) { field_write(w, text_single(v)); }
void field_write_double(FieldWriter& w, double v) { field_write(w, text_double(v)); }

bool write_file_atomic(const std::string& path, const std::string& bytes, std::string* why) {
    std::string reason;
    const bool ok = file_replace(path, bytes.data(), bytes.size(), reason);
    if (why != nullptr) *why = ok ? std::string() : reason;
    return ok;
}

int32_t STR_EXPLODE(const std::string& DELIMITER, const std::string& TEXT) {
    static std::vector<std::size_t> found;  // occurrence positions, capacity reused
    found.clear();
    const std::size_t dl = DELIMITER.size();
    const std::size_t tl = TEXT.size();
    if (dl > 0 && dl <= tl) {
        for (std::size_t p = 0; p + dl <= tl; ++p)
            if (TEXT.compare(p, dl, DELIMITER) == 0) found.push_back(p);
    }
    STR_EXPLODE_RESULT.resize(found.size() + 1);
    std::size_t from = 0;
    for (std::size_t k = 0; k < found.size(); ++k) {
        std::size_t p = found[k];
        if (p >= from)
            STR_EXPLODE_RESULT[k].assign(TEXT, from, p - from);
        else
            STR_EXPLODE_RESULT[k].clear();  // overlapping occurrence: nothing between them
        from = p + dl;
    }
    if (from > tl) from = tl;
    STR_EXPLODE_RESULT[found.size()].assign(TEXT, from, std::string::npos);
    return static_cast<int32_t>(found.size());
}

void SYSTEM_FORMATFLOAT(std::string& RESULT, float VALUE, int32_t WIDTH) {
    std::string s = text_single(VALUE);
    if (!s.empty() && s[0] == ' ') s.erase(0, 1);
    std::size_t e = s.find_first_of("eE");
    if (e != std::string::npos) {
        // Rewrite exponent form as a plain decimal, whatever the signs.
        bool negative = s[0] == '-';
        std::string digits;
        for (std::size_t i = negative ? 1 : 0; i < e; ++i)
            if (s[i] >= '0' && s[i] <= '9') digits += s[i];
        long exponent = std::strtol(s.c_str() + e + 1, nullptr, 10);
        std::string plain;
        if (exponent < 0) {
            plain = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        } else {
            std::size_t whole = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= whole)
                plain = digits + std::string(whole - digits.size(), '0');
            else
                plain = digits.substr(0, whole) + "." + digits.substr(whole);
        }
        s = (negative ? "-" : "") + plain;
    }
    RESULT.clear();
    if (WIDTH <= 0) return;
    std::size_t width = static_cast<std::size_t>(WIDTH);
    if (s.size() > width) s.resize(width);
    std::size_t pad = width - s.size();
    std::size_t at = (!s.empty() && s[0] == '-') ? 1 : 0;  // zeros go after a minus sign
    s.insert(at, pad, '0');
    RESULT.swap(s);
}
