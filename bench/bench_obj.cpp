// OBJ loading speed: our loader (through the model database, as the game loads meshes) against
// tinyobjloader, both in this process on the same generated file of a terrain-like grid with
// more than 200 000 triangles whose corners all give v/vt/vn. The reported time is ours; the
// counters give tinyobjloader's time and the ratio ours / tinyobjloader (below 1: we are faster).
#include "engine/engine_globals.h"
#include "engine/modeldb.h"
#include "engine/objfile.h"

#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kGrid = 320;  // 320 x 320 quads, written as 204 800 triangle faces

// Writes the mesh (and its two-material library) once; returns the OBJ path.
std::string generated_mesh() {
    static const std::string path = [] {
        const std::string dir = std::string(KV_BUILD_DIR) + "/";
        const std::string obj = dir + "bench_obj_grid.obj";
        FILE* m = std::fopen((dir + "bench_obj_grid.mtl").c_str(), "wb");
        if (m) {
            std::fputs("newmtl grass\nKd 0.2 0.6 0.1\nNs 10\nd 1\nnewmtl rock\nKd 0.5 0.5 0.45\nNs 200\nd 1\n", m);
            std::fclose(m);
        }
        FILE* f = std::fopen(obj.c_str(), "wb");
        if (!f) return std::string();
        std::fputs("# generated grid\nmtllib bench_obj_grid.mtl\no grid\n", f);
        for (int y = 0; y <= kGrid; ++y)
            for (int x = 0; x <= kGrid; ++x)
                std::fprintf(f, "v %.6f %.6f %.6f\n", x * 0.5, y * 0.5, std::sin(x * 0.05) * std::cos(y * 0.07) * 8.0);
        for (int y = 0; y <= kGrid; ++y)
            for (int x = 0; x <= kGrid; ++x) std::fprintf(f, "vt %.6f %.6f\n", x / double(kGrid), y / double(kGrid));
        for (int y = 0; y <= kGrid; ++y)
            for (int x = 0; x <= kGrid; ++x) {
                const double nx = -std::cos(x * 0.05) * 0.4, ny = std::sin(y * 0.07) * 0.56;
                const double len = std::sqrt(nx * nx + ny * ny + 1.0);
                std::fprintf(f, "vn %.6f %.6f %.6f\n", nx / len, ny / len, 1.0 / len);
            }
        for (int y = 0; y < kGrid; ++y) {
            std::fprintf(f, "usemtl %s\n", y % 2 ? "rock" : "grass");
            for (int x = 0; x < kGrid; ++x) {
                const int a = y * (kGrid + 1) + x + 1, b = a + 1, c = a + kGrid + 2, d = a + kGrid + 1;
                std::fprintf(f, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, c, c, c);
                std::fprintf(f, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, c, c, c, d, d, d);
            }
        }
        std::fclose(f);
        return obj;
    }();
    return path;
}

void reset_database() {
    MODELDB.clear();
    MODELDB.resize(1);
    MODELDBLENGTH = 0;
}

void BM_GridMesh(benchmark::State& state) {
    const std::string path = generated_mesh();
    if (path.empty()) {
        state.SkipWithError("cannot write the generated mesh");
        return;
    }
    objfile_set_texture_loader(nullptr);
    const std::string dir = path.substr(0, path.rfind('/') + 1);
    double ours_total = 0, peer_total = 0;
    size_t ours_triangles = 0, peer_triangles = 0;
    for (auto _ : state) {
        reset_database();
        const auto t0 = Clock::now();
        const int32_t index = OBJFILE_LOAD(path);
        const auto t1 = Clock::now();
        ours_triangles = modeldb_model(index)->MAX_TRIANGLES;
        reset_database();  // frees our mesh outside the timed part

        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        const auto t2 = Clock::now();
        const bool ok = tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), dir.c_str(), true);
        const auto t3 = Clock::now();
        peer_triangles = 0;
        for (const auto& s : shapes) peer_triangles += s.mesh.num_face_vertices.size();
        benchmark::DoNotOptimize(ok);

        const double ours = std::chrono::duration<double>(t1 - t0).count();
        const double peer = std::chrono::duration<double>(t3 - t2).count();
        ours_total += ours;
        peer_total += peer;
        state.SetIterationTime(ours);
    }
    if (ours_triangles != peer_triangles || ours_triangles < 200000) {
        state.SkipWithError("the loaders disagree on the triangle count");
        return;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["triangles"] = static_cast<double>(ours_triangles);
    state.counters["tinyobj_ms"] = peer_total / n * 1e3;
    state.counters["ours_ms"] = ours_total / n * 1e3;
    state.counters["ratio"] = ours_total / peer_total;
}

}  // namespace

BENCHMARK(BM_GridMesh)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

BENCHMARK_MAIN();
