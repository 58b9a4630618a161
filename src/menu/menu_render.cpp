// One menu frame in its fixed order, the fades it advances, the menu window and button, the
// confirm and OK boxes, and the menu's pictures (see menu_render.h). The screens themselves
// live in menu_screens_*.cpp.
#include "menu/menu_render.h"

#include "menu/menu.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/engine_globals.h"
#include "engine/system.h"
#include "engine/texture.h"
#include "game/kv_globals.h"
#include "game/objectives.h"
#include "menu/menu_draw.h"
#include "menu/menu_globals.h"
#include "menu/mission_flow.h"

namespace {
// The box window: 460 x 195 from 3.616 S, with the title on its first line and the message
// lines centred below it.
constexpr float kBoxHalfWidth = 230.0f;
constexpr float kBoxHeight = 195.0f;
constexpr int32_t kBoxMessageLines = 7;

float box_top(const MenuFrame& f) { return std::nearbyint(3.616f * f.s); }

void box_window_and_text(const MenuFrame& f, const std::string& title, const std::string& message,
                         float opacity) {
    const float mid = f.w / 2.0f;
    const float top = box_top(f);
    // A shade behind the box keeps its text readable over the window beneath.
    menu_quad(mid - kBoxHalfWidth, top, mid + kBoxHalfWidth, top + kBoxHeight, {0.0f, 0.0f, 0.0f},
              0.65f * opacity);
    menu_panel(static_cast<int32_t>(std::nearbyint(mid - kBoxHalfWidth)), static_cast<int32_t>(top),
               static_cast<int32_t>(std::nearbyint(mid + kBoxHalfWidth)),
               static_cast<int32_t>(top + kBoxHeight), opacity);
    const float text_top = top + MENU_CONTENT_INSET;
    menu_colour(MENU_WHITE, opacity);
    menu_text_centred(mid, text_top, title);
    std::string lines[kBoxMessageLines];
    const int32_t n = menu_split_lines(message, lines, kBoxMessageLines);
    menu_colour(MENU_WHITE, opacity);
    for (int32_t i = 0; i < n; ++i)
        menu_text_centred(mid, text_top + MENU_LINE * static_cast<float>(i + 2), lines[i]);
}

float box_button_top(const MenuFrame& f) { return box_top(f) + MENU_CONTENT_INSET + 9.0f * MENU_LINE; }
}  // namespace

void KV_MENU_RENDER() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    // Every menu screen draws with the depth and stencil tests off (the title's letters as well
    // as the overlay), so only the colour buffer is cleared; the mission view clears all three
    // itself on each of its frames.
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    KV_MENU_RENDER_MAIN();
    KV_MENU_RENDER_CREDITS();

    glPushMatrix();
    SYSTEM_2DPLANE_SET_FULL();
    // The overlay flips y, which turns every quad's winding around: no culling in 2D.
    glDisable(GL_CULL_FACE);
    KV_MENU_RENDER_BACKDROP();

    kv_menu_advance_fades(FPSR);

    KV_MENU_RENDER_PROFILELIST();
    KV_MENU_RENDER_NEW_PROFILE();
    KV_MENU_RENDER_PROFILEPROPERTIES();
    KV_MENU_RENDER_LOADING();
    KV_MENU_RENDER_PRELOADING();
    KV_MENU_RENDER_MISSION();
    KV_MENU_RENDER_MISSION_COMPLETE();
    KV_MENU_RENDER_GUNSHIPDATA();
    KV_MENU_RENDER_OBJECTIVEMAP();
    KV_MENU_RENDER_TECHNOLOGY();
    KV_MENU_RENDER_NEW_RESEARCH();
    KV_MENU_RENDER_CONFIRMBOX(KV_MENUGLOBALS.CONFIRMTITLE, KV_MENUGLOBALS.CONFIRMMESSAGE);
    KV_MENU_RENDER_OKBOX(KV_MENUGLOBALS.OKTITLE, KV_MENUGLOBALS.OKMESSAGE);
    KV_RENDER_ALERTMESSAGE();

    glEnable(GL_CULL_FACE);
    SYSTEM_2DPLANE_CLEAR();
    glPopMatrix();
    KV_MENU_PRELOADMAP();
    glFlush();
}

void KV_MENU_RENDER_WINDOW(float opacity) {
    const MenuFrame f = menu_frame();
    const float top = menu_window_top(f);
    menu_panel(static_cast<int32_t>(std::nearbyint(f.w / 2.0f - MENU_WINDOW_HALF_WIDTH)),
               static_cast<int32_t>(top),
               static_cast<int32_t>(std::nearbyint(f.w / 2.0f + MENU_WINDOW_HALF_WIDTH)),
               static_cast<int32_t>(top + MENU_WINDOW_HEIGHT), opacity);
    menu_colour(MENU_WHITE, opacity);
}

void KV_MENU_RENDER_BUTTON(float x, float y, float width, float height, const std::string& text,
                           int32_t selected, float opacity) {
    menu_button(x, y, width, height, text, selected != 0, opacity);
}

void KV_MENU_RENDER_CONFIRMBOX(const std::string& title, const std::string& message) {
    const float a = KV_MENUGLOBALS.CONFIRMFADE;
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    box_window_and_text(f, title, message, a);
    const float mid = f.w / 2.0f;
    const float y = box_button_top(f);
    const int32_t sel = KV_MENUGLOBALS.CONFIRMSELECTION;
    menu_button(mid - 220.0f + 0.25f * 460.0f - 50.0f, y, 100.0f, 30.0f, "Accept", sel == 0, a);
    menu_button(mid - 220.0f + 0.75f * 460.0f - 50.0f, y, 100.0f, 30.0f, "Cancel", sel == 1, a);
}

void KV_MENU_RENDER_OKBOX(const std::string& title, const std::string& message) {
    const float a = KV_MENUGLOBALS.OKFADE;
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    box_window_and_text(f, title, message, a);
    menu_button(f.w / 2.0f - 50.0f, box_button_top(f), 100.0f, 30.0f, "OK", true, a);
}

void kv_menu_load_screen_assets() {
    // KV_MENU_FRESH_BACKDROP=1 draws the backdrop afresh on every frame instead of laying back
    // its kept copy, so that the pictures of both ways can be compared.
    const char* fresh = std::getenv("KV_MENU_FRESH_BACKDROP");
    const bool keep = !(fresh && std::strcmp(fresh, "1") == 0);
    kv_menu_keep_backdrop(keep);
    if (!keep) std::printf("menu: the backdrop is drawn afresh on every frame\n");
    uint32_t tex = 0;
    LOAD_TEXTURE(tex, "data/menu/mission.png");
    KV_MENUGLOBALS.MISSIONTEX = static_cast<int32_t>(tex);
    tex = 0;
    LOAD_TEXTUREA(tex, "data/menu/worldmap.png");
    KV_MENUGLOBALS.WORLDMAPTEX = static_cast<int32_t>(tex);
    tex = 0;
    LOAD_TEXTUREAL(tex, "data/menu/gunship.png");
    KV_MENUGLOBALS.GUNSHIPTEX = static_cast<int32_t>(tex);
}

void kv_menu_credits_step(float& scroll, float& fade, int32_t lines, float fpsr, float height) {
    scroll += 0.3f * fpsr;
    fade += 0.01f * fpsr;
    if (fade > 1.0f) fade = 1.0f;
    if (scroll - 17.0f * static_cast<float>(lines) - 20.0f > 0.75f * height)
        scroll = 0.25f * height - 20.0f;
}
