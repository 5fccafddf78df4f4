#include "shading_reference.h"

#include <cmath>

#include "main.h"
#include "render.h"
#include "trace/ray_caster.h"

namespace reference {

namespace {

double clampUnit(double value) {
    if (!(value > 0)) return 0;
    if (!(value < 1)) return 1;
    return value;
}

bool inShadow(const SceneQuery& scene, const Point& p, double lightDistance, const Vector3& L) {
    Ray feeler;
    feeler.origin = p;
    feeler.direction = L;
    BlockerCache none;
    return scene.blocked(feeler, lightDistance, none);
}

}  // namespace

Color cast(const SceneQuery& scene, const std::vector<Light>& lights, bool shadows, const Ray& ray,
           int recursionDepth) {
    HitRec hitrec;
    if (!scene.nearestHit(ray, hitrec)) {
        return Color(0, 0, 0);
    }
    const Point& p = hitrec.p;
    const Vector3& n = hitrec.n;
    const Finish& finish = hitrec.finish;
    const bool refractive = finish.refraction == 1.0;

    Color localShading = hitrec.color * finish.ambient;
    if (!lights.empty()) {
        const Vector3 N = (ray.direction * n > HIT_EPSILON) ? -n : n;
        const Vector3 V = (-ray.direction).normalize();
        const double exponent = 1 / finish.roughness;
        for (const Light& light : lights) {
            const Vector3 toLight = light.location - p;
            const double lightDistance = toLight.magnitude();
            const Vector3 L = lightDistance == 0 ? toLight : toLight * (1.0 / lightDistance);
            if (shadows && inShadow(scene, p, lightDistance, L)) {
                continue;
            }
            const double nDotLRaw = N * L;
            const double nDotL = nDotLRaw > 0 ? nDotLRaw : 0;
            localShading = localShading + (hitrec.color * nDotL) * finish.diffuse;
            const Vector3 h = (L + V).normalize();
            double specFactor = std::pow(N * h, exponent) * finish.specular;
            if (!(specFactor > 0)) {
                specFactor = 0;
            }
            localShading = localShading + light.color * specFactor;
        }
    }

    Color reflectionShading;
    Color refractionShading;
    bool tir = false;
    if (!lights.empty() && recursionDepth > 0) {
        if (refractive) {
            Ray refracted;
            refracted.origin = p;
            refracted.direction = refract(ray.direction, n, 1.0, finish.ior, &tir);
            if (!tir) {
                refractionShading = cast(scene, lights, shadows, refracted, recursionDepth - 1);
            }
        }
        const bool enters = ray.direction * n <= HIT_EPSILON;
        if (finish.reflection != 0 || (refractive && enters)) {
            Ray reflected;
            reflected.origin = p;
            reflected.direction = reflect(ray.direction, n);
            reflectionShading = cast(scene, lights, shadows, reflected, recursionDepth - 1);
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

void renderImage(const RenderJob& job, const SceneQuery& scene, Color* const* image) {
    const Camera& camera = job.camera;
    const double width = camera.right.magnitude();
    const double height = camera.up.magnitude();
    const double columnStep = camera.xRes > 1 ? camera.xRes - 1 : 1;
    const double rowStep = camera.yRes > 1 ? camera.yRes - 1 : 1;
    const auto screenPoint = [&](double x, double y) {
        return Vector3(-width / 2 + x * width / columnStep, height / 2 - y * height / rowStep,
                       -1.0);
    };
    const int n = job.antialias;
    for (int y = 0; y < job.height; y += std::max(job.rowStep, 1)) {
        for (int x = 0; x < job.width; ++x) {
            Ray ray;
            ray.origin = camera.eye;
            if (n <= 1) {
                ray.direction = job.toWorld * screenPoint(x + 0.5, y + 0.5);
                image[x][y] = cast(scene, job.lights, job.shadows, ray, PRIMARY_RECURSION_DEPTH);
                continue;
            }
            Color sum;
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    ray.direction = job.toWorld * screenPoint(x + (i + 0.5) / n, y + (j + 0.5) / n);
                    sum = sum + cast(scene, job.lights, job.shadows, ray, PRIMARY_RECURSION_DEPTH);
                }
            }
            image[x][y] = sum * (1.0 / (n * n));
        }
    }
}

}  // namespace reference
