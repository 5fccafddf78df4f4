#include "shapes/cone.h"

#include <algorithm>
#include <cmath>

void discBounds(const Point& center, const Vector3& unitNormal, double radius, Point& lo,
                Point& hi) {
    const auto extent = [radius](double n) { return radius * std::sqrt(std::max(0.0, 1 - n * n)); };
    const Vector3 e(extent(unitNormal.x), extent(unitNormal.y), extent(unitNormal.z));
    lo = center - e;
    hi = center + e;
}

Cone::Cone(const Point& b, double br, const Point& c, double cr, bool isOpen)
    : base(b), cap(c), baseRadius(br), capRadius(cr), open(isOpen) {
    const Vector3 axis = cap - base;
    m_height = axis.magnitude();
    m_axis = axis * (1.0 / m_height);
    m_slope = (capRadius - baseRadius) / m_height;
    Point lo1, hi1, lo2, hi2;
    discBounds(base, m_axis, baseRadius, lo1, hi1);
    discBounds(cap, m_axis, capRadius, lo2, hi2);
    m_lo = Point(std::min(lo1.x, lo2.x), std::min(lo1.y, lo2.y), std::min(lo1.z, lo2.z));
    m_hi = Point(std::max(hi1.x, hi2.x), std::max(hi1.y, hi2.y), std::max(hi1.z, hi2.z));
}

Vector3 Cone::sideNormal(const Point& p, double z) const {
    const Vector3 radial = (p - base) - z * m_axis;
    // The gradient of |radial|^2 - radius(z)^2, halved.
    return (radial - (baseRadius + m_slope * z) * m_slope * m_axis).normalize();
}

double Cone::nearest(const Ray& ray, Vector3& normal) const {
    double best = -1;
    const auto offer = [&best](double t) { return t > HIT_EPSILON && (best < 0 || t < best); };

    // Side: |w' + t d'|^2 = (r0 + k (wa + t da))^2, with ' the parts
    // across the axis.
    const Vector3 w = ray.origin - base;
    const double wa = w * m_axis;
    const double da = ray.direction * m_axis;
    const Vector3 wp = w - wa * m_axis;
    const Vector3 dp = ray.direction - da * m_axis;
    const double r0 = baseRadius + m_slope * wa;
    const double kd = m_slope * da;
    const double a = dp * dp - kd * kd;
    const double b = 2 * (wp * dp - r0 * kd);
    const double c = wp * wp - r0 * r0;
    double roots[2] = {-1, -1};
    if (a != 0) {
        const double discriminant = b * b - 4 * a * c;
        if (discriminant >= 0) {
            const double root = std::sqrt(discriminant);
            roots[0] = (-b - root) / (2 * a);
            roots[1] = (-b + root) / (2 * a);
        }
    } else if (b != 0) {
        roots[0] = -c / b;
    }
    for (const double t : roots) {
        const double z = wa + t * da;
        // On the piece between the discs, and on the nappe whose radius is
        // not negative.
        if (offer(t) && z >= 0 && z <= m_height && baseRadius + m_slope * z >= 0) {
            best = t;
            normal = sideNormal(ray.origin + t * ray.direction, z);
        }
    }
    // End discs.
    if (!open && da != 0) {
        const double ends[2][2] = {{0, baseRadius}, {m_height, capRadius}};
        for (const auto& end : ends) {
            const double t = (end[0] - wa) / da;
            if (!offer(t)) continue;
            const Vector3 across = wp + t * dp;
            if (across * across <= end[1] * end[1]) {
                best = t;
                normal = end[0] == 0 ? -m_axis : m_axis;
            }
        }
    }
    return best;
}

double Cone::intersect(const Ray& ray, HitRec& hitrec) {
    Vector3 normal;
    const double t = nearest(ray, normal);
    if (t < 0) {
        return -1.0;
    }
    hitrec.t = t;
    hitrec.p = ray.origin + t * ray.direction;
    hitrec.n = normal;
    hitrec.color = color;
    hitrec.finish = finish;
    return t;
}

Vector3 Cone::surfaceNormal(const Point& p) {
    const double z = (p - base) * m_axis;
    if (!open && std::fabs(z) < HIT_EPSILON) return -m_axis;
    if (!open && std::fabs(z - m_height) < HIT_EPSILON) return m_axis;
    return sideNormal(p, z);
}
