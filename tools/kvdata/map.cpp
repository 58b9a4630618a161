// kvdata map: reads a raw map file the way the game does (boundary frame included) and prints
// its statistics: height range, water level, the cells of each city code and the building
// anchors of each class.
#include "kvdata.h"

#include <cstdio>
#include <string>
#include <vector>

#include "world/map.h"

namespace {

const char* code_name(int32_t code) {
    switch (code) {
        case -1: return "covered by a building";
        case 0: return "open ground";
        case 1: return "paved platform";
        case 2: return "not drawn";
        case 3: return "solid ground";
        default: return code > 3 ? "building anchor" : "unknown";
    }
}

int run_map(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: kvdata map FILE\n");
        return 2;
    }
    const std::string path = argv[1];
    std::vector<int32_t> terrain(KV_MAPCELLS, 0), forest(KV_MAPCELLS, 0), city(KV_MAPCELLS, 0);
    int32_t water = 0, foresth = 0;
    const KVMAPREAD r = kv_map_read(path, terrain.data(), forest.data(), city.data(), water, foresth);
    if (!r.opened) return 1;
    kv_map_apply_frame(city.data());
    const KVMAPSTATS s = kv_map_stats(terrain.data(), city.data(), water, foresth);
    std::printf("file %s: %lld bytes, %d of %d records%s\n", path.c_str(), static_cast<long long>(r.bytes), r.records,
                KV_MAPCELLS, r.trailer ? "" : ", no complete trailer");
    std::printf("height range %d to %d terrain units (%.2f to %.2f world units)\n", s.minheight, s.maxheight,
                s.minheight * 0.25, s.maxheight * 0.25);
    std::printf("water level %d (surface at %.2f world units), %d samples below it\n", s.waterheight,
                (static_cast<double>(s.waterheight) + 10.0) * 0.25, s.belowwater);
    std::printf("forest height %d\n", s.forestheight);
    std::printf("city codes (boundary frame applied):\n");
    for (const auto& [code, cells] : s.citycodes) std::printf("  %4d %-22s %7d cells\n", code, code_name(code), cells);
    std::printf("building anchors:\n");
    if (s.anchors.empty()) std::printf("  none\n");
    for (const auto& [cls, count] : s.anchors) std::printf("  class %2d (code %2d) %6d\n", cls, cls + 3, count);
    return r.records == KV_MAPCELLS ? 0 : 1;
}

}  // namespace

KVDATA_COMMAND("map", "FILE  statistics of a map file: heights, water level, city codes, building anchors", run_map);
