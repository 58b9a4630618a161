// The command line of core (see options.h).
#include "core/options.h"

#include <cerrno>
#include <cstdlib>
#include <cmath>
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

bool parse_real(const char* text, double lo, double hi, double& out) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < lo || v > hi) return false;
    out = v;
    return true;
}

// X,Z[,HEADING]: the position is clamped as the flight clamps it; the heading is in degrees.
bool parse_fly_at(const std::string& text, KV_RUNOPTIONS& out) {
    std::string parts[3];
    int n = 0;
    size_t start = 0;
    while (n < 3) {
        size_t comma = text.find(',', start);
        parts[n++] = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (comma == std::string::npos) break;
        start = comma + 1;
        if (n == 3) return false;  // a fourth field
    }
    if (n < 2) return false;
    double x = 0, z = 0, h = 0;
    if (!parse_real(parts[0].c_str(), 0.0, 513.0, x) || !parse_real(parts[1].c_str(), 0.0, 513.0, z))
        return false;
    if (n == 3 && !parse_real(parts[2].c_str(), -360.0, 360.0, h)) return false;
    out.HAS_FLY_AT = true;
    out.FLY_X = static_cast<float>(x);
    out.FLY_Z = static_cast<float>(z);
    out.HAS_FLY_HEADING = n == 3;
    out.FLY_HEADING = static_cast<float>(h);
    return true;
}
// HOST or HOST:PORT: a host without blanks, slashes or control bytes; port 1-65535 (80 if absent).
bool parse_host_port(const std::string& text, std::string& host, int32_t& port) {
    const size_t colon = text.rfind(':');
    const std::string h = text.substr(0, colon);
    int64_t p = 80;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        if (digits.empty() || digits[0] < '0' || digits[0] > '9') return false;
        if (!parse_whole(digits.c_str(), 1, 65535, p)) return false;
    }
    if (h.empty()) return false;
    for (unsigned char c : h)
        if (c <= 32 || c >= 127 || c == '/' || c == ':') return false;
    host = h;
    port = static_cast<int32_t>(p);
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
        } else if (opt == "--autopilot") {
            out.AUTOPILOT = true;
        } else if (opt == "--fly-mission") {
            if (!value(v)) return false;
            if (!parse_whole(v, 0, 99, n)) {
                error = "--fly-mission " + std::string(v) + ": expected a mission number from 0 to 99";
                return false;
            }
            out.FLY_MISSION = static_cast<int32_t>(n);
        } else if (opt == "--fly-at") {
            if (!value(v)) return false;
            if (!parse_fly_at(v, out)) {
                error = "--fly-at " + std::string(v) +
                        ": expected X,Z or X,Z,HEADING with X and Z from 0 to 513 and a heading "
                        "from -360 to 360 degrees";
                return false;
            }
        } else if (opt == "--fly-fuel") {
            if (!value(v)) return false;
            double f = 0;
            if (!parse_real(v, 0.0, 1.0, f)) {
                error = "--fly-fuel " + std::string(v) + ": expected a tank fraction from 0 to 1";
                return false;
            }
            out.HAS_FLY_FUEL = true;
            out.FLY_FUEL = static_cast<float>(f);
        } else if (opt == "--fly-blast") {
            if (!value(v)) return false;
            if (!parse_whole(v, 1, INT64_C(1) << 40, n)) {
                error = "--fly-blast " + std::string(v) + ": expected a frame number of at least 1";
                return false;
            }
            out.FLY_BLAST = n;
        } else if (opt == "--version-server") {
            if (!value(v)) return false;
            if (!parse_host_port(v, out.VERSION_SERVER_HOST, out.VERSION_SERVER_PORT)) {
                error = "--version-server " + std::string(v) +
                        ": expected HOST or HOST:PORT with a port from 1 to 65535";
                return false;
            }
            out.HAS_VERSION_SERVER = true;
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
        "                      armour= wpn= started= mclock= gclock= alert= box= boxtitle=\n"
        "                      boxmsg= alive= blast= powerup= loading= loadtext= progress=\n"
        "                      airdrops= crates= cps= cpon= inside= locklanding= pickup=\n"
        "                      lockmin= refuel= zip= runners= uswsf= eng= fcp=\n"
        "                      profile= sel= nprof= selmain= selitem= init= loaded= lastfile=\n"
        "                      tiles= research= rstart= techs= nnew= alerttech=\n"
        "                      online= allowcheck= (more keys may follow)\n"
        "  --screenshot N:FILE write frame N (numbered from 1) as a PNG; may be repeated\n"
        "  --fly               skip the menu: run mission 0 for a fresh profile at once\n"
        "  --fly-mission M     with --fly: the pilot's mission (0 to 99) and that mission's clock\n"
        "  --fly-at X,Z[,H]    with --fly: start position (0 to 513, clamped as in flight) and\n"
        "                      heading in degrees (-360 to 360)\n"
        "  --fly-fuel F        with --fly: starting fuel as a tank fraction from 0 to 1\n"
        "  --fly-blast N       with --fly: the current objective's demolition blast goes off\n"
        "                      at frame N (from 1), as when a demolition team is back on board\n"
        "  --version-server HOST[:PORT]\n"
        "                      ask this server (port 80 if not given) for the latest version\n"
        "                      when the online version check is enabled in ver.dat (default:\n"
        "                      the build setting KV_VERSION_SERVER); quick flight never checks\n"
        "\n"
        "Frames are numbered from 1. Input-script events of frame F apply before frame F is\n"
        "processed. Exit status: 0 after a normal quit, 1 when the window cannot be opened,\n"
        "2 for a refused option.\n"
        "Trace text values are percent-encoded: a blank is %20; %, = and bytes outside 33-126\n"
        "are written as %XX, so every line stays blank-separated key=value pairs.\n";
}
