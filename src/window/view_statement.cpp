#include "window/view_statement.h"

#include <charconv>
#include <cmath>

#include "main.h"

std::string exactNumber(double value) {
    // Without a precision, to_chars gives the shortest round-trip form.
    char text[32];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

namespace {

std::string vectorText(double x, double y, double z) {
    return "<" + exactNumber(x) + ", " + exactNumber(y) + ", " + exactNumber(z) + ">";
}

std::string vectorText(const Vector3& v) {
    return vectorText(v.x, v.y, v.z);
}

// The preview turns by R(a) about y; the camera turns by R(-a).
Vector3 turnBack(const Vector3& v, double cosine, double sine) {
    return Vector3(v.x * cosine - v.z * sine, v.y, v.x * sine + v.z * cosine);
}

}  // namespace

std::string cameraStatement(const Camera& view) {
    std::string lens;
    if (view.lens.on()) {
        lens = " aperture " + exactNumber(view.lens.aperture) + " focal_point " +
               vectorText(view.lens.focalPoint) +
               " blur_samples " + std::to_string(view.lens.blurSamples);
    }
    return "camera { location " + vectorText(view.eye) + " up " + vectorText(view.up) +
           " right " + vectorText(view.right) + " look_at " + vectorText(view.lookAt) +
           lens + " }";
}

namespace {

// The modifiers as the light statement writes them; empty for a point light.
std::string modifiersText(const LightModifiers& m) {
    std::string text;
    if (m.spotlight) {
        text += " spotlight radius " + exactNumber(m.radius) + " falloff " +
                exactNumber(m.falloff) + " tightness " + exactNumber(m.tightness);
    }
    if (m.parallel) {
        text += " parallel";
    }
    if (m.spotlight || m.parallel) {
        text += " point_at " + vectorText(m.pointAt);
    }
    if (m.fadeDistance > 0) {
        text += " fade_distance " + exactNumber(m.fadeDistance) + " fade_power " +
                exactNumber(m.fadePower);
    }
    if (m.shadowless) {
        text += " shadowless";
    }
    if (m.area()) {
        text += " area_light " + vectorText(m.axis1) + ", " + vectorText(m.axis2) + ", " +
                std::to_string(m.samples1) + ", " + std::to_string(m.samples2) +
                (m.jitter ? " jitter" : "");
    }
    return text;
}

}  // namespace

std::string lightStatement(const Light& light) {
    return "light_source { " + vectorText(light.location) + " color rgb " +
           vectorText(light.color.r, light.color.g, light.color.b) +
           modifiersText(light.modifiers) + " }";
}

Camera turnedCamera(const Camera& view, double rotateDegrees) {
    if (rotateDegrees == 0) {
        return view;
    }
    const double radians = rotateDegrees * M_PI / 180;
    const double cosine = std::cos(radians);
    const double sine = std::sin(radians);
    Camera turned = view;
    turned.eye = turnBack(view.eye, cosine, sine);
    turned.up = turnBack(view.up, cosine, sine);
    turned.lookAt = turnBack(view.lookAt, cosine, sine);
    return turned;
}

Camera shownCamera() {
    return turnedCamera(camera, gDrawMode == OPENGL ? gRotate : 0);
}

std::string viewStatements() {
    std::string text = cameraStatement(shownCamera()) + "\n";
    if (!lights.empty()) {
        text += lightStatement(*lights[0]) + "\n";
    }
    return text;
}
