#include "lighting/light_sample.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "trace/sample_seed.h"

namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

// Where sample `index` of the area grid lies, from the light's location.
Vector3 gridOffset(const LightModifiers& m, int index, std::uint64_t seed) {
    const int i = index % m.samples1;
    const int j = index / m.samples1;
    double du = 0.5;
    double dv = 0.5;
    if (m.jitter) {
        const std::uint64_t cell = mixSeed(seed, static_cast<std::uint64_t>(index));
        du = unitFromSeed(cell);
        dv = unitFromSeed(mixSeed(cell, 1));
    }
    const double u = (i + du) / m.samples1 - 0.5;
    const double v = (j + dv) / m.samples2 - 0.5;
    return m.axis1 * u + m.axis2 * v;
}

}  // namespace

double spotFactor(double angle, double radius, double falloff, double tightness) {
    if (angle <= radius) {
        return 1;
    }
    if (!(angle < falloff)) {
        return 0;
    }
    const double s = (falloff - angle) / (falloff - radius);
    const double smooth = s * s * (3 - 2 * s);
    return std::pow(smooth, 1 + tightness / 10);
}

double fadeFactor(double distance, double fadeDistance, double fadePower) {
    return 2 / (1 + std::pow(distance / fadeDistance, fadePower));
}

LightSample sampleLight(const Light& light, const Point& p, int index, std::uint64_t seed) {
    const LightModifiers& m = light.modifiers;
    const Point source = m.area() ? light.location + gridOffset(m, index, seed) : light.location;
    LightSample sample;
    double reach;  // the distance the fade measures
    if (m.parallel) {
        sample.L = (light.location - m.pointAt).normalize();
        sample.distance = std::numeric_limits<double>::max();
        reach = std::fabs((source - p) * sample.L);
    } else {
        const Vector3 toLight = source - p;
        sample.distance = toLight.magnitude();
        sample.L = sample.distance == 0 ? toLight : toLight * (1.0 / sample.distance);
        reach = sample.distance;
    }
    sample.factor = 1.0 / lightSampleCount(light);
    if (m.spotlight) {
        const Vector3 axis = (m.pointAt - light.location).normalize();
        const double cosine = std::max(-1.0, std::min(1.0, -(sample.L * axis)));
        sample.factor *= spotFactor(std::acos(cosine) * kDegrees, m.radius,
                                    std::max(m.falloff, m.radius), m.tightness);
    }
    if (m.fadeDistance > 0) {
        sample.factor *= fadeFactor(reach, m.fadeDistance, m.fadePower);
    }
    return sample;
}
