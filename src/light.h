#pragma once

#include <deque>
#include <string>

#include "color.h"
#include "vector3.h"

class TokenViews;

// A point light.
struct Light {
    Point location;
    Color color;

    Light(const Point& in_location, const Color& in_color)
        : location(in_location), color(in_color) {}
    // The light_source statement: location, then "color rgb" and three numbers.
    explicit Light(std::deque<std::string>& tokens);
    explicit Light(TokenViews& tokens);
};
