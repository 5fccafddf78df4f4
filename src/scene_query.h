#pragma once

#include <vector>

#include "geom.h"

// The two questions shading asks about the objects it traces. Every answer
// is the one the linear scan gives: the nearest hit is the smallest distance
// above HIT_EPSILON, ties going to the object earlier in the list, and the
// record is the one that object's own intersect() filled.
class SceneQuery {
public:
    // The nearest hit's record in hitrec; false, hitrec unspecified, on a miss.
    virtual bool nearestHit(const Ray& ray, HitRec& hitrec) const = 0;
    // Whether some object lies on the feeler farther than HIT_EPSILON and
    // nearer than lightDistance (which is in units of the feeler's length).
    virtual bool blocked(const Ray& feeler, double lightDistance) const = 0;

protected:
    SceneQuery() = default;
    SceneQuery(const SceneQuery&) = default;
    SceneQuery& operator=(const SceneQuery&) = default;
    ~SceneQuery() = default;
};

// The reference answers: every object is tested for every ray, in list
// order, and a shadow feeler is tested against all of them.
class LinearScene final : public SceneQuery {
public:
    // The list must outlive this view of it.
    explicit LinearScene(const std::vector<GeomObject*>& objects) : m_objects(objects) {}

    bool nearestHit(const Ray& ray, HitRec& hitrec) const override;
    bool blocked(const Ray& feeler, double lightDistance) const override;

private:
    const std::vector<GeomObject*>& m_objects;
};
