// The generated meshes read through the game's own loader: every triangle accepted, the
// vertex, normal and material lists as written, and the gunship after the game's
// normalise-and-scale keeping its barrels where the weapon code fires from.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "mesh_paths.h"
#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "obj_check.h"

namespace {
const std::string kGame = KV_GAME_DIR;
}

TEST(ArtworkLoader, GameLoaderReadsEveryMeshAsWritten) {
    objfile_set_texture_loader(nullptr);
    for (std::string_view p : kMeshPaths) {
        const std::string path = kGame + "/" + std::string(p);
        const artwork::ObjFile mine = artwork::read_obj(path);
        const MODEL3D* m = modeldb_model(OBJFILE_LOAD(path));
        ASSERT_NE(m, nullptr) << p;
        EXPECT_EQ(m->MAX_TRIANGLES, mine.tris.size()) << p << ": the loader accepts every face";
        EXPECT_EQ(m->MAX_VERTICES, mine.v.size()) << p;
        EXPECT_EQ(m->MAX_NORMALS, mine.vn.size()) << p;
        EXPECT_EQ(m->MAX_UVS, static_cast<uint32_t>(mine.vt)) << p;
        ASSERT_EQ(m->MAX_MATERIALS, mine.materials.size()) << p;
        for (size_t i = 0; i < mine.materials.size(); ++i) {
            EXPECT_STREQ(m->MATERIALS[i].MATERIALNAME, mine.materials[i].name.c_str()) << p;
            EXPECT_NEAR(m->MATERIALS[i].R, mine.materials[i].r, 1e-4) << p;
            EXPECT_NEAR(m->MATERIALS[i].ALPHA, 1.0, 1e-6) << p;
        }
        for (size_t t = 0; t < mine.tris.size() && t < m->TRIANGLES.size(); ++t) {
            ASSERT_EQ(m->TRIANGLES[t].MATERIAL, mine.tris[t].material) << p << " triangle " << t;
            for (int k = 0; k < 3; ++k) {
                const VECTOR3D& v = m->VERTICES[m->TRIANGLES[t].POINT_ID[k]];
                const artwork::V3& w = mine.v[mine.tris[t].v[k]];
                ASSERT_NEAR(v.X, w.x, 1e-4);
                ASSERT_NEAR(v.Y, w.y, 1e-4) << p << ": Z-up file turned Y-up";
                ASSERT_NEAR(v.Z, w.z, 1e-4);
            }
        }
    }
}

TEST(ArtworkLoader, GunshipAfterNormaliseAndScaleKeepsItsDesignedSize) {
    objfile_set_texture_loader(nullptr);
    const std::string path = kGame + "/data/ships/gunship/gunshipLowJ.obj";
    const artwork::ObjFile mine = artwork::read_obj(path);
    // A private copy of the game's treatment: load, normalise, scale by 1.5.
    MODEL3D* m = modeldb_model(OBJFILE_LOAD(path));
    ASSERT_NE(m, nullptr);
    MODEL3D copy = *m;
    MODEL_NORMALIZE(&copy);
    MODEL_SCALE(&copy, 1.5f);
    double r = 0;
    for (uint32_t i = 0; i < copy.MAX_VERTICES; ++i) {
        const VECTOR3D& v = copy.VERTICES[i];
        r = std::max(r, std::sqrt(double(v.X) * v.X + double(v.Y) * v.Y + double(v.Z) * v.Z));
        EXPECT_NEAR(v.X, mine.v[i].x, 2e-3);
        EXPECT_NEAR(v.Y, mine.v[i].y, 2e-3);
        EXPECT_NEAR(v.Z, mine.v[i].z, 2e-3);
    }
    EXPECT_NEAR(r, 1.5, 1e-5);
    // The highest point of the cannon housing region lies under the top barrel's line.
    float minx, miny, minz, maxx, maxy, maxz;
    MODEL_FINDEXTENTS(&copy, minx, miny, minz, maxx, maxy, maxz);
    EXPECT_LT(minx, -1.3f) << "barrels reach forward towards the muzzles at x -1.6 to -1.8";
    EXPECT_GT(maxx, 1.2f) << "tail boom behind";
    EXPECT_LT(maxy, 1.64f) << "everything under the rocket launch line";
}
