// Live and virtual clocks behind one reading interface.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

using steady = std::chrono::steady_clock;

// Set on first use, so objects constructed before main read a clock that starts with them.
steady::time_point start_time() {
    static const steady::time_point start = steady::now();
    return start;
}

std::atomic<bool> g_virtual{false};
std::atomic<double> g_virtual_seconds{0.0};
std::atomic<int32_t> g_step_ms{0};
std::atomic<double (*)()> g_live_source{nullptr};

double builtin_seconds() { return std::chrono::duration<double>(steady::now() - start_time()).count(); }

}  // namespace

double platform_clock_seconds() {
    if (g_virtual.load()) return g_virtual_seconds.load();
    double (*source)() = g_live_source.load();
    return source ? source() : builtin_seconds();
}

int32_t platform_clock_ms() {
    double ms = std::nearbyint(platform_clock_seconds() * 1000.0);
    if (!std::isfinite(ms)) return 0;
    // Keep the low 32 bits as the stamp (a long run wraps like any 32-bit millisecond counter).
    double wrapped = std::fmod(ms, 4294967296.0);
    if (wrapped < 0) wrapped += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(wrapped));
}

void platform_sleep_ms(int32_t ms) {
    if (ms <= 0 || g_virtual.load()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void platform_clock_use_live() { g_virtual.store(false); }

void platform_clock_set_live_source(double (*seconds)()) { g_live_source.store(seconds); }

void platform_clock_use_fixed_step(int32_t ms) {
    g_step_ms.store(ms < 0 ? 0 : ms);
    g_virtual_seconds.store(0.0);
    g_virtual.store(true);
}

void platform_clock_advance_frame() {
    if (!g_virtual.load()) return;
    g_virtual_seconds.store(g_virtual_seconds.load() + g_step_ms.load() / 1000.0);
}

bool platform_clock_is_virtual() { return g_virtual.load(); }

int32_t platform_clock_step_ms() { return g_step_ms.load(); }

void platform_clock_set_virtual_seconds(double seconds) {
    g_virtual_seconds.store(std::isfinite(seconds) ? seconds : 0.0);
    g_virtual.store(true);
}

void platform_clock_advance_seconds(double seconds) {
    g_virtual.store(true);
    if (std::isfinite(seconds)) g_virtual_seconds.store(g_virtual_seconds.load() + seconds);
}
