#pragma once

// The renderer's results worked out the plain way, for differential tests of
// the faster code: every Color operation clamps, every highlight calls
// std::pow, every camera ray is toWorld * screen point, and a pixel is traced
// at a time in row order on one thread.

#include "accel/scene_query.h"
#include "trace/render_job.h"

namespace reference {

// The colour of a ray, shaded against the scene's answers.
Color cast(const SceneQuery& scene, const std::vector<Light>& lights, bool shadows, const Ray& ray,
           int recursionDepth);

// The job's image, unscaled, as renderImage documents it.
void renderImage(const RenderJob& job, const SceneQuery& scene, Color* const* image);

}  // namespace reference
