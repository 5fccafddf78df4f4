#include "shapes/transform.h"

#include <gtest/gtest.h>

#include <limits>

#include "shapes/transformed.h"
#include "test_support.h"

using testing_support::makeRay;

TEST(Transform, ComposesInTheOrderWritten) {
    // Scale, then move: the centre moves by the offset alone.
    Transform t;
    t.scale(Vector3(2, 2, 2));
    t.translate(Vector3(1, 0, 0));
    EXPECT_EQ(t.pointToWorld(Point(1, 1, 1)), Point(3, 2, 2));
    // Move, then scale: the offset is scaled too.
    Transform u;
    u.translate(Vector3(1, 0, 0));
    u.scale(Vector3(2, 2, 2));
    EXPECT_EQ(u.pointToWorld(Point(1, 1, 1)), Point(4, 2, 2));
    EXPECT_EQ(u.pointToObject(Point(4, 2, 2)), Point(1, 1, 1));
    // Quarter turns are exact: x about y goes to -z, y about z to -x.
    Transform r;
    r.rotate(Vector3(0, 90, 0));
    EXPECT_EQ(r.pointToWorld(Point(1, 0, 0)), Point(0, 0, -1));
    Transform z;
    z.rotate(Vector3(0, 0, 90));
    EXPECT_EQ(z.pointToWorld(Point(0, 1, 0)), Point(-1, 0, 0));
    // About x, then y, then z.
    Transform xyz;
    xyz.rotate(Vector3(90, 90, 0));
    EXPECT_EQ(xyz.pointToWorld(Point(0, 1, 0)), Point(1, 0, 0));
}

TEST(Transform, NormalsFollowTheInverseTranspose) {
    // A plane x = y squashed along y: its normal (1, -1, 0) becomes
    // (1, -2, 0) direction, not the squashed (1, -0.5, 0).
    Transform t;
    t.scale(Vector3(1, 0.5, 1));
    const Vector3 n = t.normalToWorld(Vector3(1, -1, 0));
    EXPECT_EQ(n, Vector3(1, -2, 0));
    // It stays perpendicular to the transformed surface's tangents.
    EXPECT_EQ(n * t.vectorToWorld(Vector3(1, 1, 0)), 0);
    Point lo, hi;
    t.rotate(Vector3(0, 0, 90));
    t.boundsToWorld(Point(-1, -1, -1), Point(1, 1, 1), lo, hi);
    EXPECT_EQ(lo, Point(-0.5, -1, -1));
    EXPECT_EQ(hi, Point(0.5, 1, 1));
}

TEST(TransformedObject, EllipsoidAndTurnedBox) {
    // A unit sphere scaled to radii 2, 1, 1: hit at x = 2 along x, normal
    // along x; at 45 degrees the normal leans by the inverse transpose.
    Transform t;
    t.scale(Vector3(2, 1, 1));
    TransformedObject ellipsoid(new Sphere(Point(0, 0, 0), 1), t);
    HitRec rec;
    EXPECT_EQ(ellipsoid.intersect(makeRay(Vector3(10, 0, 0), Vector3(-1, 0, 0)), rec), 8);
    EXPECT_EQ(rec.p, Point(2, 0, 0));
    EXPECT_EQ(rec.n, Vector3(1, 0, 0));
    EXPECT_EQ(ellipsoid.getCorner1(), Point(-2, -1, -1));
    EXPECT_EQ(ellipsoid.getCorner2(), Point(2, 1, 1));
    // A box 4 long in x turned a quarter about y is 4 long in z.
    Transform r;
    r.rotate(Vector3(0, 90, 0));
    TransformedObject box(new Box(Point(-2, -0.5, -0.5), Point(2, 0.5, 0.5)), r);
    EXPECT_EQ(box.intersect(makeRay(Vector3(0, 0, 10), Vector3(0, 0, -1)), rec), 8);
    EXPECT_EQ(rec.n, Vector3(0, 0, 1));
    // A box's miss is the largest finite double, passed on.
    EXPECT_EQ(box.intersect(makeRay(Vector3(1, 0, 10), Vector3(0, 0, -1)), rec),
              std::numeric_limits<double>::max());
    EXPECT_EQ(box.getCorner1(), Point(-0.5, -0.5, -2));
}
