// The engine services' process-wide globals: the model database, the bitmap and segment font
// tables, the physics constants, the window and frame-time state and the small reserved
// globals. All exist from before main until the process ends; every number starts at 0.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/font_types.h"
#include "engine/gl_types.h"
#include "engine/math3d.h"
#include "engine/model_types.h"
#include "engine/physics_types.h"

inline constexpr int GLOBALLINE_SLOTS = 101;   // GLOBALLINE 0-100

extern float SHADOW_INFINITY;                  // reserved

// Model database: starts with one zero-filled slot and MODELDBLENGTH 0. Entries are
// appended by the mesh loader and never removed; an index stays valid for the whole run.
extern std::vector<MODELDBTYPE> MODELDB;
extern int32_t MODELDBLENGTH;

// Bitmap font (slot = character code - 32).
extern uint32_t FONTIMG[FONT_NGLYPHS];
extern uint32_t FONTDL[FONT_NGLYPHS];
extern int32_t CHARWIDTH[FONT_NGLYPHS];
extern int32_t FONTHEIGHT;
extern int32_t FONTWIDTH;
extern float FONTXS;
extern float FONTYS;
extern int32_t FONTXOFF;
extern int32_t FONT_CBLUE;
extern int32_t FONT_CWHITE;
extern FONTDATATYPE FONTDATA;

// Segment font: plain and gradient glyph sets, empty until the segment font is initialised
// (then FONTDB_NSLOTS slots each).
extern std::vector<FONTDBTYPE> FONTDB;
extern std::vector<FONTDBTYPE> FONTDB_G;

// Physics time step and friction; zero until the physics initialisation.
extern PHYSICSDATATYPE PHYSICSDATA;

// Reserved collision and debug-line globals.
extern int32_t COLLISIONPASS;
extern VECTOR3D COLLISIONPOINT;
extern GLOBALLINETYPE GLOBALLINE[GLOBALLINE_SLOTS];
extern int32_t MAXGLOBALLINES;

// Window size and mode.
extern OPENGLPROPERTIESTYPE OPENGLPROPERTIES;

// Controller axis readings (declared; nothing reads them).
extern float JOYAXIS[6];

// Frame-time state: frames in the current second, frames in the last second, when the next
// figure is taken, the time of the last frame end (ms) and the smoothed frame factor.
extern int32_t FP;
extern int32_t FPS;
extern int32_t SYSTEM_NEXTTICKS;
extern int32_t SYSTEM_TICKS;
extern float FPSR;

// Live-tuning adjustment values.
extern float TEMPX;
extern float TEMPY;
extern float TEMPZ;
