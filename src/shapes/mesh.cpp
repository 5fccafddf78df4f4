#include "shapes/mesh.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geom_hit.h"
#include "pigment/image_map.h"
#include "shapes/smooth_triangle.h"

namespace {

constexpr std::uint32_t kLeafSize = 4;
constexpr int kStackSize = 96;

float below(double x) {
    auto f = static_cast<float>(x);
    return f > x ? std::nextafter(f, -std::numeric_limits<float>::infinity()) : f;
}

float above(double x) { return -below(-x); }

double axisOf(const Vector3& v, int a) { return a == 0 ? v.x : (a == 1 ? v.y : v.z); }

// The number of nodes that halving n faces down to leaves of at most
// kLeafSize makes.
std::size_t nodeCount(std::size_t n) {
    return n <= kLeafSize ? 1 : 1 + nodeCount(n / 2) + nodeCount(n - n / 2);
}

// The slab test of a box given as floats (already grown) against a ray of
// the given origin and inverse direction, up to limit; a NaN from a zero
// offset times an infinite inverse constrains nothing.
inline bool entersBox(const float lo[3], const float hi[3], const double origin[3],
                      const double inverse[3], double limit) {
    double from = 0;
    double to = limit;
    for (int a = 0; a < 3; ++a) {
        double t1 = (lo[a] - origin[a]) * inverse[a];
        double t2 = (hi[a] - origin[a]) * inverse[a];
        if (t1 > t2) std::swap(t1, t2);
        if (t1 > from) from = t1;
        if (t2 < to) to = t2;
    }
    return !(from > to);
}

}  // namespace

void Mesh::build() {
    const double inf = std::numeric_limits<double>::infinity();
    m_lo = Point(inf, inf, inf);
    m_hi = Point(-inf, -inf, -inf);
    // The faces to split, each with its centroid; the tree's shape only
    // steers the search, so float centroids are enough.
    std::vector<BuildItem> items(faces.size());
    for (std::uint32_t f = 0; f < faces.size(); ++f) {
        const Point& a = positions[faces[f].v[0]];
        const Point& b = positions[faces[f].v[1]];
        const Point& c = positions[faces[f].v[2]];
        const Point centroid = (a + b + c) * (1.0 / 3);
        items[f] = {{static_cast<float>(centroid.x), static_cast<float>(centroid.y),
                     static_cast<float>(centroid.z)},
                    f};
        for (const Point* p : {&a, &b, &c}) {
            m_lo = Point(std::min(m_lo.x, p->x), std::min(m_lo.y, p->y), std::min(m_lo.z, p->z));
            m_hi = Point(std::max(m_hi.x, p->x), std::max(m_hi.y, p->y), std::max(m_hi.z, p->z));
        }
    }
    if (faces.empty()) {
        m_lo = m_hi = Point(0, 0, 0);
    }
    // The triangle test's hit points stray from the triangle by rounding of
    // the coordinates' magnitude; the boxes grow by far more.
    const double magnitude = std::max({std::fabs(m_lo.x), std::fabs(m_lo.y), std::fabs(m_lo.z),
                                       std::fabs(m_hi.x), std::fabs(m_hi.y), std::fabs(m_hi.z)});
    m_pad = magnitude * 1e-6 + 1e-30;
    m_nodes.clear();
    m_nodes.reserve(nodeCount(faces.size()));
    if (!faces.empty()) {
        buildNode(0, static_cast<std::uint32_t>(faces.size()), items);
    }
    m_order.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) m_order[i] = items[i].face;
}

// Splits at the median of the centroids along their widest axis; a node's
// box is the union of its children's, a leaf's that of its faces.
std::uint32_t Mesh::buildNode(std::uint32_t begin, std::uint32_t end,
                              std::vector<BuildItem>& items) {
    const auto index = static_cast<std::uint32_t>(m_nodes.size());
    m_nodes.emplace_back();
    if (end - begin <= kLeafSize) {
        double lo[3] = {std::numeric_limits<double>::infinity(), 0, 0};
        lo[1] = lo[2] = lo[0];
        double hi[3] = {-lo[0], -lo[0], -lo[0]};
        for (std::uint32_t i = begin; i < end; ++i) {
            for (const std::uint32_t v : faces[items[i].face].v) {
                for (int a = 0; a < 3; ++a) {
                    lo[a] = std::min(lo[a], axisOf(positions[v], a));
                    hi[a] = std::max(hi[a], axisOf(positions[v], a));
                }
            }
        }
        Node& node = m_nodes[index];
        for (int a = 0; a < 3; ++a) {
            node.lo[a] = below(lo[a] - m_pad);
            node.hi[a] = above(hi[a] + m_pad);
        }
        node.first = begin;
        node.count = end - begin;
        return index;
    }
    float clo[3] = {items[begin].centroid[0], items[begin].centroid[1], items[begin].centroid[2]};
    float chi[3] = {clo[0], clo[1], clo[2]};
    for (std::uint32_t i = begin + 1; i < end; ++i) {
        for (int a = 0; a < 3; ++a) {
            clo[a] = std::min(clo[a], items[i].centroid[a]);
            chi[a] = std::max(chi[a], items[i].centroid[a]);
        }
    }
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (chi[a] - clo[a] > chi[axis] - clo[axis]) axis = a;
    }
    const std::uint32_t middle = begin + (end - begin) / 2;
    // Ties by face index: the same tree on every run.
    std::nth_element(items.begin() + begin, items.begin() + middle, items.begin() + end,
                     [axis](const BuildItem& x, const BuildItem& y) {
                         return x.centroid[axis] < y.centroid[axis] ||
                                (x.centroid[axis] == y.centroid[axis] && x.face < y.face);
                     });
    const std::uint32_t left = buildNode(begin, middle, items);
    const std::uint32_t right = buildNode(middle, end, items);
    Node& node = m_nodes[index];
    for (int a = 0; a < 3; ++a) {
        // Rounding outward commutes with the union, so this is the box the
        // node's own vertices would give.
        node.lo[a] = std::min(m_nodes[left].lo[a], m_nodes[right].lo[a]);
        node.hi[a] = std::max(m_nodes[left].hi[a], m_nodes[right].hi[a]);
    }
    node.first = right;
    node.count = kInner + static_cast<std::uint32_t>(axis);
    return index;
}

double Mesh::faceDistance(const Face& face, const Ray& ray) const {
    const Point& v1 = positions[face.v[0]];
    return triangleHitDistance(v1, v1 - positions[face.v[1]], v1 - positions[face.v[2]], ray);
}

std::uint32_t Mesh::nearestFace(const Ray& ray, double& t) const {
    std::uint32_t best = kNone;
    t = std::numeric_limits<double>::max();
    if (m_nodes.empty()) {
        return best;
    }
    const double inverse[3] = {1 / ray.direction.x, 1 / ray.direction.y, 1 / ray.direction.z};
    const double origin[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    std::uint32_t stack[kStackSize];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const Node& node = m_nodes[stack[--top]];
        if (!entersBox(node.lo, node.hi, origin, inverse, t)) {
            continue;
        }
        if (node.count >= kInner) {
            const auto self = static_cast<std::uint32_t>(&node - m_nodes.data());
            if (top + 2 > kStackSize) {
                // Deeper than a median split makes; not reached.
                continue;
            }
            // The nearer child first, so that its hits cut the other short;
            // the winner is the same in any order.
            const bool rightFirst = (node.count == kInner + 0 && ray.direction.x < 0) ||
                                    (node.count == kInner + 1 && ray.direction.y < 0) ||
                                    (node.count == kInner + 2 && ray.direction.z < 0);
            stack[top++] = rightFirst ? self + 1 : node.first;
            stack[top++] = rightFirst ? node.first : self + 1;
            continue;
        }
        for (std::uint32_t i = node.first; i < node.first + node.count; ++i) {
            const std::uint32_t f = m_order[i];
            const double d = faceDistance(faces[f], ray);
            // Equal distances go to the earlier face, as between objects.
            if (d > HIT_EPSILON && (d < t || (d == t && f < best))) {
                t = d;
                best = f;
            }
        }
    }
    return best;
}

Color Mesh::textureColor(const Material& material, std::uint32_t f, const Point& a, const Point& b,
                         const Point& c, const Point& p) const {
    double w[3];
    barycentric(a, b, c, p, w[0], w[1], w[2]);
    double u = 0;
    double v = 0;
    for (int i = 0; i < 3; ++i) {
        const TextureCoord& corner = textureCoords[faceTextureCoords[f][i]];
        u += w[i] * corner.u;
        v += w[i] * corner.v;
    }
    return material.texture->atUV(u, v);
}

void Mesh::record(std::uint32_t f, double t, const Ray& ray, HitRec& hitrec) const {
    const Face& face = faces[f];
    const Point& a = positions[face.v[0]];
    const Point& b = positions[face.v[1]];
    const Point& c = positions[face.v[2]];
    hitrec.t = t;
    hitrec.p = ray.origin + t * ray.direction;
    if (face.n[0] == kNone) {
        hitrec.n = (b - a).cross(c - a).normalize();
    } else {
        hitrec.n = blendedNormal(a, b, c, normals[face.n[0]], normals[face.n[1]],
                                 normals[face.n[2]], hitrec.p);
    }
    if (face.material == kNone) {
        hitrec.color = color;
        hitrec.finish = finish;
    } else {
        const Material& material = materials[face.material];
        hitrec.color = material.color;
        hitrec.finish = material.finish;
        if (material.texture && f < faceTextureCoords.size() && faceTextureCoords[f][0] != kNone) {
            hitrec.color = textureColor(material, f, a, b, c, hitrec.p);
        }
    }
}

double Mesh::intersect(const Ray& ray, HitRec& hitrec) {
    double t;
    const std::uint32_t face = nearestFace(ray, t);
    if (face == kNone) {
        return -1.0;
    }
    record(face, t, ray, hitrec);
    return t;
}

Vector3 Mesh::surfaceNormal(const Point& p) {
    // The face nearest to p along a short probe through it would be exact;
    // callers use the hit record instead, which has the face.
    for (const Face& face : faces) {
        const Point& a = positions[face.v[0]];
        const Vector3 n = (positions[face.v[1]] - a).cross(positions[face.v[2]] - a).normalize();
        if (std::fabs((p - a) * n) < HIT_EPSILON) {
            return n;
        }
    }
    return Vector3(0, 0, 0);
}

double Mesh::bytesPerFace() const {
    if (faces.empty()) return 0;
    const std::size_t bytes =
        positions.capacity() * sizeof(Point) + normals.capacity() * sizeof(Vector3) +
        faces.capacity() * sizeof(Face) + materials.capacity() * sizeof(Material) +
        textureCoords.capacity() * sizeof(TextureCoord) +
        faceTextureCoords.capacity() * sizeof(faceTextureCoords[0]) +
        m_nodes.capacity() * sizeof(Node) + m_order.capacity() * sizeof(std::uint32_t);
    return static_cast<double>(bytes) / static_cast<double>(faces.size());
}
