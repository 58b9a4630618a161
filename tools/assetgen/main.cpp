// Runs every registered generator into the game directory named on the command line, in name
// order, printing one progress line per generator. Exit status 1 if any generator fails.
#include "assetgen.h"
#include "engine/console_text.h"

#include "engine/textfile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {
std::vector<AssetGenerator>& generators() {
    static std::vector<AssetGenerator> list;
    return list;
}
}  // namespace

bool assetgen_register(const AssetGenerator& generator) {
    generators().push_back(generator);
    return true;
}

bool write_text_file(const std::string& path, const std::string& text) {
    std::error_code ec;
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    std::string why;
    if (!write_file_atomic(path, text, &why)) {
        std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), why.c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(argc < 2 ? stderr : stdout,
                     "usage: assetgen GAME_DIR [GENERATOR...]\n"
                     "Writes the generated game data below GAME_DIR; with names, runs only those generators.\n");
        return argc < 2 ? 2 : 0;
    }
    const std::string dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    auto list = generators();
    std::sort(list.begin(), list.end(),
              [](const AssetGenerator& a, const AssetGenerator& b) { return std::strcmp(a.name, b.name) < 0; });
    // Every name asked for must be a generator: a misspelt one would otherwise do nothing.
    for (int i = 2; i < argc; ++i) {
        bool known = false;
        for (const AssetGenerator& g : list) known = known || std::strcmp(argv[i], g.name) == 0;
        if (!known) {
            std::string names;
            for (const AssetGenerator& g : list) names += std::string(names.empty() ? "" : ", ") + g.name;
            std::fprintf(stderr, "assetgen: unknown generator '%s' (known: %s)\n", console_safe(argv[i]).c_str(),
                         names.c_str());
            return 1;
        }
    }
    int failed = 0;
    for (const AssetGenerator& g : list) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i) wanted = wanted || std::strcmp(argv[i], g.name) == 0;
        if (!wanted) continue;
        std::printf("assetgen: %s\n", g.name);
        std::fflush(stdout);
        if (!g.generate(dir)) {
            std::fprintf(stderr, "assetgen: generator '%s' failed\n", g.name);
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
