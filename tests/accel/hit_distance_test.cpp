// The box's hit distance by offsets along each face's axis against the
// general face test (each face's plane, then its rectangle): the same
// distance bits and face for rays aimed at corners, edges and faces, from
// inside and outside, along the axes with signed zeros, and for the
// non-finite and overflowing input that the general test must decide.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "generated_scene.h"
#include "geom_hit.h"
#include "test_support.h"

using testing_support::makeRay;

namespace {

// Expects both box tests to agree bit for bit; returns whether the ray hit.
bool expectSameBoxHit(const Point& c1, const Point& c2, const Ray& ray) {
    int fastFace = 7;
    int generalFace = 7;
    const double fast = boxHitDistance(c1, c2, ray, fastFace);
    const double general = boxHitDistanceByPlanes(c1, c2, ray, generalFace);
    EXPECT_EQ(std::memcmp(&fast, &general, sizeof fast), 0)
        << fast << " against " << general << " from " << ray.origin << " along " << ray.direction;
    EXPECT_EQ(fastFace, generalFace);
    return generalFace >= 0;
}

}  // namespace

TEST(BoxHitDistance, FacesEdgesAndCornersGiveTheGeneralTestsAnswer) {
    Random random(7);
    int hits = 0;
    for (int box = 0; box < 200; ++box) {
        const Point c1 = random.point(3);
        const Point c2 = c1 + Vector3(random.uniform(0, 2), random.uniform(0, 2),
                                      random.chance(0.1) ? 0 : random.uniform(0, 2));
        const double xs[3] = {c1.x, (c1.x + c2.x) / 2, c2.x};
        const double ys[3] = {c1.y, (c1.y + c2.y) / 2, c2.y};
        const double zs[3] = {c1.z, (c1.z + c2.z) / 2, c2.z};
        for (int probe = 0; probe < 60; ++probe) {
            // A target on a corner, edge, face or inside, seen from outside,
            // from inside or from a point on the box.
            const Point target(xs[random.below(3)], ys[random.below(3)], zs[random.below(3)]);
            Point origin = random.point(6);
            if (probe % 5 == 0) origin = Point(xs[1], ys[1], zs[1]);
            if (probe % 7 == 0) origin = Point(xs[random.below(3)], ys[1], zs[random.below(3)]);
            Vector3 direction = target - origin;
            if (probe % 3 == 0) direction = direction + random.point(1e-9);
            if (probe % 4 == 0) {
                direction.x = random.chance(0.5) ? 0.0 : -0.0;
            }
            if (probe % 11 == 0) direction = -direction;
            hits += expectSameBoxHit(c1, c2, makeRay(origin, direction)) ? 1 : 0;
            // Axis-aligned rays along the face planes.
            hits += expectSameBoxHit(c1, c2, makeRay(Point(c1.x, origin.y, c2.z),
                                                     Vector3(0, random.uniform(-1, 1), -0.0)))
                        ? 1
                        : 0;
        }
    }
    EXPECT_GT(hits, 5000);
}

TEST(BoxHitDistance, NonFiniteAndOverflowingInputGetTheGeneralTestsAnswer) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double huge = std::numeric_limits<double>::max();
    const Point c1(-1, -1, -1);
    const Point c2(1, 1, 1);
    const Vector3 origins[] = {Vector3(0, 0, 5), Vector3(0, 0, 0), Vector3(inf, 0, 5),
                               Vector3(nan, 0, 5), Vector3(-huge, 0, 5), Vector3(0, huge, 5)};
    const Vector3 directions[] = {Vector3(0, 0, -1),   Vector3(inf, 0, -1),  Vector3(nan, 0, -1),
                                  Vector3(0, -inf, -1), Vector3(huge, 0, -1), Vector3(1e-300, 0, -1),
                                  Vector3(0, 0, 0),    Vector3(-0.0, 0.0, -1)};
    for (const Vector3& origin : origins) {
        for (const Vector3& direction : directions) {
            expectSameBoxHit(c1, c2, makeRay(origin, direction));
            // A box whose far corner is out of range of the origin.
            expectSameBoxHit(c1, Point(huge, 1, 1), makeRay(origin, direction));
            expectSameBoxHit(Point(-huge, -1, -1), c2, makeRay(origin, direction));
        }
    }
    // The one finite case the fast test must not take: the offsets' sum
    // overflows, the answer is still the box's.
    int face = -1;
    EXPECT_EQ(boxHitDistance(Point(-huge, -1, -1), Point(huge, 1, 1),
                             makeRay(Vector3(0, 0, 5), Vector3(0, 0, -1)), face),
              4);
    EXPECT_EQ(face, 1);
}
