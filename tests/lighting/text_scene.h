#pragma once

// A scene read from text in-process and rendered, for the tests of what
// light, surface and camera words do to a picture.

#include <sstream>
#include <string>
#include <vector>

#include "accel/scene_query.h"
#include "accel/trace_accel.h"
#include "camera.h"
#include "generated_scene.h"
#include "geom.h"
#include "light.h"
#include "main.h"
#include "scene_file.h"
#include "test_support.h"
#include "trace/ray_caster.h"
#include "trace/render_job.h"
#include "window/scene_reload.h"

class TextScene {
public:
    // Read as the program reads a scene file; sceneFile names the file the
    // text stands for, whose folder the files it names are found in.
    TextScene(const std::string& text, int width, int height, const std::string& sceneFile = "")
        : m_width(width), m_height(height) {
        gPixelWidth = width;
        gPixelHeight = height;
        const Vector3 zero(0, 0, 0);
        camera = Camera(zero, zero, zero, zero, width, height);
        std::istringstream in(text);
        read_scene(in, {width, height, sceneFile}, objects, m_lights, &camera);
        for (const Light* light : m_lights) {
            lightValues.push_back(*light);
        }
    }
    ~TextScene() {
        deleteObjects(objects);
        deleteLights(m_lights);
    }
    TextScene(const TextScene&) = delete;
    TextScene& operator=(const TextScene&) = delete;

    RenderJob job(int threads = 1, int antialias = 1) const {
        RenderJob job;
        job.objects = objects;
        job.lights = lightValues;
        job.camera = camera;
        job.toWorld = camera.quietVectorTransform();
        job.width = m_width;
        job.height = m_height;
        job.threads = threads;
        job.antialias = antialias;
        return job;
    }
    ImageBuffer render(int threads = 1, int antialias = 1) const {
        const RenderJob render = job(threads, antialias);
        ImageBuffer image(m_width, m_height);
        const TraceAccel index(objects);
        renderImage(render, index, image.columns());
        return image;
    }
    // The colour along one ray, as a render's caster sees it.
    Color cast(const Vector3& origin, const Vector3& direction) const {
        const LinearScene scene(objects);
        RayCaster caster(scene, lightValues, true, camera.atmosphere);
        return caster.cast(testing_support::makeRay(origin, direction), PRIMARY_RECURSION_DEPTH);
    }

    std::vector<GeomObject*> objects;
    std::vector<Light> lightValues;
    Camera camera;

private:
    std::vector<Light*> m_lights;
    int m_width;
    int m_height;
};

inline bool sameBits(const Color& a, const Color& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}
