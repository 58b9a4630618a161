// The "fonts" generator, bitmap part: one 16 x 16 RGBA image per printable ASCII code for the
// game's text font "vera" and the configuration tool's "vera12", rasterised with FreeType from
// DejaVu Sans. Every pixel is white; the glyph's coverage is the alpha, so the background is
// exactly (255, 255, 255, 0). "vera12" keeps its ink inside the 12 columns the tool measures.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "assetgen.h"
#include "engine/png_write.h"

#if KV_HAVE_FREETYPE
#include <ft2build.h>
#include FT_FREETYPE_H
#endif

namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kCell = 16;

struct GlyphSet {
    const char* name;
    int pixel_size;  // FreeType pixel size
    int baseline;    // image row of the baseline, counted from the top
    int columns;     // ink must stay in columns 0 .. columns - 1
};

const GlyphSet kSets[] = {{"vera", 13, 12, 16}, {"vera12", 11, 9, 12}};

#if KV_HAVE_FREETYPE
// Renders code c into a 16 x 16 RGBA image (rows top first). The ink starts one column in so
// the game's "one column left of the ink" spacing stays inside the image; a glyph too wide
// for that starts at column 0 and is clipped to the allowed columns.
bool render_glyph(FT_Face face, const GlyphSet& set, int c, std::vector<uint8_t>& rgba) {
    rgba.assign(kCell * kCell * 4, 0);
    for (size_t i = 0; i < rgba.size(); i += 4) rgba[i] = rgba[i + 1] = rgba[i + 2] = 255;
    if (c == ' ') return true;
    if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL)) {
        std::fprintf(stderr, "assetgen: FreeType cannot render character %d\n", c);
        return false;
    }
    const FT_Bitmap& bm = face->glyph->bitmap;
    // Trim empty bitmap columns so the placement depends on the ink only.
    int first = static_cast<int>(bm.width), last = -1;
    for (unsigned y = 0; y < bm.rows; ++y)
        for (unsigned x = 0; x < bm.width; ++x)
            if (bm.buffer[y * bm.pitch + x]) {
                first = std::min(first, static_cast<int>(x));
                last = std::max(last, static_cast<int>(x));
            }
    if (last < 0) return true;
    const int ink = last - first + 1;
    const int x0 = ink + 1 <= set.columns ? 1 : 0;
    const int top = set.baseline - face->glyph->bitmap_top;
    for (unsigned y = 0; y < bm.rows; ++y) {
        const int row = top + static_cast<int>(y);
        if (row < 0 || row >= kCell) continue;
        for (int x = first; x <= last; ++x) {
            const int col = x0 + (x - first);
            if (col < 0 || col >= set.columns) continue;
            rgba[(row * kCell + col) * 4 + 3] = bm.buffer[y * bm.pitch + x];
        }
    }
    return true;
}
#endif

bool generate_glyphs(const std::string& game_dir) {
#if KV_HAVE_FREETYPE
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) {
        std::fprintf(stderr, "assetgen: FreeType does not start\n");
        return false;
    }
    FT_Face face;
    if (FT_New_Face(lib, kFontFile, 0, &face)) {
        std::fprintf(stderr, "assetgen: cannot open %s (install fonts-dejavu-core)\n", kFontFile);
        FT_Done_FreeType(lib);
        return false;
    }
    bool ok = true;
    std::vector<uint8_t> rgba;
    for (const GlyphSet& set : kSets) {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(set.pixel_size));
        std::error_code ec;
        std::filesystem::create_directories(game_dir + "/data/fontimg/" + set.name, ec);
        for (int c = 32; c <= 126 && ok; ++c) {
            ok = render_glyph(face, set, c, rgba);
            const std::string path = game_dir + "/data/fontimg/" + set.name + "/" + std::to_string(c) + ".png";
            std::string why;
            if (ok && !png_write_file(path, kCell, kCell, 4, rgba.data(), &why)) {
                std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), why.c_str());
                ok = false;
            }
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return ok;
#else
    (void)game_dir;
    std::fprintf(stderr, "assetgen: built without FreeType; install libfreetype-dev and reconfigure to make the glyph images\n");
    return false;
#endif
}

}  // namespace

ASSETGEN_GENERATOR("glyphs", generate_glyphs);
