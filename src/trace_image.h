#pragma once

#include <cstdint>
#include <vector>

#include "camera.h"
#include "color.h"
#include "light.h"
#include "matrix4x4.h"
#include "scene_query.h"

struct TraceOptions {
    int threads = 0;        // 0: OpenMP's default, which follows OMP_NUM_THREADS
    int rowStep = 1;        // traces rows 0, rowStep, 2 rowStep, ...; leaves the others
    bool progress = false;  // the progress line on standard error
};

// Traces one primary ray per pixel, from camera.eye along
// vectorTransform * camera.pixelToScreen(x, y), into image[x][y] (width
// columns of height rows), unscaled. Rows are shared out among threads as
// they become free; every pixel's colour is the same whatever the schedule.
// Returns the number of rays cast: camera, secondary and shadow rays.
std::uint64_t traceImage(const SceneQuery& scene, const std::vector<Light*>& lights,
                         const Camera& camera, const Matrix4x4& vectorTransform, Color** image,
                         int width, int height, const TraceOptions& options);
