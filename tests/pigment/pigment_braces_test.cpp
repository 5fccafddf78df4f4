// Transforms inside a pigment's braces move its pattern and leave the object
// alone; after the closing brace they move both. A mesh's transforms move
// its triangles' patterns; an image map is found beside its scene file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "lighting/text_scene.h"
#include "parser.h"
#include "pigment/pigment.h"
#include "shapes/transformed.h"

namespace {

const Color kRed(1, 0, 0);
const Color kWhite(1, 1, 1);
const Color kBlack(0, 0, 0);

const char* const kLight = "light_source { <0, 10, 0> color rgb <1, 1, 1> }\n";
const char* const kFlat = " finish { ambient 1 diffuse 0 }";

std::string checker(const std::string& inside = "") {
    return " pigment { checker color rgb <1, 0, 0> color rgb <1, 1, 1>" + inside + " }";
}

Color downAt(const TextScene& scene, double x, double z) {
    return scene.cast(Vector3(x, 5, z), Vector3(0, -1, 0));
}

// Which pixels show an object at all: the background is black and every
// object here is lit by its ambient term.
std::string silhouette(const TextScene& scene, int size) {
    const ImageBuffer image = scene.render();
    std::string mask;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            mask += sameBits(image.at(x, y), kBlack) ? '.' : '#';
        }
        mask += '\n';
    }
    return mask;
}

}  // namespace

TEST(PigmentBraces, ScaleInsideMakesTwoUnitSquaresOnAnUnmovedObject) {
    const std::string view =
        "camera { location <0, 8, -0.001> up <0, 1, 0> right <1, 0, 0> look_at <0, 0, 0> }\n";
    const TextScene inside(view + kLight + "plane { <0, 1, 0>, 0" + checker(" scale 2") + kFlat +
                               " }",
                           24, 24);
    // Squares of 2 units: the pattern at p is the unit checker at p / 2.
    const Pigment unit = Pigment::checker(kRed, kWhite);
    for (double x = -5.5; x < 6; x += 1) {
        for (double z = -5.5; z < 6; z += 1) {
            EXPECT_TRUE(sameBits(downAt(inside, x, z), unit.at(Vector3(x / 2, 0, z / 2))))
                << x << ", " << z;
        }
    }
    ASSERT_EQ(inside.objects.size(), 1u);
    EXPECT_EQ(dynamic_cast<const TransformedObject*>(inside.objects[0]), nullptr);
    // The floor is the same plane scaled: written after the brace, the scale
    // gives the same picture, bit for bit.
    const TextScene after(view + kLight + "plane { <0, 1, 0>, 0" + checker() + kFlat +
                              " scale 2 }",
                          24, 24);
    EXPECT_EQ(firstDifference(after.render(), inside.render(), 24, 24), "");
    EXPECT_NE(dynamic_cast<const TransformedObject*>(after.objects[0]), nullptr);
}

TEST(PigmentBraces, TransformsInsideLeaveTheObjectsSizeAndPlace) {
    const std::string view =
        "camera { location <0, 0, -6> up <0, 1, 0> right <1, 0, 0> look_at <0, 0, 0> }\n";
    const auto sphere = [&](const std::string& pigment, const std::string& after) {
        return view + kLight + "sphere { <0.5, 0, 0>, 1.5" + pigment + kFlat + after + " }";
    };
    const TextScene plain(sphere(checker(), ""), 32, 32);
    const std::string expected = silhouette(plain, 32);
    for (const char* const inside :
         {" scale 2", " translate <1, 2, 3>", " rotate <0, 45, 30> scale <1, 2, 0.5>",
          " scale 3 translate <-1, 0, 0>"}) {
        const TextScene moved(sphere(checker(inside), ""), 32, 32);
        EXPECT_EQ(silhouette(moved, 32), expected) << inside;
        ASSERT_EQ(moved.objects.size(), 1u);
        EXPECT_NE(dynamic_cast<const Sphere*>(moved.objects[0]), nullptr) << inside;
    }
    // After the brace the object moves: a sphere twice as large.
    const TextScene larger(sphere(checker(), " scale 2"), 32, 32);
    const std::string bigger = silhouette(larger, 32);
    EXPECT_NE(bigger, expected);
    EXPECT_GT(std::count(bigger.begin(), bigger.end(), '#'),
              3 * std::count(expected.begin(), expected.end(), '#'));
}

TEST(PigmentBraces, InsideAndAfterCompose) {
    // Squares of 2 shifted by 1 along x: the pattern's scale, then the
    // object's translation, which the pattern follows.
    const TextScene scene(std::string(kLight) + "plane { <0, 1, 0>, 0" + checker(" scale 2") +
                              kFlat + " translate <1, 0, 0> }",
                          8, 8);
    const Pigment unit = Pigment::checker(kRed, kWhite);
    for (double x = -4.5; x < 5; x += 1) {
        for (double z = -4.5; z < 5; z += 1) {
            EXPECT_TRUE(sameBits(downAt(scene, x, z), unit.at(Vector3((x - 1) / 2, 0, z / 2))))
                << x << ", " << z;
        }
    }
    // A transform before the pigment moves the object only.
    const TextScene before(std::string(kLight) + "plane { <0, 1, 0>, 0 translate <1, 0, 0>" +
                               checker(" translate <0, 0, 1>") + kFlat + " }",
                           8, 8);
    for (double x = -4.5; x < 5; x += 1) {
        EXPECT_TRUE(sameBits(downAt(before, x, 0.5), unit.at(Vector3(x, 0, -0.5)))) << x;
    }
}

// A queue of tokens knows no braces: there the transform is the object's,
// as it follows the pigment.
TEST(PigmentBraces, AQueueOfTokensReadsThemAsTheObjects) {
    std::deque<std::string> tokens =
        testing_support::tokensOf("sphere { <0, 0, 0>, 1" + checker(" scale 2") + " }");
    std::vector<GeomObject*> objects;
    std::vector<Light*> sceneLights;
    Camera view = camera;
    parse_statements(tokens, {8, 8}, objects, sceneLights, &view);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_NE(dynamic_cast<const TransformedObject*>(objects[0]), nullptr);
    deleteObjects(objects);
}

// Only the braces that open right after "pigment" and stay open hold its
// transforms; a comment's braces are none.
TEST(PigmentBraces, OnlyThePigmentsOwnBracesHoldTransforms) {
    const std::string pattern = "checker color rgb <1, 0, 0> color rgb <1, 1, 1>";
    const struct {
        const char* modifiers;
        bool objectMoved;
    } cases[] = {
        {"pigment { PATTERN scale 2 translate <1, 0, 0> }", false},
        {"pigment { color rgb <1, 0, 0> scale 2 }", false},
        {"pigment { PATTERN // } closed?\n scale 2 }", false},
        {"pigment { image_map { png \"braces_quad.png\" once } rotate <0, 0, 90> }", false},
        {"pigment { PATTERN } scale 2", true},
        {"pigment PATTERN scale 2", true},
        {"pigment PATTERN { scale 2 }", true},
        {"pigment { PATTERN } { scale 2 }", true},
        {"pigment { PATTERN finish { ambient 1 } scale 2 }", true},
        {"pigment { PATTERN scale 2 } translate <1, 0, 0>", true},
    };
    testing_support::writeQuadPng("braces_quad.png");
    for (const auto& c : cases) {
        std::string modifiers = c.modifiers;
        const std::size_t at = modifiers.find("PATTERN");
        if (at != std::string::npos) {
            modifiers.replace(at, 7, pattern);
        }
        const TextScene scene("sphere { <0, 0, 0>, 1 " + modifiers + " }", 8, 8,
                              testing_support::tempDir() + "/scene.pov");
        ASSERT_EQ(scene.objects.size(), 1u) << modifiers;
        EXPECT_EQ(dynamic_cast<const TransformedObject*>(scene.objects[0]) != nullptr,
                  c.objectMoved)
            << modifiers;
    }
}

TEST(PigmentBraces, MeshTransformsMoveItsTrianglesPatterns) {
    // Two triangles with patterns of their own; the second's are the mesh's.
    const auto mesh = [](const std::string& transform) {
        return std::string(kLight) + "mesh { triangle { <-4, 0, -4>, <4, 0, -4>, <-4, 0, 4>" +
               checker() + kFlat + " }\n triangle { <4, 0, 4>, <-4, 0, 4>, <4, 0, -4>" +
               checker() + kFlat + " } " + transform + " }";
    };
    const TextScene shifted(mesh("translate <1, 0, 0>"), 8, 8);
    const TextScene scaled(mesh("scale <2, 1, 2>"), 8, 8);
    const Pigment unit = Pigment::checker(kRed, kWhite);
    // Points in the first triangle (x + z < 1 after the shift) and the second.
    for (const double x : {-2.5, -1.5, -0.5, 2.5, 3.5}) {
        for (const double z : {-2.5, -1.5, 1.5, 2.5}) {
            EXPECT_TRUE(sameBits(downAt(shifted, x, z), unit.at(Vector3(x - 1, 0, z))))
                << x << ", " << z;
            EXPECT_TRUE(sameBits(downAt(scaled, x, z), unit.at(Vector3(x / 2, 0, z / 2))))
                << x << ", " << z;
        }
    }
}

// The scene names its picture by a name relative to its own folder; the
// program runs from another working directory.
TEST(PigmentBraces, ImageMapFoundBesideTheScene) {
    const std::string dir = testing_support::tempDir();
    std::filesystem::create_directory(dir + "/beside");
    testing_support::writeQuadPng("beside/picture.png");
    testing_support::writeFile(
        "beside/scene.pov",
        "camera { location <1, 1, -2> up <0, 1, 0> right <1, 0, 0> look_at <1, 1, 0> }\n"
        "light_source { <0, 0, -10> color rgb <1, 1, 1> }\n"
        "plane { <0, 0, 1>, 0 pigment { image_map { png \"picture.png\" } scale 2 }"
        " finish { ambient 1 diffuse 0 } }\n");
    for (const std::string& cwd : {dir, std::string("/")}) {
        const std::string scene = cwd == dir ? "beside/scene.pov" : dir + "/beside/scene.pov";
        const testing_support::RunResult run =
            testing_support::runRaytracer({"+W8", "+H8", "+I" + scene}, cwd);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string picture = testing_support::readFile(dir + "/beside/scene.ppm");
        // The camera looks at the middle of the scaled picture's 2 x 2
        // units, with x growing to the left of the image.
        ASSERT_GT(picture.size(), 8u * 8 * 3);
        const std::size_t header = picture.size() - 8 * 8 * 3;
        const auto pixel = [&](int x, int y) {
            return picture.substr(header + static_cast<std::size_t>(y * 8 + x) * 3, 3);
        };
        EXPECT_EQ(pixel(5, 1), std::string("\xff\x00\x00", 3));
        EXPECT_EQ(pixel(1, 1), std::string("\x00\xff\x00", 3));
        EXPECT_EQ(pixel(5, 5), std::string("\x00\x00\xff", 3));
        EXPECT_EQ(pixel(1, 5), std::string("\xff\xff\xff", 3));
        std::remove((dir + "/beside/scene.ppm").c_str());
    }
}
