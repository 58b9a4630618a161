// Building placement, facade selection and level of detail (see buildings.h).
#include "world/buildings.h"

#include <cmath>

const KVBUILDINGCLASSDEF KV_BUILDING_CLASSES[6] = {
    {1, 4, "data/buildings/4x4a"},       {5, 4, "data/buildings/4x4sat"},
    {2, 8, "data/buildings/8x8a"},       {3, 12, "data/buildings/12x12a"},
    {4, 16, "data/buildings/16x16helo"}, {6, 16, "data/buildings/16x16fuel"},
};

bool kv_building_assembled(int32_t cls) { return cls == 1 || cls == 2 || cls == 5; }

int32_t kv_building_facades(float px, float pz, float cx, float cz) {
    int32_t f = 0;
    if (pz < cz + 5) f |= KV_FACADE_NORTH;
    if (pz > cz - 5) f |= KV_FACADE_SOUTH;
    if (px > cx - 5) f |= KV_FACADE_EAST;
    if (px < cx + 5) f |= KV_FACADE_WEST;
    return f;
}

int32_t kv_tile_buildings(const KVMAPVIEW& map, const int32_t* classsize, int32_t tx, int32_t tz, float px, float pz,
                          float lodrange, KVBUILDINGDRAW* out) {
    if (!out || !classsize || tx < 0 || tz < 0 || tx >= KV_TILES || tz >= KV_TILES) return 0;
    int32_t count = 0;
    for (int32_t i = 0; i < KV_TILECELLS; ++i) {
        for (int32_t j = 0; j < KV_TILECELLS; ++j) {
            const int32_t x = tx * KV_TILECELLS + i, z = tz * KV_TILECELLS + j;
            const int32_t c = kv_map_city(map, x, z);
            if (c <= 3) continue;
            const int32_t k = c - 3;
            if (k >= KV_BUILDINGCLASSES) continue;  // no such class
            const int32_t s = classsize[k];
            if (s <= 0) continue;  // class not loaded
            // Base height over the footprint; a sample outside the grid keeps the previous one.
            float h = 0.0f, top = 0.0f;
            for (int32_t a = 0; a < s && a < KV_MAPSIDE; ++a) {
                for (int32_t b = 0; b < s && b < KV_MAPSIDE; ++b) {
                    if (!kv_map_inside(x + a, z + b)) continue;
                    h = static_cast<float>(map.TERRAINMAP ? map.TERRAINMAP[kv_map_index(x + a, z + b)] : 0) *
                        map.MAPSCALE;
                    if (h > top) top = h;
                }
            }
            if (!(h > 0.0f)) continue;  // the far corner (the last sample read) must stand above 0
            KVBUILDINGDRAW& d = out[count++];
            d = KVBUILDINGDRAW{};
            d.CLASS = k;
            d.X = x;
            d.Z = z;
            d.H = top;
            if (kv_building_assembled(k)) {
                const float half = static_cast<float>(s) / 2.0f;
                const float cx = static_cast<float>(x) + half, cz = static_cast<float>(z) + half;
                d.FACADES = kv_building_facades(px, pz, cx, cz);
                const float dx = static_cast<float>(x) - px, dz = static_cast<float>(z) - pz;
                const float dist = std::sqrt(dx * dx + dz * dz);
                d.LOW = lodrange / 10.0f <= dist ? 1 : 0;
            }
            if (count >= KV_TILECELLS * KV_TILECELLS) return count;
        }
    }
    return count;
}
