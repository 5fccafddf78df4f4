// Textures uploaded into OpenGL, read back from it.
#include <gtest/gtest.h>

#include <string>

#include "gl_window.h"
#include "tex.h"

// Rows of 15 bytes are packed in the loaded image; an upload that expected
// rows padded to 4 bytes would shift every row after the first.
TEST(LoadTexture, UploadsRowsOfAnyWidthAndRestoresTheAlignment) {
    openTestWindow();
    testing::internal::CaptureStdout();
    LoadTexture(RT_TEST_DATA "/bmp/pillow.bmp", 5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "trying to load " RT_TEST_DATA "/bmp/pillow.bmp\n");
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);

    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::string pixels(5 * 3 * 3, '\0');
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, &pixels[0]);
    EXPECT_EQ(pixels, std::string(reinterpret_cast<const char*>(TextureImage->data), 45));
    // The bottom row's last pixel (x 4, y 2 of the picture) ends the first row.
    EXPECT_EQ(static_cast<unsigned char>(pixels[12]), 170);
    EXPECT_EQ(static_cast<unsigned char>(pixels[13]), 200);
    EXPECT_EQ(static_cast<unsigned char>(pixels[14]), 50);
}
