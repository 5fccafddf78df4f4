// Whole images: through the tracing index against the linear scan on many
// generated scenes (mixed objects with grazing, touching and coincident ones,
// mirrors, glass, display boxes) at several thread counts, with and without
// anti-aliasing, and with an index kept from one render to the next; every
// pixel's colour must have the same bits. Then anti-aliasing's sample
// positions and average, the statistics line, and whole runs of the program.
#include "trace/render_job.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "accel/scene_query.h"
#include "accel/trace_accel.h"
#include "generated_scene.h"
#include "main.h"
#include "render.h"
#include "state.h"
#include "test_support.h"
#include "trace/cache_line.h"
#include "trace/ray_caster.h"

using testing_support::readFile;
using testing_support::runShell;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

const int kWidth = 40;
const int kHeight = 30;
const int kScenes = 48;

ImageBuffer render(const RenderJob& job, const SceneQuery& index) {
    ImageBuffer image(job.width, job.height);
    renderImage(job, index, image.columns());
    return image;
}

}  // namespace

TEST(TraceImage, TreeGivesTheScanImageAtEveryThreadCount) {
    int treeObjects = 0;
    for (int seed = 1; seed <= kScenes; ++seed) {
        GeneratedScene scene;
        makeMixedScene(static_cast<std::uint64_t>(seed), kWidth, kHeight, scene);
        RenderJob job = scene.job();
        job.threads = 1;
        const ImageBuffer reference = render(job, LinearScene(scene.objects));
        const TraceAccel accel(scene.objects);
        treeObjects += static_cast<int>(accel.treeObjectCount());
        for (const int threads : {1, 2, 3}) {
            job.threads = threads;
            ASSERT_EQ(firstDifference(reference, render(job, accel), kWidth, kHeight), "")
                << "seed " << seed << ", " << threads << " threads";
        }
    }
    EXPECT_GT(treeObjects, 20 * kScenes);  // the tree did the work, not the fallback
}

// The first n objects of generated scenes, for n on both sides of the size
// at which the index's tree becomes more than one leaf: the same images
// either way, and both ways are taken.
TEST(TraceImage, SmallScenesInOneLeafOrATreeGiveTheScanImage) {
    int scanned = 0;
    int searched = 0;
    for (int seed = 200; seed < 212; ++seed) {
        GeneratedScene scene;
        makeMixedScene(static_cast<std::uint64_t>(seed), 24, 18, scene);
        for (std::size_t n = 1; n <= std::min<std::size_t>(scene.objects.size(), 14); ++n) {
            RenderJob job = scene.job();
            job.objects.resize(n);
            job.threads = 1;
            const ImageBuffer reference = render(job, LinearScene(job.objects));
            const TraceAccel accel(job.objects);
            (accel.nodeCount() == 0 ? scanned : searched) += 1;
            job.threads = 2;
            ASSERT_EQ(firstDifference(reference, render(job, accel), 24, 18), "")
                << "seed " << seed << ", " << n << " objects";
        }
    }
    EXPECT_GT(scanned, 20);
    EXPECT_GT(searched, 20);
}

// An index big enough for its build to share subtrees among threads,
// built by two: the scan's image, at one thread and at two.
TEST(TraceImage, AnIndexBuiltByTwoThreadsGivesTheScanImage) {
    GeneratedScene scene;
    makeBenchScene(6000, kWidth, kHeight, scene);
    RenderJob job = scene.job();
    job.threads = 1;
    const ImageBuffer reference = render(job, LinearScene(scene.objects));
    const int defaultThreads = omp_get_max_threads();
    omp_set_num_threads(2);
    const TraceAccel accel(scene.objects);
    omp_set_num_threads(defaultThreads);
    ASSERT_GT(accel.treeObjectCount(), 5000u);
    for (const int threads : {1, 2}) {
        job.threads = threads;
        EXPECT_EQ(firstDifference(reference, render(job, accel), kWidth, kHeight), "")
            << threads << " threads";
    }
}

// Three samples a side, and the index kept from the first render: each
// image has the scan's bits, whichever camera and threads.
TEST(TraceImage, AntialiasedImagesAndAReusedIndexAgreeWithTheScan) {
    for (int seed = 100; seed < 112; ++seed) {
        GeneratedScene scene;
        makeMixedScene(static_cast<std::uint64_t>(seed), 16, 12, scene);
        RenderJob job = scene.job();
        job.antialias = 3;
        TraceIndexCache cache;
        for (int view = 0; view < 2; ++view) {
            // The second view moves the camera and the first light, as the window does.
            if (view == 1) {
                job.camera.eye = job.camera.eye + Vector3(0.3, 0.2, -0.5);
                if (!job.lights.empty()) job.lights[0].location.x += 0.4;
            }
            job.threads = 1;
            const ImageBuffer reference = render(job, LinearScene(job.objects));
            job.threads = 2;
            ASSERT_EQ(firstDifference(reference, render(job, cache.over(job.objects)), 16, 12), "")
                << "seed " << seed << ", view " << view;
        }
        EXPECT_EQ(cache.builds(), 1);
    }
}

TEST(TraceImage, IndexCacheRebuildsOnlyForAnotherList) {
    GeneratedScene scene;
    makeMixedScene(7, 8, 6, scene);
    TraceIndexCache cache;
    const TraceAccel* first = &cache.over(scene.objects);
    const std::vector<GeomObject*> copy = scene.objects;
    EXPECT_EQ(&cache.over(copy), first);  // the same list, wherever it is stored
    std::vector<GeomObject*> longer = copy;
    Box shown(Point(0, 0, 0), Point(1, 1, 1));
    longer.push_back(&shown);  // the box key shows one more box
    EXPECT_EQ(cache.over(longer).objects(), longer);
    EXPECT_EQ(cache.over(copy).objects(), copy);
    EXPECT_EQ(cache.builds(), 3);
}

// A pixel of an n x n anti-aliased image is the average, in row order, of the
// rays through the centres of the n x n cells of its step; one sample is the
// plain image, bit for bit.
TEST(TraceImage, AntialiasingAveragesTheCellCentresOfEachPixel) {
    GeneratedScene scene;
    makeMixedScene(3, 6, 5, scene);
    RenderJob job = scene.job();
    const LinearScene scan(job.objects);
    ASSERT_EQ(scene.camera.screenPoint(2 + 0.5, 3 + 0.5), scene.camera.pixelToScreen(2, 3));
    const ImageBuffer plain = render(job, scan);
    job.antialias = 1;
    EXPECT_EQ(firstDifference(plain, render(job, scan), 6, 5), "");

    job.antialias = 2;
    const ImageBuffer smooth = render(job, scan);
    std::vector<Light*> lightList;
    for (Light& light : job.lights) lightList.push_back(&light);
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 5; ++y) {
            Color sum;
            for (const double dy : {0.25, 0.75}) {
                for (const double dx : {0.25, 0.75}) {
                    Ray ray;
                    ray.origin = job.camera.eye;
                    ray.direction = job.toWorld * job.camera.screenPoint(x + dx, y + dy);
                    sum = sum + raycast(ray, job.objects, lightList, 3, job.shadows);
                }
            }
            const Color expected = sum * 0.25;
            EXPECT_EQ(std::memcmp(&expected, &smooth.at(x, y), sizeof(Color)), 0) << x << " " << y;
        }
    }
}

TEST(RenderStats, OneLineWithSizeThreadsRaysTimeAndRate) {
    EXPECT_EQ(renderStatsText({640, 480, 2, 1230000, 0.41}),
              "640x480, 2 threads, 1.23M rays in 0.41 s, 3.00M rays/s");
    EXPECT_EQ(renderStatsText({4, 3, 1, 812, 0.5}),
              "4x3, 1 thread, 812 rays in 0.50 s, 1.6k rays/s");
    // Too short for the clock: a nanosecond, not a division by zero.
    EXPECT_EQ(renderStatsText({1, 1, 1, 5, 0}), "1x1, 1 thread, 5 rays in 0.00 s, 5000.00M rays/s");
}

// The program's own render (the render job made from the program-wide
// state) with anti-aliasing: the same image at one thread and at two.
TEST(TraceImage, ProgramRenderWithAntialiasingIsTheSameAtAnyThreadCount) {
    testing_support::resetGlobals();
    gInputFileName =
        writeFile("antialias.pov", readFile(std::string(RT_SOURCE_DIR) + "/scenes/demo.pov"));
    gPixelWidth = 24;
    gPixelHeight = 18;
    gAntialias = 3;
    testing::internal::CaptureStdout();
    initialize();
    std::vector<Color> images[2];
    const int defaultThreads = omp_get_max_threads();
    for (int threads = 1; threads <= 2; ++threads) {
        omp_set_num_threads(threads);
        render();
        images[threads - 1].assign(gImage[0], gImage[0] + 24 * 18);
    }
    testing::internal::GetCapturedStdout();
    omp_set_num_threads(defaultThreads);
    EXPECT_EQ(std::memcmp(images[0].data(), images[1].data(), 24 * 18 * sizeof(Color)), 0);
    testing_support::resetGlobals();
}

// On a terminal a batch render ends with one statistics line on standard
// error; standard output is the same as without one. script(1) lends the
// run a terminal and shows what reaches it.
TEST(RenderStats, OnATerminalABatchRenderEndsWithItsStatistics) {
    if (runShell("command -v script").status != 0) {
        GTEST_SKIP() << "script(1) is not installed";
    }
    const std::string scene =
        writeFile("terminal.pov", readFile(std::string(RT_SOURCE_DIR) + "/scenes/demo.pov"));
    const std::string run =
        "OMP_NUM_THREADS=1 '" + std::string(RT_BINARY) + "' +W64 +H48 '+I" + scene + "'";
    const auto plain = runShell(run);
    ASSERT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
    const auto terminal =
        runShell("script -qec \"" + run + " >'" + tempDir() + "/terminal.out'\" /dev/null");
    ASSERT_EQ(terminal.status, 0) << terminal.err;
    EXPECT_TRUE(testing::internal::RE::FullMatch(
        terminal.out,
        "64x48, 1 thread, [0-9.]+k rays in [0-9]+\\.[0-9][0-9] s, [0-9.]+[kM]? rays/s\r\n"))
        << terminal.out;
    EXPECT_EQ(readFile(tempDir() + "/terminal.out"), plain.out);
}

// The whole program: any OMP_NUM_THREADS gives the same output and image, and
// a standard error that is not a terminal gets no progress or statistics line.
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

// What a thread writes on every ray shares no cache line with anything else,
// whatever the heap gives: the caster on the thread's stack, its blocker
// caches and the row buffer from CacheLineAllocator.
TEST(RenderThreads, PerThreadStateOwnsWholeCacheLines) {
    EXPECT_EQ(alignof(RayCaster), kCacheLine);
    for (const std::size_t count : {1u, 2u, 3u, 40u}) {
        CacheLineAllocator<Color> allocator;
        Color* block = allocator.allocate(count);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kCacheLine, 0u) << count;
        // The whole rounded block is the caller's: writing its last byte is safe
        // (the sanitizer build checks it).
        const std::size_t bytes =
            (count * sizeof(Color) + kCacheLine - 1) / kCacheLine * kCacheLine;
        reinterpret_cast<unsigned char*>(block)[bytes - 1] = 0;
        allocator.deallocate(block, count);
    }
    std::vector<BlockerCache, CacheLineAllocator<BlockerCache>> caches(2);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(caches.data()) % kCacheLine, 0u);
    EXPECT_THROW(CacheLineAllocator<Color>().allocate(static_cast<std::size_t>(-1) / 8),
                 std::bad_array_new_length);
}
