// The `kvdata obj` subcommand run as a program: counts, extents, material names, and status 1
// for a file that cannot be read.
#include "obj_helpers.h"

#include "support/files.h"

namespace {
int run_kvdata(const std::string& args, std::string& out) {
    const CommandResult r = run_command(std::string(KV_GAME_DIR) + "/kvdata " + args);
    out = r.out;
    return r.status;
}
}  // namespace

TEST_F(ObjTest, KvdataObjPrintsCountsExtentsAndMaterials) {
    write("sample.mtl", kSampleMtl);
    const std::string obj = write("sample.obj", kSampleObj);
    std::string out;
    ASSERT_EQ(run_kvdata("obj " + obj, out), 0) << out;
    EXPECT_EQ(out,
              "vertices: 4\ntexture coordinates: 4\nnormals: 2\ntriangles: 3\nmaterials: 2\n"
              "extents: x 0 .. 1, y 0 .. 1, z -1 .. 0\n"
              "material 0: hull\nmaterial 1: glass\n");
}

TEST_F(ObjTest, KvdataObjRefusesUnreadableFiles) {
    std::string out;
    EXPECT_EQ(run_kvdata("obj " + dir_ + "missing.obj", out), 1);
    EXPECT_NE(out.find("cannot read"), std::string::npos) << out;
    EXPECT_EQ(run_kvdata("obj .", out), 1) << "a directory is not a readable file";
}
