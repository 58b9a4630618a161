// Test helpers: a synthetic map held in vectors, and a sink that records tile geometry as
// coloured triangles.
#pragma once

#include <cstdint>
#include <vector>

#include "world/map.h"
#include "world/terrain.h"

struct TestMap {
    std::vector<int32_t> terrain = std::vector<int32_t>(KV_MAPCELLS, 0);
    std::vector<int32_t> city = std::vector<int32_t>(KV_MAPCELLS, 0);
    int32_t waterheight = 0;

    KVMAPVIEW view() const {
        KVMAPVIEW v;
        v.TERRAINMAP = terrain.data();
        v.CITYMAP = city.data();
        v.WATERHEIGHT = waterheight;
        v.MAPSCALE = 0.25f;
        v.WATERSPACER = 10.0f;
        return v;
    }
    int32_t& h(int32_t x, int32_t z) { return terrain[kv_map_index(x, z)]; }
    int32_t& c(int32_t x, int32_t z) { return city[kv_map_index(x, z)]; }
};

struct RecordedVertex {
    float x, y, z;
    float nx, ny, nz;
    float r, g, b;
};

struct RecordedTriangle {
    RecordedVertex v[3];
    // Face direction from the winding: (v1 - v0) x (v2 - v0).
    void face(float& fx, float& fy, float& fz) const {
        const float ux = v[1].x - v[0].x, uy = v[1].y - v[0].y, uz = v[1].z - v[0].z;
        const float wx = v[2].x - v[0].x, wy = v[2].y - v[0].y, wz = v[2].z - v[0].z;
        fx = uy * wz - uz * wy;
        fy = uz * wx - ux * wz;
        fz = ux * wy - uy * wx;
    }
};

struct Recorder {
    std::vector<RecordedVertex> vertices;
    std::vector<float> colors;  // every colour sent, r g b
    int begins = 0, ends = 0;
    float r = -1, g = -1, b = -1, nx = 0, ny = 0, nz = 0;

    KVTILESINK sink() {
        KVTILESINK s;
        s.CTX = this;
        s.BEGIN = [](void* c) { static_cast<Recorder*>(c)->begins++; };
        s.END = [](void* c) { static_cast<Recorder*>(c)->ends++; };
        s.COLOR = [](void* c, float r, float g, float b) {
            auto* self = static_cast<Recorder*>(c);
            self->r = r;
            self->g = g;
            self->b = b;
            self->colors.insert(self->colors.end(), {r, g, b});
        };
        s.NORMAL = [](void* c, float x, float y, float z) {
            auto* self = static_cast<Recorder*>(c);
            self->nx = x;
            self->ny = y;
            self->nz = z;
        };
        s.VERTEX = [](void* c, float x, float y, float z) {
            auto* self = static_cast<Recorder*>(c);
            self->vertices.push_back({x, y, z, self->nx, self->ny, self->nz, self->r, self->g, self->b});
        };
        return s;
    }
    std::vector<RecordedTriangle> triangles() const {
        std::vector<RecordedTriangle> t;
        for (size_t i = 0; i + 2 < vertices.size(); i += 3) t.push_back({{vertices[i], vertices[i + 1], vertices[i + 2]}});
        return t;
    }
};
