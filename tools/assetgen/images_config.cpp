// The configuration tool's pictures: the title bar (configBar.bmp) and ten 64 x 40 option
// icons, simple light pictograms on a neutral dark panel.
#include <cmath>

#include "images_art.h"

namespace {

constexpr int kW = 64, kH = 40;
const Rgba kPanel = {0.24f, 0.25f, 0.28f, 1};
const Rgba kInk = {0.86f, 0.86f, 0.82f, 1};
const Rgba kBlue = {0.55f, 0.72f, 1.0f, 1};
const Rgba kAmber = {1.0f, 0.6f, 0.1f, 1};
const Rgba kDim = {0.45f, 0.46f, 0.5f, 1};

Canvas panel() {
    Canvas cv(kW, kH, kPanel);
    canvas_rect(cv, 0, 0, kW, 1, {0.40f, 0.41f, 0.45f, 1});
    canvas_rect(cv, 0, 0, 1, kH, {0.40f, 0.41f, 0.45f, 1});
    canvas_rect(cv, 0, kH - 1, kW, kH, {0.12f, 0.12f, 0.14f, 1});
    canvas_rect(cv, kW - 1, 0, kW, kH, {0.12f, 0.12f, 0.14f, 1});
    return cv;
}

Canvas icon_outlines() {
    Canvas cv = panel();
    canvas_polygon(cv, {32, 6, 50, 14, 32, 22, 14, 14}, {0.55f, 0.56f, 0.6f, 1});
    canvas_polygon(cv, {14, 14, 32, 22, 32, 35, 14, 27}, {0.42f, 0.43f, 0.47f, 1});
    canvas_polygon(cv, {32, 22, 50, 14, 50, 27, 32, 35}, {0.33f, 0.34f, 0.38f, 1});
    const float e[][4] = {{32, 6, 50, 14}, {50, 14, 32, 22}, {32, 22, 14, 14}, {14, 14, 32, 6}, {14, 14, 14, 27},
                          {32, 22, 32, 35}, {50, 14, 50, 27}, {14, 27, 32, 35}, {32, 35, 50, 27}, {14, 14, 32, 35},
                          {32, 22, 50, 27}, {32, 6, 32, 22}};
    for (const auto& l : e) canvas_line(cv, l[0], l[1], l[2], l[3], 1.2f, kInk);
    return cv;
}

Canvas icon_enginewind() {
    Canvas cv = panel();
    canvas_polygon(cv, {14, 12, 44, 10, 52, 13, 44, 16, 14, 15}, kInk);
    canvas_rect(cv, 24, 7, 34, 10, kInk);
    for (int k = 0; k < 4; ++k) {
        const float x = 18 + 9.0f * k;
        for (int s = 0; s < 6; ++s) {
            const float y0 = 19 + s * 3.0f, y1 = y0 + 3;
            const float x0 = x + 2.5f * std::sin(s * 1.3f + k), x1 = x + 2.5f * std::sin((s + 1) * 1.3f + k);
            canvas_line(cv, x0, y0, x1, y1, 1.3f, kBlue);
        }
    }
    return cv;
}

Canvas icon_linesmoothing() {
    Canvas cv = panel();
    for (int i = 0; i < 12; ++i) canvas_rect(cv, 6.0f + i * 2, 33.0f - i * 2.2f, 8.0f + i * 2, 35.2f - i * 2.2f, kDim);
    canvas_line(cv, 34, 34, 58, 8, 2.0f, kInk);
    return cv;
}

Canvas icon_dome() {
    Canvas cv = panel();
    canvas_rect(cv, 16, 24, 22, 34, kDim);
    canvas_rect(cv, 24, 18, 32, 34, kDim);
    canvas_rect(cv, 34, 22, 42, 34, kDim);
    canvas_rect(cv, 44, 27, 48, 34, kDim);
    canvas_ring(cv, 32, 34, 21, 22.5f, kBlue);
    canvas_disc(cv, 32, 34, 21, {0.55f, 0.72f, 1.0f, 0.18f});
    canvas_rect(cv, 4, 34, 60, 35.5f, kInk);
    return cv;
}

Canvas icon_buildings() {
    Canvas cv = panel();
    const float b[][4] = {{8, 16, 20, 35}, {22, 8, 36, 35}, {38, 20, 56, 35}};
    for (const auto& r : b) {
        canvas_rect(cv, r[0], r[1], r[2], r[3], kInk);
        for (float y = r[1] + 3; y < r[3] - 3; y += 5)
            for (float x = r[0] + 2.5f; x < r[2] - 2; x += 4) canvas_rect(cv, x, y, x + 2, y + 2.5f, {0.2f, 0.22f, 0.26f, 1});
    }
    return cv;
}

Canvas icon_hudhousing() {
    Canvas cv = panel();
    const float x0 = 8, y0 = 6, x1 = 56, y1 = 34, c = 8;
    const float seg[][4] = {{x0, y0, x0 + c, y0}, {x0, y0, x0, y0 + c}, {x1 - c, y0, x1, y0}, {x1, y0, x1, y0 + c},
                            {x0, y1, x0 + c, y1}, {x0, y1 - c, x0, y1}, {x1 - c, y1, x1, y1}, {x1, y1 - c, x1, y1}};
    for (const auto& s : seg) canvas_line(cv, s[0], s[1], s[2], s[3], 2.0f, kInk);
    canvas_ring(cv, 32, 20, 5, 6.3f, kAmber);
    canvas_line(cv, 22, 20, 27, 20, 1.3f, kAmber);
    canvas_line(cv, 37, 20, 42, 20, 1.3f, kAmber);
    return cv;
}

Canvas icon_hudquality() {
    Canvas cv = panel();
    for (int k = 0; k < 4; ++k) {
        const float x = 12 + 11.0f * k, top = 30 - 6.0f * k;
        canvas_rect(cv, x, top, x + 7, 34, k < 3 ? kInk : kAmber);
    }
    return cv;
}

Canvas icon_fsaa() {
    Canvas cv = panel();
    for (int i = 0; i < 7; ++i) canvas_rect(cv, 4.0f + i * 4, 32.0f - i * 3.5f, 8.0f + i * 4, 35.5f, kDim);
    canvas_polygon(cv, {34, 35.5f, 60, 35.5f, 60, 8}, kInk);
    canvas_line(cv, 31, 4, 31, 37, 1, {0.5f, 0.5f, 0.55f, 1});
    return cv;
}

Canvas icon_envmap() {
    Canvas cv = panel();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float dx = (x + 0.5f - 32) / 15, dy = (y + 0.5f - 20) / 15;
            const float d2 = dx * dx + dy * dy;
            if (d2 > 1) continue;
            const float nz = std::sqrt(1 - d2);
            const float sky = 0.5f - 0.5f * (dy * nz * 2 - 0.3f);  // reflected horizon
            Rgba c = sky > 0.5f ? Rgba{0.45f + 0.4f * sky, 0.6f + 0.3f * sky, 0.95f, 1} : Rgba{0.5f, 0.45f, 0.36f, 1};
            const float specular = std::pow(std::max(0.0f, -dx * 0.5f - dy * 0.6f + nz * 0.62f), 24.0f);
            c = {std::min(1.0f, c.r + specular), std::min(1.0f, c.g + specular), std::min(1.0f, c.b + specular), 1};
            const float edge = std::min(1.0f, (1 - d2) * 30);
            cv.at(x, y) = {kPanel.r + (c.r - kPanel.r) * edge, kPanel.g + (c.g - kPanel.g) * edge,
                           kPanel.b + (c.b - kPanel.b) * edge, 1};
        }
    return cv;
}

Canvas icon_bloom() {
    Canvas cv = panel();
    for (int k = 8; k >= 1; --k) canvas_disc(cv, 32, 20, 3.0f + k * 2.0f, {1.0f, 0.85f, 0.55f, 0.12f});
    canvas_disc(cv, 32, 20, 4.5f, {1, 1, 0.95f, 1});
    return cv;
}

}  // namespace

Canvas make_config_bar() {
    Canvas cv(640, 24, {0, 0, 0, 1});
    for (int y = 0; y < cv.h; ++y) {
        const float t = static_cast<float>(y) / (cv.h - 1);
        for (int x = 0; x < cv.w; ++x) cv.at(x, y) = {0.2f - 0.1f * t, 0.4f - 0.2f * t, 0.8f - 0.4f * t, 1};
    }
    canvas_rect(cv, 0, 0, 640, 1, {0.6f, 0.75f, 1.0f, 1});
    canvas_rect(cv, 0, 23, 640, 24, {0.05f, 0.1f, 0.2f, 1});
    return cv;
}

const std::vector<ConfigIcon>& config_icons() {
    static const std::vector<ConfigIcon> icons = {
        {"icon_outlines.png", icon_outlines},     {"icon_enginewind.png", icon_enginewind},
        {"icon_linesmoothing.png", icon_linesmoothing}, {"icon_dome.png", icon_dome},
        {"icon_buildings.png", icon_buildings},   {"icon_hudhousing.png", icon_hudhousing},
        {"icon_hudquality.png", icon_hudquality}, {"icon_fsaa.png", icon_fsaa},
        {"icon_envmap.png", icon_envmap},         {"icon_bloom.png", icon_bloom},
    };
    return icons;
}
