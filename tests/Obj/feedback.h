#pragma once

// What OpenGL would draw, read back in feedback mode: the polygons' corners
// in view coordinates, under an orthographic view of the box -20..20 on
// every axis.

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <vector>

#include "gl_window.h"

namespace feedback {

typedef std::vector<std::array<float, 3>> Polygon;

template <typename Draw>
std::vector<Polygon> drawnPolygons(Draw draw) {
    openTestWindow();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-20, 20, -20, 20, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);

    // Window coordinates back to the view's.
    std::vector<Polygon> polygons;
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        if (token != GL_POLYGON_TOKEN) {
            continue;
        }
        Polygon polygon(static_cast<std::size_t>(buffer[i++]));
        for (std::array<float, 3>& p : polygon) {
            p[0] = (buffer[i++] - viewport[0]) / viewport[2] * 40 - 20;
            p[1] = (buffer[i++] - viewport[1]) / viewport[3] * 40 - 20;
            p[2] = 20 - buffer[i++] * 40;
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

// Whether a corner of the polygon lies within the tolerance of p. Feedback
// may list a polygon's corners starting at any of them.
inline bool hasCorner(const Polygon& polygon, const std::array<float, 3>& p,
                      float tolerance = 1e-3f) {
    for (const std::array<float, 3>& q : polygon) {
        if (std::fabs(q[0] - p[0]) <= tolerance && std::fabs(q[1] - p[1]) <= tolerance &&
            std::fabs(q[2] - p[2]) <= tolerance) {
            return true;
        }
    }
    return false;
}

}  // namespace feedback
