// Damaged enemy files must never crash the loaders or leave a table that the update and the
// drawing would index outside: truncated, byte-flipped, field-replaced and shuffled variants of
// a layout and of a profile file. Runs under the sanitizers.
#include "engine/engine_globals.h"
#include "game/enemies.h"
#include "game/kv_globals.h"
#include "platform/clock.h"
#include "platform/random.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string layout_sample() {
    std::string t = "11\r\n3\r\n";
    for (int i = 0; i < 12; ++i) {
        t += std::to_string(100 + 3 * i) + ".5,6.5," + std::to_string(200 - 2 * i) + ",1,0," + std::to_string(i * 30) +
             ",0," + std::to_string(i % 4 == 1 ? 100 : 6) + "," + std::to_string(i % 4) + "\r\n";
    }
    return t;
}

std::vector<std::string> fields_of(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : text) {
        if (c == ',' || c == '\n') {
            out.push_back(cur);
            cur.clear();
        } else if (c != '\r') {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

std::string join(const std::vector<std::string>& f) {
    std::string t;
    for (const std::string& s : f) t += s + "\r\n";
    return t;
}

// The table holds only what update and drawing can use safely.
void expect_table_sane(const std::string& what) {
    ASSERT_GE(KVGLOBALS.MAXENEMIES, -1) << what;
    ASSERT_LT(KVGLOBALS.MAXENEMIES, ENEMY_SLOTS) << what;
    ASSERT_GE(KVGLOBALS.LASTENEMY, 0) << what;
    ASSERT_LT(KVGLOBALS.LASTENEMY, ENEMY_SLOTS) << what;
    for (int32_t i = 0; i <= KVGLOBALS.MAXENEMIES; ++i) {
        const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        ASSERT_TRUE(e.ACTIVE == 0 || e.ACTIVE == 1) << what << " slot " << i;
        ASSERT_GE(e.CLASS, 0) << what;
        ASSERT_LT(e.CLASS, ENEMYCLASS_SLOTS) << what;
        ASSERT_GE(e.STANCE, 0) << what;
        ASSERT_LE(e.STANCE, 2) << what;
    }
}

TEST(EnemiesRobust, MutatedLayoutAndProfileFiles) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kv_enemies_robust_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "layout.dat").string();
    platform_random_seed(5);
    platform_clock_use_fixed_step(16);
    FPSR = 1.0f;

    const std::string base = layout_sample();
    {
        std::ofstream(path, std::ios::binary) << base;
    }
    ASSERT_TRUE(enemies_layout_load_file(path));
    const std::string ppath = (dir / "profile.dat").string();
    ASSERT_TRUE(enemies_export_file(ppath));
    std::string pbase;
    {
        std::ifstream f(ppath, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        pbase = s.str();
    }

    std::mt19937 rng(20260);
    const std::vector<std::string> odd = {"", "-1", "1000", "99999999999", "-2147483649", "1e39", "-1e39", "nan", "inf",
                                          "2.5", "abc", "\"1,2\"", "0x10", "   ", "-0", "100", "80", "3"};
    for (int round = 0; round < 600; ++round) {
        const bool profile = round % 2 == 1;
        const std::string& src = profile ? pbase : base;
        std::string text;
        switch (round % 8 / 2) {
            case 0: text = src.substr(0, rng() % (src.size() + 1)); break;
            case 1: {
                text = src;
                for (int k = 0; k < 1 + static_cast<int>(rng() % 6); ++k) text[rng() % text.size()] = static_cast<char>(rng());
                break;
            }
            case 2: {
                std::vector<std::string> f = fields_of(src);
                for (int k = 0; k < 1 + static_cast<int>(rng() % 3); ++k) f[rng() % f.size()] = odd[rng() % odd.size()];
                text = join(f);
                break;
            }
            default: {
                std::vector<std::string> f = fields_of(src);
                std::shuffle(f.begin() + 2, f.end(), rng);
                if (rng() % 2) f.erase(f.begin() + 2 + rng() % (f.size() - 2));
                text = join(f);
                break;
            }
        }
        const std::string p = (dir / "m.dat").string();
        {
            std::ofstream(p, std::ios::binary) << text;
        }
        testing::internal::CaptureStderr();
        if (profile) enemies_import_file(p);
        else enemies_layout_load_file(p);
        testing::internal::GetCapturedStderr();
        expect_table_sane("round " + std::to_string(round));
        // Play a few frames around the enemies with the damaged table in place.
        for (int k = 0; k < 3; ++k) {
            KVGLOBALS.PLAYERX = 100.0f + static_cast<float>(rng() % 40);
            KVGLOBALS.PLAYERZ = 190.0f + static_cast<float>(rng() % 20);
            platform_clock_advance_frame();
            KV_ENEMIES_UPDATE();
        }
        if (HasFatalFailure()) break;
    }
    platform_clock_use_live();
    std::filesystem::remove_all(dir);
}

}  // namespace
