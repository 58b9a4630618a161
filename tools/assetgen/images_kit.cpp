// The raster toolkit of assetgen (see image_kit.h).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "assetgen.h"
#include "engine/png_write.h"
#include "hash_mix.h"
#include "image_kit.h"

namespace {

constexpr int kSub = 4;

void blend(Rgba& d, Rgba c, float coverage) {
    const float a = c.a * coverage;
    if (a <= 0) return;
    const float out_a = a + d.a * (1 - a);
    if (out_a <= 0) return;
    d.r = (c.r * a + d.r * d.a * (1 - a)) / out_a;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / out_a;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / out_a;
    d.a = out_a;
}

template <class Inside>
void paint(Canvas& cv, float x0, float y0, float x1, float y1, Rgba c, Inside inside) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0))), iy0 = std::max(0, static_cast<int>(std::floor(y0)));
    const int ix1 = std::min(cv.w - 1, static_cast<int>(std::ceil(x1))), iy1 = std::min(cv.h - 1, static_cast<int>(std::ceil(y1)));
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx)
                    hits += inside(x + (sx + 0.5f) / kSub, y + (sy + 0.5f) / kSub) ? 1 : 0;
            if (hits) blend(cv.at(x, y), c, static_cast<float>(hits) / (kSub * kSub));
        }
}

uint32_t hash2(int x, int y, uint32_t seed) {
    return hash_avalanche(seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^
                          static_cast<uint32_t>(y) * 0xC2B2AE3Du);
}

uint8_t to_byte(float v) {
    const float c = std::clamp(v, 0.0f, 1.0f);
    return static_cast<uint8_t>(std::lround(c * 255.0f));
}

}  // namespace

Canvas::Canvas(int width, int height, Rgba fill) : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}

void canvas_rect(Canvas& cv, float x0, float y0, float x1, float y1, Rgba c) {
    paint(cv, x0, y0, x1, y1, c, [&](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; });
}

void canvas_disc(Canvas& cv, float cx, float cy, float r, Rgba c) {
    paint(cv, cx - r, cy - r, cx + r, cy + r, c,
          [&](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
}

void canvas_ring(Canvas& cv, float cx, float cy, float r_in, float r_out, Rgba c) {
    paint(cv, cx - r_out, cy - r_out, cx + r_out, cy + r_out, c, [&](float x, float y) {
        const float d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d <= r_out * r_out && d >= r_in * r_in;
    });
}

void canvas_polygon(Canvas& cv, const std::vector<float>& xy, Rgba c) {
    if (xy.size() < 6) return;
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]);
        x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]);
        y1 = std::max(y1, xy[i + 1]);
    }
    const size_t n = xy.size() / 2;
    paint(cv, x0, y0, x1, y1, c, [&](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    });
}

void canvas_line(Canvas& cv, float x0, float y0, float x1, float y1, float width, Rgba c) {
    const float hw = width / 2;
    const float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    paint(cv, std::min(x0, x1) - hw, std::min(y0, y1) - hw, std::max(x0, x1) + hw, std::max(y0, y1) + hw, c,
          [&](float x, float y) {
              float t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
              t = std::clamp(t, 0.0f, 1.0f);
              const float ex = x0 + t * dx - x, ey = y0 + t * dy - y;
              return ex * ex + ey * ey <= hw * hw;
          });
}

float value_noise(float x, float y, uint32_t seed) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(ix), fy = y - static_cast<float>(iy);
    auto v = [&](int a, int b) { return static_cast<float>(hash2(a, b, seed) & 0xFFFFFF) / 16777216.0f; };
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float top = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * sx;
    const float bot = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * sx;
    return top + (bot - top) * sy;
}

float fbm(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * value_noise(x, y, seed + static_cast<uint32_t>(o) * 101u);
        norm += amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return sum / norm;
}

void canvas_render_mesh(Canvas& cv, const Mesh& mesh, float yaw, float pitch, float fill) {
    const int ss = 3, W = cv.w * ss, H = cv.h * ss;
    const MeshXform rot = xf_rotate_x(pitch) * xf_rotate_y(yaw);
    std::vector<MeshVec> p(mesh.vertices.size());
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i < p.size(); ++i) {
        p[i] = xf_point(rot, mesh.vertices[i].p);
        x0 = std::min(x0, p[i].x);
        x1 = std::max(x1, p[i].x);
        y0 = std::min(y0, p[i].y);
        y1 = std::max(y1, p[i].y);
    }
    const float span = std::max(x1 - x0, y1 - y0);
    if (!(span > 0)) return;
    const float scale = fill * static_cast<float>(std::min(W, H)) / span;
    const float cx = 0.5f * (x0 + x1), cy = 0.5f * (y0 + y1);
    auto sx = [&](const MeshVec& v) { return static_cast<float>(W) / 2 + (v.x - cx) * scale; };
    auto sy = [&](const MeshVec& v) { return static_cast<float>(H) / 2 - (v.y - cy) * scale; };
    std::vector<float> depth(static_cast<size_t>(W) * H, -1e30f);
    std::vector<Rgba> img(static_cast<size_t>(W) * H);
    const MeshVec light = mesh_normalized({-0.45f, 0.75f, 0.55f});
    for (const MeshTri& t : mesh.tris) {
        const MeshVec &a = p[t.a], &b = p[t.b], &c = p[t.c];
        MeshVec n = mesh_normalized(mesh_cross(b - a, c - a));
        if (n.z < 0) n = n * -1.0f;
        const float lit = 0.38f + 0.62f * std::max(0.0f, mesh_dot(n, light));
        const MeshMaterial& m = mesh.materials[static_cast<size_t>(t.material)];
        const Rgba col = {m.r * lit, m.g * lit, m.b * lit, 1};
        const float ax = sx(a), ay = sy(a), bx = sx(b), by = sy(b), qx = sx(c), qy = sy(c);
        const float area = (bx - ax) * (qy - ay) - (by - ay) * (qx - ax);
        if (std::fabs(area) < 1e-12f) continue;
        const int minx = std::max(0, static_cast<int>(std::floor(std::min({ax, bx, qx}))));
        const int maxx = std::min(W - 1, static_cast<int>(std::ceil(std::max({ax, bx, qx}))));
        const int miny = std::max(0, static_cast<int>(std::floor(std::min({ay, by, qy}))));
        const int maxy = std::min(H - 1, static_cast<int>(std::ceil(std::max({ay, by, qy}))));
        for (int y = miny; y <= maxy; ++y)
            for (int x = minx; x <= maxx; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float w0 = ((bx - px) * (qy - py) - (by - py) * (qx - px)) / area;
                const float w1 = ((qx - px) * (ay - py) - (qy - py) * (ax - px)) / area;
                const float w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                const float z = w0 * a.z + w1 * b.z + w2 * c.z;
                float& d = depth[static_cast<size_t>(y) * W + x];
                if (z <= d) continue;
                d = z;
                img[static_cast<size_t>(y) * W + x] = col;
            }
    }
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            Rgba sum;
            for (int j = 0; j < ss; ++j)
                for (int i = 0; i < ss; ++i) {
                    const Rgba& s = img[static_cast<size_t>(y * ss + j) * W + x * ss + i];
                    sum.r += s.r * s.a;
                    sum.g += s.g * s.a;
                    sum.b += s.b * s.a;
                    sum.a += s.a;
                }
            if (sum.a <= 0) continue;
            const Rgba c = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, 1};
            blend(cv.at(x, y), c, sum.a / (ss * ss));
        }
}

bool canvas_write_png(const Canvas& cv, const std::string& path, bool alpha) {
    const int ch = alpha ? 4 : 3;
    std::vector<uint8_t> bytes(static_cast<size_t>(cv.w) * cv.h * ch);
    for (size_t i = 0; i < cv.px.size(); ++i) {
        const Rgba& p = cv.px[i];
        bytes[i * ch] = to_byte(p.r);
        bytes[i * ch + 1] = to_byte(p.g);
        bytes[i * ch + 2] = to_byte(p.b);
        if (alpha) bytes[i * ch + 3] = to_byte(p.a);
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::string why;
    if (!png_write_file(path, cv.w, cv.h, ch, bytes.data(), &why)) {
        std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), why.c_str());
        return false;
    }
    return true;
}

std::vector<uint8_t> canvas_bmp_bytes(const Canvas& cv) {
    const uint32_t row = (static_cast<uint32_t>(cv.w) * 3 + 3) & ~3u;
    const uint32_t data = row * static_cast<uint32_t>(cv.h);
    std::vector<uint8_t> out(54 + data, 0);
    auto put16 = [&](size_t o, uint32_t v) {
        out[o] = static_cast<uint8_t>(v);
        out[o + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](size_t o, uint32_t v) {
        put16(o, v & 0xFFFF);
        put16(o + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + data);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(cv.w));
    put32(22, static_cast<uint32_t>(cv.h));
    put16(26, 1);
    put16(28, 24);
    put32(34, data);
    put32(38, 2835);
    put32(42, 2835);
    for (int y = 0; y < cv.h; ++y) {
        const size_t o = 54 + static_cast<size_t>(cv.h - 1 - y) * row;
        for (int x = 0; x < cv.w; ++x) {
            const Rgba& p = cv.at(x, y);
            out[o + x * 3] = to_byte(p.b);
            out[o + x * 3 + 1] = to_byte(p.g);
            out[o + x * 3 + 2] = to_byte(p.r);
        }
    }
    return out;
}

bool canvas_write_bmp(const Canvas& cv, const std::string& path) {
    const std::vector<uint8_t> bytes = canvas_bmp_bytes(cv);
    return write_text_file(path, std::string(bytes.begin(), bytes.end()));
}
