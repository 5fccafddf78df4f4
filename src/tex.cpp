#include "tex.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

Image* TextureImage = nullptr;

namespace {

// The pixel array is taken to follow a 14-byte file header and a 40-byte
// info header, whatever offset the file header states.
const long PIXEL_OFFSET = 54;

// Header fields, little-endian.
std::uint32_t getint(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

unsigned getshort(const unsigned char* bytes) {
    return static_cast<unsigned>(bytes[0]) | static_cast<unsigned>(bytes[1]) << 8;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// Bytes from the current position to the end of the file, or -1.
long bytesLeft(FILE* file) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (end < 0 || std::fseek(file, here, SEEK_SET) != 0) return -1;
    return end - here;
}

}  // namespace

int ImageLoad(const char* filename, Image* image) {
    image->data = nullptr;
    const std::unique_ptr<FILE, FileCloser> file(std::fopen(filename, "rb"));
    if (!file) {
        std::printf("File Not Found : %s\n", filename);
        return 0;
    }
    unsigned char header[PIXEL_OFFSET];
    if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) {
        std::printf("Error reading header from %s.\n", filename);
        return 0;
    }
    image->sizeX = getint(header + 18);
    image->sizeY = getint(header + 22);
    const unsigned planes = getshort(header + 26);
    if (planes != 1) {
        std::printf("Planes from %s is not 1: %u\n", filename, planes);
        return 0;
    }
    const unsigned bpp = getshort(header + 28);
    if (bpp != 24) {
        std::printf("Bpp from %s is not 24: %u\n", filename, bpp);
        return 0;
    }

    // Outside the subset read here: compressed data, top-down rows (stored
    // as a negative height) and rows padded to 4 bytes (widths that are not a
    // multiple of 4). They are refused rather than misread.
    const std::uint32_t compression = getint(header + 30);
    if (compression != 0) {
        std::printf("Compression from %s is not 0: %u\n", filename, compression);
        return 0;
    }
    const auto width = static_cast<std::int32_t>(image->sizeX);
    const auto height = static_cast<std::int32_t>(image->sizeY);
    if (height < 0) {
        std::printf("Height from %s is negative (top-down rows are not supported): %d\n", filename,
                    height);
        return 0;
    }
    if (width <= 0 || height == 0) {
        std::printf("Size from %s has no pixels: %d x %d\n", filename, width, height);
        return 0;
    }
    if (width % 4 != 0) {
        std::printf("Width from %s is not a multiple of 4 (padded rows are not supported): %d\n",
                    filename, width);
        return 0;
    }

    // Below 2^63 for any width and height under 2^31. A size the file cannot
    // hold is refused before anything is allocated for it.
    const std::uint64_t count =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 3;
    const long available = bytesLeft(file.get());
    if (available < 0 || count > static_cast<std::uint64_t>(available)) {
        std::printf("Error reading image data from %s.\n", filename);
        return 0;
    }
    const auto size = static_cast<std::size_t>(count);
    auto* data = static_cast<unsigned char*>(std::malloc(size));
    if (data == nullptr) {
        std::printf("Error allocating memory for color-corrected image data");
        return 0;
    }
    if (std::fread(data, 1, size, file.get()) != size) {
        std::free(data);
        std::printf("Error reading image data from %s.\n", filename);
        return 0;
    }
    // BGR to RGB.
    for (std::size_t i = 0; i < size; i += 3) {
        const unsigned char blue = data[i];
        data[i] = data[i + 2];
        data[i + 2] = blue;
    }
    image->data = data;
    return 1;
}

void LoadTexture(const std::string& image_file, int texID) {
    TextureImage = new (std::nothrow) Image();
    if (TextureImage == nullptr) {
        std::printf("Error allocating space for image");
        std::exit(1);
    }
    std::printf("trying to load %s\n", image_file.c_str());
    if (ImageLoad(image_file.c_str(), TextureImage) == 0) {
        std::exit(1);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texID));
    // Rows are a multiple of 4 bytes long (width % 4 == 0), which the default
    // unpack alignment of 4 reads without gaps.
    glTexImage2D(GL_TEXTURE_2D, 0, 3, static_cast<GLsizei>(TextureImage->sizeX),
                 static_cast<GLsizei>(TextureImage->sizeY), 0, GL_RGB, GL_UNSIGNED_BYTE,
                 TextureImage->data);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}
