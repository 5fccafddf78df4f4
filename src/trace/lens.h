#pragma once

#include <cstdint>

#include "geom.h"
#include "matrix4x4.h"
#include "vector3.h"

// Depth of field: rays start from points on a lens of diameter `aperture`
// around the eye and meet on the plane through focalPoint that faces the
// camera. Off (a pinhole) unless both aperture and blurSamples are positive.
struct Lens {
    double aperture = 0;
    Point focalPoint{0, 0, 0};
    int blurSamples = 0;  // rays per camera ray; at most kMaxBlurSamples

    bool on() const { return aperture > 0 && blurSamples > 0; }
    bool operator==(const Lens& other) const {
        return aperture == other.aperture && focalPoint == other.focalPoint &&
               blurSamples == other.blurSamples;
    }
};

constexpr int kMaxBlurSamples = 1024;

// The lens of one render: the eye, the camera's axes in the world and the
// focal plane's distance along the view direction.
class LensFrame {
public:
    // toWorld is the camera's rotation: columns u, v, w, the view looking
    // down -w.
    LensFrame(const Lens& lens, const Point& eye, const Matrix4x4& toWorld);

    // Sample k of the lens for the camera ray from the eye along direction:
    // a point of the lens (seeded by the pixel) and the direction from it
    // to where the camera ray meets the focal plane.
    Ray ray(const Vector3& direction, int k, std::uint64_t pixelSeed) const;

private:
    Point m_eye;
    Vector3 m_u;
    Vector3 m_v;
    Vector3 m_forward;  // -w
    double m_radius;
    double m_focalDistance;  // along m_forward
};
