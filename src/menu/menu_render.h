// Menu screens: one frame of the menu (KV_MENU_RENDER) and the renderer of every screen and
// box. Each screen draws only while its visibility MENUFADE[screen] is above 0 and uses it as
// its opacity, so screens cross-fade; drawing changes no menu state except the fades, the
// credits scroll and the main menu's highlight strengths.
#pragma once

#include <cstdint>
#include <string>

// One menu frame: clear, title screen and credits (3D), then in the 2D overlay the backdrop,
// the fades, every window screen in a fixed order, the two boxes and the alert line; then the
// background tile compilation.
void KV_MENU_RENDER();

// Screen renderers (screen numbers in brackets).
void KV_MENU_RENDER_MAIN();                // 7, the title screen
void KV_MENU_RENDER_CREDITS();             // 9
void KV_MENU_RENDER_BACKDROP();            // the shared window backdrop, fade slot 900
void KV_MENU_RENDER_PROFILELIST();         // 0
void KV_MENU_RENDER_NEW_PROFILE();         // 110
void KV_MENU_RENDER_PROFILEPROPERTIES();   // 120
void KV_MENU_RENDER_MISSION();             // 2, briefing, page 1 of 3
void KV_MENU_RENDER_OBJECTIVEMAP();        // 3, page 2 of 3
void KV_MENU_RENDER_GUNSHIPDATA();         // 1, page 3 of 3
void KV_MENU_RENDER_MISSION_COMPLETE();    // 200
void KV_MENU_RENDER_TECHNOLOGY();          // 5
void KV_MENU_RENDER_NEW_RESEARCH();        // 6
void KV_MENU_RENDER_CONFIRMBOX(const std::string& title, const std::string& message);
void KV_MENU_RENDER_OKBOX(const std::string& title, const std::string& message);

// The backdrop at full strength is drawn once and then laid back from a kept copy while the
// window and its pictures stay the same (on by default). Off draws it afresh on every frame and
// lets the copy go; kept says whether a copy is held now.
void kv_menu_keep_backdrop(bool on);
bool kv_menu_backdrop_kept();

// The menu window every window screen is drawn in; leaves the colour white at `opacity`.
void KV_MENU_RENDER_WINDOW(float opacity);
// A button of the menu style (selected style when `selected` is non-zero).
void KV_MENU_RENDER_BUTTON(float x, float y, float width, float height, const std::string& text,
                           int32_t selected, float opacity);


// The menu's own pictures: the backdrop, the world map and the gunship picture into
// MISSIONTEX, WORLDMAPTEX and GUNSHIPTEX (paths relative to the game directory). Belongs to the
// menu's one-time initialisation; a missing picture leaves its texture without an image and
// gets a console line from the texture loader. The environment variable KV_MENU_FRESH_BACKDROP=1
// turns the kept backdrop off (see kv_menu_keep_backdrop), with a console line saying so.
void kv_menu_load_screen_assets();


// One step of the credits scroll: the scroll position and fade advance by FPSR, and the list
// starts again from the middle of the window once its last line has passed the top.
void kv_menu_credits_step(float& scroll, float& fade, int32_t lines, float fpsr, float height);
