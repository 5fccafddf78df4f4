#include "image/image_output.h"

// The image after tracing: scaling into range and the image file (PPM, or
// PNG for a name ending in .png).
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <system_error>
#include <vector>

#include "image/safe_write.h"
#include "main.h"
#include "parser.h"
#include "program_exit.h"

void scaleValues(const ImageColumns& image) {
    // By column, the order the image is stored in, split among the render's
    // threads; the largest value and each scaled pixel are the same in any
    // order (a NaN never wins a comparison).
    double maxValue = 0;
#pragma omp parallel for schedule(static) reduction(max : maxValue)
    for (int x = 0; x < image.width; ++x) {
        const Color* column = image.columns[x];
        for (int y = 0; y < image.height; ++y) {
            const Color& c = column[y];
            if (c.r > maxValue) maxValue = c.r;
            if (c.g > maxValue) maxValue = c.g;
            if (c.b > maxValue) maxValue = c.b;
        }
    }
    if (!(maxValue > 1.0)) {
        return;
    }
    const double scaleFactor = 1.0 / maxValue;
#pragma omp parallel for schedule(static)
    for (int x = 0; x < image.width; ++x) {
        Color* column = image.columns[x];
        for (int y = 0; y < image.height; ++y) {
            column[y] = column[y] * scaleFactor;
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
    if (v >= 0.0 && v < 256.0) {
        return static_cast<unsigned char>(static_cast<int>(v));  // the usual case
    }
    if (!(v == v)) {
        return 0;
    }
    // Truncation toward zero to 16 bits, kept in range so that the conversion
    // is defined for any value (NaN is gone, so comparisons clamp).
    const double bounded = v < -32768.0 ? -32768.0 : (v > 32767.0 ? 32767.0 : v);
    const auto value = static_cast<std::int16_t>(bounded);
    return static_cast<unsigned char>(value & 0xFF);
}

namespace {

// The name ends in the lower-case ending, in any case.
bool endsWithLowered(const std::string& name, const std::string& ending) {
    return name.size() >= ending.size() &&
           std::equal(ending.rbegin(), ending.rend(), name.rbegin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

bool isPngName(const std::string& name) { return endsWithLowered(name, ".png"); }

// As perror reports it, with the file's name.
ProgramExit writeError(const std::string& name, int error) {
    return ProgramExit("draw_image(): " + name + ": " + std::strerror(error) + "\n", 255,
                       ProgramExit::Stream::Err);
}

// 8-bit RGB, top row first: the pixels of either file format. The image is
// stored by column, so it is read in bands of rows, each column's part of a
// band in a cache line or two, rather than a row at a time; the bands, whose
// bytes are their own, are split among the render's threads.
std::vector<unsigned char> pixelBytes(const ImageColumns& image) {
    const auto width = static_cast<std::size_t>(image.width);
    const int height = image.height;
    std::vector<unsigned char> bytes(width * static_cast<std::size_t>(height) * 3);
    const int band = 8;
#pragma omp parallel for schedule(static)
    for (int top = 0; top < height; top += band) {
        const int bottom = std::min(top + band, height);
        for (std::size_t x = 0; x < width; ++x) {
            const Color* column = image.columns[x];
            unsigned char* out = bytes.data() + (static_cast<std::size_t>(top) * width + x) * 3;
            for (int y = top; y < bottom; ++y, out += width * 3) {
                const Color& c = column[y];
                out[0] = channelByte(c.r);
                out[1] = channelByte(c.g);
                out[2] = channelByte(c.b);
            }
        }
    }
    return bytes;
}

void writePpm(std::FILE* file, const ImageColumns& image) {
    std::fprintf(file, "P6\n");
    std::fprintf(file, "%d %d \n", image.width, image.height);
    std::fprintf(file, "255\n");
    const std::vector<unsigned char> bytes = pixelBytes(image);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
}

void writePng(std::FILE* file, const ImageColumns& image) {
    const std::vector<unsigned char> bytes = pixelBytes(image);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    errno = 0;
    if (png_image_write_to_stdio(&png, file, 0, bytes.data(), 0, nullptr) == 0) {
        // A failed write of the stream leaves its errno; libpng's own
        // complaints (none expected for a valid image) have none.
        throw std::system_error(errno != 0 ? errno : EIO, std::generic_category());
    }
}

// +O-: the PPM goes to standard output, which nothing else writes to then
// (the run is quiet).
void writeStandardOutput(const ImageColumns& image) {
    std::cout << std::flush;
    std::fflush(stdout);
    errno = 0;
    writePpm(stdout, image);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        throw std::system_error(errno != 0 ? errno : EIO, std::generic_category());
    }
}

}  // namespace

void writeImageFile(const std::string& name, const ImageColumns& image) {
    void (*const write)(std::FILE*, const ImageColumns&) = isPngName(name) ? writePng : writePpm;
    try {
        if (name == "-") {
            writeStandardOutput(image);
            return;
        }
        writeFileSafely(name, [&image, write](std::FILE* file) { write(file, image); });
    } catch (const std::system_error& error) {
        throw writeError(name, error.code().value());
    }
}

void draw_image(const ImageColumns& image) {
    const std::string name = gOutputName.empty() ? outputFileName(gInputFileName) : gOutputName;
    std::cout << "Output filename: " << name << "\n" << std::flush;
    writeImageFile(name, image);
}

void checkImageName(const std::string& name) {
    static const char* const refused[] = {".jpg", ".jpeg", ".gif", ".tif", ".tiff",
                                          ".bmp", ".tga",  ".exr", ".webp"};
    for (const char* ending : refused) {
        if (endsWithLowered(name, ending)) {
            throw ProgramExit(std::string(), 255, ProgramExit::Stream::Err,
                              "raytracer: " + SceneError::quoted("+O" + name) + ": cannot write " +
                                  ending +
                                  " images; the formats written are PNG (a name ending in .png) "
                                  "and PPM (any other name, or +O- for standard output)");
        }
    }
}

void checkImageTarget(const std::string& name) {
    if (name == "-") {
        return;
    }
    struct stat info;
    if (stat(name.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            throw writeError(name, EISDIR);
        }
        if (!S_ISREG(info.st_mode)) {
            // A device or pipe is written in place (safe_write.h).
            if (access(name.c_str(), W_OK) != 0) {
                throw writeError(name, errno);
            }
            return;
        }
    }
    // The image is written to a new file in the folder and renamed.
    const std::string::size_type slash = name.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : name.substr(0, slash));
    if (stat(folder.c_str(), &info) != 0) {
        throw writeError(name, errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        throw writeError(name, ENOTDIR);
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        throw writeError(name, errno);
    }
}
