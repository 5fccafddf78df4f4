// The binary tree of the tracing hierarchy, by the binned surface area
// heuristic (see trace_accel_builder.h).
#include <algorithm>
#include <cassert>
#include <utility>

#include "trace_accel_builder.h"

namespace {

// Beyond this depth nodes are split at the median, which halves them, so
// the depth stays far below the traversal stack's size.
const int kMedianDepth = 48;
// Relative costs of visiting a node and of one object's intersection test.
const double kTraversalCost = 2.0;
const double kIntersectionCost = 1.0;

}  // namespace

TraceAccel::Builder::Binning::Binning(const Bounds& centroids) {
    for (int a = 0; a < 3; ++a) {
        low[a] = centroids.lo[a];
        const float extent = centroids.hi[a] - centroids.lo[a];
        if (extent > 0) {
            scale[a] = std::min(kBins / extent, std::numeric_limits<float>::max());
        }
    }
}

// Costs scaled by the node's area: a split's expected tests against a leaf's.
TraceAccel::Builder::Split TraceAccel::Builder::bestSplit(std::uint32_t begin, std::uint32_t end,
                                                          const Bounds& bounds,
                                                          const Binning& binning) const {
    // One pass bins the items along all three axes.
    Bounds bins[3][kBins];
    std::uint32_t binCounts[3][kBins] = {};
    for (std::uint32_t i = begin; i < end; ++i) {
        const Float4 lo = m_items[i].low();
        const Float4 hi = m_items[i].high();
        const Int4 key = binning.keys(lo + hi);
        for (int a = 0; a < 3; ++a) {
            bins[a][key[a]].grow(lo, hi);
            ++binCounts[a][key[a]];
        }
    }
    Split best;
    const double nodeCost = kTraversalCost * bounds.area();
    for (int a = 0; a < 3; ++a) {
        // Areas and counts of everything right of each boundary.
        double rightArea[kBins + 1];
        std::uint32_t rightCount[kBins + 1];
        rightArea[kBins] = 0;
        rightCount[kBins] = 0;
        Bounds right;
        for (int b = kBins - 1; b > 0; --b) {
            rightCount[b] = rightCount[b + 1] + binCounts[a][b];
            if (binCounts[a][b] == 0) {
                rightArea[b] = rightArea[b + 1];
                continue;
            }
            right.grow(bins[a][b]);
            rightArea[b] = right.area();
        }
        // A boundary after an empty bin splits as the one before it does.
        Bounds left;
        std::uint32_t leftCount = 0;
        for (int b = 0; b < kBins - 1 && rightCount[b + 1] > 0; ++b) {
            if (binCounts[a][b] == 0) continue;
            left.grow(bins[a][b]);
            leftCount += binCounts[a][b];
            const double cost =
                nodeCost + kIntersectionCost * (left.area() * static_cast<double>(leftCount) +
                                                rightArea[b + 1] * static_cast<double>(rightCount[b + 1]));
            if (cost < best.cost) {
                best.axis = a;
                best.bin = b;
                best.cost = cost;
                best.first = left;
            }
        }
    }
    if (best.axis >= 0) {
        for (int b = best.bin + 1; b < kBins; ++b) {
            best.second.grow(bins[best.axis][b]);
        }
    }
    return best;
}

// The same split as bestSplit's for at most kMaxLeafSize items, without
// the bins: the boundaries that bestSplit evaluates are those after each
// bin that holds an item, below the last, and each side's box is the union
// of the same items' boxes.
TraceAccel::Builder::Split TraceAccel::Builder::bestSmallSplit(std::uint32_t begin,
                                                               std::uint32_t end,
                                                               const Bounds& bounds,
                                                               const Binning& binning) const {
    const std::uint32_t count = end - begin;
    assert(count <= kMaxLeafSize);
    Float4 lo[kMaxLeafSize];
    Float4 hi[kMaxLeafSize];
    Int4 keys[kMaxLeafSize];
    for (std::uint32_t i = 0; i < count; ++i) {
        lo[i] = m_items[begin + i].low();
        hi[i] = m_items[begin + i].high();
        keys[i] = binning.keys(lo[i] + hi[i]);
    }
    Split best;
    const double nodeCost = kTraversalCost * bounds.area();
    for (int a = 0; a < 3; ++a) {
        // The occupied bins in increasing order.
        for (int bin = -1;;) {
            int next = kBins;
            for (std::uint32_t i = 0; i < count; ++i) {
                if (keys[i][a] > bin && keys[i][a] < next) next = keys[i][a];
            }
            Bounds first;
            Bounds second;
            std::uint32_t firstCount = 0;
            for (std::uint32_t i = 0; i < count; ++i) {
                if (keys[i][a] <= next) {
                    first.grow(lo[i], hi[i]);
                    ++firstCount;
                } else {
                    second.grow(lo[i], hi[i]);
                }
            }
            if (firstCount == count) break;
            const double cost =
                nodeCost + kIntersectionCost * (first.area() * static_cast<double>(firstCount) +
                                                second.area() * static_cast<double>(count - firstCount));
            if (cost < best.cost) {
                best.axis = a;
                best.bin = next;
                best.cost = cost;
                best.first = first;
                best.second = second;
            }
            bin = next;
        }
    }
    return best;
}

// Puts the items of the split's first bins first and returns where the
// others begin; gathers the centroid bounds of both sides on the way.
std::uint32_t TraceAccel::Builder::partition(std::uint32_t begin, std::uint32_t end,
                                             const Binning& binning, const Split& split,
                                             Bounds& firstCentroids, Bounds& secondCentroids) {
    std::uint32_t i = begin;
    std::uint32_t j = end;
    for (;;) {
        for (; i < j; ++i) {
            const Float4 c = m_items[i].centroid();
            if (binning.keys(c)[split.axis] > split.bin) break;
            firstCentroids.grow(c, c);
        }
        for (; i < j; --j) {
            const Float4 c = m_items[j - 1].centroid();
            if (binning.keys(c)[split.axis] <= split.bin) break;
            secondCentroids.grow(c, c);
        }
        if (i == j) return i;
        std::swap(m_items[i], m_items[j - 1]);
    }
}

// Halves the items at the median of the widest centroid extent.
std::uint32_t TraceAccel::Builder::splitAtMedian(std::uint32_t begin, std::uint32_t end,
                                                 const Bounds& centroids) {
    const Float4 extent = centroids.hi - centroids.lo;
    const int a = extent[0] >= extent[1] && extent[0] >= extent[2] ? 0 : (extent[1] >= extent[2] ? 1 : 2);
    const std::uint32_t middle = begin + (end - begin) / 2;
    std::nth_element(m_items.begin() + begin, m_items.begin() + middle, m_items.begin() + end,
                     [a](const BuildItem& x, const BuildItem& y) {
                         return x.centroid()[a] < y.centroid()[a];
                     });
    return middle;
}

void TraceAccel::Builder::measure(std::uint32_t begin, std::uint32_t end, Bounds& bounds,
                                  Bounds& centroids) const {
    for (std::uint32_t i = begin; i < end; ++i) {
        bounds.grow(m_items[i].low(), m_items[i].high());
        centroids.grow(m_items[i].centroid(), m_items[i].centroid());
    }
}

std::uint32_t TraceAccel::Builder::split(std::uint32_t begin, std::uint32_t end,
                                         const Bounds& bounds, const Bounds& centroids,
                                         int depth) {
    const auto index = static_cast<std::uint32_t>(m_bin.size());
    m_bin.push_back({{bounds.lo[0], bounds.lo[1], bounds.lo[2]},
                     {bounds.hi[0], bounds.hi[1], bounds.hi[2]},
                     0,
                     0});
    const std::uint32_t count = end - begin;
    const auto leaf = [&] {
        m_bin[index].link = begin;
        m_bin[index].count = count;
        ++m_leafCount;
        return index;
    };
    // A split costs at least the visit of its node, which is what testing
    // the objects of a node of two costs.
    if (static_cast<double>(count) * kIntersectionCost <= kTraversalCost) {
        return leaf();
    }

    Split best;
    const Binning binning(centroids);
    if (depth < kMedianDepth) {
        best = count <= kMaxLeafSize ? bestSmallSplit(begin, end, bounds, binning)
                                     : bestSplit(begin, end, bounds, binning);
        const double leafCost = kIntersectionCost * static_cast<double>(count) * bounds.area();
        if (count <= kMaxLeafSize && !(best.cost < leafCost)) {
            return leaf();
        }
    }

    std::uint32_t middle;
    Bounds firstCentroids;
    Bounds secondCentroids;
    if (best.axis >= 0) {
        middle = partition(begin, end, binning, best, firstCentroids, secondCentroids);
    } else if (count <= kMaxLeafSize) {
        return leaf();
    } else {
        // No useful split: coincident centroids, or too deep.
        middle = splitAtMedian(begin, end, centroids);
        measure(begin, middle, best.first, firstCentroids);
        measure(middle, end, best.second, secondCentroids);
    }
    split(begin, middle, best.first, firstCentroids, depth + 1);
    const std::uint32_t right = split(middle, end, best.second, secondCentroids, depth + 1);
    m_bin[index].link = right;
    return index;
}
