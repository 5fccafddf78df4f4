#pragma once

#include <cstdint>
#include <vector>

#include "accel/scene_query.h"
#include "light.h"
#include "lighting/atmosphere.h"
#include "trace/cache_line.h"

// The recursion depth of camera rays; secondary rays get one less, and none
// are cast from depth 0.
constexpr int PRIMARY_RECURSION_DEPTH = 3;

// The mirror direction of d about the plane of normal n (either side).
Vector3 reflect(Vector3 d, Vector3 n);
// The refracted unit direction of d through a surface of normal n between
// media of indices iorIn (the side n points to) and iorOut; on total internal
// reflection sets *tir and returns the reflection.
Vector3 refract(Vector3 d, Vector3 n, double iorIn, double iorOut, bool* tir);

// The shading of a ray and the rays it spawns: the nearest hit,
// ambient, per-light shadows, diffuse and half-vector specular light, then
// reflection and refraction to the given depth. It asks one scene for hits
// and shadows and keeps what a thread needs between rays: a blocker cache
// per light and the count of rays cast. One caster serves one thread. That
// is what its thread writes on every ray, so the caster and its caches take
// whole cache lines (trace/cache_line.h).
class alignas(kCacheLine) RayCaster {
public:
    // The scene and the lights must outlive the caster. shadows false: every
    // light reaches every surface. The atmosphere gives the colour of a miss
    // and the fog.
    RayCaster(const SceneQuery& scene, const std::vector<Light>& sceneLights, bool shadows,
              const Atmosphere& atmosphere = Atmosphere());

    Color cast(const Ray& ray, int recursionDepth);
    // The rays cast from here on belong to pixel (x, y): jittered light
    // samples follow from its seed and from the order of the casts. The seed
    // is worked out only when a sampled light asks for it, so that scenes
    // without one pay two stores per pixel.
    void beginPixel(int x, int y) {
        m_pixelX = x;
        m_pixelY = y;
        m_shadings = 0;
    }
    // Rays cast so far: camera, secondary and shadow rays.
    std::uint64_t rays() const { return m_rays; }

private:
    // Whether something lies on the feeler (from the hit along the unit vector
    // towards the light) before the light, lightDistance away.
    bool inShadow(const Ray& feeler, double lightDistance, std::size_t light);
    // Ambient, diffuse and specular light at the hit, with Paint's colour
    // arithmetic.
    template <class Paint>
    Color localLight(const Ray& ray, const HitRec& hitrec);
    // The light of one that is not a plain point light (modifiers.any()):
    // the sum over its samples, each scaled by its factor.
    template <class Paint, class Facing>
    void addSampledLight(const HitRec& hitrec, const Facing& surface, std::size_t light,
                         Color& shading);
    // The shading of a hit, before fog.
    Color shade(const Ray& ray, const HitRec& hitrec, int recursionDepth);

    const SceneQuery& m_scene;
    const std::vector<Light>& m_lights;
    const bool m_shadows;
    std::vector<BlockerCache, CacheLineAllocator<BlockerCache>> m_blockers;  // one per light
    // Each light's colour times a highlight of 0: what a light adds to a
    // surface whose highlight is known to be 0 without asking std::pow.
    std::vector<Color> m_unlitHighlights;
    bool m_lightsNotNegative;  // no light's colour has a negative component
    bool m_anySampledLight;    // some light has modifiers: its own path
    const Atmosphere m_atmosphere;
    const Color m_miss;  // the atmosphere's colour of a miss, asked once
    int m_pixelX = 0;
    int m_pixelY = 0;
    std::uint64_t m_shadings = 0;  // local-light evaluations since beginPixel
    std::uint64_t m_rays = 0;
};
