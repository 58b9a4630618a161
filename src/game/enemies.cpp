// Enemies: classes, the island layout, per-profile import and export, the per-frame update and
// drawing, and the pointer view marker.
#include "game/enemies.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_globals.h"
#include "engine/log.h"
#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "engine/textfile.h"
#include "game/kv_globals.h"
#include "game/world.h"
#include "game/projectiles.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "world/ground.h"

namespace {

// A table read from a file waits in one of these (owned by the load that reads it) until
// every value has passed its checks.
struct EnemyTableStage {
    int32_t maxenemies = 0;
    int32_t maxenemyclass = 0;
    std::vector<ENEMYTYPE> slots = std::vector<ENEMYTYPE>(ENEMY_SLOTS);
};

// The launch record named in enemies.h.
int64_t g_rounds_fired = 0;
EnemyShot g_last_shot;

bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// Reads the two counters and every slot; `profile` adds HEALTH and STANCE per slot.
bool read_table(FieldReader& r, bool profile, const std::string& path, EnemyTableStage& stage) {
    auto refuse = [&](const char* what, int32_t slot, double value) {
        if (slot >= 0)
            kv_log("enemy file %s: slot %d: %s (%g); table kept", path.c_str(), slot, what, value);
        else
            kv_log("enemy file %s: %s (%g); table kept", path.c_str(), what, value);
        return false;
    };
    if (field_eof(r)) return refuse("empty file", -1, 0);
    const int32_t maxenemies = field_read_int(r);
    if (maxenemies < -1 || maxenemies >= ENEMY_SLOTS) return refuse("enemy count out of range -1-999", -1, maxenemies);
    if (field_eof(r)) return refuse("file ends before the class count", -1, 0);
    const int32_t maxclass = field_read_int(r);
    if (maxclass < -1 || maxclass >= ENEMYCLASS_SLOTS) return refuse("class count out of range -1-99", -1, maxclass);
    stage.maxenemies = maxenemies;
    stage.maxenemyclass = maxclass;
    for (int32_t i = 0; i <= maxenemies; ++i) {
        ENEMYTYPE e{};
        const int fields = profile ? 11 : 9;
        float v[11] = {};
        for (int k = 0; k < fields; ++k) {
            if (field_eof(r)) return refuse("file ends inside the slot", i, k);
            v[k] = field_read_single(r);
            if (!std::isfinite(v[k])) return refuse("number out of range", i, k);
        }
        auto whole = [](float x) { return x == std::nearbyint(x); };
        e.POSITION = {v[0], v[1], v[2]};
        if (!whole(v[3]) || (v[3] != 0.0f && v[3] != 1.0f)) return refuse("active flag not 0 or 1", i, v[3]);
        e.ACTIVE = static_cast<int8_t>(v[3]);
        e.ANGLE = {v[4], v[5], v[6]};
        if (std::fabs(v[7]) > 2.0e9f) return refuse("hit points out of range", i, v[7]);
        e.MAXHP = static_cast<int32_t>(std::nearbyint(v[7]));
        if (!whole(v[8]) || v[8] < 0.0f || v[8] >= static_cast<float>(ENEMYCLASS_SLOTS))
            return refuse("class out of range 0-99", i, v[8]);
        e.CLASS = static_cast<int32_t>(v[8]);
        if (profile) {
            e.HEALTH = v[9];
            if (!whole(v[10]) || v[10] < 0.0f || v[10] > 2.0f) return refuse("stance not 0, 1 or 2", i, v[10]);
            e.STANCE = static_cast<int32_t>(v[10]);
        }
        stage.slots[i] = e;
    }
    return true;
}

// Makes the staged table the live one; slots above the new count are cleared so no stale
// enemy is drawn or hit.
void commit_stage(const EnemyTableStage& stage) {
    KVGLOBALS.MAXENEMIES = stage.maxenemies;
    KVGLOBALS.MAXENEMYCLASS = stage.maxenemyclass;
    KVGLOBALS.LASTENEMY = 0;
    for (int32_t i = 0; i < ENEMY_SLOTS; ++i) {
        KVGLOBALS.ENEMIES[i] = i <= stage.maxenemies ? stage.slots[i] : ENEMYTYPE{};
        if (KVGLOBALS.ENEMIES[i].ACTIVE == 1) KVGLOBALS.LASTENEMY = i;
    }
}

// A missing profile table is normal (nothing saved yet); a missing island layout is not.
bool read_file(const std::string& path, FieldReader& r, bool report_missing) {
    if (!file_exists(path) && !std::filesystem::exists(std::filesystem::path(path))) {
        if (report_missing) kv_log("enemy file %s is missing: no enemies from it", path.c_str());
        return false;
    }
    if (!field_reader_open(r, path)) {  // a folder, a pipe, an unreadable or oversized file
        kv_log("enemy file %s cannot be read (%s): no enemies from it", path.c_str(), r.error.c_str());
        return false;
    }
    return true;
}

int32_t load_scaled_mesh(const std::string& name, bool scaled) {
    const int32_t mid = OBJFILE_LOAD(name);
    if (scaled) MODEL_SCALE(modeldb_model(mid), 0.045f);
    return mid;
}

void set_class_mesh(int32_t cls, int32_t slot, const std::string& name, bool scaled) {
    ENEMYCLASSTYPE& c = KVGLOBALS.ENEMYCLASS[cls];
    c.MODELMID[slot] = load_scaled_mesh(name, scaled);
    c.MODELDL[slot] = modeldb_compile_list(c.MODELMID[slot]);
}

// A round leaving an enemy into the projectile pool (enemy marker 1, gravity 0.012): a bullet
// or shell at `speed`, or a rocket. Counted and remembered for diagnostics.
void launch(const VECTOR3D& origin, const VECTOR3D& direction, float speed, int32_t rocket) {
    ++g_rounds_fired;
    g_last_shot = {origin, direction, speed, rocket};
    VECTOR3D o = origin, d = direction;
    if (rocket) KV_PROJECTILES_ADD_RPG(o, d, 0.012f, 1);
    else KV_PROJECTILES_ADD(o, d, speed, 0.012f, 1);
}

VECTOR3D normalised(float x, float y, float z) {
    const float len = std::sqrt(x * x + y * y + z * z);
    if (len <= 0.0f) return {0.0f, 0.0f, 0.0f};
    return {x / len, y / len, z / len};
}

// now + ms with the 32-bit clock's wrap-around, never a signed overflow.
int32_t later(int32_t now, int32_t ms) { return static_cast<int32_t>(static_cast<uint32_t>(now) + static_cast<uint32_t>(ms)); }

bool valid_slot(int32_t i) { return i >= 0 && i < ENEMY_SLOTS; }

void call_list(int32_t cls, int32_t slot) {
    if (cls < 0 || cls >= ENEMYCLASS_SLOTS || slot < 0 || slot >= ENEMYCLASS_MODEL_SLOTS) return;
    const int32_t dl = KVGLOBALS.ENEMYCLASS[cls].MODELDL[slot];
    if (dl > 0) glCallList(static_cast<GLuint>(dl));
}

}  // namespace

std::string enemies_profile_path(int32_t profile) { return "data/profiles/" + std::to_string(profile) + ".dat"; }

bool enemies_layout_load_file(const std::string& path) {
    FieldReader r;
    if (!read_file(path, r, true)) return false;
    EnemyTableStage stage;
    if (!read_table(r, false, path, stage)) return false;
    for (int32_t i = 0; i <= stage.maxenemies; ++i) {
        ENEMYTYPE& e = stage.slots[i];
        e.POSITION.Y = KV_FINDMAPY(e.POSITION.X, e.POSITION.Z);
        if (e.CLASS == ENEMYCLASS_TURRET) e.MAXHP = 1000;
        if (e.CLASS == ENEMYCLASS_M16 || e.CLASS == ENEMYCLASS_RPG) e.MAXHP = 6;
        e.HEALTH = static_cast<float>(e.MAXHP);
        e.STANCE = static_cast<int32_t>(std::nearbyint(platform_random() * 2.0f));
    }
    commit_stage(stage);
    return true;
}

bool enemies_import_file(const std::string& path) {
    FieldReader r;
    if (!read_file(path, r, false)) return false;
    EnemyTableStage stage;
    if (!read_table(r, true, path, stage)) return false;
    commit_stage(stage);
    return true;
}

bool enemies_export_file(const std::string& path) {
    const int32_t maxenemies = KVGLOBALS.MAXENEMIES;
    if (maxenemies < -1 || maxenemies >= ENEMY_SLOTS) {
        kv_log("enemy table count %d out of range; %s not written", maxenemies, path.c_str());
        return false;
    }
    FieldWriter w;
    w.bytes.reserve(static_cast<size_t>(maxenemies + 2) * 11 * 12 + 32);
    field_write_int(w, maxenemies);
    field_write_int(w, KVGLOBALS.MAXENEMYCLASS);
    for (int32_t i = 0; i <= maxenemies; ++i) {
        const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        field_write_single(w, e.POSITION.X);
        field_write_single(w, e.POSITION.Y);
        field_write_single(w, e.POSITION.Z);
        field_write_int(w, e.ACTIVE);
        field_write_single(w, e.ANGLE.X);
        field_write_single(w, e.ANGLE.Y);
        field_write_single(w, e.ANGLE.Z);
        field_write_int(w, e.MAXHP);
        field_write_int(w, e.CLASS);
        field_write_single(w, e.HEALTH);
        field_write_int(w, e.STANCE);
    }
    const std::filesystem::path dir = std::filesystem::path(path).parent_path();
    if (!dir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
    }
    std::string why;
    if (!write_file_atomic(path, w.bytes, &why)) {
        kv_log("enemy file %s could not be written (%s); the previous file is kept", path.c_str(), why.c_str());
        return false;
    }
    return true;
}

void KV_LOAD_ENEMIES() {
    set_class_mesh(ENEMYCLASS_TURRET, 0, "data/tanks/0_a.obj", false);
    set_class_mesh(ENEMYCLASS_TURRET, 1, "data/tanks/0_b.obj", false);
    set_class_mesh(ENEMYCLASS_TURRET, 2, "data/tanks/0_c.obj", false);
    set_class_mesh(ENEMYCLASS_WALL, 0, "data/buildings/1x1a.obj", false);
    set_class_mesh(ENEMYCLASS_M16, 0, "data/people/1_stand.obj", true);
    set_class_mesh(ENEMYCLASS_M16, 1, "data/people/1_crouch_rest.obj", true);
    set_class_mesh(ENEMYCLASS_M16, 2, "data/people/1_crouch_fire.obj", true);
    set_class_mesh(ENEMYCLASS_RPG, 0, "data/people/0_stand.obj", true);
    set_class_mesh(ENEMYCLASS_RPG, 1, "data/people/0_crouch_rest.obj", true);
    set_class_mesh(ENEMYCLASS_RPG, 2, "data/people/0_crouch_fire.obj", true);
    set_class_mesh(ENEMYCLASS_ZIPLINE, 0, "data/people/usw_0_stand.obj", true);
    for (int32_t k = 0; k < 4; ++k)
        set_class_mesh(ENEMYCLASS_ZIPLINE, 1 + k, "data/people/usw_0_run_" + std::to_string(k) + ".obj", true);
    set_class_mesh(ENEMYCLASS_ZIPLINE, 5, "data/people/usw_0_zipline.obj", true);
}

void KV_ENEMIES_LAYOUTLOAD() { enemies_layout_load_file("data/enemies0.dat"); }

void KV_ENEMIES_EXPORT(int32_t PROFILE) {
    enemies_export_file(enemies_profile_path(PROFILE < 0 ? KVGLOBALS.CURPROFILE : PROFILE));
}

void KV_ENEMIES_IMPORT(int32_t PROFILE) {
    enemies_import_file(enemies_profile_path(PROFILE < 0 ? KVGLOBALS.CURPROFILE : PROFILE));
}

EnemyAim enemies_aim_distance(const ENEMYTYPE& e, float playerx, float playerz, const VECTOR3D& velocity) {
    EnemyAim aim;
    const float dx = playerx + 10.0f * velocity.X - e.POSITION.X;
    const float dz = playerz + 10.0f * velocity.Z - e.POSITION.Z;
    aim.d = std::sqrt(dx * dx + dz * dz);
    return aim;
}

EnemyAim enemies_aim_turn(ENEMYTYPE& e, float a, float b, float rate, float fpsr, float playerx, float playerz,
                          const VECTOR3D& velocity) {
    EnemyAim aim = enemies_aim_distance(e, playerx, playerz, velocity);
    // Straight above the aim point there is no direction to face: no turn, no facing.
    if (!(aim.d > 0.0f)) return aim;
    const float nx = (playerx + 10.0f * velocity.X - e.POSITION.X) / aim.d;
    const float nz = (playerz + 10.0f * velocity.Z - e.POSITION.Z) / aim.d;
    const double h = e.ANGLE.Y * MATH_DEG2RAD;
    aim.f = static_cast<float>(std::cos(h + a)) * nx - static_cast<float>(std::sin(h + a)) * nz;
    aim.p = static_cast<float>(std::cos(h + b)) * nx - static_cast<float>(std::sin(h + b)) * nz;
    if (std::fabs(aim.p - aim.f) > 0.0027f) {
        if (aim.f < aim.p) e.ANGLE.Y += rate * fpsr;
        else if (aim.p < aim.f) e.ANGLE.Y -= rate * fpsr;
    }
    return aim;
}

void KV_ENEMIES_UPDATE_EC_TURRET_0(int32_t i) {
    if (!valid_slot(i)) return;
    ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
    const VECTOR3D& v = KVGLOBALS.GUNSHIPPO.LINEARVELOCITY;
    if (!(enemies_aim_distance(e, KVGLOBALS.PLAYERX, KVGLOBALS.PLAYERZ, v).d < 30.0f)) return;
    const EnemyAim aim =
        enemies_aim_turn(e, ENEMY_TURRET_A, ENEMY_TURRET_B, 1.2f, FPSR, KVGLOBALS.PLAYERX, KVGLOBALS.PLAYERZ, v);
    const int32_t now = platform_clock_ms();
    if (!(aim.f > 0.95f) || now <= e.NEXTROUND) return;
    const double ha = e.ANGLE.Y * MATH_DEG2RAD + ENEMY_TURRET_A;
    const float c = static_cast<float>(std::cos(ha)), s = static_cast<float>(std::sin(ha));
    for (int32_t k = 0; k < 19; ++k) {
        const float along = 3.78f + platform_random();
        VECTOR3D origin{e.POSITION.X + c * along, e.POSITION.Y + 3.2f, e.POSITION.Z - s * along};
        const VECTOR3D dir = normalised(c * 0.4218f, 0.051451f, -s * 0.4218f);
        const float j = platform_random() * 0.12f - 0.06f;
        origin.X += j;
        origin.Y += j;
        origin.Z += j;
        launch(origin, dir, 140.0f, 0);
    }
    e.NEXTROUND = later(now, 200);
}

void KV_ENEMIES_UPDATE_EC_RPG_M16(int32_t i) {
    if (!valid_slot(i)) return;
    ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
    const VECTOR3D& v = KVGLOBALS.GUNSHIPPO.LINEARVELOCITY;
    if (!(enemies_aim_distance(e, KVGLOBALS.PLAYERX, KVGLOBALS.PLAYERZ, v).d < 20.0f)) return;
    e.STANCE = 2;
    const EnemyAim aim =
        enemies_aim_turn(e, ENEMY_INFANTRY_A, ENEMY_INFANTRY_B, 3.0f, FPSR, KVGLOBALS.PLAYERX, KVGLOBALS.PLAYERZ, v);
    const int32_t now = platform_clock_ms();
    if (!(aim.f > 0.25f) || now <= e.NEXTROUND) return;
    (void)platform_random();  // drawn and not used, so the sequence stays in step
    const double ha = e.ANGLE.Y * MATH_DEG2RAD + ENEMY_INFANTRY_A;
    const float c = static_cast<float>(std::cos(ha)), s = static_cast<float>(std::sin(ha));
    VECTOR3D origin{e.POSITION.X, e.POSITION.Y + 0.98f, e.POSITION.Z};
    const VECTOR3D dir = normalised(c * 0.4218f, 0.211451f, -s * 0.4218f);
    const float j = platform_random() * 0.12f - 0.06f;
    origin.X += j;
    origin.Y += j;
    origin.Z += j;
    if (e.CLASS == ENEMYCLASS_M16) {
        launch(origin, dir, 30.0f, 0);
        e.NEXTROUND = later(now, 200);
    } else {
        launch(origin, dir, 8.0f, 1);
        e.NEXTROUND = later(now, 2000);
    }
}

void KV_ENEMIES_UPDATE() {
    const int32_t last = KVGLOBALS.MAXENEMIES < ENEMY_SLOTS ? KVGLOBALS.MAXENEMIES : ENEMY_SLOTS - 1;
    for (int32_t i = 0; i <= last; ++i) {
        ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        if (e.ACTIVE != 1) continue;
        KVGLOBALS.LASTENEMY = i;
        if (e.CLASS == ENEMYCLASS_TURRET) KV_ENEMIES_UPDATE_EC_TURRET_0(i);
        else if (e.CLASS == ENEMYCLASS_M16 || e.CLASS == ENEMYCLASS_RPG) KV_ENEMIES_UPDATE_EC_RPG_M16(i);
        if (e.HEALTH < 0.0f) {
            e.HEALTH = 0.0f;
            e.ACTIVE = 0;
        }
    }
}

void KV_ENEMIES_DRAW_EC_TURRET_0(int32_t i) {
    if (!valid_slot(i)) return;
    const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
    call_list(e.CLASS, 0);
    glPushMatrix();
    glRotatef(e.ANGLE.Y, 0.0f, 1.0f, 0.0f);
    call_list(e.CLASS, 1);
    glPopMatrix();
}

void KV_ENEMIES_DRAW_EC_WALL_0(int32_t i) {
    if (!valid_slot(i)) return;
    call_list(KVGLOBALS.ENEMIES[i].CLASS, 0);
}

namespace {
void draw_infantry(int32_t i) {
    if (!valid_slot(i)) return;
    const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
    glPushMatrix();
    glRotatef(e.ANGLE.Y, 0.0f, 1.0f, 0.0f);
    call_list(e.CLASS, e.STANCE);
    glPopMatrix();
}
}  // namespace

void KV_ENEMIES_DRAW_EC_M16_0(int32_t i) { draw_infantry(i); }
void KV_ENEMIES_DRAW_EC_RPG_0(int32_t i) { draw_infantry(i); }

namespace {
// The radius round its origin that holds every mesh of a class however it turns, kept per class
// with the meshes it was measured on (a class loaded again is measured again). The drawing
// pass's only state; -1: no mesh to measure, so nothing is left out.
struct ClassReach {
    int32_t mids[ENEMYCLASS_MODEL_SLOTS] = {};
    float radius = -1.0f;
    bool measured = false;
};
ClassReach g_reach[ENEMYCLASS_SLOTS];

float class_reach(int32_t cls) {
    if (cls < 0 || cls >= ENEMYCLASS_SLOTS) return -1.0f;
    const ENEMYCLASSTYPE& c = KVGLOBALS.ENEMYCLASS[cls];
    ClassReach& r = g_reach[cls];
    bool same = r.measured;
    for (int32_t k = 0; k < ENEMYCLASS_MODEL_SLOTS && same; ++k) same = r.mids[k] == c.MODELMID[k];
    if (same) return r.radius;
    r = ClassReach{};
    r.measured = true;
    float reach2 = -1.0f;
    for (int32_t k = 0; k < ENEMYCLASS_MODEL_SLOTS; ++k) {
        r.mids[k] = c.MODELMID[k];
        const MODEL3D* m = c.MODELMID[k] > 0 ? modeldb_model(c.MODELMID[k]) : nullptr;
        if (!m) continue;
        float x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
        MODEL_FINDEXTENTS(m, x0, y0, z0, x1, y1, z1);
        const float x = std::fmax(std::fabs(x0), std::fabs(x1)), y = std::fmax(std::fabs(y0), std::fabs(y1)),
                    z = std::fmax(std::fabs(z0), std::fabs(z1));
        reach2 = std::fmax(reach2, x * x + y * y + z * z);
    }
    r.radius = reach2 >= 0.0f && std::isfinite(reach2) ? std::sqrt(reach2) * 1.01f + 0.01f : -1.0f;
    return r.radius;
}
}  // namespace

void KV_RENDER_ENEMIES() {
    const int32_t last = KVGLOBALS.LASTENEMY < ENEMY_SLOTS ? KVGLOBALS.LASTENEMY : ENEMY_SLOTS - 1;
    // An enemy wholly outside the view is clipped away entirely, so it is not sent; the matrix
    // steps round it still run, so every enemy after it is placed exactly as before.
    const ViewVolume view = kv_view_volume_now(false);
    for (int32_t i = 0; i <= last; ++i) {
        const ENEMYTYPE& e = KVGLOBALS.ENEMIES[i];
        if (e.ACTIVE != 1) continue;
        if (!(std::nearbyint(std::fabs(e.POSITION.X - KVGLOBALS.PLAYERX)) < 80.0f)) continue;
        if (!(std::nearbyint(std::fabs(e.POSITION.Z - KVGLOBALS.PLAYERZ)) < 80.0f)) continue;
        glTranslatef(e.POSITION.X, e.POSITION.Y, e.POSITION.Z);
        const float reach = class_reach(e.CLASS);
        const bool outside =
            reach >= 0.0f && view_volume_sphere_outside(view, e.POSITION.X, e.POSITION.Y, e.POSITION.Z, reach);
        if (!outside) switch (e.CLASS) {
            case ENEMYCLASS_TURRET: KV_ENEMIES_DRAW_EC_TURRET_0(i); break;
            case ENEMYCLASS_WALL: KV_ENEMIES_DRAW_EC_WALL_0(i); break;
            case ENEMYCLASS_M16: KV_ENEMIES_DRAW_EC_M16_0(i); break;
            case ENEMYCLASS_RPG: KV_ENEMIES_DRAW_EC_RPG_0(i); break;
            default: break;
        }
        glTranslatef(-e.POSITION.X, -e.POSITION.Y, -e.POSITION.Z);
    }
}

// The pointer view's marker: a red upright line with a cross at the gunship's position.
void KV_RENDER_POINTER() {
    const float x = KVGLOBALS.PLAYERX, y = KVGLOBALS.PLAYERY, z = KVGLOBALS.PLAYERZ;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1.0f, 0.1f, 0.1f);
    glBegin(GL_LINES);
    glVertex3f(x, y - 20.0f, z);
    glVertex3f(x, y + 4.0f, z);
    glVertex3f(x - 3.0f, y, z);
    glVertex3f(x + 3.0f, y, z);
    glVertex3f(x, y, z - 3.0f);
    glVertex3f(x, y, z + 3.0f);
    glEnd();
    glPopAttrib();
}

int64_t enemies_rounds_fired() { return g_rounds_fired; }
void enemies_reset_run() {
    g_rounds_fired = 0;
    g_last_shot = EnemyShot{};
}
EnemyShot enemies_last_shot() { return g_last_shot; }
