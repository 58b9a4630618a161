// Menu input (see menu_input.h).
#include "menu/menu_input.h"

#include <GLFW/glfw3.h>

#include <cmath>

#include "config/config.h"
#include "config/control_codes.h"
#include "engine/engine_globals.h"
#include "engine/system.h"
#include "game/input.h"
#include "game/kv_globals.h"
#include "game/objectives.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "menu/mission_flow.h"
#include "menu/profiles.h"
#include "menu/research.h"
#include "menu/version_check.h"
#include "platform/clock.h"
#include "platform/input.h"

namespace {

constexpr int32_t kHoldKey = 200;
constexpr int32_t kHoldType = 150;

// Set for one input pass while a name field has the cursor.
bool g_typing = false;

bool key(int32_t k) { return KV_MENU_PROCESSINPUTS_CHECKKEY(k) != 0; }

// A configured control as the menu reads it: ignored while typing when it is bound to a key that
// types a character.
float control(int32_t c) {
    if (g_typing && CONFIGVARS.INPUTTYPE == 0 && c >= 0 && c < CONFIG_NCONTROLS) {
        const int32_t glfw = control_code_info(CONFIGVARS.CONTROL[c]).GLFWKEY;
        if (glfw >= 32 && glfw <= 126) return 0.0f;
    }
    return INPUT_GETCONTROLLERINPUT(c);
}

bool platform_key(int32_t k) { return platform_key_down(k); }

PROFILETYPE* profile_at(int32_t i) {
    return (i >= 0 && i < PROFILE_SLOTS) ? &KVGLOBALS.PROFILES[i] : nullptr;
}

void hold(int32_t now, int32_t ms = kHoldKey) { KV_MENUGLOBALS.WAITKEY = now + ms; }

// The alerts for empty texts; true when both are present.
bool names_present(const std::string& name, const std::string& callsign) {
    if (name.empty()) KV_SETALERT("Enter A Profile Name");
    if (callsign.empty()) KV_SETALERT("Enter A Call Sign");
    return !name.empty() && !callsign.empty();
}

// A mission run from a menu handler, then the jump back and the fades from black.
void run_mission_and_return() {
    kv_menu_run_mission();
    KV_MENU_PROCESS_JUMPBACK();
    KV_MENU_CLEARFADES();
}

}  // namespace

bool kv_menu_held_off(int32_t waitkey, int32_t now) {
    return static_cast<int32_t>(static_cast<uint32_t>(waitkey) - static_cast<uint32_t>(now)) > 0;
}

bool kv_menu_text_field_selected() {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    if (m.CONFIRMBOX == 1 || m.OKBOX == 1) return false;
    if (m.CURMENU == 110) return m.SELNEWPROFILE == 0 || m.SELNEWPROFILE == 1;
    if (m.CURMENU == 120) return m.SELPROPERTIES == 4 || m.SELPROPERTIES == 5;
    return false;
}

int32_t KV_MENU_PROCESSINPUTS_CHECKKEY(int32_t k) {
    const bool c4 = control(4) > 0.5f, c5 = control(5) > 0.5f, c0 = control(0) > 0.5f;
    const bool c1 = control(1) > 0.5f, c2 = control(2) > 0.5f, c3 = control(3) > 0.5f;
    const bool left = platform_key_down(GLFW_KEY_LEFT), right = platform_key_down(GLFW_KEY_RIGHT);
    const bool up = platform_key_down(GLFW_KEY_UP), down = platform_key_down(GLFW_KEY_DOWN);
    switch (k) {
        case MENUKEY_PREVIOUS: return (c4 || c0 || c2 || left || up) ? 1 : 0;
        case MENUKEY_ACCEPT:
            return (std::nearbyint(control(7)) != 0.0f || platform_key_down(GLFW_KEY_ENTER)) ? 1 : 0;
        case MENUKEY_NEXT: return (c5 || c1 || c3 || platform_key_down(GLFW_KEY_TAB) || right || down) ? 1 : 0;
        case MENUKEY_CANCEL: return control(8) != 0.0f ? 1 : 0;
        case MENUKEY_LEFT: return (c0 || c2 || left) ? 1 : 0;
        case MENUKEY_RIGHT: return (c1 || c3 || right) ? 1 : 0;
        case MENUKEY_UP: return (c4 || up) ? 1 : 0;
        case MENUKEY_DOWN: return (c5 || down) ? 1 : 0;
        case MENUKEY_ESCAPE: return platform_key_down(GLFW_KEY_ESCAPE) ? 1 : 0;
        default: return 0;
    }
}

bool kv_menu_text_entry(std::string& field, const std::string& placeholder, bool (*key_down)(int32_t)) {
    bool acted = false;
    if (key_down(GLFW_KEY_BACKSPACE)) {
        if (!placeholder.empty() && field == placeholder) field.clear();
        if (!field.empty()) field.pop_back();
        acted = true;
    }
    for (int32_t code = 32; code <= 126; ++code) {
        if (!key_down(code)) continue;
        acted = true;
        if (!placeholder.empty() && field == placeholder) field.clear();
        if (code == ',' || code == '"') continue;
        if (field.size() < MENU_TEXT_MAX) field += static_cast<char>(code);
    }
    return acted;
}

void KV_MENU_PROCESSINPUTS() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    kv_version_poll();
    g_typing = kv_menu_text_field_selected();
    // The live-tuning keys are letters; while a name is typed they type.
    if (!g_typing) SYSTEM_PROCESS_ADJUSTMENT_INPUTS();
    bool box = false;
    if (m.CONFIRMBOX == 1) {
        KV_MENU_PROCESSINPUTS_CONFIRMBOX();
        box = true;
    }
    if (m.OKBOX == 1) {
        KV_MENU_PROCESSINPUTS_OKBOX();
        box = true;
    }
    if (!box) {
        if (m.CURMENU == 7) KV_MENU_PROCESSINPUTS_MAIN();
        if (m.CURMENU == 9) KV_MENU_PROCESSINPUTS_CREDITS();
        if (m.CURMENU == 1 || m.CURMENU == 3 || m.CURMENU == 2) KV_MENU_PROCESSINPUTS_INGAME();
        if (m.CURMENU == 200) KV_MENU_PROCESSINPUTS_MISSION_COMPLETE();
        if (m.CURMENU == 110) KV_MENU_PROCESSINPUTS_NEW_PROFILE();
        if (m.CURMENU == 0) KV_MENU_PROCESSINPUTS_PROFILES();
        if (m.CURMENU == 120) KV_MENU_PROCESSINPUTS_PROFILE_PROPERTIES();
        if (m.CURMENU == 5) KV_MENU_PROCESSINPUTS_TECHNOLOGY();
        if (m.CURMENU == 6) KV_MENU_PROCESSINPUTS_NEW_RESEARCH();
    }
    g_typing = false;
    m.TEXTCURSORFADE += 0.2f * FPSR;
}

void KV_MENU_PROCESSINPUTS_MAIN() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    const bool started = KVGLOBALS.MISSIONSTARTED != 0;
    if (!started && m.SELMAIN > 3) m.SELMAIN = 0;
    if (key(MENUKEY_ACCEPT)) {
        bool ran = false;
        switch (m.SELMAIN) {
            case 0: m.CURMENU = 0; break;
            case 2:
                m.CURMENU = 9;
                m.CREDITSSCROLLY = 0.0f;
                m.CREDITSFADE = 0.0f;
                break;
            case 3: m.EXITCODE = 7; break;
            case 4:
                if (started) {
                    hold(now, 600);
                    run_mission_and_return();
                    ran = true;
                }
                break;
            default: break;  // "options" has no action
        }
        // After a mission run the jump back's own hold-off stands.
        if (!ran) hold(now);
    }
    if (m.JUMPBACK == 0) {
        if (key(MENUKEY_UP)) {
            m.SELMAIN -= 1;
            hold(now);
        }
        if (key(MENUKEY_DOWN)) {
            m.SELMAIN += 1;
            hold(now);
        }
        const int32_t items = KVGLOBALS.MISSIONSTARTED != 0 ? 5 : 4;
        if (m.SELMAIN < 0) m.SELMAIN += items;
        if (m.SELMAIN > items - 1) m.SELMAIN -= items;
        if (m.SELMAIN < 0 || m.SELMAIN > items - 1) m.SELMAIN = 0;
    }
    m.JUMPBACK = 0;
}

void KV_MENU_PROCESSINPUTS_CREDITS() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    if (key(MENUKEY_ACCEPT) || key(MENUKEY_CANCEL) || key(MENUKEY_ESCAPE)) {
        m.CURMENU = 7;
        hold(now);
    }
}

void KV_MENU_PROCESSINPUTS_INGAME() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    if (key(MENUKEY_ACCEPT) || key(MENUKEY_CANCEL)) {
        KVGLOBALS.WAITKEY = now + kHoldKey;
        run_mission_and_return();
    } else if (key(MENUKEY_ESCAPE)) {
        m.CURMENU = 7;
        m.JUMPBACK = 1;
        KVGLOBALS.WAITKEY = now + kHoldKey;
        hold(now);
    }
    if (m.JUMPBACK == 0) {
        if (key(MENUKEY_LEFT)) {
            m.INGAMESELECTION -= 1;
            hold(now);
        }
        if (key(MENUKEY_RIGHT)) {
            m.INGAMESELECTION += 1;
            hold(now);
        }
        if (m.INGAMESELECTION < 0) m.INGAMESELECTION = 2;
        if (m.INGAMESELECTION > 2) m.INGAMESELECTION = 0;
        static const int32_t kPage[3] = {2, 3, 1};
        m.CURMENU = kPage[m.INGAMESELECTION];
        m.INGAMEMENU = m.CURMENU;
    }
    m.JUMPBACK = 0;
}

void KV_MENU_PROCESSINPUTS_MISSION_COMPLETE() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    if (key(MENUKEY_ACCEPT)) {
        if (m.SELMISSIONCOMPLETE == 0) {
            if (kv_profiles_save_game()) kv_menu_open_okbox("Profile Saved!", "");
        } else {
            KV_MENU_STARTMISSION(EnemyStart::KEEP);
        }
        hold(now);
    }
    if (key(MENUKEY_ESCAPE)) {
        m.CURMENU = 120;
        if (const PROFILETYPE* p = profile_at(m.SELPROFILE)) {
            m.VIEWPROFILENAME = p->NAME;
            m.VIEWPROFILECALLSIGN = p->CALLSIGN;
        }
        hold(now);
    }
    if (key(MENUKEY_LEFT)) {
        m.SELMISSIONCOMPLETE -= 1;
        hold(now);
    }
    if (key(MENUKEY_RIGHT)) {
        m.SELMISSIONCOMPLETE += 1;
        hold(now);
    }
    m.SELMISSIONCOMPLETE = ((m.SELMISSIONCOMPLETE % 2) + 2) % 2;
}

void KV_MENU_PROCESSINPUTS_PROFILES() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    const int32_t n = m.NUMPROFILES;
    if (m.SELPROFILE < 0 || m.SELPROFILE > n) m.SELPROFILE = 0;
    if (key(MENUKEY_ACCEPT)) {
        if (m.SELPROFILE < n) {
            m.CURMENU = 120;
            m.VIEWPROFILENAME = KVGLOBALS.PROFILES[m.SELPROFILE].NAME;
            m.VIEWPROFILECALLSIGN = KVGLOBALS.PROFILES[m.SELPROFILE].CALLSIGN;
        } else {
            m.CURMENU = 110;
            m.NEWPROFILENAME = "NAME";
            m.NEWPROFILECALLSIGN = "CALLSIGN";
            m.SELNEWPROFILE = 0;
        }
        hold(now);
    }
    if (key(MENUKEY_CANCEL) || key(MENUKEY_ESCAPE)) {
        m.CURMENU = 7;
        hold(now);
    }
    if (key(MENUKEY_UP)) {
        m.SELPROFILE -= 1;
        hold(now);
    }
    if (key(MENUKEY_DOWN)) {
        m.SELPROFILE += 1;
        hold(now);
    }
    if (m.SELPROFILE < 0) m.SELPROFILE += n + 1;
    if (m.SELPROFILE > n) m.SELPROFILE -= n + 1;
    while (m.SELPROFILE > m.TOPPROFILE + 1) m.TOPPROFILE += 1;
    while (m.SELPROFILE < m.TOPPROFILE) m.TOPPROFILE -= 1;
}

void KV_MENU_PROCESSINPUTS_NEW_PROFILE() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    const bool accept = key(MENUKEY_ACCEPT);
    const bool cancel = key(MENUKEY_CANCEL) || key(MENUKEY_ESCAPE);
    if (accept) {
        if (m.SELNEWPROFILE == 0 || m.SELNEWPROFILE == 1) {
            m.SELNEWPROFILE += 1;
            hold(now);
        } else if (m.SELNEWPROFILE == 2) {
            if (names_present(m.NEWPROFILENAME, m.NEWPROFILECALLSIGN)) {
                if (m.NUMPROFILES >= PROFILE_SLOTS) {
                    KV_SETALERT("Profile List Full");
                } else {
                    m.CURMENU = 120;
                    m.SELPROPERTIES = 0;
                    KV_MENU_NEWPROFILE(m.NEWPROFILENAME, m.NEWPROFILECALLSIGN);
                    m.VIEWPROFILENAME = m.NEWPROFILENAME;
                    m.VIEWPROFILECALLSIGN = m.NEWPROFILECALLSIGN;
                }
            }
            hold(now);
        }
    }
    if ((accept && m.SELNEWPROFILE == 3) || cancel) {
        m.CURMENU = 0;
        hold(now);
    }
    if (m.CURMENU != 110) return;
    if (key(MENUKEY_PREVIOUS)) {
        m.SELNEWPROFILE -= 1;
        hold(now);
    }
    if (key(MENUKEY_NEXT)) {
        m.SELNEWPROFILE += 1;
        hold(now);
    }
    if (m.SELNEWPROFILE < 0) m.SELNEWPROFILE += 4;
    if (m.SELNEWPROFILE > 3) m.SELNEWPROFILE -= 4;
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    if (m.SELNEWPROFILE == 0 && kv_menu_text_entry(m.NEWPROFILENAME, "NAME", platform_key)) hold(now, kHoldType);
    else if (m.SELNEWPROFILE == 1 && kv_menu_text_entry(m.NEWPROFILECALLSIGN, "CALLSIGN", platform_key))
        hold(now, kHoldType);
}

void KV_MENU_PROCESSINPUTS_PROFILE_PROPERTIES() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    int32_t item = m.SELPROPERTIES;
    const bool valid = m.SELPROFILE >= 0 && m.SELPROFILE < m.NUMPROFILES;
    const bool accept = key(MENUKEY_ACCEPT);
    if (accept) {
        switch (item) {
            case 0:
                if (valid) m.CURMENU = 4;
                break;
            case 1:
                if (valid && names_present(m.VIEWPROFILENAME, m.VIEWPROFILECALLSIGN) &&
                    kv_profiles_update(m.VIEWPROFILENAME, m.VIEWPROFILECALLSIGN))
                    KV_SETALERT("Profile Updated");
                break;
            case 2:
                if (valid) {
                    const PROFILETYPE& p = KVGLOBALS.PROFILES[m.SELPROFILE];
                    kv_menu_open_confirmbox("CONFIRM REMOVAL",
                                            "Are you sure you want to remove profile '" + p.NAME + "/" +
                                                p.CALLSIGN + "'?",
                                            1, 0);
                }
                break;
            case 4:
            case 5: item += 1; break;
            default: break;
        }
        hold(now);
    }
    if ((accept && item == 3) || key(MENUKEY_CANCEL) || key(MENUKEY_ESCAPE)) {
        m.CURMENU = 0;
        hold(now);
    }
    if (key(MENUKEY_LEFT)) {
        item -= 1;
        hold(now);
    }
    if (key(MENUKEY_RIGHT)) {
        item += 1;
        hold(now);
    }
    if (!kv_menu_held_off(m.WAITKEY, now) && m.CURMENU == 120) {
        if (item == 4 && kv_menu_text_entry(m.VIEWPROFILENAME, "", platform_key)) hold(now, kHoldType);
        else if (item == 5 && kv_menu_text_entry(m.VIEWPROFILECALLSIGN, "", platform_key)) hold(now, kHoldType);
    }
    if (item < 0) item += 6;
    if (item > 5) item -= 6;
    m.SELPROPERTIES = item;
}

void KV_MENU_PROCESSINPUTS_TECHNOLOGY() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    if (key(MENUKEY_ACCEPT) || key(MENUKEY_CANCEL) || key(MENUKEY_ESCAPE)) {
        KVGLOBALS.WAITKEY = now + kHoldKey;
        KVGLOBALS.GUNSHIPLANDED = 0;
        KVGLOBALS.GUNSHIPLANDRATIO = 1.0f;
        run_mission_and_return();
    }
    m.JUMPBACK = 0;
}

void KV_MENU_PROCESSINPUTS_NEW_RESEARCH() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    const int32_t n = m.NUMNEWRESEARCH;
    if (key(MENUKEY_ACCEPT)) {
        if (PROFILETYPE* p = profile_at(KVGLOBALS.CURPROFILE)) kv_research_choose(*p);
        m.CURMENU = 5;
        hold(now);
        return;
    }
    if (key(MENUKEY_UP)) {
        m.SELNEWRESEARCH -= 1;
        hold(now);
    }
    if (key(MENUKEY_DOWN)) {
        m.SELNEWRESEARCH += 1;
        hold(now);
    }
    if (n <= 0) {
        m.SELNEWRESEARCH = 0;
        m.TOPNEWRESEARCH = 0;
        return;
    }
    if (m.SELNEWRESEARCH < 0) m.SELNEWRESEARCH += n;
    if (m.SELNEWRESEARCH > n - 1) m.SELNEWRESEARCH -= n;
    while (m.SELNEWRESEARCH > m.TOPNEWRESEARCH + 3) m.TOPNEWRESEARCH += 1;
    while (m.SELNEWRESEARCH < m.TOPNEWRESEARCH) m.TOPNEWRESEARCH -= 1;
}

void KV_MENU_PROCESSINPUTS_CONFIRMBOX() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    if (key(MENUKEY_ACCEPT) || key(MENUKEY_CANCEL) || key(MENUKEY_ESCAPE)) {
        KV_MENU_PROCESS_CONFIRMKEYS();
        m.CONFIRMBOX = 0;
        hold(now);
        return;
    }
    if (key(MENUKEY_LEFT)) {
        m.CONFIRMSELECTION -= 1;
        hold(now);
    }
    if (key(MENUKEY_RIGHT)) {
        m.CONFIRMSELECTION += 1;
        hold(now);
    }
    if (m.CONFIRMSELECTION < 0) m.CONFIRMSELECTION = 1;
    if (m.CONFIRMSELECTION > 1) m.CONFIRMSELECTION = 0;
}

void KV_MENU_PROCESS_CONFIRMKEYS() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    if (m.CONFIRMKEY == 0) {
        if (m.CONFIRMSELECTION != 0) return;
        if (!kv_profiles_remove_selected()) return;
        m.SELPROFILE = 0;
        m.TOPPROFILE = 0;
        m.CURMENU = 0;
        m.SELPROPERTIES = 0;
        KV_SETALERT("Profile Deleted");
    } else if (m.CONFIRMKEY == 1) {
        int32_t allow = m.CONFIRMSELECTION == 0 ? 1 : 0;
        if (m.CONFIRMSELECTION == 1 || key(MENUKEY_CANCEL) || key(MENUKEY_ESCAPE)) allow = 0;
        kv_version_answer(allow);
    }
}

void KV_MENU_PROCESSINPUTS_OKBOX() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const int32_t now = platform_clock_ms();
    if (kv_menu_held_off(m.WAITKEY, now)) return;
    if (key(MENUKEY_ACCEPT) || key(MENUKEY_CANCEL) || key(MENUKEY_ESCAPE)) {
        m.OKBOX = 0;
        hold(now);
    }
}

void KV_MENU_PROCESS_JUMPBACK() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    KVGLOBALSTYPE& g = KVGLOBALS;
    switch (g.EXITCODE) {
        case 1:
            m.CURMENU = 7;
            m.SELMAIN = 4;
            break;
        case 2: m.CURMENU = (m.INGAMEMENU == 1 || m.INGAMEMENU == 3) ? m.INGAMEMENU : 2; break;
        case 3: KV_MENU_PROCESS_MISSIONCOMPLETE(); break;
        case 4:
            // A failed mission is not resumed: the profile returns to what is saved.
            m.CURMENU = 120;
            g.MISSIONSTARTED = 0;
            kv_profiles_restore_live(g.CURPROFILE);
            if (g.CURPROFILE >= 0 && g.CURPROFILE < m.NUMPROFILES) {
                m.SELPROFILE = g.CURPROFILE;
                m.VIEWPROFILENAME = g.PROFILES[g.CURPROFILE].NAME;
                m.VIEWPROFILECALLSIGN = g.PROFILES[g.CURPROFILE].CALLSIGN;
            }
            m.SELPROPERTIES = 0;
            break;
        case 5:
            m.CURMENU = 5;
            if (PROFILETYPE* p = profile_at(g.CURPROFILE)) kv_research_install(*p, g.TECHNOLOGYDATA);
            break;
        case 6: m.CURMENU = 6; break;
        default: break;
    }
    m.WAITKEY = platform_clock_ms() + 800;
    m.JUMPBACK = 1;
    g.EXITCODE = 0;
}
