// The per-update shortcuts of the projectile step against the plain rules: the infantry a shot,
// a rocket blast or a homing rocket finds through the update's square lookup is the one a walk
// over every enemy slot finds, on crowded random pools with infantry on the squares' edges, off
// the map and without a finite position; the ground under a shot read straight from the grids
// equals the one built from the map's own accessors; a burst that fills the pool part-way
// consumes exactly the random numbers of the spark-by-spark loop, and so does rocket exhaust
// into a full pool.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "game/projectiles.h"
#include "weapons_support.h"

using namespace weapons_test;

namespace {

// A small generator of the test's own, so the pools do not depend on the game's sequence.
struct Mix {
    uint32_t s;
    uint32_t next() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
    float uniform(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(next() % 100000u) / 100000.0f; }
    int pick(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

// An infantry position near (cx, cz), often right on or next to a 4-unit square's edge.
float near_edge(Mix& m, float c, float spread) {
    const float v = m.uniform(c - spread, c + spread);
    switch (m.pick(4)) {
        case 0: return std::floor(v / 4.0f) * 4.0f;
        case 1: return std::nextafter(std::floor(v / 4.0f) * 4.0f, -1e9f);
        case 2: return std::floor(v) + 0.5f;  // a rounding tie under a shot's rounded position
        default: return v;
    }
}

// Crowded random enemies round (cx, cz): mostly infantry (both classes), some turrets and walls,
// some inactive slots, a few off the map's west edge and a few with no finite position.
void fill_enemies(Mix& m, float cx, float cz, int count) {
    for (int i = 0; i < count; ++i) {
        ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        e = ENEMYTYPE{};
        e.ACTIVE = m.pick(10) == 0 ? 0 : 1;
        const int kind = m.pick(10);
        e.CLASS = kind < 4 ? 2 : (kind < 8 ? 3 : kind - 8);  // 2, 3 infantry; 0, 1 not
        e.POSITION = VECTOR3D{near_edge(m, cx, 14.0f), m.uniform(0.0f, 7.0f), near_edge(m, cz, 14.0f)};
        if (m.pick(25) == 0) e.POSITION.X = m.uniform(-3.0f, -0.01f);
        if (m.pick(60) == 0) e.POSITION.Z = std::numeric_limits<float>::quiet_NaN();
        e.HEALTH = static_cast<float>(m.pick(80)) + (m.pick(2) == 0 ? 0.4f : 0.6f);
    }
    KVGLOBALS.LASTENEMY = count - 1;
}

// Resting projectiles (no speed, no gravity) round (cx, cz): shots and burnt-out rockets of both
// sides and sparks; the step moves none of them, so only the collision pass acts.
void fill_resting_shots(Mix& m, float cx, float cz, int count) {
    for (int i = 0; i < count; ++i) {
        PROJECTILETYPE& p = KVGLOBALS.PROJECTILES[i];
        p = PROJECTILETYPE{};
        p.ACTIVE = 1;
        p.POSITION = VECTOR3D{m.uniform(cx - 16.0f, cx + 16.0f), m.uniform(2.5f, 9.0f), m.uniform(cz - 16.0f, cz + 16.0f)};
        if (m.pick(20) == 0) p.POSITION.X = m.uniform(0.0f, 1.0f);  // at the west edge
        p.VECTOR = VECTOR3D{0.6f, 0.0f, 0.8f};
        p.COLOR = RGBALPHA{0.5f, 0.5f, 0.5f, 0.0f};
        p.LOCKEDON = -1;
        p.MAXDISTANCETRAVEL = 10.0f;
        const int kind = m.pick(10);
        if (kind < 5) {
            p.ENEMY = 2;
        } else if (kind < 7) {
            p.ENEMY = 2;
            p.CLASS = 1;
            p.DEADTIME = 0;  // burnt out
        } else if (kind < 9) {
            p.ENEMY = 1;
        } else {
            p.RICOCHET = 1;
        }
    }
    KVGLOBALS.LASTPROJECTILE = count - 1;
    projectiles_pool_sync();
}

struct Snapshot {
    std::unique_ptr<PROJECTILETYPE[]> projectiles{new PROJECTILETYPE[PROJECTILE_SLOTS]};
    std::unique_ptr<ENEMYTYPE[]> enemies{new ENEMYTYPE[ENEMY_SLOTS]};
    int32_t last_projectile = 0;
    int32_t last_enemy = 0;

    void take() {
        std::memcpy(static_cast<void*>(projectiles.get()), KVGLOBALS.PROJECTILES, sizeof(KVGLOBALS.PROJECTILES));
        std::memcpy(static_cast<void*>(enemies.get()), KVGLOBALS.ENEMIES, sizeof(KVGLOBALS.ENEMIES));
        last_projectile = KVGLOBALS.LASTPROJECTILE;
        last_enemy = KVGLOBALS.LASTENEMY;
    }
    void put() const {
        std::memcpy(static_cast<void*>(KVGLOBALS.PROJECTILES), projectiles.get(), sizeof(KVGLOBALS.PROJECTILES));
        std::memcpy(static_cast<void*>(KVGLOBALS.ENEMIES), enemies.get(), sizeof(KVGLOBALS.ENEMIES));
        KVGLOBALS.LASTPROJECTILE = last_projectile;
        KVGLOBALS.LASTENEMY = last_enemy;
        projectiles_pool_sync();
    }
};

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof(float)) == 0; }
bool same_bits(const VECTOR3D& a, const VECTOR3D& b) {
    return same_bits(a.X, b.X) && same_bits(a.Y, b.Y) && same_bits(a.Z, b.Z);
}

// The number the random sequence gives next after `run` from `seed`, and after `draws` plain draws.
template <class Run>
uint32_t number_after(uint32_t seed, Run run) {
    platform_random_seed(seed);
    run();
    return platform_random_u32();
}
uint32_t number_after_draws(uint32_t seed, int draws) {
    return number_after(seed, [&] {
        for (int k = 0; k < draws; ++k) platform_random_u32();
    });
}

// Every projectile slot in use but those in `free`.
void pool_full_but(const std::vector<int>& free) {
    for (int i : free) KVGLOBALS.PROJECTILES[i].ACTIVE = 0;
    KVGLOBALS.LASTPROJECTILE = PROJECTILE_SLOTS - 1;
    projectiles_pool_sync();
}

class ProjectileLookup : public ::testing::Test {
protected:
    void SetUp() override { reset_world(2.0f); }
};

TEST_F(ProjectileLookup, UpdateHitsWhatAWalkOverEverySlotHits) {
    // The update asks the square lookup; a collision pass called on its own walks every slot.
    // On resting shots both must leave the same pools and take the same random numbers.
    int hits_seen = 0, blasts_seen = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        reset_world(2.0f);
        Mix m{seed};
        const float cx = seed % 3 == 0 ? 6.0f : 200.0f;  // some runs at the map's west edge
        fill_enemies(m, cx, 200.0f, 400 + m.pick(600));
        fill_resting_shots(m, cx, 200.0f, 1500);
        SCOPED_TRACE("seed " + std::to_string(seed));
        Snapshot start, by_lookup;
        start.take();
        const uint32_t next_lookup = number_after(seed, [] { KV_PROJECTILES_UPDATE(); });
        by_lookup.take();
        start.put();
        const uint32_t next_walk = number_after(seed, [] {
            projectiles_recount();
            KV_PROJECTILES_CHECKCOLLISION();
        });

        EXPECT_EQ(next_lookup, next_walk) << "the random sequence was used differently";
        EXPECT_EQ(by_lookup.last_projectile, KVGLOBALS.LASTPROJECTILE);
        for (int i = 0; i < PROJECTILE_SLOTS; ++i) {
            const PROJECTILETYPE& a = by_lookup.projectiles[i];
            const PROJECTILETYPE& b = KVGLOBALS.PROJECTILES[i];
            ASSERT_EQ(a.ACTIVE, b.ACTIVE) << "slot " << i;
            if (a.ACTIVE == 0) continue;
            ASSERT_TRUE(same_bits(a.POSITION, b.POSITION) && same_bits(a.VECTOR, b.VECTOR) && same_bits(a.VELOCITY, b.VELOCITY))
                << "slot " << i;
            ASSERT_EQ(a.CLASS, b.CLASS) << "slot " << i;
        }
        for (int i = 0; i < ENEMY_SLOTS; ++i) {
            ASSERT_TRUE(same_bits(by_lookup.enemies[i].HEALTH, KVGLOBALS.ENEMIES[i].HEALTH)) << "enemy " << i;
            if (!same_bits(start.enemies[i].HEALTH, KVGLOBALS.ENEMIES[i].HEALTH)) ++hits_seen;
            if (KVGLOBALS.ENEMIES[i].HEALTH <= start.enemies[i].HEALTH - 20.0f) ++blasts_seen;
        }
    }
    // The pools are crowded enough that shells and rocket blasts really land.
    EXPECT_GT(hits_seen, 200);
    EXPECT_GT(blasts_seen, 50);
}

TEST_F(ProjectileLookup, HomingRocketsLockAsAWalkInSlotOrderDoes) {
    // Burning player rockets look for the sturdiest infantry within 8 units, the lock passing
    // on to any later slot that beats the rounded health of the current one.
    int locks = 0;
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        reset_world(2.0f);
        Mix m{seed * 7919u};
        fill_enemies(m, 120.0f, 300.0f, 700);
        std::vector<VECTOR3D> at;
        for (int i = 0; i < 300; ++i) {
            VECTOR3D p{m.uniform(100.0f, 140.0f), 30.0f, m.uniform(280.0f, 320.0f)};
            VECTOR3D d{0.0f, 0.0f, 1.0f};
            KV_PROJECTILES_ADD_RPG(p, d, 0.0f, 2);
            KVGLOBALS.PROJECTILES[i].VELOCITY = 0.0f;  // they stay where they are
            at.push_back(p);
        }
        std::vector<int32_t> expected(at.size(), -1);
        std::vector<int32_t> expected_health(at.size(), 0);
        for (size_t r = 0; r < at.size(); ++r) {
            for (int i = 0; i <= KVGLOBALS.LASTENEMY; ++i) {
                const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
                if (e.ACTIVE == 0 || (e.CLASS != 2 && e.CLASS != 3)) continue;
                if (!(std::fabs(e.POSITION.X - at[r].X) < 8.0f && std::fabs(e.POSITION.Z - at[r].Z) < 8.0f)) continue;
                if (e.HEALTH > static_cast<float>(expected_health[r])) {
                    expected[r] = i;
                    expected_health[r] = static_cast<int32_t>(std::nearbyint(e.HEALTH));
                }
            }
        }
        KV_PROJECTILES_UPDATE();
        for (size_t r = 0; r < at.size(); ++r) {
            const PROJECTILETYPE& p = KVGLOBALS.PROJECTILES[r];
            ASSERT_EQ(p.LOCKEDON, expected[r]) << "seed " << seed << " rocket " << r;
            ASSERT_EQ(p.LOCKEDONHEALTH, expected_health[r]) << "seed " << seed << " rocket " << r;
            if (expected[r] >= 0) ++locks;
        }
    }
    EXPECT_GT(locks, 1000) << "most rockets must have had infantry in reach";
}

// The ground under a shot as the map's accessors give it: the mean of the 2 x 2 samples from
// the cell's corner that lie on the map, water filling the sea cells up to its surface.
bool reference_ground(float x, float z, float& height, int32_t& city) {
    if (!std::isfinite(x) || !std::isfinite(z)) return false;
    const float fx = std::floor(x), fz = std::floor(z);
    if (fx < 0.0f || fz < 0.0f || fx > static_cast<float>(KV_MAPSIDE - 1) || fz > static_cast<float>(KV_MAPSIDE - 1)) {
        return false;
    }
    KVMAPVIEW map;
    map.TERRAINMAP = KVGLOBALS.TERRAINMAP.data();
    map.CITYMAP = KVGLOBALS.CITYMAP.data();
    map.WATERHEIGHT = KVGLOBALS.WATERHEIGHT;
    map.MAPSCALE = KVGLOBALS.MAPSCALE;
    map.WATERSPACER = KVGLOBALS.WATERSPACER;
    const int32_t ix = static_cast<int32_t>(fx), iz = static_cast<int32_t>(fz);
    const int32_t v = kv_map_city(map, ix, iz);
    float sum = 0.0f;
    int32_t n = 0;
    for (int32_t dz = 0; dz <= 1; ++dz)
        for (int32_t dx = 0; dx <= 1; ++dx) {
            if (!kv_map_inside(ix + dx, iz + dz)) continue;
            float c = static_cast<float>(kv_map_terrain(map, ix + dx, iz + dz)) * map.MAPSCALE;
            if (v == 1 && c <= kv_water_surface(map)) c = kv_water_surface(map);
            sum += c;
            ++n;
        }
    city = v;
    height = sum / static_cast<float>(n);
    return true;
}

TEST_F(ProjectileLookup, GroundUnderAShotMatchesTheMapAccessorsEverywhere) {
    Mix m{99};
    KVGLOBALS.WATERHEIGHT = 3;
    for (int32_t z = 0; z < KV_MAPSIDE; ++z)
        for (int32_t x = 0; x < KV_MAPSIDE; ++x) {
            set_terrain(x, z, m.pick(400) - 150);
            const int c = m.pick(10);
            set_city(x, z, c < 4 ? 1 : (c < 8 ? 0 : c - 5));
        }
    const float side = static_cast<float>(KV_MAPSIDE);
    std::vector<float> coords = {-0.0f, 0.0f, std::nextafter(0.0f, -1.0f), 0.5f, 1.0f,
                                 side - 2.0f, std::nextafter(side - 1.0f, 0.0f), side - 1.0f, side - 0.5f,
                                 std::nextafter(side, 0.0f), side, side + 0.5f, -1.0f,
                                 std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    for (int i = 0; i < 20000; ++i) coords.push_back(m.uniform(-2.0f, side + 2.0f));
    int answered = 0, edge_cells = 0;
    for (size_t i = 0; i < coords.size(); ++i) {
        const float x = coords[i];
        const float z = i < 15 ? coords[(i * 7) % 15] : coords[(i * 7919) % coords.size()];
        float h = -1.0f, want_h = -2.0f;
        int32_t v = -1, want_v = -2;
        const bool got = projectiles_ground_height(x, z, h, v);
        ASSERT_EQ(got, reference_ground(x, z, want_h, want_v)) << x << ", " << z;
        if (!got) continue;
        ++answered;
        if (std::floor(x) == side - 1.0f || std::floor(z) == side - 1.0f) ++edge_cells;
        ASSERT_TRUE(same_bits(h, want_h)) << x << ", " << z << ": " << h << " against " << want_h;
        ASSERT_EQ(v, want_v) << x << ", " << z;
    }
    EXPECT_GT(answered, 15000);
    EXPECT_GT(edge_cells, 5) << "the far edge cells must be asked too";
}

TEST_F(ProjectileLookup, BurstThatFillsThePoolTakesTheNumbersOfEverySpark) {
    // Blood is 28 sparks of four numbers each; a spark that finds a slot draws four more (its
    // direction and speed). With three slots free the burst uses 28 x 4 + 3 x 4 numbers.
    for (int free : {0, 1, 3, 27, 28}) {
        reset_world(2.0f);
        for (auto& p : KVGLOBALS.PROJECTILES) p.ACTIVE = 1;
        std::vector<int> holes;
        for (int k = 0; k < free; ++k) holes.push_back(100 + 37 * k);
        pool_full_but(holes);
        PROJECTILETYPE source{};
        source.POSITION = VECTOR3D{50.0f, 5.0f, 50.0f};
        source.VECTOR = VECTOR3D{1.0f, 0.0f, 0.0f};
        EXPECT_EQ(number_after(77, [&] { projectiles_burst(source, KVBURST::BLOOD); }), number_after_draws(77, 28 * 4 + free * 4))
            << free << " free slots";
        int placed = 0;
        for (int k = 0; k < free; ++k) placed += KVGLOBALS.PROJECTILES[100 + 37 * k].RICOCHET;
        EXPECT_EQ(placed, free) << "every free slot takes a spark";
    }
}

TEST_F(ProjectileLookup, ExhaustIntoAFullPoolTakesFourNumbersPerSpark) {
    // Every slot busy: burning rockets high over open ground, the rest long-lived sparks that
    // neither end nor land in the frame, so only the exhaust uses numbers: eight sparks of four
    // each per rocket, and four more for the one spark that takes the single free slot.
    for (int hole : {-1, 0, 40, 9999}) {
        reset_world(2.0f);
        for (int i = 0; i < PROJECTILE_SLOTS; ++i) {
            PROJECTILETYPE& p = KVGLOBALS.PROJECTILES[i];
            p = PROJECTILETYPE{};
            p.ACTIVE = 1;
            p.POSITION = VECTOR3D{100.0f + static_cast<float>(i % 50), 60.0f, 100.0f + static_cast<float>(i / 50)};
            p.VECTOR = VECTOR3D{1.0f, 0.0f, 0.0f};
            p.VELOCITY = 1.0f;
            if (i % 97 == 3) {
                p.CLASS = 1;
                p.ENEMY = 2;
                p.LOCKEDON = -1;
                p.DEADTIME = platform_clock_ms() + 5000;
            } else {
                p.RICOCHET = 1;
                p.MAXDISTANCETRAVEL = 1000.0f;
            }
        }
        int rockets = 0;
        for (int i = 0; i < PROJECTILE_SLOTS; ++i) rockets += KVGLOBALS.PROJECTILES[i].CLASS == 1 && i != hole ? 1 : 0;
        pool_full_but(hole >= 0 ? std::vector<int>{hole} : std::vector<int>{});
        EXPECT_EQ(number_after(31, [] { KV_PROJECTILES_UPDATE(); }), number_after_draws(31, rockets * 8 * 4 + (hole >= 0 ? 4 : 0)))
            << "hole " << hole;
        if (hole >= 0) {
            EXPECT_EQ(KVGLOBALS.PROJECTILES[hole].ACTIVE, 1) << "the free slot takes the first exhaust spark";
            EXPECT_EQ(KVGLOBALS.PROJECTILES[hole].RICOCHET, 1);
        }
    }
}

}  // namespace
