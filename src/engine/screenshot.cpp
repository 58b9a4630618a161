// Screenshots of chosen frames (see screenshot.h).
#include "engine/screenshot.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdio>
#include <algorithm>
#include <utility>

#include "engine/log.h"
#include "engine/png_write.h"
#include "platform/window.h"

namespace {
struct ShotRequest {
    int64_t frame = 0;
    std::string path;
    bool written = false;
};
std::vector<ShotRequest> g_requests;
}  // namespace

void screenshot_request(int64_t frame, const std::string& path) {
    g_requests.push_back(ShotRequest{frame, path, false});
}

void screenshot_clear_requests() { g_requests.clear(); }

int32_t screenshot_report_unwritten() {
    int32_t missing = 0;
    for (const ShotRequest& r : g_requests) {
        if (r.written) continue;
        ++missing;
        kv_log("core: the screenshot of frame %lld was not written to %s",
                     static_cast<long long>(r.frame), r.path.c_str());
    }
    return missing;
}

std::vector<uint8_t> screenshot_read_rgb(int32_t width, int32_t height) {
    std::vector<uint8_t> pixels;
    if (width <= 0 || height <= 0) return pixels;
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> raw(row * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, raw.data());
    pixels.resize(raw.size());
    for (int32_t y = 0; y < height; ++y)
        std::copy(raw.begin() + static_cast<std::ptrdiff_t>(row * (height - 1 - y)),
                  raw.begin() + static_cast<std::ptrdiff_t>(row * (height - y)),
                  pixels.begin() + static_cast<std::ptrdiff_t>(row * y));
    return pixels;
}

void screenshot_capture_if_due(int64_t frame) {
    if (g_requests.empty() || !platform_window_is_open()) return;
    for (ShotRequest& r : g_requests) {
        if (r.frame != frame) continue;
        int32_t w = 0, h = 0;
        platform_window_size(w, h);
        std::vector<uint8_t> pixels = screenshot_read_rgb(w, h);
        std::string why = "the window is empty";
        r.written = !pixels.empty() && png_write_file(r.path, w, h, 3, pixels.data(), &why);
        if (!r.written)
            kv_log("core: could not write the screenshot of frame %lld to %s: %s",
                         static_cast<long long>(frame), r.path.c_str(), why.c_str());
    }
}
