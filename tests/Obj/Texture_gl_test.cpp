#include <gtest/gtest.h>

#include <vector>

#include "Obj/Mesh.h"
#include "Obj/Texture.h"
#include "feedback.h"
#include "image_files.h"

using image_files::patternPixel;
using image_files::writeBmp;

namespace {

GLint levelWidth(GLint level) {
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
}

SPolygonFace triangle(int a, int b, int c, int vt = 0, int vn = 0) {
    SPolygonFace face;
    face.addVertTexNorm(a, vt, vn);
    face.addVertTexNorm(b, vt, vn);
    face.addVertTexNorm(c, vt, vn);
    return face;
}

}  // namespace

TEST(TextureGl, PowerOfTwoImagesAreUploadedAsTheyAre) {
    openTestWindow();
    CTexture texture(writeBmp("pot.bmp", 256, 128));
    texture.registerGL();
    EXPECT_TRUE(texture.isRegistred());
    ASSERT_NE(texture.getID(), CTexture::INVALID_ID);
    EXPECT_TRUE(glIsTexture(texture.getID()));
    glBindTexture(GL_TEXTURE_2D, texture.getID());
    EXPECT_EQ(levelWidth(0), 256);
    EXPECT_EQ(levelWidth(1), 0);  // no mipmaps
    std::vector<unsigned char> pixels(256 * 128 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (const int x : {0, 100, 255}) {
        for (const int y : {0, 127}) {
            const unsigned char* p = &pixels[(y * 256 + x) * 4];
            const std::array<unsigned char, 3> rgb = patternPixel(x, y);
            EXPECT_EQ(std::vector<int>(p, p + 4), std::vector<int>({rgb[0], rgb[1], rgb[2], 255}));
        }
    }
}

TEST(TextureGl, OtherSizesAreScaledIntoMipmaps) {
    openTestWindow();
    CTexture texture(writeBmp("npot.bmp", 100, 64));
    texture.registerGL();
    EXPECT_TRUE(texture.isRegistred());
    glBindTexture(GL_TEXTURE_2D, texture.getID());
    const GLint width = levelWidth(0);
    EXPECT_NE(width, 100);
    EXPECT_EQ(width & (width - 1), 0);
    EXPECT_GT(levelWidth(1), 0);
}

TEST(MeshGl, AnimateRegistersTheMaterialTextureOnce) {
    openTestWindow();
    CMesh mesh;
    SMaterial material;
    material.map_Kd = writeBmp("kd.bmp", 8, 8);
    mesh.setMaterial(material);
    glBindTexture(GL_TEXTURE_2D, 0);
    mesh.animate(0);
    ASSERT_TRUE(mesh.hasTexture());
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_NE(bound, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    mesh.animate(0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

// Regression: faces with indices outside the arrays were drawn by reading
// past them.
TEST(MeshGl, DrawingSkipsFacesWithBadIndices) {
    CMesh mesh;
    mesh.addVertex(SVertex(0, 0, 0));
    mesh.addVertex(SVertex(1, 0, 0));
    mesh.addVertex(SVertex(0, 1, 0));
    mesh.addTextureCoord(SVertex(0, 1, 0));
    mesh.addNormal(SVertex(0, 0, 1));
    mesh.addFace(triangle(1, 2, 3, 1, 1));
    mesh.addFace(triangle(0, 2, 3));
    mesh.addFace(triangle(-1, 2, 3));
    mesh.addFace(triangle(1, 2, 4));
    mesh.addFace(triangle(1, 2, 3, 2, 0));
    mesh.addFace(triangle(1, 2, 3, 0, -5));
    SPolygonFace line;
    line.addVertTexNorm(1, 0, 0);
    line.addVertTexNorm(2, 0, 0);
    mesh.addFace(line);

    const auto drawn = feedback::drawnPolygons([&] { mesh.draw(); });
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].size(), 3u);
    EXPECT_TRUE(feedback::hasCorner(drawn[0], {1, 0, 0}));
    EXPECT_EQ(feedback::drawnPolygons([&] { mesh.mydraw(); }).size(), 1u);
}

TEST(MeshGl, DrawRestoresTheDepthTest) {
    openTestWindow();
    CMesh mesh;
    mesh.setTexture(image_files::writeTga("alpha.tga"));
    mesh.animate(0);
    for (const bool enabled : {true, false}) {
        enabled ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
        feedback::drawnPolygons([&] { mesh.draw(); });
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST) == GL_TRUE, enabled);
    }
}
