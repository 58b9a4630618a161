// Objectives, mission failure and the alert banner: the per-frame objective check (request
// flags, kill ranges and the objective marker, the mission-object processing, completion with
// its banner, personnel and the next objective, the progress-panel fade, the demolition blast),
// the failure check (fuel, armour, ammunition on the first objective, time) and the banner that
// announces events in the middle of the screen.
//
// The failure message box belongs to the menu, which this layer does not know: the menu
// registers a hook that raises its OK box with a title and a message.
#pragma once

#include <cstdint>
#include <string>

void KV_MISSION_CHECKOBJECTIVESTATUS();
void KV_MISSION_CHECKMISSIONFAILURE();
void KV_SETALERT(const std::string& message);
void KV_RENDER_ALERTMESSAGE();

// The menu's OK box, raised by the failure check with "MISSION FAILED!" and the reason. Without
// a hook the reason goes to the console.
using KvMessageBoxHook = void (*)(const std::string& title, const std::string& message);
void kv_set_message_box_hook(KvMessageBoxHook hook);

inline constexpr const char* MISSION_FAILED_TITLE = "MISSION FAILED!";
inline constexpr const char* FAIL_AMMO = "Out of Ammo. Cannot Clear the island!";
inline constexpr const char* FAIL_FUEL = "Out of fuel!";
inline constexpr const char* FAIL_DESTROYED = "Your craft was destroyed!";
inline constexpr const char* FAIL_TIME = "Mission not completed in time!";

// A scenario request of the quick flight: the objective check of frame `frame` (numbered as the
// run numbers its frames) sets off the current objective's demolition blast, as the zipline
// sequence does when the team is back on board. 0 cancels the request.
void kv_request_blast_at_frame(int64_t frame);

// The failure tests over plain values, in their order; the last true one names the reason.
// Returns nullptr when none holds.
const char* objectives_failure_reason(int32_t mission, int32_t objective, int32_t vt90s, float fuel,
                                      float armour, bool time_out);

// The banner text "Objective N COMPLETED!" for completing objective index k (shown as k + 1).
std::string objectives_completed_text(int32_t k);

// Active enemies the last objective check found left in the kill range it checked, or -1 when
// it checked no kill range (no mission running, another goal, no profile).
int32_t kv_objective_alive();

// The banner text while it shows at `now_ms` (not after ALERTTIME), otherwise "".
std::string kv_alert_showing(int32_t now_ms);

// Geometry of the banner for a text of w x h pixels in a window of sw x sh at time now_ms: the
// opacity (0 when hidden), the centre and the half sizes, all rounded as drawn.
struct AlertBanner {
    bool visible = false;
    float alpha = 0.0f;
    int32_t cx = 0, cy = 0, hw = 0, hh = 0;
    int32_t text_x = 0, text_y = 0;
};
AlertBanner alert_banner_layout(int32_t now_ms, int32_t alert_time, int32_t w, int32_t h, int32_t sw,
                                int32_t sh);
