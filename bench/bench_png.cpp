// PNG decoding speed: our decoder against libpng, both in this process on the same bytes and
// producing the same 8-bit RGBA pixels (libpng with expand, strip-16, grey-to-RGB and filler).
// The reported time is ours; the counters give libpng's time and the ratio ours / libpng
// (below 1 means we are faster).
#include "engine/png.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/libpng_peer.h"
#include "support/shared_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

// --- libpng encoding the generated inputs (its decoding: tests/support/libpng_peer.h) -------

void quiet(png_structp, png_const_charp) {}

void mem_write(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void mem_flush(png_structp) {}

// Encodes with libpng's default adaptive filtering, so the decoders meet all five filters.
Bytes libpng_encode(int w, int h, int color_type, int interlace, const std::vector<uint8_t>& pixels,
                    const std::vector<png_color>& palette = {}) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quiet);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, mem_write, mem_flush);
    png_set_IHDR(png, info, w, h, 8, color_type, interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    const int channels = color_type == PNG_COLOR_TYPE_RGBA ? 4 : color_type == PNG_COLOR_TYPE_RGB ? 3 : 1;
    std::vector<png_bytep> rows(h);
    for (int y = 0; y < h; ++y) rows[y] = const_cast<png_bytep>(pixels.data() + size_t(y) * w * channels);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// Smooth gradients with noise and a few hard edges: a photograph-like mix for the filters.
std::vector<uint8_t> generated_pixels(int w, int h, int channels) {
    std::vector<uint8_t> px(size_t(w) * h * channels);
    uint32_t seed = 12345;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = static_cast<int>(seed >> 29);
            const bool band = ((x / 97) + (y / 61)) % 5 == 0;
            for (int c = 0; c < channels; ++c) {
                int v = (x * (c + 1) / 5 + y * (3 - c % 3) / 4 + noise + (band ? 90 : 0)) & 255;
                if (c == 3) v = 255 - ((x ^ y) & 63);
                px[(size_t(y) * w + x) * channels + c] = static_cast<uint8_t>(v);
            }
        }
    }
    return px;
}

std::vector<uint8_t> generated_indices(int w, int h) {
    std::vector<uint8_t> px(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[size_t(y) * w + x] = static_cast<uint8_t>(((x / 8) ^ (y / 8)) + ((x * y) >> 11));
    return px;
}

// --- the comparison ------------------------------------------------------------------------

void compare(benchmark::State& state, const std::vector<Bytes>& files) {
    if (files.empty()) {
        state.SkipWithError("no input (PNG suite not found: set KV_SHARED_DIR)");
        return;
    }
    double ours_total = 0, peer_total = 0;
    PeerImage peer;
    size_t bytes = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (const Bytes& f : files) {
            PngImage img = png_load_memory(f.data(), f.size());
            benchmark::DoNotOptimize(img.pixels.get());
        }
        const auto t1 = Clock::now();
        for (const Bytes& f : files) {
            peer_decode_into(f, peer);
            benchmark::DoNotOptimize(peer.rgba.data());
        }
        const auto t2 = Clock::now();
        const double ours = std::chrono::duration<double>(t1 - t0).count();
        const double peer = std::chrono::duration<double>(t2 - t1).count();
        ours_total += ours;
        peer_total += peer;
        state.SetIterationTime(ours);
    }
    for (const Bytes& f : files) bytes += f.size();
    const double n = static_cast<double>(state.iterations());
    state.counters["libpng_ms"] = peer_total / n * 1e3;
    state.counters["ours_ms"] = ours_total / n * 1e3;
    state.counters["ratio"] = ours_total / peer_total;
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

const std::vector<Bytes>& suite_files() {
    static std::vector<Bytes> files = [] {
        std::vector<Bytes> out;
        const std::string dir = shared_subdir("pngsuite");
        for (const std::string& n : files_with_suffix(dir, ".png"))
            if (n[0] != 'x') out.push_back(read_whole_file(dir + "/" + n));  // x*: broken on purpose
        return out;
    }();
    return files;
}

void BM_Suite(benchmark::State& state) { compare(state, suite_files()); }

void BM_Rgb1024(benchmark::State& state) {
    static const std::vector<Bytes> f = {libpng_encode(1024, 1024, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, generated_pixels(1024, 1024, 3))};
    compare(state, f);
}

void BM_Rgba1024(benchmark::State& state) {
    static const std::vector<Bytes> f = {libpng_encode(1024, 1024, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, generated_pixels(1024, 1024, 4))};
    compare(state, f);
}

void BM_Palette1024(benchmark::State& state) {
    static const std::vector<Bytes> f = [] {
        std::vector<png_color> pal(256);
        for (int i = 0; i < 256; ++i) pal[i] = png_color{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
        return std::vector<Bytes>{libpng_encode(1024, 1024, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, generated_indices(1024, 1024), pal)};
    }();
    compare(state, f);
}

void BM_InterlacedRgba1024(benchmark::State& state) {
    static const std::vector<Bytes> f = {libpng_encode(1024, 1024, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_ADAM7, generated_pixels(1024, 1024, 4))};
    compare(state, f);
}

// Both decoders must agree before their speeds mean anything.
bool same_pixels(const std::vector<Bytes>& files) {
    PeerImage peer;
    for (const Bytes& f : files) {
        PngImage img = png_load_memory(f.data(), f.size());
        if (!img || !peer_decode_into(f, peer)) return false;
        std::vector<uint8_t> ours(img.pixels.get(), img.pixels.get() + peer.rgba.size());
        png_flip_rows(ours.data(), img.width, img.height);
        if (ours != peer.rgba) return false;
    }
    return true;
}

}  // namespace

BENCHMARK(BM_Suite)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rgb1024)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rgba1024)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Palette1024)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InterlacedRgba1024)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<Bytes> large = {
        libpng_encode(256, 256, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_ADAM7, generated_pixels(256, 256, 4)),
        libpng_encode(256, 256, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, generated_pixels(256, 256, 3))};
    if (!same_pixels(suite_files()) || !same_pixels(large)) {
        std::fprintf(stderr, "bench_png: our pixels differ from libpng's; the comparison is void\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
