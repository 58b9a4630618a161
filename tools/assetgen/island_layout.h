// The island of Kessra Vorn in one table: land masses, hills, flattened building ground, paved
// platforms, towns, single buildings, walls, the enemy garrisons and the new-profile start.
// The terrain generator, the minimap and the enemy layout are all built from this file, and the
// mission files under data/missions/ name the places and enemy slots listed here; change the
// island here first, then the missions, then run `kvdata check` on the game directory.
//
// Units: one map cell is one world unit; X and Z run 0-512; heights are terrain units (world
// height = units x 0.25). The water surface stands at terrain height 10 (water level 0 plus the
// game's spacer of 10), so land is everything above 10 and the sea floor lies below.
#pragma once

#include <cstdint>

namespace island {

constexpr int32_t WATER_LEVEL = 0;        // stored in the map file
constexpr int32_t FOREST_HEIGHT = 0;      // stored in the map file, read by nobody
constexpr int32_t WATER_SURFACE = 10;     // terrain units: water level + spacer

// A land mass: a round blob of the given radius; the coast is where the blobs (plus noise) end.
struct LandBlob { int x, z, radius; };
inline constexpr LandBlob LAND[] = {
    {250, 268, 150},  // the main body
    {205, 150, 100},  // northern hills
    {330, 130, 80},   // Vell headland
    {370, 310, 85},   // eastern shore: Camp Meridian and Port Anselm
    {140, 360, 95},   // western lowlands: Kerrow
    {200, 420, 70},   // southern point: Fort Dunmar
    {105, 215, 60},   // Sarn shore
};

// A hill: a smooth bump of the given radius and height (terrain units, 40-160 = 10-40 world).
struct Hill { const char* name; int x, z, radius, height; };
inline constexpr Hill HILLS[] = {
    {"Hollin Ridge", 205, 205, 48, 120},
    {"Mount Carrow", 150, 140, 55, 160},
    {"Tarn Hills", 275, 300, 42, 90},
    {"Dunmar Downs", 280, 410, 40, 70},
    {"Greyback", 360, 215, 34, 60},
    {"Ostry Knoll", 95, 300, 26, 48},
};

// Level building ground: the rectangle is set to the level (terrain units) and the terrain
// blends back to its own height over `margin` cells around it.
struct Flat { const char* name; int x0, z0, x1, z1, level, margin; };
inline constexpr Flat FLATS[] = {
    {"Vell", 268, 88, 352, 172, 26, 14},
    {"Kerrow", 126, 318, 196, 388, 24, 14},
    {"Camp Meridian", 350, 288, 400, 330, 28, 14},
    {"Port Anselm", 392, 338, 428, 376, 22, 10},
    {"Sarn depot", 78, 212, 112, 246, 22, 10},
    {"Fort Dunmar", 168, 404, 224, 452, 24, 12},
    {"Hollin relay", 196, 196, 226, 222, 140, 20},
};

// Paved platforms (city code 1). Platforms that reach into the sea are raised to the water
// surface by the terrain drawing and get walls down to the sea floor (the harbour piers).
struct Paving { const char* name; int x0, z0, x1, z1; };
inline constexpr Paving PAVING[] = {
    {"Camp Meridian apron", 356, 300, 372, 318},
    {"Port Anselm fuel pad", 398, 344, 408, 372},
    {"Port Anselm quay", 430, 340, 447, 372},
    {"Port Anselm north pier", 430, 330, 462, 339},
    {"Port Anselm south pier", 430, 373, 458, 381},
    {"Sarn fuel pad", 82, 234, 96, 246},
    {"Vell market square", 296, 116, 324, 144},
    {"Kerrow square", 154, 346, 168, 360},
};

// A town: a grid of 8 x 8 lots, `pitch` cells apart (the rest are streets). Each lot holds one
// 8 x 8 house block or a cluster of 4 x 4 houses and dishes, chosen by the seed. Lots that
// overlap a paving rectangle stay empty (the squares).
struct Town { const char* name; int x0, z0, cols, rows, pitch; uint32_t seed; };
inline constexpr Town TOWNS[] = {
    {"Vell", 270, 90, 6, 6, 14, 11u},
    {"Kerrow", 128, 320, 5, 5, 14, 29u},
};

// Building classes by city code (code = class + 3) and their footprint edge.
enum BuildingClass : int32_t {
    HOUSE_4 = 1,     // data/buildings/4x4a, 4 x 4
    HOUSE_8 = 2,     // data/buildings/8x8a, 8 x 8
    HALL_12 = 3,     // data/buildings/12x12a, 12 x 12
    HELIPAD_16 = 4,  // data/buildings/16x16helo, 16 x 16
    DISH_4 = 5,      // data/buildings/4x4sat, 4 x 4
    FUEL_16 = 6,     // data/buildings/16x16fuel, 16 x 16
};
constexpr int building_size(int32_t cls) {
    return cls == HOUSE_4 || cls == DISH_4 ? 4 : cls == HOUSE_8 ? 8 : cls == HALL_12 ? 12 : 16;
}

// Single buildings, anchored at their lowest X and Z corner.
struct Building { const char* name; int32_t cls; int x, z; };
inline constexpr Building BUILDINGS[] = {
    {"Camp Meridian helipad and research hall", HELIPAD_16, 376, 300},
    {"Camp Meridian radar", DISH_4, 380, 320},
    {"Camp Meridian store", HOUSE_8, 358, 320},
    {"Port Anselm fuel depot", FUEL_16, 410, 350},
    {"Port Anselm warehouse", HOUSE_8, 412, 367},
    {"Sarn fuel depot", FUEL_16, 80, 216},
    {"Hollin relay dish west", DISH_4, 202, 204},
    {"Hollin relay dish east", DISH_4, 214, 204},
    {"Hollin relay hut", HOUSE_4, 208, 212},
    {"Fort Dunmar keep", HALL_12, 190, 424},
    {"Fort Dunmar barracks", HOUSE_8, 204, 412},
};

// Solid walls (city code 3), straight lines of cells from (x0, z0) to (x1, z1) inclusive, one
// of the two coordinates equal. Each wall cell also carries a wall enemy so the wall is drawn.
struct Wall { const char* name; int x0, z0, x1, z1; };
inline constexpr Wall WALLS[] = {
    {"Vell south barricade west", 284, 178, 298, 178},
    {"Vell south barricade east", 306, 178, 320, 178},
    {"Hollin relay wall north", 196, 194, 226, 194},
    {"Hollin relay wall west", 194, 196, 194, 220},
    {"Fort Dunmar wall north west", 178, 404, 190, 404},
    {"Fort Dunmar wall north east", 200, 404, 216, 404},
    {"Fort Dunmar wall west", 176, 406, 176, 444},
    {"Fort Dunmar wall east", 218, 406, 218, 444},
    {"Fort Dunmar wall south", 178, 446, 216, 446},
    {"Kerrow east barricade", 200, 330, 200, 344},
};

// Enemy garrisons in slot order. Infantry groups mix rifle (class 2) and rocket (class 3)
// soldiers, every third one carrying rockets; turret groups hold class-0 turrets. The members
// stand on a ring of the given radius around (x, z), moved to the nearest open cell if the ring
// point is blocked. `first` is the group's first slot in the enemy table: the generator refuses
// a table whose groups do not follow each other, so the slots the missions name stay put.
// The wall enemies follow the last group, one per wall cell, in the order of WALLS.
enum GroupKind : int32_t { INFANTRY = 0, TURRETS = 1 };
struct EnemyGroup { const char* name; GroupKind kind; int first, count, x, z, radius; };
inline constexpr EnemyGroup GROUPS[] = {
    // Mission 1 (file 0.dat): Vell
    {"Vell checkpoint riflemen", INFANTRY, 0, 8, 302, 186, 7},
    {"Vell square garrison", INFANTRY, 8, 12, 310, 130, 9},
    // Mission 2 (file 1.dat): Hollin Ridge and Kerrow
    {"Hollin relay guard", INFANTRY, 20, 9, 211, 226, 8},
    {"Kerrow east gate", INFANTRY, 29, 10, 210, 337, 7},
    // Mission 3 (file 2.dat): Fort Dunmar and Kerrow square
    {"Fort Dunmar gate guard", INFANTRY, 39, 10, 195, 396, 7},
    {"Kerrow square holdouts", INFANTRY, 49, 8, 161, 353, 5},
    // Turrets: never destroyed, they guard the sites for the whole campaign
    {"Vell checkpoint turrets", TURRETS, 57, 2, 302, 190, 12},
    {"Vell harbour road turret", TURRETS, 59, 1, 340, 184, 0},
    {"Hollin relay turrets", TURRETS, 60, 3, 211, 230, 14},
    {"Kerrow gate turrets", TURRETS, 63, 2, 212, 337, 10},
    {"Fort Dunmar turrets", TURRETS, 65, 4, 197, 392, 16},
};

// Quiet ground: the open-country relief (ridges, valleys, terraces, dunes, coastal cliffs) fades
// out round these places and leaves the ground as the base terrain has it, so the gunship
// hovers level where the missions make it stop, fire, winch or land. Relief is nil within
// `radius` and full QUIET_RAMP cells further out. The flats (with their margins), the paving
// and the garrisons (their ring plus QUIET_GARRISON) are quiet without being listed here; list
// every other mission point (crates, pads, zipline stations, kill zones) and the approaches.
struct Quiet { const char* name; int x, z, radius; };
inline constexpr Quiet QUIET[] = {
    {"Vell checkpoint crate", 318, 212, 20},
    {"Vell square crate", 320, 140, 16},
    {"Hollin crate", 236, 246, 20},
    {"Kerrow north crate", 182, 300, 20},
    {"Port Anselm fuel pad", 403, 358, 16},
    {"Sarn fuel pad", 89, 240, 16},
    {"Camp Meridian research base", 364, 309, 16},
    {"Hollin zipline station", 218, 210, 16},
    {"Fort Dunmar zipline station", 189, 417, 16},
    {"Fort Dunmar keep", 196, 430, 16},
    {"New-profile start", 360, 287, 24},
    // Home stays gentle: the ground round the base where a new pilot learns to fly, out to the
    // north-west and down to the eastern shore.
    {"Camp Meridian north-west approach", 326, 254, 26},
    {"Camp Meridian east shore", 392, 254, 20},
};
constexpr int QUIET_RAMP = 28;
constexpr int QUIET_GARRISON = 16;
constexpr int QUIET_FLAT = 4;  // beyond a flat's margin

constexpr int32_t WALL_MAXHP = 100;   // stored for walls, which nothing can damage
constexpr int32_t TURRET_MAXHP = 1000;
constexpr int32_t INFANTRY_MAXHP = 6;

// The new-profile start position and heading (the profile defaults hold the same values).
struct Start { float x, z, heading; };
inline constexpr Start START = {360.0f, 287.0f, 45.0f};

// Frame bands the game forces to code 3 after loading: x 24-28 and 477-481, z 34-38 and 496-500.
constexpr bool in_frame(int x, int z) {
    return (x >= 24 && x <= 28) || (x >= 477 && x <= 481) || (z >= 34 && z <= 38) || (z >= 496 && z <= 500);
}

}  // namespace island
