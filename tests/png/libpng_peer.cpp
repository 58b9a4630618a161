// libpng as the reference peer of the PNG tests (see libpng_peer.h).
#include "libpng_peer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {
struct Reader {
    const std::vector<uint8_t>* data;
    size_t at;
};

void read_bytes(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (r->at + n > r->data->size()) png_error(png, "short read");
    std::memcpy(out, r->data->data() + r->at, n);
    r->at += n;
}

void quiet_warning(png_structp, png_const_charp) {}
}  // namespace

PeerImage peer_decode(const std::vector<uint8_t>& file) {
    PeerImage img;
    Reader reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quiet_warning);
    if (!png) return img;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return img;
    }
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        img.ok = false;
        return img;
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
    img.rgba.assign(static_cast<size_t>(img.width) * img.height * 4, 0);
    rows.resize(img.height);
    for (uint32_t y = 0; y < img.height; ++y) rows[y] = img.rgba.data() + static_cast<size_t>(y) * img.width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    img.ok = true;
    return img;
}

std::vector<uint8_t> read_whole_file(const std::string& path) {
    std::vector<uint8_t> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}
