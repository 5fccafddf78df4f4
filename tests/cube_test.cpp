#include "cube.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "geom.h"
#include "gl_window.h"

namespace {

struct FedVertex {
    float x, y, z;  // object coordinates
    float s, t;
};

// What the drawing sends to OpenGL, as polygons of object-space vertices with
// their texture coordinates, through feedback mode under an orthographic
// projection of the cube [-extent, extent]^3 onto a 2 x 2 viewport.
std::vector<std::vector<FedVertex>> feedback(const std::function<void()>& draw, float extent) {
    openTestWindow();
    glViewport(0, 0, 2, 2);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);

    std::vector<std::vector<FedVertex>> polygons;
    for (GLint i = 0; i < used;) {
        EXPECT_EQ(buffer[i], GL_POLYGON_TOKEN);
        const int count = static_cast<int>(buffer[i + 1]);
        i += 2;
        std::vector<FedVertex> polygon;
        for (int v = 0; v < count; ++v, i += 11) {  // x, y, z, RGBA, STRQ
            polygon.push_back({(buffer[i] - 1) * extent, (buffer[i + 1] - 1) * extent,
                               (1 - 2 * buffer[i + 2]) * extent, buffer[i + 7], buffer[i + 8]});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

bool contains(const std::vector<FedVertex>& vertices, const FedVertex& expected) {
    for (const FedVertex& v : vertices) {
        if (std::abs(v.x - expected.x) < 1e-4 && std::abs(v.y - expected.y) < 1e-4 &&
            std::abs(v.z - expected.z) < 1e-4 && std::abs(v.s - expected.s) < 1e-5 &&
            std::abs(v.t - expected.t) < 1e-5) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(Cube, FirstFaceIsMinusZWithTheBottomCellOfTheCross) {
    const auto polygons = feedback([] { texturedCube(2.0); }, 2);
    // Six quads, which the renderer may hand back split into triangles.
    std::size_t vertices = 0;
    for (const auto& polygon : polygons) vertices += polygon.size();
    ASSERT_TRUE(vertices == 24 || vertices == 36) << vertices;
    std::vector<FedVertex> first = polygons[0];
    if (first.size() == 3) first.insert(first.end(), polygons[1].begin(), polygons[1].end());
    for (const FedVertex& corner :
         {FedVertex{1, 1, -1, 0.5f, 0}, FedVertex{1, -1, -1, 0.5f, 0.33333f},
          FedVertex{-1, -1, -1, 0.25f, 0.33333f}, FedVertex{-1, 1, -1, 0.25f, 0}}) {
        EXPECT_TRUE(contains(first, corner)) << corner.x << " " << corner.y << " " << corner.z;
    }
    GLfloat normal[3];
    glGetFloatv(GL_CURRENT_NORMAL, normal);  // of face 0, drawn last
    EXPECT_EQ(normal[0], -1);
    EXPECT_EQ(normal[1], 0);
    EXPECT_EQ(normal[2], 0);
}

TEST(GeomDraw, BoxIsItsExtentAroundTheOriginAndPlaneAHorizontalSquare) {
    const Box box(Point(1, 1, 1), Point(3, 5, 2));
    testing::internal::CaptureStdout();
    const auto cube = feedback([&box] { box.glDraw(); }, 4);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "using texturing alone, no lights\n");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    float lo[3] = {9, 9, 9};
    float hi[3] = {-9, -9, -9};
    for (const auto& polygon : cube) {
        for (const FedVertex& v : polygon) {
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

    // A plane through the origin facing +x is still drawn flat at height 0.
    const Plane plane(Vector3(1, 0, 0), Point(0, 0, 0));
    const auto square = feedback([&plane] { plane.glDraw(); }, 25);
    ASSERT_FALSE(square.empty());
    for (const FedVertex& corner : {FedVertex{-20, 0, 20, 0, 0}, FedVertex{20, 0, 20, 1, 0},
                                    FedVertex{-20, 0, -20, 0, 1}, FedVertex{20, 0, -20, 1, 1}}) {
        bool found = false;
        for (const auto& polygon : square) found = found || contains(polygon, corner);
        EXPECT_TRUE(found) << corner.x << " " << corner.z;
    }
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));  // left on for the objects after it
}
