// The new shapes in the tracing index: its answers, record for record, are
// the linear scan's, for scenes of many of them among the original kinds.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "accel/scene_query.h"
#include "accel/trace_accel.h"
#include "shapes/cone.h"
#include "shapes/disc.h"
#include "shapes/mesh.h"
#include "shapes/smooth_triangle.h"
#include "shapes/transformed.h"
#include "test_support.h"

using testing_support::Lcg;
using testing_support::makeRay;

namespace {

struct Scene {
    std::vector<GeomObject*> list;
    ~Scene() {
        for (GeomObject* object : list) deleteSceneObject(object);
    }
    void add(GeomObject* object) {
        object->color = Color(static_cast<double>(list.size()), 0, 0);
        list.push_back(object);
    }
};

void build(Lcg& random, Scene& scene) {
    for (int i = 0; i < 40; ++i) {
        const Point at = random.point(6);
        const Vector3 axis = random.point(1) + Vector3(0, 1.5, 0);
        switch (i % 7) {
            case 0: scene.add(new Cone(at, 0.4, at + axis, 0.4, i % 2 == 0)); break;
            case 1: scene.add(new Cone(at, 0.6, at + axis, 0, false)); break;
            case 2: scene.add(new Disc(at, axis, 0.8, 0.3)); break;
            case 3:
                scene.add(new SmoothTriangle(at, random.point(1), at + random.point(1),
                                             random.point(1), at + random.point(1),
                                             random.point(1)));
                break;
            case 4: {
                Transform t;
                t.scale(Vector3(1, 0.5, 2));
                t.rotate(Vector3(30 * random.next(), 90, 10));
                t.translate(at);
                scene.add(new TransformedObject(new Box(Point(-0.5, -0.5, -0.5),
                                                        Point(0.5, 0.5, 0.5)), t));
                break;
            }
            case 5: {
                auto* mesh = new Mesh();
                for (int f = 0; f < 20; ++f) {
                    const auto base = static_cast<std::uint32_t>(mesh->positions.size());
                    for (int v = 0; v < 3; ++v) mesh->positions.push_back(at + random.point(1));
                    mesh->faces.push_back({{base, base + 1, base + 2},
                                           {Mesh::kNone, Mesh::kNone, Mesh::kNone},
                                           Mesh::kNone});
                }
                mesh->build();
                scene.add(mesh);
                break;
            }
            default: scene.add(new Sphere(at, 0.5)); break;
        }
    }
    scene.add(new Plane(Vector3(0, 1, 0), -7.0));
}

bool sameRecord(const HitRec& a, const HitRec& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

TEST(ShapesInIndex, TreeAndScanGiveTheSameAnswers) {
    int hits = 0;
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        Lcg random{seed};
        Scene scene;
        build(random, scene);
        const TraceAccel tree(scene.list);
        const LinearScene scan(scene.list);
        EXPECT_EQ(tree.linearObjectCount(), 1u);  // the plane alone
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const Ray ray = makeRay(Point(0, 0, 20), Vector3(x / 20.0 - 1, y / 20.0 - 1, -1.5));
                HitRec a, b;
                const bool hitA = tree.nearestHit(ray, a);
                ASSERT_EQ(hitA, scan.nearestHit(ray, b));
                // A direction too short for the tree's float test takes the
                // plain run over the tree's primitives, the others included.
                const Ray slow = makeRay(ray.origin, ray.direction * 1e-7);
                HitRec c, d;
                ASSERT_EQ(tree.nearestHit(slow, c), scan.nearestHit(slow, d));
                EXPECT_TRUE(!hitA || sameRecord(c, d)) << x << ", " << y;
                if (!hitA) continue;
                ++hits;
                EXPECT_TRUE(sameRecord(a, b)) << x << ", " << y;
                // Towards a light from the hit, and just short of the hit.
                const Ray feeler = makeRay(a.p, Point(3, 30, 10) - a.p);
                BlockerCache c1, c2;
                EXPECT_EQ(tree.blocked(feeler, 1, c1), scan.blocked(feeler, 1, c2));
                BlockerCache c3, c4;
                EXPECT_EQ(tree.blocked(ray, a.t, c3), scan.blocked(ray, a.t, c4));
            }
        }
    }
    EXPECT_GT(hits, 3000);
}
