// Definitions of the engine services' globals (see engine_globals.h).
#include "engine/engine_globals.h"

float SHADOW_INFINITY = 0.0f;

std::vector<MODELDBTYPE> MODELDB(1);
int32_t MODELDBLENGTH = 0;

uint32_t FONTIMG[FONT_NGLYPHS] = {};
uint32_t FONTDL[FONT_NGLYPHS] = {};
int32_t CHARWIDTH[FONT_NGLYPHS] = {};
int32_t FONTHEIGHT = 0;
int32_t FONTWIDTH = 0;
float FONTXS = 0.0f;
float FONTYS = 0.0f;
int32_t FONTXOFF = 0;
int32_t FONT_CBLUE = 0;
int32_t FONT_CWHITE = 0;
FONTDATATYPE FONTDATA;

std::vector<FONTDBTYPE> FONTDB;
std::vector<FONTDBTYPE> FONTDB_G;

PHYSICSDATATYPE PHYSICSDATA;

int32_t COLLISIONPASS = 0;
VECTOR3D COLLISIONPOINT = {};
GLOBALLINETYPE GLOBALLINE[GLOBALLINE_SLOTS] = {};
int32_t MAXGLOBALLINES = 0;

OPENGLPROPERTIESTYPE OPENGLPROPERTIES;

float JOYAXIS[6] = {};

int32_t FP = 0;
int32_t FPS = 0;
int32_t SYSTEM_NEXTTICKS = 0;
int32_t SYSTEM_TICKS = 0;
float FPSR = 0.0f;

float TEMPX = 0.0f;
float TEMPY = 0.0f;
float TEMPZ = 0.0f;
