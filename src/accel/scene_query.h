#pragma once

#include <cstdint>
#include <vector>

#include "geom.h"

// The object that last blocked a shadow feeler. A query that is handed the
// same cache again tries that object first, since neighbouring feelers
// towards one light tend to meet the same blocker. Only the query that
// wrote a cache can read it; any content is safe, a stale one merely useless.
struct BlockerCache {
    std::uint32_t kind = 0;  // 0: nothing cached
    std::uint32_t index = 0;
};

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
    // The cache may speed up the question, never change its answer.
    virtual bool blocked(const Ray& feeler, double lightDistance, BlockerCache& cache) const = 0;

protected:
    SceneQuery() = default;
    SceneQuery(const SceneQuery&) = default;
    SceneQuery& operator=(const SceneQuery&) = default;
    ~SceneQuery() = default;
};

// The reference answers: every object is tested for every ray, in list
// order, and a shadow feeler is tested against all of them. It keeps no cache.
class LinearScene final : public SceneQuery {
public:
    // The list must outlive this view of it.
    explicit LinearScene(const std::vector<GeomObject*>& objects) : m_objects(objects) {}

    bool nearestHit(const Ray& ray, HitRec& hitrec) const override;
    bool blocked(const Ray& feeler, double lightDistance, BlockerCache& cache) const override;

private:
    const std::vector<GeomObject*>& m_objects;
};
