// Profiling arithmetic and console readouts (see profiling.h).
#include "engine/profiling.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "engine/textfile.h"
#include "platform/clock.h"

namespace {
int g_forced = -1;
int g_tty = -1;
}  // namespace

int32_t profiling_now() {
    double t = std::nearbyint(platform_clock_seconds() * 10000.0);
    return static_cast<int32_t>(static_cast<int64_t>(t));
}

void profiling_update(int32_t& timer, float& exact, int32_t& maximum, int32_t start, int32_t now) {
    if (!std::isfinite(exact) || static_cast<int32_t>(std::nearbyint(exact)) != timer)
        exact = static_cast<float>(timer);
    double next = exact + (static_cast<double>(now) - start - exact) * 0.05;
    exact = static_cast<float>(next);
    timer = static_cast<int32_t>(std::nearbyint(next));
    if (timer > maximum) maximum = timer;
}

std::string profiling_zone(const std::string& text) {
    std::string out = text;
    size_t width = ((out.size() + 13) / 14) * 14;
    if (width == 0) width = 14;
    out.resize(width, ' ');
    return out;
}

std::string profiling_timer_line(int32_t slot, int32_t timer, int32_t maximum) {
    return profiling_zone(text_int(slot)) + profiling_zone(text_int(timer)) + text_int(maximum) +
           "    \r\n";
}

bool console_readouts_enabled() {
    if (g_forced >= 0) return g_forced == 1;
    if (g_tty < 0) g_tty = isatty(STDOUT_FILENO) ? 1 : 0;
    return g_tty == 1;
}

void console_readouts_force(int state) { g_forced = state; }

void console_home() {
    if (!console_readouts_enabled()) return;
    std::fputs("\x1b[1;1H", stdout);
}

void console_readout(const std::string& text) {
    if (!console_readouts_enabled()) return;
    std::fwrite(text.data(), 1, text.size(), stdout);
}
