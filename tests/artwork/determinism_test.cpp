// assetgen writes the same bytes on every run: two runs of the artwork generators into fresh
// directories must give identical trees with no temporary files left behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace {

const std::string kAssetgen = std::string(KV_BUILD_DIR) + "/tools/assetgen/assetgen";

std::map<std::string, std::string> tree(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        std::ifstream in(e.path(), std::ios::binary);
        files[std::filesystem::relative(e.path(), root).string()] =
            std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    return files;
}

}  // namespace

TEST(ArtworkAssetgen, TwoRunsWriteIdenticalFiles) {
    ASSERT_TRUE(std::filesystem::exists(kAssetgen));
    const std::string base = std::string(KV_BUILD_DIR) + "/artwork/determinism";
    std::filesystem::remove_all(base);
    for (const char* run : {"a", "b"}) {
        const std::string cmd = "'" + kAssetgen + "' '" + base + "/" + run +
                                "' meshes glyphs segment-font images > /dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    const auto a = tree(base + "/a"), b = tree(base + "/b");
    EXPECT_GT(a.size(), 78u * 2 + 95u * 2);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) {
        const auto it = b.find(name);
        ASSERT_NE(it, b.end()) << name;
        EXPECT_TRUE(it->second == bytes) << name << " differs between runs";
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << "no temporary file left: " << name;
    }
    std::filesystem::remove_all(base);
}
