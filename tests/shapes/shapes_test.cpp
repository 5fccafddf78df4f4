// The new shapes against their geometry: orthographic pictures made of a
// grid of parallel rays, whose hit pixels are known in closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "shapes/cone.h"
#include "shapes/disc.h"
#include "shapes/smooth_triangle.h"
#include "test_support.h"

using testing_support::makeRay;

namespace {

// Which pixels of an n x n grid, spacing 0.1 and centred on the origin in
// the x-y plane, a ray along -z from z = 10 hits; row 0 is the top. '#' a
// hit, '.' a miss.
std::string picture(GeomObject& object, int n) {
    std::string rows;
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < n; ++column) {
            const double x = (column + 0.5 - n / 2.0) * 0.1;
            const double y = (n / 2.0 - row - 0.5) * 0.1;
            HitRec rec;
            const double t = object.intersect(makeRay(Vector3(x, y, 10), Vector3(0, 0, -1)), rec);
            rows += t > HIT_EPSILON ? '#' : '.';
        }
        rows += '\n';
    }
    return rows;
}

int hitsInRow(const std::string& pic, int n, int row) {
    int count = 0;
    for (int c = 0; c < n; ++c) count += pic[static_cast<std::size_t>(row * (n + 1) + c)] == '#';
    return count;
}

}  // namespace

TEST(Cone, CylinderSideOnIsARectangleOfItsSize) {
    // Radius 0.5 and height 2 about the y axis: 10 columns and 20 rows.
    Cone cylinder(Point(0, -1, 0), 0.5, Point(0, 1, 0), 0.5, false);
    const std::string pic = picture(cylinder, 30);
    for (int row = 0; row < 30; ++row) {
        EXPECT_EQ(hitsInRow(pic, 30, row), row >= 5 && row < 25 ? 10 : 0) << pic;
    }
    // The side's normal points away from the axis, the caps' along it.
    HitRec rec;
    EXPECT_NEAR(cylinder.intersect(makeRay(Vector3(0, 0, 10), Vector3(0, 0, -1)), rec), 9.5,
                1e-12);
    EXPECT_NEAR(rec.n.z, 1, 1e-12);
    EXPECT_NEAR(cylinder.intersect(makeRay(Vector3(0.1, 10, 0), Vector3(0, -1, 0)), rec), 9,
                1e-12);
    EXPECT_EQ(rec.n.y, 1);
    const Point lo = cylinder.getCorner1(), hi = cylinder.getCorner2();
    EXPECT_NEAR(lo.x, -0.5, 1e-12);
    EXPECT_NEAR(hi.y, 1, 1e-12);
    EXPECT_NEAR(hi.z, 0.5, 1e-12);
}

TEST(Cone, OpenCylinderShowsItsInside) {
    Cone closed(Point(0, 0, 0), 1, Point(0, 0, -4), 1, false);
    Cone open(Point(0, 0, 0), 1, Point(0, 0, -4), 1, true);
    // Looking down the axis, slightly tilted: the closed one shows its
    // end disc, the open one its far inner wall, whose outward normal faces
    // away from the viewer.
    const Ray ray = makeRay(Vector3(0, 0, 1), Vector3(0.3, 0, -1));
    HitRec rec;
    EXPECT_NEAR(closed.intersect(ray, rec), 1, 1e-12);
    EXPECT_EQ(rec.n.z, 1);
    const double t = open.intersect(ray, rec);
    EXPECT_NEAR(t, 1 / 0.3, 1e-12);
    EXPECT_NEAR(rec.p.x, 1, 1e-9);
    EXPECT_GT(rec.n * ray.direction, 0);
    // Straight down the axis, the open tube is missed entirely.
    EXPECT_LT(open.intersect(makeRay(Vector3(0, 0, 5), Vector3(0, 0, -1)), rec), 0);
}

TEST(Cone, SilhouetteNarrowsLinearly) {
    // Base radius 1 at y = -1, a point at y = 1: the half width at height y
    // is (1 - y) / 2.
    Cone cone(Point(0, -1, 0), 1, Point(0, 1, 0), 0, true);
    const int n = 40;
    const std::string pic = picture(cone, n);
    for (int row = 0; row < n; ++row) {
        const double y = (n / 2.0 - row - 0.5) * 0.1;
        const double half = y > 1 || y < -1 ? -1 : (1 - y) / 2;
        int expected = 0;
        for (int c = 0; c < n; ++c) {
            const double x = (c + 0.5 - n / 2.0) * 0.1;
            expected += std::fabs(x) <= half;
        }
        EXPECT_EQ(hitsInRow(pic, n, row), expected) << "row " << row << "\n" << pic;
    }
}

TEST(Disc, RingShowsTheBackgroundThroughItsHole) {
    Disc ring(Point(0, 0, 0), Vector3(0, 0, 2), 1, 0.5);
    const int n = 30;
    const std::string pic = picture(ring, n);
    for (int row = 0; row < n; ++row) {
        for (int c = 0; c < n; ++c) {
            const double x = (c + 0.5 - n / 2.0) * 0.1;
            const double y = (n / 2.0 - row - 0.5) * 0.1;
            const double d2 = x * x + y * y;
            const bool inside = d2 <= 1 && d2 >= 0.25;
            EXPECT_EQ(pic[static_cast<std::size_t>(row * (n + 1) + c)] == '#', inside)
                << x << ", " << y << "\n" << pic;
        }
    }
    // Hit from both sides, with the normal as written, made unit.
    HitRec rec;
    EXPECT_NEAR(ring.intersect(makeRay(Vector3(0.7, 0, -3), Vector3(0, 0, 1)), rec), 3, 1e-12);
    EXPECT_EQ(rec.n, Vector3(0, 0, 1));
    Disc disc(Point(0, 0, 0), Vector3(0, 1, 0), 1, 0);
    EXPECT_GT(disc.intersect(makeRay(Vector3(0, 5, 0), Vector3(0, -1, 0)), rec), 0);
}

TEST(SmoothTriangle, ShadingNormalIsEachVertexNormalAtItsVertex) {
    const Point p[3] = {Point(0, 0, 0), Point(2, 0, 0), Point(0, 2, 0)};
    const Vector3 n[3] = {Vector3(0, 0, 3), Vector3(1, 0, 1), Vector3(0, -1, 1)};
    SmoothTriangle triangle(p[0], n[0], p[1], n[1], p[2], n[2]);
    for (int i = 0; i < 3; ++i) {
        const Vector3 expected = n[i].normalize();
        const Vector3 got = triangle.surfaceNormal(p[i]);
        EXPECT_NEAR(got.x, expected.x, 1e-15);
        EXPECT_NEAR(got.y, expected.y, 1e-15);
        EXPECT_NEAR(got.z, expected.z, 1e-15);
    }
    // The flat triangle decides the hit: the same distance as Triangle's.
    Triangle flat(p[0], p[1], p[2]);
    HitRec a, b;
    const Ray ray = makeRay(Vector3(0.5, 0.5, 4), Vector3(0.01, 0.02, -1));
    EXPECT_EQ(triangle.intersect(ray, a), flat.intersect(ray, b));
    // Midway between two vertices, the blend of their two normals.
    const Vector3 mid = triangle.surfaceNormal(Point(1, 0, 0));
    const Vector3 blend = (n[0].normalize() + n[1].normalize()).normalize();
    EXPECT_NEAR(mid.x, blend.x, 1e-12);
    EXPECT_NEAR(mid.z, blend.z, 1e-12);
    // A zero vertex normal stands for the flat normal.
    SmoothTriangle zero(p[0], Vector3(0, 0, 0), p[1], n[1], p[2], n[2]);
    EXPECT_EQ(zero.surfaceNormal(p[0]), Vector3(0, 0, 1));
}
