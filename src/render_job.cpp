#include "render_job.h"

#include <omp.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "progress.h"
#include "ray_caster.h"
#include "trace_accel.h"

namespace {

// The colour of pixel (x, y): its one ray, or the average of its n x n.
Color tracePixel(const RenderJob& job, RayCaster& caster, int x, int y) {
    Ray ray;
    ray.origin = job.camera.eye;
    const int n = job.antialias;
    if (n <= 1) {
        ray.direction = job.toWorld * job.camera.pixelToScreen(x, y);
        return caster.cast(ray, PRIMARY_RECURSION_DEPTH);
    }
    Color sum;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const double sx = x + (i + 0.5) / n;
            const double sy = y + (j + 0.5) / n;
            ray.direction = job.toWorld * job.camera.screenPoint(sx, sy);
            sum = sum + caster.cast(ray, PRIMARY_RECURSION_DEPTH);
        }
    }
    return sum * (1.0 / (n * n));
}

}  // namespace

RenderResult renderImage(const RenderJob& job, const SceneQuery& index, Color* const* image) {
    const int step = std::max(job.rowStep, 1);
    const int width = job.width;
    const int rows = job.height > 0 ? (job.height - 1) / step + 1 : 0;
    const int threads = job.threads > 0 ? job.threads : omp_get_max_threads();
    ProgressLine progress(std::cerr, job.progress,
                          static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(width));
    RenderResult result;
    std::uint64_t rays = 0;
    int team = 1;
#pragma omp parallel num_threads(threads) reduction(+ : rays)
    {
#pragma omp single
        team = omp_get_num_threads();
        // One caster per thread: its blocker caches follow the thread's rows.
        RayCaster caster(index, job.lights, job.shadows);
        // The image is stored by column, so neighbouring rows share cache
        // lines: a row is traced into a buffer of its own and copied at the end.
        std::vector<Color> traced(static_cast<std::size_t>(width));
#pragma omp for schedule(dynamic, 1)
        for (int row = 0; row < rows; ++row) {
            const int y = row * step;
            const std::uint64_t before = caster.rays();
            for (int x = 0; x < width; ++x) {
                traced[x] = tracePixel(job, caster, x, y);
            }
            for (int x = 0; x < width; ++x) {
                image[x][y] = traced[x];
            }
            progress.advance(static_cast<std::uint64_t>(width), caster.rays() - before);
        }
        rays += caster.rays();
    }
    progress.finish();
    result.rays = rays;
    result.threads = team;
    return result;
}

TraceIndexCache::TraceIndexCache() = default;
TraceIndexCache::~TraceIndexCache() = default;

const TraceAccel& TraceIndexCache::over(const std::vector<GeomObject*>& objects) {
    if (!m_index || m_index->objects() != objects) {
        m_index.reset();  // the old one goes before the new one is built
        m_index = std::make_unique<TraceAccel>(objects);
        ++m_builds;
    }
    return *m_index;
}

void TraceIndexCache::clear() {
    m_index.reset();
}

namespace {

// A count with three significant digits or so: 812, 81.2k, 8.12M.
std::string count(double value) {
    char text[32];
    if (value >= 1e6) {
        std::snprintf(text, sizeof text, "%.2fM", value / 1e6);
    } else if (value >= 1e3) {
        std::snprintf(text, sizeof text, "%.1fk", value / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.0f", value);
    }
    return text;
}

}  // namespace

std::string renderStatsText(const RenderStats& stats) {
    const auto rays = static_cast<double>(stats.rays);
    // A render too short for the clock counts as a nanosecond.
    const double perSecond = rays / std::max(stats.seconds, 1e-9);
    char text[160];
    std::snprintf(text, sizeof text, "%dx%d, %d thread%s, %s rays in %.2f s, %s rays/s",
                  stats.width, stats.height, stats.threads, stats.threads == 1 ? "" : "s",
                  count(rays).c_str(), stats.seconds, count(perSecond).c_str());
    return text;
}
