// The island's relief as the player sees it: the real game flown from the chase camera over
// open country and over the towns, once on the island without its relief (the base terrain the
// game shipped before) and once on the generated island. The frames are kept in
// build/screenshots/ as island_<place>_before.png and island_<place>_after.png.
#include "gamedata_util.h"

#include "engine/png_write.h"
#include "island_terrain.h"

#include <gtest/gtest.h>
#include <png.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

const fs::path kGame = KV_GAME_DIR;
const fs::path kShots = fs::path(KV_BUILD_DIR) / "screenshots";
const fs::path kOut = fs::path(KV_BUILD_DIR) / "island_view";

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * w + x) * 3]; }
};

bool load(const fs::path& path, Image& img) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    img.rgb.resize(PNG_IMAGE_SIZE(image));
    img.w = static_cast<int>(image.width);
    img.h = static_cast<int>(image.height);
    return png_image_finish_read(&image, nullptr, img.rgb.data(), 0, nullptr) != 0;
}

// Distinct ground colours in the lower half of a frame: rows from the middle down to the
// weapon icons, left of the minimap, without the middle fifth where the gunship and its sight
// sit; the red and amber interface marks (far more red than blue) are not ground.
size_t ground_shades(const Image& img) {
    std::set<uint32_t> shades;
    for (int y = img.h / 2; y < img.h * 82 / 100; ++y)
        for (int x = 0; x < img.w * 78 / 100; ++x) {
            if (x >= img.w * 40 / 100 && x < img.w * 60 / 100) continue;
            const uint8_t* p = img.at(x, y);
            if (p[0] - p[2] > 50 || p[2] > p[0] + 5) continue;
            shades.insert(static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2]);
        }
    return shades.size();
}

// Share of pixels outside the minimap that differ by more than 6 in a channel.
double changed_share(const Image& a, const Image& b) {
    if (a.w != b.w || a.h != b.h || a.w == 0) return 1.0;
    long changed = 0, total = 0;
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x) {
            if (x >= a.w * 79 / 100 && y >= a.h * 72 / 100) continue;  // the minimap shows the new relief
            ++total;
            int most = 0;
            for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(a.at(x, y)[c] - b.at(x, y)[c]));
            changed += most > 6;
        }
    return static_cast<double>(changed) / static_cast<double>(total);
}

// A game directory of its own that links to the built game, with its own map and minimap. One
// per test process (the suite's tests run in parallel, each building its own pair), removed
// when the process ends.
struct ProcessDirs {
    std::vector<fs::path> dirs;
    ~ProcessDirs() {
        std::error_code ec;
        for (const fs::path& d : dirs) fs::remove_all(d, ec);
    }
};
fs::path game_with(const std::string& name, const island::IslandMap& map) {
    static ProcessDirs made;
    const fs::path dir = kOut / (name + "_" + std::to_string(getpid()));
    made.dirs.push_back(dir);
    fs::remove_all(dir);
    fs::create_directories(dir / "data" / "maps" / "0");
    for (const auto& e : fs::directory_iterator(kGame)) {
        const std::string n = e.path().filename().string();
        if (n == "data" || n == "0.map") continue;
        if (e.is_regular_file() && n.ends_with(".dat")) fs::copy(e.path(), dir / n);
        else fs::create_symlink(e.path(), dir / n);
    }
    for (const auto& e : fs::directory_iterator(kGame / "data")) {
        const std::string n = e.path().filename().string();
        if (n != "maps") fs::create_symlink(e.path(), dir / "data" / n);
    }
    write_file_text(dir / "0.map", island::map_file_bytes(map));
    int w = 0, h = 0;
    const std::vector<uint8_t> px = island::minimap_pixels(map, w, h);
    png_write_file((dir / "data/maps/0/minimap.png").string(), w, h, 3, px.data(), nullptr);
    return dir;
}

// One frame from the chase camera at (x, z) with the heading, 30 frames after the start.
bool shoot(const fs::path& game, const std::string& at, const fs::path& png) {
    fs::remove(png);
    std::string cmd = "'";
    cmd += (game / "core").string();
    cmd += "' --dir '";
    cmd += game.string();
    cmd += "' --fly --seed 1 --fixed-step 16 --frames 40 --fly-mission 0 --fly-at ";
    cmd += at;
    cmd += " --screenshot 30:'";
    cmd += png.string();
    cmd += "'";
    const CommandResult r = run_command(cmd);
    return r.status == 0 && fs::exists(png);
}

struct Place { const char* name; const char* at; };

struct Games {
    fs::path before, after;
};

const Games& games() {
    static Games g;
    static bool done = false;
    if (!done) {
        done = true;
        island::IslandMap base, relief;
        std::string error;
        EXPECT_TRUE(island::build_island(base, error, false)) << error;
        EXPECT_TRUE(island::build_island(relief, error, true)) << error;
        g.before = game_with("before", base);
        g.after = game_with("after", relief);
        fs::create_directories(kShots);
    }
    return g;
}

// The frames of P over the island before and after the relief, kept as
// screenshots/island_NAME_before.png and _after.png and decoded; false when either failed.
bool before_and_after(const Place& p, Image& before, Image& after) {
    const fs::path b = kShots / (std::string("island_") + p.name + "_before.png");
    const fs::path a = kShots / (std::string("island_") + p.name + "_after.png");
    return shoot(games().before, p.at, b) && shoot(games().after, p.at, a) && load(b, before) && load(a, after);
}

#define REQUIRE_DISPLAY()                                                                         \
    do {                                                                                          \
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (xvfb-run)";         \
        if (!fs::exists(kGame / "core")) GTEST_SKIP() << "game directory without core";          \
    } while (0)

}  // namespace

TEST(IslandView, OpenCountryShowsMoreGroundShades) {
    REQUIRE_DISPLAY();
    // Open country away from the towns and mission sites: the southern downs, the Sarn shore,
    // the country south of the Tarn Hills and west of them.
    const Place places[] = {{"downs", "250,380,180"}, {"sarn_shore", "110,180,270"},
                            {"tarn", "300,330,45"}, {"tarn_west", "240,300,180"}};
    size_t before_total = 0, after_total = 0;
    for (const Place& p : places) {
        Image ib, ia;
        ASSERT_TRUE(before_and_after(p, ib, ia)) << p.name;
        const size_t nb = ground_shades(ib), na = ground_shades(ia);
        // The flat island's busiest open-country frame of these showed 195 shades; each frame
        // over the relief shows more than that, and a quarter more than the same frame before.
        EXPECT_GT(na, 200u) << p.name << ": " << na << " shades (before " << nb << ")";
        EXPECT_GT(na * 4, nb * 5) << p.name << ": " << na << " shades against " << nb << " before";
        before_total += nb;
        after_total += na;
    }
    std::printf("ground shades over open country: before %zu, after %zu\n", before_total, after_total);
    EXPECT_GT(after_total, before_total * 3 / 2);
}

TEST(IslandView, TownsLookAsTheyDid) {
    REQUIRE_DISPLAY();
    // Into Vell from its southern barricade and into Kerrow from the north: the town ground and
    // buildings are the same, so the frames match but for the minimap in the corner.
    const Place places[] = {{"vell", "310,165,90"}, {"kerrow", "160,300,270"}};
    for (const Place& p : places) {
        Image ib, ia;
        ASSERT_TRUE(before_and_after(p, ib, ia)) << p.name;
        EXPECT_LT(changed_share(ib, ia), 0.002) << p.name << " looks different";
        // A real town frame: its buildings' dark window bands fill much of the view.
        long dark = 0;
        for (int y = 0; y < ia.h * 2 / 3; ++y)
            for (int x = 0; x < ia.w; ++x) dark += ia.at(x, y)[0] + ia.at(x, y)[1] + ia.at(x, y)[2] < 3 * 102;
        EXPECT_GT(dark, 3000) << p.name << ": no town in view";
    }
}
