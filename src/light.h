#pragma once

#include <deque>
#include <string>

#include "color.h"
#include "lighting/light_modifiers.h"
#include "vector3.h"

class TokenViews;

// A point light, or what its modifiers make of it.
struct Light {
    Point location;
    Color color;
    LightModifiers modifiers;

    Light(const Point& in_location, const Color& in_color)
        : location(in_location), color(in_color) {}
    // The light_source statement: location, then "color rgb" and three
    // numbers, then any modifiers.
    explicit Light(std::deque<std::string>& tokens);
    explicit Light(TokenViews& tokens);
};
