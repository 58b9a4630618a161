// Small raster toolkit of assetgen's image generators: an RGBA float canvas with
// supersampled shape filling (rectangles, discs, rings, polygons, thick lines), deterministic
// value noise, a software mesh renderer for pictures of the generated meshes, and the PNG and
// 24-bit BMP writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mesh_kit.h"

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgba> px;  // rows top first
    Canvas(int width, int height, Rgba fill = {});
    Rgba& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    const Rgba& at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

// Paints colour c over the canvas where the shape covers a pixel, weighted by coverage
// (4 x 4 samples per pixel) and by c.a ("over" compositing).
void canvas_rect(Canvas& cv, float x0, float y0, float x1, float y1, Rgba c);
void canvas_disc(Canvas& cv, float cx, float cy, float r, Rgba c);
void canvas_ring(Canvas& cv, float cx, float cy, float r_in, float r_out, Rgba c);
void canvas_polygon(Canvas& cv, const std::vector<float>& xy, Rgba c);  // x0 y0 x1 y1 ...
void canvas_line(Canvas& cv, float x0, float y0, float x1, float y1, float width, Rgba c);

// Value noise in [0, 1), smooth, deterministic for a seed; fbm sums octaves.
float value_noise(float x, float y, uint32_t seed);
float fbm(float x, float y, uint32_t seed, int octaves);

// Renders a mesh with flat Lambert shading, its material colours and depth buffering into a
// canvas (transparent where nothing is drawn). yaw and pitch in degrees turn the mesh in
// front of an orthographic camera looking along -Z; the mesh is framed to fill `fill` of the
// canvas. Supersampled by 3.
void canvas_render_mesh(Canvas& cv, const Mesh& mesh, float yaw, float pitch, float fill);

// Writers: 8-bit RGBA or RGB PNG, and a 24-bit uncompressed BMP (bottom-up rows).
bool canvas_write_png(const Canvas& cv, const std::string& path, bool alpha);
bool canvas_write_bmp(const Canvas& cv, const std::string& path);
// The BMP bytes of an image, for tests.
std::vector<uint8_t> canvas_bmp_bytes(const Canvas& cv);
