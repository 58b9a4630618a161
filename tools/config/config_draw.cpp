// Drawing of the configuration tool: boxes, images, the bitmap font "vera12", the tab bar and
// the static background of each tab (drawn once into its buffer, again after a change).
#include <SDL_image.h>

#include <cmath>
#include <cstdio>

#include "config_tool.h"
#include "engine/png.h"
#include "platform/file_io.h"

namespace config_tool {

namespace {

const char* const ICON_FILES[ICON_ID_COUNT] = {
    "data\\config\\icon_outlines.png",    "data\\config\\icon_enginewind.png",
    "data\\config\\icon_linesmoothing.png", "data\\config\\icon_dome.png",
    "data\\config\\icon_buildings.png",   "data\\config\\icon_hudhousing.png",
    "data\\config\\icon_hudquality.png",  "data\\config\\icon_fsaa.png",
    "data\\config\\icon_envmap.png",      "data\\config\\icon_bloom.png",
};

// An image file decoded from memory: only a regular file of bounded size is read (a pipe in its
// place must not block the tool), and a PNG larger than PNG_MAX_SIDE a side is not decoded.
SDL_Surface* load_bounded(const std::string& path, std::string& why) {
    std::string bytes;
    if (!file_read_capped(path, PNG_FILE_MAX_BYTES, bytes, why)) return nullptr;
    if (bytes.size() >= 24 && bytes.compare(1, 3, "PNG") == 0) {
        auto be32 = [&](std::size_t at) {
            return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
                   (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
        };
        if (be32(16) > PNG_MAX_SIDE || be32(20) > PNG_MAX_SIDE) {
            why = PNG_TOO_LARGE;
            return nullptr;
        }
    }
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_Surface* s = rw ? IMG_Load_RW(rw, 1) : nullptr;
    if (s == nullptr) why = "not a readable image";
    return s;
}

SDL_Surface* load_image(const std::string& stored_path) {
    const std::string path = tool_path(stored_path);
    std::string why;
    SDL_Surface* s = load_bounded(path, why);
    if (s == nullptr) std::printf("could not load image %s (%s): its place stays empty\n", path.c_str(), why.c_str());
    return s;
}

Uint32 read_pixel(const SDL_Surface* s, int32_t x, int32_t y) {
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    switch (s->format->BytesPerPixel) {
    case 1: return *p;
    case 2: return *reinterpret_cast<const Uint16*>(p);
    case 3:
        if (SDL_BYTEORDER == SDL_BIG_ENDIAN) return (Uint32(p[0]) << 16) | (Uint32(p[1]) << 8) | p[2];
        return Uint32(p[0]) | (Uint32(p[1]) << 8) | (Uint32(p[2]) << 16);
    default: return *reinterpret_cast<const Uint32*>(p);
    }
}

// Measures a glyph image on its 12 x 12 cell: a pixel is background when it is white and
// transparent (or white in an image without alpha).
void measure_glyph(SDL_Surface* img, int32_t slot) {
    bool ink[GLYPH_CELL * GLYPH_CELL] = {};
    if (SDL_MUSTLOCK(img)) SDL_LockSurface(img);
    const int32_t h = img->h < GLYPH_CELL ? img->h : GLYPH_CELL;
    const int32_t w = img->w < GLYPH_CELL ? img->w : GLYPH_CELL;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            Uint8 r = 0, g = 0, b = 0, a = 0;
            SDL_GetRGBA(read_pixel(img, x, y), img->format, &r, &g, &b, &a);
            const bool background = r == 255 && g == 255 && b == 255 && (img->format->Amask == 0 || a == 0);
            ink[y * GLYPH_CELL + x] = !background;
        }
    if (SDL_MUSTLOCK(img)) SDL_UnlockSurface(img);
    glyph_extent(ink, CHARMINX[slot], CHARWIDTH[slot]);
}

}  // namespace

void load_images() {
    CONFIGBAR = load_image("data\\config\\configBar.bmp");
    for (int32_t i = 0; i < ICON_ID_COUNT; ++i) ICON[i] = load_image(ICON_FILES[i]);
}

void FONT_LOADFONT(const std::string& name) {
    int32_t missing = 0;
    for (int32_t slot = 0; slot < FONT_GLYPHS; ++slot) {
        FONTIMG[slot] = nullptr;
        CHARWIDTH[slot] = 0;
        CHARMINX[slot] = 0;
    }
    for (int32_t code = 32; code <= 126; ++code) {
        const int32_t slot = code - 32;
        const std::string path = "data/fontimg/" + name + "/" + std::to_string(code) + ".png";
        std::string why;
        SDL_Surface* img = load_bounded(path, why);
        if (img == nullptr) {
            ++missing;
            bool blank[GLYPH_CELL * GLYPH_CELL] = {};
            glyph_extent(blank, CHARMINX[slot], CHARWIDTH[slot]);
        } else {
            SDL_SetAlpha(img, SDL_SRCALPHA, 255);
            FONTIMG[slot] = img;
            measure_glyph(img, slot);
        }
        if (code == 32) CHARWIDTH[slot] = SPACE_WIDTH;
    }
    if (missing > 0)
        std::printf("font %s: %d of 95 glyph images missing under data/fontimg/%s/; their text stays blank\n",
                    name.c_str(), missing, name.c_str());
}

void FONT_PRINT(int32_t x, int32_t y, const std::string& text) {
    int32_t pen = x;
    for (unsigned char c : text) {
        const int32_t slot = glyph_slot(c);
        if (slot < 0) continue;
        SDL_Surface* img = FONTIMG[slot];
        const int32_t width = CHARWIDTH[slot];
        if (img != nullptr && width > 0) {
            int32_t sx = CHARMINX[slot];
            int32_t sw = width;
            int32_t dx = pen;
            if (sx < 0) {  // the strip starts left of the image: skip the missing columns
                dx -= sx;
                sw += sx;
                sx = 0;
            }
            if (sx + sw > img->w) sw = img->w - sx;
            if (sw > 0) {
                SDL_Rect src{static_cast<Sint16>(sx), 0, static_cast<Uint16>(sw),
                             static_cast<Uint16>(img->h < GLYPH_STRIP_HEIGHT ? img->h : GLYPH_STRIP_HEIGHT)};
                SDL_Rect dst{static_cast<Sint16>(dx), static_cast<Sint16>(y), 0, 0};
                SDL_BlitSurface(img, &src, VIDEOBUFFER, &dst);
            }
        }
        pen += width;
    }
}

int32_t FONT_LEN(const std::string& text) { return text_width(CHARWIDTH, text); }

void font_print_centred(int32_t left, int32_t width, int32_t y, const std::string& text) {
    const double x = left + (width - FONT_LEN(text)) / 2.0;
    FONT_PRINT(static_cast<int32_t>(std::nearbyint(x)), y, text);
}

void fill_rect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Uint32 colour) {
    if (x1 < 0) x1 = 0;
    if (y1 < 0) y1 = 0;
    if (x2 >= VIDEOBUFFER->w) x2 = VIDEOBUFFER->w - 1;
    if (y2 >= VIDEOBUFFER->h) y2 = VIDEOBUFFER->h - 1;
    if (x2 < x1 || y2 < y1) return;
    SDL_Rect r{static_cast<Sint16>(x1), static_cast<Sint16>(y1), static_cast<Uint16>(x2 - x1 + 1),
               static_cast<Uint16>(y2 - y1 + 1)};
    SDL_FillRect(VIDEOBUFFER, &r, colour);
}

void DRAWBOX(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Uint32 colour) {
    fill_rect(x1, y1, x2, y2, colour);
    fill_rect(x1 + 1, y1 + 1, x2 - 1, y2 - 1, COLORGREY);
}

void blit_image(SDL_Surface* image, int32_t x, int32_t y) {
    if (image == nullptr) return;
    SDL_Rect dst{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(image, nullptr, VIDEOBUFFER, &dst);
}

void draw_button(const RECTI& r, const std::string& text, Uint32 outline) {
    DRAWBOX(r.X1, r.Y1, r.X2, r.Y2, outline);
    const int32_t height = r.Y2 - r.Y1;
    font_print_centred(r.X1, r.X2 - r.X1 + 1, r.Y1 + (height - 12) / 2 + 1, text);
}

namespace {

// A trapezoid of 16 one-pixel lines over [x, x + width], bottom line at y_bottom.
void draw_trapezoid(int32_t x, int32_t width, int32_t y_bottom, Uint32 colour) {
    for (int32_t k = 0; k < 16; ++k) fill_rect(x + k, y_bottom - k, x + k + width - 2 * k - 1, y_bottom - k, colour);
}

const char* const TOP_BUTTON_NAMES[3] = {"Exit", "Reload", "Save"};

}  // namespace

void DRAWTABS() {
    fill_rect(0, 0, WINDOW_WIDTH - 1, 24, COLORBLACK);
    blit_image(CONFIGBAR, 0, 0);
    for (int32_t i = 0; i < 3; ++i) {
        const bool selected = i == WIN;
        const RECTI r = tab_rect(i);
        draw_trapezoid(r.X1, 100, selected ? 23 : 22, selected ? COLORLTGREY : COLORGREY);
        font_print_centred(r.X1, 100, selected ? 10 : 9, TABNAME[i]);
    }
    for (int32_t b = 0; b < 3; ++b) {
        const RECTI r = top_button_rect(b);
        draw_trapezoid(r.X1, 80, 22, COLORGREY);
        font_print_centred(r.X1, 80, 9, TOP_BUTTON_NAMES[b]);
    }
}

void DRAWWIN() {
    fill_rect(0, 24, WINDOW_WIDTH - 1, WINDOW_HEIGHT - 1, COLORBLACK);
    switch (WIN) {
    case 0: DRAWWINVIDEO(); break;
    case 1: DRAWWININPUT(); break;
    default: DRAWWINDISPLAY(); break;
    }
}

void DRAWWINVIDEO() {
    FONT_PRINT(8, 32, "Selected Resolution:");
    for (int32_t d = 0; d < VIDEOMODE_DEPTHS; ++d)
        if (MODEGRIDLAYOUT.HEADINGY[d] >= 0)
            FONT_PRINT(8, MODEGRIDLAYOUT.HEADINGY[d], "Bit Depth: " + std::to_string(mode_depth_bits(d)));
}

void DRAWWININPUT() {
    FONT_PRINT(160, 32, "Input Type:");
    if (CONFIGVARS.INPUTTYPE == 0) DRAWWININPUTKEYBOARD();
    else if (CONFIGVARS.INPUTTYPE == 1) DRAWWININPUTGAMECONTROLLER();
}

namespace {

void draw_binding_rows(const INPUTLAYOUT& layout) {
    FONT_PRINT(INPUT_HEADING_X, layout.FLYINGHEADINGY, "Flying Controls:");
    FONT_PRINT(INPUT_BOX_X, layout.FLYINGHEADINGY, "Click to Set");
    FONT_PRINT(INPUT_HEADING_X, layout.WEAPONHEADINGY, "Weapon Controls:");
    for (int32_t c = 0; c < INPUT_FLYING_ROWS + INPUT_WEAPON_ROWS; ++c) {
        FONT_PRINT(INPUT_LABEL_X, layout.ROWY[c] + 1, CONTROL_LABELS[c]);
        const RECTI r = binding_rect(c, layout);
        draw_button(r, control_name_of(CONTROLNAME, CONFIGVARS.CONTROL[c]), COLORDKGREY);
    }
}

}  // namespace

void DRAWWININPUTKEYBOARD() {
    INPUTLAYOUT layout;
    current_input_layout(layout);
    draw_binding_rows(layout);
}

void DRAWWININPUTGAMECONTROLLER() {
    FONT_PRINT(160, 80, "Joystick:");
    if (LASTJOY < 0) FONT_PRINT(240, 80, "None Detected!");
    FONT_PRINT(160, 106, "Move each analog axis to its extreme to calibrate");
    INPUTLAYOUT layout;
    current_input_layout(layout);
    draw_binding_rows(layout);
}

void DRAWWINDISPLAY() {
    FONT_PRINT(8, 32, "Display Settings:");
    DRAWBOX(8, 47, 240, 63, COLORDKGREY);
    FONT_PRINT(12, 49, "General:");
    DRAWBOX(240, 47, 632, 63, COLORDKGREY);
    FONT_PRINT(244, 49, "Effects:");
    for (const DISPLAYOPTIONENTRY& o : DISPLAY_OPTIONS) {
        blit_image(ICON[o.ICON], o.X + 8, o.Y);
        if (o.FOURLEVEL) FONT_PRINT(o.X + 78, o.Y + 4, o.LABEL);
    }
}

void draw_message() {
    const int32_t w = FONT_LEN(POPUPMSG);
    const RECTI r = message_outer_rect(w);
    DRAWBOX(r.X1, r.Y1, r.X2, r.Y2, COLORDKGREY);
    DRAWBOX(r.X1 + 8, r.Y1 + 8, r.X2 - 8, r.Y2 - 8, COLORLTBLUE);
    FONT_PRINT(320 - w / 2, 234, POPUPMSG);
}

}  // namespace config_tool
