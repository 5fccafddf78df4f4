#include "cube.h"

namespace cube {

// Not exactly one and two thirds: the texture rows the cube was made for.
const GLfloat third = 0.33333f;
const GLfloat tt = 0.66667f;

const GLfloat texCoords[14][2] = {
    {0.25f, 1}, {0.5f, 1},  {0, tt},     {0.25f, tt},    {0.5f, tt},     {0.75f, tt},  {1, tt},
    {0, third}, {0.25f, third}, {0.5f, third}, {0.75f, third}, {1, third}, {0.25f, 0}, {0.5f, 0},
};

const GLfloat normals[6][3] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
const int faces[6][4] = {{0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4},
                         {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3}};
const int faceTex[6][4] = {{8, 3, 2, 7},  {11, 6, 5, 10}, {10, 5, 4, 9},
                           {9, 4, 3, 8},  {4, 1, 0, 3},   {13, 9, 8, 12}};

}  // namespace cube

namespace {

void drawBox(GLfloat size, GLenum type) {
    const GLfloat h = size / 2;
    const GLfloat v[8][3] = {{-h, -h, -h}, {-h, -h, h}, {-h, h, h}, {-h, h, -h},
                             {h, -h, -h},  {h, -h, h},  {h, h, h},  {h, h, -h}};
    for (int face = 5; face >= 0; --face) {
        glBegin(type);
        glNormal3fv(cube::normals[face]);
        for (int j = 0; j < 4; ++j) {
            glTexCoord2fv(cube::texCoords[cube::faceTex[face][j]]);
            glVertex3fv(v[cube::faces[face][j]]);
        }
        glEnd();
    }
}

}  // namespace

void texturedCube(GLdouble size) {
    drawBox(static_cast<GLfloat>(size), GL_QUADS);
}
