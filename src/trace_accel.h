#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geom.h"
#include "scene_query.h"

// A bounding volume hierarchy for tracing a render list; it has nothing to do
// with the display hierarchy of gNodeList. Spheres, triangles and childless
// boxes go into a tree built with the surface area heuristic and flattened
// depth first into one array; everything else (planes, other kinds of object,
// non-finite or huge bounds, sliver triangles whose test is unreliable) is
// tested linearly beside it.
//
// Its answers are those of LinearScene over the same list: each candidate's
// own intersect() gives the distance, candidates are ranked by distance and
// then by list position, and a node's box is grown, per ray, by more than any
// intersection test's rounding can put a hit outside its object's bounds (see
// trace_accel.cpp). Rays it cannot vouch for (non-finite, zero or extreme
// origin or direction) go to the linear scan.
class TraceAccel final : public SceneQuery {
public:
    // The list must outlive the structure and stay unchanged.
    explicit TraceAccel(const std::vector<GeomObject*>& objects);

    bool nearestHit(const Ray& ray, HitRec& hitrec) const override;
    // Stops at the first blocker it finds.
    bool blocked(const Ray& feeler, double lightDistance) const override;

    std::size_t treeObjectCount() const { return m_entries.size(); }
    std::size_t linearObjectCount() const { return m_linear.size(); }
    std::size_t nodeCount() const { return m_nodes.size(); }
    // Heap bytes held by the structure (not by the objects).
    std::size_t memoryBytes() const;

private:
    struct Node {
        float lo[3];  // the node's bounds, rounded outward
        float hi[3];
        std::uint32_t index;  // leaf: first entry; inner node: the second child
        std::uint16_t count;  // leaf: number of entries; inner node: 0
        std::uint16_t axis;   // inner node: split axis; the first child follows the node
    };
    struct Entry {
        GeomObject* object;
        std::uint32_t order;  // position in the render list, the tie-breaker
    };
    struct BuildItem {
        Point lo;
        Point hi;
        Point centroid;
        Entry entry;
    };
    struct RaySetup;

    int buildNode(std::vector<BuildItem>& items, std::size_t begin, std::size_t end, int depth);
    void makeLeaf(std::vector<BuildItem>& items, std::size_t begin, std::size_t end,
                  std::size_t node);
    RaySetup setup(const Ray& ray) const;

    LinearScene m_reference;
    std::vector<Node> m_nodes;     // depth first; node 0 is the root
    std::vector<Entry> m_entries;  // leaf contents in tree order
    std::vector<Entry> m_linear;   // tested for every ray, in list order
    Point m_lo{0, 0, 0};           // union of the tree's object bounds
    Point m_hi{0, 0, 0};
    double m_magnitude = 0;  // largest absolute coordinate of those bounds
    double m_diagonal = 0;   // their diagonal's length
};
