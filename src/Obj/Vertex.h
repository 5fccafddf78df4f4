#pragma once

// Three floats, used alike for positions, texture coordinates (u, v, w) and
// normals. They are contiguous and in this order, so getVertex3fv() can be
// handed to glVertex3fv, glNormal3fv and glTexCoord3fv.
struct SVertex {
    float x;
    float y;
    float z;

    SVertex(float f1, float f2, float f3);

    void set(float f1, float f2, float f3);
    const float* getVertex3fv() const { return &x; }
};
