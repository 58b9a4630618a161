// The menu's state record (KV_MENUGLOBALSTYPE) and its one instance KV_MENUGLOBALS, which
// exists from before main until the process ends. Every field starts at zero or empty; the
// menu initialisation sets the few that differ.
#pragma once

#include <cstdint>
#include <string>

#include "game/technology_types.h"

inline constexpr int32_t MENU_MAINFADE_SLOTS = 10;    // SELMAINFADE 0-9
inline constexpr int32_t MENU_SCREEN_SLOTS = 1000;    // MENUFADE 0-999, by screen number
inline constexpr int32_t MENU_CREDIT_SLOTS = 100;     // CREDITROW 0-99

struct KV_MENUGLOBALSTYPE {
    int8_t INITIALIZED = 0;
    int8_t EXITCODE = 0;               // 7 ends the menu loop and the program
    int32_t MISSIONTEX = 0;            // texture names
    int32_t WORLDMAPTEX = 0;
    int32_t GUNSHIPTEX = 0;
    float YSPACER = 0.0f;              // 0.1 x window height
    float TEXTCURSORFADE = 0.0f;
    int32_t NUMPROFILES = 0;
    int32_t SELPROFILE = 0;
    int32_t TOPPROFILE = 0;
    int32_t SELNEWPROFILE = 0;
    std::string NEWPROFILENAME;
    std::string NEWPROFILECALLSIGN;
    int32_t SELPROPERTIES = 0;
    std::string VIEWPROFILENAME;
    std::string VIEWPROFILECALLSIGN;
    int32_t CONFIRMBOX = 0;
    int32_t CONFIRMSELECTION = 0;
    float CONFIRMFADE = 0.0f;
    std::string CONFIRMTITLE;
    std::string CONFIRMMESSAGE;
    int32_t CONFIRMKEY = 0;
    int32_t OKBOX = 0;
    float OKFADE = 0.0f;
    std::string OKTITLE;
    std::string OKMESSAGE;
    int32_t INGAMESELECTION = 0;
    int32_t INGAMEMENU = 0;
    int32_t SELMAIN = 0;
    float SELMAINFADE[MENU_MAINFADE_SLOTS] = {};
    int32_t SELMISSIONCOMPLETE = 0;
    int32_t SELTECHNOLOGY = 0;
    int32_t SELNEWRESEARCH = 0;
    int32_t NUMNEWRESEARCH = 0;
    int32_t TOPNEWRESEARCH = 0;
    int32_t NEWRESEARCH[TECHNOLOGY_SLOTS] = {};
    int32_t NFILESTOLOAD = 0;
    int32_t LASTFILELOADED = 0;
    std::string FILENAMETOLOAD;
    int32_t LOADINGCOMPLETED = 0;
    float MENUFADE[MENU_SCREEN_SLOTS] = {};
    int32_t CREDITLINES = 0;
    std::string CREDITROW[MENU_CREDIT_SLOTS];
    float CREDITSSCROLLY = 0.0f;
    float CREDITSFADE = 0.0f;
    int32_t PRELOADCHECK = 0;
    int32_t CURMENU = 0;
    int32_t WAITKEY = 0;
    int32_t JUMPBACK = 0;
};

extern KV_MENUGLOBALSTYPE KV_MENUGLOBALS;

// Opens the OK box with these texts (a backslash-n pair in the message breaks the line).
void kv_menu_open_okbox(const std::string& title, const std::string& message);
// Opens the confirm box asking `key`'s question, with `selection` highlighted.
void kv_menu_open_confirmbox(const std::string& title, const std::string& message, int32_t selection,
                             int32_t key);
