// Vectors and matrices: the operator set, products, and the order in which matrix helpers
// compose (OpenGL column order).
#include <gtest/gtest.h>

#include <cmath>

#include "engine/math3d.h"

namespace {

// Only the listed operator forms exist.
template <class A, class B>
concept Addable = requires(A a, B b) { a + b; };
template <class A, class B>
concept Subtractable = requires(A a, B b) { a - b; };
template <class A, class B>
concept Multipliable = requires(A a, B b) { a * b; };
template <class A, class B>
concept Divisible = requires(A a, B b) { a / b; };

static_assert(Addable<VECTOR3D, VECTOR3D>);
static_assert(!Addable<VECTOR3D, float>);
static_assert(!Addable<VECTOR4D, VECTOR4D>);
static_assert(!Subtractable<VECTOR4D, VECTOR4D>);
static_assert(!Subtractable<float, VECTOR3D>);
static_assert(!Multipliable<float, VECTOR3D>);
static_assert(!Divisible<VECTOR4D, float>);
static_assert(std::is_same_v<decltype(VECTOR3D{} * VECTOR4D{}), VECTOR3D>);
static_assert(std::is_same_v<decltype(VECTOR4D{} * 2.0f), VECTOR4D>);
static_assert(std::is_same_v<decltype(VECTOR3D{} - VECTOR4D{}), VECTOR3D>);

constexpr float kTol = 1e-5f;

void expect_matrix_near(const float* a, const float* b, float tol = kTol) {
    for (int k = 0; k < 16; ++k) EXPECT_NEAR(a[k], b[k], tol) << "element " << k;
}

}  // namespace

TEST(Vectors, ComponentWiseOperators) {
    VECTOR3D a{1, 2, 3}, b{4, -5, 6};
    VECTOR4D q{2, 3, 4, 100};
    auto eq = [](VECTOR3D v, float x, float y, float z) {
        EXPECT_FLOAT_EQ(v.X, x);
        EXPECT_FLOAT_EQ(v.Y, y);
        EXPECT_FLOAT_EQ(v.Z, z);
    };
    eq(a + b, 5, -3, 9);
    eq(-a, -1, -2, -3);
    eq(a - b, -3, 7, -3);
    eq(a - q, -1, -1, -1);
    eq(a - 1.0f, 0, 1, 2);
    eq(a * b, 4, -10, 18);
    eq(a * q, 2, 6, 12);
    eq(a * 2.0f, 2, 4, 6);
    eq(b / a, 4, -2.5f, 2);
    eq(a / 2.0f, 0.5f, 1, 1.5f);
    VECTOR4D s = q * 0.5f;
    EXPECT_FLOAT_EQ(s.W, 50.0f);
    EXPECT_FLOAT_EQ(s.X, 1.0f);
    VECTOR4D c = a;  // conversion sets W to 0
    EXPECT_FLOAT_EQ(c.Z, 3.0f);
    EXPECT_FLOAT_EQ(c.W, 0.0f);
    // Inputs are unchanged.
    eq(a, 1, 2, 3);
}

TEST(Vectors, DotCrossAndSphere) {
    // Plane y = 2 (normal up, distance -2) and a point with W = 1: signed distance.
    VECTOR4D plane{0, 1, 0, -2};
    VECTOR4D point{5, 7, 1, 1};
    EXPECT_FLOAT_EQ(MATH_DOT(plane, point), 5.0f);
    EXPECT_FLOAT_EQ(MATH_DOT(VECTOR3D{1, 2, 3}, VECTOR3D{4, 5, 6}), 32.0f);

    VECTOR3D n = MATH_CROSS(VECTOR3D{3, 0, 0}, VECTOR3D{0, 0.5f, 0});
    EXPECT_NEAR(n.X, 0, kTol);
    EXPECT_NEAR(n.Y, 0, kTol);
    EXPECT_NEAR(n.Z, 1, kTol);
    VECTOR3D m = MATH_CROSS(VECTOR3D{1, 1, 0}, VECTOR3D{1, 0, 0});
    EXPECT_NEAR(m.Z, -1, kTol);
    VECTOR3D bad = MATH_CROSS(VECTOR3D{1, 0, 0}, VECTOR3D{2, 0, 0});
    EXPECT_FALSE(std::isfinite(bad.X));

    float x = -1, y = -1, z = -1;
    MATH_SPHERE2CARTESIAN(2, 5, x, y, z, 0, 0);  // straight up: only the height
    EXPECT_NEAR(x, 0, kTol);
    EXPECT_NEAR(y, 5, kTol);
    EXPECT_NEAR(z, 0, kTol);
    MATH_SPHERE2CARTESIAN(2, 5, x, y, z, 90, 90);  // horizontal, heading 90: along +X
    EXPECT_NEAR(x, 2, 1e-4f);
    EXPECT_NEAR(y, 0, 1e-4f);
    EXPECT_NEAR(z, 0, 1e-4f);
    MATH_SPHERE2CARTESIAN(4, 4, x, y, z, 90, 0);  // heading 0: along +Z
    EXPECT_NEAR(z, 4, 1e-4f);
    EXPECT_NEAR(x, 0, 1e-4f);
}

TEST(Matrices, IdentityTranslateAndRotateElements) {
    float m[16], id[16];
    for (float& v : m) v = 9.0f;
    MATRIX_LOADIDENTITY(m);
    MATRIX_LOADIDENTITY(id);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(m[k], (k == 0 || k == 5 || k == 10 || k == 15) ? 1.0f : 0.0f);

    MATRIX_ROTATE(m, 45, 0, 0, 0);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(m[k], id[k]);

    MATRIX_TRANSLATE(m, 1, 2, 3);
    for (int k = 0; k < 12; ++k) EXPECT_EQ(m[k], id[k]);
    EXPECT_EQ(m[12], 1.0f);
    EXPECT_EQ(m[13], 2.0f);
    EXPECT_EQ(m[14], 3.0f);
    EXPECT_EQ(m[15], 1.0f);

    // 90 degrees about Z with pi taken as 3.14159: cosine slightly above zero.
    MATRIX_LOADIDENTITY(m);
    MATRIX_ROTATE(m, 90, 0, 0, 1);
    float c = static_cast<float>(std::cos(90 * 0.01745327777777778));
    EXPECT_GT(c, 1e-7f);
    EXPECT_NEAR(m[0], c, 1e-7f);
    EXPECT_NEAR(m[5], c, 1e-7f);
    EXPECT_NEAR(m[1], -1.0f, 1e-6f);
    EXPECT_NEAR(m[4], 1.0f, 1e-6f);
    EXPECT_EQ(m[10], 1.0f);

    MATRIX_LOADIDENTITY(m);
    MATRIX_ROTATE(m, 90, 1, 0, 0);
    EXPECT_NEAR(m[6], -1.0f, 1e-6f);
    EXPECT_NEAR(m[9], 1.0f, 1e-6f);
    MATRIX_LOADIDENTITY(m);
    MATRIX_ROTATE(m, 90, 0, 1, 0);
    EXPECT_NEAR(m[2], 1.0f, 1e-6f);
    EXPECT_NEAR(m[8], -1.0f, 1e-6f);
}

TEST(Matrices, MultiplyAppliesTheOldMatrixFirst) {
    // Translate, then rotate 90 about Z: the point is moved first, then turned.
    float m[16];
    MATRIX_LOADIDENTITY(m);
    MATRIX_TRANSLATE(m, 10, 0, 0);
    MATRIX_ROTATE(m, 90, 0, 0, 1);
    VECTOR4D p{1, 0, 0, 1};
    MATRIX_MULTIPLY_POINT(m, p);
    EXPECT_NEAR(p.X, 0.0f, 1e-4f);
    EXPECT_NEAR(p.Y, -11.0f, 1e-4f);
    EXPECT_NEAR(p.Z, 0.0f, 1e-4f);
    EXPECT_EQ(p.W, 1.0f);

    // MATRIX_MULTIPLY(A, B) leaves B x A in A, element by element.
    float a[16], b[16];
    for (int k = 0; k < 16; ++k) {
        a[k] = static_cast<float>(k + 1);
        b[k] = static_cast<float>((k * 7) % 5 - 2);
    }
    float expect[16];
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += b[k * 4 + row] * a[col * 4 + k];
            expect[col * 4 + row] = s;
        }
    float b_copy[16];
    for (int k = 0; k < 16; ++k) b_copy[k] = b[k];
    MATRIX_MULTIPLY(a, b);
    expect_matrix_near(a, expect, 0.0f);
    expect_matrix_near(b, b_copy, 0.0f);

    // Several weights rotate about X, then Y, then Z, each with its own weighted angle.
    float combined[16], stepwise[16];
    MATRIX_LOADIDENTITY(combined);
    MATRIX_ROTATE(combined, 30, 1, 2, 0.5f);
    MATRIX_LOADIDENTITY(stepwise);
    MATRIX_ROTATE(stepwise, 30, 1, 0, 0);
    MATRIX_ROTATE(stepwise, 60, 0, 1, 0);
    MATRIX_ROTATE(stepwise, 15, 0, 0, 1);
    expect_matrix_near(combined, stepwise);
}

TEST(Matrices, PointsDirectionsAndRigidInverse) {
    float m[16];
    MATRIX_LOADIDENTITY(m);
    MATRIX_ROTATE(m, 90, 0, 1, 0);
    MATRIX_TRANSLATE(m, 5, 6, 7);
    VECTOR4D dir{0, 0, 1, 0};
    MATRIX_MULTIPLY_POINT(m, dir);  // a direction is turned, never moved
    EXPECT_NEAR(dir.X, -1.0f, 1e-5f);  // +Z turns to -X
    EXPECT_NEAR(dir.Y, 0.0f, 1e-5f);
    EXPECT_NEAR(dir.Z, 0.0f, 1e-4f);
    EXPECT_EQ(dir.W, 0.0f);

    float t[16], inv[16];
    MATRIX_LOADIDENTITY(t);
    MATRIX_TRANSLATE(t, 3, -4, 5);
    GET_INVERSE_MATRIX(inv, t);
    EXPECT_EQ(inv[12], -3.0f);
    EXPECT_EQ(inv[13], 4.0f);
    EXPECT_EQ(inv[14], -5.0f);

    // A rotation plus translation times its inverse is the identity; the inverse may overwrite M.
    float r[16], id[16], prod[16];
    MATRIX_LOADIDENTITY(r);
    MATRIX_ROTATE(r, 37, 1, 0.5f, 2);
    MATRIX_TRANSLATE(r, 3, 8, -2);
    GET_INVERSE_MATRIX(inv, r);
    for (int k = 0; k < 16; ++k) prod[k] = r[k];
    MATRIX_MULTIPLY(prod, inv);
    MATRIX_LOADIDENTITY(id);
    expect_matrix_near(prod, id, 1e-5f);
    float same[16];
    for (int k = 0; k < 16; ++k) same[k] = r[k];
    GET_INVERSE_MATRIX(same, same);
    expect_matrix_near(same, inv, 0.0f);
}

// The one rounding rule every caller shares: halves go to the even neighbour, on both sides
// of zero, and nothing out of range reaches an undefined cast.
TEST(MathRoundEven, HalvesGoToTheEvenNeighbour) {
    const struct {
        double in;
        int32_t out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {6.5, 6}, {7.5, 8}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                 {2.4999, 2}, {2.5001, 3}, {-2.5001, -3}, {0.0, 0}, {-0.0, 0}};
    for (const auto& c : cases) EXPECT_EQ(math_round_even(c.in), c.out) << c.in;
    // A float argument rounds as its exact double value does.
    EXPECT_EQ(math_round_even(12.5f), 12);
    EXPECT_EQ(math_round_even(13.5f), 14);
}

TEST(MathRoundEven, OutOfRangeIsBoundedAndNotANumberIsZero) {
    EXPECT_EQ(math_round_even(2147483646.4), 2147483646);
    EXPECT_EQ(math_round_even(2147483647.0), INT32_MAX);
    EXPECT_EQ(math_round_even(3.0e9), INT32_MAX);
    EXPECT_EQ(math_round_even(1.0e300), INT32_MAX);
    EXPECT_EQ(math_round_even(-2147483648.0), INT32_MIN);
    EXPECT_EQ(math_round_even(-3.0e9), INT32_MIN);
    EXPECT_EQ(math_round_even(-1.0e300), INT32_MIN);
    EXPECT_EQ(math_round_even(std::nan("")), 0);
    EXPECT_EQ(math_round_even(INFINITY), 0);
    EXPECT_EQ(math_round_even(-INFINITY), 0);
}
