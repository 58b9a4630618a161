// The --trace writer: one line per frame of space-separated key=value pairs (frame, ms, menu
// screen, exit code, gunship position, heading, landed flag, the current profile's fuel,
// ammunition, rockets, mission and objective).
#pragma once

#include <cstdint>
#include <string>

// Opens (truncates) the trace file and hooks the writer into the frame end. False with a
// reason when the file cannot be created.
bool trace_open(const std::string& path, std::string& why);
// Closes the trace; false (a console line has said so) when any line could not be written.
bool trace_close();

// The menu layer tells the trace where the current menu screen number comes from.
void trace_set_menu_source(int32_t (*current_menu)());

// The line of one frame (without the line end), built from the global records.
std::string trace_line(int64_t frame);

// A text value for a trace line: a blank becomes %20; '%', '=' and bytes outside 33-126 become
// %XX (upper-case hex), so a line stays blank-separated key=value pairs.
std::string trace_encode_text(const std::string& text);
