// Mission start, preload and completion: the work of the loading screen (4, one model file per
// frame) and the preloading screen (10, one terrain tile per frame), starting a mission for the
// selected profile, running it, and the bookkeeping of a completed mission. The screens draw
// KVGLOBALS.LOADINGTEXT and LOADINGPROGRESS, which the steps here fill in.
#pragma once

#include <cstdint>
#include <string>

struct QuickFlightSetup;

// How a mission start finds its enemies: imported from the profile's file (a start from the
// saved state) or kept as they are in memory (next mission, quick flight).
enum class EnemyStart : int8_t { IMPORT, KEEP };

// Prepares the selected profile's mission and shows the briefing. A mission number past the
// campaign opens "CAMPAIGN COMPLETE!" instead and starts nothing. True when a mission was set up.
bool KV_MENU_STARTMISSION(EnemyStart enemies = EnemyStart::IMPORT);
void KV_MENU_PROCESS_MISSIONCOMPLETE();

// One frame of the loading screen's work (only while it is the current screen and no box is
// open): one model file. The menu frame runs it after the input handlers.
void kv_menu_loading_step();
// One frame of the preloading screen's work: one terrain tile; starts the mission once the tiles
// it needs are compiled.
void kv_menu_preloading_step();

// The two screens as KV_MENU_RENDER draws them (while their fade is above 0): the progress
// display with the text and progress of the last step. Drawing changes nothing.
void KV_MENU_RENDER_LOADING();
void KV_MENU_RENDER_PRELOADING();
// Their texts and progress (0..1) as last set by the steps.
struct MenuProgress {
    std::string text;
    float progress = 0.0f;
};
const MenuProgress& kv_menu_loading_progress();
const MenuProgress& kv_menu_preloading_progress();

// Background tile compilation, once per menu frame after the model loading has finished: on
// every 11th call the nearest tile round the gunship that is not compiled yet.
void KV_MENU_PRELOADMAP();
// The tile KV_MENU_PRELOADMAP compiles next for a gunship in tile (cx, cz): rings of growing
// radius r = 0..32, i = -r..r, j = -r-1..r; false when every tile on the map is compiled.
bool kv_menu_next_background_tile(int32_t cx, int32_t cz, int32_t& tx, int32_t& tz);

// Runs the current profile's mission until it exits (the game clock counts only meanwhile) and
// brings the profile's clock text up to date. The caller runs the jump back afterwards.
void kv_menu_run_mission();

// The missions of the campaign: a mission number at or past this is beyond the last mission.
int32_t kv_campaign_missions();

// Quick flight: a fresh pilot in memory (never saved), the island's enemy layout, the setup's
// mission, position, heading and fuel, then the real mission start. True when a mission is ready.
bool kv_menu_quick_flight_start(const QuickFlightSetup& setup);
