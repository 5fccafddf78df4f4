// render_bench [objects...]: renders generated scenes of triangles and
// spheres (by default 1,000, 10,000 and 100,000 objects) at 640 x 480
// through the tracing hierarchy (one and two threads) and through the linear
// scan, and prints a Markdown table: build and render times, rays per second,
// the speed-up over the linear scan, peak memory and memory per object. Each
// scene runs in a child process of its own so that its peak memory is its own.
//
// The scenes are generated_scene.h's benchmark scenes. The linear scan is
// timed on evenly spaced rows only (every row for the smallest scene),
// against the hierarchy on the same rows; the output says which.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "accel/scene_query.h"
#include "accel/trace_accel.h"
#include "generated_scene.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;

struct Size {
    int objects;
    int linearRowStep;  // the linear scan traces rows 0, step, 2 step, ...
};

// The scan takes about as long for every size: each 625 objects add a step.
Size sizeFor(int objects) { return {objects, std::max(1, objects / 625)}; }

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Timed {
    double seconds;
    std::uint64_t rays;
};

Timed trace(const GeneratedScene& s, const SceneQuery& query, ImageBuffer& image, int threads,
            int rowStep) {
    RenderJob job = s.job();
    job.threads = threads;
    job.rowStep = rowStep;
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t rays = renderImage(job, query, image.columns()).rays;
    return {seconds(start), rays};
}

// The fastest of five runs: short runs on a shared machine are easily disturbed.
Timed fastest(const GeneratedScene& s, const SceneQuery& query, ImageBuffer& image, int threads,
              int rowStep) {
    Timed best = trace(s, query, image, threads, rowStep);
    for (int run = 1; run < 5; ++run) {
        const Timed t = trace(s, query, image, threads, rowStep);
        if (t.seconds < best.seconds) best = t;
    }
    return best;
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
    ImageBuffer accelerated(kWidth, kHeight);
    ImageBuffer twoThreads(kWidth, kHeight);
    ImageBuffer linearRows(kWidth, kHeight);
    ImageBuffer acceleratedRows(kWidth, kHeight);
    const std::size_t baseline = residentBytes();

    GeneratedScene scene;
    makeBenchScene(size.objects, kWidth, kHeight, scene);
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
    r.same = firstDifference(accelerated, twoThreads, kWidth, kHeight).empty() &&
             firstDifference(accelerated, linearRows, kWidth, kHeight, size.linearRowStep).empty();
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

int main(int argc, char** argv) {
    std::vector<Size> sizes;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        const long objects = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || objects < 10 || objects > 20000000) {
            std::fprintf(stderr, "usage: render_bench [objects (10 to 20000000)...]\n");
            return 2;
        }
        sizes.push_back(sizeFor(static_cast<int>(objects)));
    }
    if (sizes.empty()) {
        sizes = {sizeFor(1000), sizeFor(10000), sizeFor(100000)};
    }
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
    std::vector<Result> results(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const Size& size = sizes[i];
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
        "timed on every n-th row (");
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        std::printf("%s%d: %d rows", i == 0 ? "" : ", ", sizes[i].objects, sampledRows(sizes[i]));
    }
    std::printf(
        "): \"vs linear\" compares it with the hierarchy on the same rows, "
        "single-threaded, and \"linear (s)\" scales it to all %d rows. Rays count "
        "camera, secondary and shadow rays. Bytes/object is the growth of resident "
        "memory (objects, hierarchy, its build) per object; tree bytes/object is the "
        "hierarchy's arrays alone.\n\n",
        kHeight);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i].objects == 10000) {
            std::printf(
                "- %d objects, 1 thread: %.0f times faster than the linear scan (target: 100)\n",
                sizes[i].objects, results[i].linearRows / results[i].treeRows);
        }
    }
    const std::size_t last = sizes.size() - 1;
    const auto render = [&](std::size_t i) {
        return results[i].buildSeconds + results[i].oneThread;
    };
    if (last > 0) {
        std::printf(
            "- %d to %d objects: build and trace take %.2f times as long (target: at most 4)\n",
            sizes[0].objects, sizes[last].objects, render(last) / render(0));
    }
    std::printf("- 2 threads against 1:");
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        std::printf("%s %.2f", i == 0 ? "" : ",", results[i].oneThread / results[i].twoThreads);
    }
    std::printf(" times as fast (target: 1.8)\n");
    // Fixed costs (thread stacks, allocator arenas) dominate the smallest
    // scene; the growth between sizes shows the cost of an object.
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        std::printf("- peak memory grows by %.0f bytes per object from %d to %d objects\n",
                    (results[i].peakBytes - results[i - 1].peakBytes) /
                        (sizes[i].objects - sizes[i - 1].objects),
                    sizes[i - 1].objects, sizes[i].objects);
    }
    std::ifstream("/proc/loadavg") >> load[0] >> load[1] >> load[2];
    std::printf("- load average %.2f %.2f %.2f at the end\n", load[0], load[1], load[2]);
    bool same = true;
    for (const Result& r : results) same = same && r.same;
    std::printf("- images: %s\n",
                same ? "the same bits on every path and thread count" : "PATHS DISAGREE");
    return same ? 0 : 1;
}
