// Screenshots of chosen frames: the back buffer is read just before the swap and written as
// an 8-bit RGB PNG (top row first) through file_replace (platform/file_io.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Adds a request: frame `frame` (numbered from 1) goes to `path`.
void screenshot_request(int64_t frame, const std::string& path);
void screenshot_clear_requests();

// Takes every screenshot requested for `frame` from the current read buffer. Failures are
// reported on the console; the game goes on.
void screenshot_capture_if_due(int64_t frame);

// Prints one console line for every requested screenshot that was not written (its frame was
// never reached, or writing failed) and returns how many there were.
int32_t screenshot_report_unwritten();

// Reads the whole window (width x height) as RGB, top row first.
std::vector<uint8_t> screenshot_read_rgb(int32_t width, int32_t height);
