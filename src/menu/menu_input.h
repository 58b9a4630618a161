// Menu input: the logical menu keys, the hold-offs, one handler per screen and for the confirm
// and OK boxes, text entry for the name fields, and the jump back after a mission run.
//
// Screens (KV_MENUGLOBALS.CURMENU): 0 profile list, 1/2/3 mission window pages (gunship data,
// briefing, objective map), 4 loading, 5 technology, 6 new research, 7 main menu, 9 credits,
// 10 preloading, 110 new profile, 120 profile properties, 200 mission complete.
#pragma once

#include <cstdint>
#include <string>

// Logical menu keys of KV_MENU_PROCESSINPUTS_CHECKKEY.
inline constexpr int32_t MENUKEY_PREVIOUS = 0;
inline constexpr int32_t MENUKEY_ACCEPT = 1;
inline constexpr int32_t MENUKEY_NEXT = 2;
inline constexpr int32_t MENUKEY_CANCEL = 3;
inline constexpr int32_t MENUKEY_LEFT = 4;
inline constexpr int32_t MENUKEY_RIGHT = 5;
inline constexpr int32_t MENUKEY_UP = 6;
inline constexpr int32_t MENUKEY_DOWN = 7;
inline constexpr int32_t MENUKEY_ESCAPE = 8;

// Longest profile name or call sign.
inline constexpr size_t MENU_TEXT_MAX = 12;

void KV_MENU_PROCESSINPUTS();
// 1 while the logical key is held. While a name field is selected, controls bound to printable
// keys do not count (those keys type instead).
int32_t KV_MENU_PROCESSINPUTS_CHECKKEY(int32_t key);
void KV_MENU_PROCESS_CONFIRMKEYS();
void KV_MENU_PROCESS_JUMPBACK();

void KV_MENU_PROCESSINPUTS_MAIN();
void KV_MENU_PROCESSINPUTS_CREDITS();
void KV_MENU_PROCESSINPUTS_INGAME();
void KV_MENU_PROCESSINPUTS_MISSION_COMPLETE();
void KV_MENU_PROCESSINPUTS_NEW_PROFILE();
void KV_MENU_PROCESSINPUTS_PROFILES();
void KV_MENU_PROCESSINPUTS_PROFILE_PROPERTIES();
void KV_MENU_PROCESSINPUTS_TECHNOLOGY();
void KV_MENU_PROCESSINPUTS_NEW_RESEARCH();
void KV_MENU_PROCESSINPUTS_CONFIRMBOX();
void KV_MENU_PROCESSINPUTS_OKBOX();

// True while a name field has the cursor (new-profile rows 0-1, properties items 4-5).
bool kv_menu_text_field_selected();

// Hold-off test with the clock's wrap-around: true while `waitkey` lies after `now`.
bool kv_menu_held_off(int32_t waitkey, int32_t now);

// One text-entry pass on `field`: Backspace removes the last character, each printable key
// (codes 32-126) that is down appends its character while the field is shorter than 12; a comma
// and a double quote are refused (they would break profiles.dat). `placeholder`, when the field
// still holds it, is emptied first. Returns true when a key acted (the caller sets the 150 ms
// hold-off). key_down answers for GLFW key numbers.
bool kv_menu_text_entry(std::string& field, const std::string& placeholder, bool (*key_down)(int32_t));
