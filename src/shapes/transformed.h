#pragma once

#include "shapes/shape.h"
#include "shapes/transform.h"

// An object moved, turned or resized: rays go into the object's own space,
// where it is intersected as written, and its normals come back by the
// inverse transpose. Objects without a transform are never wrapped, so
// they keep their own path through the tracing index.
class TransformedObject final : public Shape {
public:
    // Takes ownership of inner, whose pigment and finish it reports.
    TransformedObject(GeomObject* inner, const Transform& transform);
    ~TransformedObject() override;

    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point& p) override;
    Point getCorner1() const override { return m_lo; }  // componentwise minimum
    Point getCorner2() const override { return m_hi; }  // componentwise maximum
    void glDraw() const override;
    bool isBounded() override { return m_inner->isBounded(); }

    const GeomObject& inner() const { return *m_inner; }
    const Transform& transform() const { return m_transform; }

private:
    GeomObject* m_inner;
    Transform m_transform;
    Point m_lo{0, 0, 0};
    Point m_hi{0, 0, 0};
};

// The object as read, wrapped when a transform was written.
GeomObject* withTransform(GeomObject* object, const Transform* transform);
