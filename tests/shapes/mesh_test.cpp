// A mesh's own face tree against testing every face: the same nearest face,
// ties to the lower face number, at the same distance.
#include "shapes/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "geom_hit.h"
#include "test_support.h"

using testing_support::Lcg;
using testing_support::makeRay;

namespace {

// A bumpy grid of 40 x 40 quads on integer x and z, whose shared edges and
// corners tie between faces, a few faces repeated later (exact ties), and a
// cloud of loose triangles through it. Face f has the colour (f, 0, 0).
void buildMesh(Lcg& random, Mesh& mesh) {
    const int n = 40;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            mesh.positions.push_back(Point(i - n / 2, 0.3 * random.next(), j - n / 2));
        }
    }
    const auto at = [n](int i, int j) { return static_cast<std::uint32_t>(i * (n + 1) + j); };
    const auto add = [&mesh](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        const auto f = static_cast<std::uint32_t>(mesh.faces.size());
        mesh.faces.push_back({{a, b, c}, {Mesh::kNone, Mesh::kNone, Mesh::kNone}, f});
        Mesh::Material material;
        material.color = Color(f, 0, 0);
        mesh.materials.push_back(material);
    };
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            add(at(i, j), at(i + 1, j), at(i + 1, j + 1));
            add(at(i, j), at(i + 1, j + 1), at(i, j + 1));
        }
    }
    for (std::uint32_t f = 0; f < 2 * n * n; f += 37) {
        add(mesh.faces[f].v[0], mesh.faces[f].v[1], mesh.faces[f].v[2]);
    }
    for (int k = 0; k < 600; ++k) {
        const Point corner = random.point(n / 2);
        const auto first = static_cast<std::uint32_t>(mesh.positions.size());
        mesh.positions.push_back(corner);
        mesh.positions.push_back(corner + random.point(2));
        mesh.positions.push_back(corner + random.point(2));
        add(first, first + 1, first + 2);
    }
    mesh.build();
}

// Every face tested; -1 and kNone for no hit.
double bruteForce(const Mesh& mesh, const Ray& ray, std::uint32_t& best) {
    double t = std::numeric_limits<double>::max();
    best = Mesh::kNone;
    for (std::uint32_t f = 0; f < mesh.faces.size(); ++f) {
        const Point& v1 = mesh.positions[mesh.faces[f].v[0]];
        const double d = triangleHitDistance(v1, v1 - mesh.positions[mesh.faces[f].v[1]],
                                             v1 - mesh.positions[mesh.faces[f].v[2]], ray);
        if (d > HIT_EPSILON && (d < t || (d == t && f < best))) {
            t = d;
            best = f;
        }
    }
    return best == Mesh::kNone ? -1.0 : t;
}

}  // namespace

TEST(Mesh, TheTreeFindsTheFaceThatTestingEveryFaceFinds) {
    Lcg random{2024};
    Mesh mesh;
    buildMesh(random, mesh);
    std::vector<Ray> rays;
    // Straight down through grid corners and edge midpoints (ties between
    // faces), along the axes in both senses (infinite inverses), and from
    // anywhere in any direction, inside the cloud included.
    for (int i = -20; i <= 20; i += 3) {
        for (int j = -20; j <= 20; ++j) {
            rays.push_back(makeRay(Point(i, 5, j), Vector3(0, -1, 0)));
            rays.push_back(makeRay(Point(i + 0.5, 5, j), Vector3(0, -2, 0)));
            rays.push_back(makeRay(Point(i + 0.5, 5, j + 0.5), Vector3(0, -1, 0)));
        }
    }
    for (int k = 0; k < 200; ++k) {
        const Point origin = random.point(25);
        for (const Vector3& d : {Vector3(1, 0, 0), Vector3(-1, 0, 0), Vector3(0, 0, 1),
                                 Vector3(0, 0, -1), Vector3(0, 1, 0)}) {
            rays.push_back(makeRay(origin, d));
        }
    }
    for (int k = 0; k < 3000; ++k) {
        rays.push_back(makeRay(random.point(30), random.point(1)));
    }
    int hits = 0;
    for (std::size_t r = 0; r < rays.size(); ++r) {
        std::uint32_t expected;
        const double t = bruteForce(mesh, rays[r], expected);
        HitRec hit{};
        const double found = mesh.intersect(rays[r], hit);
        ASSERT_EQ(found, t) << "ray " << r;
        if (expected != Mesh::kNone) {
            ++hits;
            ASSERT_EQ(hit.color.r, static_cast<double>(expected)) << "ray " << r;
        }
    }
    EXPECT_GT(hits, static_cast<int>(rays.size()) / 3);
}
