#include "tex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>

#include "cube.h"
#include "test_support.h"

using testing_support::writeFile;

namespace {

void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

void put16(std::string& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

// A BMP header with the fields ImageLoad reads and junk everywhere else,
// followed by pixelBytes bytes counting 0, 1, 2, ...
std::string bmp(std::int32_t width, std::int32_t height, std::size_t pixelBytes,
                unsigned planes = 1, unsigned bpp = 24, std::uint32_t compression = 0) {
    std::string bytes(54, '\x5a');
    put32(bytes, 10, 1000);  // a pixel-data offset that is not used
    put32(bytes, 18, static_cast<std::uint32_t>(width));
    put32(bytes, 22, static_cast<std::uint32_t>(height));
    put16(bytes, 26, planes);
    put16(bytes, 28, bpp);
    put32(bytes, 30, compression);
    for (std::size_t i = 0; i < pixelBytes; ++i) bytes += static_cast<char>(i);
    return bytes;
}

struct Loaded {
    int result;
    Image image;
    std::string printed;
};

Loaded load(const std::string& path) {
    Loaded loaded{0, {0, 0, nullptr}, ""};
    testing::internal::CaptureStdout();
    loaded.result = ImageLoad(path.c_str(), &loaded.image);
    loaded.printed = testing::internal::GetCapturedStdout();
    return loaded;
}

// Loads a file that must be refused and returns what was printed.
std::string refusal(const std::string& name, const std::string& content) {
    const std::string path = writeFile(name, content);
    const Loaded loaded = load(path);
    EXPECT_EQ(loaded.result, 0) << name;
    EXPECT_EQ(loaded.image.data, nullptr) << name;
    return loaded.printed;
}

}  // namespace

TEST(ImageLoad, ReadsBgrTriplesFromByte54AsRgb) {
    std::string content = bmp(4, 2, 24);
    content[54] = 10;  // blue
    content[55] = 20;  // green
    content[56] = 30;  // red
    const Loaded loaded = load(writeFile("four_by_two.bmp", content + "trailing"));
    ASSERT_EQ(loaded.result, 1) << loaded.printed;
    EXPECT_EQ(loaded.printed, "");
    EXPECT_EQ(loaded.image.sizeX, 4u);
    EXPECT_EQ(loaded.image.sizeY, 2u);
    EXPECT_EQ(loaded.image.data[0], 30);
    EXPECT_EQ(loaded.image.data[1], 20);
    EXPECT_EQ(loaded.image.data[2], 10);
    // The last triple is file bytes 21, 22, 23 after the header, swapped.
    EXPECT_EQ(loaded.image.data[21], 23);
    EXPECT_EQ(loaded.image.data[22], 22);
    EXPECT_EQ(loaded.image.data[23], 21);
    std::free(loaded.image.data);
}

TEST(ImageLoad, RefusesFilesOutsideTheSubsetNamingThem) {
    const std::string dir = testing_support::tempDir();
    EXPECT_EQ(refusal("bpp32.bmp", bmp(4, 2, 32, 1, 32)),
              "Bpp from " + dir + "/bpp32.bmp is not 24: 32\n");
    EXPECT_EQ(refusal("planes2.bmp", bmp(4, 2, 24, 2)),
              "Planes from " + dir + "/planes2.bmp is not 1: 2\n");
    EXPECT_EQ(refusal("rle.bmp", bmp(4, 2, 24, 1, 24, 1)),
              "Compression from " + dir + "/rle.bmp is not 0: 1\n");
    EXPECT_EQ(refusal("empty.bmp", bmp(0, 2, 0)),
              "Size from " + dir + "/empty.bmp has no pixels: 0 x 2\n");
    // A 124-byte header whose pixels would start inside it.
    std::string inside = bmp(4, 2, 200);
    put32(inside, 10, 100);
    put32(inside, 14, 124);
    EXPECT_EQ(refusal("inside.bmp", inside),
              "Pixel offset from " + dir + "/inside.bmp lies inside its headers: 100\n");
    // Past the 124 bytes of the info header but inside it with the 14 of the
    // file header before it.
    put32(inside, 10, 130);
    EXPECT_EQ(
        refusal("inside_file_header.bmp", inside),
        "Pixel offset from " + dir + "/inside_file_header.bmp lies inside its headers: 130\n");
    // Right after both: read from there.
    put32(inside, 10, 138);
    const Loaded after = load(writeFile("after_headers.bmp", inside));
    EXPECT_EQ(after.result, 1) << after.printed;
    ASSERT_NE(after.image.data, nullptr);
    EXPECT_EQ(after.image.data[2], 138 - 54);  // the first blue byte, counted from byte 54
    std::free(after.image.data);
}

// Files as ImageMagick and Pillow write them (tests/data/bmp/make_fixtures.py):
// the 124- and 108-byte headers with the pixels where the file header says,
// the 40-byte one, rows padded from 15 to 16 bytes, and top-down rows.
TEST(ImageLoad, DecodesTheFilesOfCommonTools) {
    for (const char* name : {"imagemagick_v5.bmp", "imagemagick_v4.bmp", "imagemagick_bmp3.bmp",
                             "pillow.bmp", "top_down.bmp"}) {
        const Loaded loaded = load(std::string(RT_TEST_DATA "/bmp/") + name);
        ASSERT_EQ(loaded.result, 1) << name << ": " << loaded.printed;
        EXPECT_EQ(loaded.printed, "");
        ASSERT_EQ(loaded.image.sizeX, 5u);
        ASSERT_EQ(loaded.image.sizeY, 3u);
        // The picture the files were made from, bottom row first here.
        std::string expected;
        for (int y = 2; y >= 0; --y) {
            for (int x = 0; x < 5; ++x) {
                expected += {static_cast<char>(40 * x + 10), static_cast<char>(90 * y + 20),
                             static_cast<char>(250 - 20 * x - 60 * y)};
            }
        }
        EXPECT_EQ(std::string(reinterpret_cast<char*>(loaded.image.data), 45), expected) << name;
        std::free(loaded.image.data);
    }
    // The pixels of these tools' other formats stay refused.
    const std::string dir = RT_TEST_DATA "/bmp/";
    EXPECT_EQ(load(dir + "imagemagick_palette.bmp").printed,
              "Bpp from " + dir + "imagemagick_palette.bmp is not 24: 4\n");
    EXPECT_EQ(load(dir + "imagemagick_alpha.bmp").printed,
              "Bpp from " + dir + "imagemagick_alpha.bmp is not 24: 32\n");
}

TEST(ImageLoad, RefusesTruncatedAndMissingFilesWithoutOverreading) {
    const std::string dir = testing_support::tempDir();
    EXPECT_EQ(refusal("short_pixels.bmp", bmp(4, 2, 23)),
              "Error reading image data from " + dir + "/short_pixels.bmp.\n");
    EXPECT_EQ(refusal("short_header.bmp", bmp(4, 2, 0).substr(0, 40)),
              "Error reading header from " + dir + "/short_header.bmp.\n");
    // A size whose byte count no file here holds is refused before any
    // allocation of that size.
    EXPECT_EQ(refusal("huge.bmp", bmp(0x7ffffffc, 0x7fffffff, 24)),
              "Error reading image data from " + dir + "/huge.bmp.\n");
    EXPECT_EQ(refusal("zero_bytes.bmp", ""),
              "Error reading header from " + dir + "/zero_bytes.bmp.\n");
    Image image{0, 0, nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(ImageLoad((dir + "/absent.bmp").c_str(), &image), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File Not Found : " + dir + "/absent.bmp\n");
}

// The committed preview textures load, and the cube texture has a distinct
// face where the cube's texture coordinates put each face.
TEST(ImageLoad, PreviewTexturesFitTheCube) {
    const std::string preview = RT_SOURCE_DIR "/preview/";
    for (const char* name :
         {"texture/PLANE_1.bmp", "texture/brick-normal.bmp", "Data/TyraNormals.bmp"}) {
        const Loaded loaded = load(preview + name);
        EXPECT_EQ(loaded.result, 1) << name << loaded.printed;
        std::free(loaded.image.data);
    }
    const Loaded box = load(preview + "texture/BOX_1.bmp");
    ASSERT_EQ(box.result, 1) << box.printed;
    EXPECT_EQ(box.image.sizeX * 3, box.image.sizeY * 4);
    std::set<std::tuple<int, int, int>> faceColours;
    for (int face = 0; face < 6; ++face) {
        float s = 0;
        float t = 0;
        for (int j = 0; j < 4; ++j) {
            s += cube::texCoords[cube::faceTex[face][j]][0] / 4;
            t += cube::texCoords[cube::faceTex[face][j]][1] / 4;
        }
        // Just above the face's label.
        const auto x = static_cast<std::size_t>(s * box.image.sizeX);
        const auto y = static_cast<std::size_t>((t + 0.1f) * box.image.sizeY);
        const unsigned char* p = box.image.data + 3 * (y * box.image.sizeX + x);
        EXPECT_GT(p[0] + p[1] + p[2], 200) << "face " << face << " lies on the background";
        faceColours.insert(std::make_tuple(p[0], p[1], p[2]));
    }
    EXPECT_EQ(faceColours.size(), 6u);
    std::free(box.image.data);
}
