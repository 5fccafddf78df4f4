// render_bench: renders generated scenes of 1,000, 10,000 and 100,000
// triangles and spheres at 640 x 480 through the tracing hierarchy (one and
// two threads) and through the linear scan, and prints a Markdown table:
// build and render times, rays per second, the speed-up over the linear scan,
// peak memory and memory per object. Each scene runs in a child process of
// its own so that its peak memory is its own.
//
// Every scene has a floor plane, two lights, a mirror and a glass sphere; half
// its objects tessellate a bumpy torus and the rest are spheres spread over
// the floor, smaller as they get more numerous. The linear scan is timed on
// evenly spaced rows only (every row for the smallest scene), against the
// hierarchy on the same rows; the output says which.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "geom.h"
#include "light.h"
#include "scene_query.h"
#include "trace_accel.h"
#include "trace_image.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;
const double kPi = 3.14159265358979323846;

struct Size {
    int objects;
    int linearRowStep;  // the linear scan traces rows 0, step, 2 step, ...
};
const Size kSizes[] = {{1000, 1}, {10000, 16}, {100000, 160}};

// A fixed pseudo-random sequence (splitmix64).
class Random {
public:
    double next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
    }

private:
    std::uint64_t m_state = 42;
};

struct Scene {
    std::deque<Sphere> spheres;
    std::deque<Triangle> triangles;
    std::deque<Box> boxes;
    std::deque<Plane> planes;
    std::deque<Light> lightStore;
    std::vector<Light*> lights;
    std::vector<GeomObject*> objects;
    Camera camera;
    Matrix4x4 transform;

    template <class T>
    T& add(std::deque<T>& store, const T& object) {
        store.push_back(object);
        objects.push_back(&store.back());
        return store.back();
    }
};

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

void makeScene(int count, Scene& s) {
    Random random;
    Plane& floor = s.add(s.planes, Plane(Vector3(0, 1, 0), 0.0));
    matte(floor, Color(0.8, 0.8, 0.75));

    // Half the objects tessellate the torus, two triangles per cell.
    const int around = static_cast<int>(std::sqrt(count / 8.0));
    for (int i = 0; i < 2 * around; ++i) {
        for (int j = 0; j < around; ++j) {
            const double u0 = 2 * kPi * i / (2 * around), u1 = 2 * kPi * (i + 1) / (2 * around);
            const double v0 = 2 * kPi * j / around, v1 = 2 * kPi * (j + 1) / around;
            const Color color(0.9, 0.5 + 0.4 * random.next(), 0.2);
            matte(s.add(s.triangles,
                        Triangle(torusPoint(u0, v0), torusPoint(u1, v0), torusPoint(u1, v1))),
                  color);
            matte(s.add(s.triangles,
                        Triangle(torusPoint(u0, v0), torusPoint(u1, v1), torusPoint(u0, v1))),
                  color);
        }
    }
    // The rest are spheres on the floor covering about a quarter of it.
    const int spheres = count - static_cast<int>(s.triangles.size());
    const double radius = std::sqrt(0.25 * 12 * 10 / (kPi * spheres));
    for (int i = 0; i < spheres; ++i) {
        const Point centre(-6 + 12 * random.next(), radius, -5 + 10 * random.next());
        matte(s.add(s.spheres, Sphere(centre, radius)),
              Color(random.next(), random.next(), random.next()));
    }

    Box& mirror = s.add(s.boxes, Box(Point(-5, 0, -6.2), Point(5, 3.5, -6)));
    mirror.color = Color(0.9, 0.9, 0.9);
    mirror.finish = Finish();
    mirror.finish.diffuse = 0.1;
    mirror.finish.specular = 0.3;
    mirror.finish.reflection = 0.85;
    Sphere& glass = s.add(s.spheres, Sphere(Vector3(2.2, 1.1, 1.8), 1.1));
    glass.color = Color(1, 1, 1);
    glass.finish.diffuse = 0.1;
    glass.finish.specular = 0.8;
    glass.finish.roughness = 0.01;
    glass.finish.reflection = 0.1;
    glass.finish.refraction = 1;
    glass.finish.ior = 1.5;
    glass.finish.filter = 0.85;

    s.lightStore.emplace_back(Point(-6, 9, 7), Color(0.9, 0.9, 0.9));
    s.lightStore.emplace_back(Point(7, 6, 2), Color(0.5, 0.5, 0.6));
    for (Light& light : s.lightStore) s.lights.push_back(&light);

    s.camera = Camera(Vector3(0, 4.5, 11), Vector3(0, 0.75, 0), Vector3(1, 0, 0),
                      Vector3(0, 0.8, -0.5), kWidth, kHeight);
    // vectorTransform reports the camera basis; the table has no room for it.
    std::ostringstream basis;
    std::streambuf* const saved = std::cout.rdbuf(basis.rdbuf());
    s.transform = s.camera.vectorTransform();
    std::cout.rdbuf(saved);
}

struct Image {
    std::vector<Color> pixels = std::vector<Color>(static_cast<std::size_t>(kWidth) * kHeight);
    std::vector<Color*> columns;
    Image() {
        for (int x = 0; x < kWidth; ++x)
            columns.push_back(&pixels[static_cast<std::size_t>(x) * kHeight]);
    }
};

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Timed {
    double seconds;
    std::uint64_t rays;
};

Timed trace(const Scene& s, const SceneQuery& query, Image& image, int threads, int rowStep) {
    TraceOptions options;
    options.threads = threads;
    options.rowStep = rowStep;
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t rays = traceImage(query, s.lights, s.camera, s.transform,
                                          image.columns.data(), kWidth, kHeight, options);
    return {seconds(start), rays};
}

// The fastest of five runs: short runs on a shared machine are easily disturbed.
Timed fastest(const Scene& s, const SceneQuery& query, Image& image, int threads, int rowStep) {
    Timed best = trace(s, query, image, threads, rowStep);
    for (int run = 1; run < 5; ++run) {
        const Timed t = trace(s, query, image, threads, rowStep);
        if (t.seconds < best.seconds) best = t;
    }
    return best;
}

bool sameRows(const Image& a, const Image& b, int rowStep) {
    for (int x = 0; x < kWidth; ++x) {
        for (int y = 0; y < kHeight; y += rowStep) {
            if (std::memcmp(&a.columns[x][y], &b.columns[x][y], sizeof(Color)) != 0) return false;
        }
    }
    return true;
}

std::size_t residentBytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::size_t peakResidentBytes() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;  // kilobytes on Linux
}

// What one scene's child process measures.
struct Result {
    double buildSeconds;
    double oneThread;  // tracing only, whole image
    double twoThreads;
    double raysPerSecond;  // one thread
    double linearRows;     // the linear scan on the sampled rows
    double treeRows;       // the hierarchy on the same rows
    double peakBytes;
    double bytesPerObject;      // growth of resident memory
    double treeBytesPerObject;  // the hierarchy's own arrays
    bool same;                  // every compared pixel had the same bits
};

Result measure(const Size& size) {
    Image accelerated;
    Image twoThreads;
    Image linearRows;
    Image acceleratedRows;
    const std::size_t baseline = residentBytes();

    Scene scene;
    makeScene(size.objects, scene);
    const auto start = std::chrono::steady_clock::now();
    const TraceAccel accel(scene.objects);
    Result r;
    r.buildSeconds = seconds(start);
    const Timed one = fastest(scene, accel, accelerated, 1, 1);
    r.oneThread = one.seconds;
    r.raysPerSecond = static_cast<double>(one.rays) / one.seconds;
    r.twoThreads = fastest(scene, accel, twoThreads, 2, 1).seconds;
    r.treeRows = fastest(scene, accel, acceleratedRows, 1, size.linearRowStep).seconds;
    r.linearRows =
        trace(scene, LinearScene(scene.objects), linearRows, 1, size.linearRowStep).seconds;
    r.same = sameRows(accelerated, twoThreads, 1) &&
             sameRows(accelerated, linearRows, size.linearRowStep);
    const std::size_t peak = peakResidentBytes();
    r.peakBytes = static_cast<double>(peak);
    r.bytesPerObject = static_cast<double>(peak - baseline) / size.objects;
    r.treeBytesPerObject = static_cast<double>(accel.memoryBytes()) / scene.objects.size();
    return r;
}

// Measures in a child process, so that the peak memory is the scene's own;
// false if the child failed.
bool measureApart(const Size& size, Result& result) {
    int channel[2];
    if (pipe(channel) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const Result r = measure(size);
        const bool sent = write(channel[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
        std::_Exit(sent ? 0 : 1);
    }
    close(channel[1]);
    const bool received = child > 0 && read(channel[0], &result, sizeof result) ==
                                           static_cast<ssize_t>(sizeof result);
    close(channel[0]);
    int status = 0;
    return received && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

int sampledRows(const Size& size) { return (kHeight - 1) / size.linearRowStep + 1; }

}  // namespace

int main() {
    double load[3] = {0, 0, 0};
    std::ifstream("/proc/loadavg") >> load[0] >> load[1] >> load[2];
    std::printf("render_bench: %d x %d; load average %.2f %.2f %.2f at start\n\n", kWidth, kHeight,
                load[0], load[1], load[2]);
    std::printf(
        "| objects | build (ms) | 1 thread (s) | 2 threads (s) | 2 vs 1 | rays/s "
        "| linear (s) | vs linear | peak RSS (MB) | bytes/object | tree bytes/object "
        "| same bits |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|:---:|\n");
    std::fflush(stdout);
    // Children are started before any thread exists in this process.
    Result results[3];
    for (int i = 0; i < 3; ++i) {
        const Size& size = kSizes[i];
        if (!measureApart(size, results[i])) {
            std::fprintf(stderr, "render_bench: the %d object scene failed\n", size.objects);
            return 1;
        }
        const Result& r = results[i];
        std::printf(
            "| %d | %.0f | %.2f | %.2f | %.2fx | %.2fM | %.0f | %.0fx | %.0f | %.0f | %.0f "
            "| %s |\n",
            size.objects, r.buildSeconds * 1e3, r.oneThread, r.twoThreads,
            r.oneThread / r.twoThreads, r.raysPerSecond / 1e6,
            r.linearRows * kHeight / sampledRows(size), r.linearRows / r.treeRows,
            r.peakBytes / 1e6, r.bytesPerObject, r.treeBytesPerObject, r.same ? "yes" : "NO");
        std::fflush(stdout);
    }

    std::printf(
        "\nTimes are wall-clock seconds to trace the whole image, the fastest of five "
        "runs for the hierarchy; a render also builds the hierarchy first. The linear scan is "
        "timed on every row for %d "
        "objects, on every %dth row (%d rows) for %d and on every %dth row (%d rows) "
        "for %d: \"vs linear\" compares it with the hierarchy on the same rows, "
        "single-threaded, and \"linear (s)\" scales it to all %d rows. Rays count "
        "camera, secondary and shadow rays. Bytes/object is the growth of resident "
        "memory (objects, hierarchy, its build) per object; tree bytes/object is the "
        "hierarchy's arrays alone.\n\n",
        kSizes[0].objects, kSizes[1].linearRowStep, sampledRows(kSizes[1]), kSizes[1].objects,
        kSizes[2].linearRowStep, sampledRows(kSizes[2]), kSizes[2].objects, kHeight);
    const auto render = [&](int i) { return results[i].buildSeconds + results[i].oneThread; };
    std::printf("- %d objects, 1 thread: %.0f times faster than the linear scan (target: 100)\n",
                kSizes[1].objects, results[1].linearRows / results[1].treeRows);
    std::printf("- %d to %d objects: build and trace take %.2f times as long (target: at most 4)\n",
                kSizes[0].objects, kSizes[2].objects, render(2) / render(0));
    std::printf("- 2 threads against 1: %.2f, %.2f, %.2f times as fast (target: 1.8)\n",
                results[0].oneThread / results[0].twoThreads,
                results[1].oneThread / results[1].twoThreads,
                results[2].oneThread / results[2].twoThreads);
    // Fixed costs (thread stacks, allocator arenas) dominate the smallest
    // scene; the growth between sizes shows the cost of an object.
    const auto slope = [&](int a, int b) {
        return (results[b].peakBytes - results[a].peakBytes) /
               (kSizes[b].objects - kSizes[a].objects);
    };
    std::printf(
        "- peak memory grows by %.0f bytes per object from %d to %d objects and by %.0f "
        "from %d to %d (linear when these agree)\n",
        slope(0, 1), kSizes[0].objects, kSizes[1].objects, slope(1, 2), kSizes[1].objects,
        kSizes[2].objects);
    std::ifstream("/proc/loadavg") >> load[0] >> load[1] >> load[2];
    std::printf("- load average %.2f %.2f %.2f at the end\n", load[0], load[1], load[2]);
    const bool same = results[0].same && results[1].same && results[2].same;
    std::printf("- images: %s\n",
                same ? "the same bits on every path and thread count" : "PATHS DISAGREE");
    return same ? 0 : 1;
}
