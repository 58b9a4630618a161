// The two research screens at the base: the technology upgrades (5), with the research under
// way and its progress and the grid of installed upgrades, and the new research field list (6),
// four offered fields at a time with their research times and descriptions.
#include <algorithm>
#include <cmath>

#include "game/kv_globals.h"
#include "menu/menu_draw.h"
#include "menu/menu_globals.h"
#include "menu/menu_render.h"
#include "menu/research.h"

namespace {
constexpr int32_t kTechnology = 5;
constexpr int32_t kNewResearch = 6;
constexpr int32_t kGridColumns = 4;
constexpr int32_t kGridRows = 11;
constexpr float kGridColumnWidth = 120.0f;
constexpr int32_t kVisibleFields = 4;
constexpr float kFieldStep = 62.0f;
constexpr float kFieldHeight = 58.0f;
constexpr float kFieldTop = 60.0f;       // below the content top
constexpr int32_t kDescriptionLines = 3;

const PROFILETYPE& current_profile() {
    return KVGLOBALS.PROFILES[std::clamp(KVGLOBALS.CURPROFILE, 0, PROFILE_SLOTS - 1)];
}

bool valid_technology(int32_t k) {
    return k >= 0 && k < TECHNOLOGY_SLOTS && !KVGLOBALS.TECHNOLOGYDATA[k].TITLE.empty();
}
}  // namespace

void KV_MENU_RENDER_TECHNOLOGY() {
    const float a = KV_MENUGLOBALS.MENUFADE[kTechnology];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    KV_MENU_RENDER_WINDOW(a);
    const PROFILETYPE& p = current_profile();
    const float top = menu_content_top(f);
    const float left = menu_content_left(f);
    const float right = menu_content_right(f);
    const float mid = f.w / 2.0f;
    menu_text_centred(mid, top, "TECHNOLOGY UPGRADES");

    const int32_t r = p.RESEARCHINGTECHNOLOGY;
    std::string researching = "None Available.";
    if (valid_technology(r)) {
        const TECHNOLOGYTYPE& t = KVGLOBALS.TECHNOLOGYDATA[r];
        const int32_t pct = kv_research_percent(p, KVGLOBALS.TECHNOLOGYDATA);
        researching = t.TITLE + " (" + menu_number(pct) + "%)";
    }
    menu_colour(MENU_PALE_BLUE, a);
    const int32_t w = menu_text(left, top + 2.0f * MENU_LINE, "Currently Researching: ");
    menu_colour(MENU_WHITE, a);
    menu_text(left + static_cast<float>(w), top + 2.0f * MENU_LINE, researching);
    menu_colour(MENU_PALE_BLUE, a);
    menu_text(left, top + 4.0f * MENU_LINE, "Completed Upgrades:");

    menu_colour(MENU_WHITE, a);
    for (int32_t k = 0; k < kGridColumns * kGridRows; ++k) {
        if (p.COMPLETEDTECHNOLOGY[k] != 1 || !valid_technology(k)) continue;
        const float x = left + kGridColumnWidth * static_cast<float>(k / kGridRows);
        const float y = top + MENU_LINE * static_cast<float>(5 + k % kGridRows);
        // Each title keeps to its own column.
        const float room = std::min(kGridColumnWidth - 12.0f, right - x - 8.0f);
        menu_text(x + 8.0f, y, menu_fit_text(KVGLOBALS.TECHNOLOGYDATA[k].TITLE, static_cast<int32_t>(room)));
    }
    menu_button(mid - 50.0f, top + 318.0f - 48.0f, 100.0f, 30.0f, "Return", true, a);
}

void KV_MENU_RENDER_NEW_RESEARCH() {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const float a = m.MENUFADE[kNewResearch];
    if (a <= 0.0f) return;
    const MenuFrame f = menu_frame();
    KV_MENU_RENDER_WINDOW(a);
    const float top = menu_content_top(f);
    const float left = menu_content_left(f);
    const float right = menu_content_right(f);
    const float mid = f.w / 2.0f;
    menu_text_centred(mid, top, "RESEARCHING COMPLETE!");
    menu_text_centred(mid, top + MENU_LINE, "NEW RESEARCH FIELD AVAILABLE!");
    menu_colour(MENU_PALE_BLUE, a);
    menu_text(left, top + 3.0f * MENU_LINE, "Research Information");
    menu_text_right(right, top + 3.0f * MENU_LINE, "# Missions to Complete");

    const int32_t n = std::clamp(m.NUMNEWRESEARCH, 0, TECHNOLOGY_SLOTS);
    MenuListLayout l;
    l.rows = n;
    l.visible = kVisibleFields;
    // A short list is shown whole; a longer one from its first visible row.
    l.first = n < kVisibleFields + 1 ? 0 : std::clamp(m.TOPNEWRESEARCH, 0, n - kVisibleFields);
    l.selected = m.SELNEWRESEARCH;
    l.left = left;
    l.top = top + kFieldTop;
    l.width = right - 12.0f - left;
    l.height = kFieldHeight;
    l.step = kFieldStep;
    l.bar_x = right - 6.0f;
    l.bar_rows = kVisibleFields;
    const float field_right = right - 12.0f;
    menu_list_rows(l, [&](int32_t row, float y, bool selected) {
        const int32_t tech = m.NEWRESEARCH[row];
        if (tech < 0 || tech >= TECHNOLOGY_SLOTS) return;
        const TECHNOLOGYTYPE& t = KVGLOBALS.TECHNOLOGYDATA[tech];
        menu_list_entry_begin(l, y, selected, a);
        menu_colour(MENU_WHITE, selected ? a : 0.8f * a);
        menu_text(left + 8.0f, y + 5.0f, t.TITLE + ":");
        menu_text_right(field_right - 8.0f, y + 5.0f, "[ " + menu_number(t.TIMETORESEARCH) + " ]  ");
        std::string lines[kDescriptionLines];
        const int32_t nl = menu_split_lines(t.DESCRIPTION, lines, kDescriptionLines);
        menu_colour(MENU_PALE_BLUE, selected ? a : 0.7f * a);
        for (int32_t i = 0; i < nl; ++i)
            menu_text(left + 20.0f, y + 20.0f + 13.0f * static_cast<float>(i), lines[i]);
        menu_list_entry_end();
    });
    menu_list_scroll_bar(l, a);
}
