// Mission lighting: light 0 as a point light fixed in the world, and the light position
// expressed in the current model-view space.
#pragma once

void KV_SETUPLIGHTS();
void KV_GETLIGHTDATA();
