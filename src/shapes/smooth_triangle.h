#pragma once

#include "shapes/shape.h"

// The barycentric weights (of v1, v2, v3) of a point in the triangle's
// plane; at a vertex its own weight is exactly 1.
void barycentric(const Point& v1, const Point& v2, const Point& v3, const Point& p, double& w1,
                 double& w2, double& w3);
// The shading normal at p: the unit vertex normals blended by p's weights;
// the flat normal where the blend vanishes.
Vector3 blendedNormal(const Point& v1, const Point& v2, const Point& v3, const Vector3& n1,
                      const Vector3& n2, const Vector3& n3, const Point& p);

// A triangle hit where the flat triangle is, shaded with the normal blended
// from its three vertex normals (made unit; a zero one counts as the flat
// normal). The vertex order fixes the flat normal as for Triangle.
class SmoothTriangle final : public Shape {
public:
    SmoothTriangle(const Point& p1, const Vector3& n1, const Point& p2, const Vector3& n2,
                   const Point& p3, const Vector3& n3);

    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point& p) override;
    Point getCorner1() const override;  // componentwise minimum
    Point getCorner2() const override;  // componentwise maximum
    void glDraw() const override;

    Point v[3];
    Vector3 n[3];
};
