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
