// The demo pilot's menu part (see autopilot_menu.h). Each decision presses one key on a frame
// the menu listens (not held off) and releases it on the next, so every press is seen once.
#include "menu/autopilot_menu.h"

#include <GLFW/glfw3.h>

#include <string>

#include "game/autopilot.h"
#include "game/enemies.h"
#include "game/flight.h"
#include "game/kv_globals.h"
#include "menu/menu_globals.h"
#include "menu/menu_input.h"
#include "menu/mission_flow.h"
#include "menu/profiles.h"
#include "platform/input.h"
#include "platform/clock.h"

namespace {

struct MenuMemory {
    bool pressed_last = false;
    bool created = false;
    int32_t profile = -1;         // the slot of the profile this run created
    int32_t saved_mission = -1;   // the mission number last saved at a completed mission
    bool campaign_complete = false;
    bool credits_shown = false;
    int32_t credits_since = -1;
};
MenuMemory g_menu;
int32_t g_idle_since = 0;
bool g_attract = false;

void press(bool* keys, int32_t nkeys, int32_t key) {
    if (key >= 0 && key < nkeys) keys[key] = true;
    g_menu.pressed_last = true;
}

// One key towards typing `want` into `field`: the next letter, or a backspace while the field
// is not on its way to it. Returns false when the field already reads `want`.
bool type_towards(const std::string& field, const std::string& want, bool* keys, int32_t nkeys) {
    if (field == want) return false;
    if (field.size() < want.size() && want.compare(0, field.size(), field) == 0) {
        press(keys, nkeys, static_cast<unsigned char>(want[field.size()]));
    } else {
        press(keys, nkeys, GLFW_KEY_BACKSPACE);
    }
    return true;
}

// Moves selection `sel` towards `want` with the given keys, or accepts when it is there.
void select_and_accept(int32_t sel, int32_t want, int32_t back, int32_t forward, bool* keys, int32_t nkeys) {
    if (sel == want) press(keys, nkeys, GLFW_KEY_ENTER);
    else press(keys, nkeys, sel > want ? back : forward);
}

PilotPhase menu_step(int64_t, bool* keys, int32_t nkeys) {
    return kv_autopilot_menu_keys(platform_clock_ms(), keys, nkeys) ? PilotPhase::RESEARCH : PilotPhase::MENU;
}

int32_t new_research() { return KV_MENUGLOBALS.NUMNEWRESEARCH; }

}  // namespace

void kv_autopilot_menu_reset() { g_menu = MenuMemory{}; }

void kv_autopilot_menu_install() {
    kv_autopilot_menu_reset();
    autopilot_set_menu_step(menu_step);
    autopilot_set_research_source(new_research);
}

bool kv_autopilot_menu_keys(int32_t now, bool* keys, int32_t nkeys) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const bool research = m.CURMENU == 5 || m.CURMENU == 6;
    if (g_menu.pressed_last) {
        g_menu.pressed_last = false;
        return research;
    }
    if (kv_menu_held_off(m.WAITKEY, now)) return research;

    if (m.OKBOX == 1) {
        if (m.OKTITLE == "CAMPAIGN COMPLETE!") g_menu.campaign_complete = true;
        if (m.OKTITLE == "Profile Saved!" && g.CURPROFILE >= 0 && g.CURPROFILE < PROFILE_SLOTS)
            g_menu.saved_mission = g.PROFILES[g.CURPROFILE].MISSIONNUM;
        press(keys, nkeys, GLFW_KEY_ENTER);
        return research;
    }
    if (m.CONFIRMBOX == 1) {
        // The version question is answered no; any other question is declined.
        if (m.CONFIRMKEY == 1) press(keys, nkeys, GLFW_KEY_ESCAPE);
        else if (m.CONFIRMSELECTION == 0) press(keys, nkeys, GLFW_KEY_RIGHT);
        else press(keys, nkeys, GLFW_KEY_ENTER);
        return research;
    }

    switch (m.CURMENU) {
        case 7: {
            int32_t want = 0;
            if (g_menu.campaign_complete) want = g_menu.credits_shown ? 3 : 2;
            else if (g.MISSIONSTARTED != 0) want = 4;
            select_and_accept(m.SELMAIN, want, GLFW_KEY_UP, GLFW_KEY_DOWN, keys, nkeys);
            break;
        }
        case 9:
            g_menu.credits_shown = true;
            if (g_menu.credits_since < 0) g_menu.credits_since = now;
            if (now - g_menu.credits_since > 8000) press(keys, nkeys, GLFW_KEY_ENTER);
            break;
        case 0: {
            if (g_menu.campaign_complete) {
                press(keys, nkeys, GLFW_KEY_ESCAPE);
                break;
            }
            const int32_t want = g_menu.created ? g_menu.profile : m.NUMPROFILES;
            select_and_accept(m.SELPROFILE, want, GLFW_KEY_UP, GLFW_KEY_DOWN, keys, nkeys);
            break;
        }
        case 110:
            if (m.SELNEWPROFILE == 0) {
                if (!type_towards(m.NEWPROFILENAME, AUTOPILOT_NAME, keys, nkeys)) press(keys, nkeys, GLFW_KEY_ENTER);
            } else if (m.SELNEWPROFILE == 1) {
                if (!type_towards(m.NEWPROFILECALLSIGN, AUTOPILOT_CALLSIGN, keys, nkeys))
                    press(keys, nkeys, GLFW_KEY_ENTER);
            } else if (m.SELNEWPROFILE == 2) {
                // Accepting creates the profile as the last of the list.
                g_menu.created = true;
                g_menu.profile = m.NUMPROFILES;
                press(keys, nkeys, GLFW_KEY_ENTER);
            } else {
                press(keys, nkeys, GLFW_KEY_UP);
            }
            break;
        case 120:
            if (g_menu.campaign_complete) press(keys, nkeys, GLFW_KEY_ESCAPE);
            else select_and_accept(m.SELPROPERTIES, 0, GLFW_KEY_LEFT, GLFW_KEY_RIGHT, keys, nkeys);
            break;
        case 1:
        case 2:
        case 3:
            // The briefing pages: fly.
            press(keys, nkeys, GLFW_KEY_ENTER);
            break;
        case 200: {
            if (g_menu.campaign_complete) {
                press(keys, nkeys, GLFW_KEY_ESCAPE);
                break;
            }
            const int32_t mission =
                (g.CURPROFILE >= 0 && g.CURPROFILE < PROFILE_SLOTS) ? g.PROFILES[g.CURPROFILE].MISSIONNUM : -1;
            // Save first, then the next mission.
            const int32_t want = g_menu.saved_mission == mission ? 1 : 0;
            select_and_accept(m.SELMISSIONCOMPLETE, want, GLFW_KEY_LEFT, GLFW_KEY_RIGHT, keys, nkeys);
            break;
        }
        case 5:
        case 6:
            // Choose the research offered first, then back to the flight.
            press(keys, nkeys, GLFW_KEY_ENTER);
            break;
        default:
            break;  // loading screens need no key
    }
    return research;
}

bool kv_attract_running() { return g_attract; }

void kv_attract_step(int32_t now) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    KVGLOBALSTYPE& g = KVGLOBALS;
    const bool title = m.CURMENU == 7 && g.MISSIONSTARTED == 0 && m.OKBOX == 0 && m.CONFIRMBOX == 0;
    // The demo pilot of --autopilot is no attract mode; any key or another screen is activity.
    if (autopilot_active() || !title || platform_input_source_any_key()) {
        g_idle_since = now;
        return;
    }
    if (now - g_idle_since < ATTRACT_IDLE_MS) return;

    // A pilot in memory only, after the player's profiles; they are put back afterwards.
    const int32_t profiles = m.NUMPROFILES, selected = m.SELPROFILE, current = g.CURPROFILE;
    QuickFlightSetup setup;
    g_attract = true;
    if (kv_menu_quick_flight_start(setup)) {
        autopilot_set_leave_on_key(true);
        autopilot_start();
        kv_menu_run_mission();
        autopilot_stop();
        autopilot_set_leave_on_key(false);
    }
    g_attract = false;
    g.EXITCODE = 0;
    g.MISSIONSTARTED = 0;
    const int32_t slot = m.NUMPROFILES - 1;
    if (slot >= profiles && slot >= 0 && slot < PROFILE_SLOTS) g.PROFILES[slot] = PROFILETYPE{};
    m.NUMPROFILES = profiles;
    m.SELPROFILE = selected;
    g.CURPROFILE = current;
    KV_MENU_LOADPROFILES();
    KV_ENEMIES_LAYOUTLOAD();
    kv_set_enemy_table_owner(-1);
    m.OKBOX = 0;
    m.CURMENU = 7;
    m.SELMAIN = 0;
    m.WAITKEY = platform_clock_ms() + 800;
    g_idle_since = platform_clock_ms();
}
