// Enemies: classes, the island layout, per-profile import and export, the per-frame update and
// drawing, and the pointer view marker.
//
// The enemy table (KVGLOBALS.ENEMIES, MAXENEMIES, MAXENEMYCLASS, LASTENEMY) is only ever
// replaced by a file that reads completely and passes every range check; a missing file
// changes nothing and says nothing, a damaged one changes nothing and prints one console line.
//
// State kept besides the records: the launch record (rounds the enemies launched in this
// mission run and the last one), cleared by enemies_reset_run as every mission run starts.
#pragma once

#include <cstdint>
#include <string>

#include "engine/math3d.h"
#include "game/enemy_types.h"

// Class codes.
inline constexpr int32_t ENEMYCLASS_TURRET = 0;
inline constexpr int32_t ENEMYCLASS_WALL = 1;
inline constexpr int32_t ENEMYCLASS_M16 = 2;
inline constexpr int32_t ENEMYCLASS_RPG = 3;
inline constexpr int32_t ENEMYCLASS_ZIPLINE = 80;

void KV_LOAD_ENEMIES();
void KV_ENEMIES_LAYOUTLOAD();
// PROFILE is the profile's index in the menu's profile list; -1 (the default) takes CURPROFILE.
void KV_ENEMIES_EXPORT(int32_t PROFILE = -1);
void KV_ENEMIES_IMPORT(int32_t PROFILE = -1);
void KV_ENEMIES_UPDATE();
void KV_ENEMIES_UPDATE_EC_TURRET_0(int32_t i);
void KV_ENEMIES_UPDATE_EC_RPG_M16(int32_t i);
void KV_RENDER_ENEMIES();
void KV_ENEMIES_DRAW_EC_TURRET_0(int32_t i);
void KV_ENEMIES_DRAW_EC_WALL_0(int32_t i);
void KV_ENEMIES_DRAW_EC_M16_0(int32_t i);
void KV_ENEMIES_DRAW_EC_RPG_0(int32_t i);
void KV_RENDER_POINTER();

// "data/profiles/<index>.dat".
std::string enemies_profile_path(int32_t profile);

// The file forms behind the entry points. Each returns true when the table was replaced.
bool enemies_layout_load_file(const std::string& path);
bool enemies_import_file(const std::string& path);
// Writes the table atomically; false (old file untouched) when writing fails.
bool enemies_export_file(const std::string& path);

// One aiming step as turrets and infantry share it: leads the target by 10 velocity units,
// turns ANGLE.Y by rate x fpsr towards it unless inside the dead band. a and b are the facing
// and probe offsets in radians.
struct EnemyAim {
    float d = 0.0f;  // distance to the aim point (X, Z)
    float f = 0.0f;  // facing . direction to the aim point
    float p = 0.0f;  // probe . direction to the aim point
};
inline constexpr float ENEMY_TURRET_A = 1.5707950592041016f;
inline constexpr float ENEMY_TURRET_B = 1.6580613851547241f;
inline constexpr float ENEMY_INFANTRY_A = -1.5707950592041016f;
inline constexpr float ENEMY_INFANTRY_B = -1.4835286140441895f;
EnemyAim enemies_aim_distance(const ENEMYTYPE& e, float playerx, float playerz, const VECTOR3D& velocity);
EnemyAim enemies_aim_turn(ENEMYTYPE& e, float a, float b, float rate, float fpsr, float playerx, float playerz,
                          const VECTOR3D& velocity);

// Rounds the enemies have launched in this mission run (shells, bullets and rockets), and the
// last one's origin, direction and speed as handed to the projectile pool.
struct EnemyShot {
    VECTOR3D origin = {};
    VECTOR3D direction = {};
    float speed = 0.0f;
    int32_t rocket = 0;
};
int64_t enemies_rounds_fired();
EnemyShot enemies_last_shot();
// Clears the launch record; every mission run calls it as it starts (kv_mission_prologue).
void enemies_reset_run();
