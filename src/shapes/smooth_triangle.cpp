#include "shapes/smooth_triangle.h"

#include <algorithm>

#include "geom_hit.h"

void barycentric(const Point& v1, const Point& v2, const Point& v3, const Point& p, double& w1,
                 double& w2, double& w3) {
    const Vector3 e1 = v2 - v1;
    const Vector3 e2 = v3 - v1;
    const Vector3 ep = p - v1;
    const double d11 = e1 * e1, d12 = e1 * e2, d22 = e2 * e2;
    const double dp1 = ep * e1, dp2 = ep * e2;
    const double denom = d11 * d22 - d12 * d12;
    if (denom == 0) {
        w1 = 1;
        w2 = w3 = 0;
        return;
    }
    w2 = (d22 * dp1 - d12 * dp2) / denom;
    w3 = (d11 * dp2 - d12 * dp1) / denom;
    w1 = 1 - w2 - w3;
}

Vector3 blendedNormal(const Point& v1, const Point& v2, const Point& v3, const Vector3& n1,
                      const Vector3& n2, const Vector3& n3, const Point& p) {
    double w1, w2, w3;
    barycentric(v1, v2, v3, p, w1, w2, w3);
    const Vector3 blend = w1 * n1 + w2 * n2 + w3 * n3;
    if (blend * blend == 0) {
        return (v2 - v1).cross(v3 - v1).normalize();
    }
    return blend.normalize();
}

SmoothTriangle::SmoothTriangle(const Point& p1, const Vector3& n1, const Point& p2,
                               const Vector3& n2, const Point& p3, const Vector3& n3)
    : v{p1, p2, p3}, n{n1, n2, n3} {
    const Vector3 flat = (p2 - p1).cross(p3 - p1).normalize();
    for (Vector3& normal : n) {
        normal = normal * normal == 0 ? flat : normal.normalize();
    }
}

double SmoothTriangle::intersect(const Ray& ray, HitRec& hitrec) {
    const double t = triangleHitDistance(v[0], v[0] - v[1], v[0] - v[2], ray);
    if (t == -1.0) {
        return -1.0;
    }
    setHitRec(hitrec, t, ray.origin + t * ray.direction);
    return t;
}

Vector3 SmoothTriangle::surfaceNormal(const Point& p) {
    return blendedNormal(v[0], v[1], v[2], n[0], n[1], n[2], p);
}

Point SmoothTriangle::getCorner1() const {
    return Point(std::min({v[0].x, v[1].x, v[2].x}), std::min({v[0].y, v[1].y, v[2].y}),
                 std::min({v[0].z, v[1].z, v[2].z}));
}

Point SmoothTriangle::getCorner2() const {
    return Point(std::max({v[0].x, v[1].x, v[2].x}), std::max({v[0].y, v[1].y, v[2].y}),
                 std::max({v[0].z, v[1].z, v[2].z}));
}
