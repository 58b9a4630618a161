// The OBJ/MTL loader: axis conversion, face splitting with the space-counting rule, materials,
// the model database lookup, and memory safety outside the supported subset.
#include "obj_helpers.h"

#include "engine/modeldb.h"
#include "engine/textfile.h"

#include <random>

namespace {
void expect_vec(const VECTOR3D& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.X, x);
    EXPECT_FLOAT_EQ(v.Y, y);
    EXPECT_FLOAT_EQ(v.Z, z);
}
}  // namespace

TEST_F(ObjTest, ConvertsZUpToYUpAndFlipsV) {
    MODEL3D& m = load("axes.obj", "v 1 2 3\nvt 0.25 0.75\nvn 0.5 -1 2\nv -4 5.5 -6e1\n");
    ASSERT_EQ(m.MAX_VERTICES, 2u);
    ASSERT_EQ(m.MAX_UVS, 1u);
    ASSERT_EQ(m.MAX_NORMALS, 1u);
    expect_vec(m.VERTICES[0], 1, 3, -2);
    expect_vec(m.VERTICES[1], -4, -60, -5.5f);
    EXPECT_FLOAT_EQ(m.UVS[0].U, 0.25f);
    EXPECT_FLOAT_EQ(m.UVS[0].V, -0.75f);
    expect_vec(m.VNORMALS[0], 0.5f, 2, 1);
    EXPECT_EQ(m.VERTEXCOLORS.size(), 2u);
    EXPECT_EQ(m.MAX_TRIANGLES, 0u);
    EXPECT_EQ(m.MAX_SURFACES, 0u);
    EXPECT_EQ(m.FCNT, 0);
}

TEST_F(ObjTest, QuadsSplitIntoTwoTrianglesSharingTheFourthCorner) {
    write("sample.mtl", kSampleMtl);
    MODEL3D& m = load("sample.obj", kSampleObj);
    ASSERT_EQ(m.MAX_TRIANGLES, 3u);
    const TRIANGLE3D& a = m.TRIANGLES[0];
    const TRIANGLE3D& b = m.TRIANGLES[1];
    const TRIANGLE3D& c = m.TRIANGLES[2];
    EXPECT_EQ((std::vector<uint32_t>{a.POINT_ID[0], a.POINT_ID[1], a.POINT_ID[2]}), (std::vector<uint32_t>{0, 1, 3}));
    EXPECT_EQ((std::vector<uint32_t>{b.POINT_ID[0], b.POINT_ID[1], b.POINT_ID[2]}), (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ((std::vector<uint32_t>{c.POINT_ID[0], c.POINT_ID[1], c.POINT_ID[2]}), (std::vector<uint32_t>{3, 2, 0}));
    EXPECT_EQ((std::vector<uint32_t>{a.VNORMAL[0], a.VNORMAL[1], a.VNORMAL[2]}), (std::vector<uint32_t>{0, 0, 1}));
    // Texture coordinates are copied by value from the converted table (V negated).
    EXPECT_FLOAT_EQ(b.TEXCOORD[1].U, 1.0f);
    EXPECT_FLOAT_EQ(b.TEXCOORD[1].V, -1.0f);
    EXPECT_FLOAT_EQ(a.TEXCOORD[2].U, 0.0f);
    EXPECT_FLOAT_EQ(a.TEXCOORD[2].V, -1.0f);
    EXPECT_EQ(a.MATERIAL, 1);
    EXPECT_EQ(b.MATERIAL, 1);
    EXPECT_EQ(c.MATERIAL, 0);
    EXPECT_EQ(m.VOLUME.size(), 27u);
    // Five corners: more than four separators, so only the first three corners count.
    MODEL3D& five = load("five.obj", "v 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 1/1/1 1/1/1 1/1/1 1/1/1\n");
    EXPECT_EQ(five.MAX_TRIANGLES, 1u);
}

TEST_F(ObjTest, SpacesAreCountedOneByOne) {
    // A double space makes an empty token: "v 1  2 3" reads X=1, Y from "" (0), Z from "2".
    MODEL3D& m = load("spaces.obj",
                      "v 1  2 3\n"
                      "  v 7 8 9\n"          // leading blanks belong to no field
                      "v\t1 2\t3\n"          // a tab separates like a space
                      "v 4 5 6,v 10 11 12\n"  // a comma ends a field
                      "vt 1\n");             // missing tokens read as 0
    ASSERT_EQ(m.MAX_VERTICES, 5u);
    expect_vec(m.VERTICES[0], 1, 2, -0.0f);
    expect_vec(m.VERTICES[1], 7, 9, -8);
    expect_vec(m.VERTICES[2], 1, 3, -2);
    expect_vec(m.VERTICES[3], 4, 6, -5);
    expect_vec(m.VERTICES[4], 10, 12, -11);
    EXPECT_FLOAT_EQ(m.UVS[0].V, 0.0f);

    // A triangle line with a trailing space counts four separators: a quad whose fourth corner
    // is empty. That corner does not resolve, so both of its triangles are skipped.
    MODEL3D& t = load("trailing.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1 \nf 1/1/1 2/1/1 3/1/1\n");
    ASSERT_EQ(t.MAX_TRIANGLES, 1u);
    EXPECT_EQ(t.TRIANGLES[0].POINT_ID[2], 2u);
}

TEST_F(ObjTest, NumbersFollowTheLenientRule) {
    // Mixed forms: each coordinate must equal what the shared number rule gives for its text.
    const std::vector<std::string> texts = {"0.1", "-0.000123", "3.14159265358979", "12345678901234567890.5", "1e3",
                                            "2.5d-2", "abc", "-", ".5", "5.", "+7", "1.5x", "0.30000000000000004",
                                            "123456789", "-0", "1e400", "9.999999999999999999999", "0.0000000000000000000000001"};
    std::string text;
    for (const std::string& t : texts) text += "v " + t + " 0 0\n";
    std::mt19937 rng(99);
    std::vector<std::string> all = texts;
    for (int i = 0; i < 300; ++i) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(rng() % 12), (static_cast<double>(rng()) - 2147483648.0) / (1 + rng() % 100000));
        all.push_back(buf);
        text += std::string("v ") + buf + " 0 0\n";
    }
    MODEL3D& m = load("numbers.obj", text);
    ASSERT_EQ(m.MAX_VERTICES, all.size());
    for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(m.VERTICES[i].X, text_to_single(all[i])) << all[i];
}

TEST_F(ObjTest, MaterialsFromTheLibrary) {
    write("sample.mtl", kSampleMtl);
    MODEL3D& m = load("sample.obj", kSampleObj);
    ASSERT_EQ(m.MAX_MATERIALS, 2u);
    const MODELMATERIALTYPE& hull = m.MATERIALS[0];
    EXPECT_STREQ(hull.MATERIALNAME, "hull");
    EXPECT_FLOAT_EQ(hull.R, 0.5f);
    EXPECT_FLOAT_EQ(hull.G, 0.25f);
    EXPECT_FLOAT_EQ(hull.B, 1.0f);
    EXPECT_FLOAT_EQ(hull.HARDNESS, 64.0f);
    EXPECT_FLOAT_EQ(hull.ALPHA, 0.75f);
    EXPECT_EQ(hull.HASTEX, 1);
    EXPECT_EQ(hull.TEXTURE, 101u);
    ASSERT_EQ(requested_textures().size(), 1u);
    EXPECT_EQ(requested_textures()[0], dir_ + "hull.png");
    EXPECT_STREQ(m.MATERIALS[1].MATERIALNAME, "glass");
    EXPECT_EQ(m.MATERIALS[1].HASTEX, 0);
    EXPECT_FLOAT_EQ(m.MATERIALS[1].ALPHA, 0.0f) << "fields a material does not give stay 0";
}

TEST_F(ObjTest, MaterialEdgeRules) {
    write("edge.mtl",
          "Kd 0.1 0.2 0.3\n"  // before any newmtl: fills material 0
          "newmtl first\n"
          "Ns 2048\n"
          "newmtl averyveryverylongname\n"
          "Ns -5\n"
          "newmtl dup\n"
          "Kd 1 0 0\n"
          "newmtl dup\n"
          "Kd 0 1 0\n");
    MODEL3D& m = load("edge.obj",
                      "mtllib edge.mtl\nv 0 0 0\nvt 0 0\nvn 0 0 1\n"
                      "f 1/1/1 1/1/1 1/1/1\n"                    // material 0 before any usemtl
                      "usemtl dup\nf 1/1/1 1/1/1 1/1/1\n"        // the last of equal names
                      "usemtl nosuch\nf 1/1/1 1/1/1 1/1/1\n"     // unknown: previous stays
                      "usemtl averyveryverylongname\nf 1/1/1 1/1/1 1/1/1\n"  // full long name: no match
                      "usemtl averyveryverylong\nf 1/1/1 1/1/1 1/1/1\n");    // the cut name matches
    ASSERT_EQ(m.MAX_MATERIALS, 4u);
    EXPECT_FLOAT_EQ(m.MATERIALS[0].R, 0.1f);
    EXPECT_STREQ(m.MATERIALS[0].MATERIALNAME, "first");
    EXPECT_FLOAT_EQ(m.MATERIALS[0].HARDNESS, 128.0f);
    EXPECT_STREQ(m.MATERIALS[1].MATERIALNAME, "averyveryverylon");
    EXPECT_FLOAT_EQ(m.MATERIALS[1].HARDNESS, 0.0f);
    ASSERT_EQ(m.MAX_TRIANGLES, 5u);
    std::vector<int32_t> mats;
    for (uint32_t i = 0; i < 5; ++i) mats.push_back(m.TRIANGLES[i].MATERIAL);
    EXPECT_EQ(mats, (std::vector<int32_t>{0, 3, 3, 3, 3}));

    // A second mtllib replaces the materials of the first.
    write("other.mtl", "newmtl only\nKd 0 0 0.5\n");
    MODEL3D& two = load("two.obj", "mtllib edge.mtl\nmtllib other.mtl\n");
    ASSERT_EQ(two.MAX_MATERIALS, 1u);
    EXPECT_STREQ(two.MATERIALS[0].MATERIALNAME, "only");
}

TEST_F(ObjTest, DatabaseLookupByExactName) {
    const std::string path = write("once.obj", "v 1 1 1\n");
    const int32_t a = OBJFILE_LOAD(path);
    write("once.obj", "v 1 1 1\nv 2 2 2\n");
    EXPECT_EQ(OBJFILE_LOAD(path), a) << "same name: same index";
    EXPECT_EQ(model(a).MAX_VERTICES, 1u) << "and the file is not read again";
    EXPECT_EQ(MODELDBLENGTH, 1);
    // Another spelling of the same file is another mesh.
    const std::string other = dir_ + "./once.obj";
    const int32_t b = OBJFILE_LOAD(other);
    EXPECT_NE(b, a);
    EXPECT_EQ(model(b).MAX_VERTICES, 2u);
    EXPECT_EQ(MODELDBLENGTH, 2);
    EXPECT_EQ(MODELDB.size(), 3u) << "one spare slot after the last entry";

    // A name longer than 64 characters is stored cut and never matches again.
    std::string long_name = dir_;
    mkdir("x", 0755);
    while (long_name.size() < 70) long_name += "x/../";
    long_name += "once.obj";
    const int32_t c = OBJFILE_LOAD(long_name);
    EXPECT_EQ(std::string(MODELDB[c].MODELFILE), long_name.substr(0, 64));
    EXPECT_NE(OBJFILE_LOAD(long_name), c);
    EXPECT_EQ(MODELDBLENGTH, 4);
}

TEST_F(ObjTest, MissingFilesGiveEmptyRegisteredMeshes) {
    // Console output is captured around the loads only, so failures below stay visible.
    testing::internal::CaptureStderr();
    const int32_t i = OBJFILE_LOAD(dir_ + "nothing_here.obj");
    const int32_t again = OBJFILE_LOAD(dir_ + "nothing_here.obj");
    const std::string path = write("nolib.obj", "mtllib gone.mtl\nv 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 1/1/1 1/1/1\n");
    const int32_t j = OBJFILE_LOAD(path);
    const std::string out = testing::internal::GetCapturedStderr();

    MODEL3D& m = model(i);
    EXPECT_EQ(m.MAX_VERTICES + m.MAX_TRIANGLES + m.MAX_UVS + m.MAX_NORMALS + m.MAX_MATERIALS, 0u);
    EXPECT_EQ(again, i);
    EXPECT_EQ(MODELDBLENGTH, 2);
    // A missing material library leaves the mesh without materials but with its faces.
    MODEL3D& n = model(j);
    EXPECT_EQ(n.MAX_MATERIALS, 0u);
    EXPECT_EQ(n.MAX_TRIANGLES, 1u);
    EXPECT_NE(out.find("nothing_here.obj"), std::string::npos) << out;
    EXPECT_NE(out.find("gone.mtl"), std::string::npos) << out;
    // Material library for a model index that does not exist: a console line, nothing else.
    testing::internal::CaptureStderr();
    OBJFILE_LOADMATERIALLIBRARY(57, dir_ + "gone.mtl");
    const std::string none = testing::internal::GetCapturedStderr();
    EXPECT_NE(none.find("no model 57"), std::string::npos) << none;
}

TEST_F(ObjTest, CornersThatDoNotResolveSkipTheirTriangles) {
    testing::internal::CaptureStderr();
    MODEL3D& m = load("bad.obj",
                      "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                      "f 1 2 3\n"                        // v only
                      "f 1/1 2/1 3/1\n"                  // v/vt
                      "f 1//1 2//1 3//1\n"               // v//vn
                      "f 0/1/1 2/1/1 3/1/1\n"            // zero index
                      "f -1/1/1 2/1/1 3/1/1\n"           // negative (relative) index
                      "f 1/1/1 2/1/1 4/1/1\n"            // beyond the vertices
                      "f 1/2/1 2/1/1 3/1/1\n"            // beyond the texture coordinates
                      "f 1/1/1 2/1/2 3/1/1\n"            // beyond the normals
                      "f 1/1/1 2/1/1\n"                  // two corners
                      "f 99999999999/1/1 2/1/1 3/1/1\n"  // saturating index
                      "f 1/1/1 2/1/1 3/1/1 4/1/1\n"      // quad: only (2,3,4) fails
                      "f 3/1/1 2/1/1 1/1/1\n");          // fine
    const std::string out = testing::internal::GetCapturedStderr();
    ASSERT_EQ(m.MAX_TRIANGLES, 1u);
    EXPECT_EQ(m.TRIANGLES[0].POINT_ID[0], 2u);
    EXPECT_EQ(m.VOLUME.size(), 9u);
    EXPECT_NE(out.find("12 triangles skipped"), std::string::npos) << out;
}

TEST_F(ObjTest, UsemtlBeforeAnyLibraryAndGarbage) {
    MODEL3D& m = load("nomtl.obj", "usemtl red\nv 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 1/1/1 1/1/1\n");
    EXPECT_EQ(m.MAX_MATERIALS, 0u);
    EXPECT_TRUE(m.MATERIALS.empty());
    ASSERT_EQ(m.MAX_TRIANGLES, 1u);
    EXPECT_EQ(m.TRIANGLES[0].MATERIAL, 0);

    std::mt19937 rng(5);
    std::string garbage(20000, '\0');
    for (char& c : garbage) c = static_cast<char>(rng());
    MODEL3D& g = load("garbage.obj", garbage);
    EXPECT_LE(g.MAX_TRIANGLES, 1u);
    float x0, y0, z0, x1, y1, z1;
    MODEL_FINDEXTENTS(&g, x0, y0, z0, x1, y1, z1);
}

TEST(ObjDirectory, UpToTheLastSlash) {
    EXPECT_EQ(OBJFILE_GETDIRECTORY("data/models/ship.obj"), "data/models/");
    EXPECT_EQ(OBJFILE_GETDIRECTORY("/ship.obj"), "/");
    EXPECT_EQ(OBJFILE_GETDIRECTORY("data/"), "data/");
    EXPECT_EQ(OBJFILE_GETDIRECTORY("ship.obj"), "");
    EXPECT_EQ(OBJFILE_GETDIRECTORY("data\\ship.obj"), "") << "only / separates";
}

TEST_F(ObjTest, FieldsAndTokensMatchTheSharedReaderAndSplitter) {
    // Random vertex lines behind every kind of separator, stray quotes, tabs, leading blanks and
    // over-long fields; the loader must see the fields the shared reader's separators give (a
    // quote being an ordinary character) and the tokens STR_EXPLODE gives once tabs are spaces.
    std::mt19937 rng(2024);
    const char* seps[] = {"\n", "\r\n", "\r", ","};
    const char* pieces[] = {"1", "-2.5", "", "x", "3e1", "0.125", "7"};
    std::string text;
    for (int i = 0; i < 400; ++i) {
        std::string field = (rng() % 7 == 0) ? "vt" : "v";
        const int tokens = 1 + static_cast<int>(rng() % 5);
        for (int k = 0; k < tokens; ++k) field += std::string(" ") + pieces[rng() % 7];
        if (rng() % 9 == 0) field = "\"" + field + "\"";
        if (rng() % 11 == 0) field[field.find(' ') == std::string::npos ? 0 : field.find(' ')] = '\t';
        if (rng() % 9 == 0) field = " \t" + field;
        if (rng() % 25 == 0) field += std::string(5000, '9');
        text += field + seps[rng() % 4];
    }
    MODEL3D& m = load("fields.obj", text);

    // The reference fields: leading blanks dropped, cut at a comma, CR, LF or CR LF, at most
    // FIELD_MAX_BYTES bytes, quotes kept as they are.
    std::vector<std::string> fields;
    for (size_t at = 0; at < text.size();) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        size_t end = text.find_first_of(",\r\n", at);
        if (end == std::string::npos) end = text.size();
        fields.push_back(text.substr(at, std::min(end - at, FIELD_MAX_BYTES)));
        at = end;
        if (at < text.size()) at += (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
    }
    std::vector<VECTOR3D> expected;
    std::vector<UV2D> expected_uv;
    auto tok = [](int32_t count, int i) { return i <= count ? STR_EXPLODE_RESULT[i] : std::string(); };
    for (std::string field : fields) {
        std::replace(field.begin(), field.end(), '\t', ' ');
        const int32_t count = STR_EXPLODE(" ", field);
        if (STR_EXPLODE_RESULT[0] == "v")
            expected.push_back({text_to_single(tok(count, 1)), text_to_single(tok(count, 3)), -text_to_single(tok(count, 2))});
        if (STR_EXPLODE_RESULT[0] == "vt") expected_uv.push_back({text_to_single(tok(count, 1)), -text_to_single(tok(count, 2))});
    }
    ASSERT_EQ(m.MAX_VERTICES, expected.size());
    ASSERT_EQ(m.MAX_UVS, expected_uv.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(m.VERTICES[i].X, expected[i].X) << i;
        EXPECT_EQ(m.VERTICES[i].Y, expected[i].Y) << i;
        EXPECT_EQ(m.VERTICES[i].Z, expected[i].Z) << i;
    }
    for (size_t i = 0; i < expected_uv.size(); ++i) {
        EXPECT_EQ(m.UVS[i].U, expected_uv[i].U) << i;
        EXPECT_EQ(m.UVS[i].V, expected_uv[i].V) << i;
    }
}
