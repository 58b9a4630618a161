// Renders a preview of every generated mesh and a contact sheet of all of them into the build
// tree (build/artwork/), with kvdata preview and kvdata contact-sheet, and checks that each
// picture shows a mesh: decodable, the right size, and not just background.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "mesh_paths.h"
#include "engine/png.h"

namespace {

const std::string kGame = KV_GAME_DIR;
const std::string kOut = std::string(KV_BUILD_DIR) + "/artwork";

bool have_display() {
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

int run(const std::string& command) { return std::system(command.c_str()); }

// Share of pixels that differ clearly from the background colour of the previews.
double covered(const PngImage& img) {
    size_t n = 0;
    const size_t total = static_cast<size_t>(img.width) * img.height;
    for (size_t i = 0; i < total; ++i) {
        const uint8_t* p = img.pixels.get() + i * 4;
        if (std::abs(p[0] - 181) + std::abs(p[1] - 173) + std::abs(p[2] - 161) > 24) ++n;
    }
    return static_cast<double>(n) / static_cast<double>(total);
}

std::string flat_name(std::string_view path) {
    std::string s(path.substr(5));  // drop "data/"
    for (char& c : s)
        if (c == '/') c = '_';
    return s.substr(0, s.size() - 4) + ".png";
}

}  // namespace

TEST(ArtworkPreview, EveryMeshRendersFromThreeSides) {
    if (!have_display()) GTEST_SKIP() << "no display: run under xvfb-run";
    const std::string dir = kOut + "/previews";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string cmd = "cd '" + kGame + "' && ./kvdata previews '" + dir + "'";
    for (std::string_view p : kMeshPaths) cmd += " '" + std::string(p) + "'";
    ASSERT_EQ(run(cmd), 0);
    for (std::string_view p : kMeshPaths) {
        const std::string out = dir + "/" + flat_name(p);
        const PngImage img = png_load(out);
        ASSERT_TRUE(img) << out << ": " << img.reason;
        EXPECT_EQ(img.width, 3 * img.height) << "three square views side by side";
        EXPECT_GT(covered(img), 0.003) << p << " shows something";
    }
    // The single-mesh form writes the same picture as the batch.
    const std::string one = kOut + "/gunship_preview.png";
    std::filesystem::remove(one);
    ASSERT_EQ(run("cd '" + kGame + "' && ./kvdata preview data/ships/gunship/gunshipLowJ.obj '" + one + "'"), 0);
    const PngImage a = png_load(one), b = png_load(dir + "/ships_gunship_gunshipLowJ.png");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(0, std::memcmp(a.pixels.get(), b.pixels.get(), static_cast<size_t>(a.width) * a.height * 4));
}

TEST(ArtworkPreview, ContactSheetOfAllMeshes) {
    if (!have_display()) GTEST_SKIP() << "no display: run under xvfb-run";
    std::filesystem::create_directories(kOut);
    const std::string out = kOut + "/contact_sheet.png";
    std::filesystem::remove(out);
    std::string cmd = "cd '" + kGame + "' && ./kvdata contact-sheet '" + out + "'";
    for (std::string_view p : kMeshPaths) cmd += " '" + std::string(p) + "'";
    ASSERT_EQ(run(cmd), 0);
    const PngImage img = png_load(out);
    ASSERT_TRUE(img) << img.reason;
    EXPECT_EQ(img.width, 10u * 160u);
    EXPECT_EQ(img.height, 8u * 160u);
    EXPECT_GT(covered(img), 0.1);
}

TEST(ArtworkPreview, RefusesBadInputWithAMessage) {
    std::filesystem::create_directories(kOut);
    const std::string bad = kOut + "/broken.obj";
    {
        FILE* f = std::fopen(bad.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("v 0 0 0\nvn 0 0 1\nvt 0 0\nf 1/1/1 2/1/1 9/1/1\n", f);
        std::fclose(f);
    }
    const std::string kv = kGame + "/kvdata";
    EXPECT_NE(run("'" + kv + "' preview '" + bad + "' '" + kOut + "/broken.png' 2>/dev/null"), 0);
    EXPECT_FALSE(std::filesystem::exists(kOut + "/broken.png"));
    EXPECT_NE(run("'" + kv + "' preview '" + kOut + "/missing.obj' '" + kOut + "/missing.png' 2>/dev/null"), 0);
    EXPECT_NE(run("'" + kv + "' preview onlyone.obj 2>/dev/null"), 0);
}
