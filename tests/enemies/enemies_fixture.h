// Test helpers for the enemy suite: a fresh enemy table, a sloped synthetic map so ground
// heights differ from place to place, a scratch folder, and a table snapshot to compare against.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_globals.h"
#include "game/enemies.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "world/ground.h"
#include "world/map.h"
#include "support/files.h"
#include "support/world_fixture.h"

inline void enemies_reset_table() {
    for (ENEMYTYPE& e : KVGLOBALS.ENEMIES) e = ENEMYTYPE{};
    KVGLOBALS.MAXENEMIES = -1;
    KVGLOBALS.MAXENEMYCLASS = 0;
    KVGLOBALS.LASTENEMY = 0;
}

// KV_FINDMAPY varies over the island.
inline void enemies_sloped_map() { sloped_island(); }

inline std::string enemies_scratch_dir(const std::string& name) {
    const std::filesystem::path p =
        std::filesystem::temp_directory_path() / ("kv_enemies_" + std::to_string(getpid()) + "_" + name);
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p.string();
}

struct EnemyTableSnapshot {
    int32_t maxenemies = 0, maxclass = 0, last = 0;
    std::vector<ENEMYTYPE> slots;
};

inline EnemyTableSnapshot enemies_snapshot() {
    EnemyTableSnapshot s;
    s.maxenemies = KVGLOBALS.MAXENEMIES;
    s.maxclass = KVGLOBALS.MAXENEMYCLASS;
    s.last = KVGLOBALS.LASTENEMY;
    s.slots.assign(std::begin(KVGLOBALS.ENEMIES), std::end(KVGLOBALS.ENEMIES));
    return s;
}

inline bool enemies_same(const ENEMYTYPE& a, const ENEMYTYPE& b, bool nextround = true) {
    return a.POSITION.X == b.POSITION.X && a.POSITION.Y == b.POSITION.Y && a.POSITION.Z == b.POSITION.Z &&
           a.ANGLE.X == b.ANGLE.X && a.ANGLE.Y == b.ANGLE.Y && a.ANGLE.Z == b.ANGLE.Z && a.ACTIVE == b.ACTIVE &&
           a.CLASS == b.CLASS && a.HEALTH == b.HEALTH && a.MAXHP == b.MAXHP && a.STANCE == b.STANCE &&
           (!nextround || a.NEXTROUND == b.NEXTROUND);
}

inline void expect_table_is(const EnemyTableSnapshot& s, const std::string& what) {
    EXPECT_EQ(KVGLOBALS.MAXENEMIES, s.maxenemies) << what;
    EXPECT_EQ(KVGLOBALS.MAXENEMYCLASS, s.maxclass) << what;
    for (int32_t i = 0; i < ENEMY_SLOTS; ++i)
        if (!enemies_same(KVGLOBALS.ENEMIES[i], s.slots[i])) {
            ADD_FAILURE() << what << ": slot " << i << " changed";
            return;
        }
}
