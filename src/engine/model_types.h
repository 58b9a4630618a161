// Mesh records: a loaded OBJ/MTL mesh (MODEL3D) with its triangles, materials and texture
// coordinates, and the model database entry that owns it (MODELDBTYPE). Types only; the loader,
// the database and the renderers declare their functions in their own headers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/color_types.h"
#include "engine/math3d.h"

// One texture coordinate.
struct UV2D {
    float U = 0.0f;
    float V = 0.0f;
};

// Capacity of a material name: 16 characters plus the terminating zero.
inline constexpr int MODEL_MATERIALNAME_LEN = 16;
// Capacity of a model database file name: 64 characters plus the terminating zero.
inline constexpr int MODEL_FILENAME_LEN = 64;

// One face. Corner arrays have three slots; slot k (0-2) is corner k + 1.
struct TRIANGLE3D {
    uint32_t POINT_ID[3] = {0, 0, 0};   // 0-based vertex index of each corner
    UV2D TEXCOORD[3] = {};              // texture coordinate of each corner, by value
    uint32_t NEIGHBOR[3] = {0, 0, 0};
    int32_t CON[3] = {0, 0, 0};
    int32_t VISIBLE = 0;
    VECTOR3D NORMAL = {};
    uint32_t VNORMAL[3] = {0, 0, 0};    // 0-based vertex-normal index of each corner
    VECTOR4D PLANE = {};
    int32_t GROUP = 0;
    VECTOR3D POSIT = {};
    int32_t MATERIAL = 0;               // index into MODEL3D::MATERIALS
};

struct MODELMATERIALTYPE {
    char MATERIALNAME[MODEL_MATERIALNAME_LEN + 1] = {};  // from newmtl, cut to 16 characters
    float R = 0.0f;                     // diffuse colour (Kd)
    float G = 0.0f;
    float B = 0.0f;
    float HARDNESS = 0.0f;              // shininess 0-128
    int8_t HASTEX = 0;                  // 1 when a map_Kd texture was loaded
    uint32_t TEXTURE = 0;               // OpenGL texture name
    float ALPHA = 0.0f;                 // dissolve (d)
};

// One loaded mesh. The arrays are owned by the record; their sizes follow the MAX_ counts
// (VERTEXCOLORS has MAX_VERTICES entries, VOLUME 9 per triangle).
struct MODEL3D {
    uint32_t MAX_VERTICES = 0;
    uint32_t MAX_TRIANGLES = 0;
    uint32_t MAX_UVS = 0;
    uint32_t MAX_SURFACES = 0;
    uint32_t MAX_NORMALS = 0;
    uint32_t MAX_MATERIALS = 0;
    std::vector<MODELMATERIALTYPE> MATERIALS;
    std::vector<VECTOR3D> VERTICES;
    std::vector<RGBALPHA> VERTEXCOLORS;
    std::vector<VECTOR3D> VNORMALS;
    std::vector<VECTOR3D> VOLUME;
    std::vector<TRIANGLE3D> TRIANGLES;
    std::vector<UV2D> UVS;
    int32_t FCNT = 0;
};

// One model database entry: the requested file name (cut to 64 characters, zero-terminated)
// and the mesh it owns. A null handle is an empty slot.
struct MODELDBTYPE {
    char MODELFILE[MODEL_FILENAME_LEN + 1] = {};
    std::unique_ptr<MODEL3D> MODELHANDLE;
};
