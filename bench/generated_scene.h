#pragma once

// Generated scenes for the render benchmark and the differential tests of
// the tracing index: a fixed pseudo-random sequence, a scene that owns its
// objects and can describe its render, two generators and image storage.

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "camera.h"
#include "color.h"
#include "geom.h"
#include "light.h"
#include "matrix4x4.h"
#include "trace/render_job.h"

// splitmix64, so that a seed names the same scene everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform(double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(next() >> 11) * 0x1.0p-53;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    bool chance(double p) { return uniform(0, 1) < p; }
    Vector3 point(double extent) {
        return Vector3(uniform(-extent, extent), uniform(-extent, extent),
                       uniform(-extent, extent));
    }

private:
    std::uint64_t m_state;
};

// A scene that owns its objects; objects is the render list, which may end
// with display boxes of the hierarchy.
struct GeneratedScene {
    std::deque<Sphere> spheres;
    std::deque<Triangle> triangles;
    std::deque<Box> boxes;
    std::deque<Plane> planes;
    std::vector<Light> lights;
    std::vector<GeomObject*> objects;
    Camera camera;
    Matrix4x4 toWorld;  // camera.vectorTransform()
    bool shadows = true;

    GeneratedScene() = default;
    GeneratedScene(const GeneratedScene&) = delete;
    GeneratedScene& operator=(const GeneratedScene&) = delete;
    ~GeneratedScene();

    template <class T, class... Args>
    T& add(std::deque<T>& store, Args&&... args) {
        store.emplace_back(std::forward<Args>(args)...);
        objects.push_back(&store.back());
        return store.back();
    }
    // Sets the camera and its transform, without the lines the transform prints.
    void setCamera(const Camera& view);
    // The camera ray through the centre of pixel (x, y), as a render makes it.
    Ray pixelRay(int x, int y) const;
    // Makes the display hierarchy of the bounded objects as start-up does;
    // returns how many boxes it has.
    int makeDisplayBoxes();
    // Appends the first `count` display boxes to the render list.
    void showDisplayBoxes(int count);
    // The render of the whole list at the camera's resolution.
    RenderJob job() const;

    std::vector<GeomObject*> displayBoxes;
    GeomObject* displayRoot = nullptr;
};

// The benchmark scene: a floor plane, two lights, a mirror box and a glass
// sphere; half the objects tessellate a bumpy torus and the rest are spheres
// spread over the floor, smaller as they get more numerous.
void makeBenchScene(int objects, int width, int height, GeneratedScene& scene);

// A scene for comparing the tracing index with the linear scan: random
// spheres (some of radius 0, negative or tiny), triangles, boxes and planes,
// coincident and touching objects, objects placed so that camera rays graze
// their edges, vertices and silhouettes, mirrors and glass, several lights
// or none, shadows sometimes off and display boxes sometimes shown.
void makeMixedScene(std::uint64_t seed, int width, int height, GeneratedScene& scene);

// gImage-shaped storage for one image: image[x][y], column by column.
class ImageBuffer {
public:
    ImageBuffer(int width, int height);
    Color* const* columns() const { return m_columns.data(); }
    const Color& at(int x, int y) const { return m_columns[x][y]; }

private:
    std::vector<Color> m_pixels;
    std::vector<Color*> m_columns;
};

// The first pixel of the width x height images, on every rowStep-th row,
// whose colour bits differ, as text; empty when none does.
std::string firstDifference(const ImageBuffer& expected, const ImageBuffer& actual, int width,
                            int height, int rowStep = 1);
