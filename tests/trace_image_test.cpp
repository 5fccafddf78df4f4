// Whole images through the tracing hierarchy against the linear scan: many
// generated scenes, several thread counts, and every pixel's colour must have
// the same bits. Scenes mix random spheres, triangles, boxes and planes with
// coincident and touching objects, objects placed so that camera rays graze
// their edges, vertices and silhouettes, mirrors and glass, several lights or
// none, shadows switched off and display boxes of the hierarchy.
#include "trace_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <sstream>

#include "main.h"
#include "scene_query.h"
#include "test_support.h"
#include "trace_accel.h"

using testing_support::readFile;
using testing_support::runShell;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

const int kWidth = 40;
const int kHeight = 30;
const int kScenes = 48;

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

// A scene that owns its objects; objects holds the render list.
struct Scene {
    std::deque<Sphere> spheres;
    std::deque<Triangle> triangles;
    std::deque<Box> boxes;
    std::deque<Plane> planes;
    std::deque<Light> lightStore;
    std::vector<Light*> lights;
    std::vector<GeomObject*> objects;
    std::vector<GeomObject*> displayBoxes;
    GeomObject* displayRoot = nullptr;
    Camera camera;
    Matrix4x4 transform;  // camera.vectorTransform()
    bool shadowsOff = false;

    Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    ~Scene() {
        if (displayRoot != nullptr) destroyBvhTree(displayRoot);
        for (GeomObject* box : displayBoxes) delete static_cast<Box*>(box);
    }

    template <class T, class... Args>
    T& add(std::deque<T>& store, Args&&... args) {
        store.emplace_back(std::forward<Args>(args)...);
        objects.push_back(&store.back());
        return store.back();
    }

    // The camera ray through pixel (x, y), as the renderer makes it.
    Ray pixelRay(int x, int y) const {
        Ray ray;
        ray.origin = camera.eye;
        ray.direction = transform * camera.pixelToScreen(x, y);
        return ray;
    }
};

// camera.vectorTransform() without the basis lines it prints.
Matrix4x4 quietTransform(const Camera& camera) {
    std::ostringstream basis;
    std::streambuf* const saved = std::cout.rdbuf(basis.rdbuf());
    const Matrix4x4 transform = camera.vectorTransform();
    std::cout.rdbuf(saved);
    return transform;
}

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
void addGrazing(Random& rng, Scene& s, const Point& p, const Vector3& along) {
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

void makeScene(std::uint64_t seed, Scene& s) {
    Random rng(seed);
    const Vector3 eye(rng.uniform(-3, 3), rng.uniform(-1, 4), rng.uniform(6, 12));
    s.camera = Camera(eye, Vector3(0, 0.75, 0), Vector3(1, 0, 0), rng.point(1), kWidth, kHeight);
    s.transform = quietTransform(s.camera);

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
        const Ray ray = s.pixelRay(rng.below(kWidth), rng.below(kHeight));
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
        s.lightStore.emplace_back(rng.point(8) + Vector3(0, 4, 0),
                                  Color(rng.uniform(0, 1), rng.uniform(0, 1), rng.uniform(0, 1)));
        s.lights.push_back(&s.lightStore.back());
    }
    s.shadowsOff = rng.chance(0.25);
    if (rng.chance(0.5)) {
        // The display hierarchy, made as start-up makes it, stepped partly through.
        std::vector<GeomObject*> bounded;
        for (GeomObject* object : s.objects) {
            if (!object->isBounded()) continue;
            Box* leaf = new Box(object->getCorner1(), object->getCorner2());
            leaf->leftChild = object;
            bounded.push_back(leaf);
            s.displayBoxes.push_back(new Box(object->getCorner1(), object->getCorner2()));
        }
        if (bounded.empty()) return;
        std::stable_sort(bounded.begin(), bounded.end(), xSort);
        s.displayRoot = buildBvhTree(bounded, s.displayBoxes);
        const int boxes = static_cast<int>(s.displayBoxes.size());
        const int shown = std::min(boxes, 1 + rng.below(boxes + 1));
        s.objects.insert(s.objects.end(), s.displayBoxes.begin(), s.displayBoxes.begin() + shown);
    }
}

// gImage-shaped storage for one image.
struct Image {
    std::vector<Color> pixels = std::vector<Color>(kWidth * kHeight);
    std::vector<Color*> columns;
    Image() {
        for (int x = 0; x < kWidth; ++x) columns.push_back(&pixels[x * kHeight]);
    }
};

void trace(const Scene& s, const SceneQuery& query, int threads, Image& image) {
    TraceOptions options;
    options.threads = threads;
    shadowsOff = s.shadowsOff;
    traceImage(query, s.lights, s.camera, s.transform, image.columns.data(), kWidth, kHeight,
               options);
    shadowsOff = false;
}

// The first pixel whose colour bits differ, as text; empty when none does.
std::string firstDifference(const Image& expected, const Image& actual) {
    for (int x = 0; x < kWidth; ++x) {
        for (int y = 0; y < kHeight; ++y) {
            const Color& e = expected.columns[x][y];
            const Color& a = actual.columns[x][y];
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

}  // namespace

TEST(TraceImage, TreeGivesTheScanImageAtEveryThreadCount) {
    int treeObjects = 0;
    for (int seed = 1; seed <= kScenes; ++seed) {
        Scene scene;
        makeScene(static_cast<std::uint64_t>(seed), scene);
        Image reference;
        trace(scene, LinearScene(scene.objects), 1, reference);
        const TraceAccel accel(scene.objects);
        treeObjects += static_cast<int>(accel.treeObjectCount());
        for (const int threads : {1, 2, 3}) {
            Image image;
            trace(scene, accel, threads, image);
            ASSERT_EQ(firstDifference(reference, image), "")
                << "seed " << seed << ", " << threads << " threads";
        }
    }
    EXPECT_GT(treeObjects, 20 * kScenes);  // the tree did the work, not the fallback
}

// The whole program: any OMP_NUM_THREADS gives the same output and image, and
// a standard error that is not a terminal gets no progress line.
TEST(TraceImage, ThreadCountChangesNoOutput) {
    const std::string scene =
        writeFile("threads.pov", readFile(std::string(RT_SOURCE_DIR) + "/scenes/demo.pov"));
    std::string image[3];
    std::string out[3];
    const char* counts[3] = {"1", "2", "3"};
    for (int i = 0; i < 3; ++i) {
        const auto r = runShell("cd '" + tempDir() + "' && OMP_NUM_THREADS=" + counts[i] + " '" +
                                RT_BINARY + "' +W96 +H72 '+I" + scene + "'");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        out[i] = r.out;
        image[i] = readFile(tempDir() + "/threads.ppm");
    }
    EXPECT_EQ(out[1], out[0]);
    EXPECT_EQ(out[2], out[0]);
    EXPECT_TRUE(image[1] == image[0] && image[2] == image[0]);
}
