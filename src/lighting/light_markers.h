#pragma once

#include <vector>

#include "color.h"
#include "vector3.h"

struct Light;

// How the preview marks a light where it stands. The first light keeps the
// large white ball it always had; every other one gets a small ball in its
// own colour, so that the lights can be told apart. A spotlight or parallel
// light also shows a line to the point it aims at, an area light the
// outline of its rectangle.
struct LightMarker {
    Point at;
    double radius = 0;
    Color color;  // each channel within 0..1
    bool aimed = false;
    Point aimAt{0, 0, 0};
    bool area = false;
    Point corners[4];  // the area light's rectangle, in order round it
};

std::vector<LightMarker> lightMarkers(const std::vector<Light*>& lights);
