#include "accel/scene_query.h"

#include <limits>

bool LinearScene::nearestHit(const Ray& ray, HitRec& hitrec) const {
    bool hit = false;
    hitrec.t = std::numeric_limits<double>::max();
    HitRec scratch;
    for (GeomObject* object : m_objects) {
        const double t = object->intersect(ray, scratch);
        // Strictly nearer: on equal distances the earlier object stays.
        if (t > HIT_EPSILON && t < hitrec.t) {
            hit = true;
            hitrec.copy(scratch);
        }
    }
    return hit;
}

bool LinearScene::blocked(const Ray& feeler, double lightDistance, BlockerCache&) const {
    bool shadowed = false;
    HitRec scratch;
    for (GeomObject* object : m_objects) {
        const double feelerDistance = object->intersect(feeler, scratch);
        if (feelerDistance > HIT_EPSILON && feelerDistance < lightDistance) {
            shadowed = true;
        }
    }
    return shadowed;
}
