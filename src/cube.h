#pragma once

#include <GL/gl.h>

// A unit-centred cube of the given edge, textured from a 4 x 3 cross
// unfolding: the middle row holds -x, -y, +x, +y; +z sits above the second
// column and -z below it.
void texturedCube(GLdouble size);

// The tables the cube is drawn from, exposed for tests.
namespace cube {
extern const GLfloat texCoords[14][2];
extern const GLfloat normals[6][3];
extern const int faces[6][4];
extern const int faceTex[6][4];
}  // namespace cube
