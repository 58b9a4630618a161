// The --trace writer: one line per frame of space-separated key=value pairs (frame, ms, menu
// screen, exit code, gunship position, heading, landed flag, the current profile's fuel,
// ammunition, rockets, mission and objective; then armour, selected weapon, mission running,
// mission and game clock readings, the alert banner text, the menu's message box, the enemies
// left in the current kill range, burning fireballs, the pick-up animation and the progress
// panel; then the mission objects: crates, check points, landing and pick-up flags, refuelling,
// the zipline state, runners and personnel; last the menu's and the research state: profile,
// sel, nprof, selmain, selitem, init, loaded, lastfile, tiles, research, rstart, techs (installed
// technologies as hex bits, bit k for technology k), nnew, alerttech; then online, allowcheck).
#pragma once

#include <cstdint>
#include <string>

// Opens (truncates) the trace file. False with a reason when the file cannot be created.
bool trace_open(const std::string& path, std::string& why);
// Closes the trace; false (a console line has said so) when any line could not be written.
bool trace_close();

// Writes the line of `frame` while a trace file is open; main hooks it into the frame end.
void trace_frame_end(int64_t frame);

// Where the current menu screen number comes from (main wires the menu's in).
void trace_set_menu_source(int32_t (*current_menu)());

// The menu layer tells the trace about its message boxes: which one shows ("none", "confirm"
// or "ok"), its title and its message.
struct TraceBox {
    std::string kind = "none";
    std::string title;
    std::string message;
};
void trace_set_box_source(TraceBox (*current_box)());

// What the menu adds to each line (the menu layer fills it through the source it registers).
struct TraceMenuFields {
    int32_t sel = 0;       // selected profile
    int32_t nprof = 0;     // profiles in the list
    int32_t selmain = 0;   // main-menu item
    int32_t selitem = 0;   // cursor of the current screen
    int32_t loaded = 0;    // model loading completed
    int32_t lastfile = 0;  // last model-list entry reached
    int32_t nnew = 0;      // research fields offered
};
void trace_set_menu_fields_source(void (*fill)(TraceMenuFields& fields));

// The line of one frame (without the line end), built from the global records.
std::string trace_line(int64_t frame);

// A text value for a trace line: a blank becomes %20; '%', '=' and bytes outside 33-126 become
// %XX (upper-case hex), so a line stays blank-separated key=value pairs.
std::string trace_encode_text(const std::string& text);
