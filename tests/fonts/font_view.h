// The font tests' OpenGL view: the shared hidden window (support/gl_context.h) with a
// pixel-aligned 2D view (y downward) like the game's overlay, and readers of the drawn pixels.
#pragma once

#include "engine/screenshot.h"
#include "support/gl_context.h"

#include <cstdint>
#include <vector>

class FontGlTest : public GlWindowTest<160, 96> {
protected:
    void SetUp() override {
        GlWindowTest::SetUp();
        if (IsSkipped()) return;
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, kHeight, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
    }

    // Red channel of the frame, indexed [y][x] with y downward like the 2D view.
    static std::vector<std::vector<uint8_t>> read_red() {
        glFinish();
        const std::vector<uint8_t> rgb = screenshot_read_rgb(kWidth, kHeight);  // top row first
        std::vector<std::vector<uint8_t>> red(kHeight, std::vector<uint8_t>(kWidth));
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) red[y][x] = rgb[3 * (static_cast<size_t>(y) * kWidth + x)];
        return red;
    }

    struct Box {
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, lit = 0;
    };
    // Bounding box of the pixels brighter than `threshold`.
    static Box lit_box(const std::vector<std::vector<uint8_t>>& red, int threshold = 64) {
        Box b;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (red[y][x] > threshold) {
                    ++b.lit;
                    if (x < b.left) b.left = x;
                    if (x > b.right) b.right = x;
                    if (y < b.top) b.top = y;
                    if (y > b.bottom) b.bottom = y;
                }
        return b;
    }
};
