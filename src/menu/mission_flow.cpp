// Mission start, preload and completion (see mission_flow.h).
#include "menu/mission_flow.h"

#include <cmath>
#include <cstdio>

#include "engine/gameclock.h"
#include "engine/objfile.h"
#include "engine/textfile.h"
#include "game/enemies.h"
#include "game/flight.h"
#include "game/kv.h"
#include "game/kv_globals.h"
#include "game/hud.h"
#include "game/mission.h"
#include "game/missionobjects.h"
#include "game/objectives.h"
#include "menu/menu_globals.h"
#include "menu/profiles.h"
#include "menu/research.h"
#include "game/world.h"
#include "world/world_globals.h"

namespace {

MenuProgress g_loading;
MenuProgress g_preloading;

bool boxes_quiet() {
    const KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    return m.CONFIRMBOX == 0 && m.OKBOX == 0 && m.CONFIRMFADE == 0.0f && m.OKFADE == 0.0f;
}

// The tile column of a map coordinate; a position far off the map (or not a number) counts as
// just beside it.
int32_t tile_of(float v) {
    const double t = std::floor(static_cast<double>(v) / 8.0);
    if (!(t >= -1.0)) return -1;
    return t > KV_TILESLOTS ? KV_TILESLOTS : static_cast<int32_t>(t);
}

PROFILETYPE* current_profile() {
    const int32_t c = KVGLOBALS.CURPROFILE;
    return (c >= 0 && c < PROFILE_SLOTS) ? &KVGLOBALS.PROFILES[c] : nullptr;
}

// The campaign for a start from the saved state: the mission files build the tables afresh and
// take the run-time state (crates picked up, pads used) from the profile's own saved block.
void load_campaign_for(int32_t profile) {
    kv_profiles_restore_tables(profile);
    KV_MISSION_LOADMISSIONDATA();
}

}  // namespace

int32_t kv_campaign_missions() { return MISSION_CAMPAIGN_FILES; }

bool KV_MENU_STARTMISSION(EnemyStart enemies) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t s = m.SELPROFILE;
    if (s < 0 || s >= m.NUMPROFILES || s >= PROFILE_SLOTS) {
        std::printf("menu: no profile %d to start a mission for\n", s);
        return false;
    }
    PROFILETYPE& p = g.PROFILES[s];
    if (p.MISSIONNUM < 0) p.MISSIONNUM = 0;
    if (p.MISSIONNUM >= kv_campaign_missions()) {
        std::printf("menu: profile %d has flown every mission: CAMPAIGN COMPLETE\n", s);
        kv_menu_open_okbox("CAMPAIGN COMPLETE!", "Every mission of the campaign has been flown.");
        return false;
    }
    g.CURPROFILE = s;
    IO_CLOCK_SET(p.MISSIONCLOCK, 0, 0, static_cast<double>(g.MISSIONDATA[p.MISSIONNUM].TIMELIMIT));
    IO_CLOCK_START(p.MISSIONCLOCK, 0);
    p.MISSIONCLOCK.ALARM = 0.0;

    if (enemies == EnemyStart::IMPORT && !enemies_import_file(enemies_profile_path(s))) {
        std::printf("menu: no enemy state for profile %d; the island's layout is used\n", s);
        KV_ENEMIES_LAYOUTLOAD();
    }
    kv_set_enemy_table_owner(s);

    // The game clock is set here and counts only while the mission loop runs.
    double h = 0, mi = 0, sec = 0;
    profile_clock_parts(p.GAMECLOCKSTRING, h, mi, sec);
    IO_CLOCK_SET(p.GAMECLOCK, h, mi, sec);
    p.GAMECLOCK.FLAGS &= ~CLOCK_FLAG_RUNNING;
    p.GAMECLOCK.LAPSE = 0.0;
    p.GAMECLOCK.CURR = p.GAMECLOCK.VALUE;
    p.OBJECTIVENUM = 0;
    kv_mission_objects_start(p.MISSIONNUM);

    // At rest at the profile's position: no velocity carried over from an earlier flight.
    flight_place_gunship(p.PLAYERX, p.PLAYERZ, p.GUNSHIPANGLE);

    m.CURMENU = 2;
    m.INGAMESELECTION = 0;
    m.INGAMEMENU = 2;
    g.MISSIONSTARTED = 1;
    kv_research_offer(p, g.TECHNOLOGYDATA);
    return true;
}

void KV_MENU_PROCESS_MISSIONCOMPLETE() {
    KV_MENUGLOBALS.CURMENU = 200;
    KV_MENUGLOBALS.SELMISSIONCOMPLETE = 0;
    PROFILETYPE* p = current_profile();
    if (!p) return;
    if (p->MISSIONNUM < MISSION_SLOTS - 1) p->MISSIONNUM += 1;
    p->OBJECTIVENUM = 0;
    p->PLAYERX = KVGLOBALS.PLAYERX;
    p->PLAYERZ = KVGLOBALS.PLAYERZ;
    p->GUNSHIPANGLE = KVGLOBALS.GUNSHIPPO.ANGLE;
    kv_research_check_completed(*p, KVGLOBALS.TECHNOLOGYDATA);
}

void kv_menu_loading_step() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    if (m.CURMENU != 4 || !boxes_quiet()) return;
    if (m.LASTFILELOADED >= 0 && m.LASTFILELOADED <= m.NFILESTOLOAD && !m.FILENAMETOLOAD.empty())
        OBJFILE_LOAD(m.FILENAMETOLOAD);
    if (m.LOADINGCOMPLETED == 0) {
        FieldReader r;
        field_reader_open(r, "models.dat");
        int32_t n = 0;
        while (!field_eof(r)) {
            std::string name = field_read(r);
            if (n > m.LASTFILELOADED) {
                m.LASTFILELOADED = n;
                m.FILENAMETOLOAD = name;
                break;
            }
            ++n;
        }
    }
    float progress = m.NFILESTOLOAD > 0 ? static_cast<float>(m.LASTFILELOADED + 1) / static_cast<float>(m.NFILESTOLOAD)
                                        : 1.0f;
    progress = progress < 0.0f ? 0.0f : (progress > 1.0f ? 1.0f : progress);
    g_loading.text = "Loading..." + m.FILENAMETOLOAD;
    g_loading.progress = progress;
    if (progress >= 1.0f || m.NFILESTOLOAD == 0 || m.LOADINGCOMPLETED == 1) {
        m.CURMENU = 10;
        m.LOADINGCOMPLETED = 1;
        m.FILENAMETOLOAD.clear();
        if (KVGLOBALS.INITIALIZED == 0) KV_INITIALIZE();
    }
}

void kv_menu_preloading_step() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    if (m.CURMENU != 10 || !boxes_quiet()) return;
    float c = 0.0f;
    bool compiled = false;
    for (int32_t a = 0; a < KV_TILESLOTS && !compiled; ++a) {
        for (int32_t b = 0; b < KV_TILESLOTS; ++b) {
            if ((a + b) % 4 == 0 && KVMAPCOMPILED[a][b] == 0 && kv_compile_tile(a, b)) {
                compiled = true;
                break;
            }
            c += 1.0f;
        }
    }
    float progress = c / 2048.0f;
    if (progress > 1.0f) progress = 1.0f;
    g_preloading.text = "Preloading Map..." + std::to_string(static_cast<int>(std::lround(100.0f * progress))) + "%";
    g_preloading.progress = progress;
    if (progress < 1.0f) return;
    KV_MENU_LOADPROFILES();
    load_campaign_for(m.SELPROFILE);
    if (!KV_MENU_STARTMISSION(EnemyStart::IMPORT)) m.CURMENU = 120;
}

const MenuProgress& kv_menu_loading_progress() { return g_loading; }
const MenuProgress& kv_menu_preloading_progress() { return g_preloading; }

namespace {
// The progress display at the screen's own visibility, so it cross-fades like every other
// screen (instead of vanishing at once after standing at full strength over the briefing) and
// does not depend on the opacity the mission's loading display was last left at.
void render_progress_screen(int32_t screen, const MenuProgress& shown) {
    const float fade = KV_MENUGLOBALS.MENUFADE[screen];
    if (!(fade > 0.0f)) return;
    const float mission_alpha = KVGLOBALS.LOADINGALPHA;
    KVGLOBALS.LOADINGALPHA = fade > 1.0f ? 1.0f : fade;
    KV_RENDER_LOADING(shown.text, shown.progress);
    KVGLOBALS.LOADINGALPHA = mission_alpha;
}
}  // namespace

void KV_MENU_RENDER_LOADING() { render_progress_screen(4, g_loading); }

void KV_MENU_RENDER_PRELOADING() { render_progress_screen(10, g_preloading); }

bool kv_menu_next_background_tile(int32_t cx, int32_t cz, int32_t& tx, int32_t& tz) {
    for (int32_t r = 0; r <= 32; ++r)
        for (int32_t i = -r; i <= r; ++i)
            for (int32_t j = -r - 1; j <= r; ++j) {
                const int32_t x = cx + i, z = cz + j;
                if (x < 0 || z < 0 || x >= KV_TILESLOTS || z >= KV_TILESLOTS) continue;
                if (KVMAPCOMPILED[x][z] != 0) continue;
                tx = x;
                tz = z;
                return true;
            }
    return false;
}

void KV_MENU_PRELOADMAP() {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    if (m.LOADINGCOMPLETED != 1) return;
    if (m.PRELOADCHECK <= 10) {
        m.PRELOADCHECK += 1;
        return;
    }
    const int32_t cx = tile_of(KVGLOBALS.PLAYERX);
    const int32_t cz = tile_of(KVGLOBALS.PLAYERZ);
    int32_t tx = 0, tz = 0;
    if (kv_menu_next_background_tile(cx, cz, tx, tz)) kv_compile_tile(tx, tz);
    m.PRELOADCHECK = 1;
}

void kv_menu_run_mission() {
    // The mission loop runs the game clock while it runs; the profile's clock text follows it.
    KV_LAUNCHAPP();
    PROFILETYPE* p = current_profile();
    if (p) {
        IO_CLOCK_UPDATE(p->GAMECLOCK);
        IO_CLOCK_STOP(p->GAMECLOCK);
        p->GAMECLOCKSTRING = IO_TIME_HMS(p->GAMECLOCK.CURR);
    }
}

bool kv_menu_quick_flight_start(const QuickFlightSetup& setup) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (g.INITIALIZED == 0) KV_INITIALIZE();
    int32_t i = m.NUMPROFILES < 0 ? 0 : m.NUMPROFILES;
    if (i >= PROFILE_SLOTS) i = PROFILE_SLOTS - 1;
    m.NUMPROFILES = i + 1;
    m.SELPROFILE = i;
    kv_profiles_new_in_memory(i, "Pilot", "Kestrel");
    PROFILETYPE& p = g.PROFILES[i];
    p.MISSIONNUM = setup.mission < 0 ? 0 : (setup.mission >= MISSION_SLOTS ? MISSION_SLOTS - 1 : setup.mission);
    if (setup.has_position) {
        // The flight's own map clamps, so a start outside them is where the first step would put it.
        p.PLAYERX = setup.x;
        p.PLAYERZ = setup.z;
        flight_clamp_xz(p.PLAYERX, p.PLAYERZ);
    }
    if (setup.has_heading) p.GUNSHIPANGLE = setup.heading;
    if (setup.has_fuel) p.FUEL = setup.fuel < 0.0f ? 0.0f : (setup.fuel > 1.0f ? 1.0f : setup.fuel);
    load_campaign_for(i);
    KV_ENEMIES_LAYOUTLOAD();
    if (!KV_MENU_STARTMISSION(EnemyStart::KEEP)) {
        std::printf("quick flight: mission %d is past the last mission of the campaign\n", p.MISSIONNUM + 1);
        return false;
    }
    kv_request_blast_at_frame(setup.blast_frame);
    return true;
}
