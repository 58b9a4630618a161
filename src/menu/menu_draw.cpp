// Drawing primitives of the menu screens and the profile information block (see menu_draw.h).
#include "menu/menu_draw.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "engine/engine_globals.h"
#include "engine/font.h"
#include "engine/textfile.h"
#include "game/kv_globals.h"
#include "menu/menu_globals.h"

namespace {
float px(float v) { return std::nearbyint(v); }
}  // namespace

MenuFrame menu_frame() {
    MenuFrame f;
    f.w = static_cast<float>(OPENGLPROPERTIES.SCR_WIDTH);
    f.h = static_cast<float>(OPENGLPROPERTIES.SCR_HEIGHT);
    f.s = KV_MENUGLOBALS.YSPACER > 0.0f ? KV_MENUGLOBALS.YSPACER : 0.1f * f.h;
    return f;
}

float menu_window_top(const MenuFrame& f) { return px(MENU_WINDOW_TOP_SPACERS * f.s); }
float menu_content_top(const MenuFrame& f) { return menu_window_top(f) + MENU_CONTENT_INSET; }
float menu_content_left(const MenuFrame& f) { return px(f.w / 2.0f - 290.0f); }
float menu_content_right(const MenuFrame& f) { return px(f.w / 2.0f + 290.0f); }

void menu_colour(const MenuColour& c, float alpha) { glColor4f(c.r, c.g, c.b, alpha); }

void menu_quad(float x1, float y1, float x2, float y2, const MenuColour& c, float alpha) {
    menu_quad_vertical(x1, y1, x2, y2, c, alpha, c, alpha);
}

void menu_quad_vertical(float x1, float y1, float x2, float y2, const MenuColour& top,
                        float top_alpha, const MenuColour& bottom, float bottom_alpha) {
    glBegin(GL_QUADS);
    menu_colour(top, top_alpha);
    glVertex2f(x1, y1);
    menu_colour(bottom, bottom_alpha);
    glVertex2f(x1, y2);
    glVertex2f(x2, y2);
    menu_colour(top, top_alpha);
    glVertex2f(x2, y1);
    glEnd();
}

void menu_outline(float x1, float y1, float x2, float y2, const MenuColour& c, float alpha) {
    // Four one-pixel strips on the rectangle's own edge rows and columns (quads, so the line
    // width the mission view sets does not thicken them).
    menu_quad(x1, y1, x2, y1 + 1.0f, c, alpha);
    menu_quad(x1, y2 - 1.0f, x2, y2, c, alpha);
    menu_quad(x1, y1 + 1.0f, x1 + 1.0f, y2 - 1.0f, c, alpha);
    menu_quad(x2 - 1.0f, y1 + 1.0f, x2, y2 - 1.0f, c, alpha);
}

void menu_textured_quad(int32_t texture, float x1, float y1, float x2, float y2, float alpha) {
    if (texture == 0) return;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    // Images are stored bottom row first: the top edge of the quad takes t = 1.
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(x1, y1);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x1, y2);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(x2, y2);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(x2, y1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

int32_t menu_snapshot_side(int32_t side, bool any_size, int32_t max_side) {
    if (side <= 0 || max_side <= 0 || side > max_side) return 0;
    if (any_size) return side;
    int32_t p = 1;
    while (p < side) {
        if (p > max_side / 2) return 0;
        p *= 2;
    }
    return p;
}

namespace {
// Textures of any size came with OpenGL 2.0 (earlier as an extension).
bool textures_of_any_size() {
    static int known = -1;
    if (known < 0) {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        known = (version && version[0] >= '2' && version[0] <= '9' && version[1] == '.') ||
                        (extensions && std::strstr(extensions, "GL_ARB_texture_non_power_of_two"))
                    ? 1
                    : 0;
    }
    return known == 1;
}
}  // namespace

bool menu_snapshot_take(MenuSnapshot& s, int32_t width, int32_t height) {
    s.held = false;
    GLint max_side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_side);
    const bool any = textures_of_any_size();
    const int32_t tw = menu_snapshot_side(width, any, max_side);
    const int32_t th = menu_snapshot_side(height, any, max_side);
    if (tw == 0 || th == 0) return false;
    // Errors left by earlier drawing are not this copy's; a few at most are pending.
    for (int32_t i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
    }
    if (s.texture == 0) glGenTextures(1, &s.texture);
    if (s.texture == 0) return false;
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    if (glGetError() != GL_NO_ERROR) return false;
    s.width = width;
    s.height = height;
    s.tex_width = tw;
    s.tex_height = th;
    s.held = true;
    return true;
}

void menu_snapshot_put(const MenuSnapshot& s) {
    if (!s.held) return;
    const GLint vp_w = s.width, vp_h = s.height;
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Clip space corners land on the held rectangle's pixel corners: texel i covers pixel i.
    glViewport(0, 0, vp_w, vp_h);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const GLboolean blend = glIsEnabled(GL_BLEND);
    if (blend) glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float u = static_cast<float>(s.width) / static_cast<float>(s.tex_width);
    const float v = static_cast<float>(s.height) / static_cast<float>(s.tex_height);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(u, 0.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(u, v);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, v);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_2D);
    if (blend) glEnable(GL_BLEND);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void menu_snapshot_release(MenuSnapshot& s) {
    if (s.texture != 0) glDeleteTextures(1, &s.texture);
    s = MenuSnapshot{};
}

void menu_panel(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float opacity) {
    const float a = 0.5f * opacity;
    const float fx1 = static_cast<float>(x1), fy1 = static_cast<float>(y1);
    const float fx2 = static_cast<float>(x2), fy2 = static_cast<float>(y2);
    menu_quad(fx1, fy1, fx2, fy2, MENU_NAVY, a);
    menu_quad_vertical(fx1 + 4, fy1 + 4, fx2 - 4, fy2 - 4, MENU_BLUE, a, MENU_NAVY, a);
    menu_outline(fx1 + 4, fy1 + 4, fx2 - 4, fy2 - 4, MENU_WHITE, a);
}

int32_t menu_text(float x, float y, const std::string& text) {
    const float fx = px(x), fy = px(y);
    FONT_DRAW(fx, fy, text);
    return FONT_DRAW(fx, fy, text);
}

int32_t menu_text_width(const std::string& text) {
    int32_t w = 0, h = 0;
    FONT_XY(w, h, text);
    return w;
}

void menu_text_centred(float centre_x, float y, const std::string& text) {
    menu_text(centre_x - static_cast<float>(menu_text_width(text)) / 2.0f, y, text);
}

void menu_text_right(float right_x, float y, const std::string& text) {
    menu_text(right_x - static_cast<float>(menu_text_width(text)), y, text);
}

std::string menu_fit_text(const std::string& text, int32_t max_width) {
    if (menu_text_width(text) <= max_width) return text;
    std::string t = text;
    while (!t.empty()) {
        t.pop_back();
        while (!t.empty() && t.back() == ' ') t.pop_back();
        if (menu_text_width(t + "...") <= max_width) return t + "...";
    }
    return std::string();
}

int32_t menu_split_lines(const std::string& text, std::string* out, int32_t max) {
    if (max <= 0) return 0;
    int32_t n = 0;
    std::size_t start = 0;
    while (n < max) {
        const std::size_t mark = text.find("\\n", start);
        if (mark == std::string::npos) {
            out[n++] = text.substr(start);
            break;
        }
        out[n++] = text.substr(start, mark - start);
        start = mark + 2;
    }
    return n;
}

std::string menu_number(float v) {
    std::string t = text_single(v);
    if (!t.empty() && t[0] == ' ') t.erase(0, 1);
    return t;
}

std::string menu_number(int32_t v) {
    std::string t = text_int(v);
    if (!t.empty() && t[0] == ' ') t.erase(0, 1);
    return t;
}

std::string menu_mission_title(int32_t mission_index, const MISSIONDATATYPE* missions) {
    std::string t = menu_number(mission_index + 1) + ": ";
    if (missions && mission_index >= 0 && mission_index < MISSION_SLOTS)
        t += missions[mission_index].NAME;
    return t;
}

std::string menu_personnel_text(const PROFILETYPE& p) {
    std::string t;
    if (p.USWSF > 0) t += "USWSF (" + menu_number(p.USWSF) + ")";
    if (p.ENGINEERS > 0) t += (t.empty() ? "" : "  ") + std::string("ENG (") + menu_number(p.ENGINEERS) + ")";
    return t.empty() ? "None" : t;
}

std::string menu_equipment_text(const PROFILETYPE& p) {
    return p.FCPKIT > 0 ? "FCP Kit (" + menu_number(p.FCPKIT) + ")" : "None";
}

void menu_profile_info(const PROFILETYPE& p, const MISSIONDATATYPE* missions,
                       const std::string* armour_class_names, MenuInfoRow out[MENU_INFO_ROWS]) {
    std::string armour_class = menu_number(p.ARMOURCLASS);
    if (armour_class_names && p.ARMOURCLASS >= 0 && p.ARMOURCLASS < ARMOURCLASSNAME_SLOTS &&
        !armour_class_names[p.ARMOURCLASS].empty())
        armour_class = armour_class_names[p.ARMOURCLASS];
    out[0] = {"Profile Name", p.NAME};
    out[1] = {"Game Clock", p.GAMECLOCKSTRING};
    out[2] = {"Mission", menu_mission_title(p.MISSIONNUM, missions)};
    out[3] = {"Call Sign", p.CALLSIGN};
    out[4] = {"Armour", menu_number(100.0f * p.ARMOUR) + "%"};
    out[5] = {"Armour Class", armour_class};
    out[6] = {"Payload:", ""};
    out[7] = {"Fuel ", menu_number(100.0f * p.FUEL) + "%"};
    out[8] = {"VT90mm Rounds", menu_number(p.VT90S)};
    out[9] = {"Rockets", menu_number(p.ROCKETS)};
    out[10] = {"Mines", menu_number(p.MINES)};
    out[11] = {"Personnel", menu_personnel_text(p)};
    out[12] = {"Equipment", menu_equipment_text(p)};
}

void menu_draw_profile_info(const PROFILETYPE& p, float x, float y, float width, float opacity) {
    MenuInfoRow rows[MENU_INFO_ROWS];
    menu_profile_info(p, KVGLOBALS.MISSIONDATA, KVGLOBALS.ARMOURCLASSNAME, rows);
    const float half = width / 2.0f;
    const float label_width = 96.0f, payload_label_width = 112.0f;
    for (int32_t i = 0; i < MENU_INFO_ROWS; ++i) {
        const bool pilot = i < MENU_INFO_PILOT_ROWS;
        const float col = pilot ? x : x + half;
        const float row_y = y + MENU_INFO_ROW * static_cast<float>(pilot ? i : i - MENU_INFO_PILOT_ROWS);
        const bool heading = rows[i].label == "Payload:";
        menu_colour(heading ? MENU_WHITE : MENU_PALE_BLUE, opacity);
        // Payload rows sit under their heading, indented.
        const float label_x = (!pilot && !heading) ? col + 8.0f : col;
        menu_text(label_x, row_y, rows[i].label);
        if (heading) continue;
        menu_colour(MENU_WHITE, opacity);
        menu_text(col + (pilot ? label_width : payload_label_width), row_y, ": " + rows[i].value);
    }
}

void menu_button(float x, float y, float width, float height, const std::string& text,
                 bool selected, float opacity) {
    x = px(x);
    y = px(y);
    menu_quad_vertical(x, y, x + width, y + height, MENU_NAVY, 0.0f, selected ? MENU_BLUE : MENU_NAVY,
                       opacity);
    menu_outline(x, y, x + width, y + height, selected ? MENU_WHITE : MENU_PALE_BLUE, 0.5f * opacity);
    if (text.empty()) return;
    if (selected)
        menu_colour(MENU_WHITE, opacity);
    else
        menu_colour(MENU_PALE_BLUE, 0.5f * opacity);
    menu_text_centred(x + width / 2.0f, y + (height - 12.0f) / 2.0f, text);
}

float menu_cursor_alpha(float phase, float opacity) {
    const float s = std::sin(phase);
    return s > 0.0f ? s * opacity * 0.25f : 0.0f;
}

void menu_text_field(const MenuFrame& f, float line_top, const std::string& label,
                     const std::string& value, bool selected, float opacity) {
    const float mid = f.w / 2.0f;
    menu_button(mid + 5.0f, line_top - 5.0f, 160.0f, 20.0f, "", selected, opacity);
    if (selected)
        menu_colour(MENU_WHITE, opacity);
    else
        menu_colour(MENU_PALE_BLUE, 0.5f * opacity);
    menu_text_right(mid - 10.0f, line_top, label);
    menu_colour(MENU_WHITE, opacity);
    const int32_t w = value.empty() ? 0 : menu_text(mid + 10.0f, line_top, value);
    if (!selected) return;
    const float a = menu_cursor_alpha(KV_MENUGLOBALS.TEXTCURSORFADE, opacity);
    if (a <= 0.0f) return;
    menu_colour(MENU_WHITE, a);
    FONT_DRAW(px(mid + 12.0f + static_cast<float>(w)), px(line_top - 1.0f), "|");
}

void menu_scroll_bar(float x, float y1, float y2, int32_t pos, int32_t steps, float opacity) {
    menu_quad(x, y1, x + 6.0f, y2, MENU_NAVY, 0.8f * opacity);
    menu_outline(x, y1, x + 6.0f, y2, MENU_PALE_BLUE, 0.5f * opacity);
    const float track = y2 - y1;
    const float thumb = steps > 0 ? track / static_cast<float>(steps + 1) : track;
    int32_t at = pos < 0 ? 0 : pos;
    if (steps > 0 && at > steps) at = steps;
    if (steps <= 0) at = 0;
    const float top = y1 + thumb * static_cast<float>(at);
    menu_quad_vertical(x + 1.0f, top + 1.0f, x + 5.0f, top + thumb - 1.0f, MENU_WHITE, opacity,
                       MENU_PALE_BLUE, opacity);
}

void menu_clip(float x1, float y1, float x2, float y2) {
    const float h = static_cast<float>(OPENGLPROPERTIES.SCR_HEIGHT);
    glEnable(GL_SCISSOR_TEST);
    const GLint x = static_cast<GLint>(px(x1));
    const GLint w = static_cast<GLint>(px(x2 - x1));
    const GLint y = static_cast<GLint>(px(h - y2));
    const GLint ht = static_cast<GLint>(px(y2 - y1));
    glScissor(x, y, w > 0 ? w : 0, ht > 0 ? ht : 0);
}

void menu_unclip() { glDisable(GL_SCISSOR_TEST); }

void menu_list_entry_begin(const MenuListLayout& l, float y, bool selected, float opacity) {
    menu_button(l.left, y, l.width, l.height, "", selected, opacity);
    const float in = l.clip_inset;
    menu_clip(l.left + in, y + in, l.left + l.width - in, y + l.height - in);
}

void menu_list_entry_end() { menu_unclip(); }

void menu_list_scroll_bar(const MenuListLayout& l, float opacity) {
    const float bottom = l.top + l.step * static_cast<float>(l.bar_rows) - (l.step - l.height);
    menu_scroll_bar(l.bar_x, l.top, bottom, l.first, l.rows - l.visible, opacity);
}
