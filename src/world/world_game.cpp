// The game's world entry points on the global records. Until the global records exist these
// keep the program linkable and do nothing.
#include "world/buildings.h"
#include "world/ground.h"
#include "world/map.h"
#include "world/terrain.h"

void KV_INITIALIZE_MAPS() {}
void KV_LOAD_MISSIONMAP(const std::string&) {}
void KV_INITIALIZE_KVGROUNDCIRCLEPOLYLOOKUP() {}
void KV_GROUNDPOLYLOOKUP(int32_t, int32_t, KVGROUNDPOLYDATATYPE&, int32_t) {}
float KV_FINDMAPY(float, float) { return 0; }
float KV_FINDMAPYNOSPACER(float, float) { return 0; }
void KV_FINDGUNSHIPY() {}
void KV_PICKCOLORPRINT(float, float, float) {}
void KV_PICKWATERCOLORGROUND(float) {}
void KV_PICKWATERCOLORROAD(float) {}
void KV_RENDER_MAPDL(int32_t, int32_t) {}
void KV_RENDER_SECTOR(int32_t, int32_t) {}
void KV_RENDER_MAP() {}
void KV_RENDER_MINIMAPDL() {}
void KV_RENDER_MINIMAPPLAYER() {}
void KV_LOAD_BUILDINGS_SETUPDATA(int32_t, int32_t, const std::string&) {}
void KV_LOAD_BUILDINGS() {}
void KV_RENDER_BUILDINGS(int32_t, int32_t) {}
