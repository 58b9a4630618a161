// The names the menu-screen and demo-pilot suites use for the private game directory and its
// runs; everything is support/game_run.h's.
#pragma once

#include <string>

#include "support/game_run.h"

namespace e2e {

using kvtest::GameDir;
using kvtest::have_display;
using kvtest::png_size;
using kvtest::RunResult;

// Replaces a file without touching the inode it may share with the built game directory.
inline void replace_file(const std::filesystem::path& p, const std::string& bytes) {
    std::error_code ec;
    std::filesystem::remove(p, ec);
    write_file_text(p, bytes);
}

}  // namespace e2e
