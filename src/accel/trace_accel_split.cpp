// The binary tree of the tracing hierarchy, by the binned surface area
// heuristic (see trace_accel_builder.h).
#include <algorithm>
#include <cassert>
#include <new>
#include <utility>

#include "accel/trace_accel_builder.h"

namespace {

// Beyond this depth nodes are split at the median, which halves them, so
// the depth stays far below the traversal stack's size.
const int kMedianDepth = 48;
// Relative costs of visiting a node and of one object's intersection test.
const double kTraversalCost = 2.0;
const double kIntersectionCost = 1.0;
// Subtrees are built in parallel down to this depth.
const int kParallelDepth = 4;

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
        bins[0][key[0]].grow(lo, hi);
        bins[1][key[1]].grow(lo, hi);
        bins[2][key[2]].grow(lo, hi);
        ++binCounts[0][key[0]];
        ++binCounts[1][key[1]];
        ++binCounts[2][key[2]];
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
                nodeCost +
                kIntersectionCost * (left.area() * static_cast<double>(leftCount) +
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
        // The items in the order of their bins along the axis.
        std::uint32_t order[kMaxLeafSize];
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t at = i;
            for (; at > 0 && keys[order[at - 1]][a] > keys[i][a]; --at) {
                order[at] = order[at - 1];
            }
            order[at] = i;
        }
        // What lies from each position on.
        Bounds rest[kMaxLeafSize];
        Bounds right;
        for (std::uint32_t k = count; k-- > 1;) {
            right.grow(lo[order[k]], hi[order[k]]);
            rest[k] = right;
        }
        Bounds left;
        for (std::uint32_t k = 1; k < count; ++k) {
            left.grow(lo[order[k - 1]], hi[order[k - 1]]);
            const int bin = keys[order[k - 1]][a];
            if (bin == keys[order[k]][a]) continue;
            const double cost =
                nodeCost + kIntersectionCost * (left.area() * static_cast<double>(k) +
                                                rest[k].area() * static_cast<double>(count - k));
            if (cost < best.cost) {
                best.axis = a;
                best.bin = bin;
                best.cost = cost;
                best.first = left;
                best.second = rest[k];
            }
        }
    }
    return best;
}

// Puts the items of the split's first bins first and returns where the
// others begin; gathers the centroid bounds of both sides on the way.
std::uint32_t TraceAccel::Builder::partition(std::uint32_t begin, std::uint32_t end,
                                             const Binning& binning, const Split& split,
                                             Bounds& firstCentroids, Bounds& secondCentroids) {
    // Binning::keys' arithmetic on the split's axis alone: the bin is at
    // most split.bin exactly when the scaled offset is below split.bin + 1.
    const int a = split.axis;
    const float low = binning.low[a];
    const float scale = binning.scale[a];
    const auto limit = static_cast<float>(split.bin + 1);
    const auto goesFirst = [&](const BuildItem& item) {
        return (item.lo[a] + item.hi[a] - low) * scale < limit;
    };
    std::uint32_t i = begin;
    std::uint32_t j = end;
    for (;;) {
        for (; i < j && goesFirst(m_items[i]); ++i) {
            firstCentroids.grow(m_items[i].centroid(), m_items[i].centroid());
        }
        for (; i < j && !goesFirst(m_items[j - 1]); --j) {
            secondCentroids.grow(m_items[j - 1].centroid(), m_items[j - 1].centroid());
        }
        if (i == j) return i;
        std::swap(m_items[i], m_items[j - 1]);
    }
}

// Halves the items at the median of the widest centroid extent.
std::uint32_t TraceAccel::Builder::splitAtMedian(std::uint32_t begin, std::uint32_t end,
                                                 const Bounds& centroids) {
    const Float4 extent = centroids.hi - centroids.lo;
    const int a =
        extent[0] >= extent[1] && extent[0] >= extent[2] ? 0 : (extent[1] >= extent[2] ? 1 : 2);
    const std::uint32_t middle = begin + (end - begin) / 2;
    std::nth_element(
        m_items.begin() + begin, m_items.begin() + middle, m_items.begin() + end,
        [a](const BuildItem& x, const BuildItem& y) { return x.centroid()[a] < y.centroid()[a]; });
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
                                         const Bounds& bounds, const Bounds& centroids, int depth,
                                         std::vector<BinNode>& tree) {
    const auto index = static_cast<std::uint32_t>(tree.size());
    tree.push_back({{bounds.lo[0], bounds.lo[1], bounds.lo[2]},
                    {bounds.hi[0], bounds.hi[1], bounds.hi[2]},
                    0,
                    0});
    const std::uint32_t count = end - begin;
    const auto leaf = [&] {
        tree[index].link = begin;
        tree[index].count = count;
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

    // Near the root, the second subtree is built beside the first, into a
    // tree of its own that is then appended: the nodes come out in the same
    // order, whichever thread builds what.
    std::vector<BinNode> second;
    if (depth < kParallelDepth && count >= kParallelItems) {
        try {
            second.reserve(2 * std::size_t{end - middle});
        } catch (const std::bad_alloc&) {
            second = std::vector<BinNode>();  // then one after the other, in place
        }
    }
    if (second.capacity() == 0) {
        split(begin, middle, best.first, firstCentroids, depth + 1, tree);
        tree[index].link = split(middle, end, best.second, secondCentroids, depth + 1, tree);
        return index;
    }
#pragma omp task default(shared)
    split(middle, end, best.second, secondCentroids, depth + 1, second);
    split(begin, middle, best.first, firstCentroids, depth + 1, tree);
#pragma omp taskwait
    const auto offset = static_cast<std::uint32_t>(tree.size());
    for (BinNode node : second) {
        node.link += node.count == 0 ? offset : 0;
        tree.push_back(node);
    }
    tree[index].link = offset;
    return index;
}
