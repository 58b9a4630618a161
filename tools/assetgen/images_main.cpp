// The "images" generator: the explosion frames (fireballs 0-5 and the smoke puff 6), the
// menu pictures (the dark map-table backdrop made from the island's heights, the stylised
// world map with the island marked, the gunship in three-quarter view) and the configuration
// tool's title bar and option icons.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "assetgen.h"
#include "image_kit.h"
#include "images_art.h"
#include "island_terrain.h"
#include "mesh_families.h"

namespace {

constexpr float kPi = 3.14159265f;

float smoothstep(float e0, float e1, float x) {
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

Rgba mix(Rgba a, Rgba b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

}  // namespace

Canvas make_fireball(int frame) {
    const int n = 128;
    Canvas cv(n, n, {1, 1, 1, 0});
    const uint32_t seed = 1000u + static_cast<uint32_t>(frame) * 7919u;
    // Heat ramp from the rim (0) to the core (1).
    const Rgba ramp[5] = {{0.55f, 0.08f, 0.02f, 1}, {0.95f, 0.30f, 0.05f, 1}, {1.0f, 0.58f, 0.12f, 1},
                          {1.0f, 0.86f, 0.40f, 1},  {1.0f, 0.98f, 0.86f, 1}};
    const float cx = n / 2.0f + (value_noise(frame * 3.1f, 0.5f, seed) - 0.5f) * 6;
    const float cy = n / 2.0f + (value_noise(0.5f, frame * 2.7f, seed) - 0.5f) * 6;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float dx = (x + 0.5f - cx) / (n * 0.5f), dy = (y + 0.5f - cy) / (n * 0.5f);
            const float d = std::sqrt(dx * dx + dy * dy);
            const float ang = std::atan2(dy, dx);
            // Lobed outline: the edge radius wanders with the angle.
            const float lobes = fbm(std::cos(ang) * 1.6f + frame * 5.0f, std::sin(ang) * 1.6f, seed, 3);
            const float edge = 0.62f + 0.34f * lobes;
            const float t = d / edge;
            if (t >= 1) continue;
            const float grain = fbm(x * 0.09f, y * 0.09f, seed + 17, 4);
            float heat = std::pow(1 - t, 0.9f) * (0.65f + 0.7f * grain);
            heat = std::clamp(heat, 0.0f, 1.0f);
            const float s = heat * 4;
            const int i = std::min(3, static_cast<int>(s));
            Rgba c = mix(ramp[i], ramp[i + 1], s - static_cast<float>(i));
            c.a = smoothstep(1.0f, 0.55f, t) * std::clamp(0.35f + heat * 1.4f, 0.0f, 1.0f);
            cv.at(x, y) = c;
        }
    return cv;
}

Canvas make_smoke() {
    const int n = 128;
    Canvas cv(n, n, {1, 1, 1, 0});
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float dx = (x + 0.5f - n / 2.0f) / (n * 0.5f), dy = (y + 0.5f - n / 2.0f) / (n * 0.5f);
            const float d = std::sqrt(dx * dx + dy * dy);
            const float billow = fbm(x * 0.05f, y * 0.05f, 4242, 5);
            const float t = d / (0.7f + 0.28f * billow);
            if (t >= 1) continue;
            const float g = 0.50f + 0.32f * billow;
            cv.at(x, y) = {g, g, g * 0.97f, smoothstep(1.0f, 0.2f, t) * (0.55f + 0.45f * billow)};
        }
    return cv;
}

// Dark, desaturated map table of the island: shaded relief, contour lines, a grid.
Canvas make_mission_backdrop(const island::IslandMap& map) {
    const int n = 512;
    Canvas cv(n, n, {0, 0, 0, 1});
    auto h_at = [&](int x, int z) {
        x = std::clamp(x, 0, island::GRID - 1);
        z = std::clamp(z, 0, island::GRID - 1);
        return static_cast<float>(map.height[static_cast<size_t>(island::index_of(x, z))]);
    };
    const float water = static_cast<float>(map.water);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float h = h_at(x, y);
            const float sx = h_at(x + 1, y) - h_at(x - 1, y), sz = h_at(x, y + 1) - h_at(x, y - 1);
            const float shade = std::clamp(0.5f - 0.02f * (sx + sz), 0.1f, 1.0f);
            Rgba c;
            if (h < water) {
                const float depth = std::clamp((water - h) / 200.0f, 0.0f, 1.0f);
                c = mix({0.10f, 0.12f, 0.13f, 1}, {0.04f, 0.05f, 0.07f, 1}, depth);
            } else {
                const float up = std::clamp((h - water) / 160.0f, 0.0f, 1.0f);
                c = mix({0.24f, 0.23f, 0.20f, 1}, {0.30f, 0.29f, 0.27f, 1}, up);
                c = {c.r * (0.6f + shade * 0.8f), c.g * (0.6f + shade * 0.8f), c.b * (0.6f + shade * 0.8f), 1};
                const int city = map.city[static_cast<size_t>(island::index_of(std::min(x, island::GRID - 1), std::min(y, island::GRID - 1)))];
                if (city > 3 || city == 1) c = mix(c, {0.42f, 0.40f, 0.36f, 1}, 0.6f);
                if (city == -1) c = mix(c, {0.45f, 0.30f, 0.22f, 1}, 0.6f);
            }
            // Contour lines every 40 terrain units.
            const float band = std::fmod(std::fabs(h - water), 40.0f);
            if (h >= water && (band < 2.5f)) c = mix(c, {0.45f, 0.44f, 0.40f, 1}, 0.35f);
            // Coastline.
            if ((h >= water) != (h_at(x + 1, y) >= water) || (h >= water) != (h_at(x, y + 1) >= water))
                c = mix(c, {0.55f, 0.52f, 0.46f, 1}, 0.7f);
            // Vignette.
            const float vx = (x - n / 2.0f) / (n / 2.0f), vy = (y - n / 2.0f) / (n / 2.0f);
            const float v = 1.0f - 0.45f * std::clamp(vx * vx + vy * vy - 0.3f, 0.0f, 1.0f);
            cv.at(x, y) = {c.r * v, c.g * v, c.b * v, 1};
        }
    for (int k = 0; k <= n; k += 64) {
        canvas_rect(cv, static_cast<float>(k) - 0.5f, 0, static_cast<float>(k) + 0.5f, static_cast<float>(n), {0.35f, 0.45f, 0.6f, 0.25f});
        canvas_rect(cv, 0, static_cast<float>(k) - 0.5f, static_cast<float>(n), static_cast<float>(k) + 0.5f, {0.35f, 0.45f, 0.6f, 0.25f});
    }
    return cv;
}

// Stylised world: noise continents with dotted coasts on a graticule, the island marked.
Canvas make_world_map() {
    const int w = 256, h = 256;
    Canvas cv(w, h, {1, 1, 1, 0});
    const float marker_x = 168, marker_y = 142;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float lat = (static_cast<float>(y) / h - 0.5f) * kPi;
            const float land = fbm(x * 0.018f, y * 0.022f, 77, 5) - 0.08f * std::fabs(std::sin(lat)) -
                               0.25f * std::max(0.0f, std::fabs(lat) - 1.1f);
            // Keep the sea open around the marked island and add the island itself.
            const float dm = std::hypot(x - marker_x, y - marker_y);
            const bool island = dm < 5.5f;
            const bool open_sea = dm < 22;
            if ((land > 0.53f && !open_sea) || island) {
                const bool coast = (land < 0.56f && !island) || (island && dm > 4.0f);
                cv.at(x, y) = coast ? Rgba{0.75f, 0.88f, 1.0f, 0.85f} : Rgba{0.45f, 0.62f, 0.85f, 0.45f};
            }
        }
    for (int k = 1; k < 8; ++k) {
        const float p = static_cast<float>(k) * w / 8.0f;
        canvas_rect(cv, p - 0.5f, 0, p + 0.5f, static_cast<float>(h), {0.6f, 0.75f, 1.0f, 0.18f});
        canvas_rect(cv, 0, p - 0.5f, static_cast<float>(w), p + 0.5f, {0.6f, 0.75f, 1.0f, 0.18f});
    }
    const Rgba alert = {1.0f, 0.23f, 0.1f, 1};
    canvas_ring(cv, marker_x, marker_y, 9, 11.5f, alert);
    canvas_line(cv, marker_x - 18, marker_y, marker_x - 12, marker_y, 2, alert);
    canvas_line(cv, marker_x + 12, marker_y, marker_x + 18, marker_y, 2, alert);
    canvas_line(cv, marker_x, marker_y - 18, marker_x, marker_y - 12, 2, alert);
    canvas_line(cv, marker_x, marker_y + 12, marker_x, marker_y + 18, 2, alert);
    canvas_disc(cv, marker_x, marker_y, 2.2f, {1.0f, 0.6f, 0.1f, 1});
    return cv;
}

Canvas make_gunship_picture() {
    Canvas cv(256, 256, {1, 1, 1, 0});
    std::vector<NamedMesh> meshes;
    build_gunship_meshes(meshes);
    for (const NamedMesh& m : meshes)
        if (m.path.find("gunship") != std::string::npos) canvas_render_mesh(cv, m.mesh, 35, 24, 0.92f);
    return cv;
}

namespace {

bool generate_images(const std::string& game_dir) {
    bool ok = true;
    for (int f = 0; f <= 5 && ok; ++f)
        ok = canvas_write_png(make_fireball(f), game_dir + "/data/explosion/" + std::to_string(f) + ".png", true);
    ok = ok && canvas_write_png(make_smoke(), game_dir + "/data/explosion/6.png", true);

    island::IslandMap map;
    std::string error;
    if (ok && !island::build_island(map, error)) {
        std::fprintf(stderr, "assetgen: images: the island does not build: %s\n", error.c_str());
        ok = false;
    }
    ok = ok && canvas_write_png(make_mission_backdrop(map), game_dir + "/data/menu/mission.png", false);
    ok = ok && canvas_write_png(make_world_map(), game_dir + "/data/menu/worldmap.png", true);
    ok = ok && canvas_write_png(make_gunship_picture(), game_dir + "/data/menu/gunship.png", true);

    ok = ok && canvas_write_bmp(make_config_bar(), game_dir + "/data/config/configBar.bmp");
    for (const ConfigIcon& icon : config_icons())
        ok = ok && canvas_write_png(icon.draw(), game_dir + "/data/config/" + icon.file, true);
    return ok;
}

}  // namespace

ASSETGEN_GENERATOR("images", generate_images);
