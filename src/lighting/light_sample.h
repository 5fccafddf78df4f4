#pragma once

#include <cstdint>

#include "light.h"
#include "vector3.h"

// One of the point lights a light stands for, as a shading point sees it.
struct LightSample {
    Vector3 L;        // unit vector from the shading point towards the light
    double distance;  // how far a shadow feeler must stay clear
    double factor;    // scales the light's whole contribution; 0: none arrives
};

// How many samples the light gives: its area grid's, else 1.
inline int lightSampleCount(const Light& light) {
    return light.modifiers.samples1 * light.modifiers.samples2;
}

// Sample `index` (0 .. lightSampleCount - 1, row by row over the grid) of the
// light seen from p. seed places a jittered sample in its cell and is
// ignored otherwise.
LightSample sampleLight(const Light& light, const Point& p, int index, std::uint64_t seed);

// The spotlight's factor at `angle` degrees off its axis: 1 within radius, 0
// from falloff on, a smooth step between, raised to 1 + tightness / 10.
double spotFactor(double angle, double radius, double falloff, double tightness);
// 2 / (1 + (distance / fadeDistance)^fadePower).
double fadeFactor(double distance, double fadeDistance, double fadePower);
