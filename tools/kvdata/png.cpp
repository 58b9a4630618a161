// kvdata png: decodes a PNG file with the game's decoder and reports its header, or why it was
// refused; optionally writes the decoded pixels as raw RGBA bytes, top row first.
#include "kvdata.h"

#include "engine/png.h"
#include "platform/file_io.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int run_png(int argc, char** argv) {
    std::string file, raw;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--raw") == 0 && i + 1 < argc) {
            raw = argv[++i];
        } else if (file.empty() && argv[i][0] != '-') {
            file = argv[i];
        } else {
            std::fprintf(stderr, "usage: kvdata png FILE [--raw OUT]\n");
            return 2;
        }
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: kvdata png FILE [--raw OUT]\n");
        return 2;
    }
    PngImage img = png_load(file);
    if (!img) {
        std::printf("refused: %s\n", img.reason);
        return 1;
    }
    std::printf("size: %u x %u\ncolour type: %u\nbit depth: %u\ninterlace: %u\n", img.width, img.height,
                unsigned(img.color_type), unsigned(img.bit_depth), unsigned(img.interlace));
    if (!raw.empty()) {
        png_flip_rows(img.pixels.get(), img.width, img.height);
        const size_t bytes = size_t(img.width) * img.height * 4;
        std::string why;
        if (!file_replace(raw, img.pixels.get(), bytes, why)) {
            std::fprintf(stderr, "kvdata png: cannot write %s: %s\n", raw.c_str(), why.c_str());
            return 1;
        }
        std::printf("raw: %zu bytes RGBA, top row first, written to %s\n", bytes, raw.c_str());
    }
    return 0;
}

}  // namespace

KVDATA_COMMAND("png", "FILE [--raw OUT]  decode a PNG: size, colour type, depth, interlace (or why it is refused); --raw writes RGBA top row first",
               run_png);
