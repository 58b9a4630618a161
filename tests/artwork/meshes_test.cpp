// Checks the generated meshes in the game directory: the preload list, the OBJ subset the
// loader reads, and the geometry the game's code relies on (barrel lines of the gunship,
// turret muzzle, infantry size, stance and facing, building footprints and facade
// directions, equal normalisation of the clock digits and icon sizes).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "mesh_paths.h"
#include "obj_check.h"

using artwork::V3;

namespace {

const std::string kGame = KV_GAME_DIR;

artwork::ObjFile load(const std::string& rel) { return artwork::read_obj(kGame + "/" + rel); }

std::vector<std::string> models_dat(bool& crlf) {
    std::ifstream in(kGame + "/models.dat", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> names;
    crlf = !all.empty();
    size_t start = 0;
    while (start < all.size()) {
        const size_t end = all.find("\r\n", start);
        if (end == std::string::npos) {
            crlf = false;
            names.push_back(all.substr(start));
            break;
        }
        names.push_back(all.substr(start, end - start));
        start = end + 2;
    }
    return names;
}

std::vector<V3> scaled(std::vector<V3> pts, double s) {
    for (V3& p : pts) p = p * s;
    return pts;
}

}  // namespace

TEST(ArtworkModels, PreloadListNamesEveryMeshOnceInTheGamesOrder) {
    bool crlf = false;
    const std::vector<std::string> names = models_dat(crlf);
    EXPECT_TRUE(crlf) << "every line of models.dat ends in CR LF";
    ASSERT_EQ(names.size(), kMeshPaths.size());
    std::set<std::string> listed(names.begin(), names.end());
    EXPECT_EQ(listed.size(), names.size()) << "no name twice";
    for (std::string_view p : kMeshPaths) EXPECT_TRUE(listed.count(std::string(p))) << p;
    // The game rewrites the list sorted by length, shortest first; ours is already in that order.
    for (size_t i = 1; i < names.size(); ++i) EXPECT_LE(names[i - 1].size(), names[i].size()) << names[i];
    for (const std::string& n : names) {
        EXPECT_LE(n.size(), 64u) << "the model database keeps 64 characters: " << n;
        EXPECT_EQ(n.rfind("data/", 0), 0u) << n;
        EXPECT_TRUE(std::filesystem::is_regular_file(kGame + "/" + n)) << n;
    }
}

TEST(ArtworkModels, EveryMeshKeepsToTheLoadersSubsetWithinItsBudget) {
    for (std::string_view p : kMeshPaths) {
        const artwork::ObjFile f = load(std::string(p));
        for (const std::string& problem : f.problems) ADD_FAILURE() << problem;
        EXPECT_GE(f.tris.size(), 2u) << p;
        EXPECT_LE(f.tris.size(), 6000u) << p;
        EXPECT_EQ(static_cast<size_t>(f.vt), f.vn.size()) << p;
        EXPECT_FALSE(f.materials.empty()) << p;
    }
}

// Each triangle's winding (counter-clockwise from outside) must agree with the normals it
// carries, or lighting and culling would show the mesh inside out.
TEST(ArtworkModels, WindingAgreesWithTheNormals) {
    for (std::string_view p : kMeshPaths) {
        const artwork::ObjFile f = load(std::string(p));
        int against = 0;
        std::string first;
        for (const artwork::Tri& t : f.tris) {
            const V3 face = artwork::cross(f.v[t.v[1]] - f.v[t.v[0]], f.v[t.v[2]] - f.v[t.v[0]]);
            const V3 n = f.vn[t.n[0]] + f.vn[t.n[1]] + f.vn[t.n[2]];
            if (artwork::dot(face, n) <= 0 && against++ == 0) {
                const V3 a = f.v[t.v[0]];
                first = f.materials[t.material].name + " at " + std::to_string(a.x) + " " + std::to_string(a.y) + " " +
                        std::to_string(a.z);
            }
        }
        EXPECT_EQ(against, 0) << p << ": triangles wound against their normals, first: " << first;
    }
}

// The weapon code fires rounds from muzzle points in front of the barrels; after the game
// normalises the mesh and scales it by 1.5, each barrel must lie on its firing line, reach
// forward along it and end short of its muzzle point.
TEST(ArtworkGunship, BarrelsLieOnTheFiringLinesAfterNormaliseAndScale) {
    const artwork::ObjFile f = load("data/ships/gunship/gunshipLowJ.obj");
    ASSERT_TRUE(f.problems.empty());
    const double s = 1.5 / f.radius();
    EXPECT_NEAR(s, 1.0, 1e-3) << "designed at its in-game size";
    const std::vector<V3> metal = scaled(f.points_of("gunmetal"), s);
    const V3 rear[3] = {{-1.494, 0.571, 0}, {-1.3274, 0.44353, 0.18825}, {-1.3274, 0.44353, -0.18825}};
    const V3 muzzle[3] = {{-1.804, 0.479, 0}, {-1.6092, 0.3258, 0.247}, {-1.6092, 0.3258, -0.247}};
    for (int b = 0; b < 3; ++b) {
        const V3 d = (muzzle[b] - rear[b]) * (1.0 / artwork::length(muzzle[b] - rear[b]));
        double lo = 1e9, hi = -1e9;
        int near = 0;
        for (const V3& p : metal) {
            const double along = artwork::dot(p - rear[b], d);
            const V3 off = (p - rear[b]) - d * along;
            if (artwork::length(off) < 0.05 && along > -1.0) {
                ++near;
                lo = std::min(lo, along);
                hi = std::max(hi, along);
            }
        }
        ASSERT_GT(near, 10) << "barrel " << b << " has no tube on its line";
        const double muzzle_at = artwork::length(muzzle[b] - rear[b]);
        EXPECT_GT(hi - lo, 0.3) << "barrel " << b << " is a visible length of tube";
        EXPECT_LT(hi, muzzle_at) << "barrel " << b << " ends behind its muzzle point";
        EXPECT_LT(muzzle_at - hi, 0.6) << "barrel " << b << " reaches towards its muzzle point";
    }
}

TEST(ArtworkGunship, NoseForwardAndRocketPodUnderTheLaunchLine) {
    const artwork::ObjFile f = load("data/ships/gunship/gunshipLowJ.obj");
    const double s = 1.5 / f.radius();
    const V3 glass = artwork::centroid(scaled(f.points_of("glass"), s));
    const V3 fin = artwork::centroid(scaled(f.points_of("stripe"), s));
    EXPECT_LT(glass.x, -0.3) << "cockpit towards -X";
    EXPECT_GT(fin.x, 0.8) << "tail towards +X";
    const artwork::Box pod = artwork::bounds(scaled(f.points_of("pod"), s));
    // Rockets leave at height 1.64 from x 0.8 towards -0.2: the pod lies under that line.
    EXPECT_LE(pod.lo.x, -0.15);
    EXPECT_GE(pod.hi.x, 0.35);
    EXPECT_NEAR(pod.lo.z + pod.hi.z, 0.0, 1e-3) << "pod on the centre line";
    EXPECT_LT(pod.hi.y, 1.64);
    EXPECT_GT(pod.hi.y, 1.64 - 0.35) << "pod close under the launch line";
    const artwork::Box all = artwork::bounds(scaled(f.referenced(), s));
    EXPECT_NEAR(all.hi.x - all.lo.x, 2.75, 0.3) << "about three units long";
}

TEST(ArtworkGunship, RocketPointsAlongPlusX) {
    const artwork::ObjFile f = load("data/weapons/rpg.obj");
    const V3 head = artwork::centroid(f.points_of("warhead"));
    const V3 fins = artwork::centroid(f.points_of("fin"));
    EXPECT_GT(head.x, fins.x + 0.8 * f.radius());
    EXPECT_NEAR(head.y, 0.0, 1e-3);
    EXPECT_NEAR(head.z, 0.0, 1e-3);
}

// Turret shells leave about 4 units out along the facing at height 3.2, climbing 0.051451
// per 0.4218; the turret faces -Z of its mesh.
TEST(ArtworkEnemies, TurretBarrelPointsAlongMinusZAtMuzzleHeight) {
    const artwork::ObjFile f = load("data/tanks/0_b.obj");
    ASSERT_TRUE(f.problems.empty());
    std::vector<V3> barrel;
    for (const V3& p : f.referenced())
        if (p.z < -1.6) barrel.push_back(p);
    ASSERT_FALSE(barrel.empty());
    const artwork::Box b = artwork::bounds(barrel);
    EXPECT_NEAR(b.lo.z, -4.0, 0.2) << "muzzle about 4 units out";
    EXPECT_NEAR(b.lo.x + b.hi.x, 0.0, 1e-3) << "barrel on the centre line";
    std::vector<V3> tip, root;
    for (const V3& p : barrel) (p.z < -3.7 ? tip : root).push_back(p);
    const V3 tc = artwork::centroid(tip), rc = artwork::centroid(root);
    EXPECT_NEAR(tc.y, 3.2, 0.1) << "muzzle at the shells' height";
    const double climb = (tc.y - rc.y) / (rc.z - tc.z);
    EXPECT_NEAR(climb, 0.051451 / 0.4218, 0.04) << "barrel raised like the shells' path";
    // Base and turret rest on the ground and meet at the turret ring.
    const artwork::Box base = artwork::bounds(load("data/tanks/0_a.obj").referenced());
    const artwork::Box top = artwork::bounds(f.referenced());
    EXPECT_NEAR(base.lo.y, 0.0, 1e-3);
    EXPECT_NEAR(base.hi.y, top.lo.y, 0.05);
}

TEST(ArtworkEnemies, WallIsAOneCellBlockOnItsPosition) {
    const artwork::Box b = artwork::bounds(load("data/buildings/1x1a.obj").referenced());
    EXPECT_NEAR(b.lo.x, -0.5, 1e-3);
    EXPECT_NEAR(b.hi.x, 0.5, 1e-3);
    EXPECT_NEAR(b.lo.z, -0.5, 1e-3);
    EXPECT_NEAR(b.hi.z, 0.5, 1e-3);
    EXPECT_NEAR(b.lo.y, 0.0, 1e-3);
    EXPECT_GT(b.hi.y, 2.0);
}

// Infantry are drawn scaled by 0.045 with their feet on the ground; crouching they fire from
// 0.98 above it, aiming up along the facing (+Z).
TEST(ArtworkPeople, InfantryHeightStanceAndAim) {
    const double scale = 0.045;
    for (const char* kind : {"0", "1"}) {
        const std::string base = std::string("data/people/") + kind + "_";
        const artwork::ObjFile stand = load(base + "stand.obj");
        const artwork::Box sb = artwork::bounds(stand.referenced());
        EXPECT_NEAR(sb.lo.y, 0.0, 1e-3) << kind << " feet on the origin";
        EXPECT_NEAR(sb.hi.y - sb.lo.y, 40.0, 3.0) << kind << " about 40 file units tall";
        for (const char* stance : {"crouch_rest.obj", "crouch_fire.obj"}) {
            const artwork::ObjFile c = load(base + stance);
            const artwork::Box cb = artwork::bounds(c.referenced());
            EXPECT_LT(artwork::centroid(c.points_of("helmet")).y, artwork::centroid(stand.points_of("helmet")).y - 8)
                << kind << stance << " crouches";
            EXPECT_NEAR(cb.lo.y, 0.0, 1e-3);
        }
        const artwork::ObjFile fire = load(base + "crouch_fire.obj");
        const std::vector<V3> weapon = fire.points_of("weapon");
        ASSERT_FALSE(weapon.empty());
        const artwork::Box wb = artwork::bounds(weapon);
        EXPECT_LE(wb.lo.y * scale, 0.98 + 0.1) << kind;
        EXPECT_GE(wb.hi.y * scale, 0.98) << kind << " weapon at firing height";
        // Front and back of the weapon: it points forward and up.
        V3 front = weapon[0], back = weapon[0];
        for (const V3& p : weapon) {
            if (p.z > front.z) front = p;
            if (p.z < back.z) back = p;
        }
        EXPECT_GT(front.z, 10.0) << kind << " weapon points along +Z";
        const double rise = (front.y - back.y) / (front.z - back.z);
        EXPECT_GT(rise, 0.25) << kind << " aimed upwards";
        EXPECT_LT(rise, 0.8) << kind;
        const artwork::Box boots = artwork::bounds(stand.points_of("boots"));
        EXPECT_GT(boots.hi.z, -boots.lo.z + 3.0) << kind << " toes point along +Z";
    }
}

// Friendly personnel are placed 1.25 above the ground, so their feet hang 1.25 below the origin;
// they wear other colours than the enemy.
TEST(ArtworkPeople, FriendlyPersonnelStandOnTheGroundAndLookDifferent) {
    const double scale = 0.045;
    for (const char* name : {"usw_0_stand.obj", "usw_0_run_0.obj", "usw_0_run_1.obj", "usw_0_run_2.obj", "usw_0_run_3.obj"}) {
        const artwork::ObjFile f = load(std::string("data/people/") + name);
        const artwork::Box b = artwork::bounds(f.referenced());
        EXPECT_NEAR(b.lo.y * scale, -1.25, 0.03) << name;
        EXPECT_NEAR((b.hi.y - b.lo.y) * scale, 1.8, 0.15) << name;
        EXPECT_LT(f.material_index("olive"), 0) << name;
        EXPECT_GE(f.material_index("helmet_lt"), 0) << name;
    }
    // Each run frame moves the feet against the one before (corresponding corners differ).
    for (int k = 0; k < 4; ++k) {
        const std::vector<V3> a = load("data/people/usw_0_run_" + std::to_string(k) + ".obj").points_of("boots");
        const std::vector<V3> b = load("data/people/usw_0_run_" + std::to_string((k + 1) % 4) + ".obj").points_of("boots");
        ASSERT_EQ(a.size(), b.size());
        double moved = 0;
        for (size_t i = 0; i < a.size(); ++i) moved = std::max(moved, artwork::length(a[i] - b[i]));
        EXPECT_GT(moved * scale, 0.1) << "run frames " << k << " and " << (k + 1) % 4;
    }
    const artwork::ObjFile zip = load("data/people/usw_0_zipline.obj");
    EXPECT_GT(artwork::bounds(zip.points_of("skin")).hi.y, artwork::bounds(zip.points_of("helmet_lt")).hi.y)
        << "hands above the head on the rope";
}

// The clock normalises each digit on its own; equal extents keep the digits one size.
TEST(ArtworkHud, ClockDigitsAndColonNormaliseAlike) {
    const artwork::ObjFile eight = load("data/7segment/8.obj");
    const artwork::Box ref = artwork::bounds(eight.v);
    const double r = eight.radius();
    std::vector<std::string> names;
    for (int d = 0; d < 10; ++d) names.push_back(std::to_string(d));
    names.push_back("colon");
    size_t one_tris = 0;
    for (const std::string& n : names) {
        const artwork::ObjFile f = load("data/7segment/" + n + ".obj");
        EXPECT_NEAR(f.radius(), r, 1e-6) << n;
        const artwork::Box b = artwork::bounds(f.v);
        EXPECT_NEAR(b.lo.x, ref.lo.x, 1e-6) << n;
        EXPECT_NEAR(b.hi.y, ref.hi.y, 1e-6) << n;
        // Everything drawn stays inside the common cell.
        const artwork::Box drawn = artwork::bounds(f.referenced());
        EXPECT_GE(drawn.lo.x, ref.lo.x);
        EXPECT_LE(drawn.hi.x, ref.hi.x);
        EXPECT_GE(drawn.lo.y, ref.lo.y);
        EXPECT_LE(drawn.hi.y, ref.hi.y);
        if (n == "1") one_tris = f.tris.size();
    }
    EXPECT_EQ(eight.tris.size(), one_tris * 7 / 2) << "8 lights seven strokes, 1 two";
    EXPECT_GT(ref.hi.y - ref.lo.y, ref.hi.x - ref.lo.x) << "digits stand upright in the XY plane";
}

TEST(ArtworkHud, GaugeIconsShowAtOneSize) {
    const std::pair<const char*, double> icons[] = {
        {"gear", 0.543}, {"fuel", 0.955}, {"armour", 0.577}, {"vt90", 0.6}, {"rpg", 0.6}};
    for (const auto& [name, scale] : icons) {
        const artwork::ObjFile f = load(std::string("data/icons/") + name + ".obj");
        double drawn = 0;
        for (const V3& p : f.referenced()) drawn = std::max(drawn, artwork::length(p));
        EXPECT_NEAR(drawn / f.radius() * scale, 0.52, 0.01) << name;
        const artwork::Box b = artwork::bounds(f.referenced());
        EXPECT_LT(b.hi.z - b.lo.z, std::max(b.hi.x - b.lo.x, b.hi.y - b.lo.y)) << name << " faces the viewer";
    }
}

namespace {
struct BuildingClass {
    const char* base;
    double size;
    bool assembled;
};
const BuildingClass kClasses[] = {{"4x4a", 4, true},    {"4x4sat", 4, true},    {"8x8a", 8, true},
                                  {"12x12a", 12, false}, {"16x16helo", 16, false}, {"16x16fuel", 16, false}};

// Area-weighted mean face normal.
V3 facing(const artwork::ObjFile& f) {
    V3 sum;
    for (const artwork::Tri& t : f.tris) sum = sum + artwork::cross(f.v[t.v[1]] - f.v[t.v[0]], f.v[t.v[2]] - f.v[t.v[0]]);
    return sum * (1.0 / std::max(1e-9, artwork::length(sum)));
}
}  // namespace

TEST(ArtworkBuildings, PiecesStandOnTheirFootprint) {
    for (const BuildingClass& c : kClasses) {
        std::vector<std::string> pieces = {"_box"};
        if (c.assembled) {
            for (const char* p : {"_n", "_s", "_e", "_w", "_n_low", "_s_low", "_e_low", "_w_low", "_top", "_box_low"})
                pieces.push_back(p);
        } else {
            pieces.push_back("");
        }
        for (const std::string& p : pieces) {
            const std::string name = std::string("data/buildings/") + c.base + p + ".obj";
            const artwork::Box b = artwork::bounds(load(name).referenced());
            EXPECT_GE(b.lo.x, -0.5) << name;
            EXPECT_GE(b.lo.z, -0.5) << name;
            EXPECT_LE(b.hi.x, c.size + 0.5) << name;
            EXPECT_LE(b.hi.z, c.size + 0.5) << name;
            EXPECT_GE(b.lo.y, -1e-3) << name;
            if (p != "_top") {
                EXPECT_NEAR(b.lo.y, 0.0, 1e-3) << name << " stands on y = 0";
            }
        }
    }
}

TEST(ArtworkBuildings, FacadesFaceTheirNamedDirectionAndLowDetailIsLighter) {
    const V3 dirs[4] = {{0, 0, -1}, {0, 0, 1}, {1, 0, 0}, {-1, 0, 0}};
    const char* suffix[4] = {"_n", "_s", "_e", "_w"};
    for (const BuildingClass& c : kClasses) {
        if (!c.assembled) continue;
        for (int k = 0; k < 4; ++k) {
            const std::string base = std::string("data/buildings/") + c.base + suffix[k];
            const artwork::ObjFile full = load(base + ".obj"), low = load(base + "_low.obj");
            EXPECT_GT(artwork::dot(facing(full), dirs[k]), 0.9) << base;
            EXPECT_GT(artwork::dot(facing(low), dirs[k]), 0.95) << base << "_low";
            EXPECT_LT(low.tris.size() * 3, full.tris.size()) << base;
            // Same silhouette: the same wall rectangle.
            const artwork::Box bf = artwork::bounds(full.points_of("wall")), bl = artwork::bounds(low.points_of("wall"));
            EXPECT_NEAR(bf.hi.y, bl.hi.y, 1e-3) << base;
            EXPECT_NEAR(bf.lo.x, bl.lo.x, 1e-3) << base;
            EXPECT_NEAR(bf.hi.z, bl.hi.z, 1e-3) << base;
        }
        const artwork::ObjFile roof = load(std::string("data/buildings/") + c.base + "_top.obj");
        EXPECT_GT(facing(roof).y, 0.5) << c.base << " roof faces up";
    }
}

TEST(ArtworkMisc, ParachutesHangAboveTheCrate) {
    const double crate_top = artwork::bounds(load("data/misc/box.obj").referenced()).hi.y * 0.475;
    double last_radius = 1e9;
    for (const char* name : {"chute_big", "chute_medium", "chute_small"}) {
        const artwork::Box b = artwork::bounds(load(std::string("data/misc/") + name + ".obj").referenced());
        const double radius = (b.hi.x - b.lo.x) * 0.5 * 1.75;
        EXPECT_LT(radius, last_radius) << name << " smaller than the one before";
        last_radius = radius;
        EXPECT_GT(b.lo.y * 1.75, crate_top) << name << " lines end above the crate";
        EXPECT_GT(b.hi.y * 1.75, 4.0) << name;
    }
    EXPECT_NEAR(crate_top, 0.95, 0.05);
}
