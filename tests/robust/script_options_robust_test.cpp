// Damaged input scripts and command lines must never crash or let an out-of-range value
// through: mutated and random script text, huge numbers, and random argument lists. This suite
// also runs under AddressSanitizer and UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/options.h"
#include "platform/input.h"
#include "platform/script.h"

namespace {
void expect_events_in_range(const SCRIPTPARSE& s) {
    int64_t previous = -1;
    for (const SCRIPTEVENT& e : s.EVENTS) {
        EXPECT_GE(e.FRAME, previous);
        previous = e.FRAME;
        EXPECT_GE(e.JOY, 0);
        EXPECT_LT(e.JOY, PLATFORM_JOYSTICKS);
        EXPECT_GE(e.VALUE, -1.0f);
        EXPECT_LE(e.VALUE, 1.0f);
        if (e.KIND == ScriptEventKind::JOY_AXIS) {
            EXPECT_LT(e.INDEX, PLATFORM_JOYAXES);
        } else if (e.KIND == ScriptEventKind::JOY_BUTTON) {
            EXPECT_LT(e.INDEX, PLATFORM_JOYBUTTONS);
        } else if (e.KIND == ScriptEventKind::KEY) {
            EXPECT_GE(e.KEY, 0);
        }
    }
}
}  // namespace

TEST(ScriptRobustness, MutatedAndRandomScriptsStayInRange) {
    const std::string seed_text =
        "1 key UP 1\n2 joy 3 present 1\n2 joy 3 axis 5 -0.75\n3 joy 3 button 31 1\n"
        "99999999999999999999 key A 1\n4 joy 3 axis 2 1e39\n5 joy -2147483649 present 1\n";
    const std::string alphabet = "0123456789 -.e+#\n\r\tkeyjoyaxisbuttonpresentUPKP_8\x01\xff";
    std::mt19937 rng(12345);
    for (int round = 0; round < 400; ++round) {
        std::string text = seed_text;
        const int edits = 1 + static_cast<int>(rng() % 12);
        for (int e = 0; e < edits; ++e) {
            size_t at = rng() % (text.size() + 1);
            switch (rng() % 3) {
                case 0: text.insert(at, 1, alphabet[rng() % alphabet.size()]); break;
                case 1: if (at < text.size()) text.erase(at, 1); break;
                default: if (at < text.size()) text[at] = static_cast<char>(rng() & 0xff); break;
            }
        }
        SCRIPTPARSE s = script_parse(text, "mutated");
        expect_events_in_range(s);
        platform_input_use_script(s);
        platform_input_apply_frame(INT64_MAX);
    }
    std::string noise(20000, '\0');
    for (char& c : noise) c = static_cast<char>(rng() & 0xff);
    expect_events_in_range(script_parse(noise, "noise"));
    platform_input_use_script(SCRIPTPARSE{});
}

TEST(OptionsRobustness, RandomArgumentListsAreReadOrRefusedWithAReason) {
    const std::vector<std::string> words = {"--dir", "--seed", "--fixed-step", "--frames", "--input",
                                            "--trace", "--screenshot", "--fly", "--help", "1",
                                            "-1", "0:x", "99999999999999999999", "", ":", "5:"};
    std::mt19937 rng(777);
    for (int round = 0; round < 500; ++round) {
        std::vector<std::string> args = {"core"};
        const int n = static_cast<int>(rng() % 7);
        for (int i = 0; i < n; ++i) args.push_back(words[rng() % words.size()]);
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        KV_RUNOPTIONS o;
        std::string error;
        if (kv_parse_options(static_cast<int>(argv.size()), argv.data(), o, error)) {
            EXPECT_TRUE(error.empty());
            EXPECT_GE(o.FRAMES, 0);
            EXPECT_GE(o.FIXED_STEP, 0);
            EXPECT_LE(o.FIXED_STEP, 1000);
            for (const auto& shot : o.SCREENSHOTS) {
                EXPECT_GE(shot.first, 1);
                EXPECT_FALSE(shot.second.empty());
            }
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}
