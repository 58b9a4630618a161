// Rigid-body physics: mass properties from the body's mesh (the surface as a uniform shell),
// the half-step integration of X/Z translation and yaw with velocity-proportional friction, and
// the model matrices. Refuses bodies whose mass properties would turn the step into a division
// by zero, with one console line per refused body until it becomes usable again.
#include "engine/physics.h"

#include <cmath>
#include <cstdio>

#include "engine/engine_globals.h"
#include "engine/log.h"
#include "engine/math3d.h"

namespace {

// The mesh of a body, or nullptr when its index names no loaded mesh.
const MODEL3D* body_mesh(const PHYSICSOBJECTTYPE& obj) {
    if (obj.MODELDBINDEX < 0 || static_cast<size_t>(obj.MODELDBINDEX) >= MODELDB.size()) {
        return nullptr;
    }
    return MODELDB[static_cast<size_t>(obj.MODELDBINDEX)].MODELHANDLE.get();
}

// Corners of triangle t; false when one of its point indices lies outside the vertex array.
bool triangle_corners(const MODEL3D& mesh, const TRIANGLE3D& t, VECTOR3D& p1, VECTOR3D& p2,
                      VECTOR3D& p3) {
    const size_t n = mesh.VERTICES.size();
    if (t.POINT_ID[0] >= n || t.POINT_ID[1] >= n || t.POINT_ID[2] >= n) return false;
    p1 = mesh.VERTICES[t.POINT_ID[0]];
    p2 = mesh.VERTICES[t.POINT_ID[1]];
    p3 = mesh.VERTICES[t.POINT_ID[2]];
    return true;
}

float triangle_area(const VECTOR3D& p1, const VECTOR3D& p2, const VECTOR3D& p3) {
    const VECTOR3D a = p2 - p1;
    const VECTOR3D b = p3 - p1;
    const float cx = a.Y * b.Z - a.Z * b.Y;
    const float cy = a.Z * b.X - a.X * b.Z;
    const float cz = a.X * b.Y - a.Y * b.X;
    return std::sqrt(cx * cx + cy * cy + cz * cz) / 2.0f;
}

VECTOR3D triangle_centroid(const VECTOR3D& p1, const VECTOR3D& p2, const VECTOR3D& p3) {
    return (p1 + p2 + p3) / 3.0f;
}

bool finite_positive(float v) { return std::isfinite(v) && v > 0.0f; }

// The last body refused by the step, so a body stuck in the refused state prints once and not
// once per frame.
const PHYSICSOBJECTTYPE* g_refused = nullptr;

}  // namespace

void PHYSICS_INITIALIZE() { PHYSICSDATA.UNIVERSALFRICTIONCONSTANT = 0.75f; }

bool physics_body_steppable(const PHYSICSOBJECTTYPE& obj) {
    return finite_positive(obj.MASS) && finite_positive(obj.MOMENTOFINERTIA);
}

void PHYSICS_CALCCENTEROFMASS(PHYSICSOBJECTTYPE& obj) {
    const MODEL3D* mesh = body_mesh(obj);
    VECTOR3D sum = {};
    float weight = 0.0f;
    if (mesh != nullptr) {
        for (const TRIANGLE3D& t : mesh->TRIANGLES) {
            VECTOR3D p1, p2, p3;
            if (!triangle_corners(*mesh, t, p1, p2, p3)) continue;
            const float area = triangle_area(p1, p2, p3);
            sum = sum + triangle_centroid(p1, p2, p3) * obj.MASS * area;
            weight += area * obj.MASS;
        }
    }
    if (!finite_positive(weight) || !std::isfinite(sum.X) || !std::isfinite(sum.Y) ||
        !std::isfinite(sum.Z)) {
        kv_log("PHYSICS: model %d has no mesh area (or no mass); its body cannot be stepped",
                    static_cast<int>(obj.MODELDBINDEX));
        obj.CENTEROFMASS = VECTOR3D{};
        return;
    }
    obj.CENTEROFMASS = sum / weight;
}

void PHYSICS_CALCMOMENTOFINERTIA(PHYSICSOBJECTTYPE& obj) {
    const MODEL3D* mesh = body_mesh(obj);
    float inertia = 0.0f;
    if (mesh != nullptr) {
        for (const TRIANGLE3D& t : mesh->TRIANGLES) {
            VECTOR3D p1, p2, p3;
            if (!triangle_corners(*mesh, t, p1, p2, p3)) continue;
            const VECTOR3D d = triangle_centroid(p1, p2, p3) - obj.CENTEROFMASS;
            inertia += triangle_area(p1, p2, p3) * obj.MASS * (d.X * d.X + d.Y * d.Y + d.Z * d.Z);
        }
    }
    obj.MOMENTOFINERTIA = std::isfinite(inertia) ? inertia : 0.0f;
}

void PHYSICS_CALCEFFECTIVECONTACTRADIUS(PHYSICSOBJECTTYPE& obj) {
    const MODEL3D* mesh = body_mesh(obj);
    float radius = 0.0f;
    if (mesh != nullptr) {
        for (const VECTOR3D& v : mesh->VERTICES) {
            const float r = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
            if (r > radius) radius = r;
        }
    }
    obj.EFFECTIVECONTACTRADIUS = radius;
}

bool PHYSICS_PROCESSPHYSICS(PHYSICSOBJECTTYPE& obj) {
    const float dt = PHYSICSDATA.TICKSPASSEDWEIGHTED;
    const float F = PHYSICSDATA.UNIVERSALFRICTIONCONSTANT;
    const float T = PHYSICSDATA.UNIVERSALTORQUEFRICTIONCONSTANT;
    const float m = obj.MASS;
    const float I = obj.MOMENTOFINERTIA;

    obj.POSITIONBACKUP.X = obj.POSITION.X;
    obj.POSITIONBACKUP.Z = obj.POSITION.Z;

    if (!physics_body_steppable(obj) || !std::isfinite(dt) || !std::isfinite(F) ||
        !std::isfinite(T) || T == 0.0f) {
        if (g_refused != &obj) {
            kv_log("PHYSICS: body of model %d not stepped: mass %g, moment of inertia %g, "
                        "torque friction %g are not usable",
                        static_cast<int>(obj.MODELDBINDEX), static_cast<double>(m),
                        static_cast<double>(I), static_cast<double>(T));
            g_refused = &obj;
        }
        obj.LINEARFORCE.X = 0.0f;
        obj.LINEARFORCE.Z = 0.0f;
        obj.TOTALTORQUELAST = obj.TOTALTORQUE;
        obj.TOTALTORQUE = 0.0f;
        PHYSICS_UPDATEOBJECTMATRIX(obj);
        return false;
    }
    if (g_refused == &obj) g_refused = nullptr;

    // Linear: the force and the friction give the acceleration; the velocity takes half of it
    // per millisecond and the position moves by the new velocity.
    float ax = obj.LINEARFORCE.X / m;
    float az = obj.LINEARFORCE.Z / m;
    ax = ax - F * obj.LINEARVELOCITY.X / m;
    az = az - F * obj.LINEARVELOCITY.Z / m;
    obj.LINEARACCELERATION.X = ax;
    obj.LINEARACCELERATION.Z = az;
    obj.LINEARVELOCITY.X = obj.LINEARVELOCITY.X + (ax / 2.0f) * dt;
    obj.LINEARVELOCITY.Z = obj.LINEARVELOCITY.Z + (az / 2.0f) * dt;
    obj.POSITION.X = obj.POSITION.X + dt * obj.LINEARVELOCITY.X;
    obj.POSITION.Z = obj.POSITION.Z + dt * obj.LINEARVELOCITY.Z;
    obj.LINEARFORCE.X = 0.0f;
    obj.LINEARFORCE.Z = 0.0f;

    // Angular: the friction divides by T alone; the angle is never wrapped.
    float alpha = obj.TOTALTORQUE / I;
    alpha = alpha - obj.ANGULARVELOCITY / T;
    obj.ANGULARACCELERATION = alpha;
    obj.ANGULARVELOCITY = obj.ANGULARVELOCITY + (alpha / 2.0f) * dt;
    obj.ANGLE = obj.ANGLE + dt * obj.ANGULARVELOCITY;
    obj.TOTALTORQUELAST = obj.TOTALTORQUE;
    obj.TOTALTORQUE = 0.0f;

    PHYSICS_UPDATEOBJECTMATRIX(obj);
    return true;
}

void PHYSICS_UPDATEOBJECTMATRIX(PHYSICSOBJECTTYPE& obj) {
    MATRIX_LOADIDENTITY(obj.MATRIX);
    MATRIX_LOADIDENTITY(obj.MATRIX2);
    MATRIX_ROTATE(obj.MATRIX, obj.ZANGLE, 0.0f, 0.0f, 1.0f);
    MATRIX_ROTATE(obj.MATRIX, obj.XANGLE, 1.0f, 0.0f, 0.0f);
    MATRIX_ROTATE(obj.MATRIX, obj.ANGLE, 0.0f, 1.0f, 0.0f);
    MATRIX_ROTATE(obj.MATRIX2, obj.ANGLE, 0.0f, 1.0f, 0.0f);
    MATRIX_TRANSLATE(obj.MATRIX, obj.POSITION.X, obj.POSITION.Y, obj.POSITION.Z);
    MATRIX_TRANSLATE(obj.MATRIX2, obj.POSITION.X, obj.POSITION.Y, obj.POSITION.Z);
}
