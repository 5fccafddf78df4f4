#pragma once

// The image file: scaling the traced colours into bytes, and writing them as
// a PPM or PNG through the safe writer (image/safe_write.h).

#include <string>

#include "color.h"

// An image as the renderer leaves it: width columns of height colours each,
// row 0 at the top (gImage's layout). The colours are the caller's.
struct ImageColumns {
    Color* const* columns;
    int width;
    int height;
};

// Divides every channel by the largest one when that is above 1.
void scaleValues(const ImageColumns& image);
// The output file name: the first ".pov" replaced by ".ppm", else ".ppm" appended.
std::string outputFileName(const std::string& inputFileName);
// A channel as written: c * 255 truncated to 16 bits, low byte; NaN gives 0.
unsigned char channelByte(double c);
// Writes the image to gOutputName, or next to the scene when it is empty: a
// PNG for a name ending in .png (any case), else a binary PPM. The file that
// held the name is replaced only by a complete image (see safe_write.h).
// The name "-" writes a PPM to standard output.
// Throws ProgramExit ("draw_image(): ", the name and the system's reason,
// status 255).
void draw_image(const ImageColumns& image);
// Writes the image to the file name as draw_image does, without its line on
// standard output; throws ProgramExit likewise.
void writeImageFile(const std::string& name, const ImageColumns& image);
// Refuses (ProgramExit, status 255) a name that ends in the extension of an
// image format this program cannot write (.jpg, .gif, .bmp ...), any case.
void checkImageName(const std::string& name);
// Refuses, as draw_image would after the render, a target that cannot be
// written: a folder, or a name in a folder that does not exist or cannot be
// written to.
void checkImageTarget(const std::string& name);
