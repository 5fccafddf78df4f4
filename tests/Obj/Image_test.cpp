#include "Obj/Image.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Obj/Exception.h"
#include "Obj/Mesh.h"
#include "image_files.h"

using namespace image_files;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

const unsigned char* bytes(const CImage& image) {
    return static_cast<const unsigned char*>(image.getPixels());
}

}  // namespace

TEST(Image, TransparentWithAlphaOrColourKey) {
    EXPECT_FALSE(CImage(writeBmp("opaque.bmp", 4, 2)).isTransparent());
    EXPECT_TRUE(CImage(writeTga("alpha.tga")).isTransparent());
    EXPECT_TRUE(CImage(writeXpm("keyed.xpm")).isTransparent());
}

TEST(Image, ConversionGivesRgbaBytesTopRowFirst) {
    CImage pattern(writeBmp("pattern.bmp", 3, 2));
    pattern.convertPixelFormat();
    ASSERT_EQ(pattern.getWidth(), 3);
    ASSERT_EQ(pattern.getHeight(), 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const unsigned char* p = bytes(pattern) + (y * 3 + x) * 4;
            const std::array<unsigned char, 3> rgb = patternPixel(x, y);
            EXPECT_EQ(p[0], rgb[0]);
            EXPECT_EQ(p[1], rgb[1]);
            EXPECT_EQ(p[2], rgb[2]);
            EXPECT_EQ(p[3], 255);
        }
    }
    CImage alpha(writeTga("alpha.tga"));
    alpha.convertPixelFormat();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes(alpha)), 8),
              std::string("\x0a\x14\x1e\x28\x32\x3c\x46\xff", 8));
    CImage keyed(writeXpm("keyed.xpm"));
    keyed.convertPixelFormat();
    EXPECT_EQ(bytes(keyed)[3], 255);
    EXPECT_EQ(bytes(keyed)[0], 255);
    EXPECT_EQ(bytes(keyed)[7], 0);  // the key colour becomes see-through
}

TEST(Image, UnloadableFilesCarrySdlsText) {
    for (const std::string& path : {tempDir() + "/missing.png", writeFile("text.png", "text")}) {
        try {
            CImage image(path);
            FAIL() << path;
        } catch (const CImageLoadException& e) {
            EXPECT_EQ(std::string(e.getMessage()),
                      "failed to load image (\"" + std::string(SDL_GetError()) + "\")");
        }
    }
}

// In a child process: converts the image with too little memory left for
// the copy; exits 0 when that throws the image library's text and keeps the
// image as it was.
[[noreturn]] static void convertWithoutMemory(CImage& image) {
    long pages = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    const bool read = statm != nullptr && std::fscanf(statm, "%ld", &pages) == 1;
    const rlimit limit = {static_cast<rlim_t>(pages) * 4096 + (8 << 20), RLIM_INFINITY};
    if (!read || setrlimit(RLIMIT_AS, &limit) != 0) {
        std::_Exit(3);
    }
    try {
        image.convertPixelFormat();
    } catch (const CImageLoadException& e) {
        // Still the 24-bit picture: blue first, and blue is 0 at (0, 0).
        const bool kept = image.getWidth() == 2048 && bytes(image)[0] == patternPixel(0, 0)[2];
        const bool sdlText =
            std::string(e.getMessage()) == "failed to load image (\"Out of memory\")";
        std::_Exit(kept && sdlText ? 0 : 2);
    }
    std::_Exit(1);
}

// Regression: a failing SDL_CreateRGBSurface left a null surface behind.
TEST(Image, FailedConversionThrowsAndKeepsTheImage) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's allocator ignores an address-space limit";
#endif
    CImage image(writeBmp("big.bmp", 2048, 2048));  // the RGBA copy needs 16 MB
    EXPECT_EXIT(convertWithoutMemory(image), testing::ExitedWithCode(0), "");
}

TEST(Texture, MeshKeepsItsTextureWhenAnImageFails) {
    CMesh mesh;
    mesh.setTexture(writeBmp("keep.bmp", 2, 2));
    EXPECT_TRUE(mesh.hasTexture());
    EXPECT_THROW(mesh.setTexture(tempDir() + "/missing.bmp"), CImageLoadException);
    EXPECT_TRUE(mesh.hasTexture());
}
