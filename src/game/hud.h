// HUD and in-mission overlays: the small shared assets (armour class names, parachutes, crate,
// explosion frames, icons, clock digits and the clock panel), the cannon's aiming lines, the row
// of five gauges, the pick-up animation, the seven-segment mission clock, the progress panel,
// the text readout and the framed panel of the menu's boxes.
//
// Values that feed the panels may come out of a division by zero (rockets over an empty tail
// pod, a research time of -1): every gauge and the progress panel clamp their value to 0..1 and
// read NaN as 0 before anything is drawn or counted from it.
#pragma once

#include <cstdint>
#include <string>

#include "game/hud_types.h"

struct PROFILETYPE;
struct KVGLOBALSTYPE;

void KV_LOAD_MISC();
void KV_RENDER_GUNSIGHT();
void KV_RENDER_ICONS();
void KV_RENDER_POWERUP();
void KV_RENDER_MISSIONCLOCK();
void KV_RENDER_LOADING(const std::string& text, float progress);
void KV_RENDER_PHYSICSDATA();
void KV_RENDER_WINDOW(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float fade);

// A panel value clamped to 0..1; NaN reads as 0.
float hud_unit(float v);

inline constexpr int32_t HUD_GAUGES = 5;  // research, armour, cannon, rockets, fuel

// One gauge as drawn this frame: its bar offset, value and fill colour.
struct HudGauge {
    float bar_x = 0.0f;
    float value = 0.0f;  // 0..1
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    bool warning = false;
};
// Gauge `index` (0-4) of `profile`; `pulse` is the alpha of a warning colour this frame.
HudGauge hud_gauge(int32_t index, const PROFILETYPE& profile, const KVGLOBALSTYPE& globals, float pulse);

// The icon of a pick-up payload code (1 fuel, 2 rockets, 3 cannon ammunition, 4 armour), or
// null for any other code.
const ICONTYPE* hud_powerup_icon(int32_t code);

// Glyphs of the clock text, one per character position (at most 12): 0-9 the digit meshes,
// HUD_GLYPH_COLON, HUD_GLYPH_POINT (the gear), HUD_GLYPH_NONE for a character that has no mesh
// (it keeps its place but draws nothing). Returns the number of positions.
inline constexpr int32_t HUD_CLOCK_CHARS = 12;
inline constexpr int32_t HUD_GLYPH_COLON = 10;
inline constexpr int32_t HUD_GLYPH_POINT = 11;
inline constexpr int32_t HUD_GLYPH_NONE = -1;
int32_t hud_clock_glyphs(const std::string& text, int32_t (&glyphs)[HUD_CLOCK_CHARS]);

// Lit segments of the progress ring (0-20) for a progress value.
int32_t hud_progress_segments(float progress);
