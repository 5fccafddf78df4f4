#include "tex.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>

#include "program_exit.h"

Image* TextureImage = nullptr;

namespace {

// A 14-byte file header and the classic 40-byte info header.
const long CLASSIC_PIXEL_OFFSET = 54;

// Header fields, little-endian.
std::uint32_t getint(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

unsigned getshort(const unsigned char* bytes) {
    return static_cast<unsigned>(bytes[0]) | static_cast<unsigned>(bytes[1]) << 8;
}

// The info headers of newer writers (image editors write the 108- and
// 124-byte ones by default) keep the classic fields where the 40-byte header
// has them and may be followed by more before the pixels, which therefore
// start where the file header says. With any other size the pixels are read
// from byte 54, whatever the file header says.
bool statesPixelOffset(std::uint32_t infoSize) {
    return infoSize == 52 || infoSize == 56 || infoSize == 64 || infoSize == 108 ||
           infoSize == 124;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// The size of the open file, or -1.
long fileSize(FILE* file) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (end < 0 || std::fseek(file, here, SEEK_SET) != 0) return -1;
    return end;
}

template <typename... Values>
std::string format(const char* pattern, Values... values) {
    const int size = std::snprintf(nullptr, 0, pattern, values...);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    std::snprintf(&text[0], text.size() + 1, pattern, values...);
    return text;
}

// Where the pixel rows lie and how many there are.
struct BmpLayout {
    std::uint32_t offset = 0;    // of the first row stored
    std::uint64_t rowBytes = 0;  // three bytes a pixel, without the padding
    std::uint64_t rows = 0;
    bool topDown = false;  // rows stored top row first
};

// Reads and checks the headers: fills image->sizeX and sizeY (the number of
// rows) and layout, or returns why the file is refused.
std::string readBmpHeaders(FILE* file, const char* filename, Image* image, BmpLayout* layout) {
    unsigned char header[CLASSIC_PIXEL_OFFSET];
    if (std::fread(header, 1, sizeof header, file) != sizeof header) {
        return format("Error reading header from %s.\n", filename);
    }
    image->sizeX = getint(header + 18);
    image->sizeY = getint(header + 22);
    const unsigned planes = getshort(header + 26);
    if (planes != 1) {
        return format("Planes from %s is not 1: %u\n", filename, planes);
    }
    const unsigned bpp = getshort(header + 28);
    if (bpp != 24) {
        return format("Bpp from %s is not 24: %u\n", filename, bpp);
    }
    const std::uint32_t compression = getint(header + 30);
    if (compression != 0) {
        return format("Compression from %s is not 0: %u\n", filename, compression);
    }
    const std::uint32_t infoSize = getint(header + 14);
    layout->offset = statesPixelOffset(infoSize) ? getint(header + 10) : CLASSIC_PIXEL_OFFSET;
    if (statesPixelOffset(infoSize) && layout->offset < 14 + infoSize) {
        return format("Pixel offset from %s lies inside its headers: %u\n", filename,
                      layout->offset);
    }

    // A negative height marks rows stored top row first.
    const auto width = static_cast<std::int32_t>(image->sizeX);
    const auto height = static_cast<std::int32_t>(image->sizeY);
    layout->topDown = height < 0;
    layout->rows = layout->topDown ? -static_cast<std::int64_t>(height) : height;
    if (width <= 0 || layout->rows == 0) {
        return format("Size from %s has no pixels: %d x %d\n", filename, width, height);
    }
    image->sizeY = static_cast<std::uint32_t>(layout->rows);
    layout->rowBytes = static_cast<std::uint64_t>(width) * 3;
    return "";
}

// Reads the rows that layout describes into image->data, bottom row first as
// OpenGL takes them, RGB; or returns why the file is refused, owning nothing.
std::string readBmpRows(FILE* file, const char* filename, const BmpLayout& layout, Image* image) {
    // Each row is padded to a multiple of 4 bytes; the last row's padding
    // may be missing. Below 2^63 for any size under 2^31, and a size the
    // file cannot hold is refused before anything is allocated for it.
    const std::uint64_t rowBytes = layout.rowBytes;
    const std::uint64_t rows = layout.rows;
    const std::uint64_t stride = (rowBytes + 3) / 4 * 4;
    const long size = fileSize(file);
    if (size < 0 || static_cast<std::uint64_t>(size) < layout.offset ||
        stride * (rows - 1) + rowBytes > static_cast<std::uint64_t>(size) - layout.offset ||
        std::fseek(file, static_cast<long>(layout.offset), SEEK_SET) != 0) {
        return format("Error reading image data from %s.\n", filename);
    }
    const auto count = static_cast<std::size_t>(rowBytes * rows);
    auto* data = static_cast<unsigned char*>(std::malloc(count));
    if (data == nullptr) {
        return "Error allocating memory for color-corrected image data";
    }
    for (std::uint64_t row = 0; row < rows; ++row) {
        unsigned char* out = data + (layout.topDown ? rows - 1 - row : row) * rowBytes;
        if (std::fread(out, 1, rowBytes, file) != rowBytes ||
            (row + 1 < rows &&
             std::fseek(file, static_cast<long>(stride - rowBytes), SEEK_CUR) != 0)) {
            std::free(data);
            return format("Error reading image data from %s.\n", filename);
        }
        for (std::uint64_t i = 0; i < rowBytes; i += 3) {
            const unsigned char blue = out[i];
            out[i] = out[i + 2];
            out[i + 2] = blue;
        }
    }
    image->data = data;
    return "";
}

// Fills image, or returns why the file is refused (the line to print) with
// image->data owning nothing.
std::string readBmp(const char* filename, Image* image) {
    image->data = nullptr;
    const std::unique_ptr<FILE, FileCloser> file(std::fopen(filename, "rb"));
    if (!file) {
        return format("File Not Found : %s\n", filename);
    }
    BmpLayout layout;
    const std::string refusal = readBmpHeaders(file.get(), filename, image, &layout);
    return refusal.empty() ? readBmpRows(file.get(), filename, layout, image) : refusal;
}

}  // namespace

int ImageLoad(const char* filename, Image* image) {
    const std::string refusal = readBmp(filename, image);
    std::cout << refusal;
    return refusal.empty() ? 1 : 0;
}

void LoadTexture(const std::string& image_file, int texID) {
    TextureImage = new (std::nothrow) Image();
    if (TextureImage == nullptr) {
        throw ProgramExit("Error allocating space for image", 1);
    }
    std::cout << "trying to load " << image_file << "\n";
    const std::string refusal = readBmp(image_file.c_str(), TextureImage);
    if (!refusal.empty()) {
        throw ProgramExit(refusal, 1);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texID));
    // The rows are packed (3 * width bytes, whatever the width).
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, static_cast<GLsizei>(TextureImage->sizeX),
                 static_cast<GLsizei>(TextureImage->sizeY), 0, GL_RGB, GL_UNSIGNED_BYTE,
                 TextureImage->data);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}
