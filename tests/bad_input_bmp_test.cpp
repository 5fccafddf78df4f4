// Catalogue of bad texture files: each row is a file the BMP loader must
// refuse, with the exact line it prints; nothing is allocated or kept.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "program_exit.h"
#include "test_support.h"
#include "tex.h"

using testing_support::allBytes;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

// The 54-byte header with the fields the loader reads, then the pixel bytes.
std::string bmp(std::uint32_t width, std::uint32_t height, std::size_t pixelBytes) {
    std::string bytes(54, '\0');
    const auto put = [&bytes](std::size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    put(18, width, 4);
    put(22, height, 4);
    put(26, 1, 2);   // planes
    put(28, 24, 2);  // bits per pixel
    return bytes + std::string(pixelBytes, '\x7f');
}

}  // namespace

TEST(BadInputBmp, EveryRowIsRefusedWithItsMessage) {
    const std::string dir = tempDir();
    const struct {
        const char* name;
        std::string content;
        const char* before;  // the line printed, around the file's name
        const char* after;
    } rows[] = {
        // Bytes 26 and 27 of the junk are the planes field.
        {"junk.bmp", allBytes(), "Planes from ", " is not 1: 6938\n"},
        {"negative_width.bmp", bmp(static_cast<std::uint32_t>(-4), 2, 24), "Size from ",
         " has no pixels: -4 x 2\n"},
        // 65536 x 65536 x 3 wraps to 0 in 32 bits; the count is kept in 64
        // bits and the file is far too short for it.
        {"beyond_32_bits.bmp", bmp(65536, 65536, 24), "Error reading image data from ", ".\n"},
        {"header_only.bmp", bmp(4, 1, 0), "Error reading image data from ", ".\n"},
        {"one_byte.bmp", "B", "Error reading header from ", ".\n"},
    };
    for (const auto& row : rows) {
        const std::string path = writeFile(row.name, row.content);
        Image image{0, 0, nullptr};
        testing::internal::CaptureStdout();
        EXPECT_EQ(ImageLoad(path.c_str(), &image), 0) << row.name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), row.before + path + row.after)
            << row.name;
        EXPECT_EQ(image.data, nullptr) << row.name;
    }

    // A directory opens for reading on Linux but yields no bytes.
    const std::string folder = dir + "/folder.bmp";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    Image image{0, 0, nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(ImageLoad(folder.c_str(), &image), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error reading header from " + folder + ".\n");
}

TEST(BadInputBmp, ARefusedTextureEndsTheProgramWithStatus1) {
    const std::string path = writeFile("refused.bmp", bmp(4, 2, 23));
    testing::internal::CaptureStdout();
    try {
        LoadTexture(path, 3);
        ADD_FAILURE() << "LoadTexture returned";
    } catch (const ProgramExit& end) {
        EXPECT_EQ(end.status(), 1);
        EXPECT_EQ(end.stream(), ProgramExit::Stream::Out);
        EXPECT_EQ(std::string(end.what()), "Error reading image data from " + path + ".\n");
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "trying to load " + path + "\n");
}
