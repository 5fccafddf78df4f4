#pragma once

#include <deque>
#include <string>

#include "vector3.h"

class TokenViews;

// What may follow a light source's colour. A light without any of them is
// the plain point light, shaded as it always was.
struct LightModifiers {
    // A cone along location -> pointAt: full light within `radius` degrees
    // of the axis, none beyond `falloff`, a smooth fall between that
    // `tightness` sharpens.
    bool spotlight = false;
    double radius = 30;
    double falloff = 45;
    double tightness = 0;
    Point pointAt{0, 0, 0};
    // Light along location -> pointAt from everywhere, with parallel shadows.
    bool parallel = false;
    // 2 / (1 + (t / fadeDistance)^fadePower) at distance t; 0: no fade.
    double fadeDistance = 0;
    double fadePower = 2;
    bool shadowless = false;
    // An n1 x n2 grid of point lights over the rectangle of the two axes,
    // centred on the location, each a 1 / (n1 n2) share; 1 x 1 is the point.
    Vector3 axis1{0, 0, 0};
    Vector3 axis2{0, 0, 0};
    int samples1 = 1;
    int samples2 = 1;
    bool jitter = false;  // each sample moves within its cell

    bool area() const { return samples1 * samples2 > 1; }
    // Whether the light is other than a plain point light.
    bool any() const { return spotlight || parallel || fadeDistance > 0 || shadowless || area(); }
};

// The largest grid side an area light may ask for: 64 x 64 shadow rays per
// shading point is already far beyond any picture's need.
constexpr int kMaxAreaSamples = 64;

// Reads the modifiers that follow a light's colour, as many as there are.
// Throws SceneError for a count outside 1..kMaxAreaSamples, a negative
// angle, tightness or fade, or a spotlight or parallel light whose point_at
// is its location.
void readLightModifiers(std::deque<std::string>& tokens, const Point& location,
                        LightModifiers& modifiers);
void readLightModifiers(TokenViews& tokens, const Point& location, LightModifiers& modifiers);
