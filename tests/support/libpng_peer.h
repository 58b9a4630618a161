// libpng as the reference peer of the PNG tests and the decoding benchmark: every image
// expanded to 8-bit RGBA, rows top first (palette and low-bit grey expanded, tRNS to alpha,
// 16-bit samples cut to their high byte, grey widened to RGB, alpha 255 where absent).
// Programs that include this link libpng.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <vector>

struct PeerImage {
    bool ok = false;
    uint32_t width = 0, height = 0;
    int color_type = 0, bit_depth = 0, interlace = 0;
    std::vector<uint8_t> rgba;  // top row first
};

namespace libpng_peer_detail {
struct Reader {
    const std::vector<uint8_t>* data;
    size_t at;
};

inline void read_bytes(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (n > r->data->size() - r->at) png_error(png, "short read");
    std::memcpy(out, r->data->data() + r->at, n);
    r->at += n;
}

inline void quiet_warning(png_structp, png_const_charp) {}
}  // namespace libpng_peer_detail

// Decodes FILE into IMG, reusing its pixel buffer (a benchmark decodes the same file again and
// again); IMG.ok says whether libpng accepted the file.
inline bool peer_decode_into(const std::vector<uint8_t>& file, PeerImage& img) {
    using namespace libpng_peer_detail;
    img.ok = false;
    Reader reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quiet_warning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, read_bytes);
    png_read_info(png, info);
    img.width = png_get_image_width(png, info);
    img.height = png_get_image_height(png, info);
    img.color_type = png_get_color_type(png, info);
    img.bit_depth = png_get_bit_depth(png, info);
    img.interlace = png_get_interlace_type(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(img.width) * 4) png_error(png, "unexpected row size");
    img.rgba.resize(static_cast<size_t>(img.width) * img.height * 4);
    rows.resize(img.height);
    for (uint32_t y = 0; y < img.height; ++y) rows[y] = img.rgba.data() + static_cast<size_t>(y) * img.width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    img.ok = true;
    return true;
}

inline PeerImage peer_decode(const std::vector<uint8_t>& file) {
    PeerImage img;
    peer_decode_into(file, img);
    return img;
}
