#pragma once

// The hit distance of each primitive, in one place. An object's intersect()
// and the tracing index's leaves both call these, so that a distance found
// from an object's copied data has the same bits as the object's own answer.
// Each returns the distance along the ray, in units of its direction's
// length; see the comment of each for its miss value. Changing the
// arithmetic here changes every image.

#include <algorithm>
#include <cmath>
#include <limits>

#include "geom.h"

// Nearest root above HIT_EPSILON of |origin + t d - center|^2 = radius^2
// (the far root from inside); -1 on a miss. radiusSquared is radius * radius.
inline double sphereHitDistance(const Point& center, double radiusSquared, const Ray& ray) {
    const Vector3& d = ray.direction;
    const Vector3 centerToOrigin = ray.origin - center;
    const double A = d * d;
    const double B = 2 * (d * centerToOrigin);
    const double C = centerToOrigin * centerToOrigin - radiusSquared;
    const double discriminant = B * B + (-4.0 * A) * C;
    if (discriminant < 0) {
        return -1.0;
    }
    const double denom = 2 * A;
    const double root = std::sqrt(discriminant);
    const double t1 = (root - B) / denom;
    const double t2 = (-B - root) / denom;
    if (t1 < HIT_EPSILON && t2 < HIT_EPSILON) {
        return -1.0;
    }
    // From inside the sphere the far root is the hit.
    if (t1 < HIT_EPSILON) {
        return t2;
    }
    if (t2 < HIT_EPSILON) {
        return t1;
    }
    return std::min(t1, t2);
}

// The plane (x - p0) . normal = 0 from either side; -1 for a ray parallel
// to it or a distance below HIT_EPSILON.
inline double planeHitDistance(const Vector3& normal, const Point& p0, const Ray& ray) {
    const double denom = ray.direction * normal;
    if (denom == 0) {
        return -1.0;
    }
    const double numerator = (p0 - ray.origin) * normal;
    const double dist = numerator / denom;
    if (dist < HIT_EPSILON) {
        return -1.0;
    }
    return dist;
}

// Cramer's rule on v1 + beta (v2 - v1) + gamma (v3 - v1) = origin + t
// direction, bounds included; -1 on a miss. edge2 is v1 - v2 and edge3 is
// v1 - v3, which depend on the triangle only.
inline double triangleHitDistance(const Point& v1, const Vector3& edge2, const Vector3& edge3,
                                  const Ray& ray) {
    const Vector3& o = ray.origin;
    const Vector3& dir = ray.direction;
    const double a = edge2.x, b = edge2.y, c = edge2.z;
    const double d = edge3.x, e = edge3.y, f = edge3.z;
    const double g = dir.x, h = dir.y, i = dir.z;
    const double j = v1.x - o.x, k = v1.y - o.y, l = v1.z - o.z;

    const double ei_minus_hf = e * i - h * f;
    const double gf_minus_di = g * f - d * i;
    const double dh_minus_eg = d * h - e * g;
    const double ak_minus_jb = a * k - j * b;
    const double jc_minus_al = j * c - a * l;
    const double bl_minus_kc = b * l - k * c;

    const double M = a * ei_minus_hf + b * gf_minus_di + c * dh_minus_eg;
    if (M == 0) {
        return -1.0;
    }
    const double t = -(f * ak_minus_jb + e * jc_minus_al + d * bl_minus_kc) / M;
    if (t < HIT_EPSILON) {
        return -1.0;
    }
    const double gamma = (i * ak_minus_jb + h * jc_minus_al + g * bl_minus_kc) / M;
    if (gamma < 0 || gamma > 1) {
        return -1.0;
    }
    const double beta = (j * ei_minus_hf + k * gf_minus_di + l * dh_minus_eg) / M;
    if (beta < 0 || beta > 1 - gamma) {
        return -1.0;
    }
    return t;
}

// The outward normal of each face of a box, in the order the faces are tested.
inline Vector3 boxFaceNormal(int face) {
    static const double normals[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0},
                                         {1, 0, 0},  {0, 1, 0}, {0, -1, 0}};
    return Vector3(normals[face][0], normals[face][1], normals[face][2]);
}

// The face test of boxHitDistance for any ray: each face's plane through
// planeHitDistance, then its rectangle.
inline double boxHitDistanceByPlanes(const Point& corner1, const Point& corner2, const Ray& ray,
                                     int& face) {
    const auto within = [](double low, double value, double high) {
        return low <= value && value <= high;
    };
    double t = std::numeric_limits<double>::max();
    face = -1;
    for (int f = 0; f < 6; ++f) {
        // Faces 1, 3 and 4 lie on corner2, the others on corner1.
        const Point& through = (f == 1 || f == 3 || f == 4) ? corner2 : corner1;
        const double dist = planeHitDistance(boxFaceNormal(f), through, ray);
        if (!(dist > HIT_EPSILON)) {
            continue;
        }
        const Point p = ray.origin + dist * ray.direction;
        bool inside;
        if (f < 2) {
            inside = within(corner1.x, p.x, corner2.x) && within(corner1.y, p.y, corner2.y);
        } else if (f < 4) {
            inside = within(corner1.y, p.y, corner2.y) && within(corner1.z, p.z, corner2.z);
        } else {
            inside = within(corner1.x, p.x, corner2.x) && within(corner1.z, p.z, corner2.z);
        }
        if (inside && dist < t) {
            t = dist;
            face = f;
        }
    }
    return t;
}

// The nearest face of the box corner1 <= corner2 (componentwise) whose
// plane the ray meets beyond HIT_EPSILON on the face's rectangle, borders
// included; the lower face index wins a tie. Returns the largest finite
// double, and face -1, on a miss.
//
// When the direction and the corners' offsets from the origin are finite,
// a face's dot products reduce to one term, since the other two are
// multiplied by zero: the distance is the offset along the face's axis
// divided by the direction's component, with the bits of the general test
// (both negated for a face that looks down its axis), and only the two
// coordinates the rectangle checks are needed. Otherwise a zero times an
// infinity can make a NaN there, and the general test decides.
inline double boxHitDistance(const Point& corner1, const Point& corner2, const Ray& ray,
                             int& face) {
    const Vector3& o = ray.origin;
    const Vector3& d = ray.direction;
    const Vector3 low = corner1 - o;
    const Vector3 high = corner2 - o;
    // A sum of finite numbers may still overflow: the general test then
    // decides, as it may always.
    if (!std::isfinite(d.x + d.y + d.z + low.x + low.y + low.z + high.x + high.y + high.z)) {
        return boxHitDistanceByPlanes(corner1, corner2, ray, face);
    }
    double t = std::numeric_limits<double>::max();
    face = -1;
    // Face f lies offset from the origin along an axis whose direction
    // component is along; u and v are the other two axes' origin, direction
    // and the box's extent.
    struct Axis {
        double origin, direction, low, high;
    };
    const Axis x{o.x, d.x, corner1.x, corner2.x};
    const Axis y{o.y, d.y, corner1.y, corner2.y};
    const Axis z{o.z, d.z, corner1.z, corner2.z};
    const auto consider = [&](int f, double offset, double along, const Axis& u, const Axis& v) {
        if (along == 0) {
            return;
        }
        const double dist = offset / along;
        // Only a nearer face can win; an equal one comes later in the order.
        if (!(dist > HIT_EPSILON) || !(dist < t)) {
            return;
        }
        const double pu = u.origin + dist * u.direction;
        const double pv = v.origin + dist * v.direction;
        if (u.low <= pu && pu <= u.high && v.low <= pv && pv <= v.high) {
            t = dist;
            face = f;
        }
    };
    consider(0, low.z, d.z, x, y);
    consider(1, high.z, d.z, x, y);
    consider(2, low.x, d.x, y, z);
    consider(3, high.x, d.x, y, z);
    consider(4, high.y, d.y, x, z);
    consider(5, low.y, d.y, x, z);
    return t;
}
