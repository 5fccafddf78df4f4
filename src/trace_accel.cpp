#include "trace_accel.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

// Why the padding below is enough. For each object in the tree, when its
// intersect() accepts a distance t, the exact point origin + t * direction
// must lie in the object's bounds grown by the pad; otherwise a node could be
// skipped whose object the linear scan accepts. With u = 2^-53:
//  - a box checks its hit point against the face, so the point is within a
//    few u of the coordinates' magnitude;
//  - a sphere's discriminant loses up to half its digits when a ray grazes it:
//    the point is within sqrt(64 u) (2 r + 3 |origin - centre|), under
//    1e-6 of the distances involved;
//  - a triangle's Cramer solution is within a few u of the coordinates and
//    distances divided by sin(a) sin(b), a its smallest angle and b the angle
//    between ray and plane. Triangles with sin(a) below 2^-10 are kept out of
//    the tree; b is the ray's, so no pad covers a ray lying in the plane to
//    within about 1e-10 radians, where the test's answer is rounding noise;
//  - the slab test itself rounds by a few u of the coordinates.
// The pad is 2^-30 of the coordinates' magnitude plus 2^-16 of the distances,
// orders of magnitude above each bound, and costs the tree almost nothing.
namespace {

const double kRoundingPad = std::ldexp(1.0, -30);
const double kDistancePad = std::ldexp(1.0, -16);
const double kPadFloor = std::ldexp(1.0, -500);
// Coordinates and direction lengths stay far from overflow and underflow
// within this range, which the bounds above assume.
const double kRange = std::ldexp(1.0, 200);
const double kSliverSine = std::ldexp(1.0, -10);
const int kStackSize = 128;

double maxAbs(const Vector3& v) {
    return std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
}

bool finite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

double axis(const Vector3& v, int a) { return a == 0 ? v.x : (a == 1 ? v.y : v.z); }

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

// The bounds of an object whose test is known to keep its hits within the
// padding; false for objects that are tested linearly.
bool treeBounds(GeomObject* object, Point& lo, Point& hi) {
    const auto* box = dynamic_cast<const Box*>(object);
    const auto* triangle = dynamic_cast<const Triangle*>(object);
    const bool known =
        (box != nullptr && box->leftChild == nullptr && box->rightChild == nullptr) ||
        dynamic_cast<const Sphere*>(object) != nullptr ||
        (triangle != nullptr && wellShaped(*triangle));
    if (!known || !object->isBounded()) {
        return false;
    }
    // A sphere gives its maximum corner first; order them here.
    const Point c1 = object->getCorner1();
    const Point c2 = object->getCorner2();
    lo = Point(std::min(c1.x, c2.x), std::min(c1.y, c2.y), std::min(c1.z, c2.z));
    hi = Point(std::max(c1.x, c2.x), std::max(c1.y, c2.y), std::max(c1.z, c2.z));
    return finite(lo) && finite(hi) && maxAbs(lo) <= kRange && maxAbs(hi) <= kRange;
}

}  // namespace

// Per-ray data of the slab test.
struct TraceAccel::RaySetup {
    double origin[3];
    double inverse[3];
    bool negative[3];  // by the sign bit, so that -0 counts as negative
    double pad;

    // The parameter interval in which the ray is inside the node's box grown
    // by the pad meets [0, tMax]. A NaN (zero numerator times an infinite
    // inverse) constrains nothing, which errs on the side of visiting.
    bool enters(const Node& node, double tMax) const {
        double tNear = 0;
        double tFar = tMax;
        for (int a = 0; a < 3; ++a) {
            const double lo = (node.lo[a] - pad - origin[a]) * inverse[a];
            const double hi = (node.hi[a] + pad - origin[a]) * inverse[a];
            const double entry = negative[a] ? hi : lo;
            const double exit = negative[a] ? lo : hi;
            if (entry > tNear) tNear = entry;
            if (exit < tFar) tFar = exit;
        }
        return tNear <= tFar;
    }
};

TraceAccel::TraceAccel(const std::vector<GeomObject*>& objects) : m_reference(objects) {
    assert(objects.size() < std::numeric_limits<std::uint32_t>::max());
    std::vector<BuildItem> items;
    items.reserve(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const Entry entry{objects[i], static_cast<std::uint32_t>(i)};
        BuildItem item;
        if (treeBounds(objects[i], item.lo, item.hi)) {
            item.centroid = 0.5 * (item.lo + item.hi);
            item.entry = entry;
            items.push_back(item);
        } else {
            m_linear.push_back(entry);
        }
    }
    if (items.empty()) {
        return;
    }
    m_lo = items.front().lo;
    m_hi = items.front().hi;
    for (const BuildItem& item : items) {
        m_lo = Point(std::min(m_lo.x, item.lo.x), std::min(m_lo.y, item.lo.y),
                     std::min(m_lo.z, item.lo.z));
        m_hi = Point(std::max(m_hi.x, item.hi.x), std::max(m_hi.y, item.hi.y),
                     std::max(m_hi.z, item.hi.z));
    }
    m_magnitude = std::max(maxAbs(m_lo), maxAbs(m_hi));
    m_diagonal = (m_hi - m_lo).magnitude();
    // A binary tree over n items has at most 2 n - 1 nodes.
    m_nodes.reserve(2 * items.size() - 1);
    m_entries.reserve(items.size());
    const int depth = buildNode(items, 0, items.size(), 0);
    assert(depth < kStackSize);
    (void)depth;
    m_nodes.shrink_to_fit();
}

std::size_t TraceAccel::memoryBytes() const {
    return m_nodes.capacity() * sizeof(Node) +
           (m_entries.capacity() + m_linear.capacity()) * sizeof(Entry);
}

TraceAccel::RaySetup TraceAccel::setup(const Ray& ray) const {
    RaySetup s;
    double outside = 0;  // how far the origin is from the tree's bounds, at most
    for (int a = 0; a < 3; ++a) {
        const double o = axis(ray.origin, a);
        const double d = axis(ray.direction, a);
        s.origin[a] = o;
        s.inverse[a] = 1 / d;
        s.negative[a] = std::signbit(d);
        outside += std::max({0.0, axis(m_lo, a) - o, o - axis(m_hi, a)});
    }
    s.pad = kRoundingPad * (maxAbs(ray.origin) + m_magnitude) +
            kDistancePad * (m_diagonal + outside) + kPadFloor;
    return s;
}

namespace {

// Rays whose arithmetic stays inside the range the padding assumes.
bool traceable(const Ray& ray) {
    if (!finite(ray.origin) || !finite(ray.direction)) {
        return false;
    }
    const double length = maxAbs(ray.direction);
    return maxAbs(ray.origin) <= kRange && length <= kRange && length >= 1 / kRange;
}

}  // namespace

bool TraceAccel::nearestHit(const Ray& ray, HitRec& hitrec) const {
    if (!traceable(ray)) {
        return m_reference.nearestHit(ray, hitrec);
    }
    bool hit = false;
    double nearest = std::numeric_limits<double>::max();
    std::uint32_t nearestOrder = 0;
    HitRec scratch;
    // The same acceptance as the scan, whatever order candidates come in.
    const auto consider = [&](const Entry& entry) {
        const double t = entry.object->intersect(ray, scratch);
        if (t > HIT_EPSILON &&
            (t < nearest || (hit && t == nearest && entry.order < nearestOrder))) {
            hit = true;
            nearest = t;
            nearestOrder = entry.order;
            hitrec.copy(scratch);
        }
    };
    for (const Entry& entry : m_linear) {
        consider(entry);
    }
    if (m_nodes.empty()) {
        return hit;
    }
    const RaySetup s = setup(ray);
    std::uint32_t stack[kStackSize];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const std::uint32_t current = stack[--top];
        const Node& node = m_nodes[current];
        // A node entered exactly at the nearest distance may still hold an
        // earlier object at that distance.
        if (!s.enters(node, nearest)) {
            continue;
        }
        if (node.count > 0) {
            for (std::uint32_t i = node.index; i < node.index + node.count; ++i) {
                consider(m_entries[i]);
            }
        } else if (s.negative[node.axis]) {
            stack[top++] = current + 1;
            stack[top++] = node.index;
        } else {
            stack[top++] = node.index;
            stack[top++] = current + 1;
        }
    }
    return hit;
}

bool TraceAccel::blocked(const Ray& feeler, double lightDistance) const {
    if (!traceable(feeler)) {
        return m_reference.blocked(feeler, lightDistance);
    }
    HitRec scratch;
    const auto blocks = [&](const Entry& entry) {
        const double t = entry.object->intersect(feeler, scratch);
        return t > HIT_EPSILON && t < lightDistance;
    };
    if (std::any_of(m_linear.begin(), m_linear.end(), blocks)) {
        return true;
    }
    if (m_nodes.empty()) {
        return false;
    }
    const RaySetup s = setup(feeler);
    std::uint32_t stack[kStackSize];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const std::uint32_t current = stack[--top];
        const Node& node = m_nodes[current];
        if (!s.enters(node, lightDistance)) {
            continue;
        }
        if (node.count > 0) {
            const Entry* first = &m_entries[node.index];
            if (std::any_of(first, first + node.count, blocks)) {
                return true;
            }
        } else {
            stack[top++] = node.index;
            stack[top++] = current + 1;
        }
    }
    return false;
}
