// The game's world entry points (see world.h): the map, ground, terrain and building functions
// on the global records and OpenGL. The rules themselves live in world/map.cpp, ground.cpp,
// terrain.cpp and buildings.cpp on plain views, so they can be tested without the globals or a
// window.
#include "game/world.h"

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/engine_globals.h"
#include "engine/log.h"
#include "engine/math3d.h"
#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "engine/textfile.h"
#include "game/kv_globals.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "world/view_volume.h"
#include "world/world_globals.h"

namespace {
float random_uniform() { return platform_random(); }

int32_t round_int(float v) { return math_round_even(v); }
}  // namespace

namespace {

BuildingClassSizes class_sizes() {
    BuildingClassSizes c;
    for (int32_t k = 0; k < KV_BUILDINGCLASSES; ++k) c.size[k] = KVGLOBALS.BUILDINGCLASS[k].SIZE;
    return c;
}

bool grids_ready() {
    return KVGLOBALS.TERRAINMAP.size() == static_cast<size_t>(KV_MAPCELLS) &&
           KVGLOBALS.CITYMAP.size() == static_cast<size_t>(KV_MAPCELLS);
}

void ensure_grids() {
    for (auto* grid : {&KVGLOBALS.TERRAINMAP, &KVGLOBALS.FORESTMAP, &KVGLOBALS.CITYMAP, &KVGLOBALS.BUILDINGMAP}) {
        if (grid->size() != static_cast<size_t>(KV_MAPCELLS)) grid->assign(KV_MAPCELLS, 0);
    }
}

bool on_map(int32_t t) { return t >= 0 && t < KV_TILES; }

int32_t view_dist() {
    int32_t d = KVGLOBALS.BOXARRAYVIEWDIST;
    return d < 0 ? 0 : (d > 32 ? 32 : d);
}

}  // namespace

KVMAPVIEW kv_world_view() {
    KVMAPVIEW v;
    if (grids_ready()) {
        v.TERRAINMAP = KVGLOBALS.TERRAINMAP.data();
        v.CITYMAP = KVGLOBALS.CITYMAP.data();
    }
    v.WATERHEIGHT = KVGLOBALS.WATERHEIGHT;
    v.MAPSCALE = KVGLOBALS.MAPSCALE;
    v.WATERSPACER = KVGLOBALS.WATERSPACER;
    return v;
}

KVTILEINPUT kv_world_tile_input(const BuildingClassSizes& sizes) {
    KVTILEINPUT in;
    in.MAP = kv_world_view();
    in.LOOKUP = KVGROUNDCIRCLEPOLYLOOKUP;
    in.CLASSSIZE = sizes.size;
    in.UNIFORM = random_uniform;
    return in;
}

void KV_INITIALIZE_MAPS() {
    for (auto* grid : {&KVGLOBALS.TERRAINMAP, &KVGLOBALS.FORESTMAP, &KVGLOBALS.CITYMAP, &KVGLOBALS.BUILDINGMAP}) {
        grid->assign(KV_MAPCELLS, 0);
    }
    for (int32_t tx = 0; tx < KV_TILES; ++tx)
        for (int32_t tz = 0; tz < KV_TILES; ++tz) KVGLOBALS.MAPDL[tx][tz] = static_cast<int32_t>(glGenLists(1));
}

void KV_LOAD_MISSIONMAP(const std::string& path) {
    ensure_grids();  // a load before the grids exist must not write into nothing
    kv_map_read(path, KVGLOBALS.TERRAINMAP.data(), KVGLOBALS.FORESTMAP.data(), KVGLOBALS.CITYMAP.data(),
                KVGLOBALS.WATERHEIGHT, KVGLOBALS.FORESTHEIGHT);
    kv_map_apply_frame(KVGLOBALS.CITYMAP.data());
}

void KV_INITIALIZE_KVGROUNDCIRCLEPOLYLOOKUP() {
    kv_ground_lookup_load("data/KVGroundCirclePolyLookup.dat", KVGROUNDCIRCLEPOLYLOOKUP);
}

void KV_GROUNDPOLYLOOKUP(int32_t n, int32_t triangle, KVGROUNDPOLYDATATYPE& out, int32_t smooth) {
    kv_ground_poly(kv_world_view(), KVGROUNDCIRCLEPOLYLOOKUP, n, triangle, out, smooth, random_uniform);
}

float KV_FINDMAPY(float x, float z) { return kv_find_map_y(kv_world_view(), x, z); }

float KV_FINDMAPYNOSPACER(float x, float z) { return kv_find_map_y_nospacer(kv_world_view(), x, z); }

void KV_FINDGUNSHIPY() {
    KVGUNSHIPHEIGHT g;
    g.PLAYERX = KVGLOBALS.PLAYERX;
    g.PLAYERY = KVGLOBALS.PLAYERY;
    g.PLAYERZ = KVGLOBALS.PLAYERZ;
    g.GUNSHIPHOVERY = KVGLOBALS.GUNSHIPHOVERY;
    g.GUNSHIPLANDRATIO = KVGLOBALS.GUNSHIPLANDRATIO;
    g.GUNSHIPLANDED = KVGLOBALS.GUNSHIPLANDED;
    g.PLAYERHOVERCYCLE = KVGLOBALS.PLAYERHOVERCYCLE;
    kv_find_gunship_y(kv_world_view(), g, FPSR);
    KVGLOBALS.PLAYERX = g.PLAYERX;
    KVGLOBALS.PLAYERY = g.PLAYERY;
    KVGLOBALS.PLAYERZ = g.PLAYERZ;
    KVGLOBALS.GUNSHIPLANDRATIO = g.GUNSHIPLANDRATIO;
    KVGLOBALS.PLAYERHOVERCYCLE = g.PLAYERHOVERCYCLE;
}

namespace {
// The colour state lives in two globals; the terrain code works on a copy.
KVCOLORSTATE color_state() {
    KVCOLORSTATE s;
    s.R = KVPRELOAD_LASTCOLOR.R;
    s.G = KVPRELOAD_LASTCOLOR.G;
    s.B = KVPRELOAD_LASTCOLOR.B;
    s.FORCE = KVFILE_COLORFORCEUPDATE;
    return s;
}
void store_color_state(const KVCOLORSTATE& s) {
    KVPRELOAD_LASTCOLOR.R = s.R;
    KVPRELOAD_LASTCOLOR.G = s.G;
    KVPRELOAD_LASTCOLOR.B = s.B;
    KVFILE_COLORFORCEUPDATE = s.FORCE;
}
}  // namespace

void KV_PICKCOLORPRINT(float r, float g, float b) {
    KVCOLORSTATE s = color_state();
    kv_pick_color(s, kv_tile_sink_gl(), r, g, b);
    store_color_state(s);
}

void KV_PICKWATERCOLORGROUND(float y) {
    const KVCOLOR3 c = kv_ground_color(kv_world_view(), y);
    KV_PICKCOLORPRINT(c.R, c.G, c.B);
}

void KV_PICKWATERCOLORROAD(float y) {
    const KVCOLOR3 c = kv_road_color(kv_world_view(), y);
    KV_PICKCOLORPRINT(c.R, c.G, c.B);
}

void kv_render_mapdl_to(int32_t tx, int32_t tz, const KVTILESINK& sink) {
    if (!on_map(tx) || !on_map(tz)) return;
    KVCOLORSTATE s = color_state();
    const BuildingClassSizes sizes = class_sizes();
    kv_tile_emit(kv_world_tile_input(sizes), s, sink, tx, tz);
    store_color_state(s);
    KVMAPCOMPILED[tx][tz] = 1;
    KVGLOBALS.TOTALLOADEDTILES += 1;
}

namespace {
// The box round everything one compiled tile's display list holds: its ground and platform
// walls, and the plinth walls of the buildings anchored in it, which reach into the next tiles
// (up to a footprint's width) and up to the highest ground under the footprint. Recorded while
// the list is compiled, so the map pass can leave out a list wholly outside the view without
// guessing its extent. Not set: never left out.
KVTILEBOX g_tile_box[KV_TILES][KV_TILES];
}  // namespace

void KV_RENDER_MAPDL(int32_t tx, int32_t tz) {
    if (!on_map(tx) || !on_map(tz)) return;
    KVTILEBOX& box = g_tile_box[tx][tz];
    box = KVTILEBOX{};
    kv_render_mapdl_to(tx, tz, kv_tile_sink_gl(&box));
    // An empty list (a tile of other codes only) draws nothing wherever it is.
    if (!box.SET) box.SET = true, box.LO[1] = 1.0f, box.HI[1] = -1.0f;
}

bool kv_tile_box(int32_t tx, int32_t tz, float lo[3], float hi[3]) {
    if (!on_map(tx) || !on_map(tz) || KVMAPCOMPILED[tx][tz] != 1) return false;
    const KVTILEBOX& t = g_tile_box[tx][tz];
    if (!t.SET || !t.FINITE) return false;
    for (int32_t k = 0; k < 3; ++k) lo[k] = t.LO[k], hi[k] = t.HI[k];
    return true;
}

bool kv_compile_tile(int32_t tx, int32_t tz) {
    if (!on_map(tx) || !on_map(tz)) return false;
    if (KVGLOBALS.MAPDL[tx][tz] == 0) KVGLOBALS.MAPDL[tx][tz] = static_cast<int32_t>(glGenLists(1));
    if (KVGLOBALS.MAPDL[tx][tz] == 0) return false;  // no OpenGL context
    glNewList(static_cast<GLuint>(KVGLOBALS.MAPDL[tx][tz]), GL_COMPILE);
    KV_RENDER_MAPDL(tx, tz);
    glEndList();
    return true;
}

KVRENDERMAPSTATS KV_RENDER_MAP_STATS;

namespace {
// The view volume of the map pass as it stands when KV_RENDER_MAP starts, with the fog's end
// when the fog fades to the clear colour. A tile's ground or a building wholly outside it is
// not sent at all; what is sent is drawn exactly as before. Only KV_RENDER_MAP sets it (for its
// own pass); any other caller of the sector drawing draws everything.
ViewVolume g_view;

// Linear fog on, fading towards the colour the frame was cleared with, with a sensible range.
bool fog_hides_to_clear_colour() {
    if (glIsEnabled(GL_FOG) != GL_TRUE) return false;
    GLint mode = 0, source = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    glGetIntegerv(GL_FOG_COORDINATE_SOURCE, &source);
    if (mode != GL_LINEAR || source != GL_FRAGMENT_DEPTH) return false;
    float start = 0.0f, end = 0.0f, fog[4] = {}, clear[4] = {};
    glGetFloatv(GL_FOG_START, &start);
    glGetFloatv(GL_FOG_END, &end);
    glGetFloatv(GL_FOG_COLOR, fog);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    return std::isfinite(start) && std::isfinite(end) && end > start && start >= 0.0f && fog[0] == clear[0] &&
           fog[1] == clear[1] && fog[2] == clear[2];
}
}  // namespace

ViewVolume kv_view_volume_now(bool with_fog_end) {
    float p[16], m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    ViewVolume v = view_volume_from(p, m);
    if (with_fog_end && fog_hides_to_clear_colour()) {
        float end = 0.0f;
        glGetFloatv(GL_FOG_END, &end);
        view_volume_add_fog_end(v, end);
    }
    return v;
}

namespace {
// The tile's display list, by the box recorded when it was compiled (a little larger, for
// rounding). An empty list is always outside.
bool ground_outside(int32_t tx, int32_t tz) {
    if (!g_view.active) return false;
    float lo[3], hi[3];
    if (!kv_tile_box(tx, tz, lo, hi)) return false;
    if (lo[1] > hi[1]) return true;
    return view_volume_box_outside(g_view, lo[0] - 0.5f, lo[1] - 0.5f, lo[2] - 0.5f, hi[0] + 0.5f, hi[1] + 0.5f,
                                   hi[2] + 0.5f);
}

// The box round every mesh a building class draws, relative to its anchor, kept per class
// with the meshes it was measured on (a class loaded again is measured again). Not bounded (no
// mesh, or a non-finite vertex): never left out.
struct ClassBox {
    int32_t mids[1 + 2 * BUILDING_PIECES] = {};
    bool measured = false, bounded = false;
    float lo[3] = {}, hi[3] = {};
};
ClassBox g_class_box[KV_BUILDINGCLASSES];

const ClassBox& class_box(int32_t cls) {
    static const ClassBox none;
    if (cls < 0 || cls >= KV_BUILDINGCLASSES) return none;
    const BUILDINGCLASSTYPE& b = KVGLOBALS.BUILDINGCLASS[cls];
    int32_t mids[1 + 2 * BUILDING_PIECES];
    mids[0] = b.BUILDINGMID;
    for (int32_t k = 0; k < BUILDING_PIECES; ++k) mids[1 + k] = b.BUILDINGDMID[k], mids[1 + BUILDING_PIECES + k] = b.BUILDINGDLOWMID[k];
    ClassBox& c = g_class_box[cls];
    if (c.measured && std::equal(mids, mids + 1 + 2 * BUILDING_PIECES, c.mids)) return c;
    c = ClassBox{};
    c.measured = true;
    std::copy(mids, mids + 1 + 2 * BUILDING_PIECES, c.mids);
    bool any = false, finite = true;
    for (int32_t mid : mids) {
        const MODEL3D* m = mid > 0 ? modeldb_model(mid) : nullptr;
        if (!m) continue;
        float e[6];
        MODEL_FINDEXTENTS(m, e[0], e[1], e[2], e[3], e[4], e[5]);
        if (e[0] > e[3]) continue;  // no vertices
        for (float v : e) finite = finite && std::isfinite(v);
        for (int32_t k = 0; k < 3; ++k) {
            c.lo[k] = any ? std::fmin(c.lo[k], e[k]) : e[k];
            c.hi[k] = any ? std::fmax(c.hi[k], e[3 + k]) : e[3 + k];
        }
        any = true;
    }
    c.bounded = any && finite;
    return c;
}

bool building_outside(const KVBUILDINGDRAW& d) {
    if (!g_view.active) return false;
    const ClassBox& c = class_box(d.CLASS);
    if (!c.bounded) return false;
    const float x = static_cast<float>(d.X), z = static_cast<float>(d.Z);
    return view_volume_box_outside(g_view, x + c.lo[0] - 0.5f, d.H + c.lo[1] - 0.5f, z + c.lo[2] - 0.5f,
                                   x + c.hi[0] + 0.5f, d.H + c.hi[1] + 0.5f, z + c.hi[2] + 0.5f);
}
}  // namespace

void KV_RENDER_SECTOR(int32_t tx, int32_t tz) {
    if (!on_map(tx) || !on_map(tz)) return;
    if (KVGLOBALS.MAPDL[tx][tz] != 0) {
        if (!ground_outside(tx, tz)) glCallList(static_cast<GLuint>(KVGLOBALS.MAPDL[tx][tz]));
        else KV_RENDER_MAP_STATS.ground_outside++;
    }
    if (KVGLOBALS.POINTERMODE != 1) KV_RENDER_BUILDINGS(tx, tz);
}

void KV_RENDER_MAP() {
    KVGLOBALSTYPE& G = KVGLOBALS;
    KVRENDERMAPSTATS& st = KV_RENDER_MAP_STATS;
    st = KVRENDERMAPSTATS{};
    // Compile budget in milliseconds.
    int32_t budget = round_int(static_cast<float>(FPS) * 40.0f / 100.0f);
    if (budget < 40) budget = 40;
    const int64_t deadline = static_cast<int64_t>(platform_clock_ms()) + budget;

    const int32_t D = view_dist();
    kv_view_cone(G.GUNSHIPPO.ANGLE, D, G.BOXARRAY);
    const KVVIEWDENSITY d = kv_view_density(kv_world_view(), class_sizes().size, G.BOXARRAY, D, G.PLAYERX8, G.PLAYERZ8);
    st.density = d;

    const float viewsize = G.TARGETVIEWSIZE.CURR();
    if (isatty(STDOUT_FILENO)) {
        std::string density;
        SYSTEM_FORMATFLOAT(density, d.DENSITY, 5);
        std::printf("buildingBlocks %s   \nblocksAnalyzed %s   \nbuildingDensity %s   \nsizRatio %s   \n",
                    text_int(d.AREA).c_str(), text_int(d.CELLS).c_str(), density.c_str(), text_single(viewsize).c_str());
    }

    G.TARGETVIEWSIZE.SET_TARGET(d.SIZE);
    G.TARGETLODSHADOWSWITCH.SET_TARGET(viewsize * TEMPY);
    G.TARGETLODMESHSWITCH.SET_TARGET(viewsize * TEMPX);
    int32_t R = round_int(viewsize * static_cast<float>(D));
    if (R > D) R = D;
    if (R < 0) R = 0;
    const float fps = G.FPSTIMER.FPS();
    if (fps > 1.0f) G.TARGETVIEWSIZE.STEPS = round_int(fps * 2.0f + 1.0f);
    G.TARGETPLAYERX8.SET_TARGET(static_cast<float>(G.PLAYERX8));
    G.TARGETPLAYERZ8.SET_TARGET(static_cast<float>(G.PLAYERZ8));
    const float cx = G.TARGETPLAYERX8.CURR(), cz = G.TARGETPLAYERZ8.CURR();

    static KVSECTORPASS pass;
    pass.COUNT = 0;
    for (int32_t i = -R; i <= R; ++i) {
        for (int32_t j = -R; j <= R; ++j) {
            if (G.BOXARRAY[D + i][D + j] != 1) continue;
            const int32_t tx = round_int(cx + static_cast<float>(i)), tz = round_int(cz + static_cast<float>(j));
            if (!on_map(tx) || !on_map(tz) || KVMAPCOMPILED[tx][tz] != 1) continue;
            kv_sector_pass_add(pass, tx, tz);
            st.drawn++;
        }
    }
    if (!kv_sector_pass_plain()) {
        g_view = kv_view_volume_now(true);
        // Nearest tiles first: what they cover fails the depth test early further back.
        kv_sector_pass_sort_near_first(pass, g_view, G.PLAYERY);
    }
    kv_sector_pass_draw(pass, KV_RENDER_SECTOR);
    g_view.active = false;
    for (int32_t i = -R; i <= R; ++i) {
        for (int32_t j = -R; j <= R; ++j) {
            if (G.BOXARRAY[D + i][D + j] != 1) continue;
            const int32_t tx = round_int(cx + static_cast<float>(i)), tz = round_int(cz + static_cast<float>(j));
            if (!on_map(tx) || !on_map(tz) || KVMAPCOMPILED[tx][tz] == 1) continue;
            if (static_cast<int64_t>(platform_clock_ms()) >= deadline) {
                st.deferred++;
                continue;
            }
            if (kv_compile_tile(tx, tz)) st.compiled++;
        }
    }
}

namespace {
struct MinimapFrame {
    float s, cx, cy;
};
MinimapFrame minimap_frame() {
    const float s = static_cast<float>(round_int(0.1f * static_cast<float>(OPENGLPROPERTIES.SCR_WIDTH)));
    return {s, static_cast<float>(OPENGLPROPERTIES.SCR_WIDTH) - (s + 4),
            static_cast<float>(OPENGLPROPERTIES.SCR_HEIGHT) - (s + 4)};
}
// The overlay's y axis points down, so this order is counter-clockwise on screen: the quads
// stay front-facing with back-face culling on.
void quad(float l, float t, float r, float b) {
    glVertex2f(l, t);
    glVertex2f(l, b);
    glVertex2f(r, b);
    glVertex2f(r, t);
}
void square(float cx, float cy, float h) {
    glBegin(GL_QUADS);
    quad(cx - h, cy - h, cx + h - 1, cy + h - 1);
    glEnd();
}
}  // namespace

void KV_RENDER_MINIMAPDL() {
    const MinimapFrame f = minimap_frame();
    glDisable(GL_TEXTURE_2D);  // whatever the overlay drew last, the panel is plain colour
    glColor4f(0.1f, 0.2f, 0.4f, 0.5f);
    square(f.cx, f.cy, f.s + 4);
    glColor4f(0.2f, 0.4f, 0.8f, 0.5f);
    square(f.cx, f.cy, f.s);
    const float l = f.cx - f.s, r = f.cx + f.s - 1, b = f.cy - f.s, t = f.cy + f.s - 1;
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glBegin(GL_LINES);
    glVertex2f(l, b);
    glVertex2f(r, b);
    glVertex2f(r, b);
    glVertex2f(r, t);
    glVertex2f(r, t);
    glVertex2f(l, t);
    glVertex2f(l, t);
    glVertex2f(l, b);
    glEnd();
    const float h = f.s - 2;
    const float ml = f.cx - h, mr = f.cx + h - 1, mb = f.cy - h, mt = f.cy + h - 1;  // mb: the smaller y
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(KVGLOBALS.MINIMAPTEX));
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2f(ml, mb);
    glTexCoord2f(0, 0);
    glVertex2f(ml, mt);
    glTexCoord2f(1, 0);
    glVertex2f(mr, mt);
    glTexCoord2f(1, 1);
    glVertex2f(mr, mb);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void KV_RENDER_MINIMAPPLAYER() {
    const MinimapFrame f = minimap_frame();
    float m = f.s * 0.01171875f;
    if (m < 1) m = 1;
    const float ox = f.cx - (f.s + 4), oy = f.cy - (f.s + 4);
    const float px = ox + (KVGLOBALS.PLAYERX / 512.0f) * 2 * f.s, pz = oy + (KVGLOBALS.PLAYERZ / 512.0f) * 2 * f.s;
    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    quad(px - m, pz - m, px + m, pz + m);
    glEnd();
    if (KVGLOBALS.CHECKPOINTDATA.empty() || KVGLOBALS.CHECKPOINTDATA[0].ACTIVE != 1) return;
    const VECTOR3D& c = KVGLOBALS.CHECKPOINTDATA[0].POSITION;
    const float qx = ox + (c.X / 512.0f) * 2 * f.s, qz = oy + (c.Z / 512.0f) * 2 * f.s;
    int32_t turn = round_int(7.0f * KVGLOBALS.ICONANGLE) % 360;
    if (turn < 0) turn += 360;
    const float q = std::sin((static_cast<float>(turn) * 1.570795f) / 360.0f);
    const float radius = q * m * 8;
    glColor4f(1.0f, 0.23f, 0.1f, 1.0f - q);
    glBegin(GL_LINES);
    for (int32_t k = 0; k < 32; ++k) {
        const float a0 = static_cast<float>(k) * 6.28318f / 16.0f, a1 = static_cast<float>(k + 1) * 6.28318f / 16.0f;
        glVertex2f(qx + std::cos(a0) * radius, qz + std::sin(a0) * radius);
        glVertex2f(qx + std::cos(a1) * radius, qz + std::sin(a1) * radius);
    }
    glEnd();
}

void KV_LOAD_BUILDINGS_SETUPDATA(int32_t cls, int32_t size, const std::string& path) {
    if (cls < 0 || cls >= KV_BUILDINGCLASSES) {
        kv_log("building class %d out of range 0-%d; not loaded", cls, KV_BUILDINGCLASSES - 1);
        return;
    }
    BUILDINGCLASSTYPE& b = KVGLOBALS.BUILDINGCLASS[cls];
    b.SIZE = size;
    b.BUILDINGBOXMID = OBJFILE_LOAD(path + "_box.obj");
    if (!kv_building_assembled(cls)) {
        b.BUILDINGMID = OBJFILE_LOAD(path + ".obj");
        b.BUILDINGDL = modeldb_compile_list(b.BUILDINGMID);
        return;
    }
    const char* facades[4] = {"_n", "_s", "_e", "_w"};
    for (int32_t k = 0; k < 4; ++k) b.BUILDINGDMID[k] = OBJFILE_LOAD(path + facades[k] + ".obj");
    for (int32_t k = 0; k < 4; ++k) b.BUILDINGDLOWMID[k] = OBJFILE_LOAD(path + facades[k] + "_low.obj");
    b.BUILDINGDMID[4] = OBJFILE_LOAD(path + "_top.obj");
    b.BUILDINGBOXLOWMID = OBJFILE_LOAD(path + "_box_low.obj");
    for (int32_t k = 0; k < 4; ++k) {
        b.BUILDINGDDL[k] = modeldb_compile_list(b.BUILDINGDMID[k]);
        b.BUILDINGDLOWDL[k] = modeldb_compile_list(b.BUILDINGDLOWMID[k]);
    }
    b.BUILDINGDDL[4] = modeldb_compile_list(b.BUILDINGDMID[4]);
    b.BUILDINGBOXLOWDL = modeldb_compile_list(b.BUILDINGBOXLOWMID);
}

void KV_LOAD_BUILDINGS() {
    for (const KVBUILDINGCLASSDEF& c : KV_BUILDING_CLASSES) KV_LOAD_BUILDINGS_SETUPDATA(c.CLASS, c.SIZE, c.PATH);
    KVGLOBALS.BOXARRAYVIEWDIST = 12;
}

void KV_RENDER_BUILDINGS(int32_t tx, int32_t tz) {
    KVBUILDINGDRAW draw[KV_TILECELLS * KV_TILECELLS];
    const float lodrange = KVGLOBALS.TARGETLODMESHSWITCH.CURR() * static_cast<float>(KVGLOBALS.BOXARRAYVIEWDIST);
    const int32_t n = kv_tile_buildings(kv_world_view(), class_sizes().size, tx, tz, KVGLOBALS.PLAYERX, KVGLOBALS.PLAYERZ,
                                        lodrange, draw);
    auto call = [](int32_t list) {
        if (list != 0) glCallList(static_cast<GLuint>(list));
    };
    for (int32_t k = 0; k < n; ++k) {
        const KVBUILDINGDRAW& d = draw[k];
        if (building_outside(d)) {
            KV_RENDER_MAP_STATS.buildings_outside++;
            continue;
        }
        KV_RENDER_MAP_STATS.buildings_sent++;
        const BUILDINGCLASSTYPE& b = KVGLOBALS.BUILDINGCLASS[d.CLASS];
        glPushMatrix();
        glTranslatef(static_cast<float>(d.X), d.H, static_cast<float>(d.Z));
        if (!kv_building_assembled(d.CLASS)) {
            call(b.BUILDINGDL);
        } else {
            call(b.BUILDINGDDL[4]);
            const int32_t bits[4] = {KV_FACADE_NORTH, KV_FACADE_SOUTH, KV_FACADE_EAST, KV_FACADE_WEST};
            for (int32_t f = 0; f < 4; ++f) {
                if (d.FACADES & bits[f]) call(d.LOW ? b.BUILDINGDLOWDL[f] : b.BUILDINGDDL[f]);
            }
        }
        glPopMatrix();
    }
}
