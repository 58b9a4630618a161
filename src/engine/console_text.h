// Data bytes made safe for a console line: a file name or a field read from a data file may
// hold escape sequences that would retitle or repaint the terminal, or line breaks that would
// fake further lines. Every byte outside printable ASCII is shown as an escape instead.
#pragma once

#include <string>
#include <string_view>

// TEXT with tab, line feed and carriage return shown as \t, \n and \r and every other byte
// outside 0x20-0x7E (control characters, DEL, bytes of 0x80 and above) as \xHH.
std::string console_safe(std::string_view text);
