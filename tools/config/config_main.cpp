// The configuration tool's entry: options, start-up (window, images, font, screen modes,
// controllers, binding names, the settings file, the tab backgrounds), the frame loop and
// shutdown. Also owns the frame machinery that --input, --frames and --screenshot rely on:
// the input sample of each frame (devices or script), the virtual clock and the screenshots.
#include <SDL_image.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "config_tool.h"
#include "engine/png_write.h"

namespace config_tool {

// ---------------------------------------------------------------- program-wide state

SDL_Surface* VIDEO = nullptr;
SDL_Surface* VIDEOBUFFER = nullptr;
SDL_Surface* WINBUFFER[3] = {};
int32_t UPDWINBUFFER = 0;
int32_t WIN = 0;
const std::string TABNAME[3] = {"Video", "Input", "Display"};
VIDEOMODETABLE VIDEOMODES;
MODEGRID MODEGRIDLAYOUT;
int32_t LASTJOY = -1;
int32_t LASTAXIS = -1;
std::string CONTROLNAME[CONTROLNAME_COUNT];
int32_t CONTROLNAMELEN = 0;
int32_t COLWIDTH[10] = {};
std::string POPUPMSG;
int32_t MSGTICKS = 0;
int32_t WAITTICKS = 0;
int32_t TICKS = 0;
int32_t JOYWAITTICKS = 0;
TOOLINPUT INPUT;
int32_t MOUSE = 0;
int32_t MOUSEX = 0;
int32_t MOUSEY = 0;
bool MOUSEPRESSED = false;
Uint32 COLORGREY, COLORDKGREY, COLORWHITE, COLORLTGREY, COLORLTBLUE, COLORLTGREEN, COLORGREYBLUE, COLORBLACK;
SDL_Surface* CONFIGBAR = nullptr;
SDL_Surface* ICON[ICON_ID_COUNT] = {};
SDL_Surface* FONTIMG[FONT_GLYPHS] = {};
int32_t CHARWIDTH[FONT_GLYPHS] = {};
int32_t CHARMINX[FONT_GLYPHS] = {};
bool QUITREQUESTED = false;

namespace {

TOOLOPTIONS OPTIONS;
TOOLSCRIPT SCRIPT;
bool SCRIPTED = false;
std::size_t SHOTS_WRITTEN = 0;  // requested screenshots written so far
int64_t FRAME = 0;
uint32_t PREVMOUSE = 0;
SDL_Joystick* JOYHANDLE[PLATFORM_JOYSTICKS] = {};

void wait_for_key() {
    if (isatty(0)) std::getchar();
}

// ---------------------------------------------------------------- devices

void sample_live_devices() {
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    for (int32_t c = CONTROL_CODE_FIRST_KEY; c <= CONTROL_CODE_LAST_KEY; ++c) {
        const int32_t k = control_code_info(c).SDLKEY;
        INPUT.KEY[c] = k >= 0 && k < count && keys[k] != 0;
    }
    INPUT.KEY[TOOLKEY_ESCAPE] = SDLK_ESCAPE < count && keys[SDLK_ESCAPE] != 0;
    INPUT.KEY[TOOLKEY_F12] = SDLK_F12 < count && keys[SDLK_F12] != 0;
    int x = 0, y = 0;
    INPUT.MOUSE = SDL_GetMouseState(&x, &y);
    INPUT.MOUSEX = x;
    INPUT.MOUSEY = y;
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return;
    SDL_JoystickUpdate();
    const int n = SDL_NumJoysticks();
    for (int32_t j = 0; j < PLATFORM_JOYSTICKS; ++j) {
        PLATFORM_JOYSTATE& pad = INPUT.JOY[j];
        pad = PLATFORM_JOYSTATE{};
        if (j >= n) continue;
        if (JOYHANDLE[j] == nullptr) JOYHANDLE[j] = SDL_JoystickOpen(j);
        SDL_Joystick* js = JOYHANDLE[j];
        if (js == nullptr) continue;
        pad.PRESENT = true;
        const int axes = SDL_JoystickNumAxes(js);
        for (int32_t a = 0; a < PLATFORM_JOYAXES; ++a) {
            if (a < axes) {
                float v = SDL_JoystickGetAxis(js, a) / 32768.0f;
                pad.AXES[a] = v < -1.0f ? -1.0f : v;
            } else {
                pad.AXES[a] = 2.0f;  // the controller has no such axis: it reports nothing
            }
        }
        const int buttons = SDL_JoystickNumButtons(js);
        for (int32_t b = 0; b < buttons && b < PLATFORM_JOYBUTTONS; ++b)
            if (SDL_JoystickGetButton(js, b)) pad.BUTTONS |= 1u << b;
    }
}

void save_screenshot(const std::string& path) {
    if (VIDEO == nullptr) return;
    const int32_t w = VIDEO->w, h = VIDEO->h;
    std::vector<uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    if (SDL_MUSTLOCK(VIDEO)) SDL_LockSurface(VIDEO);
    const SDL_PixelFormat* f = VIDEO->format;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const Uint8* p = static_cast<const Uint8*>(VIDEO->pixels) + y * VIDEO->pitch + x * f->BytesPerPixel;
            Uint32 v = 0;
            switch (f->BytesPerPixel) {
            case 1: v = *p; break;
            case 2: v = *reinterpret_cast<const Uint16*>(p); break;
            case 3: v = Uint32(p[0]) | (Uint32(p[1]) << 8) | (Uint32(p[2]) << 16); break;
            default: v = *reinterpret_cast<const Uint32*>(p); break;
            }
            Uint8* o = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            SDL_GetRGB(v, VIDEO->format, &o[0], &o[1], &o[2]);
        }
    if (SDL_MUSTLOCK(VIDEO)) SDL_UnlockSurface(VIDEO);
    std::string why;
    if (png_write_file(path, w, h, 3, rgb.data(), &why))
        ++SHOTS_WRITTEN;
    else
        std::printf("could not write screenshot %s: %s\n", path.c_str(), why.c_str());
}

// Screenshots of the current frame, then the next frame; false once the frame limit is reached.
bool end_frame() {
    for (const auto& [frame, path] : OPTIONS.SCREENSHOTS)
        if (frame == FRAME) save_screenshot(path);
    ++FRAME;
    if (OPTIONS.FRAMES >= 0 && FRAME >= OPTIONS.FRAMES) {
        QUITREQUESTED = true;
        return false;
    }
    return true;
}

void present() {
    SDL_BlitSurface(VIDEOBUFFER, nullptr, VIDEO, nullptr);
    SDL_Flip(VIDEO);
}

// ---------------------------------------------------------------- start-up

void read_screen_modes() {
    MODELISTS lists;
    if (!OPTIONS.MODES.empty()) {
        modes_file_load(OPTIONS.MODES, lists);
    } else {
        for (int32_t d = 0; d < VIDEOMODE_DEPTHS; ++d) {
            if (!mode_depth_offered(d)) continue;
            SDL_PixelFormat format = *VIDEO->format;
            format.palette = nullptr;
            format.BitsPerPixel = static_cast<Uint8>(mode_depth_bits(d));
            format.BytesPerPixel = static_cast<Uint8>((mode_depth_bits(d) + 7) / 8);
            SDL_Rect** modes = SDL_ListModes(&format, SDL_FULLSCREEN | SDL_OPENGL | SDL_HWSURFACE);
            if (modes == nullptr) continue;
            if (modes == reinterpret_cast<SDL_Rect**>(-1)) {
                // "Any size" is not a list of modes; nothing can be offered for this depth.
                std::printf("the display lists no fixed %d-bit modes\n", mode_depth_bits(d));
                continue;
            }
            lists.HASLIST[d] = true;
            for (int32_t i = 0; modes[i] != nullptr; ++i) lists.LIST[d].push_back({modes[i]->w, modes[i]->h});
        }
    }
    modes_build(lists, VIDEOMODES);
    int32_t label_width = 0;
    for (int32_t d = 0; d < VIDEOMODE_DEPTHS; ++d)
        for (int32_t i = 0; i < VIDEOMODES.NVIDEOMODES[d]; ++i) {
            const int32_t w = FONT_LEN(mode_label(VIDEOMODES.VIDEOMODE[d][i]));
            if (w > label_width) label_width = w;
        }
    mode_grid_layout(VIDEOMODES, label_width, MODEGRIDLAYOUT);
}

SDL_Surface* make_buffer() {
    const SDL_PixelFormat* f = VIDEO->format;
    return SDL_CreateRGBSurface(SDL_SWSURFACE, VIDEO->w, VIDEO->h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, 0);
}

bool INIT() {
    // A display server that has just lost its last client resets and drops connections for
    // a moment (a virtual X server does so between two test runs); a few retries ride it out.
    const Uint32 flags = SDL_INIT_VIDEO | SDL_INIT_TIMER;
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0) usleep(200 * 1000);
        started = SDL_Init(flags) >= 0;
    }
    if (!started) {
        std::printf("could not init sdl\n%s\n", SDL_GetError());
        std::fflush(stdout);
        wait_for_key();
        return false;
    }
    if (!SCRIPTED && SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0)
        std::printf("no controller support: %s\n", SDL_GetError());
    VIDEO = SDL_SetVideoMode(WINDOW_WIDTH, WINDOW_HEIGHT, 16, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (VIDEO == nullptr) {
        SDL_Quit();
        std::printf("could not set video mode\n");
        std::fflush(stdout);
        wait_for_key();
        return false;
    }
    SDL_WM_SetCaption("Game Configuration", "Game Configuration");
    COLORGREY = SDL_MapRGB(VIDEO->format, 128, 128, 128);
    COLORDKGREY = SDL_MapRGB(VIDEO->format, 96, 96, 96);
    COLORWHITE = SDL_MapRGB(VIDEO->format, 255, 255, 255);
    COLORLTGREY = SDL_MapRGB(VIDEO->format, 168, 168, 160);
    COLORLTBLUE = SDL_MapRGB(VIDEO->format, 192, 192, 255);
    COLORLTGREEN = SDL_MapRGB(VIDEO->format, 128, 255, 128);
    COLORGREYBLUE = SDL_MapRGB(VIDEO->format, 128, 128, 160);
    COLORBLACK = SDL_MapRGB(VIDEO->format, 0, 0, 0);

    VIDEOBUFFER = SDL_ConvertSurface(VIDEO, VIDEO->format, SDL_SWSURFACE);
    for (int32_t t = 0; t < 3; ++t) WINBUFFER[t] = make_buffer();
    if (VIDEOBUFFER == nullptr || WINBUFFER[0] == nullptr || WINBUFFER[1] == nullptr || WINBUFFER[2] == nullptr) {
        std::printf("could not create the drawing surfaces\n");
        SDL_Quit();
        return false;
    }

    load_images();
    FONT_LOADFONT("vera12");
    read_screen_modes();

    tool_sample_input();
    scan_controllers();

    control_names_read(tool_path(CONTROLNAME_FILE), CONTROLNAME);
    CONTROLNAMELEN = 0;
    for (const std::string& name : CONTROLNAME) {
        const int32_t w = FONT_LEN(name);
        if (w > CONTROLNAMELEN) CONTROLNAMELEN = w;
    }
    for (int32_t c = 0; c < CALIB_COLUMNS; ++c) COLWIDTH[c] = COLWIDTH_DEFAULT[c];
    // The axis column widens when the font's "AXIS_5" does not fit its 50 pixels.
    if (FONT_LEN("AXIS_5") + 8 > COLWIDTH[0]) COLWIDTH[0] = FONT_LEN("AXIS_5") + 8;

    reload_config(true);
    if (LASTJOY == -1) CONFIGVARS.INPUTTYPE = 0;

    for (WIN = 0; WIN < 3; ++WIN) {
        DRAWTABS();
        DRAWWIN();
        SDL_BlitSurface(VIDEOBUFFER, nullptr, WINBUFFER[WIN], nullptr);
    }
    WIN = 0;
    TICKS = tool_now();
    return true;
}

void MAIN() {
    while (!QUITREQUESTED) {
        tool_sample_input();
        if (QUITREQUESTED || INPUT.KEY[TOOLKEY_F12]) break;
        DRAWUI();
        if (QUITREQUESTED) break;
        present();
        if (!end_frame()) break;
        TICKS = tool_now();
        if (!SCRIPTED) SDL_Delay(2);
    }
}

void DEINIT() {
    for (SDL_Joystick*& js : JOYHANDLE)
        if (js != nullptr) {
            SDL_JoystickClose(js);
            js = nullptr;
        }
    SDL_Quit();
}

std::string executable_dir(const char* argv0) {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string path = n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string(argv0 ? argv0 : "");
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

// ---------------------------------------------------------------- frame machinery

int32_t tool_now() {
    if (OPTIONS.FIXEDSTEP > 0) {
        const int64_t ms = FRAME * OPTIONS.FIXEDSTEP;
        return ms > INT32_MAX ? INT32_MAX : static_cast<int32_t>(ms);
    }
    return static_cast<int32_t>(SDL_GetTicks());
}

void tool_sample_input() {
    SDL_PumpEvents();
    if (SCRIPTED) tool_script_apply(SCRIPT, FRAME, INPUT);
    else sample_live_devices();
    SDL_Event e;
    while (SDL_PollEvent(&e))
        if (e.type == SDL_QUIT) QUITREQUESTED = true;
    MOUSE = static_cast<int32_t>(INPUT.MOUSE);
    MOUSEX = INPUT.MOUSEX;
    MOUSEY = INPUT.MOUSEY;
    MOUSEPRESSED = (INPUT.MOUSE & TOOLMOUSE_LEFT) != 0 && (PREVMOUSE & TOOLMOUSE_LEFT) == 0;
    PREVMOUSE = INPUT.MOUSE;
}

bool tool_idle_frame() {
    if (!end_frame()) return false;
    if (!SCRIPTED) SDL_Delay(2);
    return true;
}

}  // namespace config_tool

int main(int argc, char** argv) {
    using namespace config_tool;
    std::string error;
    if (!options_parse(argc, argv, OPTIONS, error)) {
        std::printf("config: %s\n", error.c_str());
        return 2;
    }
    if (OPTIONS.HELP) {
        std::fputs(options_usage(), stdout);
        return 0;
    }
    if (OPTIONS.VERSION) {
        std::printf("config %s\n", KV_VERSION);
        return 0;
    }
    // Files named on the command line are relative to where the tool was started, not to the
    // game directory it moves into.
    auto absolute = [](std::string& path) {
        std::error_code ec;
        if (!path.empty()) {
            const std::filesystem::path p = std::filesystem::absolute(path, ec);
            if (!ec) path = p.string();
        }
    };
    absolute(OPTIONS.INPUT);
    absolute(OPTIONS.MODES);
    for (auto& shot : OPTIONS.SCREENSHOTS) absolute(shot.second);
    const std::string dir = OPTIONS.DIR.empty() ? executable_dir(argv[0]) : OPTIONS.DIR;
    if (chdir(dir.c_str()) != 0) {
        std::printf("config: could not enter the game directory %s\n", dir.c_str());
        return 1;
    }
    if (!OPTIONS.INPUT.empty()) {
        SCRIPTED = true;
        // A script that cannot be read would leave the tool waiting for input for ever.
        if (!tool_script_load(OPTIONS.INPUT, SCRIPT)) return 2;
    }
    if (OPTIONS.FRAMES == 0) return 0;
    if (!INIT()) return 1;
    MAIN();
    DEINIT();
    // A requested screenshot that was not written is a failed run.
    if (SHOTS_WRITTEN < OPTIONS.SCREENSHOTS.size()) {
        std::printf("config: %zu of %zu screenshots were not written\n", OPTIONS.SCREENSHOTS.size() - SHOTS_WRITTEN,
                    OPTIONS.SCREENSHOTS.size());
        return 1;
    }
    return 0;
}
