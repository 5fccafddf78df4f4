// Patterns: the checker's cubes, as the pattern and as a rendered floor,
// and how the reader takes a pigment statement.
#include "pigment/pigment.h"

#include <gtest/gtest.h>

#include <cmath>

#include "lighting/text_scene.h"
#include "parser.h"

namespace {

const Color kRed(1, 0, 0);
const Color kWhite(1, 1, 1);

}  // namespace

TEST(Checker, UnitCubesAlternate) {
    const Pigment checker = Pigment::checker(kRed, kWhite);
    EXPECT_TRUE(sameBits(checker.at(Vector3(0.5, 0.5, 0.5)), kRed));
    EXPECT_TRUE(sameBits(checker.at(Vector3(1.5, 0.5, 0.5)), kWhite));
    EXPECT_TRUE(sameBits(checker.at(Vector3(1.5, 1.5, 0.5)), kRed));
    EXPECT_TRUE(sameBits(checker.at(Vector3(-0.5, 0.5, 0.5)), kWhite));
    EXPECT_TRUE(sameBits(checker.at(Vector3(-0.5, -0.5, -0.5)), kWhite));
    EXPECT_TRUE(sameBits(checker.at(Vector3(-1.5, 0.2, 3.7)), kWhite));
    // A point a rounding off a whole coordinate counts as on it.
    EXPECT_TRUE(sameBits(checker.at(Vector3(0.5, -1e-13, 0.5)), kRed));
    EXPECT_TRUE(sameBits(checker.at(Vector3(0.5, 1e-13, 0.5)), kRed));
    EXPECT_TRUE(sameBits(checker.at(Vector3(1e300, 0.5, 0.5)), kRed));
}

TEST(Checker, FloorAlternatesAtUnitSquares) {
    const TextScene scene(
        "light_source { <0, 10, 0> color rgb <1, 1, 1> }\n"
        "plane { <0, 1, 0>, 0 pigment { checker color rgb <1, 0, 0> color rgb <1, 1, 1> } "
        "finish { ambient 1 diffuse 0 } }",
        8, 8);
    for (int i = -3; i <= 3; ++i) {
        for (int k = -3; k <= 3; ++k) {
            const Color seen =
                scene.cast(Vector3(i + 0.5, 2, k + 0.5), Vector3(0, -1, 0));
            const bool even = ((i + k) & 1) == 0;
            EXPECT_TRUE(sameBits(seen, even ? kRed : kWhite)) << i << ", " << k;
        }
    }
}

TEST(Checker, ReaderTakesTheLastPigment) {
    {
        std::deque<std::string> tokens = testing_support::tokensOf(
            "sphere { <0, 0, 0>, 1 pigment { checker color rgb <1, 0, 0> color rgb <0, 0, 1> } "
            "finish { ambient 0.2 } }");
        const Sphere sphere(tokens);
        ASSERT_NE(sphere.finish.pattern, nullptr);
        EXPECT_EQ(sphere.finish.pattern, sphere.pattern.get());
        EXPECT_TRUE(sameBits(sphere.color, kRed));  // what the preview draws
        EXPECT_EQ(sphere.finish.ambient, 0.2);
    }
    {
        std::deque<std::string> tokens = testing_support::tokensOf(
            "sphere { <0, 0, 0>, 1 pigment { checker color rgb <1, 0, 0> color rgb <0, 0, 1> } "
            "pigment { color rgb <0, 1, 0> } }");
        const Sphere sphere(tokens);
        EXPECT_EQ(sphere.finish.pattern, nullptr);
        EXPECT_TRUE(sameBits(sphere.color, Color(0, 1, 0)));
    }
    std::deque<std::string> cut = testing_support::tokensOf(
        "sphere { <0, 0, 0>, 1 pigment { checker color rgb <1, 0, 0> color rgb <0, 0 }");
    EXPECT_THROW(Sphere sphere(cut), SceneError);
}

// A pattern moves with the transforms of its object written after it; the
// ones before it move only the object.
TEST(Checker, PatternFollowsTheTransformsAfterIt) {
    const char* const light = "light_source { <0, 10, 0> color rgb <1, 1, 1> }\n";
    const char* const checker =
        " pigment { checker color rgb <1, 0, 0> color rgb <1, 1, 1> }"
        " finish { ambient 1 diffuse 0 }";
    const auto floorColor = [](const TextScene& scene, double x, double z) {
        return scene.cast(Vector3(x, 2, z), Vector3(0, -1, 0));
    };
    // Scaled by 2 after the pigment: 2-unit squares on the same floor.
    const TextScene scaled(std::string(light) + "plane { <0, 1, 0>, 0" + checker + " scale 2 }", 8,
                           8);
    // Translated along x by 1 after it: the squares shift by one.
    const TextScene shifted(
        std::string(light) + "plane { <0, 1, 0>, 0" + checker + " translate <1, 0, 0> }", 8, 8);
    // Scaled before the pigment: unit squares still.
    const TextScene before(std::string(light) + "plane { <0, 1, 0>, 0 scale 2" + checker + " }", 8,
                           8);
    for (int i = -3; i <= 3; ++i) {
        for (int k = -3; k <= 3; ++k) {
            const bool even = ((i + k) & 1) == 0;
            const Color unit = even ? kRed : kWhite;
            const Color odd = even ? kWhite : kRed;
            EXPECT_TRUE(sameBits(floorColor(scaled, 2 * i + 0.5, 2 * k + 0.5), unit)) << i << k;
            EXPECT_TRUE(sameBits(floorColor(scaled, 2 * i + 1.5, 2 * k + 1.5), unit)) << i << k;
            EXPECT_TRUE(sameBits(floorColor(shifted, i + 0.5, k + 0.5), odd)) << i << k;
            EXPECT_TRUE(sameBits(floorColor(before, i + 0.5, k + 0.5), unit)) << i << k;
        }
    }
}

TEST(Checker, MovedPatternsCompose) {
    Matrix4x4 half;  // scene to pattern: halves every coordinate
    Matrix4x4 back;  // and moves one unit back along x
    for (int i = 0; i < 4; ++i) {
        half.m[i][i] = i < 3 ? 0.5 : 1;
        back.m[i][i] = 1;
    }
    back.m[0][3] = -1;
    const Pigment checker = Pigment::checker(kRed, kWhite);
    const Pigment scaled = checker.movedBy(half);
    EXPECT_TRUE(sameBits(scaled.at(Vector3(1.5, 1.5, 1.5)), kRed));
    EXPECT_TRUE(sameBits(scaled.at(Vector3(2.5, 1.5, 1.5)), kWhite));
    // Moved again: the later map acts first on the scene point.
    const Pigment both = scaled.movedBy(back);
    EXPECT_TRUE(sameBits(both.at(Vector3(2.5, 1.5, 1.5)), kRed));
    EXPECT_TRUE(sameBits(both.at(Vector3(3.5, 1.5, 1.5)), kWhite));
    // The unmoved pattern is untouched.
    EXPECT_TRUE(sameBits(checker.at(Vector3(1.5, 0.5, 0.5)), kWhite));
}

// An inner triangle's pattern outlives the reading of its mesh (it once
// pointed into a triangle gone at the end of the statement), and the last
// triangle's is the mesh's own.
TEST(Checker, MeshTrianglesKeepTheirPatterns) {
    const std::string checker =
        " pigment { checker color rgb <1, 0, 0> color rgb <1, 1, 1> }"
        " finish { ambient 1 diffuse 0 }";
    const TextScene scene(
        "light_source { <0, 10, 0> color rgb <1, 1, 1> }\n"
        "mesh { triangle { <-4, 0, -4>, <4, 0, -4>, <-4, 0, 4>" + checker + " }\n"
        "       triangle { <4, 0, 4>, <-4, 0, 4>, <4, 0, -4>" + checker + " } }",
        8, 8);
    for (int i = -3; i <= 2; ++i) {
        const Color seen = scene.cast(Vector3(i + 0.5, 2, i + 0.7), Vector3(0, -1, 0));
        const Color other = scene.cast(Vector3(i + 0.5, 2, i + 1.5), Vector3(0, -1, 0));
        EXPECT_TRUE(sameBits(seen, kRed)) << i;
        EXPECT_TRUE(sameBits(other, kWhite)) << i;
    }
}
