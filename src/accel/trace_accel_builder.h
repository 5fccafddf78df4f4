#pragma once

// The build of the tracing hierarchy, shared by trace_accel_build.cpp (the
// objects sorted into the tree or the scan beside it, the four-way nodes)
// and trace_accel_split.cpp (the binary tree by the binned surface area
// heuristic).
//
// The build works on floats, a box's three axes in the lanes of one vector:
// each object's bounds are rounded outward to floats once, and a node's box
// is the union of its objects' boxes, which is exactly the union of their
// true bounds rounded outward (rounding outward keeps order). Objects are
// binned by the sum of their box's corners, twice its centre.
#ifdef __SSE__
#include <xmmintrin.h>
#endif

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "accel/trace_accel.h"

// An object of the tree: its bounds rounded outward to floats, its position
// in the render list and its kind, in 32 bytes.
struct TraceAccel::BuildItem {
    float lo[3];
    std::uint32_t order;
    float hi[3];
    Kind kind;

    // The bounds as vectors with 0 in lane 3: each is read with the four
    // bytes after it, which are then cleared.
    Float4 low() const { return xyz(0); }
    Float4 high() const { return xyz(16); }
    Float4 centroid() const { return low() + high(); }

private:
    Float4 xyz(std::size_t offset) const {
        Int4 bits;
        std::memcpy(&bits, reinterpret_cast<const unsigned char*>(this) + offset, sizeof bits);
        bits &= Int4{-1, -1, -1, 0};
        Float4 lanes;
        std::memcpy(&lanes, &bits, sizeof lanes);
        return lanes;
    }
};

// Builds the binary tree over the items, then emits it as four-way nodes
// and leaves, then fills the typed arrays. Each stage frees what the next
// does not need, which keeps the peak of memory low.
class TraceAccel::Builder {
public:
    static_assert(sizeof(BuildItem) == 32, "an item is two vectors of four lanes");
    static constexpr std::uint32_t kMaxLeafSize = 8;

    static Float4 splat(float x) { return Float4{x, x, x, x}; }
    // Lane by lane minimum and maximum of numbers (no NaNs); the compiler
    // makes a comparison and a blend of the plain expression.
#ifdef __SSE__
    static Float4 lanesMin(Float4 a, Float4 b) { return _mm_min_ps(a, b); }
    static Float4 lanesMax(Float4 a, Float4 b) { return _mm_max_ps(a, b); }
#else
    static Float4 lanesMin(Float4 a, Float4 b) { return a < b ? a : b; }
    static Float4 lanesMax(Float4 a, Float4 b) { return a > b ? a : b; }
#endif

    // A box in lanes 0 to 2; the empty box has lower bounds +inf and upper
    // bounds -inf, and growing it by a box with 0 in lane 3 sets that lane
    // to 0.
    struct Bounds {
        Float4 lo = splat(std::numeric_limits<float>::infinity());
        Float4 hi = splat(-std::numeric_limits<float>::infinity());

        void grow(Float4 low, Float4 high) {
            lo = lanesMin(lo, low);
            hi = lanesMax(hi, high);
        }
        void grow(const Bounds& b) { grow(b.lo, b.hi); }
        // Half the surface area; 0 for an empty box.
        double area() const { return lo[0] <= hi[0] ? halfArea(lo, hi) : 0; }
    };

    Builder(TraceAccel& accel, std::vector<BuildItem>& items) : m_accel(accel), m_items(items) {}

    // Builds the tree over all the items, whose bounds and centroid bounds
    // are given, and frees them; returns the depth of the four-way tree.
    int build(const Bounds& bounds, const Bounds& centroids);

private:
    static constexpr int kBins = 16;
    // Fewer items than this are not worth a second thread.
    static constexpr std::uint32_t kParallelItems = 4096;

    // Half the surface area of a box from its extents in lanes 0 to 2: at
    // most 3 * 2^122 for boxes within the tree's range, well within floats.
    static double halfArea(Float4 lo, Float4 hi) {
        const Float4 e = hi - lo;
        const Float4 products = e * Float4{e[1], e[2], e[0], 0};
        return static_cast<double>(products[0] + products[1] + products[2]);
    }

    // Where a centroid falls among the bins of each axis of a node's
    // centroid bounds: scale is bins per unit of length, 0 along an axis
    // where the centroids do not spread, which puts them all into bin 0.
    struct Binning {
        Float4 low = splat(0);
        Float4 scale = splat(0);

        explicit Binning(const Bounds& centroids);
        // A centroid's bins along the three axes; the centroid lies within
        // the bounds, so (centroid - low) * scale is finite and at least 0.
        Int4 keys(Float4 centroid) const {
            const Float4 bin = (centroid - low) * scale;
            const Float4 last = splat(kBins - 1);
            return __builtin_convertvector(lanesMin(bin, last), Int4);
        }
    };
    // A node of the binary tree, in depth-first order: an inner node's left
    // child follows it.
    struct BinNode {
        float lo[3];
        float hi[3];
        std::uint32_t link;   // an inner node's right child, or a leaf's first item
        std::uint32_t count;  // a leaf's items; 0 for an inner node

        double area() const {
            return halfArea(Float4{lo[0], lo[1], lo[2], 0}, Float4{hi[0], hi[1], hi[2], 0});
        }
    };
    struct Split {
        int axis = -1;
        int bin = 0;  // items in bins up to this one go first
        double cost = std::numeric_limits<double>::infinity();
        Bounds first;  // the bounds of both sides
        Bounds second;
    };

    // The binary tree (trace_accel_split.cpp).
    Split bestSplit(std::uint32_t begin, std::uint32_t end, const Bounds& bounds,
                    const Binning& binning) const;
    Split bestSmallSplit(std::uint32_t begin, std::uint32_t end, const Bounds& bounds,
                         const Binning& binning) const;
    std::uint32_t partition(std::uint32_t begin, std::uint32_t end, const Binning& binning,
                            const Split& split, Bounds& firstCentroids, Bounds& secondCentroids);
    std::uint32_t splitAtMedian(std::uint32_t begin, std::uint32_t end, const Bounds& centroids);
    void measure(std::uint32_t begin, std::uint32_t end, Bounds& bounds, Bounds& centroids) const;
    // Appends the subtree over items [begin, end) to the tree, whose
    // capacity must hold it; returns the index of its root.
    std::uint32_t split(std::uint32_t begin, std::uint32_t end, const Bounds& bounds,
                        const Bounds& centroids, int depth, std::vector<BinNode>& tree);

    // The four-way tree (trace_accel_build.cpp).
    int collapse(std::uint32_t b, std::uint32_t children[4]) const;
    // Adds the four-way nodes and leaves that the subtree of the inner
    // binary node b makes.
    void count(std::uint32_t b, std::size_t& nodes, std::size_t& leaves) const;
    std::uint32_t emit(std::uint32_t b, int depth, int& deepest);
    std::uint32_t makeLeaf(const BinNode& node);

    TraceAccel& m_accel;
    std::vector<BuildItem>& m_items;
    std::vector<BinNode> m_bin;
    // The items' list positions and slots (slotOf their kinds), in
    // the binary tree's order.
    std::vector<std::uint32_t> m_orders;
    std::vector<std::uint8_t> m_kinds;
    // The next index into each typed array, and how many items the leaves
    // emitted so far hold.
    std::uint32_t m_next[kSlots] = {0, 0, 0, 0};
    std::size_t m_itemsInLeaves = 0;
};
