// libFuzzer target: the OBJ loader and the MTL reader on arbitrary text. The resulting mesh
// must keep every count within its array and every triangle index within its counts.
#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "engine/textfile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
void check(bool ok) {
    if (!ok) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    objfile_set_texture_loader(nullptr);
    const std::string text(reinterpret_cast<const char*>(data), size);
    MODEL3D m;
    FieldReader r = field_reader_from_string(text);
    // mtllib lines name files below a directory that does not exist.
    objfile_read(m, r, "/nonexistent-fuzz-dir/");
    check(m.VERTICES.size() == m.MAX_VERTICES && m.UVS.size() == m.MAX_UVS && m.VNORMALS.size() == m.MAX_NORMALS);
    check(m.TRIANGLES.size() >= m.MAX_TRIANGLES && m.VOLUME.size() == size_t(m.MAX_TRIANGLES) * 9);
    for (uint32_t t = 0; t < m.MAX_TRIANGLES; ++t) {
        for (int k = 0; k < 3; ++k) {
            check(m.TRIANGLES[t].POINT_ID[k] < m.MAX_VERTICES);
            check(m.TRIANGLES[t].VNORMAL[k] < m.MAX_NORMALS);
        }
    }
    float a, b, c, d, e, f;
    MODEL_FINDEXTENTS(&m, a, b, c, d, e, f);
    MODEL_NORMALIZE(&m);

    MODEL3D mtl;
    FieldReader r2 = field_reader_from_string(text);
    objfile_read_materials(mtl, r2, "");
    check(mtl.MAX_MATERIALS <= mtl.MATERIALS.size() && !mtl.MATERIALS.empty());
    return 0;
}
