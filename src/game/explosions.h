// The demolition blast: laying out the fireball pool around a target, igniting the fireballs
// layer by layer (each throws sparks into the projectile pool), their colour change from fire to
// smoke, fading, drift and growth, and drawing them as camera-facing sprites.
//
// The animation is split from the drawing so that the rules can run without a window:
// explosion_step animates one frame and hands every burning fireball to an optional painter.
#pragma once

#include <cstdint>

#include "game/explosion_types.h"

// Animates and draws the running blast (nothing while EXPLOSIONTIME is 0). Lighting, depth
// writes and texturing are put back as the rest of the frame expects them.
void KV_RENDER_EXPLOSION();

// Starts a new blast around (cx, cz) at the current time, overwriting the pool from slot 0:
// nine layers of 112 fireballs each, 1008 in all.
void kv_explosion_start(float cx, float cz);

// Fireballs of the running blast that are burning now (VISIBLE = 1).
int32_t kv_explosion_burning();

// What a painter gets for one burning fireball this frame: its colour and opacity.
struct FireballPaint {
    float r = 0.0f, g = 0.0f, b = 0.0f;
    float alpha = 0.0f;  // sprite alpha (0.6 x the fade)
};
using FireballPainter = void (*)(const FIREBALLTYPE& fireball, const FireballPaint& paint);

// One frame of the blast at time `now_ms`: ignition (with sparks), colour, fade, drawing through
// `paint` (may be null) and drift. FIRSTFIREBALL becomes the lowest slot not yet gone; the
// blast ends (EXPLOSIONTIME = 0) when no slot from there on is burning.
void explosion_step(int32_t now_ms, FireballPainter paint);

// Start delay in milliseconds of a fireball of layer `layer` (0-8) and spreading step `step`
// (0-6).
int32_t explosion_delay_ms(int32_t layer, int32_t step);
