// Helpers of the game-data tests (see gamedata_util.h).
#include "gamedata_util.h"

#include <atomic>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

ScratchDir::ScratchDir(const std::string& tag) {
    static std::atomic<int> counter{0};
    path = (fs::temp_directory_path() / ("kv_gamedata_" + tag + "_" + std::to_string(getpid()) + "_" + std::to_string(counter++))).string();
    std::error_code ec;
    fs::remove_all(path, ec);
    fs::create_directories(path);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
}

bool replace_in_file(const std::string& path, const std::string& from, const std::string& to) {
    std::string text = read_file_text(path);
    const size_t at = text.find(from);
    if (at == std::string::npos) return false;
    text.replace(at, from.size(), to);
    write_file_text(path, text);
    return true;
}

void copy_game_data(const std::string& to) {
    const fs::path game = KV_GAME_DIR;
    for (const char* f : {"0.map", "credits.txt", "ver.dat", "models.dat"})
        if (fs::exists(game / f)) fs::copy_file(game / f, fs::path(to) / f, fs::copy_options::overwrite_existing);
    fs::copy(game / "data", fs::path(to) / "data", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

bool read_map(const std::string& path, MapGrids& map) {
    const std::string bytes = read_file_text(path);
    if (bytes.size() != 3158036) return false;
    auto word = [&](size_t off) {
        uint32_t u = 0;
        for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[off + k])) << (8 * k);
        return static_cast<int32_t>(u);
    };
    map.height.assign(513 * 513, 0);
    map.forest.assign(513 * 513, 0);
    map.city.assign(513 * 513, 0);
    for (int x = 0; x < 513; ++x)
        for (int z = 0; z < 513; ++z) {
            const size_t off = (static_cast<size_t>(x) * 513 + z) * 12;
            map.height[z * 513 + x] = word(off);
            map.forest[z * 513 + x] = word(off + 4);
            map.city[z * 513 + x] = word(off + 8);
        }
    map.water = word(3158028);
    return true;
}

std::vector<std::string> lines_starting(const std::string& out, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
    return lines;
}
