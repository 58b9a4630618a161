// The shared peer material of the tests and benchmarks (the PNG conformance images...): where it
// lives, the files of a folder, and a file's bytes. The folder is $KV_SHARED_DIR, else the
// build's idea of it, else two levels above the sources (a worktree checked out beside the main
// one); empty when absent.
#pragma once

#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

inline std::string shared_subdir(const std::string& name) {
    std::vector<std::string> roots;
    if (const char* env = std::getenv("KV_SHARED_DIR")) roots.push_back(env);
    roots.push_back(KV_SHARED_DIR);
    roots.push_back(std::string(KV_SOURCE_DIR) + "/../../shared");
    for (const std::string& r : roots) {
        if (DIR* d = opendir((r + "/" + name).c_str())) {
            closedir(d);
            return r + "/" + name;
        }
    }
    return std::string();
}

// Sorted names of the files in DIR ending in SUFFIX.
inline std::vector<std::string> files_with_suffix(const std::string& dir, const std::string& suffix) {
    std::vector<std::string> names;
    DIR* d = dir.empty() ? nullptr : opendir(dir.c_str());
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n.size() > suffix.size() && n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0) names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

// The file's bytes; empty when it cannot be read.
inline std::vector<uint8_t> read_whole_file(const std::string& path) {
    std::vector<uint8_t> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}
