#pragma once

// Putting the parts of an image together (split/part_output.h makes them):
//   raytracer --assemble +O<image.png|image.ppm|image.pfm> <part.pfm>...
// The parts must come from one scene, one set of options and one image size
// and cover the image exactly once. The image is then scaled by its
// brightest channel, as a whole render is, and written through the safe
// writer: its bytes are those of the whole render.

// Runs the assembly for the arguments after "--assemble"; returns 0. Throws
// ProgramExit: usage (status 255) or a part that cannot be used, named with
// its problem (status 1, standard error), before anything is written.
int assembleParts(int argc, const char* const* argv);
