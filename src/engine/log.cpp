// The developer console channel (see log.h).
#include "engine/log.h"

#include <cstdarg>
#include <cstdio>

void kv_log(const char* fmt, ...) {
    char line[1024];
    va_list args;
    va_start(args, fmt);
    int n = std::vsnprintf(line, sizeof line - 1, fmt, args);
    va_end(args);
    if (n < 0) n = 0;
    if (n > static_cast<int>(sizeof line) - 2) n = static_cast<int>(sizeof line) - 2;  // cut, still one line
    line[n] = '\n';
    std::fwrite(line, 1, static_cast<size_t>(n) + 1, stderr);
}
