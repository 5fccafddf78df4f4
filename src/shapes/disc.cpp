#include "shapes/disc.h"

#include "geom_hit.h"
#include "shapes/cone.h"

Disc::Disc(const Point& c, const Vector3& n, double r, double hole)
    : center(c), normal(n.normalize()), radius(r), holeRadius(hole) {
    discBounds(center, normal, radius, m_lo, m_hi);
}

double Disc::intersect(const Ray& ray, HitRec& hitrec) {
    const double t = planeHitDistance(normal, center, ray);
    if (t == -1.0) {
        return -1.0;
    }
    const Point p = ray.origin + t * ray.direction;
    const Vector3 fromCenter = p - center;
    const double d2 = fromCenter * fromCenter;
    if (d2 > radius * radius || d2 < holeRadius * holeRadius) {
        return -1.0;
    }
    hitrec.t = t;
    hitrec.p = p;
    hitrec.n = normal;
    hitrec.color = color;
    hitrec.finish = finish;
    return t;
}
