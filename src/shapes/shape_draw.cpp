// Preview drawing of the shapes of this folder, with immediate-mode OpenGL:
// curved surfaces tessellated, transforms as the modelview matrix.
#include <GL/glut.h>

#include <cmath>

#include "GLSL_helper.h"
#include "shapes/cone.h"
#include "shapes/disc.h"
#include "shapes/mesh.h"
#include "shapes/smooth_triangle.h"
#include "shapes/transformed.h"

namespace {

constexpr int kSegments = 32;

void setColor(const Color& c) {
    glColor3f(static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b));
}

void normal(const Vector3& n) { glNormal3d(n.x, n.y, n.z); }
void vertex(const Point& p) { glVertex3d(p.x, p.y, p.z); }

// Two unit vectors across the unit axis, at right angles to each other.
void across(const Vector3& axis, Vector3& u, Vector3& v) {
    const Vector3 helper = std::fabs(axis.x) < 0.9 ? Vector3(1, 0, 0) : Vector3(0, 1, 0);
    u = axis.cross(helper).normalize();
    v = axis.cross(u);
}

Vector3 around(const Vector3& u, const Vector3& v, int segment) {
    const double angle = 2 * M_PI * segment / kSegments;
    return std::cos(angle) * u + std::sin(angle) * v;
}

// A flat ring between two radii about center, facing n.
void ring(const Point& center, const Vector3& n, double inner, double outer) {
    Vector3 u, v;
    across(n, u, v);
    glBegin(GL_TRIANGLE_STRIP);
    normal(n);
    for (int s = 0; s <= kSegments; ++s) {
        const Vector3 r = around(u, v, s);
        vertex(center + outer * r);
        vertex(center + inner * r);
    }
    glEnd();
}

}  // namespace

void Cone::glDraw() const {
    glDisable(GL_TEXTURE_2D);
    setColor(color);
    Vector3 u, v;
    across(m_axis, u, v);
    glBegin(GL_TRIANGLE_STRIP);
    for (int s = 0; s <= kSegments; ++s) {
        const Vector3 r = around(u, v, s);
        normal((r - m_slope * m_axis).normalize());
        vertex(base + baseRadius * r);
        vertex(cap + capRadius * r);
    }
    glEnd();
    if (!open) {
        ring(base, -m_axis, 0, baseRadius);
        ring(cap, m_axis, 0, capRadius);
    }
    printOpenGLError();
}

void Disc::glDraw() const {
    glDisable(GL_TEXTURE_2D);
    setColor(color);
    ring(center, normal, holeRadius, radius);
    printOpenGLError();
}

void SmoothTriangle::glDraw() const {
    glDisable(GL_TEXTURE_2D);
    setColor(color);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 3; ++i) {
        normal(n[i]);
        vertex(v[i]);
    }
    glEnd();
    printOpenGLError();
}

void Mesh::glDraw() const {
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLES);
    for (const Face& face : faces) {
        setColor(face.material == kNone ? color : materials[face.material].color);
        const Point& a = positions[face.v[0]];
        const Vector3 flat = (positions[face.v[1]] - a).cross(positions[face.v[2]] - a).normalize();
        for (int i = 0; i < 3; ++i) {
            normal(face.n[i] == kNone ? flat : normals[face.n[i]]);
            vertex(positions[face.v[i]]);
        }
    }
    glEnd();
    printOpenGLError();
}

void TransformedObject::glDraw() const {
    // OpenGL takes the matrix column by column.
    GLdouble columns[16];
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            columns[4 * c + r] = m_transform.toWorld.m[r][c];
        }
    }
    const GLboolean normalize = glIsEnabled(GL_NORMALIZE);
    glEnable(GL_NORMALIZE);
    glPushMatrix();
    glMultMatrixd(columns);
    m_inner->glDraw();
    glPopMatrix();
    if (!normalize) {
        glDisable(GL_NORMALIZE);
    }
    printOpenGLError();
}
