#include "trace/lens.h"

#include <cmath>

#include "trace/sample_seed.h"

LensFrame::LensFrame(const Lens& lens, const Point& eye, const Matrix4x4& toWorld)
    : m_eye(eye),
      m_u(toWorld.m[0][0], toWorld.m[1][0], toWorld.m[2][0]),
      m_v(toWorld.m[0][1], toWorld.m[1][1], toWorld.m[2][1]),
      m_forward(-toWorld.m[0][2], -toWorld.m[1][2], -toWorld.m[2][2]),
      m_radius(lens.aperture / 2),
      m_focalDistance((lens.focalPoint - eye) * m_forward) {}

Ray LensFrame::ray(const Vector3& direction, int k, std::uint64_t pixelSeed) const {
    // A point of the unit disc, uniform by area, from two seeded numbers.
    const std::uint64_t seed = mixSeed(pixelSeed, static_cast<std::uint64_t>(k));
    const double radius = m_radius * std::sqrt(unitFromSeed(seed));
    const double angle = 6.283185307179586 * unitFromSeed(mixSeed(seed, 1));
    Ray ray;
    ray.origin = m_eye + m_u * (radius * std::cos(angle)) + m_v * (radius * std::sin(angle));
    // Where the camera ray meets the focal plane; a plane behind the eye or
    // a ray along it leaves the direction as it is.
    const double along = direction * m_forward;
    if (!(m_focalDistance > 0) || !(along > 0)) {
        ray.direction = direction;
        return ray;
    }
    const Point focus = m_eye + direction * (m_focalDistance / along);
    ray.direction = focus - ray.origin;
    return ray;
}
