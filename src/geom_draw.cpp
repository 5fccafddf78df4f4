// Preview drawing of the scene objects, with immediate-mode OpenGL.
#include <GL/glut.h>

#include <array>
#include <iostream>

#include "GLSL_helper.h"
#include "cube.h"
#include "geom.h"
#include "tex.h"

namespace {

void setColor(const Color& c) {
    glColor3f(static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b));
}

// (x, y, z) -> (x, -y, -z): the half turn about x.
Vector3 halfTurn(const Vector3& v) {
    return Vector3(v.x, -v.y, -v.z);
}

// The rotation, as an OpenGL matrix, that stands the floor square of a plane
// (drawn in its x-z plane with +y up) on the plane's unit normal n: the
// shortest turn of +y onto n, so that +y is the identity. That turn is poorly
// conditioned for normals facing down, which are reached as the half turn
// about x of their mirror image instead. A zero normal gives a flat matrix and
// so no square, as the ray tracer shows no plane.
std::array<GLdouble, 16> planeFrame(Vector3 n) {
    const bool down = n.y < -0.5;
    if (down) {
        n = halfTurn(n);
    }
    // Where the square's x (its tangent) goes; its z goes to tangent x n.
    const double k = n.x / (1 + n.y);
    Vector3 tangent(1 - n.x * k, -n.x, -n.z * k);
    Vector3 bitangent = tangent.cross(n);
    if (down) {
        tangent = halfTurn(tangent);
        n = halfTurn(n);
        bitangent = halfTurn(bitangent);
    }
    // Column by column.
    return {tangent.x,   tangent.y,   tangent.z,   0, n.x, n.y, n.z, 0,
            bitangent.x, bitangent.y, bitangent.z, 0, 0,   0,   0,   1};
}

}  // namespace

void Sphere::glDraw() const {
    setColor(color);
    glPushMatrix();
    glTranslated(_center.x, _center.y, _center.z);
    glutSolidSphere(_radius, 20, 20);
    glPopMatrix();
    printOpenGLError();
}

// A 40 x 40 square centred on p0, perpendicular to the normal; the tangent
// attribute (1, 0, 0) turns with it.
void Plane::glDraw() const {
    GLint tangentLoc = -1;
    if (NormalMapShader != 0) {
        tangentLoc = glGetAttribLocation(static_cast<GLuint>(NormalMapShader), "Tangent");
    }
    printOpenGLError();
    printOpenGLError();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, BRICK_TEX_NAME);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);

    glPushMatrix();
    setColor(color);
    glTranslated(p0.x, p0.y, p0.z);
    glMultMatrixd(planeFrame(_normal.normalize()).data());
    glBegin(GL_TRIANGLE_STRIP);
    if (tangentLoc != -1) {
        glVertexAttrib3f(static_cast<GLuint>(tangentLoc), 1, 0, 0);
    }
    glTexCoord2f(0, 0);
    glNormal3f(0, 1, 0);
    glVertex3f(-20, 0, 20);
    glTexCoord2f(1, 0);
    glVertex3f(20, 0, 20);
    glTexCoord2f(0, 1);
    glVertex3f(-20, 0, -20);
    glTexCoord2f(1, 1);
    glVertex3f(20, 0, -20);
    glEnd();
    printOpenGLError();
    glPopMatrix();
    printOpenGLError();
}

// One flat polygon in the triangle's colour; texturing is switched off so
// the colour shows whatever the objects before it left bound.
void Triangle::glDraw() const {
    glDisable(GL_TEXTURE_2D);
    setColor(color);
    const Vector3 n = (v2 - v1).cross(v3 - v1).normalize();
    glBegin(GL_TRIANGLES);
    glNormal3d(n.x, n.y, n.z);
    glVertex3d(v1.x, v1.y, v1.z);
    glVertex3d(v2.x, v2.y, v2.z);
    glVertex3d(v3.x, v3.y, v3.z);
    glEnd();
    printOpenGLError();
}

// Drawn with the box's extent but centred on the frame's origin.
void Box::glDraw() const {
    const Vector3 scale = corner2 - corner1;
    std::cout << "using texturing alone, no lights\n";
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, CUBE_TEX_NAME);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);
    setColor(color);
    glPushMatrix();
    glScalef(static_cast<GLfloat>(scale.x), static_cast<GLfloat>(scale.y),
             static_cast<GLfloat>(scale.z));
    texturedCube(1.0);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}
