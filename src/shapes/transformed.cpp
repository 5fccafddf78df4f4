#include "shapes/transformed.h"

#include <algorithm>
#include <limits>

TransformedObject::TransformedObject(GeomObject* inner, const Transform& transform)
    : m_inner(inner), m_transform(transform) {
    color = inner->color;
    finish = inner->finish;
    if (inner->isBounded()) {
        // A sphere gives its maximum corner first: order them.
        const Point c1 = inner->getCorner1();
        const Point c2 = inner->getCorner2();
        const Point lo(std::min(c1.x, c2.x), std::min(c1.y, c2.y), std::min(c1.z, c2.z));
        const Point hi(std::max(c1.x, c2.x), std::max(c1.y, c2.y), std::max(c1.z, c2.z));
        m_transform.boundsToWorld(lo, hi, m_lo, m_hi);
    }
}

TransformedObject::~TransformedObject() { deleteSceneObject(m_inner); }

double TransformedObject::intersect(const Ray& ray, HitRec& hitrec) {
    // The direction is not normalised, so the distance is the same in both
    // spaces.
    const Ray local{m_transform.vectorToObject(ray.direction),
                    m_transform.pointToObject(ray.origin)};
    const double t = m_inner->intersect(local, hitrec);
    if (t > HIT_EPSILON && t < std::numeric_limits<double>::max()) {
        hitrec.t = t;
        hitrec.p = ray.origin + t * ray.direction;
        hitrec.n = m_transform.normalToWorld(hitrec.n).normalize();
    }
    return t;
}

Vector3 TransformedObject::surfaceNormal(const Point& p) {
    const Vector3 n = m_inner->surfaceNormal(m_transform.pointToObject(p));
    return m_transform.normalToWorld(n).normalize();
}

GeomObject* withTransform(GeomObject* object, const Transform* transform) {
    if (transform == nullptr) {
        return object;
    }
    return new TransformedObject(object, *transform);
}
