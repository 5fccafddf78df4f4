#include "lighting/light_markers.h"

#include <algorithm>

#include "light.h"

namespace {

constexpr double kFirstRadius = 0.5;
constexpr double kOtherRadius = 0.2;

double unit(double channel) { return std::clamp(channel, 0.0, 1.0); }

}  // namespace

std::vector<LightMarker> lightMarkers(const std::vector<Light*>& lights) {
    std::vector<LightMarker> markers;
    markers.reserve(lights.size());
    for (std::size_t i = 0; i < lights.size(); ++i) {
        const Light& light = *lights[i];
        const LightModifiers& m = light.modifiers;
        LightMarker marker;
        marker.at = light.location;
        marker.radius = i == 0 ? kFirstRadius : kOtherRadius;
        marker.color = i == 0
                           ? Color(1, 1, 1)
                           : Color(unit(light.color.r), unit(light.color.g), unit(light.color.b));
        if (m.spotlight || m.parallel) {
            marker.aimed = true;
            marker.aimAt = m.pointAt;
        }
        if (m.area()) {
            marker.area = true;
            const Vector3 a = m.axis1 * 0.5;
            const Vector3 b = m.axis2 * 0.5;
            marker.corners[0] = light.location - a - b;
            marker.corners[1] = light.location + a - b;
            marker.corners[2] = light.location + a + b;
            marker.corners[3] = light.location - a + b;
        }
        markers.push_back(marker);
    }
    return markers;
}
