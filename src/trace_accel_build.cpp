// Building the tracing hierarchy: the objects sorted by kind into the tree
// or the scan beside it, a binary tree by the binned surface area heuristic,
// then collapsed into four-way nodes, flattened depth first.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "trace_accel.h"

namespace {

const int kBins = 16;
const std::size_t kMaxLeafSize = 8;
// Beyond this depth nodes are split at the median, which halves them, so
// the depth stays far below the traversal stack's size.
const int kMedianDepth = 48;
// Relative costs of visiting a node and of one object's intersection test.
const double kTraversalCost = 2.0;
const double kIntersectionCost = 1.0;
const double kSliverSine = std::ldexp(1.0, -10);

struct Bounds {
    Point lo{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
             std::numeric_limits<double>::infinity()};
    Point hi{-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
             -std::numeric_limits<double>::infinity()};

    void grow(const Point& low, const Point& high) {
        lo = Point(std::min(lo.x, low.x), std::min(lo.y, low.y), std::min(lo.z, low.z));
        hi = Point(std::max(hi.x, high.x), std::max(hi.y, high.y), std::max(hi.z, high.z));
    }
    // Half the surface area; 0 for an empty box.
    double area() const {
        if (!(lo.x <= hi.x)) return 0;
        const Vector3 e = hi - lo;
        return e.x * e.y + e.y * e.z + e.z * e.x;
    }
};

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

struct TraceAccel::BuildItem {
    Point lo;
    Point hi;
    Point centroid;
    GeomObject* object;
    std::uint32_t order;
    Kind kind;
};

// Builds the binary tree over the items, then emits it as four-way nodes.
class TraceAccel::Builder {
public:
    Builder(TraceAccel& accel, std::vector<BuildItem>& items) : m_accel(accel), m_items(items) {}

    // Returns the depth of the four-way tree.
    int build() {
        const std::uint32_t root = split(0, m_items.size(), 0);
        if (m_bin[root].leaf) {
            m_accel.m_rootLeaf = true;
            makeLeaf(m_bin[root]);
            return 0;
        }
        int depth = 0;
        emit(root, 1, depth);
        return depth;
    }

private:
    struct BinNode {
        Bounds bounds;
        std::uint32_t left = 0;  // inner nodes: the children in m_bin
        std::uint32_t right = 0;
        std::size_t begin = 0;  // leaves: the items
        std::size_t end = 0;
        bool leaf = false;
    };
    struct Split {
        int axis = -1;
        int bin = 0;  // items in bins up to this one go first
        double cost = std::numeric_limits<double>::infinity();
    };

    // Where a centroid falls among the bins of each axis of a node's
    // centroid bounds.
    struct Binning {
        double low[3];
        double scale[3];  // bins per unit of length; 0 when the centroids do not spread

        explicit Binning(const Bounds& centroids) {
            for (int a = 0; a < 3; ++a) {
                low[a] = axis(centroids.lo, a);
                const double extent = axis(centroids.hi, a) - low[a];
                scale[a] = extent > 0 ? kBins / extent : 0;
            }
        }
        // The bin along axis a; -1 when the centroids do not spread along it.
        int bin(const Point& centroid, int a) const {
            if (!(scale[a] > 0)) return -1;
            return std::min(kBins - 1, static_cast<int>((axis(centroid, a) - low[a]) * scale[a]));
        }
    };

    Split bestSplit(std::size_t begin, std::size_t end, const Bounds& bounds,
                    const Binning& binning) const;
    std::uint32_t split(std::size_t begin, std::size_t end, int depth);
    std::uint32_t emit(std::uint32_t b, int depth, int& deepest);
    std::uint32_t makeLeaf(const BinNode& node);

    TraceAccel& m_accel;
    std::vector<BuildItem>& m_items;
    std::vector<BinNode> m_bin;
};

// Costs scaled by the node's area: a split's expected tests against a leaf's.
TraceAccel::Builder::Split TraceAccel::Builder::bestSplit(std::size_t begin, std::size_t end,
                                                          const Bounds& bounds,
                                                          const Binning& binning) const {
    // One pass bins the items along all three axes.
    Bounds binBounds[3][kBins];
    std::size_t binCounts[3][kBins] = {};
    for (std::size_t i = begin; i < end; ++i) {
        for (int a = 0; a < 3; ++a) {
            const int b = binning.bin(m_items[i].centroid, a);
            if (b < 0) continue;
            binBounds[a][b].grow(m_items[i].lo, m_items[i].hi);
            ++binCounts[a][b];
        }
    }
    Split best;
    for (int a = 0; a < 3; ++a) {
        // Areas and counts of everything right of each boundary.
        double rightArea[kBins];
        std::size_t rightCount[kBins];
        Bounds right;
        std::size_t n = 0;
        for (int b = kBins - 1; b > 0; --b) {
            if (binCounts[a][b] > 0) right.grow(binBounds[a][b].lo, binBounds[a][b].hi);
            n += binCounts[a][b];
            rightArea[b] = right.area();
            rightCount[b] = n;
        }
        Bounds left;
        std::size_t leftCount = 0;
        for (int b = 0; b < kBins - 1; ++b) {
            if (binCounts[a][b] > 0) left.grow(binBounds[a][b].lo, binBounds[a][b].hi);
            leftCount += binCounts[a][b];
            if (leftCount == 0 || rightCount[b + 1] == 0) continue;
            const double cost =
                kTraversalCost * bounds.area() +
                kIntersectionCost * (left.area() * static_cast<double>(leftCount) +
                                     rightArea[b + 1] * static_cast<double>(rightCount[b + 1]));
            if (cost < best.cost) {
                best.axis = a;
                best.bin = b;
                best.cost = cost;
            }
        }
    }
    return best;
}

std::uint32_t TraceAccel::Builder::split(std::size_t begin, std::size_t end, int depth) {
    const auto index = static_cast<std::uint32_t>(m_bin.size());
    m_bin.emplace_back();
    Bounds bounds;
    Bounds centroids;
    for (std::size_t i = begin; i < end; ++i) {
        bounds.grow(m_items[i].lo, m_items[i].hi);
        centroids.grow(m_items[i].centroid, m_items[i].centroid);
    }
    m_bin[index].bounds = bounds;
    const std::size_t count = end - begin;
    const auto leaf = [&] {
        m_bin[index].leaf = true;
        m_bin[index].begin = begin;
        m_bin[index].end = end;
        return index;
    };
    if (count == 1) {
        return leaf();
    }

    Split best;
    const Binning binning(centroids);
    if (depth < kMedianDepth) {
        best = bestSplit(begin, end, bounds, binning);
        const double leafCost = kIntersectionCost * static_cast<double>(count) * bounds.area();
        if (count <= kMaxLeafSize && !(best.cost < leafCost)) {
            return leaf();
        }
    }

    std::size_t middle;
    const auto first = m_items.begin() + static_cast<std::ptrdiff_t>(begin);
    const auto last = m_items.begin() + static_cast<std::ptrdiff_t>(end);
    if (best.axis >= 0) {
        const auto goesFirst = [&](const BuildItem& item) {
            return binning.bin(item.centroid, best.axis) <= best.bin;
        };
        middle = static_cast<std::size_t>(std::partition(first, last, goesFirst) - m_items.begin());
    } else if (count <= kMaxLeafSize) {
        return leaf();
    } else {
        // No useful split (coincident centroids, or too deep): halve at the
        // median of the widest centroid extent.
        const Vector3 extent = centroids.hi - centroids.lo;
        const int a =
            extent.x >= extent.y && extent.x >= extent.z ? 0 : (extent.y >= extent.z ? 1 : 2);
        middle = begin + count / 2;
        std::nth_element(first, m_items.begin() + static_cast<std::ptrdiff_t>(middle), last,
                         [a](const BuildItem& x, const BuildItem& y) {
                             return axis(x.centroid, a) < axis(y.centroid, a);
                         });
    }
    const std::uint32_t left = split(begin, middle, depth + 1);
    const std::uint32_t right = split(middle, end, depth + 1);
    m_bin[index].left = left;
    m_bin[index].right = right;
    return index;
}

// Emits the inner binary node b as a four-way node whose children are its
// children and grandchildren, opening the largest inner ones first.
std::uint32_t TraceAccel::Builder::emit(std::uint32_t b, int depth, int& deepest) {
    deepest = std::max(deepest, depth);
    std::uint32_t children[4] = {m_bin[b].left, m_bin[b].right, 0, 0};
    std::uint32_t count = 2;
    while (count < 4) {
        int widest = -1;
        for (std::uint32_t c = 0; c < count; ++c) {
            if (!m_bin[children[c]].leaf &&
                (widest < 0 ||
                 m_bin[children[c]].bounds.area() > m_bin[children[widest]].bounds.area())) {
                widest = static_cast<int>(c);
            }
        }
        if (widest < 0) break;
        const BinNode& opened = m_bin[children[widest]];
        for (std::uint32_t c = count; c > static_cast<std::uint32_t>(widest) + 1; --c) {
            children[c] = children[c - 1];
        }
        children[widest + 1] = opened.right;
        children[widest] = opened.left;
        ++count;
    }

    const auto index = static_cast<std::uint32_t>(m_accel.m_nodes.size());
    m_accel.m_nodes.emplace_back();
    const float inf = std::numeric_limits<float>::infinity();
    for (auto& axisBounds : m_accel.m_nodes[index].bound) {
        axisBounds[0] = Float4{inf, inf, inf, inf};
        axisBounds[1] = Float4{-inf, -inf, -inf, -inf};
    }
    for (std::uint32_t c = 0; c < count; ++c) {
        const BinNode& child = m_bin[children[c]];
        const std::uint32_t ref =
            child.leaf ? (kLeaf | makeLeaf(child)) : emit(children[c], depth + 1, deepest);
        Node& node = m_accel.m_nodes[index];
        node.child[c] = ref;
        for (int a = 0; a < 3; ++a) {
            node.bound[a][0][c] = floatBelow(axis(child.bounds.lo, a));
            node.bound[a][1][c] = floatAbove(axis(child.bounds.hi, a));
        }
    }
    return index;
}

// Appends the leaf's primitives to the typed arrays, kind by kind.
std::uint32_t TraceAccel::Builder::makeLeaf(const BinNode& node) {
    const auto first = m_items.begin() + static_cast<std::ptrdiff_t>(node.begin);
    const auto last = m_items.begin() + static_cast<std::ptrdiff_t>(node.end);
    std::sort(first, last,
              [](const BuildItem& x, const BuildItem& y) { return x.kind < y.kind; });
    Leaf leaf;
    leaf.first[0] = static_cast<std::uint32_t>(m_accel.m_spheres.size());
    leaf.first[1] = static_cast<std::uint32_t>(m_accel.m_triangles.size());
    leaf.first[2] = static_cast<std::uint32_t>(m_accel.m_boxes.size());
    for (auto item = first; item != last; ++item) {
        m_accel.addPrimitive(item->object, item->kind, item->order);
    }
    leaf.count[0] = static_cast<std::uint8_t>(m_accel.m_spheres.size() - leaf.first[0]);
    leaf.count[1] = static_cast<std::uint8_t>(m_accel.m_triangles.size() - leaf.first[1]);
    leaf.count[2] = static_cast<std::uint8_t>(m_accel.m_boxes.size() - leaf.first[2]);
    m_accel.m_leaves.push_back(leaf);
    return static_cast<std::uint32_t>(m_accel.m_leaves.size() - 1);
}

TraceAccel::Kind TraceAccel::kindOf(const GeomObject* object) {
    if (dynamic_cast<const Sphere*>(object) != nullptr) return kSphere;
    if (dynamic_cast<const Triangle*>(object) != nullptr) return kTriangle;
    if (dynamic_cast<const Plane*>(object) != nullptr) return kPlane;
    // A box with children is a hierarchy node, which intersects through them.
    const auto* box = dynamic_cast<const Box*>(object);
    return box != nullptr && box->leftChild == nullptr ? kBox : kOther;
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
            const auto* plane = static_cast<const Plane*>(object);
            m_planes.push_back({plane->_normal, plane->p0, order});
            break;
        }
        case kOther:
            m_others.push_back(order);
            break;
    }
}

TraceAccel::TraceAccel(const std::vector<GeomObject*>& objects)
    : m_objects(objects) {
    assert(objects.size() < std::numeric_limits<std::uint32_t>::max());
    std::vector<BuildItem> items;
    std::vector<BuildItem> linear;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        BuildItem item;
        item.object = objects[i];
        item.order = static_cast<std::uint32_t>(i);
        item.kind = kindOf(objects[i]);
        const bool known = item.kind == kSphere || item.kind == kBox ||
                           (item.kind == kTriangle &&
                            wellShaped(*static_cast<const Triangle*>(objects[i])));
        // Only objects whose hits stay within the padding go into the tree.
        if (known && objects[i]->isBounded()) {
            // A sphere gives its maximum corner first; order them here.
            const Point c1 = objects[i]->getCorner1();
            const Point c2 = objects[i]->getCorner2();
            item.lo = Point(std::min(c1.x, c2.x), std::min(c1.y, c2.y), std::min(c1.z, c2.z));
            item.hi = Point(std::max(c1.x, c2.x), std::max(c1.y, c2.y), std::max(c1.z, c2.z));
            if (finite(item.lo) && finite(item.hi) && maxAbs(item.lo) <= kRange &&
                maxAbs(item.hi) <= kRange) {
                item.centroid = 0.5 * (item.lo + item.hi);
                items.push_back(item);
                continue;
            }
        }
        linear.push_back(item);
    }
    m_treeObjects = items.size();
    if (!items.empty()) {
        Bounds all;
        for (const BuildItem& item : items) {
            all.grow(item.lo, item.hi);
        }
        m_lo = all.lo;
        m_hi = all.hi;
        m_magnitude = std::max(maxAbs(m_lo), maxAbs(m_hi));
        m_diagonal = (m_hi - m_lo).magnitude();
        setPadding();
        const int depth = Builder(*this, items).build();
        assert(3 * depth + 1 < kStackSize);
        (void)depth;
    }
    m_linear[0] = static_cast<std::uint32_t>(m_spheres.size());
    m_linear[1] = static_cast<std::uint32_t>(m_triangles.size());
    m_linear[2] = static_cast<std::uint32_t>(m_boxes.size());
    for (const BuildItem& item : linear) {
        addPrimitive(item.object, item.kind, item.order);
    }
    m_nodes.shrink_to_fit();
    m_leaves.shrink_to_fit();
    m_spheres.shrink_to_fit();
    m_triangles.shrink_to_fit();
    m_boxes.shrink_to_fit();
}
