// Rigid-body integrator and mass properties: half-step velocity update, friction decay,
// terminal speeds, cleared forces, matrices from the angles, and the refusal of bodies whose
// mass properties would divide by zero.
#include <gtest/gtest.h>

#include <cmath>
#include <array>
#include <memory>
#include <vector>

#include "engine/engine_globals.h"
#include "engine/physics.h"

namespace {

// Puts a mesh made of the given triangles into a fresh model database slot; returns its index.
int32_t add_mesh(const std::vector<VECTOR3D>& vertices, const std::vector<std::array<uint32_t, 3>>& tris) {
    auto mesh = std::make_unique<MODEL3D>();
    mesh->VERTICES = vertices;
    mesh->MAX_VERTICES = static_cast<uint32_t>(vertices.size());
    for (const auto& t : tris) {
        TRIANGLE3D tri;
        tri.POINT_ID[0] = t[0];
        tri.POINT_ID[1] = t[1];
        tri.POINT_ID[2] = t[2];
        mesh->TRIANGLES.push_back(tri);
    }
    mesh->MAX_TRIANGLES = static_cast<uint32_t>(tris.size());
    MODELDB.emplace_back();
    MODELDB.back().MODELHANDLE = std::move(mesh);
    return static_cast<int32_t>(MODELDB.size() - 1);
}

// A body ready to step: gunship-like mass and friction, the given inertia.
PHYSICSOBJECTTYPE ready_body(float inertia = 1000.0f) {
    PHYSICSOBJECTTYPE b;
    b.MASS = 10000.0f;
    b.MOMENTOFINERTIA = inertia;
    PHYSICSDATA.UNIVERSALFRICTIONCONSTANT = 56.0f;
    PHYSICSDATA.UNIVERSALTORQUEFRICTIONCONSTANT = 50.0f;
    PHYSICSDATA.TICKSPASSEDWEIGHTED = 16.0f;
    return b;
}

}  // namespace

TEST(PhysicsStep, HalfStepVelocityAndPositionFromTheNewVelocity) {
    PHYSICSOBJECTTYPE b = ready_body();
    b.POSITION = {100.0f, 7.0f, 200.0f};
    b.LINEARFORCE = {2.0f, 0.0f, -1.0f};
    ASSERT_TRUE(PHYSICS_PROCESSPHYSICS(b));
    // a = f / m (no velocity yet), v = a / 2 * dt, x += dt * v
    const float ax = 2.0f / 10000.0f, az = -1.0f / 10000.0f;
    EXPECT_FLOAT_EQ(b.LINEARACCELERATION.X, ax);
    EXPECT_FLOAT_EQ(b.LINEARVELOCITY.X, ax / 2.0f * 16.0f);
    EXPECT_FLOAT_EQ(b.LINEARVELOCITY.Z, az / 2.0f * 16.0f);
    EXPECT_FLOAT_EQ(b.POSITION.X, 100.0f + 16.0f * (ax / 2.0f * 16.0f));
    EXPECT_FLOAT_EQ(b.POSITION.Z, 200.0f + 16.0f * (az / 2.0f * 16.0f));
    EXPECT_EQ(b.POSITION.Y, 7.0f);
    EXPECT_EQ(b.POSITIONBACKUP.X, 100.0f);
    EXPECT_EQ(b.POSITIONBACKUP.Z, 200.0f);
}

TEST(PhysicsStep, FrictionDecaysVelocityByTheStatedFactorEachStep) {
    PHYSICSOBJECTTYPE b = ready_body();
    b.LINEARVELOCITY = {0.05f, 0.0f, -0.02f};
    const float factor = 1.0f - 56.0f * 16.0f / (2.0f * 10000.0f);
    float vx = 0.05f, x = 0.0f;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(PHYSICS_PROCESSPHYSICS(b));
        vx *= factor;
        x += 16.0f * vx;
        EXPECT_NEAR(b.LINEARVELOCITY.X, vx, 1e-7f) << "step " << i;
    }
    EXPECT_NEAR(b.POSITION.X, x, 1e-5f);
    EXPECT_NEAR(b.LINEARVELOCITY.Z, -0.02f * std::pow(factor, 10.0f), 1e-7f);
}

TEST(PhysicsStep, TerminalSpeedAndYawRate) {
    PHYSICSOBJECTTYPE b = ready_body(5000.0f);
    for (int i = 0; i < 2000; ++i) {
        b.LINEARFORCE.X = -1.5f;
        b.TOTALTORQUE = 175.0f;
        ASSERT_TRUE(PHYSICS_PROCESSPHYSICS(b));
    }
    EXPECT_NEAR(b.LINEARVELOCITY.X, -1.5f / 56.0f, 1e-6f);
    EXPECT_NEAR(b.ANGULARVELOCITY, 175.0f * 50.0f / 5000.0f, 1e-4f);
    EXPECT_GT(b.ANGLE, 360.0f) << "the heading is not wrapped";
}

TEST(PhysicsStep, StepClearsForcesAndTorqueAndDependsOnTheSmoothedStep) {
    PHYSICSOBJECTTYPE a = ready_body();
    a.LINEARFORCE = {3.0f, 9.0f, 4.0f};
    a.TOTALTORQUE = 12.0f;
    ASSERT_TRUE(PHYSICS_PROCESSPHYSICS(a));
    EXPECT_EQ(a.LINEARFORCE.X, 0.0f);
    EXPECT_EQ(a.LINEARFORCE.Z, 0.0f);
    EXPECT_EQ(a.LINEARFORCE.Y, 9.0f) << "Y is not the body's business";
    EXPECT_EQ(a.TOTALTORQUE, 0.0f);
    EXPECT_EQ(a.TOTALTORQUELAST, 12.0f);

    PHYSICSOBJECTTYPE s = ready_body();
    PHYSICSOBJECTTYPE l = ready_body();
    s.LINEARFORCE.X = l.LINEARFORCE.X = 1.0f;
    PHYSICSDATA.TICKSPASSEDWEIGHTED = 16.0f;
    PHYSICS_PROCESSPHYSICS(s);
    PHYSICSDATA.TICKSPASSEDWEIGHTED = 32.0f;
    PHYSICS_PROCESSPHYSICS(l);
    // x = dt * (f / m / 2 * dt): four times as far for twice the step
    EXPECT_FLOAT_EQ(l.POSITION.X, 4.0f * s.POSITION.X);
}

TEST(PhysicsMatrix, YawTiltAndPositionBuildBothMatrices) {
    PHYSICSOBJECTTYPE b = ready_body();
    b.ANGLE = 90.0f;
    b.XANGLE = 10.0f;
    b.POSITION = {5.0f, 1.0f, 7.0f};
    PHYSICS_UPDATEOBJECTMATRIX(b);
    EXPECT_EQ(b.MATRIX[12], 5.0f);
    EXPECT_EQ(b.MATRIX[13], 1.0f);
    EXPECT_EQ(b.MATRIX2[14], 7.0f);
    // The nose (-1, 0, 0) at heading 90 points to -Z, the thrust direction (-cos a, -sin a).
    VECTOR4D nose{-1.0f, 0.0f, 0.0f, 0.0f};
    MATRIX_MULTIPLY_POINT(b.MATRIX2, nose);
    EXPECT_NEAR(nose.X, 0.0f, 1e-5f);
    EXPECT_NEAR(nose.Z, -1.0f, 1e-5f);
    // MATRIX2 carries no tilt: its Y axis stays vertical; MATRIX banks it.
    EXPECT_NEAR(b.MATRIX2[5], 1.0f, 1e-6f);
    EXPECT_LT(b.MATRIX[5], 0.99f);
}

TEST(PhysicsMassProperties, SingleTriangleAndTwoTriangleShell) {
    PHYSICSOBJECTTYPE b;
    b.MASS = 10.0f;
    b.MODELDBINDEX = add_mesh({{0, 0, 0}, {3, 0, 0}, {0, 3, 0}}, {{0, 1, 2}});
    PHYSICS_CALCCENTEROFMASS(b);
    PHYSICS_CALCMOMENTOFINERTIA(b);
    PHYSICS_CALCEFFECTIVECONTACTRADIUS(b);
    EXPECT_FLOAT_EQ(b.CENTEROFMASS.X, 1.0f);
    EXPECT_FLOAT_EQ(b.CENTEROFMASS.Y, 1.0f);
    EXPECT_EQ(b.MOMENTOFINERTIA, 0.0f);
    EXPECT_FLOAT_EQ(b.EFFECTIVECONTACTRADIUS, 3.0f);

    // Two triangles of areas 0.5 and 2 with centroids 6 units apart: the centre of mass sits
    // at the area-weighted mean, and the inertia is sum(area * m * d^2) without normalising.
    PHYSICSOBJECTTYPE c;
    c.MASS = 2.0f;
    c.MODELDBINDEX = add_mesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {6, 0, 0}, {8, 0, 0}, {6, 2, 0}},
                              {{0, 1, 2}, {3, 4, 5}});
    PHYSICS_CALCCENTEROFMASS(c);
    PHYSICS_CALCMOMENTOFINERTIA(c);
    const VECTOR3D c1{1.0f / 3, 1.0f / 3, 0}, c2{20.0f / 3, 2.0f / 3, 0};
    const float cx = (c1.X * 0.5f + c2.X * 2.0f) / 2.5f, cy = (c1.Y * 0.5f + c2.Y * 2.0f) / 2.5f;
    EXPECT_NEAR(c.CENTEROFMASS.X, cx, 1e-5f);
    EXPECT_NEAR(c.CENTEROFMASS.Y, cy, 1e-5f);
    const float d1 = (c1.X - cx) * (c1.X - cx) + (c1.Y - cy) * (c1.Y - cy);
    const float d2 = (c2.X - cx) * (c2.X - cx) + (c2.Y - cy) * (c2.Y - cy);
    EXPECT_NEAR(c.MOMENTOFINERTIA, 0.5f * 2.0f * d1 + 2.0f * 2.0f * d2, 1e-3f);
}

TEST(PhysicsRefusal, BodiesWithoutUsableMassPropertiesAreNotStepped) {
    // A mesh whose triangles are all degenerate, an index past the database and a missing
    // slot: no area, so no finite centre of mass; the body is refused, not filled with NaN.
    const int32_t flat = add_mesh({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}, {{0, 1, 2}, {0, 0, 1}});
    for (int32_t index : {flat, 999999, -3}) {
        PHYSICSOBJECTTYPE b = ready_body();
        b.MODELDBINDEX = index;
        PHYSICS_CALCCENTEROFMASS(b);
        PHYSICS_CALCMOMENTOFINERTIA(b);
        EXPECT_TRUE(std::isfinite(b.CENTEROFMASS.X)) << index;
        EXPECT_EQ(b.MOMENTOFINERTIA, 0.0f) << index;
        b.POSITION = {50.0f, 0.0f, 60.0f};
        b.LINEARVELOCITY = {0.1f, 0.0f, 0.0f};
        b.LINEARFORCE = {1.0f, 0.0f, 1.0f};
        b.TOTALTORQUE = 5.0f;
        EXPECT_FALSE(PHYSICS_PROCESSPHYSICS(b)) << index;
        EXPECT_EQ(b.POSITION.X, 50.0f);
        EXPECT_EQ(b.ANGLE, 0.0f);
        EXPECT_EQ(b.LINEARFORCE.X, 0.0f) << "forces do not pile up while refused";
        EXPECT_EQ(b.TOTALTORQUE, 0.0f);
    }
    // A triangle whose point index lies past the vertex array is skipped, not read.
    PHYSICSOBJECTTYPE d;
    d.MASS = 1.0f;
    d.MODELDBINDEX = add_mesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 1, 77}});
    PHYSICS_CALCCENTEROFMASS(d);
    EXPECT_FLOAT_EQ(d.CENTEROFMASS.X, 1.0f / 3.0f);
    // Zero mass, and zero torque friction before the game's constants are set.
    PHYSICSOBJECTTYPE z = ready_body();
    z.MASS = 0.0f;
    EXPECT_FALSE(PHYSICS_PROCESSPHYSICS(z));
    PHYSICSOBJECTTYPE t = ready_body();
    PHYSICSDATA.UNIVERSALTORQUEFRICTIONCONSTANT = 0.0f;
    EXPECT_FALSE(PHYSICS_PROCESSPHYSICS(t));
    EXPECT_TRUE(std::isfinite(t.ANGULARVELOCITY));
}
