// kvdata check DIR: validates a whole game directory and prints one line per problem found
// (exit status 1 if there is any). It checks that every data file exists and parses, that the
// map has its size and boundary frame and well-formed buildings, that the enemy layout and the
// mission files agree with the map (kill ranges name infantry only, every coordinate is inside
// the playable area, landing check points stand on landable cells), that research
// prerequisites resolve, that the credits, version, settings and control-name files are well
// formed, that every font has its 95 glyphs and that every mesh named in models.dat loads.
#include "kvdata.h"

#include "check_common.h"
#include "check_mesh.h"
#include "config/config.h"
#include "config/control_codes.h"
#include "engine/png.h"

#include <filesystem>
#include <set>

namespace kvcheck {

// The names the config tool shows for binding codes 0-99: field k is the name of code k, so a
// missing line or a comma (which splits a line in two) shifts every later name onto the wrong key.
void check_control_names(const std::string& dir, Problems& p) {
    const std::string name = "data/config/controlName.dat";
    std::string bytes;
    if (!read_file(dir + "/" + name, bytes)) {
        p.add(name, "missing");
        return;
    }
    const std::vector<Field> f = read_fields(bytes);
    for (const Field& field : f) {
        if (field.after_comma) {
            p.add(name, "line " + std::to_string(field.line) + ": a comma splits the name; every later code shows the wrong name");
            return;
        }
        if (field.text.empty()) p.add(name, "line " + std::to_string(field.line) + ": code " + std::to_string(field.line - 1) + " has no name");
    }
    if (f.size() != 100) p.add(name, "has " + std::to_string(f.size()) + " names; binding codes 0-99 need exactly 100");
}

// The settings the game reads first, read by the game's own settings reader: 55 values in a
// fixed order (screen, input type, six axis calibrations, controller, 13 control codes, 24
// display options). A value the reader refuses takes its default in the game, and a value the
// game cannot use (a depth other than 16 or 32, a full-screen flag other than 0 or 1) stops it
// from opening its window.
void check_config_vars(const std::string& dir, Problems& p) {
    const std::string name = CONFIG_FILE_NAME;
    CONFIGVARTYPE cfg;
    ConfigReadReport report;
    const ConfigReadStatus status = config_read(cfg, dir + "/" + name, &report);
    if (status == ConfigReadStatus::MISSING || status == ConfigReadStatus::UNREADABLE) {
        p.add(name, "missing");
        return;
    }
    if (report.values != CONFIG_FILE_LINES) {
        p.add(name, "has " + std::to_string(report.values) + " values; the game reads " + std::to_string(CONFIG_FILE_LINES));
        if (report.values < CONFIG_FILE_LINES) return;
    }
    // The game takes its shipped default for a refused value: the file does not say what it seems to.
    for (const ConfigRefusedValue& r : report.refused)
        p.add(name, "line " + std::to_string(r.value) + ": '" + r.text + "' " +
                        (r.out_of_range ? "is out of range" : "is not a number on a line of its own") +
                        "; the game takes the default");
    if (!report.refused.empty()) return;
    if (cfg.XRES < 1 || cfg.YRES < 1 || cfg.XRES > CONFIG_MAX_SCREEN_SIDE || cfg.YRES > CONFIG_MAX_SCREEN_SIDE)
        p.add(name, "screen size " + std::to_string(cfg.XRES) + " x " + std::to_string(cfg.YRES) + " cannot open a window (1-" +
                        std::to_string(CONFIG_MAX_SCREEN_SIDE) + " a side)");
    if (cfg.NBITS != 16 && cfg.NBITS != 32) p.add(name, "colour depth " + std::to_string(cfg.NBITS) + " is neither 16 nor 32");
    if (cfg.FULLSCREEN != 0 && cfg.FULLSCREEN != 1) p.add(name, "full-screen flag " + std::to_string(cfg.FULLSCREEN) + " is neither 0 nor 1");
    if (cfg.INPUTTYPE != 0 && cfg.INPUTTYPE != 1)
        p.add(name, "input type " + std::to_string(cfg.INPUTTYPE) + " is neither 0 (keyboard) nor 1 (controller)");
    for (int a = 0; a < PLATFORM_JOYAXES; ++a)
        if (!(cfg.AXISMIN[a] < 0) || !(cfg.AXISMAX[a] > 0))
            p.add(name, "axis " + std::to_string(a) + fmt(" calibration %g / %g", cfg.AXISMIN[a], cfg.AXISMAX[a]) +
                            " is not a negative minimum and a positive maximum");
    if (cfg.JOYSTICK < 0 || cfg.JOYSTICK >= PLATFORM_JOYSTICKS)
        p.add(name, "controller number " + std::to_string(cfg.JOYSTICK) + " is outside 0-" + std::to_string(PLATFORM_JOYSTICKS - 1));
    // The controls before the spare one are read by the game; a code of the other input kind
    // never registers.
    const bool keys = cfg.INPUTTYPE == 0;
    std::map<int, int> bound;
    for (int c = 0; c < CTRL_SPARE; ++c) {
        const int code = cfg.CONTROL[c];
        const std::string text = std::to_string(code);
        if (code < 0 || code >= CONTROL_CODE_COUNT) {
            p.add(name, "control " + std::to_string(c) + " has code " + text + ", outside 0-" + std::to_string(CONTROL_CODE_COUNT - 1));
            continue;
        }
        if (code == 0) p.add(name, "control " + std::to_string(c) + " is not bound");
        else if (keys != (control_code_info(code).KIND == ControlKind::KEY))
            p.add(name, "control " + std::to_string(c) + " code " + text + " is of the other input type and never registers");
        else if (bound.count(code)) p.add(name, "controls " + std::to_string(bound[code]) + " and " + std::to_string(c) + " share code " + text);
        else bound[code] = c;
    }
    const int fsaa = cfg.DISPLAYOPTION[DISPOPT_FSAA];
    if (fsaa < 0 || fsaa > 3) p.add(name, "anti-aliasing option " + std::to_string(fsaa) + " is outside 0-3");
}

}  // namespace kvcheck

namespace {

using namespace kvcheck;

// ---------------------------------------------------------------- small text files

void check_credits_and_version(const std::string& dir, Problems& p) {
    std::string bytes;
    if (!read_file(dir + "/credits.txt", bytes)) p.add("credits.txt", "missing");
    else {
        const std::vector<Field> lines = read_fields(bytes);
        const size_t n = lines.size();
        if (n == 0) p.add("credits.txt", "is empty");
        for (const Field& f : lines)
            if (f.after_comma) p.add("credits.txt", "line " + std::to_string(f.line) + ": a comma splits the line in two on the credits screen");
        if (n > 100) p.add("credits.txt", "has " + std::to_string(n) + " lines; the credits screen shows at most 100");
    }
    if (!read_file(dir + "/ver.dat", bytes)) {
        p.add("ver.dat", "missing");
        return;
    }
    const std::vector<Field> f = read_fields(bytes);
    if (f.size() < 2 || f[0].text.empty()) {
        p.add("ver.dat", "needs two lines: the version and the check choice");
        return;
    }
    if (f[1].after_comma) p.add("ver.dat", "the version text holds a comma");
    bool ok = false;
    const double v = number(f[1].text, ok);
    if (!f[1].after_comma && (!ok || (v != -1 && v != 0 && v != 1))) p.add("ver.dat", "line 2 '" + f[1].text + "' is not -1, 0 or 1");
}

// ---------------------------------------------------------------- images and fonts

// Width and height of a picture the game's own PNG reader decodes; false when it refuses it.
bool png_size(const std::string& path, int& w, int& h) {
    const PngImage img = png_load(path);
    if (!img || img.width == 0 || img.height == 0 || img.width > 1u << 20 || img.height > 1u << 20) return false;
    w = static_cast<int>(img.width);
    h = static_cast<int>(img.height);
    return true;
}

void check_images_and_fonts(const std::string& dir, Problems& p) {
    int w = 0, h = 0;
    const std::string mini = "data/maps/0/minimap.png";
    if (!std::filesystem::exists(dir + "/" + mini)) p.add(mini, "missing");
    else if (!png_size(dir + "/" + mini, w, h)) p.add(mini, "is not a PNG image");
    else if ((w & (w - 1)) || (h & (h - 1))) p.add(mini, fmt("is %g x %g; the texture needs power-of-two sides", w, h));

    // The menu pictures and the explosion frames (0-5 fireballs, 6 smoke).
    std::vector<std::string> pictures = {"data/menu/mission.png", "data/menu/worldmap.png", "data/menu/gunship.png"};
    for (int k = 0; k <= 6; ++k) pictures.push_back("data/explosion/" + std::to_string(k) + ".png");
    for (const std::string& pic : pictures) {
        if (!std::filesystem::exists(dir + "/" + pic)) p.add(pic, "missing");
        else if (!png_size(dir + "/" + pic, w, h)) p.add(pic, "is not a PNG image");
    }

    const std::string fonts = dir + "/data/fontimg";
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(fonts, ec))
        if (e.is_directory()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    if (std::find(names.begin(), names.end(), "vera") == names.end()) p.add("data/fontimg/vera", "missing (the game's text font)");
    for (const std::string& font : names) {
        int missing = 0, wrong = 0;
        for (int c = 32; c <= 126; ++c) {
            const std::string glyph = fonts + "/" + font + "/" + std::to_string(c) + ".png";
            if (!std::filesystem::exists(glyph)) ++missing;
            else if (!png_size(glyph, w, h) || w != 16 || h != 16) ++wrong;
        }
        if (missing) p.add("data/fontimg/" + font, "lacks " + std::to_string(missing) + " of the 95 glyphs");
        if (wrong) p.add("data/fontimg/" + font, std::to_string(wrong) + " glyphs are not 16 x 16 PNG images");
    }

    const std::string seg = "data/font3d/fontData.dat";
    std::string bytes;
    if (!read_file(dir + "/" + seg, bytes)) {
        p.add(seg, "missing");
        return;
    }
    std::set<char> glyphs;
    const std::vector<Field> f = read_fields(bytes);
    static const std::string cells = "0BFOWTfowt";
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i].text.size() != 1 || f[i].text[0] == '\'') continue;
        const char g = f[i].text[0];
        bool rows_ok = i + 7 < f.size();
        for (size_t r = 1; rows_ok && r <= 7; ++r) {
            const std::string& row = f[i + r].text;
            rows_ok = row.size() == 5 && row.find_first_not_of(cells) == std::string::npos;
        }
        if (!rows_ok) p.add(seg, std::string("glyph '") + g + "' is not followed by seven rows of five cells");
        else glyphs.insert(g);
        i += 7;
    }
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ[]-"))
        if (!glyphs.count(c)) p.add(seg, std::string("lacks glyph '") + c + "'");
}

int run_check(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvdata check DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!std::filesystem::is_directory(dir)) {
        std::printf("%s: not a directory\n", dir.c_str());
        return 1;
    }
    Problems p;
    MapData map;
    check_map(dir, map, p);
    if (map.loaded) {
        fill_reach(map, static_cast<int>(START_X), static_cast<int>(START_Z));
        if (!map.reach[static_cast<int>(START_Z) * GRID + static_cast<int>(START_X)])
            p.add("0.map", fmt("the new-profile start (%g, %g) is blocked by a wall or building", START_X, START_Z));
    }
    check_lookup(dir, p);
    std::vector<Enemy> enemies;
    check_enemies(dir, map, enemies, p);
    float from[2] = {START_X, START_Z};
    Campaign campaign;
    campaign.claimed.assign(enemies.size(), "");
    for (int m = 0; m < MISSION_CAMPAIGN_FILES; ++m) check_mission(dir, m, map, enemies, from, campaign, p);
    check_research(dir, p);
    check_control_names(dir, p);
    check_config_vars(dir, p);
    check_credits_and_version(dir, p);
    check_images_and_fonts(dir, p);
    std::vector<std::string> mesh_lines;
    check_meshes(dir, mesh_lines);
    for (const std::string& l : mesh_lines) {
        const size_t colon = l.find(": ");
        p.add(colon == std::string::npos ? "meshes" : l.substr(0, colon), colon == std::string::npos ? l : l.substr(colon + 2));
    }
    p.finish();
    for (const std::string& line : p.lines) std::printf("%s\n", line.c_str());
    if (!p.lines.empty()) {
        int total = 0;
        for (const auto& entry : p.per_file) total += entry.second;
        std::printf("kvdata check: %d problem%s in %s\n", total, total == 1 ? "" : "s", dir.c_str());
        return 1;
    }
    std::printf("kvdata check: %s is complete and consistent\n", dir.c_str());
    return 0;
}

}  // namespace

KVDATA_COMMAND("check", "DIR  validate a game directory: one line per problem, exit status 1 if any", run_check);
