// The shared peer material of the tests and benchmarks (the PNG conformance images...): where it
// lives and the files of a folder. The folder is $KV_SHARED_DIR, else the build's idea of it,
// else two levels above the sources (a worktree checked out beside the main one); empty when
// absent.
#pragma once

#include <dirent.h>

#include <algorithm>
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

