// The window backdrop shared by every screen but the title and credits, and the three profile
// screens: the profile list (0), the new-profile form (110) and the profile properties (120).
#include <algorithm>
#include <cmath>

#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "menu/menu_draw.h"
#include "menu/menu_globals.h"
#include "menu/menu_render.h"

namespace {
constexpr int32_t kProfileList = 0;
constexpr int32_t kNewProfile = 110;
constexpr int32_t kProperties = 120;
constexpr int32_t kBackdropSlot = 900;

// Profile list entries: two boxes below the title line, a scroll bar at the right edge.
constexpr float kEntryTop = 22.0f;      // below the content top
constexpr float kEntryHeight = 136.0f;
constexpr float kEntryGap = 8.0f;
constexpr float kScrollWidth = 6.0f;

int32_t profile_count() { return std::clamp(KV_MENUGLOBALS.NUMPROFILES, 0, PROFILE_SLOTS); }
}  // namespace

namespace {
// The backdrop's layers: the mission picture over the whole window, the world map, the
// classification lines and the force's name.
void draw_backdrop(const MenuFrame& f, float a) {
    menu_textured_quad(KV_MENUGLOBALS.MISSIONTEX, 0.0f, 0.0f, f.w, f.h, a);
    const float map_w = std::nearbyint(0.3f * f.w);
    const float map_x = std::nearbyint((f.w - map_w) / 2.0f);
    const float map_y = std::nearbyint(0.371f * f.s);
    menu_textured_quad(KV_MENUGLOBALS.WORLDMAPTEX, map_x, map_y, map_x + map_w,
                       map_y + std::nearbyint(4.556f * f.s), a);
    menu_colour(MENU_ALERT, 0.9f * a);
    menu_text_centred(f.w / 2.0f, 0.356f * f.s, "RESTRICTED DATA - FOR OFFICIAL USE ONLY");
    menu_text_centred(f.w / 2.0f, 9.656f * f.s, "RESTRICTED DATA - FOR OFFICIAL USE ONLY");
    menu_colour(MENU_WARM_GREY, a);
    menu_text_centred(f.w / 2.0f, 2.204f * f.s, "UNITED STATES OF THE WORLD STRIKE FORCE KESSRA VORN");
}

// At full strength the backdrop is opaque over the whole window, so its picture depends only on
// the window, the spacer and the two pictures, never on what the title screen left beneath: it
// is drawn once, kept, and laid back on every later frame with the same look.
struct BackdropLook {
    int32_t width = 0;
    int32_t height = 0;
    float spacer = 0.0f;
    int32_t mission_tex = 0;
    int32_t worldmap_tex = 0;
    bool operator==(const BackdropLook&) const = default;
};
bool g_keep_backdrop = true;
MenuSnapshot g_backdrop;
BackdropLook g_backdrop_look;
bool g_backdrop_refused = false;  // the driver could not keep this look: drawn every frame
}  // namespace

void kv_menu_keep_backdrop(bool on) {
    g_keep_backdrop = on;
    if (!on) menu_snapshot_release(g_backdrop);
}

bool kv_menu_backdrop_kept() { return g_backdrop.held; }

void KV_MENU_RENDER_BACKDROP() {
    const float a = KV_MENUGLOBALS.MENUFADE[kBackdropSlot];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    if (!g_keep_backdrop || a != 1.0f) {
        draw_backdrop(f, a);
        return;
    }
    const BackdropLook look = {OPENGLPROPERTIES.SCR_WIDTH, OPENGLPROPERTIES.SCR_HEIGHT, f.s,
                               KV_MENUGLOBALS.MISSIONTEX, KV_MENUGLOBALS.WORLDMAPTEX};
    if (look == g_backdrop_look && g_backdrop.held) {
        menu_snapshot_put(g_backdrop);
        menu_colour(MENU_WARM_GREY, a);  // as the drawn backdrop leaves it
        return;
    }
    if (look == g_backdrop_look && g_backdrop_refused) {
        draw_backdrop(f, a);
        return;
    }
    draw_backdrop(f, a);
    g_backdrop_look = look;
    g_backdrop_refused = !menu_snapshot_take(g_backdrop, look.width, look.height);
}

void KV_MENU_RENDER_PROFILELIST() {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const float a = m.MENUFADE[kProfileList];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    KV_MENU_RENDER_WINDOW(a);
    const float top = menu_content_top(f);
    const float left = menu_content_left(f);
    const float right = menu_content_right(f);
    menu_text_centred(f.w / 2.0f, top, "SELECT PROFILE");

    const int32_t n = profile_count();
    MenuListLayout l;
    l.rows = n + 1;                  // the profiles and the "NEW PROFILE" entry
    l.visible = n == 0 ? 1 : 2;
    l.first = std::clamp(m.TOPPROFILE, 0, std::max(0, l.rows - 1));
    l.selected = m.SELPROFILE;
    l.left = left;
    l.top = top + kEntryTop;
    l.width = right - left - kScrollWidth - 6.0f;
    l.height = kEntryHeight;
    l.step = kEntryHeight + kEntryGap;
    l.clip_inset = 2.0f;  // texts from the profile file keep inside their entry however long
    l.bar_x = right - kScrollWidth;
    l.bar_rows = 2;
    menu_list_rows(l, [&](int32_t row, float y, bool selected) {
        if (row == n) {
            menu_button(l.left, y, l.width, l.height, "NEW PROFILE", selected, a);
            return;
        }
        menu_list_entry_begin(l, y, selected, a);
        const float block_h = MENU_INFO_ROW * 7.0f;
        menu_draw_profile_info(KVGLOBALS.PROFILES[row], l.left + 12.0f,
                               std::nearbyint(y + (kEntryHeight - block_h) / 2.0f), l.width - 24.0f,
                               selected ? a : 0.75f * a);
        menu_list_entry_end();
    });
    menu_list_scroll_bar(l, a);
}

void KV_MENU_RENDER_NEW_PROFILE() {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const float a = m.MENUFADE[kNewProfile];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    KV_MENU_RENDER_WINDOW(a);
    const float top = menu_content_top(f);
    menu_text_centred(f.w / 2.0f, top, "NEW PROFILE");
    menu_text_field(f, top + 4.0f * MENU_LINE, "Profile Name:", m.NEWPROFILENAME,
                    m.SELNEWPROFILE == 0, a);
    menu_text_field(f, top + 6.0f * MENU_LINE, "Gunship Call Sign:", m.NEWPROFILECALLSIGN,
                    m.SELNEWPROFILE == 1, a);
    const float y = top + 10.0f * MENU_LINE - 15.0f;
    const float wl = f.w / 2.0f - MENU_WINDOW_HALF_WIDTH;
    menu_button(wl + 0.25f * 600.0f - 50.0f, y, 100.0f, 30.0f, "Accept", m.SELNEWPROFILE == 2, a);
    menu_button(wl + 0.75f * 600.0f - 50.0f, y, 100.0f, 30.0f, "Cancel", m.SELNEWPROFILE == 3, a);
}

void KV_MENU_RENDER_PROFILEPROPERTIES() {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const float a = m.MENUFADE[kProperties];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    KV_MENU_RENDER_WINDOW(a);
    const float top = menu_content_top(f);
    const float left = menu_content_left(f);
    const float right = menu_content_right(f);
    menu_text_centred(f.w / 2.0f, top, "PROFILE PROPERTIES");
    if (m.SELPROFILE >= 0 && m.SELPROFILE < PROFILE_SLOTS) {
        menu_clip(left, top + 20.0f, right, top + 120.0f);
        menu_draw_profile_info(KVGLOBALS.PROFILES[m.SELPROFILE], left + 12.0f, top + 24.0f,
                               right - left - 24.0f, a);
        menu_unclip();
    }
    menu_text_field(f, top + 140.0f, "Profile Name:", m.VIEWPROFILENAME, m.SELPROPERTIES == 4, a);
    menu_text_field(f, top + 170.0f, "Gunship Call Sign:", m.VIEWPROFILECALLSIGN,
                    m.SELPROPERTIES == 5, a);
    static const char* const kButtons[4] = {"Load", "Update", "Remove", "Cancel"};
    const float slot = (right - left) / 4.0f;
    const float y = top + 318.0f - 48.0f;
    for (int32_t i = 0; i < 4; ++i)
        menu_button(left + slot * (static_cast<float>(i) + 0.5f) - 50.0f, y, 100.0f, 30.0f, kButtons[i],
                    m.SELPROPERTIES == i, a);
}
