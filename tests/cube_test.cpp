#include "cube.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "feedback.h"
#include "geom.h"

using feedback::Corner;

namespace {

bool contains(const feedback::Polygon& corners, const Corner& expected) {
    for (const Corner& v : corners) {
        if (std::abs(v.x - expected.x) < 1e-4 && std::abs(v.y - expected.y) < 1e-4 &&
            std::abs(v.z - expected.z) < 1e-4 && std::abs(v.s - expected.s) < 1e-5 &&
            std::abs(v.t - expected.t) < 1e-5) {
            return true;
        }
    }
    return false;
}

Vector3 position(const Corner& c) {
    return Vector3(c.x, c.y, c.z);
}

}  // namespace

TEST(Cube, FirstFaceIsMinusZWithTheBottomCellOfTheCross) {
    const auto polygons = feedback::drawnPolygons([] { texturedCube(2.0); }, 2);
    // Six quads, which the renderer may hand back split into triangles.
    std::size_t vertices = 0;
    for (const auto& polygon : polygons) vertices += polygon.size();
    ASSERT_TRUE(vertices == 24 || vertices == 36) << vertices;
    feedback::Polygon first = polygons[0];
    if (first.size() == 3) first.insert(first.end(), polygons[1].begin(), polygons[1].end());
    for (const Corner& corner :
         {Corner{1, 1, -1, 0.5f, 0}, Corner{1, -1, -1, 0.5f, 0.33333f},
          Corner{-1, -1, -1, 0.25f, 0.33333f}, Corner{-1, 1, -1, 0.25f, 0}}) {
        EXPECT_TRUE(contains(first, corner)) << corner.x << " " << corner.y << " " << corner.z;
    }
    GLfloat normal[3];
    glGetFloatv(GL_CURRENT_NORMAL, normal);  // of face 0, drawn last
    EXPECT_EQ(normal[0], -1);
    EXPECT_EQ(normal[1], 0);
    EXPECT_EQ(normal[2], 0);
}

TEST(GeomDraw, BoxIsItsExtentAroundTheOrigin) {
    const Box box(Point(1, 1, 1), Point(3, 5, 2));
    testing::internal::CaptureStdout();
    const auto cube = feedback::drawnPolygons([&box] { box.glDraw(); }, 4);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "using texturing alone, no lights\n");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    float lo[3] = {9, 9, 9};
    float hi[3] = {-9, -9, -9};
    for (const auto& polygon : cube) {
        for (const Corner& v : polygon) {
            const float c[3] = {v.x, v.y, v.z};
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], c[a]);
                hi[a] = std::max(hi[a], c[a]);
            }
        }
    }
    const float half[3] = {1, 2, 0.5f};
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(lo[a], -half[a], 1e-4) << "axis " << a;
        EXPECT_NEAR(hi[a], half[a], 1e-4) << "axis " << a;
    }
}

// A plane's 40 x 40 square stands on its own normal around p0, as the floor
// square lies on +y.
TEST(GeomDraw, PlaneIsASquareAroundP0PerpendicularToItsNormal) {
    const Plane floor(Vector3(0, 1, 0), -1.0);
    const auto flat = feedback::drawnPolygons([&floor] { floor.glDraw(); }, 25);
    ASSERT_FALSE(flat.empty());
    for (const Corner& corner : {Corner{-20, -1, 20, 0, 0}, Corner{20, -1, 20, 1, 0},
                                 Corner{-20, -1, -20, 0, 1}, Corner{20, -1, -20, 1, 1}}) {
        bool found = false;
        for (const auto& polygon : flat) found = found || contains(polygon, corner);
        EXPECT_TRUE(found) << corner.x << " " << corner.z;
    }
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));  // left on for the objects after it

    const std::pair<Vector3, double> planes[] = {
        {Vector3(0, 0, 1), -8},  {Vector3(1, 0, 0), 3},  {Vector3(1, 2, 2), 2},
        {Vector3(0, -1, 0), 4}, {Vector3(0.3, -0.9, 0.2), -2}, {Vector3(-1, -0.8, 0), 1}};
    for (const auto& [normal, d] : planes) {
        const Plane plane(normal, d);
        const Vector3 n = normal.normalize();
        // The corners by their texture coordinates, (s, t) = (0, 0) first.
        std::map<std::pair<float, float>, Vector3> corners;
        for (const auto& polygon : feedback::drawnPolygons([&plane] { plane.glDraw(); }, 40)) {
            for (const Corner& c : polygon) corners[{c.s, c.t}] = position(c);
        }
        ASSERT_EQ(corners.size(), 4u) << "normal " << normal;
        const Vector3 origin = corners[{0, 0}];
        const Vector3 along = corners[{1, 0}] - origin;
        const Vector3 across = corners[{0, 1}] - origin;
        Vector3 centre(0, 0, 0);
        for (const auto& corner : corners) {
            EXPECT_NEAR((corner.second - plane.p0) * n, 0, 1e-3) << "normal " << normal;
            centre = centre + 0.25 * corner.second;
        }
        EXPECT_NEAR((centre - plane.p0).magnitude(), 0, 1e-3) << "normal " << normal;
        EXPECT_NEAR(along.magnitude(), 40, 1e-3) << "normal " << normal;
        EXPECT_NEAR(across.magnitude(), 40, 1e-3) << "normal " << normal;
        EXPECT_NEAR(along * across, 0, 1e-2) << "normal " << normal;
        // Not mirrored: seen from where the normal points, the texture reads
        // as the floor's does from above.
        EXPECT_NEAR(along.cross(across) * n, 1600, 1e-2) << "normal " << normal;
    }
}
