// PNG decoding: chunk walk with CRC checks, header validation, inflation of the joined image
// data, unfiltering pass by pass (one pass, or the seven of Adam7) and conversion of every
// pixel to 8-bit RGBA written bottom-up. Every length read from the file is checked against
// the buffer before use, and the claimed image size is checked against what the compressed
// data can possibly inflate to before anything large is allocated.
#include "engine/png.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"

#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kSmallestPng = 49;
// Deflate cannot expand by more than 258 bytes per two bits of input.
constexpr uint64_t kMaxInflateRatio = 1032;

constexpr uint32_t chunk_tag(char a, char b, char c, char d) {
    return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) | uint32_t(uint8_t(d));
}
constexpr uint32_t kIHDR = chunk_tag('I', 'H', 'D', 'R');
constexpr uint32_t kPLTE = chunk_tag('P', 'L', 'T', 'E');
constexpr uint32_t kIDAT = chunk_tag('I', 'D', 'A', 'T');
constexpr uint32_t kIEND = chunk_tag('I', 'E', 'N', 'D');
constexpr uint32_t kTRNS = chunk_tag('t', 'R', 'N', 'S');

uint32_t be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

struct Pass {
    uint32_t x0, dx, y0, dy;
};
constexpr Pass kAdam7[7] = {{0, 8, 0, 8}, {4, 8, 0, 8}, {0, 4, 4, 8}, {2, 4, 0, 4},
                            {0, 2, 2, 4}, {1, 2, 0, 2}, {0, 1, 1, 2}};
constexpr Pass kWholeImage = {0, 1, 0, 1};

uint32_t pass_extent(uint32_t size, uint32_t start, uint32_t step) {
    return size > start ? (size - start - 1) / step + 1 : 0;
}

uint64_t packed_row_bytes(uint64_t pixels, uint32_t bits_per_pixel) { return (pixels * bits_per_pixel + 7) / 8; }

struct Piece {
    const uint8_t* data;
    size_t length;
};

// Everything the chunk walk collects; the pointers point into the caller's buffer.
struct Chunks {
    const uint8_t* ihdr = nullptr;
    uint32_t ihdr_length = 0;
    const uint8_t* plte = nullptr;
    uint32_t plte_length = 0;
    const uint8_t* trns = nullptr;
    uint32_t trns_length = 0;
    std::vector<Piece> idat;
    uint64_t idat_total = 0;
};

PngImage refuse(PngImage& img, const char* reason) {
    img.pixels.reset();
    img.reason = reason;
    return std::move(img);
}

// --- unfiltering -------------------------------------------------------------------------

inline uint8_t paeth(int a, int b, int c) {
    int pa = std::abs(b - c);
    int pb = std::abs(a - c);
    int pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

template <size_t BPP>
void unfilter_fixed(uint8_t type, uint8_t* __restrict cur, const uint8_t* __restrict prev, size_t n) {
    switch (type) {
    case 1:
        for (size_t i = BPP; i < n; ++i) cur[i] = static_cast<uint8_t>(cur[i] + cur[i - BPP]);
        break;
    case 2:
        for (size_t i = 0; i < n; ++i) cur[i] = static_cast<uint8_t>(cur[i] + prev[i]);
        break;
    case 3:
        for (size_t i = 0; i < BPP && i < n; ++i) cur[i] = static_cast<uint8_t>(cur[i] + (prev[i] >> 1));
        for (size_t i = BPP; i < n; ++i) cur[i] = static_cast<uint8_t>(cur[i] + ((cur[i - BPP] + prev[i]) >> 1));
        break;
    case 4:
        for (size_t i = 0; i < BPP && i < n; ++i) cur[i] = static_cast<uint8_t>(cur[i] + prev[i]);
        for (size_t i = BPP; i < n; ++i) cur[i] = static_cast<uint8_t>(cur[i] + paeth(cur[i - BPP], prev[i], prev[i - BPP]));
        break;
    default:
        break;
    }
}

#if defined(__SSE2__)
// Pixel-at-a-time unfiltering for 3- and 4-byte pixels with the samples in 16-bit lanes: the
// same arithmetic as unfilter_fixed, without a branch per byte.
template <size_t BPP>
inline __m128i load_pixel(const uint8_t* p) {
    uint32_t v;
    if constexpr (BPP == 4) {
        std::memcpy(&v, p, 4);
    } else {
        v = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    }
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(v)), _mm_setzero_si128());
}

template <size_t BPP>
inline void store_pixel(uint8_t* p, __m128i lanes) {
    const __m128i bytes = _mm_packus_epi16(_mm_and_si128(lanes, _mm_set1_epi16(0xFF)), _mm_setzero_si128());
    const uint32_t v = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes));
    if constexpr (BPP == 4) {
        std::memcpy(p, &v, 4);
    } else {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    }
}

inline __m128i abs16(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }

template <size_t BPP>
void unfilter_pixels(uint8_t type, uint8_t* __restrict cur, const uint8_t* __restrict prev, size_t n) {
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    switch (type) {
    case 1:
        for (size_t i = 0; i < n; i += BPP) {
            a = _mm_add_epi16(load_pixel<BPP>(cur + i), a);
            store_pixel<BPP>(cur + i, a);
            a = _mm_and_si128(a, _mm_set1_epi16(0xFF));
        }
        break;
    case 3:
        for (size_t i = 0; i < n; i += BPP) {
            const __m128i b = load_pixel<BPP>(prev + i);
            a = _mm_add_epi16(load_pixel<BPP>(cur + i), _mm_srli_epi16(_mm_add_epi16(a, b), 1));
            a = _mm_and_si128(a, _mm_set1_epi16(0xFF));
            store_pixel<BPP>(cur + i, a);
        }
        break;
    case 4:
        for (size_t i = 0; i < n; i += BPP) {
            const __m128i b = load_pixel<BPP>(prev + i);
            const __m128i pa_signed = _mm_sub_epi16(b, c);  // p - a
            const __m128i pb_signed = _mm_sub_epi16(a, c);  // p - b
            const __m128i pa = abs16(pa_signed);
            const __m128i pb = abs16(pb_signed);
            const __m128i pc = abs16(_mm_add_epi16(pa_signed, pb_signed));
            const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
            const __m128i use_a = _mm_cmpeq_epi16(pa, smallest);
            const __m128i use_b = _mm_andnot_si128(use_a, _mm_cmpeq_epi16(pb, smallest));
            const __m128i use_c = _mm_andnot_si128(_mm_or_si128(use_a, use_b), _mm_set1_epi16(-1));
            const __m128i pred = _mm_or_si128(_mm_or_si128(_mm_and_si128(use_a, a), _mm_and_si128(use_b, b)),
                                              _mm_and_si128(use_c, c));
            a = _mm_and_si128(_mm_add_epi16(load_pixel<BPP>(cur + i), pred), _mm_set1_epi16(0xFF));
            store_pixel<BPP>(cur + i, a);
            c = b;
        }
        break;
    default:
        unfilter_fixed<BPP>(type, cur, prev, n);
        break;
    }
}
#endif

// Undoes one row's filter in place; prev is the previous row of the pass (all zero for the
// first). Returns false for an unknown filter type.
bool unfilter_row(uint8_t type, uint8_t* cur, const uint8_t* prev, size_t n, size_t bpp) {
    if (type > 4) return false;
    if (type == 0) return true;
    switch (bpp) {
    case 1: unfilter_fixed<1>(type, cur, prev, n); break;
    case 2: unfilter_fixed<2>(type, cur, prev, n); break;
#if defined(__SSE2__)
    case 3: unfilter_pixels<3>(type, cur, prev, n); break;
    case 4: unfilter_pixels<4>(type, cur, prev, n); break;
#else
    case 3: unfilter_fixed<3>(type, cur, prev, n); break;
    case 4: unfilter_fixed<4>(type, cur, prev, n); break;
#endif
    case 6: unfilter_fixed<6>(type, cur, prev, n); break;
    case 8: unfilter_fixed<8>(type, cur, prev, n); break;
    default: return false;
    }
    return true;
}

// --- conversion to RGBA ------------------------------------------------------------------

struct Format {
    uint8_t color_type = 0;
    uint8_t depth = 0;
    bool has_key = false;
    uint16_t key_r = 0, key_g = 0, key_b = 0;  // grey key in key_r
    uint8_t table[256][4] = {};                // grey levels or palette entries as RGBA
};

// Low-bit grey and palette pixels: unpack the index, most significant bits first, and look it up.
template <unsigned D>
void convert_indexed(const uint8_t* src, uint32_t count, const Format& f, uint8_t* out, size_t step) {
    if constexpr (D == 8) {
        for (uint32_t i = 0; i < count; ++i, out += step) std::memcpy(out, f.table[src[i]], 4);
    } else {
        constexpr unsigned per_byte = 8 / D;
        constexpr unsigned mask = (1u << D) - 1;
        for (uint32_t i = 0; i < count; ++i, out += step) {
            unsigned shift = 8 - D - (i % per_byte) * D;
            std::memcpy(out, f.table[(src[i / per_byte] >> shift) & mask], 4);
        }
    }
}

void convert_row(const uint8_t* src, uint32_t count, const Format& f, uint8_t* out, size_t step) {
    switch (f.color_type) {
    case 0:
    case 3:
        switch (f.depth) {
        case 1: convert_indexed<1>(src, count, f, out, step); return;
        case 2: convert_indexed<2>(src, count, f, out, step); return;
        case 4: convert_indexed<4>(src, count, f, out, step); return;
        case 8: convert_indexed<8>(src, count, f, out, step); return;
        default: break;
        }
        // 16-bit grey
        for (uint32_t i = 0; i < count; ++i, src += 2, out += step) {
            out[0] = out[1] = out[2] = src[0];
            out[3] = (f.has_key && be16(src) == f.key_r) ? 0 : 255;
        }
        return;
    case 2:
        if (f.depth == 8) {
            if (!f.has_key && step == 4 && count > 1) {
                // Four bytes at a time: the fourth byte read is the next pixel's red, replaced
                // by the opaque alpha; the last pixel is copied byte by byte.
                const uint32_t opaque = 0xFFu << 24;
                for (uint32_t i = 0; i + 1 < count; ++i, src += 3, out += 4) {
                    uint32_t v;
                    std::memcpy(&v, src, 4);
                    if constexpr (std::endian::native == std::endian::little) {
                        v = (v & 0x00FFFFFFu) | opaque;
                    } else {
                        v = (v & 0xFFFFFF00u) | 0xFFu;
                    }
                    std::memcpy(out, &v, 4);
                }
                out[0] = src[0];
                out[1] = src[1];
                out[2] = src[2];
                out[3] = 255;
            } else if (!f.has_key) {
                for (uint32_t i = 0; i < count; ++i, src += 3, out += step) {
                    out[0] = src[0];
                    out[1] = src[1];
                    out[2] = src[2];
                    out[3] = 255;
                }
            } else {
                for (uint32_t i = 0; i < count; ++i, src += 3, out += step) {
                    out[0] = src[0];
                    out[1] = src[1];
                    out[2] = src[2];
                    out[3] = (src[0] == f.key_r && src[1] == f.key_g && src[2] == f.key_b) ? 0 : 255;
                }
            }
        } else {
            for (uint32_t i = 0; i < count; ++i, src += 6, out += step) {
                out[0] = src[0];
                out[1] = src[2];
                out[2] = src[4];
                bool keyed = f.has_key && be16(src) == f.key_r && be16(src + 2) == f.key_g && be16(src + 4) == f.key_b;
                out[3] = keyed ? 0 : 255;
            }
        }
        return;
    case 4:
        if (f.depth == 8) {
            for (uint32_t i = 0; i < count; ++i, src += 2, out += step) {
                out[0] = out[1] = out[2] = src[0];
                out[3] = src[1];
            }
        } else {
            for (uint32_t i = 0; i < count; ++i, src += 4, out += step) {
                out[0] = out[1] = out[2] = src[0];
                out[3] = src[2];
            }
        }
        return;
    case 6:
        if (f.depth == 8) {
            if (step == 4) {
                std::memcpy(out, src, static_cast<size_t>(count) * 4);
            } else {
                for (uint32_t i = 0; i < count; ++i, src += 4, out += step) std::memcpy(out, src, 4);
            }
        } else {
            for (uint32_t i = 0; i < count; ++i, src += 8, out += step) {
                out[0] = src[0];
                out[1] = src[2];
                out[2] = src[4];
                out[3] = src[6];
            }
        }
        return;
    default:
        return;
    }
}

bool valid_depth(uint8_t color_type, uint8_t depth) {
    switch (color_type) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

uint32_t channels_of(uint8_t color_type) {
    switch (color_type) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

// Inflates the IDAT pieces as one zlib stream into `out` (capacity `cap`), exactly as if they
// had been joined first; returns the number of bytes produced, or -1 unless the stream
// inflated completely within the capacity. Data after the end of the stream are ignored.
int64_t inflate_pieces(const std::vector<Piece>& pieces, uint8_t* out, uint64_t cap) {
    constexpr uint64_t kSlice = 0x40000000u;  // zlib counts in 32-bit units
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return -1;
    zs.next_out = out;
    uint64_t out_left = cap;
    auto refill_out = [&]() {
        if (zs.avail_out == 0 && out_left > 0) {
            const uInt give = static_cast<uInt>(out_left > kSlice ? kSlice : out_left);
            zs.avail_out = give;
            out_left -= give;
        }
    };
    int ret = Z_OK;
    bool done = false, failed = false;
    for (size_t p = 0; p < pieces.size() && !done && !failed; ++p) {
        size_t in_left = pieces[p].length;
        zs.next_in = const_cast<Bytef*>(pieces[p].data);
        zs.avail_in = 0;
        for (;;) {
            if (zs.avail_in == 0 && in_left > 0) {
                const uInt take = static_cast<uInt>(in_left > kSlice ? kSlice : in_left);
                zs.avail_in = take;
                in_left -= take;
            }
            refill_out();
            if (zs.avail_out == 0) { failed = true; break; }  // more output than the capacity
            if (zs.avail_in == 0) break;                      // this piece is used up
            ret = inflate(&zs, Z_NO_FLUSH);
            if (ret == Z_STREAM_END) { done = true; break; }
            if (ret != Z_OK && ret != Z_BUF_ERROR) { failed = true; break; }
        }
    }
    // Output still held inside zlib is flushed with no further input.
    while (!done && !failed) {
        refill_out();
        if (zs.avail_out == 0) break;
        ret = inflate(&zs, Z_NO_FLUSH);
        if (ret == Z_STREAM_END) done = true;
        else if (ret != Z_OK) failed = true;
    }
    const int64_t produced = static_cast<int64_t>(zs.total_out);
    inflateEnd(&zs);
    return done ? produced : -1;
}

}  // namespace

const char PNG_TOO_LARGE[] = "image wider or taller than the size limit";

PngImage png_load_memory(const uint8_t* buffer, size_t size, uint32_t max_side) {
    PngImage img;
    if (buffer == nullptr || size < kSmallestPng) return refuse(img, "file too small");
    if (std::memcmp(buffer, kSignature, 8) != 0) return refuse(img, "bad signature");

    // Chunk walk: every chunk must fit and carry the right CRC; the last one must be IEND.
    Chunks ch;
    size_t pos = 8;
    uint32_t count = 0, last_type = 0;
    while (pos < size) {
        if (size - pos < 12) return refuse(img, "chunk runs past the end of the file");
        const uint32_t length = be32(buffer + pos);
        if (length > size - pos - 12) return refuse(img, "chunk runs past the end of the file");
        const uint32_t type = be32(buffer + pos + 4);
        const uint8_t* data = buffer + pos + 8;
        const uint32_t stored_crc = be32(data + length);
        const uLong crc = crc32_z(crc32(0L, Z_NULL, 0), buffer + pos + 4, static_cast<size_t>(length) + 4);
        if (static_cast<uint32_t>(crc) != stored_crc) return refuse(img, "chunk CRC mismatch");
        ++count;
        last_type = type;
        if (type == kIHDR && ch.ihdr == nullptr) {
            ch.ihdr = data;
            ch.ihdr_length = length;
        } else if (type == kPLTE && ch.plte == nullptr) {
            ch.plte = data;
            ch.plte_length = length;
        } else if (type == kTRNS && ch.trns == nullptr) {
            ch.trns = data;
            ch.trns_length = length;
        } else if (type == kIDAT) {
            if (length > 0) ch.idat.push_back(Piece{data, length});
            ch.idat_total += length;
        }
        pos += static_cast<size_t>(length) + 12;
    }
    if (count < 3) return refuse(img, "fewer than three chunks");
    if (last_type != kIEND) return refuse(img, "last chunk is not IEND");

    // Header.
    if (ch.ihdr == nullptr) return refuse(img, "no IHDR chunk");
    if (ch.ihdr_length != 13) return refuse(img, "IHDR is not 13 bytes long");
    img.width = be32(ch.ihdr);
    img.height = be32(ch.ihdr + 4);
    img.bit_depth = ch.ihdr[8];
    img.color_type = ch.ihdr[9];
    img.interlace = ch.ihdr[12];
    if (!valid_depth(img.color_type, img.bit_depth)) return refuse(img, "invalid colour type and bit depth");
    if (img.width == 0 || img.height == 0) return refuse(img, "zero width or height");
    if (ch.ihdr[10] != 0) return refuse(img, "unknown compression method");
    if (ch.ihdr[11] != 0) return refuse(img, "unknown filter method");
    if (img.interlace > 1) return refuse(img, "unknown interlace method");
    if (img.width > max_side || img.height > max_side) return refuse(img, PNG_TOO_LARGE);

    // Palette and transparency, turned into the lookup table of the converters.
    Format fmt;
    fmt.color_type = img.color_type;
    fmt.depth = img.bit_depth;
    if (img.color_type == 3) {
        if (ch.plte == nullptr) return refuse(img, "palette image without PLTE");
        const uint32_t entries = ch.plte_length / 3;
        if (entries > 256) return refuse(img, "PLTE has more than 256 entries");
        for (uint32_t i = 0; i < 256; ++i) fmt.table[i][3] = 255;
        for (uint32_t i = 0; i < entries; ++i) std::memcpy(fmt.table[i], ch.plte + 3 * i, 3);
    }
    if (ch.trns != nullptr) {
        switch (img.color_type) {
        case 0:
            if (ch.trns_length != 2) return refuse(img, "tRNS has the wrong length");
            fmt.has_key = true;
            fmt.key_r = be16(ch.trns);
            break;
        case 2:
            if (ch.trns_length != 6) return refuse(img, "tRNS has the wrong length");
            fmt.has_key = true;
            fmt.key_r = be16(ch.trns);
            fmt.key_g = be16(ch.trns + 2);
            fmt.key_b = be16(ch.trns + 4);
            break;
        case 3:
            if (ch.trns_length > 256) return refuse(img, "tRNS has the wrong length");
            for (uint32_t i = 0; i < ch.trns_length; ++i) fmt.table[i][3] = ch.trns[i];
            break;
        default:
            return refuse(img, "tRNS in an image with an alpha channel");
        }
    }
    if (img.color_type == 0 && img.bit_depth <= 8) {
        const uint32_t levels = 1u << img.bit_depth;
        const uint32_t factor = 255 / (levels - 1);
        for (uint32_t v = 0; v < levels; ++v) {
            const uint8_t g = static_cast<uint8_t>(v * factor);
            fmt.table[v][0] = fmt.table[v][1] = fmt.table[v][2] = g;
            fmt.table[v][3] = (fmt.has_key && v == fmt.key_r) ? 0 : 255;
        }
    }

    // Size of the filtered scanlines, pass by pass.
    const bool interlaced = img.interlace == 1;
    const Pass* passes = interlaced ? kAdam7 : &kWholeImage;
    const int pass_count = interlaced ? 7 : 1;
    const uint32_t bits_per_pixel = img.bit_depth * channels_of(img.color_type);
    const size_t bpp = (img.bit_depth < 8 ? 1 : img.bit_depth / 8) * channels_of(img.color_type);
    const uint64_t limit = ch.idat_total * kMaxInflateRatio;
    uint64_t expected = 0;
    for (int p = 0; p < pass_count; ++p) {
        const uint32_t w = pass_extent(img.width, passes[p].x0, passes[p].dx);
        const uint32_t h = pass_extent(img.height, passes[p].y0, passes[p].dy);
        if (w == 0 || h == 0) continue;
        const uint64_t row = packed_row_bytes(w, bits_per_pixel) + 1;
        if (row > limit || h > limit / row) return refuse(img, "image data too short for the image size");
        expected += row * h;
        if (expected > limit) return refuse(img, "image data too short for the image size");
    }
    const uint64_t out_bytes = static_cast<uint64_t>(img.width) * img.height * 4;
    if (out_bytes / 4 / img.width != img.height || out_bytes > SIZE_MAX / 2)
        return refuse(img, "image too large");

    // Inflate into a buffer a fifth larger than needed; the result must fill exactly the
    // expected size.
    const uint64_t capacity = static_cast<uint64_t>(std::nearbyint(static_cast<double>(expected) * 1.2 + 12.0));
    std::unique_ptr<uint8_t[]> scan(new (std::nothrow) uint8_t[capacity]);
    if (!scan) return refuse(img, "out of memory");
    const int64_t produced = inflate_pieces(ch.idat, scan.get(), capacity);
    if (produced < 0) return refuse(img, "image data do not inflate");
    if (static_cast<uint64_t>(produced) != expected) return refuse(img, "image data have the wrong size");

    std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[out_bytes]);
    if (!out) return refuse(img, "out of memory");
    const size_t full_row = packed_row_bytes(img.width, bits_per_pixel);
    std::vector<uint8_t> zero_row(full_row, 0);
    const size_t out_stride = static_cast<size_t>(img.width) * 4;

    uint8_t* at = scan.get();
    for (int p = 0; p < pass_count; ++p) {
        const Pass& ps = passes[p];
        const uint32_t w = pass_extent(img.width, ps.x0, ps.dx);
        const uint32_t h = pass_extent(img.height, ps.y0, ps.dy);
        if (w == 0 || h == 0) continue;
        const size_t row = static_cast<size_t>(packed_row_bytes(w, bits_per_pixel));
        const uint8_t* prev = zero_row.data();
        for (uint32_t r = 0; r < h; ++r) {
            const uint8_t filter = at[0];
            uint8_t* cur = at + 1;
            if (!unfilter_row(filter, cur, prev, row, bpp)) return refuse(img, "unknown filter type");
            const size_t y = ps.y0 + static_cast<size_t>(r) * ps.dy;
            uint8_t* dst = out.get() + (img.height - 1 - y) * out_stride + static_cast<size_t>(ps.x0) * 4;
            convert_row(cur, w, fmt, dst, static_cast<size_t>(ps.dx) * 4);
            prev = cur;
            at = cur + row;
        }
    }
    img.pixels = std::move(out);
    img.reason = "";
    return img;
}

PngImage png_load(const std::string& filename, uint32_t max_side) {
    PngImage img;
    std::string data, why;
    if (!file_read_capped(filename, PNG_FILE_MAX_BYTES, data, why)) {
        if (why == "missing") return refuse(img, "cannot open file");
        if (why.find("larger than") == 0) return refuse(img, "file larger than 64 MiB");
        return refuse(img, why.find("regular") != std::string::npos || why == "a folder" ? "not a regular file"
                                                                                           : "cannot read file");
    }
    if (data.empty()) return refuse(img, "empty file");
    return png_load_memory(reinterpret_cast<const uint8_t*>(data.data()), data.size(), max_side);
}

bool png_probe_size(const std::string& filename, uint32_t& width, uint32_t& height) {
    // Only a regular file: a pipe or a device in its place must not block the probe.
    const int fd = ::open(filename.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    FILE* f = ::fdopen(fd, "rb");
    if (f == nullptr) {
        ::close(fd);
        return false;
    }
    uint8_t head[8], size[8];
    bool ok = std::fread(head, 1, 8, f) == 8 && std::memcmp(head, kSignature, 8) == 0 &&
              std::fseek(f, 16, SEEK_SET) == 0 && std::fread(size, 1, 8, f) == 8;
    std::fclose(f);
    if (!ok) return false;
    width = be32(size);
    height = be32(size + 4);
    return true;
}

void png_flip_rows(uint8_t* rgba, uint32_t width, uint32_t height) {
    if (rgba == nullptr || height < 2) return;
    const size_t stride = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> tmp(stride);
    for (uint32_t y = 0; y < height / 2; ++y) {
        uint8_t* a = rgba + y * stride;
        uint8_t* b = rgba + (height - 1 - y) * stride;
        std::memcpy(tmp.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, tmp.data(), stride);
    }
}
