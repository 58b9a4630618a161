// kvdata obj: loads an OBJ mesh (and its material libraries) with the game's loader and
// prints its counts, extents and material names. Textures are not loaded: no OpenGL here.
#include "kvdata.h"

#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "engine/textfile.h"

#include <cstdio>

namespace {

int run_obj(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvdata obj FILE\n");
        return 2;
    }
    const std::string file = argv[1];
    FieldReader probe;
    if (!field_reader_open(probe, file)) {
        std::printf("cannot read %s\n", file.c_str());
        return 1;
    }
    objfile_set_texture_loader(nullptr);
    const MODEL3D* m = modeldb_model(OBJFILE_LOAD(file));
    if (m == nullptr) {
        std::printf("cannot read %s\n", file.c_str());
        return 1;
    }
    std::printf("vertices: %u\ntexture coordinates: %u\nnormals: %u\ntriangles: %u\nmaterials: %u\n", m->MAX_VERTICES,
                m->MAX_UVS, m->MAX_NORMALS, m->MAX_TRIANGLES, m->MAX_MATERIALS);
    float x0, y0, z0, x1, y1, z1;
    MODEL_FINDEXTENTS(m, x0, y0, z0, x1, y1, z1);
    // Adding zero turns a negative zero into a plain one for printing.
    std::printf("extents: x %g .. %g, y %g .. %g, z %g .. %g\n", x0 + 0.0f, x1 + 0.0f, y0 + 0.0f, y1 + 0.0f, z0 + 0.0f,
                z1 + 0.0f);
    for (uint32_t i = 0; i < m->MAX_MATERIALS && i < m->MATERIALS.size(); ++i)
        std::printf("material %u: %s\n", i, m->MATERIALS[i].MATERIALNAME);
    return 0;
}

}  // namespace

KVDATA_COMMAND("obj", "FILE  load an OBJ mesh: counts (vertices, texture coordinates, normals, triangles, materials), extents and material names",
               run_obj);
