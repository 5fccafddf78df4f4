#include <omp.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <vector>

#include "main.h"
#include "progress.h"
#include "scene_query.h"
#include "trace_accel.h"
#include "trace_image.h"

namespace {

const int PRIMARY_RECURSION_DEPTH = 3;

double clampUnit(double value) {
    if (!(value > 0)) return 0;  // NaN included
    if (!(value < 1)) return 1;
    return value;
}

// Adds the diffuse, then the half-vector specular light of one light at a hit.
void addLocalLight(const Ray& ray, const HitRec& hitrec, const Light& light, Color& shading) {
    const Vector3 N = (ray.direction * hitrec.n > HIT_EPSILON) ? -hitrec.n : hitrec.n;
    const Vector3 L = (light.location - hitrec.p).normalize();
    const double nDotLRaw = N * L;
    const double nDotL = nDotLRaw > 0 ? nDotLRaw : 0;
    shading = shading + (hitrec.color * nDotL) * hitrec.finish.diffuse;

    const Vector3 V = (-ray.direction).normalize();
    const Vector3 h = (L + V).normalize();
    double specFactor = hitrec.finish.specular;
    assert(specFactor >= 0);
    const double exponent = 1 / hitrec.finish.roughness;
    specFactor = std::pow(N * h, exponent) * specFactor;
    if (!(specFactor > 0)) {
        specFactor = 0;  // a NaN from a negative base counts as 0
    }
    shading = shading + light.color * specFactor;
}

// The shading of a ray and the rays it spawns, asking one scene for hits and
// shadows; counts the rays it casts.
class RayCaster {
public:
    RayCaster(const SceneQuery& scene, const std::vector<Light*>& lights)
        : m_scene(scene), m_lights(lights), m_blockers(lights.size()) {}

    Color cast(const Ray& ray, int recursionDepth);
    std::uint64_t rays() const { return m_rays; }

private:
    bool inShadow(const Point& p, std::size_t light);

    const SceneQuery& m_scene;
    const std::vector<Light*>& m_lights;
    std::vector<BlockerCache> m_blockers;  // one per light
    std::uint64_t m_rays = 0;
};

bool RayCaster::inShadow(const Point& p, std::size_t index) {
    const Light& light = *m_lights[index];
    Ray feeler;
    feeler.origin = p;
    feeler.direction = (light.location - p).normalize();
    const double lightDistance = (light.location - p).magnitude();
    ++m_rays;
    return m_scene.blocked(feeler, lightDistance, m_blockers[index]);
}

Color RayCaster::cast(const Ray& ray, int recursionDepth) {
    ++m_rays;
    HitRec hitrec;
    if (!m_scene.nearestHit(ray, hitrec)) {
        return Color(0, 0, 0);
    }
    const Point& p = hitrec.p;
    const Vector3& n = hitrec.n;
    const Finish& finish = hitrec.finish;
    const bool refractive = finish.refraction == 1.0;

    Color localShading = hitrec.color * finish.ambient;
    for (std::size_t light = 0; light < m_lights.size(); ++light) {
        if (shadowsOff || !inShadow(p, light)) {
            addLocalLight(ray, hitrec, *m_lights[light], localShading);
        }
    }

    // The secondary rays do not depend on the light, so one cast per hit gives
    // the colours that a cast per light would; without lights there is none.
    Color reflectionShading;
    Color refractionShading;
    bool tir = false;
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
        if (finish.reflection != 0 || (refractive && enters)) {
            Ray reflected;
            reflected.origin = p;
            reflected.direction = reflect(ray.direction, n);
            reflectionShading = cast(reflected, recursionDepth - 1);
        }
    }

    const double filter = clampUnit(finish.filter);
    const double reflectWeight = clampUnit(finish.reflection);
    if (refractive && !tir) {
        const double rest = 1 - filter - reflectWeight;
        const double local = rest > 0 ? rest : 0;
        return localShading * local + reflectionShading * reflectWeight +
               refractionShading * filter;
    }
    return localShading * (1 - reflectWeight) + reflectionShading * reflectWeight;
}

}  // namespace

Color raycast(const Ray& ray, const std::vector<GeomObject*>& objects,
              const std::vector<Light*>& lights, int recursionDepth) {
    const LinearScene scene(objects);
    RayCaster caster(scene, lights);
    return caster.cast(ray, recursionDepth);
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

std::uint64_t traceImage(const SceneQuery& scene, const std::vector<Light*>& lights,
                         const Camera& camera, const Matrix4x4& vectorTransform, Color** image,
                         int width, int height, const TraceOptions& options) {
    const int step = std::max(options.rowStep, 1);
    const int rows = height > 0 ? (height - 1) / step + 1 : 0;
    const int threads = options.threads > 0 ? options.threads : omp_get_max_threads();
    ProgressLine progress(std::cerr, options.progress,
                          static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(width));
    std::uint64_t rays = 0;
#pragma omp parallel for schedule(dynamic, 1) num_threads(threads) reduction(+ : rays)
    for (int row = 0; row < rows; ++row) {
        const int y = row * step;
        RayCaster caster(scene, lights);
        // The image is stored by column, so neighbouring rows share cache
        // lines: a row is traced into a buffer of its own and copied at the end.
        std::vector<Color> traced(static_cast<std::size_t>(width));
        for (int x = 0; x < width; ++x) {
            Ray ray;
            ray.origin = camera.eye;
            ray.direction = vectorTransform * camera.pixelToScreen(x, y);
            traced[x] = caster.cast(ray, PRIMARY_RECURSION_DEPTH);
        }
        for (int x = 0; x < width; ++x) {
            image[x][y] = traced[x];
        }
        rays += caster.rays();
        progress.advance(static_cast<std::uint64_t>(width), caster.rays());
    }
    progress.finish();
    return rays;
}

void render() {
    std::cout << "Rendering ...\n";
    std::vector<GeomObject*> renderObjects = gObjects;
    const std::size_t boxes = std::min<std::size_t>(std::max(gBvhStep, 0), gNodeList.size());
    renderObjects.insert(renderObjects.end(), gNodeList.begin(),
                         gNodeList.begin() + static_cast<std::ptrdiff_t>(boxes));
    if (shadowsOff) {
        std::cout << "Shadows off.\n";
    }
    const Matrix4x4 cameraTransform = camera.transform();
    const Matrix4x4 cameraVectorTransform = camera.vectorTransform();
    std::cout << "Eye: " << camera.eye << "\n";
    std::cout << "Camera transform: " << cameraTransform.str() << "\n";
    std::cout << "LookAt: " << camera.lookAt << "\n";

    const TraceAccel accel(renderObjects);
    TraceOptions options;
    options.progress = isatty(STDERR_FILENO) != 0;
    if (options.progress) {
        // The progress line then starts below the lines already printed.
        std::cout << std::flush;
    }
    traceImage(accel, lights, camera, cameraVectorTransform, gImage, gPixelWidth, gPixelHeight,
               options);
    scaleValues(gImage);
    std::cout << "... done rendering.\n";
}
