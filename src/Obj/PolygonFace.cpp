#include "PolygonFace.h"

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
