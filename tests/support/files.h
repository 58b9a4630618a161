// Files and programs as the tests see them: a whole file read or written in one call, and a
// shell command run with its console output captured. Plain standard-library reading, so the
// tests stay independent of the game's own file reader that several of them check.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The file's bytes; "" when it cannot be read.
inline std::string read_file_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
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

// Replaces the file with exactly these bytes.
inline void write_file_text(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder of its own under /tmp (mkdtemp), so that test programs running at once never
// share one; removed with all it holds at the end, its owner's rights given back first since a
// test may take them away. `path` is empty when no folder could be made.
struct ScratchFolder {
    std::filesystem::path path;
    explicit ScratchFolder(const std::string& tag = "kv") {
        std::string name = "/tmp/" + tag + "_XXXXXX";
        if (mkdtemp(name.data())) path = name;
    }
    ~ScratchFolder() {
        if (path.empty()) return;
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string operator/(const std::string& name) const { return (path / name).string(); }
};

struct CommandResult {
    int status = -1;  // exit status; -1 when the command could not run or did not exit
    std::string out;  // standard output and standard error together
};

inline CommandResult run_command(const std::string& command) {
    CommandResult r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}
