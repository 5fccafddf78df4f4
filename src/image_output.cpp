// The image after tracing: scaling into range and the PPM file.
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "main.h"

void scaleValues(Color** image) {
    double maxValue = 0;
    for (int y = 0; y < gPixelHeight; ++y) {
        for (int x = 0; x < gPixelWidth; ++x) {
            const Color& c = image[x][y];
            if (c.r > maxValue) maxValue = c.r;
            if (c.g > maxValue) maxValue = c.g;
            if (c.b > maxValue) maxValue = c.b;
        }
    }
    if (!(maxValue > 1.0)) {
        return;
    }
    const double scaleFactor = 1.0 / maxValue;
    for (int y = 0; y < gPixelHeight; ++y) {
        for (int x = 0; x < gPixelWidth; ++x) {
            image[x][y] = image[x][y] * scaleFactor;
        }
    }
}

std::string outputFileName(const std::string& inputFileName) {
    std::string name = inputFileName;
    const std::string::size_type pos = name.find(".pov");
    if (pos != std::string::npos) {
        name.replace(pos, 4, ".ppm");
    } else {
        name += ".ppm";
    }
    return name;
}

unsigned char channelByte(double c) {
    const double v = c * 255.0;
    if (!(v == v)) {
        return 0;
    }
    // Truncation toward zero to 16 bits, kept in range so that the conversion
    // is defined for any value.
    const double bounded = std::fmax(-32768.0, std::fmin(32767.0, v));
    const auto value = static_cast<std::int16_t>(bounded);
    return static_cast<unsigned char>(value & 0xFF);
}

namespace {

// Reports like perror and ends the program. A partial image is removed, but
// never a device or a pipe the name happened to lead to.
[[noreturn]] void failOutput(const std::string& name, bool removeFile) {
    std::perror("draw_image()");
    if (removeFile) {
        std::remove(name.c_str());
    }
    std::exit(-1);
}

}  // namespace

void draw_image(Color** image) {
    const std::string name = outputFileName(gInputFileName);
    std::cout << "Output filename: " << name << "\n" << std::flush;
    FILE* file = std::fopen(name.c_str(), "w");
    if (file == nullptr) {
        failOutput(name, false);
    }
    struct stat info;
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    std::fprintf(file, "P6\n");
    std::fprintf(file, "%d %d \n", gPixelWidth, gPixelHeight);
    std::fprintf(file, "255\n");
    for (int y = 0; y < gPixelHeight; ++y) {
        for (int x = 0; x < gPixelWidth; ++x) {
            const Color& c = image[x][y];
            std::fputc(channelByte(c.r), file);
            std::fputc(channelByte(c.g), file);
            std::fputc(channelByte(c.b), file);
        }
    }
    const bool written = std::fflush(file) == 0 && !std::ferror(file);
    if (std::fclose(file) != 0 || !written) {
        failOutput(name, regular);
    }
}
