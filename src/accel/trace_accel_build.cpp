// Building the tracing hierarchy: the objects sorted by kind into the tree
// or the scan beside it, the binary tree (trace_accel_split.cpp) collapsed
// into four-way nodes, flattened depth first, then the primitives' copies.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <typeinfo>
#include <utility>

#include "accel/trace_accel_builder.h"

namespace {

const double kSliverSine = std::ldexp(1.0, -10);

// Sliver and tiny triangles give Cramer's rule a near-singular matrix for
// every ray: their hits can fall anywhere along it.
bool wellShaped(const Triangle& triangle) {
    const Vector3 a = triangle.v2 - triangle.v1;
    const Vector3 b = triangle.v3 - triangle.v1;
    const Vector3 c = triangle.v3 - triangle.v2;
    const Vector3 normal = a.cross(b);
    const double twiceAreaSquared = normal * normal;
    // sin of the smallest angle = twice the area over the longest two edges.
    const double edges = std::max({(a * a) * (b * b), (a * a) * (c * c), (b * b) * (c * c)});
    return twiceAreaSquared >= kSliverSine * kSliverSine * edges &&
           twiceAreaSquared >= std::ldexp(1.0, -800);
}

}  // namespace

int TraceAccel::Builder::build(const Bounds& bounds, const Bounds& centroids) {
    const auto items = static_cast<std::uint32_t>(m_items.size());
    // A binary tree over n items has at most 2 n - 1 nodes; pages of the
    // reserve that are never written cost no memory.
    m_bin.reserve(2 * std::size_t{items});
#pragma omp parallel if (items >= kParallelItems)
#pragma omp single
    split(0, items, bounds, centroids, 0, m_bin);

    // Only the items' list positions and kinds are needed from here on:
    // their bounds go before the four-way tree and the copies are made.
    m_orders.reserve(items);
    m_kinds.reserve(items);
    for (const BuildItem& item : m_items) {
        m_orders.push_back(item.order);
        m_kinds.push_back(static_cast<std::uint8_t>(slotOf(item.kind)));
    }
    std::vector<BuildItem>().swap(m_items);

    int depth = 0;
    if (m_bin[0].count > 0) {
        m_accel.m_leaves.reserve(1);
        makeLeaf(m_bin[0]);
    } else {
        std::size_t nodes = 0;
        std::size_t leaves = 0;
        count(0, nodes, leaves);
        m_accel.m_nodes.reserve(nodes);
        m_accel.m_leaves.reserve(leaves);
        emit(0, 1, depth);
    }
    assert(m_itemsInLeaves == items);
    std::vector<BinNode>().swap(m_bin);

    // The leaves cover the items in order, kind by kind.
    for (std::uint32_t i = 0; i < items; ++i) {
        const std::uint32_t order = m_orders[i];
        m_accel.addPrimitive(m_accel.m_objects[order], kindOfSlot(m_kinds[i]), order);
    }
    return depth;
}

// The children of the four-way node made of the inner binary node b: its
// children and grandchildren, opening the largest inner ones first, in
// their order. Returns how many there are.
int TraceAccel::Builder::collapse(std::uint32_t b, std::uint32_t children[4]) const {
    children[0] = b + 1;
    children[1] = m_bin[b].link;
    int count = 2;
    while (count < 4) {
        int widest = -1;
        double widestArea = 0;
        for (int c = 0; c < count; ++c) {
            const BinNode& child = m_bin[children[c]];
            if (child.count == 0 && (widest < 0 || child.area() > widestArea)) {
                widest = c;
                widestArea = child.area();
            }
        }
        if (widest < 0) break;
        const std::uint32_t opened = children[widest];
        for (int c = count; c > widest + 1; --c) {
            children[c] = children[c - 1];
        }
        children[widest] = opened + 1;
        children[widest + 1] = m_bin[opened].link;
        ++count;
    }
    return count;
}

void TraceAccel::Builder::count(std::uint32_t b, std::size_t& nodes, std::size_t& leaves) const {
    std::uint32_t children[4];
    const int n = collapse(b, children);
    ++nodes;
    for (int c = 0; c < n; ++c) {
        if (m_bin[children[c]].count > 0) {
            ++leaves;
        } else {
            count(children[c], nodes, leaves);
        }
    }
}

// Emits the inner binary node b as a four-way node, depth first.
std::uint32_t TraceAccel::Builder::emit(std::uint32_t b, int depth, int& deepest) {
    deepest = std::max(deepest, depth);
    std::uint32_t children[4];
    const int count = collapse(b, children);

    const auto index = static_cast<std::uint32_t>(m_accel.m_nodes.size());
    m_accel.m_nodes.emplace_back();
    const float inf = std::numeric_limits<float>::infinity();
    for (auto& axisBounds : m_accel.m_nodes[index].bound) {
        axisBounds[0] = splat(inf);
        axisBounds[1] = splat(-inf);
    }
    for (int c = 0; c < count; ++c) {
        const BinNode& child = m_bin[children[c]];
        const std::uint32_t ref =
            child.count > 0 ? (kLeaf | makeLeaf(child)) : emit(children[c], depth + 1, deepest);
        Node& node = m_accel.m_nodes[index];
        node.child[c] = ref;
        for (int a = 0; a < 3; ++a) {
            node.bound[a][0][c] = child.lo[a];
            node.bound[a][1][c] = child.hi[a];
        }
    }
    return index;
}

// Counts the leaf's items by kind; the typed arrays are filled later, in
// item order, which is leaf order.
std::uint32_t TraceAccel::Builder::makeLeaf(const BinNode& node) {
    assert(node.link == m_itemsInLeaves);
    Leaf leaf{};
    for (std::uint32_t i = node.link; i < node.link + node.count; ++i) {
        ++leaf.count[m_kinds[i]];
    }
    for (int k = 0; k < kTyped; ++k) {
        leaf.first[k] = m_next[k];
        m_next[k] += leaf.count[k];
    }
    if (leaf.count[3] != 0) {
        // Sized up to this leaf only: leaves without others are never looked up.
        std::vector<std::uint32_t>& starts = m_accel.m_leafOthers;
        starts.resize(m_accel.m_leaves.size() + 1);
        starts.back() = m_next[3];
        m_next[3] += leaf.count[3];
    }
    m_itemsInLeaves += node.count;
    m_accel.m_leaves.push_back(leaf);
    return static_cast<std::uint32_t>(m_accel.m_leaves.size() - 1);
}

TraceAccel::Kind TraceAccel::kindOf(const GeomObject* object) {
    // The kinds are final classes: comparing the dynamic type is enough.
    const std::type_info& type = typeid(*object);
    if (type == typeid(Sphere)) return kSphere;
    if (type == typeid(Triangle)) return kTriangle;
    if (type == typeid(Plane)) return kPlane;
    // A box with children is a hierarchy node, which intersects through them.
    return type == typeid(Box) && static_cast<const Box*>(object)->leftChild == nullptr ? kBox
                                                                                        : kOther;
}

void TraceAccel::addPrimitive(GeomObject* object, Kind kind, std::uint32_t order) {
    switch (kind) {
        case kSphere: {
            const auto* sphere = static_cast<const Sphere*>(object);
            m_spheres.push_back({sphere->_center, sphere->_radius * sphere->_radius, order});
            break;
        }
        case kTriangle: {
            const auto* t = static_cast<const Triangle*>(object);
            m_triangles.push_back({t->v1, t->v1 - t->v2, t->v1 - t->v3, order});
            break;
        }
        case kBox: {
            const auto* box = static_cast<const Box*>(object);
            m_boxes.push_back({box->corner1, box->corner2, order});
            break;
        }
        case kPlane: {
            auto* plane = static_cast<Plane*>(object);
            m_planes.push_back({plane->_normal, plane->p0, order, plane->surfaceNormal(plane->p0)});
            break;
        }
        case kOther:
            m_others.push_back(order);
            break;
    }
}

// The render list sorted for the build: the objects that the tree takes, as
// items, with the bounds of them all and of their centres, and the objects
// scanned beside the tree; and how many objects there are of each kind.
struct TraceAccel::Sorting {
    std::vector<BuildItem> items;
    std::vector<std::pair<std::uint32_t, Kind>> linear;  // list positions and kinds
    std::size_t kindCounts[kOther] = {};
    Point lo;  // the tree objects' bounds, unrounded
    Point hi;
    Builder::Bounds bounds;
    Builder::Bounds centroids;

    explicit Sorting(const std::vector<GeomObject*>& objects)
        : lo(kInfinity, kInfinity, kInfinity), hi(-kInfinity, -kInfinity, -kInfinity) {
        items.reserve(objects.size());
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const auto order = static_cast<std::uint32_t>(i);
            const Kind kind = kindOf(objects[i]);
            ++kindCounts[kind - kSphere];
            if (!addToTree(objects[i], order, kind)) {
                linear.emplace_back(order, kind);
            }
        }
    }

private:
    static constexpr double kInfinity = std::numeric_limits<double>::infinity();

    // Objects of a known kind whose hits stay within the padding and whose
    // bounds lie within the tree's range go into the tree; false for the rest.
    bool addToTree(GeomObject* object, std::uint32_t order, Kind kind) {
        // Other kinds test themselves; a hierarchy node is not one of them.
        const bool known = kind == kSphere || kind == kBox ||
                           (kind == kTriangle && wellShaped(*static_cast<const Triangle*>(object))) ||
                           (kind == kOther && typeid(*object) != typeid(Box));
        if (!known || !object->isBounded()) {
            return false;
        }
        // A sphere gives its maximum corner first; order them here.
        const Point c1 = object->getCorner1();
        const Point c2 = object->getCorner2();
        const Point low(std::min(c1.x, c2.x), std::min(c1.y, c2.y), std::min(c1.z, c2.z));
        const Point high(std::max(c1.x, c2.x), std::max(c1.y, c2.y), std::max(c1.z, c2.z));
        if (!finite(low) || !finite(high) || maxAbs(low) > kRange || maxAbs(high) > kRange) {
            return false;
        }
        const BuildItem item{{floatBelow(low.x), floatBelow(low.y), floatBelow(low.z)},
                             order,
                             {floatAbove(high.x), floatAbove(high.y), floatAbove(high.z)},
                             kind};
        items.push_back(item);
        bounds.grow(item.low(), item.high());
        centroids.grow(item.centroid(), item.centroid());
        lo = Point(std::min(lo.x, low.x), std::min(lo.y, low.y), std::min(lo.z, low.z));
        hi = Point(std::max(hi.x, high.x), std::max(hi.y, high.y), std::max(hi.z, high.z));
        return true;
    }
};

TraceAccel::TraceAccel(const std::vector<GeomObject*>& objects) : m_objects(objects) {
    assert(objects.size() < std::numeric_limits<std::uint32_t>::max());
    Sorting sorted(objects);
    const std::size_t* kindCounts = sorted.kindCounts;
    // Every array gets its final size at once: the counts are known.
    m_spheres.reserve(kindCounts[kSphere - kSphere]);
    m_triangles.reserve(kindCounts[kTriangle - kSphere]);
    m_boxes.reserve(kindCounts[kBox - kSphere]);
    m_planes.reserve(kindCounts[kPlane - kSphere]);
    m_others.reserve(kindCounts[kOther - kSphere]);
    m_treeObjects = sorted.items.size();
    if (!sorted.items.empty()) {
        m_lo = sorted.lo;
        m_hi = sorted.hi;
        m_magnitude = std::max(maxAbs(m_lo), maxAbs(m_hi));
        m_diagonal = (m_hi - m_lo).magnitude();
        setPadding();
        // The build frees the items.
        const int depth = Builder(*this, sorted.items).build(sorted.bounds, sorted.centroids);
        assert(3 * depth + 1 < kStackSize);
        (void)depth;
    }
    m_linear[0] = static_cast<std::uint32_t>(m_spheres.size());
    m_linear[1] = static_cast<std::uint32_t>(m_triangles.size());
    m_linear[2] = static_cast<std::uint32_t>(m_boxes.size());
    m_linear[3] = static_cast<std::uint32_t>(m_others.size());
    for (const auto& object : sorted.linear) {
        addPrimitive(m_objects[object.first], object.second, object.first);
    }
    m_ends[0] = static_cast<std::uint32_t>(m_spheres.size());
    m_ends[1] = static_cast<std::uint32_t>(m_triangles.size());
    m_ends[2] = static_cast<std::uint32_t>(m_boxes.size());
    m_ends[3] = static_cast<std::uint32_t>(m_others.size());
}
