#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "accel/scene_query.h"
#include "geom.h"

// A bounding volume hierarchy for tracing a render list; it has nothing to do
// with the display hierarchy of gNodeList. Spheres, triangles, childless
// boxes and other bounded kinds of object (tested through their own
// intersect()) go into a tree of four-way nodes, built with the surface area
// heuristic and flattened depth first; everything else (planes, hierarchy
// nodes, unbounded objects, non-finite or huge bounds, sliver triangles
// whose test is unreliable) is tested beside it for every ray.
//
// The tree and the scan beside it keep copies of the primitives' data, by
// type, and test them with the hit-distance functions that the objects' own
// intersect() use (geom_hit.h), so every distance has the bits the object
// would give; only the winner's record is then made, as its intersect()
// makes it, at the distance found (trace_accel.cpp's record()).
// Its answers are those of LinearScene over the same list: candidates are
// ranked by distance and then by list position, and a node's box is grown,
// per ray, by more than any intersection test's rounding can put a hit
// outside its object's bounds (see trace_accel.cpp). Rays it cannot vouch
// for (non-finite, zero or extreme origin or direction) test every object.
class TraceAccel final : public SceneQuery {
public:
    // Keeps a copy of the list; the objects must outlive the structure and
    // stay unchanged.
    explicit TraceAccel(const std::vector<GeomObject*>& objects);
    TraceAccel(const TraceAccel&) = delete;
    TraceAccel& operator=(const TraceAccel&) = delete;
    ~TraceAccel() = default;

    const std::vector<GeomObject*>& objects() const { return m_objects; }

    bool nearestHit(const Ray& ray, HitRec& hitrec) const override;
    // Tries the cached blocker first, then stops at the first blocker it
    // finds, which it caches (or empties the cache when none blocks).
    bool blocked(const Ray& feeler, double lightDistance, BlockerCache& cache) const override;

    std::size_t treeObjectCount() const { return m_treeObjects; }
    std::size_t linearObjectCount() const { return m_objects.size() - m_treeObjects; }
    std::size_t nodeCount() const { return m_nodes.size(); }
    // Heap bytes held by the structure (not by the objects).
    std::size_t memoryBytes() const;

    // One coordinate of a vector: 0 is x, 1 is y, 2 is z.
    static double axis(const Vector3& v, int a) { return a == 0 ? v.x : (a == 1 ? v.y : v.z); }

private:
    // The primitives' data as the hit-distance functions take it, and the
    // object's position in the render list (the tie-breaker).
    struct SpherePrim {
        Point center;
        double radiusSquared;
        std::uint32_t order;
    };
    struct TrianglePrim {
        Point v1;
        Vector3 edge2;  // v1 - v2
        Vector3 edge3;  // v1 - v3
        std::uint32_t order;
    };
    struct BoxPrim {
        Point corner1;
        Point corner2;
        std::uint32_t order;
    };
    struct PlanePrim {
        Vector3 normal;
        Point p0;
        std::uint32_t order;
        Vector3 unitNormal;  // the plane's surfaceNormal(), for its hit records
    };
    // Primitive kinds; also the kind of a cached blocker (0 is none).
    enum Kind : std::uint32_t { kSphere = 1, kTriangle, kBox, kPlane, kOther };
    // The kinds a leaf holds, by slot: spheres, triangles, boxes, others.
    static constexpr int kSlots = 4;
    static constexpr int kTyped = 3;  // the slots with arrays of their own
    static int slotOf(Kind kind) { return kind == kOther ? 3 : static_cast<int>(kind - kSphere); }
    static Kind kindOfSlot(int slot) {
        return slot == 3 ? kOther : static_cast<Kind>(kSphere + slot);
    }

    // Four floats that the compiler processes as one (SSE on x86-64), with
    // the rounding of plain floats, lane by lane.
    using Float4 = float __attribute__((vector_size(16)));
    using Int4 = std::int32_t __attribute__((vector_size(16)));
    // Up to four children, one lane each; their bounds are rounded outward
    // to floats. A slot without a child has lower bounds +inf and upper
    // bounds -inf, which no ray enters.
    struct Node {
        Float4 bound[3][2];      // [axis][lower, upper]
        std::uint32_t child[4];  // an index into m_nodes, or kLeaf | an index into m_leaves
    };
    static constexpr std::uint32_t kLeaf = 0x80000000u;
    // A leaf's primitives: count[k] of each typed slot's kind from first[k]
    // on, and count[3] others from m_leafOthers at the leaf's index. Others
    // are rare: keeping their start out of the leaf keeps it 16 bytes.
    struct Leaf {
        std::uint32_t first[kTyped];  // spheres, triangles, boxes
        std::uint8_t count[kSlots];   // spheres, triangles, boxes, others
    };

    // The range of the tree's coordinates and of ray origins, and the range
    // of the largest component of a ray's direction, within which the slab
    // test's floats neither overflow nor lose the padding (trace_accel.cpp).
    static constexpr double kRange = 0x1p60;
    static constexpr double kDirectionRange = 0x1p20;
    // Enough for three pending children on every level of the deepest tree.
    static constexpr int kStackSize = 256;

    struct RaySetup;
    struct BuildItem;
    struct Sorting;
    class Builder;
    class NearestQuery;
    class BlockerQuery;

    static double maxAbs(const Vector3& v) {
        return std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    }
    static bool finite(const Vector3& v) {
        return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    }
    // The nearest float at or below x, and at or above it.
    static float floatBelow(double x);
    static float floatAbove(double x);
    static Kind kindOf(const GeomObject* object);
    void addPrimitive(GeomObject* object, Kind kind, std::uint32_t order);
    // The padding of the boxes grows with the origin's largest absolute
    // coordinate (see trace_accel.cpp).
    void setPadding();
    // length is the largest absolute component of the ray's direction.
    RaySetup setup(const Ray& ray, double originMagnitude, double length) const;
    template <class Query>
    bool searchTree(Query& query) const;
    template <class Query>
    bool traverse(const RaySetup& s, Query& query) const;
    template <class Query>
    bool testPrimitives(const std::uint32_t first[kTyped], const std::uint32_t end[kTyped],
                        Query& query) const;
    template <class Query>
    bool testOthers(std::uint32_t first, std::uint32_t end, Query& query) const;
    template <class Query>
    bool testLinear(const std::uint32_t first[kSlots], Query& query) const;
    template <class Query>
    bool search(Query& query) const;
    double distance(Kind kind, std::uint32_t index, const Ray& ray) const;
    bool cachedBlocks(const BlockerCache& cache, const Ray& feeler, double lightDistance) const;
    void record(const NearestQuery& query, const Ray& ray, HitRec& hitrec) const;

    const std::vector<GeomObject*> m_objects;  // the render list
    // Depth first, the root first; none when the tree is a single leaf,
    // m_leaves[0], or empty.
    std::vector<Node> m_nodes;
    std::vector<Leaf> m_leaves;
    // Per leaf, the position in m_others of its first other, up to the last
    // leaf that holds one; empty when the tree holds none.
    std::vector<std::uint32_t> m_leafOthers;
    std::size_t m_treeObjects = 0;
    // The tree's primitives in leaf order, then the ones tested for every
    // ray, from m_linear[k] on (k a slot; the others are in m_others).
    std::vector<SpherePrim> m_spheres;
    std::vector<TrianglePrim> m_triangles;
    std::vector<BoxPrim> m_boxes;
    std::uint32_t m_linear[kSlots] = {0, 0, 0, 0};
    std::uint32_t m_ends[kSlots] = {0, 0, 0, 0};  // the sizes of the four arrays
    std::vector<PlanePrim> m_planes;
    std::vector<std::uint32_t> m_others;  // list positions of objects of no known kind
    Point m_lo{0, 0, 0};                  // union of the tree's object bounds
    Point m_hi{0, 0, 0};
    double m_magnitude = 0;  // largest absolute coordinate of those bounds
    double m_diagonal = 0;   // their diagonal's length
    double m_padPerOrigin = 0;  // pad = m_padPerOrigin * |origin| + m_padFixed
    double m_padFixed = 0;
};
