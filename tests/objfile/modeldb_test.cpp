// The model database utilities: the models.dat preload list, extents, normalisation, scaling
// and unloading.
#include "obj_helpers.h"

#include "engine/modeldb.h"
#include "support/files.h"
#include "engine/textfile.h"

namespace {
}  // namespace

TEST_F(ObjTest, PreloadListIsWrittenShortestFirst) {
    for (const char* name : {"data/a.obj", "data/bb.obj", "data/c.obj"}) modeldb_append(name);
    const std::string list = dir_ + "models.dat";
    written_.push_back(list);
    DEINIT_MODELLIST(list);
    EXPECT_EQ(read_file_text(list), "data/a.obj\r\ndata/c.obj\r\ndata/bb.obj\r\n");

    // Longer lists: ascending by length, and equal lengths keep the order the exchange sort gives.
    MODELDB.clear();
    MODELDB.resize(1);
    MODELDBLENGTH = 0;
    for (const char* name : {"dddd", "a", "ccc", "bb", "x", "eeeee", "yy"}) modeldb_append(name);
    DEINIT_MODELLIST(list);
    FieldReader r;
    ASSERT_TRUE(field_reader_open(r, list));
    std::vector<std::string> names;
    while (!field_eof(r)) names.push_back(field_read(r));
    ASSERT_EQ(names.size(), 7u);
    for (size_t i = 1; i < names.size(); ++i) EXPECT_LE(names[i - 1].size(), names[i].size());
    FILE* tmp = std::fopen((list + ".tmp").c_str(), "rb");
    EXPECT_EQ(tmp, nullptr) << "no temporary file is left";
    if (tmp) std::fclose(tmp);
}

TEST_F(ObjTest, PreloadListOfNothingAndUnwritablePlace) {
    const std::string list = dir_ + "empty_models.dat";
    written_.push_back(list);
    write("empty_models.dat", "data/old.obj\r\n");
    DEINIT_MODELLIST(list);
    EXPECT_EQ(read_file_text(list), "");
    // A directory that does not exist: nothing is written, nothing crashes.
    modeldb_append("data/a.obj");
    testing::internal::CaptureStderr();
    DEINIT_MODELLIST(dir_ + "no/such/dir/models.dat");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot write"), std::string::npos);
}

TEST_F(ObjTest, ExtentsNormaliseAndScale) {
    MODEL3D& m = load("box.obj", "v -1 2 3\nv 4 -5 0\nv 0 0 0\n");
    float x0, y0, z0, x1, y1, z1;
    MODEL_FINDEXTENTS(&m, x0, y0, z0, x1, y1, z1);
    // Converted vertices: (-1, 3, -2), (4, 0, 5), (0, 0, 0).
    EXPECT_FLOAT_EQ(x0, -1);
    EXPECT_FLOAT_EQ(y0, 0);
    EXPECT_FLOAT_EQ(z0, -2);
    EXPECT_FLOAT_EQ(x1, 4);
    EXPECT_FLOAT_EQ(y1, 3);
    EXPECT_FLOAT_EQ(z1, 5);

    MODEL3D& five = load("five.obj", "v 3 0 4\nv 1 1 1\n");  // farthest vertex at distance 5
    MODEL_NORMALIZE(&five);
    EXPECT_FLOAT_EQ(five.VERTICES[0].X, 0.6f);
    EXPECT_FLOAT_EQ(five.VERTICES[0].Z, -0.0f);
    EXPECT_FLOAT_EQ(five.VERTICES[0].Y, 0.8f);
    EXPECT_FLOAT_EQ(five.VERTICES[1].X, 0.2f);
    MODEL_SCALE(&five, 10.0f);
    EXPECT_FLOAT_EQ(five.VERTICES[0].X, 6.0f);
    EXPECT_FLOAT_EQ(five.VERTICES[1].Z, -2.0f);

    // Degenerate meshes: nothing to find, nothing divided by zero.
    MODEL3D& empty = load("empty.obj", "# nothing\n");
    MODEL_FINDEXTENTS(&empty, x0, y0, z0, x1, y1, z1);
    EXPECT_EQ((std::vector<float>{x0, y0, z0, x1, y1, z1}), (std::vector<float>{9999, 9999, 9999, -9999, -9999, -9999}));
    MODEL_FINDEXTENTS(nullptr, x0, y0, z0, x1, y1, z1);
    EXPECT_FLOAT_EQ(x0, 9999);
    MODEL3D& origin = load("origin.obj", "v 0 0 0\n");
    MODEL_NORMALIZE(&origin);
    EXPECT_EQ(origin.VERTICES[0].X, 0.0f);
    MODEL_NORMALIZE(nullptr);
    MODEL_SCALE(nullptr, 2.0f);
}

TEST_F(ObjTest, UnloadReleasesTheMesh) {
    const int32_t i = OBJFILE_LOAD(write("gone.obj", "v 1 2 3\nvt 0 0\nvn 0 0 1\nf 1/1/1 1/1/1 1/1/1\n"));
    ASSERT_NE(modeldb_model(i), nullptr);
    UNLOADMESH(MODELDB[i].MODELHANDLE);
    EXPECT_EQ(MODELDB[i].MODELHANDLE, nullptr);
    EXPECT_EQ(modeldb_model(i), nullptr);
    UNLOADMESH(MODELDB[i].MODELHANDLE);  // twice is harmless
    EXPECT_EQ(modeldb_model(-1), nullptr);
    EXPECT_EQ(modeldb_model(MODELDBLENGTH), nullptr) << "the spare slot is not an entry";
    // The entry keeps its name: asking again answers from the database (an unloaded mesh).
    EXPECT_EQ(OBJFILE_LOAD(dir_ + "gone.obj"), i);
}
