// The command line of core (see options.h).
#include "game/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

KV_RUNOPTIONS KV_OPTIONS;

namespace {
bool parse_whole(const char* text, int64_t lo, int64_t hi, int64_t& out) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}
}  // namespace

bool kv_parse_options(int argc, const char* const* argv, KV_RUNOPTIONS& out, std::string& error) {
    out = KV_RUNOPTIONS{};
    error.clear();
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i] ? argv[i] : "";
        auto value = [&](const char*& v) {
            if (i + 1 >= argc || !argv[i + 1]) {
                error = opt + " needs a value (see --help)";
                return false;
            }
            v = argv[++i];
            return true;
        };
        const char* v = nullptr;
        int64_t n = 0;
        if (opt == "--help" || opt == "-h") {
            out.HELP = true;
        } else if (opt == "--version") {
            out.VERSION = true;
        } else if (opt == "--fly") {
            out.FLY = true;
        } else if (opt == "--dir") {
            if (!value(v)) return false;
            if (!*v) { error = "--dir needs a directory"; return false; }
            out.DIR = v;
        } else if (opt == "--seed") {
            if (!value(v)) return false;
            if (!parse_whole(v, 0, 4294967295LL, n)) {
                error = "--seed " + std::string(v) + ": expected a whole number from 0 to 4294967295";
                return false;
            }
            out.HAS_SEED = true;
            out.SEED = static_cast<uint32_t>(n);
        } else if (opt == "--fixed-step") {
            if (!value(v)) return false;
            if (!parse_whole(v, 1, 1000, n)) {
                error = "--fixed-step " + std::string(v) + ": expected milliseconds from 1 to 1000";
                return false;
            }
            out.FIXED_STEP = static_cast<int32_t>(n);
        } else if (opt == "--frames") {
            if (!value(v)) return false;
            if (!parse_whole(v, 1, INT64_C(1) << 40, n)) {
                error = "--frames " + std::string(v) + ": expected a frame count of at least 1";
                return false;
            }
            out.FRAMES = n;
        } else if (opt == "--input") {
            if (!value(v)) return false;
            out.INPUT = v;
        } else if (opt == "--trace") {
            if (!value(v)) return false;
            out.TRACE = v;
        } else if (opt == "--screenshot") {
            if (!value(v)) return false;
            const char* colon = std::strchr(v, ':');
            std::string frame = colon ? std::string(v, colon) : std::string();
            if (!colon || !parse_whole(frame.c_str(), 1, INT64_C(1) << 40, n) || !colon[1]) {
                error = "--screenshot " + std::string(v) + ": expected N:FILE with a frame N from 1";
                return false;
            }
            out.SCREENSHOTS.emplace_back(n, std::string(colon + 1));
        } else {
            error = "unknown option " + opt + " (see --help)";
            return false;
        }
    }
    return true;
}

std::string kv_usage_text() {
    return
        "Usage: core [options]\n"
        "Kessra Vorn. Without options the game runs in the directory that holds this program.\n"
        "\n"
        "  --help              show this text and leave\n"
        "  --version           show the version and leave\n"
        "  --dir DIR           game directory (default: the directory of the executable)\n"
        "  --seed N            fixed random seed, 0 to 4294967295 (default: seeded from the clock)\n"
        "  --fixed-step MS     virtual clock: every frame advances MS milliseconds (1 to 1000),\n"
        "                      no sleeping\n"
        "  --frames N          leave through the normal shutdown after N frames, exit status 0\n"
        "  --input FILE        scripted keys and controllers instead of the live ones; one event\n"
        "                      per line: FRAME key NAME 0|1, FRAME joy J present 0|1,\n"
        "                      FRAME joy J axis A VALUE, FRAME joy J button B 0|1 (# comments;\n"
        "                      key names are GLFW's without the prefix: UP, ENTER, A, KP_8)\n"
        "  --trace FILE        write one line per frame: frame= ms= menu= exit= x= y= z=\n"
        "                      heading= landed= fuel= ammo= rockets= mission= objective=\n"
        "  --screenshot N:FILE write frame N (numbered from 1) as a PNG; may be repeated\n"
        "  --fly               skip the menu: run mission 0 for a fresh profile at once\n"
        "\n"
        "Frames are numbered from 1. Input-script events of frame F apply before frame F is\n"
        "processed. Exit status: 0 after a normal quit, 1 when the window cannot be opened,\n"
        "2 for a refused option.\n";
}
