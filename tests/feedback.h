#pragma once

// What OpenGL would draw, read back in feedback mode: the polygons' corners
// in view coordinates, with their texture coordinates, under an orthographic
// view of the cube -extent..extent on every axis (the model-view matrix is the
// identity when the drawing starts).

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "gl_window.h"

namespace feedback {

struct Corner {
    float x, y, z;
    float s, t;
};
typedef std::vector<Corner> Polygon;

template <typename Draw>
std::vector<Polygon> drawnPolygons(Draw draw, float extent = 20) {
    openTestWindow();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    std::vector<GLfloat> buffer(1 << 18);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "the feedback buffer overflowed";

    // Each vertex: x, y, z in window coordinates, RGBA, then STRQ.
    const int vertexSize = 11;
    std::vector<Polygon> polygons;
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        int count = 0;
        if (token == GL_POLYGON_TOKEN) {
            count = static_cast<int>(buffer[i++]);
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            ++i;
            continue;
        } else {
            // Points, lines and pixel rectangles are not collected.
            i += token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN ? 2 * vertexSize
                                                                         : vertexSize;
            continue;
        }
        Polygon polygon;
        for (int v = 0; v < count; ++v, i += vertexSize) {
            polygon.push_back({(buffer[i] - viewport[0]) / viewport[2] * 2 * extent - extent,
                               (buffer[i + 1] - viewport[1]) / viewport[3] * 2 * extent - extent,
                               (1 - 2 * buffer[i + 2]) * extent, buffer[i + 7], buffer[i + 8]});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

// Whether a corner of the polygon lies within the tolerance of p. Feedback
// may list a polygon's corners starting at any of them.
inline bool hasCorner(const Polygon& polygon, const std::array<float, 3>& p,
                      float tolerance = 1e-3f) {
    for (const Corner& q : polygon) {
        if (std::fabs(q.x - p[0]) <= tolerance && std::fabs(q.y - p[1]) <= tolerance &&
            std::fabs(q.z - p[2]) <= tolerance) {
            return true;
        }
    }
    return false;
}

}  // namespace feedback
