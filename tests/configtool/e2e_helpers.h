// Helpers of the configuration tool's end-to-end tests: a private game directory per test,
// the settings file, the input script (clicks, keys, controllers), running the real program
// and reading its screenshots. Positions that depend on text widths are computed from the
// glyph images of the game directory, measured the way the tool measures them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/files.h"

namespace e2e {

// A fresh copy of what config reads from the game directory (settings file, data/config,
// the font) under the test's temporary directory.
std::string make_game_dir(const std::string& name);

bool file_exists(const std::string& path);

// 55 lines joined with CR LF.
std::string join_lines(const std::vector<std::string>& lines);
std::vector<std::string> split_lines(const std::string& bytes);

// A settings file with distinctive values in every line (see e2e_helpers.cpp).
std::vector<std::string> sample_config_lines();

// Text widths of the tool's font as found in `dir`.
struct FontWidths {
    int32_t width[97] = {};
    int32_t len(const std::string& text) const;
};
FontWidths measure_font(const std::string& dir);

// Builds an input script frame by frame.
struct Script {
    std::string text;
    int64_t frame = 2;
    void line(int64_t f, const std::string& event);
    // Moves the mouse to (x, y), presses and releases the left button; 4 frames.
    void click(int32_t x, int32_t y);
    // Clicks a binding box and presses `keys` together once the capture listens; releases them.
    void capture(int32_t x, int32_t y, const std::vector<std::string>& keys);
    // The same with any events: `press` once the capture listens, `release` 3 frames later.
    void capture_events(int32_t x, int32_t y, const std::vector<std::string>& press,
                        const std::vector<std::string>& release);
    void wait(int64_t frames) { frame += frames; }
};

struct RunResult {
    int exit_code = -1;
    std::string output;
};

// Runs the game directory's config program on `dir` with the script and extra options.
RunResult run_config(const std::string& dir, const Script& script, int64_t frames,
                     const std::string& extra_options = "");

// Decoded screenshot (RGBA, top row first).
struct Shot {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
    bool ok() const { return width > 0; }
    // True when the pixel is within `tolerance` of the colour in each channel.
    bool near(int32_t x, int32_t y, int r, int g, int b, int tolerance = 10) const;
};
Shot load_shot(const std::string& path);

// Where the screenshots kept in the build tree go.
std::string screens_dir();

std::string config_program();

}  // namespace e2e
