// The key of a flight control in a game directory's settings, under the name the menu suites
// still use; the runs themselves live in support/game_run.h.
#pragma once

#include <filesystem>
#include <string>

#include "support/game_run.h"

inline std::string shipped_key_of(const std::filesystem::path& game, int32_t control) {
    return kvtest::shipped_key_of(control, game);
}
