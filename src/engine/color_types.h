// The colour record RGBALPHA shared by meshes, fonts, projectiles and the terrain colour
// state. Types only.
#pragma once

// A colour with alpha, each channel 0 to 1.
struct RGBALPHA {
    float R = 0.0f;
    float G = 0.0f;
    float B = 0.0f;
    float A = 0.0f;
};
