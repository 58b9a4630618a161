// Command-line parsing of the configuration tool (see cfg_options.h).
#include "cfg_options.h"

#include <cerrno>
#include <cstdlib>

namespace {

bool parse_count(const std::string& s, int64_t lo, int64_t hi, int64_t& out) {
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (s.empty() || errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

}  // namespace

const char* options_usage() {
    return "Usage: config [options]\n"
           "Edits the game's settings file configVars.dat in the game directory.\n"
           "\n"
           "Options:\n"
           "  --help                 show this text and exit\n"
           "  --version              show the version and exit\n"
           "  --dir DIR              game directory (default: the directory holding config)\n"
           "  --frames N             leave after N frames (exit status 0)\n"
           "  --input FILE           take keys, mouse and controllers from a script instead of\n"
           "                         the devices; one event a line, '#' starts a comment:\n"
           "                           FRAME key NAME 0|1        (GLFW key name: W, KP_8, ESCAPE)\n"
           "                           FRAME mouse X Y\n"
           "                           FRAME button 1|2|3 0|1    (1 left, 2 middle, 3 right)\n"
           "                           FRAME joy J present 0|1\n"
           "                           FRAME joy J axis A VALUE  (outside -1..1: axis absent)\n"
           "                           FRAME joy J button B 0|1\n"
           "                         with a script the clock is virtual (see --fixed-step)\n"
           "  --fixed-step MS        virtual clock: every frame advances MS milliseconds and\n"
           "                         nothing sleeps (default 10 with --input)\n"
           "  --modes FILE           screen modes to offer instead of the display's, one a line:\n"
           "                         BITS WIDTH HEIGHT (BITS 16, 24 or 32), in the order the\n"
           "                         display would list them\n"
           "  --screenshot N:FILE    write the window at frame N as a PNG file (repeatable)\n";
}

bool options_parse(int argc, const char* const* argv, TOOLOPTIONS& o, std::string& error) {
    o = TOOLOPTIONS{};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            o.HELP = true;
        } else if (a == "--version") {
            o.VERSION = true;
        } else if (a == "--dir") {
            if (!value(o.DIR)) return false;
            if (o.DIR.empty()) { error = "--dir needs a directory"; return false; }
        } else if (a == "--frames") {
            if (!value(v)) return false;
            if (!parse_count(v, 0, INT64_MAX / 2, o.FRAMES)) { error = "--frames needs a count, not \"" + v + "\""; return false; }
        } else if (a == "--input") {
            if (!value(o.INPUT)) return false;
        } else if (a == "--modes") {
            if (!value(o.MODES)) return false;
        } else if (a == "--fixed-step") {
            int64_t ms = 0;
            if (!value(v)) return false;
            if (!parse_count(v, 1, 60000, ms)) { error = "--fixed-step needs milliseconds 1-60000, not \"" + v + "\""; return false; }
            o.FIXEDSTEP = static_cast<int32_t>(ms);
        } else if (a == "--screenshot") {
            if (!value(v)) return false;
            const std::size_t colon = v.find(':');
            int64_t frame = 0;
            if (colon == std::string::npos || colon + 1 >= v.size() ||
                !parse_count(v.substr(0, colon), 0, INT64_MAX / 2, frame)) {
                error = "--screenshot needs N:FILE, not \"" + v + "\"";
                return false;
            }
            o.SCREENSHOTS.emplace_back(frame, v.substr(colon + 1));
        } else {
            error = "unknown option \"" + a + "\" (see --help)";
            return false;
        }
    }
    if (!o.INPUT.empty() && o.FIXEDSTEP == 0) o.FIXEDSTEP = 10;
    return true;
}
