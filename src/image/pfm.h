#pragma once

// The Portable Float Map: three 32-bit floats per pixel, little-endian (the
// header's scale -1.0 says so), rows from the bottom of the picture to the
// top, as image tools read it. It holds the colours as traced, unscaled.

#include <cstdint>
#include <cstdio>
#include <string>

#include "color.h"

// The header of a width x height colour map: "PF\n<width> <height>\n-1.0\n".
std::string pfmHeader(int width, int height);
// The size of that file in bytes: the header and 12 bytes per pixel.
std::uint64_t pfmFileSize(int width, int height);
// Writes image (width columns of height colours, row 0 at the top) as a map.
void writePfm(std::FILE* file, const Color* const* image, int width, int height);
// Writes its colours exactly: each channel as the 8 bytes of its double,
// little-endian, in the map's order (rows bottom to top; red, green, blue).
void writeExactColors(std::FILE* file, const Color* const* image, int width, int height);
