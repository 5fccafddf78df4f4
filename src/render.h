#pragma once

// The renderer at the program's edge: the render that the program-wide state
// describes, traced into gImage, and the shading of one ray over lists of
// objects and lights (the caster itself is trace/ray_caster.h).

#include <vector>

#include "color.h"
#include "geom.h"
#include "lighting/atmosphere.h"
#include "vector3.h"

struct Camera;
struct Light;
struct Matrix4x4;
class TraceIndexCache;
struct RenderJob;

// The render that the program-wide state describes (trace/render_job.h);
// computes the camera basis with camera.vectorTransform(), which prints it
// and throws SceneError when it is not orthogonal.
RenderJob currentRenderJob();
// The same render seen through another camera whose rotation is toWorld.
RenderJob currentRenderJob(const Camera& view, const Matrix4x4& toWorld);
// Renders currentRenderJob() into gImage and scales it, printing the report
// on standard output; the index over the render list comes from the cache.
void render(TraceIndexCache& indexCache);
// The same with an index of its own.
void render();
// The rectangle of that render whose top-left pixel is (left, top) of the
// whole and whose size is width x height, traced unscaled into image (width
// columns of height rows), with render()'s report.
void renderPart(int left, int top, int width, int height, Color** image);
// The colour seen along one ray; shadows false: every light reaches every
// surface. Rays that miss see the atmosphere (black and clear by default).
Color raycast(const Ray& ray, const std::vector<GeomObject*>& objects,
              const std::vector<Light*>& sceneLights, int recursionDepth, bool shadows,
              const Atmosphere& atmosphere = Atmosphere());
