// The demolition blast (see explosions.h): the fireball pool of KVGLOBALS, its layout around
// the target, the per-frame animation and the sprite drawing.
#include "game/explosions.h"

#include <GL/gl.h>

#include <cmath>

#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/projectiles.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "world/ground.h"

namespace {

constexpr int32_t kLayers = 9;
constexpr int32_t kSides = 4;
constexpr int32_t kSteps = 7;
constexpr int32_t kPerSide = 4;            // fireballs across one side of the square
constexpr int32_t kMaxCounted = 9999;      // NFIREBALLS never counts beyond this
constexpr int32_t kSmokeFrame = 6;
constexpr int32_t kSparksPerFireball = 6;

static_assert(kLayers * kSides * kSteps * kPerSide == 1008, "one blast holds 1008 fireballs");
static_assert(kLayers * kSides * kSteps * kPerSide <= kMaxCounted, "a blast fits the pool");

// The slots a frame may touch: FIRSTFIREBALL and NFIREBALLS come from the record and are
// bounded before use.
void slot_range(int32_t& first, int32_t& end) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    end = g.NFIREBALLS < 0 ? 0 : (g.NFIREBALLS > FIREBALL_SLOTS ? FIREBALL_SLOTS : g.NFIREBALLS);
    first = g.FIRSTFIREBALL < 0 ? 0 : (g.FIRSTFIREBALL > end ? end : g.FIRSTFIREBALL);
}

void ignite(FIREBALLTYPE& f) {
    f.VISIBLE = 1;
    PROJECTILETYPE source{};
    source.POSITION = VECTOR3D{f.POSITION.X, f.POSITION.Y, f.POSITION.Z};
    source.VECTOR = VECTOR3D{f.VECTOR.X, 0.0f, f.VECTOR.Z};
    if (!projectiles_pool_has_room()) {
        // No spark finds a slot: each only draws its four numbers.
        platform_random_skip(4u * kSparksPerFireball);
        return;
    }
    for (int32_t s = 0; s < kSparksPerFireball; ++s) {
        const float k = platform_random() * 2.0f + 0.5f;
        const float blue = 0.2f * k + 0.01f * platform_random();
        const float green = 0.4f * k + 0.01f * platform_random();
        const float red = 0.4f * k + 0.01f * platform_random();
        if (!KV_PROJECTILES_ADD_RICOCHET(source, red, green, blue, 0.0675f, 0, 8.0f)) {
            // The projectile pool is full and stays so for the rest of the ignition: the
            // sparks left only draw their four numbers each.
            platform_random_skip(4u * static_cast<uint32_t>(kSparksPerFireball - 1 - s));
            return;
        }
    }
}

// The sprite of one fireball: two textured squares (its fire frame, then the smoke frame) facing
// the chase camera.
void paint_sprite(const FIREBALLTYPE& f, const FireballPaint& paint) {
    const KVGLOBALSTYPE& g = KVGLOBALS;
    const float w = f.POSITION.W;
    glPushMatrix();
    glTranslatef(f.POSITION.X, f.POSITION.Y, f.POSITION.Z);
    glRotatef(-90.0f + g.GUNSHIPPO.ANGLE, 0.0f, -1.0f, 0.0f);
    glRotatef(27.5f, -1.0f, 0.0f, 0.0f);
    glColor4f(paint.r, paint.g, paint.b, paint.alpha);
    const int32_t frames[2] = {f.EXPLOSIONTEX, kSmokeFrame};
    for (int32_t frame : frames) {
        const int32_t tex = (frame >= 0 && frame < EXPLOSIONTEX_SLOTS) ? g.EXPLOSIONTEX[frame] : 0;
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(tex));
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(-w, w, 0.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-w, -w, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(w, -w, 0.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(w, w, 0.0f);
        glEnd();
    }
    glPopMatrix();
}

}  // namespace

int32_t explosion_delay_ms(int32_t layer, int32_t step) {
    return static_cast<int32_t>(std::nearbyint(200.0 * step / 7.0 + 200.0 * layer));
}

void kv_explosion_start(float cx, float cz) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t now = platform_clock_ms();
    // A blast started at time 0 would read as "no blast"; one millisecond later it runs.
    g.EXPLOSIONTIME = now == 0 ? 1 : now;
    g.NFIREBALLS = 0;
    g.FIRSTFIREBALL = 0;
    const float ground = KV_FINDMAPY(cx, cz);
    const float n = static_cast<float>(kPerSide);
    for (int32_t r = 0; r < kLayers; ++r) {
        for (int32_t s = 0; s < kSides; ++s) {
            for (int32_t j = 0; j < kSteps; ++j) {
                for (int32_t k = 0; k < kPerSide; ++k) {
                    const float across = -n / 2.0f + static_cast<float>(k) + 0.5f;
                    const float out = 3.0f * static_cast<float>(j) / 7.0f;
                    float dx = 0.0f, dz = 0.0f, vx = 0.0f, vz = 0.0f;
                    switch (s) {
                        case 0: dx = across; dz = n / 2.0f + out - 0.5f; vz = -1.0f; break;
                        case 1: dx = n / 2.0f + out - 0.5f; dz = across; vx = -1.0f; break;
                        case 2: dx = (-n / 2.0f + 0.5f) - out; dz = across; vx = 1.0f; break;
                        default: dx = across; dz = (-n / 2.0f + 0.5f) - out; vz = 1.0f; break;
                    }
                    const int32_t slot = g.NFIREBALLS;
                    if (slot >= FIREBALL_SLOTS) continue;
                    FIREBALLTYPE& f = g.FIREBALL[slot];
                    f.STARTTIME = g.EXPLOSIONTIME + explosion_delay_ms(r, j);
                    f.FADETIME = f.STARTTIME + 100;
                    f.VISIBLE = 0;
                    f.EXPLOSIONTEX = static_cast<int32_t>(std::nearbyint(platform_random() * 6.0f));
                    f.POSITION.X = cx + dx;
                    f.POSITION.Y = ground + static_cast<float>(r) + 0.5f;
                    f.POSITION.Z = cz + dz;
                    f.POSITION.W = platform_random() * 0.5f + 0.75f;
                    f.VECTOR = VECTOR3D{vx, 0.0f, vz};
                    f.GREYMOD = platform_random() * 0.1f - 0.05f;
                    g.NFIREBALLS = g.NFIREBALLS + 1 > kMaxCounted ? kMaxCounted : g.NFIREBALLS + 1;
                }
            }
        }
    }
}

int32_t kv_explosion_burning() {
    if (KVGLOBALS.EXPLOSIONTIME == 0) return 0;
    int32_t first = 0, end = 0;
    slot_range(first, end);
    int32_t n = 0;
    for (int32_t i = first; i < end; ++i)
        if (KVGLOBALS.FIREBALL[i].VISIBLE == 1) ++n;
    return n;
}

void explosion_step(int32_t now, FireballPainter paint) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (g.EXPLOSIONTIME == 0) return;
    int32_t first = 0, end = 0;
    slot_range(first, end);
    int32_t lowest_left = end;  // lowest slot not yet gone
    bool burning = false;
    for (int32_t i = first; i < end; ++i) {
        FIREBALLTYPE& f = g.FIREBALL[i];
        if (f.VISIBLE == 0 && f.STARTTIME < now) ignite(f);
        if (f.VISIBLE == 1) {
            const float span = static_cast<float>(f.FADETIME - f.STARTTIME);
            float t = span > 0.0f ? static_cast<float>(now - f.STARTTIME) / span : 1.0f;
            if (!(t < 1.0f)) t = 1.0f;
            const float u1 = platform_random();
            const float u2 = platform_random();
            const float smoke = 0.2f + f.GREYMOD;
            FireballPaint p;
            p.r = 1.0f + (smoke - 1.0f) * t;
            p.g = (0.75f + 0.1f * u1) + (smoke - (0.75f + 0.1f * u1)) * t;
            p.b = (0.25f + 0.1f * u2) + (smoke - (0.25f + 0.1f * u2)) * t;
            float a = 1.0f;
            if (t >= 1.0f) {
                // The fade lasts 9.5 ms per slot index, counted from ignition; slot 0 goes out
                // as soon as it has turned to smoke.
                a = i > 0 ? 1.0f - static_cast<float>(now - f.STARTTIME) / (static_cast<float>(i) * 9.5f)
                          : -1.0f;
                if (a < 0.0f) {
                    a = 0.0f;
                    f.VISIBLE = 2;
                }
            }
            p.alpha = 0.6f * a;
            if (paint) paint(f, p);
            if (f.VISIBLE == 1) {
                burning = true;
                const float e = (f.POSITION.Y - g.PLAYERY) + 20.0f * g.MAPSCALE;
                f.POSITION.X += e * FPSR * 0.00025f;
                f.POSITION.Y += e * FPSR * 0.0005f;
                f.POSITION.W += FPSR * f.POSITION.W * 0.0012f;
            }
        }
        if (f.VISIBLE != 2 && i < lowest_left) lowest_left = i;
    }
    g.FIRSTFIREBALL = lowest_left;
    if (!burning) g.EXPLOSIONTIME = 0;
}

void KV_RENDER_EXPLOSION() {
    if (KVGLOBALS.EXPLOSIONTIME == 0) return;
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    explosion_step(platform_clock_ms(), paint_sprite);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopAttrib();
}
