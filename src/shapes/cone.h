#pragma once

#include "shapes/shape.h"

// A cone from a base disc to a cap disc; equal radii make the cylinder, a
// zero radius a point. Closed by its end discs unless open. The radius
// changes linearly along the axis.
class Cone final : public Shape {
public:
    // base != cap; radii not negative (the reader checks).
    Cone(const Point& base, double baseRadius, const Point& cap, double capRadius, bool open);

    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point& p) override;
    Point getCorner1() const override { return m_lo; }
    Point getCorner2() const override { return m_hi; }
    void glDraw() const override;

    const Point base;
    const Point cap;
    const double baseRadius;
    const double capRadius;
    const bool open;

private:
    // The nearest hit and its normal; -1 on a miss.
    double nearest(const Ray& ray, Vector3& normal) const;
    // The outward normal of the side at a point at height z along the axis.
    Vector3 sideNormal(const Point& p, double z) const;

    Vector3 m_axis;    // unit, from base to cap
    double m_height;   // |cap - base|
    double m_slope;    // radius change per unit of height
    Point m_lo{0, 0, 0};
    Point m_hi{0, 0, 0};
};

// The box around a disc of the given radius: per axis, radius times the
// sine of the angle between that axis and the disc's unit normal.
void discBounds(const Point& center, const Vector3& unitNormal, double radius, Point& lo,
                Point& hi);
