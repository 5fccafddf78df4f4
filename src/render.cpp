#include "render.h"

// The edge between the program-wide state and a render: the render job is
// made here from the globals, and the traced image goes to gImage.
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <vector>

#include "accel/trace_accel.h"
#include "image/image_output.h"
#include "main.h"
#include "trace/ray_caster.h"
#include "trace/render_job.h"

namespace {

std::vector<Light> copies(const std::vector<Light*>& lights) {
    std::vector<Light> values;
    values.reserve(lights.size());
    for (const Light* light : lights) {
        values.push_back(*light);
    }
    return values;
}

}  // namespace

Color raycast(const Ray& ray, const std::vector<GeomObject*>& objects,
              const std::vector<Light*>& sceneLights, int recursionDepth, bool shadows,
              const Atmosphere& atmosphere) {
    // The program's own path: the tracing index and one caster.
    const TraceAccel index(objects);
    const std::vector<Light> lightValues = copies(sceneLights);
    RayCaster caster(index, lightValues, shadows, atmosphere);
    return caster.cast(ray, recursionDepth);
}

RenderJob currentRenderJob() { return currentRenderJob(camera, camera.vectorTransform()); }

RenderJob currentRenderJob(const Camera& view, const Matrix4x4& toWorld) {
    RenderJob job;
    job.objects = gObjects;
    const std::size_t boxes = std::min<std::size_t>(std::max(gBvhStep, 0), gNodeList.size());
    job.objects.insert(job.objects.end(), gNodeList.begin(),
                       gNodeList.begin() + static_cast<std::ptrdiff_t>(boxes));
    job.lights = copies(lights);
    job.camera = view;
    job.toWorld = toWorld;
    job.shadows = !shadowsOff;
    job.width = gPixelWidth;
    job.height = gPixelHeight;
    job.antialias = gAntialias;
    job.progress = isatty(STDERR_FILENO) != 0;
    return job;
}

namespace {

// Prints the opening lines of a render and returns the job they describe.
RenderJob announcedJob() {
    std::cout << "Rendering ...\n";
    if (shadowsOff) {
        std::cout << "Shadows off.\n";
    }
    // Both transforms print the camera basis, this one first.
    const Matrix4x4 cameraTransform = camera.transform();
    RenderJob job = currentRenderJob();
    std::cout << "Eye: " << job.camera.eye << "\n";
    std::cout << "Camera transform: " << cameraTransform.str() << "\n";
    std::cout << "LookAt: " << job.camera.lookAt << "\n";
    if (job.progress) {
        // The progress line then starts below the lines already printed.
        std::cout << std::flush;
    }
    return job;
}

// Traces the job into image, scaled when asked, and prints the closing lines.
void traceAnnounced(const RenderJob& job, const SceneQuery& index, Color** image, bool scale) {
    const auto start = std::chrono::steady_clock::now();
    const RenderResult result = renderImage(job, index, image);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (scale) {
        scaleValues({image, job.width, job.height});
    }
    // A batch render on a terminal ends with its figures; pipes and files
    // get nothing new.
    if (!gInteractive && isatty(STDERR_FILENO) != 0) {
        const RenderStats stats{job.width, job.height, result.threads, result.rays,
                                elapsed.count()};
        std::fprintf(stderr, "%s\n", renderStatsText(stats).c_str());
    }
    std::cout << "... done rendering.\n";
}

}  // namespace

void render(TraceIndexCache& indexCache) {
    const RenderJob job = announcedJob();
    traceAnnounced(job, indexCache.over(job.objects), gImage, true);
}

void renderPart(int left, int top, int width, int height, Color** image) {
    RenderJob job = announcedJob();
    job.left = left;
    job.top = top;
    job.width = width;
    job.height = height;
    TraceIndexCache indexCache;
    traceAnnounced(job, indexCache.over(job.objects), image, false);
}

void render() {
    TraceIndexCache indexCache;
    render(indexCache);
}
