#include "accel/trace_accel.h"

#ifdef __SSE__
#include <xmmintrin.h>
#endif

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "geom_hit.h"

// Why the padding below is enough. For each object in the tree, when its
// hit-distance function accepts a distance t, the exact point origin + t *
// direction must lie in the object's bounds grown by the pad; otherwise a
// node could be skipped whose object the linear scan accepts. With u = 2^-53
// and v = 2^-24, the rounding of doubles and of floats:
//  - a box checks its hit point against the face, so the point is within a
//    few u of the coordinates' magnitude;
//  - a sphere's discriminant loses up to half its digits when a ray grazes it:
//    the point is within sqrt(64 u) (2 r + 3 |origin - centre|), under
//    1e-6 of the distances involved;
//  - a triangle's Cramer solution is within a few u of the coordinates and
//    distances divided by sin(a) sin(b), a its smallest angle and b the angle
//    between ray and plane. Triangles with sin(a) below 2^-10 are kept out of
//    the tree; b is the ray's, so no pad covers a ray lying in the plane to
//    within about 1e-10 radians, where the test's answer is rounding noise.
// The slab test runs in floats on node bounds rounded outward: a bound's
// parameter is (bound - float(origin -/+ pad)) * (1 / float(direction)). The
// roundings of the shift, the difference, the inverse and the product make
// it exactly the parameter of a bound moved by at most 8 v (|bound| +
// |origin| + pad), and rounding the limit (nearest hit or light) up keeps
// the comparison with it on the safe side. A direction component below
// 2^-40 of the largest is taken as zero: up to any hit, where t |direction|
// is at most 4 (|origin| + magnitude), the ray drifts less than 2^-38
// (|origin| + magnitude) along that axis. Traceable rays and the tree keep
// the floats in range: coordinates up to 2^60, and the largest direction
// component within 2^-20..2^20, so that inverses lie within 2^-20..2^60 and
// products below 2^124; numbers too small for a normal float err by less
// than the pad's floor.
// The pad is 2^-18 of the coordinates' magnitude, plus 2^-16 of the
// distances, plus 2^-60: orders of magnitude above each bound, at almost no
// cost to the tree. The distances are bounded by the bounds' diagonal plus
// how far the origin lies outside them, at most 3 (|origin| + magnitude).
// A child is visited when its padded box meets the ray at a parameter up to
// and including the nearest hit so far, so an object at that very distance,
// which may come earlier in the list, is still tested.
namespace {

const double kRoundingPad = std::ldexp(1.0, -18);
const double kDistancePad = std::ldexp(1.0, -16);
const double kPadFloor = std::ldexp(1.0, -60);
const double kNegligibleDirection = std::ldexp(1.0, -40);

}  // namespace

float TraceAccel::floatBelow(double x) {
    const float max = std::numeric_limits<float>::max();
    if (x > max) return max;
    if (x < -max) return -std::numeric_limits<float>::infinity();
    auto f = static_cast<float>(x);
    if (f > x) f = std::nextafter(f, -std::numeric_limits<float>::infinity());
    return f;
}

float TraceAccel::floatAbove(double x) { return -floatBelow(-x); }

namespace {

// A float at least the limit for any limit above HIT_EPSILON (below it no
// distance counts): rounding to a float moves by less than 2^-24, the
// product by less than 2^-23 the other way.
float limitAbove(double limit) { return static_cast<float>(limit) * (1 + 0x1p-21f); }

}  // namespace

// Per-ray data of the slab test.
struct TraceAccel::RaySetup {
    // Per axis: where in a node the bounds lie that the ray meets first and
    // last (the lower ones first, the upper ones for a direction whose sign
    // bit is set, -0 included), as byte offsets, which spare the walk an
    // index computation per load; and what to subtract from each: origin +
    // pad from lower bounds, origin - pad from upper ones, which grows the
    // boxes by the pad.
    std::ptrdiff_t nearOffset[3];
    std::ptrdiff_t farOffset[3];
    Float4 nearShift[3];
    Float4 farShift[3];
    Float4 inverse[3];

    static Float4 bounds(const Node& node, std::ptrdiff_t offset) {
        Float4 lanes;
        std::memcpy(&lanes, reinterpret_cast<const unsigned char*>(&node) + offset, sizeof lanes);
        return lanes;
    }

    // Which of the node's children the ray enters, as bits 0 to 3: where its
    // parameter interval inside the child's box meets [0, tMax]; tNear holds
    // where each starts. A NaN (zero numerator times an infinite inverse)
    // constrains nothing, which errs on the side of visiting.
    __attribute__((always_inline)) unsigned enters(const Node& node, float tMax,
                                                   Float4& tNear) const {
        Float4 from = {0, 0, 0, 0};
        Float4 to = {tMax, tMax, tMax, tMax};
        const auto slab = [&](int a) {
            const Float4 entry = (bounds(node, nearOffset[a]) - nearShift[a]) * inverse[a];
            const Float4 exit = (bounds(node, farOffset[a]) - farShift[a]) * inverse[a];
            from = entry > from ? entry : from;
            to = exit < to ? exit : to;
        };
        slab(0);
        slab(1);
        slab(2);
        tNear = from;
#ifdef __SSE__
        return static_cast<unsigned>(_mm_movemask_ps(_mm_cmple_ps(from, to)));
#else
        // Lanes of a vector comparison are all ones or all zeros.
        const Int4 in = from <= to;
        return static_cast<unsigned>((in[0] & 1) | (in[1] & 2) | (in[2] & 4) | (in[3] & 8));
#endif
    }
};

// The nearest candidate so far, ranked by distance and then list position.
class TraceAccel::NearestQuery {
public:
    static constexpr bool kNearestFirst = true;
    explicit NearestQuery(const Ray& ray) : m_ray(ray) {}
    const Ray& ray() const { return m_ray; }
    double limit() const { return m_nearest; }
    bool hit() const { return m_hit; }
    std::uint32_t order() const { return m_order; }
    Kind kind() const { return m_kind; }
    std::uint32_t index() const { return m_index; }

    // Keeps the candidate if it ranks first; never ends the search.
    bool offer(double t, std::uint32_t order, Kind kind, std::uint32_t index) {
        if (t > HIT_EPSILON && (t < m_nearest || (m_hit && t == m_nearest && order < m_order))) {
            m_hit = true;
            m_nearest = t;
            m_order = order;
            m_kind = kind;
            m_index = index;
        }
        return false;
    }

private:
    const Ray& m_ray;
    double m_nearest = std::numeric_limits<double>::max();
    std::uint32_t m_order = 0;
    Kind m_kind = kOther;
    std::uint32_t m_index = 0;
    bool m_hit = false;
};

// Any candidate between the feeler's origin and the light; the first one
// found ends the search and is cached.
class TraceAccel::BlockerQuery {
public:
    // Any blocker will do: the children are visited in their own order.
    static constexpr bool kNearestFirst = false;
    BlockerQuery(const Ray& feeler, double lightDistance, BlockerCache& cache)
        : m_feeler(feeler), m_lightDistance(lightDistance), m_cache(cache) {}
    const Ray& ray() const { return m_feeler; }
    double limit() const { return m_lightDistance; }

    bool offer(double t, std::uint32_t /*order*/, Kind kind, std::uint32_t index) {
        if (t > HIT_EPSILON && t < m_lightDistance) {
            m_cache.kind = kind;
            m_cache.index = index;
            return true;
        }
        return false;
    }

private:
    const Ray& m_feeler;
    double m_lightDistance;
    BlockerCache& m_cache;
};

void TraceAccel::setPadding() {
    m_padPerOrigin = kRoundingPad + 3 * kDistancePad;
    m_padFixed = (kRoundingPad + 3 * kDistancePad) * m_magnitude + kDistancePad * m_diagonal +
                 kPadFloor;
}

// Inlined into the walk, like the walk into searchTree(): the setup's
// vectors then stay in registers through the walk.
__attribute__((always_inline)) inline TraceAccel::RaySetup TraceAccel::setup(
    const Ray& ray, double originMagnitude, double length) const {
    const double pad = m_padPerOrigin * originMagnitude + m_padFixed;
    const double negligible = kNegligibleDirection * length;
    const auto significant = [negligible](double component) {
        return std::fabs(component) < negligible ? std::copysign(0.0, component) : component;
    };
    const double d[3] = {significant(ray.direction.x), significant(ray.direction.y),
                         significant(ray.direction.z)};
    const double o[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    // Written out axis by axis: a loop over the axes costs more than its body.
    RaySetup s;
    const auto axisSetup = [&](std::size_t a) {
        const bool negative = std::signbit(d[a]);
        const std::size_t pair = offsetof(Node, bound) + a * sizeof(Float4[2]);
        const auto lower = static_cast<std::ptrdiff_t>(pair);
        const auto upper = static_cast<std::ptrdiff_t>(pair + sizeof(Float4));
        s.nearOffset[a] = negative ? upper : lower;
        s.farOffset[a] = negative ? lower : upper;
        const auto below = static_cast<float>(o[a] + pad);
        const auto above = static_cast<float>(o[a] - pad);
        const float nearShift = negative ? above : below;
        const float farShift = negative ? below : above;
        s.nearShift[a] = Float4{nearShift, nearShift, nearShift, nearShift};
        s.farShift[a] = Float4{farShift, farShift, farShift, farShift};
    };
    axisSetup(0);
    axisSetup(1);
    axisSetup(2);
    // One division for the three axes; the vector is built from registers,
    // since lanes stored one by one and read back as a whole would stall.
    const Float4 inverse = Float4{1, 1, 1, 1} / Float4{static_cast<float>(d[0]),
                                                       static_cast<float>(d[1]),
                                                       static_cast<float>(d[2]), 1};
    s.inverse[0] = Float4{inverse[0], inverse[0], inverse[0], inverse[0]};
    s.inverse[1] = Float4{inverse[1], inverse[1], inverse[1], inverse[1]};
    s.inverse[2] = Float4{inverse[2], inverse[2], inverse[2], inverse[2]};
    return s;
}

// Offers the query every sphere, triangle and box of the index ranges
// [first[k], end[k]); true when the query ended the search.
template <class Query>
bool TraceAccel::testPrimitives(const std::uint32_t first[kTyped], const std::uint32_t end[kTyped],
                                Query& query) const {
    const Ray& ray = query.ray();
    for (std::uint32_t i = first[0]; i < end[0]; ++i) {
        const SpherePrim& s = m_spheres[i];
        if (query.offer(sphereHitDistance(s.center, s.radiusSquared, ray), s.order, kSphere, i)) {
            return true;
        }
    }
    for (std::uint32_t i = first[1]; i < end[1]; ++i) {
        const TrianglePrim& t = m_triangles[i];
        if (query.offer(triangleHitDistance(t.v1, t.edge2, t.edge3, ray), t.order, kTriangle,
                        i)) {
            return true;
        }
    }
    for (std::uint32_t i = first[2]; i < end[2]; ++i) {
        const BoxPrim& b = m_boxes[i];
        int face;
        if (query.offer(boxHitDistance(b.corner1, b.corner2, ray, face), b.order, kBox, i)) {
            return true;
        }
    }
    return false;
}

// Offers the query the others of positions [first, end) of m_others; true
// when the query ended the search.
template <class Query>
bool TraceAccel::testOthers(std::uint32_t first, std::uint32_t end, Query& query) const {
    const Ray& ray = query.ray();
    for (std::uint32_t i = first; i < end; ++i) {
        if (query.offer(distance(kOther, i, ray), m_others[i], kOther, i)) {
            return true;
        }
    }
    return false;
}

// The primitives tested for every ray, the typed ones from first[k] on;
// true when the query ended the search.
template <class Query>
bool TraceAccel::testLinear(const std::uint32_t first[kSlots], Query& query) const {
    // Often only planes are left beside the tree: no call for empty ranges.
    const bool typed = first[0] != m_ends[0] || first[1] != m_ends[1] || first[2] != m_ends[2];
    if (typed && testPrimitives(first, m_ends, query)) {
        return true;
    }
    if (first[3] != m_ends[3] && testOthers(first[3], m_ends[3], query)) {
        return true;
    }
    // The sizes are read once: a query's writes might alias them.
    const Ray& ray = query.ray();
    const auto planes = static_cast<std::uint32_t>(m_planes.size());
    for (std::uint32_t i = 0; i < planes; ++i) {
        const PlanePrim& p = m_planes[i];
        if (query.offer(planeHitDistance(p.normal, p.p0, ray), p.order, kPlane, i)) {
            return true;
        }
    }
    return false;
}

// Every primitive; true when the query ended the search. A tree of a single
// leaf holds the first primitives of each typed array, so that it and the
// scan beside it are one run over the arrays.
template <class Query>
bool TraceAccel::search(Query& query) const {
    if (m_nodes.empty()) {
        const std::uint32_t first[kSlots] = {0, 0, 0, 0};
        return testLinear(first, query);
    }
    const bool beside = linearObjectCount() != 0;
    if (!Query::kNearestFirst) {
        // Any blocker will do, and objects in the tree block more often
        // than the planes beside it, which a feeler mostly leaves.
        return searchTree(query) || (beside && testLinear(m_linear, query));
    }
    // The scan beside the tree first: its hits bound the walk.
    if (beside && testLinear(m_linear, query)) {
        return true;
    }
    return searchTree(query);
}

// Walks the tree nearest child first, visiting every leaf whose box the ray
// enters no farther than the query's limit; true when the query ended it.
template <class Query>
__attribute__((always_inline)) inline bool TraceAccel::traverse(const RaySetup& s,
                                                                Query& query) const {
    struct Pending {
        std::uint32_t ref;
        float tNear;
    };
    Pending stack[kStackSize];
    int top = 0;
    // The limit as a float, rounded up; recomputed when the limit moves.
    double limit = query.limit();
    float floatLimit = limitAbove(limit);
    std::uint32_t ref = 0;
    for (;;) {
        if ((ref & kLeaf) != 0) {
            const std::uint32_t leafIndex = ref & ~kLeaf;
            const Leaf& leaf = m_leaves[leafIndex];
            const std::uint32_t end[kTyped] = {leaf.first[0] + leaf.count[0],
                                               leaf.first[1] + leaf.count[1],
                                               leaf.first[2] + leaf.count[2]};
            if (testPrimitives(leaf.first, end, query)) {
                return true;
            }
            if (leaf.count[3] != 0) {
                const std::uint32_t others = m_leafOthers[leafIndex];
                if (testOthers(others, others + leaf.count[3], query)) {
                    return true;
                }
            }
            if (!(query.limit() == limit)) {
                limit = query.limit();
                floatLimit = limitAbove(limit);
            }
        } else {
            const Node& node = m_nodes[ref];
            Float4 tNear;
            const unsigned mask = s.enters(node, floatLimit, tNear);
            if (mask != 0 && (mask & (mask - 1)) == 0) {
                // A single child entered is visited next, without the stack.
                ref = node.child[__builtin_ctz(mask)];
                continue;
            }
            if (mask != 0) {
                // The children entered go on the stack farthest first; the
                // nearest, on top, is taken off again and visited next. The
                // lanes are read by constant index, from the register.
                const int base = top;
                const auto push = [&](int c, float t) {
                    if ((mask & (1u << c)) == 0) {
                        return;
                    }
                    int at = top++;
                    while (Query::kNearestFirst && at > base && stack[at - 1].tNear < t) {
                        stack[at] = stack[at - 1];
                        --at;
                    }
                    stack[at] = {node.child[c], t};
                };
                push(0, tNear[0]);
                push(1, tNear[1]);
                push(2, tNear[2]);
                push(3, tNear[3]);
                ref = stack[--top].ref;
                continue;
            }
        }
        // The limit may have shrunk since a child was put on the stack.
        do {
            if (top == 0) {
                return false;
            }
            --top;
            // Entries below top have all been written.
            // cppcheck-suppress uninitvar
        } while (stack[top].tNear > limit);
        ref = stack[top].ref;
    }
}

// The tree's part of a query, for a tree of more than one leaf.
template <class Query>
bool TraceAccel::searchTree(Query& query) const {
    const std::uint32_t first[kTyped] = {0, 0, 0};
    const Ray& ray = query.ray();
    // Rays the float test is not made for test every primitive of the tree.
    // An infinity carries through the maxima, but a NaN may not: it makes
    // the sum of the components a NaN instead (finite ones within the range
    // cannot overflow it).
    const double originMagnitude = maxAbs(ray.origin);
    const double length = maxAbs(ray.direction);
    const double sum = ray.origin.x + ray.origin.y + ray.origin.z + ray.direction.x +
                       ray.direction.y + ray.direction.z;
    if (!(originMagnitude <= kRange) || !(length <= kDirectionRange) ||
        length < 1 / kDirectionRange || std::isnan(sum)) {
        return testPrimitives(first, m_linear, query) || testOthers(0, m_linear[3], query);
    }
    return traverse(setup(ray, originMagnitude, length), query);
}

double TraceAccel::distance(Kind kind, std::uint32_t index, const Ray& ray) const {
    switch (kind) {
        case kSphere: {
            const SpherePrim& s = m_spheres[index];
            return sphereHitDistance(s.center, s.radiusSquared, ray);
        }
        case kTriangle: {
            const TrianglePrim& t = m_triangles[index];
            return triangleHitDistance(t.v1, t.edge2, t.edge3, ray);
        }
        case kBox: {
            const BoxPrim& b = m_boxes[index];
            int face;
            return boxHitDistance(b.corner1, b.corner2, ray, face);
        }
        case kPlane: {
            const PlanePrim& p = m_planes[index];
            return planeHitDistance(p.normal, p.p0, ray);
        }
        case kOther:
            break;
    }
    HitRec scratch;
    return m_objects[m_others[index]]->intersect(ray, scratch);
}

// Whether the cached object blocks the feeler; false for an empty cache or
// one that does not name a primitive of this structure.
bool TraceAccel::cachedBlocks(const BlockerCache& cache, const Ray& feeler,
                              double lightDistance) const {
    std::size_t size = 0;
    switch (cache.kind) {
        case kSphere: size = m_spheres.size(); break;
        case kTriangle: size = m_triangles.size(); break;
        case kBox: size = m_boxes.size(); break;
        case kPlane: size = m_planes.size(); break;
        case kOther: size = m_others.size(); break;
        default: return false;
    }
    if (cache.index >= size) {
        return false;
    }
    const double t = distance(static_cast<Kind>(cache.kind), cache.index, feeler);
    return t > HIT_EPSILON && t < lightDistance;
}

std::size_t TraceAccel::memoryBytes() const {
    return m_nodes.capacity() * sizeof(Node) + m_leaves.capacity() * sizeof(Leaf) +
           m_leafOthers.capacity() * sizeof(std::uint32_t) +
           m_spheres.capacity() * sizeof(SpherePrim) +
           m_triangles.capacity() * sizeof(TrianglePrim) + m_boxes.capacity() * sizeof(BoxPrim) +
           m_planes.capacity() * sizeof(PlanePrim) + m_others.capacity() * sizeof(std::uint32_t);
}

bool TraceAccel::nearestHit(const Ray& ray, HitRec& hitrec) const {
    NearestQuery query(ray);
    search(query);
    if (!query.hit()) {
        return false;
    }
    record(query, ray, hitrec);
    return true;
}

// The winner's record, as its intersect() would make it at the distance
// found, without finding the distance again: spheres, planes and triangles
// make theirs with setHitRec() at the point origin + t direction, and a
// plane's normal, the same for every point, was asked of it once. Boxes,
// whose normal comes from the face hit, and objects of no known kind
// intersect again.
void TraceAccel::record(const NearestQuery& query, const Ray& ray, HitRec& hitrec) const {
    GeomObject& object = *m_objects[query.order()];
    const double t = query.limit();
    switch (query.kind()) {
        case kSphere:
        case kTriangle:
            object.setHitRec(hitrec, t, ray.origin + t * ray.direction);
            return;
        case kPlane:
            hitrec.color = object.color;
            hitrec.finish = object.finish;
            hitrec.t = t;
            hitrec.n = m_planes[query.index()].unitNormal;
            hitrec.p = ray.origin + t * ray.direction;
            return;
        case kBox:
        case kOther:
            break;
    }
    const double again = object.intersect(ray, hitrec);
    assert(again == t);
    (void)again;
}

bool TraceAccel::blocked(const Ray& feeler, double lightDistance, BlockerCache& cache) const {
    // Most feelers find the cache empty: no call for them.
    if (cache.kind != 0 && cachedBlocks(cache, feeler, lightDistance)) {
        return true;
    }
    // A lit stretch would pay for the test on every feeler: the cache
    // waits for the next blocker.
    cache.kind = 0;
    BlockerQuery query(feeler, lightDistance, cache);
    return search(query);
}
