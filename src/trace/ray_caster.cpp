#include "trace/ray_caster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geom.h"
#include "lighting/light_sample.h"
#include "pigment/pigment.h"
#include "trace/sample_seed.h"

namespace {

double clampUnit(double value) {
    if (!(value > 0)) return 0;  // NaN included
    if (!(value < 1)) return 1;
    return value;
}

// What the lights' terms at a hit share: the normal turned towards the
// incoming ray (by its raw direction), the direction back along the ray and
// the highlight's exponent. The last two serve only a highlight, and are
// left at 0 for a surface without one.
struct Surface {
    Vector3 N;
    Vector3 V{0, 0, 0};
    double exponent = 0;

    Surface(const Ray& ray, const HitRec& hitrec)
        : N((ray.direction * hitrec.n > HIT_EPSILON) ? -hitrec.n : hitrec.n) {
        if (hitrec.finish.specular != 0) {
            V = (-ray.direction).normalize();
            exponent = 1 / hitrec.finish.roughness;
        }
    }
};

// Whether a highlight of pow(base, exponent) is known to count as 0 without
// the power: a negative base raised to a finite power that is not an even
// whole number gives a NaN or a negative number.
bool powerCountsAsZero(double base, double exponent) {
    return base < 0 && std::isfinite(exponent) && std::fmod(exponent, 2.0) != 0.0;
}

// Whether no component is negative; a NaN or -0 is not.
bool notNegative(const Color& c) { return !(c.r < 0) && !(c.g < 0) && !(c.b < 0); }

// Sums and products of colours that are not negative by colours and weights
// that are not negative have no negative component, so Color's clamp would
// keep every one: Exact forms them without it. Clamped is Color's own
// arithmetic, for a hit whose colour or weights are not known to be so.
struct Exact {
    static Color times(const Color& c, double x) { return stored(x * c.r, x * c.g, x * c.b); }
    static Color plus(const Color& a, const Color& b) {
        return stored(a.r + b.r, a.g + b.g, a.b + b.b);
    }
    // The components as they are, without the constructor's clamp.
    static Color stored(double r, double g, double b) {
        Color color;
        color.r = r;
        color.g = g;
        color.b = b;
        return color;
    }
};

struct Clamped {
    static Color times(const Color& c, double x) { return c * x; }
    static Color plus(const Color& a, const Color& b) { return a + b; }
};

// Adds the diffuse, then the half-vector specular light of one light, which
// lies along the unit vector L from the hit; unlitHighlight is the light's
// colour times 0.
// Forced inline: both the point lights' loop and the sampled lights call it,
// and a call per light and hit costs the plain scenes about 6 %.
template <class Paint>
__attribute__((always_inline)) inline void addLocalLight(const HitRec& hitrec,
                                                         const Surface& surface, const Vector3& L,
                                                         const Light& light,
                                                         const Color& unlitHighlight,
                                                         Color& shading) {
    const double nDotLRaw = surface.N * L;
    const double nDotL = nDotLRaw > 0 ? nDotLRaw : 0;
    shading = Paint::plus(shading,
                          Paint::times(Paint::times(hitrec.color, nDotL), hitrec.finish.diffuse));

    double specFactor = hitrec.finish.specular;
    assert(specFactor >= 0);
    if (specFactor == 0) {
        shading = Paint::plus(shading, unlitHighlight);
        return;
    }
    const Vector3 h = (L + surface.V).normalize();
    const double nDotH = surface.N * h;
    if (powerCountsAsZero(nDotH, surface.exponent)) {
        shading = Paint::plus(shading, unlitHighlight);
        return;
    }
    specFactor = std::pow(nDotH, surface.exponent) * specFactor;
    if (!(specFactor > 0)) {
        specFactor = 0;  // a NaN from a negative base counts as 0
    }
    shading = Paint::plus(shading, Paint::times(light.color, specFactor));
}

std::vector<Color> unlitHighlights(const std::vector<Light>& lights) {
    std::vector<Color> colors;
    colors.reserve(lights.size());
    for (const Light& light : lights) {
        colors.push_back(light.color * 0.0);
    }
    return colors;
}

}  // namespace

RayCaster::RayCaster(const SceneQuery& scene, const std::vector<Light>& sceneLights, bool shadows,
                     const Atmosphere& atmosphere)
    : m_scene(scene),
      m_lights(sceneLights),
      m_shadows(shadows),
      m_blockers(sceneLights.size()),
      m_unlitHighlights(unlitHighlights(sceneLights)),
      m_lightsNotNegative(std::all_of(sceneLights.begin(), sceneLights.end(),
                                      [](const Light& light) { return notNegative(light.color); })),
      m_anySampledLight(std::any_of(sceneLights.begin(), sceneLights.end(),
                                    [](const Light& light) { return light.modifiers.any(); })),
      m_atmosphere(atmosphere),
      m_miss(atmosphere.miss()) {}

bool RayCaster::inShadow(const Ray& feeler, double lightDistance, std::size_t light) {
    ++m_rays;
    return m_scene.blocked(feeler, lightDistance, m_blockers[light]);
}

Color RayCaster::cast(const Ray& ray, int recursionDepth) {
    ++m_rays;
    HitRec hitrec;
    if (!m_scene.nearestHit(ray, hitrec)) {
        return m_miss;
    }
    if (hitrec.finish.pattern != nullptr) {
        hitrec.color = hitrec.finish.pattern->at(hitrec.p);
    }
    // One call of shade, so that it is inlined here.
    const Color seen = shade(ray, hitrec, recursionDepth);
    if (m_atmosphere.foggy()) {
        return m_atmosphere.fogged(seen, hitrec.t * ray.direction.magnitude());
    }
    return seen;
}

__attribute__((always_inline)) inline Color RayCaster::shade(const Ray& ray, const HitRec& hitrec,
                                                             int recursionDepth) {
    const Point& p = hitrec.p;
    const Vector3& n = hitrec.n;
    const Finish& finish = hitrec.finish;
    const bool refractive = finish.refraction == 1.0;

    // The lights' colours are checked once, this hit's colour and weights here.
    const bool exact = m_lightsNotNegative && notNegative(hitrec.color) && finish.ambient >= 0 &&
                       finish.diffuse >= 0;
    const Color localShading =
        exact ? localLight<Exact>(ray, hitrec) : localLight<Clamped>(ray, hitrec);

    // The secondary rays do not depend on the light, so one cast per hit gives
    // the colours that a cast per light would; without lights there is none.
    Color reflectionShading;
    Color refractionShading;
    bool tir = false;
    bool reflects = false;
    if (!m_lights.empty() && recursionDepth > 0) {
        if (refractive) {
            Ray refracted;
            refracted.origin = p;
            refracted.direction = refract(ray.direction, n, 1.0, finish.ior, &tir);
            if (!tir) {
                refractionShading = cast(refracted, recursionDepth - 1);
            }
        }
        const bool enters = ray.direction * n <= HIT_EPSILON;
        reflects = finish.reflection != 0 || (refractive && enters);
        if (reflects) {
            Ray reflected;
            reflected.origin = p;
            reflected.direction = reflect(ray.direction, n);
            reflectionShading = cast(reflected, recursionDepth - 1);
        }
    }

    // Every colour here is the clamp's or the sum of such, and every weight
    // lies in 0..1.
    const double filter = clampUnit(finish.filter);
    const double reflectWeight = clampUnit(finish.reflection);
    if (refractive && !tir) {
        const double rest = 1 - filter - reflectWeight;
        const double local = rest > 0 ? rest : 0;
        return Exact::plus(Exact::plus(Exact::times(localShading, local),
                                       Exact::times(reflectionShading, reflectWeight)),
                           Exact::times(refractionShading, filter));
    }
    if (reflectWeight == 0 && !reflects) {
        // localShading * 1 is localShading, and the black of no reflection
        // times 0 is black: the sum below without its two products.
        return Exact::plus(localShading, reflectionShading);
    }
    return Exact::plus(Exact::times(localShading, 1 - reflectWeight),
                       Exact::times(reflectionShading, reflectWeight));
}

template <class Paint>
Color RayCaster::localLight(const Ray& ray, const HitRec& hitrec) {
    const Point& p = hitrec.p;
    Color shading = Paint::times(hitrec.color, hitrec.finish.ambient);
    if (m_lights.empty()) {
        return shading;
    }
    const Surface surface(ray, hitrec);
    ++m_shadings;
    Ray feeler;
    feeler.origin = p;
    for (std::size_t light = 0; light < m_lights.size(); ++light) {
        if (m_anySampledLight && m_lights[light].modifiers.any()) {
            addSampledLight<Paint>(hitrec, surface, light, shading);
            continue;
        }
        // The shadow feeler goes the way the light's terms are computed.
        // The light's distance is the length normalize() divides by.
        const Vector3 toLight = m_lights[light].location - p;
        const double lightDistance = toLight.magnitude();
        const Vector3 L = lightDistance == 0 ? toLight : toLight * (1.0 / lightDistance);
        feeler.direction = L;
        if (!m_shadows || !inShadow(feeler, lightDistance, light)) {
            addLocalLight<Paint>(hitrec, surface, L, m_lights[light], m_unlitHighlights[light],
                                 shading);
        }
    }
    return shading;
}

template <class Paint, class Facing>
void RayCaster::addSampledLight(const HitRec& hitrec, const Facing& surface, std::size_t light,
                                Color& shading) {
    const Light& source = m_lights[light];
    const bool shadows = m_shadows && !source.modifiers.shadowless;
    const std::uint64_t seed = mixSeed(mixSeed(pixelSeed(m_pixelX, m_pixelY), m_shadings), light);
    Ray feeler;
    feeler.origin = hitrec.p;
    const int samples = lightSampleCount(source);
    for (int index = 0; index < samples; ++index) {
        const LightSample sample = sampleLight(source, hitrec.p, index, seed);
        if (!(sample.factor > 0)) {
            continue;
        }
        feeler.direction = sample.L;
        if (shadows && inShadow(feeler, sample.distance, light)) {
            continue;
        }
        // The factor scales the diffuse and the specular term alike.
        Color term;
        addLocalLight<Paint>(hitrec, surface, sample.L, source, m_unlitHighlights[light], term);
        shading = Paint::plus(shading, Paint::times(term, sample.factor));
    }
}

Vector3 reflect(Vector3 d, Vector3 n) {
    if (d * n > 0) {
        n = -n;
    }
    return d - 2 * (d * n) * n;
}

Vector3 refract(Vector3 d, Vector3 n, double iorIn, double iorOut, bool* tir) {
    double iorRatio = iorIn / iorOut;
    if (d * n > 0) {
        // Leaving the surface.
        iorRatio = 1 / iorRatio;
        n = -n;
    }
    const double dn = d * n;
    const double iorRatioSquared = iorRatio * iorRatio;
    const double underRoot = 1 - iorRatioSquared * (1 - dn * dn);
    if (underRoot < 0) {
        *tir = true;
        return reflect(d, n);
    }
    return (iorRatio * (d - n * dn) - n * std::sqrt(underRoot)).normalize();
}
