#pragma once

// A render as a value: everything an image depends on is copied into one
// RenderJob at the edge (currentRenderJob, in render.cpp, reads the
// program-wide state), and renderImage reads nothing else, so the threads
// that trace it share no mutable state.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "accel/scene_query.h"
#include "camera.h"
#include "color.h"
#include "geom.h"
#include "light.h"
#include "matrix4x4.h"

class TraceAccel;

struct RenderJob {
    // The render list: the scene's objects, then the display boxes shown.
    // The objects themselves are shared and must not change during a render.
    std::vector<GeomObject*> objects;
    std::vector<Light> lights;  // copies, in scene order
    Camera camera;
    Matrix4x4 toWorld;  // camera.vectorTransform(): screen directions into the world
    bool shadows = true;
    int width = 0;  // image columns and rows, both at least 1
    int height = 0;
    // A part of a larger image: the whole image's column and row of this
    // image's pixel (0, 0). Each pixel is traced as that pixel of the whole.
    int left = 0;
    int top = 0;
    int antialias = 1;  // n: the average of an n x n grid of rays per pixel, 1 to 16
    int threads = 0;    // 0: OpenMP's default, which follows OMP_NUM_THREADS
    int rowStep = 1;    // traces rows 0, rowStep, 2 rowStep, ... and leaves the others
    bool progress = false;  // the progress line on standard error
};

struct RenderResult {
    std::uint64_t rays = 0;  // camera, secondary and shadow rays
    int threads = 0;         // threads that traced
};

// Traces the job into image[x][y] (job.width columns of job.height rows, row
// 0 at the top), unscaled, asking index for hits and shadows; index must
// answer for job.objects. Each pixel's colour is the same whatever the thread
// count: rows are shared out among threads as they become free, and a pixel
// is traced by one thread in a fixed order. Pixel (x, y), counted in the
// whole image (x = left + column, y = top + row), is seen along
// job.toWorld * job.camera.pixelToScreen(x, y) from job.camera.eye; with
// antialiasing n > 1 it is the average, in row order, of the n x n rays
// through screenPoint(x + (i + 0.5) / n, y + (j + 0.5) / n), the pixel's
// step cut into n x n cells, each seen through its centre.
RenderResult renderImage(const RenderJob& job, const SceneQuery& index, Color* const* image);

// The tracing index of a render list, kept from one render to the next
// while the list stays the same (an interactive view only moves the camera
// and the lights).
class TraceIndexCache {
public:
    TraceIndexCache();
    ~TraceIndexCache();
    TraceIndexCache(const TraceIndexCache&) = delete;
    TraceIndexCache& operator=(const TraceIndexCache&) = delete;

    // The index over objects: the last one if it was built over the same
    // list, else a new one.
    const TraceAccel& over(const std::vector<GeomObject*>& objects);
    // Forgets the index, so that the next over() builds a new one.
    void clear();
    // How many indexes have been built.
    int builds() const { return m_builds; }

private:
    std::unique_ptr<TraceAccel> m_index;
    int m_builds = 0;
};

// What the end of a batch render reports.
struct RenderStats {
    int width;
    int height;
    int threads;
    std::uint64_t rays;
    double seconds;
};

// The statistics line: "640x480, 2 threads, 1.23M rays in 0.41 s, 3.00M rays/s".
std::string renderStatsText(const RenderStats& stats);
