// Drawing primitives of the menu screens: the window geometry every screen is laid out in
// (window size, the vertical spacer, the menu window rectangle), flat and shaded quads, the
// framed window panel, buttons, text fields and the heavy (twice drawn) window text; plus the
// text the screens show for a profile (its information block), which is pure and testable
// without a context. All positions are overlay pixels, origin top left, y down.
#pragma once

#include <cstdint>
#include <string>

#include "game/mission_types.h"
#include "game/profile_types.h"

// The current window: width W, height H, spacer S (the menu's YSPACER, or 0.1 H before the
// menu has set it).
struct MenuFrame {
    float w = 0.0f;
    float h = 0.0f;
    float s = 0.0f;
};
MenuFrame menu_frame();

// The menu window rectangle and its content box.
inline constexpr float MENU_WINDOW_HALF_WIDTH = 300.0f;
inline constexpr float MENU_WINDOW_HEIGHT = 328.0f;
inline constexpr float MENU_WINDOW_TOP_SPACERS = 2.462f;
inline constexpr float MENU_CONTENT_INSET = 10.0f;
inline constexpr float MENU_LINE = 15.0f;            // text line spacing inside windows
float menu_window_top(const MenuFrame& f);           // 2.462 S
float menu_content_top(const MenuFrame& f);          // window top + 10
float menu_content_left(const MenuFrame& f);         // W/2 - 290
float menu_content_right(const MenuFrame& f);        // W/2 + 290

// Colours of the menu style.
struct MenuColour {
    float r, g, b;
};
inline constexpr MenuColour MENU_WHITE = {1.0f, 1.0f, 1.0f};
inline constexpr MenuColour MENU_PALE_BLUE = {0.5f, 0.75f, 1.0f};
inline constexpr MenuColour MENU_NAVY = {0.1f, 0.2f, 0.4f};
inline constexpr MenuColour MENU_BLUE = {0.2f, 0.4f, 0.8f};
inline constexpr MenuColour MENU_WARM_GREY = {0.71f, 0.69f, 0.63f};
inline constexpr MenuColour MENU_ALERT = {1.0f, 0.23f, 0.1f};

void menu_colour(const MenuColour& c, float alpha);

// A quad from (x1, y1) to (x2, y2), flat or shaded from the top edge to the bottom edge.
void menu_quad(float x1, float y1, float x2, float y2, const MenuColour& c, float alpha);
void menu_quad_vertical(float x1, float y1, float x2, float y2, const MenuColour& top,
                        float top_alpha, const MenuColour& bottom, float bottom_alpha);
// A one-pixel rectangle outline.
void menu_outline(float x1, float y1, float x2, float y2, const MenuColour& c, float alpha);
// A texture stretched over a rectangle, tinted white at `alpha` (nothing for texture 0).
void menu_textured_quad(int32_t texture, float x1, float y1, float x2, float y2, float alpha);

// A copy of the window's colour buffer kept in a texture and laid back later pixel for pixel
// (nearest texels at 1:1, no blending, alpha included), for a layer that stays the same from
// frame to frame: putting the copy back costs a software renderer a fraction of drawing the
// layer again with filtered, blended textures and text.
struct MenuSnapshot {
    uint32_t texture = 0;
    int32_t width = 0;  // the part of the window held, from its bottom left corner
    int32_t height = 0;
    int32_t tex_width = 0;  // the texture's own size (powers of two where the driver needs them)
    int32_t tex_height = 0;
    bool held = false;
};
// The texture side that holds `side` pixels: `side` itself where the driver takes any size,
// else the next power of two; 0 when that passes `max_side` or `side` is not positive.
int32_t menu_snapshot_side(int32_t side, bool any_size, int32_t max_side);
// Copies the bottom left `width` x `height` pixels of the colour buffer being drawn; false (and
// nothing held) when the driver cannot keep a texture that large.
bool menu_snapshot_take(MenuSnapshot& s, int32_t width, int32_t height);
// Lays the held copy over the bottom left corner of the viewport, replacing what is there.
// Leaves texturing off, the blend switch as it found it and the current colour unchanged.
void menu_snapshot_put(const MenuSnapshot& s);
// Gives the texture back; nothing is held afterwards.
void menu_snapshot_release(MenuSnapshot& s);

// The framed panel of every menu window and box: navy fill, an inner rectangle shaded from
// blue at its top to navy at its bottom, a white outline around the inner rectangle, all at
// 0.5 x opacity.
void menu_panel(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float opacity);

// Window text: drawn twice at the same place so it reads heavier. Returns the width.
int32_t menu_text(float x, float y, const std::string& text);
int32_t menu_text_width(const std::string& text);
void menu_text_centred(float centre_x, float y, const std::string& text);
void menu_text_right(float right_x, float y, const std::string& text);

// The text shortened with "..." so that it is at most `max_width` pixels wide (unchanged when
// it fits).
std::string menu_fit_text(const std::string& text, int32_t max_width);

// The lines of a text split at its two-character backslash-n marks; at most `max` lines are
// written into `out`, and the count is returned.
int32_t menu_split_lines(const std::string& text, std::string* out, int32_t max);

// Number text of the screens: the shortest decimal text of a value.
std::string menu_number(float v);
std::string menu_number(int32_t v);

// The information block of one profile: a label and its value per row. Rows 0-5 describe
// the pilot (name, clock, mission, call sign, armour, armour class), rows 6-12 the payload
// (a "Payload:" heading with an empty value, fuel, rounds, rockets, mines, personnel,
// equipment). `missions` is the mission table (MISSION_SLOTS records).
inline constexpr int32_t MENU_INFO_ROWS = 13;
inline constexpr int32_t MENU_INFO_PILOT_ROWS = 6;
struct MenuInfoRow {
    std::string label;
    std::string value;
};
void menu_profile_info(const PROFILETYPE& p, const MISSIONDATATYPE* missions,
                       const std::string* armour_class_names, MenuInfoRow out[MENU_INFO_ROWS]);
// "N: NAME" for a mission index, counted from 1; an index outside the table names no mission.
std::string menu_mission_title(int32_t mission_index, const MISSIONDATATYPE* missions);
// The personnel and equipment values of the block ("USWSF (2)  ENG (1)", "FCP Kit (1)",
// "None" when there are none).
std::string menu_personnel_text(const PROFILETYPE& p);
std::string menu_equipment_text(const PROFILETYPE& p);

// The information block drawn in two label/value column pairs inside the box starting at
// (x, y) of width `width`; rows 13 pixels apart.
inline constexpr float MENU_INFO_ROW = 13.0f;
void menu_draw_profile_info(const PROFILETYPE& p, float x, float y, float width, float opacity);

// A button of the menu style: a quad shaded from transparent navy at its top to navy
// (blue when selected) at `opacity` at its bottom, an outline (pale blue or white at half
// opacity) and its text centred, drawn twice.
void menu_button(float x, float y, float width, float height, const std::string& text,
                 bool selected, float opacity);

// A text field on the line whose top is `line_top`: the label right-aligned to end at
// W/2 - 10, the value from W/2 + 10 on a 160 x 20 button, and the blinking cursor when
// selected.
void menu_text_field(const MenuFrame& f, float line_top, const std::string& label,
                     const std::string& value, bool selected, float opacity);
// The cursor's alpha for a phase: sin(phase) x opacity x 0.25, 0 while the sine is negative.
float menu_cursor_alpha(float phase, float opacity);

// A vertical scroll bar: a track from y1 to y2 at x and a thumb for position `pos` of
// `steps` + 1 positions (no thumb movement when steps <= 0).
void menu_scroll_bar(float x, float y1, float y2, int32_t pos, int32_t steps, float opacity);

// Clips drawing to a rectangle of overlay pixels, and lifts the clip again.
void menu_clip(float x1, float y1, float x2, float y2);
void menu_unclip();

// A scrolling list of selectable entries (the profile list, the research fields): entry boxes
// `height` high and `step` apart from (left, top), `width` wide, `visible` of them from row
// `first` of `rows`, and a scroll bar at `bar_x` as long as `bar_rows` entries.
struct MenuListLayout {
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float step = 0.0f;
    float clip_inset = 0.0f;  // the entry's content keeps this far inside its box
    int32_t first = 0;
    int32_t visible = 0;
    int32_t rows = 0;
    int32_t selected = -1;
    float bar_x = 0.0f;
    int32_t bar_rows = 0;
};
// Calls draw(row, y, selected) for each visible row, y being the top of its box.
template <class Draw>
void menu_list_rows(const MenuListLayout& l, Draw&& draw) {
    for (int32_t k = 0; k < l.visible; ++k) {
        const int32_t row = l.first + k;
        if (row >= l.rows) break;
        draw(row, l.top + static_cast<float>(k) * l.step, row == l.selected);
    }
}
// An entry's empty box with the clip set to its inside; the content follows, then
// menu_list_entry_end lifts the clip.
void menu_list_entry_begin(const MenuListLayout& l, float y, bool selected, float opacity);
void menu_list_entry_end();
// The list's scroll bar: the thumb at `first` of the rows beyond the visible ones.
void menu_list_scroll_bar(const MenuListLayout& l, float opacity);
