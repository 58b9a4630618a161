// Projectiles and particles: the fixed pool of shells, rockets and sparks, their update and
// drawing.
//
// Hits on infantry read and change the enemy records directly (KVGLOBALS.ENEMIES); walls and
// turrets are never hit by projectiles. Every index that comes from a record (LASTPROJECTILE,
// MAXPROJECTILES, LASTENEMY, a rocket's LOCKEDON) is bounded before use, and positions that
// are not finite or lie off the map end the projectile without a burst.
#include "game/projectiles.h"

#include <GL/gl.h>

#include <algorithm>
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

// The slot index: a two-level bit mirror of the pool's ACTIVE flags, so that the lowest free
// slot and the highest active slot are found in a few word operations instead of a walk over
// the 10 000 records. Every change of a flag made here goes through mark(); the mirror is
// rebuilt from the records by projectiles_pool_sync() (at the start of every update, and by
// whoever writes flags directly). A mirror answer is checked against the records at the answer
// before it is used; a stale mirror is rebuilt and asked again, so a slot in use is never handed
// out. A slot freed behind the pool's back below the answer is found at the next sync.
constexpr int32_t kWords = (PROJECTILE_SLOTS + 63) / 64;
constexpr int32_t kSummaryWords = (kWords + 63) / 64;
uint64_t g_active_bits[kWords];        // bit s%64 of word s/64: slot s is active
uint64_t g_full_words[kSummaryWords];  // bit w: every slot of word w is active
uint64_t g_used_words[kSummaryWords];  // bit w: some slot of word w is active

constexpr uint64_t word_mask(int32_t w) {
    const int32_t left = PROJECTILE_SLOTS - w * 64;
    return left >= 64 ? ~uint64_t{0} : (uint64_t{1} << left) - 1;
}

void summarise(int32_t w) {
    const uint64_t bit = uint64_t{1} << (w % 64);
    const uint64_t v = g_active_bits[w];
    if (v == word_mask(w)) g_full_words[w / 64] |= bit;
    else g_full_words[w / 64] &= ~bit;
    if (v != 0) g_used_words[w / 64] |= bit;
    else g_used_words[w / 64] &= ~bit;
}

// Sets slot s's ACTIVE flag and its mirror bit.
void mark(int32_t s, bool active) {
    KVGLOBALS.PROJECTILES[s].ACTIVE = active ? 1 : 0;
    const uint64_t bit = uint64_t{1} << (s % 64);
    if (active) g_active_bits[s / 64] |= bit;
    else g_active_bits[s / 64] &= ~bit;
    summarise(s / 64);
}

// Lowest slot the mirror holds free, or PROJECTILE_SLOTS when it holds none.
int32_t mirror_lowest_free() {
    for (int32_t k = 0; k < kSummaryWords; ++k) {
        const int32_t words_here = kWords - k * 64 < 64 ? kWords - k * 64 : 64;
        const uint64_t present = words_here == 64 ? ~uint64_t{0} : (uint64_t{1} << words_here) - 1;
        const uint64_t open = ~g_full_words[k] & present;
        if (open == 0) continue;
        const int32_t w = k * 64 + __builtin_ctzll(open);
        const uint64_t free_bits = ~g_active_bits[w] & word_mask(w);
        return w * 64 + __builtin_ctzll(free_bits);
    }
    return PROJECTILE_SLOTS;
}

// Highest slot the mirror holds active, or -1 when it holds none.
int32_t mirror_highest_active() {
    for (int32_t k = kSummaryWords - 1; k >= 0; --k) {
        if (g_used_words[k] == 0) continue;
        const int32_t w = k * 64 + 63 - __builtin_clzll(g_used_words[k]);
        return w * 64 + 63 - __builtin_clzll(g_active_bits[w]);
    }
    return -1;
}

// The mirror's answer is trusted only when the records agree with it round the answer: the
// slot itself for a free slot; the slot and the next one up for the highest active.
int32_t lowest_free() {
    int32_t s = mirror_lowest_free();
    if (s < PROJECTILE_SLOTS && KVGLOBALS.PROJECTILES[s].ACTIVE != 0) {
        projectiles_pool_sync();
        s = mirror_lowest_free();
    }
    return s;
}

int32_t highest_active() {
    int32_t s = mirror_highest_active();
    if ((s >= 0 && KVGLOBALS.PROJECTILES[s].ACTIVE == 0) ||
        (s + 1 < PROJECTILE_SLOTS && KVGLOBALS.PROJECTILES[s + 1].ACTIVE != 0)) {
        projectiles_pool_sync();
        s = mirror_highest_active();
    }
    return s;
}

// The first free slot from 0 to MAXPROJECTILES, or -1 when there is none.
int32_t free_slot() {
    const int32_t s = lowest_free();
    return s <= max_projectile() ? s : -1;
}

// The infantry lookup of one update: infantry slots 0-LASTENEMY sorted into 4 x 4 squares of the
// map, each with a copy of its position, so that a shot asks only the squares round it instead
// of all 1000 slots and reads a short array while it does. It is built as an update starts and
// dropped as it ends; nothing in the projectile step moves an enemy or changes its class or
// ACTIVE flag, so the squares and the copies stay right for the whole step (hits change HEALTH
// only, which is read live). Outside an update every query walks all the slots. Either way the
// candidates come in slot order and each passes the full rule, so the lookup changes how fast a
// hit is found, never which.
constexpr float kSquare = 4.0f;
constexpr int32_t kSquaresPerSide = (KV_MAPSIDE + 3) / 4 + 1;
constexpr int32_t kSquares = kSquaresPerSide * kSquaresPerSide;
struct InfantryEntry {
    VECTOR3D position;
    int32_t slot;
};
struct InfantryLookup {
    bool ready = false;
    // Entries of square q: items[entry_start(q) .. entry_start(q + 1)). Only the squares from
    // `first` to `last` hold any; start[q + 1] is the start of square q for those alone (the
    // build fills the squares back to front and leaves every square's start one index up).
    int32_t first = 0, last = -1, total = 0;
    int32_t start[kSquares + 2] = {};
    InfantryEntry items[ENEMY_SLOTS] = {};
    InfantryEntry outside[ENEMY_SLOTS] = {};  // infantry off the squares (or with no finite position)
    int32_t outside_n = 0;
    int32_t square[ENEMY_SLOTS] = {};  // build scratch: square of every slot, -1 none
};
InfantryLookup g_lookup;
// One candidate buffer per kind of query: a rocket's blast (damage_nearest) runs inside a hit.
int32_t g_hit_candidates[ENEMY_SLOTS];
int32_t g_steer_candidates[ENEMY_SLOTS];
int32_t g_blast_candidates[ENEMY_SLOTS];

bool is_infantry(const ENEMYTYPE& e) { return e.ACTIVE != 0 && (e.CLASS == 2 || e.CLASS == 3); }

// Square index of an enemy position, or -1 when it lies off the squares.
int32_t square_of(const VECTOR3D& p) {
    if (!std::isfinite(p.X) || !std::isfinite(p.Z)) return -1;
    const float side = static_cast<float>(kSquaresPerSide);
    const float vx = p.X / kSquare, vz = p.Z / kSquare;
    if (vx < 0.0f || vz < 0.0f || vx >= side || vz >= side) return -1;
    return static_cast<int32_t>(vz) * kSquaresPerSide + static_cast<int32_t>(vx);
}

void build_lookup(int32_t top) {
    InfantryLookup& l = g_lookup;
    l.first = kSquares;
    l.last = -1;
    l.outside_n = 0;
    for (int32_t i = 0; i <= top; ++i) {
        const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        l.square[i] = -1;
        if (!is_infantry(e)) continue;
        const int32_t q = square_of(e.POSITION);
        if (q < 0) {
            l.outside[l.outside_n++] = InfantryEntry{e.POSITION, i};
            continue;
        }
        l.square[i] = q;
        if (q < l.first) l.first = q;
        if (q > l.last) l.last = q;
    }
    l.total = 0;
    if (l.last < l.first) {
        l.ready = true;
        return;
    }
    for (int32_t q = l.first; q <= l.last; ++q) l.start[q + 1] = 0;
    for (int32_t i = 0; i <= top; ++i)
        if (l.square[i] >= 0) ++l.start[l.square[i] + 1];
    // start[q + 1] := end of square q; filling back to front moves it down to the start of q.
    for (int32_t q = l.first + 1; q <= l.last; ++q) l.start[q + 1] += l.start[q];
    l.total = l.start[l.last + 1];
    for (int32_t i = top; i >= 0; --i) {
        const int32_t q = l.square[i];
        if (q >= 0) l.items[--l.start[q + 1]] = InfantryEntry{KVGLOBALS.ENEMIES[i].POSITION, i};
    }
    l.ready = true;
}

// Index of the first entry of square q (0 to kSquares; kSquares closes the table).
int32_t entry_start(const InfantryLookup& l, int32_t q) {
    if (q <= l.first) return 0;
    if (q > l.last) return l.total;
    return l.start[q + 1];
}

// Squares [a, b] covering [lo, hi] along one axis, clamped to the squares; false when empty.
// lo and hi are finite.
bool square_span(float lo, float hi, int32_t& a, int32_t& b) {
    const float side = static_cast<float>(kSquaresPerSide);
    const float vlo = lo / kSquare, vhi = hi / kSquare;
    a = vlo < 0.0f ? 0 : (vlo >= side ? kSquaresPerSide : static_cast<int32_t>(vlo));
    b = vhi < 0.0f ? -1 : (vhi >= side ? kSquaresPerSide - 1 : static_cast<int32_t>(vhi));
    return a <= b;
}

// Calls visit(slot), in slot order until it returns true, for the infantry slots whose position
// passes near(position); outside an update or without use_lookup, the infantry among all slots
// 0-LASTENEMY are tested one after the other, each just before its visit. In the lookup every
// candidate within `reach` of (x, z) on both axes (plus a margin of one unit, so that rounding
// at the squares' edges drops none) is tested first and only then visited, so `near` must read
// nothing the visits change. `near` must not accept a position farther than `reach` on an axis.
template <class Near, class Visit>
void visit_infantry_near(float x, float z, float reach, int32_t* buffer, Near&& near, Visit&& visit,
                         bool use_lookup = true) {
    const InfantryLookup& l = g_lookup;
    if (!l.ready || !use_lookup) {
        const int32_t top = last_enemy();
        for (int32_t i = 0; i <= top; ++i) {
            const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
            if (is_infantry(e) && near(e.POSITION) && visit(i)) return;
        }
        return;
    }
    int32_t n = 0;
    bool ordered = true;  // each square's list is in slot order; several may interleave
    auto take = [&](const InfantryEntry& c) {
        if (!near(c.position)) return;
        if (n > 0 && buffer[n - 1] > c.slot) ordered = false;
        buffer[n++] = c.slot;
    };
    const float r = reach + 1.0f;
    int32_t x0 = 0, x1 = -1, z0 = 0, z1 = -1;
    if (std::isfinite(x) && std::isfinite(z) && square_span(x - r, x + r, x0, x1) && square_span(z - r, z + r, z0, z1)) {
        for (int32_t qz = z0; qz <= z1; ++qz) {
            const int32_t row = qz * kSquaresPerSide;  // squares x0-x1 of a row are one run
            const int32_t end = entry_start(l, row + x1 + 1);
            for (int32_t k = entry_start(l, row + x0); k < end; ++k) take(l.items[k]);
        }
    }
    for (int32_t k = 0; k < l.outside_n; ++k) take(l.outside[k]);
    if (!ordered) std::sort(buffer, buffer + n);
    for (int32_t k = 0; k < n; ++k)
        if (visit(buffer[k])) return;
}

// Vector arithmetic of the step, component by component as the engine's operators do it,
// written here so the per-shot work stays in this file's loops.
VECTOR3D add3(const VECTOR3D& a, const VECTOR3D& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
VECTOR3D sub3(const VECTOR3D& a, const VECTOR3D& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
VECTOR3D scale3(const VECTOR3D& a, float s) { return {a.X * s, a.Y * s, a.Z * s}; }
VECTOR3D div3(const VECTOR3D& a, float s) { return {a.X / s, a.Y / s, a.Z / s}; }

float length3(const VECTOR3D& v) { return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z); }

// Unit vector along v; a zero or non-finite vector is returned unchanged.
VECTOR3D normalised(const VECTOR3D& v) {
    const float l = length3(v);
    if (!(l > 0.0f) || !std::isfinite(l)) return v;
    return div3(v, l);
}

float round_nearest(float v) { return static_cast<float>(std::nearbyint(static_cast<double>(v))); }

int32_t now_ms() { return platform_clock_ms(); }

void launch_common(PROJECTILETYPE& p, int32_t slot, const VECTOR3D& position, const VECTOR3D& direction,
                   float speed, float gravity, int32_t owner) {
    p.POSITION = position;
    p.VECTOR = direction;
    p.VELOCITY = speed;
    mark(slot, true);
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
        const VECTOR3D t = sub3(VECTOR3D{g.PLAYERX, g.PLAYERY, g.PLAYERZ}, p.POSITION);
        const float l = length3(t);
        if (l > 0.0f) p.VECTOR = normalised(add3(div3(t, l * 4.0f), p.VECTOR));
        return;
    }
    if (p.ENEMY != 2) return;
    if (p.LOCKEDON == -1) {
        auto in_reach = [&](const VECTOR3D& at) {
            return std::fabs(at.X - p.POSITION.X) < 8.0f && std::fabs(at.Z - p.POSITION.Z) < 8.0f;
        };
        visit_infantry_near(p.POSITION.X, p.POSITION.Z, 8.0f, g_steer_candidates, in_reach, [&](int32_t i) {
            const ENEMYTYPE& e = g.ENEMIES[i];
            if (e.HEALTH > static_cast<float>(p.LOCKEDONHEALTH)) {
                p.LOCKEDON = i;
                const double h = std::nearbyint(static_cast<double>(e.HEALTH));
                p.LOCKEDONHEALTH = (h > 2147483647.0 || h < -2147483647.0) ? 0 : static_cast<int32_t>(h);
            }
            return false;
        });
    }
    if (p.LOCKEDON >= 0 && p.LOCKEDON < ENEMY_SLOTS) {
        const VECTOR3D t = sub3(g.ENEMIES[p.LOCKEDON].POSITION, p.POSITION);
        const float l = length3(t);
        if (l > 0.0f) p.VECTOR = normalised(add3(div3(t, l * 2.0f), p.VECTOR));
    }
}

// Player shot against infantry; true when it hit (the shot is then gone).
bool hit_infantry(int32_t slot) {
    KVGLOBALSTYPE& g = KVGLOBALS;
    PROJECTILETYPE& p = g.PROJECTILES[slot];
    const float rx = round_nearest(p.POSITION.X);
    const float rz = round_nearest(p.POSITION.Z);
    // A rocket bursts on any infantry in reach; a shell also needs the height.
    auto struck = [&](const VECTOR3D& at) {
        return std::fabs(at.X - rx) < 1.5f && std::fabs(at.Z - rz) < 1.5f &&
               (p.CLASS == 1 || std::fabs(at.Y - p.POSITION.Y) < 3.0f);
    };
    bool hit = false;
    visit_infantry_near(rx, rz, 1.5f, g_hit_candidates, struck, [&](int32_t i) {
        ENEMYTYPE& e = g.ENEMIES[i];
        if (p.CLASS == 1) {
            KV_PROJECTILES_DAMAGENEAREST(p);
        } else {
            p.POSITION.Y = e.POSITION.Y;
            e.HEALTH -= 2.0f;
            projectiles_burst(p, KVBURST::BLOOD);
        }
        projectiles_remove(slot);
        hit = true;
        return true;
    });
    return hit;
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

// Ground height under (x, z) for the hit test: the mean of the 2 x 2 terrain samples from the
// cell's corner that lie on the map, water filling the sea cells (city code 1) up to its surface.
// False when (x, z) is not finite, off the map or the map is not loaded. A cell away from the
// far edges has all four samples and reads them directly; the edge cells count what they have.
bool ground_height(const KVMAPVIEW& map, float x, float z, float& height, int32_t& city_value) {
    if (!std::isfinite(x) || !std::isfinite(z)) return false;
    const float side = static_cast<float>(KV_MAPSIDE);
    if (x < 0.0f || z < 0.0f || x >= side || z >= side) return false;
    if (map.CITYMAP == nullptr || map.TERRAINMAP == nullptr) return false;
    const int32_t ix = static_cast<int32_t>(x);  // the cell's corner: x and z are not negative
    const int32_t iz = static_cast<int32_t>(z);
    const int32_t v = map.CITYMAP[kv_map_index(ix, iz)];
    const float water = v == 1 ? kv_water_surface(map) : 0.0f;  // read on sea cells only
    float sum = 0.0f;
    int32_t n = 0;
    if (ix < KV_MAPSIDE - 1 && iz < KV_MAPSIDE - 1) {
        const int32_t* row0 = map.TERRAINMAP + kv_map_index(ix, iz);
        const int32_t* row1 = row0 + KV_MAPSIDE;
        const int32_t corners[4] = {row0[0], row0[1], row1[0], row1[1]};
        for (int32_t k = 0; k < 4; ++k) {
            float c = static_cast<float>(corners[k]) * map.MAPSCALE;
            if (v == 1 && c <= water) c = water;
            sum += c;
        }
        n = 4;
    } else {
        for (int32_t dz = 0; dz <= 1; ++dz) {
            for (int32_t dx = 0; dx <= 1; ++dx) {
                const int32_t cx = ix + dx;
                const int32_t cz = iz + dz;
                if (!kv_map_inside(cx, cz)) continue;
                float c = static_cast<float>(map.TERRAINMAP[kv_map_index(cx, cz)]) * map.MAPSCALE;
                if (v == 1 && c <= water) c = water;
                sum += c;
                ++n;
            }
        }
    }
    city_value = v;
    height = sum / static_cast<float>(n);
    return true;
}

void hit_ground(const KVMAPVIEW& map, int32_t slot) {
    PROJECTILETYPE& p = KVGLOBALS.PROJECTILES[slot];
    float h = 0.0f;
    int32_t v = 0;
    if (!ground_height(map, p.POSITION.X, p.POSITION.Z, h, v) || !std::isfinite(p.POSITION.Y)) {
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

void projectiles_pool_sync() {
    for (int32_t w = 0; w < kWords; ++w) {
        uint64_t v = 0;
        const int32_t first = w * 64;
        const int32_t n = PROJECTILE_SLOTS - first < 64 ? PROJECTILE_SLOTS - first : 64;
        for (int32_t b = 0; b < n; ++b)
            v |= static_cast<uint64_t>(KVGLOBALS.PROJECTILES[first + b].ACTIVE != 0) << b;
        g_active_bits[w] = v;
    }
    for (int32_t k = 0; k < kSummaryWords; ++k) g_full_words[k] = g_used_words[k] = 0;
    for (int32_t w = 0; w < kWords; ++w) summarise(w);
}

bool projectiles_pool_has_room() { return free_slot() >= 0; }

void projectiles_recount() {
    const int32_t last = highest_active();
    KVGLOBALS.LASTPROJECTILE = last < 0 ? 0 : last;
}

void projectiles_remove(int32_t slot) {
    if (slot < 0 || slot >= PROJECTILE_SLOTS) return;
    projectiles_recount();
    mark(slot, false);
}

bool projectiles_ground_height(float x, float z, float& height, int32_t& city_value) {
    return ground_height(kv_world_view(), x, z, height, city_value);
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

bool KV_PROJECTILES_ADD_RICOCHET(PROJECTILETYPE& source, float r, float g, float b, float gravity, int32_t kind,
                                 float speed) {
    const int32_t slot = free_slot();
    if (slot < 0) return false;
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
    mark(slot, true);
    p.RICOCHET = 1;
    p.ENEMY = 0;
    p.CLASS = kind == 3 ? 10 : 0;
    p.COLOR = RGBALPHA{r, g, b, 0.0f};
    p.GRAVITY = gravity;
    return true;
}

void projectiles_burst(PROJECTILETYPE& source, KVBURST burst) {
    const int32_t index = static_cast<int32_t>(burst);
    if (index < 0 || index >= static_cast<int32_t>(sizeof(kBursts) / sizeof(kBursts[0]))) return;
    const BurstSpec& b = kBursts[index];
    if (free_slot() < 0) {
        // A full pool stays full for the whole burst (nothing here frees a slot) and a spark
        // that finds no slot draws no numbers of its own: only the burst's four draws a spark
        // (brightness, blue, green, red) remain.
        platform_random_skip(4u * static_cast<uint32_t>(b.count));
        return;
    }
    for (int32_t i = 0; i < b.count; ++i) {
        const float k = platform_random() * b.m + 0.5f;
        const float blue = b.b * k + 0.01f * platform_random();
        const float green = b.g * k + 0.01f * platform_random();
        const float red = b.r * k + 0.01f * platform_random();
        if (!KV_PROJECTILES_ADD_RICOCHET(source, red, green, blue, b.gravity, b.kind, b.speed)) {
            // The pool filled up during the burst and stays full to its end: the sparks left
            // only draw their four numbers each.
            platform_random_skip(4u * static_cast<uint32_t>(b.count - 1 - i));
            return;
        }
    }
}

void projectiles_rocket_explosion(PROJECTILETYPE& source) {
    projectiles_burst(source, KVBURST::GREY_DEBRIS);
    projectiles_burst(source, KVBURST::HOT_DEBRIS);
    projectiles_burst(source, KVBURST::FLAMES);
}

void KV_PROJECTILES_UPDATE() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    projectiles_pool_sync();
    build_lookup(last_enemy());
    const int32_t now = now_ms();
    const int32_t top = last_projectile();
    const float fpsr = FPSR;  // nothing in the step changes the frame factor
    // Exhaust that finds the pool full only moves the random sequence on. Nothing else in this
    // loop draws numbers, so those moves are summed and made at once, before the next burst
    // that draws for real and at the end of the loop.
    const uint64_t exhaust_draws = 4u * static_cast<uint64_t>(kBursts[static_cast<int32_t>(KVBURST::ROCKET_EXHAUST)].count);
    uint64_t unused_draws = 0;
    for (int32_t i = 0; i <= top; ++i) {
        PROJECTILETYPE& p = g.PROJECTILES[i];
        if (p.ACTIVE == 0) continue;
        if (p.CLASS == 1) {
            if (now < p.DEADTIME) {
                p.VELOCITY *= 0.015f * fpsr + 1.0f;
                if (free_slot() < 0) {
                    unused_draws += exhaust_draws;
                } else {
                    if (unused_draws > 0) platform_random_skip(unused_draws);
                    unused_draws = 0;
                    projectiles_burst(p, KVBURST::ROCKET_EXHAUST);
                }
                steer_rocket(p);
            } else {
                p.VECTOR.Y -= fpsr * p.GRAVITY;
            }
            const float step = p.VELOCITY / 1000.0f * fpsr * 12.0f;
            p.POSITION = add3(p.POSITION, scale3(p.VECTOR, step));
            p.YANGLE = std::atan2(-p.VECTOR.Z, p.VECTOR.X) * 180.0f / kPi;
        } else {
            const float step = p.VELOCITY / 1000.0f * fpsr * 12.0f;
            if (p.RICOCHET == 1) p.DISTANCETRAVELLED += step;
            p.POSITION = add3(p.POSITION, scale3(p.VECTOR, step));
        }
    }
    if (unused_draws > 0) platform_random_skip(unused_draws);
    projectiles_recount();
    KV_PROJECTILES_CHECKCOLLISION();
    g_lookup.ready = false;
}

void KV_PROJECTILES_CHECKCOLLISION() {
    KVGLOBALSTYPE& g = KVGLOBALS;
    const KVMAPVIEW map = kv_world_view();  // the grids do not change during the pass
    const int32_t top = last_projectile();
    for (int32_t i = 0; i <= top; ++i) {
        PROJECTILETYPE& p = g.PROJECTILES[i];
        if (p.ACTIVE == 0) continue;
        if (p.RICOCHET == 1) {
            if (p.DISTANCETRAVELLED > p.MAXDISTANCETRAVEL) mark(i, false);
            continue;
        }
        if (p.ENEMY == 2 && hit_infantry(i)) continue;
        if (p.ENEMY == 1 && hit_gunship(i)) continue;
        hit_ground(map, i);
    }
}

void KV_PROJECTILES_DAMAGENEAREST(PROJECTILETYPE& projectile) {
    if (projectile.CLASS != 1) return;
    KVGLOBALSTYPE& g = KVGLOBALS;
    // The squares round the centre serve the whole loop while the centre cannot move: the
    // bursts below fill free slots only, so a record that is an active slot of the pool (or
    // no slot at all) keeps its position. A free slot might be refilled: that walks every slot.
    const PROJECTILETYPE* first = g.PROJECTILES;
    const bool in_pool = &projectile >= first && &projectile < first + PROJECTILE_SLOTS;
    const bool fixed_centre = !in_pool || projectile.ACTIVE != 0;
    auto in_blast = [&](const VECTOR3D& at) {
        const float dx = at.X - projectile.POSITION.X;
        const float dz = at.Z - projectile.POSITION.Z;
        return std::sqrt(dx * dx + dz * dz) < 4.0f;
    };
    visit_infantry_near(projectile.POSITION.X, projectile.POSITION.Z, 4.0f, g_blast_candidates, in_blast, [&](int32_t i) {
        ENEMYTYPE& e = g.ENEMIES[i];
        e.HEALTH -= 20.0f;
        PROJECTILETYPE at = projectile;
        at.POSITION.X = e.POSITION.X + platform_random() - 0.5f;
        at.POSITION.Y = e.POSITION.Y;
        at.POSITION.Z = e.POSITION.Z + platform_random() - 0.5f;
        projectiles_burst(at, KVBURST::BLOOD);
        projectiles_rocket_explosion(at);
        return false;
    }, fixed_centre);
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
