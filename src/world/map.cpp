// The island map file, its grids and the boundary frame (see map.h).
#include "world/map.h"

#include "engine/log.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/file_io.h"

int32_t kv_map_terrain(const KVMAPVIEW& map, int32_t x, int32_t z) {
    if (!map.TERRAINMAP) return 0;
    return map.TERRAINMAP[kv_map_index(kv_map_clamp(x), kv_map_clamp(z))];
}

int32_t kv_map_city(const KVMAPVIEW& map, int32_t x, int32_t z) {
    if (!map.CITYMAP || !kv_map_inside(x, z)) return 0;
    return map.CITYMAP[kv_map_index(x, z)];
}

float kv_water_surface(const KVMAPVIEW& map) {
    return static_cast<float>(map.WATERHEIGHT) * map.MAPSCALE + map.MAPSCALE * map.WATERSPACER;
}

float kv_water_level(const KVMAPVIEW& map) { return static_cast<float>(map.WATERHEIGHT) * map.MAPSCALE; }

namespace {
int32_t read_le32(const char* bytes) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                 (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    int32_t s;
    std::memcpy(&s, &v, sizeof s);
    return s;
}
}  // namespace

KVMAPREAD kv_map_read(const std::string& path, int32_t* terrain, int32_t* forest, int32_t* city,
                      int32_t& waterheight, int32_t& forestheight) {
    KVMAPREAD result;
    std::string bytes, why;
    if (!file_read_capped(path, FILE_READ_MAX_BYTES, bytes, why)) {
        kv_log("map %s: cannot be read (%s); the map stays as it was", path.c_str(), why.c_str());
        return result;
    }
    // Anything beyond one map's worth is ignored.
    if (bytes.size() > static_cast<size_t>(KV_MAPFILEBYTES) + 1) bytes.resize(static_cast<size_t>(KV_MAPFILEBYTES) + 1);
    result.opened = true;
    result.bytes = static_cast<int64_t>(bytes.size());

    const size_t size = bytes.size();
    // Field by field, so a file cut inside a record still delivers the values before the cut.
    for (int32_t x = 0; x < KV_MAPSIDE; ++x) {
        for (int32_t z = 0; z < KV_MAPSIDE; ++z) {
            const size_t offset = (static_cast<size_t>(x) * KV_MAPSIDE + z) * KV_MAPRECORDBYTES;
            if (offset + 4 > size) goto done;
            const int32_t n = kv_map_index(x, z);
            if (terrain) terrain[n] = read_le32(&bytes[offset]);
            if (offset + 8 > size) goto done;
            if (forest) forest[n] = read_le32(&bytes[offset + 4]);
            if (offset + 12 > size) goto done;
            if (city) city[n] = read_le32(&bytes[offset + 8]);
            result.records++;
        }
    }
    if (size >= static_cast<size_t>(KV_MAPTRAILEROFFSET) + 4) waterheight = read_le32(&bytes[KV_MAPTRAILEROFFSET]);
    if (size >= static_cast<size_t>(KV_MAPFILEBYTES)) {
        forestheight = read_le32(&bytes[KV_MAPTRAILEROFFSET + 4]);
        result.trailer = true;
    }
done:
    if (size < static_cast<size_t>(KV_MAPFILEBYTES)) {
        kv_log("map %s: short file (%lld of %d bytes); %d of %d records read", path.c_str(),
                    static_cast<long long>(size), KV_MAPFILEBYTES, result.records, KV_MAPCELLS);
    } else if (size > static_cast<size_t>(KV_MAPFILEBYTES)) {
        kv_log("map %s: longer than %d bytes; the rest is ignored", path.c_str(), KV_MAPFILEBYTES);
    }
    return result;
}

bool kv_map_in_frame(int32_t x, int32_t z) {
    return (x >= 24 && x <= 28) || (x >= 477 && x <= 481) || (z >= 34 && z <= 38) || (z >= 496 && z <= 500);
}

void kv_map_apply_frame(int32_t* city) {
    if (!city) return;
    for (int32_t z = 0; z < KV_MAPSIDE; ++z) {
        for (int32_t x = 0; x < KV_MAPSIDE; ++x) {
            if (kv_map_in_frame(x, z)) city[kv_map_index(x, z)] = 3;
        }
    }
}

int32_t kv_tile_of(float worldcoord) {
    if (!std::isfinite(worldcoord)) return 0;
    const float t = std::floor(worldcoord / 8.0f);
    if (t < -1.0e6f) return -1000000;
    if (t > 1.0e6f) return 1000000;
    return static_cast<int32_t>(t);
}

KVMAPSTATS kv_map_stats(const int32_t* terrain, const int32_t* city, int32_t waterheight, int32_t forestheight) {
    KVMAPSTATS s;
    s.waterheight = waterheight;
    s.forestheight = forestheight;
    if (terrain) {
        s.minheight = s.maxheight = terrain[0];
        for (int32_t n = 0; n < KV_MAPCELLS; ++n) {
            if (terrain[n] < s.minheight) s.minheight = terrain[n];
            if (terrain[n] > s.maxheight) s.maxheight = terrain[n];
            if (terrain[n] < waterheight) s.belowwater++;
        }
    }
    if (city) {
        for (int32_t n = 0; n < KV_MAPCELLS; ++n) {
            s.citycodes[city[n]]++;
            if (city[n] > 3) s.anchors[city[n] - 3]++;
        }
    }
    return s;
}
