#pragma once

// Start-up: the command line, the image buffers, the scene and its
// hierarchy, and the whole program's run. The state itself is in main.h.

#include <string>

// The largest image side +W and +H take, and the most threads --threads does.
constexpr long kMaxImageSide = 65535;
constexpr long kMaxThreads = 1024;

// The command line's choices that are no program-wide state.
struct RunOptions {
    bool quiet = false;   // -q, --quiet, or +O- (the image is the standard output)
    bool strict = false;  // --strict: a scene warning ends the program (status 1)
    int threads = 0;      // --threads N; 0: OpenMP's default (OMP_NUM_THREADS)
    // The first +W or +H that is no whole number from 1 to kMaxImageSide:
    // main refuses it after the whole command line is read, as it refuses a
    // size of 0.
    std::string badSize;
};

int parse_int(const char* arg);
// Sets the program-wide choices (main.h) and returns the others. Throws
// ProgramExit for an unknown or invalid argument (status 255) and for
// --help, -h and --version (status 0).
RunOptions parse_args(int argc, const char** argv);
// Allocates gImage and pixelBuffer for width x height (both at least 1),
// zeroed, and releases the previous ones. Throws std::bad_alloc, keeping the
// previous buffers, when the new ones cannot be had or would need more than
// the machine's physical memory.
void allocateImage(int width, int height);
// Appends a display copy of every bounded object's box and of every inner box
// of the hierarchy over them to gNodeList.
void buildHierarchy();
// Reads the scene (printing its warnings on standard error) into the global
// lists. With strict, a scene that warns throws ProgramExit (status 1).
void initialize(bool strict = false);
// The same with image buffers of another size: those of a part of the image.
void initialize(int imageWidth, int imageHeight, bool strict);
// Everything main() does; returns its exit status. Prints the text of a
// ProgramExit thrown on the way and returns its status.
int raytracerMain(int argc, char** argv);
