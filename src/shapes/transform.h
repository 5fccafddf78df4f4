#pragma once

#include "matrix4x4.h"
#include "vector3.h"

// An affine map from an object's own space to the scene, with its inverse.
// translate, rotate and scale compose in the order written: each one acts
// on the result of the ones before it.
struct Transform {
    Matrix4x4 toWorld;
    Matrix4x4 toObject;

    Transform();  // the identity

    void translate(const Vector3& offset);
    // Degrees about x, then y, then z.
    void rotate(const Vector3& degrees);
    // A zero factor flattens the object; the scene reader rejects it.
    void scale(const Vector3& factors);

    Point pointToObject(const Point& p) const { return toObject * p; }
    Point pointToWorld(const Point& p) const { return toWorld * p; }
    Vector3 vectorToObject(const Vector3& v) const { return linear(toObject, v); }
    Vector3 vectorToWorld(const Vector3& v) const { return linear(toWorld, v); }
    // By the inverse transpose, not normalised.
    Vector3 normalToWorld(const Vector3& n) const;
    // The scene-space box around the object-space box lo..hi: the bounds of
    // its eight transformed corners.
    void boundsToWorld(const Point& lo, const Point& hi, Point& worldLo, Point& worldHi) const;

private:
    static Vector3 linear(const Matrix4x4& m, const Vector3& v) {
        return Vector3(m.m[0][0] * v.x + m.m[0][1] * v.y + m.m[0][2] * v.z,
                       m.m[1][0] * v.x + m.m[1][1] * v.y + m.m[1][2] * v.z,
                       m.m[2][0] * v.x + m.m[2][1] * v.y + m.m[2][2] * v.z);
    }
    // Puts step before the transforms so far.
    void append(const Matrix4x4& step, const Matrix4x4& stepInverse);
};
