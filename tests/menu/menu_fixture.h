// A private game directory for the menu's unit tests: each test runs inside a fresh temporary
// folder holding data/ (and whatever the test writes there), with the menu record reset and the
// profile table emptied.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "game/kv_globals.h"
#include "menu/menu_globals.h"
#include "menu/profiles.h"
#include "support/files.h"

class MenuDir : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        old_ = fs::current_path();
        ASSERT_FALSE(dir_.empty());
        fs::create_directories(dir_ / "data" / "profiles");
        fs::current_path(dir_);
        KV_MENUGLOBALS = KV_MENUGLOBALSTYPE{};
        KVGLOBALSTYPE& g = KVGLOBALS;
        for (PROFILETYPE& p : g.PROFILES) p = PROFILETYPE{};
        for (TECHNOLOGYTYPE& t : g.TECHNOLOGYDATA) t = TECHNOLOGYTYPE{};
        g.CURPROFILE = 0;
        g.MISSIONSTARTED = 0;
        g.EXITCODE = 0;
        g.ALERTTECHNOLOGY = 0;
        g.AIRDROPCOUNT = 0;
        g.CHECKPOINTCOUNT = 1;
        g.AIRDROPDATA.assign(1, AIRDROPTYPE{});
        g.CHECKPOINTDATA.assign(1, CHECKPOINTTYPE{});
        kv_set_enemy_table_owner(-1);
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
    }
    ScratchFolder scratch_{"kv_menu_test"};
    const std::filesystem::path& dir_ = scratch_.path;
    std::filesystem::path old_;
};
