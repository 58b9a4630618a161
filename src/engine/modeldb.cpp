// The model database: entries, the models.dat preload list, mesh utilities and the
// immediate-mode renderers.
#include "engine/modeldb.h"

#include "engine/engine_globals.h"
#include "engine/log.h"
#include "engine/textfile.h"
#include "platform/file_io.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

int32_t modeldb_find(const std::string& FILENAME) {
    const int32_t n = std::min<int32_t>(MODELDBLENGTH, static_cast<int32_t>(MODELDB.size()));
    for (int32_t i = 0; i < n; ++i) {
        if (std::string_view(MODELDB[i].MODELFILE) == FILENAME) return i;
    }
    return -1;
}

int32_t modeldb_append(const std::string& FILENAME) {
    const int32_t index = MODELDBLENGTH;
    MODELDBLENGTH += 1;
    // One spare zero-filled slot stays after the last entry, as at start.
    MODELDB.resize(static_cast<size_t>(MODELDBLENGTH) + 1);
    MODELDBTYPE& e = MODELDB[static_cast<size_t>(index)];
    std::memset(e.MODELFILE, 0, sizeof e.MODELFILE);
    std::memcpy(e.MODELFILE, FILENAME.data(), std::min<size_t>(FILENAME.size(), MODEL_FILENAME_LEN));
    e.MODELHANDLE = std::make_unique<MODEL3D>();
    return index;
}

MODEL3D* modeldb_model(int32_t INDEX) {
    if (INDEX < 0 || INDEX >= MODELDBLENGTH || static_cast<size_t>(INDEX) >= MODELDB.size()) return nullptr;
    return MODELDB[static_cast<size_t>(INDEX)].MODELHANDLE.get();
}

void DEINIT_MODELLIST(const std::string& PATH) {
    FieldWriter w;
    const int32_t n = std::min<int32_t>(MODELDBLENGTH, static_cast<int32_t>(MODELDB.size()));
    for (int32_t i = 0; i < n; ++i) field_write(w, std::string(MODELDB[i].MODELFILE));
    file_remove_stale_temps(PATH);  // left by a save that was killed
    std::string why;
    if (!write_file_atomic(PATH, w.bytes, &why))
        kv_log("cannot write %s (%s): the preload list keeps its old contents", PATH.c_str(), why.c_str());

    // Read the list back as the loading screen will read it, then order it shortest first.
    FieldReader r;
    field_reader_open(r, PATH);
    std::vector<std::string> names;
    while (!field_eof(r)) names.push_back(field_read(r));
    const size_t count = names.size();
    for (size_t i = 0; i < count; ++i) {
        for (size_t j = 0; j < count; ++j) {
            if (j != i && names[i].size() < names[j].size()) std::swap(names[i], names[j]);
        }
    }
    FieldWriter sorted;
    for (const std::string& name : names) field_write(sorted, name);
    if (!write_file_atomic(PATH, sorted.bytes, &why))
        kv_log("cannot write %s (%s): the preload list is not sorted", PATH.c_str(), why.c_str());
}

void UNLOADMESH(std::unique_ptr<MODEL3D>& MODEL) {
    if (!MODEL) return;
    MODEL->MAX_VERTICES = 0;
    MODEL->MAX_TRIANGLES = 0;
    MODEL->MAX_SURFACES = 0;
    MODEL.reset();
}

namespace {
// Vertices that really exist: the count, bounded by the array.
size_t vertex_count(const MODEL3D& m) { return std::min<size_t>(m.MAX_VERTICES, m.VERTICES.size()); }
}  // namespace

void MODEL_FINDEXTENTS(const MODEL3D* MODEL, float& MINX, float& MINY, float& MINZ, float& MAXX, float& MAXY,
                       float& MAXZ) {
    MINX = MINY = MINZ = 9999.0f;
    MAXX = MAXY = MAXZ = -9999.0f;
    if (MODEL == nullptr) return;
    for (size_t i = 0, n = vertex_count(*MODEL); i < n; ++i) {
        const VECTOR3D& v = MODEL->VERTICES[i];
        if (v.X < MINX) MINX = v.X;
        if (v.Y < MINY) MINY = v.Y;
        if (v.Z < MINZ) MINZ = v.Z;
        if (v.X > MAXX) MAXX = v.X;
        if (v.Y > MAXY) MAXY = v.Y;
        if (v.Z > MAXZ) MAXZ = v.Z;
    }
}

void MODEL_NORMALIZE(MODEL3D* MODEL) {
    if (MODEL == nullptr) return;
    const size_t n = vertex_count(*MODEL);
    float r = -9999.0f;
    for (size_t i = 0; i < n; ++i) {
        const VECTOR3D& v = MODEL->VERTICES[i];
        const float d = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
        if (d > r) r = d;
    }
    // All vertices at the origin (or none): nothing to scale, and no division by zero.
    if (!(r > 0.0f) || !std::isfinite(r)) return;
    for (size_t i = 0; i < n; ++i) {
        VECTOR3D& v = MODEL->VERTICES[i];
        v.X /= r;
        v.Y /= r;
        v.Z /= r;
    }
}

void MODEL_SCALE(MODEL3D* MODEL, float FACTOR) {
    if (MODEL == nullptr) return;
    for (size_t i = 0, n = vertex_count(*MODEL); i < n; ++i) {
        VECTOR3D& v = MODEL->VERTICES[i];
        v.X *= FACTOR;
        v.Y *= FACTOR;
        v.Z *= FACTOR;
    }
}

namespace {

enum class ColorMode { none, rgb, rgba };

void render_model(const MODEL3D* m, ColorMode mode, float alpha) {
    if (m == nullptr) return;
    static const MODELMATERIALTYPE kZeroMaterial{};
    const size_t triangles = std::min<size_t>(m->MAX_TRIANGLES, m->TRIANGLES.size());
    const size_t vertices = vertex_count(*m);
    const size_t normals = std::min<size_t>(m->MAX_NORMALS, m->VNORMALS.size());
    const size_t materials = std::min<size_t>(m->MAX_MATERIALS > 0 ? m->MAX_MATERIALS : 1, m->MATERIALS.size());
    glBegin(GL_TRIANGLES);
    for (size_t t = 0; t < triangles; ++t) {
        const TRIANGLE3D& tri = m->TRIANGLES[t];
        bool ok = true;
        for (int k = 0; k < 3; ++k) ok = ok && tri.POINT_ID[k] < vertices && tri.VNORMAL[k] < normals;
        if (!ok) continue;
        const MODELMATERIALTYPE& mat =
            (tri.MATERIAL >= 0 && static_cast<size_t>(tri.MATERIAL) < materials) ? m->MATERIALS[tri.MATERIAL] : kZeroMaterial;
        for (int k = 0; k < 3; ++k) {
            if (mode == ColorMode::rgb) glColor3f(mat.R, mat.G, mat.B);
            else if (mode == ColorMode::rgba) glColor4f(mat.R, mat.G, mat.B, alpha);
            const VECTOR3D& n = m->VNORMALS[tri.VNORMAL[k]];
            glNormal3f(n.X, n.Y, n.Z);
            const VECTOR3D& v = m->VERTICES[tri.POINT_ID[k]];
            glVertex3f(v.X, v.Y, v.Z);
        }
    }
    glEnd();
}

}  // namespace

void RENDER_MODEL_PLAIN(const MODEL3D* MODEL) { render_model(MODEL, ColorMode::none, 1.0f); }
void RENDER_MODEL_COLOR(const MODEL3D* MODEL) { render_model(MODEL, ColorMode::rgb, 1.0f); }

int32_t modeldb_compile_list(int32_t MID) {
    const MODEL3D* model = modeldb_model(MID);
    const GLuint list = glGenLists(1);
    if (list == 0) return 0;
    glNewList(list, GL_COMPILE);
    if (model) RENDER_MODEL_COLOR(model);
    glEndList();
    return static_cast<int32_t>(list);
}
void RENDER_MODEL_COLOR_ALPHA(const MODEL3D* MODEL, float ALPHA) { render_model(MODEL, ColorMode::rgba, ALPHA); }
