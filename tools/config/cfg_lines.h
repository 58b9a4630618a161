// The configuration tool's small line files (the input script, the screen-modes file): reading
// a whole file, cutting each line at '#' and splitting it at blanks into words, and whole
// numbers checked against a range. Each file's own meaning of the words stays with its reader.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "engine/textfile.h"

// The file's bytes; false when it cannot be read (missing, a directory, an I/O error).
inline bool cfg_read_text(const std::string& path, std::string& text) {
    FieldReader r;
    if (!field_reader_open(r, path)) return false;
    text = std::move(r.bytes);
    return true;
}

// Calls fn(words, line_number) for every line holding a word once its comment is cut off;
// lines count from 1 and blank or comment-only lines are passed over.
template <class Fn>
void cfg_each_line_words(const std::string& text, Fn&& fn) {
    std::istringstream in(text);
    std::string line;
    std::vector<std::string> words;
    int32_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream split(line);
        words.clear();
        std::string w;
        while (split >> w) words.push_back(w);
        if (!words.empty()) fn(words, number);
    }
}

// A word that is a whole decimal number in lo..hi and nothing else; false leaves out unchanged.
inline bool cfg_parse_int(const std::string& s, int64_t lo, int64_t hi, int64_t& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end == s.c_str() || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}
