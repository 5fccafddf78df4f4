#pragma once

#include "IndexList.h"

// One face: per corner, in the order given, an index into the mesh's
// positions, texture coordinates and normals. The three lists always have the
// same length. Indices are 1-based as in the file; 0 addresses the mesh's
// placeholder element and marks a corner written without that index.
struct SPolygonFace {
    CIndexList v;
    CIndexList vt;
    CIndexList vn;

    // Room for three corners: triangles are the common case.
    SPolygonFace();

    void addVertTexNorm(int vertex, int texture, int normal);
};
