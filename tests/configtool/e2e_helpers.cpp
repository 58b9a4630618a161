// Helpers of the configuration tool's end-to-end tests (see e2e_helpers.h).
#include "e2e_helpers.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cfg_font.h"
#include "engine/png.h"

namespace fs = std::filesystem;

namespace e2e {

std::string config_program() { return std::string(KV_GAME_DIR) + "/config"; }

std::string screens_dir() {
    const std::string d = std::string(KV_BUILD_DIR) + "/configtool_screens";
    fs::create_directories(d);
    return d;
}

std::string make_game_dir(const std::string& name) {
    std::string leaf = "configtool_" + name;
    for (char& c : leaf)
        if (c == '/') c = '_';
    // A folder of its own (mkdtemp), so two checkouts running the suite at once never share
    // one; all of them go when the program ends.
    static std::vector<fs::path> made;
    if (made.empty()) std::atexit([] {
        std::error_code ec;
        for (const fs::path& d : made) fs::remove_all(d, ec);
    });
    std::string tmpl = (fs::path(::testing::TempDir()) / (leaf + "_XXXXXX")).string();
    if (!mkdtemp(tmpl.data())) ADD_FAILURE() << "cannot make a folder like " << tmpl;
    const fs::path dir = tmpl;
    made.push_back(dir);
    fs::create_directories(dir / "data" / "fontimg");
    const fs::path game = KV_GAME_DIR;
    if (fs::exists(game / "configVars.dat")) fs::copy_file(game / "configVars.dat", dir / "configVars.dat");
    if (fs::exists(game / "data" / "config"))
        fs::copy(game / "data" / "config", dir / "data" / "config", fs::copy_options::recursive);
    if (fs::exists(game / "data" / "fontimg" / "vera12"))
        fs::copy(game / "data" / "fontimg" / "vera12", dir / "data" / "fontimg" / "vera12", fs::copy_options::recursive);
    return dir.string();
}

bool file_exists(const std::string& path) { return fs::exists(path); }

std::string join_lines(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    return s;
}

std::vector<std::string> split_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> sample_config_lines() {
    std::vector<std::string> l = {" 1024", " 768", " 32", " 1", " 0"};
    const char* axes[12] = {"-0.9921875", " 0.75", "-1", " 1", "-0.5", " 0.25",
                            "-0.125",     " 0.5",  " 0", " 0", "-0.0078125", " 1"};
    for (const char* a : axes) l.push_back(a);
    l.push_back(" 0");  // JOYSTICK
    const int controls[13] = {86, 87, 29, 32, 84, 85, 79, 81, 80, 60, 61, 75, 12};
    for (int c : controls) l.push_back(std::string(" ").append(std::to_string(c)));
    for (int i = 0; i < 24; ++i) {
        int v = (i * 7) % 5;
        if (i == 6) v = 1;
        if (i == 7) v = 1;
        if (i == 21) v = -3;
        if (i == 22) v = 127;
        l.push_back(v < 0 ? std::to_string(v) : std::string(" ").append(std::to_string(v)));
    }
    return l;
}

int32_t FontWidths::len(const std::string& text) const { return text_width(width, text); }

FontWidths measure_font(const std::string& dir) {
    FontWidths f;
    for (int code = 32; code <= 126; ++code) {
        bool ink[GLYPH_CELL * GLYPH_CELL] = {};
        const PngImage img = png_load(dir + "/data/fontimg/vera12/" + std::to_string(code) + ".png");
        if (img) {
            const bool alpha = img.color_type == 4 || img.color_type == 6;
            for (uint32_t y = 0; y < img.height && y < static_cast<uint32_t>(GLYPH_CELL); ++y)
                for (uint32_t x = 0; x < img.width && x < static_cast<uint32_t>(GLYPH_CELL); ++x) {
                    // Rows are stored bottom-up.
                    const uint8_t* p = &img.pixels[((img.height - 1 - y) * img.width + x) * 4];
                    const bool background = p[0] == 255 && p[1] == 255 && p[2] == 255 && (!alpha || p[3] == 0);
                    ink[y * GLYPH_CELL + x] = !background;
                }
        }
        int32_t minx = 0;
        glyph_extent(ink, minx, f.width[code - 32]);
        if (code == 32) f.width[0] = SPACE_WIDTH;
    }
    return f;
}

void Script::line(int64_t f, const std::string& event) { text += std::to_string(f) + " " + event + "\n"; }

void Script::click(int32_t x, int32_t y) {
    line(frame, "mouse " + std::to_string(x) + " " + std::to_string(y));
    line(frame + 1, "button 1 1");
    line(frame + 2, "button 1 0");
    frame += 4;
}

void Script::capture(int32_t x, int32_t y, const std::vector<std::string>& keys) {
    std::vector<std::string> press, release;
    for (const std::string& k : keys) {
        press.push_back("key " + k + " 1");
        release.push_back("key " + k + " 0");
    }
    capture_events(x, y, press, release);
}

void Script::capture_events(int32_t x, int32_t y, const std::vector<std::string>& press,
                            const std::vector<std::string>& release) {
    line(frame, "mouse " + std::to_string(x) + " " + std::to_string(y));
    line(frame + 1, "button 1 1");
    line(frame + 2, "button 1 0");
    // The capture ignores everything for 200 ms (20 frames of the virtual clock) after the click.
    for (const std::string& e : press) line(frame + 30, e);
    for (const std::string& e : release) line(frame + 33, e);
    frame += 36;
}

RunResult run_config(const std::string& dir, const Script& script, int64_t frames, const std::string& extra) {
    RunResult r;
    const std::string script_path = dir + "/input.txt";
    const std::string out_path = dir + "/output.txt";
    write_file_text(script_path, script.text);
    std::string cmd;
    if (std::getenv("DISPLAY") == nullptr) cmd += "SDL_VIDEODRIVER=dummy ";
    cmd += std::string("'") + config_program() + "' --dir '" + dir + "' --frames " + std::to_string(frames) + " --input '" +
           script_path + "' " + extra + " > '" + out_path + "' 2>&1";
    const int status = std::system(cmd.c_str());
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.output = read_file_text(out_path);
    return r;
}

bool Shot::near(int32_t x, int32_t y, int r, int g, int b, int tolerance) const {
    if (x < 0 || y < 0 || static_cast<uint32_t>(x) >= width || static_cast<uint32_t>(y) >= height) return false;
    const uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

Shot load_shot(const std::string& path) {
    Shot s;
    PngImage img = png_load(path);
    if (!img) return s;
    s.width = img.width;
    s.height = img.height;
    png_flip_rows(img.pixels.get(), img.width, img.height);
    s.rgba.assign(img.pixels.get(), img.pixels.get() + static_cast<std::size_t>(img.width) * img.height * 4);
    return s;
}

}  // namespace e2e
