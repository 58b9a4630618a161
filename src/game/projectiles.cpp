// Projectiles and particles: the fixed pool of shells, rockets and sparks, their update and
// drawing.
//
// Hits on infantry read and change the enemy records directly (KVGLOBALS.ENEMIES); walls and
// turrets are never hit by projectiles. Every index that comes from a record (LASTPROJECTILE,
// MAXPROJECTILES, LASTENEMY, a rocket's LOCKEDON) is bounded before use, and positions that
// are not finite or lie off the map end the projectile without a burst.
#include "game/projectiles.h"

#include <GL/gl.h>

#include <cmath>

#include "engine/engine_globals.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {

constexpr float kPi = 3.14159f;

struct BurstSpec {
    int32_t count;
    float m;
    int32_t kind;
    float speed;
    float gravity;
    float r, g, b;
};

constexpr BurstSpec kBursts[] = {
    {28, 0.5f, 1, 8.0f, 0.0675f, 0.5f, 0.1f, 0.1f},     // blood
    {3, 0.5f, 0, 4.0f, 0.0675f, 0.5f, 0.5f, 0.5f},      // grey sparks, light
    {3, 0.5f, 0, 4.0f, 0.0675f, 1.0f, 0.75f, 0.25f},    // hot sparks, light
    {31, 0.5f, 1, 12.0f, 0.0675f, 0.5f, 0.5f, 0.5f},    // grey debris, heavy
    {31, 0.5f, 1, 12.0f, 0.0675f, 1.0f, 0.75f, 0.25f},  // hot debris, heavy
    {21, 0.5f, 3, 9.71f, -0.0336f, 1.0f, 0.75f, 0.25f}, // flames
    {8, 2.0f, 0, 8.0f, 0.0675f, 0.5f, 0.5f, 0.5f},      // bullet impact
    {8, 0.5f, 0, 8.0f, 0.0375f, 0.5f, 0.5f, 0.4f},      // dust
    {8, 2.0f, 2, 4.0f, 0.0f, 0.6f, 0.7f, 0.8f},         // rocket exhaust
};

// Line array for drawing: two vertices per line-drawn slot, fixed for the whole pool.
float g_line_vertices[PROJECTILE_SLOTS * 2 * 3];
float g_line_colors[PROJECTILE_SLOTS * 2 * 4];

int32_t clamp_slot(int32_t v, int32_t slots) {
    if (v < 0) return 0;
    if (v > slots - 1) return slots - 1;
    return v;
}

int32_t max_projectile() { return clamp_slot(KVGLOBALS.MAXPROJECTILES, PROJECTILE_SLOTS); }
int32_t last_projectile() { return clamp_slot(KVGLOBALS.LASTPROJECTILE, PROJECTILE_SLOTS); }
int32_t last_enemy() { return clamp_slot(KVGLOBALS.LASTENEMY, ENEMY_SLOTS); }

int32_t free_slot() {
    const int32_t top = max_projectile();
    for (int32_t i = 0; i <= top; ++i) {
        if (KVGLOBALS.PROJECTILES[i].ACTIVE == 0) return i;
    }
    return -1;
}

float length3(const VECTOR3D& v) { return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z); }

// Unit vector along v; a zero or non-finite vector is returned unchanged.
VECTOR3D normalised(const VECTOR3D& v) {
    const float l = length3(v);
    if (!(l > 0.0f) || !std::isfinite(l)) return v;
    return v / l;
}

bool is_infantry(const ENEMYTYPE& e) { return e.ACTIVE != 0 && (e.CLASS == 2 || e.CLASS == 3); }

float round_nearest(float v) { return static_cast<float>(std::nearbyint(static_cast<double>(v))); }

int32_t now_ms() { return platform_clock_ms(); }

void launch_common(PROJECTILETYPE& p, int32_t slot, const VECTOR3D& position, const VECTOR3D& direction,
                   float speed, float gravity, int32_t owner) {
    p.POSITION = position;
    p.VECTOR = direction;
    p.VELOCITY = speed;
    p.ACTIVE = 1;
    p.RICOCHET = 0;
    p.DISTANCETRAVELLED = 0.0f;
    p.ENEMY = owner;
    p.CLASS = 0;
    p.GRAVITY = gravity;
    if (slot % 10 == 0) {
        p.COLOR = RGBALPHA{1.0f, 0.75f, 0.25f, 0.0f};
    } else {
        p.COLOR = RGBALPHA{0.5f, 0.5f, 0.5f, 0.0f};
    }
}

// Steers a burning rocket; player rockets look for the sturdiest infantry near them first.
void steer_rocket(PROJECTILETYPE& p) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    if (p.ENEMY == 1) {
        const VECTOR3D t = VECTOR3D{g.PLAYERX, g.PLAYERY, g.PLAYERZ} - p.POSITION;
        const float l = length3(t);
        if (l > 0.0f) p.VECTOR = normalised(t / (l * 4.0f) + p.VECTOR);
        return;
    }
    if (p.ENEMY != 2) return;
    if (p.LOCKEDON == -1) {
        const int32_t top = last_enemy();
        for (int32_t i = 0; i <= top; ++i) {
            const ENEMYTYPE& e = g.ENEMIES[i];
            if (!is_infantry(e)) continue;
            if (std::fabs(e.POSITION.X - p.POSITION.X) < 8.0f && std::fabs(e.POSITION.Z - p.POSITION.Z) < 8.0f &&
                e.HEALTH > static_cast<float>(p.LOCKEDONHEALTH)) {
                p.LOCKEDON = i;
                const double h = std::nearbyint(static_cast<double>(e.HEALTH));
                p.LOCKEDONHEALTH = (h > 2147483647.0 || h < -2147483647.0) ? 0 : static_cast<int32_t>(h);
            }
        }
    }
    if (p.LOCKEDON >= 0 && p.LOCKEDON < ENEMY_SLOTS) {
        const VECTOR3D t = g.ENEMIES[p.LOCKEDON].POSITION - p.POSITION;
        const float l = length3(t);
        if (l > 0.0f) p.VECTOR = normalised(t / (l * 2.0f) + p.VECTOR);
    }
}

// Player shot against infantry; true when it hit (the shot is then gone).
bool hit_infantry(int32_t slot) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    PROJECTILETYPE& p = g.PROJECTILES[slot];
    const float rx = round_nearest(p.POSITION.X);
    const float rz = round_nearest(p.POSITION.Z);
    const int32_t top = last_enemy();
    for (int32_t i = 0; i <= top; ++i) {
        ENEMYTYPE& e = g.ENEMIES[i];
        if (!is_infantry(e)) continue;
        if (!(std::fabs(e.POSITION.X - rx) < 1.5f && std::fabs(e.POSITION.Z - rz) < 1.5f)) continue;
        if (p.CLASS == 1) {
            KV_PROJECTILES_DAMAGENEAREST(p);
            projectiles_remove(slot);
            return true;
        }
        if (std::fabs(e.POSITION.Y - p.POSITION.Y) < 3.0f) {
            p.POSITION.Y = e.POSITION.Y;
            e.HEALTH -= 2.0f;
            projectiles_burst(p, KVBURST::BLOOD);
            projectiles_remove(slot);
            return true;
        }
    }
    return false;
}

// Enemy shot against the gunship; true when it hit. No armour is taken.
bool hit_gunship(int32_t slot) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    PROJECTILETYPE& p = g.PROJECTILES[slot];
    if (!(std::fabs(p.POSITION.Y - g.PLAYERY) < 1.0f && std::fabs(p.POSITION.X - g.PLAYERX) < 1.0f &&
          std::fabs(p.POSITION.Z - g.PLAYERZ) < 1.0f)) {
        return false;
    }
    if (p.CLASS == 1) {
        projectiles_rocket_explosion(p);
    } else {
        projectiles_burst(p, KVBURST::GREY_SPARKS);
        projectiles_burst(p, KVBURST::HOT_SPARKS);
    }
    projectiles_remove(slot);
    return true;
}

void hit_ground(int32_t slot) {
    PROJECTILETYPE& p = KVGLOBALS.PROJECTILES[slot];
    float h = 0.0f;
    int32_t v = 0;
    if (!projectiles_ground_height(p.POSITION.X, p.POSITION.Z, h, v) || !std::isfinite(p.POSITION.Y)) {
        projectiles_remove(slot);  // off the map: gone without a burst
        return;
    }
    const bool built_up = v != 0 && v != 1;
    if (!built_up && p.POSITION.Y > h) return;
    if (p.CLASS == 1) {
        projectiles_rocket_explosion(p);
    } else {
        projectiles_burst(p, built_up ? KVBURST::BULLET_IMPACT : KVBURST::DUST);
    }
    projectiles_remove(slot);
}

}  // namespace

void projectiles_recount() {
    int32_t last = 0;
    for (int32_t i = PROJECTILE_SLOTS - 1; i >= 0; --i) {
        if (KVGLOBALS.PROJECTILES[i].ACTIVE != 0) {
            last = i;
            break;
        }
    }
    KVGLOBALS.LASTPROJECTILE = last;
}

void projectiles_remove(int32_t slot) {
    if (slot < 0 || slot >= PROJECTILE_SLOTS) return;
    projectiles_recount();
    KVGLOBALS.PROJECTILES[slot].ACTIVE = 0;
}

bool projectiles_ground_height(float x, float z, float& height, int32_t& city_value) {
    if (!std::isfinite(x) || !std::isfinite(z)) return false;
    const float fx = std::floor(x);
    const float fz = std::floor(z);
    if (fx < 0.0f || fz < 0.0f || fx > static_cast<float>(KV_MAPSIDE - 1) || fz > static_cast<float>(KV_MAPSIDE - 1)) {
        return false;
    }
    const KVMAPVIEW map = kv_world_view();
    if (map.CITYMAP == nullptr || map.TERRAINMAP == nullptr) return false;
    const int32_t ix = static_cast<int32_t>(fx);
    const int32_t iz = static_cast<int32_t>(fz);
    const int32_t v = kv_map_city(map, ix, iz);
    const float water = kv_water_surface(map);
    float sum = 0.0f;
    int32_t n = 0;
    for (int32_t dz = 0; dz <= 1; ++dz) {
        for (int32_t dx = 0; dx <= 1; ++dx) {
            const int32_t cx = ix + dx;
            const int32_t cz = iz + dz;
            if (!kv_map_inside(cx, cz)) continue;
            float c = static_cast<float>(kv_map_terrain(map, cx, cz)) * map.MAPSCALE;
            if (v == 1 && c <= water) c = water;
            sum += c;
            ++n;
        }
    }
    city_value = v;
    height = sum / static_cast<float>(n);
    return true;
}

void KV_PROJECTILES_ADD(VECTOR3D& position, VECTOR3D& direction, float speed, float gravity, int32_t owner) {
    const int32_t slot = free_slot();
    if (slot < 0) return;
    launch_common(KVGLOBALS.PROJECTILES[slot], slot, position, direction, speed, gravity, owner);
    projectiles_recount();
}

void KV_PROJECTILES_ADD_RPG(VECTOR3D& position, VECTOR3D& direction, float gravity, int32_t owner) {
    const int32_t slot = free_slot();
    if (slot < 0) return;
    PROJECTILETYPE& p = KVGLOBALS.PROJECTILES[slot];
    launch_common(p, slot, position, direction, 8.0f, gravity, owner);
    p.CLASS = 1;
    p.DEADTIME = static_cast<int32_t>(static_cast<uint32_t>(now_ms()) + 2200u);  // wraps with the clock
    p.LOCKEDON = -1;
    p.LOCKEDONHEALTH = 0;
    projectiles_recount();
}

void KV_PROJECTILES_ADD_RICOCHET(PROJECTILETYPE& source, float r, float g, float b, float gravity, int32_t kind,
                                 float speed) {
    const int32_t slot = free_slot();
    if (slot < 0) return;
    if (kind < 0 || kind > 3) kind = 0;
    const VECTOR3D from = source.POSITION;
    const VECTOR3D back = source.VECTOR;
    const float s = kind == 2 ? 0.0f : 2.0f;
    VECTOR3D d;
    d.X = platform_random() * s - back.X - s / 2.0f;
    d.Y = platform_random() * s - back.Y - s / 2.0f;
    d.Z = platform_random() * s - back.Z - s / 2.0f;
    if (kind == 1) d.Y += 2.0f;
    PROJECTILETYPE& p = KVGLOBALS.PROJECTILES[slot];
    p.VECTOR = normalised(d);
    p.POSITION = from;
    if (kind == 3) {
        p.VELOCITY = platform_random() * 5.0f + 0.0315f * speed;
    } else {
        p.VELOCITY = platform_random() * 5.0f + speed;
    }
    p.MAXDISTANCETRAVEL = speed / 4.0f;
    p.DISTANCETRAVELLED = 0.0f;
    p.ACTIVE = 1;
    p.RICOCHET = 1;
    p.ENEMY = 0;
    p.CLASS = kind == 3 ? 10 : 0;
    p.COLOR = RGBALPHA{r, g, b, 0.0f};
    p.GRAVITY = gravity;
}

void projectiles_burst(PROJECTILETYPE& source, KVBURST burst) {
    const int32_t index = static_cast<int32_t>(burst);
    if (index < 0 || index >= static_cast<int32_t>(sizeof(kBursts) / sizeof(kBursts[0]))) return;
    const BurstSpec& b = kBursts[index];
    for (int32_t i = 0; i < b.count; ++i) {
        const float k = platform_random() * b.m + 0.5f;
        const float blue = b.b * k + 0.01f * platform_random();
        const float green = b.g * k + 0.01f * platform_random();
        const float red = b.r * k + 0.01f * platform_random();
        KV_PROJECTILES_ADD_RICOCHET(source, red, green, blue, b.gravity, b.kind, b.speed);
    }
}

void projectiles_rocket_explosion(PROJECTILETYPE& source) {
    projectiles_burst(source, KVBURST::GREY_DEBRIS);
    projectiles_burst(source, KVBURST::HOT_DEBRIS);
    projectiles_burst(source, KVBURST::FLAMES);
}

void KV_PROJECTILES_UPDATE() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t now = now_ms();
    const int32_t top = last_projectile();
    for (int32_t i = 0; i <= top; ++i) {
        PROJECTILETYPE& p = g.PROJECTILES[i];
        if (p.ACTIVE == 0) continue;
        if (p.CLASS == 1) {
            if (now < p.DEADTIME) {
                p.VELOCITY *= 0.015f * FPSR + 1.0f;
                projectiles_burst(p, KVBURST::ROCKET_EXHAUST);
                steer_rocket(p);
            } else {
                p.VECTOR.Y -= FPSR * p.GRAVITY;
            }
            const float step = p.VELOCITY / 1000.0f * FPSR * 12.0f;
            p.POSITION = p.POSITION + p.VECTOR * step;
            p.YANGLE = std::atan2(-p.VECTOR.Z, p.VECTOR.X) * 180.0f / kPi;
        } else {
            const float step = p.VELOCITY / 1000.0f * FPSR * 12.0f;
            if (p.RICOCHET == 1) p.DISTANCETRAVELLED += step;
            p.POSITION = p.POSITION + p.VECTOR * step;
        }
    }
    projectiles_recount();
    KV_PROJECTILES_CHECKCOLLISION();
}

void KV_PROJECTILES_CHECKCOLLISION() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t top = last_projectile();
    for (int32_t i = 0; i <= top; ++i) {
        PROJECTILETYPE& p = g.PROJECTILES[i];
        if (p.ACTIVE == 0) continue;
        if (p.RICOCHET == 1) {
            if (p.DISTANCETRAVELLED > p.MAXDISTANCETRAVEL) p.ACTIVE = 0;
            continue;
        }
        if (p.ENEMY == 2 && hit_infantry(i)) continue;
        if (p.ENEMY == 1 && hit_gunship(i)) continue;
        hit_ground(i);
    }
}

void KV_PROJECTILES_DAMAGENEAREST(PROJECTILETYPE& projectile) {
    if (projectile.CLASS != 1) return;
    KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t top = last_enemy();
    for (int32_t i = 0; i <= top; ++i) {
        ENEMYTYPE& e = g.ENEMIES[i];
        if (!is_infantry(e)) continue;
        const float dx = e.POSITION.X - projectile.POSITION.X;
        const float dz = e.POSITION.Z - projectile.POSITION.Z;
        if (!(std::sqrt(dx * dx + dz * dz) < 4.0f)) continue;
        e.HEALTH -= 20.0f;
        PROJECTILETYPE at = projectile;
        at.POSITION.X = e.POSITION.X + platform_random() - 0.5f;
        at.POSITION.Y = e.POSITION.Y;
        at.POSITION.Z = e.POSITION.Z + platform_random() - 0.5f;
        projectiles_burst(at, KVBURST::BLOOD);
        projectiles_rocket_explosion(at);
    }
}

void KV_RENDER_PROJECTILES() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const int32_t top = last_projectile();
    glDisable(GL_LIGHTING);

    int32_t lines = 0;
    for (int32_t i = 0; i <= top; ++i) {
        const PROJECTILETYPE& p = g.PROJECTILES[i];
        if (p.ACTIVE == 0 || p.CLASS != 0) continue;
        float len = 0.4f;
        float r = p.COLOR.R, gr = p.COLOR.G, b = p.COLOR.B, a = 1.0f;
        if (p.RICOCHET == 1) {
            a = p.MAXDISTANCETRAVEL > 0.0f ? 1.0f - p.DISTANCETRAVELLED / p.MAXDISTANCETRAVEL : 0.0f;
            a = std::fmin(1.0f, std::fmax(0.0f, a));
            const float f = 0.25f * a + 0.75f;
            r *= f;
            gr *= f;
            b *= f;
            len = 0.3f;
        }
        float* v = &g_line_vertices[lines * 6];
        v[0] = p.POSITION.X;
        v[1] = p.POSITION.Y;
        v[2] = p.POSITION.Z;
        v[3] = p.POSITION.X - len * p.VECTOR.X;
        v[4] = p.POSITION.Y - len * p.VECTOR.Y;
        v[5] = p.POSITION.Z - len * p.VECTOR.Z;
        float* c = &g_line_colors[lines * 8];
        for (int32_t k = 0; k < 2; ++k) {
            c[k * 4 + 0] = r;
            c[k * 4 + 1] = gr;
            c[k * 4 + 2] = b;
            c[k * 4 + 3] = a;
        }
        ++lines;
    }
    if (lines > 0) {
        glDisable(GL_TEXTURE_2D);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, g_line_vertices);
        glColorPointer(4, GL_FLOAT, 0, g_line_colors);
        glDrawArrays(GL_LINES, 0, lines * 2);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }

    for (int32_t i = 0; i <= top; ++i) {
        const PROJECTILETYPE& p = g.PROJECTILES[i];
        if (p.ACTIVE == 0 || p.CLASS != 1) continue;
        glPushMatrix();
        glTranslatef(p.POSITION.X, p.POSITION.Y, p.POSITION.Z);
        glRotatef(p.YANGLE, 0.0f, 1.0f, 0.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        if (g.RPGDL > 0) glCallList(static_cast<GLuint>(g.RPGDL));
        glPopMatrix();
    }

    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    for (int32_t i = 0; i <= top; ++i) {
        const PROJECTILETYPE& p = g.PROJECTILES[i];
        if (p.ACTIVE == 0 || p.CLASS != 10) continue;
        float a = p.MAXDISTANCETRAVEL > 0.0f ? 1.0f - p.DISTANCETRAVELLED / p.MAXDISTANCETRAVEL : 0.0f;
        a = std::fmin(1.0f, std::fmax(0.0f, a));
        const float grey = 0.2f + 0.1f * std::sin(1.8f * a);
        float r = grey, gr = grey, b = grey;
        const float u1 = platform_random();
        const float u2 = platform_random();
        if (a > 0.8f) {
            const float t = (a - 0.8f) / 0.2f;
            r += (1.0f - grey) * t;
            gr += (0.75f + 0.1f * u1 - grey) * t;
            b += (0.25f + 0.1f * u2 - grey) * t;
        }
        int32_t frame = 6;
        if (a > 0.95f) frame = clamp_slot(static_cast<int32_t>(round_nearest(platform_random() * 6.0f)), EXPLOSIONTEX_SLOTS);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(g.EXPLOSIONTEX[frame]));
        const float hs = 1.8f - 1.4f * a;
        glPushMatrix();
        glTranslatef(p.POSITION.X, p.POSITION.Y, p.POSITION.Z);
        glRotatef(-90.0f + g.GUNSHIPPO.ANGLE, 0.0f, -1.0f, 0.0f);
        glRotatef(27.5f, -1.0f, 0.0f, 0.0f);
        glColor4f(r, gr, b, a);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-hs, -hs, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(hs, -hs, 0.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(hs, hs, 0.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(-hs, hs, 0.0f);
        glEnd();
        glPopMatrix();
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
