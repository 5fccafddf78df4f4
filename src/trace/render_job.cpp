#include "trace/render_job.h"

#include <omp.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "accel/trace_accel.h"
#include "image/progress.h"
#include "trace/cache_line.h"
#include "trace/lens.h"
#include "trace/ray_caster.h"
#include "trace/sample_seed.h"

namespace {

// One row of a thread's colours, on cache lines of its own.
using RowColors = std::vector<Color, CacheLineAllocator<Color>>;

// The directions of the camera rays, job.toWorld * screen point, each
// component summed from the product's four terms in the product's order. The
// x term is formed once per sample column, the y term once per sample row and
// the z and w terms once, where the product would form them for every ray.
class ViewDirections {
public:
    explicit ViewDirections(const RenderJob& job) : m_samples(std::max(job.antialias, 1)) {
        const int n = m_samples;
        const Camera& camera = job.camera;
        // One sample: the pixel's centre; more: the centres of its cells.
        m_columns = terms(job.toWorld, 0, job.left, job.width, [&](int x, int i) {
            return n == 1 ? camera.pixelToScreenX(x) : camera.screenX(x + (i + 0.5) / n);
        });
        m_rows = terms(job.toWorld, 1, job.top, job.height, [&](int y, int j) {
            return n == 1 ? camera.pixelToScreenY(y) : camera.screenY(y + (j + 0.5) / n);
        });
        const auto& m = job.toWorld.m;
        const double sz = -1.0;
        m_depth = Vector3(m[0][2] * sz, m[1][2] * sz, m[2][2] * sz);
        m_offset = Vector3(m[0][3], m[1][3], m[2][3]);
    }

    int samples() const { return m_samples; }
    // Sample (i, j) of pixel (x, y) is column x * samples() + i, row y * samples() + j.
    Vector3 at(std::size_t column, std::size_t row) const {
        const Vector3& c = m_columns[column];
        const Vector3& r = m_rows[row];
        return Vector3(c.x + r.x + m_depth.x + m_offset.x, c.y + r.y + m_depth.y + m_offset.y,
                       c.z + r.z + m_depth.z + m_offset.z);
    }

private:
    // The product's terms of column `axis` for every sample position along
    // that axis of the image, whose first pixel is pixel `first` of the
    // whole: sample i of pixel p lies at position(first + p, i).
    template <class Position>
    std::vector<Vector3> terms(const Matrix4x4& toWorld, int axis, int first, int pixels,
                               const Position& position) const {
        const auto& m = toWorld.m;
        std::vector<Vector3> result;
        result.reserve(static_cast<std::size_t>(pixels) * static_cast<std::size_t>(m_samples));
        for (int p = 0; p < pixels; ++p) {
            for (int i = 0; i < m_samples; ++i) {
                const double s = position(first + p, i);
                result.emplace_back(m[0][axis] * s, m[1][axis] * s, m[2][axis] * s);
            }
        }
        return result;
    }

    int m_samples;
    std::vector<Vector3> m_columns;
    std::vector<Vector3> m_rows;
    Vector3 m_depth;
    Vector3 m_offset;
};

// The colours of row y into traced, one per column: each pixel's one ray,
// or the average of its n x n. The ray's origin is set by the caller.
void traceRow(const ViewDirections& view, RayCaster& caster, Ray& ray, int y,
              RowColors& traced) {
    const int n = view.samples();
    const std::size_t width = traced.size();
    const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(n);
    if (n == 1) {
        for (std::size_t x = 0; x < width; ++x) {
            caster.beginPixel(static_cast<int>(x), y);
            ray.direction = view.at(x, row);
            traced[x] = caster.cast(ray, PRIMARY_RECURSION_DEPTH);
        }
        return;
    }
    const double weight = 1.0 / (n * n);
    for (std::size_t x = 0; x < width; ++x) {
        const std::size_t column = x * static_cast<std::size_t>(n);
        caster.beginPixel(static_cast<int>(x), y);
        Color sum;
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                ray.direction = view.at(column + static_cast<std::size_t>(i),
                                        row + static_cast<std::size_t>(j));
                sum = sum + caster.cast(ray, PRIMARY_RECURSION_DEPTH);
            }
        }
        traced[x] = sum * weight;
    }
}

// traceRow through a lens: each of a pixel's n x n camera rays becomes
// blurSamples rays from points of the lens, and the pixel is the average of
// them all, summed in order.
void traceRowThroughLens(const ViewDirections& view, const LensFrame& lens, int blurSamples,
                         RayCaster& caster, int y, RowColors& traced) {
    const int n = view.samples();
    const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(n);
    const double weight = 1.0 / (static_cast<double>(n) * n * blurSamples);
    for (std::size_t x = 0; x < traced.size(); ++x) {
        const std::uint64_t seed = pixelSeed(static_cast<int>(x), y);
        caster.beginPixel(static_cast<int>(x), y);
        const std::size_t column = x * static_cast<std::size_t>(n);
        Color sum;
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                const Vector3 direction = view.at(column + static_cast<std::size_t>(i),
                                                  row + static_cast<std::size_t>(j));
                const int first = (j * n + i) * blurSamples;
                for (int k = 0; k < blurSamples; ++k) {
                    sum = sum + caster.cast(lens.ray(direction, first + k, seed),
                                            PRIMARY_RECURSION_DEPTH);
                }
            }
        }
        traced[x] = sum * weight;
    }
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
    const ViewDirections view(job);
    const LensFrame lens(job.camera.lens, job.camera.eye, job.toWorld);
    const bool throughLens = job.camera.lens.on();
#pragma omp parallel num_threads(threads) reduction(+ : rays)
    {
#pragma omp single
        team = omp_get_num_threads();
        // One caster per thread: its blocker caches follow the thread's rows.
        RayCaster caster(index, job.lights, job.shadows, job.camera.atmosphere);
        // The image is stored by column, so neighbouring rows share cache
        // lines: a row is traced into a buffer of its own and copied at the end.
        RowColors traced(static_cast<std::size_t>(width));
        Ray ray;
        ray.origin = job.camera.eye;
#pragma omp for schedule(dynamic, 1)
        for (int row = 0; row < rows; ++row) {
            const int y = row * step;
            const std::uint64_t before = caster.rays();
            if (throughLens) {
                traceRowThroughLens(view, lens, job.camera.lens.blurSamples, caster, y, traced);
            } else {
                traceRow(view, caster, ray, y, traced);
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

std::string renderStatsText(const RenderStats& stats) {
    const auto rays = static_cast<double>(stats.rays);
    // A render too short for the clock counts as a nanosecond.
    const double perSecond = rays / std::max(stats.seconds, 1e-9);
    char text[160];
    std::snprintf(text, sizeof text, "%dx%d, %d thread%s, %s rays in %.2f s, %s rays/s",
                  stats.width, stats.height, stats.threads, stats.threads == 1 ? "" : "s",
                  countText(rays, 2).c_str(), stats.seconds, countText(perSecond, 2).c_str());
    return text;
}
