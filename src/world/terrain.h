// Terrain tiles: the height colour ramps, the colour de-duplication, the geometry of one 8 x 8
// tile (ground, paved platforms with their walls, building plinths) emitted through a sink, the
// per-frame view cone and the density-adaptive view radius. terrain_gl.cpp holds the OpenGL
// sink; the display lists, the per-frame pass and the minimap work on the game's records and
// live in game/world.h.
#pragma once

#include <cstdint>

#include "world/ground.h"
#include "world/map.h"
#include "world/view_volume.h"

struct KVCOLOR3 {
    float R = 0, G = 0, B = 0;
};

// The ground palette.
constexpr KVCOLOR3 KV_COLOR_UPLAND{0.5725490f, 0.5450980f, 0.4980392f};
constexpr KVCOLOR3 KV_COLOR_BEACH{0.8015686f, 0.7631372f, 0.6972549f};
constexpr KVCOLOR3 KV_COLOR_SHALLOWS{0.6784314f, 0.6235294f, 0.5137255f};
constexpr KVCOLOR3 KV_COLOR_DEEP{0.2261438f, 0.2078431f, 0.1712418f};
constexpr KVCOLOR3 KV_COLOR_WALLFOOT{0.5843137f, 0.5450980f, 0.4980392f};
constexpr KVCOLOR3 KV_COLOR_PAVING{0.823529f, 0.788235f, 0.729412f};
constexpr KVCOLOR3 KV_COLOR_PAVINGLIGHT{0.988235f, 0.945882f, 0.875294f};

// Where tile geometry goes: the game sends it to OpenGL (into the tile's display list), tests
// record it. Every call is optional (null: ignored).
struct KVTILESINK {
    void* CTX = nullptr;
    void (*BEGIN)(void* ctx) = nullptr;  // start of a batch of independent triangles
    void (*END)(void* ctx) = nullptr;
    void (*COLOR)(void* ctx, float r, float g, float b) = nullptr;
    void (*NORMAL)(void* ctx, float x, float y, float z) = nullptr;
    void (*VERTEX)(void* ctx, float x, float y, float z) = nullptr;
};

// The box round every vertex sent to a sink (FINITE: none had a NaN or infinite coordinate).
struct KVTILEBOX {
    bool SET = false;
    bool FINITE = true;
    float LO[3] = {}, HI[3] = {};
};
// Grows the box round (x, y, z).
void kv_tile_box_add(KVTILEBOX& box, float x, float y, float z);

// The sink that issues glBegin(GL_TRIANGLES)/glColor3f/glNormal3f/glVertex3f/glEnd; given a
// box, it also grows the box round every vertex it sends.
KVTILESINK kv_tile_sink_gl(KVTILEBOX* box = nullptr);

// Colour de-duplication state: the last requested colour and the force flag.
struct KVCOLORSTATE {
    float R = 0, G = 0, B = 0;
    int32_t FORCE = 0;
};

// Sends (floor(100 r) / 100, ...) when the colour differs from the last one or FORCE is 1;
// remembers it and clears FORCE. Returns true when a colour was sent.
bool kv_pick_color(KVCOLORSTATE& state, const KVTILESINK& sink, float r, float g, float b);
// Height colours of ground and of wall faces below the water line.
KVCOLOR3 kv_ground_color(const KVMAPVIEW& map, float y);
KVCOLOR3 kv_road_color(const KVMAPVIEW& map, float y);

// Everything one tile's geometry depends on.
struct KVTILEINPUT {
    KVMAPVIEW MAP;
    const KVGROUNDCIRCLEPOLYLOOKUPTYPE* LOOKUP = nullptr;  // 8 records, may be null
    const int32_t* CLASSSIZE = nullptr;                    // 21 building footprint sizes, may be null
    KVUNIFORMFN UNIFORM = nullptr;                         // normal jitter source, null: none
};

// Emits tile (tx, tz) (0-63 each; others emit nothing and return false): ground cells (codes 0
// and 3) as two smoothed triangles each, coloured by height; paved platforms (code 1) lifted to
// the water surface with walls towards code 0 and 3 neighbours; the plinth walls of the
// buildings anchored in the tile (codes 4-19). Returns true when the tile was emitted.
bool kv_tile_emit(const KVTILEINPUT& in, KVCOLORSTATE& color, const KVTILESINK& sink, int32_t tx, int32_t tz);

// Per-frame tile visibility round the gunship.
constexpr int32_t KV_BOXSLOTS = 65;
using KVBOXARRAY = int8_t[KV_BOXSLOTS][KV_BOXSLOTS];

// Marks in box[D + i][D + j] the tile offsets (i, j), -D <= i, j <= D, inside the forward cone
// of a gunship heading angle_deg (apex 5.6 tiles behind it, half-angle about 37 degrees) and
// clears the others. D is bounded to 0-32. Returns the number of marked offsets.
int32_t kv_view_cone(float angle_deg, int32_t D, KVBOXARRAY& box);

struct KVVIEWDENSITY {
    float SIZE = 1.0f;      // view size target: 1.0, 0.9, ... 0.5
    int32_t AREA = 0;       // building area counted at the final radius
    int32_t CELLS = 0;      // cells analysed (64 per marked on-map tile)
    float DENSITY = 0.0f;   // AREA / CELLS at the final radius
};
// Shrinks the view radius while small buildings (classes 1, 2 and 5) cover more than 8 percent
// of the analysed cells round tile (px8, pz8).
KVVIEWDENSITY kv_view_density(const KVMAPVIEW& map, const int32_t* classsize, const KVBOXARRAY& box, int32_t D,
                              int32_t px8, int32_t pz8);
// The per-frame sector pass: the tiles chosen for this frame, ground and buildings drawn tile
// by tile in the order given. Everything in it is opaque, so the pass draws with blending off
// and restores the caller's blend state afterwards; the pixels are the same as drawing every
// tile with the caller's state.
constexpr int32_t KV_SECTORPASS_SLOTS = KV_BOXSLOTS * KV_BOXSLOTS;
struct KVSECTORPASS {
    int32_t COUNT = 0;
    int16_t TX[KV_SECTORPASS_SLOTS] = {};
    int16_t TZ[KV_SECTORPASS_SLOTS] = {};
};
// Appends tile (tx, tz); ignored when the pass is full.
void kv_sector_pass_add(KVSECTORPASS& pass, int32_t tx, int32_t tz);
// Orders the pass nearest first: by the eye depth in the view of each tile's centre at height
// y; tiles at the same depth keep their order.
void kv_sector_pass_sort_near_first(KVSECTORPASS& pass, const ViewVolume& view, float y);
// Draws the pass with the current OpenGL matrices: draw(tx, tz) draws one tile.
void kv_sector_pass_draw(const KVSECTORPASS& pass, void (*draw)(int32_t tx, int32_t tz));
// Plain mode draws every tile in the caller's state, as the pass did before it managed the
// blend state: the reference the pass is checked and timed against. Returns the old setting.
bool kv_sector_pass_set_plain(bool plain);
// The current setting: in plain mode the map pass also sends every tile and building, even
// those wholly outside the view.
bool kv_sector_pass_plain();
