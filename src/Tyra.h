#pragma once

#include "geom.h"

// The preview's fixed mesh (Data/Tyra.obj) as a scene object that only draws.
// It is never traced: it is not in the scene's object list.
class Tyra : public GeomObject {
public:
    Tyra() = default;

    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point& p) override;
    Point getCorner1() const override;
    Point getCorner2() const override;
    // The first call loads the mesh. When that fails the message goes to
    // standard error once and the preview goes on without the mesh.
    void glDraw() const override;

private:
    mutable bool m_loadFailed = false;
};
