#include "generated_scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>
#include <sstream>

namespace {

const double kPi = 3.14159265358979323846;

// Shading that keeps the benchmark's surfaces plain.
void matte(GeomObject& object, const Color& color) {
    object.color = color;
    object.finish.ambient = 0.1;
    object.finish.diffuse = 0.7;
    object.finish.specular = 0.3;
}

// A point of the bumpy torus lying tilted above the floor.
Point torusPoint(double u, double v) {
    const double tube = 0.6 * (1 + 0.1 * std::sin(6 * u) * std::sin(3 * v));
    const double ring = 1.6 + tube * std::cos(v);
    const Vector3 p(ring * std::cos(u), tube * std::sin(v), ring * std::sin(u));
    const double tilt = 0.5;  // radians about x
    return Point(p.x - 1.4, 1.7 + p.y * std::cos(tilt) - p.z * std::sin(tilt),
                 -0.8 + p.y * std::sin(tilt) + p.z * std::cos(tilt));
}

// Any surface: colour, finish, mirrors and glass of several indices.
void paint(Random& rng, GeomObject& object) {
    object.color = Color(rng.uniform(0, 1), rng.uniform(0, 1), rng.uniform(0, 1));
    Finish& f = object.finish;
    f.ambient = rng.uniform(0, 0.3);
    f.diffuse = rng.uniform(0, 1);
    f.specular = rng.uniform(0, 1);
    const double roughness[] = {0.05, 0.01, 0.3};
    f.roughness = roughness[rng.below(3)];
    if (rng.chance(0.3)) f.reflection = rng.chance(0.5) ? 1 : rng.uniform(0, 1);
    if (rng.chance(0.3)) {
        const double ior[] = {1.0, 1.33, 1.5, 0.8};
        f.refraction = 1;
        f.ior = ior[rng.below(4)];
    }
    f.filter = rng.chance(0.5) ? rng.uniform(0, 1) : 0;
}

// Objects that touch or cover a point that a camera ray passes through.
void addGrazing(Random& rng, GeneratedScene& s, const Point& p, const Vector3& along) {
    const double r = rng.uniform(0.05, 0.8);
    const Vector3 side = along.cross(Vector3(0, 1, 0)).normalize();
    switch (rng.below(5)) {
        case 0:  // silhouette: the ray is tangent to the sphere
            paint(rng, s.add(s.spheres, p + r * side, r));
            break;
        case 1:  // a vertex on the ray
            paint(rng, s.add(s.triangles, p, p + rng.point(1), p + rng.point(1)));
            break;
        case 2: {  // an edge through the ray
            const Vector3 e = rng.point(1);
            paint(rng, s.add(s.triangles, p - e, p + e, p + rng.point(1)));
            break;
        }
        case 3:  // a box corner on the ray
            paint(rng, s.add(s.boxes, p, p + Vector3(r, r, r)));
            break;
        default:  // a box edge along x through the ray
            paint(rng, s.add(s.boxes, Point(p.x - r, p.y, p.z), Point(p.x + r, p.y + r, p.z + r)));
    }
}

}  // namespace

GeneratedScene::~GeneratedScene() {
    if (displayRoot != nullptr) destroyBvhTree(displayRoot);
    for (GeomObject* box : displayBoxes) delete static_cast<Box*>(box);
}

void GeneratedScene::setCamera(const Camera& view) {
    camera = view;
    std::ostringstream basis;
    std::streambuf* const saved = std::cout.rdbuf(basis.rdbuf());
    toWorld = camera.vectorTransform();
    std::cout.rdbuf(saved);
}

Ray GeneratedScene::pixelRay(int x, int y) const {
    Ray ray;
    ray.origin = camera.eye;
    ray.direction = toWorld * camera.pixelToScreen(x, y);
    return ray;
}

int GeneratedScene::makeDisplayBoxes() {
    std::vector<GeomObject*> bounded;
    for (GeomObject* object : objects) {
        if (!object->isBounded()) continue;
        Box* leaf = new Box(object->getCorner1(), object->getCorner2());
        leaf->leftChild = object;
        bounded.push_back(leaf);
        displayBoxes.push_back(new Box(object->getCorner1(), object->getCorner2()));
    }
    if (!bounded.empty()) {
        std::stable_sort(bounded.begin(), bounded.end(), xSort);
        displayRoot = buildBvhTree(bounded, displayBoxes);
    }
    return static_cast<int>(displayBoxes.size());
}

void GeneratedScene::showDisplayBoxes(int count) {
    objects.insert(objects.end(), displayBoxes.begin(), displayBoxes.begin() + count);
}

RenderJob GeneratedScene::job() const {
    RenderJob job;
    job.objects = objects;
    job.lights = lights;
    job.camera = camera;
    job.toWorld = toWorld;
    job.shadows = shadows;
    job.width = camera.xRes;
    job.height = camera.yRes;
    return job;
}

void makeBenchScene(int count, int width, int height, GeneratedScene& s) {
    Random random(42);
    matte(s.add(s.planes, Vector3(0, 1, 0), 0.0), Color(0.8, 0.8, 0.75));

    // Half the objects tessellate the torus, two triangles per cell.
    const int around = static_cast<int>(std::sqrt(count / 8.0));
    for (int i = 0; i < 2 * around; ++i) {
        for (int j = 0; j < around; ++j) {
            const double u0 = 2 * kPi * i / (2 * around), u1 = 2 * kPi * (i + 1) / (2 * around);
            const double v0 = 2 * kPi * j / around, v1 = 2 * kPi * (j + 1) / around;
            const Color color(0.9, 0.5 + 0.4 * random.uniform(0, 1), 0.2);
            matte(s.add(s.triangles, torusPoint(u0, v0), torusPoint(u1, v0), torusPoint(u1, v1)),
                  color);
            matte(s.add(s.triangles, torusPoint(u0, v0), torusPoint(u1, v1), torusPoint(u0, v1)),
                  color);
        }
    }
    // The rest are spheres on the floor covering about a quarter of it.
    const int spheres = count - static_cast<int>(s.triangles.size());
    const double radius = std::sqrt(0.25 * 12 * 10 / (kPi * spheres));
    for (int i = 0; i < spheres; ++i) {
        const Point centre(-6 + 12 * random.uniform(0, 1), radius, -5 + 10 * random.uniform(0, 1));
        const double r = random.uniform(0, 1);
        const double g = random.uniform(0, 1);
        matte(s.add(s.spheres, centre, radius), Color(r, g, random.uniform(0, 1)));
    }

    Box& mirror = s.add(s.boxes, Point(-5, 0, -6.2), Point(5, 3.5, -6));
    mirror.color = Color(0.9, 0.9, 0.9);
    mirror.finish = Finish();
    mirror.finish.diffuse = 0.1;
    mirror.finish.specular = 0.3;
    mirror.finish.reflection = 0.85;
    Sphere& glass = s.add(s.spheres, Vector3(2.2, 1.1, 1.8), 1.1);
    glass.color = Color(1, 1, 1);
    glass.finish.diffuse = 0.1;
    glass.finish.specular = 0.8;
    glass.finish.roughness = 0.01;
    glass.finish.reflection = 0.1;
    glass.finish.refraction = 1;
    glass.finish.ior = 1.5;
    glass.finish.filter = 0.85;

    s.lights.emplace_back(Point(-6, 9, 7), Color(0.9, 0.9, 0.9));
    s.lights.emplace_back(Point(7, 6, 2), Color(0.5, 0.5, 0.6));
    s.setCamera(Camera(Vector3(0, 4.5, 11), Vector3(0, 0.75, 0), Vector3(1, 0, 0),
                       Vector3(0, 0.8, -0.5), width, height));
}

void makeMixedScene(std::uint64_t seed, int width, int height, GeneratedScene& s) {
    Random rng(seed);
    const Vector3 eye(rng.uniform(-3, 3), rng.uniform(-1, 4), rng.uniform(6, 12));
    s.setCamera(Camera(eye, Vector3(0, 0.75, 0), Vector3(1, 0, 0), rng.point(1), width, height));

    for (int i = rng.below(12); i > 0; --i) {
        double r = rng.uniform(0.1, 1.2);
        const int odd = rng.below(10);
        if (odd == 0) r = 0;
        if (odd == 1) r = -r;
        if (odd == 2) r = 1e-7;
        paint(rng, s.add(s.spheres, rng.point(3), r));
    }
    for (int i = rng.below(10); i > 0; --i) {
        const Point a = rng.point(3);
        paint(rng, s.add(s.triangles, a, a + rng.point(1.5), a + rng.point(1.5)));
    }
    if (rng.chance(0.5)) {  // a strip of triangles sharing edges, sometimes tilted
        const Point o = rng.point(2);
        const Vector3 u(1, 0, rng.chance(0.5) ? 0 : 0.3);
        const Vector3 v(0, rng.chance(0.5) ? 0 : 0.2, 1);
        for (int k = 0; k < 4; ++k) {
            const Point p = o + (0.5 * k) * u;
            paint(rng, s.add(s.triangles, p, p + 0.5 * u, p + v));
            paint(rng, s.add(s.triangles, p + 0.5 * u, p + 0.5 * u + v, p + v));
        }
    }
    for (int i = rng.below(5); i > 0; --i) {
        const Point a = rng.point(3);
        Box& box = s.add(s.boxes, a, a + rng.point(1));
        paint(rng, box);
        if (rng.chance(0.5)) {  // a neighbour sharing its +x face
            const Point c1(box.corner2.x, box.corner1.y, box.corner1.z);
            paint(rng, s.add(s.boxes, c1, c1 + Vector3(0.5, 0.7, 0.4)));
        }
    }
    if (rng.chance(0.5)) {  // two spheres touching along x
        const Point c = rng.point(2);
        paint(rng, s.add(s.spheres, c, 0.5));
        paint(rng, s.add(s.spheres, c + Vector3(1.25, 0, 0), 0.75));
    }
    for (int i = rng.below(3); i > 0; --i) {
        const Vector3 normal = rng.chance(0.5) ? Vector3(0, 1, 0) : rng.point(1);
        paint(rng, s.add(s.planes, normal, rng.uniform(-4, 0)));
    }
    // Rays grazing edges, vertices and silhouettes.
    for (int i = rng.below(6); i > 0; --i) {
        const Ray ray = s.pixelRay(rng.below(width), rng.below(height));
        addGrazing(rng, s, ray.origin + rng.uniform(3, 10) * ray.direction, ray.direction);
    }
    // Coincident copies, placed before or after the original.
    for (int i = rng.below(3); i > 0 && !s.spheres.empty(); --i) {
        const Sphere& original = s.spheres[rng.below(static_cast<int>(s.spheres.size()))];
        Sphere& copy = s.add(s.spheres, original._center, original._radius);
        paint(rng, copy);
        if (rng.chance(0.5)) std::swap(s.objects.front(), s.objects.back());
    }
    if (!s.triangles.empty()) {
        const Triangle& t = s.triangles.front();
        paint(rng, s.add(s.triangles, t.v1, t.v2, t.v3));
    }

    for (int i = rng.below(4); i > 0; --i) {
        s.lights.emplace_back(rng.point(8) + Vector3(0, 4, 0),
                              Color(rng.uniform(0, 1), rng.uniform(0, 1), rng.uniform(0, 1)));
    }
    s.shadows = !rng.chance(0.25);
    // The display hierarchy, stepped partly through.
    if (rng.chance(0.5)) {
        const int boxes = s.makeDisplayBoxes();
        if (boxes > 0) {
            s.showDisplayBoxes(std::min(boxes, 1 + rng.below(boxes + 1)));
        }
    }
}

ImageBuffer::ImageBuffer(int width, int height)
    : m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    for (int x = 0; x < width; ++x) {
        m_columns.push_back(&m_pixels[static_cast<std::size_t>(x) * height]);
    }
}

std::string firstDifference(const ImageBuffer& expected, const ImageBuffer& actual, int width,
                            int height, int rowStep) {
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; y += std::max(rowStep, 1)) {
            const Color& e = expected.at(x, y);
            const Color& a = actual.at(x, y);
            if (std::memcmp(&e, &a, sizeof(Color)) != 0) {
                std::ostringstream text;
                text << "pixel (" << x << ", " << y << "): " << e.r << " " << e.g << " " << e.b
                     << " against " << a.r << " " << a.g << " " << a.b;
                return text.str();
            }
        }
    }
    return "";
}
