// What a drawing pass may leave out without changing a pixel: the view volume of projection x
// modelview (geometry wholly outside one of its six planes is clipped away entirely) and, when
// linear fog fades to the colour the frame was cleared with, a seventh plane at the fog's end
// (geometry wholly beyond it would be drawn in exactly the colour already there). Plain math on
// column-major OpenGL matrices, so the passes that use it (the map, the enemies) and its tests
// share one rule.
#pragma once

#include <cstdint>

struct ViewVolume {
    bool active = false;  // false: nothing is ever outside
    int32_t planes = 6;   // 7 with the fog's end
    float plane[7][4] = {};
    float depth[4] = {};  // eye depth (-z) of (x, y, z, 1): the negated third row of modelview
};

// The six planes of proj x modelview (column-major 4 x 4). Inactive when a matrix holds a
// non-finite number.
ViewVolume view_volume_from(const float proj[16], const float modelview[16]);
// Adds the plane at eye depth fog_end (plus a margin for rounding in the fog coordinate's
// interpolation); ignored when fog_end is not finite and positive.
void view_volume_add_fog_end(ViewVolume& v, float fog_end);

// True when the axis-aligned box lies wholly on the outer side of one plane, by a margin that
// rounding in the clip test cannot cross.
bool view_volume_box_outside(const ViewVolume& v, float x0, float y0, float z0, float x1, float y1, float z1);
// The same for a sphere of radius r round (x, y, z).
bool view_volume_sphere_outside(const ViewVolume& v, float x, float y, float z, float r);

// Eye-space depth (-z) of a point.
float view_depth(const ViewVolume& v, float x, float y, float z);
