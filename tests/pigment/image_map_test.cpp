// Image maps: a small generated picture laid on a plane, its pixels found
// where they belong, the three projections, once, interpolation and the
// files the reader refuses.
#include "pigment/image_map.h"

#include <gtest/gtest.h>
#include <png.h>

#include <vector>

#include "lighting/text_scene.h"
#include "parser.h"

namespace {

const Color kRed(1, 0, 0);
const Color kGreen(0, 1, 0);
const Color kBlue(0, 0, 1);
const Color kWhite(1, 1, 1);

}  // namespace

TEST(ImageMap, PlanarMapShowsItsPixelsUprightAndRepeated) {
    testing_support::writeQuadPng("quad.png");
    const TextScene scene(
        "light_source { <0, 0, 10> color rgb <1, 1, 1> }\n"
        "plane { <0, 0, 1>, 0 pigment { image_map { png \"quad.png\" map_type 0 } } "
        "finish { ambient 1 diffuse 0 } }",
        8, 8, testing_support::tempDir() + "/scene.pov");  // names are relative to it
    const auto seen = [&](double x, double y) {
        return scene.cast(Vector3(x, y, 5), Vector3(0, 0, -1));
    };
    EXPECT_TRUE(sameBits(seen(0.25, 0.75), kRed));
    EXPECT_TRUE(sameBits(seen(0.75, 0.75), kGreen));
    EXPECT_TRUE(sameBits(seen(0.25, 0.25), kBlue));
    EXPECT_TRUE(sameBits(seen(0.75, 0.25), kWhite));
    EXPECT_TRUE(sameBits(seen(-0.75, 2.75), kRed));  // repeated
}

TEST(ImageMap, OnceInterpolationAndProjections) {
    const std::string path = testing_support::writeQuadPng("quad2.png");
    int width = 0;
    int height = 0;
    const std::vector<Color> pixels = readPicture(path, true, width, height);
    ASSERT_EQ(width, 2);
    ASSERT_EQ(height, 2);
    const ImageMap once(2, 2, pixels, ImageMap::Projection::Planar, true, false);
    EXPECT_TRUE(sameBits(once.at(Vector3(0.25, 0.75, 0)), kRed));
    EXPECT_TRUE(sameBits(once.at(Vector3(1.25, 0.75, 0)), Color(0, 0, 0)));
    const ImageMap smooth(2, 2, pixels, ImageMap::Projection::Planar, false, true);
    // Half-way between the red and green pixel centres.
    const Color middle = smooth.at(Vector3(0.5, 0.75, 0));
    EXPECT_NEAR(middle.r, 0.5, 1e-12);
    EXPECT_NEAR(middle.g, 0.5, 1e-12);
    EXPECT_TRUE(sameBits(smooth.at(Vector3(0.25, 0.75, 0)), kRed));  // on a pixel centre
    // Spherical: the north pole is the top row, the south pole the bottom.
    const ImageMap sphere(2, 2, pixels, ImageMap::Projection::Spherical, false, false);
    const Color north = sphere.at(Vector3(0.01, 1, 0.01));
    EXPECT_TRUE(sameBits(north, kRed) || sameBits(north, kGreen));
    const Color south = sphere.at(Vector3(0.01, -1, 0.01));
    EXPECT_TRUE(sameBits(south, kBlue) || sameBits(south, kWhite));
    // Cylindrical: one image unit high, around the y axis.
    const ImageMap cylinder(2, 2, pixels, ImageMap::Projection::Cylindrical, false, false);
    EXPECT_TRUE(sameBits(cylinder.at(Vector3(0, 0.75, -1)), kRed));  // longitude 0: the left edge
    EXPECT_TRUE(sameBits(cylinder.at(Vector3(0, 0.25, -1)), kBlue));
}

// A black PNG larger than a map may be.
std::string writeHuge() {
    const std::string path = testing_support::tempDir() + "/huge.png";
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 3000;
    image.height = 1500;
    image.format = PNG_FORMAT_RGB;
    const std::vector<unsigned char> bytes(3000 * 1500 * 3, 0);
    EXPECT_NE(png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr), 0);
    return path;
}

TEST(ImageMap, UnreadableFilesAreRefusedByName) {
    int width = 0;
    int height = 0;
    EXPECT_THROW(readPicture(writeHuge(), true, width, height), SceneError);
    const std::string text = testing_support::writeFile("not_a.png", "not a picture");
    for (const std::string& scene :
         {"pigment { image_map { png \"" + text + "\" } }",
          std::string("pigment { image_map { png \"/nonexistent/x.png\" } }"),
          "pigment { image_map { bmp \"" + text + "\" } }",
          std::string("pigment { image_map { gif \"x.gif\" } }"),
          "pigment { image_map { png \"" + testing_support::writeQuadPng("q3.png") + "\" map_type 7 } }"}) {
        std::deque<std::string> tokens = testing_support::tokensOf("sphere { <0, 0, 0>, 1 " + scene);
        try {
            Sphere sphere(tokens);
            ADD_FAILURE() << scene;
        } catch (const SceneError& error) {
            const std::string message = error.what();
            EXPECT_TRUE(message.find("map") != std::string::npos ||
                        message.find("png") != std::string::npos)
                << message;
        }
    }
}
