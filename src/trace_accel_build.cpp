// Building the tracing hierarchy: binned surface area heuristic, flattened
// depth first as the nodes are made.
#include <algorithm>
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
const double kTraversalCost = 1.0;
const double kIntersectionCost = 1.0;

double axis(const Vector3& v, int a) { return a == 0 ? v.x : (a == 1 ? v.y : v.z); }

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

float floatBelow(double x) {
    const float max = std::numeric_limits<float>::max();
    if (x > max) return max;
    if (x < -max) return -std::numeric_limits<float>::infinity();
    auto f = static_cast<float>(x);
    if (f > x) f = std::nextafter(f, -std::numeric_limits<float>::infinity());
    return f;
}

float floatAbove(double x) { return -floatBelow(-x); }

// The bin of a centroid along an axis of the node's centroid bounds; -1
// when the centroids do not spread along it.
int bin(const Point& centroid, const Bounds& centroids, int a) {
    const double low = axis(centroids.lo, a);
    const double extent = axis(centroids.hi, a) - low;
    if (!(extent > 0)) return -1;
    const double f = (axis(centroid, a) - low) / extent;
    return std::min(kBins - 1, static_cast<int>(f * kBins));
}

struct Split {
    int axis = -1;
    int bin = 0;  // items in bins up to this one go first
    double cost = std::numeric_limits<double>::infinity();
};

}  // namespace

int TraceAccel::buildNode(std::vector<BuildItem>& items, std::size_t begin, std::size_t end,
                          int depth) {
    const std::size_t node = m_nodes.size();
    m_nodes.emplace_back();
    Bounds bounds;
    Bounds centroids;
    for (std::size_t i = begin; i < end; ++i) {
        bounds.grow(items[i].lo, items[i].hi);
        centroids.grow(items[i].centroid, items[i].centroid);
    }
    Node& made = m_nodes[node];
    made.lo[0] = floatBelow(bounds.lo.x);
    made.lo[1] = floatBelow(bounds.lo.y);
    made.lo[2] = floatBelow(bounds.lo.z);
    made.hi[0] = floatAbove(bounds.hi.x);
    made.hi[1] = floatAbove(bounds.hi.y);
    made.hi[2] = floatAbove(bounds.hi.z);

    const std::size_t count = end - begin;
    if (count == 1) {
        makeLeaf(items, begin, end, node);
        return depth;
    }

    // Costs scaled by the node's area: a split's expected tests against a leaf's.
    Split best;
    if (depth < kMedianDepth) {
        // One pass bins the items along all three axes.
        Bounds binBounds[3][kBins];
        std::size_t binCounts[3][kBins] = {};
        for (std::size_t i = begin; i < end; ++i) {
            for (int a = 0; a < 3; ++a) {
                const int b = bin(items[i].centroid, centroids, a);
                if (b < 0) continue;
                binBounds[a][b].grow(items[i].lo, items[i].hi);
                ++binCounts[a][b];
            }
        }
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
        const double leafCost = kIntersectionCost * static_cast<double>(count) * bounds.area();
        if (count <= kMaxLeafSize && !(best.cost < leafCost)) {
            makeLeaf(items, begin, end, node);
            return depth;
        }
    }

    std::size_t middle;
    int splitAxis;
    if (best.axis >= 0) {
        splitAxis = best.axis;
        const auto goesFirst = [&](const BuildItem& item) {
            return bin(item.centroid, centroids, splitAxis) <= best.bin;
        };
        const auto first = items.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto last = items.begin() + static_cast<std::ptrdiff_t>(end);
        middle = static_cast<std::size_t>(std::partition(first, last, goesFirst) - items.begin());
    } else if (count <= kMaxLeafSize) {
        makeLeaf(items, begin, end, node);
        return depth;
    } else {
        // No useful split (coincident centroids, or too deep): halve at the
        // median of the widest centroid extent.
        const Vector3 extent = centroids.hi - centroids.lo;
        splitAxis =
            extent.x >= extent.y && extent.x >= extent.z ? 0 : (extent.y >= extent.z ? 1 : 2);
        middle = begin + count / 2;
        std::nth_element(items.begin() + static_cast<std::ptrdiff_t>(begin),
                         items.begin() + static_cast<std::ptrdiff_t>(middle),
                         items.begin() + static_cast<std::ptrdiff_t>(end),
                         [splitAxis](const BuildItem& a, const BuildItem& b) {
                             return axis(a.centroid, splitAxis) < axis(b.centroid, splitAxis);
                         });
    }
    m_nodes[node].axis = static_cast<std::uint16_t>(splitAxis);
    const int leftDepth = buildNode(items, begin, middle, depth + 1);
    m_nodes[node].index = static_cast<std::uint32_t>(m_nodes.size());
    const int rightDepth = buildNode(items, middle, end, depth + 1);
    return std::max(leftDepth, rightDepth);
}

void TraceAccel::makeLeaf(std::vector<BuildItem>& items, std::size_t begin, std::size_t end,
                          std::size_t node) {
    m_nodes[node].index = static_cast<std::uint32_t>(m_entries.size());
    m_nodes[node].count = static_cast<std::uint16_t>(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        m_entries.push_back(items[i].entry);
    }
}
