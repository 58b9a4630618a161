// Vectors and 4 x 4 matrices shared by physics, meshes and the game: VECTOR3D and VECTOR4D with
// exactly the component-wise operators the game uses (no others on purpose, so a mistyped
// expression fails to compile), dot and cross products, the spherical-to-Cartesian conversion
// and matrix helpers on plain arrays of 16 singles in OpenGL order (element = column * 4 + row;
// 12, 13, 14 hold the translation). Angles are degrees, converted with MATH_DEG2RAD, which takes
// pi as 3.14159. No function checks its input; all work on caller storage without allocation.
#pragma once

#include <cstdint>

// Degree-to-radian factor used by every function that takes degrees (3.14159 / 180).
constexpr double MATH_DEG2RAD = 0.01745327777777778;

// The game's one rounding rule from a real to an integer: nearest, halves to even (6.5 gives
// 6, 7.5 gives 8). Out of range: NaN and infinities give 0, a finite value beyond the 32-bit
// range gives the nearer end, so a plain cast can never be undefined.
int32_t math_round_even(double v);

struct VECTOR4D {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    float W = 0.0f;
};

struct VECTOR3D {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    // Conversion to VECTOR4D: X, Y, Z copied, W = 0.
    operator VECTOR4D() const { return VECTOR4D{X, Y, Z, 0.0f}; }
};

VECTOR3D operator+(const VECTOR3D& a, const VECTOR3D& b);
VECTOR3D operator-(const VECTOR3D& a);
VECTOR3D operator-(const VECTOR3D& a, const VECTOR3D& b);
VECTOR3D operator-(const VECTOR3D& a, const VECTOR4D& b);  // W ignored
VECTOR3D operator-(const VECTOR3D& a, float s);             // s subtracted from each component
VECTOR3D operator*(const VECTOR3D& a, const VECTOR3D& b);
VECTOR3D operator*(const VECTOR3D& a, const VECTOR4D& b);  // W ignored
VECTOR4D operator*(const VECTOR4D& a, float s);
VECTOR3D operator*(const VECTOR3D& a, float s);
VECTOR3D operator/(const VECTOR3D& a, const VECTOR3D& b);
VECTOR3D operator/(const VECTOR3D& a, float s);

// X1*X2 + Y1*Y2 + Z1*Z2 + W1*W2 (a VECTOR3D operand converts with W = 0).
float MATH_DOT(const VECTOR4D& V1, const VECTOR4D& V2);
// Unit normal of the plane spanned by V1 and V2 (both normalised first). Parallel or zero-length
// inputs have no finite result.
VECTOR3D MATH_CROSS(const VECTOR3D& V1, const VECTOR3D& V2);
// AN1 from the vertical axis, AN2 the heading about it (degrees): F = sin(AN1) * RADIUS,
// Y = cos(AN1) * HEIGHT, Z = cos(AN2) * F, X = sin(AN2) * F.
void MATH_SPHERE2CARTESIAN(float RADIUS, float HEIGHT, float& X, float& Y, float& Z, float AN1, float AN2);

void MATRIX_LOADIDENTITY(float* MATRIX);
// MATRIXA := MATRIXB x MATRIXA (column-major): a point goes through the old A first, then B.
void MATRIX_MULTIPLY(float* MATRIXA, const float* MATRIXB);
// P := the point transformed by the upper three rows of M; W is kept as given (a direction with
// W = 0 is rotated but not translated).
void MATRIX_MULTIPLY_POINT(const float* MATRIXA, VECTOR4D& MATRIXB);
// Rotates in place by X*ANGLE about the X axis, then Y*ANGLE about Y, then Z*ANGLE about Z (zero
// weights are skipped).
void MATRIX_ROTATE(float* MATRIX, float ANGLE, float X, float Y, float Z);
// Adds X, Y, Z to elements 12, 13, 14.
void MATRIX_TRANSLATE(float* MATRIX, float X, float Y, float Z);
// INVERSE := the inverse of a rigid transform M (rotation plus translation; scaling is not
// compensated). INVERSE may be M itself.
void GET_INVERSE_MATRIX(float* INVERSE, const float* M);
