#pragma once

#include "shapes/shape.h"

// A flat disc, or a ring when holeRadius > 0: the points of the plane
// through center perpendicular to normal whose distance from center lies in
// [holeRadius, radius]. Hit from both sides; its normal is the one written.
class Disc final : public Shape {
public:
    // normal not zero; 0 <= holeRadius (the reader checks).
    Disc(const Point& center, const Vector3& normal, double radius, double holeRadius);

    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point&) override { return normal; }
    Point getCorner1() const override { return m_lo; }
    Point getCorner2() const override { return m_hi; }
    void glDraw() const override;

    const Point center;
    const Vector3 normal;  // unit
    const double radius;
    const double holeRadius;

private:
    Point m_lo{0, 0, 0};
    Point m_hi{0, 0, 0};
};
