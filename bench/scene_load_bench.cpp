// scene_load_bench FILE: reads the scene file as the program does (parse_file,
// its progress output sent to /dev/null) and prints one line: the objects
// read, the elapsed and CPU seconds, the reading speed, and how much the
// peak resident memory grew, in all and per object. Run it once per figure:
// the peak is the process's own. bench/scene_load_compare.sh runs it.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "main.h"
#include "parser.h"
#include "scene_file.h"

namespace {

double cpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SCENE.pov\n", argv[0]);
        return 2;
    }
    gInputFileName = argv[1];
    const auto bytes = static_cast<double>(std::ifstream(argv[1], std::ios::ate).tellg());
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::perror("/dev/null");
        return 1;
    }
    rusage before;
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    try {
        parse_file(gInputFileName, {gPixelWidth, gPixelHeight}, gObjects, lights, &camera);
    } catch (const SceneError& error) {
        std::fprintf(stderr, "%s\n", sceneErrorLine(argv[1], error).c_str());
        return 1;
    }
    std::cout << std::flush;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage after;
    getrusage(RUSAGE_SELF, &after);
    const double grown = static_cast<double>(after.ru_maxrss - before.ru_maxrss) * 1024;
    const auto objects = static_cast<double>(gObjects.size() + lights.size());
    std::fprintf(stderr,
                 "%.0f objects, %.1f MB: %.3f s (%.3f s CPU), %.0f MB/s, peak memory +%.1f MB, "
                 "%.0f bytes/object\n",
                 objects, bytes / 1e6, seconds, cpuSeconds(after) - cpuSeconds(before),
                 bytes / 1e6 / seconds, grown / 1e6, objects > 0 ? grown / objects : 0.0);
    return 0;
}
