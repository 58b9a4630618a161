// The developer console channel (see log.h).
#include "engine/log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "engine/console_text.h"

void kv_log(const char* fmt, ...) {
    char line[1024];
    va_list args;
    va_start(args, fmt);
    int n = std::vsnprintf(line, sizeof line - 1, fmt, args);
    va_end(args);
    if (n < 0) n = 0;
    if (n > static_cast<int>(sizeof line) - 2) n = static_cast<int>(sizeof line) - 2;  // cut, still one line
    // Data bytes (names from files, damaged entries) are escaped, so a line stays one line and
    // never drives the terminal.
    std::string out = console_safe(std::string_view(line, static_cast<size_t>(n)));
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stderr);
}
