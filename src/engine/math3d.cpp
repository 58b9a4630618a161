// Vector operators, products and the matrix helpers on OpenGL-ordered 16-single arrays.
#include "engine/math3d.h"

#include <cmath>

int32_t math_round_even(double v) {
    if (!std::isfinite(v)) return 0;
    const double r = std::nearbyint(v);
    if (r >= 2147483647.0) return INT32_MAX;
    if (r <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(r);
}

VECTOR3D operator+(const VECTOR3D& a, const VECTOR3D& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
VECTOR3D operator-(const VECTOR3D& a) { return {-a.X, -a.Y, -a.Z}; }
VECTOR3D operator-(const VECTOR3D& a, const VECTOR3D& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
VECTOR3D operator-(const VECTOR3D& a, const VECTOR4D& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
VECTOR3D operator-(const VECTOR3D& a, float s) { return {a.X - s, a.Y - s, a.Z - s}; }
VECTOR3D operator*(const VECTOR3D& a, const VECTOR3D& b) { return {a.X * b.X, a.Y * b.Y, a.Z * b.Z}; }
VECTOR3D operator*(const VECTOR3D& a, const VECTOR4D& b) { return {a.X * b.X, a.Y * b.Y, a.Z * b.Z}; }
VECTOR4D operator*(const VECTOR4D& a, float s) { return {a.X * s, a.Y * s, a.Z * s, a.W * s}; }
VECTOR3D operator*(const VECTOR3D& a, float s) { return {a.X * s, a.Y * s, a.Z * s}; }
VECTOR3D operator/(const VECTOR3D& a, const VECTOR3D& b) { return {a.X / b.X, a.Y / b.Y, a.Z / b.Z}; }
VECTOR3D operator/(const VECTOR3D& a, float s) { return {a.X / s, a.Y / s, a.Z / s}; }

float MATH_DOT(const VECTOR4D& V1, const VECTOR4D& V2) {
    return V1.X * V2.X + V1.Y * V2.Y + V1.Z * V2.Z + V1.W * V2.W;
}

VECTOR3D MATH_CROSS(const VECTOR3D& V1, const VECTOR3D& V2) {
    float d1 = std::sqrt(V1.X * V1.X + V1.Y * V1.Y + V1.Z * V1.Z);
    VECTOR3D a1 = V1 / d1;
    float d2 = std::sqrt(V2.X * V2.X + V2.Y * V2.Y + V2.Z * V2.Z);
    VECTOR3D a2 = V2 / d2;
    VECTOR3D a3{a1.Y * a2.Z - a1.Z * a2.Y, a1.Z * a2.X - a1.X * a2.Z, a1.X * a2.Y - a1.Y * a2.X};
    float d3 = std::sqrt(a3.X * a3.X + a3.Y * a3.Y + a3.Z * a3.Z);
    return a3 / d3;
}

void MATH_SPHERE2CARTESIAN(float RADIUS, float HEIGHT, float& X, float& Y, float& Z, float AN1, float AN2) {
    double a1 = AN1 * MATH_DEG2RAD;
    double a2 = AN2 * MATH_DEG2RAD;
    float f = static_cast<float>(std::sin(a1) * RADIUS);
    Y = static_cast<float>(std::cos(a1) * HEIGHT);
    Z = static_cast<float>(std::cos(a2) * f);
    X = static_cast<float>(std::sin(a2) * f);
}

void MATRIX_LOADIDENTITY(float* MATRIX) {
    for (int k = 0; k < 16; ++k) MATRIX[k] = (k % 5 == 0) ? 1.0f : 0.0f;
}

void MATRIX_MULTIPLY(float* MATRIXA, const float* MATRIXB) {
    float c[16];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            c[i * 4 + j] = MATRIXA[i * 4 + 0] * MATRIXB[j] + MATRIXA[i * 4 + 1] * MATRIXB[4 + j] +
                           MATRIXA[i * 4 + 2] * MATRIXB[8 + j] + MATRIXA[i * 4 + 3] * MATRIXB[12 + j];
    for (int k = 0; k < 16; ++k) MATRIXA[k] = c[k];
}

void MATRIX_MULTIPLY_POINT(const float* M, VECTOR4D& P) {
    const float x = P.X, y = P.Y, z = P.Z, w = P.W;
    P.X = x * M[0] + y * M[4] + z * M[8] + w * M[12];
    P.Y = x * M[1] + y * M[5] + z * M[9] + w * M[13];
    P.Z = x * M[2] + y * M[6] + z * M[10] + w * M[14];
    P.W = w;
}

void MATRIX_ROTATE(float* MATRIX, float ANGLE, float X, float Y, float Z) {
    float r[16];
    if (X != 0.0f) {
        double a = static_cast<double>(X) * ANGLE * MATH_DEG2RAD;
        float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
        MATRIX_LOADIDENTITY(r);
        r[5] = c;
        r[6] = -s;
        r[9] = s;
        r[10] = c;
        MATRIX_MULTIPLY(MATRIX, r);
    }
    if (Y != 0.0f) {
        double a = static_cast<double>(Y) * ANGLE * MATH_DEG2RAD;
        float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
        MATRIX_LOADIDENTITY(r);
        r[0] = c;
        r[2] = s;
        r[8] = -s;
        r[10] = c;
        MATRIX_MULTIPLY(MATRIX, r);
    }
    if (Z != 0.0f) {
        double a = static_cast<double>(Z) * ANGLE * MATH_DEG2RAD;
        float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
        MATRIX_LOADIDENTITY(r);
        r[0] = c;
        r[1] = -s;
        r[4] = s;
        r[5] = c;
        MATRIX_MULTIPLY(MATRIX, r);
    }
}

void MATRIX_TRANSLATE(float* MATRIX, float X, float Y, float Z) {
    MATRIX[12] += X;
    MATRIX[13] += Y;
    MATRIX[14] += Z;
}

void GET_INVERSE_MATRIX(float* INVERSE, const float* M) {
    float t[16];
    t[0] = M[0];
    t[1] = M[4];
    t[2] = M[8];
    t[4] = M[1];
    t[5] = M[5];
    t[6] = M[9];
    t[8] = M[2];
    t[9] = M[6];
    t[10] = M[10];
    t[3] = t[7] = t[11] = 0.0f;
    t[15] = 1.0f;
    t[12] = -(M[0] * M[12] + M[1] * M[13] + M[2] * M[14]);
    t[13] = -(M[4] * M[12] + M[5] * M[13] + M[6] * M[14]);
    t[14] = -(M[8] * M[12] + M[9] * M[13] + M[10] * M[14]);
    for (int k = 0; k < 16; ++k) INVERSE[k] = t[k];
}
