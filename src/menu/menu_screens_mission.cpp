// The three pages of the mission window (briefing 2, objective map 3, gunship data 1) and the
// mission-complete screen (200), all about the current profile and its mission.
#include <algorithm>
#include <cmath>

#include "game/kv_globals.h"
#include "menu/menu_draw.h"
#include "menu/menu_globals.h"
#include "menu/menu_render.h"

namespace {
constexpr int32_t kGunshipData = 1;
constexpr int32_t kBriefing = 2;
constexpr int32_t kObjectiveMap = 3;
constexpr int32_t kMissionComplete = 200;
constexpr int32_t kBriefingLines = 8;    // lines kept of each multi-line briefing text
constexpr float kLabelColumn = 112.0f;   // value column, from the content left
constexpr float kRow = 13.0f;

const PROFILETYPE& current_profile() {
    return KVGLOBALS.PROFILES[std::clamp(KVGLOBALS.CURPROFILE, 0, PROFILE_SLOTS - 1)];
}

// The mission record of an index, or an empty one outside the table.
const MISSIONDATATYPE& mission(int32_t index) {
    static const MISSIONDATATYPE kNone{};
    if (index < 0 || index >= MISSION_SLOTS) return kNone;
    return KVGLOBALS.MISSIONDATA[index];
}

// Opens a mission-window page: the window, the page number at the top right, and a clip to
// the window's content so long briefings never spill over the backdrop.
void begin_page(const MenuFrame& f, float a, const char* page) {
    KV_MENU_RENDER_WINDOW(a);
    menu_colour(MENU_PALE_BLUE, a);
    menu_text_right(menu_content_right(f), menu_content_top(f), page);
    menu_colour(MENU_WHITE, a);
    menu_clip(menu_content_left(f), menu_window_top(f) + 4.0f, menu_content_right(f),
              menu_window_top(f) + MENU_WINDOW_HEIGHT - 4.0f);
}

// A labelled entry of the briefing: the label in the left column, the value lines from the
// value column; returns the y below it.
float labelled(float left, float y, float a, const std::string& label, const std::string* lines,
               int32_t n) {
    menu_colour(MENU_PALE_BLUE, a);
    menu_text(left, y, label);
    menu_colour(MENU_WHITE, a);
    for (int32_t i = 0; i < n; ++i) {
        menu_text(left + kLabelColumn, y, lines[i]);
        y += kRow;
    }
    return n > 0 ? y : y + kRow;
}

float labelled(float left, float y, float a, const std::string& label, const std::string& value) {
    return labelled(left, y, a, label, &value, 1);
}

float labelled_text(float left, float y, float a, const std::string& label, const std::string& text) {
    std::string lines[kBriefingLines];
    const int32_t n = menu_split_lines(text, lines, kBriefingLines);
    return labelled(left, y, a, label, lines, n);
}
}  // namespace

void KV_MENU_RENDER_MISSION() {
    const float a = KV_MENUGLOBALS.MENUFADE[kBriefing];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    begin_page(f, a, "Page 1 of 3");
    const PROFILETYPE& p = current_profile();
    const MISSIONDATATYPE& md = mission(p.MISSIONNUM);
    const float left = menu_content_left(f);
    float y = menu_content_top(f);
    const float gap = 5.0f;
    y = labelled(left, y, a, "Mission:", menu_mission_title(p.MISSIONNUM, KVGLOBALS.MISSIONDATA));
    y = labelled(left, y, a, "Time Limit:",
                 menu_number(static_cast<float>(md.TIMELIMIT) / 60.0f) + " Minutes");
    y = labelled(left, y, a, "Location:", md.LOCATION) + gap;
    y = labelled_text(left, y, a, "Description:", md.DESCRIPTION) + gap;
    y = labelled_text(left, y, a, "Threat Access:", md.THREATACCESS) + gap;
    y = labelled_text(left, y, a, "Siege Access:", md.SIEGEACCESS) + gap;
    y = labelled_text(left, y, a, "Resistance:", md.RESISTANCE) + gap;
    std::string objectives[5];
    int32_t n = 0;
    for (int32_t i = 0; i < 5; ++i)
        if (!md.OBJECTIVE[i].NAME.empty()) objectives[n++] = menu_number(i + 1) + ": " + md.OBJECTIVE[i].NAME;
    labelled(left, y, a, "Objectives:", objectives, n);
    menu_unclip();
}

void KV_MENU_RENDER_OBJECTIVEMAP() {
    const float a = KV_MENUGLOBALS.MENUFADE[kObjectiveMap];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    begin_page(f, a, "Page 2 of 3");
    const PROFILETYPE& p = current_profile();
    const MISSIONDATATYPE& md = mission(p.MISSIONNUM);
    const float top = menu_content_top(f);
    const float mid = f.w / 2.0f;
    menu_text_centred(mid, top, "Mission: " + menu_mission_title(p.MISSIONNUM, KVGLOBALS.MISSIONDATA));
    const int32_t obj = p.OBJECTIVENUM;
    const std::string objective_text =
        (obj >= 0 && obj < OBJECTIVE_SLOTS) ? md.OBJECTIVE[obj].NAME : std::string();
    menu_colour(MENU_PALE_BLUE, a);
    menu_text_centred(mid, top + 2.0f * MENU_LINE,
                      "Objective: " + menu_number(obj + 1) + ": " + objective_text);
    const float y1 = top + 4.0f * MENU_LINE, y2 = top + 20.0f * MENU_LINE;
    menu_quad(mid - 121.0f, y1 - 1.0f, mid + 121.0f, y2 + 1.0f, MENU_NAVY, a);
    menu_textured_quad(KVGLOBALS.MINIMAPTEX, mid - 120.0f, y1, mid + 120.0f, y2, a);
    menu_outline(mid - 121.0f, y1 - 1.0f, mid + 121.0f, y2 + 1.0f, MENU_WHITE, 0.5f * a);
    menu_unclip();
}

void KV_MENU_RENDER_GUNSHIPDATA() {
    const float a = KV_MENUGLOBALS.MENUFADE[kGunshipData];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    begin_page(f, a, "Page 3 of 3");
    const PROFILETYPE& p = current_profile();
    const float top = menu_content_top(f);
    const float left = menu_content_left(f);
    const float mid = f.w / 2.0f;
    menu_text_centred(mid, top, "Kessra Vorn MK IV Gunship");
    // The picture on the left half, the pilot's gunship on the right.
    menu_textured_quad(KV_MENUGLOBALS.GUNSHIPTEX, left + 20.0f, top + 30.0f, left + 260.0f, top + 270.0f, a);
    MenuInfoRow rows[MENU_INFO_ROWS];
    menu_profile_info(p, KVGLOBALS.MISSIONDATA, KVGLOBALS.ARMOURCLASSNAME, rows);
    const float x = mid + 10.0f;
    float y = top + 30.0f;
    auto line = [&](const std::string& label, const std::string& value, const MenuColour& c) {
        menu_colour(c, a);
        const int32_t w = menu_text(x, y, label);
        menu_colour(MENU_WHITE, a);
        menu_text(x + static_cast<float>(w), y, value);
        y += kRow + 2.0f;
    };
    line("Call Sign: ", p.CALLSIGN, MENU_PALE_BLUE);
    line("Armour: ", rows[4].value, MENU_PALE_BLUE);
    line("Armour Class: ", rows[5].value, MENU_PALE_BLUE);
    y += 6.0f;
    line("Payload:", "", MENU_WHITE);
    for (int32_t i = 7; i < MENU_INFO_ROWS; ++i) line("  " + rows[i].label + ": ", rows[i].value, MENU_PALE_BLUE);
    y = top + 262.0f;
    line("Profile Name: ", p.NAME, MENU_PALE_BLUE);
    line("Game Clock: ", p.GAMECLOCKSTRING, MENU_PALE_BLUE);
    menu_unclip();
}

void KV_MENU_RENDER_MISSION_COMPLETE() {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const float a = m.MENUFADE[kMissionComplete];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    KV_MENU_RENDER_WINDOW(a);
    const PROFILETYPE& p = current_profile();
    const float top = menu_content_top(f);
    const float mid = f.w / 2.0f;
    menu_text_centred(mid, top + MENU_LINE,
                      "MISSION " + menu_number(p.MISSIONNUM) + ": " + mission(p.MISSIONNUM - 1).NAME +
                          " COMPLETE!");
    menu_colour(MENU_PALE_BLUE, a);
    for (int32_t i = 0; i < 4; ++i)
        menu_text_centred(mid, top + MENU_LINE * static_cast<float>(4 + 2 * i), "[ incomplete ]");
    const float wl = mid - MENU_WINDOW_HALF_WIDTH;
    const float y = top + 318.0f - 48.0f;
    menu_button(wl + 0.25f * 600.0f - 50.0f, y, 100.0f, 30.0f, "Save Game", m.SELMISSIONCOMPLETE == 0, a);
    menu_button(wl + 0.75f * 600.0f - 50.0f, y, 100.0f, 30.0f, "Next Mission", m.SELMISSIONCOMPLETE == 1, a);
}
