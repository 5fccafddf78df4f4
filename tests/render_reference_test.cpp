// The renderer against its plain reference (shading_reference.h): whole
// images of generated scenes, through the tracing index at one to three
// threads, with and without anti-aliasing, must have the reference's bits in
// every pixel. The scenes are varied where the renderer takes short cuts:
// surfaces without a highlight, highlight exponents that are odd, fractional,
// even or infinite, and colours the clamp must act on (negative components
// set directly), or must leave alone (NaN, -0).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "accel/scene_query.h"
#include "accel/trace_accel.h"
#include "generated_scene.h"
#include "shading_reference.h"
#include "trace/ray_caster.h"
#include "trace/render_job.h"

namespace {

// Compares the renderer with the reference on the job at 1, 2 and 3 threads.
void expectReferenceImage(RenderJob job, const std::string& what) {
    ImageBuffer expected(job.width, job.height);
    reference::renderImage(job, LinearScene(job.objects), expected.columns());
    const TraceAccel index(job.objects);
    for (const int threads : {1, 2, 3}) {
        job.threads = threads;
        ImageBuffer actual(job.width, job.height);
        renderImage(job, index, actual.columns());
        ASSERT_EQ(firstDifference(expected, actual, job.width, job.height, job.rowStep), "")
            << what << ", " << threads << " threads";
    }
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Finishes and colours on the short cuts' edges, picked by the seed.
void vary(std::uint64_t seed, GeneratedScene& scene) {
    Random rng(seed * 7919);
    const double roughness[] = {0.05, 0.03, 1.0, 1.0 / 3, 0.1, 0.0, 0.5};
    for (GeomObject* object : scene.objects) {
        Finish& f = object->finish;
        if (rng.chance(0.3)) f.specular = 0;
        f.roughness = roughness[rng.below(7)];
        if (rng.chance(0.15)) object->color.r = -rng.uniform(0, 1);
        if (rng.chance(0.1)) object->color.g = -0.0;
        if (rng.chance(0.05)) object->color.b = kNaN;
    }
    for (Light& light : scene.lights) {
        if (rng.chance(0.2)) light.color.g = -0.5;
        if (rng.chance(0.1)) light.color.b = -0.0;
        if (rng.chance(0.05)) light.color.r = kNaN;
    }
}

}  // namespace

TEST(RenderReference, ImagesHaveTheReferenceBitsAtEveryThreadCount) {
    for (int seed = 1; seed <= 24; ++seed) {
        GeneratedScene scene;
        makeMixedScene(static_cast<std::uint64_t>(seed), 23, 17, scene);
        if (seed % 2 == 0) vary(static_cast<std::uint64_t>(seed), scene);
        expectReferenceImage(scene.job(), "seed " + std::to_string(seed));
    }
}

TEST(RenderReference, AntialiasedEveryOtherRowAndTinyImagesHaveTheReferenceBits) {
    for (int seed = 30; seed < 38; ++seed) {
        GeneratedScene scene;
        makeMixedScene(static_cast<std::uint64_t>(seed), 9, 7, scene);
        vary(static_cast<std::uint64_t>(seed), scene);
        RenderJob job = scene.job();
        for (const int n : {2, 3}) {
            job.antialias = n;
            expectReferenceImage(job, "seed " + std::to_string(seed) + ", +A" + std::to_string(n));
        }
        job.antialias = 1;
        job.rowStep = 2;
        expectReferenceImage(job, "seed " + std::to_string(seed) + ", every other row");
    }
    // One pixel, one column and one row: the step between pixels is the
    // whole window there.
    for (const auto& size : {std::make_pair(1, 1), std::make_pair(1, 4), std::make_pair(5, 1)}) {
        GeneratedScene scene;
        makeMixedScene(40, size.first, size.second, scene);
        RenderJob job = scene.job();
        expectReferenceImage(job, "1 ray a pixel");
        job.antialias = 4;
        expectReferenceImage(job, "+A4");
    }
}

// A single ray against a scene of one lit sphere, for each case of the
// highlight: the colour of the caster is the reference's.
TEST(RenderReference, HighlightsKnownToBeZeroSkipNothingThatCounts) {
    GeneratedScene scene;
    Sphere& ball = scene.add(scene.spheres, Vector3(0, 0, -3), 1.0);
    ball.color = Color(0.6, 0.5, 0.4);
    ball.finish.ambient = 0.1;
    ball.finish.diffuse = 0.7;
    const Light behind(Point(0.3, 0.2, -9), Color(0.9, 0.8, 1));  // N * h < 0 near the rim
    const Light front(Point(2, 3, 1), Color(1, 1, 1));
    const LinearScene linear(scene.objects);
    for (const double roughness : {0.03, 1.0, 1.0 / 3, 0.1, 0.0, -0.2, 1e-300}) {
        for (const double specular : {0.0, 0.6}) {
            ball.finish.roughness = roughness;
            ball.finish.specular = specular;
            for (const Light& light : {behind, front}) {
                const std::vector<Light> lights{light};
                RayCaster caster(linear, lights, false);
                for (double x = -1; x <= 1; x += 0.125) {
                    Ray ray;
                    ray.origin = Point(0, 0, 0);
                    ray.direction = Vector3(x * 0.34, 0.1, -1);
                    const Color expected = reference::cast(linear, lights, false, ray, 3);
                    const Color actual = caster.cast(ray, 3);
                    EXPECT_EQ(std::memcmp(&expected, &actual, sizeof(Color)), 0)
                        << "roughness " << roughness << ", specular " << specular << ", x " << x;
                }
            }
        }
    }
}
