#pragma once

// Start-up: the command line, the image buffers, the scene and its
// hierarchy, and the whole program's run. The state itself is in main.h.

int parse_int(const char* arg);
// Throws ProgramExit for an unknown or invalid argument (status 255) and for
// --help, -h and --version (status 0).
void parse_args(int argc, const char** argv);
// Allocates gImage and pixelBuffer for width x height (both at least 1),
// zeroed, and releases the previous ones. Throws std::bad_alloc, keeping the
// previous buffers, when the new ones cannot be had or would need more than
// the machine's physical memory.
void allocateImage(int width, int height);
// Appends a display copy of every bounded object's box and of every inner box
// of the hierarchy over them to gNodeList.
void buildHierarchy();
void initialize();
// The same with image buffers of another size: those of a part of the image.
void initialize(int imageWidth, int imageHeight);
// Everything main() does; returns its exit status. Prints the text of a
// ProgramExit thrown on the way and returns its status.
int raytracerMain(int argc, char** argv);
