#include "PolygonFace.h"

#include <vector>

// The mesh's logged byte figures count faces and index lists at the size
// they had as three vectors.
static_assert(sizeof(CIndexList) == sizeof(std::vector<int>), "an index list is a vector's size");

SPolygonFace::SPolygonFace() {
    v.reserve(3);
    vt.reserve(3);
    vn.reserve(3);
}

void SPolygonFace::addVertTexNorm(int vertex, int texture, int normal) {
    v.push_back(vertex);
    vt.push_back(texture);
    vn.push_back(normal);
}
