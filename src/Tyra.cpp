#include "Tyra.h"

#include <cassert>

// The mesh takes no part in ray tracing; these are never called.
double Tyra::intersect(const Ray&, HitRec&) {
    assert(!"virtual double Tyra::intersect(const Ray&, HitRec&)");
    return -1.0;
}

Vector3 Tyra::surfaceNormal(const Point&) {
    assert(!"virtual Vector3 Tyra::surfaceNormal(const Point&)");
    return Vector3(0, 0, 0);
}

Point Tyra::getCorner1() const {
    assert(!"virtual Point Tyra::getCorner1() const");
    return Point(0, 0, 0);
}

Point Tyra::getCorner2() const {
    assert(!"virtual Point Tyra::getCorner2() const");
    return Point(0, 0, 0);
}

// Draws nothing until the mesh library is in place.
void Tyra::glDraw() const {}
