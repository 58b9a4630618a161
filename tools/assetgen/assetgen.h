// Generator registry of assetgen. A generator file defines
// `bool generate(const std::string& game_dir)` that writes its files below game_dir and
// returns false (after printing one line saying why) on failure, and registers it with
// ASSETGEN_GENERATOR. Generators run in name order; each must be deterministic.
#pragma once

#include <string>

struct AssetGenerator {
    const char* name;
    bool (*generate)(const std::string& game_dir);
};

bool assetgen_register(const AssetGenerator& generator);

// The generators' one file writer: creates the directories, writes the bytes through a temporary
// file renamed into place, and prints one line saying why when that fails.
bool write_text_file(const std::string& path, const std::string& text);

#define ASSETGEN_GENERATOR(NAME, FN) \
    static const bool assetgen_registered_##FN = assetgen_register(AssetGenerator{NAME, FN})
