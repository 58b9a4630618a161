// The title screen (screen 7) with its item list in the segment font and the credits
// (screen 9): a grey-to-black background, the game's name in 3D letters, the items with their
// highlight bands, and the scrolling credits lines. Both draw in perspective, before the
// overlay of the other screens.
#include <GL/gl.h>

#include <algorithm>

#include "engine/engine_globals.h"
#include "engine/fontdb.h"
#include "engine/system.h"
#include "game/kv_globals.h"
#include "menu/menu_draw.h"
#include "menu/menu_globals.h"
#include "menu/menu.h"
#include "menu/menu_render.h"

namespace {
constexpr int32_t kTitleScreen = 7;
constexpr int32_t kCreditsScreen = 9;
constexpr const char* kTitle = "kessra vorn";
constexpr int32_t kItems = 5;
constexpr const char* kItemText[kItems] = {"load profile", "options", "credits", "quit game",
                                           "resume game"};

// Title transform: the name centred at height 8.8, 61 units in front of the eye, at 0.61 of
// glyph size; the items inside it at 0.443 of that, the first 20.8 of their units lower, each
// next one 13.8 lower.
constexpr float kTitleY = 8.8f;
constexpr float kTitleZ = -61.0f;
constexpr float kTitleScale = 0.61f;
constexpr float kItemScale = 0.443f;
constexpr float kItemDrop = 20.8f;
constexpr float kItemStep = 13.8f;
// A glyph spans y = -2 .. 5; its line centre is 1.5. The highlight band reaches 4.07 above
// and below it and runs 60 units either side of the item's centre.
constexpr float kLineCentre = 1.5f;
constexpr float kBandHalfHeight = 4.07f;
constexpr float kBandHalfWidth = 60.0f;

// The background of both screens: grey 0.1875 at the top to black at the bottom.
void title_background(float opacity) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const MenuColour grey = {0.1875f, 0.1875f, 0.1875f};
    const MenuColour black = {0.0f, 0.0f, 0.0f};
    menu_quad_vertical(0.0f, 0.0f, 1.0f, 1.0f, grey, opacity, black, opacity);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

// The gradient letters carry their own opaque vertex colours; the screen's opacity is laid
// over them as a constant blend alpha.
void begin_faded_letters(float opacity) {
    glBlendColor(0.0f, 0.0f, 0.0f, opacity);
    glBlendFunc(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
}
void end_faded_letters() { glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); }

void print_centred(const char* text) {
    glPushMatrix();
    glTranslatef(-static_cast<float>(FONTDB_LEN(text)) / 2.0f, 0.0f, 0.0f);
    FONTDB_PRINT_GRAD(text);
    glPopMatrix();
}

// Enters the title's transform (the caller pops it).
void push_title_space() {
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, kTitleY, kTitleZ);
    glScalef(kTitleScale, kTitleScale, kTitleScale);
}

// Moves from the title's space to item row `row` (the caller pushes and pops).
void to_item_row(int32_t row) {
    glScalef(kItemScale, kItemScale, kItemScale);
    glTranslatef(0.0f, -kItemDrop - kItemStep * static_cast<float>(row), 0.0f);
}

void highlight_band(float strength) {
    if (strength <= 0.0f) return;
    const float top = kLineCentre + kBandHalfHeight;
    const float bottom = kLineCentre - kBandHalfHeight;
    const float l = -kBandHalfWidth, r = kBandHalfWidth;
    glBegin(GL_QUADS);
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    glVertex3f(l, top, 0.0f);
    glColor4f(0.70f, 0.17f, 0.08f, strength);
    glVertex3f(l, kLineCentre, 0.0f);
    glVertex3f(r, kLineCentre, 0.0f);
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    glVertex3f(r, top, 0.0f);
    glColor4f(0.70f, 0.17f, 0.08f, strength);
    glVertex3f(l, kLineCentre, 0.0f);
    glColor4f(1.0f, 0.23f, 0.1f, strength);
    glVertex3f(l, bottom, 0.0f);
    glVertex3f(r, bottom, 0.0f);
    glColor4f(0.70f, 0.17f, 0.08f, strength);
    glVertex3f(r, kLineCentre, 0.0f);
    glEnd();
    // The marker: a small triangle pointing into the band at its left end.
    glColor4f(1.0f, 0.23f, 0.1f, strength);
    glBegin(GL_TRIANGLES);
    glVertex3f(l - 5.0f, top, 0.0f);
    glVertex3f(l - 5.0f, bottom, 0.0f);
    glVertex3f(l + 1.0f, kLineCentre, 0.0f);
    glEnd();
}

void begin_title_state() {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
}
void end_title_state() {
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
}

void draw_title(float opacity) {
    push_title_space();
    begin_faded_letters(opacity);
    print_centred(kTitle);
    end_faded_letters();
    glPopMatrix();
}

}  // namespace

void KV_MENU_RENDER_MAIN() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const bool resume = KVGLOBALS.MISSIONSTARTED != 0;
    const int32_t items = resume ? kItems : kItems - 1;
    if (m.CURMENU == kTitleScreen) kv_menu_advance_main_fades(FPSR);
    const float a = m.MENUFADE[kTitleScreen];
    if (a <= 0.0f) return;
    begin_title_state();
    title_background(a);
    draw_title(a);
    for (int32_t i = 0; i < items; ++i) {
        // "resume game" stands one empty row below the others.
        const int32_t row = i == 4 ? 5 : i;
        push_title_space();
        to_item_row(row);
        highlight_band(std::clamp(m.SELMAINFADE[i], 0.0f, 1.0f) * a);
        begin_faded_letters(a);
        print_centred(kItemText[i]);
        end_faded_letters();
        glPopMatrix();
    }
    end_title_state();
}

void KV_MENU_RENDER_CREDITS() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const float a = m.MENUFADE[kCreditsScreen];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    const int32_t lines = std::clamp(m.CREDITLINES, 0, MENU_CREDIT_SLOTS);
    kv_menu_credits_step(m.CREDITSSCROLLY, m.CREDITSFADE, lines, FPSR, f.h);

    begin_title_state();
    title_background(a);
    draw_title(a);
    push_title_space();
    to_item_row(0);
    begin_faded_letters(a);
    print_centred("credits");
    end_faded_letters();
    glPopMatrix();

    // The lines, in the overlay: they fade out as they rise under the heading and fade in at
    // the bottom edge.
    glPushMatrix();
    SYSTEM_2DPLANE_SET_FULL();
    glDisable(GL_CULL_FACE);
    const float fade_top = 0.45f * f.h, fade_band = 0.08f * f.h;
    const float text_alpha = std::clamp(m.CREDITSFADE, 0.0f, 1.0f) * a;
    for (int32_t i = 0; i < lines; ++i) {
        const float y = 0.75f * f.h - m.CREDITSSCROLLY + 17.0f * static_cast<float>(i);
        if (y < fade_top - 12.0f || y > f.h) continue;
        const float edge = std::min((y - fade_top) / fade_band, (f.h - 12.0f - y) / fade_band);
        const float line_alpha = text_alpha * std::clamp(edge, 0.0f, 1.0f);
        if (line_alpha <= 0.0f || m.CREDITROW[i].empty()) continue;
        menu_colour(MENU_WARM_GREY, line_alpha);
        menu_text_centred(f.w / 2.0f, y, m.CREDITROW[i]);
    }
    SYSTEM_2DPLANE_CLEAR();
    glPopMatrix();
    end_title_state();
}
